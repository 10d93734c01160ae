// Printing a document through the spooler, as the control's PrintDoc does.
#pragma once

#include <cstdint>

#include "document/document.h"

namespace ktfolio::printing {

// Prints pages StartPage..EndPage on the document's printer, first showing the
// print dialog when ShowDlg (which may change printer, pages, copies and
// orientation; Copies comes back as the dialog left it). Failures are
// recorded on the document, never thrown.
void PrintDoc(Document& doc, std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies);

}  // namespace ktfolio::printing
