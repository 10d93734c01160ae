#include "model/rows.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

#include "model/host.h"
#include "model/text_width.h"

namespace ktfolio {

namespace {
std::int32_t CLng(double v) { return Variant(v).ToLong(); }

// The style of a new cell laid out from the control's defaults.
CellStyleData DefaultCellStyle(const tpDefaults& d) {
  CellStyleData st;
  st.AlignPos = d.dColAlignPos;
  st.BrushColor = d.dColBrushColor;
  st.Clipping = d.dColClipping;
  st.EditType = d.dColEditType;
  st.FillCell = d.dColFillCell;
  st.FontBold = d.dFontBold;
  st.FontColor = d.dFontColor;
  st.FontItalic = d.dFontItalic;
  st.fontName = d.dFontName;
  st.FontSize = d.dFontSize;
  st.FontStrikethru = d.dFontStrikeThru;
  st.FontStyle = d.dFontStyle;
  st.FontUnderline = d.dFontUnderline;
  st.IndentFirst = d.dColIndentFirst;
  st.IndentLeft = d.dColIndentLeft;
  st.IndentRight = d.dColIndentRight;
  st.LineBottom = d.dColLineBottom;
  st.LineLeft = d.dColLineLeft;
  st.LineRight = d.dColLineRight;
  st.LineTop = d.dColLineTop;
  st.PenColor = d.dColPenColor;
  st.PenStyle = d.dColPenStyle;
  st.ShadowColor = d.dColShadowColor;
  st.ShadowHeavyColor = d.dColShadowHeavyColor;
  st.ShadowSize = d.dColShadowSize;
  st.WordWrap = d.dColWordWrap;
  return st;
}
}  // namespace

KtRow*& TemplateRow() {
  static KtRow* row = nullptr;
  return row;
}
KtTextItem*& TemplateCell() {
  static KtTextItem* cell = nullptr;
  return cell;
}

// ---- KtTextItemCol ------------------------------------------------------------

KtTextItem* KtTextItemCol::AddRPlus(DocumentHost* control, KtRow* row) {
  // The template is often this row's previous cell: copy before the block may move.
  KtTextItem cell;
  if (const KtTextItem* t = TemplateCell()) {
    cell.CopyAttributesFrom(*t);
    cell.StoredText(t->StoredText());
  }
  cell.ParentRow(row);
  cell.ParentControl(control);
  return AddItem(std::move(cell));
}

KtTextItemCol::~KtTextItemCol() {
  std::destroy_n(cells_, count_);
  FreeBlock();
}

static_assert(alignof(KtTextItem) <= alignof(void*), "cell blocks from the arena are aligned as pointers");

std::size_t KtTextItemCol::BlockBytes() const {
  const RoomHeader* room = Room();
  return sizeof(KtTextItem) * Capacity() + (room ? sizeof(RoomHeader) + room->size : 0);
}

void KtTextItemCol::FreeBlock(CellArena* arena) {
  if (!cells_) return;
  if (!(capacity_ & kArenaBit))
    ::operator delete(cells_);
  else if (arena)
    arena->Free(cells_, BlockBytes());  // the collection's arena, which made it
  // else: left to its arena, which frees it with its chunk
}

void KtTextItemCol::GiveBlockTo(CellArena& arena) {
  std::destroy_n(cells_, count_);
  FreeBlock(&arena);
  cells_ = nullptr;
  count_ = capacity_ = 0;
}

void KtTextItemCol::Grow(std::uint32_t capacity, std::size_t textBytes, CellArena* arena) {
  if (textBytes > std::numeric_limits<std::uint32_t>::max()) textBytes = 0;  // the texts own their blocks instead
  const std::size_t roomBytes = textBytes ? sizeof(RoomHeader) + textBytes : 0;
  const std::size_t bytes = sizeof(KtTextItem) * capacity + roomBytes;
  void* fromArena = arena ? arena->Allocate(bytes) : nullptr;
  auto* block = static_cast<KtTextItem*>(fromArena ? fromArena : ::operator new(bytes));
  if (Room()) {
    // Texts kept in this block's room go with the cells: each gets its own.
    try {
      for (std::uint32_t i = 0; i < count_; ++i) cells_[i].OwnStoredText();
    } catch (...) {
      if (fromArena)
        arena->Free(block, bytes);
      else
        ::operator delete(block);
      throw;
    }
  }
  std::uninitialized_move_n(cells_, count_, block);
  std::destroy_n(cells_, count_);
  FreeBlock(arena);
  cells_ = block;
  capacity_ = capacity;
  if (fromArena) capacity_ |= kArenaBit;
  if (roomBytes) {
    capacity_ |= kRoomBit;
    *Room() = RoomHeader{static_cast<std::uint32_t>(textBytes), 0};
  }
}

void KtTextItemCol::reserve(std::int32_t n, std::size_t textBytes, CellArena* arena) {
  if (n > 0 && static_cast<std::uint32_t>(n) > Capacity()) Grow(static_cast<std::uint32_t>(n), textBytes, arena);
}

char* KtTextItemCol::TextRoom(std::size_t bytes) {
  RoomHeader* room = Room();
  if (!room || bytes > room->size - room->used) return nullptr;
  char* at = reinterpret_cast<char*>(room + 1) + room->used;
  room->used += static_cast<std::uint32_t>(bytes);
  return at;
}

void KtTextItemCol::ShrinkToFit() {
  if (Capacity() == count_) return;
  if (count_ == 0) {
    FreeBlock();
    cells_ = nullptr;
    capacity_ = 0;
    return;
  }
  Grow(count_);
}

void KtTextItemCol::Compact(CellArena& arena) {
  if (count_ == 0) return ShrinkToFit();
  std::size_t textBytes = 0;
  for (std::uint32_t i = 0; i < count_; ++i)
    if (const std::size_t n = cells_[i].StoredText().size(); n > CellText::kInline) textBytes += CellText::RecordSize(n);
  Grow(count_, textBytes, &arena);
  for (std::uint32_t i = 0; i < count_; ++i) {
    const std::string_view text = cells_[i].StoredText();
    if (text.size() <= CellText::kInline) continue;
    if (char* room = TextRoom(CellText::RecordSize(text.size()))) cells_[i].StoredTextIn(text, room);
  }
}

KtTextItem& KtTextItemCol::AddNew() { return AddNew(StyleRef()); }

void KtTextItemCol::AddStylesOf(const KtTextItemCol& model, KtRow* row) {
  reserve(static_cast<std::int32_t>(count_ + model.count_));
  for (std::uint32_t j = 0; j < model.count_; ++j) new (cells_ + count_ + j) KtTextItem(model.cells_[j].StyleRefOf(), row);
  count_ += model.count_;
}

KtTextItem& KtTextItemCol::AddNew(const StyleRef& style) {
  if (count_ == Capacity()) Grow(count_ == 0 ? 1 : count_ * 2);
  KtTextItem* cell = new (cells_ + count_) KtTextItem(style);
  ++count_;
  return *cell;
}

void KtTextItemCol::AddItem(std::unique_ptr<KtTextItem> cell) { AddItem(std::move(*cell)); }

KtTextItem* KtTextItemCol::AddItem(KtTextItem&& cell) {
  cell.OwnStoredText();  // its record may be in another row's block
  KtTextItem& slot = AddNew();
  slot = std::move(cell);
  return &slot;
}

KtTextItem* KtTextItemCol::Item(std::int32_t index) const {
  if (index < 1 || index > count()) return nullptr;
  return cells_ + (index - 1);
}

void KtTextItemCol::Remove(std::int32_t index) {
  if (index < 1 || index > count()) throw SubscriptError();
  std::move(cells_ + index, cells_ + count_, cells_ + (index - 1));
  std::destroy_at(cells_ + count_ - 1);
  --count_;
}

// ---- KtRow --------------------------------------------------------------------

KtRow::KtRow() = default;
KtRow::~KtRow() { parentControl_ = nullptr; }

void KtRow::CopyLayoutFrom(const KtRow& m) {
  IndentBottom_ = m.IndentBottom_;
  ColsLayoutType_ = m.ColsLayoutType_;
  IndentTop_ = m.IndentTop_;
  ColSpacing_ = m.ColSpacing_;
  RowSpacing_ = m.RowSpacing_;
  RowHeight_ = m.RowHeight_;
  FitHeightToText_ = m.FitHeightToText_;
}

void KtRow::FitHeight(win::HDC hdc) { FitHeight(hdc, {}); }

void KtRow::FitHeight(win::HDC hdc, std::span<const std::uint8_t> traits, ColumnWidths* widths) {
  if (!FitHeightToText_) return;
  const std::int32_t n = items_.count();
  if (n == 0) {
    RowHeight_ = CheckedFinite(IndentBottom_ + IndentTop_);
    return;
  }
  const float avail = parentControl_ ? parentControl_->PageInfo().AvailWidth : 0.0f;
  float height = 0;
  // One measurer for the row: each distinct font made once, one lock. The
  // style records it keys fonts by are counted, so the last one can be held
  // for the next row.
  static constexpr win::TextMeasurer::KeyKeeper kStyles{
      [](const void* key) { static_cast<const CellStyle*>(key)->AddRef(); },
      [](const void* key) { static_cast<const CellStyle*>(key)->Release(); }};
  win::TextMeasurer measurer(hdc, &kStyles);
  KtTextItem* const cells = items_.Item(1);  // n of them, side by side
  for (std::int32_t i = 1; i <= n; ++i) {
    KtTextItem* cell = cells + (i - 1);
    const float right = i < n ? cell[1].TabLeft() - ColSpacing_ : avail;
    const auto column = static_cast<std::size_t>(i) - 1;
    if (column >= traits.size())
      cell->GetHeight(measurer, right);
    else if (!widths || !cell->QuickHeight(measurer, right, traits[column], *widths, column))
      cell->GetHeight(measurer, right, traits[column], widths, column);
    const float h = cell->ItemHeight() + IndentTop_ + IndentBottom_;
    if (h > height) height = h;
  }
  // Huge indents can add up past the float range; an infinite height would
  // turn every top after this row into infinity or NaN.
  RowHeight_ = CheckedFinite(height);
}

namespace {
struct RowAttribute {
  const char* name;
  Variant (*get)(const KtRow&);
  void (*set)(KtRow&, const Variant&);
};
#define KT_ROW_F32(n) {#n, [](const KtRow& r) { return Variant(r.n()); }, [](KtRow& r, const Variant& v) { r.n(CheckedFinite(v.ToSingle())); }}
const RowAttribute kRowAttributes[] = {
    {"ColsLayoutType", [](const KtRow& r) { return Variant(r.ColsLayoutType()); },
     [](KtRow& r, const Variant& v) { r.ColsLayoutType(v.ToLong()); }},
    {"NewPage", [](const KtRow& r) { return Variant(r.NewPage()); }, nullptr},
    {"PageBreak", [](const KtRow& r) { return Variant(r.PageBreak()); },
     [](KtRow& r, const Variant& v) { r.PageBreak(v.ToBool()); }},
    {"FitHeightToText", [](const KtRow& r) { return Variant(r.FitHeightToText()); },
     [](KtRow& r, const Variant& v) { r.FitHeightToText(v.ToBool()); }},
    KT_ROW_F32(RowHeight),
    KT_ROW_F32(IndentBottom),
    KT_ROW_F32(IndentTop),
    KT_ROW_F32(ColSpacing),
    KT_ROW_F32(RowSpacing),
    KT_ROW_F32(TopInPage),
    {"Page", [](const KtRow& r) { return Variant(r.Page()); }, [](KtRow& r, const Variant& v) { r.Page(v.ToInteger()); }},
    {"OutlineLevel", [](const KtRow& r) { return Variant(r.OutlineLevel()); },
     [](KtRow& r, const Variant& v) { r.OutlineLevel(v.ToLong()); }},
};
#undef KT_ROW_F32
const RowAttribute* FindRowAttribute(std::string_view name) {
  for (const auto& a : kRowAttributes)
    if (NameEquals(a.name, name)) return &a;
  return nullptr;
}
}  // namespace

void KtRow::OutlineLevel(std::int32_t v) {
  if (v < 0 || v > kMaxOutlineLevel)
    throw Error(ErrorCode::kInvalidPropertyValue, kLibraryName,
                "Invalid property value: OutlineLevel is 0 (not a heading) to 6, not " + std::to_string(v));
  OutlineLevel_ = static_cast<std::uint8_t>(v);
}

Variant KtRow::GetByName(std::string_view name) const {
  const RowAttribute* a = FindRowAttribute(name);
  if (!a) throw NotSupportedError();
  return a->get(*this);
}

void KtRow::SetByName(std::string_view name, const Variant& value) {
  const RowAttribute* a = FindRowAttribute(name);
  if (!a) throw NotSupportedError();
  if (!a->set) throw Error(ErrorCode::kReadOnlyProperty, kLibraryName, "Property is read-only");
  a->set(*this, value);
}

// ---- KtRows -------------------------------------------------------------------

KtRows::RowStore::~RowStore() {
  for (KtRow* b : blocks_) ::operator delete(b);
}

KtRow* KtRows::RowStore::New() {
  KtRow* slot;
  if (!free_.empty()) {
    slot = free_.back();
    free_.pop_back();
  } else {
    if (usedInLast_ == kRowsPerBlock) {
      blocks_.reserve(blocks_.size() + 1);
      blocks_.push_back(static_cast<KtRow*>(::operator new(sizeof(KtRow) * kRowsPerBlock)));
      usedInLast_ = 0;
    }
    slot = blocks_.back() + usedInLast_++;
  }
  return new (slot) KtRow();
}

void KtRows::RowStore::Delete(KtRow* row) {
  row->ItemText().GiveBlockTo(cells_);
  row->~KtRow();
  free_.push_back(row);
}

void KtRows::RowStore::Release() {
  for (KtRow* b : blocks_) ::operator delete(b);
  blocks_.clear();
  free_.clear();
  usedInLast_ = kRowsPerBlock;
  cells_.Release();
}

KtRows::KtRows() = default;
KtRows::~KtRows() { Clear(); }

void KtRows::Clear() {
  for (KtRow* r : rows_) r->~KtRow();
  rows_.clear();
  store_.Release();
}

void KtRows::Insert(std::size_t at, NewRow row) {
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), row.get());
  row.release();  // rows_ owns it now
}

