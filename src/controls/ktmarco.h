// KtMarco: a panel with an outer border, outer and inner bevels, an optional
// titled frame line, a tiled background picture, a caption with relief and a
// flood fill that covers a percentage of it from one side.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/font.h"
#include "platform/automation/picture.h"
#include "platform/container/container.h"
#include "platform/container/property_bag.h"
#include "platform/user/user.h"

namespace ktfolio {

namespace controls {
template <typename Control>
struct Property;
}  // namespace controls

enum ppBevelConstants : std::int32_t { ppBevelNone = 0, ppBevelRaised = 1, ppBevelInset = 2 };
enum ppFloodConstants : std::int32_t {
  ppFloodNone = 0, ppFloodToRight = 1, ppFloodToLeft = 2, ppFloodToTop = 3, ppFloodToBottom = 4
};
enum ppFrameConstants : std::int32_t { ppFrameNone = 0, ppFrameTop = 1, ppFrameBottom = 2 };
enum ppMosaicConstants : std::int32_t { ppMosaicNone = 0, ppMosaicNormal = 1, ppMosaicOnOff = 2, ppMosaicOffOn = 3 };

class KtMarco {
 public:
  KtMarco(win::HWND parent, const std::string& name, const Container& site);
  ~KtMarco();
  KtMarco(const KtMarco&) = delete;
  KtMarco& operator=(const KtMarco&) = delete;

  win::HWND hwnd() const { return hwnd_; }

#define KT_MARCO_PROP(type, name, field) \
  type name() const { return field; }    \
  void name(type v) {                    \
    field = v;                           \
    Refresh();                           \
  }
  KT_MARCO_PROP(std::uint32_t, BackColor, backColor_)
  KT_MARCO_PROP(std::uint32_t, BackLightColor, backLightColor_)
  KT_MARCO_PROP(std::uint32_t, BackShadowColor, backShadowColor_)
  KT_MARCO_PROP(std::int32_t, BevelOuter, bevelOuter_)
  KT_MARCO_PROP(std::int32_t, BevelInner, bevelInner_)
  KT_MARCO_PROP(std::int32_t, BevelWidth, bevelWidth_)
  KT_MARCO_PROP(std::int32_t, BorderWidth, borderWidth_)
  KT_MARCO_PROP(std::int32_t, CaptionPos, captionPos_)
  KT_MARCO_PROP(std::int32_t, Flood, flood_)
  KT_MARCO_PROP(std::uint32_t, FloodColor, floodColor_)
  KT_MARCO_PROP(bool, FloodShowPct, floodShowPct_)
  KT_MARCO_PROP(std::int16_t, FontSlip, fontSlip_)
  KT_MARCO_PROP(std::int32_t, FontStyle, fontStyle_)
  KT_MARCO_PROP(std::uint32_t, ForeColor, foreColor_)
  KT_MARCO_PROP(std::int32_t, Frame, frame_)
  KT_MARCO_PROP(std::int32_t, FrameAlign, frameAlign_)
  KT_MARCO_PROP(std::uint32_t, FrameColor, frameColor_)
  KT_MARCO_PROP(std::string, FrameTitle, frameTitle_)
  KT_MARCO_PROP(std::int32_t, FrameWidth, frameWidth_)
  KT_MARCO_PROP(std::int32_t, MarginWidth, marginWidth_)
  KT_MARCO_PROP(std::int32_t, Mosaic, mosaic_)
  KT_MARCO_PROP(std::int16_t, MosaicBorder, mosaicBorder_)
  KT_MARCO_PROP(std::shared_ptr<Picture>, MosaicPicture, mosaicPicture_)
  KT_MARCO_PROP(std::int16_t, MousePointer, mousePointer_)
  KT_MARCO_PROP(bool, WordWrap, wordWrap_)
  KT_MARCO_PROP(FontPtr, Font, font_)
  KT_MARCO_PROP(FontPtr, FrameFont, frameFont_)
#undef KT_MARCO_PROP
  std::string Caption() const;
  void Caption(const std::string& v);  // the window text
  bool Enabled() const;
  void Enabled(bool v);
  std::int16_t FloodPercent() const { return floodPercent_; }
  // Clamped to 0..100; a change with a flood raises FloodChange and repaints.
  void FloodPercent(std::int16_t v);

  // Hides or shows every child window of the panel.
  void HideChildren();
  void ShowChildren();
  void Refresh();

  // Property-bag keys with their defaults, in reading order, and the current
  // values under the same keys; the fonts go as "Font" and "FrameFont".
  struct Persisted {
    std::string name;
    Variant value;
  };
  std::vector<Persisted> PersistedDefaults() const;
  std::vector<Persisted> PersistedValues() const;
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  std::function<void()> Click, DblClick, FloodChange, Resize;

 private:
  static const std::vector<controls::Property<KtMarco>>& Properties();
  static win::LRESULT WndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  win::LRESULT Handle(win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  void Paint(win::HDC target);
  void Draw(win::HDC dc, int w, int h);
  void PaintFrame(win::HDC dc, win::RECT& box);
  void PaintMosaic(win::HDC dc, const win::RECT& box);
  void PaintFlood(win::HDC dc, const win::RECT& box, win::HFONT font);

  win::HWND hwnd_ = nullptr;
  std::uint32_t backColor_ = 0x8000000F;
  std::uint32_t backLightColor_ = 0x80000014;
  std::uint32_t backShadowColor_ = 0x80000010;
  std::int32_t bevelOuter_ = ppBevelRaised;
  std::int32_t bevelInner_ = ppBevelNone;
  std::int32_t bevelWidth_ = 2;
  std::int32_t borderWidth_ = 1;
  std::int32_t captionPos_ = 4;
  std::int32_t flood_ = ppFloodNone;
  std::uint32_t floodColor_ = 0x8000000D;
  std::int16_t floodPercent_ = 0;
  bool floodShowPct_ = false;
  FontPtr font_;
  std::int16_t fontSlip_ = 1;
  std::int32_t fontStyle_ = 0;
  std::uint32_t foreColor_ = 0;
  std::int32_t frame_ = ppFrameNone;
  std::int32_t frameAlign_ = 0;
  std::uint32_t frameColor_ = 0x8000000D;
  FontPtr frameFont_;
  std::string frameTitle_;
  std::int32_t frameWidth_ = 2;
  std::int32_t marginWidth_ = 2;
  std::int32_t mosaic_ = ppMosaicNone;
  std::int16_t mosaicBorder_ = 0;
  std::shared_ptr<Picture> mosaicPicture_;
  std::int16_t mousePointer_ = 0;
  bool wordWrap_ = true;
  std::string defaultCaption_;
  std::uint32_t ambientForeColor_;
  FontPtr ambientFont_;
};

}  // namespace ktfolio
