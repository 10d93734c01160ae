// Printer handles, device settings, capabilities and printer contexts over the
// queues the backends provide.
#include "platform/spooler/spooler.h"

#include <strings.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/fileio/fileio.h"
#include "platform/spooler/spooler_impl.h"

namespace ktfolio::win {
namespace spooler {
namespace {

struct PrinterHandle {
  QueuePtr queue;
};

std::set<PrinterHandle*>& Handles() {
  static std::set<PrinterHandle*> handles;
  return handles;
}

PrinterHandle* ToHandle(HANDLE h) {
  auto* p = static_cast<PrinterHandle*>(h);
  return Handles().count(p) ? p : nullptr;
}

int TenthMmToPixels(int tenthMm, int dpi) { return static_cast<int>(std::lround(tenthMm / 254.0 * dpi)); }

std::vector<std::string>& Warnings() {
  thread_local std::vector<std::string> warnings;
  return warnings;
}

}  // namespace

const std::vector<std::string>& JobWarnings() { return Warnings(); }
void AddJobWarning(std::string text) { Warnings().push_back(std::move(text)); }
void NoteJobFailure(ErrorCode number, std::string cause) {
  fileio::NoteFailure(Error(number, kLibraryName, std::move(cause)));
}

QueuePtr FindQueue(const std::string& name) {
  if (name.empty()) return nullptr;
  if (QueuePtr q = FindTestQueue(name)) return q;
  if (QueuePtr q = FindPdfQueue(name)) return q;
  return FindCupsQueue(name);
}

std::vector<std::string> PrinterNames() {
  std::vector<std::string> names = TestQueueNames();
  names.push_back(kPdfPrinterName);
  for (std::string& n : CupsQueueNames()) names.push_back(std::move(n));
  return names;
}

}  // namespace spooler

using namespace spooler;

BOOL OpenPrinter(const char* name, HANDLE* printer, const PRINTER_DEFAULTS*) {
  if (!printer) return FALSE;
  *printer = nullptr;
  QueuePtr queue = FindQueue(name ? name : "");
  if (!queue || !queue->Allows(Step::OpenPrinter)) return FALSE;
  auto* h = new PrinterHandle{std::move(queue)};
  Handles().insert(h);
  *printer = h;
  return TRUE;
}

BOOL ClosePrinter(HANDLE printer) {
  PrinterHandle* h = ToHandle(printer);
  if (!h) return FALSE;
  const bool agreed = h->queue->Allows(Step::ClosePrinter);
  Handles().erase(h);
  delete h;
  return agreed ? TRUE : FALSE;
}

LONG DocumentProperties(HWND, HANDLE printer, const char* deviceName, DEVMODE* output, const DEVMODE* input,
                        DWORD mode) {
  QueuePtr queue;
  if (PrinterHandle* h = ToHandle(printer)) queue = h->queue;
  else if (deviceName) queue = FindQueue(deviceName);
  if (!queue) return -1;
  if (mode == 0) return queue->Allows(Step::SizeDevMode) ? static_cast<LONG>(sizeof(DEVMODE)) : -1;
  if (!queue->Allows(Step::FillDevMode)) return -1;
  if (!(mode & DM_OUT_BUFFER)) return IDOK_DEVMODE;
  if (!output) return -1;
  DEVMODE dm = queue->Defaults();
  if ((mode & DM_IN_BUFFER) && input) {
    const JobSettings asked = SettingsFrom(dm, input);
    dm.dmFields |= input->dmFields;
    dm.dmOrientation = asked.landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm.dmPaperSize = static_cast<SHORT>(asked.paperSize);
    dm.dmCopies = static_cast<SHORT>(asked.copies);
    if (input->dmFields & DM_PAPERLENGTH) dm.dmPaperLength = input->dmPaperLength;
    if (input->dmFields & DM_PAPERWIDTH) dm.dmPaperWidth = input->dmPaperWidth;
  }
  *output = dm;
  return IDOK_DEVMODE;
}

int DeviceCapabilities(const char* device, const char*, WORD capability, char*, const DEVMODE*) {
  QueuePtr queue = FindQueue(device ? device : "");
  if (!queue || capability != DC_COPIES) return -1;
  return queue->MaxCopies();
}

HDC CreateSpoolerDC(const char* driver, const char* device, const void* devmode) {
  if (strcasecmp(driver, "WINSPOOL") != 0 || !device) return nullptr;
  QueuePtr queue = FindQueue(device);
  if (!queue || !queue->Allows(Step::CreateDC)) return nullptr;
  Warnings().clear();
  const JobSettings job = SettingsFrom(queue->Defaults(), static_cast<const DEVMODE*>(devmode));
  if (job.widthTenthMm <= 0 || job.heightTenthMm <= 0) {
    NoteJobFailure(ErrorCode::kCannotCreateJobArea, "the paper is " + std::to_string(job.widthTenthMm) + " x " +
                                         std::to_string(job.heightTenthMm) + " tenths of a millimetre");
    return nullptr;
  }
  std::unique_ptr<JobDriver> jobDriver = queue->MakeDriver(job);
  if (!jobDriver) return nullptr;
  const int dpi = queue->Dpi();
  HDC dc = CreatePdfPrinterDC(jobDriver->path.c_str(), dpi, dpi, TenthMmToPixels(job.widthTenthMm, dpi),
                              TenthMmToPixels(job.heightTenthMm, dpi));
  if (dc) AttachPrinterDriver(dc, std::move(jobDriver));
  return dc;
}

BOOL EnumPrinters(DWORD, const char*, DWORD level, BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
  if (level != 4 || !needed || !returned) return FALSE;
  const std::vector<std::string> names = PrinterNames();
  DWORD bytes = static_cast<DWORD>(names.size() * sizeof(PRINTER_INFO_4));
  for (const std::string& n : names) bytes += static_cast<DWORD>(n.size() + 1);
  *needed = bytes;
  *returned = 0;
  if (!buffer || size < bytes) return FALSE;
  auto* records = reinterpret_cast<PRINTER_INFO_4*>(buffer);
  char* strings = reinterpret_cast<char*>(records + names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    std::memcpy(strings, names[i].c_str(), names[i].size() + 1);
    records[i] = PRINTER_INFO_4{strings, nullptr, 0};
    strings += names[i].size() + 1;
  }
  *returned = static_cast<DWORD>(names.size());
  return TRUE;
}

}  // namespace ktfolio::win
