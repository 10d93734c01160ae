// KtBoton: state, mouse and keys, and painting into a memory bitmap that is
// copied to the window in one step.
#include "controls/ktboton.h"

#include "controls/controls_impl.h"
#include "render/render.h"
#include "winsupport/drawing.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr const char* kClassName = "KtBoton";
constexpr DWORD kHoverTime = 1000;
constexpr std::int16_t kLeftButton = 1;

float XOf(LPARAM l) { return static_cast<float>(static_cast<std::int16_t>(LOWORD(l))); }
float YOf(LPARAM l) { return static_cast<float>(static_cast<std::int16_t>(HIWORD(l))); }

}  // namespace

KtBoton::KtBoton(HWND parent, const std::string& name, const Container& site)
    : foreColor_(site.AmbientForeColor()),
      foreFocusedColor_(site.AmbientForeColor()),
      defaultCaption_(name),
      ambientForeColor_(site.AmbientForeColor()) {
  FontPtr ambient = site.AmbientFont();
  ambientFont_ = ambient ? ambient->Clone() : MakeFont("Arial", 8);
  font_ = ambientFont_->Clone();
  controls::RegisterControlClass(kClassName, &KtBoton::WndProc, CS_DBLCLKS);
  hwnd_ = CreateWindowEx(0, kClassName, name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, parent,
                         nullptr, nullptr, nullptr);
  if (!hwnd_) return;
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  MSubclass::AttachMessage(this, hwnd_, WM_MOUSELEAVE);
}

KtBoton::~KtBoton() {
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  MSubclass::DetachMessage(this, hwnd_, WM_MOUSELEAVE);
  SetWindowLongPtr(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

// ---- properties -----------------------------------------------------------------------

std::string KtBoton::Caption() const { return user::WindowText(hwnd_); }

void KtBoton::Caption(const std::string& v) { SetWindowText(hwnd_, v.c_str()); }

bool KtBoton::Enabled() const { return IsWindowEnabled(hwnd_); }

void KtBoton::Enabled(bool v) { EnableWindow(hwnd_, v); }

void KtBoton::Font(FontPtr v) {
  font_ = v ? std::move(v) : MakeFont("Arial", 8);
  Refresh();
}

void KtBoton::PictureObject(std::shared_ptr<Picture> v) {
  picture_ = std::move(v);
  Refresh();
}

void KtBoton::HotPicture(std::shared_ptr<Picture> v) {
  hotPicture_ = std::move(v);
  Refresh();
}

void KtBoton::Value(std::int32_t v) {
  const bool changed = (v != 0) != (value_ != 0);
  value_ = v;
  if (changed) Refresh();
}

std::vector<KtBoton::Persisted> KtBoton::PersistedDefaults() const {
  auto color = [](std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); };
  return {
      {"BackColor", color(0x8000000F)},      {"BackPressedColor", color(0x8000000F)},
      {"BackLightColor", color(0x80000014)}, {"BackShadowColor", color(0x80000010)},
      {"BevelWidth", Variant(std::int32_t{2})}, {"BorderWidth", Variant(std::int32_t{1})},
      {"BorderFocusedWidth", Variant(std::int32_t{2})}, {"Caption", Variant(defaultCaption_)},
      {"CaptionPos", Variant(std::int32_t{4})}, {"ClickFocused", Variant(true)},
      {"Enabled", Variant(true)},            {"ForeColor", color(ambientForeColor_)},
      {"ForeFocusedColor", color(ambientForeColor_)}, {"IconName", Variant(std::string())},
      {"MarginWidth", Variant(std::int32_t{2})}, {"MousePointer", Variant(std::int16_t{0})},
      {"PictureWidth", Variant(std::int32_t{0})}, {"PictureHeight", Variant(std::int32_t{0})},
      {"PicturePos", Variant(std::int32_t{3})}, {"ShadeMode", Variant(std::int32_t{0})},
      {"ShowFocusRect", Variant(false)},     {"Style", Variant(std::int32_t{0})},
      {"Value", Variant(std::int32_t{0})},
  };
}

std::vector<KtBoton::Persisted> KtBoton::PersistedValues() const {
  auto color = [](std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); };
  return {
      {"BackColor", color(backColor_)},       {"BackPressedColor", color(backPressedColor_)},
      {"BackLightColor", color(backLightColor_)}, {"BackShadowColor", color(backShadowColor_)},
      {"BevelWidth", Variant(bevelWidth_)},   {"BorderWidth", Variant(borderWidth_)},
      {"BorderFocusedWidth", Variant(borderFocusedWidth_)}, {"Caption", Variant(Caption())},
      {"CaptionPos", Variant(captionPos_)},   {"ClickFocused", Variant(clickFocused_)},
      {"Enabled", Variant(Enabled())},        {"ForeColor", color(foreColor_)},
      {"ForeFocusedColor", color(foreFocusedColor_)}, {"IconName", Variant(iconName_)},
      {"MarginWidth", Variant(marginWidth_)}, {"MousePointer", Variant(mousePointer_)},
      {"PictureWidth", Variant(pictureWidth_)}, {"PictureHeight", Variant(pictureHeight_)},
      {"PicturePos", Variant(picturePos_)},   {"ShadeMode", Variant(shadeMode_)},
      {"ShowFocusRect", Variant(showFocusRect_)}, {"Style", Variant(style_)},
      {"Value", Variant(value_)},
  };
}

