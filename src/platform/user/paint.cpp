// Painting: update regions, WM_PAINT contexts, window DCs, the window frame,
// the caret, and captures of window pixels.
//
// Every top-level window owns one backing bitmap; its whole tree draws into it
// through memory DCs whose viewport origin is the window's client origin and
// whose clip is the client area (cut by every ancestor's client area). A backend
// presents the bitmap (plus the caret) when it changes.
#include <algorithm>
#include <map>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {
namespace {

struct WindowDC {
  HWND hwnd = nullptr;
  HGDIOBJ oldBitmap = nullptr;
};
std::map<HDC, WindowDC>& WindowDCs() {
  static std::map<HDC, WindowDC> m;
  return m;
}

// Visible part of a window's client area in top-level window coordinates.
RECT ClientInTop(const Window& w) {
  POINT o = WindowOriginInTop(w);
  RECT c = ClientRectInWindow(w);
  RECT r{o.x + c.left, o.y + c.top, o.x + c.right, o.y + c.bottom};
  const Window* cur = &w;
  while (cur->parent) {
    const Window* p = Find(cur->parent);
    if (!p) break;
    POINT po = WindowOriginInTop(*p);
    RECT pc = ClientRectInWindow(*p);
    r = RectIntersect(r, RECT{po.x + pc.left, po.y + pc.top, po.x + pc.right, po.y + pc.bottom});
    cur = p;
  }
  return r;
}

// A DC on the backing surface with origin at `origin` (top coordinates) and
// clipped to `clip` (top coordinates).
HDC MakeDC(HWND hwnd, Window& top, POINT origin, RECT clip) {
  EnsureBacking(top);
  HDC hdc = CreateCompatibleDC(nullptr);
  if (!hdc) return nullptr;
  HGDIOBJ old = SelectObject(hdc, top.backing);
  SetViewportOrgEx(hdc, origin.x, origin.y, nullptr);
  if (RectEmpty(clip)) clip = RECT{0, 0, 0, 0};
  IntersectClipRect(hdc, clip.left - origin.x, clip.top - origin.y, clip.right - origin.x, clip.bottom - origin.y);
  WindowDCs()[hdc] = WindowDC{hwnd, old};
  return hdc;
}

HDC ClientDC(HWND hwnd, const RECT* extraClipClient) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  Window* top = Find(TopOf(hwnd));
  POINT o = WindowOriginInTop(*w);
  RECT c = ClientRectInWindow(*w);
  POINT origin{o.x + c.left, o.y + c.top};
  RECT clip = ClientInTop(*w);
  if (extraClipClient) {
    RECT e = *extraClipClient;
    clip = RectIntersect(clip, RECT{e.left + origin.x, e.top + origin.y, e.right + origin.x, e.bottom + origin.y});
  }
  return MakeDC(hwnd, *top, origin, clip);
}

void PresentTop(HWND hwnd) {
  if (Window* top = Find(TopOf(hwnd))) TheBackend().Present(*top);
}

void FillSys(HDC hdc, int l, int t, int r, int b, int color) {
  RECT rc{l, t, r, b};
  FillRect(hdc, &rc, GetSysColorBrush(color));
}

void PaintTreeNow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w || !(w->style & WS_VISIBLE)) return;
  if (w->invalid || w->frameDirty) {
    SendMessage(hwnd, WM_PAINT, 0, 0);
    if ((w = Find(hwnd)) && (w->invalid || w->frameDirty)) {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
    }
  }
  if (!(w = Find(hwnd))) return;
  std::vector<HWND> kids = w->children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) PaintTreeNow(*it);
}

}  // namespace

void EnsureBacking(Window& top) {
  int width = std::max<LONG>(1, top.rect.right - top.rect.left);
  int height = std::max<LONG>(1, top.rect.bottom - top.rect.top);
  if (top.backing && top.backingW == width && top.backingH == height) return;
  ReleaseBacking(top);
  top.backing = CreateCompatibleBitmap(nullptr, width, height);
  top.backingW = width;
  top.backingH = height;
  // a fresh surface holds nothing: everything must paint again
  InvalidateTree(top.handle, nullptr, true);
}

void ReleaseBacking(Window& top) {
  if (!top.backing) return;
  DeleteObject(top.backing);
  top.backing = nullptr;
  top.backingW = top.backingH = 0;
}

void InvalidateTree(HWND hwnd, const RECT* rcClient, bool erase) {
  Window* w = Find(hwnd);
  if (!w) return;
  RECT c = ClientRectInWindow(*w);
  RECT full{0, 0, c.right - c.left, c.bottom - c.top};
  RECT r = rcClient ? RectIntersect(*rcClient, full) : full;
  if (RectEmpty(r)) return;
  w->update = w->invalid ? RectUnion(w->update, r) : r;
  w->invalid = true;
  if (erase) w->eraseNeeded = true;
  // children are drawn over the parent in the same surface: they repaint too
  for (HWND k : w->children) {
    Window* cw = Find(k);
    if (!cw || !(cw->style & WS_VISIBLE)) continue;
    if (RectEmpty(RectIntersect(cw->rect, r))) continue;
    cw->frameDirty = true;
    RECT cc = ClientRectInWindow(*cw);
    RECT inChild{r.left - cw->rect.left - cc.left, r.top - cw->rect.top - cc.top, r.right - cw->rect.left - cc.left,
                 r.bottom - cw->rect.top - cc.top};
    InvalidateTree(k, &inChild, true);
  }
}

