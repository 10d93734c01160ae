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
void FillHit(const tpPageInfo& info, const KtRow& row, std::int32_t area, float base, std::int32_t rowNumber,
             std::int32_t col, CellHit& hit) {
  const KtTextItemCol& cells = row.ItemText();
  const float top = base + row.TopInPage();
  const float left = info.LeftM + cells.Item(col)->TabLeft();
  const float right = col == cells.count() ? info.LeftM + info.AvailWidth
                                           : info.LeftM + cells.Item(col + 1)->TabLeft() - row.ColSpacing();
  hit.area = area;
  hit.row = rowNumber;
  hit.col = col;
  hit.rect = win::RECT{Nint(left), Nint(top), Nint(right), Nint(top + row.RowHeight())};
}

}  // namespace

bool HitTestCell(KtPrint4& control, std::int16_t page, float x, float y, CellHit& hit) {
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
      FillHit(info, row, area, base, i + 1, j, hit);
      return true;
    }
    return false;  // the first row under the point decides
  }
  return false;
}

bool CellAtAddress(KtPrint4& control, std::int16_t page, std::int32_t area, std::int32_t row, std::int32_t col,
                   CellHit& hit) {
  KtRows* rows = control.Rows(area);
  if (!rows || row < 1 || row > rows->count()) return false;
  KtRow& r = rows->at0(static_cast<size_t>(row - 1));
  if (area == Body && r.Page() != page) return false;
  if (col < 1 || col > r.ItemText().count()) return false;
  const tpPageInfo info = control.PageInfo();
  const float base = area == Body ? info.TopM : area == Header ? info.HeaderM : info.Height - info.FooterM;
  FillHit(info, r, area, base, row, col, hit);
  return true;
}

}  // namespace ktfolio::render
