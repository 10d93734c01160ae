// The present date and time and the locale's named date formats. Tests and
// hosts can fix the clock so output is deterministic.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace ktfolio {

enum class NamedDateFormat { GeneralDate, LongDate, ShortDate, LongTime, ShortTime };

// The present local time, or the fixed one when a host set it.
std::tm Now();
void SetFixedNow(std::optional<std::tm> when);

// Formats `t` (its weekday included) in the C library's LC_TIME locale, the
// one the host chose with setlocale ("C" until it does), as UTF-8: short date
// is the locale's date (D_FMT), long time its time (T_FMT), general date the
// two together, long date the weekday and the date with the month spelled out
// in the order of D_FMT, and short time hours and minutes on the 24-hour clock.
std::string FormatDate(const std::tm& t, NamedDateFormat format);

}  // namespace ktfolio
