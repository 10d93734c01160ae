// Device-independent bits and pattern brushes: packing at every depth, row
// order and alignment, the fixed palettes, stretching and mirroring.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

std::size_t Stride(int width, int bits) { return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4; }

// A header for a DIB of the given shape; the colour table follows it.
std::unique_ptr<BITMAPINFO> Info(int width, int height, int bits) {
  auto info = std::make_unique<BITMAPINFO>();
  info->bmiHeader.biWidth = width;
  info->bmiHeader.biHeight = height;
  info->bmiHeader.biBitCount = static_cast<WORD>(bits);
  return info;
}

// Fills the canvas with a picture where every pixel differs from its neighbours.
void Paint(Canvas& c) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) SetPixel(c.dc, x, y, RGB(x * 37 % 256, y * 53 % 256, (x * y * 11 + 7) % 256));
}

struct Dib { std::unique_ptr<BITMAPINFO> info; std::vector<BYTE> bits; };

Dib Read(const Canvas& c, int bits, bool topDown = false) {
  Dib d{Info(c.w, topDown ? -c.h : c.h, bits), std::vector<BYTE>(Stride(c.w, bits) * c.h, 0xCD)};
  EXPECT_EQ(GetDIBits(c.dc, c.bitmap, 0, c.h, d.bits.data(), d.info.get(), DIB_RGB_COLORS), c.h);
  return d;
}

// The DIB drawn back, unstretched, onto a white canvas of its size.
std::unique_ptr<Canvas> Back(const Dib& d, int w, int h) {
  auto back = std::make_unique<Canvas>(w, h);
  EXPECT_EQ(StretchDIBits(back->dc, 0, 0, w, h, 0, 0, w, h, d.bits.data(), d.info.get(), DIB_RGB_COLORS, SRCCOPY), h);
  return back;
}

// Width, height, depth and image size of a DIB header.
auto Header(const BITMAPINFO& i) {
  return std::tuple(i.bmiHeader.biWidth, i.bmiHeader.biHeight, int{i.bmiHeader.biBitCount}, i.bmiHeader.biSizeImage);
}

}  // namespace

TEST(GdiDib, TrueColourRoundTripsExactly) {
  Canvas src(13, 7);  // an odd width, so 24-bit rows need padding
  Paint(src);
  struct Case { const char* name; int bits; bool topDown; };
  const Case cases[] = {{"24 bottom-up", 24, false}, {"24 top-down", 24, true}, {"32 bottom-up", 32, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto dst = Back(Read(src, c.bits, c.topDown), 13, 7);
    int differing = 0;
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) differing += dst->At(x, y) != src.At(x, y);
    EXPECT_EQ(differing, 0);
  }
}

