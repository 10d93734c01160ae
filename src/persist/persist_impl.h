// Private to persist/*.cpp: the template text's key tables, its value formats,
// the writer and the reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "document/document.h"
#include "platform/container/property_bag.h"

namespace ktfolio::persist {

// ---- value formats --------------------------------------------------------------------

// Appends template text (Windows-1252 bytes, CR LF line ends).
class TemplateOut {
 public:
  explicit TemplateOut(std::string& text) : t_(text) {}
  void Section(std::string_view name);                     // [Header]
  void Section(std::string_view name, std::int32_t n);     // [Row]3
  void Long(std::string_view key, std::int32_t v);
  void Color(std::string_view key, std::uint32_t v) { Long(key, static_cast<std::int32_t>(v)); }
  void Integer(std::string_view key, std::int16_t v) { Long(key, v); }
  void Single(std::string_view key, float v);
  void Double(std::string_view key, double v);
  void Boolean(std::string_view key, bool v);
  // A CR or LF would break the line: each becomes '?', like a character the
  // code page lacks.
  void String(std::string_view key, std::string_view utf8);
  // CR LF pairs become "!hr!"; a lone CR or LF is written as the cell's own
  // marker "<cr>" / "<lf>", which the Text setter turns back into it.
  void CellText(std::string_view key, std::string_view utf8);

 private:
  void Key(std::string_view key);
  void End() { t_ += "\r\n"; }
  std::string& t_;
};

// Reading values: the leading number of the text (Val), rounded half to even
// into the integer types. Throws Error 6 when it does not fit.
std::int32_t ReadLong(std::string_view v);
std::uint32_t ReadColor(std::string_view v);
std::int16_t ReadInteger(std::string_view v);
float ReadSingle(std::string_view v);
inline bool ReadBoolean(std::string_view v) { return v == "-1"; }
std::string ReadString(std::string_view v);    // Windows-1252 -> UTF-8
std::string ReadCellText(std::string_view v);  // also "!hr!" -> CR LF

// ---- key tables -----------------------------------------------------------------------

// A settings key: how it is written and what reading it does.
struct SettingKey {
  const char* name;
  void (*write)(TemplateOut&, Document&);
  void (*read)(Document&, std::string_view);  // nullptr: ignored on reading
};
// A row or cell key. `write` appends the line when `prev` is null (the first
// row or cell written) or when the value differs from prev's.
template <typename T>
struct ItemKey {
  const char* name;
  void (*write)(TemplateOut&, const T& item, const T* prev);
  void (*read)(T&, std::string_view);  // nullptr: ignored on reading
};
using RowKey = ItemKey<KtRow>;
using CellKey = ItemKey<KtTextItem>;

template <typename K>
struct KeyTable {
  const K* first;
  const K* last;
  const K* begin() const { return first; }
  const K* end() const { return last; }
  const K* Find(std::string_view name) const;  // exact case; nullptr when unknown
};
KeyTable<SettingKey> SettingKeys();
KeyTable<RowKey> RowKeys();
KeyTable<CellKey> CellKeys();

// ---- writer and reader --------------------------------------------------------------------

// The full template (settings, header, footer, body) or the settings alone.
// `sizeHint` (the previous text's length, say) spares the text's regrowth.
std::string WriteTemplate(Document& control, std::size_t sizeHint = 0);
std::string WriteSettings(Document& control);

// Applies template text to a control. The first bad line throws an Error whose
// description names the line; what was applied before it stays.
void ReadTemplate(Document& control, std::string_view text, bool onlyDesign);

// Files: the whole file, or Error 52/53/62/70/75; a file written next to the
// target and renamed over it only once complete, or Error 52/75/76.
std::string ReadWholeFile(const std::string& path);
void ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace ktfolio::persist
