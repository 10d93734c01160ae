// One cell on a page: its box and text area in device units, then fill, guide
// lines, borders, edge, frame control and content, in that order, each pen,
// brush and font made for one use and deleted at once.
#include <cmath>
#include <limits>
#include <optional>

#include "model/clsbitmap.h"
#include "model/host.h"
#include "model/text_width.h"
#include "model/units.h"
#include "platform/automation/variant.h"
#include "render/render_impl.h"

namespace ktfolio {

using namespace win;

namespace render {

using win::PdfTag;
using win::ScopedPdfTag;

std::int32_t Nint(double v) {
  // Well outside any surface, yet far from overflowing the sums drawing makes.
  constexpr double kLimit = 1 << 28;
  if (std::isnan(v)) return 0;
  if (v > kLimit) return static_cast<std::int32_t>(kLimit);
  if (v < -kLimit) return static_cast<std::int32_t>(-kLimit);
  return static_cast<std::int32_t>(RoundHalfEven(v));
}

HPEN PenCache::Get(std::int32_t style, std::int32_t width, std::uint32_t color) {
  for (const Entry& e : pens_)
    if (e.style == style && e.width == width && e.color == color) return e.pen;
  // A document of endless pen kinds keeps a bounded set alive.
  constexpr std::size_t kMaxPens = 32;
  if (pens_.size() == kMaxPens) pens_.erase(pens_.begin());
  OwnedPen pen(CreatePen(style, width, color));
  if (!pen) return nullptr;
  pens_.push_back({style, width, color, std::move(pen)});
  return pens_.back().pen;
}

HFONT FontCache::Get(HDC dc, KtTextItem& cell, double zoom) {
  const std::string& face = cell.FontName();
  const float size = cell.FontSize();
  const bool bold = cell.FontBold(), italic = cell.FontItalic(), underline = cell.FontUnderline(),
             strikethru = cell.FontStrikethru();
  for (const Entry& e : fonts_)
    if (e.size == size && e.zoom == zoom && e.bold == bold && e.italic == italic && e.underline == underline &&
        e.strikethru == strikethru && e.face == face)
      return e.font;
  constexpr std::size_t kMaxFonts = 32;
  if (fonts_.size() == kMaxFonts) fonts_.erase(fonts_.begin());
  OwnedFont font(cell.SetFont(dc, nullptr, zoom));
  if (!font) return nullptr;
  fonts_.push_back({size, bold, italic, underline, strikethru, face, zoom, std::move(font)});
  return fonts_.back().font;
}

Device Device::ForPreview(HDC dc, double zoom) {
  Device d;
  d.dc = dc;
  d.target = Target::Preview;
  d.unitsPerTwipX = zoom / 100.0 / TwipsPerPixelX();
  d.unitsPerTwipY = zoom / 100.0 / TwipsPerPixelY();
  return d;
}

Device Device::ForPrint(HDC dc, double dpiX, double dpiY) {
  Device d;
  d.dc = dc;
  d.target = Target::Print;
  d.unitsPerTwipX = dpiX / 1440.0;
  d.unitsPerTwipY = dpiY / 1440.0;
  return d;
}

namespace {

// Where a cell lands, in device units.
struct CellGeometry {
  float frame = 0;        // F: the frame control's side, 0 without one
  float textWidth = 0;    // W
  RECT box{};             // the cell box
  std::int32_t textLeft = 0, textTop = 0, textHeight = 0;
  std::int32_t frameLeft = 0;  // text area's left before the frame
  float rightInRow = 0;        // the cell's right edge from the row's left, twips
};

CellGeometry Locate(const KtTextItem& cell, const KtRow& row, const Device& d, float X, float Y, float R) {
  CellGeometry g;
  g.frame = cell.FrameControl() != 0 ? d.x(cell.FrameControlSize()) : 0.0f;
  g.textWidth = d.x(R) - d.x(cell.IndentLeft()) - d.x(cell.IndentRight()) - d.x(cell.TabLeft()) - d.x(X) - g.frame;
  g.box.left = Nint(d.x(X) + d.x(cell.TabLeft()));
  g.box.top = Nint(d.y(Y) - d.y(row.IndentTop()));
  g.box.right = Nint(d.x(R));
  g.box.bottom = Nint(d.y(row.RowHeight() - row.IndentTop()) + d.y(Y));
  g.frameLeft = Nint(d.x(X) + d.x(cell.TabLeft()) + d.x(cell.IndentLeft()));
  g.textLeft = Nint(d.x(X) + d.x(cell.TabLeft()) + d.x(cell.IndentLeft()) + g.frame);
  g.textTop = Nint(d.y(Y));
  g.textHeight = Nint(d.y(row.RowHeight() - row.IndentTop() - row.IndentBottom()));
  g.rightInRow = R - X;
  return g;
}

// Fill starts inside the left and top borders; right and bottom edges are
// excluded as Rectangle does.
void PaintFill(const KtTextItem& cell, HDC dc, const RECT& box) {
  const OwnedPen pen(CreatePen(PS_SOLID, 1, cell.BrushColor()));
  const OwnedBrush brush(CreateSolidBrush(cell.BrushColor()));
  const SelectedObject penSelected(dc, pen);
  const SelectedObject brushSelected(dc, brush);
  Rectangle(dc, box.left + cell.LineLeft(), box.top + cell.LineTop(), box.right, box.bottom);
}

void PaintGuideLines(HDC dc, const RECT& box) {
  const OwnedPen pen(CreatePen(PS_SOLID, 1, OleTranslateColor(0xC0C0C0)));
  const SelectedObject selected(dc, pen);
  MoveToEx(dc, box.right, box.top, nullptr);
  LineTo(dc, box.right, box.bottom);
  LineTo(dc, box.left, box.bottom);
}

// The four sides with one pen selected while they draw, in one call for each
// run of sides that share a pen: a cell's sides nearly always share it.
void PaintBorders(const Device& d, const KtTextItem& cell, const RECT& b) {
  struct Side {
    std::int32_t width;
    POINT from, to;
  };
  const Side sides[] = {{cell.LineTop(), {b.left, b.top}, {b.right, b.top}},
                        {cell.LineRight(), {b.right, b.top}, {b.right, b.bottom}},
                        {cell.LineBottom(), {b.right, b.bottom}, {b.left, b.bottom}},
                        {cell.LineLeft(), {b.left, b.bottom}, {b.left, b.top}}};
  PenCache local;
  PenCache& pens = d.pens ? *d.pens : local;
  HPEN current = nullptr;
  SelectedObject first;  // puts the context's own pen back before a local cache goes
  POINT points[8];
  const DWORD twos[4] = {2, 2, 2, 2};
  DWORD waiting = 0;
  auto draw = [&] {
    if (waiting) PolyPolyline(d.dc, points, twos, waiting);
    waiting = 0;
  };
  for (const Side& side : sides) {
    if (side.width <= 0) continue;
    HPEN pen = pens.Get(cell.PenStyle(), side.width, cell.PenColor());
    if (!pen) continue;
    if (pen != current) {
      draw();
      if (!first.previous()) first = SelectedObject(d.dc, pen);
      else SelectObject(d.dc, pen);
      current = pen;
    }
    points[2 * waiting] = side.from;
    points[2 * waiting + 1] = side.to;
    ++waiting;
  }
  draw();
}

// The text area of a cell, device units.
RECT TextArea(const CellGeometry& g) {
  return RECT{g.textLeft, g.textTop, g.textLeft + Nint(g.textWidth), g.textTop + g.textHeight};
}

CellTextStyle TextStyle(KtTextItem& cell, std::int32_t firstIndent) {
  return CellTextStyle{.fontStyle = cell.FontStyle(),
                       .shadowColor = cell.ShadowColor(),
                       .shadowHeavyColor = cell.ShadowHeavyColor(),
                       .shadowSize = cell.ShadowSize(),
                       .wordWrap = cell.WordWrap(),
                       .alignPos = cell.AlignPos(),
                       .clipping = cell.Clipping(),
                       .processPrefix = false,
                       .firstIndent = firstIndent};
}

CellBitmap BitmapOf(const clsBitmap& picture, std::int32_t bits) {
  return CellBitmap{picture.ImageDC(), picture.hBitMap(), picture.Width(), picture.Height(), bits};
}

// Away from 100 % the preview shows the text as laid out at 100 %, scaled:
// in the font and width the row's height was measured with. A font made at
// the zoom is a whole number of pixels high, up to half a pixel off the
// scaled size, which at small zooms makes lines several per cent wider or
// narrower than the scaled column, and so break elsewhere than measured.
void PaintScaledText(KtTextItem& cell, const Device& d, const CellGeometry& g, const std::string& text, double zoom,
                     std::uint32_t& color) {
  const double dpiX = GetDeviceCaps(d.dc, LOGPIXELSX);
  const ScaledArea at{TextArea(g), zoom / 100.0, MeasuredTextWidth(cell, g.rightInRow, dpiX)};
  DrawCellTextScaled(d.dc, text, [&] { return cell.SetFont(d.dc, nullptr, 100); }, color, at,
                     TextStyle(cell, Nint(cell.IndentFirst() * dpiX / 1440.0)));
}

// The lines of PaintText, placed but not drawn.
RECT PlaceText(KtTextItem& cell, const Device& d, const CellGeometry& g, const std::string& text, double zoom) {
  const RECT area = TextArea(g);
  const bool scaled = zoom != 100;
  const double dpiX = GetDeviceCaps(d.dc, LOGPIXELSX);
  const OwnedFont font(cell.SetFont(d.dc, nullptr, scaled ? 100 : zoom));
  const double scale = scaled ? zoom / 100.0 : 1.0;
  const std::int32_t width = scaled ? MeasuredTextWidth(cell, g.rightInRow, dpiX) : area.right - area.left;
  const std::int32_t first = scaled ? Nint(cell.IndentFirst() * dpiX / 1440.0) : Nint(d.x(cell.IndentFirst()));
  return CellTextBlock(d.dc, text, font, ScaledArea{area, scale, width}, TextStyle(cell, first));
}

void PaintText(KtTextItem& cell, const Device& d, const CellGeometry& g, const std::string& text, double zoom) {
  std::uint32_t color = cell.FontColor();
  if (d.preview() && zoom != 100) {
    PaintScaledText(cell, d, g, text, zoom, color);
  } else {
    OwnedFont own;
    const HFONT font = d.fonts ? d.fonts->Get(d.dc, cell, zoom) : (own = OwnedFont(cell.SetFont(d.dc, nullptr, zoom)));
    DrawCellText(d.dc, text, font, color, TextArea(g), TextStyle(cell, Nint(d.x(cell.IndentFirst()))));
  }
  // The drawn colour is the resolved one; the cell keeps it from now on.
  if (!text.empty()) cell.FontColor(color);
}

void PaintContent(KtTextItem& cell, const Device& d, const CellGeometry& g, const std::string& text) {
  DocumentHost* host = cell.ParentControl();
  const clsBitmap* picture = cell.Picture();
  const std::int32_t bits = host ? host->ColorResolution() : 24;
  if (d.preview()) {
    const double zoom = host ? host->Zoom() : 100.0;
    if (picture) {
      DrawCellBitmap(d.dc, BitmapOf(*picture, bits),
                     BitmapPlace{g.textLeft, g.textTop, g.textWidth, static_cast<float>(g.textHeight)});
    } else if (!text.empty()) {
      PaintText(cell, d, g, text, zoom);
    }
    return;
  }
  if (picture) {
    DrawCellBitmap(d.dc, BitmapOf(*picture, bits),
                   BitmapPlace{g.textLeft, g.textTop, static_cast<float>(Nint(g.textWidth)),
                               static_cast<float>(g.textHeight)});
  } else {
    PaintText(cell, d, g, text, 100);
  }
}

// The structure tags a cell's content goes in, for as long as it draws: a
// table cell's tag even when it is empty (the table keeps its columns), a
// picture as a figure (inside the table cell), any other content in the tag
// its row gave, and an empty cell outside a table in none.
class ContentTags {
 public:
  ContentTags(const Device& d, const KtTextItem& cell, const std::string& text) {
    if (!d.contentTag) return;
    const PdfTag tag = *d.contentTag;
    const bool tableCell = tag == PdfTag::Cell || tag == PdfTag::HeaderCell;
    if (tableCell) outer_.emplace(d.dc, tag);
    if (cell.Picture()) inner_.emplace(d.dc, PdfTag::Figure, text);
    else if (!tableCell && !text.empty()) inner_.emplace(d.dc, tag);
  }

