// Windows-1252, the single-byte code page of template text. Strings are UTF-8
// inside the library and become one byte per character only at the buffer
// boundary.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ktfolio {

// The byte for a character, or '?' when Windows-1252 has none for it. Bytes of
// a string that is not valid UTF-8 become '?' one by one.
void AppendWindows1252(std::string& out, std::string_view utf8);

// A Windows-1252 string as UTF-8. Every byte maps to a character: the five
// bytes the code page leaves undefined map to the C1 controls of the same
// value (as Windows does), which IsWindows1252Text rejects.
void AppendUtf8FromWindows1252(std::string& out, std::string_view bytes);
std::string Utf8FromWindows1252(std::string_view bytes);

// False when the bytes cannot be Windows-1252 text: a NUL or one of the five
// undefined bytes (0x81 0x8D 0x8F 0x90 0x9D). `offset` receives the first such byte.
bool IsWindows1252Text(std::string_view bytes, std::size_t* offset = nullptr);

}  // namespace ktfolio
