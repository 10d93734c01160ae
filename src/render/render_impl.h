// Private to src/render/*.cpp: how twips become device units for one drawing,
// and the cell, row and page painters that share it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <functional>
#include <optional>

#include "document/document.h"
#include "model/rows.h"
#include "model/textitem.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/gdi/pdf_tags.h"

namespace ktfolio::render {

enum class Target { Preview, Print };

// Device units per twip for one drawing. Preview: twips / twips-per-pixel x
// zoom / 100; print: twips x printer dpi / 1440. Converted values are singles.
// The pens a page loop draws cell borders with, made once per kind rather
// than once a line; deleted with the cache, when none is selected any more.
class PenCache {
 public:
  PenCache() = default;
  PenCache(const PenCache&) = delete;
  PenCache& operator=(const PenCache&) = delete;
  win::HPEN Get(std::int32_t style, std::int32_t width, std::uint32_t color);

 private:
  struct Entry {
    std::int32_t style, width;
    std::uint32_t color;
    win::OwnedPen pen;
  };
  std::vector<Entry> pens_;
};

// The fonts a page loop draws cell texts in, made once per kind and zoom
// rather than once a cell (a failure to make one is recorded on the cell that
// asked, as KtTextItem::SetFont records it).
class FontCache {
 public:
  FontCache() = default;
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;
  win::HFONT Get(win::HDC dc, KtTextItem& cell, double zoom);

 private:
  struct Entry {
    float size;
    bool bold, italic, underline, strikethru;
    std::string face;
    double zoom;
    win::OwnedFont font;
  };
  std::vector<Entry> fonts_;
};

struct Device {
  win::HDC dc = nullptr;
  PenCache* pens = nullptr;    // set by the page loop
  FontCache* fonts = nullptr;  // set by the page loop
  Target target = Target::Preview;
  // Printing: the rows' content is tagged for the PDF's structure (rows in
  // the running header and footer are not), and the tag a cell's content
  // takes, set by PaintRow.
  bool tagRows = false;
  std::optional<win::PdfTag> contentTag;
  double unitsPerTwipX = 1.0 / 15;
  double unitsPerTwipY = 1.0 / 15;

  float x(double twips) const { return static_cast<float>(twips * unitsPerTwipX); }
  float y(double twips) const { return static_cast<float>(twips * unitsPerTwipY); }
  bool preview() const { return target == Target::Preview; }

