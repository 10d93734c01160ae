// Shared by the rendering tests: a small document page whose cells land on
// known pixels, pixel probes over a rendered page, and running commands that
// read PDFs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "control/ktprint4_impl.h"
#include "render/render_impl.h"
#include "render/render_internal.h"
#include "support/canvas.h"
#include "support/errors.h"
#include "support/pdf.h"

namespace ktfolio::testing {

using namespace win;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGuideGrey = RGB(0xC0, 0xC0, 0xC0);

// 15 twips are one pixel on the 96-dpi screen at zoom 100.
constexpr float kTwipsPerPixel = 15;
constexpr float Px(float pixels) { return pixels * kTwipsPerPixel; }

// A page of `w` x `h` pixels at zoom 100 with no margins, cells of one row
// filling it from the top-left corner. Cells start with no indents, no
// borders, top-left alignment and no wrap, so each test states what it uses.
inline void SmallPage(KtPrint4Impl& c, int w, int h) {
  c.ScaleMode(eTwip);
  c.PageSize(s_USER);
  c.PaperWidth(Px(static_cast<float>(w)));
  c.PaperLength(Px(static_cast<float>(h)));
  using Length = void (Document::*)(float);
  for (Length zero : {Length{&Document::Marginleft}, Length{&Document::MarginRight}, Length{&Document::MarginTop},
                      Length{&Document::MarginBottom}, Length{&Document::MarginHeader}, Length{&Document::MarginFooter},
                      Length{&Document::dRowIndentTop}, Length{&Document::dRowIndentBottom},
                      Length{&Document::dColIndentLeft}, Length{&Document::dColIndentRight}})
    (c.*zero)(0);
  c.dColAlignPos(ppLeftTop);
  c.dColWordWrap(false);
  c.dInheritLastRow(false);
}

// A rendered page surface (as the preview shows it), copied onto a test
// canvas whose pixels can be read.
class RenderedPage : public Canvas {
 public:
  RenderedPage(KtPrint4Impl& c, std::int16_t page = 1, double zoom = 100, bool shadow = true)
      : RenderedPage(OwnedBitmap(render::RenderPageSurface(c, page, zoom, shadow))) {}

  // Bounding box of the pixels of `color` inside `area`; right <= left when there are none.
  RECT InkOf(RECT area, COLORREF color) const {
    return BoxOf(area, [&](int x, int y) { return At(x, y) == color; });
  }

 private:
  explicit RenderedPage(OwnedBitmap surface) : Canvas(SizeOf(surface).cx, SizeOf(surface).cy) {
    const OwnedDC from = MemoryDC(nullptr);
    const SelectedObject selected(from, surface);
    BitBlt(dc, 0, 0, w, h, from, 0, 0, SRCCOPY);
  }
  static SIZE SizeOf(HBITMAP surface) {
    BITMAP info{};
    return surface && GetObject(surface, sizeof info, &info) ? SIZE{info.bmWidth, info.bmHeight}
                                                             : SIZE{};
  }
};

// Runs a command and returns its standard output.
inline std::string Run(const std::string& command) { return CommandOutput(command); }

// A fresh folder under the test's temporary directory, of this process alone:
// suites of two checkouts may run at once on one machine.
inline std::string TempDir(const std::string& name) {
  const std::string dir = ::testing::TempDir() + "ktfolio_render_" + std::to_string(getpid()) + "_" + name;
  std::string cmd = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
  if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "cannot make " << dir;
  return dir;
}

}  // namespace ktfolio::testing
