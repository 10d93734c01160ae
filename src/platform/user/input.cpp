// Keyboard and mouse: key state, the US keyboard layout, focus, activation,
// capture, mouse tracking, and the cooking of raw input into WM_* messages.
#include <algorithm>
#include <cstdlib>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {
namespace {

// Set-1 scan codes of the US layout, by virtual key.
int ScanOf(int vk) {
  static const char* row1 = "1234567890";
  if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
  if (vk == '0') return 0x0B;
  (void)row1;
  static const struct {
    char c;
    int scan;
  } letters[] = {{'Q', 0x10}, {'W', 0x11}, {'E', 0x12}, {'R', 0x13}, {'T', 0x14}, {'Y', 0x15}, {'U', 0x16},
                 {'I', 0x17}, {'O', 0x18}, {'P', 0x19}, {'A', 0x1E}, {'S', 0x1F}, {'D', 0x20}, {'F', 0x21},
                 {'G', 0x22}, {'H', 0x23}, {'J', 0x24}, {'K', 0x25}, {'L', 0x26}, {'Z', 0x2C}, {'X', 0x2D},
                 {'C', 0x2E}, {'V', 0x2F}, {'B', 0x30}, {'N', 0x31}, {'M', 0x32}};
  for (auto& l : letters)
    if (l.c == vk) return l.scan;
  if (vk >= VK_F1 && vk < VK_F1 + 10) return 0x3B + (vk - VK_F1);
  switch (vk) {
    case VK_ESCAPE: return 0x01;
    case VK_OEM_MINUS: return 0x0C;
    case VK_OEM_PLUS: return 0x0D;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_OEM_4: return 0x1A;
    case VK_OEM_6: return 0x1B;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return 0x1D;
    case VK_OEM_1: return 0x27;
    case VK_OEM_7: return 0x28;
    case VK_OEM_3: return 0x29;
    case VK_SHIFT: case VK_LSHIFT: return 0x2A;
    case VK_OEM_5: return 0x2B;
    case VK_OEM_COMMA: return 0x33;
    case VK_OEM_PERIOD: return 0x34;
    case VK_OEM_2: return 0x35;
    case VK_RSHIFT: return 0x36;
    case VK_MULTIPLY: return 0x37;
    case VK_MENU: case VK_LMENU: case VK_RMENU: return 0x38;
    case VK_SPACE: return 0x39;
    case VK_CAPITAL: return 0x3A;
    case VK_HOME: return 0x47;
    case VK_UP: return 0x48;
    case VK_PRIOR: return 0x49;
    case VK_SUBTRACT: return 0x4A;
    case VK_LEFT: return 0x4B;
    case VK_RIGHT: return 0x4D;
    case VK_ADD: return 0x4E;
    case VK_END: return 0x4F;
    case VK_DOWN: return 0x50;
    case VK_NEXT: return 0x51;
    case VK_INSERT: return 0x52;
    case VK_DELETE: return 0x53;
    case VK_F1 + 10: return 0x57;
    case VK_F12: return 0x58;
    default: return 0;
  }
}

bool IsExtended(int vk) {
  switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
    case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU: case VK_DIVIDE:
      return true;
    default: return false;
  }
}