void KtBoton::ReadProperties(const std::function<Variant(const std::string&, const Variant&)>& read) {
  for (const Persisted& p : PersistedDefaults()) {
    const Variant v = read(p.name, p.value);
    const std::string& n = p.name;
    auto color = [&v] { return static_cast<std::uint32_t>(v.ToLong()); };
    if (n == "BackColor") backColor_ = color();
    else if (n == "BackPressedColor") backPressedColor_ = color();
    else if (n == "BackLightColor") backLightColor_ = color();
    else if (n == "BackShadowColor") backShadowColor_ = color();
    else if (n == "BevelWidth") bevelWidth_ = v.ToLong();
    else if (n == "BorderWidth") borderWidth_ = v.ToLong();
    else if (n == "BorderFocusedWidth") borderFocusedWidth_ = v.ToLong();
    else if (n == "Caption") Caption(v.ToString());
    else if (n == "CaptionPos") captionPos_ = v.ToLong();
    else if (n == "ClickFocused") clickFocused_ = v.ToBool();
    else if (n == "Enabled") Enabled(v.ToBool());
    else if (n == "ForeColor") foreColor_ = color();
    else if (n == "ForeFocusedColor") foreFocusedColor_ = color();
    else if (n == "IconName") iconName_ = v.ToString();
    else if (n == "MarginWidth") marginWidth_ = v.ToLong();
    else if (n == "MousePointer") mousePointer_ = v.ToInteger();
    else if (n == "PictureWidth") pictureWidth_ = v.ToLong();
    else if (n == "PictureHeight") pictureHeight_ = v.ToLong();
    else if (n == "PicturePos") picturePos_ = v.ToLong();
    else if (n == "ShadeMode") shadeMode_ = v.ToLong();
    else if (n == "ShowFocusRect") showFocusRect_ = v.ToBool();
    else if (n == "Style") style_ = v.ToLong();
    else if (n == "Value") value_ = v.ToLong();
  }
  Refresh();
}

void KtBoton::ReadProperties(const PropertyBag& bag) {
  font_ = bag.ReadFont("Font", ambientFont_->Clone());
  picture_ = controls::ReadPicture(bag, "Picture");
  hotPicture_ = controls::ReadPicture(bag, "HotPicture");
  ReadProperties([&bag](const std::string& name, const Variant& d) { return bag.ReadProperty(name, d); });
}

void KtBoton::WriteProperties(PropertyBag& bag) const {
  controls::WritePersisted(bag, PersistedValues(), PersistedDefaults());
  bag.WriteFont("Font", *font_, ambientFont_.get());
  controls::WritePicture(bag, "Picture", picture_);
  controls::WritePicture(bag, "HotPicture", hotPicture_);
}

// ---- clicks -----------------------------------------------------------------------------

void KtBoton::FireClick(bool byUser) {
  if (byUser && clickFocused_ && GetFocus() != hwnd_) SetFocus(hwnd_);
  if (style_ == ppToggleButton && byUser) {
    value_ = value_ ? 0 : -1;
    Refresh();
  }
  if (Click) Click();
}

void KtBoton::DoClick() {
  if (!Enabled() || !IsWindowVisible(hwnd_)) return;
  if (GetFocus() != hwnd_ && clickFocused_) {
    clickPending_ = true;
    SetFocus(hwnd_);
    return;
  }
  FireClick(false);
}

// The user pressed Alt and the caption's underlined letter. Under the
// pointer the click is immediate; otherwise it waits for the focus, which
// the access key brings along.
void KtBoton::OnAccessKey() {
  if (hot_ || GetFocus() == hwnd_) {
    FireClick(true);
    return;
  }
  clickPending_ = true;
  SetFocus(hwnd_);
}

// ---- mouse --------------------------------------------------------------------------------

