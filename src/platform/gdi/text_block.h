// A block of text placed vertically in its rectangle, the way a cell shows
// it: Win32's DrawText centres or bottoms a single line only, so a caller
// with wrapped text would measure it first (DT_CALCRECT) and then draw it,
// laying the lines out twice. This lays them out once.
#pragma once

#include "platform/gdi/gdi.h"

namespace ktfolio::win {

enum class BlockAlign { Top, Middle, Bottom };

// Draws `text` as DrawText(hdc, text, length, &block, format) would, where
// `block` is `rc` narrowed to the lines' height h: at rc's top, at
// top + (rc's height - h) / 2 in integers, or ending at rc's bottom. The lines
// may overflow rc. Returns h.
int DrawTextBlock(HDC hdc, const char* text, int length, const RECT& rc, UINT format, BlockAlign align);

}  // namespace ktfolio::win
