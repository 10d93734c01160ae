// The window manager's core: lifecycle, window data, properties, the message
// loop, timers, focus, input routing and packing, painting and scroll bars,
// seen through a window class whose procedure records every message it gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <thread>

#include "platform/user/user.h"

namespace ktfolio::win {
namespace {

struct Seen { HWND hwnd; UINT msg; WPARAM wParam; LPARAM lParam; };
std::vector<Seen>& Log() { static std::vector<Seen> log; return log; }
LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Log().push_back(Seen{hwnd, msg, wParam, lParam});
  return DefWindowProc(hwnd, msg, wParam, lParam);
}
// The recording class with the given style (0 or CS_DBLCLKS), registered on first use.
const char* RecordingClass(UINT style = 0) {
  const char* name = style ? "TestRecorderDbl" : "TestRecorder";
  WNDCLASSEX wc{.style = style, .lpfnWndProc = RecordingProc, .lpszClassName = name};
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
  RegisterClassEx(&wc);  // refused, harmlessly, once registered
  return name;
}
// What `hwnd` (any window when null) got of the messages in [from, to].
std::vector<Seen> Entries(HWND hwnd, UINT from = 0, UINT to = 0xFFFFFFFF) {
  std::vector<Seen> out;
  std::copy_if(Log().begin(), Log().end(), std::back_inserter(out),
               [&](auto& s) { return (!hwnd || s.hwnd == hwnd) && s.msg >= from && s.msg <= to; });
  return out;
}
std::vector<UINT> MessagesOf(HWND hwnd, UINT from = 0, UINT to = 0xFFFFFFFF) {
  std::vector<UINT> out;
  for (auto& s : Entries(hwnd, from, to)) out.push_back(s.msg);
  return out;
}
int Count(HWND hwnd, UINT msg) { return static_cast<int>(Entries(hwnd, msg, msg).size()); }
const Seen* Last(HWND hwnd, UINT msg) {
  for (auto it = Log().rbegin(); it != Log().rend(); ++it)
    if (it->hwnd == hwnd && it->msg == msg) return &*it;
  return nullptr;
}

class UserWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    baseWindows_ = user::LiveWindowCount();
    baseTimers_ = user::LiveTimerCount();
    user::PumpMessages();
    Log().clear();
  }
  void TearDown() override {
    for (HWND h : owned_) DestroyWindow(h);
    user::PumpMessages();
    EXPECT_EQ(user::LiveWindowCount(), baseWindows_) << "windows left behind";
    EXPECT_EQ(user::LiveTimerCount(), baseTimers_) << "timers left behind";
  }
  HWND Top(int w = 200, int h = 150, DWORD style = WS_VISIBLE, UINT cls = 0) {
    HWND hwnd = CreateWindowEx(0, RecordingClass(cls), "top", WS_OVERLAPPED | style, 10, 20, w, h, nullptr, nullptr,
                               nullptr, nullptr);
    owned_.push_back(hwnd);
    return hwnd;
  }
  HWND Child(HWND parent, int x, int y, int w, int h, int id = 0, DWORD style = WS_VISIBLE, UINT cls = 0) {
    return CreateWindowEx(0, RecordingClass(cls), "", WS_CHILD | style, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
  }
  static void Click(HWND top, int x, int y) {
    user::InjectMouseButton(top, 1, true, x, y);
    user::InjectMouseButton(top, 1, false, x, y);
    user::PumpMessages();
  }
  static void Move(HWND top, int x, int y) {
    user::InjectMouseMove(top, x, y);
    user::PumpMessages();
  }
  int baseWindows_ = 0, baseTimers_ = 0;
  std::vector<HWND> owned_;
};

