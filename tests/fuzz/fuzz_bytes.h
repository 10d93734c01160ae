// The fuzz targets' reader of their input: bytes front to back, and
// coordinates made of them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/wintypes.h"

namespace ktfolio::fuzz {

struct Bytes {
  const std::uint8_t* p;
  std::size_t left;

  // Zero once the input runs out.
  std::uint8_t Byte() { return left ? (--left, *p++) : 0; }
  // Mostly small coordinates, `unit` apart; with `middle`, now and then one a
  // hundred thousand times larger; now and then one near the ends of the range.
  int Coordinate(int unit, bool middle) {
    const std::uint8_t kind = Byte();
    const int small = static_cast<std::int8_t>(Byte()) * unit;
    if (kind < (middle ? 224 : 240)) return small;
    if (kind < 240) return small * 100000;
    return kind & 1 ? INT32_MAX - (Byte() & 0x7F) : INT32_MIN + (Byte() & 0x7F);
  }
  win::RECT Rect(int unit, bool middle) {
    const int l = Coordinate(unit, middle), t = Coordinate(unit, middle), r = Coordinate(unit, middle);
    return win::RECT{l, t, r, Coordinate(unit, middle)};
  }
};

}  // namespace ktfolio::fuzz
