// Private to persist/*.cpp: the template text's key tables, its value formats,
// the writer and the reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "document/document.h"
#include "persist/codepage.h"
#include "platform/container/property_bag.h"

namespace ktfolio::persist {

// ---- value formats --------------------------------------------------------------------

// Appends template text (CR LF line ends, strings in the given code page),
// noting the first character the code page could not hold.
class TemplateOut {
 public:
  explicit TemplateOut(std::string& text, std::int32_t codePage = kCodePageWindows1252)
      : t_(text), utf8_(codePage == kCodePageUtf8) {}
  const TemplateLoss& Loss() const { return loss_; }
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
  void End() {
    t_ += "\r\n";
    ++lines_;
  }
  void Append(std::string_view utf8);  // in the code page
  std::string& t_;
  bool utf8_;
  std::size_t lines_ = 0;
  TemplateLoss loss_;
};

// Reading values: the leading number of the text (Val), rounded half to even
// into the integer types. Throws Error 6 when it does not fit.
std::int32_t ReadLong(std::string_view v);
std::uint32_t ReadColor(std::string_view v);
std::int16_t ReadInteger(std::string_view v);
float ReadSingle(std::string_view v);
inline bool ReadBoolean(std::string_view v) { return v == "-1"; }
std::string ReadString(std::string_view v);    // the template's code page -> UTF-8
std::string ReadCellText(std::string_view v);  // also "!hr!" -> CR LF

// While one lives, the values read on this thread are UTF-8 already (the
// template began with a byte-order mark). The key tables' readers take the
// value alone, so the reader says it here rather than through every one.
class Utf8Values {
 public:
  explicit Utf8Values(bool on);
  ~Utf8Values();
  Utf8Values(const Utf8Values&) = delete;
  Utf8Values& operator=(const Utf8Values&) = delete;

 private:
  bool was_;
};

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
// UTF-8 text (code page 65001) begins with a byte-order mark. `loss`, when
// given, receives the first character the code page could not hold.
std::string WriteTemplate(Document& control, std::size_t sizeHint = 0, std::int32_t codePage = kCodePageWindows1252,
                          TemplateLoss* loss = nullptr);
std::string WriteSettings(Document& control, std::int32_t codePage = kCodePageWindows1252);

// Applies template text to a control. Text that begins with a byte-order
// mark is UTF-8; any other is Windows-1252. The first bad line throws an Error whose
// description names the line; what was applied before it stays.
void ReadTemplate(Document& control, std::string_view text, bool onlyDesign);

// Files: the whole file, or Error 52/53/62/70/75; a file written next to the
// target and renamed over it only once complete, or Error 52/75/76.
std::string ReadWholeFile(const std::string& path);
void ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace ktfolio::persist
