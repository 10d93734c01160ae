// The button through its window: clicks, toggling, dragging out, hot tracking
// of the flat style, borders, focus and access keys, and the property bag.
#include <gtest/gtest.h>

#include <tuple>

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

// Every key's round trip is in CompanionBag; here what that table cannot say:
// an untouched button stores nothing, a font travels whole, and an empty bag
// brings back the defaults and the name as caption.
TEST_F(BotonTest, StartsWithTheDefaultsAnEmptyBagRestoresAndTheFlatStyleIsHotOnlyUnderTheMouse) {
  EXPECT_EQ(std::tuple(button_.Caption(), button_.BevelWidth(), button_.BorderWidth(), button_.BorderFocusedWidth(),
                       button_.CaptionPos(), button_.PicturePos(), button_.BackColor(), button_.ClickFocused()),
            std::tuple("cmdOk", 2, 1, 2, 4, 3, 0x8000000Fu, true));
  EXPECT_EQ(button_.PersistedDefaults().size(), button_.PersistedValues().size());
  EXPECT_EQ(At(0, 0), 0u) << "a black border";
  PropertyBag untouched, bag;
  button_.WriteProperties(untouched);
  EXPECT_TRUE(untouched.Entries().empty()) << untouched.ToText();
  button_.BorderWidth(0);
  EXPECT_NE(At(0, 0), 0u) << "no border at width zero";
  FontPtr font = button_.Font()->Clone();
  font->Name = "DejaVu Serif";
  font->Bold = true;
  button_.Font(font);
  button_.WriteProperties(bag);
  KtBoton copy(form_.hwnd(), "cmdCopy", form_);
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  EXPECT_EQ(std::tuple(copy.Font()->Name, copy.Font()->Bold, copy.BorderWidth()),
            std::tuple("DejaVu Serif", true, 0));
  copy.Caption("changed");
  copy.ReadProperties(PropertyBag{});
  EXPECT_EQ(std::pair(copy.BorderWidth(), copy.Caption()), std::pair(1, std::string("cmdCopy")));
  button_.Style(ppFlatButton);
  button_.BevelWidth(0);
  button_.BorderWidth(0);
  button_.BorderFocusedWidth(0);
  EXPECT_EQ(At(0, 0), kFace) << "flat: no bevel at rest";
  form_.MouseMove(50, 25);
  EXPECT_EQ(std::tuple(button_.Hot(), button_.BevelWidth(), At(0, 0)),
            std::tuple(true, 1, 0xFFFFFFu)) << "hot: the light bevel band";
  form_.MouseMove(150, 80);
  form_.Pump();
  EXPECT_EQ(std::tuple(button_.Hot(), button_.BevelWidth(), At(0, 0)), std::tuple(false, 0, kFace))
      << "WM_MOUSELEAVE ends the hot state";
}

TEST_F(BotonTest, MouseKeysAndDoClickClickUnlessDisabledOrDraggedOut) {
  form_.MouseMove(50, 25);
  form_.MouseDown(50, 25);
  // Hot: a border of 2; pushed: no bevel, the face moved in, the dark fill shows.
  EXPECT_EQ(At(3, 3), GetSysColor(COLOR_BTNSHADOW)) << "pushed: the outer fill turns dark";
  form_.MouseMove(150, 80);
  form_.MouseUp(150, 80);
  EXPECT_EQ(clicks_, 0) << "released outside";
  form_.Click(50, 25);
  EXPECT_EQ(std::tuple(clicks_, GetFocus()), std::tuple(1, button_.hwnd()));
  form_.DoubleClick(50, 25);
  EXPECT_EQ(clicks_, 3) << "a quick second click still counts";
  form_.Key(VK_SPACE);
  form_.Key(VK_RETURN);
  EXPECT_EQ(clicks_, 5) << "space and enter click the focused button";
  SetFocus(form_.hwnd());
  button_.Enabled(false);
  button_.DoClick();
  EXPECT_EQ(clicks_, 5);
  button_.Enabled(true);
  button_.DoClick();
  EXPECT_EQ(clicks_, 6) << "the click runs once the focus arrives";
  button_.Style(ppToggleButton);
  form_.Click(50, 25);
  EXPECT_EQ(button_.Value(), -1) << "a toggle flips between -1 and 0";
  form_.Click(50, 25);
  EXPECT_EQ(button_.Value(), 0);
  button_.Value(5);
  EXPECT_TRUE(button_.Pressed());
}

TEST_F(BotonTest, ArrowsMoveTheFocusAndAltWithTheUnderlinedLetterClicksThroughIt) {
  KtBoton other(form_.hwnd(), "cmdClose", form_);
  MoveWindow(other.hwnd(), 100, 10, 80, 30, TRUE);
  int otherClicks = 0;
  other.Click = [&otherClicks] { ++otherClicks; };
  SetFocus(button_.hwnd());
  form_.Key(VK_RIGHT);
  EXPECT_EQ(GetFocus(), other.hwnd());
  form_.Key(VK_LEFT);
  EXPECT_EQ(GetFocus(), button_.hwnd());
  button_.Caption("&Print");
  other.Caption("Fish && &Chips");
  form_.Key('C', false, false, true);
  EXPECT_EQ(std::tuple(otherClicks, GetFocus()), std::tuple(1, other.hwnd()))
      << "the access key brings the focus";
  form_.Key('P', false, false, true);
  EXPECT_EQ(clicks_, 1);
  form_.Key('F', false, false, true);  // "&&" is a plain ampersand, not a marker
  form_.Key('P');                      // without Alt a letter is only a key press
  EXPECT_EQ(std::pair(clicks_, otherClicks), std::pair(1, 1));
  button_.Enabled(false);
  form_.Key('P', false, false, true);
  EXPECT_EQ(clicks_, 1) << "a disabled button ignores its access key";
}

}  // namespace
}  // namespace ktfolio
