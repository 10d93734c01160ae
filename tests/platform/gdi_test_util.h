// Helpers shared by the gdi drawing tests: a white memory canvas that cleans
// up after itself, and a way to run the PDF tools on a printed file.
#pragma once

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "platform/gdi/gdi.h"

namespace gdi_test {

using namespace ktfolio::win;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class Canvas {
 public:
  Canvas(int w, int h, COLORREF fill = kWhite) : w(w), h(h) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateCompatibleBitmap(dc, w, h);
    old_ = SelectObject(dc, bitmap);
    Clear(fill);
  }
  ~Canvas() {
    SelectObject(dc, old_);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void Clear(COLORREF fill = kWhite) {
    HBRUSH b = CreateSolidBrush(fill);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, b);
    DeleteObject(b);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
  // '#' where row y (or column x) over [a, b) has colour c, '.' elsewhere.
  std::string Row(int y, int a, int b, COLORREF c) const {
    std::string s;
    for (int x = a; x < b; ++x) s += At(x, y) == c ? '#' : '.';
    return s;
  }
  std::string Col(int x, int a, int b, COLORREF c) const {
    std::string s;
    for (int y = a; y < b; ++y) s += At(x, y) == c ? '#' : '.';
    return s;
  }
  int Count(COLORREF c, RECT r = {0, 0, -1, -1}) const {
    if (r.right < 0) r = RECT{0, 0, w, h};
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
    return n;
  }

  int w, h;
  HDC dc;
  HBITMAP bitmap;

 private:
  HGDIOBJ old_;
};

// Standard output of a shell command (the PDF tools), empty when it fails.
inline std::string Shell(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 4096> buf;
  while (std::size_t n = fread(buf.data(), 1, buf.size(), pipe.get())) out.append(buf.data(), n);
  return out;
}

// The first page of a PDF rasterised in grey at `dpi` (pdftoppm), row by row.
struct GreyPage {
  int width = 0, height = 0;
  std::string pixels;
  int At(int x, int y) const { return static_cast<unsigned char>(pixels[static_cast<std::size_t>(y) * width + x]); }
};
inline GreyPage RasterisePdf(const std::string& pdf, int dpi) {
  GreyPage page;
  const std::string root = pdf + ".raster";
  Shell("pdftoppm -r " + std::to_string(dpi) + " -gray -singlefile '" + pdf + "' '" + root + "'");
  std::ifstream in(root + ".pgm", std::ios::binary);
  std::string magic;
  int maxval = 0;
  if (!(in >> magic >> page.width >> page.height >> maxval) || magic != "P5") return GreyPage{};
  in.get();  // the single whitespace after the header
  page.pixels.resize(static_cast<std::size_t>(page.width) * page.height);
  in.read(page.pixels.data(), static_cast<std::streamsize>(page.pixels.size()));
  std::remove((root + ".pgm").c_str());
  return page;
}

}  // namespace gdi_test
