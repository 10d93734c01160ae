// The standard window scroll bars: state, geometry, drawing, and the mouse
// handling that turns clicks and drags on them into WM_HSCROLL / WM_VSCROLL.
// The flat-scroll-bar calls are the same bars under other names.
#include <algorithm>

#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {
namespace {

constexpr int kBar = 17;

ScrollBarState* Bar(Window& w, int bar) {
  if (bar == SB_HORZ) return &w.hbar;
  if (bar == SB_VERT) return &w.vbar;
  return nullptr;
}

int MaxPos(const ScrollBarState& s) { return s.max - std::max<int>(static_cast<int>(s.page) - 1, 0); }

struct Geometry {
  RECT bar;       // window coordinates
  int start = 0;  // along the bar's axis, window coordinates
  int end = 0;
  int arrow = 0;
  int thumbStart = 0;
  int thumbLen = 0;  // 0: no thumb
  bool horizontal = true;
};

Geometry Measure(const Window& w, int bar) {
  Geometry g;
  g.bar = ScrollBarRect(w, bar);
  g.horizontal = bar == SB_HORZ;
  const ScrollBarState& s = bar == SB_HORZ ? w.hbar : w.vbar;
  g.start = g.horizontal ? g.bar.left : g.bar.top;
  g.end = g.horizontal ? g.bar.right : g.bar.bottom;
  int len = g.end - g.start;
  g.arrow = std::min(kBar, len / 2);
  int track = len - 2 * g.arrow;
  int range = s.max - s.min + 1;
  int maxPos = MaxPos(s);
  if (track < 8 || maxPos <= s.min || (s.disabledArrows & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH) return g;
  g.thumbLen = s.page ? std::max(8, static_cast<int>(static_cast<long long>(track) * s.page / range)) : kBar;
  g.thumbLen = std::min(g.thumbLen, track);
  int pos = std::clamp(s.pos, s.min, maxPos);
  g.thumbStart = g.start + g.arrow +
                 static_cast<int>(static_cast<long long>(track - g.thumbLen) * (pos - s.min) / (maxPos - s.min));
  return g;
}

void Notify(HWND hwnd, int bar, int code, int pos) {
  SendMessage(hwnd, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL,
              MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(pos)), 0);
}

// Adds or removes a bar; the client area changes, so the window hears WM_SIZE.
void SetBarShown(HWND hwnd, int bar, bool show) {
  Window* w = Find(hwnd);
  if (!w) return;
  DWORD bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  if (((w->style & bit) != 0) == show) return;
  RECT before = ClientRectInWindow(*w);
  if (show)
    w->style |= bit;
  else
    w->style &= ~bit;
  Bar(*w, bar)->shown = show;
  w->frameDirty = true;
  InvalidateTree(hwnd, nullptr, true);
  RECT after = ClientRectInWindow(*w);
  if ((after.right - after.left) != (before.right - before.left) ||
      (after.bottom - after.top) != (before.bottom - before.top))
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(static_cast<WORD>(after.right - after.left), static_cast<WORD>(after.bottom - after.top)));
  WakeBackend();
}

void FillSys(HDC hdc, int l, int t, int r, int b, int color) {
  RECT rc{l, t, r, b};
  FillRect(hdc, &rc, GetSysColorBrush(color));
}

void RaisedBox(HDC hdc, RECT r) {
  FillSys(hdc, r.left, r.top, r.right, r.bottom, COLOR_BTNFACE);
  FillSys(hdc, r.left, r.top, r.right, r.top + 1, COLOR_3DLIGHT);
  FillSys(hdc, r.left, r.top, r.left + 1, r.bottom, COLOR_3DLIGHT);
  FillSys(hdc, r.left + 1, r.top + 1, r.right - 1, r.top + 2, COLOR_BTNHIGHLIGHT);
  FillSys(hdc, r.left + 1, r.top + 1, r.left + 2, r.bottom - 1, COLOR_BTNHIGHLIGHT);
  FillSys(hdc, r.left, r.bottom - 1, r.right, r.bottom, COLOR_3DDKSHADOW);
  FillSys(hdc, r.right - 1, r.top, r.right, r.bottom, COLOR_3DDKSHADOW);
  FillSys(hdc, r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1, COLOR_BTNSHADOW);
  FillSys(hdc, r.right - 2, r.top + 1, r.right - 1, r.bottom - 1, COLOR_BTNSHADOW);
}

