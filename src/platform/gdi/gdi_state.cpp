// A device context's drawing state: background mode and colour, text colour,
// viewport origin and the clip rectangle.
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
  dc->st.org = POINT{x, y};
  return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, POINT* org) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !org) return FALSE;
  *org = dc->st.org;
  return TRUE;
}

namespace {
RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}
RECT VisibleClip(DC* dc) {
  RECT b = dc->Bounds();
  return dc->st.clipped ? Intersect(dc->st.clip, b) : b;
}
int RegionKind(const RECT& r) { return (r.right > r.left && r.bottom > r.top) ? SIMPLEREGION : NULLREGION; }
}  // namespace

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return ERROR_REGION;
  RECT r{std::min(left, right) + dc->st.org.x, std::min(top, bottom) + dc->st.org.y,
         std::max(left, right) + dc->st.org.x, std::max(top, bottom) + dc->st.org.y};
  dc->st.clip = Intersect(VisibleClip(dc), r);
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
    v.left -= dc->st.org.x;
    v.right -= dc->st.org.x;
    v.top -= dc->st.org.y;
    v.bottom -= dc->st.org.y;
  }
  *rc = v;
  return kind;
}

}  // namespace ktfolio::win
