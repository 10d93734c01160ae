// How a cell is drawn, shared: the attributes that are not per-cell content
// live in immutable records interned by value, so the cells of a document
// built from a handful of styles hold a handful of records between them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace ktfolio {

class StyleRef;

// The shared attributes of a cell. Plain values compared and hashed field by
// field; a cell changes one by editing a copy and interning the result.
struct CellStyleData {
  std::string fontName;
  float TabLeft = 0;  // a column's position is shared by the column's cells
  std::int16_t LineRight = 0, LineLeft = 0, LineBottom = 0, LineTop = 0;
  std::int32_t AlignPos = 0, FontStyle = 0;
  float IndentLeft = 0, IndentRight = 0, FontSize = 0;
  std::uint32_t FontColor = 0, ShadowColor = 0, ShadowHeavyColor = 0;
  std::int32_t ShadowSize = 0;
  bool Clipping = false, WordWrap = false;
  std::int32_t PenStyle = 0;
  std::uint32_t PenColor = 0, BrushColor = 0;
  bool FillCell = false;
  float IndentFirst = 0;
  bool FontBold = false, FontItalic = false, FontUnderline = false, FontStrikethru = false;
  std::int32_t FrameControl = 0, FrameControlFlags = 0;
  float FrameControlSize = 0;
  std::int32_t edge = 0, EdgeFlags = 0, EditType = 0;

  bool operator==(const CellStyleData& o) const;
  std::size_t Hash() const;
};

// One interned record. Counted by the cells that use it; the last one to let
// go removes it from the table.
class CellStyle {
 public:
  const CellStyleData& data() const { return data_; }

  // The record equal to `data`, shared with every cell that has it.
  static StyleRef Intern(const CellStyleData& data);
  // The record of a cell nobody has styled (every value zero, no font name);
  // it lives as long as the process.
  static const CellStyle* Default();
  // How many distinct records are alive (tests and benchmarks).
  static std::size_t LiveCount();

  void AddRef() const { refs_.fetch_add(1, std::memory_order_relaxed); }
  void Release() const;

 private:
  friend struct CellStyleTable;
  explicit CellStyle(const CellStyleData& d) : data_(d) {}

  CellStyleData data_;
  std::size_t hash_ = 0;
  mutable std::atomic<std::int32_t> refs_{0};
};

// A counted reference to an interned record; copying shares it.
class StyleRef {
 public:
  StyleRef() : p_(CellStyle::Default()) { p_->AddRef(); }
  StyleRef(StyleRef&& o) noexcept : p_(o.p_) { o.p_ = CellStyle::Default(), o.p_->AddRef(); }
  StyleRef(const StyleRef& o) : p_(o.p_) { p_->AddRef(); }
  StyleRef& operator=(const StyleRef& o) {
    if (p_ != o.p_) {
      o.p_->AddRef();
      p_->Release();
      p_ = o.p_;
    }
    return *this;
  }
  ~StyleRef() { p_->Release(); }

  const CellStyleData* operator->() const { return &p_->data(); }
  const CellStyleData& operator*() const { return p_->data(); }
  const CellStyle* get() const { return p_; }
  void swap(StyleRef& o) noexcept { std::swap(p_, o.p_); }

 private:
  friend class CellStyle;
  struct Adopt {};
  StyleRef(const CellStyle* p, Adopt) : p_(p) {}

  const CellStyle* p_;
};

}  // namespace ktfolio
