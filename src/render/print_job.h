// Private to src/render and its tests: the one print job a thread holds, from
// opening the printer to cleaning up. The routines throw ktfolio::Error with
// the message table's numbers; PrintDoc and the print page loop record them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/gdi.h"

namespace ktfolio::render {

inline constexpr const char* kPrintDocumentName = "Folio's Job";

// Opens `printerName`, writes copies, orientation and paper into its device
// settings, creates the printer context and starts the document. False, with
// nothing recorded, when the user declines a copies question.
bool StartPrint(const std::string& printerName, const std::string& docName, std::int32_t copies,
                std::int32_t paperSize, std::int32_t paperLength, std::int32_t paperWidth, std::int32_t orientation);
bool StartPrintPage();
bool EndPrintPage();
bool EndPrint();
void AbortPrint();
bool CleanUpPrint();
// A printer context for the print dialog; false (and nothing open) on failure.
bool OpenPrinterDC(const std::string& printerName);
// The port of the current printer, or "".
std::string GetPrinterPort();

// The current job's state.
win::HDC PrinterDC();
double PrinterDpiX();
double PrinterDpiY();
std::int32_t PrintCopies();
bool PrintPageOpen();
void PrintPageOpen(bool open);  // the page loop closes pages on its side

}  // namespace ktfolio::render
