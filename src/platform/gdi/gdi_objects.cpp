// Handles and device contexts: creation, selection, deletion, SaveDC/RestoreDC,
// device capabilities, system colours and leak accounting.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <strings.h>
#include <utility>
#include <unordered_set>

#include "platform/fileio/fileio.h"
#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {

std::recursive_mutex& ModuleLock() {
  static std::recursive_mutex m;
  return m;
}

namespace {

// Live objects, stock ones included, so a dead handle is recognised instead of
// dereferenced. The library creates and deletes a font per measured cell, so
// these lookups sit on the hot path; hashing a pointer is cheap enough.
std::unordered_map<const HGDIOBJ__*, ObjInfo*>& Objects() {
  static std::unordered_map<const HGDIOBJ__*, ObjInfo*> m;
  return m;
}
std::unordered_set<const HDC__*>& Contexts() {
  static std::unordered_set<const HDC__*> s;
  return s;
}
GdiObjectCounts& Counts() {
  static GdiObjectCounts c;
  return c;
}

int g_screenDpiX = 96;
int g_screenDpiY = 96;
// What a screen context reports as its size; nothing is shown on a real screen.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

int& CountFor(DWORD type) {
  GdiObjectCounts& c = Counts();
  switch (type) {
    case OBJ_FONT: return c.fonts;
    case OBJ_PEN: return c.pens;
    case OBJ_BRUSH: return c.brushes;
    case OBJ_BITMAP: return c.bitmaps;
    default: return c.regions;
  }
}

template <class T>
T* Register(T* obj, bool stock = false) {
  obj->info.stock = stock;
  Objects()[obj] = &obj->info;
  if (!stock) ++CountFor(obj->info.type);
  return obj;
}

void Destroy(HGDIOBJ obj) { delete obj; }

void Acquire(ObjInfo* info, bool current) {
  if (!info) return;
  ++info->refs;
  if (current) ++info->selected;
}

void Release(HGDIOBJ obj, ObjInfo* info, bool current) {
  if (!info) return;
  --info->refs;
  if (current) --info->selected;
  // A saved state was the last holder of an object the caller already deleted.
  if (info->refs == 0 && info->deletePending) Destroy(obj);
}

void AcquireState(const DCState& s, bool current) {
  Acquire(s.font ? &s.font->info : nullptr, current);
  Acquire(s.pen ? &s.pen->info : nullptr, current);
  Acquire(s.brush ? &s.brush->info : nullptr, current);
  Acquire(s.bitmap ? &s.bitmap->info : nullptr, current);
}

void ReleaseState(const DCState& s, bool current) {
  if (s.font) Release(s.font, &s.font->info, current);
  if (s.pen) Release(s.pen, &s.pen->info, current);
  if (s.brush) Release(s.brush, &s.brush->info, current);
  if (s.bitmap) Release(s.bitmap, &s.bitmap->info, current);
}

// ---- stock objects ----
Font* MakeStockFont(const char* face, LONG height, LONG weight) {
  auto* f = new Font;
  f->lf.lfHeight = height;
  f->lf.lfWeight = weight;
  f->lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
  return Register(f, true);
}

Brush* MakeStockBrush(COLORREF color, bool hollow) {
  auto* b = new Brush;
  b->color = color;
  b->hollow = hollow;
  return Register(b, true);
}

Pen* MakeStockPen(int style, COLORREF color) {
  auto* p = new Pen;
  p->style = style;
  p->color = color;
  return Register(p, true);
}

struct Stock {
  HGDIOBJ objects[18] = {};
  Bitmap* defaultBitmap = nullptr;  // the 1x1 bitmap every memory DC starts with
  Brush* sysBrushes[31] = {};
  Stock() {
    objects[WHITE_BRUSH] = MakeStockBrush(RGB(255, 255, 255), false);
    objects[LTGRAY_BRUSH] = MakeStockBrush(RGB(192, 192, 192), false);
    objects[GRAY_BRUSH] = MakeStockBrush(RGB(128, 128, 128), false);
    objects[DKGRAY_BRUSH] = MakeStockBrush(RGB(64, 64, 64), false);
    objects[BLACK_BRUSH] = MakeStockBrush(RGB(0, 0, 0), false);
    objects[NULL_BRUSH] = MakeStockBrush(0, true);
    objects[WHITE_PEN] = MakeStockPen(PS_SOLID, RGB(255, 255, 255));
    objects[BLACK_PEN] = MakeStockPen(PS_SOLID, RGB(0, 0, 0));
    objects[NULL_PEN] = MakeStockPen(PS_NULL, 0);
    // Classic faces map onto the metric-compatible Liberation families.
    objects[OEM_FIXED_FONT] = MakeStockFont("Courier New", 12, FW_NORMAL);
    objects[ANSI_FIXED_FONT] = MakeStockFont("Courier New", 13, FW_NORMAL);
    objects[ANSI_VAR_FONT] = MakeStockFont("Arial", 13, FW_NORMAL);
    objects[SYSTEM_FONT] = MakeStockFont("Arial", 16, FW_BOLD);
    objects[14] = MakeStockFont("Arial", 16, FW_BOLD);         // DEVICE_DEFAULT_FONT
    objects[16] = MakeStockFont("Courier New", 16, FW_NORMAL);  // SYSTEM_FIXED_FONT
    objects[DEFAULT_GUI_FONT] = MakeStockFont("Arial", -11, FW_NORMAL);
    auto* bm = new Bitmap;
    bm->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    defaultBitmap = Register(bm, true);
  }
};

Stock& TheStock() {
  static Stock* s = new Stock;  // never destroyed: handles may outlive static teardown
  return *s;
}

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

DC* NewDC(DCKind kind, int dpiX, int dpiY) {
  auto* dc = new DC;
  dc->kind = kind;
  dc->dpiX = dpiX;
  dc->dpiY = dpiY;
  Stock& s = TheStock();
  dc->st.font = static_cast<Font*>(s.objects[SYSTEM_FONT]);
  dc->st.pen = static_cast<Pen*>(s.objects[BLACK_PEN]);
  dc->st.brush = static_cast<Brush*>(s.objects[WHITE_BRUSH]);
  if (kind == DCKind::Memory) dc->st.bitmap = s.defaultBitmap;
  AcquireState(dc->st, true);
  Contexts().insert(dc);
  ++Counts().dcs;
  return dc;
}

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

// ---- DC members ----
Bitmap::~Bitmap() {
  if (surface) cairo_surface_destroy(surface);
}

Brush::~Brush() {
  if (pattern) cairo_surface_destroy(pattern);
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

// ---- lookups shared with the other files ----
GdiObjectCounts& LiveCounts() { return Counts(); }

ObjInfo* Info(HGDIOBJ obj) {
  if (!obj) return nullptr;
  auto& m = Objects();
  auto it = m.find(obj);
  return it == m.end() ? nullptr : it->second;
}

DC* ToDC(HDC hdc) {
  if (!hdc || !Contexts().count(hdc)) return nullptr;
  return static_cast<DC*>(hdc);
}

Font* SelectedFont(DC* dc) {
  return dc->st.font ? dc->st.font : static_cast<Font*>(TheStock().objects[SYSTEM_FONT]);
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

// ---- device contexts ----
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
  --Counts().dcs;
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
  DC* dc = ToDC(hdc);
  if (!dc) return 0;
  auto it = dc->caps.find(index);
  if (it != dc->caps.end()) return it->second;
  RECT b = dc->Bounds();
  switch (index) {
    case LOGPIXELSX: return dc->dpiX;
    case LOGPIXELSY: return dc->dpiY;
    case HORZRES: return b.right;
    case VERTRES: return b.bottom;
    case HORZSIZE: return static_cast<int>(b.right * 25.4 / dc->dpiX + 0.5);
    case VERTSIZE: return static_cast<int>(b.bottom * 25.4 / dc->dpiY + 0.5);
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

DWORD GetObjectType(HGDIOBJ obj) {
  GDI_LOCK;
  ObjInfo* info = Info(obj);
  return info ? info->type : 0;
}

// ---- objects ----
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  ObjInfo* info = Info(obj);
  if (!dc || !info) return nullptr;
  DCState& s = dc->st;
  HGDIOBJ old = nullptr;
  ObjInfo* oldInfo = nullptr;  // not looked up: a restored state may hold a delete-pending object
  switch (info->type) {
    case OBJ_FONT:
      old = s.font;
      oldInfo = s.font ? &s.font->info : nullptr;
      s.font = static_cast<Font*>(obj);
      break;
    case OBJ_PEN:
      old = s.pen;
      oldInfo = s.pen ? &s.pen->info : nullptr;
      s.pen = static_cast<Pen*>(obj);
      break;
    case OBJ_BRUSH:
      old = s.brush;
      oldInfo = s.brush ? &s.brush->info : nullptr;
      s.brush = static_cast<Brush*>(obj);
      break;
    case OBJ_BITMAP: {
      if (dc->kind != DCKind::Memory) return nullptr;
      auto* bm = static_cast<Bitmap*>(obj);
      if (bm == s.bitmap) return bm;
      if (!info->stock && bm->selectedInto && bm->selectedInto != dc) return nullptr;  // one DC at a time
      old = s.bitmap;
      oldInfo = s.bitmap ? &s.bitmap->info : nullptr;
      if (s.bitmap && s.bitmap->selectedInto == dc) s.bitmap->selectedInto = nullptr;
      s.bitmap = bm;
      if (!info->stock) bm->selectedInto = dc;
      break;
    }
    default:
      return nullptr;
  }
  if (old == obj) return old;
  Acquire(info, true);
  if (info->type == OBJ_BITMAP) dc->Rebind();
  // A delete-pending old object goes here (the caller deleted it already);
  // otherwise it stays valid for the caller to select back or delete.
  Release(old, oldInfo, true);
  return old;
}

BOOL DeleteObject(HGDIOBJ obj) {
  GDI_LOCK;
  ObjInfo* info = Info(obj);
  if (!info) return FALSE;
  if (info->stock) return TRUE;       // stock objects are never deleted
  if (info->selected > 0) return FALSE;  // Win32 refuses while a DC uses it
  Objects().erase(obj);
  --CountFor(info->type);
  if (info->refs > 0) {
    info->deletePending = true;  // a saved DC state still names it
    return TRUE;
  }
  Destroy(obj);
  return TRUE;
}

HGDIOBJ GetStockObject(int index) {
  GDI_LOCK;
  if (index < 0 || index >= 18) return nullptr;
  return TheStock().objects[index];
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_FONT: return dc->st.font;
    case OBJ_PEN: return dc->st.pen;
    case OBJ_BRUSH: return dc->st.brush;
    case OBJ_BITMAP: return dc->st.bitmap;
    default: return nullptr;
  }
}

int GetObject(HGDIOBJ obj, int size, void* out) {
  GDI_LOCK;
  ObjInfo* info = Info(obj);
  if (!info) return 0;
  if (info->type == OBJ_BITMAP) {
    if (!out) return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    cairo_surface_t* s = static_cast<Bitmap*>(obj)->surface;
    BITMAP bm;
    bm.bmWidth = cairo_image_surface_get_width(s);
    bm.bmHeight = cairo_image_surface_get_height(s);
    bm.bmWidthBytes = cairo_image_surface_get_stride(s);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 32;
    std::memcpy(out, &bm, sizeof bm);
    return sizeof(BITMAP);
  }
  if (info->type == OBJ_FONT) {
    if (!out) return sizeof(LOGFONT);
    if (size < static_cast<int>(sizeof(LOGFONT))) return 0;
    std::memcpy(out, &static_cast<Font*>(obj)->lf, sizeof(LOGFONT));
    return sizeof(LOGFONT);
  }
  return 0;
}

HFONT CreateFontIndirect(const LOGFONT* lf) {
  GDI_LOCK;
  if (!lf) return nullptr;
  auto* f = new Font;
  f->lf = *lf;
  f->lf.lfFaceName[LF_FACESIZE - 1] = '\0';
  return Register(f);
}

HPEN CreatePen(int style, int width, COLORREF color) {
  GDI_LOCK;
  if (style < PS_SOLID || style > PS_ALTERNATE) return nullptr;
  auto* p = new Pen;
  p->style = style;
  p->width = width < 0 ? 0 : width;
  p->color = color & 0xFFFFFF;
  return Register(p);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  GDI_LOCK;
  auto* b = new Brush;
  b->color = color & 0xFFFFFF;
  return Register(b);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  GDI_LOCK;
  ObjInfo* info = Info(bitmap);
  if (!info || info->type != OBJ_BITMAP) return nullptr;
  cairo_surface_t* src = static_cast<Bitmap*>(static_cast<HGDIOBJ>(bitmap))->surface;
  const int w = cairo_image_surface_get_width(src), h = cairo_image_surface_get_height(src);
  if (w <= 0 || h <= 0) return nullptr;
  cairo_surface_flush(src);
  auto* b = new Brush;
  b->pattern = CopyArea(src, 0, 0, w, h);
  return Register(b);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  GDI_LOCK;
  if (hdc && !ToDC(hdc)) return nullptr;
  if (width < 0 || height < 0) return nullptr;
  if (width == 0 || height == 0) return TheStock().defaultBitmap;  // as Win32: the stock 1x1 bitmap
  // Always a 32-bit colour image, even for a printer DC; Cairo zero-fills it,
  // so a fresh bitmap is black as on Win32.
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  auto* bm = new Bitmap;
  bm->surface = s;
  return Register(bm);
}

HBITMAP CreateBitmapFromSurface(cairo_surface_t* surface) {
  GDI_LOCK;
  if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return nullptr;
  auto fmt = cairo_image_surface_get_format(surface);
  if (fmt != CAIRO_FORMAT_RGB24 && fmt != CAIRO_FORMAT_ARGB32) return nullptr;
  auto* bm = new Bitmap;
  bm->surface = cairo_surface_reference(surface);
  return Register(bm);
}

cairo_surface_t* BitmapSurface(HBITMAP bitmap) {
  GDI_LOCK;
  ObjInfo* info = Info(bitmap);
  if (!info || info->type != OBJ_BITMAP) return nullptr;
  return static_cast<Bitmap*>(static_cast<HGDIOBJ>(bitmap))->surface;
}

// ---- colours ----
DWORD GetSysColor(int index) {
  if (index < 0 || index >= 31) return 0;
  return kSysColors[index];
}

HBRUSH GetSysColorBrush(int index) {
  GDI_LOCK;
  if (index < 0 || index >= 31) return nullptr;
  Stock& s = TheStock();
  if (!s.sysBrushes[index]) s.sysBrushes[index] = MakeStockBrush(kSysColors[index], false);
  return s.sysBrushes[index];
}

// ---- extensions ----
void SetScreenLogPixels(int dpiX, int dpiY) {
  GDI_LOCK;
  if (dpiX > 0) g_screenDpiX = dpiX;
  if (dpiY > 0) g_screenDpiY = dpiY;
}

bool SaveBitmapPng(HBITMAP bitmap, const std::string& path) {
  GDI_LOCK;
  cairo_surface_t* s = BitmapSurface(bitmap);
  if (!s) return false;
  cairo_surface_flush(s);
  struct Sink {
    fileio::AtomicFile* file;
    std::optional<Error> failure;
  };
  auto write = [](void* closure, const unsigned char* data, unsigned int length) {
    auto* sink = static_cast<Sink*>(closure);
    try {
      sink->file->Write(data, length);
      return CAIRO_STATUS_SUCCESS;
    } catch (const Error& e) {
      sink->failure = e;
      return CAIRO_STATUS_WRITE_ERROR;
    }
  };
  try {
    fileio::AtomicFile file(path);
    Sink sink{&file, std::nullopt};
    const cairo_status_t status = cairo_surface_write_to_png_stream(s, write, &sink);
    if (sink.failure) throw *sink.failure;
    if (status != CAIRO_STATUS_SUCCESS) throw fileio::AccessError(path, cairo_status_to_string(status));
    file.Commit();
    return true;
  } catch (const Error& e) {
    fileio::NoteFailure(e);
    return false;
  }
}

namespace {

std::uint32_t PngCrc(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// Cairo writes no resolution: a pHYs chunk goes right after IHDR, where the
// format wants it (before the image data).
void InsertResolution(std::vector<std::uint8_t>& png, double dotsPerInch) {
  constexpr std::size_t kSignature = 8, kIhdrChunk = 4 + 4 + 13 + 4;
  constexpr double kMetresPerInch = 0.0254;
  constexpr std::uint8_t kUnitMetre = 1;
  if (png.size() < kSignature + kIhdrChunk) return;
  const auto perMetre = static_cast<std::uint32_t>(std::lround(dotsPerInch / kMetresPerInch));
  std::vector<std::uint8_t> chunk;
  PutBigEndian(chunk, 9);
  for (char c : {'p', 'H', 'Y', 's'}) chunk.push_back(static_cast<std::uint8_t>(c));
  PutBigEndian(chunk, perMetre);
  PutBigEndian(chunk, perMetre);
  chunk.push_back(kUnitMetre);
  PutBigEndian(chunk, PngCrc(chunk.data() + 4, chunk.size() - 4));
  png.insert(png.begin() + kSignature + kIhdrChunk, chunk.begin(), chunk.end());
}

}  // namespace

std::vector<std::uint8_t> EncodeBitmapPng(HBITMAP bitmap, double dotsPerInch) {
  GDI_LOCK;
  std::vector<std::uint8_t> out;
  cairo_surface_t* s = BitmapSurface(bitmap);
  if (!s) return out;
  cairo_surface_flush(s);
  auto append = [](void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
  };
  if (cairo_surface_write_to_png_stream(s, append, &out) != CAIRO_STATUS_SUCCESS) out.clear();
  constexpr double kMaxDotsPerInch = 1e6;  // far beyond any page, and pixels per metre stay 32-bit
  if (dotsPerInch > 0 && dotsPerInch < kMaxDotsPerInch) InsertResolution(out, dotsPerInch);
  return out;
}

GdiObjectCounts GdiLiveObjects() {
  GDI_LOCK;
  return Counts();
}

}  // namespace ktfolio::win
