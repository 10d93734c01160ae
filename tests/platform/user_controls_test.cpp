// The standard controls the property pages are built from ("ComboBox",
// "Button" check boxes and push buttons, "Static"), driven on a Form by
// clicks and keys the way a user drives them, and the "Edit" class driven
// through injected input and EM_* messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "platform/container/form.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/user/user.h"
#include "support/form.h"

namespace ktfolio {
namespace {

using namespace win;

constexpr int kListId = 11, kCheckId = 12, kPushId = 13, kEditId = 14;

// What the controls' parent window received, and how it colours a text box when asked.
struct Notification { int id; WORD code; };
struct ParentLog {
  std::vector<Notification> notes;
  HBRUSH brush = nullptr;  // the answer to WM_CTLCOLOREDIT when set
  COLORREF text = 0;
  int Count(WORD code) const {
    return static_cast<int>(std::count_if(notes.begin(), notes.end(), [&](auto& n) { return n.code == code; }));
  }
};
ParentLog g_parent;

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && lp) g_parent.notes.push_back({LOWORD(wp), HIWORD(wp)});
  if (msg == WM_CTLCOLOREDIT && g_parent.brush) {
    SetTextColor(reinterpret_cast<HDC>(wp), g_parent.text);
    return reinterpret_cast<LRESULT>(g_parent.brush);
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}
// The parent's class, with button faces as its background; registered on first use.
const char* ParentClass() {
  WNDCLASSEX wc{.lpfnWndProc = ParentProc, .lpszClassName = "ControlsTestParent"};
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
  RegisterClassEx(&wc);
  return wc.lpszClassName;
}

// A form whose client area is one panel holding a list of many entries, a
// check box, a push button and a text box.
class ControlsOnAForm : public ::testing::Test {
 protected:
  void SetUp() override {
    g_parent = ParentLog{};
    panel = CreateWindowEx(0, ParentClass(), "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, form.hwnd(), nullptr,
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
    g_parent.notes.clear();
  }

  HWND Make(const char* cls, const char* name, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND hwnd = CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, panel,
                               reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    SetMemberName(hwnd, name);
    return hwnd;
  }
  std::vector<WORD> Codes(int id) const {
    std::vector<WORD> out;
    for (const auto& n : g_parent.notes) if (n.id == id) out.push_back(n.code);
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
  Form::ChildInfo Info(const std::string& name) const { return ktfolio::testing::Child(form, name); }

  Form form{400, 300};
  HWND panel = nullptr, list = nullptr, check = nullptr, push = nullptr, edit = nullptr;
};

TEST_F(ControlsOnAForm, ChoosingAnEntryClicksItInTheDroppedList) {
  ASSERT_TRUE(form.Choose("cboList", "entry 25")) << "an entry beyond the first screenful is scrolled to";
  EXPECT_EQ(std::pair(SendMessage(list, CB_GETCURSEL, 0, 0), SendMessage(list, CB_GETDROPPEDSTATE, 0, 0)),
            std::pair(LRESULT{25}, LRESULT{0})) << "the list closes after the click";
  EXPECT_EQ(Codes(kListId), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
  const auto info = Info("cboList");
  EXPECT_EQ(std::make_tuple(info.text, info.hasSelection, info.selected, info.items.size()),
            std::make_tuple(std::string("entry 25"), true, 125, std::size_t{30})) << "the selection's item data";
  EXPECT_FALSE(form.Choose("cboList", "no such entry") || form.Choose("chkBox", "entry 1")) << "chkBox is no list";
}

TEST_F(ControlsOnAForm, AClickOutsideTheDroppedListClosesItWithoutAChoice) {
  SendMessage(list, CB_SETCURSEL, 4, 0);
  form.Click(Centre(list).x, Centre(list).y);
  ASSERT_EQ(SendMessage(list, CB_GETDROPPEDSTATE, 0, 0), 1);
  form.Click(390, 290);  // the panel's far corner
  EXPECT_EQ(std::tuple(SendMessage(list, CB_GETDROPPEDSTATE, 0, 0), SendMessage(list, CB_GETCURSEL, 0, 0),
                       GetCapture()), std::tuple(0, 4, HWND{}));
  EXPECT_EQ(Codes(kListId), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

// Selecting in code notifies nothing; arrow keys move the selection of a closed list; disabled, it ignores the user.
TEST_F(ControlsOnAForm, TheListSelectsInCodeByArrowKeysAndNotWhenDisabled) {
  SendMessage(list, CB_SETCURSEL, 3, 0);
  EXPECT_EQ(std::pair(Codes(kListId).size(), Info("cboList").text), std::pair(std::size_t{0}, std::string("entry 3")));
  EXPECT_EQ(SendMessage(list, CB_SETCURSEL, 99, 0), CB_ERR);
  EXPECT_FALSE(Info("cboList").hasSelection);
  SendMessage(list, CB_SETCURSEL, 0, 0);
  SetFocus(list);
  form.Key(VK_DOWN);
  form.Key(VK_DOWN);
  EXPECT_EQ(SendMessage(list, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Codes(kListId), (std::vector<WORD>{CBN_SELCHANGE, CBN_SELCHANGE}));
  g_parent.notes.clear();
  EnableWindow(list, FALSE);
  EXPECT_FALSE(form.Choose("cboList", "entry 2") || Info("cboList").enabled);
  EXPECT_TRUE(Codes(kListId).empty());
}

TEST_F(ControlsOnAForm, AnAutoCheckBoxTogglesOnClickAndAPushButtonClicksWhenReleasedOverIt) {
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
  // A push button has no check state and clicks only when released over it.
  EXPECT_EQ(Info("cmdPush").checked, -1);
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
  EXPECT_EQ(std::pair(Info("txtBox").text, g_parent.Count(EN_CHANGE)), std::pair(std::string("12.5"), 4))
      << "one change per character typed";
  ASSERT_TRUE(form.SetText("txtBox", ""));
  EXPECT_EQ(Info("txtBox").text, "");
  EXPECT_FALSE(form.SetText("cboList", "x")) << "not a text box";
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

// The edit control, with a parent that logs its notifications and can colour it.
class EditControl : public ::testing::Test {
 protected:
  void SetUp() override {
    baseWindows_ = user::LiveWindowCount();
    user::ResetScripts();
    g_parent = ParentLog{};
    parent_ = CreateWindowEx(0, ParentClass(), "", WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(parent_);
    user::PumpMessages();
    EXPECT_EQ(user::LiveWindowCount(), baseWindows_);
    user::ResetScripts();
  }
  HWND Make(DWORD style, const char* text = "", int h = 24) {
    HWND e = CreateWindowEx(WS_EX_CLIENTEDGE, "EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, h, parent_,
                            reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(42)), nullptr, nullptr);
    SetFocus(e);
    user::PumpMessages();
    g_parent.notes.clear();
    return e;
  }
  static std::string Text(HWND e) { char buf[512]; GetWindowText(e, buf, sizeof buf); return buf; }
  static std::pair<DWORD, DWORD> Sel(HWND e) {
    DWORD s = 0, t = 0;
    SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&t));
    return {s, t};
  }
  // The text with the selection's ends, comparable in one assertion.
  static std::tuple<std::string, DWORD, DWORD> State(HWND e) { return {Text(e), Sel(e).first, Sel(e).second}; }
  using Want = std::tuple<std::string, DWORD, DWORD>;
  static void Keys(std::initializer_list<int> vks) { for (int vk : vks) Key(vk); }
  static void Key(int vk, bool shift = false, bool ctrl = false) {
    if (shift) user::InjectKey(VK_SHIFT, true);
    if (ctrl) user::InjectKey(VK_CONTROL, true);
    user::InjectKey(vk, true);
    user::InjectKey(vk, false);
    if (ctrl) user::InjectKey(VK_CONTROL, false);
    if (shift) user::InjectKey(VK_SHIFT, false);
    user::PumpMessages();
  }
  static std::string Clipboard() { std::string s; EXPECT_TRUE(GetClipboardText(&s)); return s; }
  static void Type(const std::string& s) { user::InjectText(s); user::PumpMessages(); }

  HWND parent_ = nullptr;
  int baseWindows_ = 0;
};

TEST_F(EditControl, TypingEditsTheTextAndTellsTheParent) {
  HWND e = Make(ES_AUTOHSCROLL);
  Type("Hello World");
  EXPECT_EQ(State(e), Want("Hello World", 11, 11));
  EXPECT_EQ(g_parent.Count(EN_CHANGE), 11) << "one EN_CHANGE per accepted character";
  Keys({VK_BACK, VK_HOME, VK_DELETE});
  EXPECT_EQ(std::tuple(Text(e), SendMessage(e, EM_GETMODIFY, 0, 0)), std::tuple("ello Worl", true));
  Type("\xC3\xA9");  // a character with no key of its own
  EXPECT_EQ(State(e), Want("\xC3\xA9" "ello Worl", 1, 1)) << "indices count characters";
  EXPECT_EQ(GetWindowTextLength(e), 11) << "bytes of UTF-8";
  SetWindowText(e, "reset");
  EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0) || SendMessage(e, EM_CANUNDO, 0, 0));
  EXPECT_EQ(Sel(e), std::make_pair(0u, 0u));
}

TEST_F(EditControl, SelectionByKeyboardAndReplacement) {
  HWND e = Make(ES_AUTOHSCROLL, "one two three");
  SendMessage(e, EM_SETSEL, 4, 4);
  for (int i = 0; i < 3; ++i) Key(VK_RIGHT, true);
  EXPECT_EQ(Sel(e), std::make_pair(4u, 7u));
  SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("2"));
  EXPECT_EQ(State(e), Want("one 2 three", 5, 5)) << "the caret follows the inserted text";
  EXPECT_TRUE(SendMessage(e, EM_CANUNDO, 0, 0));
  SendMessage(e, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(e), "one two three");
  SendMessage(e, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(e), "one 2 three") << "undo of the undo redoes";
  Key(VK_END);
  Key(VK_LEFT, true, true);  // Ctrl+Shift+Left: a word
  EXPECT_EQ(Sel(e), std::make_pair(6u, 11u));
  SendMessage(e, EM_SETSEL, 0, -1);
  EXPECT_EQ(Sel(e), std::make_pair(0u, 11u));
  SendMessage(e, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(Sel(e).first, Sel(e).second) << "-1 removes the selection";
  SendMessage(e, EM_SETSEL, 8, 2);  // anchor after caret
  EXPECT_EQ(Sel(e), std::make_pair(2u, 8u));
  EXPECT_EQ(SendMessage(e, EM_GETSEL, 0, 0), MAKELONG(2, 8));
}

TEST_F(EditControl, MultiLineTextAnswersLineAndColumnQueries) {
  HWND e = Make(ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL, "", 80);
  Type("first\rsecond line\rx");
  EXPECT_EQ(Text(e), "first\r\nsecond line\r\nx");
  struct Query { UINT msg; WPARAM wp; LRESULT result; };
  const Query queries[] = {{EM_GETLINECOUNT, 0, 3},  {EM_LINEINDEX, 1, 7},    {EM_LINEINDEX, 2, 20},
                           {EM_LINEINDEX, 3, -1},    {EM_LINEFROMCHAR, 9, 1}, {EM_LINELENGTH, 9, 11},
                           {EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 2}};  // -1: the caret's line
  for (const Query& q : queries) EXPECT_EQ(SendMessage(e, q.msg, q.wp, 0), q.result) << std::hex << q.msg << " " << q.wp;
  char buf[32] = {};
  *reinterpret_cast<WORD*>(buf) = sizeof buf;
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf)), 11);
  EXPECT_EQ(std::string(buf, 11), "second line");

