// The built-in "Edit" window class: single- and multi-line text editing with a
// selection, a caret, one level of undo, the clipboard commands, a context
// menu, EN_* notifications to the parent and colours asked of the parent with
// WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC. This file holds the editing steps and
// the class's procedure, which hands each message to a named handler
// (edit_window_messages.cpp for WM_*, edit_control_messages.cpp for EM_*).
//
// Text is held as code points, so every index the messages use counts
// characters, as Win32 does; WM_SETTEXT/WM_GETTEXT speak UTF-8. Lines of a
// multi-line edit end at "\r\n".
#include <algorithm>
#include <cstring>

#include "platform/user/edit_impl.h"

namespace ktfolio::win::detail::edit {
namespace {

constexpr UINT_PTR kSelectAllCommand = EM_SETSEL;  // menu id of "Select All"

}  // namespace

void Notify(HWND hwnd, WORD code) {
  HWND parent = GetParent(hwnd);
  if (parent)
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), code),
                reinterpret_cast<LPARAM>(hwnd));
}

// ---- editing ---------------------------------------------------------------------------

namespace {

void Changed(HWND hwnd, Edit& e) {
  InvalidateRect(hwnd, nullptr, TRUE);
  ScrollCaret(hwnd, e);
  UpdateScrollBars(hwnd, e);
  Notify(hwnd, EN_UPDATE);
  Notify(hwnd, EN_CHANGE);
}

}  // namespace

// Replaces the selection with `ins` (within the limit); false when nothing changed.
bool ReplaceSel(HWND hwnd, Edit& e, std::u32string ins, bool undoable) {
  DWORD st = Style(hwnd);
  if (!Multi(hwnd)) {
    auto brk = ins.find_first_of(U"\r\n");
    if (brk != std::u32string::npos) ins.resize(brk);  // one line only
  } else {
    std::u32string norm;  // lone LF or CR become CR LF
    for (size_t i = 0; i < ins.size(); ++i) {
      if (ins[i] == U'\r' && i + 1 < ins.size() && ins[i + 1] == U'\n') {
        norm += U"\r\n";
        ++i;
      } else if (ins[i] == U'\r' || ins[i] == U'\n') {
        norm += U"\r\n";
      } else {
        norm += ins[i];
      }
    }
    ins = norm;
  }
  if (st & ES_UPPERCASE)
    for (auto& c : ins) c = (c >= 'a' && c <= 'z') ? c - 32 : c;
  if (st & ES_LOWERCASE)
    for (auto& c : ins) c = (c >= 'A' && c <= 'Z') ? c + 32 : c;
  int s = SelMin(e), t = SelMax(e);
  int room = e.limit - (Len(e) - (t - s));
  if (static_cast<int>(ins.size()) > room) {
    ins.resize(static_cast<size_t>(std::max(0, room)));
    Notify(hwnd, EN_MAXTEXT);
  }
  if (ins.empty() && s == t) return false;
  if (undoable) {
    e.undoText = e.text;
    e.undoAnchor = e.anchor;
    e.undoCaret = e.caret;
    e.canUndo = true;
  }
  e.text.replace(s, t - s, ins);
  e.anchor = e.caret = s + static_cast<int>(ins.size());
  e.modified = true;
  Changed(hwnd, e);
  return true;
}

void Copy(HWND hwnd, Edit& e) {
  if (e.password || SelMin(e) == SelMax(e)) return;
  if (!OpenClipboard(hwnd)) return;
  EmptyClipboard();
  SetClipboardText(Utf32To8(e.text.substr(SelMin(e), SelMax(e) - SelMin(e))));
  CloseClipboard();
}

void Paste(HWND hwnd, Edit& e) {
  if (ReadOnly(hwnd)) return;
  std::string clip;
  if (!OpenClipboard(hwnd)) return;
  bool has = GetClipboardText(&clip);
  CloseClipboard();
  if (has) ReplaceSel(hwnd, e, Utf8To32(clip), true);
}

void Undo(HWND hwnd, Edit& e) {
  if (!e.canUndo || ReadOnly(hwnd)) return;
  // undoing twice redoes: the undo buffer and the text change places
  std::swap(e.text, e.undoText);
  std::swap(e.anchor, e.undoAnchor);
  std::swap(e.caret, e.undoCaret);
  e.anchor = std::clamp(e.anchor, 0, Len(e));
  e.caret = std::clamp(e.caret, 0, Len(e));
  e.modified = true;
  Changed(hwnd, e);
}


namespace {

int WordLeft(const Edit& e, int i) {
  while (i > 0 && !IsWordChar(e.text[i - 1])) --i;
  while (i > 0 && IsWordChar(e.text[i - 1])) --i;
  return i;
}

int WordRight(const Edit& e, int i) {
  while (i < Len(e) && IsWordChar(e.text[i])) ++i;
  while (i < Len(e) && !IsWordChar(e.text[i])) ++i;
  return i;
}

}  // namespace

