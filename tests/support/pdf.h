// Reading back the PDFs a test made, through the poppler tools: a field of
// pdfinfo's report, a page's text, and a page rasterised in grey with where
// its ink lies.
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "platform/gdi/gdi.h"

namespace ktfolio::testing {

// The standard output of a shell command; empty when it cannot run.
inline std::string CommandOutput(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 4096> buf;
  while (std::size_t n = fread(buf.data(), 1, buf.size(), pipe.get())) out.append(buf.data(), n);
  return out;
}

// One field of pdfinfo's report ("Pages", "Title", "Page size"), without its label.
inline std::string PdfField(const std::string& pdf, const std::string& name) {
  return CommandOutput("pdfinfo '" + pdf + "' 2>/dev/null | sed -n 's/^" + name + ": *//p' | tr -d '\\n'");
}

inline std::string PdfText(const std::string& pdf, int page) {
  const std::string p = std::to_string(page);
  return CommandOutput("pdftotext -f " + p + " -l " + p + " '" + pdf + "' - 2>/dev/null");
}

// One page rasterised in grey (a binary PGM from pdftoppm), one byte a pixel; empty when unreadable.
struct GreyPage {
  int width = 0, height = 0;
  std::string pixels;
  int At(int x, int y) const { return static_cast<unsigned char>(pixels[std::size_t(y) * width + x]); }
  // The box (empty when none) and count of the pixels in r (all when r is empty) darker than `below`.
  std::pair<win::RECT, int> Ink(win::RECT r = {}, int below = 128) const {
    if (r.right <= r.left) r = {0, 0, width, height};
    win::RECT box{r.right, r.bottom, r.left, r.top};
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (At(x, y) < below && ++n)
          box = {std::min<win::LONG>(box.left, x), std::min<win::LONG>(box.top, y),
                 std::max<win::LONG>(box.right, x + 1), std::max<win::LONG>(box.bottom, y + 1)};
    return {box, n};
  }
};
inline GreyPage RasterisePdf(const std::string& pdf, int dpi, int page = 1) {
  const std::string p = std::to_string(page), options = " -gray -f " + p + " -l " + p + " '";
  std::istringstream in(CommandOutput("pdftoppm -r " + std::to_string(dpi) + options + pdf + "' 2>/dev/null"));
  GreyPage g;
  std::string magic;
  int maxval = 0;
  if (!(in >> magic >> g.width >> g.height >> maxval) || magic != "P5") return GreyPage{};
  in.get();  // the one whitespace after the header
  g.pixels.resize(std::size_t(g.width) * g.height);
  return in.read(g.pixels.data(), static_cast<std::streamsize>(g.pixels.size())) ? g : GreyPage{};
}

}  // namespace ktfolio::testing
