// The code pages of template text: Windows-1252, one byte per character, by
// default, or UTF-8 after a byte-order mark when asked for. Strings are UTF-8
// inside the library and take the code page only at the buffer boundary.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ktfolio {

constexpr std::int32_t kCodePageWindows1252 = 1252;
constexpr std::int32_t kCodePageUtf8 = 65001;
// What starts template text written in UTF-8, whatever the reader is told.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The first character a writer could not keep and wrote as '?' instead, and
// the template line it is on; `character` 0 when nothing was lost (a byte
// that is not UTF-8 at all is reported as U+FFFD).
struct TemplateLoss {
  char32_t character = 0;
  std::size_t line = 0;
};

// One character as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// The byte for a character, or '?' when Windows-1252 has none for it. Bytes of
// a string that is not valid UTF-8 become '?' one by one. `lost`, when given,
// receives the first character replaced (left as it is when none was).
void AppendWindows1252(std::string& out, std::string_view utf8, char32_t* lost = nullptr);
// UTF-8 as it is, but for bytes that are not UTF-8 and NULs, which become '?'.
void AppendValidUtf8(std::string& out, std::string_view utf8, char32_t* lost = nullptr);
// False, with the offset of the first bad byte, when the bytes are not UTF-8
// text (malformed, or a NUL).
bool IsUtf8Text(std::string_view bytes, std::size_t* offset = nullptr);

// A Windows-1252 string as UTF-8. Every byte maps to a character: the five
// bytes the code page leaves undefined map to the C1 controls of the same
// value (as Windows does), which IsWindows1252Text rejects.
void AppendUtf8FromWindows1252(std::string& out, std::string_view bytes);
std::string Utf8FromWindows1252(std::string_view bytes);

// False when the bytes cannot be Windows-1252 text: a NUL or one of the five
// undefined bytes (0x81 0x8D 0x8F 0x90 0x9D). `offset` receives the first such byte.
bool IsWindows1252Text(std::string_view bytes, std::size_t* offset = nullptr);

}  // namespace ktfolio
