// Rows and the collections that hold them. Collections are 1-based, as the
// host sees them; a row owns its cells, a collection owns its rows.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/cellarena.h"
#include "model/textitem.h"

namespace ktfolio {

class DocumentHost;
class KtRow;

// The cells of one row, side by side in one block (no allocation per cell).
// A cell's address holds until the row gains or loses a cell.
class KtTextItemCol {
 public:
  // What iterating yields: a cell as an owning pointer would show it
  // (`c->Text()`, `*c`, `c.get()`), so loops read as they did.
  struct CellPtr {
    KtTextItem* p;
    KtTextItem* operator->() const { return p; }
    KtTextItem& operator*() const { return *p; }
    KtTextItem* get() const { return p; }
  };
  class iterator {
   public:
    using value_type = CellPtr;
    using difference_type = std::ptrdiff_t;
    explicit iterator(KtTextItem* p) : c_{p} {}
    const CellPtr& operator*() const { return c_; }
    iterator& operator++() {
      ++c_.p;
      return *this;
    }
    bool operator==(const iterator& o) const { return c_.p == o.c_.p; }
    bool operator!=(const iterator& o) const { return c_.p != o.c_.p; }

   private:
    CellPtr c_;
  };

  KtTextItemCol() = default;
  ~KtTextItemCol();
  KtTextItemCol(const KtTextItemCol&) = delete;
  KtTextItemCol& operator=(const KtTextItemCol&) = delete;

  // Creates a cell copying the template cell (when one is set) and appends it.
  KtTextItem* AddRPlus(DocumentHost* control, KtRow* row);
  void AddItem(std::unique_ptr<KtTextItem> cell);
  // Appends a cell moved in; returns where it now lives.
  KtTextItem* AddItem(KtTextItem&& cell);
  // Appends a cell made in place, unstyled or of a given style.
  KtTextItem& AddNew();
  KtTextItem& AddNew(const StyleRef& style);
  // Appends a cell of each of `model`'s cells' styles, in `row`.
  void AddStylesOf(const KtTextItemCol& model, KtRow* row);
  // Room for n cells in all, so that adding up to n moves none, and, when the
  // cells move to a new block for it, `textBytes` more in that block for
  // text records (TextRoom): a row built with its texts in one allocation.
  // The new block comes from `arena` when one is given and it can; the old
  // one, when it came from an arena, goes back to `arena` (which must be it).
  void reserve(std::int32_t n, std::size_t textBytes = 0, CellArena* arena = nullptr);
  // Removes every cell and gives the block to the arena it came from (the
  // one the row's collection keeps), or back to the heap.
  void GiveBlockTo(CellArena& arena);
  // `bytes` of the block's text room, for a cell's CellText::Borrow; nullptr
  // when there is no room left. Borrowed texts are copied out before the
  // block goes (the cells moving to a larger one).
  char* TextRoom(std::size_t bytes);
  // Gives back the room no cell uses (a row whose cells came one by one).
  void ShrinkToFit();
  // The same, the block taken from `arena` with room for the longer texts,
  // which move into it: a row whose cells and texts came one by one then
  // holds as little as a row built at once.
  void Compact(CellArena& arena);
  KtTextItem* Item(std::int32_t index) const;  // nullptr when missing, no error
  std::int32_t count() const { return static_cast<std::int32_t>(count_); }
  // How many cells fit before the block must move (tests and benchmarks).
  std::int32_t capacity() const { return static_cast<std::int32_t>(Capacity()); }
  void Remove(std::int32_t index);  // missing index: Error 9

  iterator begin() const { return iterator(cells_); }
  iterator end() const { return iterator(cells_ + count_); }

