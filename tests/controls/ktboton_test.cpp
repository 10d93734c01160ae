// The button through its window: clicks, toggling, dragging out, hot tracking
// of the flat style, borders, access keys and the property bag.
#include <gtest/gtest.h>

#include "controls/ktboton.h"
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

TEST_F(BotonTest, AltAndTheUnderlinedLetterClicksThroughTheFocus) {
  KtBoton other(form_.hwnd(), "cmdClose", form_);
  MoveWindow(other.hwnd(), 100, 10, 80, 30, TRUE);
  int otherClicks = 0;
  other.Click = [&otherClicks] { ++otherClicks; };
  button_.Caption("&Print");
  other.Caption("Fish && &Chips");
  SetFocus(button_.hwnd());
  form_.Key('C', false, false, true);
  EXPECT_EQ(otherClicks, 1);
  EXPECT_EQ(GetFocus(), other.hwnd()) << "the access key brings the focus along";
  form_.Key('P', false, false, true);
  EXPECT_EQ(clicks_, 1);
  form_.Key('F', false, false, true);  // "&&" is a plain ampersand, not a marker
  EXPECT_EQ(clicks_ + otherClicks, 2);
  form_.Key('P');  // without Alt a letter is only a key press
  EXPECT_EQ(clicks_, 1);
  button_.Enabled(false);
  form_.Key('P', false, false, true);
  EXPECT_EQ(clicks_, 1) << "a disabled button ignores its access key";
}

// Every key's round trip is in CompanionBag; here what that table cannot say:
// an untouched button stores nothing, a font travels whole, and an empty bag
// brings back the defaults and the name as caption.
TEST_F(BotonTest, AnUntouchedButtonStoresNothingAndAnEmptyBagRestoresTheDefaults) {
  PropertyBag untouched;
  button_.WriteProperties(untouched);
  EXPECT_TRUE(untouched.Entries().empty()) << untouched.ToText();

  FontPtr font = button_.Font()->Clone();
  font->Name = "DejaVu Serif";
  font->Bold = true;
  button_.Font(font);
  PropertyBag bag;
  button_.WriteProperties(bag);
  KtBoton copy(form_.hwnd(), "cmdCopy", form_);
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  EXPECT_EQ(copy.Font()->Name, "DejaVu Serif");
  EXPECT_TRUE(copy.Font()->Bold);

  KtBoton reset(form_.hwnd(), "cmdReset", form_);
  reset.BorderWidth(7);
  reset.Caption("changed");
  reset.ReadProperties(PropertyBag{});
  EXPECT_EQ(reset.BorderWidth(), 1) << "reading an empty bag restores the defaults";
  EXPECT_EQ(reset.Caption(), "cmdReset");
}

}  // namespace
}  // namespace ktfolio
