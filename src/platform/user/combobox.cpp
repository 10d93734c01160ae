// The built-in "ComboBox" class as a drop-down list: a box showing the
// selected entry and a button; a click drops the list below it (above when
// there is no room), a click on an entry selects it. Entries carry item data
// (CB_SETITEMDATA). A user's choice reaches the parent as CBN_SELCHANGE, then
// CBN_SELENDOK and CBN_CLOSEUP; CB_SETCURSEL in code notifies nothing, as in
// Win32. With CBS_DROPDOWN the box also shows any text set with WM_SETTEXT.
#include <algorithm>
#include <vector>

#include "platform/user/user_internal.h"

namespace ktfolio::win::detail {
namespace {

constexpr const char* kListClass = "ComboLBox";
constexpr int kMaxVisibleItems = 12;
constexpr int kItemPadding = 3;

struct Entry {
  std::string text;
  LONG_PTR data = 0;
};

struct Combo {
  std::vector<Entry> items;
  int cur = -1;
  int top = 0;  // first entry shown in the dropped list
  int hot = -1; // entry under the pointer in the dropped list
  HWND list = nullptr;
  HFONT font = nullptr;
  bool focused = false;
};

Combo* Of(HWND hwnd) { return reinterpret_cast<Combo*>(GetWindowLongPtr(hwnd, 0)); }
DWORD Style(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE)); }
bool IsDropDownList(HWND hwnd) { return (Style(hwnd) & 0x3) == CBS_DROPDOWNLIST; }
int Count(const Combo& c) { return static_cast<int>(c.items.size()); }
HWND ComboOfList(HWND list) { return reinterpret_cast<HWND>(GetWindowLongPtr(list, GWLP_USERDATA)); }

int ItemHeight(HWND hwnd) {
  HDC hdc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(hdc, ControlFont(hwnd));
  TEXTMETRIC tm;
  GetTextMetrics(hdc, &tm);
  SelectObject(hdc, old);
  ReleaseDC(hwnd, hdc);
  return tm.tmHeight + 2;
}

int VisibleRows(const Combo& c) { return std::max(1, std::min(Count(c), kMaxVisibleItems)); }

// The box shows the selection; a drop-down combo keeps its own text when none.
void ShowSelection(HWND hwnd, const Combo& c) {
  if (c.cur >= 0) DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.items[c.cur].text.c_str()));
  else if (IsDropDownList(hwnd)) DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Select(HWND hwnd, Combo& c, int index) {
  c.cur = index >= 0 && index < Count(c) ? index : -1;
  ShowSelection(hwnd, c);
}

void ScrollTo(Combo& c, int top) {
  c.top = std::clamp(top, 0, std::max(0, Count(c) - VisibleRows(c)));
  if (!c.list) return;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = c.top;
  SetScrollInfo(c.list, SB_VERT, &si, TRUE);
  InvalidateRect(c.list, nullptr, TRUE);
}

void CloseUp(HWND hwnd, Combo& c) {
  if (!c.list) return;
  HWND list = c.list;
  c.list = nullptr;
  if (GetCapture() == list) ReleaseCapture();
  DestroyWindow(list);
  InvalidateRect(hwnd, nullptr, TRUE);
  NotifyParent(hwnd, CBN_CLOSEUP);
}

void Choose(HWND hwnd, Combo& c, int index) {
  Select(hwnd, c, index);
  NotifyParent(hwnd, CBN_SELCHANGE);
  NotifyParent(hwnd, CBN_SELENDOK);
  CloseUp(hwnd, c);
}

