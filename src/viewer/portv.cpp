// PortV: the viewport window, its two scroll bars and its two off-screen
// surfaces. Lengths the owner sets are twips; drawing is in pixels through the
// screen's twips per pixel.
#include "viewer/portv.h"

#include <algorithm>
#include <cmath>

#include "model/units.h"
#include "platform/user/window_dc.h"
#include "render/render_impl.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr const char* kClassName = "PortV";
constexpr int kFlatMode = FSB_ENCARTA_MODE;  // the mode both bars start in

void RegisterOnce() {
  static bool done = false;
  if (done) return;
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT { return DefWindowProc(h, m, w, l); };
  wc.lpszClassName = kClassName;
  // The real procedure is installed per window (it needs the object); the
  // class only names the kind.
  done = RegisterClassEx(&wc) != 0;
}

int PixelsX(double twips) { return render::Nint(twips / TwipsPerPixelX()); }
int PixelsY(double twips) { return render::Nint(twips / TwipsPerPixelY()); }

std::int16_t ShiftOf(WPARAM keys) {
  std::int16_t s = 0;
  if (keys & MK_SHIFT) s |= 1;
  if (keys & MK_CONTROL) s |= 2;
  if (GetKeyState(VK_MENU) < 0) s |= 4;
  return s;
}

std::int16_t StepOf(std::int16_t v) { return std::max<std::int16_t>(v, 0); }

}  // namespace

PortV::PortV(HWND parent, std::uint32_t ambientBackColor)
    : ambientBackColor_(ambientBackColor), backColor_(ambientBackColor) {
  RegisterOnce();
  InitScreenMeasures();  // the viewport's own scale conversion
  hwnd_ = CreateWindowEx(0, kClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
  if (!hwnd_) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtr(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PortV::WndProc));
  // Run-time start: both scroll-bar styles, flat bars in their first mode.
  SetWindowLongPtr(hwnd_, GWL_STYLE, GetWindowLongPtr(hwnd_, GWL_STYLE) | WS_HSCROLL | WS_VSCROLL);
  InitializeFlatSB(hwnd_);
  FlatSB_SetScrollProp(hwnd_, WSB_PROP_VSTYLE, kFlatMode, TRUE);
  FlatSB_SetScrollProp(hwnd_, WSB_PROP_HSTYLE, kFlatMode, TRUE);
  for (int bar : {SB_HORZ, SB_VERT}) FlatSB_SetScrollRange(hwnd_, bar, 0, kRangeMax, FALSE);
  RebuildBars();
}

PortV::~PortV() {
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
  UninitializeFlatSB(hwnd_);
  DestroyWindow(hwnd_);
}

// ---- properties ------------------------------------------------------------------

void PortV::ScrollBars(std::int32_t v) {
  scrollBars_ = v;
  RebuildBars();
}

std::int32_t PortV::Position(int bar) const { return hwnd_ ? FlatSB_GetScrollPos(hwnd_, bar) : 0; }

std::int32_t PortV::Value() const { return Position(Bar()); }

void PortV::Value(std::int32_t v) { SetValue(Bar(), v); }

void PortV::SetValue(int bar, std::int32_t v) {
  if (!hwnd_ || v == Position(bar)) return;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = v;
  FlatSB_SetScrollInfo(hwnd_, bar, &si, TRUE);
  RaiseChange();
}

void PortV::RaiseChange() {
  if (Change) Change();
}

bool PortV::Style(std::int32_t v) {
  if (v < FSB_REGULAR_MODE || v > FSB_FLAT_MODE || (v != 0 && !CanBeFlat())) return false;
  style_ = v;
  if (!hwnd_) return true;
  if (scrollBars_ & 1) FlatSB_SetScrollProp(hwnd_, WSB_PROP_HSTYLE, v, TRUE);
  if (scrollBars_ & 2) FlatSB_SetScrollProp(hwnd_, WSB_PROP_VSTYLE, v, TRUE);
  return true;
}

