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

void DeflateRect(win::RECT& rc, std::int32_t d);
win::RECT OffsetRectBy(const win::RECT& rc, std::int32_t d);

// Draws a bevel `width` pixels wide, the top-left bands in one colour and the
// bottom-right ones in the other, then deflates the rectangle by `width`.
// Nothing for a width below 1.
void DrawBevel(win::HDC dc, win::RECT& rc, std::uint32_t topLeftColor, std::uint32_t bottomRightColor,
               std::int32_t width);

// How a caption is drawn: its colours, the relief style (ppStyleConstants:
// raised, raised heavy, inset and inset heavy draw copies in the light and
// dark colours `offset` pixels away before the text), and its place.
struct CaptionStyle {
  std::int32_t relief = 0;
  win::HFONT font = nullptr;  // null: the context's font
  std::uint32_t textColor = 0;
  std::uint32_t darkColor = 0;
  std::uint32_t lightColor = 0;
  std::int32_t offset = 0;
  bool wordWrap = false;
  std::int32_t position = kTopLeft;  // nine-cell position in the rectangle
  bool clip = true;
  bool showPrefix = true;  // "&" marks an access key
};

// Caption text in `rc`, as `style` says. Nothing for an empty text.
void DrawCaptionText(win::HDC dc, const std::string& text, const win::RECT& rc, const CaptionStyle& style);

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

struct PictureRef {
  win::HBITMAP bitmap = nullptr;
  win::HICON icon = nullptr;
};

// How a picture is drawn: natural size, wanted size (0 = natural), its
// nine-cell position and the gap left beside it; disabled pictures are drawn
// in relief: shade mode 0 at natural size through DrawState, mode 1 with a
// dithered dark copy, mode 2 in solid dark and light, both over the face colour.
struct PictureStyle {
  PictureRef picture;
  std::int32_t naturalW = 0;
  std::int32_t naturalH = 0;
  std::int32_t wantedW = 0;
  std::int32_t wantedH = 0;
  std::int32_t position = kTopLeft;
  std::int32_t gap = 0;
  bool enabled = true;
  std::int32_t shadeMode = 0;
  std::uint32_t face = 0;
  std::uint32_t dark = 0;
  std::uint32_t light = 0;
};

// Draws the picture in its place in the rectangle and takes its room (plus
// the gap) out of the rectangle on the side it sits.
void DrawPicture(win::HDC dc, const PictureStyle& style, win::RECT& rc);

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