 private:
  // A block of its own rather than a vector: a row is allocated per row of a
  // document, and these 16 bytes instead of 24 keep it in a smaller size class.
  void Grow(std::uint32_t capacity, std::size_t textBytes = 0, CellArena* arena = nullptr);
  // The block's size as it was asked for.
  std::size_t BlockBytes() const;
  // Frees the block: to the heap, or to `arena` (the one that made it); an
  // arena's block without its arena is left to it.
  void FreeBlock(CellArena* arena = nullptr);
  // After the cells, when kRoomBit is set: how much text room there is and how much is used.
  struct RoomHeader {
    std::uint32_t size;
    std::uint32_t used;
  };
  static constexpr std::uint32_t kRoomBit = 0x80000000u, kArenaBit = 0x40000000u;
  std::uint32_t Capacity() const { return capacity_ & ~(kRoomBit | kArenaBit); }
  RoomHeader* Room() const {
    return (capacity_ & kRoomBit) ? reinterpret_cast<RoomHeader*>(cells_ + Capacity()) : nullptr;
  }
  KtTextItem* cells_ = nullptr;
  std::uint32_t count_ = 0;
  std::uint32_t capacity_ = 0;  // cells, kRoomBit when the block has text room, kArenaBit when an arena's
};

class KtRow {
 public:
  KtRow();
  ~KtRow();
  KtRow(const KtRow&) = delete;
  KtRow& operator=(const KtRow&) = delete;

