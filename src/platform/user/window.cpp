// The window tree: classes, creation and destruction, window data, sent
// messages and the default window procedure. Properties are in props.cpp.
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {

namespace {
std::string Lower(const char* s) {
  std::string out = s ? s : "";
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}
}  // namespace

Desktop& D() {
  static Desktop* desktop = new Desktop;  // lives for the process: windows may outlive static destructors
  static bool builtins = false;
  if (!builtins) {
    builtins = true;  // set first: registering the classes comes back here
    RegisterEditClass();
    RegisterButtonClass();
    RegisterStaticClass();
    RegisterComboBoxClass();
  }
  return *desktop;
}

Window* Find(HWND hwnd) {
  if (!hwnd) return nullptr;
  Desktop& d = D();
  std::lock_guard g(d.lock);
  auto it = d.windows.find(Key(hwnd));
  return it == d.windows.end() ? nullptr : it->second.get();
}

DWORD ThreadIdNow() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

ThreadQueue& QueueOf(DWORD threadId) {
  Desktop& d = D();
  std::lock_guard g(d.lock);
  return d.queues[threadId];
}

Backend& TheBackend() {
  Desktop& d = D();
  if (!d.backend) d.backend = MakeHeadlessBackend();
  return *d.backend;
}

void WakeBackend() { TheBackend().Wake(); }

bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
RECT RectIntersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (RectEmpty(r)) r = RECT{};
  return r;
}
RECT RectUnion(const RECT& a, const RECT& b) {
  if (RectEmpty(a)) return b;
  if (RectEmpty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}
bool PtIn(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

void NonClientInsets(const Window& w, RECT* in) {
  *in = RECT{};
  int b = 0;
  if ((w.style & WS_CHILD) && (w.style & WS_CAPTION) == WS_BORDER) b += 1;
  if (w.exStyle & WS_EX_CLIENTEDGE) b += 2;
  in->left = in->top = in->right = in->bottom = b;
  if (w.style & WS_VSCROLL) in->right += GetSystemMetrics(SM_CXVSCROLL);
  if (w.style & WS_HSCROLL) in->bottom += GetSystemMetrics(SM_CYHSCROLL);
}

RECT ClientRectInWindow(const Window& w) {
  RECT in;
  NonClientInsets(w, &in);
  int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
  RECT r{in.left, in.top, std::max<LONG>(in.left, width - in.right), std::max<LONG>(in.top, height - in.bottom)};
  return r;
}

POINT WindowOriginInTop(const Window& w) {
  POINT p{0, 0};
  const Window* cur = &w;
  while (cur && cur->parent) {
    p.x += cur->rect.left;
    p.y += cur->rect.top;
    const Window* par = Find(cur->parent);
    if (!par) break;
    RECT c = ClientRectInWindow(*par);
    p.x += c.left;
    p.y += c.top;
    cur = par;
  }
  return p;
}

HWND TopOf(HWND hwnd) {
  Window* w = Find(hwnd);
  while (w && w->parent) w = Find(w->parent);
  return w ? w->handle : nullptr;
}

bool IsVisibleChain(const Window& w) {
  const Window* cur = &w;
  while (cur) {
    if (!(cur->style & WS_VISIBLE)) return false;
    cur = cur->parent ? Find(cur->parent) : nullptr;
  }
  return true;
}

namespace {

void SendSize(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  RECT c = ClientRectInWindow(*w);
  SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
              MAKELPARAM(static_cast<WORD>(c.right - c.left), static_cast<WORD>(c.bottom - c.top)));
}

void DestroyTree(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  Desktop& d = D();
  w->destroying = true;
  if (d.focus && (d.focus == hwnd || IsChild(hwnd, d.focus))) {
    HWND old = d.focus;
    d.focus = nullptr;
    SendMessage(old, WM_KILLFOCUS, 0, 0);
  }
  if (d.capture && (d.capture == hwnd || IsChild(hwnd, d.capture))) ReleaseCapture();
  SendMessage(hwnd, WM_DESTROY, 0, 0);
  w = Find(hwnd);
  if (!w) return;
  std::vector<HWND> kids = w->children;
  for (HWND k : kids) DestroyTree(k);
  SendMessage(hwnd, WM_NCDESTROY, 0, 0);
  w = Find(hwnd);
  if (!w) return;

  std::lock_guard g(d.lock);
  d.timers.erase(std::remove_if(d.timers.begin(), d.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
                 d.timers.end());
  for (auto& [tid, q] : d.queues) {
    auto drop = [&](std::deque<Queued>& dq) {
      dq.erase(std::remove_if(dq.begin(), dq.end(), [&](const Queued& m) { return m.msg.hwnd == hwnd; }), dq.end());
    };
    drop(q.posted);
  }
  if (d.caretOwner == hwnd) d.caretOwner = nullptr;
  if (d.tracking == hwnd) d.tracking = nullptr;
  if (d.hover == hwnd) d.hover = nullptr;
  if (d.active == hwnd) d.active = nullptr;
  if (d.sbWnd == hwnd) d.sbWnd = nullptr;
  if (d.lastClickWnd == hwnd) d.lastClickWnd = nullptr;
  if (w->parent) {
    if (Window* p = Find(w->parent)) {
      auto& ch = p->children;
      ch.erase(std::remove(ch.begin(), ch.end(), hwnd), ch.end());
    }
  } else {
    d.topLevels.erase(std::remove(d.topLevels.begin(), d.topLevels.end(), hwnd), d.topLevels.end());
    TheBackend().TopLevelDestroyed(*w);
    ReleaseBacking(*w);
  }
  d.windows.erase(Key(hwnd));
}

}  // namespace
}  // namespace detail

using namespace detail;

// ---- classes ----------------------------------------------------------------------

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
  if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) return 0;
  Desktop& d = D();
  std::lock_guard g(d.lock);
  std::string key = Lower(wc->lpszClassName);
  if (d.classes.count(key)) return 0;
  auto cls = std::make_unique<WindowClass>();
  cls->name = key;
  cls->displayName = wc->lpszClassName;
  cls->wc = *wc;
  cls->wc.lpszClassName = cls->displayName.c_str();
  d.classes[key] = std::move(cls);
  return static_cast<ATOM>(0xC000 + d.classes.size());
}

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc) return 0;
  WNDCLASSEX ex;
  ex.style = wc->style;
  ex.lpfnWndProc = wc->lpfnWndProc;
  ex.cbClsExtra = wc->cbClsExtra;
  ex.cbWndExtra = wc->cbWndExtra;
  ex.hInstance = wc->hInstance;
  ex.hIcon = wc->hIcon;
  ex.hCursor = wc->hCursor;
  ex.hbrBackground = wc->hbrBackground;
  ex.lpszMenuName = wc->lpszMenuName;
  ex.lpszClassName = wc->lpszClassName;
  return RegisterClassEx(&ex);
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE) {
  Desktop& d = D();
  std::lock_guard g(d.lock);
  std::string key = Lower(className);
  auto it = d.classes.find(key);
  if (it == d.classes.end()) return FALSE;
  for (auto& [k, w] : d.windows)
    if (w->cls == it->second.get()) return FALSE;  // still in use
  d.classes.erase(it);
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, LPCSTR className, WNDCLASSEX* out) {
  Desktop& d = D();
  std::lock_guard g(d.lock);
  auto it = d.classes.find(Lower(className));
  if (it == d.classes.end()) return FALSE;
  if (out) *out = it->second->wc;
  return TRUE;
}

