// Lines, shapes, fills and pixels, with Win32's pixel rules:
// lines leave out their last pixel, rectangles exclude their right and bottom
// edges, 1-pixel pens sit on pixel centres. Antialiasing is off for all of it.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// What a pen draws once Win32's rules are applied: styled patterns exist only
// for 1-pixel pens (wider ones draw solid), width 0 means one pixel.
struct PenStroke {
  bool visible = false;
  double width = 1;
  COLORREF color = 0;
  std::vector<double> dashes;
  bool insideFrame = false;
  bool alternate = false;  // every other pixel: too fine for Cairo's dashes, done by hand
};

PenStroke StrokeOf(const Pen* pen) {
  PenStroke s;
  if (!pen || pen->style == PS_NULL) return s;
  s.visible = true;
  s.width = std::max(1, pen->width);
  s.color = pen->color;
  s.insideFrame = pen->style == PS_INSIDEFRAME && s.width > 1;
  if (s.width == 1) {
    switch (pen->style) {
      case PS_DASH: s.dashes = {18, 6}; break;
      case PS_DOT: s.dashes = {3, 3}; break;
      case PS_DASHDOT: s.dashes = {9, 6, 3, 6}; break;
      case PS_DASHDOTDOT: s.dashes = {9, 3, 3, 3, 3, 3}; break;
      case PS_ALTERNATE: s.alternate = true; break;
      default: break;
    }
  }
  return s;
}

