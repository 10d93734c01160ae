// The width a cell's text is laid out in when its height is measured, for
// drawing at another scale that must break the lines where measuring did.
#pragma once

#include <cstdint>

#include "model/textitem.h"

namespace ktfolio {

// In device units at dpiX, for a right edge in twips from the row's left
// edge: the column less the cell's indents, tab and frame control, taken to
// the nearest integer. Throws Overflow for a width no device could take.
std::int32_t MeasuredTextWidth(const KtTextItem& cell, float right, double dpiX);

}  // namespace ktfolio