void MoveCaret(HWND hwnd, Edit& e, int to, bool extend) {
  to = std::clamp(to, 0, Len(e));
  // never inside a line break
  if (to > 0 && to < Len(e) && e.text[to - 1] == U'\r' && e.text[to] == U'\n') to += (to > e.caret) ? 1 : -1;
  e.caret = to;
  if (!extend) e.anchor = to;
  InvalidateRect(hwnd, nullptr, TRUE);
  ScrollCaret(hwnd, e);
}

void KeyDown(HWND hwnd, Edit& e, int vk) {
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  auto starts = LineStarts(e, Multi(hwnd));
  int line = LineOf(starts, e.caret);
  auto toLine = [&](int target) {
    target = std::clamp(target, 0, static_cast<int>(starts.size()) - 1);
    int col = e.caret - starts[line];
    return std::min(starts[target] + col, LineEnd(e, starts, target));
  };
  switch (vk) {
    case VK_LEFT: MoveCaret(hwnd, e, ctrl ? WordLeft(e, e.caret) : e.caret - 1, shift); break;
    case VK_RIGHT: MoveCaret(hwnd, e, ctrl ? WordRight(e, e.caret) : e.caret + 1, shift); break;
    case VK_UP: if (Multi(hwnd)) MoveCaret(hwnd, e, toLine(line - 1), shift); break;
    case VK_DOWN: if (Multi(hwnd)) MoveCaret(hwnd, e, toLine(line + 1), shift); break;
    case VK_PRIOR: if (Multi(hwnd)) MoveCaret(hwnd, e, toLine(line - VisibleLines(hwnd, e)), shift); break;
    case VK_NEXT: if (Multi(hwnd)) MoveCaret(hwnd, e, toLine(line + VisibleLines(hwnd, e)), shift); break;
    case VK_HOME: MoveCaret(hwnd, e, ctrl ? 0 : starts[line], shift); break;
    case VK_END: MoveCaret(hwnd, e, ctrl ? Len(e) : LineEnd(e, starts, line), shift); break;
    case VK_DELETE:
      if (ReadOnly(hwnd)) break;
      if (shift) {
        SendMessage(hwnd, WM_CUT, 0, 0);
      } else {
        if (SelMin(e) == SelMax(e)) {
          if (e.caret >= Len(e)) break;
          bool crlf = e.text[e.caret] == U'\r' && e.caret + 1 < Len(e) && e.text[e.caret + 1] == U'\n';
          e.anchor = e.caret + (crlf ? 2 : 1);
        }
        ReplaceSel(hwnd, e, U"", true);
      }
      break;
    case VK_INSERT:
      if (shift) SendMessage(hwnd, WM_PASTE, 0, 0);
      else if (ctrl) SendMessage(hwnd, WM_COPY, 0, 0);
      break;
    default: break;
  }
}

void Char(HWND hwnd, Edit& e, char32_t ch) {
  switch (ch) {
    case 1: SetSel(hwnd, e, 0, Len(e)); return;           // Ctrl+A
    case 3: SendMessage(hwnd, WM_COPY, 0, 0); return;     // Ctrl+C
    case 0x16: SendMessage(hwnd, WM_PASTE, 0, 0); return; // Ctrl+V
    case 0x18: SendMessage(hwnd, WM_CUT, 0, 0); return;   // Ctrl+X
    case 0x1A: SendMessage(hwnd, WM_UNDO, 0, 0); return;  // Ctrl+Z
    default: break;
  }
  if (ReadOnly(hwnd)) return;
  if (ch == 8) {
    if (SelMin(e) == SelMax(e)) {
      if (e.caret == 0) return;
      bool crlf = e.caret >= 2 && e.text[e.caret - 1] == U'\n' && e.text[e.caret - 2] == U'\r';
      e.anchor = e.caret - (crlf ? 2 : 1);
    }
    ReplaceSel(hwnd, e, U"", true);
    return;
  }
  if (ch == U'\r' || ch == U'\n') {
    if (Multi(hwnd)) ReplaceSel(hwnd, e, U"\r\n", true);
    return;
  }
  if (ch == U'\t') {
    if (Multi(hwnd)) ReplaceSel(hwnd, e, U"\t", true);
    return;
  }
  if (ch < 0x20 || ch == 0x7F) return;
  if ((Style(hwnd) & ES_NUMBER) && (ch < U'0' || ch > U'9')) {
    MessageBeep(0);
    return;
  }
  if (!ReplaceSel(hwnd, e, std::u32string(1, ch), true)) MessageBeep(0);
}

void ContextMenu(HWND hwnd, Edit& e, LPARAM lParam) {
  if (GetFocus() != hwnd) SetFocus(hwnd);
  bool ro = ReadOnly(hwnd), sel = SelMin(e) != SelMax(e);
  HMENU menu = CreatePopupMenu();
  auto item = [&](UINT_PTR id, const char* text, bool on) { AppendMenu(menu, on ? MF_STRING : MF_GRAYED, id, text); };
  item(WM_UNDO, "&Undo", e.canUndo && !ro);
  AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  item(WM_CUT, "Cu&t", sel && !ro && !e.password);
  item(WM_COPY, "&Copy", sel && !e.password);
  item(WM_PASTE, "&Paste", IsClipboardFormatAvailable(CF_TEXT) && !ro);
  item(WM_CLEAR, "&Delete", sel && !ro);
  AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  item(kSelectAllCommand, "Select &All", SelMax(e) - SelMin(e) < Len(e));
  UINT_PTR cmd = static_cast<UINT_PTR>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, GET_X_LPARAM(lParam),
                                                      GET_Y_LPARAM(lParam), 0, hwnd, nullptr));
  DestroyMenu(menu);
  if (cmd == kSelectAllCommand)
    SendMessage(hwnd, EM_SETSEL, 0, -1);
  else if (cmd)
    SendMessage(hwnd, static_cast<UINT>(cmd), 0, 0);
}

