// The picture loader: image files and bytes decoded by gdk-pixbuf within size
// limits, into bitmaps of the platform layer.
#include "platform/automation/picture.h"

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/automation/error.h"
#include "platform/fileio/fileio.h"
#include "platform/gdi/gdi_internal.h"

namespace ktfolio {

Picture::~Picture() {
  if (handle_) win::DeleteObject(handle_);
}

namespace {

// Takes the pixbuf's reference. The pixels go straight into the bitmap's
// surface (RGB24: one 32-bit xRGB word a pixel), composited over white, as a
// picture shows on paper.
std::unique_ptr<Picture> PictureFromPixbuf(GdkPixbuf* pb) {
  using namespace win;
  const int w = gdk_pixbuf_get_width(pb), h = gdk_pixbuf_get_height(pb);
  const int channels = gdk_pixbuf_get_n_channels(pb), stride = gdk_pixbuf_get_rowstride(pb);
  const bool alpha = gdk_pixbuf_get_has_alpha(pb);
  const guchar* px = gdk_pixbuf_read_pixels(pb);

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
  DeleteDC(dc);
  cairo_surface_t* surface = BitmapSurface(bmp);
  if (!surface || cairo_image_surface_get_width(surface) != w || cairo_image_surface_get_height(surface) != h) {
    if (bmp) DeleteObject(bmp);
    g_object_unref(pb);
    throw Error(ErrorCode::kOutOfMemory, kLibraryName, "Out of memory: a picture of " + std::to_string(w) + " x " +
                                                        std::to_string(h) + " pixels");
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int outStride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < h; ++y) {
    const guchar* row = px + static_cast<size_t>(y) * stride;
    auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * outStride);
    for (int x = 0; x < w; ++x) {
      const guchar* p = row + x * channels;
      unsigned r = p[0], g = p[1], b = p[2];
      if (alpha) {
        const unsigned a = p[3];
        r = (r * a + 255 * (255 - a)) / 255;
        g = (g * a + 255 * (255 - a)) / 255;
        b = (b * a + 255 * (255 - a)) / 255;
      }
      out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  cairo_surface_mark_dirty(surface);
  g_object_unref(pb);
  return std::make_unique<Picture>(bmp);
}

struct SizeCheck {
  int width = 0, height = 0;
  bool tooLarge = false;
};

// Told the picture's size from its header, before any pixel is decoded.
void OnSizePrepared(GdkPixbufLoader*, int width, int height, gpointer data) {
  auto* check = static_cast<SizeCheck*>(data);
  check->width = width;
  check->height = height;
  const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(width, 0)) * std::max(height, 0);
  check->tooLarge = pixels > kMaxPicturePixels || pixels * 4 > kMaxPictureBytes;
}

Error InvalidPicture(const std::string& what, const std::string& why) {
  return Error(ErrorCode::kInvalidPicture, kLibraryName, "Invalid picture: " + what + why);
}

// Feeds the loader in small pieces, so a picture refused by its header stops
// at the first piece instead of being decoded whole (a piece of a well
// compressed picture can hold megabytes of pixels).
std::unique_ptr<Picture> DecodePicture(const guchar* data, std::size_t size, const std::string& what) {
  constexpr std::size_t kPiece = 4 * 1024;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  SizeCheck check;
  g_signal_connect(loader, "size-prepared", G_CALLBACK(OnSizePrepared), &check);
  GError* err = nullptr;
  bool ok = size > 0;
  for (std::size_t at = 0; ok && at < size && !check.tooLarge; at += kPiece)
    ok = gdk_pixbuf_loader_write(loader, data + at, std::min(kPiece, size - at), &err);
  g_clear_error(&err);
  ok = gdk_pixbuf_loader_close(loader, &err) && ok;  // a refused picture ends here, half read
  g_clear_error(&err);
  GdkPixbuf* pb = ok && !check.tooLarge ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pb) g_object_ref(pb);
  g_object_unref(loader);
  if (check.tooLarge)
    throw InvalidPicture(what, " is " + std::to_string(check.width) + " x " + std::to_string(check.height) +
                                   " pixels, above the limit of 50 megapixels and 256 MB decoded");
  if (!pb) throw InvalidPicture(what, size == 0 ? " is empty" : " is not a picture this loader knows");
  return PictureFromPixbuf(pb);
}

}  // namespace

std::unique_ptr<Picture> LoadPicture(const std::string& path) {
  const std::string bytes = fileio::ReadRegularFile(path, kMaxPictureBytes, "picture");
  return DecodePicture(reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), "'" + path + "'");
}

std::unique_ptr<Picture> LoadPictureBytes(const std::vector<std::uint8_t>& bytes) {
  return DecodePicture(bytes.data(), bytes.size(), "the picture");
}

std::vector<std::uint8_t> PictureBytes(const Picture& picture) { return win::EncodeBitmapPng(picture.Handle()); }

std::string ApplicationPath() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::filesystem::current_path().string();
  buf[n] = 0;
  return std::filesystem::path(buf).parent_path().string();
}

}  // namespace ktfolio
