// The formatted text box at work: keys typed through a form, the events it raises (and when),
// locked boxes, the context menu, the container's navigation keys, what it leaves behind.
#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

#include "controls/kttext.h"
#include "platform/container/form.h"
#include "winsupport/inplace.h"

namespace ktfolio {
namespace {

using namespace win;

constexpr int kAfterDelay = 60;  // ms: past the 25 ms delay of Change and the line checks

class TypingTest : public ::testing::Test {
 protected:
  TypingTest() : form_(320, 120), box_(form_.hwnd(), "txtName", form_) {
    user::ResetScripts();
    box_.Move(10, 10, 200, 60);
    box_.Caption("");  // the edit window fills the box
    box_.Change = [this] { ++changes_; };
    form_.Show();
    SetFocus(box_.hwnd());
  }
  void Numeric(std::int16_t lengthInt, std::int16_t lengthDec) {
    box_.ControlType(ktNumeric);
    box_.LengthInt(lengthInt);
    box_.LengthDec(lengthDec);
    box_.AllowBlank(true);  // an empty start: without it a focused zero shows as "0,00"
    box_.Text("");
  }
  Form form_;
  KtText box_;
  int changes_ = 0;
};

TEST_F(TypingTest, NumericKeysBuildANumberAndASecondCommaStepsIntoTheDecimals) {
  // The caret stays after the last digit typed, also when the sign comes and goes.
  struct Case { const char* name; const char* typed; const char* text; double value; int caret, beeps; };
  const Case cases[] = {
      {"digits and a point typed as comma", "12.5", "12,5", 12.5, 4, 0},
      {"letters are dropped silently", "1a2b", "12", 12, 2, 0},
      {"a fourth integer digit is refused", "1234", "123", 123, 3, 1},
      {"a third decimal is refused", "1,234", "1,23", 1.23, 4, 1},
      {"minus toggles the sign of a number", "5-", "-5", -5, 2, 0},
      {"minus twice gives it back", "5--", "5", 5, 1, 0},
      {"minus on zero does nothing", "-", "", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Numeric(3, 2);
    const int beeps = user::BeepCount();
    form_.Type(c.typed);
    form_.Pump(kAfterDelay);
    EXPECT_EQ(std::tuple(box_.Text(), box_.Value(), box_.SelStart(), user::BeepCount() - beeps),
              std::tuple(c.text, c.value, c.caret, c.beeps));
  }
  Numeric(4, 2);
  form_.Type("12,50");
  SendMessage(box_.hwnd(), EM_SETSEL, 1, 1);  // caret inside the integer part
  form_.Type(",");
  EXPECT_EQ(std::tuple(box_.Text(), box_.SelStart(), box_.SelLength()), std::tuple("12,50", 3, 2))
      << "no second comma: the decimals are selected";
  form_.Type("7");
  EXPECT_EQ(box_.Text(), "12,7");
  for (int i = 0; i < 2; ++i) form_.Key(VK_BACK);
  EXPECT_EQ(box_.Text(), "12");
}

TEST_F(TypingTest, QuickKeystrokesGiveOneChangeAfterTheLastAndFiltersDecideWhatIsTyped) {
  form_.Type("hello");
  EXPECT_EQ(changes_, 0) << "nothing before the delay";
  form_.Pump(kAfterDelay);
  EXPECT_EQ(std::tuple(changes_, box_.Text()), std::tuple(1, "hello"));
  box_.IgnoreChangeEvent(true);
  form_.Type("!");
  form_.Pump(kAfterDelay);
  EXPECT_EQ(changes_, 1) << "IgnoreChangeEvent";
  // The last allowed character is taken and the key goes no further; with room
  // for one, each key replaces the text.
  for (auto [length, typed, text] : {std::tuple(3, "abcd", "abc"), std::tuple(1, "xy", "y")}) {
    box_.Text("");
    box_.MaxLength(length);
    form_.Type(typed);
    EXPECT_EQ(box_.Text(), text) << length;
  }
  box_.Text("");
  box_.MaxLength(0);
  box_.AutoUpperCase(true);
  box_.Filter("a-z\\20");
  const int beeps = user::BeepCount();
  form_.Type("ab1 c-");
  EXPECT_EQ(std::tuple(box_.Text(), user::BeepCount() - beeps), std::tuple("AB C", 2))
      << "one beep per refused key";
}

TEST_F(TypingTest, KeysCancelledByTheHostOrByAutoExitLeaveTheCaret) {
  box_.Text("abc");
  box_.SelStart(2);
  box_.KeyDown = [](std::int16_t& code, std::int16_t) { code = code == VK_LEFT ? 0 : code; };
  // The host cancels Left; AutoExit cancels Right at the end.
  for (auto [vk, start] : {std::tuple(VK_LEFT, 2), std::tuple(VK_RIGHT, 3), std::tuple(VK_RIGHT, 3)}) {
    form_.Key(vk);
    EXPECT_EQ(box_.SelStart(), start) << vk;
  }
  box_.KeyDown = nullptr;
  std::vector<int> up;
  box_.KeyUp = [&up](std::int16_t& code, std::int16_t) { up.push_back(code); };
  form_.Key(VK_LEFT, true);  // with Shift: AutoExit leaves it alone
  EXPECT_EQ(std::tuple(box_.SelLength(), up.back()), std::tuple(1, int{VK_SHIFT}));
}

TEST_F(TypingTest, ALockedBoxKeepsItsTextButStillSelectsAndCopiesAndItsMenuSaysSo) {
  box_.Text("fixed");
  box_.Locked(true);
  form_.Type("x");
  form_.Key(VK_DELETE);
  form_.Key(VK_INSERT, true);
  SendMessage(box_.hwnd(), WM_CLEAR, 0, 0);
  SendMessage(box_.hwnd(), WM_PASTE, 0, 0);
  EXPECT_EQ(box_.Text(), "fixed");
  box_.SelectAll();
  EXPECT_EQ(std::tuple(box_.SelText(), box_.CanEditPerform(KtText::edCopy), box_.CanEditPerform(KtText::edCut),
                       box_.CurrentBackColor()),
            std::tuple("fixed", true, false, GetSysColor(COLOR_BTNFACE)));
  form_.Click(50, 30, 2);
  std::map<UINT_PTR, bool> enabled;
  for (const auto& item : user::LastPopupMenu()) enabled[item.id] = item.enabled;
  ASSERT_TRUE(enabled.count(KtText::edCopy) && enabled.count(KtText::edPaste)) << "Copy and Paste";
  EXPECT_TRUE(enabled[KtText::edCopy] && !enabled[KtText::edPaste]) << "nothing changing the text";
  box_.DisableContextMenu(true);
  user::ResetScripts();
  form_.Click(50, 30, 2);
  EXPECT_TRUE(user::LastPopupMenu().empty()) << "DisableContextMenu: no menu at all";
}

TEST_F(TypingTest, ColoursFollowFocusLockAndEnabled) {
  EXPECT_EQ(box_.CurrentBackColor(), 14150898u) << "focused";
  SetFocus(form_.hwnd());
  EXPECT_EQ(box_.CurrentBackColor(), GetSysColor(COLOR_WINDOW));
  box_.Enabled(false);
  EXPECT_EQ(std::tuple(box_.CurrentBackColor(), box_.CurrentForeColor()), std::tuple(0xE0E0E0u, 128u));
  box_.Locked(true);
  EXPECT_EQ(box_.CurrentForeColor(), GetSysColor(COLOR_GRAYTEXT)) << "locked wins over disabled";
  box_.Enabled(true);
  box_.Locked(false);
  box_.BackColor(0x00123456);
  form_.Pump();
  EXPECT_EQ(user::WindowPixel(box_.hwnd(), 150, 40), 0x00123456u) << "the edit window paints with the pair";
}

TEST_F(TypingTest, CaretMovesRaiseColumnAndLineChangesAndATrappedTabStays) {
  box_.MultiLine(true);
  box_.AutoExit(false);
  box_.Text("ab\r\ncd");
  box_.SelStart(1);
  form_.Key(VK_HOME);  // the first check learns the line count
  form_.Pump(kAfterDelay);
  std::vector<std::string> events;
  auto record = [&events](std::string kind) {
    return [&events, kind](std::int32_t l, std::int32_t c, std::int32_t n) {
      events.push_back(kind + " " + std::to_string(l) + "," + std::to_string(c) + "/" + std::to_string(n));
    };
  };
  box_.ColumnChange = record("column");
  box_.LineChange = record("line");
  for (int vk : {VK_RIGHT, VK_DOWN, VK_LEFT}) {
    if (vk == VK_LEFT) box_.DisableColumnChangeEvent(true);
    form_.Key(vk);
    form_.Pump(kAfterDelay);
  }
  EXPECT_EQ(events, (std::vector<std::string>{"column 0,1/2", "line 1,1/2"}));
  box_.MultiLine(true);
  box_.TrapTabKey(true);
  box_.Text("one\r\ntwo");
  // A selection over lines indents (or with Shift outdents) them; a caret takes four blanks.
  for (auto [start, length, shift, text] :
       {std::tuple(0, 6, false, "    one\r\n    two"), std::tuple(0, 12, true, "one\r\ntwo"),
        std::tuple(1, 0, false, "o    ne\r\ntwo")}) {
    box_.SelStart(start);
    box_.SelLength(length);
    form_.Key(VK_TAB, shift);
    EXPECT_EQ(box_.Text(), text);
  }
}

TEST(KtTextHook, TheContainerOffersNavigationKeysToTheBoxFirstAndNothingIsLeftBehind) {
  auto live = [] {
    return std::tuple(user::LiveWindowCount(), user::LiveTimerCount(), user::LivePropertyCount());
  };
  const auto before = live();
  {
    Form form(320, 120);
    ole::InPlaceFrame frame(form.hwnd());
    ole::InPlaceSite site(&frame, nullptr, form.hwnd());
    KtText first(form.hwnd(), "txtFirst", form), second(form.hwnd(), "txtSecond", form);
    const HWND control = first.ControlWindow();
    EXPECT_NE(GetProp(control, modIPAO::PropertyName(control).c_str()), nullptr)
        << "the hook is installed as the box starts, before any site";
    first.Move(10, 10, 100, 24);
    second.Move(10, 50, 100, 24);
    frame.AddControl(first.ControlWindow());
    frame.AddControl(second.ControlWindow());
    first.SetClientSite(&site);
    form.Show();
    first.Text("abc");
    SetFocus(first.hwnd());
    ASSERT_NE(frame.ActiveObject(), nullptr) << "the focus announced the box";
    first.SelStart(1);
    auto press = [&frame](int vk) {
      user::InjectKey(vk, true);
      user::InjectKey(vk, false);
      MSG m;
      while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) frame.ProcessMessage(&m);
    };
    press(VK_RIGHT);
    EXPECT_EQ(std::tuple(first.SelStart(), GetFocus()), std::tuple(2, first.hwnd()))
        << "the box moved its caret, and the container did not navigate";
    for (int i = 0; i < 2; ++i) press(VK_RIGHT);
    EXPECT_EQ(GetFocus(), second.hwnd()) << "at the end AutoExit lets the container move on";
    frame.SetActiveObject(nullptr, nullptr);
    first.SetClientSite(nullptr);
    form.Type("abc");        // arms the delay timer
    second.MultiLine(true);  // a rebuilt edit window
  }
  EXPECT_EQ(live(), before) << "windows, timers, properties";
}

TEST_F(TypingTest, EnterAndAFullBoxMoveOnToTheNextBoxOfTheForm) {
  KtText next(form_.hwnd(), "txtNext", form_);
  next.Move(10, 80, 200, 30);
  next.Caption("");
  box_.MaxLength(3);
  form_.Type("ab");
  EXPECT_TRUE(box_.HasFocus());
  form_.Type("c");
  EXPECT_EQ(std::tuple(box_.Text(), next.HasFocus()), std::tuple("abc", true))
      << "the last character a box takes moves on";
  form_.Key(VK_TAB, true);
  EXPECT_TRUE(box_.HasFocus()) << "Shift+Tab comes back";
  box_.MaxLength(0);
  form_.Key(VK_RETURN);
  EXPECT_TRUE(next.HasFocus()) << "Enter moves on (AutoReturn)";
  next.TrapTabKey(true);
  form_.Key(VK_TAB);
  EXPECT_TRUE(next.HasFocus() && !next.Text().empty()) << "a box trapping Tab keeps it, indenting";
}

}  // namespace
}  // namespace ktfolio
