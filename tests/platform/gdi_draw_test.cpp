// Pens, shapes, fills, pixels and block transfers, checked pixel by pixel:
// borders and grid lines of the document must land on exact pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/gdi/gdi.h"
#include "support/canvas.h"
#include "support/golden.h"

using namespace ktfolio::win;
using ktfolio::testing::Canvas;
using ktfolio::testing::Edges;

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255), BLACK = RGB(0, 0, 0), RED = RGB(255, 0, 0), BLUE = RGB(0, 0, 255);
constexpr int kCell = 20;  // pitch of the golden grid

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

void Fill(HDC dc, RECT r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

std::string Repeat(const std::string& unit, std::size_t n) {
  std::string s;
  while (s.size() < n) s += unit;
  return s.substr(0, n);
}

}  // namespace

// One small drawing per cell, each at its own viewport origin: one-pixel lines
// in four directions, a wide line under a moved origin, opaque dots, the
// rectangle with pen and brush, with the null pen and with the hollow brush, an
// inside-frame pen, a polygon, FillRect and a stretched copy.
TEST(GdiShapes, LinesRectanglesPolygonsAndFillsLandOnExactPixels) {
  struct Case { const char* name; void (*draw)(Canvas&); };
  const Case cases[] = {
      {"lines", [](Canvas& s) {
         s.UsePen(PS_SOLID, 1, BLACK);
         Line(s.dc, 2, 3, 8, 3); Line(s.dc, 8, 6, 2, 6); Line(s.dc, 10, 1, 10, 5); Line(s.dc, 0, 7, 4, 11);
         POINT pos;
         MoveToEx(s.dc, 0, 0, &pos);
         EXPECT_EQ(std::make_pair(pos.x, pos.y), (std::make_pair<LONG, LONG>(4, 11))) << "LineTo moves the current position to its end";
       }},
      {"width 3 under an origin", [](Canvas& s) {
         s.UsePen(PS_SOLID, 3, RED);
         POINT org;
         GetViewportOrgEx(s.dc, &org);
         SetViewportOrgEx(s.dc, org.x + 5, org.y + 5, nullptr);
         Line(s.dc, 2, 5, 10, 5);
       }},
      {"opaque dots", [](Canvas& s) {
         SetBkMode(s.dc, OPAQUE); SetBkColor(s.dc, BLUE); s.UsePen(PS_DOT, 1, BLACK); Line(s.dc, 0, 1, 12, 1);
       }},
      {"pen and brush", [](Canvas& s) {
         s.UsePen(PS_SOLID, 1, BLACK); s.UseBrush(CreateSolidBrush(RED)); Rectangle(s.dc, 2, 2, 8, 7);
       }},
      {"null pen", [](Canvas& s) {
         s.UseBrush(CreateSolidBrush(RED)); SelectObject(s.dc, GetStockObject(NULL_PEN)); Rectangle(s.dc, 2, 2, 8, 7);
       }},
      {"hollow brush", [](Canvas& s) {
         s.UsePen(PS_SOLID, 1, BLUE); SelectObject(s.dc, GetStockObject(NULL_BRUSH)); Rectangle(s.dc, 1, 1, 5, 5);
       }},
      {"inside frame", [](Canvas& s) {
         s.UsePen(PS_INSIDEFRAME, 3, BLACK); SelectObject(s.dc, GetStockObject(NULL_BRUSH));
         Rectangle(s.dc, 4, 4, 14, 14);
       }},
      {"polygon", [](Canvas& s) {
         s.UsePen(PS_SOLID, 1, BLACK); s.UseBrush(CreateSolidBrush(RED));
         POINT tri[3] = {{2, 2}, {17, 2}, {2, 17}};
         EXPECT_TRUE(Polygon(s.dc, tri, 3));
       }},
      {"fill", [](Canvas& s) { Fill(s.dc, RECT{2, 3, 6, 5}, RED); }},
      {"stretch and mirror", [](Canvas& s) {
         Canvas src(2, 2);
         SetPixel(src.dc, 0, 0, RED); SetPixel(src.dc, 1, 0, BLUE); SetPixel(src.dc, 0, 1, BLACK);
         EXPECT_TRUE(StretchBlt(s.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
         EXPECT_TRUE(StretchBlt(s.dc, 12, 6, -4, 2, src.dc, 0, 0, 2, 1, SRCCOPY));
       }},
  };
  constexpr int kColumns = 5;
  Canvas s(kColumns * kCell, 2 * kCell);
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    SCOPED_TRACE(cases[i].name);
    const int saved = SaveDC(s.dc);
    SetViewportOrgEx(s.dc, i % kColumns * kCell, i / kColumns * kCell, nullptr);
    cases[i].draw(s);
    s.Release();
    RestoreDC(s.dc, saved);
  }
  EXPECT_TRUE(ktfolio::testing::MatchesGolden(s.bitmap, "platform/shapes.png"));
  EXPECT_EQ(s.Row(3, 0, 10, BLACK), "..######..") << "a line leaves out its last pixel";
  EXPECT_EQ(s.Row(6, 0, 12, BLACK), "...######...") << "drawn right to left, the start pixel is in";
  EXPECT_EQ(s.Count(RED, RECT{60, 0, 80, 20}), 4 * 3) << "the brush fills inside the outline";
  EXPECT_EQ(s.Count(RED, RECT{80, 0, 100, 20}), 5 * 4) << "without a pen, one pixel short right and bottom";
  EXPECT_EQ(s.Col(29, kCell, 2 * kCell, BLACK), "....###....###......") << "an inside-frame pen stays inside";
}

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
    Line(s.dc, 2, 4, 2 + kLength, 4);
    EXPECT_EQ(s.Row(4, 2, 2 + kLength, RED), c.pattern);
    if (c.width <= 1) EXPECT_EQ(GetPixel(s.dc, 2 + kLength, 4), WHITE) << "the last pixel is left out";
    const std::string column = s.Col(10, 0, 9, RED);
    EXPECT_EQ(std::count(column.begin(), column.end(), '#'), c.style == PS_NULL ? 0 : std::max(1, c.width)) << column;
    s.Release();
  }
}

