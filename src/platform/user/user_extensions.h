// Platform extensions with no Win32 counterpart: backends, injected input,
// the message pump, inspection and scripted answers for hosts and tests.
// Part of the window manager's interface: include "platform/user/user.h".
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/user/user_calls.h"

namespace ktfolio::win {

namespace user {

// A window's text as a string (GetWindowText without the buffer).
std::string WindowText(HWND hwnd);

// Backends. Headless is the default; the GTK backend shows top-level windows
// as real windows and returns false when no display can be opened.
bool UseGtkBackend();
bool UsingGtkBackend();
// The GTK backend's input method of a top-level window (a GtkIMContext*,
// untyped here; nullptr headless): what it commits reaches the focus window
// as characters, and the text it is composing shows at the caret.
void* InputMethodOf(HWND top);

// Injected input: coordinates are client coordinates of the top-level window
// `top`; the window under the point (or the capture window) gets the message.
// Messages are queued like real input; PumpMessages() delivers them.
void InjectMouseMove(HWND top, int x, int y);
void InjectMouseButton(HWND top, int button, bool down, int x, int y);  // button 1 left, 2 right, 3 middle
void InjectMouseLeave(HWND top);                                   // pointer left the top-level window
void InjectKey(int vk, bool down, char32_t ch = 0);                // to the focus window; ch overrides layout
void InjectText(const std::string& utf8);                          // key down/up per character
// Marks (or unmarks, before it is destroyed) a top-level window whose loops run the dialog manager's keyboard
// (IsDialogMessage) before translating keys; DialogKeys is that step, true
// when it used the message up. PumpMessages runs it.
void UseDialogKeys(HWND top, bool on = true);
bool DialogKeys(MSG* msg);
// Delivers everything queued (input, posted messages, due timers, paints).
// Returns the number of messages dispatched.
int PumpMessages();
// Runs the message loop for `ms` milliseconds (timers fire meanwhile).
void PumpFor(int ms);
// Waits until a message (or a timer) is due on this thread, at most `ms`
// milliseconds; dispatches nothing.
void WaitMessageFor(int ms);
// KillTimer for a window-less timer of thread `threadId`, from any thread:
// an object that owns such a timer may be destroyed on another thread.
BOOL KillThreadTimer(DWORD threadId, UINT_PTR id);

// Inspection.
int LiveWindowCount();
int LiveTimerCount();
int LivePropertyCount();  // properties on all live windows
std::vector<std::pair<std::string, HANDLE>> ListProps(HWND hwnd);
// Paints what is pending and returns a copy of the window's pixels (client and
// frame, children included, caret drawn) as a bitmap the caller deletes.
HBITMAP CaptureWindow(HWND hwnd);
bool SaveWindowPng(HWND hwnd, const std::string& path);
COLORREF WindowPixel(HWND hwnd, int x, int y);  // client coordinates

// Windows of other processes cannot exist in process; a host that mirrors one
// (and tests of the process check) mark a window as owned by another process.
void SetWindowProcessId(HWND hwnd, DWORD processId);

// Scripted answers for modal UI: each MessageBox / TrackPopupMenu takes the
// next answer queued; with none queued a message box answers its first button
// and a popup menu is dismissed (0).
void QueueMessageBoxAnswer(int answer);
void QueuePopupMenuAnswer(UINT_PTR command);
struct MessageBoxCall {
  std::string text;
  std::string caption;
  UINT type = 0;
};
const std::vector<MessageBoxCall>& MessageBoxLog();
struct MenuItem {
  UINT_PTR id = 0;
  std::string text;
  bool enabled = true;
  bool separator = false;
};
const std::vector<MenuItem>& LastPopupMenu();
int BeepCount();
// Clears logs and answers (tests call it in their fixtures).
void ResetScripts();

}  // namespace user

}  // namespace ktfolio::win
