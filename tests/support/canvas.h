// The test canvas: a memory DC over a bitmap, filled with one colour, with the
// pen and brush a test selects deleted with it, and its pixels read back as
// colours, as '#'/'.' strings along a row or column, as counts, and as the box
// the dark ink covers. With it, a font and a rectangle's edges.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"

namespace ktfolio::testing {

// A font's description from a face and height.
inline win::LOGFONT LogFont(const char* face, win::LONG height, win::LONG weight = win::FW_NORMAL, bool italic = false,
                            bool underline = false) {
  win::LOGFONT lf{.lfHeight = height, .lfWeight = weight, .lfItalic = italic, .lfUnderline = underline};
  std::strcpy(lf.lfFaceName, face);
  return lf;
}
// A font made from a face and height, deleted with its owner.
inline win::OwnedFont Font(const char* face, win::LONG height, win::LONG weight = win::FW_NORMAL, bool underline = false) {
  const win::LOGFONT lf = LogFont(face, height, weight, false, underline);
  return win::OwnedFont(win::CreateFontIndirect(&lf));
}

// A rectangle's four edges, comparable and printable in one assertion.
inline std::tuple<long, long, long, long> Edges(const win::RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class Canvas {
 public:
  Canvas(int w, int h, win::COLORREF fill = win::RGB(255, 255, 255))
      : w(w), h(h), dc(win::CreateCompatibleDC(nullptr)), bitmap(win::CreateCompatibleBitmap(dc, w, h)) {
    old_ = win::SelectObject(dc, bitmap);
    Clear(fill);
  }
  ~Canvas() {
    Release();
    win::SelectObject(dc, old_);
    win::DeleteObject(bitmap);
    win::DeleteDC(dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void Clear(win::COLORREF fill = win::RGB(255, 255, 255)) {
    win::HBRUSH b = win::CreateSolidBrush(fill);
    win::RECT all{0, 0, w, h};
    win::FillRect(dc, &all, b);
    win::DeleteObject(b);
  }
  // Selects a new pen or brush, deleting the one this canvas made before.
  void UsePen(int style, int width, win::COLORREF color) { Use(win::CreatePen(style, width, color), ownPen_); }
  void UseBrush(win::HBRUSH b) { Use(b, ownBrush_); }
  // Puts stock objects back and deletes the pen and brush made here.
  void Release() {
    if (ownPen_) win::DeleteObject(win::SelectObject(dc, win::GetStockObject(win::BLACK_PEN)));
    if (ownBrush_) win::DeleteObject(win::SelectObject(dc, win::GetStockObject(win::WHITE_BRUSH)));
    ownPen_ = ownBrush_ = false;
  }

  win::COLORREF At(int x, int y) const { return win::GetPixel(dc, x, y) & 0xFFFFFF; }
  // '#' where row y (or column x) over [a, b) has colour c, '.' elsewhere.
  std::string Row(int y, int a, int b, win::COLORREF c) const {
    std::string s;
    for (int x = a; x < b; ++x) s += At(x, y) == c ? '#' : '.';
    return s;
  }
  std::string Col(int x, int a, int b, win::COLORREF c) const {
    std::string s;
    for (int y = a; y < b; ++y) s += At(x, y) == c ? '#' : '.';
    return s;
  }
  // Pixels of colour c in r (the whole canvas by default).
  int Count(win::COLORREF c, win::RECT r = {0, 0, -1, -1}) const {
    return Tally(r.right < 0 ? All() : r, [&](int x, int y) { return At(x, y) == c; });
  }
  // Dark: the three channels sum below the middle grey.
  bool Dark(int x, int y) const {
    const win::COLORREF c = At(x, y);
    return win::GetRValue(c) + win::GetGValue(c) + win::GetBValue(c) < 384;
  }
  // Bounding box of the dark pixels inside r (the whole canvas by default);
  // empty (right <= left) when there are none.
  win::RECT Ink(win::RECT r = {-1, -1, -1, -1}) const {
    return BoxOf(r.left < 0 ? All() : r, [&](int x, int y) { return Dark(x, y); });
  }
  int DarkCount(win::RECT r) const { return Tally(r, [&](int x, int y) { return Dark(x, y); }); }
  // Pixels in r (the whole canvas by default) whose colour differs from `other`'s.
  int Differing(const Canvas& other, win::RECT r = {0, 0, -1, -1}) const {
    return Tally(r.right < 0 ? All() : r, [&](int x, int y) { return At(x, y) != other.At(x, y); });
  }

  // Bounding box of the pixels of r that `hit`; {right, bottom, left, top} of r when none do.
  template <class Pred>
  win::RECT BoxOf(win::RECT r, Pred hit) const {
    win::RECT box{r.right, r.bottom, r.left, r.top};
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (hit(x, y))
          box = {std::min<win::LONG>(box.left, x), std::min<win::LONG>(box.top, y),
                 std::max<win::LONG>(box.right, x + 1), std::max<win::LONG>(box.bottom, y + 1)};
    return box;
  }

  int w, h;
  win::HDC dc;
  win::HBITMAP bitmap;

 private:
  win::RECT All() const { return {0, 0, w, h}; }
  void Use(win::HGDIOBJ obj, bool& owned) {
    win::HGDIOBJ prev = win::SelectObject(dc, obj);
    if (owned) win::DeleteObject(prev);
    owned = true;
  }
  template <class Pred>
  int Tally(win::RECT r, Pred hit) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += hit(x, y);
    return n;
  }

  win::HGDIOBJ old_;
  bool ownPen_ = false, ownBrush_ = false;
};

}  // namespace ktfolio::testing
