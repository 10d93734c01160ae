// Placing a picture in a nine-cell position of a rectangle and drawing it,
// enabled or in the disabled relief.
#include "winsupport/drawing.h"

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

// Draws the picture at its size into a memory bitmap over the face colour.
HBITMAP PictureOnFace(PictureRef picture, std::int32_t naturalW, std::int32_t naturalH, std::int32_t w,
                      std::int32_t h, std::uint32_t face) {
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(mem, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  HBRUSH brush = CreateSolidBrush(OleTranslateColor(face));
  RECT all{0, 0, w, h};
  FillRect(mem, &all, brush);
  DeleteObject(brush);
  if (picture.icon) {
    DrawIconEx(mem, 0, 0, picture.icon, w, h, 0, nullptr, DI_NORMAL);
  } else if (picture.bitmap) {
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSrc = SelectObject(src, picture.bitmap);
    StretchBlt(mem, 0, 0, w, h, src, 0, 0, naturalW, naturalH, SRCCOPY);
    SelectObject(src, oldSrc);
    DeleteDC(src);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  return bmp;
}

// The disabled look: every pixel that differs from the face becomes a light
// copy one pixel down-right (so the shape stands one pixel out of the face)
// and a dark pixel on top. Mode 1 dithers the dark
// copy (every other pixel), mode 2 draws it solid.
void DrawRelief(HDC dc, HBITMAP image, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                std::int32_t mode, std::uint32_t face, std::uint32_t dark, std::uint32_t light) {
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, image);
  const COLORREF faceRgb = OleTranslateColor(face), darkRgb = OleTranslateColor(dark), lightRgb = OleTranslateColor(light);
  auto ink = [&](int px, int py) { return (GetPixel(src, px, py) & 0xFFFFFF) != faceRgb; };
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px)
      if (ink(px, py)) SetPixel(dc, x + px + 1, y + py + 1, lightRgb);
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px)
      if (ink(px, py) && (mode != 1 || (px + py) % 2 == 0)) SetPixel(dc, x + px, y + py, darkRgb);
  SelectObject(src, old);
  DeleteDC(src);
}

}  // namespace

void DrawPicture(HDC dc, PictureRef picture, std::int32_t naturalW, std::int32_t naturalH, std::int32_t wantedW,
                 std::int32_t wantedH, bool enabled, std::int32_t position, std::int32_t& left, std::int32_t& top,
                 std::int32_t& right, std::int32_t& bottom, std::int32_t shadeMode, std::uint32_t face,
                 std::uint32_t dark, std::uint32_t light, std::int32_t gap) {
  const std::int32_t w = wantedW ? wantedW : naturalW, h = wantedH ? wantedH : naturalH;
  const std::int32_t x = PlaceAlong(position % 3, left, right, w, gap);
  const std::int32_t y = PlaceAlong(position / 3, top, bottom, h, gap);
  if (w <= 0 || h <= 0 || (!picture.icon && !picture.bitmap)) return;
  if (enabled) {
    if (picture.icon) {
      DrawIconEx(dc, x, y, picture.icon, w, h, 0, nullptr, DI_NORMAL);
    } else {
      HDC src = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(src, picture.bitmap);
      StretchBlt(dc, x, y, w, h, src, 0, 0, naturalW, naturalH, SRCCOPY);
      SelectObject(src, old);
      DeleteDC(src);
    }
    return;
  }
  if (picture.icon && shadeMode == 0 && w == naturalW && h == naturalH) {
    DrawState(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(picture.icon), 0, x, y, w, h, DST_ICON | DSS_DISABLED);
    return;
  }
  HBITMAP image = PictureOnFace(picture, naturalW, naturalH, w, h, face);
  DrawRelief(dc, image, x, y, w, h, shadeMode, face, dark, light);
  DeleteObject(image);
}

}  // namespace ktfolio
