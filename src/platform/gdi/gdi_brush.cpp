// Brushes: the one place a brush object is made (solid, hollow, pattern; stock
// or created), the system colours and their brushes, and resolving the
// (COLOR_x + 1) pseudo-handles Win32 accepts where a brush goes.
#include <utility>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

// Windows 2000 "Windows Standard" scheme, fixed so rendering is reproducible.
constexpr COLORREF kSysColors[31] = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25: unused slot
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

constexpr int kSysColorCount = 31;

}  // namespace

Brush::~Brush() {
  if (pattern) cairo_surface_destroy(pattern);
}

Brush* NewBrush(COLORREF color, bool hollow, cairo_surface_t* pattern, bool stock) {
  auto* b = new Brush;
  b->color = color;
  b->hollow = hollow;
  b->pattern = pattern;
  return Register(b, stock);
}

Brush* ResolveBrush(HBRUSH brush) {
  auto value = reinterpret_cast<std::uintptr_t>(brush);
  if (value >= 1 && value <= 31) return static_cast<Brush*>(GetSysColorBrush(static_cast<int>(value - 1)));
  ObjInfo* info = Info(brush);
  if (!info || info->type != OBJ_BRUSH) return nullptr;
  return static_cast<Brush*>(static_cast<HGDIOBJ>(brush));
}

}  // namespace gdi

using namespace gdi;

HBRUSH CreateSolidBrush(COLORREF color) {
  GDI_LOCK;
  return NewBrush(color & 0xFFFFFF, false, nullptr, false);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  GDI_LOCK;
  ObjInfo* info = Info(bitmap);
  if (!info || info->type != OBJ_BITMAP) return nullptr;
  cairo_surface_t* src = static_cast<Bitmap*>(static_cast<HGDIOBJ>(bitmap))->surface;
  const int w = cairo_image_surface_get_width(src), h = cairo_image_surface_get_height(src);
  if (w <= 0 || h <= 0) return nullptr;
  cairo_surface_flush(src);
  AreaCopy tile;
  CopyArea(src, 0, 0, w, h, tile);
  cairo_surface_t* pattern = std::exchange(tile.part, nullptr);  // the brush keeps it
  return NewBrush(0, false, pattern, false);
}

DWORD GetSysColor(int index) {
  if (index < 0 || index >= kSysColorCount) return 0;
  return kSysColors[index];
}

HBRUSH GetSysColorBrush(int index) {
  GDI_LOCK;
  if (index < 0 || index >= kSysColorCount) return nullptr;
  StockObjects& s = TheStock();
  if (!s.sysBrushes[index]) s.sysBrushes[index] = NewBrush(kSysColors[index], false, nullptr, true);
  return s.sysBrushes[index];
}

}  // namespace ktfolio::win
