// The companion controls' drawing helpers (see drawing.h): bevels, relief
// captions, access keys, picture placement and synthesised keys.
#include "winsupport/drawing.h"

#include <cctype>
#include <vector>

#include "platform/gdi/gdi_scoped.h"
#include "platform/user/user.h"

namespace ktfolio {

using namespace win;

std::uint32_t SysColorToOle(std::int32_t index) { return static_cast<std::uint32_t>(index) | 0x80000000u; }

void DeflateRect(RECT& rc, std::int32_t d) {
  rc.left += d;
  rc.top += d;
  rc.right -= d;
  rc.bottom -= d;
}

RECT OffsetRectBy(const RECT& rc, std::int32_t d) { return RECT{rc.left + d, rc.top + d, rc.right + d, rc.bottom + d}; }

namespace {

void FillPolygonIn(HDC dc, const std::vector<POINT>& points, std::uint32_t color) {
  const COLORREF rgb = OleTranslateColor(color);
  const OwnedPen pen(CreatePen(PS_SOLID, 1, rgb));
  const OwnedBrush brush(CreateSolidBrush(rgb));
  const SelectedObject penSelected(dc, pen);
  const SelectedObject brushSelected(dc, brush);
  Polygon(dc, points.data(), static_cast<int>(points.size()));
}

}  // namespace

void DrawBevel(HDC dc, RECT& rc, std::uint32_t topLeftColor, std::uint32_t bottomRightColor, std::int32_t w) {
  if (w < 1) return;
  const LONG l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
  FillPolygonIn(dc, {{l + 1, b - 1}, {r - 1, b - 1}, {r - 1, t}, {r - w, t + w - 1}, {r - w, b - w}, {l + w, b - w}},
                bottomRightColor);
  FillPolygonIn(dc, {{r - 2, t}, {l, t}, {l, b - 1}, {l + w - 1, b - w}, {l + w - 1, t + w - 1}, {r - w - 1, t + w - 1}},
                topLeftColor);
  DeflateRect(rc, w);
}

namespace {

// The copies a relief style draws before the text: colour at -d, colour at +d.
struct Relief {
  bool before = false, after = false;
  std::uint32_t beforeColor = 0, afterColor = 0;
};

Relief ReliefOf(std::int32_t style, std::uint32_t dark, std::uint32_t light) {
  switch (style) {
    case 1: return {true, false, light, 0};        // raised
    case 2: return {true, true, light, dark};      // raised heavy
    case 3: return {false, true, 0, light};        // inset
    case 4: return {true, true, dark, light};      // inset heavy
    default: return {};                            // flat
  }
}

}  // namespace

void DrawCaptionText(HDC dc, const std::string& text, const RECT& rc, const CaptionStyle& style) {
  if (text.empty()) return;
  const SavedDCState saved(dc);
  const SelectedObject fontSelected(dc, style.font);
  if (style.clip) IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
  SetBkMode(dc, TRANSPARENT);
  UINT flags =
      (style.showPrefix ? 0 : DT_NOPREFIX) | (style.clip ? 0 : DT_NOCLIP) | (style.wordWrap ? DT_WORDBREAK : 0);
  RECT measured{rc.left, rc.top, rc.right, rc.top};
  DrawText(dc, text.c_str(), -1, &measured, flags | DT_CALCRECT);
  const LONG h = measured.bottom - measured.top;
  RECT place = rc;
  const std::int32_t row = style.position / 3, column = style.position % 3;
  if (row == 1) place.top = rc.top + (rc.bottom - rc.top - h) / 2;
  else if (row == 2) place.top = rc.bottom - h;
  place.bottom = place.top + h;
  if (column == 1) flags |= DT_CENTER;
  else if (column == 2) flags |= DT_RIGHT;

  const Relief r = ReliefOf(style.relief, style.darkColor, style.lightColor);
  const std::int32_t d = style.offset;
  auto copy = [&](std::int32_t offset, std::uint32_t color) {
    RECT at = OffsetRectBy(place, offset);
    SetTextColor(dc, OleTranslateColor(color));
    DrawText(dc, text.c_str(), -1, &at, flags);
  };
  if (r.before) copy(-d, r.beforeColor);
  if (r.after) copy(d, r.afterColor);
  copy(0, style.textColor);
}

std::string AccessKeyOf(const std::string& caption) {
  std::string key;
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {  // a literal ampersand
      ++i;
      continue;
    }
    key = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1]))));
  }
  return key;
}

void SendTab() {
  const BYTE scan = static_cast<BYTE>(MapVirtualKey(VK_TAB, 0));
  keybd_event(VK_TAB, scan, 0, 0);
  keybd_event(VK_TAB, scan, KEYEVENTF_KEYUP, 0);
}

void SendShiftTab() {
  keybd_event(VK_SHIFT, 0, 0, 0);
  SendTab();
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

std::int16_t ShiftState() {
  auto down = [](int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; };
  return static_cast<std::int16_t>((down(VK_SHIFT) ? 1 : 0) + (down(VK_CONTROL) ? 2 : 0) + (down(VK_MENU) ? 4 : 0));
}

std::int32_t MakeLong(std::int32_t low, std::int32_t high) {
  const std::int32_t signedLow = static_cast<std::int16_t>(low & 0xFFFF);
  if (high & 0x8000) return static_cast<std::int32_t>(((static_cast<std::uint32_t>(high) & 0x7FFFu) << 16) |
                                                      (static_cast<std::uint32_t>(low) & 0xFFFFu) | 0x80000000u);
  return high * 65536 + signedLow;
}

bool IsOldShell() { return false; }

}  // namespace ktfolio
