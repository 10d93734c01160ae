// KtBoton: an owner-drawn push or toggle button with a thick outer border, a
// bevel, an optional picture and a caption. It lights up while the pointer is
// over it (hot), has a flat style whose bevel shows only then, clicks from the
// mouse, Space, Enter and code, and moves the focus with the arrow keys.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/font.h"
#include "platform/container/property_bag.h"
#include "platform/automation/picture.h"
#include "platform/container/container.h"
#include "platform/user/user.h"
#include "winsupport/subclass.h"

namespace ktfolio {

namespace controls {
template <typename Control>
struct Property;
}  // namespace controls

enum ppStyleValues : std::int32_t { ppNormalButton = 0, ppToggleButton = 1, ppFlatButton = 2 };
enum ppShadeModeValues : std::int32_t { ppSystemShade = 0, ppNormalShade = 1, ppHQShade = 2 };

class KtBoton : private ISubclass {
 public:
  // A visible child window of `parent` named `name` (the default caption);
  // font and text colours come from the container's ambient properties.
  KtBoton(win::HWND parent, const std::string& name, const Container& site);
  ~KtBoton() override;
  KtBoton(const KtBoton&) = delete;
  KtBoton& operator=(const KtBoton&) = delete;

  win::HWND hwnd() const { return hwnd_; }

  // ---- properties (each set repaints) ----------------------------------------------
  std::uint32_t BackColor() const { return backColor_; }
  void BackColor(std::uint32_t v) { Set(backColor_, v); }
  std::uint32_t BackPressedColor() const { return backPressedColor_; }
  void BackPressedColor(std::uint32_t v) { Set(backPressedColor_, v); }
  std::uint32_t BackLightColor() const { return backLightColor_; }
  void BackLightColor(std::uint32_t v) { Set(backLightColor_, v); }
  std::uint32_t BackShadowColor() const { return backShadowColor_; }
  void BackShadowColor(std::uint32_t v) { Set(backShadowColor_, v); }
  std::int32_t BevelWidth() const { return bevelWidth_; }
  void BevelWidth(std::int32_t v) { Set(bevelWidth_, v); }
  std::int32_t BorderWidth() const { return borderWidth_; }
  void BorderWidth(std::int32_t v) { Set(borderWidth_, v); }
  std::int32_t BorderFocusedWidth() const { return borderFocusedWidth_; }
  void BorderFocusedWidth(std::int32_t v) { Set(borderFocusedWidth_, v); }
  // The window text: a host that sets the window's text sets the caption.
  std::string Caption() const;
  void Caption(const std::string& v);
  std::int32_t CaptionPos() const { return captionPos_; }
  void CaptionPos(std::int32_t v) { Set(captionPos_, v); }
  bool ClickFocused() const { return clickFocused_; }
  void ClickFocused(bool v) { clickFocused_ = v; }
  bool Enabled() const;
  void Enabled(bool v);
  FontPtr Font() const { return font_; }
  void Font(FontPtr v);
  std::uint32_t ForeColor() const { return foreColor_; }
  void ForeColor(std::uint32_t v) { Set(foreColor_, v); }
  std::uint32_t ForeFocusedColor() const { return foreFocusedColor_; }
  void ForeFocusedColor(std::uint32_t v) { Set(foreFocusedColor_, v); }
  const std::string& IconName() const { return iconName_; }
  void IconName(std::string v) { iconName_ = std::move(v); }
  std::int32_t MarginWidth() const { return marginWidth_; }
  void MarginWidth(std::int32_t v) { Set(marginWidth_, v); }
  std::int16_t MousePointer() const { return mousePointer_; }
  void MousePointer(std::int16_t v) { mousePointer_ = v; }
  std::shared_ptr<Picture> PictureObject() const { return picture_; }
  void PictureObject(std::shared_ptr<Picture> v);
  std::shared_ptr<Picture> HotPicture() const { return hotPicture_; }
  void HotPicture(std::shared_ptr<Picture> v);
  std::int32_t PictureWidth() const { return pictureWidth_; }
  void PictureWidth(std::int32_t v) { Set(pictureWidth_, v); }
  std::int32_t PictureHeight() const { return pictureHeight_; }
  void PictureHeight(std::int32_t v) { Set(pictureHeight_, v); }
  std::int32_t PicturePos() const { return picturePos_; }
  void PicturePos(std::int32_t v) { Set(picturePos_, v); }
  std::int32_t ShadeMode() const { return shadeMode_; }
  void ShadeMode(std::int32_t v) { Set(shadeMode_, v); }
  bool ShowFocusRect() const { return showFocusRect_; }
  void ShowFocusRect(bool v) { Set(showFocusRect_, v); }
  std::int32_t Style() const { return style_; }
  void Style(std::int32_t v) { Set(style_, v); }
  std::int32_t Value() const { return value_; }
  void Value(std::int32_t v);
  bool Pressed() const { return value_ != 0; }
  void Pressed(bool v) { Value(v ? -1 : 0); }
  // The tag a host keeps with the button (the toolbar's button key).
  std::string Tag;
  std::string ToolTipText;

