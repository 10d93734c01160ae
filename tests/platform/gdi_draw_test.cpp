// Pens, shapes, fills, pixels and block transfers, checked pixel by pixel:
// borders and grid lines of the document must land on exact pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/gdi/gdi.h"
#include "support/canvas.h"

using namespace ktfolio::win;

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);

using ktfolio::testing::Canvas;

}  // namespace

TEST(GdiLines, OnePixelLinesLeaveOutTheirLastPixel) {
  Canvas s(12, 12);
  s.UsePen(PS_SOLID, 1, BLACK);
  MoveToEx(s.dc, 2, 3, nullptr);
  LineTo(s.dc, 8, 3);
  EXPECT_EQ(s.Row(3, 0, 12, BLACK), "..######....");
  EXPECT_EQ(s.Row(2, 0, 12, BLACK), "............");
  EXPECT_EQ(s.Row(4, 0, 12, BLACK), "............");
  // Right to left: the start pixel is in, the end pixel out.
  MoveToEx(s.dc, 8, 6, nullptr);
  LineTo(s.dc, 2, 6);
  EXPECT_EQ(s.Row(6, 0, 12, BLACK), "...######...");
  MoveToEx(s.dc, 10, 1, nullptr);
  LineTo(s.dc, 10, 5);
  EXPECT_EQ(s.Col(10, 0, 12, BLACK), ".####.......");
  // A diagonal steps one pixel per row and stops before its end.
  MoveToEx(s.dc, 0, 7, nullptr);
  LineTo(s.dc, 4, 11);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(GetPixel(s.dc, i, 7 + i), BLACK) << i;
  EXPECT_EQ(GetPixel(s.dc, 4, 11), WHITE);
  EXPECT_EQ(GetPixel(s.dc, 1, 7), WHITE);
  // LineTo moves the current position; consecutive segments join.
  POINT pos;
  MoveToEx(s.dc, 0, 0, &pos);
  EXPECT_EQ(pos.x, 4);
  EXPECT_EQ(pos.y, 11);
  s.Release();
}

TEST(GdiLines, ViewportOriginAndWidthApply) {
  Canvas s(20, 20);
  s.UsePen(PS_SOLID, 3, RED);
  SetViewportOrgEx(s.dc, 5, 5, nullptr);
  MoveToEx(s.dc, 2, 5, nullptr);
  LineTo(s.dc, 10, 5);
  SetViewportOrgEx(s.dc, 0, 0, nullptr);
  EXPECT_EQ(s.Col(10, 0, 20, RED), ".........###........");  // centred on device row 10
  s.Release();
}

// Every style's pattern is in EveryPenStyleAlongALine; in OPAQUE mode the
// gaps take the background colour.
TEST(GdiLines, OpaqueGapsTakeTheBackgroundColour) {
  Canvas s(12, 3);
  SetBkMode(s.dc, OPAQUE);
  SetBkColor(s.dc, BLUE);
  s.UsePen(PS_DOT, 1, BLACK);
  MoveToEx(s.dc, 0, 1, nullptr);
  LineTo(s.dc, 12, 1);
  EXPECT_EQ(s.Row(1, 0, 12, BLACK), "###...###...");
  EXPECT_EQ(s.Row(1, 0, 12, BLUE), "...###...###");
}

