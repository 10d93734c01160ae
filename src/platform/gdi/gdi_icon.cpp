// Icons and DrawState: icons are kept as ready-made Cairo images (the masked
// picture, the mask alone, the colour alone); DrawState's effects are drawn
// through a mask made from the item rendered off-screen.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

struct Icon final : HICON__ {
  int width = 0;
  int height = 0;
  cairo_surface_t* masked = nullptr;  // ARGB32: the colour where the mask is clear, transparent elsewhere
  cairo_surface_t* andMask = nullptr;  // ARGB32: opaque black where the mask is clear
  cairo_surface_t* color = nullptr;    // RGB24: the colour image alone
  ~Icon() override {
    for (cairo_surface_t* s : {masked, andMask, color})
      if (s) cairo_surface_destroy(s);
  }
};

std::unordered_set<const HICON__*>& Icons() {
  static std::unordered_set<const HICON__*> s;
  return s;
}

Icon* ToIcon(HICON icon) { return icon && Icons().count(icon) ? static_cast<Icon*>(icon) : nullptr; }

std::uint32_t* Row(cairo_surface_t* s, int y) {
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) +
                                          static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(s));
}

// A mask pixel is "set" (leave the destination) when it is light.
bool Light(std::uint32_t p) { return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) >= 3 * 128; }

// Builds the three images from an AND mask and a colour picture of one size.
// The masked image leaves out pixels that would invert the destination (mask
// set, colour not black): Cairo has no XOR, and icons rarely use them.
void BuildImages(Icon* icon, cairo_surface_t* mask, int maskTop, cairo_surface_t* color, int colorTop) {
  const int w = icon->width, h = icon->height;
  icon->masked = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  icon->andMask = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  icon->color = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  for (cairo_surface_t* s : {icon->masked, icon->andMask, icon->color}) cairo_surface_flush(s);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* m = Row(mask, maskTop + y);
    const std::uint32_t* c = Row(color, colorTop + y);
    std::uint32_t* outMasked = Row(icon->masked, y);
    std::uint32_t* outAnd = Row(icon->andMask, y);
    std::uint32_t* outColor = Row(icon->color, y);
    for (int x = 0; x < w; ++x) {
      const bool clear = !Light(m[x]);
      outColor[x] = 0xFF000000u | (c[x] & 0xFFFFFFu);
      outMasked[x] = clear ? outColor[x] : 0;
      outAnd[x] = clear ? 0xFF000000u : 0;
    }
  }
  for (cairo_surface_t* s : {icon->masked, icon->andMask, icon->color}) cairo_surface_mark_dirty(s);
}

// The shape of an item rendered black on white: pixels clearly darker than white.
constexpr int kShapeThreshold = 3 * 200;

cairo_surface_t* ShapeMask(cairo_surface_t* rendered, bool dither) {
  const int w = cairo_image_surface_get_width(rendered), h = cairo_image_surface_get_height(rendered);
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_surface_flush(mask);
  cairo_surface_flush(rendered);
  unsigned char* data = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* in = Row(rendered, y);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = in[x];
      const int sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
      const bool on = sum < kShapeThreshold && (!dither || ((x + y) & 1) == 0);
      data[y * stride + x] = on ? 0xFF : 0;
    }
  }
  cairo_surface_mark_dirty(mask);
  return mask;
}

struct StateItem {
  UINT type;
  DRAWSTATEPROC proc;
  LPARAM lParam;
  WPARAM wParam;
  int cx, cy;
};

// Draws the item itself with its top-left at (x, y) on hdc.
void RenderItem(HDC hdc, const StateItem& it, int x, int y) {
  if (it.proc) {
    POINT old;
    GetViewportOrgEx(hdc, &old);
    SetViewportOrgEx(hdc, old.x + x, old.y + y, nullptr);
    it.proc(hdc, it.lParam, it.wParam, it.cx, it.cy);
    SetViewportOrgEx(hdc, old.x, old.y, nullptr);
    return;
  }
  switch (it.type) {
    case DST_ICON:
      DrawIconEx(hdc, x, y, reinterpret_cast<HICON>(it.lParam), it.cx, it.cy, 0, nullptr, DI_NORMAL);
      break;
    case DST_BITMAP: {
      cairo_surface_t* s = BitmapSurface(reinterpret_cast<HBITMAP>(it.lParam));
      if (!s) break;
      cairo_surface_flush(s);
      PaintStretched(ToDC(hdc), {x, y, it.cx, it.cy}, s, it.cx, it.cy);
      break;
    }
    case DST_TEXT:
    case DST_PREFIXTEXT: {
      RECT rc{x, y, x + it.cx, y + it.cy};
      const char* text = reinterpret_cast<const char*>(it.lParam);
      const int length = it.wParam ? static_cast<int>(it.wParam) : -1;
      DrawText(hdc, text, length, &rc, DT_NOCLIP | (it.type == DST_TEXT ? DT_NOPREFIX : 0));
      break;
    }
    default:
      break;
  }
}

// The item's own size, for cx or cy given as 0.
bool NaturalSize(HDC hdc, StateItem& it) {
  if (it.cx && it.cy) return true;
  int w = 0, h = 0;
  switch (it.type) {
    case DST_ICON: {
      Icon* icon = ToIcon(reinterpret_cast<HICON>(it.lParam));
      if (!icon) return false;
      w = icon->width;
      h = icon->height;
      break;
    }
    case DST_BITMAP: {
      BITMAP bm;
      if (!GetObject(reinterpret_cast<HBITMAP>(it.lParam), sizeof bm, &bm)) return false;
      w = bm.bmWidth;
      h = bm.bmHeight;
      break;
    }
    case DST_TEXT:
    case DST_PREFIXTEXT: {
      RECT rc{0, 0, 0, 0};
      const int length = it.wParam ? static_cast<int>(it.wParam) : -1;
      DrawText(hdc, reinterpret_cast<const char*>(it.lParam), length, &rc,
               DT_CALCRECT | DT_SINGLELINE | (it.type == DST_TEXT ? DT_NOPREFIX : 0));
      w = rc.right;
      h = rc.bottom;
      break;
    }
    default:
      return false;  // a complex item has no size of its own
  }
  if (!it.cx) it.cx = w;
  if (!it.cy) it.cy = h;
  return true;
}

