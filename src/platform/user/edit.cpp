// The built-in "Edit" window class: single- and multi-line text editing with a
// selection, a caret, one level of undo, the EM_* messages, the clipboard
// commands, a context menu, EN_* notifications to the parent and colours asked
// of the parent with WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC.
//
// Text is held as code points, so every index the messages use counts
// characters, as Win32 does; WM_SETTEXT/WM_GETTEXT speak UTF-8. Lines of a
// multi-line edit end at "\r\n".
#include <algorithm>
#include <cstring>

#include "platform/user/edit_impl.h"

namespace ktfolio::win::detail {
namespace {

using namespace edit;

constexpr UINT_PTR kSelectAllCommand = EM_SETSEL;  // menu id of "Select All"

void Notify(HWND hwnd, WORD code) {
  HWND parent = GetParent(hwnd);
  if (parent)
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), code),
                reinterpret_cast<LPARAM>(hwnd));
}

// ---- editing ---------------------------------------------------------------------------

void Changed(HWND hwnd, Edit& e) {
  InvalidateRect(hwnd, nullptr, TRUE);
  ScrollCaret(hwnd, e);
  UpdateScrollBars(hwnd, e);
  Notify(hwnd, EN_UPDATE);
  Notify(hwnd, EN_CHANGE);
}

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

bool IsWordChar(char32_t c) { return c != U' ' && c != U'\t' && c != U'\r' && c != U'\n'; }

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

}  // namespace