void PaintFrame(Window& w) {
  w.frameDirty = false;
  RECT in;
  NonClientInsets(w, &in);
  if (!in.left && !in.top && !in.right && !in.bottom) return;
  Window* top = Find(TopOf(w.handle));
  POINT o = WindowOriginInTop(w);
  RECT clip{o.x, o.y, o.x + (w.rect.right - w.rect.left), o.y + (w.rect.bottom - w.rect.top)};
  if (w.parent) {
    Window* p = Find(w.parent);
    clip = RectIntersect(clip, ClientInTop(*p));
  }
  HDC hdc = MakeDC(w.handle, *top, o, clip);
  if (!hdc) return;
  int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
  int x = 0, y = 0, r = width, b = height;
  if ((w.style & WS_CHILD) && (w.style & WS_CAPTION) == WS_BORDER) {
    FillSys(hdc, x, y, r, y + 1, COLOR_WINDOWFRAME);
    FillSys(hdc, x, b - 1, r, b, COLOR_WINDOWFRAME);
    FillSys(hdc, x, y, x + 1, b, COLOR_WINDOWFRAME);
    FillSys(hdc, r - 1, y, r, b, COLOR_WINDOWFRAME);
    ++x, ++y, --r, --b;
  }
  if (w.exStyle & WS_EX_CLIENTEDGE) {  // sunken: dark outside top-left, light bottom-right
    FillSys(hdc, x, y, r, y + 1, COLOR_BTNSHADOW);
    FillSys(hdc, x, y, x + 1, b, COLOR_BTNSHADOW);
    FillSys(hdc, x, b - 1, r, b, COLOR_BTNHIGHLIGHT);
    FillSys(hdc, r - 1, y, r, b, COLOR_BTNHIGHLIGHT);
    FillSys(hdc, x + 1, y + 1, r - 1, y + 2, COLOR_3DDKSHADOW);
    FillSys(hdc, x + 1, y + 1, x + 2, b - 1, COLOR_3DDKSHADOW);
    FillSys(hdc, x + 1, b - 2, r - 1, b - 1, COLOR_3DLIGHT);
    FillSys(hdc, r - 2, y + 1, r - 1, b - 1, COLOR_3DLIGHT);
  }
  DrawScrollBars(w, hdc);
  ReleaseDC(w.handle, hdc);
}

bool CaretRectInTop(HWND top, RECT* rc) {
  Desktop& d = TheDesktop();
  Window* w = Find(d.caretOwner);
  if (!w || d.caretHide > 0 || TopOf(d.caretOwner) != top || !IsVisibleChain(*w)) return false;
  RECT clip = ClientInTop(*w);
  POINT o = WindowOriginInTop(*w);
  RECT c = ClientRectInWindow(*w);
  RECT r{o.x + c.left + d.caretPos.x, o.y + c.top + d.caretPos.y, 0, 0};
  r.right = r.left + d.caretW;
  r.bottom = r.top + d.caretH;
  *rc = RectIntersect(r, clip);
  return !RectEmpty(*rc);
}

}  // namespace detail

using namespace detail;

BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase) {
  if (!hwnd) {
    for (HWND top : TheDesktop().topLevels) InvalidateTree(top, nullptr, erase);
  } else {
    if (!IsWindow(hwnd)) return FALSE;
    InvalidateTree(hwnd, rc, erase);
  }
  WakeBackend();
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rc) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (!rc) {
    w->invalid = false;
    w->eraseNeeded = false;
    return TRUE;
  }
  RECT u = w->update;
  if (rc->left <= u.left && rc->top <= u.top && rc->right >= u.right && rc->bottom >= u.bottom) {
    w->invalid = false;
    w->eraseNeeded = false;
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (rc) *rc = w->invalid ? w->update : RECT{};
  return w->invalid ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if ((w->invalid || w->frameDirty) && IsVisibleChain(*w)) SendMessage(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rc, void*, UINT flags) {
  if (!IsWindow(hwnd)) return FALSE;
  if (flags & RDW_INVALIDATE) InvalidateTree(hwnd, rc, (flags & RDW_ERASE) != 0);
  if (flags & RDW_UPDATENOW) {
    if (flags & RDW_ALLCHILDREN)
      PaintTreeNow(hwnd);
    else
      UpdateWindow(hwnd);
  }
  WakeBackend();
  return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  Window* w = Find(hwnd);
  if (!w || !ps) return nullptr;
  *ps = PAINTSTRUCT{};
  EnsureBacking(*Find(TopOf(hwnd)));  // before reading the update region: a new surface widens it
  if (w->frameDirty) PaintFrame(*w);
  RECT upd = w->invalid ? w->update : RECT{};
  bool erase = w->eraseNeeded;
  w->invalid = false;
  w->eraseNeeded = false;
  HDC hdc = ClientDC(hwnd, &upd);
  ps->hdc = hdc;
  ps->rcPaint = upd;
  ps->fErase = TRUE;
  if (erase && hdc) ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (ps && ps->hdc) ReleaseDC(hwnd, ps->hdc);
  return TRUE;
}

HDC GetDC(HWND hwnd) {
  if (!hwnd) return CreateCompatibleDC(nullptr);  // the screen: good for measuring
  return ClientDC(hwnd, nullptr);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
  if (!hdc) return 0;
  auto& m = WindowDCs();
  auto it = m.find(hdc);
  if (it != m.end()) {
    SelectObject(hdc, it->second.oldBitmap);
    HWND owner = it->second.hwnd;
    m.erase(it);
    DeleteDC(hdc);
    PresentTop(owner);
    return 1;
  }
  DeleteDC(hdc);
  return 1;
}

// ---- caret -------------------------------------------------------------------------------

namespace {
void CaretChanged() {
  if (TheDesktop().caretOwner) PresentTop(TheDesktop().caretOwner);
}
}  // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
  if (!IsWindow(hwnd)) return FALSE;
  Desktop& d = TheDesktop();
  if (d.caretOwner) DestroyCaret();
  d.caretOwner = hwnd;
  d.caretW = width > 0 ? width : 1;
  d.caretH = height > 0 ? height : 16;
  d.caretPos = POINT{};
  d.caretHide = 1;  // a new caret starts hidden
  return TRUE;
}

BOOL DestroyCaret() {
  Desktop& d = TheDesktop();
  if (!d.caretOwner) return FALSE;
  HWND owner = d.caretOwner;
  d.caretOwner = nullptr;
  PresentTop(owner);
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  Desktop& d = TheDesktop();
  if (!d.caretOwner) return FALSE;
  d.caretPos = POINT{x, y};
  CaretChanged();
  return TRUE;
}

BOOL GetCaretPos(POINT* pt) {
  Desktop& d = TheDesktop();
  if (!pt || !d.caretOwner) return FALSE;
  *pt = d.caretPos;
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  Desktop& d = TheDesktop();
  if (!d.caretOwner || (hwnd && hwnd != d.caretOwner)) return FALSE;
  if (d.caretHide > 0) --d.caretHide;
  CaretChanged();
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  Desktop& d = TheDesktop();
  if (!d.caretOwner || (hwnd && hwnd != d.caretOwner)) return FALSE;
  ++d.caretHide;
  CaretChanged();
  return TRUE;
}

UINT GetCaretBlinkTime() { return 530; }

// ---- captures -----------------------------------------------------------------------------

namespace user {

HBITMAP CaptureWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  HWND topH = TopOf(hwnd);
  Window* top = Find(topH);
  EnsureBacking(*top);
  PaintTreeNow(topH);
  if (!(w = Find(hwnd)) || !(top = Find(topH))) return nullptr;
  int width = std::max<LONG>(1, w->rect.right - w->rect.left);
  int height = std::max<LONG>(1, w->rect.bottom - w->rect.top);
  POINT o = WindowOriginInTop(*w);
  HBITMAP out = CreateCompatibleBitmap(nullptr, width, height);
  HDC dst = CreateCompatibleDC(nullptr);
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ oldDst = SelectObject(dst, out);
  HGDIOBJ oldSrc = SelectObject(src, top->backing);
  BitBlt(dst, 0, 0, width, height, src, o.x, o.y, SRCCOPY);
  RECT caret;
  if (CaretRectInTop(topH, &caret)) {
    RECT rc{caret.left - o.x, caret.top - o.y, caret.right - o.x, caret.bottom - o.y};
    FillRect(dst, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  SelectObject(src, oldSrc);
  SelectObject(dst, oldDst);
  DeleteDC(src);
  DeleteDC(dst);
  return out;
}

bool SaveWindowPng(HWND hwnd, const std::string& path) {
  HBITMAP bmp = CaptureWindow(hwnd);
  if (!bmp) return false;
  bool ok = SaveBitmapPng(bmp, path);
  DeleteObject(bmp);
  return ok;
}

COLORREF WindowPixel(HWND hwnd, int x, int y) {
  Window* w = Find(hwnd);
  if (!w) return 0xFFFFFFFF;
  HWND topH = TopOf(hwnd);
  Window* top = Find(topH);
  EnsureBacking(*top);
  PaintTreeNow(topH);
  if (!(w = Find(hwnd)) || !(top = Find(topH))) return 0xFFFFFFFF;
  POINT o = WindowOriginInTop(*w);
  RECT c = ClientRectInWindow(*w);
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, top->backing);
  COLORREF px = GetPixel(src, o.x + c.left + x, o.y + c.top + y);
  SelectObject(src, old);
  DeleteDC(src);
  return px;
}

}  // namespace user
}  // namespace ktfolio::win
