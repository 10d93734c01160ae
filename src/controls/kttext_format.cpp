// KtText's numbers and filters: the display and editing forms of Value, the
// reading of a typed text back into a number, the acceptance test of a numeric
// candidate text, and the character filter.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "controls/kttext.h"
#include "controls/kttext_impl.h"

namespace ktfolio {

namespace kttext {

std::u32string ToU32(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + n > s.size()) n = 1;
    char32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += static_cast<size_t>(n);
  }
  return out;
}

std::string ToU8(const std::u32string& s) {
  std::string out;
  for (char32_t c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::int32_t Length(const std::string& s) { return static_cast<std::int32_t>(ToU32(s).size()); }

std::int16_t UpperOf(std::int16_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<std::int16_t>(c - 32);
  return c;
}

std::string UpperText(const std::string& s) {
  std::u32string u = ToU32(s);
  for (char32_t& c : u)
    if (c < 0x100) c = static_cast<char32_t>(UpperOf(static_cast<std::int16_t>(c)));
  return ToU8(u);
}

namespace {

struct Picture {
  std::string prefix, suffix;
  int minInt = 0;       // '0' placeholders before the point
  int decimals = 0;     // placeholders after it
  int minDecimals = 0;  // '0' placeholders after it
  bool point = false;
  bool grouping = false;
};

bool ParsePicture(const std::string& pic, Picture& p) {
  bool seenDigit = false, afterDigits = false;
  for (size_t i = 0; i < pic.size(); ++i) {
    const char c = pic[i];
    if (c == '0' || c == '#' || c == '.' || c == ',') {
      if (afterDigits) return false;  // literals among the digits
      seenDigit = seenDigit || c == '0' || c == '#';
      if (c == '.') {
        if (p.point) return false;
        p.point = true;
      } else if (c == ',') {
        if (!p.point) p.grouping = true;
      } else if (p.point) {
        ++p.decimals;
        if (c == '0') p.minDecimals = p.decimals;
      } else if (c == '0') {
        ++p.minInt;
      }
      continue;
    }
    std::string literal;
    if (c == '"') {
      const size_t end = pic.find('"', i + 1);
      if (end == std::string::npos) return false;
      literal = pic.substr(i + 1, end - i - 1);
      i = end;
    } else if (c == '\\' && i + 1 < pic.size()) {
      literal = pic.substr(++i, 1);
    } else {
      literal = std::string(1, c);
    }
    if (seenDigit) {
      afterDigits = true;
      p.suffix += literal;
    } else {
      p.prefix += literal;
    }
  }
  return seenDigit;
}

std::string Grouped(const std::string& digits) {
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += '.';
    out += digits[static_cast<size_t>(i)];
  }
  return out;
}

}  // namespace

bool FormatWithPicture(double value, const std::string& picture, std::string& out) {
  // A second section, when given, is the picture of negative numbers.
  std::string pic = picture;
  bool signShown = true;
  if (const size_t semi = picture.find(';'); semi != std::string::npos) {
    if (value < 0 && semi + 1 < picture.size()) {
      pic = picture.substr(semi + 1);
      signShown = false;
    } else {
      pic = picture.substr(0, semi);
    }
  }
  Picture p;
  if (!ParsePicture(pic, p) || !std::isfinite(value)) return false;
  const double scale = std::pow(10.0, p.decimals);
  const double rounded = std::round(std::fabs(value) * scale) / scale;
  char buf[512];
  if (rounded >= 1e300) return false;
  std::snprintf(buf, sizeof buf, "%.*f", p.decimals, rounded);
  std::string s = buf;
  std::string intDigits = s.substr(0, s.find('.'));
  std::string decDigits = p.decimals > 0 ? s.substr(s.find('.') + 1) : "";
  while (static_cast<int>(decDigits.size()) > p.minDecimals && !decDigits.empty() && decDigits.back() == '0')
    decDigits.pop_back();
  if (intDigits == "0" && p.minInt == 0) intDigits.clear();
  while (static_cast<int>(intDigits.size()) < p.minInt) intDigits.insert(intDigits.begin(), '0');
  std::string number = p.grouping ? Grouped(intDigits) : intDigits;
  if (p.point) number += "," + decDigits;
  const bool negative = value < 0 && rounded != 0 && signShown;
  out = (negative ? "-" : "") + p.prefix + number + p.suffix;
  return true;
}

}  // namespace kttext

// ---- the number and its two forms --------------------------------------------------------

