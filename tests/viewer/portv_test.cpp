// The viewport: page placement, drop shadow, scroll codes, steps at the
// limits, thumb tracking and the persisted defaults.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

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
  RECT Client() { RECT rc; GetClientRect(vp_.hwnd(), &rc); return rc; }
  void Send(UINT msg, int code) { SendMessage(vp_.hwnd(), msg, MAKEWPARAM(static_cast<WORD>(code), 0), 0); }
  LONG_PTR Style() { return GetWindowLongPtr(vp_.hwnd(), GWL_STYLE); }

  Form form_;
  PortV vp_;
  int paints_ = 0, changes_ = 0, scrolls_ = 0;
};

TEST_F(PortVTest, ASmallPageIsCentredWithItsShadowAndWithoutAutoScrollTheBarsFollowScrollBars) {
  Page(200, 150);
  EXPECT_EQ(vp_.ScrollBars(), 0) << "no bar while the page is smaller than the window";
  // The page at (400 - 200) / 2 = 100, (300 - 150) / 2 = 75; a shadow right of
  // and below it, whose corners above and left are background.
  for (auto [x, y, color] : {std::tuple(99, 150, kRed), std::tuple(100, 75, kGreen), std::tuple(296, 150, kGreen),
                             std::tuple(298, 150, 0u), std::tuple(200, 223, 0u), std::tuple(298, 76, kRed),
                             std::tuple(101, 223, kRed), std::tuple(300, 150, kRed)})
    EXPECT_EQ(At(x, y), color) << x << "," << y;
  vp_.ModePage(false);
  vp_.DrawDC();
  EXPECT_EQ(std::tuple(At(150, 100), At(298, 150)), std::tuple(kRed, kRed)) << "ModePage off: no page, no shadow";
  vp_.AutoScroll(false);
  Page(100, 100);
  for (auto [bars, horizontal, vertical, active] :
       {std::tuple(2, false, true, 1),
        std::tuple(1, true, false, 0), std::tuple(3, true, true, 1)}) {
    vp_.ScrollBars(bars);
    EXPECT_EQ(std::tuple((Style() & WS_HSCROLL) != 0, (Style() & WS_VSCROLL) != 0, vp_.ActiveBar()),
              std::tuple(horizontal, vertical, active)) << "ScrollBars " << bars;
  }
  EXPECT_TRUE(vp_.Style(2) && !vp_.Style(3) && vp_.Style() == 2) << "no style past the flat ones";
}

TEST_F(PortVTest, ALargePageScrollsToItsFarEdgeAndLineStepsStopAtTheLimits) {
  Page(1000, 1200);
  EXPECT_EQ(vp_.ScrollBars(), 3) << "both bars while the page is larger";
  const RECT rc = Client();
  ASSERT_LT(rc.right, 400) << "the vertical bar takes room";
  EXPECT_EQ(At(rc.right - 1, 100), kGreen) << "at the start the right edge shows page";
  vp_.ActiveBar(0);
  vp_.Value(vp_.Max());
  vp_.DrawDC();
  EXPECT_EQ(std::tuple(At(rc.right - 1, 100), At(rc.right - 4, 100)), std::tuple(0u, kGreen))
      << "at Max the page's shadow meets the window's edge";
  std::int32_t x = 0, y = 0;
  vp_.GetViewOffset(x, y);
  EXPECT_EQ(std::tuple(x, y), std::tuple(1000 - rc.right, 0));
  // AutoScroll sets the page step from the visible share.
  Page(800, 1200);
  EXPECT_EQ(std::tuple(vp_.LargeChangeHORZ(), vp_.LargeChangeVERT()),
            std::tuple(std::lround(100.0 * Client().right / 800), std::lround(100.0 * Client().bottom / 1200)));
  Page(1000, 1200);
  vp_.ActiveBar(0);
  vp_.Value(vp_.Max());
  paints_ = changes_ = 0;
  // At Max a line down repaints nothing, but the code's own change event comes;
  // a line up changes the value too. At Min a page up repaints nothing.
  Send(WM_HSCROLL, SB_LINEDOWN);
  EXPECT_EQ(std::tuple(vp_.Value(), paints_, changes_), std::tuple(vp_.Max(), 0, 1));
  Send(WM_HSCROLL, SB_LINEUP);
  EXPECT_EQ(std::tuple(vp_.Value(), paints_, changes_), std::tuple(vp_.Max() - 1, 1, 3));
  Send(WM_HSCROLL, SB_TOP);
  paints_ = 0;
  Send(WM_HSCROLL, SB_PAGEUP);
  EXPECT_EQ(std::tuple(vp_.Value(), paints_), std::tuple(vp_.Min(), 0));
}

