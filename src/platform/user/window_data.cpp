// Window data: longs and styles, text, visibility and enabling, position and
// size, coordinate conversion, hit testing and system metrics.
#include <algorithm>
#include <cstring>

#include "platform/user/user_internal.h"

namespace ktfolio::win {

using namespace detail;

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    default:
      if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
      }
      return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  if (w->processId != GetCurrentProcessId()) return 0;  // another process's window: access denied
  LONG_PTR old = GetWindowLongPtr(hwnd, index);
  switch (index) {
    case GWLP_WNDPROC:
      w->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_ID: w->id = value; break;
    case GWLP_USERDATA: w->userData = value; break;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    case GWL_STYLE: {
      DWORD before = w->style;
      w->style = static_cast<DWORD>(value);
      if ((before ^ w->style) & (WS_HSCROLL | WS_VSCROLL | WS_BORDER)) {
        w->hbar.shown = (w->style & WS_HSCROLL) != 0;
        w->vbar.shown = (w->style & WS_VSCROLL) != 0;
        w->frameDirty = true;
      }
      break;
    }
    default:
      if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= w->extra.size())
        std::memcpy(w->extra.data() + index, &value, sizeof value);
      else
        return 0;
  }
  return old;
}

BOOL SetWindowText(HWND hwnd, LPCSTR text) {
  return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowText(HWND hwnd, LPSTR buffer, int size) {
  return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) { return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)); }

std::string user::WindowText(HWND hwnd) {
  std::string text(static_cast<size_t>(GetWindowTextLength(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowText(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  bool was = (w->style & WS_VISIBLE) != 0;
  bool show = cmd != SW_HIDE;
  if (was == show) return was;
  SendMessage(hwnd, WM_SHOWWINDOW, show, 0);
  if (!(w = Find(hwnd))) return was;
  if (show) {
    w->style |= WS_VISIBLE;
    w->frameDirty = true;
    InvalidateTree(hwnd, nullptr, true);
  } else {
    w->style &= ~WS_VISIBLE;
    if (w->parent) {
      RECT r = w->rect;
      InvalidateTree(w->parent, &r, true);
    }
    Desktop& d = TheDesktop();
    if (d.focus && (d.focus == hwnd || IsChild(hwnd, d.focus))) SetFocus(w->parent);
  }
  if (!w->parent) TheBackend().TopLevelChanged(*w);
  return was;
}

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && IsVisibleChain(*w);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  bool wasDisabled = (w->style & WS_DISABLED) != 0;
  if (enable == !wasDisabled) return wasDisabled;
  if (enable)
    w->style &= ~WS_DISABLED;
  else
    w->style |= WS_DISABLED;
  if (!enable && (TheDesktop().focus == hwnd)) SetFocus(nullptr);
  SendMessage(hwnd, WM_ENABLE, enable, 0);
  InvalidateTree(hwnd, nullptr, true);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  RECT old = w->rect;
  RECT oldClient = ClientRectInWindow(*w);
  RECT r = old;
  if (!(flags & SWP_NOMOVE)) {
    r.right = x + (r.right - r.left);
    r.bottom = y + (r.bottom - r.top);
    r.left = x;
    r.top = y;
  }
  if (!(flags & SWP_NOSIZE)) {
    r.right = r.left + std::max(0, cx);
    r.bottom = r.top + std::max(0, cy);
  }
  w->rect = r;
  bool moved = r.left != old.left || r.top != old.top;
  bool sized = (r.right - r.left) != (old.right - old.left) || (r.bottom - r.top) != (old.bottom - old.top);
  if (flags & SWP_FRAMECHANGED) w->frameDirty = true;
  if (w->parent && (moved || sized) && (w->style & WS_VISIBLE) && !(flags & SWP_NOREDRAW)) {
    InvalidateTree(w->parent, &old, true);
  }
  if (sized && !w->parent) ReleaseBacking(*w);
  if (moved || sized || (flags & SWP_FRAMECHANGED)) {
    if (!(flags & SWP_NOREDRAW)) InvalidateTree(hwnd, nullptr, true);
    w->frameDirty = true;
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (!(w = Find(hwnd))) return TRUE;
  RECT nc = ClientRectInWindow(*w);
  if (moved) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(r.left), static_cast<WORD>(r.top)));
  if (sized || (nc.right - nc.left) != (oldClient.right - oldClient.left) ||
      (nc.bottom - nc.top) != (oldClient.bottom - oldClient.top))
    SendSize(hwnd);
  if ((w = Find(hwnd)) && !w->parent && (moved || sized)) TheBackend().TopLevelChanged(*w);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL GetClientRect(HWND hwnd, RECT* rc) {
  Window* w = Find(hwnd);
  if (!w || !rc) return FALSE;
  RECT c = ClientRectInWindow(*w);
  *rc = RECT{0, 0, c.right - c.left, c.bottom - c.top};
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rc) {
  Window* w = Find(hwnd);
  if (!w || !rc) return FALSE;
  POINT o = WindowOriginInTop(*w);
  Window* top = Find(TopOf(hwnd));
  o.x += top->rect.left;
  o.y += top->rect.top;
  *rc = RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
  Window* w = Find(hwnd);
  if (!w || !pt) return FALSE;
  RECT wr;
  GetWindowRect(hwnd, &wr);
  RECT c = ClientRectInWindow(*w);
  pt->x += wr.left + c.left;
  pt->y += wr.top + c.top;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
  POINT o{0, 0};
  if (!ClientToScreen(hwnd, &o)) return FALSE;
  pt->x -= o.x;
  pt->y -= o.y;
  return TRUE;
}

namespace {
HWND DeepestAt(HWND hwnd, POINT screen) {
  Window* w = Find(hwnd);
  if (!w || !(w->style & WS_VISIBLE)) return nullptr;
  RECT wr;
  GetWindowRect(hwnd, &wr);
  if (!PtIn(wr, screen)) return nullptr;
  RECT c = ClientRectInWindow(*w);
  POINT local{screen.x - wr.left, screen.y - wr.top};
  if (PtIn(c, local)) {
    for (HWND k : w->children)
      if (HWND hit = DeepestAt(k, screen)) return hit;
  }
  return hwnd;
}
}  // namespace

HWND WindowFromPoint(POINT screenPt) {
  for (HWND top : TheDesktop().topLevels)
    if (HWND hit = DeepestAt(top, screenPt)) return hit;
  return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT clientPt) {
  Window* p = Find(parent);
  if (!p) return nullptr;
  for (HWND k : p->children) {
    Window* c = Find(k);
    if (c && PtIn(c->rect, clientPt)) return k;
  }
  RECT rc;
  GetClientRect(parent, &rc);
  return PtIn(rc, clientPt) ? parent : nullptr;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return 1280;
    case SM_CYSCREEN: return 1024;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: return 0;
  }
}

}  // namespace ktfolio::win
