// The template writer: settings, then the header, footer and body rows, each
// row and cell key written only where it differs from the previous row or cell.
#include <algorithm>

#include "persist/persist_impl.h"

namespace ktfolio::persist {

namespace {

class TemplateWriter {
 public:
  TemplateWriter(Document& control, std::string& text, std::int32_t codePage)
      : c_(control), out_(text, codePage) {}
  const TemplateLoss& Loss() const { return out_.Loss(); }

  void Settings() {
    // Paginate first, so that "MaxPag" and the rows' pages agree with "Pages".
    c_.Pages();
    out_.Section("Properties");
    for (const SettingKey& k : SettingKeys()) k.write(out_, c_);
  }

  void Area(const char* section, std::int32_t area) {
    out_.Section(section);
    for (const auto& row : *c_.Rows(area)) Row(*row);
  }

 private:
  void Row(const KtRow& r) {
    const KtTextItemCol& cells = r.ItemText();
    out_.Section("Row", cells.count());
    for (const RowKey& k : RowKeys()) k.write(out_, r, prevRow_);
    prevRow_ = &r;
    std::int32_t index = 0;
    for (const auto& cell : cells) {
      out_.Section("Col", ++index);
      for (const CellKey& k : CellKeys()) k.write(out_, *cell, prevCell_);
      prevCell_ = cell.get();
    }
  }

  Document& c_;
  TemplateOut out_;
  // The previous row and cell across areas, as the reader's copies run.
  const KtRow* prevRow_ = nullptr;
  const KtTextItem* prevCell_ = nullptr;
};

// A row of five cells that vary a few attributes each writes about 500 bytes.
constexpr std::size_t kBytesPerRowGuess = 512;

}  // namespace

std::string WriteTemplate(Document& control, std::size_t sizeHint, std::int32_t codePage, TemplateLoss* loss) {
  std::string text;
  std::size_t rows = 0;
  for (std::int32_t area : {Header, Footer, Body}) rows += static_cast<std::size_t>(control.Rows(area)->count());
  text.reserve(std::max(sizeHint + sizeHint / 8, 4096 + rows * kBytesPerRowGuess));
  if (codePage == kCodePageUtf8) text += kUtf8Bom;
  TemplateWriter w(control, text, codePage);
  w.Settings();
  w.Area("Header", Header);
  w.Area("Footer", Footer);
  w.Area("Body", Body);
  if (loss) *loss = w.Loss();
  return text;
}

std::string WriteSettings(Document& control, std::int32_t codePage) {
  std::string text;
  if (codePage == kCodePageUtf8) text += kUtf8Bom;
  TemplateWriter w(control, text, codePage);
  w.Settings();
  return text;
}

}  // namespace ktfolio::persist
