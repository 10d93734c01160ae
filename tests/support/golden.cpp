// Golden-image comparison: loads both pictures through Cairo's PNG reader,
// counts differing pixels and, on failure, leaves files a person can look at.
#include "support/golden.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <cstring>
#include <vector>


namespace ktfolio::testing {
namespace {

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

SurfacePtr Own(cairo_surface_t* s) { return SurfacePtr(s, &cairo_surface_destroy); }

// How far a differing pixel's colour is faded toward white in the diff picture.
constexpr int kFadePercent = 75;

bool UpdateRequested() {
  const char* v = std::getenv("KTFOLIO_UPDATE_GOLDEN");
  return v && std::string(v) == "1";
}

std::uint32_t Pixel(cairo_surface_t* s, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(s) + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(s);
  return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFFu;
}

bool Close(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

// An opaque RGB24 copy, so PNGs with or without alpha compare alike.
SurfacePtr Opaque(cairo_surface_t* src) {
  const int w = cairo_image_surface_get_width(src), h = cairo_image_surface_get_height(src);
  SurfacePtr out = Own(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  cairo_t* cr = cairo_create(out.get());
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_surface(cr, src, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(out.get());
  return out;
}

std::string Stem(const std::string& relPath) {
  std::filesystem::path p(relPath);
  return (p.parent_path().string().empty() ? "" : p.parent_path().string() + "_") + p.stem().string();
}

::testing::AssertionResult Compare(cairo_surface_t* actual, const std::string& relPath, int tolerance,
                                   int maxDiffPixels) {
  const std::filesystem::path golden = std::filesystem::path(GOLDEN_DIR) / relPath;
  if (UpdateRequested()) {
    std::filesystem::create_directories(golden.parent_path());
    if (cairo_surface_write_to_png(actual, golden.c_str()) != CAIRO_STATUS_SUCCESS)
      return ::testing::AssertionFailure() << "could not write golden " << golden;
    return ::testing::AssertionSuccess() << "golden rewritten: " << golden;
  }
  const std::string outDir = ::testing::TempDir();
  const std::string outPng = outDir + Stem(relPath) + ".out.png";
  const std::string diffPng = outDir + Stem(relPath) + ".diff.png";
  SurfacePtr loaded = Own(cairo_image_surface_create_from_png(golden.c_str()));
  if (cairo_surface_status(loaded.get()) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_write_to_png(actual, outPng.c_str());
    return ::testing::AssertionFailure() << "golden " << golden << " is missing or unreadable; rendering written to "
                                         << outPng << " (KTFOLIO_UPDATE_GOLDEN=1 creates it)";
  }
  SurfacePtr expected = Opaque(loaded.get());
  const int w = cairo_image_surface_get_width(actual), h = cairo_image_surface_get_height(actual);
  const int gw = cairo_image_surface_get_width(expected.get()), gh = cairo_image_surface_get_height(expected.get());
  if (w != gw || h != gh) {
    cairo_surface_write_to_png(actual, outPng.c_str());
    return ::testing::AssertionFailure() << "size " << w << "x" << h << " differs from golden " << gw << "x" << gh
                                         << " (" << golden << "); rendering written to " << outPng;
  }
  SurfacePtr diff = Own(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  unsigned char* diffData = cairo_image_surface_get_data(diff.get());
  const int diffStride = cairo_image_surface_get_stride(diff.get());
  int count = 0, left = w, top = h, right = -1, bottom = -1;
  for (int y = 0; y < h; ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(diffData + static_cast<std::ptrdiff_t>(y) * diffStride);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t a = Pixel(actual, x, y), e = Pixel(expected.get(), x, y);
      if (Close(a, e, tolerance)) {
        std::uint32_t faded = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          int c = (a >> shift) & 0xFF;
          faded |= static_cast<std::uint32_t>(255 - (255 - c) * (100 - kFadePercent) / 100) << shift;
        }
        out[x] = faded;
        continue;
      }
      out[x] = 0xFF0000u;
      ++count;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  }
  cairo_surface_mark_dirty(diff.get());
  if (count <= maxDiffPixels) return ::testing::AssertionSuccess();
  cairo_surface_write_to_png(actual, outPng.c_str());
  cairo_surface_write_to_png(diff.get(), diffPng.c_str());
  std::ostringstream msg;
  msg << count << " pixels differ from " << golden << " (tolerance " << tolerance << ", allowed " << maxDiffPixels
      << "), within x " << left << ".." << right << ", y " << top << ".." << bottom << "\n  rendering: " << outPng
      << "\n  diff:      " << diffPng;
  return ::testing::AssertionFailure() << msg.str();
}

}  // namespace

::testing::AssertionResult MatchesGolden(win::HBITMAP bmp, const std::string& relPath, int tolerance,
                                         int maxDiffPixels) {
  // Read the pixels through the public DIB call, as any host would.
  win::BITMAP info;
  if (win::GetObject(bmp, sizeof info, &info) != sizeof info) return ::testing::AssertionFailure() << "not a live bitmap";
  SurfacePtr s = Own(cairo_image_surface_create(CAIRO_FORMAT_RGB24, info.bmWidth, info.bmHeight));
  cairo_surface_flush(s.get());
  auto dib = std::make_unique<win::BITMAPINFO>();
  dib->bmiHeader.biWidth = info.bmWidth;
  dib->bmiHeader.biHeight = -info.bmHeight;  // top-down, like the Cairo surface
  dib->bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> bits(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  const int lines = win::GetDIBits(dc, bmp, 0, info.bmHeight, bits.data(), dib.get(), win::DIB_RGB_COLORS);
  win::DeleteDC(dc);
  if (lines != info.bmHeight) return ::testing::AssertionFailure() << "GetDIBits copied " << lines << " lines";
  unsigned char* data = cairo_image_surface_get_data(s.get());
  for (int y = 0; y < info.bmHeight; ++y)
    std::memcpy(data + static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(s.get()),
                bits.data() + static_cast<std::size_t>(y) * info.bmWidth, info.bmWidth * 4);
  cairo_surface_mark_dirty(s.get());
  return Compare(s.get(), relPath, tolerance, maxDiffPixels);
}

::testing::AssertionResult MatchesGoldenPng(const std::string& pngPath, const std::string& relPath, int tolerance,
                                            int maxDiffPixels) {
  SurfacePtr loaded = Own(cairo_image_surface_create_from_png(pngPath.c_str()));
  if (cairo_surface_status(loaded.get()) != CAIRO_STATUS_SUCCESS)
    return ::testing::AssertionFailure() << "cannot read " << pngPath;
  SurfacePtr opaque = Opaque(loaded.get());
  return Compare(opaque.get(), relPath, tolerance, maxDiffPixels);
}

win::HBITMAP SolidBitmap(int width, int height, win::COLORREF color) {
  using namespace win;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ old = SelectObject(dc, bmp);
  HBRUSH brush = CreateSolidBrush(color);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bmp;
}

}  // namespace ktfolio::testing
