// Device contexts: the one place a context is made (screen, memory, or over a
// Cairo surface; the spooler makes printer ones through the same step), its
// Cairo binding, deleting it, saving and restoring its state, and its
// capabilities.
#include <strings.h>

#include <algorithm>
#include <unordered_set>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

std::unordered_set<const HDC__*>& Contexts() {
  static std::unordered_set<const HDC__*> s;
  return s;
}

int g_screenDpiX = 96;
int g_screenDpiY = 96;
// What a screen context reports as its size; nothing is shown on a real screen.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

bool IsVector(cairo_surface_t* s) {
  switch (cairo_surface_get_type(s)) {
    case CAIRO_SURFACE_TYPE_PDF:
    case CAIRO_SURFACE_TYPE_PS:
    case CAIRO_SURFACE_TYPE_SVG:
    case CAIRO_SURFACE_TYPE_RECORDING:
      return true;
    default:
      return false;
  }
}

}  // namespace

DC* NewDC(DCKind kind, int dpiX, int dpiY) {
  auto* dc = new DC;
  dc->kind = kind;
  dc->dpiX = dpiX;
  dc->dpiY = dpiY;
  StockObjects& s = TheStock();
  dc->st.font = static_cast<Font*>(s.objects[SYSTEM_FONT]);
  dc->st.pen = static_cast<Pen*>(s.objects[BLACK_PEN]);
  dc->st.brush = static_cast<Brush*>(s.objects[WHITE_BRUSH]);
  if (kind == DCKind::Memory) dc->st.bitmap = s.defaultBitmap;
  AcquireState(dc->st, true);
  Contexts().insert(dc);
  ++LiveCounts().dcs;
  return dc;
}

DC::~DC() {
  if (cr) cairo_destroy(cr);
  if (ownSurface) cairo_surface_destroy(ownSurface);
}

cairo_surface_t* DC::Surface() const {
  if (kind == DCKind::Memory) return st.bitmap ? st.bitmap->surface : nullptr;
  return ownSurface;
}

void DC::Rebind() {
  if (cr) cairo_destroy(cr);
  cr = cairo_create(Surface());
  cairo_scale(cr, scaleX, scaleY);
}

RECT DC::Bounds() const {
  RECT r{};
  if (kind == DCKind::Screen) {
    r.right = kScreenWidth;
    r.bottom = kScreenHeight;
    return r;
  }
  auto w = caps.find(HORZRES), h = caps.find(VERTRES);
  cairo_surface_t* s = Surface();
  bool image = s && cairo_surface_get_type(s) == CAIRO_SURFACE_TYPE_IMAGE;
  r.right = w != caps.end() ? w->second : image ? cairo_image_surface_get_width(s) : 0x3FFFFFFF;
  r.bottom = h != caps.end() ? h->second : image ? cairo_image_surface_get_height(s) : 0x3FFFFFFF;
  return r;
}

cairo_t* DC::Begin(bool applyClip, bool keepLines) {
  if (!keepLines && !queued.coords.empty()) FlushLines();
  if (!queuedText.empty()) FlushText();
  cairo_save(cr);
  if (st.clipped && applyClip) {
    cairo_rectangle(cr, st.clip.left, st.clip.top, std::max(0, st.clip.right - st.clip.left),
                    std::max(0, st.clip.bottom - st.clip.top));
    cairo_clip(cr);
  }
  cairo_translate(cr, st.org.x, st.org.y);
  if (st.Transformed()) {
    const XFORM& x = st.xform;
    cairo_matrix_t m;
    cairo_matrix_init(&m, x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy);
    cairo_transform(cr, &m);
  }
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  return cr;
}

void DC::End() { cairo_restore(cr); }

namespace {
// The context found last: drawing comes in long runs of calls on one context,
// and each call would otherwise look it up again.
const HDC__* lastFound = nullptr;
}  // namespace

DC* ToDC(HDC hdc) {
  if (hdc && hdc == lastFound) return static_cast<DC*>(hdc);
  if (!hdc || !Contexts().count(hdc)) return nullptr;
  lastFound = hdc;
  return static_cast<DC*>(hdc);
}

}  // namespace gdi

using namespace gdi;

HDC CreateDC(const char* driver, const char* device, const char* output, const void* devmode) {
  if (!driver) return nullptr;
  if (strcasecmp(driver, "DISPLAY") != 0) return CreateSpoolerDC(driver, device, devmode);
  GDI_LOCK;
  DC* dc = NewDC(DCKind::Screen, g_screenDpiX, g_screenDpiY);
  dc->ownSurface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
  dc->Rebind();
  return dc;
}