TEST_F(PortVTest, EachScrollCodeMovesTheBarItNames) {
  Page(1000, 1200);
  const std::int16_t page = vp_.LargeChangeVERT();
  for (auto [msg, code, start, expected] :
       {std::tuple(WM_VSCROLL, SB_LINEDOWN, 10, 11), std::tuple(WM_VSCROLL, SB_LINEUP, 10, 9),
        std::tuple(WM_VSCROLL, SB_PAGEDOWN, 10, 10 + page), std::tuple(WM_VSCROLL, SB_PAGEUP, 50, 50 - page),
        std::tuple(WM_HSCROLL, SB_TOP, 40, 0), std::tuple(WM_HSCROLL, SB_BOTTOM, 40, int{PortV::kRangeMax}),
        std::tuple(WM_VSCROLL, SB_ENDSCROLL, 33, 33)}) {
    const int bar = msg == WM_HSCROLL ? 0 : 1;
    vp_.ActiveBar(bar);
    vp_.Value(start);
    Send(msg, code);
    EXPECT_EQ(std::tuple(vp_.ActiveBar(), vp_.Value()), std::tuple(bar, expected)) << "code " << code;
  }
  // Tracking the thumb raises Scroll without repainting; releasing it repaints.
  paints_ = scrolls_ = 0;
  for (auto [code, s, p] : {std::tuple(SB_THUMBTRACK, 1, 0), std::tuple(SB_THUMBPOSITION, 2, 1)}) {
    Send(WM_VSCROLL, code);
    EXPECT_EQ(std::tuple(scrolls_, paints_), std::tuple(s, p)) << code;
  }
}

TEST(PortVProperties, PersistedDefaultsAreReadInOrderAndTheBagKeepsOnlyWhatDiffers) {
  Form form(100, 100);
  PortV vp(form.hwnd(), 0x8000000F), copy(form.hwnd(), 0x00FFFFFF);
  PropertyBag untouched, bag;
  vp.WriteProperties(untouched);
  // Only ScrollBars differs: with no page yet AutoScroll has hidden both bars.
  EXPECT_EQ(untouched.ToText(), "ktfolio property bag 1\nScrollBars=Long:0\n");
  std::vector<std::string> names;
  for (const auto& p : vp.PersistedDefaults()) names.push_back(p.name);
  const std::vector<std::string> expected = {"ScrollBars", "Value", "LargeChangeHORZ", "LargeChangeVERT",
                                             "SmallChangeHORZ", "SmallChangeVERT", "Style", "BorderStyle",
                                             "AutoRedraw", "Enabled", "ModePage", "AutoScroll", "BackColor",
                                             "PageBackColor"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(vp.BackColor(), 0x8000000Fu) << "the ambient background is the default";
  std::map<std::string, Variant> in{{"Value", Variant(25)}, {"ModePage", Variant(false)},
                                    {"SmallChangeHORZ", Variant(std::int16_t{7})},
                                    {"PageBackColor", Variant(0x123456)}};
  vp.ReadProperties([&](const auto& k, const Variant& v) { return in.count(k) ? in[k] : v; });
  EXPECT_EQ(std::tuple(vp.SmallChangeHORZ(), vp.PageBackColor(), vp.ModePage(), vp.Value()),
            std::tuple(7, 0x123456u, false, 25));
  EXPECT_EQ(vp.LargeChangeHORZ(), 10) << "an absent key takes its default";
  std::map<std::string, Variant> written;
  vp.WriteProperties([&written](const std::string& n, const Variant& v) { written[n] = v; });
  EXPECT_EQ(std::tuple(written.size(), written["SmallChangeHORZ"].ToInteger()), std::tuple(expected.size(), 7));
  vp.PageBackColor(0xE0FFFF);
  vp.AutoScroll(false);
  vp.SmallChangeVERT(4);
  vp.WriteProperties(bag);
  EXPECT_EQ(bag.Entries().size(), 7u) << bag.ToText();
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  EXPECT_EQ(std::tuple(copy.PageBackColor(), copy.AutoScroll(), copy.SmallChangeVERT(), copy.BackColor()),
            std::tuple(0xE0FFFFu, false, 4, 0x00FFFFFFu)) << "its own ambient colour";
}

}  // namespace
}  // namespace ktfolio