struct OemChar {
  int vk;
  char plain;
  char shifted;
};
const OemChar kOem[] = {{VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},  {VK_OEM_COMMA, ',', '<'},
                        {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
                        {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},     {VK_OEM_5, '\\', '|'},
                        {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'}};
const char* kShiftedDigits = ")!@#$%^&*(";

// The character a key makes on the US layout with the given modifier state.
char32_t LayoutChar(int vk, bool shift, bool ctrl, bool caps) {
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return static_cast<char32_t>(vk - 'A' + 1);
    bool upper = shift != caps;
    return static_cast<char32_t>(upper ? vk : vk + 32);
  }
  if (ctrl) {
    if (vk == VK_RETURN) return U'\n';
    if (vk == VK_BACK) return 0x7F;
    if (vk == VK_OEM_4) return 0x1B;
    if (vk == VK_OEM_6) return 0x1D;
    if (vk == VK_OEM_5) return 0x1C;
    return 0;
  }
  if (vk >= '0' && vk <= '9') return static_cast<char32_t>(shift ? kShiftedDigits[vk - '0'] : vk);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return static_cast<char32_t>('0' + vk - VK_NUMPAD0);
  for (const OemChar& o : kOem)
    if (o.vk == vk) return static_cast<char32_t>(shift ? o.shifted : o.plain);
  switch (vk) {
    case VK_SPACE: return U' ';
    case VK_RETURN: return U'\r';
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    case VK_MULTIPLY: return U'*';
    case VK_ADD: return U'+';
    case VK_SUBTRACT: return U'-';
    case VK_DECIMAL: return U'.';
    case VK_DIVIDE: return U'/';
    default: return 0;
  }
}

// The key (and whether Shift is needed) that types a character on the US layout.
bool KeyForChar(char32_t ch, int* vk, bool* shift) {
  *shift = false;
  if (ch >= 'a' && ch <= 'z') return *vk = static_cast<int>(ch - 32), true;
  if (ch >= 'A' && ch <= 'Z') return *vk = static_cast<int>(ch), *shift = true, true;
  if (ch >= '0' && ch <= '9') return *vk = static_cast<int>(ch), true;
  for (int i = 0; i < 10; ++i)
    if (kShiftedDigits[i] == static_cast<char>(ch) && ch < 128) return *vk = '0' + i, *shift = true, true;
  for (const OemChar& o : kOem) {
    if (ch == static_cast<char32_t>(o.plain)) return *vk = o.vk, true;
    if (ch == static_cast<char32_t>(o.shifted)) return *vk = o.vk, *shift = true, true;
  }
  if (ch == U' ') return *vk = VK_SPACE, true;
  if (ch == U'\r' || ch == U'\n') return *vk = VK_RETURN, true;
  if (ch == U'\t') return *vk = VK_TAB, true;
  if (ch == 8) return *vk = VK_BACK, true;
  return false;
}

void SetAsync(int vk, bool down) {
  Desktop& d = TheDesktop();
  auto set = [&](int k) {
    if (down)
      d.asyncKeys[k] |= 0x80;
    else
      d.asyncKeys[k] &= ~0x80;
  };
  set(vk & 0xFF);
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) set(VK_SHIFT);
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) set(VK_CONTROL);
  if (vk == VK_LMENU || vk == VK_RMENU) set(VK_MENU);
}

bool QDown(const ThreadQueue& q, int vk) { return (q.keyState[vk] & 0x80) != 0; }

WPARAM MouseFlags(const ThreadQueue& q, int button, bool down) {
  bool l = QDown(q, VK_LBUTTON), r = QDown(q, VK_RBUTTON), m = QDown(q, VK_MBUTTON);
  if (button == 1) l = down;
  if (button == 2) r = down;
  if (button == 3) m = down;
  WPARAM f = 0;
  if (l) f |= MK_LBUTTON;
  if (r) f |= MK_RBUTTON;
  if (m) f |= MK_MBUTTON;
  if (QDown(q, VK_SHIFT)) f |= MK_SHIFT;
  if (QDown(q, VK_CONTROL)) f |= MK_CONTROL;
  return f;
}

LPARAM ClientLParam(HWND hwnd, POINT screen) {
  POINT p = screen;
  ScreenToClient(hwnd, &p);
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(p.x)), static_cast<WORD>(static_cast<SHORT>(p.y)));
}

void UpdateHover(HWND target) {
  Desktop& d = TheDesktop();
  if (target == d.hover) return;
  d.hover = target;
  if (d.tracking && d.tracking != target) {
    HWND t = d.tracking;
    d.tracking = nullptr;
    PostMessage(t, WM_MOUSELEAVE, 0, 0);
  }
}

POINT WindowPoint(HWND hwnd, POINT screen) {
  RECT wr;
  GetWindowRect(hwnd, &wr);
  return POINT{screen.x - wr.left, screen.y - wr.top};
}

LRESULT HitTestAt(HWND target, POINT screen) {
  return SendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
}

void FillMouseMessage(MSG* out, HWND target, UINT msg, WPARAM flags, POINT screen) {
  out->hwnd = target;
  out->message = msg;
  out->wParam = flags;
  out->lParam = ClientLParam(target, screen);
  out->pt = screen;
}