LRESULT EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Edit* e = Of(hwnd);
  if (msg == WM_NCCREATE) {
    e = new Edit;
    e->hwnd = hwnd;
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(e));
    DWORD st = Style(hwnd);
    if ((st & ES_PASSWORD) && !(st & ES_MULTILINE)) e->password = U'*';
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
    if (cs && cs->lpszName) e->text = Utf8To32(cs->lpszName);
    if (Multi(hwnd)) {
      // the creation text follows the line rules too
      std::u32string t;
      t.swap(e->text);
      e->anchor = e->caret = 0;
      int lim = e->limit;
      e->limit = 0x7FFFFFFE;
      for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == U'\r' && i + 1 < t.size() && t[i + 1] == U'\n') e->text += U"\r\n", ++i;
        else if (t[i] == U'\r' || t[i] == U'\n') e->text += U"\r\n";
        else e->text += t[i];
      }
      e->limit = lim;
    }
    return TRUE;
  }
  if (!e) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_NCDESTROY:
      SetWindowLongPtr(hwnd, 0, 0);
      delete e;
      return 0;
    case WM_CREATE: UpdateScrollBars(hwnd, *e); return 0;
    case WM_SETTEXT: {
      e->text.clear();
      e->anchor = e->caret = 0;
      int lim = e->limit;
      e->limit = 0x7FFFFFFE;  // setting the text is not held to the typing limit
      std::u32string t = lParam ? Utf8To32(reinterpret_cast<const char*>(lParam)) : U"";
      if (!Multi(hwnd)) {
        e->text = t;  // a single line keeps whatever it is given
      } else {
        e->anchor = 0;
        e->caret = 0;
        ReplaceSel(hwnd, *e, t, false);
        e->anchor = e->caret = 0;
      }
      e->limit = lim;
      e->canUndo = false;
      e->modified = false;
      e->firstLine = 0;
      e->xOffset = 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      UpdateScrollBars(hwnd, *e);
      PlaceCaret(hwnd, *e);
      if (!Multi(hwnd)) {
        Notify(hwnd, EN_UPDATE);
        Notify(hwnd, EN_CHANGE);
      }
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<char*>(lParam);
      if (!buf || wParam == 0) return 0;
      std::string u = Utf32To8(e->text);
      size_t n = std::min(u.size(), static_cast<size_t>(wParam - 1));
      std::memcpy(buf, u.data(), n);
      buf[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(Utf32To8(e->text).size());
    case WM_SETFONT:
      e->font = reinterpret_cast<HFONT>(wParam);
      if (e->focused) {
        CreateCaret(hwnd, nullptr, 1, Measure(*e).Height());
        ShowCaret(hwnd);
      }
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, *e);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(e->font);
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (Multi(hwnd) ? DLGC_WANTALLKEYS : 0);
    case WM_PAINT: Paint(hwnd, *e); return 0;
    case WM_ERASEBKGND: return 1;  // WM_PAINT fills with the colours the parent chose
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, TRUE);
      UpdateScrollBars(hwnd, *e);
      return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
      e->focused = true;
      CreateCaret(hwnd, nullptr, 1, Measure(*e).Height());
      PlaceCaret(hwnd, *e);
      ShowCaret(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      Notify(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      e->focused = false;
      DestroyCaret();
      InvalidateRect(hwnd, nullptr, TRUE);
      Notify(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_KEYDOWN: KeyDown(hwnd, *e, static_cast<int>(wParam)); return 0;
    case WM_CHAR: Char(hwnd, *e, static_cast<char32_t>(wParam)); return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      SetCapture(hwnd);
      e->selecting = true;
      int at = CharFromPos(hwnd, *e, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      MoveCaret(hwnd, *e, at, (wParam & MK_SHIFT) != 0);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (e->selecting)
        MoveCaret(hwnd, *e, CharFromPos(hwnd, *e, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), true);
      return 0;
    case WM_LBUTTONUP:
      if (e->selecting) {
        e->selecting = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED: e->selecting = false; return 0;
    case WM_LBUTTONDBLCLK: {
      int at = CharFromPos(hwnd, *e, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      int s = at, t = at;
      while (s > 0 && IsWordChar(e->text[s - 1])) --s;
      while (t < Len(*e) && IsWordChar(e->text[t])) ++t;
      SetSel(hwnd, *e, s, t);
      return 0;
    }
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, &p);
      SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd),
                  MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
      return 0;
    }
    case WM_CONTEXTMENU: ContextMenu(hwnd, *e, lParam); return 0;
    case WM_CUT:
      if (ReadOnly(hwnd) || e->password) return 0;
      Copy(hwnd, *e);
      ReplaceSel(hwnd, *e, U"", true);
      return 0;
    case WM_COPY: Copy(hwnd, *e); return 0;
    case WM_PASTE: Paste(hwnd, *e); return 0;
    case WM_CLEAR:
      if (!ReadOnly(hwnd)) ReplaceSel(hwnd, *e, U"", true);
      return 0;
    case WM_UNDO:
    case EM_UNDO: Undo(hwnd, *e); return e->canUndo ? TRUE : FALSE;
    case WM_VSCROLL: {
      LRESULT moved = VScroll(hwnd, *e, LOWORD(wParam));
      if (moved) Notify(hwnd, EN_VSCROLL);
      return 0;
    }
    case WM_HSCROLL: {
      int before = e->xOffset;
      RECT fr = FormatRect(hwnd, *e);
      int step = Measure(*e).Width(U"x");
      switch (LOWORD(wParam)) {
        case SB_LINELEFT: e->xOffset -= step; break;
        case SB_LINERIGHT: e->xOffset += step; break;
        case SB_PAGELEFT: e->xOffset -= fr.right - fr.left; break;
        case SB_PAGERIGHT: e->xOffset += fr.right - fr.left; break;
        case SB_LEFT: e->xOffset = 0; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: e->xOffset = static_cast<SHORT>(HIWORD(wParam)); break;
        default: break;
      }
      e->xOffset = std::max(0, e->xOffset);
      if (e->xOffset != before) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateScrollBars(hwnd, *e);
        PlaceCaret(hwnd, *e);
        Notify(hwnd, EN_HSCROLL);
      }
      return 0;
    }

    // ---- EM_* ----
    case EM_GETSEL: {
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(SelMin(*e));
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(SelMax(*e));
      return MAKELONG(static_cast<WORD>(std::min(SelMin(*e), 0xFFFF)), static_cast<WORD>(std::min(SelMax(*e), 0xFFFF)));
    }
    case EM_SETSEL: {
      int s = static_cast<int>(static_cast<LONG>(wParam)), t = static_cast<int>(static_cast<LONG>(lParam));
      if (s == -1) {
        SetSel(hwnd, *e, e->caret, e->caret);  // -1 removes the selection
        return 0;
      }
      if (t == -1) t = Len(*e);
      SetSel(hwnd, *e, s, t);
      return 0;
    }
    case EM_REPLACESEL: {
      std::u32string ins = lParam ? Utf8To32(reinterpret_cast<const char*>(lParam)) : U"";
      if (!ReplaceSel(hwnd, *e, ins, wParam != 0) || !wParam) {
        if (!wParam) e->canUndo = false;
      }
      return 0;
    }
    case EM_GETLINECOUNT: return static_cast<LRESULT>(LineStarts(*e, Multi(hwnd)).size());
    case EM_LINEFROMCHAR: {
      auto starts = LineStarts(*e, Multi(hwnd));
      int i = static_cast<int>(static_cast<LONG>(wParam));
      if (i < 0) i = SelMin(*e) != SelMax(*e) ? SelMin(*e) : e->caret;
      return LineOf(starts, std::min(i, Len(*e)));
    }
    case EM_LINEINDEX: {
      auto starts = LineStarts(*e, Multi(hwnd));
      int line = static_cast<int>(static_cast<LONG>(wParam));
      if (line < 0) line = LineOf(starts, e->caret);
      return line < static_cast<int>(starts.size()) ? starts[line] : -1;
    }
    case EM_LINELENGTH: {
      auto starts = LineStarts(*e, Multi(hwnd));
      int i = static_cast<int>(static_cast<LONG>(wParam));
      if (i < 0) i = e->caret;
      int line = LineOf(starts, std::min(i, Len(*e)));
      return LineEnd(*e, starts, line) - starts[line];
    }
    case EM_GETLINE: {
      auto starts = LineStarts(*e, Multi(hwnd));
      int line = static_cast<int>(wParam);
      auto* buf = reinterpret_cast<char*>(lParam);
      if (!buf || line < 0 || line >= static_cast<int>(starts.size())) return 0;
      WORD size;
      std::memcpy(&size, buf, sizeof size);
      std::string u = Utf32To8(e->text.substr(starts[line], LineEnd(*e, starts, line) - starts[line]));
      size_t n = std::min<size_t>(u.size(), size);
      std::memcpy(buf, u.data(), n);  // no terminator, as the message defines
      return static_cast<LRESULT>(n);
    }
    case EM_LIMITTEXT:
      e->limit = wParam ? static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE;
      return 0;
    case EM_GETLIMITTEXT: return e->limit;
    case EM_SETPASSWORDCHAR: {
      if (Multi(hwnd)) return 0;
      e->password = static_cast<char32_t>(wParam);
      DWORD st = Style(hwnd);
      SetWindowLongPtr(hwnd, GWL_STYLE, wParam ? (st | ES_PASSWORD) : (st & ~ES_PASSWORD));
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case EM_GETPASSWORDCHAR: return static_cast<LRESULT>(e->password);
    case EM_GETMODIFY: return e->modified ? TRUE : FALSE;
    case EM_SETMODIFY: e->modified = wParam != 0; return 0;
    case EM_CANUNDO: return e->canUndo ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER: e->canUndo = false; e->undoText.clear(); return 0;
    case EM_SETREADONLY: {
      DWORD st = Style(hwnd);
      SetWindowLongPtr(hwnd, GWL_STYLE, wParam ? (st | ES_READONLY) : (st & ~ES_READONLY));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_SETMARGINS:
      if (wParam & EC_LEFTMARGIN) e->leftMargin = LOWORD(static_cast<std::uintptr_t>(lParam)) == EC_USEFONTINFO ? 1 : LOWORD(static_cast<std::uintptr_t>(lParam));
      if (wParam & EC_RIGHTMARGIN) e->rightMargin = HIWORD(static_cast<std::uintptr_t>(lParam)) == EC_USEFONTINFO ? 1 : HIWORD(static_cast<std::uintptr_t>(lParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd, *e);
      return 0;
    case EM_GETMARGINS:
      return MAKELONG(static_cast<WORD>(e->leftMargin), static_cast<WORD>(e->rightMargin));
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = FormatRect(hwnd, *e);
      return 0;
    case EM_GETFIRSTVISIBLELINE:
      if (Multi(hwnd)) return e->firstLine;
      return CharFromPos(hwnd, *e, POINT{e->leftMargin, 0});
    case EM_LINESCROLL: {
      if (!Multi(hwnd)) return FALSE;
      int count = static_cast<int>(LineStarts(*e, Multi(hwnd)).size());
      e->firstLine = std::clamp(e->firstLine + static_cast<int>(static_cast<LONG>(lParam)), 0, std::max(0, count - 1));
      e->xOffset = std::max(0, e->xOffset + static_cast<int>(static_cast<LONG>(wParam)) * Measure(*e).Width(U"x"));
      InvalidateRect(hwnd, nullptr, TRUE);
      UpdateScrollBars(hwnd, *e);
      PlaceCaret(hwnd, *e);
      return TRUE;
    }
    case EM_SCROLL: {
      if (!Multi(hwnd)) return 0;
      LRESULT moved = VScroll(hwnd, *e, static_cast<int>(wParam));
      return MAKELONG(static_cast<WORD>(static_cast<SHORT>(moved)), TRUE);
    }
    case EM_SCROLLCARET: ScrollCaret(hwnd, *e); return TRUE;
    case EM_POSFROMCHAR: {
      int i = static_cast<int>(wParam);
      if (i < 0 || i > Len(*e)) return -1;
      POINT p = PosFromChar(hwnd, *e, i);
      return MAKELONG(static_cast<WORD>(static_cast<SHORT>(p.x)), static_cast<WORD>(static_cast<SHORT>(p.y)));
    }
    case EM_CHARFROMPOS: {
      int line = 0;
      int i = CharFromPos(hwnd, *e, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &line);
      return MAKELONG(static_cast<WORD>(i), static_cast<WORD>(line));
    }
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
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