KtRow* KtRows::Add(DocumentHost* control, std::int32_t n, std::size_t textBytes) {
  if (n > kMaxCellsPerRow) throw Error(ErrorCode::kOutOfMemory, kLibraryName, "Out of memory");
  NewRow row = MakeRow();
  row->ParentControl(control);
  const float availWidth = control->PageInfo().AvailWidth;
  const std::int32_t c = count();

  const KtRow* model = nullptr;
  if (control->InheritsLastRow() && c >= 1)
    model = rows_[c - 1];
  else if (GuideRow_ >= 1 && GuideRow_ <= c)
    model = rows_[GuideRow_ - 1];
  const std::int32_t m = model ? model->ItemText().count() : 0;
  // The defaults are copied only when some of the row comes from them (a
  // row continuing one as wide as itself takes nothing from them).
  std::optional<tpDefaults> defaults;
  if (!model || m < n) defaults = control->Defaults();

  if (model) {
    row->CopyLayoutFrom(*model);
  } else {
    const tpDefaults& d = *defaults;
    row->IndentBottom(d.dRowIndentBottom);
    row->ColsLayoutType(d.dColsLayoutType);
    row->IndentTop(d.dRowIndentTop);
    row->ColSpacing(d.dColSpacing);
    row->RowSpacing(d.dRowSpacing);
    row->RowHeight(d.dRowHeight);
    row->FitHeightToText(d.dFitHeightToText);
  }

  KtTextItemCol& cells = row->ItemText();
  cells.reserve(std::max(m, n), textBytes, &store_.Cells());
  // The model's styles straight in: CopyAttributesFrom without a default first.
  // The cells' control is the row's: they need no pointer of their own.
  if (model) cells.AddStylesOf(model->ItemText(), row.get());

  std::int32_t first = 1, last = n, used = 0;
  float rest = availWidth;
  if (model && m > 0 && m < n) {
    first = m + 1;
    used = CLng(model->ItemText().Item(m)->TabLeft());
    rest = availWidth - static_cast<float>(used);
  } else if (model && m >= n) {
    first = 1;
    last = 0;
  } else if (model) {
    // A model row without cells lays out every column from the defaults.
    first = 1;
  }

  if (first <= last) {
    // The divisor is the whole column count, also when a model row is continued.
    const std::int32_t w = CLng(static_cast<double>(rest) / n);
    const std::int32_t s = first == 1 ? 0 : 1;
    CellStyleData style = DefaultCellStyle(*defaults);
    for (std::int32_t k = first; k <= last; ++k) {
      const double g = k == 1 ? 0.0 : row->ColSpacing();
      style.TabLeft = static_cast<float>(used + static_cast<double>(s + (k - first)) * w + g);
      cells.AddNew(CellStyle::Intern(style)).ParentRow(row.get());
    }
  }

  std::int32_t p = ActiveRow_ > c ? c : ActiveRow_;
  KtRow* raw = row.get();
  if (p >= 1)
    Insert(static_cast<std::size_t>(p), std::move(row));
  else if (c > 0 && p == 0)
    Insert(0, std::move(row));
  else
    Insert(rows_.size(), std::move(row));
  ActiveRow_ = p + 1;
  ActiveCol_ = (!model || m < n) ? n : m;
  return raw;
}

