// The built-in "Static" class: a label of one line, left, centred or right
// aligned, painted in the colours its parent gives with WM_CTLCOLORSTATIC (so
// a parent can use one as a colour swatch); SS_SUNKEN adds a sunken border.
// Without SS_NOTIFY it lets the mouse through to what lies below.
#include "platform/user/user_internal.h"

namespace ktfolio::win::detail {
namespace {

DWORD Style(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE)); }

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(hdc, &rc, ControlColors(hwnd, WM_CTLCOLORSTATIC, hdc));
  if (Style(hwnd) & SS_SUNKEN) DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_RECT);
  const std::string text = user::WindowText(hwnd);
  if (!text.empty()) {
    HGDIOBJ oldFont = SelectObject(hdc, ControlFont(hwnd));
    SetBkMode(hdc, TRANSPARENT);
    if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    const DWORD align = Style(hwnd) & 0x3;
    const UINT format = align == SS_RIGHT ? DT_RIGHT : align == SS_CENTER ? DT_CENTER : DT_LEFT;
    DrawText(hdc, text.c_str(), -1, &rc, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(hdc, oldFont);
  }
  EndPaint(hwnd, &ps);
}

LRESULT StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: Paint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST:
      return (Style(hwnd) & SS_NOTIFY) ? DefWindowProc(hwnd, msg, wParam, lParam) : HTTRANSPARENT;
    case WM_SETFONT:
      SetWindowLongPtr(hwnd, 0, static_cast<LONG_PTR>(wParam));
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return GetWindowLongPtr(hwnd, 0);
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_LBUTTONUP:
      if (Style(hwnd) & SS_NOTIFY) NotifyParent(hwnd, 0);  // STN_CLICKED
      return 0;
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterStaticClass() {
  WNDCLASSEX wc;
  wc.lpfnWndProc = StaticWndProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "Static";
  RegisterClassEx(&wc);
}

}  // namespace ktfolio::win::detail
