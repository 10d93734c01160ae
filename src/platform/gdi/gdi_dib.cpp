// Device-independent bitmaps: GetDIBits packs a bitmap into 1 to 32 bits per
// pixel, StretchDIBits unpacks such bits onto a context. Rows are DWORD-aligned
// and bottom-up unless biHeight is negative, as on Win32.
//
// Bitmaps here are always 32-bit, so GetDIBits at 8 bits or fewer reduces the
// colours to a fixed palette and writes that palette as the colour table:
//   1 bit   black, white;
//   4 bits  the 16 VGA colours in Windows' order;
//   8 bits  those 16, a 6x6x6 colour cube (0, 51, ... 255) and 24 even greys.
// Each pixel takes the nearest entry (Euclidean distance in RGB).
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

using Palette = std::vector<RGBQUAD>;

RGBQUAD Quad(int r, int g, int b) {
  return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
}

const Palette& VgaPalette() {
  static const Palette p = {Quad(0, 0, 0),       Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
                            Quad(0, 0, 128),     Quad(128, 0, 128), Quad(0, 128, 128), Quad(192, 192, 192),
                            Quad(128, 128, 128), Quad(255, 0, 0),   Quad(0, 255, 0),   Quad(255, 255, 0),
                            Quad(0, 0, 255),     Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
  return p;
}

constexpr int kCubeLevels = 6;
constexpr int kCubeStep = 51;
constexpr int kGreys = 24;

const Palette& FixedPalette(int bits) {
  static const Palette mono = {Quad(0, 0, 0), Quad(255, 255, 255)};
  static const Palette eight = [] {
    Palette p = VgaPalette();
    for (int r = 0; r < kCubeLevels; ++r)
      for (int g = 0; g < kCubeLevels; ++g)
        for (int b = 0; b < kCubeLevels; ++b) p.push_back(Quad(r * kCubeStep, g * kCubeStep, b * kCubeStep));
    for (int i = 1; i <= kGreys; ++i) {
      int v = i * 255 / (kGreys + 1);
      p.push_back(Quad(v, v, v));
    }
    return p;
  }();
  return bits == 1 ? mono : bits == 4 ? VgaPalette() : eight;
}

// Nearest palette entry, remembered per colour: pictures repeat their colours.
class Quantizer {
 public:
  explicit Quantizer(const Palette& p) : palette_(p) {}
  int Index(std::uint32_t rgb) {
    auto it = memo_.find(rgb);
    if (it != memo_.end()) return it->second;
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int best = 0, bestDist = 1 << 30;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      const RGBQUAD& q = palette_[i];
      int dr = r - q.rgbRed, dg = g - q.rgbGreen, db = b - q.rgbBlue;
      int d = dr * dr + dg * dg + db * db;
      if (d < bestDist) {
        bestDist = d;
        best = static_cast<int>(i);
      }
    }
    memo_.emplace(rgb, best);
    return best;
  }

 private:
  const Palette& palette_;
  std::unordered_map<std::uint32_t, int> memo_;
};

bool SupportedDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

std::size_t RowBytes(int width, int bits) { return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4; }

std::uint32_t* SurfaceRow(cairo_surface_t* s, int y) {
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) +
                                          static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(s));
}

void PackRow(const std::uint32_t* px, int width, int bits, BYTE* out, Quantizer* q) {
  for (int x = 0; x < width; ++x) {
    const std::uint32_t c = px[x] & 0xFFFFFFu;
    const BYTE r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    switch (bits) {
      case 32: out[4 * x] = b; out[4 * x + 1] = g; out[4 * x + 2] = r; out[4 * x + 3] = 0; break;
      case 24: out[3 * x] = b; out[3 * x + 1] = g; out[3 * x + 2] = r; break;
      case 16: {
        const unsigned w = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);  // 5-5-5, little-endian
        out[2 * x] = w & 0xFF;
        out[2 * x + 1] = (w >> 8) & 0xFF;
        break;
      }
      default: {  // palette indices, leftmost pixel in the high bits
        const int index = q->Index(c), perByte = 8 / bits, shift = 8 - bits * (x % perByte + 1);
        out[x / perByte] |= static_cast<BYTE>(index << shift);
      }
    }
  }
}

std::uint32_t Expand5(unsigned v) { return (v << 3) | (v >> 2); }