int GetClassName(HWND hwnd, LPSTR buffer, int size) {
  Window* w = Find(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  std::string n = w->cls->displayName;
  int len = std::min<int>(static_cast<int>(n.size()), size - 1);
  std::memcpy(buffer, n.data(), len);
  buffer[len] = 0;
  return len;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  return proc(hwnd, msg, wParam, lParam);
}

// ---- creation and destruction ------------------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, HINSTANCE instance, void* param) {
  Desktop& d = D();
  const WindowClass* cls = nullptr;
  {
    std::lock_guard g(d.lock);
    auto it = d.classes.find(Lower(className));
    if (it == d.classes.end()) return nullptr;
    cls = it->second.get();
  }
  Window* par = nullptr;
  if (parent) {
    par = Find(parent);
    if (!par) return nullptr;
  } else if (style & WS_CHILD) {
    return nullptr;  // a child needs a parent
  }
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = 400, height = 300;
  if (width < 0) width = 0;
  if (height < 0) height = 0;

  auto w = std::make_unique<Window>();
  Window* raw = w.get();
  HWND hwnd;
  {
    std::lock_guard g(d.lock);
    hwnd = reinterpret_cast<HWND>(d.nextHandle);
    d.nextHandle += 4;
    raw->handle = hwnd;
    raw->cls = cls;
    raw->proc = cls->wc.lpfnWndProc;
    raw->style = style;
    raw->exStyle = exStyle;
    raw->rect = RECT{x, y, x + width, y + height};
    raw->id = (style & WS_CHILD) ? static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(menuOrId)) : 0;
    raw->instance = instance;
    raw->extra.assign(std::max(0, cls->wc.cbWndExtra), 0);
    raw->threadId = ThreadIdNow();
    raw->processId = GetCurrentProcessId();
    raw->hbar.shown = (style & WS_HSCROLL) != 0;
    raw->vbar.shown = (style & WS_VSCROLL) != 0;
    // a child sits on top of its earlier siblings
    raw->parent = (style & WS_CHILD) ? parent : nullptr;
    d.windows[Key(hwnd)] = std::move(w);
    if (raw->parent)
      par->children.insert(par->children.begin(), hwnd);
    else
      d.topLevels.insert(d.topLevels.begin(), hwnd);
  }
  if (!raw->parent) TheBackend().TopLevelCreated(*raw);

  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menuOrId;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!Find(hwnd)) return nullptr;
  SendSize(hwnd);
  Window* self = Find(hwnd);
  if (!self) return nullptr;
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if ((self = Find(hwnd)) && (self->style & WS_VISIBLE)) {
    InvalidateTree(hwnd, nullptr, true);
    if (!self->parent) TheBackend().TopLevelChanged(*self);
  }
  return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (w->destroying) return TRUE;
  if (w->parent && (w->style & WS_VISIBLE)) {
    // uncover what the window hid
    Window* p = Find(w->parent);
    if (p) {
      RECT pc = ClientRectInWindow(*p);
      RECT r = w->rect;
      (void)pc;
      InvalidateTree(w->parent, &r, true);
    }
  }
  DestroyTree(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

BOOL IsChild(HWND parent, HWND hwnd) {
  Window* w = Find(hwnd);
  while (w && w->parent) {
    if (w->parent == parent) return TRUE;
    w = Find(w->parent);
  }
  return FALSE;
}

HWND GetParent(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->parent : nullptr;
}

HWND GetAncestorTop(HWND hwnd) { return TopOf(hwnd); }

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  const std::vector<HWND>* list = &D().topLevels;
  if (w->parent) {
    Window* p = Find(w->parent);
    if (!p) return nullptr;
    list = &p->children;
  }
  auto it = std::find(list->begin(), list->end(), hwnd);
  if (it == list->end()) return nullptr;
  if (cmd == GW_HWNDNEXT) return (it + 1 == list->end()) ? nullptr : *(it + 1);
  if (cmd == GW_HWNDPREV) return it == list->begin() ? nullptr : *(it - 1);
  return nullptr;
}