// dir: 0 left, 1 right, 2 up, 3 down
void Arrow(HDC hdc, RECT r, int dir, bool enabled) {
  RaisedBox(hdc, r);
  int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  POINT p[3];
  switch (dir) {
    case 0: p[0] = {cx - 2, cy}, p[1] = {cx + 1, cy - 3}, p[2] = {cx + 1, cy + 3}; break;
    case 1: p[0] = {cx + 2, cy}, p[1] = {cx - 1, cy - 3}, p[2] = {cx - 1, cy + 3}; break;
    case 2: p[0] = {cx, cy - 2}, p[1] = {cx - 3, cy + 1}, p[2] = {cx + 3, cy + 1}; break;
    default: p[0] = {cx, cy + 2}, p[1] = {cx - 3, cy - 1}, p[2] = {cx + 3, cy - 1}; break;
  }
  HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(hdc, enabled ? GetSysColorBrush(COLOR_BTNTEXT) : GetSysColorBrush(COLOR_GRAYTEXT));
  Polygon(hdc, p, 3);
  SelectObject(hdc, oldBrush);
  SelectObject(hdc, oldPen);
}

void DrawBar(Window& w, HDC hdc, int bar) {
  Geometry g = Measure(w, bar);
  if (RectEmpty(g.bar)) return;
  const ScrollBarState& s = *Bar(w, bar);
  FillSys(hdc, g.bar.left, g.bar.top, g.bar.right, g.bar.bottom, COLOR_SCROLLBAR);
  bool canScroll = g.thumbLen > 0;
  RECT a1 = g.bar, a2 = g.bar;
  if (g.horizontal) {
    a1.right = a1.left + g.arrow;
    a2.left = a2.right - g.arrow;
  } else {
    a1.bottom = a1.top + g.arrow;
    a2.top = a2.bottom - g.arrow;
  }
  Arrow(hdc, a1, g.horizontal ? 0 : 2, canScroll && !(s.disabledArrows & ESB_DISABLE_LEFT));
  Arrow(hdc, a2, g.horizontal ? 1 : 3, canScroll && !(s.disabledArrows & ESB_DISABLE_RIGHT));
  if (canScroll) {
    RECT t = g.bar;
    if (g.horizontal) {
      t.left = g.thumbStart;
      t.right = g.thumbStart + g.thumbLen;
    } else {
      t.top = g.thumbStart;
      t.bottom = g.thumbStart + g.thumbLen;
    }
    RaisedBox(hdc, t);
  }
}

}  // namespace

RECT ScrollBarRect(const Window& w, int bar) {
  DWORD bit = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  if (!(w.style & bit)) return RECT{};
  RECT in;
  NonClientInsets(w, &in);
  int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
  int bl = in.left;  // the border is the same on every side
  bool both = (w.style & WS_HSCROLL) && (w.style & WS_VSCROLL);
  if (bar == SB_HORZ) return RECT{bl, height - bl - kBar, width - bl - (both ? kBar : 0), height - bl};
  return RECT{width - bl - kBar, bl, width - bl, height - bl - (both ? kBar : 0)};
}

void DrawScrollBars(Window& w, HDC hdc) {
  DrawBar(w, hdc, SB_HORZ);
  DrawBar(w, hdc, SB_VERT);
  if ((w.style & WS_HSCROLL) && (w.style & WS_VSCROLL)) {
    RECT h = ScrollBarRect(w, SB_HORZ), v = ScrollBarRect(w, SB_VERT);
    FillSys(hdc, v.left, h.top, v.right, h.bottom, COLOR_BTNFACE);
  }
}

