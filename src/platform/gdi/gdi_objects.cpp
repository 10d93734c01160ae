// The handle table every GDI object lives in: registering, reference counts
// held by contexts and their saved states, stock objects, selecting an object
// into a context, deleting it, reading it back, and leak accounting. Each
// object kind is created in a file of its own (gdi_pen.cpp, gdi_brush.cpp,
// gdi_font.cpp, gdi_bitmap.cpp, gdi_dc.cpp).
#include <cstring>

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

GdiObjectCounts& Counts() {
  static GdiObjectCounts c;
  return c;
}

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

LOGFONT StockFace(const char* face, LONG height, LONG weight) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

}  // namespace

void RegisterObject(HGDIOBJ obj, ObjInfo& info, bool stock) {
  info.stock = stock;
  Objects()[obj] = &info;
  if (!stock) ++CountFor(info.type);
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

StockObjects::StockObjects() {
  objects[WHITE_BRUSH] = NewBrush(RGB(255, 255, 255), false, nullptr, true);
  objects[LTGRAY_BRUSH] = NewBrush(RGB(192, 192, 192), false, nullptr, true);
  objects[GRAY_BRUSH] = NewBrush(RGB(128, 128, 128), false, nullptr, true);
  objects[DKGRAY_BRUSH] = NewBrush(RGB(64, 64, 64), false, nullptr, true);
  objects[BLACK_BRUSH] = NewBrush(RGB(0, 0, 0), false, nullptr, true);
  objects[NULL_BRUSH] = NewBrush(0, true, nullptr, true);
  objects[WHITE_PEN] = NewPen(PS_SOLID, kStockPenWidth, RGB(255, 255, 255), true);
  objects[BLACK_PEN] = NewPen(PS_SOLID, kStockPenWidth, RGB(0, 0, 0), true);
  objects[NULL_PEN] = NewPen(PS_NULL, kStockPenWidth, 0, true);
  // Classic faces map onto the metric-compatible Liberation families.
  objects[OEM_FIXED_FONT] = NewFont(StockFace("Courier New", 12, FW_NORMAL), true);
  objects[ANSI_FIXED_FONT] = NewFont(StockFace("Courier New", 13, FW_NORMAL), true);
  objects[ANSI_VAR_FONT] = NewFont(StockFace("Arial", 13, FW_NORMAL), true);
  objects[SYSTEM_FONT] = NewFont(StockFace("Arial", 16, FW_BOLD), true);
  objects[14] = NewFont(StockFace("Arial", 16, FW_BOLD), true);         // DEVICE_DEFAULT_FONT
  objects[16] = NewFont(StockFace("Courier New", 16, FW_NORMAL), true);  // SYSTEM_FIXED_FONT
  objects[DEFAULT_GUI_FONT] = NewFont(StockFace("Arial", -11, FW_NORMAL), true);
  defaultBitmap = NewBitmap(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1), true);
}

StockObjects& TheStock() {
  static StockObjects* s = new StockObjects;  // never destroyed: handles may outlive static teardown
  return *s;
}

GdiObjectCounts& LiveCounts() { return Counts(); }

ObjInfo* Info(HGDIOBJ obj) {
  if (!obj) return nullptr;
  auto& m = Objects();
  auto it = m.find(obj);
  return it == m.end() ? nullptr : it->second;
}

Font* SelectedFont(DC* dc) {
  return dc->st.font ? dc->st.font : static_cast<Font*>(TheStock().objects[SYSTEM_FONT]);
}

}  // namespace gdi

using namespace gdi;

DWORD GetObjectType(HGDIOBJ obj) {
  GDI_LOCK;
  ObjInfo* info = Info(obj);
  return info ? info->type : 0;
}

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

GdiObjectCounts GdiLiveObjects() {
  GDI_LOCK;
  return Counts();
}

}  // namespace ktfolio::win