HWND GetDlgItem(HWND parent, int id) {
  Window* p = Find(parent);
  if (!p) return nullptr;
  for (HWND c : p->children)
    if (Window* w = Find(c); w && w->id == id) return c;
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? static_cast<int>(w->id) : 0;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  if (processId) *processId = w->processId;
  return w->threadId;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }
DWORD GetCurrentThreadId() { return ThreadIdNow(); }

// ---- window data ---------------------------------------------------------------------------

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
    Desktop& d = D();
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
  if (!enable && (D().focus == hwnd)) SetFocus(nullptr);
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
  for (HWND top : D().topLevels)
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

// ---- sent messages and the default procedure ----------------------------------------------------

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(hwnd);
  if (!w || !w->proc) return 0;
  return w->proc(hwnd, msg, wParam, lParam);
}

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
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<char*>(lParam);
      if (!buf || wParam == 0) return 0;
      size_t n = std::min(w->text.size(), static_cast<size_t>(wParam - 1));
      std::memcpy(buf, w->text.data(), n);
      buf[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH br = w->cls->wc.hbrBackground;
      if (!br) return 0;
      if (reinterpret_cast<std::uintptr_t>(br) <= 31)  // (COLOR_xxx + 1)
        br = GetSysColorBrush(static_cast<int>(reinterpret_cast<std::uintptr_t>(br)) - 1);
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, br);
      return 1;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_MOUSEACTIVATE:
      if (w->parent) {
        LRESULT r = SendMessage(w->parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR:
      if (w->parent && SendMessage(w->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
      if (LOWORD(static_cast<std::uintptr_t>(lParam)) == HTCLIENT && w->cls->wc.hCursor) {
        SetCursor(w->cls->wc.hCursor);
        return TRUE;
      }
      if (!w->parent) SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return FALSE;
    case WM_CONTEXTMENU:
      if (w->parent) return SendMessage(w->parent, WM_CONTEXTMENU, wParam, lParam);
      return 0;
    case WM_SYSCHAR:  // Alt+key nobody took goes up to the top-level window
      if (w->parent) return SendMessage(w->parent, WM_SYSCHAR, wParam, lParam);
      return 0;
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT wr;
      GetWindowRect(hwnd, &wr);
      if (!PtIn(wr, p)) return HTNOWHERE;
      POINT local{p.x - wr.left, p.y - wr.top};
      if (PtIn(ClientRectInWindow(*w), local)) return HTCLIENT;
      if (PtIn(ScrollBarRect(*w, SB_HORZ), local)) return HTHSCROLL;
      if (PtIn(ScrollBarRect(*w, SB_VERT), local)) return HTVSCROLL;
      return HTBORDER;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      HDC hdc = reinterpret_cast<HDC>(wParam);
      int back = msg == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
      SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(hdc, GetSysColor(back));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
    }
    case WM_SYSCOMMAND: return 0;
    default: return 0;
  }
}

// ---- inspection extensions -----------------------------------------------------------------

namespace user {

int LiveWindowCount() {
  Desktop& d = D();
  std::lock_guard g(d.lock);
  return static_cast<int>(d.windows.size());
}

int LivePropertyCount() {
  Desktop& d = D();
  std::lock_guard g(d.lock);
  int n = 0;
  for (auto& [k, w] : d.windows) n += static_cast<int>(w->props.size());
  return n;
}

std::vector<std::pair<std::string, HANDLE>> ListProps(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return {};
  return w->props;
}

void SetWindowProcessId(HWND hwnd, DWORD processId) {
  if (Window* w = Find(hwnd)) w->processId = processId;
}

}  // namespace user
}  // namespace ktfolio::win