void PortV::BorderStyle(std::int32_t v) {
  borderStyle_ = v;
  if (!hwnd_) return;
  const LONG_PTR style = GetWindowLongPtr(hwnd_, GWL_STYLE);
  SetWindowLongPtr(hwnd_, GWL_STYLE, v ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER)));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void PortV::Enabled(bool v) {
  enabled_ = v;
  if (hwnd_) FlatSB_EnableScrollBar(hwnd_, scrollBars_ == 1 ? SB_HORZ : SB_VERT, v ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
}

void PortV::AutoScroll(bool v) {
  autoScroll_ = v;
  RebuildBars();
}

std::vector<PortV::Persisted> PortV::PersistedDefaults() const {
  return {
      {"ScrollBars", Variant(std::int32_t{1})},        {"Value", Variant(std::int32_t{0})},
      {"LargeChangeHORZ", Variant(std::int16_t{10})},  {"LargeChangeVERT", Variant(std::int16_t{10})},
      {"SmallChangeHORZ", Variant(std::int16_t{1})},   {"SmallChangeVERT", Variant(std::int16_t{1})},
      {"Style", Variant(std::int32_t{0})},             {"BorderStyle", Variant(std::int32_t{0})},
      {"AutoRedraw", Variant(false)},                  {"Enabled", Variant(true)},
      {"ModePage", Variant(true)},                     {"AutoScroll", Variant(true)},
      {"BackColor", Variant(static_cast<std::int32_t>(ambientBackColor_))},
      {"PageBackColor", Variant(std::int32_t{0xFFFFFF})},
  };
}

void PortV::ReadProperties(const std::function<Variant(const std::string&, const Variant&)>& read) {
  for (const Persisted& p : PersistedDefaults()) {
    const Variant v = read(p.name, p.value);
    const std::string& n = p.name;
    if (n == "ScrollBars") ScrollBars(v.ToLong());
    else if (n == "Value") Value(v.ToLong());
    else if (n == "LargeChangeHORZ") LargeChangeHORZ(v.ToInteger());
    else if (n == "LargeChangeVERT") LargeChangeVERT(v.ToInteger());
    else if (n == "SmallChangeHORZ") SmallChangeHORZ(v.ToInteger());
    else if (n == "SmallChangeVERT") SmallChangeVERT(v.ToInteger());
    else if (n == "Style") (void)Style(v.ToLong());
    else if (n == "BorderStyle") BorderStyle(v.ToLong());
    else if (n == "AutoRedraw") AutoRedraw(v.ToBool());
    else if (n == "Enabled") Enabled(v.ToBool());
    else if (n == "ModePage") ModePage(v.ToBool());
    else if (n == "AutoScroll") AutoScroll(v.ToBool());
    else if (n == "BackColor") BackColor(static_cast<std::uint32_t>(v.ToLong()));
    else if (n == "PageBackColor") PageBackColor(static_cast<std::uint32_t>(v.ToLong()));
  }
}

void PortV::WriteProperties(const std::function<void(const std::string&, const Variant&)>& write) const {
  write("ScrollBars", Variant(scrollBars_));
  write("Value", Variant(Value()));
  write("LargeChangeHORZ", Variant(largeChangeHorz_));
  write("LargeChangeVERT", Variant(largeChangeVert_));
  write("SmallChangeHORZ", Variant(smallChangeHorz_));
  write("SmallChangeVERT", Variant(smallChangeVert_));
  write("Style", Variant(style_));
  write("BorderStyle", Variant(borderStyle_));
  write("AutoRedraw", Variant(autoRedraw_));
  write("Enabled", Variant(enabled_));
  write("ModePage", Variant(modePage_));
  write("AutoScroll", Variant(autoScroll_));
  write("BackColor", Variant(static_cast<std::int32_t>(backColor_)));
  write("PageBackColor", Variant(static_cast<std::int32_t>(pageBackColor_)));
}

void PortV::ReadProperties(const PropertyBag& bag) {
  ReadProperties([&bag](const std::string& name, const Variant& d) { return bag.ReadProperty(name, d); });
}

void PortV::WriteProperties(PropertyBag& bag) const {
  const std::vector<Persisted> defaults = PersistedDefaults();
  WriteProperties([&](const std::string& name, const Variant& value) {
    for (const Persisted& d : defaults)
      if (d.name == name) bag.WriteProperty(name, value, d.value);
  });
}

std::int32_t PortV::Min() const {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (hwnd_ && FlatSB_GetScrollInfo(hwnd_, Bar(), &si)) return si.nMin;
  return 0;
}

std::int32_t PortV::Max() const {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (hwnd_ && FlatSB_GetScrollInfo(hwnd_, Bar(), &si)) return si.nMax;
  return 0;
}

void PortV::Min(std::int32_t v) {
  if (hwnd_) FlatSB_SetScrollRange(hwnd_, Bar(), v, Max(), TRUE);
}

void PortV::Max(std::int32_t v) {
  if (hwnd_) FlatSB_SetScrollRange(hwnd_, Bar(), Min(), v, TRUE);
}

void PortV::ViewWidth(std::int32_t v) {
  viewWidth_ = v;
  RebuildBars();
}

void PortV::ViewHeight(std::int32_t v) {
  viewHeight_ = v;
  RebuildBars();
}

std::int32_t PortV::ScaleWidth() const {
  RECT rc;
  if (!hwnd_ || !GetClientRect(hwnd_, &rc)) return 0;
  return render::Nint((rc.right - rc.left) * TwipsPerPixelX());
}

std::int32_t PortV::ScaleHeight() const {
  RECT rc;
  if (!hwnd_ || !GetClientRect(hwnd_, &rc)) return 0;
  return render::Nint((rc.bottom - rc.top) * TwipsPerPixelY());
}

// ---- scroll bars ---------------------------------------------------------------------

void PortV::ShowBar(int bar, bool show) { FlatSB_ShowScrollBar(hwnd_, bar, show); }

void PortV::RebuildBars() {
  if (!hwnd_ || rebuilding_) return;
  rebuilding_ = true;
  if (autoScroll_) {
    // Showing one bar narrows the other axis, so settle the pair twice.
    for (int pass = 0; pass < 2; ++pass) {
      const bool horz = viewWidth_ > 0 && viewWidth_ >= ScaleWidth();
      ShowBar(SB_HORZ, horz);
      const bool vert = viewHeight_ > 0 && viewHeight_ >= ScaleHeight();
      ShowBar(SB_VERT, vert);
      scrollBars_ = (horz ? 1 : 0) | (vert ? 2 : 0);
    }
    if (scrollBars_ & 1) largeChangeHorz_ = static_cast<std::int16_t>(render::Nint(100.0 * ScaleWidth() / viewWidth_));
    if (scrollBars_ & 2)
      largeChangeVert_ = static_cast<std::int16_t>(render::Nint(100.0 * ScaleHeight() / viewHeight_));
  } else {
    ShowBar(SB_HORZ, scrollBars_ == 1 || scrollBars_ == 3);
    ShowBar(SB_VERT, scrollBars_ == 2 || scrollBars_ == 3);
  }
  activeBar_ = scrollBars_ == 1 ? 0 : 1;
  rebuilding_ = false;
}

void PortV::OnScroll(int bar, int code) {
  activeBar_ = bar == SB_HORZ ? 0 : 1;
  const bool horz = bar == SB_HORZ;
  const std::int32_t lo = Min(), hi = Max(), old = Value();
  const std::int32_t line = StepOf(horz ? smallChangeHorz_ : smallChangeVert_);
  const std::int32_t page = StepOf(horz ? largeChangeHorz_ : largeChangeVert_);
  auto step = [&](std::int32_t delta) {
    Value(std::clamp(old + delta, lo, hi));
    RaiseChange();
    if (old != (delta < 0 ? lo : hi)) DrawDC();
  };
  auto track = [&](bool repaint) {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    FlatSB_GetScrollInfo(hwnd_, bar, &si);
    Value(si.nTrackPos);
    if (Scroll) Scroll();
    if (repaint) DrawDC();
  };
  switch (code) {
    case SB_LINEUP: step(-line); break;
    case SB_LINEDOWN: step(line); break;
    case SB_PAGEUP: step(-page); break;
    case SB_PAGEDOWN: step(page); break;
    case SB_THUMBPOSITION: track(true); break;
    case SB_THUMBTRACK: track(false); break;
    case SB_TOP:
      Value(lo);
      RaiseChange();
      DrawDC();
      break;
    case SB_BOTTOM:
      Value(hi);
      RaiseChange();
      DrawDC();
      break;
    case SB_ENDSCROLL: RaiseChange(); break;
    default: break;
  }
}

// ---- painting -----------------------------------------------------------------------

// One axis: where the page's visible part comes from and goes to, in pixels.
void PortV::Place(int bar, int pageSize, int visibleSize, int& src, int& dst, int& extent) const {
  const bool horz = bar == SB_HORZ;
  auto px = [horz](double twips) { return horz ? PixelsX(twips) : PixelsY(twips); };
  if (pageSize >= visibleSize) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_POS;
    FlatSB_GetScrollInfo(hwnd_, bar, &si);
    const double fraction = si.nMax > 0 ? static_cast<double>(si.nPos) / si.nMax : 0.0;
    src = px(fraction * (pageSize - visibleSize));
    dst = 0;
    extent = px(visibleSize);
  } else {
    src = 0;
    dst = px((visibleSize - pageSize) / 2);
    extent = px(pageSize);
  }
}

