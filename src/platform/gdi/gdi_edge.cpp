// DrawEdge and DrawFocusRect: the classic 3-D borders made of one-pixel rings
// in the system colours, and the dotted XOR focus frame.
#include <algorithm>
#include <utility>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

// One ring of an edge: the top and left sides take one colour, the bottom and
// right the other; the bottom-right sides own the two corners they share.
struct Ring {
  bool present = false;
  COLORREF topLeft = 0;
  COLORREF bottomRight = 0;
};

struct EdgeLook {
  Ring outer, inner;
  COLORREF middle = 0;
};

constexpr UINT kSides = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;

EdgeLook LookOf(UINT edge, UINT flags) {
  EdgeLook look;
  look.outer.present = (edge & BDR_OUTER) != 0;
  look.inner.present = (edge & BDR_INNER) != 0;
  if (flags & (BF_MONO | BF_FLAT)) {
    // Flat and mono borders are one colour all round, with a window-coloured inside.
    const bool mono = (flags & BF_MONO) != 0;
    const COLORREF out = GetSysColor(mono ? COLOR_WINDOWFRAME : COLOR_3DSHADOW);
    const COLORREF in = GetSysColor(mono ? COLOR_WINDOW : COLOR_3DFACE);
    look.outer.topLeft = look.outer.bottomRight = out;
    look.inner.topLeft = look.inner.bottomRight = in;
    look.middle = GetSysColor(COLOR_WINDOW);
    return look;
  }
  // Raised wins when an edge asks for both on one ring.
  const bool outerRaised = (edge & BDR_RAISEDOUTER) != 0, innerRaised = (edge & BDR_RAISEDINNER) != 0;
  look.outer.topLeft = GetSysColor(outerRaised ? COLOR_3DLIGHT : COLOR_3DSHADOW);
  look.outer.bottomRight = GetSysColor(outerRaised ? COLOR_3DDKSHADOW : COLOR_3DHIGHLIGHT);
  look.inner.topLeft = GetSysColor(innerRaised ? COLOR_3DHIGHLIGHT : COLOR_3DDKSHADOW);
  look.inner.bottomRight = GetSysColor(innerRaised ? COLOR_3DSHADOW : COLOR_3DLIGHT);
  // Soft edges put the stronger top-left colour outside (push buttons).
  if (flags & BF_SOFT) std::swap(look.outer.topLeft, look.inner.topLeft);
  look.middle = GetSysColor(COLOR_3DFACE);
  return look;
}

void Fill(cairo_t* cr, COLORREF c, LONG l, LONG t, LONG r, LONG b) {
  if (r <= l || b <= t) return;
  SetSourceColor(cr, c);
  cairo_rectangle(cr, l, t, r - l, b - t);
  cairo_fill(cr);
}

// Draws one ring on the chosen sides of rc and moves those sides inwards.
void DrawRing(cairo_t* cr, RECT& rc, UINT sides, const Ring& ring) {
  if (rc.right <= rc.left || rc.bottom <= rc.top) return;
  if (sides & BF_TOP) Fill(cr, ring.topLeft, rc.left, rc.top, (sides & BF_RIGHT) ? rc.right - 1 : rc.right, rc.top + 1);
  if (sides & BF_LEFT)
    Fill(cr, ring.topLeft, rc.left, rc.top, rc.left + 1, (sides & BF_BOTTOM) ? rc.bottom - 1 : rc.bottom);
  if (sides & BF_BOTTOM) Fill(cr, ring.bottomRight, rc.left, rc.bottom - 1, rc.right, rc.bottom);
  if (sides & BF_RIGHT) Fill(cr, ring.bottomRight, rc.right - 1, rc.top, rc.right, rc.bottom);
  if (sides & BF_LEFT) ++rc.left;
  if (sides & BF_TOP) ++rc.top;
  if (sides & BF_RIGHT) --rc.right;
  if (sides & BF_BOTTOM) --rc.bottom;
}

