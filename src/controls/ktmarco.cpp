// KtMarco: painting into a memory bitmap copied to the window in one step.
#include "controls/ktmarco.h"

#include <algorithm>

#include "controls/controls_impl.h"
#include "render/render.h"
#include "winsupport/drawing.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr const char* kClassName = "KtMarco";

void ForEachChild(HWND parent, int cmd) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ShowWindow(c, cmd);
}

}  // namespace

KtMarco::KtMarco(HWND parent, const std::string& name, const Container& site)
    : foreColor_(site.AmbientForeColor()), defaultCaption_(name), ambientForeColor_(site.AmbientForeColor()) {
  FontPtr ambient = site.AmbientFont();
  ambientFont_ = ambient ? ambient->Clone() : MakeFont("Arial", 8);
  font_ = ambientFont_->Clone();
  frameFont_ = ambientFont_->Clone();
  controls::RegisterControlClass(kClassName, &KtMarco::WndProc, CS_DBLCLKS);
  hwnd_ = CreateWindowEx(0, kClassName, name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                         nullptr, nullptr, nullptr);
  if (hwnd_) SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

KtMarco::~KtMarco() {
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

std::string KtMarco::Caption() const { return user::WindowText(hwnd_); }

void KtMarco::Caption(const std::string& v) { SetWindowText(hwnd_, v.c_str()); }
bool KtMarco::Enabled() const { return IsWindowEnabled(hwnd_); }
void KtMarco::Enabled(bool v) { EnableWindow(hwnd_, v); }

void KtMarco::FloodPercent(std::int16_t v) {
  v = std::clamp<std::int16_t>(v, 0, 100);
  if (v == floodPercent_) return;
  floodPercent_ = v;
  if (flood_ == ppFloodNone) return;
  if (FloodChange) FloodChange();
  Refresh();
}

std::vector<KtMarco::Persisted> KtMarco::PersistedDefaults() const {
  auto color = [](std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); };
  auto i32 = [](std::int32_t v) { return Variant(v); };
  auto i16 = [](std::int16_t v) { return Variant(v); };
  return {
      {"BackColor", color(0x8000000F)},   {"BackLightColor", color(0x80000014)},
      {"BackShadowColor", color(0x80000010)}, {"BevelOuter", i32(ppBevelRaised)},
      {"BevelInner", i32(ppBevelNone)},   {"BevelWidth", i32(2)},
      {"BorderWidth", i32(1)},            {"Caption", Variant(defaultCaption_)},
      {"CaptionPos", i32(4)},             {"Enabled", Variant(true)},
      {"Flood", i32(ppFloodNone)},        {"FloodColor", color(0x8000000D)},
      {"FloodPercent", i16(0)},           {"FloodShowPct", Variant(false)},
      {"FontSlip", i16(1)},               {"FontStyle", i32(0)},
      {"ForeColor", color(ambientForeColor_)}, {"Frame", i32(ppFrameNone)},
      {"FrameAlign", i32(0)},             {"FrameColor", color(0x8000000D)},
      {"FrameTitle", Variant(std::string())}, {"FrameWidth", i32(2)},
      {"MarginWidth", i32(2)},            {"Mosaic", i32(ppMosaicNone)},
      {"MosaicBorder", i16(0)},           {"MousePointer", i16(0)},
      {"WordWrap", Variant(true)},
  };
}

std::vector<KtMarco::Persisted> KtMarco::PersistedValues() const {
  auto color = [](std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); };
  return {
      {"BackColor", color(backColor_)},   {"BackLightColor", color(backLightColor_)},
      {"BackShadowColor", color(backShadowColor_)}, {"BevelOuter", Variant(bevelOuter_)},
      {"BevelInner", Variant(bevelInner_)}, {"BevelWidth", Variant(bevelWidth_)},
      {"BorderWidth", Variant(borderWidth_)}, {"Caption", Variant(Caption())},
      {"CaptionPos", Variant(captionPos_)}, {"Enabled", Variant(Enabled())},
      {"Flood", Variant(flood_)},         {"FloodColor", color(floodColor_)},
      {"FloodPercent", Variant(floodPercent_)}, {"FloodShowPct", Variant(floodShowPct_)},
      {"FontSlip", Variant(fontSlip_)},   {"FontStyle", Variant(fontStyle_)},
      {"ForeColor", color(foreColor_)},   {"Frame", Variant(frame_)},
      {"FrameAlign", Variant(frameAlign_)}, {"FrameColor", color(frameColor_)},
      {"FrameTitle", Variant(frameTitle_)}, {"FrameWidth", Variant(frameWidth_)},
      {"MarginWidth", Variant(marginWidth_)}, {"Mosaic", Variant(mosaic_)},
      {"MosaicBorder", Variant(mosaicBorder_)}, {"MousePointer", Variant(mousePointer_)},
      {"WordWrap", Variant(wordWrap_)},
  };
}

