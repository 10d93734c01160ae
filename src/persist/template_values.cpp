// How template values are written and read: shortest numbers with the period,
// Booleans -1/0, strings in Windows-1252, cell texts with "!hr!" line breaks.
#include <charconv>
#include <cmath>

#include "persist/codepage.h"
#include "persist/persist_impl.h"

namespace ktfolio::persist {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLineBreakMark = "!hr!";
// Integers this small print the same through the integer path as through the
// 7-significant-digit form, and far faster.
constexpr float kExactIntegerLimit = 1e7f;

void AppendInt(std::string& t, std::int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  t.append(buf, r.ptr);
}

double LeadingNumber(std::string_view v) {
  const double d = Val(v);
  if (!std::isfinite(d)) throw Overflow();
  return d;
}

}  // namespace

void TemplateOut::Section(std::string_view name) {
  t_ += '[';
  t_ += name;
  t_ += ']';
  End();
}

void TemplateOut::Section(std::string_view name, std::int32_t n) {
  t_ += '[';
  t_ += name;
  t_ += ']';
  AppendInt(t_, n);
  End();
}

void TemplateOut::Key(std::string_view key) {
  t_ += key;
  t_ += '=';
}

void TemplateOut::Long(std::string_view key, std::int32_t v) {
  Key(key);
  AppendInt(t_, v);
  End();
}

void TemplateOut::Single(std::string_view key, float v) {
  Key(key);
  if (std::fabs(v) < kExactIntegerLimit && v == std::trunc(v))
    AppendInt(t_, static_cast<std::int64_t>(v));
  else
    t_ += FormatSingle(v);
  End();
}

void TemplateOut::Double(std::string_view key, double v) {
  Key(key);
  t_ += FormatDouble(v);
  End();
}

void TemplateOut::Boolean(std::string_view key, bool v) {
  Key(key);
  t_ += v ? "-1" : "0";
  End();
}

void TemplateOut::Append(std::string_view utf8) {
  char32_t lost = 0;
  if (utf8_) AppendValidUtf8(t_, utf8, &lost);
  else AppendWindows1252(t_, utf8, &lost);
  if (lost && !loss_.character) loss_ = {lost, lines_ + 1};
}

void TemplateOut::String(std::string_view key, std::string_view utf8) {
  Key(key);
  const std::size_t start = t_.size();
  Append(utf8);
  for (std::size_t i = start; i < t_.size(); ++i)
    if (t_[i] == '\r' || t_[i] == '\n') {
      if (!loss_.character) loss_ = {static_cast<char32_t>(t_[i]), lines_ + 1};
      t_[i] = '?';
    }
  End();
}

void TemplateOut::CellText(std::string_view key, std::string_view utf8) {
  Key(key);
  if (utf8.find_first_of(kCrLf) == std::string_view::npos) {
    Append(utf8);
  } else {
    std::string s = ReplaceAll(std::string(utf8), kCrLf, kLineBreakMark);
    s = ReplaceAll(ReplaceAll(std::move(s), "\r", "<cr>"), "\n", "<lf>");
    Append(s);
  }
  End();
}

std::int32_t ReadLong(std::string_view v) { return Variant(LeadingNumber(v)).ToLong(); }
std::uint32_t ReadColor(std::string_view v) { return static_cast<std::uint32_t>(ReadLong(v)); }
std::int16_t ReadInteger(std::string_view v) { return Variant(LeadingNumber(v)).ToInteger(); }
float ReadSingle(std::string_view v) { return Variant(LeadingNumber(v)).ToSingle(); }

namespace {
thread_local bool t_utf8Values = false;
}  // namespace

Utf8Values::Utf8Values(bool on) : was_(t_utf8Values) { t_utf8Values = on; }
Utf8Values::~Utf8Values() { t_utf8Values = was_; }

std::string ReadString(std::string_view v) { return t_utf8Values ? std::string(v) : Utf8FromWindows1252(v); }

std::string ReadCellText(std::string_view v) {
  std::string s = ReadString(v);
  if (s.find(kLineBreakMark) == std::string::npos) return s;
  return ReplaceAll(std::move(s), kLineBreakMark, kCrLf);
}

}  // namespace ktfolio::persist