TEST_F(UserWindow, CreationAndDestructionSendTheirMessagesInOrder) {
  HWND top = Top(), child = Child(top, 5, 5, 50, 40, 7), grand = Child(child, 1, 1, 10, 10);
  ASSERT_TRUE(top && child && grand);
  const std::vector<UINT> created = MessagesOf(child);
  ASSERT_GE(created.size(), 4u);
  EXPECT_EQ(std::vector<UINT>(created.begin(), created.begin() + 2), (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
  ASSERT_EQ(Count(child, WM_SIZE), 1);
  EXPECT_EQ(Last(child, WM_SIZE)->lParam, MAKELONG(50, 40));
  EXPECT_EQ(std::tuple(GetParent(grand), GetDlgItem(top, 7), GetDlgCtrlID(child)), std::tuple(child, child, 7));
  EXPECT_TRUE(IsChild(top, grand));
  Log().clear();
  EXPECT_TRUE(DestroyWindow(child));
  std::vector<std::pair<HWND, UINT>> order;
  for (auto& s : Entries(nullptr, WM_DESTROY, WM_NCDESTROY)) order.emplace_back(s.hwnd, s.msg);
  EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{
                       {child, WM_DESTROY}, {grand, WM_DESTROY}, {grand, WM_NCDESTROY}, {child, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(child) || IsWindow(grand) || DestroyWindow(child));
  EXPECT_EQ(std::tuple(IsWindow(top), GetWindow(top, GW_CHILD)), std::tuple(true, nullptr));
}

TEST_F(UserWindow, CreationFailsForUnknownClassOrptOutFromWmCreate) {
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowEx(0, RecordingClass(), "", WS_CHILD, 0, 0, 10, 10, {}, {}, {}, {}), nullptr) << "no parent";
  auto refuse = [](HWND h, UINT m, WPARAM w, LPARAM l) { return m == WM_CREATE ? -1 : DefWindowProc(h, m, w, l); };
  WNDCLASSEX wc{.lpfnWndProc = refuse, .lpszClassName = "RefuseCreate"};
  RegisterClassEx(&wc);
  EXPECT_EQ(RegisterClassEx(&wc), 0) << "a class name is registered once";
  EXPECT_EQ(CreateWindowEx(0, "refusecreate", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

LRESULT Replacement(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_USER + 1) return 4242;
  return CallWindowProc(RecordingProc, hwnd, msg, wp, lp);
}

TEST_F(UserWindow, WindowLongsAndProcedureReplacement) {
  HWND top = Top();
  EXPECT_EQ(GetWindowLongPtr(top, GWL_STYLE) & WS_VISIBLE, static_cast<LONG_PTR>(WS_VISIBLE));
  SetWindowLongPtr(top, GWLP_USERDATA, 99);
  EXPECT_EQ(GetWindowLongPtr(top, GWLP_USERDATA), 99);
  EXPECT_EQ(SetWindowLongPtr(top, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Replacement)),
            reinterpret_cast<LONG_PTR>(&RecordingProc));
  EXPECT_EQ(SendMessage(top, WM_USER + 1, 0, 0), 4242);
  SendMessage(top, WM_USER + 2, 1, 2);
  EXPECT_EQ(Count(top, WM_USER + 2), 1) << "the replacement forwards to the old procedure";
  EXPECT_EQ(SetWindowLongPtr(reinterpret_cast<HWND>(0x12345), GWL_WNDPROC, 1), 0);

  char name[32], text[4];
  EXPECT_EQ(GetClassName(top, name, sizeof name), 12);
  SetWindowText(top, "Hello");
  EXPECT_EQ(GetWindowText(top, text, sizeof text), 3) << "truncated to the buffer";
  EXPECT_EQ(std::tuple(std::string(name), std::string(text), GetWindowTextLength(top)),
            std::tuple("TestRecorder", "Hel", 5));
  DWORD pid = 0;
  EXPECT_EQ(GetWindowThreadProcessId(top, &pid), GetCurrentThreadId());
  EXPECT_EQ(pid, GetCurrentProcessId());
  user::SetWindowProcessId(top, pid + 1);
  EXPECT_EQ(SetWindowLongPtr(top, GWLP_USERDATA, 5), 0) << "another process's window cannot be changed";
  user::SetWindowProcessId(top, pid);
}

TEST_F(UserWindow, PropertiesAreNamedCaseInsensitivelyAndDieWithTheWindow) {
  int base = user::LivePropertyCount();
  HWND top = Top();
  int a = 1, b = 2;
  EXPECT_TRUE(SetProp(top, "First", &a) && SetProp(top, "second", &b));
  EXPECT_EQ(GetProp(top, "FIRST"), &a);
  EXPECT_TRUE(SetProp(top, "first", &b));  // replaces
  EXPECT_EQ(std::pair(GetProp(top, "First"), GetProp(top, "missing")), (std::pair<HANDLE, HANDLE>(&b, nullptr)));
  std::vector<std::string> names;
  for (const auto& p : user::ListProps(top)) names.push_back(p.first);
  EXPECT_EQ(names, (std::vector<std::string>{"First", "second"}));
  static int visited;
  visited = 0;
  EXPECT_EQ(EnumProps(top, [](HWND, LPCSTR, HANDLE) -> BOOL { return ++visited; }), 2);
  EXPECT_EQ(std::tuple(visited, RemoveProp(top, "SECOND")), std::tuple(2, &b));
  EXPECT_EQ(RemoveProp(top, "second"), nullptr) << "removed once";
  EXPECT_EQ(user::LivePropertyCount(), base + 1);
  DestroyWindow(top);
  EXPECT_EQ(std::tuple(user::LivePropertyCount(), SetProp(top, "x", &a)), std::tuple(base, false));
}

TEST_F(UserWindow, PostedMessagesWaitForTheLoopSentOnesDoNot) {
  HWND top = Top();
  Log().clear();
  PostMessage(top, WM_USER + 5, 1, 2);
  SendMessage(top, WM_USER + 6, 0, 0);
  EXPECT_EQ(MessagesOf(top, WM_USER, WM_USER + 10), std::vector<UINT>{WM_USER + 6});
  MSG m, kept;
  ASSERT_TRUE(PeekMessage(&kept, nullptr, WM_USER, WM_USER + 10, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER, WM_USER + 10, PM_REMOVE)) << "PM_NOREMOVE left it queued";
  EXPECT_EQ(std::tuple(kept.message, m.message, m.wParam, m.lParam), std::tuple(WM_USER + 5u, WM_USER + 5u, 1u, 2));
  DispatchMessage(&m);
  EXPECT_EQ(Count(top, WM_USER + 5), 1);
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));

  PostMessage(top, WM_USER + 7, 0, 0);
  DestroyWindow(top);
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER, WM_USER + 10, PM_REMOVE)) << "a dead window's messages go with it";

  PostQuitMessage(3);
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(std::make_pair(m.message, m.wParam), std::make_pair(UINT{WM_QUIT}, WPARAM{3}));
}