  static Device ForPreview(win::HDC dc, double zoom);
  static Device ForPrint(win::HDC dc, double dpiX, double dpiY);
};

// Nearest integer, ties to even, kept inside the range device coordinates can
// take (a huge or non-finite length lands off the surface instead of wrapping).
std::int32_t Nint(double v);

// ---- cells (cell_painter.cpp, cell_content.cpp) ----
// Draws one cell: X the row's left edge, Y the row's top plus its IndentTop,
// right the cell's right edge, all twips. Failures are recorded, never thrown.
void PaintCell(KtTextItem& cell, const Device& d, float X, float Y, float right);
// Where PaintCell puts the cell's text in the preview at `zoom` (the same
// arguments, d from Device::ForPreview): the text area's left and right, the
// lines' top and bottom. False for a cell that draws no text.
std::optional<win::RECT> CellTextBox(KtTextItem& cell, const Device& d, double zoom, float X, float Y, float right);

// The device routines every cell uses (device units throughout).

// How a cell's text is drawn: the shadow style (0 flat, 1 raised, 2 raised
// heavy, 3 inset, 4 inset heavy) with its colours and offset, and how the
// text is laid out in its area.
struct CellTextStyle {
  std::int32_t fontStyle = 0;
  std::uint32_t shadowColor = 0;
  std::uint32_t shadowHeavyColor = 0;
  std::int32_t shadowSize = 0;
  bool wordWrap = false;
  std::int32_t alignPos = 0;
  bool clipping = true;
  bool processPrefix = false;
  std::int32_t firstIndent = 0;
};

// A text laid out at another size and scaled to the device: `scale` device
// units per layout unit, the layout's top-left at the area's; the layout
// width is in layout units, the area in device units.
struct ScaledArea {
  win::RECT area;
  double scale = 1.0;
  std::int32_t layoutWidth = 0;
};

// Draws a text in `area` with `font` (the caller's); `fontColor` comes back
// as the colour drawn.
void DrawCellText(win::HDC dc, const std::string& text, win::HFONT font, std::uint32_t& fontColor,
                  const win::RECT& area, const CellTextStyle& style);
// DrawCellText at another scale: `makeFont` gives the font of the layout size
// (deleted after each use); the first indent is in layout units, the shadow
// size in device units.
void DrawCellTextScaled(win::HDC dc, const std::string& text, const std::function<win::HFONT()>& makeFont,
                        std::uint32_t& fontColor, const ScaledArea& at, const CellTextStyle& style);
// The lines DrawCellText (or, at another scale, DrawCellTextScaled) would
// draw: the area's left and right, the top and bottom of the lines as
// aligned. `font` is of the layout size and stays the caller's.
win::RECT CellTextBlock(win::HDC dc, const std::string& text, win::HFONT font, const ScaledArea& at,
                        const CellTextStyle& style);
// The frame-control glyph, a square as high as `band` allows, placed in the
// band's height by the alignment.
void DrawCellFrameControl(win::HDC dc, std::int32_t type, std::int32_t flags, const win::RECT& band,
                          std::int32_t alignPos);
void DrawCellEdge(win::HDC dc, const win::RECT& box, std::int32_t edge, std::int32_t edgeFlags);
// A cell's picture, read back as a DIB of `bits` per pixel and stretched over
// the destination (its width and height may be fractional in the preview).
struct CellBitmap {
  win::HDC imageDC = nullptr;
  win::HBITMAP bitmap = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bits = 24;
};
struct BitmapPlace {
  std::int32_t left = 0;
  std::int32_t top = 0;
  float width = 0;
  float height = 0;
};
void DrawCellBitmap(win::HDC dc, const CellBitmap& picture, const BitmapPlace& to);

// ---- rows (row_painter.cpp) ----
// Draws a row's cells side by side between X and right at top Y (twips).
// With d.tagRows the row is tagged as ReadingOf tells (a heading row's table
// cells are header cells, its one cell a heading of the row's level).
void PaintRow(KtRow& row, const Device& d, float X, float right, float Y);
// How a row reads in the PDF's structure, by the cells that show something (a
// text or a picture): two or more make a table row, one a paragraph or a
// heading, none nothing at all (rows inherit their cell count, so empty
// cells do not count).
enum class RowReading { Nothing, Block, TableRow };
RowReading ReadingOf(const KtRow& row);
// A heading row (OutlineLevel 1..6) printed at top Y: its cells' texts, joined
// on one line, become its entry in the PDF's outline.
void MarkHeading(const KtRow& row, const Device& d, float Y);

// ---- pages (page_painter.cpp) ----
// What a printed PDF of the document says of itself: its metadata, tagged
// unless TaggedPdf is off or the body passes kMostTaggedRows rows (the
// structure tree then costs seconds and about 15 KB of memory a row).
constexpr std::int32_t kMostTaggedRows = 20'000;
win::PdfMetadata PrintedMetadata(Document& control);
// What the print loop needs from a print job: open and close printer pages.
// Each returns false to stop the loop.
struct PrinterPages {
  std::function<bool()> startPage;
  std::function<bool()> endPage;
  bool pageOpen = false;
  bool quiet = false;    // no "Printing Page" caption (a piece drawn by another process)
  bool unheard = false;  // no host hears NewPage: it is not raised (a piece, maybe in another process)
};

// The visible band of the preview, in pixels of the zoomed page.
struct Band {
  std::int32_t top = 0;
  std::int32_t bottom = INT32_MAX;
};

// The page loop for preview (printer == nullptr) and print.
void DrawPages(Document& control, const Device& d, std::int32_t startPage, std::int32_t endPage, const Band& band,
               PrinterPages* printer);

// ---- PDF documents (export.cpp, pdf_pieces.cpp) ----
// The paper of a printed PDF: its resolution, size in device units and the
// document's name (its title when the host gave none).
struct PdfPaper {
  int dpi = 600;
  int width = 0, height = 0;
  const char* name = "";
};
// The paper of the control's page; throws Error for a page without paper.
PdfPaper PdfPaperOf(Document& control);
// What became of a document drawn into a PDF context: started (StartDoc),
// the pages it took, and ended (EndDoc).
struct PdfDrawn {
  bool started = false;
  int pages = 0;
  bool ended = false;
};
// Pages fromPage..toPage as the document of the PDF context `dc`, drawn
// through the print path; a piece (`piece`) raises no NewPage, and one drawn
// by another process (`quiet`) leaves the control's caption alone.
PdfDrawn DrawPdfDocument(Document& control, win::HDC dc, std::int16_t fromPage, std::int16_t toPage, bool piece,
                         bool quiet);
// The pages of a piece: enough that a piece's own copy of its fonts costs
// little (a long listing's file grows 5 %), few enough that two processes
// share a few hundred pages evenly. A range of more than kMostPdfPieces
// pieces takes longer ones, so that a document is never more than that many.
constexpr std::int32_t kPdfPiecePages = 128;
constexpr std::int32_t kMostPdfPieces = 64;
// Whether the range is printed in pieces: it is untagged and longer than a
// piece, and no host hears NewPage.
bool DrawsInPieces(Document& control, std::int16_t fromPage, std::int16_t toPage);
// The range drawn in pieces of a fixed number of pages, by as many processes
// as PdfJobs allows, and joined into one document handed to `out` as it is
// made. The pieces do not depend on the number of processes, so neither does
// the file. False when the pieces could not be joined, what `out` had then
// being no document (the caller draws the range at once instead); throws
// Error when a piece cannot be drawn or `out` fails.
bool PrintPdfPieces(Document& control, const PdfPaper& paper, std::int16_t fromPage, std::int16_t toPage,
                    const std::function<void(std::string_view)>& out);

// One rectangle with a solid pen of width 1 and a solid brush of `color`.
void FillRectWith(win::HDC dc, int left, int top, int right, int bottom, std::uint32_t color);

// The viewport's page surface before the content. With modePage: the page in
// pageBackColor, a black drop shadow 3 pixels wide at its right and bottom, the
// background in the two corners the shadow leaves; otherwise all background.
void PreparePageSurface(win::HDC dc, int W, int H, std::uint32_t backColor, std::uint32_t pageBackColor,
                        bool modePage);

// The preview's margin guide rectangles (body, header, footer areas).
void DrawGuideRectangles(Document& control, win::HDC dc, double zoom, std::int32_t pageWidthPx,
                         std::int32_t pageHeightPx);

}  // namespace ktfolio::render
