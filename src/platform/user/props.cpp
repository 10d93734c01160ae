// Window properties: named handles a window carries (SetProp, GetProp,
// RemoveProp, EnumProps). Names compare without regard to case.
#include <strings.h>

#include "platform/user/user_internal.h"

namespace ktfolio::win {

using detail::Find;
using detail::Window;

namespace {
bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }
}  // namespace

BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE value) {
  Window* w = Find(hwnd);
  if (!w || !name) return FALSE;
  for (auto& [n, v] : w->props)
    if (SameName(n, name)) {
      v = value;
      return TRUE;
    }
  w->props.emplace_back(name, value);
  return TRUE;
}

HANDLE GetProp(HWND hwnd, LPCSTR name) {
  Window* w = Find(hwnd);
  if (!w || !name) return nullptr;
  for (auto& [n, v] : w->props)
    if (SameName(n, name)) return v;
  return nullptr;
}

HANDLE RemoveProp(HWND hwnd, LPCSTR name) {
  Window* w = Find(hwnd);
  if (!w || !name) return nullptr;
  for (auto it = w->props.begin(); it != w->props.end(); ++it)
    if (SameName(it->first, name)) {
      HANDLE v = it->second;
      w->props.erase(it);
      return v;
    }
  return nullptr;
}

int EnumProps(HWND hwnd, PROPENUMPROC proc) {
  Window* w = Find(hwnd);
  if (!w || !proc) return -1;
  auto copy = w->props;  // the callback may remove properties
  int last = -1;
  for (auto& [n, v] : copy) {
    last = proc(hwnd, n.c_str(), v);
    if (!last) break;
  }
  return last;
}

}  // namespace ktfolio::win
