// One cell on a page: its box and text area in device units, then fill, guide
// lines, borders, edge, frame control and content, in that order, each pen,
// brush and font made for one use and deleted at once.
#include <cmath>
#include <limits>

#include "model/clsbitmap.h"
#include "model/host.h"
#include "model/units.h"
#include "platform/automation/variant.h"
#include "render/render.h"
#include "render/render_impl.h"

namespace ktfolio {

using namespace win;

std::uint32_t OleToRgb(std::uint32_t color) {
  if ((color & 0xFF000000u) == 0x80000000u) return GetSysColor(static_cast<int>(color & 0x00FFFFFFu)) & 0xFFFFFFu;
  return color & 0x00FFFFFFu;
}

namespace render {

std::int32_t Nint(double v) {
  // Well outside any surface, yet far from overflowing the sums drawing makes.
  constexpr double kLimit = 1 << 28;
  if (std::isnan(v)) return 0;
  if (v > kLimit) return static_cast<std::int32_t>(kLimit);
  if (v < -kLimit) return static_cast<std::int32_t>(-kLimit);
  return static_cast<std::int32_t>(RoundHalfEven(v));
}

PenCache::~PenCache() {
  for (const Entry& e : pens_) DeleteObject(e.pen);
}

HPEN PenCache::Get(std::int32_t style, std::int32_t width, std::uint32_t color) {
  for (const Entry& e : pens_)
    if (e.style == style && e.width == width && e.color == color) return e.pen;
  // A document of endless pen kinds keeps a bounded set alive.
  constexpr std::size_t kMaxPens = 32;
  if (pens_.size() == kMaxPens) {
    DeleteObject(pens_.front().pen);
    pens_.erase(pens_.begin());
  }
  HPEN pen = CreatePen(style, width, color);
  if (pen) pens_.push_back({style, width, color, pen});
  return pen;
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
  return g;
}

// Fill starts inside the left and top borders; right and bottom edges are
// excluded as Rectangle does.
void PaintFill(const KtTextItem& cell, HDC dc, const RECT& box) {
  HPEN pen = CreatePen(PS_SOLID, 1, cell.BrushColor());
  HBRUSH brush = CreateSolidBrush(cell.BrushColor());
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, box.left + cell.LineLeft(), box.top + cell.LineTop(), box.right, box.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

void PaintGuideLines(HDC dc, const RECT& box) {
  HPEN pen = CreatePen(PS_SOLID, 1, OleToRgb(0xC0C0C0));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, box.right, box.top, nullptr);
  LineTo(dc, box.right, box.bottom);
  LineTo(dc, box.left, box.bottom);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// The four sides with one pen selected while they draw: a cell's sides
// nearly always share it.
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
  HGDIOBJ old = nullptr;
  for (const Side& side : sides) {
    if (side.width <= 0) continue;
    HPEN pen = pens.Get(cell.PenStyle(), side.width, cell.PenColor());
    if (!pen) continue;
    if (pen != current) {
      HGDIOBJ previous = SelectObject(d.dc, pen);
      if (!old) old = previous;
      current = pen;
    }
    MoveToEx(d.dc, side.from.x, side.from.y, nullptr);
    LineTo(d.dc, side.to.x, side.to.y);
  }
  if (old) SelectObject(d.dc, old);
}

void PaintText(KtTextItem& cell, const Device& d, const CellGeometry& g, const std::string& text, double zoom) {
  HFONT font = cell.SetFont(d.dc, nullptr, zoom);
  std::uint32_t color = cell.FontColor();
  DrawCellText(d.dc, text, cell.FontStyle(), font, color, cell.ShadowColor(), cell.ShadowHeavyColor(), g.textLeft,
               g.textTop, Nint(g.textWidth), g.textHeight, cell.ShadowSize(), cell.WordWrap(), cell.AlignPos(),
               cell.Clipping(), false, Nint(d.x(cell.IndentFirst())));
  // The drawn colour is the resolved one; the cell keeps it from now on.
  if (!text.empty()) cell.FontColor(color);
  KtTextItem::ReleaseFont(d.dc, font);
}

void PaintContent(KtTextItem& cell, const Device& d, const CellGeometry& g, const std::string& text) {
  DocumentHost* host = cell.ParentControl();
  const clsBitmap* picture = cell.Picture();
  const std::int32_t bits = host ? host->ColorResolution() : 24;
  if (d.preview()) {
    const double zoom = host ? host->Zoom() : 100.0;
    if (picture) {
      DrawCellBitmap(d.dc, picture->ImageDC(), picture->hBitMap(), picture->Width(), picture->Height(), g.textLeft,
                     g.textTop, g.textWidth, static_cast<float>(g.textHeight), bits, zoom);
    } else if (!text.empty()) {
      PaintText(cell, d, g, text, zoom);
    }
    return;
  }
  if (picture) {
    DrawCellBitmap(d.dc, picture->ImageDC(), picture->hBitMap(), picture->Width(), picture->Height(), g.textLeft,
                   g.textTop, static_cast<float>(Nint(g.textWidth)), static_cast<float>(g.textHeight), bits, 100);
  } else {
    PaintText(cell, d, g, text, 100);
  }
}

void RecordCellFailure(KtTextItem& cell, std::int32_t number, const std::string& source, const std::string& text) {
  if (DocumentHost* host = cell.ParentControl()) host->RecordError(number, source, text);
}

}  // namespace

void PaintCell(KtTextItem& cell, const Device& d, float X, float Y, float right) {
  try {
    const KtRow* row = cell.ParentRow();
    if (!row || !d.dc) return;
    std::string text;
    cell.ExpandText(cell.StoredText(), text);
    const CellGeometry g = Locate(cell, *row, d, X, Y, right);
    if (!(g.textWidth > 0)) return;  // also skips a NaN width
    if (cell.FillCell()) PaintFill(cell, d.dc, g.box);
    DocumentHost* host = cell.ParentControl();
    if (d.preview() && host && host->ShowGuideLines()) PaintGuideLines(d.dc, g.box);
    PaintBorders(d, cell, g.box);
    if (cell.edge() != 0)
      DrawCellEdge(d.dc, static_cast<float>(g.box.left), static_cast<float>(g.box.top),
                   static_cast<float>(g.box.right - g.box.left), static_cast<float>(g.box.bottom - g.box.top),
                   cell.edge(), cell.EdgeFlags());
    if (cell.FrameControl() != 0)
      DrawCellFrameControl(d.dc, cell.FrameControl(), cell.FrameControlFlags(), g.frameLeft, g.textTop, Nint(g.frame),
                           g.textHeight, cell.AlignPos());
    PaintContent(cell, d, g, text);
  } catch (const Error& e) {
    RecordCellFailure(cell, e.number(), e.source(), e.description());
  } catch (const std::exception& e) {
    RecordCellFailure(cell, errnum::kInvalidProcedureCall, kLibraryName, e.what());
  }
}

}  // namespace render
}  // namespace ktfolio
