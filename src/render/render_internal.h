// For the folders above render (the preview, editing, the property pages, the
// CLI) and for tests: the page surface as the preview shows it, drawn without
// a window, hit testing, and the printer context the dialogs are shown with.
#pragma once

#include <cstdint>
#include <string>

#include "control/ktprint4.h"
#include "platform/gdi/gdi.h"

namespace ktfolio::render {

// The pixel size of the preview's page surface at `zoom` percent: the paper's
// twips scaled by the zoom, then taken to screen pixels.
win::SIZE PageSurfaceSize(const KtPrint4& control, double zoom);

// Draws page `page` (not checked against the page count) at `zoom` onto a new
// page surface: page colour, drop shadow, guide rectangles when shown, header,
// body rows and footer. Returns the bitmap, owned by the caller (DeleteObject),
// or nullptr when the page is too small to hold its shadow. The control's zoom
// is left as it was; failures while drawing are recorded on the control.
win::HBITMAP RenderPageSurface(KtPrint4& control, std::int16_t page, double zoom);

// A cell found under a point of the previewed page: its area, 1-based row
// and column, and its rectangle in whole twips.
struct CellHit {
  std::int32_t area = 0;
  std::int32_t row = 0;
  std::int32_t col = 0;
  win::RECT rect;
};

// The cell under point (x, y) of page `page`, in twips of the page; false when
// the point is on no cell (outside the margins, between rows or cells). Body
// rows count only on their own page; header and footer rows on every page.
bool HitTestCell(KtPrint4& control, std::int16_t page, float x, float y, CellHit& hit);

// The cell at an address (area, 1-based row and column) on page `page`, with
// its rectangle as the hit test gives it; false for an address that does not
// exist, or for a body row printed on another page.
bool CellAtAddress(KtPrint4& control, std::int16_t page, std::int32_t area, std::int32_t row, std::int32_t col,
                   CellHit& hit);

// Where the cell at an address draws its text on page `page` at `zoom`, in
// pixels of the zoomed page: the text area's left and right, the top and
// bottom of its lines as aligned there. False as CellAtAddress, and for a
// cell that draws no text (a picture, an empty text, no room).
bool CellTextRect(KtPrint4& control, std::int16_t page, std::int32_t area, std::int32_t row, std::int32_t col,
                  double zoom, win::RECT& rect);

// The printing module's printer context, as the print and font dialogs use
// it. OpenPrinterDC opens `printerName` and makes its context, ending any job
// first; false (and nothing open) on failure. PrinterDC is that context, or
// nullptr. CleanUpPrint deletes the context and closes the printer; it throws
// Error 60121 or 60122 when the platform refuses either.
bool OpenPrinterDC(const std::string& printerName);
win::HDC PrinterDC();
bool CleanUpPrint();

}  // namespace ktfolio::render
