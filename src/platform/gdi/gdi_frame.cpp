// DrawFrameControl: caption, menu, scroll-bar and button parts in the classic
// look. Frames come from DrawEdge; glyphs are drawn from simple shapes scaled
// to the part, snapped to whole pixels so they stay crisp at 16 to 40 pixels.
#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

// Border drawn by the raised and sunken frames, and what DFCS_ADJUSTRECT removes.
constexpr int kFrameWidth = 2;
// The part of a button's inside a glyph may use.
constexpr double kGlyphFill = 0.6;

enum class Glyph { Close, Min, Max, Restore, Help, Up, Down, Left, Right, MenuArrow, MenuArrowLeft, Check, Bullet };

struct Square {
  double x, y, s;  // top-left corner and side, device units
};

Square CentredSquare(const RECT& r, double fraction) {
  const double w = r.right - r.left, h = r.bottom - r.top;
  const double s = std::floor(std::min(w, h) * fraction);
  return {std::floor(r.left + (w - s) / 2), std::floor(r.top + (h - s) / 2), s};
}

void Box(cairo_t* cr, double l, double t, double r, double b) {
  if (r > l && b > t) cairo_rectangle(cr, l, t, r - l, b - t);
}

// A filled arrow built row by row (or column by column), as the classic bitmaps
// are: an odd base and a point, each step two pixels narrower.
void Arrow(cairo_t* cr, const Square& q, int dirX, int dirY) {
  int base = static_cast<int>(q.s * 0.6) | 1;
  base = std::max(base, 3);
  const int depth = (base + 1) / 2;
  const double cx = std::floor(q.x + q.s / 2), cy = std::floor(q.y + q.s / 2);
  for (int i = 0; i < depth; ++i) {
    const int half = (base - 1) / 2 - i;
    const double along = -depth / 2 + i;  // from the base towards the point
    if (dirY != 0) {
      const double y = cy + (dirY > 0 ? along : -along);
      Box(cr, cx - half, y, cx + half + 1, y + 1);
    } else {
      const double x = cx + (dirX > 0 ? along : -along);
      Box(cr, x, cy - half, x + 1, cy + half + 1);
    }
  }
  cairo_fill(cr);
}

void Stroke(cairo_t* cr, double width) {
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cr);
}

// A small window outline: one-pixel sides and a thicker title bar.
void WindowShape(cairo_t* cr, double l, double t, double r, double b, double bar) {
  Box(cr, l, t, r, t + bar);
  Box(cr, l, t, l + 1, b);
  Box(cr, r - 1, t, r, b);
  Box(cr, l, b - 1, r, b);
  cairo_fill(cr);
}

