#include "platform/automation/picture.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <unistd.h>

#include <filesystem>

#include "platform/automation/error.h"

namespace ktfolio {

Picture::~Picture() {
  if (handle_) win::DeleteObject(handle_);
}

namespace {

// Takes the pixbuf's reference.
std::unique_ptr<Picture> PictureFromPixbuf(GdkPixbuf* pb) {
  using namespace win;
  const int w = gdk_pixbuf_get_width(pb), h = gdk_pixbuf_get_height(pb);
  const int channels = gdk_pixbuf_get_n_channels(pb), stride = gdk_pixbuf_get_rowstride(pb);
  const bool alpha = gdk_pixbuf_get_has_alpha(pb);
  const guchar* px = gdk_pixbuf_read_pixels(pb);

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(dc, bmp);
  for (int y = 0; y < h; ++y) {
    const guchar* row = px + static_cast<size_t>(y) * stride;
    for (int x = 0; x < w; ++x) {
      const guchar* p = row + x * channels;
      BYTE r = p[0], g = p[1], b = p[2];
      if (alpha) {  // composite over white, as a picture shows on paper
        const unsigned a = p[3];
        r = static_cast<BYTE>((r * a + 255 * (255 - a)) / 255);
        g = static_cast<BYTE>((g * a + 255 * (255 - a)) / 255);
        b = static_cast<BYTE>((b * a + 255 * (255 - a)) / 255);
      }
      SetPixel(dc, x, y, RGB(r, g, b));
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  g_object_unref(pb);
  return std::make_unique<Picture>(bmp);
}

}  // namespace

std::unique_ptr<Picture> LoadPicture(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) throw Error(errnum::kFileNotFound, kLibraryName, "File not found");
  GError* err = nullptr;
  GdkPixbuf* pb = gdk_pixbuf_new_from_file(path.c_str(), &err);
  if (!pb) {
    if (err) g_error_free(err);
    throw Error(481, kLibraryName, "Invalid picture");
  }
  return PictureFromPixbuf(pb);
}

std::unique_ptr<Picture> LoadPictureBytes(const std::vector<std::uint8_t>& bytes) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  GError* err = nullptr;
  bool ok = !bytes.empty() && gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), &err);
  if (err) g_clear_error(&err);
  ok = gdk_pixbuf_loader_close(loader, &err) && ok;
  if (err) g_clear_error(&err);
  GdkPixbuf* pb = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (pb) g_object_ref(pb);
  g_object_unref(loader);
  if (!pb) throw Error(481, kLibraryName, "Invalid picture");
  return PictureFromPixbuf(pb);
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
