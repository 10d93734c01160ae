#include "platform/automation/variant.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace ktfolio {

Error TypeMismatch() { return Error(ErrorCode::kTypeMismatch, kLibraryName, "Type mismatch"); }
Error Overflow() { return Error(ErrorCode::kOverflow, kLibraryName, "Overflow"); }
Error InvalidArgument() {
  return Error(ErrorCode::kInvalidProcedureCall, kLibraryName, "Invalid procedure call or argument");
}

void ThrowNotFinite(float v) {
  if (std::isnan(v)) throw InvalidArgument();
  throw Overflow();
}

std::uint32_t ToColor(const Variant& v) {
  if (v.type() == VarType::Long || v.type() == VarType::Integer)
    return static_cast<std::uint32_t>(v.ToLong());
  const double d = v.ToDouble();
  if (d >= 2147483647.5 && d < 4294967295.5) return static_cast<std::uint32_t>(RoundHalfEven(d));
  return static_cast<std::uint32_t>(v.ToLong());
}

double RoundHalfEven(double v, int decimals) {
  if (!std::isfinite(v)) return v;
  double scale = std::pow(10.0, decimals);
  double scaled = v * scale;
  // Decide the tie on the decimal text of the value rather than on its binary
  // image: 0.125 must round to 0.12 even though 0.125 * 100 may land at
  // 12.499999... or 12.500000...1.
  double fl = std::floor(scaled);
  double diff = scaled - fl;
  constexpr double kTieWindow = 1e-9;
  double r;
  if (std::fabs(diff - 0.5) < kTieWindow * std::max(1.0, std::fabs(scaled)))
    r = std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
  else
    r = std::nearbyint(scaled);
  double out = r / scale;
  return out == 0.0 ? 0.0 : out;
}

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int DigitValue(char c, int base) {
  int d;
  if (c >= '0' && c <= '9')
    d = c - '0';
  else if (c >= 'a' && c <= 'f')
    d = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    d = c - 'A' + 10;
  else
    return -1;
  return d < base ? d : -1;
}

// Reads "&H1F" / "&O17" style literals; 1..4 digits give a 16-bit value,
// 5..8 (hex) or up to 11 (octal) a 32-bit value, both two's complement.
bool ParseRadix(std::string_view s, size_t& pos, double& out, bool skipSpaces) {
  if (pos + 1 >= s.size() || s[pos] != '&') return false;
  char kind = s[pos + 1];
  int base = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
  if (!base) return false;
  size_t p = pos + 2;
  std::uint64_t value = 0;
  int digits = 0;
  while (p < s.size()) {
    if (skipSpaces && IsSpace(s[p])) {
      ++p;
      continue;
    }
    int d = DigitValue(s[p], base);
    if (d < 0) break;
    value = value * base + d;
    ++digits;
    ++p;
    if (value > 0xFFFFFFFFull) return false;
  }
  if (digits == 0) return false;
  if (value <= 0xFFFF && ((base == 16 && digits <= 4) || (base == 8 && digits <= 6)))
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  else
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  pos = p;
  return true;
}

// Scans a decimal number starting at pos; with skipSpaces, spaces between its
// characters are ignored (Val's reading). Returns the characters consumed (0: none).
size_t ScanDecimal(std::string_view s, size_t pos, std::string& digits, bool skipSpaces) {
  size_t p = pos;
  auto skip = [&] {
    while (skipSpaces && p < s.size() && IsSpace(s[p])) ++p;
  };
  skip();
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
    if (s[p] == '-') digits += '-';
    ++p;
  }
  bool any = false;
  bool dot = false;
  for (;;) {
    skip();
    if (p >= s.size()) break;
    char c = s[p];
    if (c >= '0' && c <= '9') {
      digits += c;
      any = true;
    } else if (c == '.' && !dot) {
      digits += '.';
      dot = true;
    } else {
      break;
    }
    ++p;
  }
  if (!any) return 0;
  // An exponent counts only when digits follow it.
  size_t save = p;
  skip();
  if (p < s.size() && (s[p] == 'e' || s[p] == 'E' || s[p] == 'd' || s[p] == 'D')) {
    size_t q = p + 1;
    std::string exp = "e";
    while (skipSpaces && q < s.size() && IsSpace(s[q])) ++q;
    if (q < s.size() && (s[q] == '+' || s[q] == '-')) exp += s[q++];
    bool expDigits = false;
    for (;;) {
      while (skipSpaces && q < s.size() && IsSpace(s[q])) ++q;
      if (q < s.size() && s[q] >= '0' && s[q] <= '9') {
        exp += s[q++];
        expDigits = true;
      } else {
        break;
      }
    }
    if (expDigits) {
      digits += exp;
      return q - pos;
    }
  }
  return save - pos;
}

}  // namespace

bool ParseNumber(std::string_view text, double& out) {
  size_t b = 0, e = text.size();
  while (b < e && IsSpace(text[b])) ++b;
  while (e > b && IsSpace(text[e - 1])) --e;
  std::string_view s = text.substr(b, e - b);
  if (s.empty()) return false;
  size_t pos = 0;
  if (s[0] == '&') {
    double v;
    if (ParseRadix(s, pos, v, false) && pos == s.size()) {
      out = v;
      return true;
    }
    return false;
  }
  std::string digits;
  size_t used = ScanDecimal(s, 0, digits, false);
  if (used == 0 || used != s.size()) return false;
  out = std::strtod(digits.c_str(), nullptr);
  return true;
}

