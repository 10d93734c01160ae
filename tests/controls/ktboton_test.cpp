// The button and the frame through their windows: clicks, toggling, dragging
// out, hot tracking of the flat style, borders, and the flood fill.
#include <gtest/gtest.h>

#include "controls/ktboton.h"
#include "controls/ktmarco.h"
#include "platform/container/form.h"

namespace ktfolio {
namespace {

using namespace win;

const std::uint32_t kFace = GetSysColor(COLOR_BTNFACE);

class BotonTest : public ::testing::Test {
 protected:
  BotonTest() : form_(200, 100), button_(form_.hwnd(), "cmdOk", form_) {
    MoveWindow(button_.hwnd(), 10, 10, 80, 30, TRUE);
    button_.Click = [this] { ++clicks_; };
    form_.Show();
  }
  COLORREF At(int x, int y) { return user::WindowPixel(button_.hwnd(), x, y); }

  Form form_;
  KtBoton button_;
  int clicks_ = 0;
};

TEST_F(BotonTest, StartsWithItsNameAsCaptionAndTheDocumentedDefaults) {
  EXPECT_EQ(button_.Caption(), "cmdOk");
  EXPECT_EQ(button_.BevelWidth(), 2);
  EXPECT_EQ(button_.BorderWidth(), 1);
  EXPECT_EQ(button_.BorderFocusedWidth(), 2);
  EXPECT_EQ(button_.CaptionPos(), 4);
  EXPECT_EQ(button_.PicturePos(), 3);
  EXPECT_EQ(button_.BackColor(), 0x8000000Fu);
  EXPECT_TRUE(button_.ClickFocused());
  EXPECT_EQ(button_.PersistedDefaults().size(), button_.PersistedValues().size());
}

TEST_F(BotonTest, AClickInsideClicksAndTakesTheFocus) {
  form_.Click(50, 25);
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(GetFocus(), button_.hwnd());
  form_.DoubleClick(50, 25);
  EXPECT_EQ(clicks_, 3) << "a quick second click still counts";
}

TEST_F(BotonTest, DraggingOutRemovesThePushAndReleasingOutsideDoesNotClick) {
  form_.MouseMove(50, 25);
  form_.MouseDown(50, 25);
  // Hot: a border of 2; pushed: no bevel, the face moved in, the dark fill shows.
  EXPECT_EQ(At(3, 3), GetSysColor(COLOR_BTNSHADOW)) << "pushed: the outer fill turns dark";
  form_.MouseMove(150, 80);
  form_.MouseUp(150, 80);
  EXPECT_EQ(clicks_, 0);
}

TEST_F(BotonTest, AToggleFlipsBetweenMinusOneAndZero) {
  button_.Style(ppToggleButton);
  form_.Click(50, 25);
  EXPECT_EQ(button_.Value(), -1);
  form_.Click(50, 25);
  EXPECT_EQ(button_.Value(), 0);
  button_.Value(5);
  EXPECT_TRUE(button_.Pressed());
}

TEST_F(BotonTest, TheBorderIsBlackUnlessItsWidthIsZero) {
  EXPECT_EQ(At(0, 0), 0u);
  button_.BorderWidth(0);
  EXPECT_NE(At(0, 0), 0u);
}

TEST_F(BotonTest, TheFlatStyleShowsItsBevelOnlyWhileHot) {
  button_.Style(ppFlatButton);
  button_.BevelWidth(0);
  button_.BorderWidth(0);
  button_.BorderFocusedWidth(0);
  EXPECT_EQ(At(0, 0), kFace) << "flat: no bevel at rest";
  form_.MouseMove(50, 25);
  EXPECT_TRUE(button_.Hot());
  EXPECT_EQ(button_.BevelWidth(), 1);
  EXPECT_EQ(At(0, 0), 0xFFFFFFu) << "hot: the light bevel band";
  form_.MouseMove(150, 80);
  form_.Pump();
  EXPECT_FALSE(button_.Hot()) << "WM_MOUSELEAVE ends the hot state";
  EXPECT_EQ(button_.BevelWidth(), 0);
  EXPECT_EQ(At(0, 0), kFace);
}

TEST_F(BotonTest, SpaceAndEnterClickTheFocusedButton) {
  SetFocus(button_.hwnd());
  form_.Key(VK_SPACE);
  form_.Key(VK_RETURN);
  EXPECT_EQ(clicks_, 2);
}

TEST_F(BotonTest, ArrowKeysMoveTheFocusToTheNextButton) {
  KtBoton second(form_.hwnd(), "cmdCancel", form_);
  MoveWindow(second.hwnd(), 100, 10, 80, 30, TRUE);
  SetFocus(button_.hwnd());
  form_.Key(VK_RIGHT);
  EXPECT_EQ(GetFocus(), second.hwnd());
  form_.Key(VK_LEFT);
  EXPECT_EQ(GetFocus(), button_.hwnd());
}

TEST_F(BotonTest, DoClickOnADisabledButtonDoesNothing) {
  button_.Enabled(false);
  button_.DoClick();
  EXPECT_EQ(clicks_, 0);
  button_.Enabled(true);
  button_.DoClick();
  EXPECT_EQ(clicks_, 1) << "the click runs once the focus arrives";
}

TEST(Marco, FloodPercentIsClampedAndFillsFromTheLeft) {
  Form form(200, 100);
  KtMarco frame(form.hwnd(), "fraProgress", form);
  EXPECT_EQ(frame.Caption(), "fraProgress");
  frame.FloodPercent(150);
  EXPECT_EQ(frame.FloodPercent(), 100);
  frame.FloodPercent(-5);
  EXPECT_EQ(frame.FloodPercent(), 0);
  // Border 1, bevel 2, margin 2: a 111-pixel panel leaves 101 pixels (5..105).
  MoveWindow(frame.hwnd(), 0, 0, 111, 40, TRUE);
  frame.Caption("");
  frame.FloodColor(0x0000FF);
  frame.Flood(ppFloodToRight);
  int changes = 0;
  frame.FloodChange = [&changes] { ++changes; };
  frame.FloodPercent(50);
  EXPECT_EQ(changes, 1);
  form.Show();
  // Half of 101 + 1 = 51 pixels: 5..55 red, 56 not.
  EXPECT_EQ(user::WindowPixel(frame.hwnd(), 55, 20), 0x0000FFu);
  EXPECT_NE(user::WindowPixel(frame.hwnd(), 56, 20), 0x0000FFu);
  EXPECT_EQ(user::WindowPixel(frame.hwnd(), 0, 0), 0u) << "the black outer border";
  frame.BorderWidth(0);
  EXPECT_NE(user::WindowPixel(frame.hwnd(), 0, 0), 0u);
}

}  // namespace
}  // namespace ktfolio