void PaintGlyph(cairo_t* cr, Glyph g, const Square& q, COLORREF color) {
  SetSourceColor(cr, color);
  const double s = q.s, x = q.x, y = q.y;
  const double thick = std::max(1.0, std::round(s / 7));  // caption glyph strokes
  auto at = [&](double fx, double fy, double* px, double* py) {
    *px = std::round(x + fx * s);
    *py = std::round(y + fy * s);
  };
  double ax, ay, bx, by;
  switch (g) {
    case Glyph::Close: {
      // Two bars crossing, each `thick` wide, drawn along pixel centres.
      const double l = x + std::round(s * 0.15), r = x + s - std::round(s * 0.15) - 1;
      const double t = y + std::round(s * 0.15), b = t + (r - l);
      for (int k = 0; k < static_cast<int>(thick) + 1; ++k) {
        cairo_move_to(cr, l + k + 0.5, t + 0.5);
        cairo_line_to(cr, r - thick + k + 1.5, b + 0.5);
        cairo_move_to(cr, r - k + 0.5, t + 0.5);
        cairo_line_to(cr, l + thick - k - 0.5, b + 0.5);
      }
      Stroke(cr, 1);
      break;
    }
    case Glyph::Min:
      at(0.2, 0.75, &ax, &ay);
      at(0.65, 0.75, &bx, &by);
      Box(cr, ax, ay, bx, ay + std::max(2.0, thick));
      cairo_fill(cr);
      break;
    case Glyph::Max:
      at(0.12, 0.12, &ax, &ay);
      at(0.88, 0.88, &bx, &by);
      WindowShape(cr, ax, ay, bx, by, std::max(2.0, thick));
      break;
    case Glyph::Restore: {
      const double bar = std::max(2.0, thick);
      at(0.32, 0.1, &ax, &ay);
      at(0.9, 0.58, &bx, &by);
      WindowShape(cr, ax, ay, bx, by, bar);  // the window behind
      double fx, fy, gx, gy;
      at(0.1, 0.38, &fx, &fy);
      at(0.68, 0.86, &gx, &gy);
      // The front window hides the back one where they overlap.
      SetSourceColor(cr, GetSysColor(COLOR_3DFACE));
      Box(cr, fx + 1, fy + bar, gx - 1, gy - 1);
      cairo_fill(cr);
      SetSourceColor(cr, color);
      WindowShape(cr, fx, fy, gx, gy, bar);
      break;
    }
    case Glyph::Help: {
      // A question mark: a hook, a short stem and a dot.
      const double w = std::max(1.0, std::round(s / 8) + 1);
      const double cx = x + s / 2, r = s * 0.22;
      cairo_arc(cr, cx, y + s * 0.3, r, M_PI, M_PI * 2.35);
      cairo_line_to(cr, cx, y + s * 0.56);
      cairo_line_to(cr, cx, y + s * 0.66);
      cairo_set_line_width(cr, w);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      cairo_stroke(cr);
      Box(cr, std::round(cx - w / 2), std::round(y + s * 0.76), std::round(cx - w / 2) + w, std::round(y + s * 0.76) + w);
      cairo_fill(cr);
      break;
    }
    case Glyph::Up: Arrow(cr, q, 0, -1); break;
    case Glyph::Down: Arrow(cr, q, 0, 1); break;
    case Glyph::Left: Arrow(cr, q, -1, 0); break;
    case Glyph::Right: Arrow(cr, q, 1, 0); break;
    case Glyph::MenuArrow: Arrow(cr, q, 1, 0); break;
    case Glyph::MenuArrowLeft: Arrow(cr, q, -1, 0); break;
    case Glyph::Check: {
      // A tick three pixels deep (scaled): down to the knee, then up to the right.
      const int depth = std::max(2, static_cast<int>(std::round(s / 5)));
      const int span = static_cast<int>(std::round(s * 0.7));
      const int knee = span * 2 / 5;  // the lowest column
      const int rise = span - 1 - knee;
      const double left = std::round(x + (s - span) / 2);
      const double low = std::round(y + s / 2 - (depth - rise) / 2.0);
      for (int i = 0; i < span; ++i) {
        const double top = low - (i <= knee ? knee - i : i - knee);
        Box(cr, left + i, top, left + i + 1, top + depth);
      }
      cairo_fill(cr);
      break;
    }
    case Glyph::Bullet: {
      const double r = std::max(1.5, std::round(s / 6));
      cairo_arc(cr, std::floor(x + s / 2) + 0.5, std::floor(y + s / 2) + 0.5, r, 0, 2 * M_PI);
      cairo_fill(cr);
      break;
    }
  }
}

// Draws a glyph in its colour, or embossed (highlight one pixel down and right,
// then shadow) when the part is inactive.
void PaintGlyphState(cairo_t* cr, Glyph g, Square q, COLORREF color, bool inactive) {
  if (!inactive) {
    PaintGlyph(cr, g, q, color);
    return;
  }
  PaintGlyph(cr, g, Square{q.x + 1, q.y + 1, q.s}, GetSysColor(COLOR_3DHIGHLIGHT));
  PaintGlyph(cr, g, q, GetSysColor(COLOR_3DSHADOW));
}

UINT EdgeStyle(UINT state) { return (state & DFCS_FLAT ? BF_FLAT : 0) | (state & DFCS_MONO ? BF_MONO : 0); }

