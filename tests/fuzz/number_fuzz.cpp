// libFuzzer target: the numeric parsers (Val, whole-string numbers with &H / &O
// prefixes) and the number formats, on arbitrary text.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/automation/variant.h"

using namespace ktfolio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double val = Val(text);
  if (std::isnan(val)) __builtin_trap();  // Val reads digits: never NaN
  double whole = 0;
  if (ParseNumber(text, whole)) {
    if (std::isnan(whole)) __builtin_trap();
    // A string that is a whole number reads the same through Val when it has no inner spaces.
    if (std::isfinite(whole) && text.find_first_of(" \t\r\n") == std::string_view::npos && Val(text) != whole)
      __builtin_trap();
    // Formatting a finite number and reading it back stays finite.
    if (std::isfinite(whole)) {
      double back = 0;
      if (!ParseNumber(FormatDouble(whole), back) || !std::isfinite(back)) __builtin_trap();
    }
  }
  (void)RoundHalfEven(val);
  (void)RoundHalfEven(val, static_cast<int>(size % 8));
  (void)FormatSingle(static_cast<float>(std::isfinite(val) && std::fabs(val) < 3e38 ? val : 0.0));
  return 0;
}
