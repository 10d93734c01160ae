#include "model/units.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "platform/automation/variant.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"

namespace ktfolio {

namespace {
float g_twipsPerPixelX = 0.0f;
float g_twipsPerPixelY = 0.0f;
}  // namespace

namespace {
// Narrowing a double beyond the float range is undefined; it becomes infinity,
// which the callers that store lengths refuse.
float ToFloat(double d) {
  if (d > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (d < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(d);
}
}  // namespace

float ToTwips(std::int32_t m, float v) {
  const double d = v;
  switch (m) {
    case 1:
      return v;
    case 5:
      return ToFloat(std::floor(d * 1440.0));
    case 6:
      return ToFloat(std::floor(d * 1440.0 / 25.4));
    case 7:
      return ToFloat(std::floor(d * 1440.0 / 2.54));
    default:
      return 0.0f;
  }
}

float FromTwips(std::int32_t m, float t) {
  const double d = t;
  switch (m) {
    case 1:
      return t;
    case 5:
      return static_cast<float>(RoundHalfEven(d / 1440.0, 2));
    case 6:
      return static_cast<float>(RoundHalfEven(d * 25.4 / 1440.0, 1));
    case 7:
      return static_cast<float>(RoundHalfEven(d * 2.54 / 1440.0, 2));
    default:
      return 0.0f;
  }
}

float TwipsPerPixelX() { return g_twipsPerPixelX; }
float TwipsPerPixelY() { return g_twipsPerPixelY; }

void InitScreenMeasures() {
  using namespace win;
  OwnedDC dc(CreateDC("DISPLAY", nullptr, nullptr, nullptr));
  if (!dc) return;
  int x = GetDeviceCaps(dc, LOGPIXELSX);
  int y = GetDeviceCaps(dc, LOGPIXELSY);
  g_twipsPerPixelX = x > 0 ? 1440.0f / static_cast<float>(x) : 0.0f;
  g_twipsPerPixelY = y > 0 ? 1440.0f / static_cast<float>(y) : 0.0f;
}

}  // namespace ktfolio