LRESULT KtBoton::WindowProc(HWND, UINT iMsg, WPARAM, LPARAM) {
  if (iMsg == WM_MOUSELEAVE) OnMouseLeave();
  return 0;
}

void KtBoton::OnMouseLeave() {
  hot_ = false;
  if (style_ == ppFlatButton) bevelWidth_ = 0;
  Refresh();
}

void KtBoton::OnButtonDown(WPARAM keys, LPARAM lParam) {
  const bool left = (keys & MK_LBUTTON) != 0;
  if (left) {
    mouseCaptured_ = true;
    SetCapture(hwnd_);
    if (hot_) {
      mousePressed_ = true;
      Refresh();
    }
  }
  if (MouseDown) MouseDown(left ? kLeftButton : 2, ShiftState(), XOf(lParam), YOf(lParam));
}

void KtBoton::OnMouseMove(WPARAM keys, LPARAM lParam) {
  if (!hot_) {
    hot_ = true;
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = hwnd_;
    tme.dwHoverTime = kHoverTime;
    TrackMouseEvent(&tme);
    if (style_ == ppFlatButton) bevelWidth_ = 1;
    Refresh();
  }
  if ((keys & MK_LBUTTON) && mouseCaptured_) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const POINT p{static_cast<LONG>(XOf(lParam)), static_cast<LONG>(YOf(lParam))};
    const bool inside = p.x >= rc.left && p.y >= rc.top && p.x < rc.right && p.y < rc.bottom;
    if (inside != mousePressed_) {
      mousePressed_ = inside;
      Refresh();
    }
  }
  if (MouseMove) MouseMove((keys & MK_LBUTTON) ? kLeftButton : 0, ShiftState(), XOf(lParam), YOf(lParam));
}

void KtBoton::OnButtonUp(WPARAM, LPARAM lParam) {
  mouseCaptured_ = false;
  if (GetCapture() == hwnd_) ReleaseCapture();
  if (mousePressed_) {
    mousePressed_ = false;
    FireClick(true);
    if (style_ != ppToggleButton) Refresh();
  }
  if (MouseUp) MouseUp(kLeftButton, ShiftState(), XOf(lParam), YOf(lParam));
}

// ---- keys -------------------------------------------------------------------------------------

// Tab and Shift+Tab walk the focusable siblings, wrapping round.
void KtBoton::MoveFocus(bool forward) {
  const UINT step = forward ? GW_HWNDNEXT : GW_HWNDPREV;
  HWND parent = GetParent(hwnd_);
  auto focusable = [](HWND h) {
    return IsWindowVisible(h) && IsWindowEnabled(h) && (GetWindowLongPtr(h, GWL_STYLE) & WS_TABSTOP);
  };
  HWND h = GetWindow(hwnd_, step);
  for (int guard = 0; guard < 2; ++guard) {
    for (; h; h = GetWindow(h, step))
      if (focusable(h)) {
        SetFocus(h);
        return;
      }
    h = GetWindow(parent, GW_CHILD);
    if (!forward) {
      while (h && GetWindow(h, GW_HWNDNEXT)) h = GetWindow(h, GW_HWNDNEXT);
    }
  }
}

bool KtBoton::OnKeyDown(int vk) {
  std::int16_t code = static_cast<std::int16_t>(vk);
  if (KeyDown) KeyDown(code, ShiftState());
  switch (code) {
    case VK_RIGHT:
    case VK_DOWN: SendTab(); return true;
    case VK_LEFT:
    case VK_UP: SendShiftTab(); return true;
    case VK_TAB: MoveFocus((ShiftState() & 1) == 0); return true;
    case VK_RETURN:
    case VK_SPACE:
      keyPressed_ = true;
      Refresh();
      return true;
    default: return false;
  }
}

void KtBoton::OnKeyUp(int vk) {
  std::int16_t code = static_cast<std::int16_t>(vk);
  if ((code == VK_RETURN || code == VK_SPACE) && keyPressed_) {
    keyPressed_ = false;
    FireClick(true);
    Refresh();
  }
  if (KeyUp) KeyUp(code, ShiftState());
}

// ---- painting ---------------------------------------------------------------------------------

void KtBoton::Refresh() {
  if (!hwnd_ || !IsWindow(hwnd_)) return;
  HDC dc = GetDC(hwnd_);
  if (!dc) return;
  Paint(dc);
  ReleaseDC(hwnd_, dc);
}

