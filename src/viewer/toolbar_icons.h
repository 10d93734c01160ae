// The toolbar's pictures, drawn in code: seven 16 x 16 icons, each with a hot
// variant in brighter colours.
#pragma once

#include <memory>

#include "platform/automation/picture.h"

namespace ktfolio {

// index: 0 print, 1 zoom in, 2 zoom out, 3 full page, 4 fit width,
// 5 previous page, 6 next page. Never null.
std::shared_ptr<Picture> ToolbarIcon(int index, bool hot);

}  // namespace ktfolio
