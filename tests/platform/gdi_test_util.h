// Helpers shared by the gdi drawing tests: the test canvas, a font, and a way
// to run the PDF tools on a printed file.
#pragma once

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"
#include "support/canvas.h"

namespace gdi_test {

using namespace ktfolio::win;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

using ktfolio::testing::Canvas;

inline OwnedFont Font(const char* face, LONG height, LONG weight = FW_NORMAL, bool underline = false) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfUnderline = underline;
  std::strcpy(lf.lfFaceName, face);
  return OwnedFont(CreateFontIndirect(&lf));
}

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
