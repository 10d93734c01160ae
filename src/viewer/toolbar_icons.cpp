// The toolbar's icons: small drawings over the button face. The plain set is
// drawn in muted colours, the hot set in vivid ones, so a button lights up
// under the pointer.
#include "viewer/toolbar_icons.h"

#include <cmath>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr int kSize = 16;

struct Ink {
  COLORREF line;
  COLORREF fill;
  COLORREF accent;
};

Ink InkFor(bool hot) {
  return hot ? Ink{RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 90, 220)}
             : Ink{RGB(64, 64, 64), RGB(240, 240, 240), RGB(70, 100, 150)};
}

void Box(HDC dc, const RECT& rc, COLORREF line, COLORREF fill) {
  const OwnedPen pen(CreatePen(PS_SOLID, 1, line));
  const OwnedBrush brush(CreateSolidBrush(fill));
  const SelectedObject penSelected(dc, pen), brushSelected(dc, brush);
  Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

void Shape(HDC dc, const std::vector<POINT>& pts, COLORREF line, COLORREF fill) {
  const OwnedPen pen(CreatePen(PS_SOLID, 1, line));
  const OwnedBrush brush(CreateSolidBrush(fill));
  const SelectedObject penSelected(dc, pen), brushSelected(dc, brush);
  Polygon(dc, pts.data(), static_cast<int>(pts.size()));
}

void Line(HDC dc, POINT from, POINT to, COLORREF color, int width = 1) {
  const OwnedPen pen(CreatePen(PS_SOLID, width, color));
  const SelectedObject selected(dc, pen);
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

void Printer(HDC dc, const Ink& k) {
  Box(dc, {4, 1, 12, 7}, k.line, k.fill);       // paper in
  Box(dc, {1, 6, 15, 13}, k.line, RGB(192, 192, 192));
  Box(dc, {4, 10, 12, 15}, k.line, k.fill);     // paper out
  Line(dc, {5, 12}, {11, 12}, k.accent);
  Box(dc, {12, 8, 14, 10}, k.accent, k.accent);  // the ready light
}

// A lens at (6, 6) with a handle; sign +1 zoom in, -1 zoom out.
void Magnifier(HDC dc, const Ink& k, int sign) {
  std::vector<POINT> lens;
  for (int i = 0; i < 16; ++i) {
    const double a = i * 3.14159265 / 8;
    lens.push_back(POINT{6 + static_cast<LONG>(std::lround(5 * std::cos(a))),
                         6 + static_cast<LONG>(std::lround(5 * std::sin(a)))});
  }
  Shape(dc, lens, k.line, k.fill);
  Line(dc, {10, 10}, {14, 14}, k.line, 3);
  Line(dc, {4, 6}, {9, 6}, k.accent, 2);
  if (sign > 0) Line(dc, {6, 4}, {6, 9}, k.accent, 2);
}

void Page(HDC dc, const Ink& k, int l, int t, int r, int b) {
  Shape(dc, {{l, t}, {r - 3, t}, {r, t + 3}, {r, b}, {l, b}}, k.line, k.fill);
  for (int y = t + 4; y < b - 2; y += 2) Line(dc, {l + 2, y}, {r - 2, y}, k.accent);
}

void FitWidth(HDC dc, const Ink& k) {
  Page(dc, k, 3, 1, 13, 15);
  Shape(dc, {{0, 8}, {3, 5}, {3, 11}}, k.accent, k.accent);
  Shape(dc, {{15, 8}, {12, 5}, {12, 11}}, k.accent, k.accent);
}

void Arrow(HDC dc, const Ink& k, bool left) {
  const std::vector<POINT> shape = left ? std::vector<POINT>{{2, 8}, {8, 2}, {8, 5}, {14, 5}, {14, 11}, {8, 11}, {8, 14}}
                                        : std::vector<POINT>{{14, 8}, {8, 2}, {8, 5}, {2, 5}, {2, 11}, {8, 11}, {8, 14}};
  Shape(dc, shape, k.line, k.accent);
}

}  // namespace

std::shared_ptr<Picture> ToolbarIcon(int index, bool hot) {
  const OwnedDC dc = MemoryDC(nullptr);
  OwnedBitmap bmp(CreateCompatibleBitmap(dc, kSize, kSize));
  SelectedObject selected(dc, bmp);
  RECT all{0, 0, kSize, kSize};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  const Ink k = InkFor(hot);
  switch (index) {
    case 0: Printer(dc, k); break;
    case 1: Magnifier(dc, k, +1); break;
    case 2: Magnifier(dc, k, -1); break;
    case 3: Page(dc, k, 3, 1, 13, 15); break;
    case 4: FitWidth(dc, k); break;
    case 5: Arrow(dc, k, true); break;
    default: Arrow(dc, k, false); break;
  }
  selected.restore();  // the picture takes the bitmap once no context holds it
  return std::make_shared<Picture>(bmp.release());
}

}  // namespace ktfolio