  // up keeps the column where the line allows it; the caret never splits CR LF
  SendMessage(e, EM_SETSEL, 16, 16);
  Key(VK_UP);
  EXPECT_EQ(Sel(e).first, 5u) << "column 9 clipped to the end of 'first'";
  Key(VK_RIGHT);
  EXPECT_EQ(Sel(e).first, 7u);
  Key(VK_BACK);
  EXPECT_EQ(Text(e), "firstsecond line\r\nx") << "backspace removes the whole line break";
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 2);
  // Positions grow along a line and down the lines, and map back to their character and line.
  const LRESULT p0 = SendMessage(e, EM_POSFROMCHAR, 0, 0), p3 = SendMessage(e, EM_POSFROMCHAR, 3, 0);
  const LRESULT p18 = SendMessage(e, EM_POSFROMCHAR, 18, 0);
  EXPECT_TRUE(GET_X_LPARAM(p3) > GET_X_LPARAM(p0) && GET_Y_LPARAM(p18) > GET_Y_LPARAM(p0));
  EXPECT_EQ(std::pair(LOWORD(SendMessage(e, EM_CHARFROMPOS, 0, p3)), HIWORD(SendMessage(e, EM_CHARFROMPOS, 0, p18))),
            std::pair(WORD{3}, WORD{1}));
  SendMessage(e, EM_LINESCROLL, 0, 1);
  EXPECT_EQ(std::pair(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), LRESULT{GetScrollPos(e, SB_VERT)}),
            std::pair(LRESULT{1}, LRESULT{1}));
  SendMessage(e, EM_SETSEL, 0, 0);
  SendMessage(e, EM_SCROLLCARET, 0, 0);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // Typing past the bottom scrolls just enough: the caret's line is the last whole line shown.
  SendMessage(e, EM_SETSEL, 19, 19);  // the end
  Type("\r3\r4\r5\r6\r7\r8");
  RECT rc;
  GetClientRect(e, &rc);
  ASSERT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 8);
  const int caret = GET_Y_LPARAM(SendMessage(e, EM_POSFROMCHAR, 36, 0));  // the last line, "8"
  const int above = GET_Y_LPARAM(SendMessage(e, EM_POSFROMCHAR, 33, 0));
  EXPECT_LE(2 * caret - above, rc.bottom);
  EXPECT_GT(3 * caret - 2 * above, rc.bottom);
}