// Strokes the current path with the pen. Styled pens fill their gaps with the
// background colour when the background mode is OPAQUE, as GDI does.
void StrokePath(DC* dc, cairo_t* cr, const PenStroke& pen, cairo_line_join_t join) {
  cairo_set_line_width(cr, pen.width);
  cairo_set_line_join(cr, join);
  cairo_set_line_cap(cr, pen.width > 1 ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
  if (!pen.dashes.empty() && dc->st.bkMode == OPAQUE) {
    SetSourceColor(cr, dc->st.bkColor);
    cairo_stroke_preserve(cr);
  }
  if (!pen.dashes.empty()) cairo_set_dash(cr, pen.dashes.data(), static_cast<int>(pen.dashes.size()), 0);
  SetSourceColor(cr, pen.color);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

// Adds the segment (x0,y0)-(x1,y1) so that it covers the same pixels as a GDI
// line: for 1-pixel pens the path runs through pixel centres, starts half a
// pixel early and stops half a pixel short, so the first pixel is in and the
// last one out with no pixel centre on an edge.
void AddSegment(cairo_t* cr, const PenStroke& pen, int x0, int y0, int x1, int y1) {
  double ax = x0 + 0.5, ay = y0 + 0.5, bx = x1 + 0.5, by = y1 + 0.5;
  if (pen.width <= 1) {
    double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
    if (len == 0) return;
    dx /= len * 2;
    dy /= len * 2;
    ax -= dx;
    ay -= dy;
    bx -= dx;
    by -= dy;
  }
  cairo_move_to(cr, ax, ay);
  cairo_line_to(cr, bx, by);
}

// Adds the queued segments (x0, y0, x1, y1 each) for one stroke. A grid draws
// every edge of a cell, shared edges twice and each row's line in pieces; the
// horizontal and vertical pieces that lie on one line and touch or overlap are
// joined into one segment first. One stroke paints the union of its segments,
// and the union of touching pieces of one line is that line, so the page looks
// the same with a fraction of the path. The pieces are gathered line by line
// (a page has a few dozen lines and hundreds of pieces), so only the lines
// are sorted, and a line's pieces only when they did not come in order.
void AddMergedSegments(cairo_t* cr, const PenStroke& pen, const std::vector<int>& coords) {
  struct Span {
    double lo, hi;  // the piece's extent along its line, as AddSegment puts it
    bool operator<(const Span& o) const { return std::tie(lo, hi) < std::tie(o.lo, o.hi); }
  };
  struct Line {
    bool vertical;
    int coordinate;  // the pieces' common x (vertical) or y
    double at;       // the line's coordinate, as AddSegment puts it
    std::vector<Span> spans;
  };
  // Reused under the module lock: the lines' spans keep their room. A line is
  // found by its direction and whole coordinate (the key, never 0: 0 marks a
  // free slot) in an open-addressed table kept at most half full.
  static std::vector<Line> lines;
  static std::vector<std::uint64_t> slotKey;
  static std::vector<std::uint32_t> slotLine;
  auto keyOf = [](int coordinate, bool vertical) {
    return ((static_cast<std::uint64_t>(static_cast<std::uint32_t>(coordinate)) << 1) | vertical) + 1;
  };
  auto slotOf = [](std::uint64_t key) {
    std::size_t i = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & (slotKey.size() - 1);
    while (slotKey[i] != 0 && slotKey[i] != key) i = (i + 1) & (slotKey.size() - 1);
    return i;
  };
  auto insert = [&](std::uint64_t key, std::size_t line) {
    const std::size_t at = slotOf(key);
    slotKey[at] = key;
    slotLine[at] = static_cast<std::uint32_t>(line);
  };
  slotKey.assign(std::max<std::size_t>(slotKey.size(), 256), 0);
  slotLine.resize(slotKey.size());
  std::size_t used = 0;
  const double shift = pen.width <= 1 ? 0.5 : 0.0;  // a thin line starts half a pixel early (AddSegment)
  for (std::size_t i = 0; i + 3 < coords.size(); i += 4) {
    const int x0 = coords[i], y0 = coords[i + 1], x1 = coords[i + 2], y1 = coords[i + 3];
    const bool horizontal = y0 == y1 && x0 != x1, vertical = x0 == x1 && y0 != y1;
    if (!horizontal && !vertical) {
      AddSegment(cr, pen, x0, y0, x1, y1);
      continue;
    }
    const int a = horizontal ? x0 : y0, b = horizontal ? x1 : y1, c = horizontal ? y0 : x0;
    const double d = b > a ? -shift : shift;
    const double from = a + 0.5 + d, to = b + 0.5 + d;
    const std::uint64_t key = keyOf(c, vertical);
    const std::size_t slot = slotOf(key);
    std::size_t line = slotLine[slot];
    if (slotKey[slot] == 0) {
      if (2 * (used + 1) > slotKey.size()) {
        slotKey.assign(2 * slotKey.size(), 0);
        slotLine.resize(slotKey.size());
        for (std::size_t l = 0; l < used; ++l) insert(keyOf(lines[l].coordinate, lines[l].vertical), l);
      }
      if (used == lines.size()) lines.emplace_back();
      lines[used].vertical = vertical;
      lines[used].coordinate = c;
      lines[used].at = c + 0.5;
      lines[used].spans.clear();
      insert(key, line = used++);
    }
    lines[line].spans.push_back({std::min(from, to), std::max(from, to)});
  }
  std::sort(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(used), [](const Line& p, const Line& q) {
    return std::tie(p.vertical, p.at) < std::tie(q.vertical, q.at);
  });
  for (std::size_t l = 0; l < used; ++l) {
    std::vector<Span>& spans = lines[l].spans;
    if (!std::is_sorted(spans.begin(), spans.end())) std::sort(spans.begin(), spans.end());
    const double at = lines[l].at;
    for (std::size_t i = 0; i < spans.size();) {
      Span run = spans[i++];
      while (i < spans.size() && spans[i].lo <= run.hi) run.hi = std::max(run.hi, spans[i++].hi);
      if (lines[l].vertical) {
        cairo_move_to(cr, at, run.lo);
        cairo_line_to(cr, at, run.hi);
      } else {
        cairo_move_to(cr, run.lo, at);
        cairo_line_to(cr, run.hi, at);
      }
    }
  }
  if (coords.size() > (std::size_t{1} << 20)) {  // an unusual page does not keep its room for good
    lines = {};
    slotKey = {};
    slotLine = {};
  }
}

std::uint32_t ToPixel(COLORREF c) {
  return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}
COLORREF FromPixel(std::uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

// Same pen, same clip and origin: the segment joins the waiting path.
// The points are within the coordinates' limit.
void QueueLine(DC* dc, const PenStroke& pen, POINT from, POINT to) {
  QueuedLines& q = dc->queued;
  const bool sameClip = q.clipped == dc->st.clipped &&
                        (!q.clipped || (q.clip.left == dc->st.clip.left && q.clip.top == dc->st.clip.top &&
                                        q.clip.right == dc->st.clip.right && q.clip.bottom == dc->st.clip.bottom));
  const bool same = q.width == pen.width && q.color == pen.color && sameClip && q.org.x == dc->st.org.x &&
                    q.org.y == dc->st.org.y;
  if (!q.coords.empty() && !same) dc->FlushLines();
  if (q.coords.empty()) {
    q.width = pen.width;
    q.color = pen.color;
    q.clipped = dc->st.clipped;
    q.clip = dc->st.clip;
    q.org = dc->st.org;
  }
  q.coords.insert(q.coords.end(), {from.x, from.y, to.x, to.y});
}

}  // namespace

bool IsPixelSurface(cairo_surface_t* s) {
  if (!s || cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE) return false;
  auto f = cairo_image_surface_get_format(s);
  return f == CAIRO_FORMAT_RGB24 || f == CAIRO_FORMAT_ARGB32;
}

std::uint32_t* PixelAt(cairo_surface_t* s, int x, int y) {
  unsigned char* data = cairo_image_surface_get_data(s);
  return reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(s)) + x;
}

// Device-space rectangle where pixel access is allowed: surface and clip.
RECT PixelBounds(DC* dc) {
  cairo_surface_t* s = dc->Surface();
  RECT r{0, 0, cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)};
  if (dc->st.clipped) {
    r.left = std::max(r.left, dc->st.clip.left);
    r.top = std::max(r.top, dc->st.clip.top);
    r.right = std::min(r.right, dc->st.clip.right);
    r.bottom = std::min(r.bottom, dc->st.clip.bottom);
  }
  return r;
}

