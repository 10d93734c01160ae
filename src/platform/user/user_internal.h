// State shared by the window manager's source files: the window tree, classes,
// per-thread queues and timers, and the backend that presents top-level windows.
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/user/user.h"

namespace ktfolio::win::detail {

struct WindowClass {
  std::string name;  // lower-cased lookup key is kept by the registry
  WNDCLASSEX wc;
  std::string displayName;
};

struct ScrollBarState {
  int min = 0;
  int max = 100;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  bool shown = false;
  UINT disabledArrows = 0;  // ESB_* bits
  LONG_PTR flatStyle = FSB_REGULAR_MODE;
};

struct Window {
  HWND handle = nullptr;
  const WindowClass* cls = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  std::vector<HWND> children;  // z-order: first is top-most
  RECT rect;                   // relative to the parent's client area (screen for top-level)
  std::string text;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  HINSTANCE instance = nullptr;
  std::vector<BYTE> extra;
  std::vector<std::pair<std::string, HANDLE>> props;  // insertion order
  DWORD threadId = 0;
  DWORD processId = 0;
  bool destroying = false;
  bool flatSB = false;
  // update region kept as a bounding box in client coordinates
  bool invalid = false;
  bool eraseNeeded = false;
  RECT update;
  bool frameDirty = true;
  ScrollBarState hbar;
  ScrollBarState vbar;
  // top-level only: the backing surface all windows of the tree draw into
  HBITMAP backing = nullptr;
  int backingW = 0;
  int backingH = 0;
  void* native = nullptr;  // backend's object for a top-level window
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  DWORD threadId = 0;
  std::chrono::steady_clock::time_point due;
  bool pending = false;  // a WM_TIMER for it is waiting to be taken
};

// A queued item: a ready message, or raw input that is turned into a message
// (hit-tested, routed to the focus) only when the loop takes it, as real input is.
enum class RawKind { None, Key, MouseMove, MouseButton, MouseLeave };
struct Queued {
  MSG msg;
  char32_t ch = 0;  // character a backend attached to a key-down
  RawKind raw = RawKind::None;
  int vk = 0;
  int scan = 0;
  DWORD flags = 0;
  int button = 0;
  bool down = false;
  POINT screen;
};

struct ThreadQueue {
  std::deque<Queued> posted;
  std::deque<Queued> input;
  bool quit = false;
  int quitCode = 0;
  BYTE keyState[256] = {};  // as of the message being processed
  MSG current;
  char32_t currentChar = 0;
};

// Backend: presents top-level windows and waits for outside events.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual void TopLevelCreated(Window& w) {}
  virtual void TopLevelDestroyed(Window& w) {}
  virtual void TopLevelChanged(Window& w) {}  // shown, hidden, moved, resized, retitled
  virtual void Present(Window& w) {}          // backing surface changed
  virtual void CursorChanged(HCURSOR cursor) {}
  // Blocks until something may be ready or timeoutMs passes (-1: forever).
  virtual void Wait(int timeoutMs) = 0;
  virtual void Wake() = 0;
  virtual bool IsGtk() const { return false; }
  // A modal message box on a desktop: the button pressed (IDYES…), or 0 when
  // this backend shows none.
  virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    return 0;
  }
};

struct Desktop {
  std::recursive_mutex lock;
  std::map<std::uintptr_t, std::unique_ptr<Window>> windows;
  std::map<std::string, std::unique_ptr<WindowClass>> classes;
  std::vector<HWND> topLevels;  // z-order
  std::map<DWORD, ThreadQueue> queues;
  std::vector<Timer> timers;
  std::uintptr_t nextHandle = 0x10000;
  UINT_PTR nextTimerId = 0x7000;
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  HWND tracking = nullptr;  // TrackMouseEvent(TME_LEAVE) target
  HWND hover = nullptr;     // window last under the pointer
  POINT cursor;             // screen
  BYTE asyncKeys[256] = {};
  HCURSOR cursorShape = nullptr;
  std::unique_ptr<Backend> backend;
  // caret
  HWND caretOwner = nullptr;
  POINT caretPos;
  int caretW = 0;
  int caretH = 0;
  int caretHide = 1;
  bool caretBlinkOn = true;
  // double-click detection
  DWORD lastClickTime = 0;
  POINT lastClickPt;
  int lastClickButton = 0;
  HWND lastClickWnd = nullptr;
  // scroll-bar tracking in progress
  HWND sbWnd = nullptr;
  int sbBar = -1;
  int sbCode = -1;  // SB_* code of the pressed part
  int sbGrab = 0;   // pointer offset inside the thumb
};

Desktop& TheDesktop();
Window* Find(HWND hwnd);
inline std::uintptr_t Key(HWND h) { return reinterpret_cast<std::uintptr_t>(h); }
ThreadQueue& QueueOf(DWORD threadId);
DWORD ThreadIdNow();
std::string ClassKey(const char* name);  // class names compare case-insensitively
void SendSize(HWND hwnd);                 // WM_SIZE with the current client size
Backend& TheBackend();
std::unique_ptr<Backend> MakeHeadlessBackend();
std::unique_ptr<Backend> MakeGtkBackend();  // nullptr when no display

// Geometry helpers (all in the coordinates named).
void NonClientInsets(const Window& w, RECT* insets);  // border + scroll bars
RECT ClientRectInWindow(const Window& w);               // client area in window coordinates
POINT WindowOriginInTop(const Window& w);               // window's top-left in top-level window coordinates
HWND TopOf(HWND hwnd);
bool IsVisibleChain(const Window& w);
bool RectEmpty(const RECT& r);
RECT RectIntersect(const RECT& a, const RECT& b);
RECT RectUnion(const RECT& a, const RECT& b);
bool PtIn(const RECT& r, POINT p);

// Raw input from injection or a backend, queued to the UI thread.
void QueueRawInput(const Queued& item);
// Turns raw input into a message; false when the window manager consumed it.
bool CookInput(Queued& item, MSG* out);
void WakeBackend();
// The thread whose loop receives input (the thread that created the first window).
DWORD InputThread();

// Painting internals.
void PaintFrame(Window& w);  // border and scroll bars into the backing surface
void EnsureBacking(Window& top);
void ReleaseBacking(Window& top);
void InvalidateTree(HWND hwnd, const RECT* rcClient, bool erase);

// Scroll-bar internals.
RECT ScrollBarRect(const Window& w, int bar);  // in window coordinates; empty when not shown
bool ScrollBarMouse(HWND hwnd, UINT msg, POINT windowPt);  // true when the bar took the event
void DrawScrollBars(Window& w, HDC hdc);

// Caret overlay for captures and presentation.
bool CaretRectInTop(HWND top, RECT* rc);

// Edit class registration (done once with the built-in classes).
void RegisterEditClass();
LRESULT EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The other built-in classes: "Button" (push buttons, check boxes, group
// boxes), "Static" (labels) and "ComboBox" (drop-down lists), with the shared
// steps of drawing a standard control.
void RegisterButtonClass();
void RegisterStaticClass();
void RegisterComboBoxClass();
void NotifyParent(HWND hwnd, WORD code);                    // WM_COMMAND with the control's id
HBRUSH ControlColors(HWND hwnd, UINT colorMsg, HDC hdc);    // asks the parent, as the standard controls do
HFONT ControlFont(HWND hwnd);                               // WM_GETFONT, or the GUI font

// Unicode helpers for text stored as UTF-8.
std::u32string Utf8To32(const std::string& s);
std::string Utf32To8(const std::u32string& s);

}  // namespace ktfolio::win::detail
