// The device routines behind every cell: shadowed text placed by alignment,
// the frame-control glyph, the 3-D edge and the stretched picture.
#include <algorithm>
#include <vector>

#include "render/render.h"
#include "render/render_impl.h"

namespace ktfolio::render {

using namespace win;

namespace {

// Vertical band of an alignment: 0 top, 1 middle, 2 bottom. Justify values
// and anything out of range draw at the top.
int AlignRow(std::int32_t alignPos) {
  if (alignPos >= 0 && alignPos <= 2) return 0;
  if (alignPos >= 4 && alignPos <= 6) return 1;
  if (alignPos >= 8 && alignPos <= 10) return 2;
  return 0;
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

void DrawCopy(HDC dc, const std::string& text, RECT rc, int offset, std::uint32_t color, UINT flags) {
  rc.left += offset;
  rc.top += offset;
  rc.right += offset;
  rc.bottom += offset;
  SetTextColor(dc, OleToRgb(color));
  DrawText(dc, text.c_str(), -1, &rc, flags);
}

// The first-line indent is made of spaces. More spaces than fit the width
// cannot move the text further, so their count is bounded by it, as it is
// when the cell is measured.
std::string IndentFirstLine(HDC dc, const std::string& text, std::int32_t firstIndent, std::int32_t width) {
  if (firstIndent <= 0) return text;
  INT space = 0;
  if (!GetCharWidth32(dc, ' ', ' ', &space) || space <= 0) return text;
  const std::int64_t wanted = firstIndent / space;
  const std::int64_t enough = std::clamp<std::int64_t>(width, 0, kMaxLineWidth) / space + 1;
  return std::string(static_cast<size_t>(std::min(wanted, enough)), ' ') + text;
}

}  // namespace

void DrawCellText(HDC dc, const std::string& textIn, std::int32_t fontStyle, HFONT& font, std::uint32_t& fontColor,
                  std::uint32_t shadowColor, std::uint32_t shadowHeavyColor, std::int32_t left, std::int32_t top,
                  std::int32_t width, std::int32_t height, std::int32_t shadowSize, bool wordWrap,
                  std::int32_t alignPos, bool clipping, bool processPrefix, std::int32_t firstIndent) {
  if (textIn.empty()) return;
  const int saved = SaveDC(dc);
  HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  const std::string text = IndentFirstLine(dc, textIn, firstIndent, width);
  if (clipping) IntersectClipRect(dc, left, top, left + width, top + height);
  SetBkMode(dc, TRANSPARENT);

  RECT rc{left, top, left + width, top + height};
  UINT flags = (processPrefix ? 0 : DT_NOPREFIX) | (clipping ? 0 : DT_NOCLIP) | (wordWrap ? DT_WORDBREAK : 0);
  DrawText(dc, text.c_str(), -1, &rc, flags | DT_CALCRECT);
  const std::int32_t h = rc.bottom - rc.top;
  rc.left = left;
  rc.right = left + width;
  switch (AlignRow(alignPos)) {
    case 1: rc.top = top + (height - h) / 2; rc.bottom = rc.top + h; break;
    case 2: rc.bottom = top + height; rc.top = rc.bottom - h; break;
    default: rc.top = top; rc.bottom = top + h; break;
  }
  flags |= AlignFlag(alignPos);

  const ShadowCopies shadows = ShadowsOf(fontStyle, shadowColor, shadowHeavyColor);
  if (shadows.hasBefore) DrawCopy(dc, text, rc, -shadowSize, shadows.before, flags);
  if (shadows.hasAfter) DrawCopy(dc, text, rc, shadowSize, shadows.after, flags);

  SetTextColor(dc, OleToRgb(fontColor));
  fontColor = GetTextColor(dc);
  DrawText(dc, text.c_str(), -1, &rc, flags);

  if (previous) SelectObject(dc, previous);
  if (font) DeleteObject(font);
  font = nullptr;
  RestoreDC(dc, saved);
}

void DrawCellFrameControl(HDC dc, std::int32_t type, std::int32_t flags, std::int32_t left, std::int32_t top,
                          std::int32_t size, std::int32_t height, std::int32_t alignPos) {
  if (type == 0) return;
  const std::int32_t side = size < height ? size : height;
  RECT rc{left, top, left + side, top + side};
  switch (AlignRow(alignPos)) {
    case 1: rc.top = top + (height - side) / 2; break;
    case 2: rc.top = top + height - side; break;
    default: break;
  }
  rc.bottom = rc.top + side;
  DrawFrameControl(dc, &rc, static_cast<UINT>(type), static_cast<UINT>(flags));
}

void DrawCellEdge(HDC dc, float left, float top, float width, float height, std::int32_t edge,
                  std::int32_t edgeFlags) {
  RECT rc{Nint(left), Nint(top), Nint(left + width), Nint(top + height)};
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

void DrawCellBitmap(HDC dc, HDC imageDC, HBITMAP bitmap, std::int32_t width, std::int32_t height,
                    std::int32_t destLeft, std::int32_t destTop, float destWidth, float destHeight,
                    std::int32_t bits, double zoom) {
  if (!bitmap || width <= 0 || height <= 0) return;
  HDC mem = CreateCompatibleDC(imageDC);
  if (!mem) return;
  BITMAPINFO info;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bits);
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<unsigned char> block(DibRowBytes(width, bits) * static_cast<std::size_t>(height));
  GetDIBits(mem, bitmap, 0, static_cast<UINT>(height), block.data(), &info, DIB_RGB_COLORS);
  StretchDIBits(dc, destLeft, destTop, Nint(destWidth), Nint(destHeight), 0, 0, width, height, block.data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
  DeleteDC(mem);
}

}  // namespace ktfolio::render