void PortV::GetViewOffset(std::int32_t& X, std::int32_t& Y) const {
  X = Y = 0;
  if (!hwnd_) return;
  int src = 0, dst = 0, extent = 0;
  Place(SB_HORZ, viewWidth_, ScaleWidth(), src, dst, extent);
  X = src - dst;
  Place(SB_VERT, viewHeight_, ScaleHeight(), src, dst, extent);
  Y = src - dst;
}

void PortV::PaintInto(HDC target) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return;
  const int W = PixelsX(viewWidth_), H = PixelsY(viewHeight_);
  int sx = 0, dx = 0, ex = 0, sy = 0, dy = 0, ey = 0;
  Place(SB_HORZ, viewWidth_, ScaleWidth(), sx, dx, ex);
  Place(SB_VERT, viewHeight_, ScaleHeight(), sy, dy, ey);
  const std::uint32_t back = OleTranslateColor(backColor_);

  const OwnedDC client = MemoryDC(target);
  const OwnedBitmap clientBmp(CreateCompatibleBitmap(target, w, h));
  const SelectedObject clientSelected(client, clientBmp);
  render::FillRectWith(client, 0, 0, w, h, back);
  if (W > 0 && H > 0) {
    const OwnedDC page = MemoryDC(target);
    const OwnedBitmap pageBmp(CreateCompatibleBitmap(target, W, H));
    const SelectedObject pageSelected(page, pageBmp);
    render::PreparePageSurface(page, W, H, back, OleTranslateColor(pageBackColor_), modePage_);
    HDC pageDC = page;  // the handler takes the context by reference
    if (Paint) Paint(pageDC);
    BitBlt(client, dx, dy, ex, ey, page, sx, sy, SRCCOPY);
  }
  BitBlt(target, 0, 0, w, h, client, 0, 0, SRCCOPY);
}

