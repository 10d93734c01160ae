#include "platform/automation/datetime.h"

#include <cstdio>

namespace ktfolio {

namespace {
std::optional<std::tm> g_fixed;

const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

std::string Printf(const char* fmt, int a, int b, int c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, a, b, c);
  return buf;
}

std::string LongTime(const std::tm& t) {
  int h = t.tm_hour % 12;
  if (h == 0) h = 12;
  return Printf("%d:%02d:%02d", h, t.tm_min, t.tm_sec) + (t.tm_hour < 12 ? " AM" : " PM");
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
  const int year = t.tm_year + 1900, month = t.tm_mon + 1;
  switch (format) {
    case NamedDateFormat::ShortDate:
      return Printf("%d/%d/%d", month, t.tm_mday, year);
    case NamedDateFormat::LongDate:
      return std::string(kDays[(t.tm_wday % 7 + 7) % 7]) + ", " + kMonths[(t.tm_mon % 12 + 12) % 12] + " " +
             std::to_string(t.tm_mday) + ", " + std::to_string(year);
    case NamedDateFormat::LongTime:
      return LongTime(t);
    case NamedDateFormat::ShortTime:
      return Printf("%02d:%02d", t.tm_hour, t.tm_min, 0);
    case NamedDateFormat::GeneralDate:
    default:
      return Printf("%d/%d/%d", month, t.tm_mday, year) + " " + LongTime(t);
  }
}

}  // namespace ktfolio
