// The standard controls the property pages are built from ("ComboBox",
// "Button" check boxes and push buttons, "Static"), driven on a Form by
// clicks and keys the way a user drives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "platform/container/form.h"
#include "platform/user/user.h"

namespace ktfolio {
namespace {

using namespace win;

constexpr int kListId = 11, kCheckId = 12, kPushId = 13, kEditId = 14;

struct Notification { int id; WORD code; };
std::vector<Notification>* g_log = nullptr;

LRESULT CALLBACK_Parent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && g_log) g_log->push_back({LOWORD(wParam), HIWORD(wParam)});
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// A form whose client area is one panel holding a list of many entries, a
// check box, a push button and a text box.
class ControlsOnAForm : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = &log;
    static bool registered = false;
    if (!registered) {
      WNDCLASSEX wc;
      wc.lpfnWndProc = CALLBACK_Parent;
      wc.lpszClassName = "ControlsTestPanel";
      wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
      registered = RegisterClassEx(&wc) != 0;
    }
    panel = CreateWindowEx(0, "ControlsTestPanel", "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, form.hwnd(), nullptr,
                           nullptr, nullptr);
    list = Make("ComboBox", "cboList", "", CBS_DROPDOWNLIST, 10, 10, 150, 22, kListId);
    for (int i = 0; i < 30; ++i) {
      const std::string text = "entry " + std::to_string(i);
      const LRESULT at = SendMessage(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SendMessage(list, CB_SETITEMDATA, static_cast<WPARAM>(at), 100 + i);
    }
    check = Make("Button", "chkBox", "Check me", BS_AUTOCHECKBOX, 200, 10, 120, 20, kCheckId);
    push = Make("Button", "cmdPush", "Push", BS_PUSHBUTTON, 200, 40, 80, 24, kPushId);
    edit = Make("Edit", "txtBox", "old text", ES_AUTOHSCROLL, 200, 80, 120, 22, kEditId);
    form.Show();
    log.clear();
  }
  void TearDown() override { g_log = nullptr; }

