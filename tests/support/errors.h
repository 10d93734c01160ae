// The control's last recorded error read back in one call, whole or as its number, for any
// object with GetLastError(number, description, source) (the public control, its inside, the document).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace ktfolio::testing {

struct Recorded {
  bool any = false;
  std::int32_t number = 0;
  std::string description, source;
  bool operator==(const Recorded&) const = default;
  friend std::ostream& operator<<(std::ostream& o, const Recorded& r) {
    return o << (r.any ? "" : "(none) ") << r.number << " '" << r.description << "' from '" << r.source << "'";
  }
};

template <class Control>
Recorded LastRecorded(const Control& c) {
  Recorded r;
  r.any = c.GetLastError(r.number, r.description, r.source);
  return r;
}

// 0 when nothing is recorded.
template <class Control>
std::int32_t LastErrorNumber(const Control& c) {
  const Recorded r = LastRecorded(c);
  return r.any ? r.number : 0;
}

}  // namespace ktfolio::testing
