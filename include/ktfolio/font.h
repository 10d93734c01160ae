// A font description (name, size in points, style), shared and mutable like
// the component model's standard font: a control holds it by reference.
#pragma once

#include <memory>
#include <string>

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

inline FontPtr MakeFont(std::string name, float size, bool bold = false, bool italic = false) {
  auto f = std::make_shared<StdFont>();
  f->Name = std::move(name);
  f->Size = size;
  f->Bold = bold;
  f->Italic = italic;
  return f;
}

}  // namespace ktfolio
