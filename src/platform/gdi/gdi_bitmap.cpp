// Bitmaps: the one place a bitmap object is made (stock, compatible, wrapping
// a surface), reaching a bitmap's pixels, and writing them as PNG.
#include <cmath>
#include <optional>

#include "platform/fileio/fileio.h"
#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {

Bitmap::~Bitmap() {
  if (surface) cairo_surface_destroy(surface);
}

Bitmap* NewBitmap(cairo_surface_t* surface, bool stock) {
  auto* bm = new Bitmap;
  bm->surface = surface;
  return Register(bm, stock);
}

}  // namespace gdi

using namespace gdi;

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
  return NewBitmap(s, false);
}

HBITMAP CreateBitmapFromSurface(cairo_surface_t* surface) {
  GDI_LOCK;
  if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return nullptr;
  auto fmt = cairo_image_surface_get_format(surface);
  if (fmt != CAIRO_FORMAT_RGB24 && fmt != CAIRO_FORMAT_ARGB32) return nullptr;
  return NewBitmap(cairo_surface_reference(surface), false);
}

cairo_surface_t* BitmapSurface(HBITMAP bitmap) {
  GDI_LOCK;
  ObjInfo* info = Info(bitmap);
  if (!info || info->type != OBJ_BITMAP) return nullptr;
  return static_cast<Bitmap*>(static_cast<HGDIOBJ>(bitmap))->surface;
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

}  // namespace ktfolio::win
