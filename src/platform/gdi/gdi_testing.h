// Test hook of the gdi module: what DrawText laid out, line by line, so a
// test can compare layouts without reading pixels.
#pragma once

#include <string>
#include <vector>

namespace ktfolio::win::testing {

struct DrawTextLayout {
  std::vector<std::string> lines;  // each line's characters, prefixes taken out
  // The box the lines fill, in device units (world transform and viewport
  // origin applied).
  double left = 0, top = 0, right = 0, bottom = 0;
};

// While `into` is set, every DrawText that draws (DT_CALCRECT does not)
// appends its layout there. nullptr stops recording.
void RecordDrawText(std::vector<DrawTextLayout>* into);

}  // namespace ktfolio::win::testing
