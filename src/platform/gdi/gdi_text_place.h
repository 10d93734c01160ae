// Where DrawText puts its lines, shared by the general line breaker and the
// one-line plain-text path: both must place a line alike to the unit.
#pragma once

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

inline bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Whether a test is recording DrawText's layouts (gdi_testing.h): those go
// through the general path, which records them.
bool RecordingDrawText();

// A one-line plain text drawn or measured without the general line breaker
// (gdi_plain_line.cpp): its height, or -1, having changed nothing, when the
// general path must take it.
int PlainLine(DC* dc, Font* font, FontInstance* fi, const char* text, int length, RECT* rc, UINT format,
              const BlockAlign* align);

}  // namespace ktfolio::win::gdi