bool ScrollBarMouse(HWND hwnd, UINT msg, POINT pt) {
  Desktop& d = TheDesktop();
  Window* w = Find(hwnd);
  if (!w) {
    d.sbWnd = nullptr;
    return false;
  }
  if (msg == WM_LBUTTONDOWN) {
    int bar = PtIn(ScrollBarRect(*w, SB_HORZ), pt) ? SB_HORZ : PtIn(ScrollBarRect(*w, SB_VERT), pt) ? SB_VERT : -1;
    if (bar < 0) return false;
    Geometry g = Measure(*w, bar);
    if (!g.thumbLen) return true;  // nothing to scroll: the click is swallowed
    ScrollBarState& s = *Bar(*w, bar);
    int along = g.horizontal ? pt.x : pt.y;
    int code;
    if (along < g.start + g.arrow)
      code = (s.disabledArrows & ESB_DISABLE_LEFT) ? -1 : SB_LINEUP;
    else if (along >= g.end - g.arrow)
      code = (s.disabledArrows & ESB_DISABLE_RIGHT) ? -1 : SB_LINEDOWN;
    else if (along < g.thumbStart)
      code = SB_PAGEUP;
    else if (along >= g.thumbStart + g.thumbLen)
      code = SB_PAGEDOWN;
    else
      code = SB_THUMBTRACK;
    if (code < 0) return true;
    d.sbWnd = hwnd;
    d.sbBar = bar;
    d.sbCode = code;
    d.sbGrab = along - g.thumbStart;
    s.trackPos = s.pos;
    if (code != SB_THUMBTRACK) Notify(hwnd, bar, code, 0);
    return true;
  }
  if (d.sbWnd != hwnd) return false;
  int bar = d.sbBar;
  ScrollBarState& s = *Bar(*w, bar);
  if (msg == WM_MOUSEMOVE && d.sbCode == SB_THUMBTRACK) {
    Geometry g = Measure(*w, bar);
    int track = (g.end - g.start) - 2 * g.arrow - g.thumbLen;
    int along = (g.horizontal ? pt.x : pt.y) - d.sbGrab - (g.start + g.arrow);
    int maxPos = MaxPos(s);
    int pos = track > 0 ? s.min + static_cast<int>((static_cast<long long>(std::clamp(along, 0, track)) *
                                                       (maxPos - s.min) + track / 2) / track)
                        : s.min;
    if (pos != s.trackPos) {
      s.trackPos = pos;
      Notify(hwnd, bar, SB_THUMBTRACK, pos);
    }
    return true;
  }
  if (msg == WM_LBUTTONUP) {
    int code = d.sbCode;
    d.sbWnd = nullptr;
    if (code == SB_THUMBTRACK) Notify(hwnd, bar, SB_THUMBPOSITION, s.trackPos);
    if (IsWindow(hwnd)) Notify(hwnd, bar, SB_ENDSCROLL, 0);
    return true;
  }
  return true;
}

}  // namespace detail