// The raised push-button frame shared by buttons, captions and scroll arrows;
// returns the inside. Pushed scroll arrows go flat, other pushed parts sink.
RECT ButtonFrame(HDC hdc, DC* dc, RECT r, UINT state, bool flatWhenPushed) {
  if (state & (DFCS_FLAT | DFCS_MONO)) {
    DrawEdge(hdc, &r, BDR_OUTER, EdgeStyle(state) | BF_RECT | BF_ADJUST);
  } else if ((state & DFCS_PUSHED) && flatWhenPushed) {
    DrawEdge(hdc, &r, BDR_OUTER, BF_FLAT | BF_RECT | BF_ADJUST);
  } else if (state & DFCS_PUSHED) {
    // A pressed button: a dark frame with the shadow inside it.
    DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_MONO | BF_ADJUST);
    DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST);
  } else if (state & DFCS_CHECKED) {
    DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    // A latched button shows a checkerboard of highlight and face.
    cairo_t* cr = dc->Begin();
    for (LONG yy = r.top; yy < r.bottom; ++yy)
      for (LONG xx = r.left; xx < r.right; ++xx) {
        SetSourceColor(cr, GetSysColor(((xx + yy) & 1) ? COLOR_3DFACE : COLOR_3DHIGHLIGHT));
        cairo_rectangle(cr, xx, yy, 1, 1);
        cairo_fill(cr);
      }
    dc->End();
    return r;
  } else {
    DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
  }
  FillRect(hdc, &r, GetSysColorBrush(COLOR_3DFACE));
  return r;
}

void GlyphButton(HDC hdc, DC* dc, RECT* rc, UINT state, Glyph g, bool flatWhenPushed) {
  RECT inside = ButtonFrame(hdc, dc, *rc, state, flatWhenPushed);
  Square q = CentredSquare(inside, kGlyphFill);
  if (state & DFCS_PUSHED) {
    q.x += 1;
    q.y += 1;
  }
  cairo_t* cr = dc->Begin();
  PaintGlyphState(cr, g, q, GetSysColor(COLOR_BTNTEXT), (state & DFCS_INACTIVE) != 0);
  dc->End();
}

void CheckBox(HDC hdc, DC* dc, const RECT& rc, UINT state) {
  const Square q = CentredSquare(rc, 1.0);
  RECT box{static_cast<LONG>(q.x), static_cast<LONG>(q.y), static_cast<LONG>(q.x + q.s), static_cast<LONG>(q.y + q.s)};
  const bool grey = (state & (DFCS_PUSHED | DFCS_INACTIVE)) || ((state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED));
  DrawEdge(hdc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST | EdgeStyle(state));
  FillRect(hdc, &box, GetSysColorBrush(grey ? COLOR_3DFACE : COLOR_WINDOW));
  if (!(state & DFCS_CHECKED)) return;
  const bool dim = (state & DFCS_INACTIVE) || (state & DFCS_BUTTON3STATE);
  cairo_t* cr = dc->Begin();
  PaintGlyph(cr, Glyph::Check, CentredSquare(box, 1.0), GetSysColor(dim ? COLOR_3DSHADOW : COLOR_WINDOWTEXT));
  dc->End();
}

// Radio buttons are rasterised directly: each pixel of the square is placed by
// its distance from the centre (outer ring, inner ring, inside, dot) and, on the
// rings, by which half it lies in (upper-left or lower-right).
void RadioButton(DC* dc, const RECT& rc, UINT state) {
  const Square q = CentredSquare(rc, 1.0);
  const double radius = q.s / 2, cx = q.x + radius, cy = q.y + radius;
  const bool mask = (state & 0xFF) == DFCS_BUTTONRADIOMASK;
  const bool flat = (state & (DFCS_FLAT | DFCS_MONO)) != 0;
  const bool grey = (state & (DFCS_PUSHED | DFCS_INACTIVE)) != 0;
  const COLORREF inside = GetSysColor(grey ? COLOR_3DFACE : COLOR_WINDOW);
  const COLORREF dot = GetSysColor((state & DFCS_INACTIVE) ? COLOR_3DSHADOW : COLOR_WINDOWTEXT);
  const double dotRadius = std::max(1.5, q.s / 5);
  cairo_t* cr = dc->Begin();
  if (mask) {
    SetSourceColor(cr, RGB(255, 255, 255));
    Box(cr, q.x, q.y, q.x + q.s, q.y + q.s);
    cairo_fill(cr);
  }
  for (int py = 0; py < static_cast<int>(q.s); ++py)
    for (int px = 0; px < static_cast<int>(q.s); ++px) {
      const double dx = q.x + px + 0.5 - cx, dy = q.y + py + 0.5 - cy, d = std::hypot(dx, dy);
      if (d >= radius) continue;
      const bool upperLeft = dx + dy < 0;
      COLORREF c;
      if (mask) c = RGB(0, 0, 0);
      else if (d >= radius - 1)
        c = flat ? GetSysColor((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_3DSHADOW)
                 : GetSysColor(upperLeft ? COLOR_3DSHADOW : COLOR_3DHIGHLIGHT);
      else if (d >= radius - 2)
        c = flat ? inside : GetSysColor(upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT);
      else if ((state & DFCS_CHECKED) && d < dotRadius)
        c = dot;
      else
        c = inside;
      SetSourceColor(cr, c);
      cairo_rectangle(cr, q.x + px, q.y + py, 1, 1);
      cairo_fill(cr);
    }
  dc->End();
}

// The size grip: diagonal stripes of highlight and shadow in the corner.
void SizeGrip(HDC hdc, DC* dc, const RECT& rc, bool mirrored) {
  FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
  const int size = static_cast<int>(std::min(rc.right - rc.left, rc.bottom - rc.top));
  cairo_t* cr = dc->Begin();
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int u = x + y;  // distance from the corner along the diagonal
      if (u >= size - 1 || u % 4 == 0) continue;
      SetSourceColor(cr, GetSysColor(u % 4 == 1 ? COLOR_3DHIGHLIGHT : COLOR_3DSHADOW));
      const LONG px = mirrored ? rc.left + x : rc.right - 1 - x;
      cairo_rectangle(cr, px, rc.bottom - 1 - y, 1, 1);
      cairo_fill(cr);
    }
  dc->End();
}