void FillBox(cairo_t* cr, COLORREF color, double l, double t, double r, double b) {
  if (r <= l || b <= t) return;
  SetSourceColor(cr, color);
  cairo_rectangle(cr, l, t, r - l, b - t);
  cairo_fill(cr);
}

void CopyArea(cairo_surface_t* src, int x, int y, int w, int h, AreaCopy& out) {
  // The area met with the surface, in 64 bits: x + w may pass the int range.
  const std::int64_t left = std::max<std::int64_t>(x, 0), top = std::max<std::int64_t>(y, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + w, cairo_image_surface_get_width(src));
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + h, cairo_image_surface_get_height(src));
  if (right <= left || bottom <= top) return;
  const int pw = static_cast<int>(right - left), ph = static_cast<int>(bottom - top);
  out.part = cairo_image_surface_create(CAIRO_FORMAT_RGB24, pw, ph);
  out.dx = static_cast<int>(left - x);
  out.dy = static_cast<int>(top - y);
  out.whole = pw == w && ph == h;
  cairo_t* tmp = cairo_create(out.part);
  cairo_set_source_surface(tmp, src, -static_cast<double>(left), -static_cast<double>(top));
  cairo_set_operator(tmp, CAIRO_OPERATOR_SOURCE);
  cairo_paint(tmp);
  cairo_destroy(tmp);
}

namespace {

// The scaling of a |cx1| x |cy1| area onto the device rectangle, under a clip to it.
cairo_t* BeginStretched(DC* d, const StretchTarget& to, int cx1, int cy1) {
  const int x = to.x, y = to.y, cx = to.cx, cy = to.cy;
  cairo_t* cr = d->Begin();
  cairo_rectangle(cr, std::min(x, x + cx), std::min(y, y + cy), std::abs(cx), std::abs(cy));
  cairo_clip(cr);
  // Map the source rectangle onto the destination one; a sign change between
  // the two sizes mirrors the picture.
  cairo_translate(cr, x, y);
  cairo_scale(cr, static_cast<double>(cx) / cx1, static_cast<double>(cy) / cy1);
  return cr;
}

void PaintNearest(cairo_t* cr, cairo_surface_t* part, double x, double y, cairo_operator_t op) {
  cairo_set_source_surface(cr, part, x, y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cr, op);
  cairo_paint(cr);
}

}  // namespace

void PaintStretched(DC* d, const StretchTarget& to, cairo_surface_t* whole, int cx1, int cy1, cairo_operator_t op) {
  cairo_t* cr = BeginStretched(d, to, cx1, cy1);
  PaintNearest(cr, whole, cx1 < 0 ? cx1 : 0, cy1 < 0 ? cy1 : 0, op);
  d->End();
}

void PaintStretched(DC* d, const StretchTarget& to, const AreaCopy& area, int cx1, int cy1) {
  if (area.whole) return PaintStretched(d, to, area.part, cx1, cy1);
  cairo_t* cr = BeginStretched(d, to, cx1, cy1);
  // The area is black off its source surface, as a copy of all of it would be.
  // The part (opaque) goes over that: a pixel whose nearest source pixel is
  // off the part samples nothing and keeps the black, where painting the part
  // as the source would have left it transparent.
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  if (area.part)
    PaintNearest(cr, area.part, (cx1 < 0 ? cx1 : 0) + area.dx, (cy1 < 0 ? cy1 : 0) + area.dy, CAIRO_OPERATOR_OVER);
  d->End();
}

