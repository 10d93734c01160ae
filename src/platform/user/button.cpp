// The built-in "Button" class: push buttons, check boxes (BS_CHECKBOX, and
// BS_AUTOCHECKBOX that turns itself on and off when clicked) and group boxes.
// A click is a press and a release over the button, or the space bar; it
// reaches the parent as WM_COMMAND with BN_CLICKED. The check state is
// BM_GETCHECK/BM_SETCHECK; BM_CLICK clicks in code.
#include "platform/user/user_internal.h"

namespace ktfolio::win::detail {
namespace {

constexpr int kCheckSize = 13;
constexpr int kCheckGap = 4;

struct ButtonState {
  WPARAM check = BST_UNCHECKED;
  bool pressed = false;  // mouse down over it, or space held
  bool focused = false;
  HFONT font = nullptr;
};

ButtonState* Of(HWND hwnd) { return reinterpret_cast<ButtonState*>(GetWindowLongPtr(hwnd, 0)); }
DWORD Type(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE)) & BS_TYPEMASK; }
void Shift(RECT& r, int dx, int dy) {
  r.left += dx;
  r.right += dx;
  r.top += dy;
  r.bottom += dy;
}

bool IsCheck(HWND hwnd) { return Type(hwnd) == BS_CHECKBOX || Type(hwnd) == BS_AUTOCHECKBOX; }

std::string TextOf(HWND hwnd) { return user::WindowText(hwnd); }

void DrawCaption(HDC hdc, HWND hwnd, RECT rc, UINT format) {
  SetBkMode(hdc, TRANSPARENT);
  if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  const std::string text = TextOf(hwnd);
  DrawText(hdc, text.c_str(), -1, &rc, format | DT_SINGLELINE | DT_VCENTER);
}

void PaintPush(HDC hdc, HWND hwnd, const ButtonState& b, RECT rc) {
  FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(hdc, &rc, b.pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (b.pressed) Shift(rc, 1, 1);
  SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
  DrawCaption(hdc, hwnd, rc, DT_CENTER);
  if (b.focused) {
    RECT focus{rc.left + 3, rc.top + 3, rc.right - 3, rc.bottom - 3};
    DrawFocusRect(hdc, &focus);
  }
}

void PaintCheck(HDC hdc, HWND hwnd, const ButtonState& b, RECT rc) {
  FillRect(hdc, &rc, ControlColors(hwnd, WM_CTLCOLORSTATIC, hdc));
  const int top = (rc.top + rc.bottom - kCheckSize) / 2;
  RECT box{rc.left, top, rc.left + kCheckSize, top + kCheckSize};
  UINT state = DFCS_BUTTONCHECK;
  if (b.check == BST_CHECKED) state |= DFCS_CHECKED;
  if (b.pressed) state |= DFCS_PUSHED;
  if (!IsWindowEnabled(hwnd)) state |= DFCS_INACTIVE;
  DrawFrameControl(hdc, &box, DFC_BUTTON, state);
  RECT text{box.right + kCheckGap, rc.top, rc.right, rc.bottom};
  DrawCaption(hdc, hwnd, text, DT_LEFT);
  if (b.focused) {
    RECT focus = text;
    DrawText(hdc, TextOf(hwnd).c_str(), -1, &focus, DT_CALCRECT | DT_SINGLELINE);
    const int h = focus.bottom - focus.top;
    focus.top = (rc.top + rc.bottom - h) / 2 - 1;
    focus.bottom = focus.top + h + 2;
    focus.left -= 1;
    focus.right += 1;
    DrawFocusRect(hdc, &focus);
  }
}

// An etched frame whose top line is broken by the caption.
void PaintGroup(HDC hdc, HWND hwnd, RECT rc) {
  TEXTMETRIC tm;
  GetTextMetrics(hdc, &tm);
  const std::string text = TextOf(hwnd);
  RECT frame{rc.left, rc.top + tm.tmHeight / 2, rc.right, rc.bottom};
  DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
  if (text.empty()) return;
  RECT caption{rc.left + 8, rc.top, rc.right - 8, rc.top + tm.tmHeight};
  DrawText(hdc, text.c_str(), -1, &caption, DT_CALCRECT | DT_SINGLELINE);
  caption.right += 4;
  FillRect(hdc, &caption, ControlColors(hwnd, WM_CTLCOLORSTATIC, hdc));
  Shift(caption, 2, 0);
  DrawCaption(hdc, hwnd, caption, DT_LEFT);
}

void Paint(HWND hwnd, ButtonState& b) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  RECT rc;
  GetClientRect(hwnd, &rc);
  HGDIOBJ oldFont = SelectObject(hdc, ControlFont(hwnd));
  switch (Type(hwnd)) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX: PaintCheck(hdc, hwnd, b, rc); break;
    case BS_GROUPBOX: PaintGroup(hdc, hwnd, rc); break;
    default: PaintPush(hdc, hwnd, b, rc); break;
  }
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

