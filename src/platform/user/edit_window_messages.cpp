// The "Edit" class's answers to window messages (WM_*): creation and text,
// font, focus, mouse and keyboard, clipboard commands and scrolling, one
// handler per message, listed in a table at the end.
#include <algorithm>
#include <cstring>

#include "platform/user/edit_impl.h"

namespace ktfolio::win::detail::edit {
namespace {

constexpr int kNoLimit = 0x7FFFFFFE;  // what setting the text is held to

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Line breaks of any kind become "\r\n", as typed text would have them.
std::u32string WithLineBreaks(const std::u32string& t) {
  std::u32string out;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == U'\r' && i + 1 < t.size() && t[i + 1] == U'\n') out += U"\r\n", ++i;
    else if (t[i] == U'\r' || t[i] == U'\n') out += U"\r\n";
    else out += t[i];
  }
  return out;
}

LRESULT OnNcDestroy(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  SetWindowLongPtr(hwnd, 0, 0);
  delete &e;
  return 0;
}

LRESULT OnCreate(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  UpdateScrollBars(hwnd, e);
  return 0;
}

LRESULT OnSetText(HWND hwnd, Edit& e, WPARAM, LPARAM lParam) {
  e.text.clear();
  e.anchor = e.caret = 0;
  int lim = e.limit;
  e.limit = kNoLimit;  // setting the text is not held to the typing limit
  std::u32string t = lParam ? Utf8To32(reinterpret_cast<const char*>(lParam)) : U"";
  if (!Multi(hwnd)) {
    e.text = t;  // a single line keeps whatever it is given
  } else {
    ReplaceSel(hwnd, e, t, false);
    e.anchor = e.caret = 0;
  }
  e.limit = lim;
  e.canUndo = false;
  e.modified = false;
  e.firstLine = 0;
  e.xOffset = 0;
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBars(hwnd, e);
  PlaceCaret(hwnd, e);
  if (!Multi(hwnd)) {
    Notify(hwnd, EN_UPDATE);
    Notify(hwnd, EN_CHANGE);
  }
  return TRUE;
}

LRESULT OnGetText(HWND, Edit& e, WPARAM size, LPARAM lParam) {
  auto* buf = reinterpret_cast<char*>(lParam);
  if (!buf || size == 0) return 0;
  std::string u = Utf32To8(e.text);
  size_t n = std::min(u.size(), static_cast<size_t>(size - 1));
  std::memcpy(buf, u.data(), n);
  buf[n] = 0;
  return static_cast<LRESULT>(n);
}

LRESULT OnGetTextLength(HWND, Edit& e, WPARAM, LPARAM) { return static_cast<LRESULT>(Utf32To8(e.text).size()); }

LRESULT OnSetFont(HWND hwnd, Edit& e, WPARAM wParam, LPARAM lParam) {
  e.font = reinterpret_cast<HFONT>(wParam);
  if (e.focused) {
    CreateCaret(hwnd, nullptr, 1, Measure(e).Height());
    ShowCaret(hwnd);
  }
  if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, e);
  return 0;
}

LRESULT OnGetFont(HWND, Edit& e, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(e.font); }

LRESULT OnGetDlgCode(HWND hwnd, Edit&, WPARAM, LPARAM) {
  return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (Multi(hwnd) ? DLGC_WANTALLKEYS : 0);
}

LRESULT OnPaint(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  Paint(hwnd, e);
  return 0;
}

LRESULT OnEraseBkgnd(HWND, Edit&, WPARAM, LPARAM) { return 1; }  // WM_PAINT fills with the parent's colours

LRESULT OnSize(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateScrollBars(hwnd, e);
  return 0;
}

