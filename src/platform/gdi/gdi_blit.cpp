// Block transfers: BitBlt with any ternary raster operation (Cairo paints the
// common ones on any target, the rest are worked out per pixel of a pixel
// target) and StretchBlt's nearest-pixel copy.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {

using namespace gdi;

namespace {

// Evaluates a ternary raster operation bitwise on whole pixels: bit i of the
// operation's index byte is the result for pattern/source/dest bits (i>>2, i>>1, i)&1.
std::uint32_t Rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t out = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(code & (1 << i))) continue;
    out |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return out;
}

// SRCCOPY: Cairo paints the source straight onto any target.
void BlitCopy(DC* d, cairo_surface_t* srcSurface, POINT from, const RECT& to) {
  const int x = to.left, y = to.top, cx = to.right - to.left, cy = to.bottom - to.top;
  cairo_surface_flush(srcSurface);
  if (srcSurface == d->Surface()) {
    // Cairo cannot read and write one surface at once: copy the area first.
    // The copy is black off the surface, and has only what lies on it.
    AreaCopy area;
    CopyArea(srcSurface, from.x, from.y, cx, cy, area);
    cairo_t* cr = d->Begin();
    if (!area.whole) FillBox(cr, RGB(0, 0, 0), x, y, x + cx, y + cy);
    if (area.part) {
      const int px = x + area.dx, py = y + area.dy;
      cairo_set_source_surface(cr, area.part, px, py);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
      cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
      cairo_rectangle(cr, px, py, cairo_image_surface_get_width(area.part), cairo_image_surface_get_height(area.part));
      cairo_fill(cr);
    }
    d->End();
    return;
  }
  cairo_t* cr = d->Begin();
  cairo_set_source_surface(cr, srcSurface, x - from.x, y - from.y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr, x, y, cx, cy);
  cairo_fill(cr);
  d->End();
}

// Any other raster operation, worked out per pixel of a pixel target.
BOOL BlitPerPixel(DC* d, std::uint8_t code, cairo_surface_t* srcSurface, POINT from, const RECT& to,
                  const Brush* patBrush) {
  cairo_surface_t* ds = d->Surface();
  if (!IsPixelSurface(ds) || d->scaleX != 1.0) return FALSE;
  cairo_surface_flush(ds);
  if (srcSurface) cairo_surface_flush(srcSurface);
  RECT b = PixelBounds(d);
  const int ddx = to.left + d->st.org.x, ddy = to.top + d->st.org.y;
  const int left = std::max<int>(ddx, b.left), top = std::max<int>(ddy, b.top);
  const int right = std::min<int>(ddx + (to.right - to.left), b.right);
  const int bottom = std::min<int>(ddy + (to.bottom - to.top), b.bottom);
  if (right <= left || bottom <= top) return TRUE;
  const int sw = srcSurface ? cairo_image_surface_get_width(srcSurface) : 0;
  const int sh = srcSurface ? cairo_image_surface_get_height(srcSurface) : 0;
  // Copy the source rows first: source and destination may be the same surface.
  std::vector<std::uint32_t> row(right - left);
  for (int py = top; py < bottom; ++py) {
    int spy = from.y + (py - ddy);
    bool rowOk = !srcSurface || (spy >= 0 && spy < sh);
    if (!rowOk) continue;
    if (srcSurface) {
      for (int px = left; px < right; ++px) {
        int spx = from.x + (px - ddx);
        row[px - left] = (spx >= 0 && spx < sw) ? *PixelAt(srcSurface, spx, spy) : 0;
      }
    }
    std::uint32_t* out = PixelAt(ds, left, py);
    for (int px = left; px < right; ++px) {
      std::uint32_t sv = srcSurface ? row[px - left] : 0;
      std::uint32_t pat = patBrush ? BrushPixel(patBrush, px, py) : 0xFFFFFFFFu;
      out[px - left] = 0xFF000000u | (Rop3(code, pat, sv, out[px - left]) & 0x00FFFFFFu);
    }
  }
  cairo_surface_mark_dirty_rectangle(ds, left, top, right - left, bottom - top);
  return TRUE;
}

}  // namespace

BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop) {
  GDI_LOCK;
  DC* d = ToDC(dst);
  if (!d) return FALSE;
  const auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  const bool usesSource = ((code >> 2) & 0x33) != (code & 0x33);
  DC* s = usesSource ? ToDC(src) : nullptr;
  if (usesSource && !s) return FALSE;
  // Within the coordinates' limit, so that no sum below overflows.
  x = WithinCoordinates(x), y = WithinCoordinates(y), cx = WithinCoordinates(cx), cy = WithinCoordinates(cy);
  x1 = WithinCoordinates(x1), y1 = WithinCoordinates(y1);
  if (cx < 0) { x += cx; x1 += cx; cx = -cx; }
  if (cy < 0) { y += cy; y1 += cy; cy = -cy; }
  if (cx == 0 || cy == 0) return TRUE;
  Brush* patBrush = d->st.brush && !d->st.brush->hollow ? d->st.brush : nullptr;
  const RECT to{x, y, x + cx, y + cy};

  // Operations Cairo can do directly, on any target.
  if (code == 0x00 || code == 0xFF || code == 0xF0) {
    cairo_t* cr = d->Begin();
    if (code == 0xF0 && patBrush) FillWithBrush(d, cr, patBrush, to);
    else FillBox(cr, code == 0x00 ? RGB(0, 0, 0) : RGB(255, 255, 255), x, y, x + cx, y + cy);
    d->End();
    return TRUE;
  }
  cairo_surface_t* srcSurface = s ? s->Surface() : nullptr;
  if (s && (!IsPixelSurface(srcSurface) || s->scaleX != 1.0)) return FALSE;  // only pixels can be read
  const POINT from{s ? x1 + s->st.org.x : 0, s ? y1 + s->st.org.y : 0};
  if (code == 0xCC) {
    BlitCopy(d, srcSurface, from, to);
    return TRUE;
  }
  return BlitPerPixel(d, code, srcSurface, from, to, patBrush);
}

BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, int cx1, int cy1, DWORD rop) {
  GDI_LOCK;
  x = WithinCoordinates(x), y = WithinCoordinates(y), cx = WithinCoordinates(cx), cy = WithinCoordinates(cy);
  x1 = WithinCoordinates(x1), y1 = WithinCoordinates(y1), cx1 = WithinCoordinates(cx1), cy1 = WithinCoordinates(cy1);
  if (cx == cx1 && cy == cy1) return BitBlt(dst, x, y, cx, cy, src, x1, y1, rop);
  DC* d = ToDC(dst);
  DC* s = ToDC(src);
  if (!d || !s || rop != SRCCOPY || cx1 == 0 || cy1 == 0) return FALSE;
  if (cx == 0 || cy == 0) return TRUE;
  cairo_surface_t* ss = s->Surface();
  if (!IsPixelSurface(ss) || s->scaleX != 1.0) return FALSE;
  cairo_surface_flush(ss);
  // Copy the source area out first: it may be the destination surface too.
  const int sx = (cx1 < 0 ? x1 + cx1 : x1) + s->st.org.x, sy = (cy1 < 0 ? y1 + cy1 : y1) + s->st.org.y;
  AreaCopy area;
  CopyArea(ss, sx, sy, std::abs(cx1), std::abs(cy1), area);
  PaintStretched(d, {x, y, cx, cy}, area, cx1, cy1);
  return TRUE;
}

}  // namespace ktfolio::win
