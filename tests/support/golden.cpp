// Golden-image comparison: loads both pictures through Cairo's PNG reader,
// counts differing pixels and, on failure, leaves files a person can look at.
#include "support/golden.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/gdi/gdi_scoped.h"

namespace ktfolio::testing {
namespace {

namespace fs = std::filesystem;
using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

SurfacePtr Own(cairo_surface_t* s) { return SurfacePtr(s, &cairo_surface_destroy); }

// How far a matching pixel's colour is faded toward white in the diff picture.
constexpr int kFadePercent = 75;

std::uint32_t* Row(cairo_surface_t* s, int y) {
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) +
                                          static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(s));
}

// True when every channel of a and b is within `tolerance`; `faded` gets a's pale copy.
bool Close(std::uint32_t a, std::uint32_t b, int tolerance, std::uint32_t& faded) {
  bool close = true;
  faded = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    close = close && std::abs(ca - cb) <= tolerance;
    faded |= static_cast<std::uint32_t>(255 - (255 - ca) * (100 - kFadePercent) / 100) << shift;
  }
  return close;
}

// An opaque RGB24 copy, so PNGs with or without alpha compare alike.
SurfacePtr Opaque(cairo_surface_t* src) {
  SurfacePtr out = Own(cairo_image_surface_create(CAIRO_FORMAT_RGB24, cairo_image_surface_get_width(src),
                                                  cairo_image_surface_get_height(src)));
  cairo_t* cr = cairo_create(out.get());
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_surface(cr, src, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(out.get());
  return out;
}

::testing::AssertionResult Compare(cairo_surface_t* actual, const std::string& relPath, int tolerance,
                                   int maxDiffPixels) {
  const fs::path golden = fs::path(GOLDEN_DIR) / relPath;
  if (const char* v = std::getenv("KTFOLIO_UPDATE_GOLDEN"); v && std::string(v) == "1") {
    fs::create_directories(golden.parent_path());
    if (cairo_surface_write_to_png(actual, golden.c_str()) != CAIRO_STATUS_SUCCESS)
      return ::testing::AssertionFailure() << "could not write golden " << golden;
    return ::testing::AssertionSuccess() << "golden rewritten: " << golden;
  }
  const fs::path rel(relPath);
  const std::string stem = ::testing::TempDir() + (rel.has_parent_path() ? rel.parent_path().string() + "_" : "") +
                           rel.stem().string();
  const std::string outPng = stem + ".out.png", diffPng = stem + ".diff.png";
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
  // Differences in red over a faded copy of the rendering.
  SurfacePtr diff = Own(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  int count = 0, left = w, top = h, right = -1, bottom = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (Close(Row(actual, y)[x], Row(expected.get(), y)[x], tolerance, Row(diff.get(), y)[x])) continue;
      Row(diff.get(), y)[x] = 0xFF0000u;
      ++count;
      left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = std::max(bottom, y);
    }
  cairo_surface_mark_dirty(diff.get());
  if (count <= maxDiffPixels) return ::testing::AssertionSuccess();
  cairo_surface_write_to_png(actual, outPng.c_str());
  cairo_surface_write_to_png(diff.get(), diffPng.c_str());
  return ::testing::AssertionFailure() << count << " pixels differ from " << golden << " (tolerance " << tolerance
                                       << ", allowed " << maxDiffPixels << "), within x " << left << ".." << right
                                       << ", y " << top << ".." << bottom << "\n  rendering: " << outPng
                                       << "\n  diff:      " << diffPng;
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
  const int lines = win::GetDIBits(win::MemoryDC(nullptr), bmp, 0, info.bmHeight, bits.data(), dib.get(),
                                   win::DIB_RGB_COLORS);
  if (lines != info.bmHeight) return ::testing::AssertionFailure() << "GetDIBits copied " << lines << " lines";
  for (int y = 0; y < info.bmHeight; ++y)
    std::memcpy(Row(s.get(), y), bits.data() + static_cast<std::size_t>(y) * info.bmWidth, info.bmWidth * 4);
  cairo_surface_mark_dirty(s.get());
  return Compare(s.get(), relPath, tolerance, maxDiffPixels);
}

win::HBITMAP SolidBitmap(int width, int height, win::COLORREF color) {
  using namespace win;
  const OwnedDC dc = MemoryDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
  const SelectedObject selected(dc, bmp);
  const RECT all{0, 0, width, height};
  FillRect(dc, &all, OwnedBrush(CreateSolidBrush(color)));
  return bmp;
}

}  // namespace ktfolio::testing
