// Placing a picture in a nine-cell position of a rectangle and drawing it,
// enabled or in the disabled relief.
#include "winsupport/drawing.h"

#include "platform/gdi/gdi_scoped.h"

namespace ktfolio {

using namespace win;

namespace {

// Places a length along one axis: 0 start, 1 centre, 2 end. The start and end
// places take the picture's room (and the gap) out of the range.
std::int32_t PlaceAlong(std::int32_t band, std::int32_t& from, std::int32_t& to, std::int32_t length,
                        std::int32_t gap) {
  switch (band) {
    case 0: {
      const std::int32_t at = from;
      from = from + length + gap;
      return at;
    }
    case 1: return from + (to - from - length) / 2;
    default: {
      const std::int32_t at = to - length;
      to = to - length - gap;
      return at;
    }
  }
}

// Stretches a bitmap onto `dc` at (x, y), w x h.
void StretchBitmap(HDC dc, HBITMAP bitmap, const RECT& at, std::int32_t naturalW, std::int32_t naturalH) {
  const OwnedDC src = MemoryDC(nullptr);
  const SelectedObject selected(src, bitmap);
  StretchBlt(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, src, 0, 0, naturalW, naturalH, SRCCOPY);
}

// Draws the picture at its size into a memory bitmap over the face colour.
OwnedBitmap PictureOnFace(const PictureStyle& style, std::int32_t w, std::int32_t h) {
  const OwnedDC mem = MemoryDC(nullptr);
  OwnedBitmap bmp(CreateCompatibleBitmap(mem, w, h));
  const SelectedObject selected(mem, bmp);
  const OwnedBrush brush(CreateSolidBrush(OleTranslateColor(style.face)));
  const RECT all{0, 0, w, h};
  FillRect(mem, &all, brush);
  if (style.picture.icon)
    DrawIconEx(mem, 0, 0, style.picture.icon, w, h, 0, nullptr, DI_NORMAL);
  else if (style.picture.bitmap)
    StretchBitmap(mem, style.picture.bitmap, all, style.naturalW, style.naturalH);
  return bmp;
}

// The disabled look: every pixel that differs from the face becomes a light
// copy one pixel down-right (so the shape stands one pixel out of the face)
// and a dark pixel on top. Mode 1 dithers the dark
// copy (every other pixel), mode 2 draws it solid.
void DrawRelief(HDC dc, HBITMAP image, const RECT& at, const PictureStyle& style) {
  const OwnedDC src = MemoryDC(nullptr);
  const SelectedObject selected(src, image);
  const COLORREF faceRgb = OleTranslateColor(style.face);
  const COLORREF darkRgb = OleTranslateColor(style.dark), lightRgb = OleTranslateColor(style.light);
  const int x = at.left, y = at.top, w = at.right - at.left, h = at.bottom - at.top;
  auto ink = [&](int px, int py) { return (GetPixel(src, px, py) & 0xFFFFFF) != faceRgb; };
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px)
      if (ink(px, py)) SetPixel(dc, x + px + 1, y + py + 1, lightRgb);
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px)
      if (ink(px, py) && (style.shadeMode != 1 || (px + py) % 2 == 0)) SetPixel(dc, x + px, y + py, darkRgb);
}

}  // namespace

void DrawPicture(HDC dc, const PictureStyle& style, RECT& rc) {
  const std::int32_t w = style.wantedW ? style.wantedW : style.naturalW;
  const std::int32_t h = style.wantedH ? style.wantedH : style.naturalH;
  const std::int32_t x = PlaceAlong(style.position % 3, rc.left, rc.right, w, style.gap);
  const std::int32_t y = PlaceAlong(style.position / 3, rc.top, rc.bottom, h, style.gap);
  const PictureRef& picture = style.picture;
  if (w <= 0 || h <= 0 || (!picture.icon && !picture.bitmap)) return;
  const RECT at{x, y, x + w, y + h};
  if (style.enabled) {
    if (picture.icon)
      DrawIconEx(dc, x, y, picture.icon, w, h, 0, nullptr, DI_NORMAL);
    else
      StretchBitmap(dc, picture.bitmap, at, style.naturalW, style.naturalH);
    return;
  }
  if (picture.icon && style.shadeMode == 0 && w == style.naturalW && h == style.naturalH) {
    DrawState(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(picture.icon), 0, x, y, w, h, DST_ICON | DSS_DISABLED);
    return;
  }
  const OwnedBitmap image = PictureOnFace(style, w, h);
  DrawRelief(dc, image, at, style);
}

}  // namespace ktfolio
