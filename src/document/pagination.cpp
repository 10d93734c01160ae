// Pagination: each body row's page and top, the band rows' tops, the page count.
#include <algorithm>

#include "document/document.h"

namespace ktfolio {

// Places body rows first..n (1-based) continuing at page p, position y.
// Page numbers are 16-bit: rows that would land past kMaxPages stay on the
// last page and the result is false, so no count ever wraps or restarts.
bool Document::PlaceBodyRows(std::int32_t first, std::int16_t p, float y, bool clearPageBreaks) {
  KtRows& rows = body();
  const size_t n = static_cast<size_t>(rows.count());
  const float avail = pageInfo_.AvailHeight;
  std::int32_t page = p;
  for (size_t i = static_cast<size_t>(first) - 1; i < n; ++i) {
    KtRow& row = rows.at0(i);
    row.SetNewPage(false);
    if (clearPageBreaks) row.PageBreak(false);
    float h;
    if (row.PageBreak()) {
      ++page;
      y = 0;
      h = row.RowHeight();
    } else {
      if (y > 0) y += row.RowSpacing();
      h = row.RowHeight();
      if (static_cast<float>(y + h) > avail) {
        row.SetNewPage(true);
        ++page;
        y = 0;
      }
    }
    row.TopInPage(y);
    row.Page(static_cast<std::int16_t>(std::min(page, kMaxPages)));
    y += h;
  }
  pages_ = static_cast<std::int16_t>(std::min(page, kMaxPages));
  pageCount_ = pages_;
  pageCountCopy_ = pages_;
  return page <= kMaxPages;
}

void Document::RePaging(std::int16_t pFrom, bool ClearPageBreaks) {
  try {
    KtRows& rows = body();
    const std::int32_t n = rows.count();
    if (n == 0) return;
    std::int16_t p = 1;
    std::int32_t first = 1;
    double y = 0;
    if (pFrom > 1) {
      std::int32_t counter = 1;
      bool found = false;
      for (std::int32_t i = 1; i <= n; ++i) {
        const KtRow& row = rows.at0(static_cast<size_t>(i) - 1);
        if (row.NewPage() || row.PageBreak()) {
          ++counter;
          if (counter == pFrom) {
            p = pFrom;
            first = i + 1;
            y = row.RowHeight();
            found = true;
            break;
          }
        }
      }
      if (!found) {
        if (counter > kMaxPages) throw Overflow();
        pages_ = static_cast<std::int16_t>(counter);
        pageCount_ = counter;
        pageCountCopy_ = pages_;
        return;
      }
    }
    ComputePageInfo();
    if (!PlaceBodyRows(first, p, static_cast<float>(y), ClearPageBreaks)) throw Overflow();
  } catch (const std::exception& e) {
    RecordCaught(e);
  }
}

std::int16_t Document::Pages() {
  if (needsRepaging_) {
    RePaging(1, false);
    needsRepaging_ = false;
  }
  return pages_;
}

void Document::RepaginateForPaint(std::int16_t pageShown) {
  if (needsRepaging_) {
    Pages();  // from the first row: a setting may have moved every page
    repageOnPaint_ = false;
  } else if (repageOnPaint_) {
    RePaging(std::max<std::int16_t>(pageShown, 1), false);
    repageOnPaint_ = false;
  }
}

bool Document::RePageFrom(std::int32_t k, bool ClearPageBreaks) {
  KtRows& rows = body();
  if (rows.count() == 0) return true;
  std::int16_t p = 1;
  float y = 0;
  std::int32_t first = 1;
  if (k > 1) {
    const KtRow& prev = *rows.Item(k - 1);
    p = prev.Page();
    y = prev.TopInPage() + prev.RowHeight();
    first = k;
  }
  ComputePageInfo();
  return PlaceBodyRows(first, p, y, ClearPageBreaks);
}

void Document::PlaceBandRows() {
  for (std::int32_t area : {Header, Footer}) {
    float y = 0;
    for (const auto& row : *rows_[area]) {
      if (y > 0) y += row->RowSpacing();
      row->TopInPage(y);
      y += row->RowHeight();
    }
  }
}

}  // namespace ktfolio