TEST_F(EditControl, LimitAndPasswordCharacter) {
  HWND e = Make(ES_AUTOHSCROLL);
  SendMessage(e, EM_LIMITTEXT, 5, 0);
  const int beeps = user::BeepCount();
  Type("abcdefg");
  EXPECT_EQ(std::tuple(SendMessage(e, EM_GETLIMITTEXT, 0, 0), Text(e)), std::tuple(5, "abcde"));
  EXPECT_EQ(std::pair(user::BeepCount() - beeps, g_parent.Count(EN_MAXTEXT)), std::pair(2, 2)) << "each refusal";
  SendMessage(e, EM_SETSEL, 0, -1);
  SendMessage(e, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("123456789"));
  EXPECT_EQ(Text(e), "12345") << "replacement is held to the limit too";

  SendMessage(e, EM_SETPASSWORDCHAR, '#', 0);
  EXPECT_EQ(std::pair(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), GetWindowLongPtr(e, GWL_STYLE) & ES_PASSWORD),
            std::pair(LRESULT{'#'}, LONG_PTR{ES_PASSWORD}));
  EXPECT_EQ(Text(e), "12345") << "the real text stays readable to the program";
  SendMessage(e, EM_SETSEL, 0, -1);
  SetClipboardText("before");
  SendMessage(e, WM_COPY, 0, 0);
  EXPECT_EQ(Clipboard(), "before") << "a password cannot be copied out";
  SendMessage(e, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_FALSE(GetWindowLongPtr(e, GWL_STYLE) & ES_PASSWORD);
}

