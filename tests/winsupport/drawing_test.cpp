// The drawing helpers of the companion controls: bevels, captions and pictures on one golden
// sheet; colours, access keys, word packing, key-modifier state.
#include <gtest/gtest.h>

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

// One sheet: a bevel (and one of width 0, which draws nothing), "Cap" in each
// of the nine cell positions, "Relief" in its five reliefs (light copy green,
// dark blue), a 6 x 4 red picture stretched to 10 x 8 in five positions, and a
// disabled 10 x 8 picture dithered and in solid relief. Each cell has a grey
// backdrop so that its bounds show.
TEST(DrawingHelpers, BevelsCaptionsReliefsAndPicturesDrawTheirSheet) {
  Canvas canvas(460, 220);
  auto cell = [&canvas](int x, int y, int w, int h) {
    RECT rc{x, y, x + w - 2, y + h - 2};
    HBRUSH grey = CreateSolidBrush(RGB(235, 235, 235));
    FillRect(canvas.dc, &rc, grey);
    DeleteObject(grey);
    return rc;
  };
  RECT bevel = cell(230, 0, 22, 22), none = cell(260, 0, 22, 22);
  DrawBevel(canvas.dc, bevel, kRed, kBlue, 2);
  DrawBevel(canvas.dc, none, kGreen, kGreen, 0);
  EXPECT_EQ(std::tuple(Box(bevel), Box(none)), std::tuple(std::tuple(232, 2, 248, 18), std::tuple(260, 0, 280, 20)))
      << "a bevel deflates the rectangle by its width";
  for (int position = kTopLeft; position <= kBottomRight; ++position)
    DrawCaptionText(canvas.dc, "Cap", cell(position % 3 * 74, position / 3 * 38, 74, 38),
                    {.textColor = kRed, .position = position, .showPrefix = false});
  for (int relief = 0; relief < 5; ++relief)
    DrawCaptionText(canvas.dc, "Relief", cell(relief * 92, 118, 92, 44),
                    {.relief = relief, .textColor = kRed, .darkColor = kBlue, .lightColor = kGreen, .offset = 2,
                     .position = kMiddleCenter, .clip = false, .showPrefix = false});
  HBITMAP small = ktfolio::testing::SolidBitmap(6, 4, kRed), large = ktfolio::testing::SolidBitmap(10, 8, kRed);
  // The room each position leaves, from a 60 x 40 cell at (0, 0).
  const std::pair<int, std::tuple<int, int, int, int>> placed[] = {
      {kMiddleLeft, {12, 0, 60, 40}}, {kMiddleCenter, {0, 0, 60, 40}}, {kMiddleRight, {0, 0, 48, 40}},
      {kTopCenter, {0, 10, 60, 40}},  {kBottomCenter, {0, 0, 60, 30}}};
  for (int i = 0; i < 5; ++i) {
    RECT room = cell(i * 62, 166, 62, 42);
    DrawPicture(canvas.dc,
                {.picture = {small, nullptr}, .naturalW = 6, .naturalH = 4, .wantedW = 10, .wantedH = 8,
                 .position = placed[i].first, .gap = 2, .face = 0xC0C0C0, .dark = 0x808080, .light = 0xFFFFFF},
                room);
    EXPECT_EQ(Box(RECT{room.left - i * 62, room.top - 166, room.right - i * 62, room.bottom - 166}), placed[i].second)
        << "position " << placed[i].first;
  }
  for (std::int32_t mode : {1, 2}) {
    RECT room = cell(310 + (mode - 1) * 44, 166, 44, 44);
    DrawPicture(canvas.dc,
                {.picture = {large, nullptr}, .naturalW = 10, .naturalH = 8, .position = kMiddleCenter,
                 .enabled = false, .shadeMode = mode, .face = 0xC0C0C0, .dark = kBlue, .light = kGreen},
                room);
  }
  DeleteObject(small);
  DeleteObject(large);
  EXPECT_TRUE(ktfolio::testing::MatchesGolden(canvas.bitmap, "winsupport/drawing_helpers.png"));
}

TEST(DrawingHelpers, AccessKeysWordsColoursAndTheLiveModifierKeys) {
  // Upper-cased; the last single ampersand wins.
  for (auto [caption, key] : {std::tuple("Save &as", "A"), std::tuple("Fish && &chips", "C"), std::tuple("No key", ""),
                              std::tuple("Tom && Jerry", ""), std::tuple("&First &second", "S")})
    EXPECT_EQ(AccessKeyOf(caption), key) << caption;
  EXPECT_EQ(std::tuple(LoWord(0x12345678), HiWord(0x12345678), HiWord(static_cast<std::int32_t>(0xFFFF0001u))),
            std::tuple(0x5678, 0x1234, 0xFFFF));
  EXPECT_EQ(MakeLong(5, 2), 2 * 65536 + 5);
  EXPECT_EQ(MakeLong(0xFFFF, 1), 65535) << "the low word counts as -1";
  EXPECT_EQ(static_cast<std::uint32_t>(MakeLong(5, 0x8001)), 0x80010005u);
  EXPECT_EQ(std::tuple(OleTranslateColor(SysColorToOle(COLOR_BTNFACE)),
                       SysColorToOle(COLOR_BTNFACE)),
            std::tuple(GetSysColor(COLOR_BTNFACE), 0x8000000Fu));
  EXPECT_EQ(std::tuple(OleTranslateColor(0x00FF0000), ShiftState()), std::tuple(0xFF0000u, 0));
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