TEST_F(UserWindow, MessagesPostedFromAnotherThreadWakeTheLoop) {
  HWND top = Top();
  std::thread poster([top] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    PostMessage(top, WM_USER + 9, 0, 0);
  });
  MSG m;
  do {
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    DispatchMessage(&m);
  } while (m.message != WM_USER + 9);
  poster.join();
  EXPECT_EQ(Count(top, WM_USER + 9), 1);
}

std::vector<std::pair<UINT_PTR, DWORD>> g_ticks;
void OnTick(HWND, UINT msg, UINT_PTR id, DWORD) {
  EXPECT_EQ(msg, WM_TIMER);
  g_ticks.emplace_back(id, GetCurrentThreadId());
}

TEST_F(UserWindow, TimersFireFromTheLoopOfTheOwnerThread) {
  HWND top = Top();
  EXPECT_EQ(SetTimer(top, 5, 20, nullptr), 5u);
  g_ticks.clear();
  const UINT_PTR free = SetTimer(nullptr, 0, 20, OnTick);
  ASSERT_NE(free, 0u);
  EXPECT_EQ(user::LiveTimerCount(), baseTimers_ + 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  EXPECT_TRUE(Count(top, WM_TIMER) == 0 && g_ticks.empty()) << "nothing fires outside the loop";
  user::PumpFor(130);
  const int windowTicks = Count(top, WM_TIMER);
  EXPECT_TRUE(windowTicks >= 3 && windowTicks <= 8) << windowTicks << ": a late timer fires once, not per period";
  EXPECT_EQ(Last(top, WM_TIMER)->wParam, 5u);
  ASSERT_GE(g_ticks.size(), 3u);
  for (auto& tick : g_ticks) EXPECT_EQ(tick, std::make_pair(free, GetCurrentThreadId()));
  EXPECT_TRUE(KillTimer(nullptr, free));
  EXPECT_FALSE(KillTimer(nullptr, free));
  const size_t ticks = g_ticks.size();
  user::PumpFor(50);
  EXPECT_EQ(g_ticks.size(), ticks);
  DestroyWindow(top);
  EXPECT_EQ(user::LiveTimerCount(), baseTimers_) << "a window's timers die with it";
}

TEST_F(UserWindow, FocusMovesWithKillAndSetFocusMessages) {
  HWND top = Top(), a = Child(top, 0, 0, 50, 20), b = Child(top, 0, 30, 50, 20);
  SetFocus(a);
  Log().clear();
  EXPECT_EQ(SetFocus(b), a);
  ASSERT_TRUE(Last(a, WM_KILLFOCUS) && Last(b, WM_SETFOCUS));
  EXPECT_EQ(std::tuple(Last(a, WM_KILLFOCUS)->wParam, Last(b, WM_SETFOCUS)->wParam, GetFocus()),
            std::tuple(reinterpret_cast<WPARAM>(b), reinterpret_cast<WPARAM>(a), b));
  DestroyWindow(b);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(UserWindow, KeysArePackedLikeWin32AndTranslateToCharacters) {
  HWND edit = Child(Top(), 0, 0, 50, 20);
  SetFocus(edit);
  Log().clear();
  for (auto [vk, up] : {std::pair<int, DWORD>{VK_SHIFT, 0}, {'A', 0}, {'A', KEYEVENTF_KEYUP}, {VK_SHIFT, KEYEVENTF_KEYUP}})
    keybd_event(static_cast<BYTE>(vk), 0, up, 0);
  EXPECT_EQ(GetAsyncKeyState('A'), 0) << "released already";
  user::PumpMessages();
  const std::vector<Seen> keys = Entries(edit, WM_KEYDOWN, WM_CHAR);
  ASSERT_EQ(keys.size(), 5u);
  EXPECT_EQ(std::make_pair(keys[1].msg, keys[1].wParam), std::make_pair(UINT{WM_KEYDOWN}, WPARAM{'A'}));
  // Repeat count 1, the scan code, not a release.
  EXPECT_EQ(static_cast<DWORD>(keys[1].lParam), 1u | MapVirtualKey('A', MAPVK_VK_TO_VSC) << 16);
  EXPECT_EQ(std::make_pair(keys[2].msg, keys[2].wParam), std::make_pair(UINT{WM_CHAR}, WPARAM{'A'})) << "shift held";
  // The release with its previous-state and transition bits.
  EXPECT_EQ(std::pair(keys[3].msg, static_cast<DWORD>(keys[3].lParam) >> 30), std::pair(UINT{WM_KEYUP}, 3u));
  EXPECT_EQ(std::pair(MapVirtualKey(VK_TAB, MAPVK_VK_TO_VSC), MapVirtualKey(0x1E, MAPVK_VSC_TO_VK)),
            std::pair(15u, 65u));
}

SHORT g_shiftSeen = 0;
LRESULT ShiftProbe(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN && wp == 'B') g_shiftSeen = GetKeyState(VK_SHIFT);
  return DefWindowProc(hwnd, msg, wp, lp);
}

TEST_F(UserWindow, GetKeyStateFollowsTheMessagesAlreadyTaken) {
  HWND top = Top();
  SetWindowLongPtr(top, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&ShiftProbe));
  SetFocus(top);
  for (auto [vk, down] : {std::pair<int, bool>{VK_SHIFT, true}, {'B', true}, {'B', false}, {VK_SHIFT, false}})
    user::InjectKey(vk, down);
  EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0) << "the asynchronous state is already up";
  g_shiftSeen = 0;
  user::PumpMessages();
  EXPECT_LT(g_shiftSeen, 0) << "while B was handled, Shift was down";
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(UserWindow, MouseInputGoesToTheWindowUnderThePointerInClientCoordinates) {
  HWND top = Top(200, 150, WS_VISIBLE, CS_DBLCLKS);
  HWND child = Child(top, 40, 30, 60, 50, 0, WS_VISIBLE | WS_BORDER, CS_DBLCLKS);
  Log().clear();
  Click(top, 45, 35);
  const auto* down = Last(child, WM_LBUTTONDOWN);
  ASSERT_TRUE(down && Last(child, WM_LBUTTONUP));
  EXPECT_EQ(std::tuple(down->wParam, down->lParam, Last(child, WM_LBUTTONUP)->wParam),
            std::tuple(MK_LBUTTON, MAKELONG(4, 4), 0u)) << "40 + 1 border";
  EXPECT_EQ(std::pair(Count(child, WM_MOUSEACTIVATE), Count(top, WM_LBUTTONDOWN)), std::pair(1, 0));
  Click(top, 46, 35);
  EXPECT_EQ(Count(child, WM_LBUTTONDBLCLK), 1);
  // capture: a move far outside still reaches the child, in its coordinates
  SetCapture(child);
  Move(top, 150, 120);
  ASSERT_NE(Last(child, WM_MOUSEMOVE), nullptr);
  EXPECT_EQ(GET_X_LPARAM(Last(child, WM_MOUSEMOVE)->lParam), 150 - 41);
  ReleaseCapture();
  EXPECT_EQ(Count(child, WM_CAPTURECHANGED), 1);
  Log().clear();
  Move(top, 150, 120);
  EXPECT_EQ(std::pair(Count(child, WM_MOUSEMOVE), Count(top, WM_MOUSEMOVE)), std::pair(0, 1));
  Click(top, 100, 35);  // a window's right edge is outside it: the click there is the parent's
  EXPECT_EQ(std::pair(Count(child, WM_LBUTTONDOWN), Count(top, WM_LBUTTONDOWN)), std::pair(0, 1));
}