void SetBrushSource(DC* dc, cairo_t* cr, const Brush* brush) {
  if (!brush->pattern) {
    SetSourceColor(cr, brush->color);
    return;
  }
  // Tiles start at the device origin (the brush origin), wherever the viewport is.
  cairo_pattern_t* p = cairo_pattern_create_for_surface(brush->pattern);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, dc->st.org.x, dc->st.org.y);
  cairo_pattern_set_matrix(p, &m);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

void FillWithBrush(DC* dc, cairo_t* cr, const Brush* brush, const RECT& box) {
  if (box.right <= box.left || box.bottom <= box.top || !brush || brush->hollow) return;
  // Cairo's fixed-point coordinates reach some eight million units: an
  // untransformed box is cut to the surface first (one unit of margin), in
  // doubles, as a box as wide as the coordinates overflows an int.
  double l = box.left, t = box.top, r = box.right, b = box.bottom;
  if (!dc->st.Transformed()) {
    const RECT s = dc->Bounds();
    const double ox = dc->st.org.x, oy = dc->st.org.y;
    l = std::max(l, s.left - ox - 1), t = std::max(t, s.top - oy - 1);
    r = std::min(r, s.right - ox + 1), b = std::min(b, s.bottom - oy + 1);
    if (r <= l || b <= t) return;
  }
  SetBrushSource(dc, cr, brush);
  cairo_rectangle(cr, l, t, r - l, b - t);
  cairo_fill(cr);
}

std::uint32_t BrushPixel(const Brush* brush, int deviceX, int deviceY) {
  if (!brush->pattern) return ToPixel(brush->color);
  const int w = cairo_image_surface_get_width(brush->pattern), h = cairo_image_surface_get_height(brush->pattern);
  const int px = ((deviceX % w) + w) % w, py = ((deviceY % h) + h) % h;
  return *PixelAt(brush->pattern, px, py);
}

void DC::FlushLines() {
  if (queued.coords.empty()) return;
  std::vector<int> coords;
  coords.swap(queued.coords);  // empty before drawing, so nothing below flushes again
  PenStroke pen;
  pen.visible = true;
  pen.width = queued.width;
  pen.color = queued.color;
  cairo_save(cr);
  if (queued.clipped) {
    cairo_rectangle(cr, queued.clip.left, queued.clip.top, std::max(0, queued.clip.right - queued.clip.left),
                    std::max(0, queued.clip.bottom - queued.clip.top));
    cairo_clip(cr);
  }
  cairo_translate(cr, queued.org.x, queued.org.y);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  AddMergedSegments(cr, pen, coords);
  StrokePath(this, cr, pen, CAIRO_LINE_JOIN_ROUND);
  cairo_restore(cr);
}

}  // namespace gdi

using namespace gdi;

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return FALSE;
  x = WithinCoordinates(x), y = WithinCoordinates(y);
  if (old) *old = dc->st.pos;
  dc->st.pos = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return FALSE;
  x = WithinCoordinates(x), y = WithinCoordinates(y);
  PenStroke pen = StrokeOf(dc->st.pen);
  POINT from = dc->st.pos;
  dc->st.pos = POINT{x, y};
  if (!pen.visible) return TRUE;
  if (dc->queueLines && pen.dashes.empty() && !pen.alternate && !dc->st.Transformed()) {
    QueueLine(dc, pen, from, POINT{x, y});
    return TRUE;
  }
  cairo_t* cr = dc->Begin();
  if (pen.alternate) {
    // Step along the major axis, one pixel per step, lighting the even steps.
    const int steps = std::max(std::abs(x - from.x), std::abs(y - from.y));
    for (int i = 0; i < steps; i += 2) {
      const double px = std::floor(from.x + (x - from.x) * static_cast<double>(i) / steps + 0.5);
      const double py = std::floor(from.y + (y - from.y) * static_cast<double>(i) / steps + 0.5);
      FillBox(cr, pen.color, px, py, px + 1, py + 1);
    }
    dc->End();
    return TRUE;
  }
  AddSegment(cr, pen, from.x, from.y, x, y);
  StrokePath(dc, cr, pen, CAIRO_LINE_JOIN_ROUND);
  dc->End();
  return TRUE;
}

