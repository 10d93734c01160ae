// The world transform of a device context, Win32-shaped: logical units to
// page units, x' = x eM11 + y eM21 + eDx and y' = x eM12 + y eM22 + eDy,
// before the viewport origin. Set only in GM_ADVANCED; GM_COMPATIBLE comes
// back only with the identity. Text, lines, shapes, fills and clip rectangles
// follow it; pixels (GetPixel, SetPixel) and bitmap transfers stay in device
// units. SaveDC keeps it.
#pragma once

#include "platform/gdi/gdi.h"

namespace ktfolio::win {

using FLOAT = float;

struct XFORM {
  FLOAT eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
};
constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;

int SetGraphicsMode(HDC hdc, int mode);  // the previous mode, 0 on failure
int GetGraphicsMode(HDC hdc);
BOOL SetWorldTransform(HDC hdc, const XFORM* xform);  // FALSE outside GM_ADVANCED or without an inverse
BOOL GetWorldTransform(HDC hdc, XFORM* xform);

}  // namespace ktfolio::win