TEST_F(EditControl, CutCopyPasteThroughTheClipboard) {
  HWND e = Make(ES_AUTOHSCROLL, "alpha beta");
  SendMessage(e, EM_SETSEL, 0, 5);
  Key('C', false, true);
  EXPECT_TRUE(Clipboard() == "alpha" && IsClipboardFormatAvailable(CF_TEXT));
  Key(VK_END);
  Key('V', false, true);
  EXPECT_EQ(Text(e), "alpha betaalpha");
  SendMessage(e, EM_SETSEL, 6, 10);
  Key('X', false, true);
  EXPECT_EQ(std::pair(Text(e), Clipboard()), std::pair(std::string("alpha alpha"), std::string("beta")));
  SendMessage(e, EM_SETSEL, 0, 6);
  SendMessage(e, WM_CLEAR, 0, 0);
  EXPECT_EQ(Text(e), "alpha");
  Key(VK_INSERT, true);  // Shift+Insert pastes
  EXPECT_EQ(Text(e), "betaalpha");

  SetClipboardText("two\r\nlines");
  SendMessage(e, EM_SETSEL, 0, -1);
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), "two") << "a single-line box pastes the first line";

  // read-only: no typing, cutting or pasting, but copying works
  SendMessage(e, EM_SETREADONLY, TRUE, 0);
  Type("zz");
  SendMessage(e, EM_SETSEL, 0, -1);
  SendMessage(e, WM_CUT, 0, 0);
  SendMessage(e, WM_PASTE, 0, 0);
  SendMessage(e, WM_COPY, 0, 0);
  EXPECT_EQ(std::pair(Text(e), Clipboard()), std::pair(std::string("two"), std::string("two")));
}