  // Property-bag keys with their defaults, in reading order, and the
  // current values under the same keys.
  struct Persisted {
    std::string name;
    Variant value;
  };
  std::vector<Persisted> PersistedDefaults() const;
  std::vector<Persisted> PersistedValues() const;
  void ReadProperties(const std::function<Variant(const std::string&, const Variant&)>& read);
  // The same keys through the container's property bag, with "Font" beside
  // them; values equal to their defaults are not stored.
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // ---- methods -----------------------------------------------------------------------
  void DoClick();
  void Refresh();
  bool Hot() const { return hot_; }

  // ---- events ------------------------------------------------------------------------
  std::function<void()> Click;
  std::function<void(std::int16_t Button, std::int16_t Shift, float X, float Y)> MouseDown, MouseMove, MouseUp;
  std::function<void(std::int16_t& KeyCode, std::int16_t Shift)> KeyDown, KeyUp;
  std::function<void(std::int16_t& KeyAscii)> KeyPress;

 private:
  static const std::vector<controls::Property<KtBoton>>& Properties();
  template <typename T>
  void Set(T& field, T v) {
    field = v;
    Refresh();
  }
  static win::LRESULT WndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  win::LRESULT Handle(win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  // The subclass client: WM_MOUSELEAVE ends the hot state.
  EMsgResponse MsgResponse() override { return emrPreprocess; }
  win::LRESULT WindowProc(win::HWND, win::UINT iMsg, win::WPARAM, win::LPARAM) override;
  void OnAccessKey();
  void OnMouseLeave();
  void OnButtonDown(win::WPARAM keys, win::LPARAM lParam);
  void OnMouseMove(win::WPARAM keys, win::LPARAM lParam);
  void OnButtonUp(win::WPARAM keys, win::LPARAM lParam);
  bool OnKeyDown(int vk);
  void OnKeyUp(int vk);
  void FireClick(bool byUser);
  void Paint(win::HDC target);
  void PaintFace(win::HDC dc, win::RECT& box, bool hot, bool down);
  void PaintContent(win::HDC dc, win::RECT box, bool hot);
  void MoveFocus(bool forward);

  win::HWND hwnd_ = nullptr;
  std::uint32_t backColor_ = 0x8000000F;
  std::uint32_t backPressedColor_ = 0x8000000F;
  std::uint32_t backLightColor_ = 0x80000014;
  std::uint32_t backShadowColor_ = 0x80000010;
  std::int32_t bevelWidth_ = 2;
  std::int32_t borderWidth_ = 1;
  std::int32_t borderFocusedWidth_ = 2;
  std::int32_t captionPos_ = 4;
  bool clickFocused_ = true;
  FontPtr font_;
  std::uint32_t foreColor_ = 0;
  std::uint32_t foreFocusedColor_ = 0;
  std::string iconName_;
  std::int32_t marginWidth_ = 2;
  std::int16_t mousePointer_ = 0;
  std::shared_ptr<Picture> picture_, hotPicture_;
  std::int32_t pictureWidth_ = 0, pictureHeight_ = 0;
  std::int32_t picturePos_ = 3;
  std::int32_t shadeMode_ = ppSystemShade;
  bool showFocusRect_ = false;
  std::int32_t style_ = ppNormalButton;
  std::int32_t value_ = 0;
  std::string defaultCaption_;
  std::uint32_t ambientForeColor_;
  FontPtr ambientFont_;  // the default of Font

  bool hot_ = false;
  bool mousePressed_ = false;
  bool mouseCaptured_ = false;  // the left button went down on this button
  bool keyPressed_ = false;
  bool clickPending_ = false;
};

}  // namespace ktfolio
