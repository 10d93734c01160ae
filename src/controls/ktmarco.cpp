// KtMarco: painting into a memory bitmap copied to the window in one step.
#include "controls/ktmarco.h"

#include <algorithm>

#include "controls/controls_impl.h"
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

// The persisted properties in bag order; defaults, writing and reading all
// walk this one list.
const controls::PropertyTable<KtMarco>& KtMarco::Properties() {
  using controls::Field;
  using M = KtMarco;
  static const controls::PropertyTable<KtMarco> table = {
      Field("BackColor", &M::backColor_, 0x8000000F),
      Field("BackLightColor", &M::backLightColor_, 0x80000014),
      Field("BackShadowColor", &M::backShadowColor_, 0x80000010),
      Field("BevelOuter", &M::bevelOuter_, ppBevelRaised),
      Field("BevelInner", &M::bevelInner_, ppBevelNone),
      Field("BevelWidth", &M::bevelWidth_, 2),
      Field("BorderWidth", &M::borderWidth_, 1),
      {"Caption", [](const M& m) { return Variant(m.defaultCaption_); },
       [](const M& m) { return Variant(m.Caption()); }, [](M& m, const Variant& v) { m.Caption(v.ToString()); }},
      Field("CaptionPos", &M::captionPos_, 4),
      {"Enabled", [](const M&) { return Variant(true); }, [](const M& m) { return Variant(m.Enabled()); },
       [](M& m, const Variant& v) { m.Enabled(v.ToBool()); }},
      Field("Flood", &M::flood_, ppFloodNone),
      Field("FloodColor", &M::floodColor_, 0x8000000D),
      // A stored percentage is clamped like a set one, without the event.
      {"FloodPercent", [](const M&) { return Variant(std::int16_t{0}); },
       [](const M& m) { return Variant(m.floodPercent_); },
       [](M& m, const Variant& v) { m.floodPercent_ = std::clamp<std::int16_t>(v.ToInteger(), 0, 100); }},
      Field("FloodShowPct", &M::floodShowPct_, false),
      Field("FontSlip", &M::fontSlip_, std::int16_t{1}),
      Field("FontStyle", &M::fontStyle_, 0),
      Field("ForeColor", &M::foreColor_, &M::ambientForeColor_),
      Field("Frame", &M::frame_, ppFrameNone),
      Field("FrameAlign", &M::frameAlign_, 0),
      Field("FrameColor", &M::frameColor_, 0x8000000D),
      Field("FrameTitle", &M::frameTitle_, std::string()),
      Field("FrameWidth", &M::frameWidth_, 2),
      Field("MarginWidth", &M::marginWidth_, 2),
      Field("Mosaic", &M::mosaic_, ppMosaicNone),
      Field("MosaicBorder", &M::mosaicBorder_, std::int16_t{0}),
      Field("MousePointer", &M::mousePointer_, std::int16_t{0}),
      Field("WordWrap", &M::wordWrap_, true),
  };
  return table;
}

std::vector<KtMarco::Persisted> KtMarco::PersistedDefaults() const {
  return controls::ListProperties<Persisted>(*this, Properties(), true);
}

std::vector<KtMarco::Persisted> KtMarco::PersistedValues() const {
  return controls::ListProperties<Persisted>(*this, Properties(), false);
}

void KtMarco::ReadProperties(const PropertyBag& bag) {
  font_ = bag.ReadFont("Font", ambientFont_->Clone());
  frameFont_ = bag.ReadFont("FrameFont", ambientFont_->Clone());
  mosaicPicture_ = controls::ReadPicture(bag, "MosaicPicture");
  controls::ReadTable(*this, Properties(), [&bag](const std::string& name, const Variant& d) {
    return bag.ReadProperty(name, d);
  });
  Refresh();
}

void KtMarco::WriteProperties(PropertyBag& bag) const {
  controls::WriteTable(*this, Properties(), bag);
  bag.WriteFont("Font", *font_, ambientFont_.get());
  bag.WriteFont("FrameFont", *frameFont_, ambientFont_.get());
  controls::WritePicture(bag, "MosaicPicture", mosaicPicture_);
}

void KtMarco::HideChildren() { ForEachChild(hwnd_, SW_HIDE); }
void KtMarco::ShowChildren() { ForEachChild(hwnd_, SW_SHOW); }

void KtMarco::Refresh() {
  controls::PaintNow(hwnd_, [this](HDC dc) { Paint(dc); });
}

// The etched frame line, with the title set into its top or bottom edge.
void KtMarco::PaintFrame(HDC dc, RECT& box) {
  RECT line = box;
  DrawEdge(dc, &line, EDGE_ETCHED, BF_RECT);
  DeflateRect(box, 2);
  if (frameTitle_.empty()) return;
  const OwnedFont font(controls::CreateScreenFont(*frameFont_));
  const SavedDCState saved(dc);
  const SelectedObject selected(dc, font);
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
  const std::uint32_t back = OleTranslateColor(backColor_);
  controls::OutlinedRect(dc, RECT{left, top, right, top + textH}, 1, back, back);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, OleTranslateColor(frameColor_));
  RECT title{left + frameWidth_, top, right - frameWidth_, top + textH};
  DrawText(dc, frameTitle_.c_str(), -1, &title, DT_NOPREFIX | DT_NOCLIP);
}