// A diagonal edge runs from one corner of rc to the corner its flags name
// (BF_TOP|BF_RIGHT: bottom-left to top-right). The rings are stacked on the
// side where the area lies, which is to the right of the direction of travel;
// diagonals ending at the top take the top-left colours, those ending at the
// bottom the bottom-right ones.
void DrawDiagonal(cairo_t* cr, const RECT& rc, UINT flags, const EdgeLook& look) {
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return;
  const bool endTop = (flags & BF_TOP) != 0, endRight = (flags & BF_RIGHT) != 0;
  // Start and end pixel centres.
  const double x0 = endRight ? rc.left + 0.5 : rc.right - 0.5, x1 = endRight ? rc.right - 0.5 : rc.left + 0.5;
  const double y0 = endTop ? rc.bottom - 0.5 : rc.top + 0.5, y1 = endTop ? rc.top + 0.5 : rc.bottom - 0.5;
  // The area is right of travel: to the right of the line (x grows) for upward
  // lines, to the left for downward ones.
  const int toArea = endTop ? 1 : -1;
  cairo_save(cr);
  cairo_rectangle(cr, rc.left, rc.top, w, h);
  cairo_clip(cr);
  // Half a pixel past both centres, so the corner pixels at both ends are in.
  const double ex = x1 > x0 ? 0.5 : -0.5, ey = y1 > y0 ? 0.5 : -0.5;
  int shift = 0;
  for (const Ring* ring : {&look.outer, &look.inner}) {
    if (!ring->present) continue;
    SetSourceColor(cr, endTop ? ring->topLeft : ring->bottomRight);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, x0 + shift - ex, y0 - ey);
    cairo_line_to(cr, x1 + shift + ex, y1 + ey);
    cairo_stroke(cr);
    shift += toArea;
  }
  if (flags & BF_MIDDLE) {
    // The triangle between the innermost line and the corner on the area's side.
    const double cornerX = toArea > 0 ? rc.right : rc.left;
    const double cornerY = endTop == endRight ? rc.bottom : rc.top;
    const double off = shift - toArea * 0.5;  // the boundary just past the innermost ring
    SetSourceColor(cr, look.middle);
    cairo_move_to(cr, x0 + off, y0);
    cairo_line_to(cr, x1 + off, y1);
    cairo_line_to(cr, cornerX, cornerY);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !rc) return FALSE;
  *rc = WithinCoordinates(*rc);
  const EdgeLook look = LookOf(edge, flags);
  cairo_t* cr = dc->Begin();
  if (flags & BF_DIAGONAL) {
    DrawDiagonal(cr, *rc, flags, look);
    dc->End();
    return TRUE;
  }
  RECT inside = *rc;
  const UINT sides = flags & kSides;
  if (look.outer.present) DrawRing(cr, inside, sides, look.outer);
  if (look.inner.present) DrawRing(cr, inside, sides, look.inner);
  if (flags & BF_MIDDLE) Fill(cr, look.middle, inside.left, inside.top, inside.right, inside.bottom);
  dc->End();
  if (flags & BF_ADJUST) *rc = inside;
  return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !rc) return FALSE;
  cairo_surface_t* s = dc->Surface();
  // XOR needs pixels to read; on a printer page there is no focus to show.
  if (!s || cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE || dc->scaleX != 1.0) return TRUE;
  const RECT within = WithinCoordinates(*rc);
  const LONG l = within.left + dc->st.org.x, t = within.top + dc->st.org.y;
  const LONG r = within.right + dc->st.org.x, b = within.bottom + dc->st.org.y;
  if (r <= l || b <= t) return TRUE;
  RECT clip{0, 0, cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)};
  if (dc->st.clipped) {
    clip.left = std::max(clip.left, dc->st.clip.left);
    clip.top = std::max(clip.top, dc->st.clip.top);
    clip.right = std::min(clip.right, dc->st.clip.right);
    clip.bottom = std::min(clip.bottom, dc->st.clip.bottom);
  }
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  // Every other pixel of the frame, on a checkerboard fixed to the device, so
  // the dots line up across calls and a second call puts everything back.
  auto flip = [&](LONG x, LONG y) {
    if (x < clip.left || y < clip.top || x >= clip.right || y >= clip.bottom || ((x + y) & 1)) return;
    reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride)[x] ^= 0x00FFFFFFu;
  };
  // Only the part of the frame inside the clip is walked: a frame as wide as
  // the coordinates would otherwise take seconds.
  for (LONG x = std::max(l, clip.left), xEnd = std::min(r, clip.right); x < xEnd; ++x) {
    flip(x, t);
    if (b - 1 > t) flip(x, b - 1);
  }
  for (LONG y = std::max(t + 1, clip.top), yEnd = std::min(b - 1, clip.bottom); y < yEnd; ++y) {
    flip(l, y);
    if (r - 1 > l) flip(r - 1, y);
  }
  cairo_surface_mark_dirty(s);
  return TRUE;
}

}  // namespace ktfolio::win
