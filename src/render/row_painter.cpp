// One row on a page: its cells side by side, each ending ColSpacing before the
// next cell's TabLeft, the last one at the row's right edge.
#include "model/host.h"
#include "render/render_impl.h"

namespace ktfolio::render {

void PaintRow(KtRow& row, const Device& d, float X, float right, float Y) {
  try {
    const KtTextItemCol& cells = row.ItemText();
    const std::int32_t n = cells.count();
    if (n < 1) {
      if (DocumentHost* host = row.ParentControl())
        host->RecordError(ErrorCode::kRowWithoutTextItems, d.preview() ? "Preview Row" : "Print Row", "No Description");
      return;
    }
    for (std::int32_t i = 1; i <= n; ++i) {
      const float cellRight = i < n ? X + cells.Item(i + 1)->TabLeft() - row.ColSpacing() : right;
      PaintCell(*cells.Item(i), d, X, Y + row.IndentTop(), cellRight);
    }
  } catch (const std::exception& e) {
    if (DocumentHost* host = row.ParentControl()) host->RecordCaught(e);
  }
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