// The dropped list is a child of the top-level window so that it can reach
// past the combo's parent.
void DropDown(HWND hwnd, Combo& c) {
  if (c.list || !IsWindowEnabled(hwnd)) return;
  NotifyParent(hwnd, CBN_DROPDOWN);
  HWND top = GetAncestorTop(hwnd);
  RECT wr;
  GetWindowRect(hwnd, &wr);
  POINT below{wr.left, wr.bottom};
  POINT above{wr.left, wr.top};
  ScreenToClient(top, &below);
  ScreenToClient(top, &above);
  RECT topClient;
  GetClientRect(top, &topClient);
  const int rows = VisibleRows(c);
  const int height = rows * ItemHeight(hwnd) + 2;
  const int y = below.y + height <= topClient.bottom || above.y < height ? below.y : above.y - height;
  const bool scrolls = Count(c) > rows;
  c.list = CreateWindowEx(0, kListClass, "", WS_CHILD | WS_BORDER | (scrolls ? WS_VSCROLL : 0), below.x, y,
                          wr.right - wr.left, height, top, nullptr, nullptr, nullptr);
  if (!c.list) return;
  SetWindowLongPtr(c.list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hwnd));
  c.hot = c.cur;
  if (scrolls) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = Count(c) - 1;
    si.nPage = static_cast<UINT>(rows);
    SetScrollInfo(c.list, SB_VERT, &si, FALSE);
  }
  ScrollTo(c, c.cur >= 0 ? c.cur - rows / 2 : 0);
  ShowWindow(c.list, SW_SHOW);
  // The list takes the mouse while it is dropped, so a click anywhere else closes it.
  SetCapture(c.list);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void DrawEntry(HDC hdc, const std::string& text, RECT rc, bool highlighted, bool enabled) {
  FillRect(hdc, &rc, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(hdc, GetSysColor(!enabled ? COLOR_GRAYTEXT : highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  rc.left += kItemPadding;
  DrawText(hdc, text.c_str(), -1, &rc, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void PaintBox(HWND hwnd, Combo& c) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOW));
  DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT);
  const int button = GetSystemMetrics(SM_CXVSCROLL);
  RECT arrow{rc.right - 2 - button, rc.top + 2, rc.right - 2, rc.bottom - 2};
  DrawFrameControl(hdc, &arrow, DFC_SCROLL,
                   DFCS_SCROLLCOMBOBOX | (c.list ? DFCS_PUSHED : 0) | (IsWindowEnabled(hwnd) ? 0 : DFCS_INACTIVE));
  RECT text{rc.left + 3, rc.top + 3, arrow.left - 1, rc.bottom - 3};
  HGDIOBJ old = SelectObject(hdc, ControlFont(hwnd));
  SetBkMode(hdc, TRANSPARENT);
  const std::string s = user::WindowText(hwnd);
  DrawEntry(hdc, s, text, c.focused && !c.list && IsDropDownList(hwnd), IsWindowEnabled(hwnd));
  SelectObject(hdc, old);
  EndPaint(hwnd, &ps);
}

std::string FoldCase(std::string s) {
  for (char& ch : s)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return s;
}

// Win32 compares entries without regard to case.
LRESULT FindExact(const Combo& c, const char* text) {
  if (!text) return CB_ERR;
  for (int i = 0; i < Count(c); ++i)
    if (FoldCase(c.items[i].text) == FoldCase(text)) return i;
  return CB_ERR;
}

LRESULT Key(HWND hwnd, Combo& c, WPARAM vk) {
  const int from = c.list ? c.hot : c.cur;
  int to = from;
  switch (vk) {
    case VK_DOWN: to = std::min(from + 1, Count(c) - 1); break;
    case VK_UP: to = std::max(from - 1, 0); break;
    case VK_HOME: to = 0; break;
    case VK_END: to = Count(c) - 1; break;
    case VK_F4:
      c.list ? CloseUp(hwnd, c) : DropDown(hwnd, c);
      return 0;
    case VK_RETURN:
      if (c.list && c.hot >= 0) Choose(hwnd, c, c.hot);
      return 0;
    case VK_ESCAPE:
      if (c.list) NotifyParent(hwnd, CBN_SELENDCANCEL);
      CloseUp(hwnd, c);
      return 0;
    default: return 0;
  }
  if (to == from || Count(c) == 0) return 0;
  if (c.list) {
    c.hot = to;
    if (to < c.top) ScrollTo(c, to);
    if (to >= c.top + VisibleRows(c)) ScrollTo(c, to - VisibleRows(c) + 1);
    InvalidateRect(c.list, nullptr, TRUE);
    return 0;
  }
  Select(hwnd, c, to);
  NotifyParent(hwnd, CBN_SELCHANGE);
  return 0;
}

LRESULT Insert(HWND hwnd, Combo& c, int at, const char* text) {
  if (at < 0 || at > Count(c)) at = Count(c);
  c.items.insert(c.items.begin() + at, Entry{text ? text : "", 0});
  if (c.cur >= at) ++c.cur;
  InvalidateRect(hwnd, nullptr, TRUE);
  return at;
}

LRESULT ItemMessage(HWND hwnd, Combo& c, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int i = static_cast<int>(wParam);
  const bool valid = i >= 0 && i < Count(c);
  switch (msg) {
    case CB_ADDSTRING: return Insert(hwnd, c, -1, reinterpret_cast<const char*>(lParam));
    case CB_INSERTSTRING: return Insert(hwnd, c, i, reinterpret_cast<const char*>(lParam));
    case CB_DELETESTRING:
      if (!valid) return CB_ERR;
      c.items.erase(c.items.begin() + i);
      if (c.cur == i) Select(hwnd, c, -1);
      else if (c.cur > i) --c.cur;
      return Count(c);
    case CB_RESETCONTENT:
      CloseUp(hwnd, c);
      c.items.clear();
      Select(hwnd, c, -1);
      return 0;
    case CB_GETCOUNT: return Count(c);
    case CB_GETCURSEL: return c.cur;
    case CB_SETCURSEL:
      Select(hwnd, c, i);
      return valid ? i : CB_ERR;
    case CB_GETLBTEXTLEN: return valid ? static_cast<LRESULT>(c.items[i].text.size()) : CB_ERR;
    case CB_GETLBTEXT:
      if (!valid || !lParam) return CB_ERR;
      std::copy(c.items[i].text.begin(), c.items[i].text.end(), reinterpret_cast<char*>(lParam));
      reinterpret_cast<char*>(lParam)[c.items[i].text.size()] = 0;
      return static_cast<LRESULT>(c.items[i].text.size());
    case CB_GETITEMDATA: return valid ? c.items[i].data : CB_ERR;
    case CB_SETITEMDATA:
      if (!valid) return CB_ERR;
      c.items[i].data = lParam;
      return 0;
    case CB_FINDSTRINGEXACT: return FindExact(c, reinterpret_cast<const char*>(lParam));
    case CB_SELECTSTRING: {
      const LRESULT found = FindExact(c, reinterpret_cast<const char*>(lParam));
      if (found != CB_ERR) Select(hwnd, c, static_cast<int>(found));
      return found;
    }
    default: return CB_ERR;
  }
}

LRESULT ComboWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Combo* c = Of(hwnd);
  if (!c && msg != WM_NCCREATE) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(new Combo));
      return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_DESTROY: CloseUp(hwnd, *c); return 0;
    case WM_NCDESTROY:
      delete c;
      SetWindowLongPtr(hwnd, 0, 0);
      return 0;
    case WM_PAINT: PaintBox(hwnd, *c); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      c->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(c->font);
    case WM_SETTEXT: {
      const LRESULT found = FindExact(*c, reinterpret_cast<const char*>(lParam));
      if (IsDropDownList(hwnd) && found == CB_ERR) return CB_ERR;
      c->cur = static_cast<int>(found);
      const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE:
      if (!wParam) CloseUp(hwnd, *c);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      c->focused = msg == WM_SETFOCUS;
      if (!c->focused) CloseUp(hwnd, *c);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != hwnd) SetFocus(hwnd);
      c->list ? CloseUp(hwnd, *c) : DropDown(hwnd, *c);
      return 0;
    case WM_KEYDOWN: return Key(hwnd, *c, wParam);
    case WM_MOUSEWHEEL:
      if (c->list) ScrollTo(*c, c->top - static_cast<SHORT>(HIWORD(wParam)) / 40);
      return 0;
    case CB_SHOWDROPDOWN:
      wParam ? DropDown(hwnd, *c) : CloseUp(hwnd, *c);
      return TRUE;
    case CB_GETDROPPEDSTATE: return c->list != nullptr;
    case CB_GETDROPPEDCONTROLRECT: {
      if (!c->list || !lParam) return FALSE;
      GetWindowRect(c->list, reinterpret_cast<RECT*>(lParam));
      return TRUE;
    }
    case CB_GETITEMHEIGHT: return ItemHeight(hwnd);
    case CB_GETTOPINDEX: return c->top;
    case CB_SETTOPINDEX:
      if (static_cast<int>(wParam) >= Count(*c)) return CB_ERR;
      ScrollTo(*c, static_cast<int>(wParam));
      return 0;
    default:
      if (msg >= CB_ADDSTRING && msg <= CB_SETTOPINDEX) return ItemMessage(hwnd, *c, msg, wParam, lParam);
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

