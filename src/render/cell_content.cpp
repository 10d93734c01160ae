// The device routines behind every cell: shadowed text placed by alignment,
// the frame-control glyph, the 3-D edge and the stretched picture.
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/gdi/gdi_transform.h"
#include "platform/gdi/text_block.h"
#include "render/render_impl.h"

namespace ktfolio::render {

using namespace win;

namespace {

// Vertical band of an alignment. Justify values and anything out of range
// draw at the top.
BlockAlign AlignRow(std::int32_t alignPos) {
  if (alignPos >= 4 && alignPos <= 6) return BlockAlign::Middle;
  if (alignPos >= 8 && alignPos <= 10) return BlockAlign::Bottom;
  return BlockAlign::Top;
}

UINT AlignFlag(std::int32_t alignPos) {
  switch (alignPos) {
    case 1: case 5: case 9: return DT_CENTER;
    case 2: case 6: case 10: return DT_RIGHT;
    default: return DT_LEFT;
  }
}

// The shadow copies of a text style: the colour drawn at -size, then at +size
// (0 = no copy).
struct ShadowCopies {
  std::uint32_t before = 0, after = 0;
  bool hasBefore = false, hasAfter = false;
};

ShadowCopies ShadowsOf(std::int32_t style, std::uint32_t light, std::uint32_t heavy) {
  switch (style) {
    case 0: return {};                                    // flat
    case 1: return {light, 0, true, false};               // raised
    case 2: return {light, heavy, true, true};            // raised heavy
    case 3: return {0, light, false, true};               // inset
    case 4: return {heavy, light, true, true};            // inset heavy
    default: return {light, light, true, true};
  }
}

// Where DrawCellText puts a text: the text (the cell's, or `indented` when its
// first line is indented), its DrawText flags, and the area with the lines'
// vertical place in it.
struct PlacedText {
  std::string_view text;  // views a whole std::string, so text.data() ends in a NUL
  UINT flags = 0;
  RECT area{};
  BlockAlign align = BlockAlign::Top;
};

// The first-line indent is made of spaces of `font`. More spaces than fit the
// width cannot move the text further, so their count is bounded by it, as it
// is when the cell is measured. False when there is no indent to make.
bool IndentFirstLine(HDC dc, HFONT font, const std::string& text, std::int32_t firstIndent, std::int32_t width,
                     std::string& indented) {
  if (firstIndent <= 0) return false;
  INT space = 0;
  {
    const SelectedObject selected(dc, font);
    if (!GetCharWidth32(dc, ' ', ' ', &space) || space <= 0) return false;
  }
  const std::int64_t wanted = firstIndent / space;
  const std::int64_t enough = std::clamp<std::int64_t>(width, 0, kMaxLineWidth) / space + 1;
  indented = std::string(static_cast<size_t>(std::min(wanted, enough)), ' ') + text;
  return true;
}

PlacedText PlaceText(HDC dc, HFONT font, const std::string& text, const RECT& area, const CellTextStyle& style,
                     std::string& indented) {
  PlacedText p;
  const bool indent = IndentFirstLine(dc, font, text, style.firstIndent, area.right - area.left, indented);
  p.text = indent ? indented : text;
  p.area = area;
  p.flags = (style.processPrefix ? 0 : DT_NOPREFIX) | (style.clipping ? 0 : DT_NOCLIP) |
            (style.wordWrap ? DT_WORDBREAK : 0) | AlignFlag(style.alignPos);
  p.align = AlignRow(style.alignPos);
  return p;
}

// The rectangle the placed lines fill, measured in the selected font.
RECT PlacedLines(HDC dc, const PlacedText& p) {
  RECT rc = p.area;
  DrawText(dc, p.text.data(), -1, &rc, p.flags | DT_CALCRECT);
  const std::int32_t h = rc.bottom - rc.top;
  rc = p.area;
  rc.top = BlockTop(p.area, h, p.align);
  rc.bottom = rc.top + h;
  return rc;
}

// Sets the transform that takes a layout at another size to the device:
// `scale` device units per layout unit, the layout's origin at (x, y).
void ScaleLayout(HDC dc, double scale, std::int32_t x, std::int32_t y) {
  SetGraphicsMode(dc, GM_ADVANCED);
  XFORM t;
  t.eM11 = t.eM22 = static_cast<FLOAT>(scale);
  t.eDx = static_cast<FLOAT>(x);
  t.eDy = static_cast<FLOAT>(y);
  SetWorldTransform(dc, &t);
}

}  // namespace

void DrawCellText(HDC dc, const std::string& textIn, HFONT font, std::uint32_t& fontColor, const RECT& area,
                  const CellTextStyle& style) {
  if (textIn.empty()) return;
  std::string indented;
  const PlacedText p = PlaceText(dc, font, textIn, area, style, indented);
  // Font, colour and clip go with each copy: the context's own stay as they are.
  TextBlock block;
  block.format = p.flags;
  block.align = p.align;
  block.font = font;
  if (style.clipping) block.clip = area;
  auto draw = [&](std::int32_t offset, std::uint32_t color) {
    block.rc = RECT{p.area.left + offset, p.area.top + offset, p.area.right + offset, p.area.bottom + offset};
    block.color = OleTranslateColor(color) & 0xFFFFFF;
    DrawTextBlock(dc, p.text.data(), -1, block);
  };
  const ShadowCopies shadows = ShadowsOf(style.fontStyle, style.shadowColor, style.shadowHeavyColor);
  if (shadows.hasBefore) draw(-style.shadowSize, shadows.before);
  if (shadows.hasAfter) draw(style.shadowSize, shadows.after);
  draw(0, fontColor);
  fontColor = *block.color;
}

RECT CellTextBlock(HDC dc, const std::string& text, HFONT font, const ScaledArea& at, const CellTextStyle& style) {
  const RECT& area = at.area;
  const double scale = at.scale;
  if (text.empty() || !(scale > 0)) return RECT{area.left, area.top, area.right, area.top};
  RECT lines;
  {
    const SavedDCState saved(dc);
    const SelectedObject selected(dc, font);
    const std::int32_t layoutHeight = Nint((area.bottom - area.top) / scale);
    CellTextStyle layout = style;
    layout.processPrefix = false;
    std::string indented;
    lines = PlacedLines(dc, PlaceText(dc, font, text, RECT{0, 0, at.layoutWidth, layoutHeight}, layout, indented));
  }
  return RECT{area.left, area.top + Nint(lines.top * scale), area.right, area.top + Nint(lines.bottom * scale)};
}

void DrawCellTextScaled(HDC dc, const std::string& text, const std::function<HFONT()>& makeFont,
                        std::uint32_t& fontColor, const ScaledArea& at, const CellTextStyle& style) {
  const RECT& area = at.area;
  const double scale = at.scale;
  if (text.empty() || !(scale > 0)) return;
  const SavedDCState saved(dc);
  if (style.clipping) IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  const RECT layoutArea{0, 0, at.layoutWidth, Nint((area.bottom - area.top) / scale)};
  CellTextStyle flat = style;
  flat.fontStyle = 0;
  flat.shadowColor = flat.shadowHeavyColor = 0;
  flat.shadowSize = 0;
  flat.processPrefix = false;
  // One flat copy per shadow, then the text, each with the layout moved by
  // its offset in device units (shadows do not grow with the zoom).
  auto copy = [&](std::int32_t offset, std::uint32_t& color) {
    const SavedDCState inner(dc);
    ScaleLayout(dc, scale, area.left + offset, area.top + offset);
    const OwnedFont font(makeFont());
    DrawCellText(dc, text, font, color, layoutArea, flat);
  };
  ShadowCopies shadows = ShadowsOf(style.fontStyle, style.shadowColor, style.shadowHeavyColor);
  if (shadows.hasBefore) copy(-style.shadowSize, shadows.before);
  if (shadows.hasAfter) copy(style.shadowSize, shadows.after);
  copy(0, fontColor);
}

void DrawCellFrameControl(HDC dc, std::int32_t type, std::int32_t flags, const RECT& band, std::int32_t alignPos) {
  if (type == 0) return;
  const std::int32_t left = band.left, size = band.right - band.left, height = band.bottom - band.top;
  const std::int32_t side = size < height ? size : height;
  RECT rc{left, BlockTop(band, side, AlignRow(alignPos)), left + side, 0};
  rc.bottom = rc.top + side;
  DrawFrameControl(dc, &rc, static_cast<UINT>(type), static_cast<UINT>(flags));
}

void DrawCellEdge(HDC dc, const RECT& box, std::int32_t edge, std::int32_t edgeFlags) {
  RECT rc = box;
  DrawEdge(dc, &rc, static_cast<UINT>(edge), static_cast<UINT>(edgeFlags));
}

namespace {

// Bytes in one DIB row at a colour depth, DWORD-aligned.
std::size_t DibRowBytes(std::int32_t width, std::int32_t bits) {
  std::size_t w = static_cast<std::size_t>(std::max(0, width));
  std::size_t row;
  switch (bits) {
    case 1: row = (w + 7) / 8; break;
    case 4: row = (w + 1) / 2; break;
    case 8: row = w; break;
    case 16: case 24: row = w * 3; break;
    default: row = w * 4; break;  // any deeper format a host picks still fits
  }
  return (row + 3) / 4 * 4;
}

}  // namespace

void DrawCellBitmap(HDC dc, const CellBitmap& picture, const BitmapPlace& to) {
  const std::int32_t width = picture.width, height = picture.height, bits = picture.bits;
  if (!picture.bitmap || width <= 0 || height <= 0) return;
  const OwnedDC mem = MemoryDC(picture.imageDC);
  if (!mem) return;
  BITMAPINFO info;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<unsigned char> block(DibRowBytes(width, bits) * static_cast<std::size_t>(height));
  GetDIBits(mem, picture.bitmap, 0, static_cast<UINT>(height), block.data(), &info, DIB_RGB_COLORS);
  StretchDIBits(dc, to.left, to.top, Nint(to.width), Nint(to.height), 0, 0, width, height, block.data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace ktfolio::render
