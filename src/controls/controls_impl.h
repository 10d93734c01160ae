// Private to src/controls/*.cpp: the drawing steps the button and the frame
// share.
#pragma once

#include <cstdint>

#include "platform/automation/font.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace ktfolio::controls {

// A screen font for a font description (points at the screen's resolution);
// the caller deletes it.
win::HFONT CreateScreenFont(const StdFont& font);

// A rectangle with a solid pen of `penWidth` (a null pen when below 1) in
// `penColor` and a solid brush of `brushColor`; colours are RGB.
void OutlinedRect(win::HDC dc, int left, int top, int right, int bottom, int penWidth, std::uint32_t penColor,
                  std::uint32_t brushColor);

// Registers a window class once per process; false when it cannot.
bool RegisterControlClass(const char* name, win::WNDPROC proc, win::UINT style);

}  // namespace ktfolio::controls