TEST(GdiDib, RowsAreBottomUpDwordAlignedBgr) {
  Canvas c(3, 2);
  SetPixel(c.dc, 0, 0, kRed);   // top row
  SetPixel(c.dc, 2, 1, kBlue);  // bottom row, last pixel
  Dib d = Read(c, 24);
  ASSERT_EQ(Stride(3, 24), 12u) << "9 bytes of pixels, padded to 12";
  EXPECT_EQ(d.info->bmiHeader.biSizeImage, 24u);
  // Blue byte first, red third; the bottom row comes first.
  const std::vector<BYTE> bottom(d.bits.begin() + 6, d.bits.begin() + 9), top(d.bits.begin() + 12, d.bits.begin() + 15);
  EXPECT_EQ(bottom, (std::vector<BYTE>{255, 0, 0}));
  EXPECT_EQ(top, (std::vector<BYTE>{0, 0, 255}));
  // Reading from scan line 1 (counted from the bottom) gets the top row alone.
  std::vector<BYTE> one(12, 0xCD);
  auto info = Info(3, 2, 24);
  EXPECT_EQ(GetDIBits(c.dc, c.bitmap, 1, 5, one.data(), info.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(one[2], 255);
}

TEST(GdiDib, HeaderOnlyQueriesDescribeTheBitmap) {
  Canvas c(5, 4);
  auto info = Info(0, 0, 0);
  info->bmiHeader.biWidth = -7;  // sentinels the call must overwrite
  ASSERT_NE(GetDIBits(c.dc, c.bitmap, 0, 0, nullptr, info.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(Header(*info), std::make_tuple(5, 4, 32, 5u * 4 * 4));
  auto mono = Info(5, 4, 1);
  ASSERT_NE(GetDIBits(c.dc, c.bitmap, 0, 0, nullptr, mono.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(mono->bmiHeader.biSizeImage, 4u * 4) << "5 bits round up to one DWORD per row";
  auto bad = Info(5, 4, 12);
  EXPECT_EQ(GetDIBits(c.dc, c.bitmap, 0, 4, nullptr, bad.get(), DIB_RGB_COLORS), 0) << "no 12-bit format";
  EXPECT_EQ(GetDIBits(c.dc, nullptr, 0, 4, nullptr, mono.get(), DIB_RGB_COLORS), 0);
}

TEST(GdiDib, OneBitMapsToBlackAndWhite) {
  Canvas c(10, 1);
  const COLORREF colours[10] = {kBlack, RGB(40, 40, 40), kRed, kWhite, RGB(200, 200, 200),
                                kBlue,  kGreen,          kWhite, RGB(90, 90, 90), RGB(240, 250, 230)};
  for (int x = 0; x < 10; ++x) SetPixel(c.dc, x, 0, colours[x]);
  Dib d = Read(c, 1);
  EXPECT_EQ(d.info->bmiColors[0].rgbRed, 0);
  EXPECT_EQ(d.info->bmiColors[1].rgbGreen, 255);
  // Leftmost pixel in the high bit; pure blue and green are nearer black.
  EXPECT_EQ(d.bits[0], 0b00011001);
  EXPECT_EQ(d.bits[1] & 0xC0, 0b01000000);
  EXPECT_EQ(Back(d, 10, 1)->Row(0, 0, 10, kBlack), "###..##.#.") << "and back: only black and white";
  EXPECT_EQ(Back(d, 10, 1)->Count(kWhite), 4);
}

TEST(GdiDib, PaletteDepthsPickTheNearestEntry) {
  struct Case { const char* name; int bits; COLORREF in; COLORREF out; int index; };
  const Case cases[] = {
      {"4-bit pure red", 4, kRed, kRed, 9},
      {"4-bit near silver", 4, RGB(190, 195, 188), RGB(192, 192, 192), 7},
      {"4-bit dark teal", 4, RGB(0, 120, 130), RGB(0, 128, 128), 6},
      {"8-bit cube entry", 8, RGB(51, 102, 153), RGB(51, 102, 153), -1},
      {"8-bit near cube", 8, RGB(50, 100, 155), RGB(51, 102, 153), -1},
      {"8-bit grey between cube levels", 8, RGB(30, 30, 30), RGB(30, 30, 30), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(2, 1, c.in);
    Dib d = Read(canvas, c.bits);
    const int index = c.bits == 4 ? d.bits[0] >> 4 : d.bits[0];
    if (c.index >= 0) EXPECT_EQ(index, c.index);
    const RGBQUAD& q = d.info->bmiColors[index];
    EXPECT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), c.out);
    EXPECT_EQ(Back(d, 2, 1)->At(1, 0), c.out) << "both pixels of the byte decode alike";
  }
}

TEST(GdiDib, SixteenBitsAreFiveFiveFive) {
  Canvas c(2, 1);
  SetPixel(c.dc, 0, 0, kRed);
  SetPixel(c.dc, 1, 0, RGB(8, 16, 248));
  Dib d = Read(c, 16);
  EXPECT_EQ(d.bits[0] | (d.bits[1] << 8), 0x7C00);
  EXPECT_EQ(d.bits[2] | (d.bits[3] << 8), (1 << 10) | (2 << 5) | 31);
  const auto back = Back(d, 2, 1);
  EXPECT_EQ(back->At(0, 0), kRed);
  EXPECT_EQ(back->At(1, 0), RGB(8, 16, 255)) << "five bits widen by repeating the top bits";
}

TEST(GdiDib, StretchReplicatesMirrorsAndClips) {
  // A 2x2 DIB, bottom-up: the first row in memory is the bottom of the picture.
  auto info = Info(2, 2, 32);
  const std::uint32_t px[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000};  // bottom: blue green; top: red black
  Canvas c(8, 8);
  ASSERT_EQ(StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, 2, 2, px, info.get(), DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(c.Row(0, 0, 8, kRed), "##......");
  EXPECT_EQ(c.Row(3, 0, 8, kGreen), "..##....");
  EXPECT_EQ(c.Row(3, 0, 8, kBlue), "##......");
  // A negative destination width mirrors left and right.
  StretchDIBits(c.dc, 8, 0, -4, 4, 0, 0, 2, 2, px, info.get(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(c.Row(0, 4, 8, kRed), "..##");
  // ySrc of a bottom-up DIB counts from its bottom row: (0, 1) is the top-left pixel.
  c.Clear();
  StretchDIBits(c.dc, 0, 0, 1, 1, 0, 1, 1, 1, px, info.get(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(c.At(0, 0), kRed);
  // The clip holds.
  c.Clear();
  IntersectClipRect(c.dc, 0, 0, 3, 8);
  StretchDIBits(c.dc, 0, 4, 8, 4, 0, 0, 2, 2, px, info.get(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(SelectClipRgn(c.dc, nullptr), SIMPLEREGION);
  EXPECT_EQ(c.Row(7, 0, 8, kWhite), "...#####");
  EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 2, 2, 0, 0, 2, 2, px, info.get(), DIB_RGB_COLORS, SRCPAINT), 0)
      << "only SRCCOPY";
}

TEST(GdiPatternBrush, TilesFromTheDeviceOriginInEveryFill) {
  const int before = GdiLiveObjects().total();
  Canvas tile(2, 2);
  SetPixel(tile.dc, 0, 0, kRed);
  SetPixel(tile.dc, 1, 1, kRed);
  HBRUSH brush = CreatePatternBrush(tile.bitmap);
  ASSERT_NE(brush, nullptr);
  Canvas c(12, 12);
  RECT rc{1, 1, 7, 3};
  FillRect(c.dc, &rc, brush);
  EXPECT_EQ(c.Row(1, 0, 8, kRed), ".#.#.#..") << "red where x + y is even, from the device origin";
  EXPECT_EQ(c.Row(2, 0, 8, kRed), "..#.#.#.");
  // Moving the viewport does not move the tiles.
  c.Clear();
  SetViewportOrgEx(c.dc, 1, 0, nullptr);
  FillRect(c.dc, &rc, brush);
  SetViewportOrgEx(c.dc, 0, 0, nullptr);
  EXPECT_EQ(c.Row(1, 0, 9, kRed), "...#.#.#.");
  // Shapes and pattern copies use it too.
  c.Clear();
  HGDIOBJ oldBrush = SelectObject(c.dc, brush);
  HGDIOBJ oldPen = SelectObject(c.dc, GetStockObject(NULL_PEN));
  Rectangle(c.dc, 0, 4, 5, 7);
  EXPECT_EQ(c.Row(4, 0, 6, kRed), "#.#...");
  BitBlt(c.dc, 6, 4, 4, 1, nullptr, 0, 0, PATCOPY);
  EXPECT_EQ(c.Row(4, 6, 10, kRed), "#.#.");
  POINT tri[3] = {{0, 8}, {8, 8}, {0, 12}};
  Polygon(c.dc, tri, 3);
  EXPECT_EQ(c.Row(8, 0, 6, kRed), "#.#.#.");
  SelectObject(c.dc, oldPen);
  SelectObject(c.dc, oldBrush);
  DeleteObject(brush);
  EXPECT_EQ(GdiLiveObjects().total(), before + 4) << "only the two canvases (DC and bitmap each) remain";
}

TEST(GdiPatternBrush, KeepsItsOwnCopyOfTheBitmap) {
  auto tile = std::make_unique<Canvas>(8, 8, kBlue);
  HBRUSH brush = CreatePatternBrush(tile->bitmap);
  tile->Clear(kGreen);  // later changes to the bitmap do not reach the brush
  tile.reset();
  Canvas c(16, 16);
  RECT all{0, 0, 16, 16};
  FillRect(c.dc, &all, brush);
  EXPECT_EQ(c.Count(kBlue), 256);
  DeleteObject(brush);
  EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);
}