bool CookKey(const Queued& item, MSG* out) {
  Desktop& d = TheDesktop();
  ThreadQueue& q = QueueOf(ThreadIdNow());
  HWND target = d.focus ? d.focus : d.active;
  if (!IsWindow(target)) return false;
  bool alt = QDown(q, VK_MENU) || item.vk == VK_MENU;
  bool ctrl = QDown(q, VK_CONTROL);
  bool sys = (alt && !ctrl) || item.vk == VK_F10;
  bool prev = QDown(q, item.vk);
  int scan = item.scan ? item.scan : ScanOf(item.vk);
  bool ext = (item.flags & KEYEVENTF_EXTENDEDKEY) != 0;
  DWORD lp = 1u | (static_cast<DWORD>(scan & 0xFF) << 16) | (ext ? 1u << 24 : 0) | (alt ? 1u << 29 : 0) |
             ((item.down ? prev : true) ? 1u << 30 : 0) | (item.down ? 0 : 1u << 31);
  out->hwnd = target;
  out->message = item.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  out->wParam = static_cast<WPARAM>(item.vk);
  out->lParam = static_cast<LPARAM>(static_cast<LONG>(lp));
  out->pt = d.cursor;
  return true;
}

bool CookMouseMove(const Queued& item, MSG* out) {
  Desktop& d = TheDesktop();
  d.cursor = item.screen;
  if (d.sbWnd) {  // a scroll bar is being dragged: it takes the pointer
    ScrollBarMouse(d.sbWnd, WM_MOUSEMOVE, WindowPoint(d.sbWnd, item.screen));
    return false;
  }
  HWND target = d.capture ? d.capture : WindowFromPoint(item.screen);
  UpdateHover(target);
  if (!target) return false;
  LRESULT hit = d.capture ? HTCLIENT : HitTestAt(target, item.screen);
  if (!IsWindow(target)) return false;
  if (!d.capture)
    SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
  if (hit != HTCLIENT || !IsWindow(target)) return false;
  FillMouseMessage(out, target, WM_MOUSEMOVE, MouseFlags(QueueOf(ThreadIdNow()), 0, false), item.screen);
  return true;
}

// WM_MOUSEACTIVATE before a press: false when the press is eaten or the
// target went away.
bool MouseActivate(HWND target, LRESULT hit, UINT base) {
  Desktop& d = TheDesktop();
  HWND top = TopOf(target);
  LRESULT ma = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                           MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(base)));
  if (ma != MA_NOACTIVATE && ma != MA_NOACTIVATEANDEAT && top != d.active) SetActiveWindow(top);
  if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) return false;
  return IsWindow(target);
}

// A press close in time and place to the last one, on the same button of a
// CS_DBLCLKS window, is a double click; a third click starts over.
UINT PressMessage(const Queued& item, HWND target, UINT base, DWORD now) {
  Desktop& d = TheDesktop();
  Window* w = Find(target);
  bool dbl = w && (w->cls->wc.style & CS_DBLCLKS) && d.lastClickWnd == target && d.lastClickButton == item.button &&
             now - d.lastClickTime <= GetDoubleClickTime() &&
             std::abs(item.screen.x - d.lastClickPt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
             std::abs(item.screen.y - d.lastClickPt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  if (dbl) {
    d.lastClickWnd = nullptr;
    return base + 2;
  }
  d.lastClickWnd = target;
  d.lastClickTime = now;
  d.lastClickPt = item.screen;
  d.lastClickButton = item.button;
  return base;
}

bool CookMouseButton(const Queued& item, MSG* out) {
  Desktop& d = TheDesktop();
  d.cursor = item.screen;
  if (d.sbWnd) {
    if (!item.down && item.button == 1) ScrollBarMouse(d.sbWnd, WM_LBUTTONUP, WindowPoint(d.sbWnd, item.screen));
    return false;
  }
  HWND target = d.capture ? d.capture : WindowFromPoint(item.screen);
  UpdateHover(target);
  if (!target) return false;
  LRESULT hit = d.capture ? HTCLIENT : HitTestAt(target, item.screen);
  UINT base = item.button == 1 ? WM_LBUTTONDOWN : item.button == 2 ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  if (item.down && !d.capture && !MouseActivate(target, hit, base)) return false;
  if (hit == HTHSCROLL || hit == HTVSCROLL) {
    if (item.down && item.button == 1) ScrollBarMouse(target, WM_LBUTTONDOWN, WindowPoint(target, item.screen));
    return false;
  }
  if (hit != HTCLIENT) return false;
  UINT msg = item.down ? PressMessage(item, target, base, out->time) : base + 1;
  FillMouseMessage(out, target, msg, MouseFlags(QueueOf(ThreadIdNow()), item.button, item.down), item.screen);
  return true;
}

}  // namespace

bool CookInput(Queued& item, MSG* out) {
  *out = MSG{};
  out->time = item.msg.time ? item.msg.time : GetTickCount();
  switch (item.raw) {
    case RawKind::Key: return CookKey(item, out);
    case RawKind::MouseLeave: UpdateHover(nullptr); return false;
    case RawKind::MouseMove: return CookMouseMove(item, out);
    case RawKind::MouseButton: return CookMouseButton(item, out);
    default: return false;
  }
}

}  // namespace detail

