// Sending a message to a window, and the default window procedure.
#include <algorithm>
#include <cstring>

#include "platform/user/user_internal.h"

namespace ktfolio::win {

using namespace detail;

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(hwnd);
  if (!w || !w->proc) return 0;
  return w->proc(hwnd, msg, wParam, lParam);
}

namespace {

LRESULT CopyText(const Window& w, WPARAM size, LPARAM lParam) {
  auto* buf = reinterpret_cast<char*>(lParam);
  if (!buf || size == 0) return 0;
  size_t n = std::min(w.text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buf, w.text.data(), n);
  buf[n] = 0;
  return static_cast<LRESULT>(n);
}

LRESULT EraseWithClassBrush(HWND hwnd, const Window& w, HDC hdc) {
  HBRUSH br = w.cls->wc.hbrBackground;
  if (!br) return 0;
  if (reinterpret_cast<std::uintptr_t>(br) <= 31)  // (COLOR_xxx + 1)
    br = GetSysColorBrush(static_cast<int>(reinterpret_cast<std::uintptr_t>(br)) - 1);
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(hdc, &rc, br);
  return 1;
}

LRESULT SetClassCursor(const Window& w, WPARAM wParam, LPARAM lParam) {
  if (w.parent && SendMessage(w.parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  if (LOWORD(static_cast<std::uintptr_t>(lParam)) == HTCLIENT && w.cls->wc.hCursor) {
    SetCursor(w.cls->wc.hCursor);
    return TRUE;
  }
  if (!w.parent) SetCursor(LoadCursor(nullptr, IDC_ARROW));
  return FALSE;
}

LRESULT HitTest(HWND hwnd, const Window& w, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT wr;
  GetWindowRect(hwnd, &wr);
  if (!PtIn(wr, p)) return HTNOWHERE;
  POINT local{p.x - wr.left, p.y - wr.top};
  if (PtIn(ClientRectInWindow(w), local)) return HTCLIENT;
  if (PtIn(ScrollBarRect(w, SB_HORZ), local)) return HTHSCROLL;
  if (PtIn(ScrollBarRect(w, SB_VERT), local)) return HTVSCROLL;
  return HTBORDER;
}

LRESULT DefaultControlColors(UINT msg, HDC hdc) {
  int back = msg == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(hdc, GetSysColor(back));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

// Messages a child does not handle itself go up to its parent.
LRESULT AskParent(const Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  return w.parent ? SendMessage(w.parent, msg, wParam, lParam) : 0;
}

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
      if (cs && cs->lpszName) w->text = cs->lpszName;
      return TRUE;
    }
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (!w->parent) TheBackend().TopLevelChanged(*w);
      w->frameDirty = true;
      return TRUE;
    case WM_GETTEXT: return CopyText(*w, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return EraseWithClassBrush(hwnd, *w, reinterpret_cast<HDC>(wParam));
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_MOUSEACTIVATE:
      if (LRESULT r = AskParent(*w, msg, wParam, lParam)) return r;
      return MA_ACTIVATE;
    case WM_SETCURSOR: return SetClassCursor(*w, wParam, lParam);
    case WM_CONTEXTMENU:
    case WM_SYSCHAR:  // Alt+key nobody took goes up to the top-level window
      return AskParent(*w, msg, wParam, lParam);
    case WM_NCHITTEST: return HitTest(hwnd, *w, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: return DefaultControlColors(msg, reinterpret_cast<HDC>(wParam));
    default: return 0;
  }
}

}  // namespace ktfolio::win