TEST_F(UserWindow, TrackMouseEventReportsTheLeave) {
  HWND top = Top(), a = Child(top, 0, 0, 50, 50);
  Move(top, 10, 10);
  TRACKMOUSEEVENT tme{.dwFlags = TME_LEAVE, .hwndTrack = a};
  ASSERT_TRUE(TrackMouseEvent(&tme));
  std::vector<int> leaves;
  for (int at : {20, 100, 120}) { Move(top, at, at); leaves.push_back(Count(a, WM_MOUSELEAVE)); }
  TrackMouseEvent(&tme);  // a window the pointer is not over reports at once
  user::PumpMessages();
  leaves.push_back(Count(a, WM_MOUSELEAVE));
  EXPECT_EQ(leaves, (std::vector<int>{0, 1, 1, 2})) << "tracking ends with the leave";
}

TEST_F(UserWindow, CursorFromTheClassUnderThePointer) {
  WNDCLASSEX wc{.lpfnWndProc = DefWindowProc, .hCursor = LoadCursor(nullptr, IDC_HAND), .lpszClassName = "HandCursor"};
  RegisterClassEx(&wc);
  HWND top = Top();
  CreateWindowEx(0, "HandCursor", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, nullptr, nullptr, nullptr);
  Move(top, 10, 10);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
  Move(top, 100, 100);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(UserWindow, ScriptedMessageBoxesAndMenus) {
  user::ResetScripts();
  user::QueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBox(nullptr, "Sure?", "Q", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBox(nullptr, "Again?", "Q", MB_YESNO), IDYES) << "no script: the first button";
  ASSERT_EQ(user::MessageBoxLog().size(), 2u);
  EXPECT_EQ(user::MessageBoxLog()[0].text, "Sure?");
  HMENU menu = CreatePopupMenu();
  AppendMenu(menu, MF_STRING, 10, "One");
  AppendMenu(menu, MF_GRAYED, 11, "Two");
  for (UINT_PTR choice : {11, 10}) {  // a disabled item cannot be chosen
    user::QueuePopupMenuAnswer(choice);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, nullptr, nullptr), choice == 10 ? 10 : 0);
  }
  EXPECT_FALSE(user::LastPopupMenu()[1].enabled);
  DestroyMenu(menu);
  const int beeps = user::BeepCount();
  MessageBeep(0);
  EXPECT_EQ(user::BeepCount(), beeps + 1);
  user::ResetScripts();
}

