// The viewport: page placement, drop shadow, scroll codes, steps at the
// limits, thumb tracking and the persisted defaults.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "platform/container/form.h"
#include "viewer/portv.h"

namespace ktfolio {
namespace {

using namespace win;

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr int kTwips = 15;  // per pixel at 96 dpi

// A viewport filling a 400 x 300 form, red around a green page.
class PortVTest : public ::testing::Test {
 protected:
  PortVTest() : form_(400, 300), vp_(form_.hwnd(), 0xFFFFFF) {
    MoveWindow(vp_.hwnd(), 0, 0, 400, 300, TRUE);
    vp_.BackColor(kRed);
    vp_.PageBackColor(kGreen);
    vp_.Paint = [this](HDC&) { ++paints_; };
    vp_.Change = [this] { ++changes_; };
    vp_.Scroll = [this] { ++scrolls_; };
    form_.Show();
  }
  void Page(int widthPx, int heightPx) {
    vp_.ViewWidth(widthPx * kTwips);
    vp_.ViewHeight(heightPx * kTwips);
    vp_.DrawDC();
  }
  COLORREF At(int x, int y) { return user::WindowPixel(vp_.hwnd(), x, y); }
  RECT Client() {
    RECT rc;
    GetClientRect(vp_.hwnd(), &rc);
    return rc;
  }