TEST(GdiShapes, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  Canvas s(12, 12);
  s.UsePen(PS_SOLID, 1, BLACK);
  s.UseBrush(CreateSolidBrush(RED));
  Rectangle(s.dc, 2, 2, 8, 7);
  EXPECT_EQ(s.Row(2, 0, 12, BLACK), "..######....");
  EXPECT_EQ(s.Row(6, 0, 12, BLACK), "..######....");
  EXPECT_EQ(s.Row(4, 0, 12, BLACK), "..#....#....");
  EXPECT_EQ(s.Row(4, 0, 12, RED), "...####.....");
  EXPECT_EQ(s.Row(7, 0, 12, WHITE), "############");
  EXPECT_EQ(s.Count(RED), 4 * 3);
  // NULL pen: the fill alone, one pixel short on the right and bottom.
  RECT all{0, 0, 12, 12};
  FillRect(s.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DeleteObject(SelectObject(s.dc, GetStockObject(NULL_PEN)));
  Rectangle(s.dc, 2, 2, 8, 7);
  EXPECT_EQ(s.Count(RED), 5 * 4);
  EXPECT_EQ(s.Row(2, 0, 12, RED), "..#####.....");
  // Hollow brush: outline only.
  FillRect(s.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  s.UsePen(PS_SOLID, 1, BLUE);
  DeleteObject(SelectObject(s.dc, GetStockObject(NULL_BRUSH)));
  Rectangle(s.dc, 1, 1, 5, 5);
  EXPECT_EQ(s.Count(BLUE), 12);
  EXPECT_EQ(s.Count(WHITE), 144 - 12);
  s.Release();
}

TEST(GdiShapes, InsideFramePenStaysWithinTheRectangle) {
  Canvas s(20, 20);
  s.UsePen(PS_INSIDEFRAME, 3, BLACK);
  SelectObject(s.dc, GetStockObject(NULL_BRUSH));
  Rectangle(s.dc, 4, 4, 14, 14);
  EXPECT_EQ(s.Row(9, 0, 20, BLACK), "....###....###......");
  EXPECT_EQ(s.Col(9, 0, 20, BLACK), "....###....###......");
  s.Release();
}

TEST(GdiShapes, PolygonFillsItsInterior) {
  Canvas s(20, 20);
  s.UsePen(PS_SOLID, 1, BLACK);
  s.UseBrush(CreateSolidBrush(RED));
  POINT tri[3] = {{2, 2}, {17, 2}, {2, 17}};
  ASSERT_TRUE(Polygon(s.dc, tri, 3));
  EXPECT_EQ(GetPixel(s.dc, 2, 2), BLACK);
  EXPECT_EQ(GetPixel(s.dc, 4, 4), RED);
  EXPECT_EQ(GetPixel(s.dc, 15, 15), WHITE);
  EXPECT_EQ(GetPixel(s.dc, 10, 2), BLACK);
  EXPECT_GT(s.Count(RED), 60);
  s.Release();
}

TEST(GdiFill, FillRectCoversExactlyTheRectangle) {
  Canvas s(10, 10);
  HBRUSH red = CreateSolidBrush(RED);
  RECT rc{2, 3, 6, 5};
  EXPECT_TRUE(FillRect(s.dc, &rc, red));
  EXPECT_EQ(s.Count(RED), 8);
  EXPECT_EQ(s.Row(3, 0, 10, RED), "..####....");
  EXPECT_EQ(s.Col(2, 0, 10, RED), "...##.....");
  DeleteObject(red);
  // System colour brushes, also as Win32's (HBRUSH)(index + 1).
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  FillRect(s.dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(s.dc, 2, 3), RGB(212, 208, 200));
  FillRect(s.dc, &rc, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1)));
  EXPECT_EQ(GetPixel(s.dc, 5, 4), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(GdiPixels, SetAndGetPixelHonourOriginBoundsAndClip) {
  Canvas s(10, 10);
  EXPECT_EQ(SetPixel(s.dc, 3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(s.dc, 3, 4), RGB(1, 2, 3));
  SetViewportOrgEx(s.dc, 2, 2, nullptr);
  EXPECT_EQ(GetPixel(s.dc, 1, 2), RGB(1, 2, 3));
  SetViewportOrgEx(s.dc, 0, 0, nullptr);
  EXPECT_EQ(GetPixel(s.dc, 10, 0), 0xFFFFFFFFu);
  EXPECT_EQ(GetPixel(s.dc, -1, 0), 0xFFFFFFFFu);
  IntersectClipRect(s.dc, 0, 0, 5, 5);
  EXPECT_EQ(SetPixel(s.dc, 7, 7, BLACK), 0xFFFFFFFFu);
  EXPECT_EQ(GetPixel(s.dc, 7, 7), 0xFFFFFFFFu);
  EXPECT_EQ(SetPixel(s.dc, 4, 4, BLACK), BLACK) << "the clip's last pixel is in";
  EXPECT_EQ(SetPixel(s.dc, 5, 2, BLACK), 0xFFFFFFFFu) << "its right edge is out";
  EXPECT_EQ(GetPixel(s.dc, 2, 5), 0xFFFFFFFFu) << "and its bottom edge";
}

TEST(GdiClip, ClipBoxAndDrawingFollowIntersectClipRect) {
  Canvas s(20, 20);
  RECT box;
  EXPECT_EQ(GetClipBox(s.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 20);
  SetViewportOrgEx(s.dc, 3, 0, nullptr);
  EXPECT_EQ(IntersectClipRect(s.dc, 2, 2, 8, 8), SIMPLEREGION);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.right, 8);
  // The clip stays where it was set in device space when the origin moves.
  SetViewportOrgEx(s.dc, 0, 0, nullptr);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.right, 11);
  RECT all{0, 0, 20, 20};
  HBRUSH red = CreateSolidBrush(RED);
  FillRect(s.dc, &all, red);
  DeleteObject(red);
  EXPECT_EQ(s.Count(RED), 36);
  EXPECT_EQ(IntersectClipRect(s.dc, 15, 15, 18, 18), NULLREGION);
}

TEST(GdiBlit, RasterOperationsCombineSourceAndDestination) {
  Canvas src(8, 8, RGB(0xF0, 0x0F, 0x33));
  Canvas dst(8, 8, RGB(0x3C, 0xFF, 0x00));
  SetPixel(src.dc, 2, 3, RGB(9, 9, 9));
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(dst.dc, 1, 1), RGB(0xF0, 0x0F, 0x33));
  EXPECT_EQ(GetPixel(dst.dc, 2, 2), RGB(0x3C, 0xFF, 0x00));
  // Offsets on both sides, with the destination's viewport origin.
  SetViewportOrgEx(dst.dc, 1, 1, nullptr);
  BitBlt(dst.dc, 4, 4, 1, 1, src.dc, 2, 3, SRCCOPY);
  SetViewportOrgEx(dst.dc, 0, 0, nullptr);
  EXPECT_EQ(GetPixel(dst.dc, 5, 5), RGB(9, 9, 9));
  BitBlt(dst.dc, 0, 4, 1, 1, src.dc, 0, 0, SRCAND);
  EXPECT_EQ(GetPixel(dst.dc, 0, 4), RGB(0x30, 0x0F, 0x00));
  BitBlt(dst.dc, 1, 4, 1, 1, src.dc, 0, 0, SRCPAINT);
  EXPECT_EQ(GetPixel(dst.dc, 1, 4), RGB(0xFC, 0xFF, 0x33));
  BitBlt(dst.dc, 2, 4, 1, 1, src.dc, 0, 0, SRCINVERT);
  EXPECT_EQ(GetPixel(dst.dc, 2, 4), RGB(0xCC, 0xF0, 0x33));
  BitBlt(dst.dc, 3, 4, 1, 1, nullptr, 0, 0, BLACKNESS);
  EXPECT_EQ(GetPixel(dst.dc, 3, 4), BLACK);
  // The destination clip limits the copy.
  IntersectClipRect(dst.dc, 0, 6, 1, 8);
  BitBlt(dst.dc, 0, 6, 8, 2, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(dst.dc, 0, 7), RGB(0xF0, 0x0F, 0x33));
}

TEST(GdiBlit, CopyWithinOneBitmapOverlapping) {
  Canvas s(10, 1);
  for (int x = 0; x < 10; ++x) SetPixel(s.dc, x, 0, RGB(x, 0, 0));
  BitBlt(s.dc, 2, 0, 6, 1, s.dc, 0, 0, SRCCOPY);
  for (int x = 2; x < 8; ++x) EXPECT_EQ(GetRValue(GetPixel(s.dc, x, 0)), x - 2) << x;
}

TEST(GdiBitmap, SavesAsPng) {
  Canvas s(7, 5, RED);
  std::string path = ::testing::TempDir() + "gdi_save_test.png";
  ASSERT_TRUE(SaveBitmapPng(s.bitmap, path));
  std::ifstream in(path, std::ios::binary);
  char sig[8] = {};
  in.read(sig, 8);
  EXPECT_EQ(std::string(sig + 1, 3), "PNG");
  char ihdr[16];
  in.read(ihdr, 16);  // length, "IHDR", width, height (big-endian)
  EXPECT_EQ(static_cast<unsigned char>(ihdr[11]), 7);
  EXPECT_EQ(static_cast<unsigned char>(ihdr[15]), 5);
  std::remove(path.c_str());
  EXPECT_FALSE(SaveBitmapPng(nullptr, path));
}

TEST(GdiBlit, StretchReplicatesPixelsAndMirrorsOnNegativeSizes) {
  Canvas src(2, 2);
  SetPixel(src.dc, 0, 0, RED);
  SetPixel(src.dc, 1, 0, BLUE);
  SetPixel(src.dc, 0, 1, BLACK);
  Canvas dst(8, 4);
  ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(dst.Row(0, 0, 8, RED), "##......");
  EXPECT_EQ(dst.Row(1, 0, 8, BLUE), "..##....");
  EXPECT_EQ(dst.Row(3, 0, 8, BLACK), "##......");
  EXPECT_EQ(dst.Row(3, 0, 8, WHITE), "..######");
  // A negative destination width flips left and right.
  ASSERT_TRUE(StretchBlt(dst.dc, 8, 0, -4, 2, src.dc, 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(dst.Row(0, 4, 8, BLUE), "##..");
  EXPECT_EQ(dst.Row(1, 4, 8, RED), "..##");
}

namespace {
std::string Repeat(const std::string& unit, std::size_t n) {
  std::string s;
  while (s.size() < n) s += unit;
  return s.substr(0, n);
}
}  // namespace

TEST(GdiLines, EveryPenStyleAlongALine) {
  constexpr int kLength = 48;
  struct Case { const char* name; int style; int width; std::string pattern; };
  const Case cases[] = {
      {"solid", PS_SOLID, 1, std::string(kLength, '#')},
      {"width 0 is one pixel", PS_SOLID, 0, std::string(kLength, '#')},
      {"dash 18/6", PS_DASH, 1, Repeat(std::string(18, '#') + std::string(6, '.'), kLength)},
      {"dot 3/3", PS_DOT, 1, Repeat("###...", kLength)},
      {"dash-dot 9/6/3/6", PS_DASHDOT, 1, Repeat("#########......###......", kLength)},
      {"dash-dot-dot 9/3/3/3/3/3", PS_DASHDOTDOT, 1, Repeat("#########...###...###...", kLength)},
      {"alternate", PS_ALTERNATE, 1, Repeat("#.", kLength)},
      {"null", PS_NULL, 1, std::string(kLength, '.')},
      {"inside frame on a line is solid", PS_INSIDEFRAME, 1, std::string(kLength, '#')},
      {"user style without a style array is solid", PS_USERSTYLE, 1, std::string(kLength, '#')},
      {"wide dashes draw solid", PS_DASH, 3, std::string(kLength, '#')},
      {"wide dots draw solid", PS_DOT, 2, std::string(kLength, '#')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas s(kLength + 4, 9);
    SetBkMode(s.dc, TRANSPARENT);
    s.UsePen(c.style, c.width, RED);
    MoveToEx(s.dc, 2, 4, nullptr);
    LineTo(s.dc, 2 + kLength, 4);
    EXPECT_EQ(s.Row(4, 2, 2 + kLength, RED), c.pattern);
    if (c.width <= 1) EXPECT_EQ(GetPixel(s.dc, 2 + kLength, 4), WHITE) << "the last pixel is left out";
    const std::string column = s.Col(10, 0, 9, RED);
    const int thickness = static_cast<int>(std::count(column.begin(), column.end(), '#'));
    EXPECT_EQ(thickness, c.style == PS_NULL ? 0 : std::max(1, c.width)) << column;
    s.Release();
  }
}

TEST(GdiClip, SaveAndRestoreBringBackTheClipExactly) {
  Canvas s(20, 20);
  RECT box;
  IntersectClipRect(s.dc, 2, 2, 18, 18);
  const int outer = SaveDC(s.dc);
  IntersectClipRect(s.dc, 5, 5, 15, 15);
  SaveDC(s.dc);
  IntersectClipRect(s.dc, 8, 0, 20, 10);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(box.left, 8);
  EXPECT_EQ(box.bottom, 10) << "nested clips intersect";
  RestoreDC(s.dc, -1);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.bottom, 15);
  RestoreDC(s.dc, outer);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.right, 18);
  // Drawing agrees with the box, and SelectClipRgn(nullptr) removes the clip.
  RECT all{0, 0, 20, 20};
  HBRUSH red = CreateSolidBrush(RED);
  FillRect(s.dc, &all, red);
  EXPECT_EQ(SelectClipRgn(s.dc, nullptr), SIMPLEREGION);
  EXPECT_EQ(s.Count(RED), 16 * 16);
  FillRect(s.dc, &all, red);
  EXPECT_EQ(s.Count(RED), 400);
  DeleteObject(red);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(box.right, 20);
}