TEST_F(EditControl, ContextMenuOffersWhatApplies) {
  HWND e = Make(ES_AUTOHSCROLL, "menu text");
  SetClipboardText("X");
  SendMessage(e, EM_SETSEL, 0, 4);
  user::QueuePopupMenuAnswer(WM_PASTE);
  user::InjectMouseButton(parent_, 2, true, 20, 15);
  user::InjectMouseButton(parent_, 2, false, 20, 15);
  user::PumpMessages();
  const auto& menu = user::LastPopupMenu();
  ASSERT_EQ(menu.size(), 8u);
  std::vector<std::pair<UINT_PTR, bool>> items;
  for (auto& m : menu)
    if (!m.separator && m.id >= WM_CUT && m.id <= WM_UNDO) items.emplace_back(m.id, m.enabled);
  EXPECT_EQ(items, (std::vector<std::pair<UINT_PTR, bool>>{
                       {WM_UNDO, false}, {WM_CUT, true}, {WM_COPY, true}, {WM_PASTE, true}, {WM_CLEAR, true}}));
  EXPECT_EQ(Text(e), "X text") << "the chosen command ran";
  EXPECT_TRUE(SendMessage(e, EM_CANUNDO, 0, 0));
}

TEST_F(EditControl, MouseClickPlacesTheCaretAndDragSelects) {
  HWND e = Make(ES_AUTOHSCROLL, "abcdefghij");
  POINT p3{GET_X_LPARAM(SendMessage(e, EM_POSFROMCHAR, 3, 0)), 5};
  POINT p7{GET_X_LPARAM(SendMessage(e, EM_POSFROMCHAR, 7, 0)), 5};
  // client of the edit starts at (10 + 2, 10 + 2) in the parent
  user::InjectMouseButton(parent_, 1, true, 12 + p3.x, 12 + p3.y);
  user::InjectMouseMove(parent_, 12 + p7.x, 12 + p7.y);
  user::InjectMouseButton(parent_, 1, false, 12 + p7.x, 12 + p7.y);
  user::PumpMessages();
  EXPECT_EQ(std::tuple(Sel(e), GetFocus(), GetCapture()), std::tuple(std::pair(3u, 7u), e, HWND{}));
}

TEST_F(EditControl, ColoursComeFromTheParent) {
  const OwnedBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  g_parent.brush = red;
  g_parent.text = RGB(0, 0, 255);
  HWND e = Make(ES_AUTOHSCROLL, "WWWW");
  SetFocus(parent_);  // no caret, no selection drawn
  RECT rc;
  GetClientRect(e, &rc);
  EXPECT_EQ(user::WindowPixel(e, rc.right - 3, rc.bottom - 3), RGB(255, 0, 0));
  bool blue = false;
  for (int x = 0; x < 40; ++x)
    for (int y = 0; y < rc.bottom; ++y)
      blue = blue || (GetBValue(user::WindowPixel(e, x, y)) > 150 && GetRValue(user::WindowPixel(e, x, y)) < 100);
  EXPECT_TRUE(blue) << "the text is drawn in the parent's colour";
  // the sunken client edge is the frame's, outside the client area
  EXPECT_EQ(user::WindowPixel(parent_, 10, 10), GetSysColor(COLOR_BTNSHADOW));
  DestroyWindow(e);
}

}  // namespace
}  // namespace ktfolio