  Form form_;
  PortV vp_;
  int paints_ = 0, changes_ = 0, scrolls_ = 0;
};

TEST_F(PortVTest, ASmallPageIsCentredWithItsShadowAndNoBars) {
  Page(200, 150);
  EXPECT_EQ(vp_.ScrollBars(), 0) << "no bar while the page is smaller than the window";
  // (400 - 200) / 2 = 100 and (300 - 150) / 2 = 75.
  EXPECT_EQ(At(99, 150), kRed) << "background left of the page";
  EXPECT_EQ(At(100, 75), kGreen) << "the page's top-left pixel";
  EXPECT_EQ(At(296, 150), kGreen) << "last page column before the shadow";
  EXPECT_EQ(At(298, 150), 0u) << "right shadow";
  EXPECT_EQ(At(200, 223), 0u) << "bottom shadow";
  EXPECT_EQ(At(298, 76), kRed) << "the corner above the right shadow is background";
  EXPECT_EQ(At(101, 223), kRed) << "the corner left of the bottom shadow is background";
  EXPECT_EQ(At(300, 150), kRed) << "background right of the page";
}

TEST_F(PortVTest, ModePageOffFillsThePageWithTheBackground) {
  vp_.ModePage(false);
  Page(200, 150);
  EXPECT_EQ(At(150, 100), kRed);
  EXPECT_EQ(At(298, 150), kRed) << "no shadow";
}

TEST_F(PortVTest, ALargePageScrollsToItsFarEdge) {
  Page(1000, 1200);
  EXPECT_EQ(vp_.ScrollBars(), 3) << "both bars while the page is larger";
  const RECT rc = Client();
  ASSERT_LT(rc.right, 400) << "the vertical bar takes room";
  EXPECT_EQ(At(rc.right - 1, 100), kGreen) << "at the start the right edge shows page";
  vp_.ActiveBar(0);
  vp_.Value(vp_.Max());
  vp_.DrawDC();
  EXPECT_EQ(At(rc.right - 1, 100), 0u) << "at Max the page's shadow meets the window's edge";
  EXPECT_EQ(At(rc.right - 4, 100), kGreen);
  std::int32_t x = 0, y = 0;
  vp_.GetViewOffset(x, y);
  EXPECT_EQ(x, 1000 - rc.right);
  EXPECT_EQ(y, 0);
}

TEST_F(PortVTest, AutoScrollSetsThePageStepFromTheVisibleShare) {
  Page(800, 1200);
  const RECT rc = Client();
  EXPECT_EQ(vp_.LargeChangeHORZ(), static_cast<std::int16_t>(std::lround(100.0 * rc.right / 800)));
  EXPECT_EQ(vp_.LargeChangeVERT(), static_cast<std::int16_t>(std::lround(100.0 * rc.bottom / 1200)));
}

TEST_F(PortVTest, LineStepsStopAtTheLimitsAndDoNotRepaintThere) {
  Page(1000, 1200);
  vp_.ActiveBar(0);
  vp_.Value(vp_.Max());
  paints_ = changes_ = 0;
  SendMessage(vp_.hwnd(), WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(vp_.Value(), vp_.Max());
  EXPECT_EQ(paints_, 0) << "already at Max: no repaint";
  EXPECT_EQ(changes_, 1) << "the code's own change event";
  SendMessage(vp_.hwnd(), WM_HSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
  EXPECT_EQ(vp_.Value(), vp_.Max() - 1);
  EXPECT_EQ(paints_, 1);
  EXPECT_EQ(changes_, 3) << "the value's change and the code's";
  SendMessage(vp_.hwnd(), WM_HSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  EXPECT_EQ(vp_.Value(), vp_.Min());
  paints_ = 0;
  SendMessage(vp_.hwnd(), WM_HSCROLL, MAKEWPARAM(SB_PAGEUP, 0), 0);
  EXPECT_EQ(vp_.Value(), vp_.Min());
  EXPECT_EQ(paints_, 0) << "already at Min: no repaint";
}

TEST_F(PortVTest, EachScrollCodeMovesTheBarItNames) {
  Page(1000, 1200);
  struct Case {
    const char* name;
    UINT msg;
    int code;
    std::int32_t start, expected;
  };
  const std::int16_t page = vp_.LargeChangeVERT();
  const Case cases[] = {
      {"line down", WM_VSCROLL, SB_LINEDOWN, 10, 11},  {"line up", WM_VSCROLL, SB_LINEUP, 10, 9},
      {"page down", WM_VSCROLL, SB_PAGEDOWN, 10, 10 + page}, {"page up", WM_VSCROLL, SB_PAGEUP, 50, 50 - page},
      {"top", WM_HSCROLL, SB_TOP, 40, 0},              {"bottom", WM_HSCROLL, SB_BOTTOM, 40, PortV::kRangeMax},
      {"end scroll", WM_VSCROLL, SB_ENDSCROLL, 33, 33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vp_.ActiveBar(c.msg == WM_HSCROLL ? 0 : 1);
    vp_.Value(c.start);
    SendMessage(vp_.hwnd(), c.msg, MAKEWPARAM(static_cast<WORD>(c.code), 0), 0);
    EXPECT_EQ(vp_.ActiveBar(), c.msg == WM_HSCROLL ? 0 : 1);
    EXPECT_EQ(vp_.Value(), c.expected);
  }
}

TEST_F(PortVTest, ThumbTrackingRaisesScrollWithoutRepaintingAndReleasingRepaints) {
  Page(1000, 1200);
  paints_ = scrolls_ = 0;
  SendMessage(vp_.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  EXPECT_EQ(scrolls_, 1);
  EXPECT_EQ(paints_, 0);
  SendMessage(vp_.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
  EXPECT_EQ(scrolls_, 2);
  EXPECT_EQ(paints_, 1);
}

TEST_F(PortVTest, WithoutAutoScrollTheBarsFollowScrollBars) {
  vp_.AutoScroll(false);
  Page(100, 100);
  vp_.ScrollBars(2);
  EXPECT_TRUE(GetWindowLongPtr(vp_.hwnd(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_FALSE(GetWindowLongPtr(vp_.hwnd(), GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(vp_.ActiveBar(), 1);
  vp_.ScrollBars(1);
  EXPECT_TRUE(GetWindowLongPtr(vp_.hwnd(), GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(vp_.ActiveBar(), 0);
}

TEST_F(PortVTest, StylesBeyondTheFlatModesAreRefused) {
  EXPECT_TRUE(vp_.Style(2));
  EXPECT_FALSE(vp_.Style(3));
  EXPECT_EQ(vp_.Style(), 2);
}

TEST(PortVProperties, PersistedDefaultsAreReadInOrderAndWrittenBack) {
  Form form(100, 100);
  PortV vp(form.hwnd(), 0x8000000F);
  std::vector<std::string> names;
  for (const auto& p : vp.PersistedDefaults()) names.push_back(p.name);
  const std::vector<std::string> expected = {"ScrollBars", "Value", "LargeChangeHORZ", "LargeChangeVERT",
                                             "SmallChangeHORZ", "SmallChangeVERT", "Style", "BorderStyle",
                                             "AutoRedraw", "Enabled", "ModePage", "AutoScroll", "BackColor",
                                             "PageBackColor"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(vp.BackColor(), 0x8000000Fu) << "the ambient background is the default";
  std::map<std::string, Variant> bag{{"SmallChangeHORZ", Variant(std::int16_t{7})},
                                     {"PageBackColor", Variant(std::int32_t{0x123456})},
                                     {"ModePage", Variant(false)}};
  vp.ReadProperties([&bag](const std::string& n, const Variant& d) { return bag.count(n) ? bag[n] : d; });
  EXPECT_EQ(vp.SmallChangeHORZ(), 7);
  EXPECT_EQ(vp.PageBackColor(), 0x123456u);
  EXPECT_FALSE(vp.ModePage());
  EXPECT_EQ(vp.LargeChangeHORZ(), 10) << "an absent key takes its default";
  std::map<std::string, Variant> written;
  vp.WriteProperties([&written](const std::string& n, const Variant& v) { written[n] = v; });
  EXPECT_EQ(written.size(), expected.size());
  EXPECT_EQ(written["SmallChangeHORZ"].ToInteger(), 7);
}

TEST(PortVProperties, TheBagKeepsOnlyWhatDiffersAndReadsItBack) {
  Form form(100, 100);
  PortV vp(form.hwnd(), 0x8000000F);
  PropertyBag untouched;
  vp.WriteProperties(untouched);
  // Only ScrollBars differs: with no page yet AutoScroll has hidden both bars.
  EXPECT_EQ(untouched.ToText(), "ktfolio property bag 1\nScrollBars=Long:0\n");
  vp.PageBackColor(0xE0FFFF);
  vp.AutoScroll(false);
  vp.SmallChangeVERT(4);
  PropertyBag bag;
  vp.WriteProperties(bag);
  EXPECT_EQ(bag.Entries().size(), 4u) << bag.ToText();
  PortV copy(form.hwnd(), 0x00FFFFFF);
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  EXPECT_EQ(copy.PageBackColor(), 0xE0FFFFu);
  EXPECT_FALSE(copy.AutoScroll());
  EXPECT_EQ(copy.SmallChangeVERT(), 4);
  EXPECT_EQ(copy.BackColor(), 0x00FFFFFFu) << "its own ambient colour, not the writer's";
}

}  // namespace
}  // namespace ktfolio
