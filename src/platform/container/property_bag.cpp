// The property bag and its form-file text.
#include "platform/container/property_bag.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <sstream>

#include "platform/fileio/fileio.h"

namespace ktfolio {

namespace {

constexpr std::string_view kHeader = "ktfolio property bag 1";
constexpr const char* kSource = "PropertyBag";
// A form file holds a control's settings and its template: the template's bound, base64.
constexpr std::uint64_t kMaxFormFileBytes = 3ull * INT32_MAX;

bool NameMatches(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

void CheckName(std::string_view name) {
  bool ok = !name.empty() && name[0] != '#';
  for (char c : name)
    if (c == '=' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ok = false;
  if (!ok)
    throw Error(ErrorCode::kInvalidProcedureCall, kSource,
                "A property name must be non-empty, without '=', control characters or an opening '#'");
}

// ---- value text ---------------------------------------------------------------------

std::string Escape(std::string_view s) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(s.size());
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '%' || c < 0x20 || c == 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(std::string_view s, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    if (i + 2 >= s.size()) return false;
    const int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const ByteArray& b) {
  std::string out;
  out.reserve((b.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < b.size(); i += 3) {
    const std::uint32_t v = (b[i] << 16) | (b[i + 1] << 8) | b[i + 2];
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (i < b.size()) {
    const bool two = i + 1 < b.size();
    const std::uint32_t v = (b[i] << 16) | (two ? b[i + 1] << 8 : 0);
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += two ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool FromBase64(std::string_view s, ByteArray& out) {
  if (s.size() % 4 != 0) return false;
  out.clear();
  out.reserve(s.size() / 4 * 3);
  for (std::size_t i = 0; i < s.size(); i += 4) {
    int v[4];
    int pad = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = s[i + k];
      if (c == '=' && i + 4 == s.size() && k >= 2) {
        v[k] = 0;
        ++pad;
        continue;
      }
      if (pad) return false;  // data after padding
      const char* p = c ? std::strchr(kBase64, c) : nullptr;
      if (!p) return false;
      v[k] = static_cast<int>(p - kBase64);
    }
    const std::uint32_t n = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
    out.push_back(static_cast<std::uint8_t>(n >> 16));
    if (pad < 2) out.push_back(static_cast<std::uint8_t>((n >> 8) & 255));
    if (pad < 1) out.push_back(static_cast<std::uint8_t>(n & 255));
  }
  return true;
}

template <typename T>
std::string Shortest(T v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

template <typename T>
bool ParseWhole(std::string_view s, T& out) {
  if (s.empty()) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::string ValueText(const PropertyBag::Entry& e) {
  if (e.font) {
    const StdFont& f = *e.font;
    return "Font:" + Shortest(f.Size) + "," + (f.Bold ? "1," : "0,") + (f.Italic ? "1," : "0,") +
           (f.Underline ? "1," : "0,") + (f.Strikethrough ? "1," : "0,") + Escape(f.Name);
  }
  const Variant& v = e.value;
  switch (v.type()) {
    case VarType::Empty: return "Empty:";
    case VarType::Boolean: return std::string("Boolean:") + (v.ToBool() ? "True" : "False");
    case VarType::Integer: return "Integer:" + std::to_string(v.ToInteger());
    case VarType::Long: return "Long:" + std::to_string(v.ToLong());
    case VarType::Single: return "Single:" + Shortest(v.ToSingle());
    case VarType::Double: return "Double:" + Shortest(v.ToDouble());
    case VarType::String: return "String:" + Escape(v.ToString());
    case VarType::Bytes: return "Bytes:" + Base64(v.ToBytes());
    case VarType::Array: break;
  }
  throw TypeMismatch();
}

// Reads "Type:value"; false when it is not one of ours.
bool ParseValue(std::string_view text, PropertyBag::Entry& e) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view type = text.substr(0, colon), s = text.substr(colon + 1);
  if (type == "Empty") return s.empty();
  if (type == "Boolean") {
    if (s != "True" && s != "False") return false;
    e.value = Variant(s == "True");
    return true;
  }
  if (type == "Integer") {
    std::int16_t n;
    if (!ParseWhole(s, n)) return false;
    e.value = Variant(n);
    return true;
  }
  if (type == "Long") {
    std::int32_t n;
    if (!ParseWhole(s, n)) return false;
    e.value = Variant(n);
    return true;
  }
  if (type == "Single") {
    float f;
    if (!ParseWhole(s, f)) return false;
    e.value = Variant(f);
    return true;
  }
  if (type == "Double") {
    double d;
    if (!ParseWhole(s, d)) return false;
    e.value = Variant(d);
    return true;
  }
  if (type == "String") {
    std::string str;
    if (!Unescape(s, str)) return false;
    e.value = Variant(std::move(str));
    return true;
  }
  if (type == "Bytes") {
    ByteArray b;
    if (!FromBase64(s, b)) return false;
    e.value = Variant(std::move(b));
    return true;
  }
  if (type == "Font") {
    std::string_view fields[6];
    std::string_view rest = s;
    for (int k = 0; k < 5; ++k) {
      const std::size_t comma = rest.find(',');
      if (comma == std::string_view::npos) return false;
      fields[k] = rest.substr(0, comma);
      rest = rest.substr(comma + 1);
    }
    fields[5] = rest;
    auto font = std::make_shared<StdFont>();
    if (!ParseWhole(fields[0], font->Size)) return false;
    bool* flags[4] = {&font->Bold, &font->Italic, &font->Underline, &font->Strikethrough};
    for (int k = 0; k < 4; ++k) {
      if (fields[k + 1] != "0" && fields[k + 1] != "1") return false;
      *flags[k] = fields[k + 1] == "1";
    }
    if (!Unescape(fields[5], font->Name)) return false;
    e.font = std::move(font);
    return true;
  }
  return false;
}

Error FormatError(std::size_t line, const std::string& what) {
  return Error(ErrorCode::kInvalidFileFormat, kSource, "Invalid file format in line " + std::to_string(line) + ": " + what);
}

}  // namespace

// ---- the bag ----------------------------------------------------------------------------

const PropertyBag::Entry* PropertyBag::Find(std::string_view name) const {
  for (const Entry& e : entries_)
    if (NameMatches(e.name, name)) return &e;
  return nullptr;
}

PropertyBag::Entry& PropertyBag::Slot(std::string_view name) {
  for (Entry& e : entries_)
    if (NameMatches(e.name, name)) return e;
  entries_.push_back(Entry{std::string(name), Variant(), nullptr});
  return entries_.back();
}

void PropertyBag::Erase(std::string_view name) {
  std::erase_if(entries_, [&](const Entry& e) { return NameMatches(e.name, name); });
}

void PropertyBag::WriteProperty(std::string_view name, const Variant& value, const Variant& defaultValue) {
  CheckName(name);
  if (value.type() == VarType::Array) throw TypeMismatch();
  if (value == defaultValue) {
    Erase(name);
    return;
  }
  Entry& e = Slot(name);
  e.value = value;
  e.font = nullptr;
}

Variant PropertyBag::ReadProperty(std::string_view name, const Variant& defaultValue) const {
  const Entry* e = Find(name);
  if (!e) return defaultValue;
  if (e->font) throw TypeMismatch();
  return e->value;
}

void PropertyBag::WriteFont(std::string_view name, const StdFont& font, const StdFont* d) {
  CheckName(name);
  if (d && d->Name == font.Name && d->Size == font.Size && d->Bold == font.Bold && d->Italic == font.Italic &&
      d->Underline == font.Underline && d->Strikethrough == font.Strikethrough) {
    Erase(name);
    return;
  }
  Entry& e = Slot(name);
  e.value = Variant();
  e.font = font.Clone();
}

FontPtr PropertyBag::ReadFont(std::string_view name, const FontPtr& defaultFont) const {
  const Entry* e = Find(name);
  if (!e) return defaultFont;
  if (!e->font) throw TypeMismatch();
  return e->font->Clone();
}

// ---- form-file text ------------------------------------------------------------------------

std::string PropertyBag::ToText() const {
  std::string out(kHeader);
  out += '\n';
  for (const Entry& e : entries_) {
    out += e.name;
    out += '=';
    out += ValueText(e);
    out += '\n';
  }
  return out;
}

PropertyBag PropertyBag::FromText(std::string_view text) {
  PropertyBag bag;
  std::size_t lineNo = 0, pos = 0;
  bool header = false;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!header) {
      if (line != kHeader) throw FormatError(lineNo, "expected \"" + std::string(kHeader) + "\"");
      header = true;
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) throw FormatError(lineNo, "expected Name=Type:value");
    const std::string_view name = line.substr(0, eq);
    if (bag.Contains(name)) throw FormatError(lineNo, "the key " + std::string(name) + " appears twice");
    Entry e{std::string(name), Variant(), nullptr};
    if (!ParseValue(line.substr(eq + 1), e)) throw FormatError(lineNo, "bad value for " + std::string(name));
    bag.entries_.push_back(std::move(e));
  }
  if (!header) throw FormatError(1, "the file is empty");
  return bag;
}

void PropertyBag::SaveToFile(const std::string& path) const {
  try {
    fileio::WriteFileAtomically(path, ToText());
  } catch (const Error& e) {
    throw Error(e.number(), kSource, e.description());
  }
}

PropertyBag PropertyBag::LoadFromFile(const std::string& path) {
  std::string text;
  try {
    text = fileio::ReadRegularFile(path, kMaxFormFileBytes, "form file");
  } catch (const Error& e) {
    throw Error(e.number(), kSource, e.description());
  }
  return FromText(text);
}

}  // namespace ktfolio