void Click(HWND hwnd) {
  if (Type(hwnd) == BS_AUTOCHECKBOX)
    SendMessage(hwnd, BM_SETCHECK, Of(hwnd)->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  NotifyParent(hwnd, BN_CLICKED);
}

void Press(HWND hwnd, ButtonState& b, bool pressed) {
  if (b.pressed == pressed) return;
  b.pressed = pressed;
  InvalidateRect(hwnd, nullptr, TRUE);
}

bool Inside(HWND hwnd, LPARAM lParam) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return PtIn(rc, POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
}

LRESULT MouseUp(HWND hwnd, ButtonState& b, LPARAM lParam) {
  const bool wasPressed = b.pressed;
  if (GetCapture() == hwnd) ReleaseCapture();
  Press(hwnd, b, false);
  if (wasPressed && Inside(hwnd, lParam)) Click(hwnd);
  return 0;
}

LRESULT ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ButtonState* b = Of(hwnd);
  if (!b && msg != WM_NCCREATE) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(new ButtonState));
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_NCDESTROY:
      delete b;
      SetWindowLongPtr(hwnd, 0, 0);
      return 0;
    case WM_NCHITTEST:
      if (Type(hwnd) == BS_GROUPBOX) return HTTRANSPARENT;
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_PAINT: Paint(hwnd, *b); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      b->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(b->font);
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      b->focused = msg == WM_SETFOCUS;
      if (!b->focused) Press(hwnd, *b, false);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(hwnd);
      SetCapture(hwnd);
      Press(hwnd, *b, true);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd) Press(hwnd, *b, Inside(hwnd, lParam));
      return 0;
    case WM_LBUTTONUP: return MouseUp(hwnd, *b, lParam);
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) Press(hwnd, *b, true);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && b->pressed) {
        Press(hwnd, *b, false);
        Click(hwnd);
      }
      return 0;
    case BM_GETCHECK: return IsCheck(hwnd) ? static_cast<LRESULT>(b->check) : 0;
    case BM_SETCHECK:
      if (IsCheck(hwnd) && b->check != wParam) {
        b->check = wParam == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    case BM_GETSTATE:
      return static_cast<LRESULT>(b->check) | (b->pressed ? BST_PUSHED : 0) | (b->focused ? BST_FOCUS : 0);
    case BM_SETSTATE: Press(hwnd, *b, wParam != 0); return 0;
    case BM_CLICK:
      if (IsWindowEnabled(hwnd)) Click(hwnd);
      return 0;
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterButtonClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ButtonWndProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "Button";
  RegisterClassEx(&wc);
}

void NotifyParent(HWND hwnd, WORD code) {
  if (HWND parent = GetParent(hwnd))
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), code),
                reinterpret_cast<LPARAM>(hwnd));
}

HBRUSH ControlColors(HWND hwnd, UINT colorMsg, HDC hdc) {
  HWND parent = GetParent(hwnd);
  const WPARAM w = reinterpret_cast<WPARAM>(hdc);
  const LPARAM l = reinterpret_cast<LPARAM>(hwnd);
  auto brush = reinterpret_cast<HBRUSH>(parent ? SendMessage(parent, colorMsg, w, l) : 0);
  return brush ? brush : reinterpret_cast<HBRUSH>(DefWindowProc(hwnd, colorMsg, w, l));
}

HFONT ControlFont(HWND hwnd) {
  auto font = reinterpret_cast<HFONT>(SendMessage(hwnd, WM_GETFONT, 0, 0));
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace ktfolio::win::detail