void MenuGlyph(HDC hdc, DC* dc, const RECT& rc, UINT state) {
  // Menu glyphs are masks: black on white, for the caller to combine.
  FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  Glyph g = Glyph::MenuArrow;
  switch (state & 0xFF) {
    case DFCS_MENUCHECK: g = Glyph::Check; break;
    case DFCS_MENUBULLET: g = Glyph::Bullet; break;
    case DFCS_MENUARROWRIGHT: g = Glyph::MenuArrowLeft; break;
    default: break;
  }
  cairo_t* cr = dc->Begin();
  PaintGlyph(cr, g, CentredSquare(rc, g == Glyph::Check ? 0.8 : kGlyphFill), RGB(0, 0, 0));
  dc->End();
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL DrawFrameControl(HDC hdc, RECT* rc, UINT type, UINT state) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !rc) return FALSE;
  *rc = WithinCoordinates(*rc);
  const UINT part = state & 0xFF;
  bool framed = true;
  switch (type) {
    case DFC_CAPTION: {
      static constexpr Glyph kCaption[] = {Glyph::Close, Glyph::Min, Glyph::Max, Glyph::Restore, Glyph::Help};
      if (part > DFCS_CAPTIONHELP) return FALSE;
      GlyphButton(hdc, dc, rc, state, kCaption[part], false);
      break;
    }
    case DFC_MENU:
      MenuGlyph(hdc, dc, *rc, state);
      framed = false;
      break;
    case DFC_SCROLL:
      if (part == DFCS_SCROLLSIZEGRIP || part == DFCS_SCROLLSIZEGRIPRIGHT) {
        SizeGrip(hdc, dc, *rc, part == DFCS_SCROLLSIZEGRIPRIGHT);
        framed = false;
        break;
      }
      {
        static constexpr Glyph kScroll[] = {Glyph::Up, Glyph::Down, Glyph::Left, Glyph::Right};
        const Glyph g = part == DFCS_SCROLLCOMBOBOX ? Glyph::Down : part <= DFCS_SCROLLRIGHT ? kScroll[part] : Glyph::Down;
        GlyphButton(hdc, dc, rc, state, g, true);
      }
      break;
    case DFC_BUTTON:
      if (part & DFCS_BUTTONPUSH) ButtonFrame(hdc, dc, *rc, state, false);
      else if (part & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) RadioButton(dc, *rc, state);
      else CheckBox(hdc, dc, *rc, state);  // DFCS_BUTTONCHECK (0) and DFCS_BUTTON3STATE
      break;
    default:
      return FALSE;
  }
  if ((state & DFCS_ADJUSTRECT) && framed) {
    rc->left += kFrameWidth;
    rc->top += kFrameWidth;
    rc->right -= kFrameWidth;
    rc->bottom -= kFrameWidth;
  }
  return TRUE;
}

}  // namespace ktfolio::win
