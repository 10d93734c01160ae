// The dialog manager's keyboard: Tab and Shift+Tab walk the focus through a
// dialog's tab stops, for the top-level windows whose loops ask for it.
#include <vector>

#include "platform/user/user_internal.h"

namespace ktfolio::win {

namespace {

constexpr const char* kDialogKeysProp = "ktfolio.dialogkeys";

// Tab stops in the order their windows were made, depth first: a new window
// goes on top of its siblings, so that is the z order read from the bottom,
// as a dialog's controls follow its template. A tab stop's own children are
// its business (a text box and its edit window are one stop).
void CollectTabStops(HWND parent, std::vector<HWND>& out) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    HWND c = *it;
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
    if (GetWindowLongPtr(c, GWL_STYLE) & WS_TABSTOP)
      out.push_back(c);
    else
      CollectTabStops(c, out);
  }
}

// Whether the focus window, or a window holding it inside the dialog, keeps
// Tab for itself: a control answers for its inner windows too.
bool TabWanted(HWND dialog, HWND focus, MSG* msg) {
  for (HWND w = focus; w && w != dialog; w = GetParent(w)) {
    const LRESULT code = SendMessage(w, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return true;
  }
  return false;
}

}  // namespace

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
  if (!dialog || !msg || msg->message != WM_KEYDOWN || msg->wParam != VK_TAB) return FALSE;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return FALSE;
  const HWND focus = GetFocus();
  if (focus && TabWanted(dialog, focus, msg)) return FALSE;
  std::vector<HWND> stops;
  CollectTabStops(dialog, stops);
  if (stops.empty()) return FALSE;
  int at = -1;
  for (size_t i = 0; i < stops.size() && at < 0; ++i)
    if (stops[i] == focus || IsChild(stops[i], focus)) at = static_cast<int>(i);
  const int n = static_cast<int>(stops.size());
  const int step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
  const int next = at < 0 ? (step > 0 ? 0 : n - 1) : ((at + step) % n + n) % n;
  SetFocus(stops[static_cast<size_t>(next)]);
  return TRUE;
}

namespace user {

void UseDialogKeys(HWND top, bool on) {
  if (on)
    SetProp(top, kDialogKeysProp, reinterpret_cast<HANDLE>(1));
  else
    RemoveProp(top, kDialogKeysProp);
}

bool DialogKeys(MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN || !msg->hwnd) return false;
  HWND top = GetAncestorTop(msg->hwnd);
  return top && GetProp(top, kDialogKeysProp) && IsDialogMessage(top, msg);
}

}  // namespace user
}  // namespace ktfolio::win
