#include <gtest/gtest.h>

#include "model/enums.h"
#include "model/units.h"
#include "platform/gdi/gdi.h"

namespace ktfolio {
namespace {

TEST(Units, ToTwipsFloorsEveryUnitButTwips) {
  EXPECT_FLOAT_EQ(ToTwips(eMillimetre, 210), 11905);
  EXPECT_FLOAT_EQ(ToTwips(eMillimetre, 297), 16837);
  EXPECT_FLOAT_EQ(ToTwips(eMillimetre, 1), 56);  // 56.69 floors, not rounds
  EXPECT_FLOAT_EQ(ToTwips(eInch, 1), 1440);
  EXPECT_FLOAT_EQ(ToTwips(eInch, -0.001f), -2);  // toward minus infinity
  EXPECT_FLOAT_EQ(ToTwips(eCentimetre, 1), 566);
  EXPECT_FLOAT_EQ(ToTwips(eTwip, 12.7f), 12.7f);
}

TEST(Units, ModesOutsideTheEnumerationGiveZero) {
  for (int m : {-1, 0, 2, 3, 4, 8, 100}) {
    EXPECT_EQ(ToTwips(m, 100), 0) << m;
    EXPECT_EQ(FromTwips(m, 100), 0) << m;
  }
}

TEST(Units, FromTwipsRoundsToTheUnitsDecimalsHalfToEven) {
  EXPECT_FLOAT_EQ(FromTwips(eInch, 1440), 1);
  EXPECT_FLOAT_EQ(FromTwips(eMillimetre, 11905), 210);
  EXPECT_FLOAT_EQ(FromTwips(eCentimetre, 567), 1);
  EXPECT_FLOAT_EQ(FromTwips(eInch, 180), 0.12f);  // 0.125 inch: tie goes to the even digit
  EXPECT_FLOAT_EQ(FromTwips(eInch, 540), 0.38f);  // 0.375 inch
  EXPECT_FLOAT_EQ(FromTwips(eTwip, 12.7f), 12.7f);
}

TEST(Units, ScreenMeasuresFollowTheScreenResolution) {
  win::SetScreenLogPixels(96, 96);
  InitScreenMeasures();
  EXPECT_FLOAT_EQ(TwipsPerPixelX(), 15);
  EXPECT_FLOAT_EQ(TwipsPerPixelY(), 15);
  win::SetScreenLogPixels(120, 144);
  InitScreenMeasures();
  EXPECT_FLOAT_EQ(TwipsPerPixelX(), 12);
  EXPECT_FLOAT_EQ(TwipsPerPixelY(), 10);
  win::SetScreenLogPixels(96, 96);
  InitScreenMeasures();
}

}  // namespace
}  // namespace ktfolio