BOOL PolyPolyline(HDC hdc, const POINT* points, const DWORD* counts, DWORD count) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || (count > 0 && (!points || !counts))) return FALSE;
  for (DWORD i = 0; i < count; ++i)
    if (counts[i] < 2) return FALSE;
  const PenStroke pen = StrokeOf(dc->st.pen);
  if (!pen.visible) return TRUE;
  // A printer page queues every segment at once; elsewhere each is drawn as
  // LineTo would, from the position PolyPolyline leaves as it found it.
  const bool queue = dc->queueLines && pen.dashes.empty() && !pen.alternate && !dc->st.Transformed();
  const POINT kept = dc->st.pos;
  for (DWORD i = 0; i < count; ++i, ++points) {
    for (DWORD k = 1; k < counts[i]; ++k, ++points) {
      const POINT from = WithinCoordinates(points[0]), to = WithinCoordinates(points[1]);
      if (queue) {
        QueueLine(dc, pen, from, to);
      } else {
        dc->st.pos = from;
        LineTo(hdc, to.x, to.y);
      }
    }
  }
  dc->st.pos = kept;
  return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return FALSE;
  const RECT within = WithinCoordinates(RECT{left, top, right, bottom});
  left = within.left, top = within.top, right = within.right, bottom = within.bottom;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  PenStroke pen = StrokeOf(dc->st.pen);
  Brush* brush = dc->st.brush;
  cairo_t* cr = dc->Begin();
  if (brush && !brush->hollow) {
    // Without a pen GDI fills one pixel less on the right and bottom.
    int shrink = pen.visible ? 0 : 1;
    FillWithBrush(dc, cr, brush, RECT{left, top, right - shrink, bottom - shrink});
  }
  if (pen.visible && right - left >= 1 && bottom - top >= 1) {
    if (pen.insideFrame) {
      double h = pen.width / 2;
      cairo_rectangle(cr, left + h, top + h, std::max(0.0, right - left - pen.width),
                      std::max(0.0, bottom - top - pen.width));
      StrokePath(dc, cr, pen, CAIRO_LINE_JOIN_MITER);
    } else if (pen.width <= 1 && (right - left == 1 || bottom - top == 1)) {
      FillBox(cr, pen.color, left, top, right, bottom);  // degenerate: one row or column
    } else {
      cairo_rectangle(cr, left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
      StrokePath(dc, cr, pen, pen.width > 1 ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
    }
  }
  dc->End();
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !points || count < 2) return FALSE;
  PenStroke pen = StrokeOf(dc->st.pen);
  Brush* brush = dc->st.brush;
  cairo_t* cr = dc->Begin();
  cairo_move_to(cr, points[0].x + 0.5, points[0].y + 0.5);
  for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x + 0.5, points[i].y + 0.5);
  cairo_close_path(cr);
  if (brush && !brush->hollow) {
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);  // GDI's default ALTERNATE mode
    SetBrushSource(dc, cr, brush);
    if (pen.visible) cairo_fill_preserve(cr);
    else cairo_fill(cr);
  }
  if (pen.visible) StrokePath(dc, cr, pen, pen.width > 1 ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
  cairo_new_path(cr);
  dc->End();
  return TRUE;
}

int FillRect(HDC hdc, const RECT* rc, HBRUSH brush) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  Brush* b = ResolveBrush(brush);
  if (!dc || !rc || !b) return 0;
  if (b->hollow) return 1;
  cairo_t* cr = dc->Begin();
  FillWithBrush(dc, cr, b, *rc);
  dc->End();
  return 1;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !IsPixelSurface(dc->Surface()) || dc->scaleX != 1.0) return CLR_INVALID;
  x = WithinCoordinates(x), y = WithinCoordinates(y);
  x += dc->st.org.x;
  y += dc->st.org.y;
  RECT b = PixelBounds(dc);
  if (x < b.left || y < b.top || x >= b.right || y >= b.bottom) return CLR_INVALID;
  cairo_surface_flush(dc->Surface());
  return FromPixel(*PixelAt(dc->Surface(), x, y));
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return CLR_INVALID;
  x = WithinCoordinates(x), y = WithinCoordinates(y);
  color &= 0xFFFFFF;
  cairo_surface_t* s = dc->Surface();
  if (!IsPixelSurface(s) || dc->scaleX != 1.0) {
    cairo_t* cr = dc->Begin();  // vector target: a one-unit square does it
    FillBox(cr, color, x, y, x + 1, y + 1);
    dc->End();
    return color;
  }
  int dx = x + dc->st.org.x, dy = y + dc->st.org.y;
  RECT b = PixelBounds(dc);
  if (dx < b.left || dy < b.top || dx >= b.right || dy >= b.bottom) return CLR_INVALID;
  cairo_surface_flush(s);
  *PixelAt(s, dx, dy) = ToPixel(color);
  cairo_surface_mark_dirty_rectangle(s, dx, dy, 1, 1);
  return color;
}

}  // namespace ktfolio::win
