// Icons and DrawState: masks, stretching, accounting, and the disabled,
// mono and complex drawing states.
#include <gtest/gtest.h>

#include <cstring>

#include "gdi_test_util.h"
#include "support/golden.h"

using namespace gdi_test;
using ktfolio::testing::MatchesGolden;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr int kIconSize = 4;

// A 4x4 icon: red with a blue top-left pixel, transparent in its right column.
struct TestIcon {
  Canvas color{kIconSize, kIconSize, kRed};
  Canvas mask{kIconSize, kIconSize, kBlack};
  HICON icon = nullptr;
  TestIcon() {
    SetPixel(color.dc, 0, 0, kBlue);
    for (int y = 0; y < kIconSize; ++y) SetPixel(mask.dc, kIconSize - 1, y, kWhite);
    ICONINFO info;
    info.hbmMask = mask.bitmap;
    info.hbmColor = color.bitmap;
    icon = CreateIconIndirect(&info);
  }
  ~TestIcon() { DestroyIcon(icon); }
};

BOOL DrawCross(HDC hdc, LPARAM lParam, WPARAM wParam, int cx, int cy) {
  auto* calls = reinterpret_cast<int*>(lParam);
  ++*calls;
  OwnedBrush b(CreateSolidBrush(static_cast<COLORREF>(wParam)));
  RECT h{0, cy / 2, cx, cy / 2 + 1}, v{cx / 2, 0, cx / 2 + 1, cy};
  FillRect(hdc, &h, b);
  FillRect(hdc, &v, b);
  return TRUE;
}

}  // namespace

TEST(GdiIcon, DrawsThroughItsMaskAndStretches) {
  const int before = GdiLiveObjects().icons;
  {
    TestIcon t;
    ASSERT_NE(t.icon, nullptr);
    EXPECT_EQ(GdiLiveObjects().icons, before + 1);
    Canvas c(16, 16, kGreen);
    ASSERT_TRUE(DrawIconEx(c.dc, 2, 2, t.icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(c.Row(2, 0, 8, kBlue), "..#.....");
    EXPECT_EQ(c.Row(3, 0, 8, kRed), "..###...");
    EXPECT_EQ(c.Row(3, 0, 8, kGreen), "##...###") << "the masked column keeps the background";
    // Stretched to 8x8: every icon pixel becomes 2x2.
    c.Clear(kGreen);
    DrawIconEx(c.dc, 0, 0, t.icon, 8, 8, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(c.Row(0, 0, 10, kBlue), "##........");
    EXPECT_EQ(c.Row(1, 0, 10, kRed), "..####....");
    EXPECT_EQ(c.Row(7, 0, 10, kGreen), "......####");
    // DI_MASK alone paints the mask's black where the icon is opaque.
    c.Clear(kGreen);
    DrawIconEx(c.dc, 0, 0, t.icon, 0, 0, 0, nullptr, DI_MASK);
    EXPECT_EQ(c.Row(0, 0, 5, kBlack), "###..");
    // A flicker brush fills the area first.
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    DrawIconEx(c.dc, 8, 8, t.icon, 0, 0, 0, white, DI_NORMAL);
    EXPECT_EQ(c.At(11, 8), kWhite);
  }
  EXPECT_EQ(GdiLiveObjects().icons, before);
  EXPECT_FALSE(DestroyIcon(nullptr));
  ICONINFO none;
  EXPECT_EQ(CreateIconIndirect(&none), nullptr) << "a mask is required";
}

TEST(GdiDrawState, NormalDisabledMonoAndComplex) {
  TestIcon t;
  Canvas c(160, 40, RGB(212, 208, 200));
  OwnedFont font = Font("Arial", -16, FW_BOLD);
  SelectedObject selected(c.dc, font);
  SetBkMode(c.dc, TRANSPARENT);
  const auto text = reinterpret_cast<LPARAM>("Print");
  // Normal text in the text colour, then disabled: embossed, no text colour.
  SetTextColor(c.dc, kBlue);
  ASSERT_TRUE(DrawState(c.dc, nullptr, nullptr, text, 0, 2, 2, 0, 0, DST_TEXT | DSS_NORMAL));
  ASSERT_TRUE(DrawState(c.dc, nullptr, nullptr, text, 0, 42, 2, 0, 0, DST_TEXT | DSS_DISABLED));
  // Mono: the shape in the brush's colour.
  DrawState(c.dc, OwnedBrush(CreateSolidBrush(kRed)), nullptr, text, 0, 82, 2, 0, 0, DST_TEXT | DSS_MONO);
  // Icons and bitmaps; a disabled icon is embossed from its shape.
  DrawState(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(t.icon), 0, 122, 4, 8, 8, DST_ICON);
  DrawState(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(t.color.bitmap), 0, 134, 4, 0, 0, DST_BITMAP);
  DrawState(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(t.icon), 0, 122, 24, 8, 8, DST_ICON | DSS_DISABLED);
  // Complex: the callback draws at (0, 0) and lands at (x, y). The golden holds every state's pixels.
  int calls = 0;
  DrawState(c.dc, nullptr, DrawCross, reinterpret_cast<LPARAM>(&calls), kGreen, 140, 24, 9, 9, DST_COMPLEX);
  EXPECT_EQ(calls, 1);
  DrawState(c.dc, nullptr, DrawCross, reinterpret_cast<LPARAM>(&calls), kBlack, 150, 24, 9, 9,
            DST_COMPLEX | DSS_DISABLED);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(DrawState(c.dc, nullptr, nullptr, 0, 0, 0, 0, 5, 5, DST_COMPLEX)) << "complex needs a callback";
  EXPECT_TRUE(MatchesGolden(c.bitmap, "platform/draw_state.png"));
}
