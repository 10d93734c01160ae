// A device context's drawing state: background mode and colour, text colour,
// viewport origin, the world transform and the clip rectangle.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {

using namespace gdi;

int SetBkMode(HDC hdc, int mode) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(dc->st.bkMode, mode);
}

int GetBkMode(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  return dc ? dc->st.bkMode : 0;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return 0xFFFFFFFF;
  return std::exchange(dc->st.bkColor, color & 0xFFFFFF);
}

COLORREF GetBkColor(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  return dc ? dc->st.bkColor : 0xFFFFFFFF;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return 0xFFFFFFFF;
  return std::exchange(dc->st.textColor, color & 0xFFFFFF);
}

COLORREF GetTextColor(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  return dc ? dc->st.textColor : 0xFFFFFFFF;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->st.org;
  dc->st.org = WithinCoordinates(POINT{x, y});
  return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, POINT* org) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !org) return FALSE;
  *org = dc->st.org;
  return TRUE;
}

int SetGraphicsMode(HDC hdc, int mode) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || (mode != GM_COMPATIBLE && mode != GM_ADVANCED)) return 0;
  if (mode == GM_COMPATIBLE && dc->st.Transformed()) return 0;  // the transform must be reset first
  return std::exchange(dc->st.graphicsMode, mode);
}

int GetGraphicsMode(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  return dc ? dc->st.graphicsMode : 0;
}

BOOL SetWorldTransform(HDC hdc, const XFORM* xform) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !xform || dc->st.graphicsMode != GM_ADVANCED) return FALSE;
  const FLOAT all[] = {xform->eM11, xform->eM12, xform->eM21, xform->eM22, xform->eDx, xform->eDy};
  if (!std::all_of(std::begin(all), std::end(all), [](FLOAT v) { return std::isfinite(v); })) return FALSE;
  if (xform->eM11 * xform->eM22 - xform->eM12 * xform->eM21 == 0) return FALSE;  // no inverse
  dc->st.xform = *xform;
  return TRUE;
}

BOOL GetWorldTransform(HDC hdc, XFORM* xform) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !xform) return FALSE;
  *xform = dc->st.xform;
  return TRUE;
}

namespace {
// The whole-unit box around a rectangle carried through `m`.
RECT Through(const cairo_matrix_t& m, double left, double top, double right, double bottom) {
  auto lround = [](double v) { return static_cast<LONG>(std::lround(v)); };
  if (m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0)  // the usual case: a shift at most
    return RECT{lround(std::min(left, right) + m.x0), lround(std::min(top, bottom) + m.y0),
                lround(std::max(left, right) + m.x0), lround(std::max(top, bottom) + m.y0)};
  double xs[4] = {left, right, left, right}, ys[4] = {top, top, bottom, bottom};
  for (int i = 0; i < 4; ++i) cairo_matrix_transform_point(&m, &xs[i], &ys[i]);
  return RECT{lround(*std::min_element(xs, xs + 4)), lround(*std::min_element(ys, ys + 4)),
              lround(*std::max_element(xs, xs + 4)), lround(*std::max_element(ys, ys + 4))};
}
cairo_matrix_t WorldMatrix(const XFORM& x) {
  cairo_matrix_t m;
  cairo_matrix_init(&m, x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy);
  return m;
}
RECT VisibleClip(DC* dc) {
  RECT b = dc->Bounds();
  return dc->st.clipped ? Intersect(dc->st.clip, b) : b;
}
int RegionKind(const RECT& r) { return (r.right > r.left && r.bottom > r.top) ? SIMPLEREGION : NULLREGION; }
}  // namespace

namespace gdi {
RECT ClipWithin(DC* dc, int left, int top, int right, int bottom) {
  const RECT within = WithinCoordinates(RECT{left, top, right, bottom});
  left = within.left, top = within.top, right = within.right, bottom = within.bottom;
  // Untransformed (nearly always) the box is the rectangle itself.
  RECT r = dc->st.Transformed()
               ? Through(WorldMatrix(dc->st.xform), left, top, right, bottom)
               : RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  r.left += dc->st.org.x, r.right += dc->st.org.x;
  r.top += dc->st.org.y, r.bottom += dc->st.org.y;
  return Intersect(VisibleClip(dc), r);
}
}  // namespace gdi

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return ERROR_REGION;
  dc->st.clip = ClipWithin(dc, left, top, right, bottom);
  dc->st.clipped = true;
  return RegionKind(dc->st.clip);
}

int SelectClipRgn(HDC hdc, HRGN rgn) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || rgn) return ERROR_REGION;
  dc->st.clipped = false;
  dc->st.clip = RECT{};
  return SIMPLEREGION;
}

int GetClipBox(HDC hdc, RECT* rc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !rc) return ERROR_REGION;
  RECT v = VisibleClip(dc);
  int kind = RegionKind(v);
  if (kind == NULLREGION) v = RECT{};
  else {
    cairo_matrix_t toLogical = WorldMatrix(dc->st.xform);
    cairo_matrix_invert(&toLogical);
    v = Through(toLogical, v.left - dc->st.org.x, v.top - dc->st.org.y, v.right - dc->st.org.x,
                v.bottom - dc->st.org.y);
  }
  *rc = v;
  return kind;
}

}  // namespace ktfolio::win
