// Variants (declared with the public API) and the conversions built on them:
// checked numbers and colours, rounding, parsing and formatting as the
// automation model does.
#pragma once

#include <ktfolio/variant.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/automation/error.h"

namespace ktfolio {

// Error constructors used by conversions and by callers that validate values.
Error TypeMismatch();
Error Overflow();
Error InvalidArgument();  // 5, "Invalid procedure call or argument"

// Throws for a value CheckedFinite refuses.
[[noreturn]] void ThrowNotFinite(float v);

// A length, size or spacing has to be a number: infinity is an overflow (6),
// NaN an invalid argument (5). Returns v when it is finite.
inline float CheckedFinite(float v) {
  if (v - v != 0.0f) [[unlikely]]  // infinite or NaN: both give NaN here
    ThrowNotFinite(v);
  return v;
}

// A colour is 32 bits, given either as a signed Long (-2147483633) or as the
// unsigned number with the same bits (0x8000000F); anything else that does not
// fit is an overflow.
std::uint32_t ToColor(const Variant& v);

// Rounds to the nearest integer, ties to even (the rounding of integer conversions).
inline double RoundHalfEven(double v) {
  // Past 2^52 a double has no fraction left. Below it, adding 2^52 pushes the
  // fraction out of the number, and the addition rounds it away in the
  // current mode (ties to even by default), exactly as nearbyint does, but
  // without nearbyint's library call that saves and restores that mode.
  // (It needs strict floating point: -ffast-math would fold the two away.)
  constexpr double kNoFraction = 4503599627370496.0;  // 2^52
  if (!(v < kNoFraction && v > -kNoFraction)) return v;  // NaN, infinities, whole numbers
  const double r = v >= 0 ? (v + kNoFraction) - kNoFraction : (v - kNoFraction) + kNoFraction;
  return r == 0.0 ? 0.0 : r;  // no negative zero
}
// Rounds to a number of decimals, ties to even.
double RoundHalfEven(double v, int decimals);

// Reads a number from a whole string (surrounding spaces allowed); false when the
// string is not a number. Accepts sign, decimals, exponent and &H / &O prefixes.
bool ParseNumber(std::string_view text, double& out);

// Reads the leading number of a string the way Val does: spaces are skipped,
// reading stops at the first character that cannot continue the number, and a
// string with no leading number reads as 0.
double Val(std::string_view text);

// Formats a number as a string conversion does: at most 7 significant digits for
// a single, 15 for a double, exponent form for very large or small magnitudes.
std::string FormatSingle(float v);
std::string FormatDouble(double v);

}  // namespace ktfolio
