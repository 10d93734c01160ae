// The template reader: replaces every row of a control with the rows of
// template text and applies its settings, line by line; the first bad line
// stops it with what came before applied.
#include <algorithm>

#include "persist/codepage.h"
#include "persist/persist_impl.h"

namespace ktfolio::persist {

namespace {

constexpr std::size_t kQuotedLineLimit = 60;

// The previous row and cell that new rows and cells copy, set for one read and
// forgotten after it whatever happens.
class TemplateModels {
 public:
  TemplateModels() { Forget(); }
  ~TemplateModels() { Forget(); }
  TemplateModels(const TemplateModels&) = delete;
  TemplateModels& operator=(const TemplateModels&) = delete;

 private:
  static void Forget() {
    TemplateRow() = nullptr;
    TemplateCell() = nullptr;
  }
};

class TemplateReader {
 public:
  TemplateReader(Document& control, bool onlyDesign) : c_(control), onlyDesign_(onlyDesign) {}

  // After the last line.
  void Finish() { FinishRow(); }

  void Line(std::string_view line) {
    if (!line.empty() && line[0] == '[')
      SectionLine(line);
    else
      KeyLine(line);
  }

 private:
  enum class Section { None, Settings, Area };

  void SectionLine(std::string_view line) {
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos || close < 2) return;  // "[]" or no "]": not a section
    const std::string_view name = line.substr(1, close - 1), rest = line.substr(close + 1);
    if (name == "Properties") {
      FinishRow();
      section_ = Section::Settings;
    } else if (name == "Header" || name == "Footer" || name == "Body") {
      FinishRow();
      section_ = Section::Area;
      area_ = name == "Header" ? Header : name == "Footer" ? Footer : Body;
    } else if (name == "Row") {
      if (section_ != Section::Area) throw Misplaced("[Row] outside a [Header], [Footer] or [Body] section");
      FinishRow();
      cellIndex_ = 0;
      KtRows& rows = *c_.Rows(area_);
      TemplateRow() = rows.AddR(&c_, CellsHint(rest));
    } else if (name == "Col") {
      cellIndex_ = ReadLong(rest);
      KtRow* row = TemplateRow();
      if (!row) throw Misplaced("[Col] before any [Row]");
      TemplateCell() = row->ItemText().AddRPlus(&c_, row);
    }
  }

  // The cells of the row read last came one by one: they and their texts
  // move to one block of their collection's, as a built row's are, so that a
  // loaded row is as small as a built one. The model cell, its row's last,
  // moves with the row's block.
  void FinishRow() {
    KtRow* row = TemplateRow();
    if (!row) return;
    KtTextItemCol& cells = row->ItemText();
    const bool modelHere = cells.count() > 0 && TemplateCell() == cells.Item(cells.count());
    KtRows& rows = *c_.Rows(area_);
    if (rows.count() > 0 && &rows.at0(static_cast<std::size_t>(rows.count() - 1)) == row)
      rows.CompactLast();
    else
      cells.ShrinkToFit();
    if (modelHere) TemplateCell() = cells.Item(cells.count());
  }

  void KeyLine(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    switch (section_) {
      case Section::None:
        throw Misplaced("a key line before any section line");
      case Section::Settings:
        Setting(key, value);
        break;
      case Section::Area:
        if (cellIndex_ == 0)
          RowValue(key, value);
        else if (cellIndex_ > 0)
          CellValue(key, value);
        break;
    }
  }

  void Setting(std::string_view key, std::string_view value) {
    const SettingKey* k = SettingKeys().Find(key);
    if (!k || !k->read) return;
    if (onlyDesign_ && key != "StartBodyRow" && key != "EndBodyRow") return;
    k->read(c_, value);
  }

  void RowValue(std::string_view key, std::string_view value) {
    const RowKey* k = RowKeys().Find(key);
    if (!k || !k->read) return;
    KtRows& rows = *c_.Rows(area_);
    k->read(*rows.Item(rows.count()), value);  // no row yet: Error 9
  }

  void CellValue(std::string_view key, std::string_view value) {
    const CellKey* k = CellKeys().Find(key);
    if (!k || !k->read) return;
    KtRows& rows = *c_.Rows(area_);
    KtTextItem* cell = rows.Item(rows.count())->ItemText().Item(cellIndex_);
    if (!cell) throw Misplaced("[Col]" + std::to_string(cellIndex_) + " names no cell of its row");
    k->read(*cell, value);
  }

