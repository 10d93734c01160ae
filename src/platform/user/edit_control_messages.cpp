// The "Edit" class's own messages (EM_*): selection, lines, limits, the
// password character, undo state, margins and scrolling, one handler per
// message, listed in a table at the end.
#include <algorithm>
#include <cstring>

#include "platform/user/edit_impl.h"

namespace ktfolio::win::detail::edit {
namespace {

constexpr int kNoLimit = 0x7FFFFFFE;  // EM_LIMITTEXT 0: as much as the control holds

int SignedArg(std::uintptr_t v) { return static_cast<int>(static_cast<LONG>(v)); }
WORD Low(LPARAM v) { return LOWORD(static_cast<std::uintptr_t>(v)); }
WORD High(LPARAM v) { return HIWORD(static_cast<std::uintptr_t>(v)); }

LRESULT OnGetSel(HWND, Edit& e, WPARAM wParam, LPARAM lParam) {
  if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(SelMin(e));
  if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(SelMax(e));
  return MAKELONG(static_cast<WORD>(std::min(SelMin(e), 0xFFFF)), static_cast<WORD>(std::min(SelMax(e), 0xFFFF)));
}

LRESULT OnSetSel(HWND hwnd, Edit& e, WPARAM wParam, LPARAM lParam) {
  int s = SignedArg(wParam), t = SignedArg(static_cast<std::uintptr_t>(lParam));
  if (s == -1) {
    SetSel(hwnd, e, e.caret, e.caret);  // -1 removes the selection
    return 0;
  }
  if (t == -1) t = Len(e);
  SetSel(hwnd, e, s, t);
  return 0;
}

LRESULT OnReplaceSel(HWND hwnd, Edit& e, WPARAM undoable, LPARAM lParam) {
  std::u32string ins = lParam ? Utf8To32(reinterpret_cast<const char*>(lParam)) : U"";
  ReplaceSel(hwnd, e, ins, undoable != 0);
  if (!undoable) e.canUndo = false;
  return 0;
}

LRESULT OnGetLineCount(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  return static_cast<LRESULT>(LineStarts(e, Multi(hwnd)).size());
}

LRESULT OnLineFromChar(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  auto starts = LineStarts(e, Multi(hwnd));
  int i = SignedArg(wParam);
  if (i < 0) i = SelMin(e) != SelMax(e) ? SelMin(e) : e.caret;
  return LineOf(starts, std::min(i, Len(e)));
}

LRESULT OnLineIndex(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  auto starts = LineStarts(e, Multi(hwnd));
  int line = SignedArg(wParam);
  if (line < 0) line = LineOf(starts, e.caret);
  return line < static_cast<int>(starts.size()) ? starts[line] : -1;
}

LRESULT OnLineLength(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  auto starts = LineStarts(e, Multi(hwnd));
  int i = SignedArg(wParam);
  if (i < 0) i = e.caret;
  int line = LineOf(starts, std::min(i, Len(e)));
  return LineEnd(e, starts, line) - starts[line];
}

// The buffer's first WORD says how many bytes it takes; no terminator is
// written, as the message defines.
LRESULT OnGetLine(HWND hwnd, Edit& e, WPARAM wParam, LPARAM lParam) {
  auto starts = LineStarts(e, Multi(hwnd));
  int line = static_cast<int>(wParam);
  auto* buf = reinterpret_cast<char*>(lParam);
  if (!buf || line < 0 || line >= static_cast<int>(starts.size())) return 0;
  WORD size;
  std::memcpy(&size, buf, sizeof size);
  std::string u = Utf32To8(e.text.substr(starts[line], LineEnd(e, starts, line) - starts[line]));
  size_t n = std::min<size_t>(u.size(), size);
  std::memcpy(buf, u.data(), n);
  return static_cast<LRESULT>(n);
}

LRESULT OnLimitText(HWND, Edit& e, WPARAM wParam, LPARAM) {
  e.limit = wParam ? static_cast<int>(std::min<WPARAM>(wParam, kNoLimit)) : kNoLimit;
  return 0;
}

LRESULT OnGetLimitText(HWND, Edit& e, WPARAM, LPARAM) { return e.limit; }

LRESULT OnSetPasswordChar(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  if (Multi(hwnd)) return 0;
  e.password = static_cast<char32_t>(wParam);
  DWORD st = Style(hwnd);
  SetWindowLongPtr(hwnd, GWL_STYLE, wParam ? (st | ES_PASSWORD) : (st & ~ES_PASSWORD));
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT OnGetPasswordChar(HWND, Edit& e, WPARAM, LPARAM) { return static_cast<LRESULT>(e.password); }
LRESULT OnGetModify(HWND, Edit& e, WPARAM, LPARAM) { return e.modified ? TRUE : FALSE; }

LRESULT OnSetModify(HWND, Edit& e, WPARAM wParam, LPARAM) {
  e.modified = wParam != 0;
  return 0;
}

LRESULT OnCanUndo(HWND, Edit& e, WPARAM, LPARAM) { return e.canUndo ? TRUE : FALSE; }

LRESULT OnEmptyUndoBuffer(HWND, Edit& e, WPARAM, LPARAM) {
  e.canUndo = false;
  e.undoText.clear();
  return 0;
}

LRESULT OnSetReadOnly(HWND hwnd, Edit&, WPARAM wParam, LPARAM) {
  DWORD st = Style(hwnd);
  SetWindowLongPtr(hwnd, GWL_STYLE, wParam ? (st | ES_READONLY) : (st & ~ES_READONLY));
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT OnSetMargins(HWND hwnd, Edit& e, WPARAM which, LPARAM lParam) {
  if (which & EC_LEFTMARGIN) e.leftMargin = Low(lParam) == EC_USEFONTINFO ? 1 : Low(lParam);
  if (which & EC_RIGHTMARGIN) e.rightMargin = High(lParam) == EC_USEFONTINFO ? 1 : High(lParam);
  InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, e);
  return 0;
}

LRESULT OnGetMargins(HWND, Edit& e, WPARAM, LPARAM) {
  return MAKELONG(static_cast<WORD>(e.leftMargin), static_cast<WORD>(e.rightMargin));
}

LRESULT OnGetRect(HWND hwnd, Edit& e, WPARAM, LPARAM lParam) {
  if (lParam) *reinterpret_cast<RECT*>(lParam) = FormatRect(hwnd, e);
  return 0;
}

LRESULT OnGetFirstVisibleLine(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  if (Multi(hwnd)) return e.firstLine;
  return CharFromPos(hwnd, e, POINT{e.leftMargin, 0});
}

LRESULT OnLineScroll(HWND hwnd, Edit& e, WPARAM columns, LPARAM lines) {
  if (!Multi(hwnd)) return FALSE;
  int count = static_cast<int>(LineStarts(e, true).size());
  e.firstLine = std::clamp(e.firstLine + SignedArg(static_cast<std::uintptr_t>(lines)), 0, std::max(0, count - 1));
  e.xOffset = std::max(0, e.xOffset + SignedArg(columns) * Measure(e).Width(U"x"));
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBars(hwnd, e);
  PlaceCaret(hwnd, e);
  return TRUE;
}

LRESULT OnScroll(HWND hwnd, Edit& e, WPARAM code, LPARAM) {
  if (!Multi(hwnd)) return 0;
  LRESULT moved = VScroll(hwnd, e, static_cast<int>(code));
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(moved)), TRUE);
}

LRESULT OnScrollCaret(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  ScrollCaret(hwnd, e);
  return TRUE;
}

LRESULT OnPosFromChar(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  int i = static_cast<int>(wParam);
  if (i < 0 || i > Len(e)) return -1;
  POINT p = PosFromChar(hwnd, e, i);
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(p.x)), static_cast<WORD>(static_cast<SHORT>(p.y)));
}

