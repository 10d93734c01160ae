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
    if (column < columns_.size()) {
      const Column& c = columns_[column];
      if (c.style.get() == cell.Style() && c.right == right && c.dpiX == dpiX) return c.width;
    }
    return Measure(column, cell, right, dpiX);
  }
  // Whether the column's style is known to make the font of `previous`, the
  // style of the column before it: the columns of a row differ in their
  // edges, seldom in their font. Known only while both are the styles held.
  bool FontAsBefore(std::size_t column, const CellStyle* previous) const {
    return column > 0 && column < columns_.size() && columns_[column].fontAsBefore == previous &&
           columns_[column - 1].style.get() == previous;
  }
  // Notes that the column's style makes the font of the column before it.
  void NoteFontAsBefore(std::size_t column, const CellStyle* previous) {
    if (column > 0 && column < columns_.size() && columns_[column - 1].style.get() == previous)
      columns_[column].fontAsBefore = previous;
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
  std::vector<Column> columns_;
};

}  // namespace ktfolio