double Val(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  if (pos < text.size() && text[pos] == '&') {
    double v;
    return ParseRadix(text, pos, v, true) ? v : 0.0;
  }
  std::string digits;
  if (ScanDecimal(text, pos, digits, true) == 0) return 0.0;
  double v = std::strtod(digits.c_str(), nullptr);
  return v == 0.0 ? 0.0 : v;
}

namespace {
std::string FormatG(double v, int precision) {
  if (v == 0.0) return "0";
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", precision, v);
  return buf;
}
}  // namespace

std::string FormatSingle(float v) { return FormatG(v, 7); }
std::string FormatDouble(double v) { return FormatG(v, 15); }

bool Variant::IsNumeric() const {
  switch (type()) {
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
      return true;
    default:
      return false;
  }
}

const char* Variant::TypeName() const {
  static const char* names[] = {"Empty", "Boolean", "Integer", "Long", "Single", "Double", "String", "Variant()", "Byte()"};
  return names[v_.index()];
}

std::int32_t Variant::CheckedLong(long long v) {
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) throw Overflow();
  return static_cast<std::int32_t>(v);
}

std::string Variant::ToString() const {
  switch (type()) {
    case VarType::Empty:
      return {};
    case VarType::Boolean:
      return std::get<bool>(v_) ? "True" : "False";
    case VarType::Integer:
      return std::to_string(std::get<std::int16_t>(v_));
    case VarType::Long:
      return std::to_string(std::get<std::int32_t>(v_));
    case VarType::Single:
      return FormatSingle(std::get<float>(v_));
    case VarType::Double:
      return FormatDouble(std::get<double>(v_));
    case VarType::String:
      return std::get<std::string>(v_);
    default:
      throw TypeMismatch();
  }
}

double Variant::ToDouble() const {
  switch (type()) {
    case VarType::Empty:
      return 0.0;
    case VarType::Boolean:
      return std::get<bool>(v_) ? -1.0 : 0.0;
    case VarType::Integer:
      return std::get<std::int16_t>(v_);
    case VarType::Long:
      return std::get<std::int32_t>(v_);
    case VarType::Single:
      return std::get<float>(v_);
    case VarType::Double:
      return std::get<double>(v_);
    case VarType::String: {
      double d;
      if (!ParseNumber(std::get<std::string>(v_), d)) throw TypeMismatch();
      if (std::isinf(d)) throw Overflow();
      return d;
    }
    default:
      throw TypeMismatch();
  }
}

bool Variant::ToBool() const {
  if (type() == VarType::Boolean) return std::get<bool>(v_);
  if (type() == VarType::String) {
    std::string s = std::get<std::string>(v_);
    size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    std::string t = b == std::string::npos ? "" : s.substr(b, e - b + 1);
    for (auto& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (t == "true") return true;
    if (t == "false") return false;
  }
  return ToDouble() != 0.0;
}

namespace {
template <typename T>
T ToIntegral(double d) {
  if (std::isnan(d)) throw TypeMismatch();
  double r = RoundHalfEven(d);
  if (r < static_cast<double>(std::numeric_limits<T>::min()) || r > static_cast<double>(std::numeric_limits<T>::max()))
    throw Overflow();
  return static_cast<T>(r);
}
}  // namespace

std::int16_t Variant::ToInteger() const {
  if (type() == VarType::Integer) return std::get<std::int16_t>(v_);
  return ToIntegral<std::int16_t>(ToDouble());
}

std::int32_t Variant::ToLong() const {
  if (type() == VarType::Long) return std::get<std::int32_t>(v_);
  return ToIntegral<std::int32_t>(ToDouble());
}

float Variant::ToSingle() const {
  if (type() == VarType::Single) return std::get<float>(v_);
  double d = ToDouble();
  if (std::isfinite(d) && std::fabs(d) > FLT_MAX) throw Overflow();
  return static_cast<float>(d);
}

const VariantArray& Variant::ToArray() const {
  if (type() != VarType::Array) throw TypeMismatch();
  return *std::get<std::shared_ptr<VariantArray>>(v_);
}

ByteArray Variant::ToBytes() const {
  if (type() == VarType::Bytes) return *std::get<std::shared_ptr<ByteArray>>(v_);
  if (type() == VarType::String) {
    const auto& s = std::get<std::string>(v_);
    return ByteArray(s.begin(), s.end());
  }
  throw TypeMismatch();
}

bool Variant::operator==(const Variant& o) const {
  if (IsNumeric() && o.IsNumeric()) return ToDouble() == o.ToDouble();
  if (type() != o.type()) return false;
  switch (type()) {
    case VarType::Empty:
      return true;
    case VarType::String:
      return std::get<std::string>(v_) == std::get<std::string>(o.v_);
    case VarType::Array:
      return ToArray() == o.ToArray();
    case VarType::Bytes:
      return *std::get<std::shared_ptr<ByteArray>>(v_) == *std::get<std::shared_ptr<ByteArray>>(o.v_);
    default:
      return false;
  }
}

}  // namespace ktfolio
