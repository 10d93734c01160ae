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

// Formats with the United States English conventions of the named formats:
// short date 12/5/2026, long date Saturday, December 5, 2026, long time
// 9:49:29 PM, short time 21:49, general date 12/5/2026 9:49:29 PM.
std::string FormatDate(const std::tm& t, NamedDateFormat format);

}  // namespace ktfolio