using namespace detail;

// ---- key state and synthesised input ---------------------------------------------------------

SHORT GetKeyState(int vk) {
  const ThreadQueue& q = QueueOf(ThreadIdNow());
  BYTE s = q.keyState[vk & 0xFF];
  return static_cast<SHORT>(((s & 0x80) ? 0xFF80 : 0) | (s & 1));
}

SHORT GetAsyncKeyState(int vk) { return (TheDesktop().asyncKeys[vk & 0xFF] & 0x80) ? static_cast<SHORT>(0x8000) : 0; }

void keybd_event(BYTE vk, BYTE scan, DWORD flags, std::uintptr_t) {
  bool down = !(flags & KEYEVENTF_KEYUP);
  SetAsync(vk, down);
  Queued item;
  item.raw = RawKind::Key;
  item.vk = vk;
  item.scan = scan;
  item.flags = flags;
  item.down = down;
  item.msg.time = GetTickCount();
  QueueRawInput(item);
}

UINT MapVirtualKey(UINT code, UINT mapType) {
  switch (mapType) {
    case MAPVK_VK_TO_VSC: return static_cast<UINT>(ScanOf(static_cast<int>(code)));
    case MAPVK_VSC_TO_VK:
      for (int vk = 1; vk < 256; ++vk)
        if (vk != VK_LSHIFT && vk != VK_LCONTROL && vk != VK_LMENU && ScanOf(vk) == static_cast<int>(code))
          return static_cast<UINT>(vk);
      return 0;
    case MAPVK_VK_TO_CHAR: {
      char32_t c = LayoutChar(static_cast<int>(code), false, false, false);
      if (code >= 'A' && code <= 'Z') c = code;
      return static_cast<UINT>(c);
    }
    default: return 0;
  }
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  ThreadQueue& q = d.queues[ThreadIdNow()];
  char32_t ch = 0;
  bool same = q.current.hwnd == msg->hwnd && q.current.message == msg->message &&
              q.current.wParam == msg->wParam && q.current.lParam == msg->lParam;
  if (same && q.currentChar) {
    ch = q.currentChar;
  } else {
    ch = LayoutChar(static_cast<int>(msg->wParam), QDown(q, VK_SHIFT), QDown(q, VK_CONTROL) && !QDown(q, VK_MENU),
                    (q.keyState[VK_CAPITAL] & 1) != 0);
  }
  if (!ch) return FALSE;
  Queued c;
  c.msg = *msg;
  c.msg.message = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  c.msg.wParam = static_cast<WPARAM>(ch);
  q.posted.push_front(c);
  return TRUE;
}

// ---- focus, activation, capture ------------------------------------------------------------------

