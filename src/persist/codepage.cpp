// Windows-1252 <-> UTF-8 for template text, and UTF-8 checked on its way in and out.
#include "persist/codepage.h"

#include <array>

namespace ktfolio {

namespace {

constexpr char kUnrepresentable = '?';

// Characters of 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CharOfByte(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) {
    const char32_t c = kHighControls[b - 0x80];
    return c ? c : b;
  }
  return b;
}

// The byte for a code point, or -1.
int ByteOfChar(char32_t c) {
  if (c == 0) return -1;  // a NUL cannot travel in text
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == c) return static_cast<int>(0x80 + i);
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when malformed.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  std::size_t n;
  char32_t min;
  if (b0 < 0x80) {
    c = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    n = 2, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, c = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return n;
}

bool IsAscii(std::string_view s) {
  for (char ch : s)
    if (static_cast<unsigned char>(ch) >= 0x80 || ch == 0) return false;
  return true;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
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

void AppendWindows1252(std::string& out, std::string_view s, char32_t* lost) {
  if (IsAscii(s)) {
    out.append(s);
    return;
  }
  auto replaced = [&](char32_t c) {
    if (lost && !*lost) *lost = c;
    out += kUnrepresentable;
  };
  for (std::size_t i = 0; i < s.size();) {
    char32_t c;
    const std::size_t n = DecodeUtf8(s, i, c);
    if (n == 0) {
      replaced(0xFFFD);
      ++i;
      continue;
    }
    const int b = ByteOfChar(c);
    if (b < 0) replaced(c);
    else out += static_cast<char>(b);
    i += n;
  }
}

void AppendValidUtf8(std::string& out, std::string_view s, char32_t* lost) {
  if (IsAscii(s)) {
    out.append(s);
    return;
  }
  for (std::size_t i = 0; i < s.size();) {
    char32_t c;
    const std::size_t n = DecodeUtf8(s, i, c);
    if (n == 0 || c == 0) {
      if (lost && !*lost) *lost = n == 0 ? 0xFFFD : c;
      out += kUnrepresentable;
      i += n == 0 ? 1 : n;
      continue;
    }
    out.append(s.substr(i, n));
    i += n;
  }
}

bool IsUtf8Text(std::string_view bytes, std::size_t* offset) {
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t c;
    const std::size_t n = DecodeUtf8(bytes, i, c);
    if (n == 0 || c == 0) {
      if (offset) *offset = i;
      return false;
    }
    i += n;
  }
  return true;
}

void AppendUtf8FromWindows1252(std::string& out, std::string_view bytes) {
  if (IsAscii(bytes)) {
    out.append(bytes);
    return;
  }
  for (char ch : bytes) AppendUtf8(out, CharOfByte(static_cast<unsigned char>(ch)));
}

std::string Utf8FromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendUtf8FromWindows1252(out, bytes);
  return out;
}

bool IsWindows1252Text(std::string_view bytes, std::size_t* offset) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b == 0 || (b >= 0x80 && b <= 0x9F && kHighControls[b - 0x80] == 0)) {
      if (offset) *offset = i;
      return false;
    }
  }
  return true;
}

}  // namespace ktfolio