std::string KtText::FormatValueText(bool ForEditing) const {
  const bool blank = Text().empty();
  if (blank && allowBlank_ && value_ == 0 && !HasFocus()) return "";
  std::string result;
  if (!formatStr_.empty() && !ForEditing && kttext::FormatWithPicture(value_, formatStr_, result)) return result;
  std::string pattern = "0";
  if (lengthInt_ >= 2)
    pattern.insert(0, static_cast<size_t>(lengthInt_ - 1), !ForEditing && leadingZeroes_ ? '0' : '#');
  if (lengthDec_ > 0) pattern += "." + std::string(static_cast<size_t>(lengthDec_), '0');
  kttext::FormatWithPicture(value_, pattern, result);
  if (!ForEditing && thousandMarks_) {
    const size_t comma = result.find(',');
    long k = comma == std::string::npos ? static_cast<long>(result.size()) : static_cast<long>(comma);
    for (;;) {
      k -= 3;
      if (k < 1 || (k == 1 && result[0] == '-')) break;
      result.insert(static_cast<size_t>(k), ".");
    }
  }
  return result;
}

void KtText::ParseValueText() {
  std::string t = Text();
  bool negative = false;
  if (!t.empty() && t[0] == '-') {
    negative = true;
    t.erase(0, 1);
  }
  if (!t.empty() && t[0] == ',') t.insert(t.begin(), '0');
  if (!t.empty() && t.back() == ',') t += '0';
  if (t.empty()) t = "0";
  std::erase(t, '.');
  for (char& c : t)
    if (c == ',') c = '.';
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  // Only plain digits and one point count: strtod would also take "1e5" or "inf".
  const bool plain = t.find_first_not_of("0123456789.") == std::string::npos;
  if (!plain || end != t.c_str() + t.size() || !std::isfinite(v)) v = 0;
  if (negative) v = -v;
  if (v != value_) {
    value_ = v;
    NotifyChanged("Value");
  }
}

bool KtText::IsValidNumberText(std::string T) const {
  std::erase(T, '.');
  size_t i = 0;
  if (!T.empty() && T[0] == '-' && allowMinus_) i = 1;
  for (int n = 0; n < lengthInt_ && i < T.size() && IsDigit(T[i]); ++n) ++i;
  if (lengthDec_ >= 1 && i < T.size() && T[i] == ',') {
    ++i;
    for (int n = 0; n < lengthDec_ && i < T.size() && IsDigit(T[i]); ++n) ++i;
  }
  return i == T.size();
}

// ---- characters -------------------------------------------------------------------------------

bool KtText::IsDigit(std::int16_t KeyAscii) { return KeyAscii >= '0' && KeyAscii <= '9'; }

bool KtText::IsLetter(std::int16_t KeyAscii) {
  std::int32_t c = KeyAscii;
  if (c >= 'a' && c <= 'z') c -= 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) c -= 32;  // the accented lower-case letters of Latin-1
  if (c >= 'A' && c <= 'Z') return true;
  for (std::int32_t accented : {0xC1, 0xC9, 0xCD, 0xD3, 0xDA, 0xD1, 0xDC, 0xC7})
    if (c == accented) return true;
  return false;
}

namespace {

int HexValue(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

// Takes one filter character off the front of f: a plain character, "\hh" (a
// code in two hexadecimal digits) or "\c" (c itself).
std::int32_t TakeFilterChar(std::u32string& f) {
  if (f.empty()) return 0;
  if (f[0] != U'\\' || f.size() < 2) {
    const std::int32_t c = static_cast<std::int32_t>(f[0]);
    f.erase(0, 1);
    return c;
  }
  if (HexValue(f[1]) >= 0) {
    const int hi = HexValue(f[1]);
    const int lo = f.size() >= 3 ? HexValue(f[2]) : -1;
    const std::int32_t c = lo >= 0 ? hi * 16 + lo : hi;
    f.erase(0, lo >= 0 ? 3 : 2);
    return c;
  }
  const std::int32_t c = static_cast<std::int32_t>(f[1]);
  f.erase(0, 2);
  return c;
}

}  // namespace

std::int32_t KtText::NextFilterChar(std::string& F) {
  std::u32string f = kttext::ToU32(F);
  const std::int32_t c = TakeFilterChar(f);
  F = kttext::ToU8(f);
  return c;
}

bool KtText::TestFilter(const std::string& Filter, std::int16_t KeyAscii) {
  const std::int32_t key = static_cast<std::uint16_t>(KeyAscii);
  if (Filter.empty() || key < 32 || key > 255) return true;
  std::u32string f = kttext::ToU32(Filter);
  while (!f.empty()) {
    const std::int32_t c1 = TakeFilterChar(f);
    if (f.size() > 1 && f[0] == U'-') {
      f.erase(0, 1);
      const std::int32_t c2 = TakeFilterChar(f);
      if ((c1 <= key && key <= c2) || (c2 <= key && key <= c1)) return true;
    } else if (key == c1) {
      return true;
    }
  }
  return false;
}

}  // namespace ktfolio