KtRow* KtRows::AddR(DocumentHost* control, std::int32_t cellsHint) {
  NewRow row = MakeRow();
  row->ParentControl(control);
  // A hint, not a promise: a row that claims more gets no more than this up front.
  constexpr std::int32_t kMostCellsReserved = 256;
  row->ItemText().reserve(std::min(cellsHint, kMostCellsReserved));
  if (const KtRow* t = TemplateRow()) {
    row->CopyLayoutFrom(*t);
    row->PageBreak(t->PageBreak());
  }
  KtRow* raw = row.get();
  Insert(rows_.size(), std::move(row));
  return raw;
}

void KtRows::CompactLast() {
  if (!rows_.empty()) rows_.back()->ItemText().Compact(store_.Cells());
}

KtRow* KtRows::AddRPlus(DocumentHost* control, std::int32_t n) {
  KtRow* row = AddR(control);
  for (std::int32_t i = 0; i < n; ++i) row->ItemText().AddRPlus(control, row);
  return row;
}

KtRow* KtRows::Item(std::int32_t index) const {
  if (index < 1 || index > count()) throw SubscriptError();
  return rows_[index - 1];
}

void KtRows::Remove(std::int32_t index) {
  if (index < 1 || index > count()) throw SubscriptError();
  store_.Delete(rows_[index - 1]);
  rows_.erase(rows_.begin() + (index - 1));
  if (rows_.empty()) store_.Release();  // what the rows held goes, not only to rows of their sizes
}

void KtRows::RemoveRange(std::int32_t first, std::int32_t n) {
  if (n <= 0) return;
  if (first < 1 || first + n - 1 > count()) throw SubscriptError();
  for (std::int32_t i = first - 1; i < first - 1 + n; ++i) store_.Delete(rows_[i]);
  rows_.erase(rows_.begin() + (first - 1), rows_.begin() + (first - 1 + n));
  if (rows_.empty()) store_.Release();
}

}  // namespace ktfolio
