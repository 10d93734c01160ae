// The Edit window class's layout: where lines start and end, how wide text is
// in the window's font, where the caret stands, and the scrolling that keeps
// it in view.
#include "platform/user/edit_impl.h"

namespace ktfolio::win::detail::edit {

// ---- lines ----------------------------------------------------------------------

std::vector<int> LineStarts(const Edit& e, bool multi) {
  std::vector<int> starts{0};
  if (!multi) return starts;
  for (int i = 0; i + 1 < Len(e); ++i)
    if (e.text[i] == U'\r' && e.text[i + 1] == U'\n') starts.push_back(i + 2);
  return starts;
}

int LineOf(const std::vector<int>& starts, int index) {
  auto it = std::upper_bound(starts.begin(), starts.end(), index);
  return static_cast<int>(it - starts.begin()) - 1;
}

int LineEnd(const Edit& e, const std::vector<int>& starts, int line) {
  if (line + 1 < static_cast<int>(starts.size())) return starts[line + 1] - 2;
  return Len(e);
}


// ---- measuring ------------------------------------------------------------------------

std::u32string Shown(const Edit& e, int from, int to) {
  if (e.password) return std::u32string(static_cast<size_t>(to - from), e.password);
  return e.text.substr(from, to - from);
}

RECT FormatRect(HWND hwnd, const Edit& e) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  rc.left += e.leftMargin;
  rc.right -= e.rightMargin;
  if (rc.right < rc.left) rc.right = rc.left;
  return rc;
}

// X of the start of a line's text, in client coordinates (alignment, scroll).
int LineX(HWND hwnd, const Edit& e, Measure& m, int lineStart, int lineEnd) {
  RECT fr = FormatRect(hwnd, e);
  int width = m.Width(Shown(e, lineStart, lineEnd));
  DWORD st = Style(hwnd);
  int x = fr.left;
  if (st & ES_CENTER)
    x = fr.left + (fr.right - fr.left - width) / 2;
  else if (st & ES_RIGHT)
    x = fr.right - width;
  return x - e.xOffset;
}

POINT PosFromChar(HWND hwnd, const Edit& e, int index) {
  Measure m(e);
  auto starts = LineStarts(e, Multi(hwnd));
  int line = LineOf(starts, index);
  int x = LineX(hwnd, e, m, starts[line], LineEnd(e, starts, line)) + m.Width(Shown(e, starts[line], index));
  return POINT{x, (line - e.firstLine) * m.Height()};
}

int CharFromPos(HWND hwnd, const Edit& e, POINT p, int* lineOut) {
  Measure m(e);
  auto starts = LineStarts(e, Multi(hwnd));
  int line = std::clamp(e.firstLine + (p.y >= 0 ? p.y / m.Height() : -1), 0, static_cast<int>(starts.size()) - 1);
  int s = starts[line], end = LineEnd(e, starts, line);
  int x = LineX(hwnd, e, m, s, end);
  int best = s;
  // the nearest boundary between characters
  for (int i = s; i <= end; ++i) {
    int xi = x + m.Width(Shown(e, s, i));
    if (xi <= p.x) best = i;
    if (xi > p.x) {
      int prev = x + m.Width(Shown(e, s, i - 1 < s ? s : i - 1));
      if (i > s && p.x - prev > xi - p.x) best = i;
      break;
    }
  }
  if (lineOut) *lineOut = line;
  return best;
}

int VisibleLines(HWND hwnd, const Edit& e) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  Measure m(e);
  return std::max(1, static_cast<int>((rc.bottom - rc.top) / m.Height()));
}

void UpdateScrollBars(HWND hwnd, Edit& e) {
  DWORD st = Style(hwnd);
  if (st & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = static_cast<int>(LineStarts(e, Multi(hwnd)).size()) - 1 + VisibleLines(hwnd, e) - 1;
    si.nPage = static_cast<UINT>(VisibleLines(hwnd, e));
    si.nPos = e.firstLine;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }
  if (st & WS_HSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    RECT fr = FormatRect(hwnd, e);
    si.nMin = 0;
    si.nMax = 1000;
    si.nPage = static_cast<UINT>(std::max<LONG>(1, fr.right - fr.left));
    si.nPos = e.xOffset;
    SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
  }
}

void PlaceCaret(HWND hwnd, Edit& e) {
  if (!e.focused) return;
  POINT p = PosFromChar(hwnd, e, e.caret);
  SetCaretPos(p.x, p.y);
}

// Scrolls so the caret is visible; true when the view moved.
bool ScrollCaret(HWND hwnd, Edit& e) {
  bool moved = false;
  auto starts = LineStarts(e, Multi(hwnd));
  if (Multi(hwnd)) {
    int line = LineOf(starts, e.caret);
    int visible = VisibleLines(hwnd, e);
    if (line < e.firstLine) e.firstLine = line, moved = true;
    if (line >= e.firstLine + visible) e.firstLine = line - visible + 1, moved = true;
  }
  RECT fr = FormatRect(hwnd, e);
  if (Style(hwnd) & (ES_AUTOHSCROLL | WS_HSCROLL) || !Multi(hwnd)) {
    Measure m(e);
    int line = LineOf(starts, e.caret);
    int x = m.Width(Shown(e, starts[line], e.caret));
    int width = fr.right - fr.left;
    if (x - e.xOffset > width) e.xOffset = x - width + width / 4, moved = true;
    if (x < e.xOffset) e.xOffset = std::max(0, x - width / 4), moved = true;
  }
  if (moved) {
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateScrollBars(hwnd, e);
  }
  PlaceCaret(hwnd, e);
  return moved;
}

void SetSel(HWND hwnd, Edit& e, int anchor, int caret) {
  e.anchor = std::clamp(anchor, 0, Len(e));
  e.caret = std::clamp(caret, 0, Len(e));
  InvalidateRect(hwnd, nullptr, TRUE);
  PlaceCaret(hwnd, e);
}


}  // namespace ktfolio::win::detail::edit
