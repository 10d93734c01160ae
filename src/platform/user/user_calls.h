// The window manager's calls, grouped by area: classes, windows, properties,
// messages, timers, focus, input, painting, scroll bars, caret, clipboard,
// menus and message boxes. Part of the window manager's interface: include "platform/user/user.h".
#pragma once

#include <string>

#include "platform/user/user_flags.h"
#include "platform/user/user_messages.h"
#include "platform/user/user_types.h"

namespace ktfolio::win {

// ---- window classes and procedures ---------------------------------------------------
ATOM RegisterClassEx(const WNDCLASSEX* wc);
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(LPCSTR className, HINSTANCE instance);
BOOL GetClassInfoEx(HINSTANCE instance, LPCSTR className, WNDCLASSEX* out);
int GetClassName(HWND hwnd, LPSTR buffer, int size);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- windows ---------------------------------------------------------------------
HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, HINSTANCE instance, void* param);
inline HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menuOrId, HINSTANCE instance, void* param) {
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menuOrId, instance, param);
}
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetParent(HWND hwnd);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);
HWND GetAncestorTop(HWND hwnd);  // the top-level window that holds hwnd
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
inline LONG GetWindowLong(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtr(hwnd, index)); }
inline LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value) { return SetWindowLongPtr(hwnd, index, value); }
BOOL SetWindowText(HWND hwnd, LPCSTR text);
int GetWindowText(HWND hwnd, LPSTR buffer, int size);
int GetWindowTextLength(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL GetClientRect(HWND hwnd, RECT* rc);
BOOL GetWindowRect(HWND hwnd, RECT* rc);  // screen coordinates
BOOL ClientToScreen(HWND hwnd, POINT* pt);
BOOL ScreenToClient(HWND hwnd, POINT* pt);
HWND WindowFromPoint(POINT screenPt);
HWND ChildWindowFromPoint(HWND parent, POINT clientPt);
int GetSystemMetrics(int index);

// ---- properties --------------------------------------------------------------------
BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE value);
HANDLE GetProp(HWND hwnd, LPCSTR name);
HANDLE RemoveProp(HWND hwnd, LPCSTR name);
int EnumProps(HWND hwnd, PROPENUMPROC proc);  // last value the callback returned, -1 with no properties
inline BOOL SetPropA(HWND h, LPCSTR n, HANDLE v) { return SetProp(h, n, v); }
inline HANDLE GetPropA(HWND h, LPCSTR n) { return GetProp(h, n); }
inline HANDLE RemovePropA(HWND h, LPCSTR n) { return RemoveProp(h, n); }

// ---- messages --------------------------------------------------------------------
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // hwnd null: to the thread
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// The dialog manager's keyboard: Tab and Shift+Tab move the focus through the
// visible, enabled WS_TABSTOP windows of `dialog` in the order they were made
// (the z order from the bottom), unless the focused window or a window holding
// it asks for Tab (DLGC_WANTTAB or DLGC_WANTALLKEYS). TRUE when the message
// was used up.
BOOL IsDialogMessage(HWND dialog, MSG* msg);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL WaitMessage();
DWORD GetMessageTime();
DWORD GetMessagePos();
DWORD GetTickCount();

// ---- timers ------------------------------------------------------------------------
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// ---- focus, activation, capture ----------------------------------------------------------
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

// ---- keyboard and mouse ------------------------------------------------------------------
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
void keybd_event(BYTE vk, BYTE scan, DWORD flags, std::uintptr_t extraInfo);
UINT MapVirtualKey(UINT code, UINT mapType);
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
BOOL GetCursorPos(POINT* pt);
UINT GetDoubleClickTime();

// ---- painting ------------------------------------------------------------------------
BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rc);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* rc, void* region, UINT flags);
BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL erase);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

// ---- scroll bars -------------------------------------------------------------------------
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
// The flat-scroll-bar calls act on the window's standard bars; the style
// property is remembered so it reads back, the look stays the classic one.
BOOL InitializeFlatSB(HWND hwnd);
BOOL UninitializeFlatSB(HWND hwnd);
int FlatSB_SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw);
BOOL FlatSB_GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si);
int FlatSB_SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int FlatSB_GetScrollPos(HWND hwnd, int bar);
BOOL FlatSB_SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL FlatSB_ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL FlatSB_EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL FlatSB_SetScrollProp(HWND hwnd, UINT index, LONG_PTR value, BOOL redraw);
BOOL FlatSB_GetScrollProp(HWND hwnd, UINT index, LONG_PTR* value);

// ---- caret ---------------------------------------------------------------------------------
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* pt);
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
UINT GetCaretBlinkTime();

// ---- clipboard (text only) ---------------------------------------------------------------
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
BOOL IsClipboardFormatAvailable(UINT format);
// The clipboard holds UTF-8 text; these replace SetClipboardData/GetClipboardData
// for CF_TEXT without the global-memory handles.
BOOL SetClipboardText(const std::string& text);
bool GetClipboardText(std::string* text);

// ---- menus, message boxes, beeps, cursors ------------------------------------------------------
HMENU CreatePopupMenu();
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
BOOL EnableMenuItem(HMENU menu, UINT id, UINT flags);
BOOL DestroyMenu(HMENU menu);
// With TPM_RETURNCMD returns the chosen command; otherwise posts WM_COMMAND to owner.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rc);
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
BOOL MessageBeep(UINT type);
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

}  // namespace ktfolio::win