// Tiles the picture; the OnOff and OffOn modes leave every other tile empty,
// like a chequer board starting with a tile or with a gap.
void KtMarco::PaintMosaic(HDC dc, const RECT& box) {
  const int l = box.left, t = box.top, r = box.right, b = box.bottom;
  BITMAP bm;
  if (!GetObject(mosaicPicture_->Handle(), sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  const SavedDCState saved(dc);
  IntersectClipRect(dc, l, t, r, b);
  const OwnedDC tile = MemoryDC(dc);
  const SelectedObject selected(tile, mosaicPicture_->Handle());
  const int stepX = bm.bmWidth + mosaicBorder_, stepY = bm.bmHeight + mosaicBorder_;
  for (int y = t, row = 0; y < b; y += stepY, ++row)
    for (int x = l, col = 0; x < r; x += stepX, ++col) {
      const bool on = (row + col) % 2 == 0;
      if ((mosaic_ == ppMosaicOnOff && !on) || (mosaic_ == ppMosaicOffOn && on)) continue;
      BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, tile, 0, 0, SRCCOPY);
    }
}

// The text over the whole area, the filled part, then the text again in the
// background colour clipped to the fill, so it shows inverted there.
void KtMarco::PaintFlood(HDC dc, const RECT& all, HFONT font) {
  const std::string text = floodShowPct_ ? std::to_string(floodPercent_) + "%" : Caption();
  const int l = all.left, t = all.top, r = all.right, b = all.bottom;
  CaptionStyle style{.font = font, .textColor = foreColor_, .darkColor = backShadowColor_,
                     .lightColor = backLightColor_, .wordWrap = wordWrap_, .position = captionPos_};
  DrawCaptionText(dc, text, all, style);
  if (floodPercent_ == 0) return;
  const int pct = floodPercent_, R = r + 1, B = b + 1;
  RECT fill{l, t, R, B};
  switch (flood_) {
    case ppFloodToRight: fill.right = l + (R - l) * pct / 100; break;
    case ppFloodToLeft: fill.left = R - (R - l) * pct / 100; break;
    case ppFloodToTop: fill.top = B - (B - t) * pct / 100; break;
    default: fill.bottom = t + (B - t) * pct / 100; break;
  }
  const RECT filled{fill.left, fill.top, fill.right + 1, fill.bottom + 1};
  controls::OutlinedRect(dc, filled, 0, 0, OleTranslateColor(floodColor_));
  const SavedDCState saved(dc);
  IntersectClipRect(dc, fill.left, fill.top, fill.right - 1, fill.bottom - 1);
  style.textColor = backColor_;
  DrawCaptionText(dc, text, all, style);
}

void KtMarco::Paint(HDC target) {
  controls::PaintBuffered(hwnd_, target, [this](HDC dc, int w, int h) { Draw(dc, w, h); });
}

void KtMarco::Draw(HDC dc, int w, int h) {
  const std::uint32_t back = OleTranslateColor(backColor_);
  const std::uint32_t light = OleTranslateColor(backLightColor_), dark = OleTranslateColor(backShadowColor_);
  const int bw = borderWidth_;
  if (bw < 1)
    controls::OutlinedRect(dc, RECT{0, 0, w, h}, 1, back, back);
  else
    controls::OutlinedRect(dc, RECT{bw / 2, bw / 2, w - (bw - 1) / 2, h - (bw - 1) / 2}, bw, 0, back);
  RECT box{0, 0, w, h};
  if (bw > 0) DeflateRect(box, bw);
  if (frame_ != ppFrameNone) PaintFrame(dc, box);
  auto bevel = [&](std::int32_t kind) {
    if (kind == ppBevelRaised) DrawBevel(dc, box, light, dark, bevelWidth_);
    if (kind == ppBevelInset) DrawBevel(dc, box, dark, light, bevelWidth_);
  };
  bevel(bevelOuter_);
  if (bevelInner_ != ppBevelNone) {
    DeflateRect(box, frameWidth_);
    bevel(bevelInner_);
  }
  if (mosaic_ != ppMosaicNone && mosaicPicture_ && mosaicPicture_->Handle()) PaintMosaic(dc, box);
  DeflateRect(box, marginWidth_);
  if (box.right > box.left && box.bottom > box.top) {
    const OwnedFont font(controls::CreateScreenFont(*font_));
    if (flood_ != ppFloodNone)
      PaintFlood(dc, box, font);
    else
      DrawCaptionText(dc, Caption(), box,
                      {.relief = fontStyle_, .font = font, .textColor = foreColor_, .darkColor = backShadowColor_,
                       .lightColor = backLightColor_, .offset = fontSlip_, .wordWrap = wordWrap_,
                       .position = captionPos_});
  }
}

LRESULT KtMarco::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT common = 0;
  if (controls::HandleCommon(hwnd_, msg, wParam, lParam, [this](HDC dc) { Paint(dc); }, common)) return common;
  switch (msg) {
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
  return controls::Route(hwnd, msg, wParam, lParam, &KtMarco::Handle);
}

}  // namespace ktfolio
