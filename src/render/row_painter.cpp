// One row on a page: its cells side by side, each ending ColSpacing before the
// next cell's TabLeft, the last one at the row's right edge.
#include <optional>

#include "model/host.h"
#include "render/render_impl.h"

namespace ktfolio::render {

using win::HeadingTag;
using win::PdfTag;
using win::ScopedPdfTag;

void PaintRow(KtRow& row, const Device& d, float X, float right, float Y) {
  try {
    const KtTextItemCol& cells = row.ItemText();
    const std::int32_t n = cells.count();
    if (n < 1) {
      if (DocumentHost* host = row.ParentControl())
        host->RecordError(ErrorCode::kRowWithoutTextItems, d.preview() ? "Preview Row" : "Print Row", "No Description");
      return;
    }
    Device cellDevice = d;
    std::optional<ScopedPdfTag> tableRow;
    if (d.tagRows) {
      const bool heading = row.OutlineLevel() > 0;
      if (ReadingOf(row) == RowReading::TableRow) {
        tableRow.emplace(d.dc, PdfTag::Row);
        cellDevice.contentTag = heading ? PdfTag::HeaderCell : PdfTag::Cell;
      } else {
        cellDevice.contentTag = heading ? HeadingTag(row.OutlineLevel()) : PdfTag::Paragraph;
      }
    }
    for (std::int32_t i = 1; i <= n; ++i) {
      const float cellRight = i < n ? X + cells.Item(i + 1)->TabLeft() - row.ColSpacing() : right;
      PaintCell(*cells.Item(i), cellDevice, X, Y + row.IndentTop(), cellRight);
    }
  } catch (const std::exception& e) {
    if (DocumentHost* host = row.ParentControl()) host->RecordCaught(e);
  }
}

RowReading ReadingOf(const KtRow& row) {
  int showing = 0;
  for (const auto& cell : row.ItemText())
    if (cell->HasBitmap() || !cell->StoredText().empty()) ++showing;
  return showing >= 2 ? RowReading::TableRow : showing == 1 ? RowReading::Block : RowReading::Nothing;
}

void MarkHeading(const KtRow& row, const Device& d, float Y) {
  std::string title;
  for (const auto& cell : row.ItemText()) {
    if (cell->HasBitmap()) continue;  // a picture cell's text names the picture
    std::string text = cell->Text();
    for (char& ch : text)
      if (ch == '\r' || ch == '\n' || ch == '\t') ch = ' ';
    const std::size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
    if (b == std::string::npos) continue;
    if (!title.empty()) title += ' ';
    title += text.substr(b, e - b + 1);
  }
  win::AddPdfHeading(d.dc, row.OutlineLevel(), title.empty() ? "Heading" : title, Nint(d.y(Y)));
}

}  // namespace ktfolio::render
