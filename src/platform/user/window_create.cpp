// Creating and destroying windows: the creation messages, the size a new
// window announces, and tearing down a subtree with everything that names it.
#include <algorithm>
#include <cstring>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {

void SendSize(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  RECT c = ClientRectInWindow(*w);
  SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
              MAKELPARAM(static_cast<WORD>(c.right - c.left), static_cast<WORD>(c.bottom - c.top)));
}

namespace {

void DestroyTree(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  Desktop& d = TheDesktop();
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

namespace {

const WindowClass* FindClass(LPCSTR className) {
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  auto it = d.classes.find(ClassKey(className));
  return it == d.classes.end() ? nullptr : it->second.get();
}

// Allocates the window, gives it a handle and links it into the tree; the
// creation messages come after, outside the lock.
Window* LinkNewWindow(const WindowClass* cls, const CREATESTRUCT& cs, Window* par) {
  Desktop& d = TheDesktop();
  auto w = std::make_unique<Window>();
  Window* raw = w.get();
  DWORD style = static_cast<DWORD>(cs.style);
  std::lock_guard g(d.lock);
  HWND hwnd = reinterpret_cast<HWND>(d.nextHandle);
  d.nextHandle += 4;
  raw->handle = hwnd;
  raw->cls = cls;
  raw->proc = cls->wc.lpfnWndProc;
  raw->style = style;
  raw->exStyle = cs.dwExStyle;
  raw->rect = RECT{cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
  raw->id = (style & WS_CHILD) ? static_cast<LONG_PTR>(reinterpret_cast<std::uintptr_t>(cs.hMenu)) : 0;
  raw->instance = cs.hInstance;
  raw->extra.assign(std::max(0, cls->wc.cbWndExtra), 0);
  raw->threadId = ThreadIdNow();
  raw->processId = GetCurrentProcessId();
  raw->hbar.shown = (style & WS_HSCROLL) != 0;
  raw->vbar.shown = (style & WS_VSCROLL) != 0;
  // a child sits on top of its earlier siblings
  raw->parent = (style & WS_CHILD) ? cs.hwndParent : nullptr;
  d.windows[Key(hwnd)] = std::move(w);
  if (raw->parent)
    par->children.insert(par->children.begin(), hwnd);
  else
    d.topLevels.insert(d.topLevels.begin(), hwnd);
  return raw;
}

// WM_NCCREATE, WM_CREATE, then the first WM_SIZE and WM_MOVE; false when the
// window refused creation or was destroyed on the way.
bool SendCreation(HWND hwnd, CREATESTRUCT& cs) {
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
      SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return false;
  }
  if (!Find(hwnd)) return false;
  SendSize(hwnd);
  if (!Find(hwnd)) return false;
  SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(cs.x), static_cast<WORD>(cs.y)));
  return true;
}

}  // namespace

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, HINSTANCE instance, void* param) {
  const WindowClass* cls = FindClass(className);
  if (!cls) return nullptr;
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
  Window* raw = LinkNewWindow(cls, cs, par);
  HWND hwnd = raw->handle;
  if (!raw->parent) TheBackend().TopLevelCreated(*raw);
  if (!SendCreation(hwnd, cs)) return nullptr;
  if (Window* self = Find(hwnd); self && (self->style & WS_VISIBLE)) {
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
    if (Find(w->parent)) {
      RECT r = w->rect;
      InvalidateTree(w->parent, &r, true);
    }
  }
  DestroyTree(hwnd);
  return TRUE;
}

}  // namespace ktfolio::win
