// Window classes: registration, lookup by name (case-insensitive), and
// calling a class's procedure.
#include <algorithm>
#include <cstring>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {

std::string ClassKey(const char* name) {
  std::string out = name ? name : "";
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace detail

using namespace detail;

ATOM RegisterClassEx(const WNDCLASSEX* wc) {
  if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) return 0;
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  std::string key = ClassKey(wc->lpszClassName);
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
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  std::string key = ClassKey(className);
  auto it = d.classes.find(key);
  if (it == d.classes.end()) return FALSE;
  for (auto& [k, w] : d.windows)
    if (w->cls == it->second.get()) return FALSE;  // still in use
  d.classes.erase(it);
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, LPCSTR className, WNDCLASSEX* out) {
  Desktop& d = TheDesktop();
  std::lock_guard g(d.lock);
  auto it = d.classes.find(ClassKey(className));
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

}  // namespace ktfolio::win
