// Variant values with the conversion rules of the original automation model:
// numbers read and written with the period as decimal separator, integers
// rounded half to even, overflow and type mismatch thrown as ktfolio::Error
// (6 and 13). Cells, by-name properties and template bytes travel as these.
#pragma once

#include <ktfolio/errors.h>
#include <ktfolio/export.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace ktfolio {

class Variant;
using VariantArray = std::vector<Variant>;
using ByteArray = std::vector<std::uint8_t>;

enum class VarType { Empty, Boolean, Integer, Long, Single, Double, String, Array, Bytes };

class KTFOLIO_API Variant {
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

}  // namespace ktfolio
