// The platform font object: a shared, mutable description (name, size, style),
// held by reference like the component model's standard font.
#pragma once

#include <memory>
#include <string>

#include "platform/automation/variant.h"

namespace ktfolio {

struct StdFont {
  std::string Name = "Arial";
  float Size = 10.0f;  // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strikethrough = false;
  short Weight() const { return Bold ? 700 : 400; }

  std::shared_ptr<StdFont> Clone() const { return std::make_shared<StdFont>(*this); }
};

using FontPtr = std::shared_ptr<StdFont>;

// The largest font size in points, either sign: larger fonts would not fit
// the device's integer coordinates once a cell's lines are stacked.
inline constexpr float kMaxFontSize = 16384.0f;

// A font size that is a number within kMaxFontSize; otherwise the error of
// CheckedFinite, or an overflow.
inline float CheckedFontSize(float size) {
  CheckedFinite(size);
  if (size > kMaxFontSize || size < -kMaxFontSize) throw Overflow();
  return size;
}

inline FontPtr MakeFont(std::string name, float size, bool bold = false, bool italic = false) {
  auto f = std::make_shared<StdFont>();
  f->Name = std::move(name);
  f->Size = size;
  f->Bold = bold;
  f->Italic = italic;
  return f;
}

}  // namespace ktfolio