void UnpackRow(const BYTE* in, int width, int bits, const RGBQUAD* table, int tableSize, std::uint32_t* px) {
  for (int x = 0; x < width; ++x) {
    std::uint32_t r = 0, g = 0, b = 0;
    switch (bits) {
      case 32: b = in[4 * x]; g = in[4 * x + 1]; r = in[4 * x + 2]; break;
      case 24: b = in[3 * x]; g = in[3 * x + 1]; r = in[3 * x + 2]; break;
      case 16: {
        const unsigned w = in[2 * x] | (in[2 * x + 1] << 8);
        r = Expand5((w >> 10) & 31);
        g = Expand5((w >> 5) & 31);
        b = Expand5(w & 31);
        break;
      }
      default: {
        const int perByte = 8 / bits, shift = 8 - bits * (x % perByte + 1);
        const int index = (in[x / perByte] >> shift) & ((1 << bits) - 1);
        if (index < tableSize) {
          r = table[index].rgbRed;
          g = table[index].rgbGreen;
          b = table[index].rgbBlue;
        }
      }
    }
    px[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
  }
}

// The whole DIB as a top-down image surface; nullptr for a format we do not read.
cairo_surface_t* DecodeDib(const void* bits, const BITMAPINFO* info) {
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int width = h.biWidth, height = std::abs(h.biHeight), depth = h.biBitCount;
  if (width <= 0 || height == 0 || !SupportedDepth(depth) || h.biCompression != BI_RGB) return nullptr;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  cairo_surface_flush(s);
  const int tableSize = depth <= 8 ? static_cast<int>(h.biClrUsed ? std::min<DWORD>(h.biClrUsed, 1u << depth) : 1u << depth) : 0;
  const std::size_t stride = RowBytes(width, depth);
  const bool topDown = h.biHeight < 0;
  for (int scan = 0; scan < height; ++scan) {
    const BYTE* in = static_cast<const BYTE*>(bits) + scan * stride;
    UnpackRow(in, width, depth, info->bmiColors, tableSize, SurfaceRow(s, topDown ? scan : height - 1 - scan));
  }
  cairo_surface_mark_dirty(s);
  return s;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  GDI_LOCK;
  cairo_surface_t* s = BitmapSurface(bitmap);
  if (!s || !info || usage != DIB_RGB_COLORS || (hdc && !ToDC(hdc))) return 0;
  const int width = cairo_image_surface_get_width(s), height = cairo_image_surface_get_height(s);
  BITMAPINFOHEADER& h = info->bmiHeader;
  const bool topDown = h.biHeight < 0;
  if (h.biBitCount == 0) {
    if (bits) return 0;
    h.biBitCount = 32;  // header only: the bitmap's own format
  }
  const int depth = h.biBitCount;
  if (!SupportedDepth(depth) || h.biCompression != BI_RGB) return 0;
  const std::size_t stride = RowBytes(width, depth);
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = topDown ? -height : height;
  h.biPlanes = 1;
  h.biSizeImage = static_cast<DWORD>(stride * height);
  h.biClrUsed = 0;
  h.biClrImportant = 0;
  const Palette* palette = depth <= 8 ? &FixedPalette(depth) : nullptr;
  if (palette) std::copy(palette->begin(), palette->end(), info->bmiColors);
  if (!bits) return height;
  if (start >= static_cast<UINT>(height)) return 0;
  const int count = static_cast<int>(std::min<UINT>(lines, height - start));
  cairo_surface_flush(s);
  std::optional<Quantizer> q;
  if (palette) q.emplace(*palette);
  for (int i = 0; i < count; ++i) {
    const int scan = static_cast<int>(start) + i;
    BYTE* out = static_cast<BYTE*>(bits) + i * stride;
    std::memset(out, 0, stride);
    PackRow(SurfaceRow(s, topDown ? scan : height - 1 - scan), width, depth, out, q ? &*q : nullptr);
  }
  return count;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !bits || !info || usage != DIB_RGB_COLORS || rop != SRCCOPY || srcWidth == 0 || srcHeight == 0) return 0;
  cairo_surface_t* dib = DecodeDib(bits, info);
  if (!dib) return 0;
  // Within the coordinates' limit, so that no sum or size below overflows.
  xSrc = WithinCoordinates(xSrc), ySrc = WithinCoordinates(ySrc);
  srcWidth = WithinCoordinates(srcWidth), srcHeight = WithinCoordinates(srcHeight);
  xDest = WithinCoordinates(xDest), yDest = WithinCoordinates(yDest);
  destWidth = WithinCoordinates(destWidth), destHeight = WithinCoordinates(destHeight);
  const int dibHeight = std::abs(info->bmiHeader.biHeight);
  // The source rectangle in top-down rows; a bottom-up DIB counts ySrc from its last row.
  const int left = std::min(xSrc, xSrc + srcWidth);
  const int low = std::min(ySrc, ySrc + srcHeight), high = std::max(ySrc, ySrc + srcHeight);
  const int top = info->bmiHeader.biHeight < 0 ? low : dibHeight - high;
  AreaCopy area;
  CopyArea(dib, left, top, std::abs(srcWidth), std::abs(srcHeight), area);
  cairo_surface_destroy(dib);
  if (destWidth != 0 && destHeight != 0) PaintStretched(dc, {xDest, yDest, destWidth, destHeight}, area, srcWidth, srcHeight);
  return std::abs(srcHeight);
}

}  // namespace ktfolio::win
