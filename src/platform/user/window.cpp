// The window tree: the desktop that owns every window, lookup by handle,
// geometry between a window and its parents, walking the tree, and counts
// for inspection. Classes, creation, window data, the default procedure and
// properties each have a file of their own (window_*.cpp, props.cpp).
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {


Desktop& TheDesktop() {
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
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  auto it = d.windows.find(Key(hwnd));
  return it == d.windows.end() ? nullptr : it->second.get();
}

DWORD ThreadIdNow() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

ThreadQueue& QueueOf(DWORD threadId) {
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  return d.queues[threadId];
}

Backend& TheBackend() {
  Desktop& d = TheDesktop();
  if (!d.backend) d.backend = MakeHeadlessBackend();
  return *d.backend;
}


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

}  // namespace detail

using namespace detail;

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
  const std::vector<HWND>* list = &TheDesktop().topLevels;
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

namespace user {

int LiveWindowCount() {
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  return static_cast<int>(d.windows.size());
}

int LivePropertyCount() {
  Desktop& d = TheDesktop();
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
