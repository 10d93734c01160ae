// The width a cell's text is laid out in when its height is measured, for
// drawing at another scale that must break the lines where measuring did.
#pragma once

#include <cstdint>
#include <vector>

#include "model/textitem.h"

namespace ktfolio {

// In device units at dpiX, for a right edge in twips from the row's left
// edge: the column less the cell's indents, tab and frame control, taken to
// the nearest integer. Throws Overflow for a width no device could take.
std::int32_t MeasuredTextWidth(const KtTextItem& cell, float right, double dpiX);

// MeasuredTextWidth of the last row measured, column by column, for rows
// added one after another: their columns repeat the same style records and
// edges, and so the same widths. The records are held, so an address cannot
// come back as another style while it is remembered.
class ColumnWidths {
 public:
  std::int32_t Of(std::size_t column, const KtTextItem& cell, float right, int dpiX) {
    std::int32_t width;
    return Known(column, cell, right, dpiX, width) ? width : Measure(column, cell, right, dpiX);
  }
  // The same when the column has it already (the style, edge and resolution
  // it was worked out for are the cell's); false otherwise.
  bool Known(std::size_t column, const KtTextItem& cell, float right, int dpiX, std::int32_t& width) const {
    if (column >= columns_.size()) return false;
    const Column& c = columns_[column];
    if (c.style.get() != cell.Style() || c.right != right || c.dpiX != dpiX) return false;
    width = c.width;
    return true;
  }
  // Whether the column's style is known to make the font of `previous`, the
  // style of the column before it (for the first column, the last one: the
  // row before's last cell): the columns of a row differ in their edges,
  // seldom in their font. Known only while both are the styles held.
  bool FontAsBefore(std::size_t column, const CellStyle* previous) const {
    return column < columns_.size() && columns_[column].fontAsBefore == previous &&
           Before(column).style.get() == previous;
  }
  // Notes that the column's style makes the font of the column before it.
  void NoteFontAsBefore(std::size_t column, const CellStyle* previous) {
    if (column < columns_.size() && Before(column).style.get() == previous) columns_[column].fontAsBefore = previous;
  }

 private:
  std::int32_t Measure(std::size_t column, const KtTextItem& cell, float right, int dpiX);
  struct Column {
    StyleRef style;
    float right;
    int dpiX;
    std::int32_t width;
    const CellStyle* fontAsBefore = nullptr;  // see FontAsBefore
  };
  const Column& Before(std::size_t column) const { return columns_[column > 0 ? column - 1 : columns_.size() - 1]; }
  std::vector<Column> columns_;
};

// GetHeight's steps for the common cell, with nothing to look up or make.
inline bool KtTextItem::QuickHeight(win::TextMeasurer& m, float right, std::uint8_t traits, ColumnWidths& widths,
                                    std::size_t column) {
  if ((traits & (kTextFieldCode | kTextNotPlainAscii)) || Linked() || style_->IndentFirst != 0) return false;
  const int dpiY = m.DpiY();
  std::int32_t width;
  if (dpiY <= 0 || !widths.Known(column, *this, right, m.DpiX(), width)) return false;
  const auto* previous = static_cast<const CellStyle*>(m.FontKey());
  if (!previous || (previous != style_.get() && !widths.FontAsBefore(column, previous))) return false;
  const std::string_view text = text_.view();
  if (text.size() >= m.MostChars()) return false;
  try {
    m.FontKey(style_.get());
    const int height = m.TextHeight(text, width, style_->WordWrap ? win::DT_WORDBREAK : 0, true);
    itemHeight_ = static_cast<float>(height * 1440.0 / dpiY);
  } catch (const std::exception& e) {
    RecordCaught(e);
  }
  return true;
}

}  // namespace ktfolio
