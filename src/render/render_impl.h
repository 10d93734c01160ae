// Private to src/render/*.cpp: how twips become device units for one drawing,
// and the cell, row and page painters that share it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include <functional>

#include "document/document.h"
#include "model/rows.h"
#include "model/textitem.h"
#include "platform/gdi/gdi.h"

namespace ktfolio::render {

enum class Target { Preview, Print };

// Device units per twip for one drawing. Preview: twips / twips-per-pixel x
// zoom / 100; print: twips x printer dpi / 1440. Converted values are singles.
// The pens a page loop draws cell borders with, made once per kind rather
// than once a line; deleted with the cache, when none is selected any more.
class PenCache {
 public:
  PenCache() = default;
  ~PenCache();
  PenCache(const PenCache&) = delete;
  PenCache& operator=(const PenCache&) = delete;
  win::HPEN Get(std::int32_t style, std::int32_t width, std::uint32_t color);

 private:
  struct Entry {
    std::int32_t style, width;
    std::uint32_t color;
    win::HPEN pen;
  };
  std::vector<Entry> pens_;
};

struct Device {
  win::HDC dc = nullptr;
  PenCache* pens = nullptr;  // set by the page loop
  Target target = Target::Preview;
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
bool CellTextBox(KtTextItem& cell, const Device& d, double zoom, float X, float Y, float right, win::RECT& box);

// The device routines every cell uses (device units throughout).
void DrawCellText(win::HDC dc, const std::string& text, std::int32_t fontStyle, win::HFONT& font,
                  std::uint32_t& fontColor, std::uint32_t shadowColor, std::uint32_t shadowHeavyColor,
                  std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                  std::int32_t shadowSize, bool wordWrap, std::int32_t alignPos, bool clipping, bool processPrefix,
                  std::int32_t firstIndent);
// DrawCellText of a text laid out at another size and scaled to the device:
// `scale` device units per layout unit, the layout's top-left at the area's,
// `makeFont` the font of the layout size (deleted after each use). The width
// and first indent are layout units; the area and shadow size device units.
void DrawCellTextScaled(win::HDC dc, const std::string& text, std::int32_t fontStyle,
                        const std::function<win::HFONT()>& makeFont, std::uint32_t& fontColor,
                        std::uint32_t shadowColor, std::uint32_t shadowHeavyColor, const win::RECT& area,
                        double scale, std::int32_t layoutWidth, std::int32_t shadowSize, bool wordWrap,
                        std::int32_t alignPos, bool clipping, std::int32_t firstIndent);
// The lines DrawCellText (or, at another scale, DrawCellTextScaled) would
// draw in `area`: its left and right, the top and bottom of the lines as
// aligned. `font` is of the layout size and stays the caller's.
win::RECT CellTextBlock(win::HDC dc, const std::string& text, win::HFONT font, const win::RECT& area, double scale,
                        std::int32_t layoutWidth, bool wordWrap, std::int32_t alignPos, bool clipping,
                        std::int32_t firstIndent);
void DrawCellFrameControl(win::HDC dc, std::int32_t type, std::int32_t flags, std::int32_t left, std::int32_t top,
                          std::int32_t size, std::int32_t height, std::int32_t alignPos);
void DrawCellEdge(win::HDC dc, float left, float top, float width, float height, std::int32_t edge,
                  std::int32_t edgeFlags);
void DrawCellBitmap(win::HDC dc, win::HDC imageDC, win::HBITMAP bitmap, std::int32_t width, std::int32_t height,
                    std::int32_t destLeft, std::int32_t destTop, float destWidth, float destHeight,
                    std::int32_t bits, double zoom);

// ---- rows (row_painter.cpp) ----
// Draws a row's cells side by side between X and right at top Y (twips).
void PaintRow(KtRow& row, const Device& d, float X, float right, float Y);

// ---- pages (page_painter.cpp) ----
// What the print loop needs from a print job: open and close printer pages.
// Each returns false to stop the loop.
struct PrinterPages {
  std::function<bool()> startPage;
  std::function<bool()> endPage;
  bool pageOpen = false;
};

// The visible band of the preview, in pixels of the zoomed page.
struct Band {
  std::int32_t top = 0;
  std::int32_t bottom = INT32_MAX;
};

// The page loop for preview (printer == nullptr) and print.
void DrawPages(Document& control, const Device& d, std::int32_t startPage, std::int32_t endPage, const Band& band,
               PrinterPages* printer);

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
