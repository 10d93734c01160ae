// Adding, re-texting and removing rows; the body's start, centre and end sections.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/document.h"

namespace ktfolio {

namespace {

// One item made ready for a cell: everything that can fail is done here,
// before any row or cell is touched. `text` is a view of the caller's text,
// or of a converted one the items keep; `traits` are its CellTextTraits.
struct PreparedItem {
  std::string_view text;
  float tabLeft;
  bool hasTab;
  std::uint8_t traits;
};

// The position of "#2880#": plain digits (nearly every item) are read here,
// exactly as the number reader reads them; anything else goes to it.
float TabPosition(std::string_view digits) {
  if (!digits.empty() && digits.size() <= 7 &&
      std::all_of(digits.begin(), digits.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
    std::int32_t v = 0;
    for (char ch : digits) v = v * 10 + (ch - '0');
    return static_cast<float>(v);  // below 10^7: exact in a float
  }
  return CheckedFinite(Variant(Val(digits)).ToSingle());
}

// The decimal digits an item's text starts with, at most seven (below 10^7,
// exact in a float): how many, and the number they make.
struct LeadingDigits {
  std::size_t count = 0;
  std::int32_t value = 0;
};

// Eight bytes at a time when there are four or more to read (the bytes past
// the text's end read as NUL): each byte is a digit when its high nibble is 3
// before and after adding 6, and the digits, moved to the top of the word
// behind zeros, are added up in three multiplications. A byte past the first
// non-digit may be misjudged (a carry), which does not matter.
LeadingDigits ReadLeadingDigits(std::string_view s) {
  constexpr std::size_t kMost = 7;
  LeadingDigits d;
  if (std::endian::native == std::endian::little && s.size() >= 4) {
    std::uint64_t x;
    if (s.size() >= 8) {
      std::memcpy(&x, s.data(), 8);
    } else {  // the first four and the last four, overlapping
      std::uint32_t first, last;
      std::memcpy(&first, s.data(), 4);
      std::memcpy(&last, s.data() + s.size() - 4, 4);
      x = first | (std::uint64_t{last} << (8 * (s.size() - 4)));
    }
    constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0u, kThree = 0x3030303030303030u, kSix = 0x0606060606060606u;
    const std::uint64_t bad = ((x & kHigh) ^ kThree) | (((x + kSix) & kHigh) ^ kThree);
    d.count = std::min<std::size_t>(bad ? static_cast<std::size_t>(std::countr_zero(bad)) / 8 : 8, kMost);
    if (d.count == 0) return d;
    std::uint64_t v = x << (8 * (8 - d.count));
    v = ((v & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
    v = ((v & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
    d.value = static_cast<std::int32_t>(((v & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32);
    return d;
  }
  while (d.count < kMost && d.count < s.size() && s[d.count] >= '0' && s[d.count] <= '9')
    d.value = d.value * 10 + (s[d.count++] - '0');
  return d;
}

// A row's items, made ready. Rows of a few items (nearly all) are kept on
// the stack: rows added in bulk cost no allocation here.
class PreparedItems {
 public:
  // Item syntax: "#2880#Total" puts "Total" at 2880 twips from the row's left edge.
  PreparedItems(const Document::RowItems* items, std::size_t limit) {
    if (!items) return;
    n_ = std::min(items->size(), limit);
    if (n_ > kOnStack) more_.resize(n_);
    // Reserved once: the views into `owned_` must not move.
    if (items->variants) owned_.reserve(n_);
    PreparedItem* out = data();
    for (std::size_t k = 0; k < n_; ++k) {
      PreparedItem& item = out[k];
      std::string_view s;
      if (items->variants)
        s = owned_.emplace_back((*items->variants)[k].ToString());
      else
        s = items->texts[k];
      item.hasTab = false;
      if (s.size() > 1 && s[0] == '#') {
        // Up to seven plain digits and the closing '#' (nearly every item) are
        // read as they are met; anything else is looked for and read in full.
        const LeadingDigits digits = ReadLeadingDigits(s.substr(1));
        const std::size_t i = 1 + digits.count;
        if (digits.count > 0 && i < s.size() && s[i] == '#') {
          item.tabLeft = static_cast<float>(digits.value);  // below 10^7: exact in a float
          item.hasTab = true;
          s.remove_prefix(i + 1);
        } else if (const std::size_t second = s.find('#', 1); second != std::string_view::npos && second > 1) {
          item.tabLeft = TabPosition(s.substr(1, second - 1));
          item.hasTab = true;
          s.remove_prefix(second + 1);
        }
      }
      item.text = s;
      CheckCellTextSize(item.text);
      item.traits = CellTextTraits(item.text);
      if (InRoom(item)) textBytes_ += CellText::RecordSize(s.size());
    }
  }
  PreparedItems(const PreparedItems&) = delete;
  PreparedItems& operator=(const PreparedItems&) = delete;

  std::size_t size() const { return n_; }
  // The room the row's cells need for their texts (KtTextItemCol::reserve).
  std::size_t TextBytes() const { return textBytes_; }
  const PreparedItem& operator[](std::size_t k) const { return data()[k]; }

  // Puts the items in the row's first cells, and keeps the CellTextTraits of
  // what each cell now stores, for measuring the row.
  void ApplyTo(KtRow& row) {
    KtTextItemCol& cells = row.ItemText();
    if (n_ > static_cast<std::size_t>(cells.count())) throw ObjectNotSetError();
    KtTextItem* const first = cells.Item(1);  // the row's cells, side by side
    PreparedItem* items = data();
    for (std::size_t k = 0; k < n_; ++k) {
      KtTextItem* cell = first + k;
      if (items[k].hasTab) cell->TabLeft(items[k].tabLeft);
      char* room = InRoom(items[k]) ? cells.TextRoom(CellText::RecordSize(items[k].text.size())) : nullptr;
      if (room)
        cell->StoredTextIn(items[k].text, room);
      else
        cell->Text(items[k].text, items[k].traits);
      if (k < kOnStack)
        stored_[k] = (items[k].traits & kTextLineBreak) ? CellTextTraits(cell->StoredText()) : items[k].traits;
    }
  }
  // The stored texts' CellTextTraits, once applied (rows of more items than
  // kept on the stack are measured without them).
  std::span<const std::uint8_t> StoredTraits() const {
    return n_ <= kOnStack ? std::span<const std::uint8_t>(stored_.data(), n_) : std::span<const std::uint8_t>();
  }

 private:
  static constexpr std::size_t kOnStack = 16;
  // A text stored as it is and not inline goes to the row's text room.
  static bool InRoom(const PreparedItem& item) {
    return item.text.size() > CellText::kInline && !(item.traits & kTextLineBreak);
  }
  PreparedItem* data() { return n_ > kOnStack ? more_.data() : onStack_.data(); }
  const PreparedItem* data() const { return n_ > kOnStack ? more_.data() : onStack_.data(); }

  std::size_t n_ = 0;
  std::size_t textBytes_ = 0;
  std::array<PreparedItem, kOnStack> onStack_;
  std::array<std::uint8_t, kOnStack> stored_;
  std::vector<PreparedItem> more_;
  std::vector<std::string> owned_;
};

// The unnamed change every centre row announces, made once rather than per row.
const std::string kUnnamedChange;

// A cell's text and position, as SetTextRow found them.
struct SavedCell {
  std::string text;
  float tabLeft;
};

}  // namespace

// The body's sections, selection and the placement of its rows from one row
// on: what a failed row addition or re-texting puts back.
struct Document::SavedBody {
  struct Placement {
    std::int16_t page;
    float top;
    bool newPage;
  };
  std::int32_t activeArea, activeRow, activeCol, startBodyRow, endBodyRow, from;
  std::int16_t pages, pageCountCopy;
  std::int32_t pageCount;
  bool needsRepaging;
  std::vector<Placement> placements;
};

Document::SavedBody Document::SaveBody(std::int32_t from) const {
  const KtRows& rows = body();
  SavedBody saved{activeArea_,       rows.ActiveRow(), rows.ActiveCol(), rows.StartBodyRow(), rows.EndBodyRow(),
                  std::max(from, 1), pages_,           pageCountCopy_,   pageCount_,          needsRepaging_,
                  {}};
  for (std::int32_t i = saved.from; i <= rows.count(); ++i) {
    const KtRow& r = rows.at0(static_cast<size_t>(i) - 1);
    saved.placements.push_back({r.Page(), r.TopInPage(), r.NewPage()});
  }
  return saved;
}

void Document::RestoreBody(const SavedBody& saved) {
  KtRows& rows = body();
  activeArea_ = saved.activeArea;
  rows.ActiveRow(saved.activeRow);
  rows.ActiveCol(saved.activeCol);
  rows.StartBodyRow(saved.startBodyRow);
  rows.EndBodyRow(saved.endBodyRow);
  pages_ = saved.pages;
  pageCountCopy_ = saved.pageCountCopy;
  pageCount_ = saved.pageCount;
  needsRepaging_ = saved.needsRepaging;
  for (std::size_t k = 0; k < saved.placements.size(); ++k) {
    KtRow& r = rows.at0(static_cast<size_t>(saved.from - 1) + k);
    r.Page(saved.placements[k].page);
    r.TopInPage(saved.placements[k].top);
    r.SetNewPage(saved.placements[k].newPage);
  }
}

bool Document::AddRowItems(RowPlace place, const VariantArray* variants) {
  const RowItems list{variants, {}};
  const RowItems* items = variants ? &list : nullptr;
  switch (place) {
    case RowPlace::Body: return AddBodyRow(Kind::Center, items);
    case RowPlace::StartDoc: return AddBodyRow(Kind::Start, items);
    case RowPlace::EndDoc: return AddBodyRow(Kind::End, items);
    case RowPlace::Header: return AddBandRow(Header, items);
    case RowPlace::Footer: return AddBandRow(Footer, items);
  }
  return false;
}

bool Document::AddRowTexts(std::span<const std::string_view> texts) {
  const RowItems list{nullptr, texts};
  return AddBodyRow(Kind::Center, texts.empty() ? nullptr : &list);
}

// All or nothing: the items are converted first, and a row that cannot be
// fitted or paginated (past kMaxPages) is taken out again, leaving the body,
// its sections, its selection and its pagination as they were.
bool Document::AddBodyRow(Kind kind, const RowItems* items) {
  const char* context = kind == Kind::Center ? "Adding Center Doc Row" : "Adding Row";
  std::optional<SavedBody> saved;
  std::int32_t inserted = 0;
  try {
    PreparedItems prepared(items, items ? items->size() : 0);
    std::int32_t n = defaults_.dColsPerRow;
    if (items) n = std::max<std::int32_t>(n, static_cast<std::int32_t>(items->size()));
    KtRows& rows = body();
    const std::int32_t areaBefore = activeArea_, activeBefore = rows.ActiveRow();
    activeArea_ = Body;

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
    // The new row goes after the active one; re-paging moves it and every row after it.
    saved = SaveBody(std::min(rows.ActiveRow(), rows.count()) + 1);
    saved->activeArea = areaBefore;
    saved->activeRow = activeBefore;

    KtRow* row = rows.Add(this, n, prepared.TextBytes());
    if (!row) {
      RestoreBody(*saved);
      RecordError(ErrorCode::kCouldNotAddRow, context, "No Description");
      return false;
    }
    inserted = rows.ActiveRow();

    if (kind == Kind::Center) {
      if (rows.EndBodyRow() < rows.count()) rows.EndBodyRow(rows.EndBodyRow() + 1);
      if (rows.StartBodyRow() == 0) rows.StartBodyRow(1);
    } else if (kind == Kind::Start) {
      if (rows.StartBodyRow() == 0) rows.StartBodyRow(1);
      if (rows.EndBodyRow() == 0) rows.EndBodyRow(1);
      rows.StartBodyRow(rows.StartBodyRow() + 1);
      rows.EndBodyRow(rows.EndBodyRow() + 1);
    }

    prepared.ApplyTo(*row);
    row->FitHeight(MeasureDC(), prepared.StoredTraits(), &bodyWidths_);
    needsRepaging_ = true;
    if (!RePageFrom(rows.ActiveRow(), false)) throw Overflow();
    if (kind == Kind::Center) Notify(kUnnamedChange);
    return true;
  } catch (const std::exception& e) {
    if (inserted) body().Remove(inserted);
    if (saved) RestoreBody(*saved);
    RecordCaught(e);
    return false;
  }
}

bool Document::AddBandRow(std::int32_t area, const RowItems* items) {
  const char* context = area == Header ? "Adding Header Row" : "Adding Footer Row";
  try {
    PreparedItems prepared(items, items ? items->size() : 0);
    std::int32_t n = defaults_.dColsPerRow;
    if (items) n = std::max<std::int32_t>(n, static_cast<std::int32_t>(items->size()));
    KtRows& rows = RowsOrThrow(area);
    KtRow* row = rows.Add(this, n, prepared.TextBytes());
    if (!row) {
      RecordError(ErrorCode::kCouldNotAddRow, context, "No Description");
      return false;
    }
    activeArea_ = area;
    prepared.ApplyTo(*row);
    row->FitHeight(MeasureDC(), prepared.StoredTraits());
    needsRepaging_ = true;
    PlaceBandRows();
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

bool Document::SetTextRow(std::int32_t row, std::int32_t parea, const VariantArray& Items) {
  try {
    KtRows& rows = RowsOrThrow(parea);
    if (row < 1 || row > rows.count()) {
      RecordError(ErrorCode::kCouldNotAddRow, "Setting Text Row", "No Description");
      return false;
    }
    KtRow* r = rows.Item(row);
    const RowItems list{&Items, {}};
    PreparedItems prepared(&list, static_cast<std::size_t>(r->ItemText().count()));
    std::vector<SavedCell> cells;
    for (std::size_t k = 0; k < prepared.size(); ++k) {
      const KtTextItem& cell = *r->ItemText().Item(static_cast<std::int32_t>(k) + 1);
      cells.push_back({std::string(cell.StoredText()), cell.TabLeft()});
    }
    const float height = r->RowHeight();
    std::optional<SavedBody> saved;
    if (parea == Body) saved = SaveBody(row);

    prepared.ApplyTo(*r);
    try {
      r->FitHeight(MeasureDC(), prepared.StoredTraits());
      needsRepaging_ = true;
      if (parea == Body && !RePageFrom(row, false)) throw Overflow();
    } catch (const std::exception&) {
      // New texts that would push the body past its last page are taken back.
      for (std::size_t k = 0; k < cells.size(); ++k) {
        KtTextItem& cell = *r->ItemText().Item(static_cast<std::int32_t>(k) + 1);
        cell.StoredText(cells[k].text);
        cell.TabLeft(cells[k].tabLeft);
      }
      r->RowHeight(height);
      if (saved) RestoreBody(*saved);
      throw;
    }
    if (parea != Body) PlaceBandRows();
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

bool Document::RemoveRows(std::int32_t RowFrom, std::int32_t RowTo, std::int32_t PageArea) {
  if (RefusedInsideEvent("RemoveRows")) return false;
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

void Document::ClearAll() {
  if (RefusedInsideEvent("ClearAll")) return;
  for (auto& r : rows_)
    if (r) r->Clear();
}

}  // namespace ktfolio