using namespace detail;

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw) {
  Window* w = Find(hwnd);
  ScrollBarState* s = w ? Bar(*w, bar) : nullptr;
  if (!s || !si) return 0;
  if (si->fMask & SIF_RANGE) {
    s->min = si->nMin;
    s->max = std::max(si->nMin, si->nMax);
  }
  if (si->fMask & SIF_PAGE) s->page = si->nPage;
  if (s->page > static_cast<UINT>(s->max - s->min + 1)) s->page = static_cast<UINT>(s->max - s->min + 1);
  if (si->fMask & SIF_POS) s->pos = si->nPos;
  s->pos = std::clamp(s->pos, s->min, std::max(s->min, MaxPos(*s)));
  if (si->fMask & (SIF_RANGE | SIF_PAGE)) {
    bool needed = s->max > s->min && (s->page == 0 || s->page <= static_cast<UINT>(s->max - s->min));
    if (si->fMask & SIF_DISABLENOSCROLL) {
      s->disabledArrows = needed ? 0 : ESB_DISABLE_BOTH;
      if (!(w->style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL))) SetBarShown(hwnd, bar, true);
    } else {
      SetBarShown(hwnd, bar, needed);
    }
  }
  if ((w = Find(hwnd)) && redraw) {
    w->frameDirty = true;
    WakeBackend();
  }
  return s->pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si) {
  Window* w = Find(hwnd);
  ScrollBarState* s = w ? Bar(*w, bar) : nullptr;
  if (!s || !si) return FALSE;
  if (si->fMask & SIF_RANGE) {
    si->nMin = s->min;
    si->nMax = s->max;
  }
  if (si->fMask & SIF_PAGE) si->nPage = s->page;
  if (si->fMask & SIF_POS) si->nPos = s->pos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = (TheDesktop().sbWnd == hwnd && TheDesktop().sbBar == bar) ? s->trackPos : s->pos;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  int old = GetScrollPos(hwnd, bar);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = minPos;
  si.nMax = maxPos;
  return IsWindow(hwnd) ? (SetScrollInfo(hwnd, bar, &si, redraw), TRUE) : FALSE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  if (!IsWindow(hwnd)) return FALSE;
  if (bar == SB_HORZ || bar == SB_BOTH) SetBarShown(hwnd, SB_HORZ, show != FALSE);
  if (bar == SB_VERT || bar == SB_BOTH) SetBarShown(hwnd, SB_VERT, show != FALSE);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  bool changed = false;
  auto apply = [&](ScrollBarState& s) {
    if (s.disabledArrows != arrows) changed = true;
    s.disabledArrows = arrows;
  };
  if (bar == SB_HORZ || bar == SB_BOTH) apply(w->hbar);
  if (bar == SB_VERT || bar == SB_BOTH) apply(w->vbar);
  if (changed) {
    w->frameDirty = true;
    WakeBackend();
  }
  return changed ? TRUE : FALSE;
}

BOOL InitializeFlatSB(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  w->flatSB = true;
  return TRUE;
}

BOOL UninitializeFlatSB(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  w->flatSB = false;
  return TRUE;
}

int FlatSB_SetScrollInfo(HWND h, int bar, const SCROLLINFO* si, BOOL redraw) { return SetScrollInfo(h, bar, si, redraw); }
BOOL FlatSB_GetScrollInfo(HWND h, int bar, SCROLLINFO* si) { return GetScrollInfo(h, bar, si); }
int FlatSB_SetScrollPos(HWND h, int bar, int pos, BOOL redraw) { return SetScrollPos(h, bar, pos, redraw); }
int FlatSB_GetScrollPos(HWND h, int bar) { return GetScrollPos(h, bar); }
BOOL FlatSB_SetScrollRange(HWND h, int bar, int mn, int mx, BOOL redraw) { return SetScrollRange(h, bar, mn, mx, redraw); }
BOOL FlatSB_ShowScrollBar(HWND h, int bar, BOOL show) { return ShowScrollBar(h, bar, show); }
BOOL FlatSB_EnableScrollBar(HWND h, UINT bar, UINT arrows) { return EnableScrollBar(h, bar, arrows); }

BOOL FlatSB_SetScrollProp(HWND hwnd, UINT index, LONG_PTR value, BOOL) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (static_cast<int>(index) == WSB_PROP_VSTYLE) w->vbar.flatStyle = value;
  else if (static_cast<int>(index) == WSB_PROP_HSTYLE) w->hbar.flatStyle = value;
  else return FALSE;
  return TRUE;
}

BOOL FlatSB_GetScrollProp(HWND hwnd, UINT index, LONG_PTR* value) {
  Window* w = Find(hwnd);
  if (!w || !value) return FALSE;
  if (static_cast<int>(index) == WSB_PROP_VSTYLE) *value = w->vbar.flatStyle;
  else if (static_cast<int>(index) == WSB_PROP_HSTYLE) *value = w->hbar.flatStyle;
  else return FALSE;
  return TRUE;
}

}  // namespace ktfolio::win
