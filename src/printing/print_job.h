// One print job through the spooler, from opening the printer to cleaning up:
// PrintDoc runs one per call and the font dialog borrows one for its printer
// context. The members throw ktfolio::Error with the message table's numbers;
// their callers record them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/spooler/spooler.h"

namespace ktfolio::printing {

inline constexpr const char* kPrintDocumentName = "Folio's Job";

// What StartPrint writes into the printer's device settings.
struct JobSettings {
  std::int32_t copies = 1;
  std::int32_t paperSize = 0;
  std::int32_t paperLength = 0;
  std::int32_t paperWidth = 0;
  std::int32_t orientation = 0;
  // What the document says of itself, where the printer writes a PDF.
  win::PdfMetadata metadata;
};

class PrintJob {
 public:
  PrintJob() = default;
  // Whatever is still open is aborted and closed; failures then go unreported.
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  // Opens `printerName`, writes the settings into its device settings,
  // creates the printer context and starts the document. False, with nothing
  // recorded, when the user declines a copies question.
  bool StartPrint(const std::string& printerName, const std::string& docName, const JobSettings& settings);
  bool StartPrintPage();
  bool EndPrintPage();
  bool EndPrint();
  void AbortPrint();
  // Deletes the context and closes the printer; throws kDeleteJobAreaFailed or
  // kClosePrinterFailed when the platform refuses either.
  bool CleanUpPrint();
  // Opens `printerName` and makes its context alone, as the print and font
  // dialogs use it, ending any job first; false (and nothing open) on failure.
  bool OpenPrinterDC(const std::string& printerName);
  // The port of the current printer, or "".
  std::string PrinterPort() const;

  win::HDC PrinterDC() const { return dc_; }
  double PrinterDpiX() const { return dpiX_; }
  double PrinterDpiY() const { return dpiY_; }
  std::int32_t Copies() const { return copies_; }
  bool PageOpen() const { return pageOpen_; }
  void PageOpen(bool open) { pageOpen_ = open; }  // the page loop closes pages on its side

 private:
  bool AgreeCopies(std::int32_t& copies) const;

  std::string printerName_;
  std::string documentName_;
  win::HANDLE printer_ = nullptr;
  win::HDC dc_ = nullptr;
  int job_ = 0;
  bool pageOpen_ = false;
  std::int32_t copies_ = 1;
  double dpiX_ = 0;
  double dpiY_ = 0;
};

}  // namespace ktfolio::printing
