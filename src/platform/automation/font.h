// The platform font object (declared with the public API) and the limits of
// its size.
#pragma once

#include <ktfolio/font.h>

#include "platform/automation/variant.h"

namespace ktfolio {

// The largest font size in points, either sign: larger fonts would not fit
// the device's integer coordinates once a cell's lines are stacked.
inline constexpr float kMaxFontSize = 16384.0f;

// A font size that is a number within kMaxFontSize; otherwise the error of
// CheckedFinite, or an overflow.
inline float CheckedFontSize(float size) {
  CheckedFinite(size);
  if (size > kMaxFontSize || size < -kMaxFontSize) throw Overflow();
  return size;
}

}  // namespace ktfolio
