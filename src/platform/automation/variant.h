// Variant values with the conversion rules of the original automation model:
// numbers read and written with the period as decimal separator, integers
// rounded half to even, overflow and type-mismatch reported as errors that
// carry a number, a source and a description (ktfolio::Error).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/automation/error.h"

namespace ktfolio {

class Variant;
using VariantArray = std::vector<Variant>;
using ByteArray = std::vector<std::uint8_t>;

enum class VarType { Empty, Boolean, Integer, Long, Single, Double, String, Array, Bytes };

class Variant {
 public:
  Variant() = default;
  Variant(bool v) : v_(v) {}
  Variant(std::int16_t v) : v_(v) {}
  Variant(std::int32_t v) : v_(v) {}
  Variant(float v) : v_(v) {}
  Variant(double v) : v_(v) {}
  Variant(const char* v) : v_(std::string(v)) {}
  Variant(std::string v) : v_(std::move(v)) {}
  Variant(std::string_view v) : v_(std::string(v)) {}
  Variant(VariantArray v) : v_(std::make_shared<VariantArray>(std::move(v))) {}
  Variant(ByteArray v) : v_(std::make_shared<ByteArray>(std::move(v))) {}
  // Other integral types land in Long (checked) so literals like 5L or 5u work.
  template <typename T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, std::int16_t> &&
             !std::is_same_v<T, std::int32_t> && !std::is_same_v<T, char>)
  Variant(T v) : v_(CheckedLong(static_cast<long long>(v))) {}

  VarType type() const { return static_cast<VarType>(v_.index()); }
  bool IsEmpty() const { return type() == VarType::Empty; }
  bool IsNumeric() const;  // Boolean, Integer, Long, Single, Double
  const char* TypeName() const;

  // Conversions; each throws ktfolio::Error (13 type mismatch, 6 overflow).
  std::string ToString() const;
  bool ToBool() const;
  std::int16_t ToInteger() const;
  std::int32_t ToLong() const;
  float ToSingle() const;
  double ToDouble() const;
  const VariantArray& ToArray() const;
  ByteArray ToBytes() const;

  bool operator==(const Variant& other) const;

 private:
  static std::int32_t CheckedLong(long long v);
  std::variant<std::monostate, bool, std::int16_t, std::int32_t, float, double, std::string,
               std::shared_ptr<VariantArray>, std::shared_ptr<ByteArray>>
      v_;
};

// Error constructors used by conversions and by callers that validate values.
Error TypeMismatch();
Error Overflow();
Error InvalidArgument();  // 5, "Invalid procedure call or argument"

// A length, size or spacing has to be a number: infinity is an overflow (6),
// NaN an invalid argument (5). Returns v when it is finite.
float CheckedFinite(float v);

// A colour is 32 bits, given either as a signed Long (-2147483633) or as the
// unsigned number with the same bits (0x8000000F); anything else that does not
// fit is an overflow.
std::uint32_t ToColor(const Variant& v);

// Rounds to the nearest integer, ties to even (the rounding of integer conversions).
double RoundHalfEven(double v);
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
