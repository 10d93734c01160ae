// The clock and the named date formats, from the C library's locale: the
// names and orders are the locale's, never tables of ours.
#include "platform/automation/datetime.h"

#include <langinfo.h>

#include <cwchar>
#include <vector>

namespace ktfolio {

namespace {

std::optional<std::tm> g_fixed;

// wcsftime takes the wide names of the LC_TIME locale whatever LC_CTYPE is,
// so the text is right even when a host set only LC_TIME.
std::string FormatTime(const std::tm& t, const std::string& format) {
  const std::wstring wideFormat(format.begin(), format.end());  // ASCII formats only
  std::vector<wchar_t> out(256);
  std::size_t n = 0;
  while ((n = std::wcsftime(out.data(), out.size(), wideFormat.c_str(), &t)) == 0 && out.size() < 4096)
    out.resize(out.size() * 2);
  std::string utf8;
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<char32_t>(out[i]);
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (c >> 18));
      utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

// The long date in the field order of the locale's short date: "%d.%m.%Y"
// gives "%A, %-d. %B %Y", "%d/%m/%y" "%A, %-d %B %Y", "%m/%d/%Y" "%A, %B %-d,
// %Y". A short date of another shape (words, other fields, non-ASCII
// separators) gives the weekday before the short date.
std::string LongDateFormat() {
  std::string shortDate = nl_langinfo(D_FMT);
  if (shortDate == "%D") shortDate = "%m/%d/%y";
  if (shortDate == "%F") shortDate = "%Y-%m-%d";
  const std::string fallback = "%A, %x";
  std::string fields;       // 'd', 'm', 'y' in the order they appear
  bool dotAfterDay = false;
  for (std::size_t i = 0; i < shortDate.size(); ++i) {
    const char ch = shortDate[i];
    if (ch != '%') {
      const bool separator = ch == '.' || ch == '/' || ch == '-' || ch == ' ' || ch == ',';
      if (!separator) return fallback;
      if (ch == '.' && !fields.empty() && fields.back() == 'd') dotAfterDay = true;
      continue;
    }
    if (++i < shortDate.size() && (shortDate[i] == '-' || shortDate[i] == '_' || shortDate[i] == '0')) ++i;
    if (i >= shortDate.size()) return fallback;
    switch (shortDate[i]) {
      case 'd': case 'e': fields += 'd'; break;
      case 'm': case 'b': case 'B': case 'h': fields += 'm'; break;
      case 'y': case 'Y': fields += 'y'; break;
      default: return fallback;
    }
  }
  if (fields.size() != 3 || fields.find('d') == std::string::npos || fields.find('m') == std::string::npos ||
      fields.find('y') == std::string::npos)
    return fallback;
  std::string format = "%A, ";
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const char f = fields[k];
    format += f == 'd' ? "%-d" : f == 'm' ? "%B" : "%Y";
    if (k + 1 == fields.size()) break;
    if (f == 'd' && dotAfterDay)
      format += ". ";
    else if (f == 'd' && fields[k + 1] == 'y')
      format += ", ";  // month, day, year
    else
      format += " ";
  }
  return format;
}

}  // namespace

std::tm Now() {
  if (g_fixed) return *g_fixed;
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return t;
}

void SetFixedNow(std::optional<std::tm> when) { g_fixed = when; }

std::string FormatDate(const std::tm& t, NamedDateFormat format) {
  switch (format) {
    case NamedDateFormat::ShortDate: return FormatTime(t, "%x");
    case NamedDateFormat::LongDate: return FormatTime(t, LongDateFormat());
    case NamedDateFormat::LongTime: return FormatTime(t, "%X");
    case NamedDateFormat::ShortTime: return FormatTime(t, "%H:%M");
    case NamedDateFormat::GeneralDate:
    default: return FormatTime(t, "%x %X");
  }
}

}  // namespace ktfolio
