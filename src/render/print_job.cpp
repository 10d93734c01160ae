// The print job: one per thread. Every platform failure on an open job aborts
// it before the error travels, so no half-open document stays at the spooler.
#include "render/print_job_impl.h"

#include <cstring>
#include <vector>

#include "control/errors.h"
#include "platform/automation/error.h"
#include "platform/fileio/fileio.h"
#include "platform/spooler/spooler.h"
#include "platform/user/user.h"

namespace ktfolio::render {

using namespace win;

namespace {

struct JobState {
  std::string printerName;
  std::string documentName;
  HANDLE printer = nullptr;
  HDC dc = nullptr;
  int job = 0;
  bool pageOpen = false;
  std::int32_t copies = 1;
  double dpiX = 0;
  double dpiY = 0;
};

thread_local JobState g_job;

// Where a DEVMODE keeps what the job writes into it.
constexpr size_t kFieldsOffset = 40;
constexpr size_t kOrientationOffset = 44;
constexpr size_t kPaperSizeOffset = 46;
constexpr size_t kPaperLengthOffset = 48;
constexpr size_t kPaperWidthOffset = 50;
constexpr size_t kCopiesOffset = 54;
constexpr std::int32_t kUserPaper = 256;
constexpr UINT kQuestionStyle = MB_YESNO | MB_ICONQUESTION;  // 36

[[noreturn]] void Raise(ErrorCode number, const char* source) {
  throw Error(number, source, GetErrorMessage(ToInt(number)));
}

void Put16(std::vector<BYTE>& b, size_t offset, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  b[offset] = static_cast<BYTE>(u & 0xFF);
  b[offset + 1] = static_cast<BYTE>((u >> 8) & 0xFF);
}

void Put32(std::vector<BYTE>& b, size_t offset, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<BYTE>((v >> (8 * i)) & 0xFF);
}

// The printer's device settings, as its driver fills them; empty on failure
// (`sizeFailed` tells which of the two calls failed).
std::vector<BYTE> ReadDevMode(HANDLE printer, const std::string& name, bool& sizeFailed) {
  const LONG size = DocumentProperties(nullptr, printer, name.c_str(), nullptr, nullptr, 0);
  sizeFailed = size <= 0;
  if (sizeFailed) return {};
  // Never smaller than the fields written below, whatever the driver says.
  std::vector<BYTE> record(std::max<size_t>(static_cast<size_t>(size), sizeof(DEVMODE)));
  if (DocumentProperties(nullptr, printer, name.c_str(), reinterpret_cast<DEVMODE*>(record.data()), nullptr,
                         DM_OUT_BUFFER) < 0)
    return {};
  return record;
}

bool Ask(const std::string& text) {
  return MessageBox(nullptr, text.c_str(), "Confirmation", kQuestionStyle) == IDYES;
}

// The copies the printer will make: as asked, or fewer when the user agrees.
// False when the user declines.
bool AgreeCopies(const std::string& name, std::int32_t& copies) {
  const int most = DeviceCapabilities(name.c_str(), GetPrinterPort().c_str(), DC_COPIES, nullptr, nullptr);
  const std::string n = std::to_string(copies);
  if (most < 0) {
    if (!Ask("Printer \"" + name + "\" doesn't support to print " + n + " copies." + "\r\n" +
             "\xC2\xBFWould you like to print " + "a single copy?"))
      return false;
    copies = 1;
  } else if (copies > most) {
    const std::string m = std::to_string(most);
    if (!Ask("Printer \"" + name + "\" can't print more than " + m + " copies, and you requested " + "to print " + n +
             "." + "\r\n" + "\xC2\xBFWould you like to continue " + "printing only " + m + " copies?"))
      return false;
    copies = most;
  }
  return true;
}

}  // namespace

HDC PrinterDC() { return g_job.dc; }
double PrinterDpiX() { return g_job.dpiX; }
double PrinterDpiY() { return g_job.dpiY; }
std::int32_t PrintCopies() { return g_job.copies; }
bool PrintPageOpen() { return g_job.pageOpen; }
void PrintPageOpen(bool open) { g_job.pageOpen = open; }

bool StartPrint(const std::string& printerName, const std::string& docName, std::int32_t copies,
                std::int32_t paperSize, std::int32_t paperLength, std::int32_t paperWidth, std::int32_t orientation) {
  AbortPrint();
  fileio::LastFailure().reset();  // what the platform says from here explains this job's failure
  JobState& j = g_job;
  j.printerName = printerName;
  j.documentName = docName;
  if (printerName.empty()) Raise(ErrorCode::kNeedPrinterName, "Print Start ");
  j.copies = copies;
  if (copies < 1) Raise(ErrorCode::kInvalidCopies, "Print Start  ");
  const PRINTER_DEFAULTS defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
  if (!OpenPrinter(printerName.c_str(), &j.printer, &defaults)) {
    AbortPrint();
    Raise(ErrorCode::kCannotOpenPrinter, "Print Start");
  }
  bool sizeFailed = false;
  std::vector<BYTE> devmode = ReadDevMode(j.printer, printerName, sizeFailed);
  if (devmode.empty()) {
    AbortPrint();
    sizeFailed ? Raise(ErrorCode::kCannotRetrieveConfiguration, "Print start") : Raise(ErrorCode::kCannotAccessConfiguration, "Print Start");
  }
  std::uint32_t fields = 0;
  if (j.copies > 1) {
    if (!AgreeCopies(printerName, j.copies)) {
      AbortPrint();
      return false;
    }
    Put16(devmode, kCopiesOffset, j.copies);
    fields = DM_COPIES;
  }
  Put16(devmode, kOrientationOffset, orientation + 1);
  Put16(devmode, kPaperSizeOffset, paperSize);
  fields |= DM_ORIENTATION | DM_PAPERSIZE;
  if (paperSize == kUserPaper) {
    Put16(devmode, kPaperLengthOffset, paperLength);
    Put16(devmode, kPaperWidthOffset, paperWidth);
    fields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
  }
  Put32(devmode, kFieldsOffset, fields);
  j.dc = CreateDC("WINSPOOL", printerName.c_str(), nullptr, devmode.data());
  if (!j.dc) {
    AbortPrint();
    Raise(ErrorCode::kCannotCreateJobArea, "Print start");
  }
  j.dpiX = GetDeviceCaps(j.dc, LOGPIXELSX);
  j.dpiY = GetDeviceCaps(j.dc, LOGPIXELSY);
  DOCINFO doc;
  doc.lpszDocName = j.documentName.c_str();
  j.job = StartDoc(j.dc, &doc);
  if (j.job > 0) {
    j.pageOpen = false;
    return true;
  }
  j.job = 0;
  AbortPrint();
  Raise(ErrorCode::kCannotStartDocument, "Print Start  ");
}

bool StartPrintPage() {
  JobState& j = g_job;
  if (!j.pageOpen && j.dc) {
    if (StartPage(j.dc) <= 0) {
      AbortPrint();
      Raise(ErrorCode::kStartPageFailed, "Init print page");
    }
    j.pageOpen = true;
  }
  return true;
}

bool EndPrintPage() {
  JobState& j = g_job;
  if (j.dc && j.pageOpen && EndPage(j.dc) < 1) {
    AbortPrint();
    Raise(ErrorCode::kFinishPageFailed, "Done Page");
  }
  return true;
}

bool EndPrint() {
  JobState& j = g_job;
  if (EndPrintPage()) {
    // The platform's EndDoc fails with zero or less.
    if (j.dc && EndDoc(j.dc) <= 0) {
      AbortPrint();
      Raise(ErrorCode::kFinishDocumentFailed, "Print End");
    }
    j.job = 0;
  }
  return CleanUpPrint();
}

void AbortPrint() {
  JobState& j = g_job;
  const bool abortFailed = j.job && AbortDoc(j.dc) < 1;
  // Cleaned up even when the abort failed: a job that cannot be cancelled
  // must not keep the printer open as well.
  j.job = 0;
  j.pageOpen = false;
  CleanUpPrint();
  if (abortFailed) Raise(ErrorCode::kCancelDocumentFailed, "Print Abort");
}

bool CleanUpPrint() {
  JobState& j = g_job;
  const bool dcFailed = j.dc && !DeleteDC(j.dc);
  j.dc = nullptr;
  const bool printerFailed = j.printer && !ClosePrinter(j.printer);
  j.printer = nullptr;
  if (dcFailed) Raise(ErrorCode::kDeleteJobAreaFailed, "Clean Up Print");
  if (printerFailed) Raise(ErrorCode::kClosePrinterFailed, "Clean Up Print  ");
  return true;
}

bool OpenPrinterDC(const std::string& printerName) {
  if (printerName.empty()) return false;
  try {
    AbortPrint();
    JobState& j = g_job;
    j.printerName = printerName;
    const PRINTER_DEFAULTS defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    bool sizeFailed = false;
    std::vector<BYTE> devmode;
    if (OpenPrinter(printerName.c_str(), &j.printer, &defaults))
      devmode = ReadDevMode(j.printer, printerName, sizeFailed);
    if (!devmode.empty()) j.dc = CreateDC("WINSPOOL", printerName.c_str(), nullptr, devmode.data());
    if (j.dc) return true;
    AbortPrint();
  } catch (const Error&) {
    // The dialog then shows without a printer context; a later StartPrint
    // reports what still fails.
  }
  return false;
}

std::string GetPrinterPort() {
  const std::string key = std::string("System\\CurrentControlSet\\control\\Print\\") + "Printers\\" + g_job.printerName;
  HKEY hkey = nullptr;
  std::string port;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, 0xFFFFFFFFu, &hkey) != ERROR_SUCCESS) return port;
  char buffer[256] = {};
  DWORD length = 255;
  DWORD type = REG_SZ;
  if (RegQueryValueEx(hkey, "Port", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &length) == ERROR_SUCCESS &&
      length >= 1)
    port.assign(buffer, length - 1);
  RegCloseKey(hkey);
  return port;
}

}  // namespace ktfolio::render