// Border, bevel and face; leaves (l, t, r, b) around the content.
void KtBoton::PaintFace(HDC dc, int& l, int& t, int& r, int& b, bool hot, bool down) {
  const std::uint32_t light = OleToRgb(backLightColor_), dark = OleToRgb(backShadowColor_);
  const std::uint32_t face = OleToRgb(Pressed() ? backPressedColor_ : backColor_);
  const int bw = hot ? borderFocusedWidth_ : borderWidth_;
  controls::OutlinedRect(dc, 0 + bw / 2, 0 + bw / 2, r - (bw - 1) / 2, b - (bw - 1) / 2, bw, 0, down ? dark : light);
  if (bw > 0) DeflateRect(l, t, r, b, bw);
  if (!down && bevelWidth_ > 0)
    DrawBevel(dc, l, t, r, b, Pressed() ? dark : light, Pressed() ? light : dark, bevelWidth_);
  if (down) l += bevelWidth_, t += bevelWidth_;
  controls::OutlinedRect(dc, l, t, r, b, 1, face, face);
  if (down) l += bevelWidth_, t += bevelWidth_;
  if (!down && hot && showFocusRect_) {
    RECT focus{l + 1, t + 1, r - 1, b - 1};
    DrawFocusRect(dc, &focus);
  }
}

void KtBoton::PaintContent(HDC dc, int l, int t, int r, int b, bool hot) {
  DeflateRect(l, t, r, b, marginWidth_);
  const std::shared_ptr<Picture>& pic = hot && hotPicture_ ? hotPicture_ : picture_;
  const bool enabled = Enabled();
  if (pic && pic->Handle()) {
    BITMAP bm;
    GetObject(pic->Handle(), sizeof bm, &bm);
    DrawPicture(dc, PictureRef{pic->Handle(), nullptr}, bm.bmWidth, bm.bmHeight, pictureWidth_, pictureHeight_,
                enabled, picturePos_, l, t, r, b, shadeMode_, Pressed() ? backPressedColor_ : backColor_,
                backShadowColor_, backLightColor_, marginWidth_);
  }
  const std::string caption = Caption();
  if (caption.empty()) return;
  HFONT font = controls::CreateScreenFont(*font_);
  const RECT box{l, t, r, b};
  // A disabled caption is cut into the face: shadow colour over a light copy.
  if (enabled)
    DrawCaptionText(dc, caption, 0, font, hot ? foreFocusedColor_ : foreColor_, backShadowColor_, backLightColor_,
                    box, 1, false, captionPos_, true, true);
  else
    DrawCaptionText(dc, caption, 3, font, backShadowColor_, backShadowColor_, backLightColor_, box, 1, false,
                    captionPos_, true, true);
  DeleteObject(font);
}

void KtBoton::Paint(HDC target) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int w = rc.right, h = rc.bottom;
  if (w <= 0 || h <= 0) return;
  const bool hot = hot_;
  const bool leftHeld = GetAsyncKeyState(VK_LBUTTON) < 0;
  const bool down = ((leftHeld && mousePressed_) || keyPressed_) && hot;
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bmp = CreateCompatibleBitmap(target, w, h);
  HGDIOBJ old = SelectObject(dc, bmp);
  int l = 0, t = 0, r = w, b = h;
  PaintFace(dc, l, t, r, b, hot, down);
  PaintContent(dc, l, t, r, b, hot);
  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

// ---- messages -------------------------------------------------------------------------------

LRESULT KtBoton::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A disabled button takes no mouse or key input.
  const bool input = (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) || (msg >= WM_KEYDOWN && msg <= WM_CHAR);
  if (input && !Enabled()) return 0;
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
    case WM_SIZE: Refresh(); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: OnButtonDown(wParam, lParam); return 0;
    case WM_LBUTTONDBLCLK:  // a quick second click still counts as a click
      return SendMessage(hwnd_, WM_LBUTTONDOWN, wParam, lParam);
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONUP: OnButtonUp(wParam, lParam); return 0;
    case WM_KEYDOWN:
      if (OnKeyDown(static_cast<int>(wParam))) return 0;
      break;
    case WM_KEYUP: OnKeyUp(static_cast<int>(wParam)); return 0;
    case WM_CHAR: {
      std::int16_t ascii = static_cast<std::int16_t>(wParam);
      if (KeyPress) KeyPress(ascii);
      return 0;
    }
    case WM_KILLFOCUS:
      keyPressed_ = false;
      Refresh();
      return 0;
    case WM_KT_ACCESSKEY: OnAccessKey(); return 1;
    case WM_SETFOCUS:
      if (clickPending_) {
        clickPending_ = false;
        FireClick(true);
      }
      return 0;
    default: break;
  }
  return DefWindowProc(hwnd_, msg, wParam, lParam);
}

LRESULT KtBoton::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<KtBoton*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProc(hwnd, msg, wParam, lParam);
  return self->Handle(msg, wParam, lParam);
}

}  // namespace ktfolio