HWND SetFocus(HWND hwnd) {
  Desktop& d = TheDesktop();
  if (hwnd && !IsWindow(hwnd)) return nullptr;
  HWND old = d.focus;
  if (hwnd == old) return old;
  if (hwnd) d.active = TopOf(hwnd);
  d.focus = hwnd;
  if (old && IsWindow(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && IsWindow(hwnd) && d.focus == hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return IsWindow(old) ? old : nullptr;
}

HWND GetFocus() {
  Desktop& d = TheDesktop();
  return IsWindow(d.focus) ? d.focus : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  Desktop& d = TheDesktop();
  HWND top = TopOf(hwnd);
  HWND old = d.active;
  if (!top || top == old) return old;
  d.active = top;
  if (IsWindow(old)) SendMessage(old, WM_ACTIVATE, 0, reinterpret_cast<LPARAM>(top));
  SendMessage(top, WM_ACTIVATE, 1, reinterpret_cast<LPARAM>(old));
  if (d.active == top && (!d.focus || TopOf(d.focus) != top)) SetFocus(top);
  return IsWindow(old) ? old : nullptr;
}

HWND GetActiveWindow() { return IsWindow(TheDesktop().active) ? TheDesktop().active : nullptr; }

HWND SetCapture(HWND hwnd) {
  Desktop& d = TheDesktop();
  HWND old = d.capture;
  d.capture = hwnd;
  if (old && old != hwnd && IsWindow(old)) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  Desktop& d = TheDesktop();
  HWND old = d.capture;
  d.capture = nullptr;
  if (old && IsWindow(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return IsWindow(TheDesktop().capture) ? TheDesktop().capture : nullptr; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme) return FALSE;
  Desktop& d = TheDesktop();
  if (tme->dwFlags & TME_QUERY) {
    tme->dwFlags = d.tracking ? TME_LEAVE : 0;
    tme->hwndTrack = d.tracking;
    return TRUE;
  }
  if (!(tme->dwFlags & TME_LEAVE)) return TRUE;  // hover tracking is not offered
  if (tme->dwFlags & TME_CANCEL) {
    if (d.tracking == tme->hwndTrack) d.tracking = nullptr;
    return TRUE;
  }
  if (!IsWindow(tme->hwndTrack)) return FALSE;
  if (d.hover != tme->hwndTrack) {
    // the pointer is already elsewhere: the leave is immediate
    PostMessage(tme->hwndTrack, WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  d.tracking = tme->hwndTrack;
  return TRUE;
}

BOOL GetCursorPos(POINT* pt) {
  if (!pt) return FALSE;
  *pt = TheDesktop().cursor;
  return TRUE;
}

UINT GetDoubleClickTime() { return 500; }

HCURSOR LoadCursor(HINSTANCE, LPCSTR name) {
  auto id = reinterpret_cast<std::uintptr_t>(name);
  if (id > 0xFFFF) return nullptr;  // only the standard cursors exist
  return reinterpret_cast<HCURSOR>(id);
}

HCURSOR SetCursor(HCURSOR cursor) {
  Desktop& d = TheDesktop();
  HCURSOR old = d.cursorShape;
  if (cursor != old) {
    d.cursorShape = cursor;
    TheBackend().CursorChanged(cursor);
  }
  return old;
}

HCURSOR GetCursor() { return TheDesktop().cursorShape; }

// ---- injection ---------------------------------------------------------------------------

namespace user {

namespace {
POINT ToScreen(HWND top, int x, int y) {
  POINT p{x, y};
  ClientToScreen(top, &p);
  return p;
}
}  // namespace

void InjectMouseMove(HWND top, int x, int y) {
  Queued item;
  item.raw = RawKind::MouseMove;
  item.screen = ToScreen(top, x, y);
  item.msg.time = GetTickCount();
  QueueRawInput(item);
}

void InjectMouseButton(HWND top, int button, bool down, int x, int y) {
  int vk = button == 1 ? VK_LBUTTON : button == 2 ? VK_RBUTTON : VK_MBUTTON;
  SetAsync(vk, down);
  Queued item;
  item.raw = RawKind::MouseButton;
  item.button = button;
  item.down = down;
  item.screen = ToScreen(top, x, y);
  item.msg.time = GetTickCount();
  QueueRawInput(item);
}

void InjectMouseLeave(HWND) {
  Queued item;
  item.raw = RawKind::MouseLeave;
  QueueRawInput(item);
}

void InjectKey(int vk, bool down, char32_t ch) {
  SetAsync(vk, down);
  Queued item;
  item.raw = RawKind::Key;
  item.vk = vk;
  item.down = down;
  item.ch = ch;
  item.flags = IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0;
  item.msg.time = GetTickCount();
  QueueRawInput(item);
}

void InjectText(const std::string& utf8) {
  for (char32_t ch : Utf8To32(utf8)) {
    int vk = 0xE7;  // VK_PACKET: a character with no key of its own
    bool shift = false;
    KeyForChar(ch, &vk, &shift);
    bool pressShift = shift && !(TheDesktop().asyncKeys[VK_SHIFT] & 0x80);
    if (pressShift) InjectKey(VK_SHIFT, true);
    InjectKey(vk, true, ch >= 0x20 ? ch : 0);  // control characters come from the layout
    InjectKey(vk, false);
    if (pressShift) InjectKey(VK_SHIFT, false);
  }
}

}  // namespace user
}  // namespace ktfolio::win
