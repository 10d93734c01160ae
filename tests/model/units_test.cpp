// Conversions between the scale modes and twips, and the screen's twips per pixel.
#include <gtest/gtest.h>

#include <tuple>

#include "model/enums.h"
#include "model/units.h"
#include "platform/gdi/gdi.h"

namespace ktfolio {
namespace {

TEST(Units, ToTwipsFloorsEveryUnitButTwipsAndOtherModesGiveZero) {
  // 1 mm is 56.69 twips: floored, not rounded; and toward minus infinity.
  for (auto [mode, value, twips] : {std::tuple(eMillimetre, 210.f, 11905.f), std::tuple(eMillimetre, 297.f, 16837.f),
                                    std::tuple(eMillimetre, 1.f, 56.f), std::tuple(eInch, 1.f, 1440.f),
                                    std::tuple(eInch, -0.001f, -2.f), std::tuple(eCentimetre, 1.f, 566.f),
                                    std::tuple(eTwip, 12.7f, 12.7f)})
    EXPECT_FLOAT_EQ(ToTwips(mode, value), twips) << mode << " " << value;
  for (int m : {-1, 0, 2, 3, 4, 8, 100})  // modes outside the enumeration
    EXPECT_EQ(std::tuple(ToTwips(m, 100), FromTwips(m, 100)), std::tuple(0, 0)) << m;
}

TEST(Units, FromTwipsRoundsHalfToEvenAndScreenMeasuresFollowTheResolution) {
  // 0.125 and 0.375 inch: a tie goes to the even digit.
  for (auto [mode, twips, value] : {std::tuple(eInch, 1440.f, 1.f), std::tuple(eMillimetre, 11905.f, 210.f),
                                    std::tuple(eCentimetre, 567.f, 1.f), std::tuple(eInch, 180.f, 0.12f),
                                    std::tuple(eInch, 540.f, 0.38f), std::tuple(eTwip, 12.7f, 12.7f)})
    EXPECT_FLOAT_EQ(FromTwips(mode, twips), value) << mode << " " << twips;
  for (auto [x, y, perX, perY] : {std::tuple(96, 96, 15.f, 15.f), std::tuple(120, 144, 12.f, 10.f)}) {
    win::SetScreenLogPixels(x, y);
    InitScreenMeasures();
    EXPECT_EQ(std::tuple(TwipsPerPixelX(), TwipsPerPixelY()), std::tuple(perX, perY)) << x << " x " << y;
  }
  win::SetScreenLogPixels(96, 96);
  InitScreenMeasures();
}

}  // namespace
}  // namespace ktfolio