  HWND Make(const char* cls, const char* name, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND hwnd = CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, panel,
                               reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    SetMemberName(hwnd, name);
    return hwnd;
  }
  std::vector<WORD> Codes(int id) const {
    std::vector<WORD> out;
    for (const auto& n : log)
      if (n.id == id) out.push_back(n.code);
    return out;
  }
  // The centre of a control, in the form's client coordinates.
  POINT Centre(HWND h) const {
    RECT rc;
    GetWindowRect(h, &rc);
    POINT p{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ScreenToClient(form.hwnd(), &p);
    return p;
  }
  const Form::ChildInfo Info(const std::string& name) const {
    for (const auto& c : form.Controls())
      if (c.name == name) return c;
    return {};
  }

  Form form{400, 300};
  HWND panel = nullptr, list = nullptr, check = nullptr, push = nullptr, edit = nullptr;
  std::vector<Notification> log;
};

TEST_F(ControlsOnAForm, ChoosingAnEntryClicksItInTheDroppedList) {
  ASSERT_TRUE(form.Choose("cboList", "entry 25")) << "an entry beyond the first screenful is scrolled to";
  EXPECT_EQ(SendMessage(list, CB_GETCURSEL, 0, 0), 25);
  EXPECT_EQ(SendMessage(list, CB_GETDROPPEDSTATE, 0, 0), 0) << "the list closes after the click";
  EXPECT_EQ(Codes(kListId), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
  const auto info = Info("cboList");
  EXPECT_EQ(std::make_tuple(info.text, info.hasSelection, info.selected, info.items.size()),
            std::make_tuple(std::string("entry 25"), true, 125, std::size_t{30})) << "the selection's item data";
  EXPECT_FALSE(form.Choose("cboList", "no such entry"));
  EXPECT_FALSE(form.Choose("chkBox", "entry 1")) << "not a list";
}

TEST_F(ControlsOnAForm, AClickOutsideTheDroppedListClosesItWithoutAChoice) {
  SendMessage(list, CB_SETCURSEL, 4, 0);
  form.Click(Centre(list).x, Centre(list).y);
  ASSERT_EQ(SendMessage(list, CB_GETDROPPEDSTATE, 0, 0), 1);
  form.Click(390, 290);  // the panel's far corner
  EXPECT_EQ(SendMessage(list, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_EQ(SendMessage(list, CB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(Codes(kListId), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlsOnAForm, SelectingInCodeNotifiesNothing) {
  SendMessage(list, CB_SETCURSEL, 3, 0);
  EXPECT_TRUE(Codes(kListId).empty());
  EXPECT_EQ(Info("cboList").text, "entry 3");
  EXPECT_EQ(SendMessage(list, CB_SETCURSEL, 99, 0), CB_ERR);
  EXPECT_FALSE(Info("cboList").hasSelection);
}

TEST_F(ControlsOnAForm, ArrowKeysMoveTheSelectionOfAClosedList) {
  SendMessage(list, CB_SETCURSEL, 0, 0);
  SetFocus(list);
  form.Key(VK_DOWN);
  form.Key(VK_DOWN);
  EXPECT_EQ(SendMessage(list, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Codes(kListId), (std::vector<WORD>{CBN_SELCHANGE, CBN_SELCHANGE}));
}

TEST_F(ControlsOnAForm, ADisabledListIgnoresTheUser) {
  EnableWindow(list, FALSE);
  EXPECT_FALSE(form.Choose("cboList", "entry 2"));
  EXPECT_FALSE(Info("cboList").enabled);
  EXPECT_TRUE(Codes(kListId).empty());
}

TEST_F(ControlsOnAForm, AnAutoCheckBoxTogglesOnClickAndTellsItsParent) {
  EXPECT_EQ(Info("chkBox").checked, 0);
  ASSERT_TRUE(form.Check("chkBox", true));
  EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  ASSERT_TRUE(form.Check("chkBox", true));
  EXPECT_EQ(Codes(kCheckId).size(), 1u) << "no click when it already is in that state";
  ASSERT_TRUE(form.Check("chkBox", false));
  EXPECT_EQ(Info("chkBox").checked, 0);
  EXPECT_EQ(Codes(kCheckId), (std::vector<WORD>{BN_CLICKED, BN_CLICKED}));
  SendMessage(check, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(Codes(kCheckId).size(), 2u) << "setting the state in code is silent";
  EXPECT_EQ(Info("cmdPush").checked, -1) << "a push button has no check state";
}

TEST_F(ControlsOnAForm, APushButtonClicksOnlyWhenReleasedOverIt) {
  const POINT inside = Centre(push);
  form.Click(inside.x, inside.y);
  EXPECT_EQ(Codes(kPushId), (std::vector<WORD>{BN_CLICKED}));
  form.MouseDown(inside.x, inside.y);
  form.MouseMove(inside.x + 200, inside.y + 100);
  form.MouseUp(inside.x + 200, inside.y + 100);
  EXPECT_EQ(Codes(kPushId).size(), 1u) << "dragged off before release: no click";
  SendMessage(push, BM_CLICK, 0, 0);
  EXPECT_EQ(Codes(kPushId).size(), 2u);
}

TEST_F(ControlsOnAForm, SetTextReplacesTheWholeTextAsTyping) {
  ASSERT_TRUE(form.SetText("txtBox", "12.5"));
  EXPECT_EQ(Info("txtBox").text, "12.5");
  const std::vector<WORD> codes = Codes(kEditId);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_CHANGE), 4) << "one change per character typed";
  ASSERT_TRUE(form.SetText("txtBox", ""));
  EXPECT_EQ(Info("txtBox").text, "");
  EXPECT_FALSE(form.SetText("cboList", "x"));
}

TEST_F(ControlsOnAForm, TabWalksTheTabStopsAndShiftTabWalksBack) {
  for (HWND h : {list, check, push, edit})
    SetWindowLongPtr(h, GWL_STYLE, GetWindowLongPtr(h, GWL_STYLE) | WS_TABSTOP);
  EnableWindow(push, FALSE);
  SetFocus(list);
  // The disabled button is passed over, the walk goes round, Ctrl+Tab is no move.
  const std::tuple<bool, bool, HWND> steps[] = {{false, false, check}, {false, false, edit}, {false, false, list},
                                                {true, false, edit},   {false, true, edit}};
  for (const auto& [shift, ctrl, focus] : steps) {
    form.Key(VK_TAB, shift, ctrl);
    EXPECT_EQ(GetFocus(), focus) << "shift " << shift << " ctrl " << ctrl;
  }
  // A multi-line text box wants every key, Tab included: the focus stays.
  HWND notes = Make("Edit", "txtNotes", "", ES_MULTILINE | WS_TABSTOP, 10, 120, 150, 60, 15);
  SetFocus(notes);
  form.Key(VK_TAB);
  EXPECT_EQ(GetFocus(), notes);
}

}  // namespace
}  // namespace ktfolio