void KtMarco::ReadProperties(const PropertyBag& bag) {
  font_ = bag.ReadFont("Font", ambientFont_->Clone());
  frameFont_ = bag.ReadFont("FrameFont", ambientFont_->Clone());
  mosaicPicture_ = controls::ReadPicture(bag, "MosaicPicture");
  for (const Persisted& p : PersistedDefaults()) {
    const Variant v = bag.ReadProperty(p.name, p.value);
    const std::string& n = p.name;
    auto color = [&v] { return static_cast<std::uint32_t>(v.ToLong()); };
    if (n == "BackColor") backColor_ = color();
    else if (n == "BackLightColor") backLightColor_ = color();
    else if (n == "BackShadowColor") backShadowColor_ = color();
    else if (n == "BevelOuter") bevelOuter_ = v.ToLong();
    else if (n == "BevelInner") bevelInner_ = v.ToLong();
    else if (n == "BevelWidth") bevelWidth_ = v.ToLong();
    else if (n == "BorderWidth") borderWidth_ = v.ToLong();
    else if (n == "Caption") Caption(v.ToString());
    else if (n == "CaptionPos") captionPos_ = v.ToLong();
    else if (n == "Enabled") Enabled(v.ToBool());
    else if (n == "Flood") flood_ = v.ToLong();
    else if (n == "FloodColor") floodColor_ = color();
    else if (n == "FloodPercent") floodPercent_ = std::clamp<std::int16_t>(v.ToInteger(), 0, 100);
    else if (n == "FloodShowPct") floodShowPct_ = v.ToBool();
    else if (n == "FontSlip") fontSlip_ = v.ToInteger();
    else if (n == "FontStyle") fontStyle_ = v.ToLong();
    else if (n == "ForeColor") foreColor_ = color();
    else if (n == "Frame") frame_ = v.ToLong();
    else if (n == "FrameAlign") frameAlign_ = v.ToLong();
    else if (n == "FrameColor") frameColor_ = color();
    else if (n == "FrameTitle") frameTitle_ = v.ToString();
    else if (n == "FrameWidth") frameWidth_ = v.ToLong();
    else if (n == "MarginWidth") marginWidth_ = v.ToLong();
    else if (n == "Mosaic") mosaic_ = v.ToLong();
    else if (n == "MosaicBorder") mosaicBorder_ = v.ToInteger();
    else if (n == "MousePointer") mousePointer_ = v.ToInteger();
    else if (n == "WordWrap") wordWrap_ = v.ToBool();
  }
  Refresh();
}

void KtMarco::WriteProperties(PropertyBag& bag) const {
  controls::WritePersisted(bag, PersistedValues(), PersistedDefaults());
  bag.WriteFont("Font", *font_, ambientFont_.get());
  bag.WriteFont("FrameFont", *frameFont_, ambientFont_.get());
  controls::WritePicture(bag, "MosaicPicture", mosaicPicture_);
}

void KtMarco::HideChildren() { ForEachChild(hwnd_, SW_HIDE); }
void KtMarco::ShowChildren() { ForEachChild(hwnd_, SW_SHOW); }

void KtMarco::Refresh() {
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  HDC dc = GetDC(hwnd_);
  if (!dc) return;
  Paint(dc);
  ReleaseDC(hwnd_, dc);
}

// The etched frame line, with the title set into its top or bottom edge.
void KtMarco::PaintFrame(HDC dc, int& l, int& t, int& r, int& b) {
  RECT line{l, t, r, b};
  DrawEdge(dc, &line, EDGE_ETCHED, BF_RECT);
  DeflateRect(l, t, r, b, 2);
  if (frameTitle_.empty()) return;
  HFONT font = controls::CreateScreenFont(*frameFont_);
  const int saved = SaveDC(dc);
  SelectObject(dc, font);
  RECT measured{0, 0, 0, 0};
  DrawText(dc, frameTitle_.c_str(), -1, &measured, DT_CALCRECT | DT_NOPREFIX);
  const int textW = measured.right - measured.left, textH = measured.bottom - measured.top;
  const int limit = line.right - frameWidth_ - 2;
  int left = line.left + frameWidth_ + 2;
  int right = std::min(limit, left + textW + 2 * frameWidth_);
  if (frameAlign_ == 1) {
    left += limit - right;
    right = limit;
  } else if (frameAlign_ == 2) {
    const int shift = (limit - right) / 2;
    left += shift;
    right += shift;
  }
  const int top = frame_ == ppFrameTop ? line.top - textH / 2 + 1 : line.bottom - textH / 2 - 1;
  controls::OutlinedRect(dc, left, top, right, top + textH, 1, OleToRgb(backColor_), OleToRgb(backColor_));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, OleToRgb(frameColor_));
  RECT box{left + frameWidth_, top, right - frameWidth_, top + textH};
  DrawText(dc, frameTitle_.c_str(), -1, &box, DT_NOPREFIX | DT_NOCLIP);
  RestoreDC(dc, saved);
  DeleteObject(font);
}