  DocumentHost* ParentControl() const { return parentControl_; }
  void ParentControl(DocumentHost* c) { parentControl_ = c; }

#define KT_ROW_ATTR(type, name)         \
  type name() const { return name##_; } \
  void name(type v) { name##_ = v; }
  KT_ROW_ATTR(std::int32_t, ColsLayoutType)
  KT_ROW_ATTR(bool, PageBreak)
  KT_ROW_ATTR(bool, FitHeightToText)
  KT_ROW_ATTR(float, RowHeight)
  KT_ROW_ATTR(float, IndentBottom)
  KT_ROW_ATTR(float, IndentTop)
  KT_ROW_ATTR(float, ColSpacing)
  KT_ROW_ATTR(float, RowSpacing)
  KT_ROW_ATTR(float, TopInPage)
  KT_ROW_ATTR(std::int16_t, Page)
#undef KT_ROW_ATTR
  bool NewPage() const { return NewPage_; }
  void SetNewPage(bool v) { NewPage_ = v; }  // pagination only
  // A heading row's level, 1 (highest) to 6, or 0 for a row that is none:
  // headings are what a PDF's outline lists. Never inherited by new rows.
  std::int32_t OutlineLevel() const { return OutlineLevel_; }
  void OutlineLevel(std::int32_t v);  // 0..6, else Error 380

  KtTextItemCol& ItemText() { return items_; }
  const KtTextItemCol& ItemText() const { return items_; }

  // Fits RowHeight to the tallest cell measured on a device context. A height
  // beyond the float range is an overflow and leaves RowHeight as it was.
  void FitHeight(win::HDC hdc);
  // The same, given the CellTextTraits of the first cells' stored texts, and
  // with `widths` the cells' widths taken from (and kept in) the last row's.
  void FitHeight(win::HDC hdc, std::span<const std::uint8_t> traits, ColumnWidths* widths = nullptr);

  // Row attributes by name, without regard to case (Error 438 when unknown).
  Variant GetByName(std::string_view name) const;
  void SetByName(std::string_view name, const Variant& value);

  // Copies the seven layout values of a model row.
  void CopyLayoutFrom(const KtRow& model);

 private:
  DocumentHost* parentControl_ = nullptr;
  std::int32_t ColsLayoutType_ = 1;
  bool NewPage_ = false;  // written by every pagination: a byte of its own
  // One byte for the three settings: with it the row fits 56 bytes.
  bool PageBreak_ : 1 = false;
  bool FitHeightToText_ : 1 = true;
  std::uint8_t OutlineLevel_ : 3 = 0;
  std::int16_t Page_ = 0;
  float RowHeight_ = 0;
  float IndentBottom_ = 0;
  float IndentTop_ = 0;
  float ColSpacing_ = 0;
  float RowSpacing_ = 0;
  float TopInPage_ = 0;
  KtTextItemCol items_;
};

// The most cells a new row may have: a larger column count (dColsPerRow set to
// a billion) would exhaust memory cell by cell, so it fails as out of memory
// before anything is allocated.
inline constexpr std::int32_t kMaxCellsPerRow = 1 << 16;
// Heading levels go as deep as HTML's.
inline constexpr std::int32_t kMaxOutlineLevel = 6;

// The rows of one page area.
class KtRows {
 public:
  KtRows();
  ~KtRows();
  KtRows(const KtRows&) = delete;
  KtRows& operator=(const KtRows&) = delete;

#define KT_ROWS_ATTR(type, name)        \
  type name() const { return name##_; } \
  void name(type v) { name##_ = v; }
  KT_ROWS_ATTR(std::int32_t, ActiveCol)
  KT_ROWS_ATTR(std::int32_t, ActiveRow)
  KT_ROWS_ATTR(std::int32_t, StartBodyRow)
  KT_ROWS_ATTR(std::int32_t, EndBodyRow)
  KT_ROWS_ATTR(std::int32_t, GuideRow)
#undef KT_ROWS_ATTR
  const std::string& sText() const { return sText_; }
  void sText(std::string v) { sText_ = std::move(v); }

  // Builds a row of n columns from a model row or the control's defaults and
  // inserts it after ActiveRow; its cells' block has `textBytes` of text room.
  KtRow* Add(DocumentHost* control, std::int32_t n, std::size_t textBytes = 0);
  // Appends a row copying the template row (template reader), with room for
  // `cellsHint` cells (what the template says the row holds; only a hint).
  KtRow* AddR(DocumentHost* control, std::int32_t cellsHint = 0);
  // Appends a row of n cells copying the template row and cell.
  KtRow* AddRPlus(DocumentHost* control, std::int32_t n);
  // KtTextItemCol::Compact for the last row (one read cell by cell).
  void CompactLast();

  KtRow* Item(std::int32_t index) const;  // missing index: Error 9
  std::int32_t count() const { return static_cast<std::int32_t>(rows_.size()); }
  void Remove(std::int32_t index);  // missing index: Error 9
  // Removes `n` rows starting at a 1-based index in one step (same result as
  // removing them one by one at that index, without the quadratic cost).
  void RemoveRange(std::int32_t first, std::int32_t n);
  void Clear();
  // Direct access without the range error, for hot loops (0-based).
  KtRow& at0(size_t i) const { return *rows_[i]; }

  // Iterates like a list of row pointers: `for (const auto& r : rows) r->Page()`.

  auto begin() const { return rows_.begin(); }
  auto end() const { return rows_.end(); }

 private:
  std::string sText_;
  std::int32_t ActiveCol_ = 0;
  std::int32_t ActiveRow_ = 0;
  std::int32_t StartBodyRow_ = 0;
  std::int32_t EndBodyRow_ = 0;
  std::int32_t GuideRow_ = 0;
  // Rows live in blocks, side by side in the order they were made, so that a
  // pass over the body reads memory in order (RePaging of a million rows);
  // a removed row's place is reused. rows_ orders them and owns them.
  class RowStore {
   public:
    RowStore() = default;
    ~RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    KtRow* New();
    void Delete(KtRow* row);
    void Release();  // every block, once no row is left in them
    CellArena& Cells() { return cells_; }  // the rows' cell blocks

   private:
    static constexpr std::size_t kRowsPerBlock = 1024;
    std::vector<KtRow*> blocks_;
    std::size_t usedInLast_ = kRowsPerBlock;
    std::vector<KtRow*> free_;
    CellArena cells_;
  };
  // A row made by the store, handed back to it unless released to rows_.
  struct RowReturn {
    RowStore* store;
    void operator()(KtRow* r) const { store->Delete(r); }
  };
  using NewRow = std::unique_ptr<KtRow, RowReturn>;
  NewRow MakeRow() { return NewRow(store_.New(), RowReturn{&store_}); }
  void Insert(std::size_t at, NewRow row);

  RowStore store_;  // before rows_: the rows go first
  std::vector<KtRow*> rows_;
};

// Library-wide template row and cell, set by the template reader and writer.
// When set, AddR and AddRPlus copy from them.
KtRow*& TemplateRow();
KtTextItem*& TemplateCell();

}  // namespace ktfolio