TEST(GdiFill, SystemColoursAndTheirBrushes) {
  Canvas s(10, 10);
  RECT rc{2, 3, 6, 5};
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  EXPECT_TRUE(FillRect(s.dc, &rc, GetSysColorBrush(COLOR_BTNFACE)));
  EXPECT_EQ(GetPixel(s.dc, 2, 3), RGB(212, 208, 200));
  FillRect(s.dc, &rc, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1)));  // (HBRUSH)(index + 1)
  EXPECT_EQ(GetPixel(s.dc, 5, 4), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(GdiPixels, SetAndGetPixelHonourOriginBoundsAndClip) {
  Canvas s(10, 10);
  EXPECT_EQ(SetPixel(s.dc, 3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
  SetViewportOrgEx(s.dc, 2, 2, nullptr);
  EXPECT_EQ(GetPixel(s.dc, 1, 2), RGB(1, 2, 3));
  SetViewportOrgEx(s.dc, 0, 0, nullptr);
  IntersectClipRect(s.dc, 0, 0, 5, 5);
  constexpr COLORREF kInvalid = 0xFFFFFFFFu;
  EXPECT_EQ(GetPixel(s.dc, 10, 0), kInvalid);
  EXPECT_EQ(GetPixel(s.dc, -1, 0), kInvalid);
  EXPECT_EQ(SetPixel(s.dc, 7, 7, BLACK), kInvalid);
  EXPECT_EQ(GetPixel(s.dc, 7, 7), kInvalid);
  EXPECT_EQ(SetPixel(s.dc, 4, 4, BLACK), BLACK) << "the clip's last pixel is in";
  EXPECT_EQ(SetPixel(s.dc, 5, 2, BLACK), kInvalid) << "its right edge is out";
  EXPECT_EQ(GetPixel(s.dc, 2, 5), kInvalid) << "and its bottom edge";
}

TEST(GdiClip, ClipBoxAndDrawingFollowIntersectClipRect) {
  Canvas s(20, 20);
  RECT box;
  EXPECT_EQ(GetClipBox(s.dc, &box), SIMPLEREGION);
  EXPECT_EQ(Edges(box), Edges({0, 0, 20, 20}));
  SetViewportOrgEx(s.dc, 3, 0, nullptr);
  EXPECT_EQ(IntersectClipRect(s.dc, 2, 2, 8, 8), SIMPLEREGION);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(Edges(box), Edges({2, 2, 8, 8}));
  SetViewportOrgEx(s.dc, 0, 0, nullptr);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(Edges(box), Edges({5, 2, 11, 8})) << "the clip stays where it was set in device space";
  Fill(s.dc, RECT{0, 0, 20, 20}, RED);
  EXPECT_EQ(s.Count(RED), 36);
  EXPECT_EQ(IntersectClipRect(s.dc, 15, 15, 18, 18), NULLREGION);
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
  EXPECT_EQ(Edges(box), Edges({8, 5, 15, 10})) << "nested clips intersect";
  RestoreDC(s.dc, -1);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(Edges(box), Edges({5, 5, 15, 15}));
  RestoreDC(s.dc, outer);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(Edges(box), Edges({2, 2, 18, 18}));
  Fill(s.dc, RECT{0, 0, 20, 20}, RED);
  EXPECT_EQ(s.Count(RED), 16 * 16) << "drawing agrees with the box";
  EXPECT_EQ(SelectClipRgn(s.dc, nullptr), SIMPLEREGION);
  Fill(s.dc, RECT{0, 0, 20, 20}, RED);
  EXPECT_EQ(s.Count(RED), 400);
  GetClipBox(s.dc, &box);
  EXPECT_EQ(box.right, 20);
}

TEST(GdiBlit, RasterOperationsCombineSourceAndDestination) {
  constexpr COLORREF kSrc = RGB(0xF0, 0x0F, 0x33), kDst = RGB(0x3C, 0xFF, 0x00);
  Canvas src(8, 8, kSrc), dst(8, 8, kDst);
  SetPixel(src.dc, 2, 3, RGB(9, 9, 9));
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.Row(1, 0, 3, kSrc), "##.");
  SetViewportOrgEx(dst.dc, 1, 1, nullptr);  // offsets on both sides, with the destination's origin
  BitBlt(dst.dc, 4, 4, 1, 1, src.dc, 2, 3, SRCCOPY);
  SetViewportOrgEx(dst.dc, 0, 0, nullptr);
  EXPECT_EQ(GetPixel(dst.dc, 5, 5), RGB(9, 9, 9));
  struct Case { DWORD rop; COLORREF out; };
  const Case cases[] = {{SRCAND, RGB(0x30, 0x0F, 0x00)}, {SRCPAINT, RGB(0xFC, 0xFF, 0x33)},
                        {SRCINVERT, RGB(0xCC, 0xF0, 0x33)}, {BLACKNESS, BLACK}};
  for (int x = 0; x < 4; ++x) {
    BitBlt(dst.dc, x, 4, 1, 1, cases[x].rop == BLACKNESS ? nullptr : src.dc, 0, 0, cases[x].rop);
    EXPECT_EQ(GetPixel(dst.dc, x, 4), cases[x].out) << std::hex << cases[x].rop;
  }
  IntersectClipRect(dst.dc, 0, 6, 1, 8);
  BitBlt(dst.dc, 0, 6, 8, 2, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.Row(7, 0, 3, kSrc), "#..") << "the destination clip limits the copy";
  Canvas s(10, 1);  // a copy within one bitmap, overlapping
  for (int x = 0; x < 10; ++x) SetPixel(s.dc, x, 0, RGB(x, 0, 0));
  BitBlt(s.dc, 2, 0, 6, 1, s.dc, 0, 0, SRCCOPY);
  for (int x = 2; x < 8; ++x) EXPECT_EQ(GetRValue(GetPixel(s.dc, x, 0)), x - 2) << x;
}

TEST(GdiBitmap, SavesAsPng) {
  Canvas s(7, 5, RED);
  std::string path = ::testing::TempDir() + "gdi_save_test.png";
  ASSERT_TRUE(SaveBitmapPng(s.bitmap, path));
  std::ifstream in(path, std::ios::binary);
  char head[24] = {};  // signature, then length, "IHDR", width, height (big-endian)
  in.read(head, sizeof head);
  EXPECT_EQ(std::string(head + 1, 3), "PNG");
  EXPECT_EQ(head[19], 7);
  EXPECT_EQ(head[23], 5);
  std::remove(path.c_str());
  EXPECT_FALSE(SaveBitmapPng(nullptr, path));
}