TEST_F(UserWindow, InvalidationBringsOnePaintWithTheUpdateRectangle) {
  HWND top = Top(100, 80);
  user::PumpMessages();
  EXPECT_EQ(Count(top, WM_PAINT), 1);
  EXPECT_EQ(user::WindowPixel(top, 50, 40), GetSysColor(COLOR_WINDOW)) << "erased with the class brush";
  RECT r{10, 10, 20, 30}, upd, box{0, 0, 5, 5};
  InvalidateRect(top, &r, TRUE);
  InvalidateRect(top, &r, TRUE);
  EXPECT_TRUE(GetUpdateRect(top, &upd, FALSE));
  EXPECT_EQ(upd.right, 20);
  user::PumpMessages();
  EXPECT_EQ(Count(top, WM_PAINT), 2) << "two invalidations, one paint";
  EXPECT_FALSE(GetUpdateRect(top, &upd, FALSE));
  HDC hdc = GetDC(top);
  FillRect(hdc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(top, hdc);
  EXPECT_EQ(user::WindowPixel(top, 2, 2), RGB(0, 0, 0)) << "GetDC draws on the window's surface";
}

TEST_F(UserWindow, ScrollBarsTakeClientSpaceAndAnswerClicksAndDrags) {
  HWND top = Top(200, 150);
  SCROLLINFO si{.fMask = SIF_RANGE | SIF_PAGE | SIF_POS, .nMax = 99, .nPage = 10, .nPos = 200};
  Log().clear();
  EXPECT_EQ(SetScrollInfo(top, SB_VERT, &si, TRUE), 90) << "the position stops at max - page + 1";
  EXPECT_TRUE(GetWindowLongPtr(top, GWL_STYLE) & WS_VSCROLL) << "a needed bar shows itself";
  RECT rc;
  GetClientRect(top, &rc);
  ASSERT_NE(Last(top, WM_SIZE), nullptr);
  EXPECT_EQ(std::pair(rc.right, LONG{LOWORD(Last(top, WM_SIZE)->lParam)}),
            std::pair(LONG{200 - GetSystemMetrics(SM_CXVSCROLL)}, LONG{183}));
  auto codes = [&] {
    std::vector<int> out;
    for (auto& s : Entries(top, WM_VSCROLL, WM_VSCROLL)) out.push_back(LOWORD(s.wParam));
    return out;
  };
  SetScrollPos(top, SB_VERT, 0, TRUE);
  Log().clear();
  Click(top, 190, 140);  // the down arrow, at the bottom of the bar
  EXPECT_EQ(codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(Count(top, WM_LBUTTONDOWN), 0) << "clicks on the bar are not client clicks";
  Log().clear();
  user::InjectMouseButton(top, 1, true, 190, 20);  // drag the thumb from the top of the track to the bottom
  Move(top, 190, 145);
  SCROLLINFO track{.fMask = SIF_TRACKPOS | SIF_POS};
  GetScrollInfo(top, SB_VERT, &track);
  EXPECT_EQ(std::pair(track.nTrackPos, track.nPos), std::pair(90, 0)) << "the program moves the position itself";
  user::InjectMouseButton(top, 1, false, 190, 145);
  user::PumpMessages();
  const std::vector<int> drag = codes();
  ASSERT_GE(drag.size(), 3u);
  EXPECT_EQ(std::tuple(drag.front(), drag[drag.size() - 2], drag.back(), HIWORD(Last(top, WM_VSCROLL)->wParam)),
            std::tuple(SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL, 0));
  // disabled arrows do nothing; flat-bar calls act on the same bar
  EnableScrollBar(top, SB_VERT, ESB_DISABLE_BOTH);
  Log().clear();
  Click(top, 190, 140);
  EXPECT_EQ(Count(top, WM_VSCROLL), 0);
  EXPECT_TRUE(InitializeFlatSB(top) && FlatSB_SetScrollProp(top, WSB_PROP_VSTYLE, FSB_ENCARTA_MODE, TRUE));
  LONG_PTR mode = 0;
  FlatSB_GetScrollProp(top, WSB_PROP_VSTYLE, &mode);
  EXPECT_EQ(mode, FSB_ENCARTA_MODE);
  FlatSB_SetScrollPos(top, SB_VERT, 42, TRUE);
  EXPECT_EQ(GetScrollPos(top, SB_VERT), 42);
  FlatSB_ShowScrollBar(top, SB_VERT, FALSE);
  GetClientRect(top, &rc);
  EXPECT_EQ(rc.right, 200);
}

}  // namespace
}  // namespace ktfolio::win
