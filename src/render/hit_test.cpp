// Which cell lies under a point of the previewed page: the test behind a click
// on the preview and the opening of the cell editor.
#include "render/render_impl.h"
#include "render/render_internal.h"

namespace ktfolio::render {

namespace {

// The area under y and the top of its band; false between the bands.
bool AreaAt(const tpPageInfo& info, float y, std::int32_t& area, float& base) {
  if (info.TopM < y && y < info.Height - info.BottomM) {
    area = Body;
    base = info.TopM;
  } else if (info.HeaderM < y && y < info.TopM) {
    area = Header;
    base = info.HeaderM;
  } else if (y > info.Height - info.FooterM) {
    area = Footer;
    base = info.Height - info.FooterM;
  } else {
    return false;
  }
  return true;
}

// The address and rectangle (whole twips) of cell `col` of a row whose band starts at `base`.
void FillHit(const tpPageInfo& info, const KtRow& row, float base, const CellAddress& at, CellHit& hit) {
  const std::int32_t col = at.col;
  const KtTextItemCol& cells = row.ItemText();
  const float top = base + row.TopInPage();
  const float left = info.LeftM + cells.Item(col)->TabLeft();
  const float right = col == cells.count() ? info.LeftM + info.AvailWidth
                                           : info.LeftM + cells.Item(col + 1)->TabLeft() - row.ColSpacing();
  hit.area = at.area;
  hit.row = at.row;
  hit.col = col;
  hit.rect = win::RECT{Nint(left), Nint(top), Nint(right), Nint(top + row.RowHeight())};
}

}  // namespace

bool HitTestCell(Document& control, std::int16_t page, float x, float y, CellHit& hit) {
  const tpPageInfo info = control.PageInfo();
  if (x < info.LeftM || x > info.Width - info.RightM) return false;
  std::int32_t area = Body;
  float base = 0;
  if (!AreaAt(info, y, area, base)) return false;
  KtRows* rows = control.Rows(area);
  if (!rows) return false;
  for (std::int32_t i = 0; i < rows->count(); ++i) {
    KtRow& row = rows->at0(static_cast<size_t>(i));
    if (area == Body && row.Page() != page) continue;
    const float top = base + row.TopInPage();
    if (!(top < y && y < top + row.RowHeight())) continue;
    const KtTextItemCol& cells = row.ItemText();
    const std::int32_t n = cells.count();
    for (std::int32_t j = 1; j <= n; ++j) {
      const float left = info.LeftM + cells.Item(j)->TabLeft();
      const bool last = j == n;
      const float next = last ? 0 : info.LeftM + cells.Item(j + 1)->TabLeft();
      if (!(left < x) || (!last && !(x < next))) continue;
      FillHit(info, row, base, CellAddress{area, i + 1, j}, hit);
      return true;
    }
    return false;  // the first row under the point decides
  }
  return false;
}

namespace {

// The row at an address on page `page`, or nullptr.
KtRow* RowAt(Document& control, std::int16_t page, std::int32_t area, std::int32_t row, std::int32_t col) {
  KtRows* rows = control.Rows(area);
  if (!rows || row < 1 || row > rows->count()) return nullptr;
  KtRow& r = rows->at0(static_cast<size_t>(row - 1));
  if (area == Body && r.Page() != page) return nullptr;
  if (col < 1 || col > r.ItemText().count()) return nullptr;
  return &r;
}

float BandTop(const tpPageInfo& info, std::int32_t area) {
  return area == Body ? info.TopM : area == Header ? info.HeaderM : info.Height - info.FooterM;
}

}  // namespace

bool CellAtAddress(Document& control, std::int16_t page, std::int32_t area, std::int32_t row, std::int32_t col,
                   CellHit& hit) {
  KtRow* r = RowAt(control, page, area, row, col);
  if (!r) return false;
  const tpPageInfo info = control.PageInfo();
  FillHit(info, *r, BandTop(info, area), CellAddress{area, row, col}, hit);
  return true;
}

std::optional<win::RECT> CellTextRect(Document& control, std::int16_t page, const CellAddress& at, double zoom) {
  const std::int32_t area = at.area, col = at.col;
  KtRow* r = RowAt(control, page, area, at.row, col);
  if (!r) return std::nullopt;
  const tpPageInfo info = control.PageInfo();
  const KtTextItemCol& cells = r->ItemText();
  // As the page loop draws the row: from the left margin, its cells ending
  // ColSpacing before the next one, the last at the body's right edge.
  const float X = info.LeftM;
  const float right = col == cells.count() ? X + info.AvailWidth : X + cells.Item(col + 1)->TabLeft() - r->ColSpacing();
  const float Y = BandTop(info, area) + r->TopInPage() + r->IndentTop();
  return CellTextBox(*cells.Item(col), Device::ForPreview(control.MeasureDC(), zoom), zoom, X, Y, right);
}

}  // namespace ktfolio::render