  // "[Row]5": the writer puts the row's cell count after the name. Only a
  // hint for the room to make: anything else there is no count.
  static std::int32_t CellsHint(std::string_view rest) {
    constexpr std::size_t kDigits = 6;
    if (rest.empty() || rest.size() > kDigits) return 0;
    std::int32_t n = 0;
    for (char ch : rest) {
      if (ch < '0' || ch > '9') return 0;
      n = n * 10 + (ch - '0');
    }
    return n;
  }

  static Error Misplaced(const std::string& what) {
    return Error(ErrorCode::kObjectNotSet, kLibraryName, "Object variable not set: " + what);
  }

  Document& c_;
  bool onlyDesign_;
  Section section_ = Section::None;
  std::int32_t area_ = Body;
  std::int32_t cellIndex_ = 0;
};

// The failure with the line that caused it, quoted (shortened) and in UTF-8.
Error AtLine(const Error& e, std::size_t lineNo, std::string_view line) {
  std::string quoted;  // a cut UTF-8 sequence shows as '?'
  AppendValidUtf8(quoted, ReadString(line.substr(0, kQuotedLineLimit)));
  if (line.size() > kQuotedLineLimit) quoted += "...";
  return Error(e.number(), e.source(), e.description() + " (template line " + std::to_string(lineNo) + ": " + quoted + ")");
}

// Every line ends in CR LF. A lone CR or LF means the text went through a
// conversion to another convention: read on, the lines would split or merge
// into another document (CR alone read as no rows at all), so such text is
// refused before anything changes. A CR that ends the text is left to the
// reader, which takes it as the last line's end.
void CheckLineEnds(std::string_view text) {
  std::size_t lineNo = 1;
  for (std::size_t p = text.find_first_of("\r\n"); p != std::string_view::npos;
       p = text.find_first_of("\r\n", p + 1)) {
    const bool lf = text[p] == '\n';
    if (!lf && (p + 1 == text.size() || text[p + 1] == '\n')) {
      ++lineNo;
      ++p;
      continue;
    }
    throw Error(ErrorCode::kInvalidFileFormat, kLibraryName,
                std::string("Invalid file format: line ends are ") + (lf ? "LF" : "CR") + ", expected CR LF (line " +
                    std::to_string(lineNo) + "); the document is unchanged");
  }
}

}  // namespace

void ReadTemplate(Document& c, std::string_view text, bool onlyDesign) {
  const bool utf8 = text.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (utf8) text.remove_prefix(kUtf8Bom.size());
  std::size_t bad = 0;
  if (utf8 ? !IsUtf8Text(text, &bad) : !IsWindows1252Text(text, &bad))
    throw Error(ErrorCode::kInvalidFileFormat, kLibraryName,
                std::string("Invalid file format: not ") + (utf8 ? "UTF-8" : "Windows-1252") + " text (byte " +
                    std::to_string(static_cast<unsigned char>(text[bad])) + " at offset " +
                    std::to_string(bad + (utf8 ? kUtf8Bom.size() : 0)) + "); the document is unchanged");
  const Utf8Values values(utf8);
  CheckLineEnds(text);
  for (std::int32_t area : {Header, Footer, Body}) c.RemoveRows(0, 0, area);

  TemplateModels models;
  TemplateReader reader(c, onlyDesign);
  std::size_t p = 0, lineNo = 0;
  while (p < text.size()) {
    ++lineNo;
    const std::size_t cr = text.find('\r', p);
    const std::string_view line = text.substr(p, cr == std::string_view::npos ? std::string_view::npos : cr - p);
    if (cr == std::string_view::npos)
      throw AtLine(Error(ErrorCode::kInputPastEnd, kLibraryName, "Input past end of file: the last line has no CR LF"),
                   lineNo, line);
    try {
      reader.Line(line);
    } catch (const Error& e) {
      throw AtLine(e, lineNo, line);
    }
    p = cr + 2;  // past the CR and the LF that follows it
  }
  reader.Finish();
  c.RePageFrom(-1, false);
}

}  // namespace ktfolio::persist
