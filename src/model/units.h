// Units of measure: every length of the document is held in twips (1/1440 in).
#pragma once

#include <cstdint>

namespace ktfolio {

// Converts a value in a scale mode (1 twip, 5 inch, 6 mm, 7 cm) to twips.
// Other modes give 0. Non-twip modes floor the result.
float ToTwips(std::int32_t scaleMode, float value);
// Converts twips back to a scale mode, rounding to the unit's decimals (ties to even).
float FromTwips(std::int32_t scaleMode, float twips);

// The screen's twips per pixel, recorded once per process by InitScreenMeasures.
float TwipsPerPixelX();
float TwipsPerPixelY();
void InitScreenMeasures();

}  // namespace ktfolio
