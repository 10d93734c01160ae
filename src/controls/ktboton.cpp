// KtBoton: state, mouse and keys, and painting into a memory bitmap that is
// copied to the window in one step.
#include "controls/ktboton.h"

#include "controls/controls_impl.h"
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

// The persisted properties in bag order; defaults, writing and reading all
// walk this one list.
const controls::PropertyTable<KtBoton>& KtBoton::Properties() {
  using controls::Field;
  using B = KtBoton;
  static const controls::PropertyTable<KtBoton> table = {
      Field("BackColor", &B::backColor_, 0x8000000F),
      Field("BackPressedColor", &B::backPressedColor_, 0x8000000F),
      Field("BackLightColor", &B::backLightColor_, 0x80000014),
      Field("BackShadowColor", &B::backShadowColor_, 0x80000010),
      Field("BevelWidth", &B::bevelWidth_, 2),
      Field("BorderWidth", &B::borderWidth_, 1),
      Field("BorderFocusedWidth", &B::borderFocusedWidth_, 2),
      {"Caption", [](const B& b) { return Variant(b.defaultCaption_); },
       [](const B& b) { return Variant(b.Caption()); }, [](B& b, const Variant& v) { b.Caption(v.ToString()); }},
      Field("CaptionPos", &B::captionPos_, 4),
      Field("ClickFocused", &B::clickFocused_, true),
      {"Enabled", [](const B&) { return Variant(true); }, [](const B& b) { return Variant(b.Enabled()); },
       [](B& b, const Variant& v) { b.Enabled(v.ToBool()); }},
      Field("ForeColor", &B::foreColor_, &B::ambientForeColor_),
      Field("ForeFocusedColor", &B::foreFocusedColor_, &B::ambientForeColor_),
      Field("IconName", &B::iconName_, std::string()),
      Field("MarginWidth", &B::marginWidth_, 2),
      Field("MousePointer", &B::mousePointer_, std::int16_t{0}),
      Field("PictureWidth", &B::pictureWidth_, 0),
      Field("PictureHeight", &B::pictureHeight_, 0),
      Field("PicturePos", &B::picturePos_, 3),
      Field("ShadeMode", &B::shadeMode_, ppSystemShade),
      Field("ShowFocusRect", &B::showFocusRect_, false),
      Field("Style", &B::style_, ppNormalButton),
      Field("Value", &B::value_, 0),
  };
  return table;
}

std::vector<KtBoton::Persisted> KtBoton::PersistedDefaults() const {
  return controls::ListProperties<Persisted>(*this, Properties(), true);
}

std::vector<KtBoton::Persisted> KtBoton::PersistedValues() const {
  return controls::ListProperties<Persisted>(*this, Properties(), false);
}

void KtBoton::ReadProperties(const std::function<Variant(const std::string&, const Variant&)>& read) {
  controls::ReadTable(*this, Properties(), read);
  Refresh();
}

void KtBoton::ReadProperties(const PropertyBag& bag) {
  font_ = bag.ReadFont("Font", ambientFont_->Clone());
  picture_ = controls::ReadPicture(bag, "Picture");
  hotPicture_ = controls::ReadPicture(bag, "HotPicture");
  ReadProperties([&bag](const std::string& name, const Variant& d) { return bag.ReadProperty(name, d); });
}

void KtBoton::WriteProperties(PropertyBag& bag) const {
  controls::WriteTable(*this, Properties(), bag);
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
  controls::PaintNow(hwnd_, [this](HDC dc) { Paint(dc); });
}

// Border, bevel and face; leaves `box` around the content.
void KtBoton::PaintFace(HDC dc, RECT& box, bool hot, bool down) {
  const std::uint32_t light = OleTranslateColor(backLightColor_), dark = OleTranslateColor(backShadowColor_);
  const std::uint32_t face = OleTranslateColor(Pressed() ? backPressedColor_ : backColor_);
  const int bw = hot ? borderFocusedWidth_ : borderWidth_;
  const RECT border{bw / 2, bw / 2, box.right - (bw - 1) / 2, box.bottom - (bw - 1) / 2};
  controls::OutlinedRect(dc, border, bw, 0, down ? dark : light);
  if (bw > 0) DeflateRect(box, bw);
  if (!down && bevelWidth_ > 0) DrawBevel(dc, box, Pressed() ? dark : light, Pressed() ? light : dark, bevelWidth_);
  if (down) box.left += bevelWidth_, box.top += bevelWidth_;
  controls::OutlinedRect(dc, box, 1, face, face);
  if (down) box.left += bevelWidth_, box.top += bevelWidth_;
  if (!down && hot && showFocusRect_) {
    RECT focus{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    DrawFocusRect(dc, &focus);
  }
}

void KtBoton::PaintContent(HDC dc, RECT box, bool hot) {
  DeflateRect(box, marginWidth_);
  const std::shared_ptr<Picture>& pic = hot && hotPicture_ ? hotPicture_ : picture_;
  const bool enabled = Enabled();
  if (pic && pic->Handle()) {
    BITMAP bm;
    GetObject(pic->Handle(), sizeof bm, &bm);
    const PictureStyle look{.picture = {pic->Handle(), nullptr},
                            .naturalW = bm.bmWidth,
                            .naturalH = bm.bmHeight,
                            .wantedW = pictureWidth_,
                            .wantedH = pictureHeight_,
                            .position = picturePos_,
                            .gap = marginWidth_,
                            .enabled = enabled,
                            .shadeMode = shadeMode_,
                            .face = Pressed() ? backPressedColor_ : backColor_,
                            .dark = backShadowColor_,
                            .light = backLightColor_};
    DrawPicture(dc, look, box);
  }
  const std::string caption = Caption();
  if (caption.empty()) return;
  const OwnedFont font(controls::CreateScreenFont(*font_));
  // A disabled caption is cut into the face: shadow colour over a light copy.
  CaptionStyle style{.font = font, .darkColor = backShadowColor_, .lightColor = backLightColor_, .offset = 1,
                     .position = captionPos_};
  style.relief = enabled ? 0 : 3;
  style.textColor = !enabled ? backShadowColor_ : hot ? foreFocusedColor_ : foreColor_;
  DrawCaptionText(dc, caption, box, style);
}

void KtBoton::Paint(HDC target) {
  const bool hot = hot_;
  const bool leftHeld = GetAsyncKeyState(VK_LBUTTON) < 0;
  const bool down = ((leftHeld && mousePressed_) || keyPressed_) && hot;
  controls::PaintBuffered(hwnd_, target, [&](HDC dc, int w, int h) {
    RECT box{0, 0, w, h};
    PaintFace(dc, box, hot, down);
    PaintContent(dc, box, hot);
  });
}

// ---- messages -------------------------------------------------------------------------------

LRESULT KtBoton::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A disabled button takes no mouse or key input.
  const bool input = (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) || (msg >= WM_KEYDOWN && msg <= WM_CHAR);
  if (input && !Enabled()) return 0;
  LRESULT common = 0;
  if (controls::HandleCommon(hwnd_, msg, wParam, lParam, [this](HDC dc) { Paint(dc); }, common)) return common;
  switch (msg) {
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
  return controls::Route(hwnd, msg, wParam, lParam, &KtBoton::Handle);
}

}  // namespace ktfolio