LRESULT OnEnable(HWND hwnd, Edit&, WPARAM, LPARAM) {
  InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT OnSetFocus(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  e.focused = true;
  CreateCaret(hwnd, nullptr, 1, Measure(e).Height());
  PlaceCaret(hwnd, e);
  ShowCaret(hwnd);
  InvalidateRect(hwnd, nullptr, TRUE);
  Notify(hwnd, EN_SETFOCUS);
  return 0;
}

LRESULT OnKillFocus(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  e.focused = false;
  DestroyCaret();
  InvalidateRect(hwnd, nullptr, TRUE);
  Notify(hwnd, EN_KILLFOCUS);
  return 0;
}

LRESULT OnKeyDown(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  KeyDown(hwnd, e, static_cast<int>(wParam));
  return 0;
}

LRESULT OnChar(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  Char(hwnd, e, static_cast<char32_t>(wParam));
  return 0;
}

LRESULT OnLButtonDown(HWND hwnd, Edit& e, WPARAM wParam, LPARAM lParam) {
  if (GetFocus() != hwnd) SetFocus(hwnd);
  SetCapture(hwnd);
  e.selecting = true;
  MoveCaret(hwnd, e, CharFromPos(hwnd, e, PointOf(lParam)), (wParam & MK_SHIFT) != 0);
  return 0;
}

LRESULT OnMouseMove(HWND hwnd, Edit& e, WPARAM, LPARAM lParam) {
  if (e.selecting) MoveCaret(hwnd, e, CharFromPos(hwnd, e, PointOf(lParam)), true);
  return 0;
}

LRESULT OnLButtonUp(HWND, Edit& e, WPARAM, LPARAM) {
  if (e.selecting) {
    e.selecting = false;
    ReleaseCapture();
  }
  return 0;
}

LRESULT OnCaptureChanged(HWND, Edit& e, WPARAM, LPARAM) {
  e.selecting = false;
  return 0;
}

// A double click selects the word under the pointer.
LRESULT OnLButtonDblClk(HWND hwnd, Edit& e, WPARAM, LPARAM lParam) {
  int at = CharFromPos(hwnd, e, PointOf(lParam));
  int s = at, t = at;
  while (s > 0 && IsWordChar(e.text[s - 1])) --s;
  while (t < Len(e) && IsWordChar(e.text[t])) ++t;
  SetSel(hwnd, e, s, t);
  return 0;
}

LRESULT OnRButtonUp(HWND hwnd, Edit&, WPARAM, LPARAM lParam) {
  POINT p = PointOf(lParam);
  ClientToScreen(hwnd, &p);
  SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
              MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
  return 0;
}

LRESULT OnContextMenu(HWND hwnd, Edit& e, WPARAM, LPARAM lParam) {
  ContextMenu(hwnd, e, lParam);
  return 0;
}

LRESULT OnCut(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  if (ReadOnly(hwnd) || e.password) return 0;
  Copy(hwnd, e);
  ReplaceSel(hwnd, e, U"", true);
  return 0;
}

LRESULT OnCopy(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  Copy(hwnd, e);
  return 0;
}

LRESULT OnPaste(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  Paste(hwnd, e);
  return 0;
}

LRESULT OnClear(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  if (!ReadOnly(hwnd)) ReplaceSel(hwnd, e, U"", true);
  return 0;
}

LRESULT OnUndo(HWND hwnd, Edit& e, WPARAM, LPARAM) {
  Undo(hwnd, e);
  return e.canUndo ? TRUE : FALSE;
}

LRESULT OnVScroll(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  if (VScroll(hwnd, e, LOWORD(wParam))) Notify(hwnd, EN_VSCROLL);
  return 0;
}

LRESULT OnHScroll(HWND hwnd, Edit& e, WPARAM wParam, LPARAM) {
  int before = e.xOffset;
  RECT fr = FormatRect(hwnd, e);
  int step = Measure(e).Width(U"x");
  switch (LOWORD(wParam)) {
    case SB_LINELEFT: e.xOffset -= step; break;
    case SB_LINERIGHT: e.xOffset += step; break;
    case SB_PAGELEFT: e.xOffset -= fr.right - fr.left; break;
    case SB_PAGERIGHT: e.xOffset += fr.right - fr.left; break;
    case SB_LEFT: e.xOffset = 0; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: e.xOffset = static_cast<SHORT>(HIWORD(wParam)); break;
    default: break;
  }
  e.xOffset = std::max(0, e.xOffset);
  if (e.xOffset != before) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateScrollBars(hwnd, e);
    PlaceCaret(hwnd, e);
    Notify(hwnd, EN_HSCROLL);
  }
  return 0;
}

constexpr MessageHandlerEntry kWindowMessages[] = {
    {WM_NCDESTROY, OnNcDestroy},
    {WM_CREATE, OnCreate},
    {WM_SETTEXT, OnSetText},
    {WM_GETTEXT, OnGetText},
    {WM_GETTEXTLENGTH, OnGetTextLength},
    {WM_SETFONT, OnSetFont},
    {WM_GETFONT, OnGetFont},
    {WM_GETDLGCODE, OnGetDlgCode},
    {WM_PAINT, OnPaint},
    {WM_ERASEBKGND, OnEraseBkgnd},
    {WM_SIZE, OnSize},
    {WM_ENABLE, OnEnable},
    {WM_SETFOCUS, OnSetFocus},
    {WM_KILLFOCUS, OnKillFocus},
    {WM_KEYDOWN, OnKeyDown},
    {WM_CHAR, OnChar},
    {WM_LBUTTONDOWN, OnLButtonDown},
    {WM_MOUSEMOVE, OnMouseMove},
    {WM_LBUTTONUP, OnLButtonUp},
    {WM_CAPTURECHANGED, OnCaptureChanged},
    {WM_LBUTTONDBLCLK, OnLButtonDblClk},
    {WM_RBUTTONUP, OnRButtonUp},
    {WM_CONTEXTMENU, OnContextMenu},
    {WM_CUT, OnCut},
    {WM_COPY, OnCopy},
    {WM_PASTE, OnPaste},
    {WM_CLEAR, OnClear},
    {WM_UNDO, OnUndo},
    {EM_UNDO, OnUndo},
    {WM_VSCROLL, OnVScroll},
    {WM_HSCROLL, OnHScroll},
};

}  // namespace

LRESULT OnNcCreate(HWND hwnd, LPARAM lParam) {
  auto* e = new Edit;
  e->hwnd = hwnd;
  SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(e));
  DWORD st = Style(hwnd);
  if ((st & ES_PASSWORD) && !(st & ES_MULTILINE)) e->password = U'*';
  auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
  if (cs && cs->lpszName) e->text = Utf8To32(cs->lpszName);
  if (Multi(hwnd)) {
    e->anchor = e->caret = 0;
    e->text = WithLineBreaks(e->text);  // the creation text follows the line rules too
  }
  return TRUE;
}

std::span<const MessageHandlerEntry> WindowMessageHandlers() { return kWindowMessages; }

}  // namespace ktfolio::win::detail::edit