// Tiles the picture; the OnOff and OffOn modes leave every other tile empty,
// like a chequer board starting with a tile or with a gap.
void KtMarco::PaintMosaic(HDC dc, int l, int t, int r, int b) {
  BITMAP bm;
  if (!GetObject(mosaicPicture_->Handle(), sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, l, t, r, b);
  HDC tile = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(tile, mosaicPicture_->Handle());
  const int stepX = bm.bmWidth + mosaicBorder_, stepY = bm.bmHeight + mosaicBorder_;
  for (int y = t, row = 0; y < b; y += stepY, ++row)
    for (int x = l, col = 0; x < r; x += stepX, ++col) {
      const bool on = (row + col) % 2 == 0;
      if ((mosaic_ == ppMosaicOnOff && !on) || (mosaic_ == ppMosaicOffOn && on)) continue;
      BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, tile, 0, 0, SRCCOPY);
    }
  SelectObject(tile, old);
  DeleteDC(tile);
  RestoreDC(dc, saved);
}

// The text over the whole area, the filled part, then the text again in the
// background colour clipped to the fill, so it shows inverted there.
void KtMarco::PaintFlood(HDC dc, int l, int t, int r, int b, HFONT font) {
  const std::string text = floodShowPct_ ? std::to_string(floodPercent_) + "%" : Caption();
  const RECT all{l, t, r, b};
  DrawCaptionText(dc, text, 0, font, foreColor_, backShadowColor_, backLightColor_, all, 0, wordWrap_, captionPos_,
                  true, true);
  if (floodPercent_ == 0) return;
  const int pct = floodPercent_, R = r + 1, B = b + 1;
  RECT fill{l, t, R, B};
  switch (flood_) {
    case ppFloodToRight: fill.right = l + (R - l) * pct / 100; break;
    case ppFloodToLeft: fill.left = R - (R - l) * pct / 100; break;
    case ppFloodToTop: fill.top = B - (B - t) * pct / 100; break;
    default: fill.bottom = t + (B - t) * pct / 100; break;
  }
  controls::OutlinedRect(dc, fill.left, fill.top, fill.right + 1, fill.bottom + 1, 0, 0, OleToRgb(floodColor_));
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, fill.left, fill.top, fill.right - 1, fill.bottom - 1);
  DrawCaptionText(dc, text, 0, font, backColor_, backShadowColor_, backLightColor_, all, 0, wordWrap_, captionPos_,
                  true, true);
  RestoreDC(dc, saved);
}

void KtMarco::Paint(HDC target) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int w = rc.right, h = rc.bottom;
  if (w <= 0 || h <= 0) return;
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bmp = CreateCompatibleBitmap(target, w, h);
  HGDIOBJ old = SelectObject(dc, bmp);
  const std::uint32_t back = OleToRgb(backColor_);
  const std::uint32_t light = OleToRgb(backLightColor_), dark = OleToRgb(backShadowColor_);
  const int bw = borderWidth_;
  if (bw < 1)
    controls::OutlinedRect(dc, 0, 0, w, h, 1, back, back);
  else
    controls::OutlinedRect(dc, bw / 2, bw / 2, w - (bw - 1) / 2, h - (bw - 1) / 2, bw, 0, back);
  int l = 0, t = 0, r = w, b = h;
  if (bw > 0) DeflateRect(l, t, r, b, bw);
  if (frame_ != ppFrameNone) PaintFrame(dc, l, t, r, b);
  auto bevel = [&](std::int32_t kind) {
    if (kind == ppBevelRaised) DrawBevel(dc, l, t, r, b, light, dark, bevelWidth_);
    if (kind == ppBevelInset) DrawBevel(dc, l, t, r, b, dark, light, bevelWidth_);
  };
  bevel(bevelOuter_);
  if (bevelInner_ != ppBevelNone) {
    DeflateRect(l, t, r, b, frameWidth_);
    bevel(bevelInner_);
  }
  if (mosaic_ != ppMosaicNone && mosaicPicture_ && mosaicPicture_->Handle()) PaintMosaic(dc, l, t, r, b);
  DeflateRect(l, t, r, b, marginWidth_);
  if (r > l && b > t) {
    HFONT font = controls::CreateScreenFont(*font_);
    if (flood_ != ppFloodNone)
      PaintFlood(dc, l, t, r, b, font);
    else
      DrawCaptionText(dc, Caption(), fontStyle_, font, foreColor_, backShadowColor_, backLightColor_,
                      RECT{l, t, r, b}, fontSlip_, wordWrap_, captionPos_, true, true);
    DeleteObject(font);
  }
  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

LRESULT KtMarco::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      if (dc) Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT r = DefWindowProc(hwnd_, msg, wParam, lParam);
      Refresh();
      return r;
    }
    case WM_SIZE:
      Refresh();
      if (Resize) Resize();
      return 0;
    case WM_LBUTTONUP:
      if (Click) Click();
      return 0;
    case WM_LBUTTONDBLCLK:
      if (DblClick) DblClick();
      return 0;
    default: return DefWindowProc(hwnd_, msg, wParam, lParam);
  }
}

LRESULT KtMarco::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<KtMarco*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProc(hwnd, msg, wParam, lParam);
  return self->Handle(msg, wParam, lParam);
}

}  // namespace ktfolio