void Paint(HWND hwnd, Edit& e) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  bool disabled = !IsWindowEnabled(hwnd);
  UINT colorMsg = (ReadOnly(hwnd) || disabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  HWND parent = GetParent(hwnd);
  auto brush = reinterpret_cast<HBRUSH>(parent ? SendMessage(parent, colorMsg, reinterpret_cast<WPARAM>(hdc),
                                                             reinterpret_cast<LPARAM>(hwnd))
                                               : DefWindowProc(hwnd, colorMsg, reinterpret_cast<WPARAM>(hdc),
                                                               reinterpret_cast<LPARAM>(hwnd)));
  if (!brush) brush = reinterpret_cast<HBRUSH>(DefWindowProc(hwnd, colorMsg, reinterpret_cast<WPARAM>(hdc),
                                                             reinterpret_cast<LPARAM>(hwnd)));
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(hdc, &rc, brush);
  if (disabled) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  COLORREF textColor = GetTextColor(hdc);
  HGDIOBJ oldFont = SelectObject(hdc, e.font ? static_cast<HGDIOBJ>(e.font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(hdc, TRANSPARENT);
  Measure m(e);
  int h = m.Height();
  auto starts = LineStarts(e, Multi(hwnd));
  bool showSel = e.focused || (Style(hwnd) & ES_NOHIDESEL);
  int s0 = SelMin(e), s1 = SelMax(e);
  for (int line = e.firstLine; line < static_cast<int>(starts.size()); ++line) {
    int y = (line - e.firstLine) * h;
    if (y >= rc.bottom) break;
    int a = starts[line], b = LineEnd(e, starts, line);
    int x = LineX(hwnd, e, m, a, b);
    auto draw = [&](int from, int to, bool selected) {
      if (from >= to) return;
      std::u32string part = Shown(e, from, to);
      int x0 = x + m.Width(Shown(e, a, from));
      int w = m.Width(part);
      if (selected) {
        RECT sr{x0, y, x0 + w, y + h};
        FillRect(hdc, &sr, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      } else {
        SetTextColor(hdc, textColor);
      }
      std::string u = Utf32To8(part);
      TextOut(hdc, x0, y, u.c_str(), static_cast<int>(u.size()));
    };
    if (showSel && s0 < s1) {
      draw(a, std::clamp(s0, a, b), false);
      draw(std::clamp(s0, a, b), std::clamp(s1, a, b), true);
      draw(std::clamp(s1, a, b), b, false);
    } else {
      draw(a, b, false);
    }
  }
  SetTextColor(hdc, textColor);
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT VScroll(HWND hwnd, Edit& e, int code) {
  int count = static_cast<int>(LineStarts(e, Multi(hwnd)).size());
  int page = VisibleLines(hwnd, e);
  int before = e.firstLine;
  switch (code) {
    case SB_LINEUP: e.firstLine -= 1; break;
    case SB_LINEDOWN: e.firstLine += 1; break;
    case SB_PAGEUP: e.firstLine -= page; break;
    case SB_PAGEDOWN: e.firstLine += page; break;
    case SB_TOP: e.firstLine = 0; break;
    case SB_BOTTOM: e.firstLine = count - 1; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(hwnd, SB_VERT, &si);
      e.firstLine = si.nTrackPos;
      break;
    }
    default: break;
  }
  e.firstLine = std::clamp(e.firstLine, 0, std::max(0, count - 1));
  if (e.firstLine != before) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateScrollBars(hwnd, e);
    PlaceCaret(hwnd, e);
  }
  return e.firstLine - before;
}

}  // namespace ktfolio::win::detail::edit

namespace ktfolio::win::detail {

using namespace edit;

LRESULT EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) return OnNcCreate(hwnd, lParam);
  Edit* e = Of(hwnd);
  if (!e) return DefWindowProc(hwnd, msg, wParam, lParam);
  if (MessageHandler handler = FindMessageHandler(msg)) return handler(hwnd, *e, wParam, lParam);
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

MessageHandler edit::FindMessageHandler(UINT msg) {
  for (auto table : {WindowMessageHandlers(), ControlMessageHandlers()})
    for (const MessageHandlerEntry& entry : table)
      if (entry.msg == msg) return entry.handler;
  return nullptr;
}

void RegisterEditClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = EditWndProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = "Edit";
  RegisterClassEx(&wc);
}

}  // namespace ktfolio::win::detail