HDC CreateCompatibleDC(HDC hdc) {
  GDI_LOCK;
  int dx = g_screenDpiX, dy = g_screenDpiY;
  if (hdc) {
    DC* ref = ToDC(hdc);
    if (!ref) return nullptr;
    // A memory context made for a printer measures text at the printer's resolution.
    dx = ref->dpiX;
    dy = ref->dpiY;
  }
  DC* dc = NewDC(DCKind::Memory, dx, dy);
  dc->Rebind();
  return dc;
}

HDC CreateSurfaceDC(cairo_surface_t* surface, int dpiX, int dpiY) {
  GDI_LOCK;
  if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS || dpiX <= 0 || dpiY <= 0) return nullptr;
  DC* dc = NewDC(DCKind::Surface, dpiX, dpiY);
  dc->ownSurface = cairo_surface_reference(surface);
  if (IsVector(surface)) {
    dc->scaleX = 72.0 / dpiX;
    dc->scaleY = 72.0 / dpiY;
  }
  dc->Rebind();
  return dc;
}

BOOL DeleteDC(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return FALSE;
  dc->FlushQueues();
  const bool driverAgreed = !dc->print || !dc->print->driver || dc->print->driver->DeleteDC();
  if (dc->st.bitmap && dc->st.bitmap->selectedInto == dc) dc->st.bitmap->selectedInto = nullptr;
  for (const DCState& s : dc->saved) ReleaseState(s, false);
  ReleaseState(dc->st, true);
  Contexts().erase(dc);
  if (lastFound == dc) lastFound = nullptr;
  --LiveCounts().dcs;
  delete dc;
  return driverAgreed ? TRUE : FALSE;
}

int SaveDC(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return 0;
  AcquireState(dc->st, false);
  dc->saved.push_back(dc->st);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int saved) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return FALSE;
  int n = static_cast<int>(dc->saved.size());
  int level = saved < 0 ? n + 1 + saved : saved;
  if (level < 1 || level > n) return FALSE;
  DCState target = dc->saved[level - 1];
  Bitmap* oldBitmap = dc->st.bitmap;
  // Take the target's objects as current before letting go of anything, so an
  // object held by both is never freed in between.
  AcquireState(target, true);
  ReleaseState(dc->st, true);
  for (int i = n - 1; i >= level - 1; --i) ReleaseState(dc->saved[i], false);
  dc->saved.resize(level - 1);
  dc->st = target;
  if (dc->st.bitmap != oldBitmap) {
    if (oldBitmap && oldBitmap->selectedInto == dc) oldBitmap->selectedInto = nullptr;
    if (dc->st.bitmap && !dc->st.bitmap->info.stock) dc->st.bitmap->selectedInto = dc;
    dc->Rebind();
  }
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  GDI_LOCK;
  const DC* dc = ToDC(hdc);
  return dc ? gdi::DeviceCaps(*dc, index) : 0;
}

int gdi::DeviceCaps(const DC& dc, int index) {
  if (!dc.caps.empty()) {
    auto it = dc.caps.find(index);
    if (it != dc.caps.end()) return it->second;
  }
  switch (index) {
    case LOGPIXELSX: return dc.dpiX;
    case LOGPIXELSY: return dc.dpiY;
    // The surface's size only when asked: measuring asks for the resolution a row at a time.
    case HORZRES: return dc.Bounds().right;
    case VERTRES: return dc.Bounds().bottom;
    case HORZSIZE: return static_cast<int>(dc.Bounds().right * 25.4 / dc.dpiX + 0.5);
    case VERTSIZE: return static_cast<int>(dc.Bounds().bottom * 25.4 / dc.dpiY + 0.5);
    case BITSPIXEL: return 32;
    case 14: return 1;  // PLANES
    case TECHNOLOGY: return DT_RASDISPLAY;
    default: return 0;  // physical sizes and offsets: only printers have them
  }
}

void SetDeviceCaps(HDC hdc, int index, int value) {
  GDI_LOCK;
  if (DC* dc = ToDC(hdc)) dc->caps[index] = value;
}

cairo_surface_t* DCSurface(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  return dc ? dc->Surface() : nullptr;
}

void SetScreenLogPixels(int dpiX, int dpiY) {
  GDI_LOCK;
  if (dpiX > 0) g_screenDpiX = dpiX;
  if (dpiY > 0) g_screenDpiY = dpiY;
}

}  // namespace ktfolio::win
