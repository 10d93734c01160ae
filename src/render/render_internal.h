// For the folders above render (the viewer, printing, the property pages, the
// CLI) and for tests: the page surface as the preview shows it, drawn without
// a window, pages as bytes, and hit testing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "platform/gdi/gdi.h"

namespace ktfolio::render {

// The pixel size of the preview's page surface at `zoom` percent: the paper's
// twips scaled by the zoom, then taken to screen pixels.
win::SIZE PageSurfaceSize(const Document& control, double zoom);

// Draws page `page` (not checked against the page count) at `zoom` onto a new
// page surface: page colour, drop shadow, guide rectangles when shown, header,
// body rows and footer; without `shadow`, the bare page edge to edge. Returns
// the bitmap, owned by the caller (DeleteObject), or nullptr when the page is
// too small to hold its shadow or its pixels cannot be had. The control's zoom
// is left as it was; failures while drawing are recorded on the control.
win::HBITMAP RenderPageSurface(Document& control, std::int16_t page, double zoom, bool shadow = true);

// ---- pages as bytes (export.cpp); the file exports write these ----
// Resolutions a page picture may be asked for, in dots per inch.
inline constexpr std::int32_t kMinExportDpi = 10;
inline constexpr std::int32_t kMaxExportDpi = 600;
// The zoom at which the page surface has `dpi` pixels per inch (100 at the
// screen's logical resolution).
double ZoomForDpi(double dpi);
// Page `page` as a PNG file's bytes: RenderPageSurface at `zoom`, with its
// resolution (zoom percent of the screen's) in a pHYs chunk. Throws Error:
// kZoomOutOfRange for a zoom below 10 or beyond ZoomForDpi(kMaxExportDpi),
// kPageOutOfRange for a page outside the document; failures while drawing are recorded as above.
std::vector<std::uint8_t> PagePng(Document& control, std::int16_t page, double zoom, bool shadow);
// The same at `dpi` dots per inch; kZoomOutOfRange outside kMinExportDpi..kMaxExportDpi.
std::vector<std::uint8_t> PagePngAtDpi(Document& control, std::int16_t page, double dpi, bool shadow);
// Pages fromPage..toPage as a PDF document through the print path at 600 dpi,
// handed to `sink` as it is written (ExportPdf writes the same bytes to its
// file). Throws Error: kPageOutOfRange for a range outside the document or backwards,
// ErrorCode::kPathFileAccess when the sink refuses.
void WritePdf(Document& control, std::int16_t fromPage, std::int16_t toPage, const win::ByteSink& sink);
std::vector<std::uint8_t> PdfBytes(Document& control, std::int16_t fromPage, std::int16_t toPage);

// The file exports of the control: a PNG of a page at a zoom or a resolution,
// and a PDF of a page range written through the platform's PDF printer (an
// earlier file stays until the new one is complete). They throw Error.
void ExportPng(Document& control, const std::string& file, std::int16_t page, std::int16_t zoom, bool shadow);
void ExportPngDpi(Document& control, const std::string& file, std::int16_t page, std::int32_t dpi, bool shadow);
void ExportPdf(Document& control, const std::string& file, std::int16_t fromPage, std::int16_t toPage);

// ---- progress of long jobs (page_painter.cpp) ----
// Pages done of the pages a print or PDF page loop draws: told as each page
// starts, and once more when the loop ends.
using PageProgress = std::function<void(std::int32_t done, std::int32_t total)>;
// While it lives, the print and PDF page loops of this thread report to
// `progress` (the innermost scope wins; the preview never reports). For a
// host that shows how far a long job has got; one call per page.
class PageProgressScope {
 public:
  explicit PageProgressScope(PageProgress progress);
  ~PageProgressScope();
  PageProgressScope(const PageProgressScope&) = delete;
  PageProgressScope& operator=(const PageProgressScope&) = delete;

 private:
  PageProgress previous_;
};
// What this thread's page loops report to now (empty outside any scope).
PageProgress CurrentPageProgress();

// A cell found under a point of the previewed page: its area, 1-based row
// and column, and its rectangle in whole twips.
// A cell's address: its area (body, header, footer), row and column, from 1.
struct CellAddress {
  std::int32_t area = 0;
  std::int32_t row = 0;
  std::int32_t col = 0;
};

struct CellHit {
  std::int32_t area = 0;
  std::int32_t row = 0;
  std::int32_t col = 0;
  win::RECT rect;
};

// The cell under point (x, y) of page `page`, in twips of the page; false when
// the point is on no cell (outside the margins, between rows or cells). Body
// rows count only on their own page; header and footer rows on every page.
bool HitTestCell(Document& control, std::int16_t page, float x, float y, CellHit& hit);

// The cell at an address (area, 1-based row and column) on page `page`, with
// its rectangle as the hit test gives it; false for an address that does not
// exist, or for a body row printed on another page.
bool CellAtAddress(Document& control, std::int16_t page, std::int32_t area, std::int32_t row, std::int32_t col,
                   CellHit& hit);

// Where the cell at an address draws its text on page `page` at `zoom`, in
// pixels of the zoomed page: the text area's left and right, the top and
// bottom of its lines as aligned there. False as CellAtAddress, and for a
// cell that draws no text (a picture, an empty text, no room).
std::optional<win::RECT> CellTextRect(Document& control, std::int16_t page, const CellAddress& at, double zoom);

}  // namespace ktfolio::render
