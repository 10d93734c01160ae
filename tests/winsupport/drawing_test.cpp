// The drawing helpers of the companion controls: colours, bevels, caption
// placement and relief, access keys, word packing, picture placement and the
// disabled relief, key-modifier state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "platform/user/user.h"
#include "support/canvas.h"
#include "support/golden.h"
#include "winsupport/drawing.h"

using namespace ktfolio;
using namespace ktfolio::win;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

using ktfolio::testing::Canvas;

auto Box(const RECT& r) { return std::tuple(r.left, r.top, r.right, r.bottom); }
bool Empty(const RECT& r) { return r.right <= r.left; }

TEST(DrawingHelpers, SystemColoursTranslateBothWays) {
  EXPECT_EQ(OleTranslateColor(SysColorToOle(COLOR_BTNFACE)), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(SysColorToOle(COLOR_BTNFACE), 0x8000000Fu);
  EXPECT_EQ(OleTranslateColor(0x00FF0000), 0xFF0000u);
}

TEST(DrawingHelpers, ABevelPaintsItsBandsAndDeflatesTheRectangle) {
  Canvas canvas(10, 10);
  RECT box{0, 0, 10, 10};
  DrawBevel(canvas.dc, box, kRed, kBlue, 2);
  EXPECT_EQ(Box(box), std::tuple(2, 2, 8, 8));
  // The left and top bands light, the right and bottom dark, the inside left alone.
  EXPECT_EQ(std::tuple(canvas.At(0, 5), canvas.At(5, 1), canvas.At(9, 5), canvas.At(5, 8), canvas.At(5, 5)),
            std::tuple(kRed, kRed, kBlue, kBlue, kWhite));
  RECT untouched{0, 0, 10, 10};
  DrawBevel(canvas.dc, untouched, kGreen, kGreen, 0);
  EXPECT_EQ(std::tuple(untouched.left, Empty(canvas.Of(kGreen))), std::tuple(0, true))
      << "width 0 draws and deflates nothing";
}

TEST(DrawingHelpers, CaptionsSitInTheirNineCellPosition) {
  struct Case { std::int32_t position; char column, row; };
  const Case cases[] = {{0, 'L', 'T'}, {1, 'C', 'T'}, {2, 'R', 'T'}, {3, 'L', 'M'}, {4, 'C', 'M'},
                        {5, 'R', 'M'}, {6, 'L', 'B'}, {7, 'C', 'B'}, {8, 'R', 'B'}};
  for (const Case& k : cases) {
    SCOPED_TRACE("position " + std::to_string(k.position));
    Canvas canvas(120, 60);
    DrawCaptionText(canvas.dc, "Cap", RECT{0, 0, 120, 60},
                    {.textColor = kRed, .position = k.position, .showPrefix = false});
    const RECT ink = canvas.Of(kRed);
    ASSERT_GT(ink.right, ink.left);
    // How far the ink is from where its cell puts it: its own edge from the
    // box's edge, or its centre from the box's centre.
    const int dx =
        k.column == 'L' ? ink.left : k.column == 'R' ? 120 - ink.right : std::abs((ink.left + ink.right) / 2 - 60);
    const int dy = k.row == 'T' ? ink.top : k.row == 'B' ? 60 - ink.bottom : std::abs((ink.top + ink.bottom) / 2 - 30);
    EXPECT_LE(dx, k.column == 'R' ? 5 : 4);
    EXPECT_LE(dy, 5);
  }
}

TEST(DrawingHelpers, CaptionReliefDrawsItsCopiesOnTheRightSides) {
  struct Case { std::int32_t style; bool light, dark; int lightSide; };  // -1: light copy up-left of the text, +1: down-right
  const Case cases[] = {{0, false, false, 0}, {1, true, false, -1}, {2, true, true, -1}, {3, true, false, 1},
                        {4, true, true, 1}};
  for (const Case& k : cases) {
    SCOPED_TRACE("relief " + std::to_string(k.style));
    Canvas canvas(120, 60);
    DrawCaptionText(canvas.dc, "Relief", RECT{10, 10, 110, 50},
                    {.relief = k.style, .textColor = kRed, .darkColor = kBlue, .lightColor = kGreen, .offset = 2,
                     .position = kMiddleCenter, .clip = false, .showPrefix = false});
    const RECT text = canvas.Of(kRed), light = canvas.Of(kGreen), dark = canvas.Of(kBlue);
    const int side = light.left < text.left ? -1 : light.right > text.right ? 1 : 0;
    EXPECT_EQ(std::tuple(!Empty(light), !Empty(dark), side), std::tuple(k.light, k.dark, k.lightSide));
  }
}

TEST(DrawingHelpers, AccessKeysSkipDoubledAmpersands) {
  // Upper-cased; the last single ampersand wins.
  for (auto [caption, key] : {std::tuple("Save &as", "A"), std::tuple("Fish && &chips", "C"), std::tuple("No key", ""),
                              std::tuple("Tom && Jerry", ""), std::tuple("&First &second", "S")})
    EXPECT_EQ(AccessKeyOf(caption), key) << caption;
}

TEST(DrawingHelpers, WordsPackWithASignedLowWord) {
  EXPECT_EQ(std::tuple(LoWord(0x12345678), HiWord(0x12345678), HiWord(static_cast<std::int32_t>(0xFFFF0001u))),
            std::tuple(0x5678, 0x1234, 0xFFFF));
  EXPECT_EQ(MakeLong(5, 2), 2 * 65536 + 5);
  EXPECT_EQ(MakeLong(0xFFFF, 1), 65535) << "the low word counts as -1";
  EXPECT_EQ(static_cast<std::uint32_t>(MakeLong(5, 0x8001)), 0x80010005u);
}

// A 6 x 4 red picture.
HBITMAP RedPicture() { return ktfolio::testing::SolidBitmap(6, 4, kRed); }

TEST(DrawingHelpers, PicturesTakeTheirRoomFromTheSideTheySitOn) {
  HBITMAP pic = RedPicture();
  struct Case { std::int32_t position; RECT left; POINT redAt; };  // the room left, a pixel the picture covers
  const Case cases[] = {{kMiddleLeft, {12, 0, 60, 40}, {2, 20}},
                        {kMiddleCenter, {0, 0, 60, 40}, {30, 20}},
                        {kMiddleRight, {0, 0, 48, 40}, {57, 20}},
                        {kTopCenter, {0, 10, 60, 40}, {30, 1}},
                        {kBottomCenter, {0, 0, 60, 30}, {30, 38}}};
  for (const Case& k : cases) {
    SCOPED_TRACE("position " + std::to_string(k.position));
    Canvas canvas(60, 40);
    RECT room{0, 0, 60, 40};
    DrawPicture(canvas.dc,
                {.picture = {pic, nullptr}, .naturalW = 6, .naturalH = 4, .wantedW = 10, .wantedH = 8,
                 .position = k.position, .gap = 2, .face = 0xC0C0C0, .dark = 0x808080, .light = 0xFFFFFF},
                room);
    const RECT red = canvas.Of(kRed);
    EXPECT_EQ(Box(room), Box(k.left));
    EXPECT_EQ(std::tuple(canvas.At(k.redAt.x, k.redAt.y), red.right - red.left, red.bottom - red.top),
              std::tuple(kRed, 10, 8))
        << "stretched to the wanted size";
  }
  DeleteObject(pic);
}

TEST(DrawingHelpers, ADisabledPictureIsDrawnInTheDarkAndLightColoursOnly) {
  HBITMAP pic = RedPicture();
  for (std::int32_t mode : {1, 2}) {
    SCOPED_TRACE("shade mode " + std::to_string(mode));
    Canvas canvas(40, 40);
    RECT room{0, 0, 40, 40};
    DrawPicture(canvas.dc,
                {.picture = {pic, nullptr}, .naturalW = 6, .naturalH = 4, .position = kMiddleCenter,
                 .enabled = false, .shadeMode = mode, .face = 0xC0C0C0, .dark = kBlue, .light = kGreen},
                room);
    EXPECT_EQ(std::tuple(Empty(canvas.Of(kRed)), Empty(canvas.Of(kBlue)), Empty(canvas.Of(kGreen))),
              std::tuple(true, false, false))
        << "no original colour, both relief colours";
  }
  DeleteObject(pic);
}

TEST(DrawingHelpers, ShiftStateReadsTheLiveModifierKeys) {
  EXPECT_EQ(ShiftState(), 0);
  keybd_event(VK_SHIFT, 0, 0, 0);
  keybd_event(VK_CONTROL, 0, 0, 0);
  EXPECT_EQ(ShiftState(), 3);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(ShiftState(), 0);
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }  // the key messages are not for the tests after this one
}

}  // namespace
