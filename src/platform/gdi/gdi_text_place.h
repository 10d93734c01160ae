// Where DrawText puts its lines, shared by the general line breaker and the
// one-line plain-text path: both must place a line alike to the unit.
#pragma once

#include <algorithm>
#include <climits>

#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/text_block.h"

namespace ktfolio::win::gdi {

// The top of the first line and each line's left edge, from the rectangle and
// the format flags.
struct TextPlacement {
  const RECT& rc;
  UINT format;
  int rectWidth;
  int top;

  int Left(int lineWidth) const {
    if (format & DT_CENTER) return static_cast<int>(rc.left + (rectWidth - lineWidth) / 2);
    if (format & DT_RIGHT) return static_cast<int>(rc.right - lineWidth);
    return static_cast<int>(rc.left);
  }
};

inline int FirstLineTop(const RECT& rc, UINT format, int lineH) {
  if (!(format & DT_SINGLELINE)) return rc.top;
  if (format & DT_VCENTER) return rc.top + (rc.bottom - rc.top - lineH) / 2;
  if (format & DT_BOTTOM) return rc.bottom - lineH;
  return rc.top;
}

// What DrawText returns: the lines' height, or for one line placed in the
// middle or at the bottom, how far its bottom lies below the rectangle's top.
inline int DrawnHeight(const TextPlacement& at, int lineH, int height) {
  if ((at.format & DT_SINGLELINE) && (at.format & (DT_VCENTER | DT_BOTTOM))) return at.top + lineH - at.rc.top;
  return height;
}

inline bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// What a printer page's text is cut to. Its ink (the lines' boxes, in logical
// units) needs no clip when it lies inside its rectangle (or the text may
// overflow) and inside the context's clip; otherwise the device rectangle
// common to both, which may be empty. `reach` is the ink grown by what a
// glyph may stick out of its line box, in device units: what queued text
// must keep its order with.
struct TextClip {
  bool needed = false;
  RECT box{};
  RECT reach{};

  TextClip(const DC& dc, const TextPlacement& at, const RECT& ink, int lineH) {
    // Moved by the origin in 64 bits and kept within 32: a rectangle far out
    // must not wrap around.
    const long long ox = dc.st.org.x, oy = dc.st.org.y, grow = lineH / 4 + 1;
    auto rect = [](long long l, long long t, long long r, long long b) {
      auto fit = [](long long v) { return static_cast<LONG>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)); };
      return RECT{fit(l), fit(t), fit(r), fit(b)};
    };
    const RECT device = rect(ink.left + ox, ink.top + oy, ink.right + ox, ink.bottom + oy);
    reach = rect(ink.left + ox - grow, ink.top + oy - grow, ink.right + ox + grow, ink.bottom + oy + grow);
    const bool cell = !(at.format & DT_NOCLIP) && !Inside(ink, at.rc);
    const bool context = dc.st.clipped && !Inside(device, dc.st.clip);
    if (!cell && !context) return;
    needed = true;
    box = cell ? rect(at.rc.left + ox, at.rc.top + oy, at.rc.left + ox + at.rectWidth,
                      std::max(at.rc.top, at.rc.bottom) + oy)
               : dc.st.clip;
    if (cell && context) box = Intersect(box, dc.st.clip);
  }
  bool Empty() const { return needed && (box.right <= box.left || box.bottom <= box.top); }
  const RECT* Clip() const { return needed ? &box : nullptr; }
};

// Whether a test is recording DrawText's layouts (gdi_testing.h): those go
// through the general path, which records them.
bool RecordingDrawText();

// A one-line plain text drawn or measured without the general line breaker
// (gdi_plain_line.cpp): its height, or -1, having changed nothing, when the
// general path must take it.
int PlainLine(DC* dc, Font* font, FontInstance* fi, const char* text, int length, RECT* rc, UINT format,
              const BlockAlign* align);

}  // namespace ktfolio::win::gdi