void PortV::DrawDC() {
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  const WindowDC dc(hwnd_);
  if (!dc) return;
  PaintInto(dc);
}

void PortV::Refresh() {
  if (!hwnd_) return;
  // Drawn now, and left invalid: a parent still waiting for its own paint
  // (a window just shown) erases over this one, which must then paint again.
  InvalidateRect(hwnd_, nullptr, FALSE);
  DrawDC();
}

void PortV::OnPaintMessage() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (dc) PaintInto(dc);
  EndPaint(hwnd_, &ps);
}

// ---- messages ------------------------------------------------------------------------

void PortV::OnMouse(UINT msg, LPARAM lParam) {
  std::int32_t x = static_cast<std::int16_t>(LOWORD(lParam)), y = static_cast<std::int16_t>(HIWORD(lParam));
  std::int32_t ox = 0, oy = 0;
  GetViewOffset(ox, oy);
  const WPARAM keys = (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) | (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0);
  const std::int16_t shift = ShiftOf(keys);
  const bool left = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP;
  const std::int16_t button = left ? 1 : 2;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      mouseDown_ = true;
      SetCapture(hwnd_);
      if (MouseDown) MouseDown(x, y, ox, oy, button, shift);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const bool wasDown = mouseDown_;
      mouseDown_ = false;
      if (GetCapture() == hwnd_) ReleaseCapture();
      if (MouseUp) MouseUp(x, y, ox, oy, button, shift);
      RECT rc;
      GetClientRect(hwnd_, &rc);
      if (wasDown && x >= 0 && y >= 0 && x < rc.right && y < rc.bottom && Click) Click(x, y, ox, oy);
      break;
    }
    case WM_LBUTTONDBLCLK:
      if (DblClick) DblClick(x, y, ox, oy);
      break;
    default: break;
  }
}

LRESULT PortV::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      OnScroll(msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
      return 0;
    case WM_SIZE:
      RebuildBars();
      DrawDC();
      return 0;
    case WM_PAINT:
      OnPaintMessage();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_LBUTTONDBLCLK:
      OnMouse(msg, lParam);
      return 0;
    default: return DefWindowProc(hwnd_, msg, wParam, lParam);
  }
}

LRESULT PortV::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<PortV*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProc(hwnd, msg, wParam, lParam);
  return self->Handle(msg, wParam, lParam);
}

}  // namespace ktfolio