// Renders the item black on white into a fresh cx x cy bitmap with hdc's font.
HBITMAP RenderOffscreen(HDC hdc, const StateItem& it) {
  HDC mem = CreateCompatibleDC(hdc);
  HBITMAP bmp = CreateCompatibleBitmap(hdc, it.cx, it.cy);
  HGDIOBJ oldBitmap = SelectObject(mem, bmp);
  RECT all{0, 0, it.cx, it.cy};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ oldFont = SelectObject(mem, GetCurrentObject(hdc, OBJ_FONT));
  SetTextColor(mem, RGB(0, 0, 0));
  SetBkMode(mem, TRANSPARENT);
  RenderItem(mem, it, 0, 0);
  SelectObject(mem, oldFont);
  SelectObject(mem, oldBitmap);
  DeleteDC(mem);
  return bmp;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

HICON CreateIconIndirect(const ICONINFO* info) {
  GDI_LOCK;
  if (!info) return nullptr;
  cairo_surface_t* mask = BitmapSurface(info->hbmMask);
  cairo_surface_t* color = info->hbmColor ? BitmapSurface(info->hbmColor) : nullptr;
  if (!mask || (info->hbmColor && !color)) return nullptr;
  const int mw = cairo_image_surface_get_width(mask), mh = cairo_image_surface_get_height(mask);
  auto* icon = new Icon;
  cairo_surface_flush(mask);
  if (color) {
    cairo_surface_flush(color);
    icon->width = std::min(mw, cairo_image_surface_get_width(color));
    icon->height = std::min(mh, cairo_image_surface_get_height(color));
    BuildImages(icon, mask, 0, color, 0);
  } else {
    // A monochrome icon: the mask bitmap holds the AND mask over the image.
    icon->width = mw;
    icon->height = mh / 2;
    BuildImages(icon, mask, 0, mask, mh / 2);
  }
  if (icon->width <= 0 || icon->height <= 0) {
    delete icon;
    return nullptr;
  }
  Icons().insert(icon);
  ++LiveCounts().icons;
  return icon;
}

BOOL DestroyIcon(HICON icon) {
  GDI_LOCK;
  Icon* i = ToIcon(icon);
  if (!i) return FALSE;
  Icons().erase(i);
  --LiveCounts().icons;
  delete i;
  return TRUE;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flicker, UINT flags) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  Icon* i = ToIcon(icon);
  if (!dc || !i || !(flags & DI_NORMAL)) return FALSE;
  if (!cx) cx = i->width;
  if (!cy) cy = i->height;
  if (Brush* b = flicker ? ResolveBrush(flicker) : nullptr) {
    cairo_t* cr = dc->Begin();
    FillWithBrush(dc, cr, b, RECT{x, y, x + cx, y + cy});
    dc->End();
  }
  cairo_surface_t* image = (flags & DI_NORMAL) == DI_NORMAL ? i->masked : (flags & DI_MASK) ? i->andMask : i->color;
  const cairo_operator_t op = (flags & DI_NORMAL) == DI_IMAGE ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER;
  PaintStretched(dc, {x, y, cx, cy}, image, i->width, i->height, op);
  return TRUE;
}

BOOL DrawState(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM lParam, WPARAM wParam, int x, int y, int cx,
               int cy, UINT flags) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  StateItem it{flags & 0xF, proc, lParam, wParam, cx, cy};
  if (!dc || it.type > DST_BITMAP || (it.type == DST_COMPLEX && !proc)) return FALSE;
  if (!NaturalSize(hdc, it) || it.cx <= 0 || it.cy <= 0) return FALSE;
  const UINT effect = flags & (DSS_UNION | DSS_DISABLED | DSS_MONO);
  if (!effect) {
    RenderItem(hdc, it, x, y);
    return TRUE;
  }
  HBITMAP rendered = RenderOffscreen(hdc, it);
  cairo_surface_t* image = BitmapSurface(rendered);
  cairo_surface_t* mask = ShapeMask(image, (effect & DSS_UNION) != 0);
  cairo_t* cr = dc->Begin();
  if (effect & DSS_DISABLED) {
    // Embossed: the shape in highlight one pixel down and right, then in shadow.
    SetSourceColor(cr, GetSysColor(COLOR_3DHIGHLIGHT));
    cairo_mask_surface(cr, mask, x + 1, y + 1);
    SetSourceColor(cr, GetSysColor(COLOR_3DSHADOW));
    cairo_mask_surface(cr, mask, x, y);
  } else if (effect & DSS_MONO) {
    Brush* b = brush ? ResolveBrush(brush) : nullptr;
    if (b && !b->hollow) SetBrushSource(dc, cr, b);
    else SetSourceColor(cr, dc->st.textColor);
    cairo_mask_surface(cr, mask, x, y);
  } else {
    // DSS_UNION: the item on every other pixel of its shape, the background between.
    cairo_set_source_surface(cr, image, x, y);
    cairo_mask_surface(cr, mask, x, y);
  }
  dc->End();
  cairo_surface_destroy(mask);
  DeleteObject(rendered);
  return TRUE;
}

}  // namespace ktfolio::win
