// Private to the Edit window class: its per-window record and the layout
// routines (lines, measuring, caret and scrolling) that edit.cpp's editing and
// message handling stand on.
#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "platform/user/user_internal.h"

namespace ktfolio::win::detail::edit {

struct Edit {
  HWND hwnd = nullptr;
  std::u32string text;
  int anchor = 0;  // the selection is [min(anchor, caret), max(anchor, caret))
  int caret = 0;
  int limit = 30000;
  char32_t password = 0;
  bool modified = false;
  bool canUndo = false;
  std::u32string undoText;
  int undoAnchor = 0;
  int undoCaret = 0;
  HFONT font = nullptr;
  int leftMargin = 1;
  int rightMargin = 1;
  int firstLine = 0;
  int xOffset = 0;  // pixels scrolled horizontally
  bool focused = false;
  bool selecting = false;  // dragging a selection with the mouse
};

inline Edit* Of(HWND hwnd) { return reinterpret_cast<Edit*>(GetWindowLongPtr(hwnd, 0)); }
inline DWORD Style(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE)); }
inline bool Multi(HWND hwnd) { return (Style(hwnd) & ES_MULTILINE) != 0; }
inline bool ReadOnly(HWND hwnd) { return (Style(hwnd) & ES_READONLY) != 0; }
inline int SelMin(const Edit& e) { return std::min(e.anchor, e.caret); }
inline int SelMax(const Edit& e) { return std::max(e.anchor, e.caret); }
inline int Len(const Edit& e) { return static_cast<int>(e.text.size()); }
// Words are runs of anything but blanks and line breaks.
inline bool IsWordChar(char32_t c) { return c != U' ' && c != U'\t' && c != U'\r' && c != U'\n'; }

// ---- measuring ------------------------------------------------------------------------

struct Measure {
  HDC hdc;
  HGDIOBJ old;
  explicit Measure(const Edit& e) {
    hdc = GetDC(nullptr);
    old = SelectObject(hdc, e.font ? static_cast<HGDIOBJ>(e.font) : GetStockObject(DEFAULT_GUI_FONT));
  }
  ~Measure() {
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);
  }
  int Width(const std::u32string& s) {
    if (s.empty()) return 0;
    std::string u = Utf32To8(s);
    SIZE sz;
    GetTextExtentPoint32(hdc, u.c_str(), static_cast<int>(u.size()), &sz);
    return sz.cx;
  }
  int Height() {
    TEXTMETRIC tm;
    GetTextMetrics(hdc, &tm);
    return tm.tmHeight > 0 ? tm.tmHeight : 16;
  }
};


// ---- lines and layout (edit_layout.cpp) ----
std::vector<int> LineStarts(const Edit& e, bool multi);
int LineOf(const std::vector<int>& starts, int index);
int LineEnd(const Edit& e, const std::vector<int>& starts, int line);
std::u32string Shown(const Edit& e, int from, int to);
RECT FormatRect(HWND hwnd, const Edit& e);
int LineX(HWND hwnd, const Edit& e, Measure& m, int lineStart, int lineEnd);
POINT PosFromChar(HWND hwnd, const Edit& e, int index);
int CharFromPos(HWND hwnd, const Edit& e, POINT p, int* lineOut = nullptr);
int VisibleLines(HWND hwnd, const Edit& e);
void UpdateScrollBars(HWND hwnd, Edit& e);
void PlaceCaret(HWND hwnd, Edit& e);
bool ScrollCaret(HWND hwnd, Edit& e);
void SetSel(HWND hwnd, Edit& e, int anchor, int caret);

// ---- editing steps (edit.cpp) ----
void Notify(HWND hwnd, WORD code);  // EN_* to the parent
// Replaces the selection with `ins` (within the limit); false when nothing changed.
bool ReplaceSel(HWND hwnd, Edit& e, std::u32string ins, bool undoable);
void Copy(HWND hwnd, Edit& e);
void Paste(HWND hwnd, Edit& e);
void Undo(HWND hwnd, Edit& e);
void MoveCaret(HWND hwnd, Edit& e, int to, bool extend);
void KeyDown(HWND hwnd, Edit& e, int vk);
void Char(HWND hwnd, Edit& e, char32_t ch);
void ContextMenu(HWND hwnd, Edit& e, LPARAM lParam);
void Paint(HWND hwnd, Edit& e);
LRESULT VScroll(HWND hwnd, Edit& e, int code);  // lines moved

// ---- message handlers: one per message the class answers ----
using MessageHandler = LRESULT (*)(HWND hwnd, Edit& e, WPARAM wParam, LPARAM lParam);
struct MessageHandlerEntry {
  UINT msg;
  MessageHandler handler;
};
LRESULT OnNcCreate(HWND hwnd, LPARAM lParam);                     // makes the Edit (edit_window_messages.cpp)
std::span<const MessageHandlerEntry> WindowMessageHandlers();   // WM_* (edit_window_messages.cpp)
std::span<const MessageHandlerEntry> ControlMessageHandlers();  // EM_* (edit_control_messages.cpp)
MessageHandler FindMessageHandler(UINT msg);                      // nullptr: the default procedure's

}  // namespace ktfolio::win::detail::edit
