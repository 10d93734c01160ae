// Rectangle arithmetic shared by the window tree, painting and input.
#include <algorithm>
#include <cstring>

#include "platform/user/user_internal.h"

namespace ktfolio::win::detail {

void WakeBackend() { TheBackend().Wake(); }

bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
RECT RectIntersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (RectEmpty(r)) r = RECT{};
  return r;
}
RECT RectUnion(const RECT& a, const RECT& b) {
  if (RectEmpty(a)) return b;
  if (RectEmpty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}
bool PtIn(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace ktfolio::win::detail
