// Private to src/render and its tests: the one print job a thread holds, from
// opening the printer to cleaning up. The routines throw ktfolio::Error with
// the message table's numbers; PrintDoc and the print page loop record them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/gdi.h"
#include "render/render_internal.h"

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
// OpenPrinterDC, PrinterDC and CleanUpPrint: render_internal.h.
// The port of the current printer, or "".
std::string GetPrinterPort();

// The current job's state.
double PrinterDpiX();
double PrinterDpiY();
std::int32_t PrintCopies();
bool PrintPageOpen();
void PrintPageOpen(bool open);  // the page loop closes pages on its side

}  // namespace ktfolio::render
