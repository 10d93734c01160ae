// Adding, re-texting and removing rows; the body's start, centre and end sections.
#include <algorithm>

#include "control/ktprint4.h"

namespace ktfolio {

namespace {
constexpr std::int32_t kCouldNotAddRow = 60109;
}

// Item syntax: "#2880#Total" puts "Total" at 2880 twips from the row's left edge.
void KtPrint4::ApplyItems(KtRow& row, const VariantArray& items, bool limitToCells) {
  KtTextItemCol& cells = row.ItemText();
  const std::int32_t last = static_cast<std::int32_t>(items.size()) - 1;
  for (std::int32_t k = 0; k <= last; ++k) {
    if (limitToCells && k + 1 > cells.count()) break;
    std::string s = items[k].ToString();
    KtTextItem* cell = cells.Item(k + 1);
    if (!cell) throw ObjectNotSetError();
    size_t second = s.size() > 1 && s[0] == '#' ? s.find('#', 1) : std::string::npos;
    if (second != std::string::npos && second + 1 > 2) {
      cell->TabLeft(Variant(Val(std::string_view(s).substr(1, second - 1))).ToSingle());
      cell->Text(std::string_view(s).substr(second + 1));
    } else {
      cell->Text(s);
    }
  }
}

bool KtPrint4::AddRow(const VariantArray& Items) { return AddBodyRow(Kind::Center, &Items); }
bool KtPrint4::AddStartDocRow(const VariantArray& Items) { return AddBodyRow(Kind::Start, &Items); }
bool KtPrint4::AddEndDocRow(const VariantArray& Items) { return AddBodyRow(Kind::End, &Items); }
bool KtPrint4::AddHeaderRow(const VariantArray& Items) { return AddBandRow(Header, &Items); }
bool KtPrint4::AddFooterRow(const VariantArray& Items) { return AddBandRow(Footer, &Items); }

bool KtPrint4::AddBodyRow(Kind kind, const VariantArray* items) {
  const char* context = kind == Kind::Center ? "Adding Center Doc Row" : "Adding Row";
  try {
    std::int32_t n = defaults_.dColsPerRow;
    if (items) n = std::max<std::int32_t>(n, static_cast<std::int32_t>(items->size()));
    activeArea_ = Body;
    KtRows& rows = body();

    switch (kind) {
      case Kind::Center:
        if (rows.ActiveRow() < rows.StartBodyRow() || rows.ActiveRow() > rows.EndBodyRow())
          rows.ActiveRow(rows.EndBodyRow());
        break;
      case Kind::Start:
        if (rows.ActiveRow() >= rows.StartBodyRow())
          rows.ActiveRow(rows.StartBodyRow() == 0 ? 0 : rows.StartBodyRow() - 1);
        break;
      case Kind::End:
        if (rows.EndBodyRow() >= rows.StartBodyRow() && rows.EndBodyRow() != 0 &&
            rows.ActiveRow() < rows.EndBodyRow())
          rows.ActiveRow(rows.count());
        break;
    }

    KtRow* row = rows.Add(this, n);
    if (!row) {
      RecordError(kCouldNotAddRow, context, "No Description");
      return false;
    }

    if (kind == Kind::Center) {
      if (rows.EndBodyRow() < rows.count()) rows.EndBodyRow(rows.EndBodyRow() + 1);
      if (rows.StartBodyRow() == 0) rows.StartBodyRow(1);
    } else if (kind == Kind::Start) {
      if (rows.StartBodyRow() == 0) rows.StartBodyRow(1);
      if (rows.EndBodyRow() == 0) rows.EndBodyRow(1);
      rows.StartBodyRow(rows.StartBodyRow() + 1);
      rows.EndBodyRow(rows.EndBodyRow() + 1);
    }

    if (items) ApplyItems(*row, *items, false);
    row->FitHeight(MeasureDC());
    needsRepaging_ = true;
    RePageFrom(rows.ActiveRow(), false);
    if (kind == Kind::Center) Notify("");
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

bool KtPrint4::AddBandRow(std::int32_t area, const VariantArray* items) {
  const char* context = area == Header ? "Adding Header Row" : "Adding Footer Row";
  try {
    std::int32_t n = defaults_.dColsPerRow;
    if (items) n = std::max<std::int32_t>(n, static_cast<std::int32_t>(items->size()));
    activeArea_ = area;
    KtRows& rows = RowsOrThrow(area);
    KtRow* row = rows.Add(this, n);
    if (!row) {
      RecordError(kCouldNotAddRow, context, "No Description");
      return false;
    }
    if (items) ApplyItems(*row, *items, false);
    row->FitHeight(MeasureDC());
    needsRepaging_ = true;
    PlaceBandRows();
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

bool KtPrint4::SetTextRow(std::int32_t row, std::int32_t parea, const VariantArray& Items) {
  try {
    KtRows& rows = RowsOrThrow(parea);
    if (row < 1 || row > rows.count()) {
      RecordError(kCouldNotAddRow, "Setting Text Row", "No Description");
      return false;
    }
    KtRow* r = rows.Item(row);
    ApplyItems(*r, Items, true);
    r->FitHeight(MeasureDC());
    needsRepaging_ = true;
    if (parea == Body)
      RePageFrom(row, false);
    else
      PlaceBandRows();
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

bool KtPrint4::RemoveRows(std::int32_t RowFrom, std::int32_t RowTo, std::int32_t PageArea) {
  try {
    KtRows& rows = RowsOrThrow(PageArea);
    const std::int32_t count = rows.count();
    std::int32_t first, last;
    if (RowFrom > 0) {
      first = RowFrom;
      last = (RowTo > 0 && RowTo <= count) ? RowTo : count;
    } else {
      first = 1;
      last = count;
    }
    if (last < first || first < 1 || first > count) {
      repageOnPaint_ = true;
      return false;
    }
    const std::int32_t removed = last - first + 1;
    if (PageArea == Body) {
      if (first < rows.StartBodyRow()) rows.StartBodyRow(first - 1);
      if (first + removed <= rows.EndBodyRow())
        rows.EndBodyRow(rows.EndBodyRow() - removed);
      else
        rows.EndBodyRow(first);
    }
    rows.RemoveRange(first, removed);
    needsRepaging_ = true;
    repageOnPaint_ = true;
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

void KtPrint4::ClearAll() {
  for (auto& r : rows_)
    if (r) r->Clear();
}

}  // namespace ktfolio