// ---- the dropped list ----------------------------------------------------------------

int EntryAt(HWND list, const Combo& c, LPARAM lParam) {
  const int y = static_cast<SHORT>(HIWORD(lParam));
  const int i = c.top + y / ItemHeight(ComboOfList(list));
  return y >= 0 && i < Count(c) ? i : -1;
}

void PaintList(HWND list, Combo& c) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(list, &ps);
  if (!hdc) return;
  HWND combo = ComboOfList(list);
  RECT rc;
  GetClientRect(list, &rc);
  FillRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ old = SelectObject(hdc, ControlFont(combo));
  SetBkMode(hdc, TRANSPARENT);
  const int h = ItemHeight(combo);
  for (int i = c.top; i < Count(c) && (i - c.top) * h < rc.bottom; ++i) {
    RECT item{rc.left, (i - c.top) * h, rc.right, (i - c.top + 1) * h};
    DrawEntry(hdc, c.items[i].text, item, i == c.hot, true);
  }
  SelectObject(hdc, old);
  EndPaint(list, &ps);
}

LRESULT Scroll(HWND list, Combo& c, WPARAM wParam) {
  const int page = VisibleRows(c);
  switch (LOWORD(wParam)) {
    case SB_LINEUP: ScrollTo(c, c.top - 1); break;
    case SB_LINEDOWN: ScrollTo(c, c.top + 1); break;
    case SB_PAGEUP: ScrollTo(c, c.top - page); break;
    case SB_PAGEDOWN: ScrollTo(c, c.top + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(c, static_cast<SHORT>(HIWORD(wParam))); break;
    default: break;
  }
  (void)list;
  return 0;
}

bool InClient(HWND list, LPARAM lParam) {
  RECT rc;
  GetClientRect(list, &rc);
  return PtIn(rc, POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
}

// While the list holds the mouse, a press beside its entries lands here: on
// its scroll bar it scrolls (arrows by a line, the rest by a page), anywhere
// else it closes the list without a choice.
LRESULT ListButtonDown(HWND list, HWND combo, Combo& c, LPARAM lParam) {
  if (InClient(list, lParam)) return 0;
  POINT p{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  ClientToScreen(list, &p);
  RECT wr;
  GetWindowRect(list, &wr);
  if (PtIn(wr, p) && (GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL)) {
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    const int code = p.y < wr.top + arrow      ? SB_LINEUP
                     : p.y >= wr.bottom - arrow ? SB_LINEDOWN
                     : p.y < (wr.top + wr.bottom) / 2 ? SB_PAGEUP
                                                       : SB_PAGEDOWN;
    return Scroll(list, c, static_cast<WPARAM>(code));
  }
  NotifyParent(combo, CBN_SELENDCANCEL);
  CloseUp(combo, c);
  return 0;
}

LRESULT ListWndProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND combo = ComboOfList(list);
  Combo* c = combo ? Of(combo) : nullptr;
  if (!c) return DefWindowProc(list, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT: PaintList(list, *c); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_MOUSEMOVE: {
      const int i = EntryAt(list, *c, lParam);
      if (i >= 0 && i != c->hot) {
        c->hot = i;
        InvalidateRect(list, nullptr, TRUE);
      }
      return 0;
    }
    case WM_LBUTTONDOWN: return ListButtonDown(list, combo, *c, lParam);
    case WM_LBUTTONUP: {
      if (!InClient(list, lParam)) return 0;  // the release of the click that dropped the list
      const int i = EntryAt(list, *c, lParam);
      if (i >= 0) Choose(combo, *c, i);
      return 0;
    }
    case WM_VSCROLL: return Scroll(list, *c, wParam);
    case WM_MOUSEWHEEL:
      ScrollTo(*c, c->top - static_cast<SHORT>(HIWORD(wParam)) / 40);
      return 0;
    default: return DefWindowProc(list, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterComboBoxClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ComboWndProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "ComboBox";
  RegisterClassEx(&wc);
  WNDCLASSEX list;
  list.lpfnWndProc = ListWndProc;
  list.hCursor = LoadCursor(nullptr, IDC_ARROW);
  list.lpszClassName = kListClass;
  RegisterClassEx(&list);
}

}  // namespace ktfolio::win::detail
