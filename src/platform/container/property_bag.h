// The container's property bag: the typed values a control saves with its
// form, keys matched without regard to case, a value equal to its default not
// stored. A bag travels to and from a form file as text:
//
//   ktfolio property bag 1
//   ScaleMode=Long:6
//   PrinterName=String:Office%20A%0A     (percent-escaped: '%', controls, DEL)
//   DsnArray=Bytes:W1Byb3BlcnRpZXNd...   (base64)
//   Font=Font:12,1,0,0,0,Times New Roman (size, bold, italic, underline, strike, name)
//
// one key a line, in the order written; the types are Empty, Boolean (True or
// False), Integer, Long, Single, Double (shortest exact decimal), String,
// Bytes and Font. Blank lines and lines opening with '#' are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/error.h"
#include "platform/automation/font.h"
#include "platform/automation/variant.h"

namespace ktfolio {

class PropertyBag {
 public:
  struct Entry {
    std::string name;  // as first written
    Variant value;     // Empty for a font
    FontPtr font;      // set for a font entry only
  };

  // Stores `value` under `name`, or removes the key when the value equals
  // `defaultValue` (numbers compared as numbers). Throws Error 5 for a name a
  // form file cannot hold (empty, '=', control characters, opening '#') and 13
  // for an array of variants.
  void WriteProperty(std::string_view name, const Variant& value, const Variant& defaultValue = Variant());
  // The stored value, or `defaultValue` when the key is not stored.
  Variant ReadProperty(std::string_view name, const Variant& defaultValue = Variant()) const;

  // Fonts keep their face, size and styles; a null default stores always.
  void WriteFont(std::string_view name, const StdFont& font, const StdFont* defaultFont);
  // A copy of the stored font, or `defaultFont` itself when none is stored.
  // Throws Error 13 when the key holds a plain value.
  FontPtr ReadFont(std::string_view name, const FontPtr& defaultFont) const;

  bool Contains(std::string_view name) const { return Find(name) != nullptr; }
  const std::vector<Entry>& Entries() const { return entries_; }

  // Form file text. FromText throws Error 321 naming the first bad line.
  std::string ToText() const;
  static PropertyBag FromText(std::string_view text);
  // Throws Error 53, 70, 75 or 321 with the path in the description.
  void SaveToFile(const std::string& path) const;
  static PropertyBag LoadFromFile(const std::string& path);

 private:
  const Entry* Find(std::string_view name) const;
  Entry& Slot(std::string_view name);
  void Erase(std::string_view name);

  std::vector<Entry> entries_;
};

}  // namespace ktfolio
