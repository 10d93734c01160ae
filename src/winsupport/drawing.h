// Small drawing routines the companion controls share: colour translation,
// rectangle arithmetic, the two-colour bevel, caption text with relief in a
// nine-cell position, access keys, picture placement, synthesised Tab keys,
// key-modifier state and word packing. All work in pixels on a device context.
#pragma once

#include <cstdint>
#include <string>

#include "platform/automation/font.h"
#include "platform/gdi/gdi.h"

namespace ktfolio {

// Nine-cell position codes: 0 top-left ... 4 middle-centre ... 8 bottom-right.
enum NinePosition : std::int32_t {
  kTopLeft = 0, kTopCenter, kTopRight, kMiddleLeft, kMiddleCenter, kMiddleRight, kBottomLeft, kBottomCenter,
  kBottomRight
};

// A system colour index as a colour value (the index with the high bit set).
std::uint32_t SysColorToOle(std::int32_t index);

void DeflateRect(std::int32_t& left, std::int32_t& top, std::int32_t& right, std::int32_t& bottom, std::int32_t d);
win::RECT OffsetRectBy(const win::RECT& rc, std::int32_t d);

// Draws a bevel `width` pixels wide, the top-left bands in one colour and the
// bottom-right ones in the other, then deflates the rectangle by `width`.
// Nothing for a width below 1.
void DrawBevel(win::HDC dc, std::int32_t& left, std::int32_t& top, std::int32_t& right, std::int32_t& bottom,
               std::uint32_t topLeftColor, std::uint32_t bottomRightColor, std::int32_t width);

// Caption text in a nine-cell position with a relief style (ppStyleConstants):
// raised, raised heavy, inset and inset heavy draw offset copies in the light
// and dark colours before the text. Nothing for an empty text.
void DrawCaptionText(win::HDC dc, const std::string& text, std::int32_t relief, win::HFONT font,
                     std::uint32_t textColor, std::uint32_t darkColor, std::uint32_t lightColor, const win::RECT& rc,
                     std::int32_t d, bool wordWrap, std::int32_t position, bool clip, bool showPrefix);

// The upper-cased character after the last single "&" of a caption ("&&" is a
// literal ampersand), or empty.
std::string AccessKeyOf(const std::string& caption);

// Tab and Shift+Tab key presses through the platform's synthesised input.
void SendTab();
void SendShiftTab();
// 1 Shift, 2 Ctrl, 4 Alt, summed, from the live key states.
std::int16_t ShiftState();

inline std::int32_t LoWord(std::int32_t v) { return v & 0xFFFF; }
inline std::int32_t HiWord(std::int32_t v) { return static_cast<std::int32_t>((static_cast<std::uint32_t>(v) >> 16) & 0xFFFF); }
// high x 65536 plus the low word taken as a signed 16-bit value; a high word
// with its top bit set keeps the sign bit.
std::int32_t MakeLong(std::int32_t low, std::int32_t high);

// Draws a picture (a bitmap, or an icon when isIcon) of natural size
// naturalW x naturalH at wanted size (0 = natural) in the nine-cell `position`
// of the rectangle, and takes its room (plus `gap`) out of the rectangle on
// the side it sits. Disabled pictures are drawn in relief: shade mode 0 at
// natural size through DrawState, mode 1 with a dithered dark copy, mode 2 in
// solid dark and light, both over the face colour.
struct PictureRef {
  win::HBITMAP bitmap = nullptr;
  win::HICON icon = nullptr;
};
void DrawPicture(win::HDC dc, PictureRef picture, std::int32_t naturalW, std::int32_t naturalH, std::int32_t wantedW,
                 std::int32_t wantedH, bool enabled, std::int32_t position, std::int32_t& left, std::int32_t& top,
                 std::int32_t& right, std::int32_t& bottom, std::int32_t shadeMode, std::uint32_t face,
                 std::uint32_t dark, std::uint32_t light, std::int32_t gap);

// True only for shells older than the 4.0 generation; never on this platform.
bool IsOldShell();

// The formatted text box's caption settings; it draws nothing itself.
class clsLabel {
 public:
  std::string Caption;
  FontPtr Font = MakeFont("Arial", 8);
  std::uint32_t Forecolor = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t Width = 3000;
  std::int32_t Height = 500;
  bool Visible = false;
};

}  // namespace ktfolio