 private:
  std::optional<ScopedPdfTag> outer_, inner_;  // the inner one closes first
};

}  // namespace

void PaintCell(KtTextItem& cell, const Device& d, float X, float Y, float right) {
  try {
    const KtRow* row = cell.ParentRow();
    if (!row || !d.dc) return;
    std::string text;
    cell.ExpandText(cell.StoredText(), text);
    const CellGeometry g = Locate(cell, *row, d, X, Y, right);
    if (!(g.textWidth > 0)) {  // also skips a NaN width
      const ContentTags nothingDrawn(d, cell, {});
      return;
    }
    if (cell.FillCell()) PaintFill(cell, d.dc, g.box);
    DocumentHost* host = cell.ParentControl();
    if (d.preview() && host && host->ShowGuideLines()) PaintGuideLines(d.dc, g.box);
    PaintBorders(d, cell, g.box);
    if (cell.edge() != 0)
      DrawCellEdge(d.dc, g.box, cell.edge(), cell.EdgeFlags());
    if (cell.FrameControl() != 0)
      DrawCellFrameControl(d.dc, cell.FrameControl(), cell.FrameControlFlags(),
                           RECT{g.frameLeft, g.textTop, g.frameLeft + Nint(g.frame), g.textTop + g.textHeight},
                           cell.AlignPos());
    const ContentTags tags(d, cell, text);
    PaintContent(cell, d, g, text);
  } catch (const std::exception& e) {
    cell.RecordCaught(e);
  }
}

std::optional<RECT> CellTextBox(KtTextItem& cell, const Device& d, double zoom, float X, float Y, float right) {
  try {
    const KtRow* row = cell.ParentRow();
    if (!row || !d.dc || cell.Picture()) return std::nullopt;
    std::string text;
    cell.ExpandText(cell.StoredText(), text);
    const CellGeometry g = Locate(cell, *row, d, X, Y, right);
    if (!(g.textWidth > 0) || text.empty()) return std::nullopt;
    return PlaceText(cell, d, g, text, zoom);
  } catch (const std::exception& e) {
    cell.RecordCaught(e);
    return std::nullopt;
  }
}

}  // namespace render
}  // namespace ktfolio