LRESULT OnCharFromPos(HWND hwnd, Edit& e, WPARAM, LPARAM lParam) {
  int line = 0;
  int i = CharFromPos(hwnd, e, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &line);
  return MAKELONG(static_cast<WORD>(i), static_cast<WORD>(line));
}

constexpr MessageHandlerEntry kControlMessages[] = {
    {EM_GETSEL, OnGetSel},
    {EM_SETSEL, OnSetSel},
    {EM_REPLACESEL, OnReplaceSel},
    {EM_GETLINECOUNT, OnGetLineCount},
    {EM_LINEFROMCHAR, OnLineFromChar},
    {EM_LINEINDEX, OnLineIndex},
    {EM_LINELENGTH, OnLineLength},
    {EM_GETLINE, OnGetLine},
    {EM_LIMITTEXT, OnLimitText},
    {EM_GETLIMITTEXT, OnGetLimitText},
    {EM_SETPASSWORDCHAR, OnSetPasswordChar},
    {EM_GETPASSWORDCHAR, OnGetPasswordChar},
    {EM_GETMODIFY, OnGetModify},
    {EM_SETMODIFY, OnSetModify},
    {EM_CANUNDO, OnCanUndo},
    {EM_EMPTYUNDOBUFFER, OnEmptyUndoBuffer},
    {EM_SETREADONLY, OnSetReadOnly},
    {EM_SETMARGINS, OnSetMargins},
    {EM_GETMARGINS, OnGetMargins},
    {EM_GETRECT, OnGetRect},
    {EM_GETFIRSTVISIBLELINE, OnGetFirstVisibleLine},
    {EM_LINESCROLL, OnLineScroll},
    {EM_SCROLL, OnScroll},
    {EM_SCROLLCARET, OnScrollCaret},
    {EM_POSFROMCHAR, OnPosFromChar},
    {EM_CHARFROMPOS, OnCharFromPos},
};

}  // namespace

std::span<const MessageHandlerEntry> ControlMessageHandlers() { return kControlMessages; }

}  // namespace ktfolio::win::detail::edit
