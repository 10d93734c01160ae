// The print job. Every platform failure on an open job aborts it before the
// error travels, so no half-open document stays at the spooler.
#include "printing/print_job.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "document/errors.h"
#include "platform/automation/error.h"
#include "platform/fileio/fileio.h"
#include "platform/spooler/spooler.h"
#include "platform/user/user.h"

namespace ktfolio::printing {

using namespace win;

namespace {

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

}  // namespace

// The copies the printer will make: as asked, or fewer when the user agrees.
// False when the user declines.
bool PrintJob::AgreeCopies(std::int32_t& copies) const {
  const std::string& name = printerName_;
  const int most = DeviceCapabilities(name.c_str(), PrinterPort().c_str(), DC_COPIES, nullptr, nullptr);
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

PrintJob::~PrintJob() {
  try {
    AbortPrint();
  } catch (const Error&) {
    // A job that cannot be cancelled at the end has nobody left to tell.
  }
}

bool PrintJob::StartPrint(const std::string& printerName, const std::string& docName, const JobSettings& settings) {
  AbortPrint();
  fileio::LastFailure().reset();  // what the platform says from here explains this job's failure
  printerName_ = printerName;
  documentName_ = docName;
  if (printerName.empty()) Raise(ErrorCode::kNeedPrinterName, "Print Start ");
  copies_ = settings.copies;
  if (copies_ < 1) Raise(ErrorCode::kInvalidCopies, "Print Start  ");
  const PRINTER_DEFAULTS defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
  if (!OpenPrinter(printerName.c_str(), &printer_, &defaults)) {
    AbortPrint();
    Raise(ErrorCode::kCannotOpenPrinter, "Print Start");
  }
  bool sizeFailed = false;
  std::vector<BYTE> devmode = ReadDevMode(printer_, printerName, sizeFailed);
  if (devmode.empty()) {
    AbortPrint();
    sizeFailed ? Raise(ErrorCode::kCannotRetrieveConfiguration, "Print start") : Raise(ErrorCode::kCannotAccessConfiguration, "Print Start");
  }
  std::uint32_t fields = 0;
  if (copies_ > 1) {
    if (!AgreeCopies(copies_)) {
      AbortPrint();
      return false;
    }
    Put16(devmode, kCopiesOffset, copies_);
    fields = DM_COPIES;
  }
  Put16(devmode, kOrientationOffset, settings.orientation + 1);
  Put16(devmode, kPaperSizeOffset, settings.paperSize);
  fields |= DM_ORIENTATION | DM_PAPERSIZE;
  if (settings.paperSize == kUserPaper) {
    Put16(devmode, kPaperLengthOffset, settings.paperLength);
    Put16(devmode, kPaperWidthOffset, settings.paperWidth);
    fields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
  }
  Put32(devmode, kFieldsOffset, fields);
  dc_ = CreateDC("WINSPOOL", printerName.c_str(), nullptr, devmode.data());
  if (!dc_) {
    AbortPrint();
    Raise(ErrorCode::kCannotCreateJobArea, "Print start");
  }
  dpiX_ = GetDeviceCaps(dc_, LOGPIXELSX);
  dpiY_ = GetDeviceCaps(dc_, LOGPIXELSY);
  SetPdfMetadata(dc_, settings.metadata);
  DOCINFO doc;
  doc.lpszDocName = documentName_.c_str();
  job_ = StartDoc(dc_, &doc);
  if (job_ > 0) {
    pageOpen_ = false;
    return true;
  }
  job_ = 0;
  AbortPrint();
  Raise(ErrorCode::kCannotStartDocument, "Print Start  ");
}

bool PrintJob::StartPrintPage() {
  if (!pageOpen_ && dc_) {
    if (StartPage(dc_) <= 0) {
      AbortPrint();
      Raise(ErrorCode::kStartPageFailed, "Init print page");
    }
    pageOpen_ = true;
  }
  return true;
}

bool PrintJob::EndPrintPage() {
  if (dc_ && pageOpen_ && EndPage(dc_) < 1) {
    AbortPrint();
    Raise(ErrorCode::kFinishPageFailed, "Done Page");
  }
  return true;
}

bool PrintJob::EndPrint() {
  if (EndPrintPage()) {
    // The platform's EndDoc fails with zero or less.
    if (dc_ && EndDoc(dc_) <= 0) {
      AbortPrint();
      Raise(ErrorCode::kFinishDocumentFailed, "Print End");
    }
    job_ = 0;
  }
  return CleanUpPrint();
}

void PrintJob::AbortPrint() {
  const bool abortFailed = job_ && AbortDoc(dc_) < 1;
  // Cleaned up even when the abort failed: a job that cannot be cancelled
  // must not keep the printer open as well.
  job_ = 0;
  pageOpen_ = false;
  CleanUpPrint();
  if (abortFailed) Raise(ErrorCode::kCancelDocumentFailed, "Print Abort");
}

bool PrintJob::CleanUpPrint() {
  const bool dcFailed = dc_ && !DeleteDC(dc_);
  dc_ = nullptr;
  const bool printerFailed = printer_ && !ClosePrinter(printer_);
  printer_ = nullptr;
  if (dcFailed) Raise(ErrorCode::kDeleteJobAreaFailed, "Clean Up Print");
  if (printerFailed) Raise(ErrorCode::kClosePrinterFailed, "Clean Up Print  ");
  return true;
}

bool PrintJob::OpenPrinterDC(const std::string& printerName) {
  if (printerName.empty()) return false;
  try {
    AbortPrint();
      printerName_ = printerName;
    const PRINTER_DEFAULTS defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    bool sizeFailed = false;
    std::vector<BYTE> devmode;
    if (OpenPrinter(printerName.c_str(), &printer_, &defaults))
      devmode = ReadDevMode(printer_, printerName, sizeFailed);
    if (!devmode.empty()) dc_ = CreateDC("WINSPOOL", printerName.c_str(), nullptr, devmode.data());
    if (dc_) return true;
    AbortPrint();
  } catch (const Error&) {
    // The dialog then shows without a printer context; a later StartPrint
    // reports what still fails.
  }
  return false;
}

std::string PrintJob::PrinterPort() const {
  const std::string key = std::string("System\\CurrentControlSet\\control\\Print\\") + "Printers\\" + printerName_;
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

}  // namespace ktfolio::printing
