// A block of text placed vertically in its rectangle, the way a cell shows
// it: Win32's DrawText centres or bottoms a single line only, so a caller
// with wrapped text would measure it first (DT_CALCRECT) and then draw it,
// laying the lines out twice. This lays them out once. It can also draw in a
// font, colour and clip of its own without selecting them into the context,
// which spares a page of cells a dozen state calls each.
#pragma once

#include <optional>

#include "platform/gdi/gdi.h"

namespace ktfolio::win {

enum class BlockAlign { Top, Middle, Bottom };

// Where a block `height` high starts in `rc` when placed at its top, in its
// middle (halving in integers) or at its bottom.
inline int BlockTop(const RECT& rc, int height, BlockAlign align) {
  switch (align) {
    case BlockAlign::Middle: return rc.top + (rc.bottom - rc.top - height) / 2;
    case BlockAlign::Bottom: return rc.bottom - height;
    case BlockAlign::Top: break;
  }
  return rc.top;
}

struct TextBlock {
  RECT rc{};                           // where the lines are placed
  UINT format = 0;                     // DrawText's flags (DT_CALCRECT is ignored)
  BlockAlign align = BlockAlign::Top;
  // Used in place of the context's own, which stay as they are:
  HFONT font = nullptr;                // none, or not a live font: the selected one
  std::optional<COLORREF> color;       // the text colour, on a transparent background
  std::optional<RECT> clip;            // a rectangle (logical units) the clip is narrowed to
};

// Draws `text` as DrawText(hdc, text, length, &lines, format) would, where
// `lines` is rc narrowed to the lines' height h: at rc's top, at
// top + (rc's height - h) / 2 in integers, or ending at rc's bottom. The lines
// may overflow rc. Returns h (0 for a context that is not one).
int DrawTextBlock(HDC hdc, const char* text, int length, const TextBlock& block);

}  // namespace ktfolio::win
