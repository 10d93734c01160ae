// Pens, shapes, fills, pixels, block transfers, device-independent bits and
// pattern brushes, checked pixel by pixel: borders and grid lines of the
// document must land on exact pixels, pictures must keep every colour.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <cairo.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_scoped.h"
#include "support/canvas.h"
#include "support/golden.h"

using namespace ktfolio::win;
using ktfolio::testing::Canvas;
using ktfolio::testing::Edges;

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255), BLACK = RGB(0, 0, 0), RED = RGB(255, 0, 0), BLUE = RGB(0, 0, 255),
                   GREEN = RGB(0, 255, 0);
constexpr int kCell = 20;  // pitch of the golden grid

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

void Fill(HDC dc, RECT r, COLORREF c) { FillRect(dc, &r, OwnedBrush(CreateSolidBrush(c))); }

std::string Repeat(const std::string& unit, std::size_t n) {
  std::string s;
  while (s.size() < n) s += unit;
  return s.substr(0, n);
}

std::size_t Stride(int width, int bits) { return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4; }

// A header for a DIB of the given shape; the colour table follows it.
std::unique_ptr<BITMAPINFO> Info(int width, int height, int bits) {
  auto info = std::make_unique<BITMAPINFO>();
  info->bmiHeader = {.biWidth = width, .biHeight = height, .biBitCount = static_cast<WORD>(bits)};
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

// A 2x2 DIB, bottom-up: the first row in memory is the bottom of the picture
// (blue green), then the top (red black).
const std::uint32_t kDibPixels[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000};

}  // namespace

// One small drawing per cell, each at its own viewport origin: one-pixel lines
// in four directions (each leaving out its last pixel, so one drawn right to
// left has its start pixel in), a wide line under a moved origin, opaque dots,
// the rectangle with pen and brush (filled inside the outline), with the null
// pen (one pixel short right and bottom) and with the hollow brush, an
// inside-frame pen (staying inside), a polygon, FillRect, DIBs stretched,
// mirrored and clipped, a pattern brush in every kind of fill, and a stretched copy.
TEST(GdiShapes, LinesRectanglesPolygonsAndFillsLandOnExactPixels) {
  struct Case { const char* name; void (*draw)(Canvas&); };
  const Case cases[] = {
      {"lines", [](Canvas& s) {
         s.UsePen(PS_SOLID, 1, BLACK);
         Line(s.dc, 2, 3, 8, 3); Line(s.dc, 8, 6, 2, 6); Line(s.dc, 10, 1, 10, 5); Line(s.dc, 0, 7, 4, 11);
         POINT pos;
         MoveToEx(s.dc, 0, 0, &pos);
         EXPECT_EQ(std::pair(pos.x, pos.y), std::pair(LONG{4}, LONG{11})) << "LineTo moves the position";
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
      {"DIB stretched, mirrored, from its bottom row", [](Canvas& s) {
         auto info = Info(2, 2, 32);
         EXPECT_EQ(StretchDIBits(s.dc, 0, 0, 4, 4, 0, 0, 2, 2, kDibPixels, info.get(), DIB_RGB_COLORS, SRCCOPY), 2);
         StretchDIBits(s.dc, 8, 0, -4, 4, 0, 0, 2, 2, kDibPixels, info.get(), DIB_RGB_COLORS, SRCCOPY);
         StretchDIBits(s.dc, 0, 6, 1, 1, 0, 1, 1, 1, kDibPixels, info.get(), DIB_RGB_COLORS, SRCCOPY);  // red
         EXPECT_EQ(StretchDIBits(s.dc, 10, 10, 2, 2, 0, 0, 2, 2, kDibPixels, info.get(), DIB_RGB_COLORS, SRCPAINT), 0)
             << "only SRCCOPY";
       }},
      {"DIB under a clip", [](Canvas& s) {
         IntersectClipRect(s.dc, 0, 0, 3, 8);
         StretchDIBits(s.dc, 0, 4, 8, 4, 0, 0, 2, 2, kDibPixels, Info(2, 2, 32).get(), DIB_RGB_COLORS, SRCCOPY);
       }},
      {"pattern brush", [](Canvas& s) {  // tiles from the device origin in every fill, whatever the viewport
         Canvas tile(2, 2);
         SetPixel(tile.dc, 0, 0, RED);
         SetPixel(tile.dc, 1, 1, RED);
         s.UseBrush(CreatePatternBrush(tile.bitmap));
         SelectObject(s.dc, GetStockObject(NULL_PEN));
         const HBRUSH brush = static_cast<HBRUSH>(GetCurrentObject(s.dc, OBJ_BRUSH));
         RECT rc{1, 1, 7, 3}, moved{1, 4, 7, 6};
         FillRect(s.dc, &rc, brush);
         POINT org;
         GetViewportOrgEx(s.dc, &org);
         SetViewportOrgEx(s.dc, org.x + 1, org.y, nullptr);  // an odd shift: tiles that followed it would flip
         FillRect(s.dc, &moved, brush);
         SetViewportOrgEx(s.dc, org.x, org.y, nullptr);
         Rectangle(s.dc, 0, 8, 5, 11);
         BitBlt(s.dc, 6, 8, 4, 1, nullptr, 0, 0, PATCOPY);
         POINT tri[3] = {{0, 12}, {8, 12}, {0, 16}};
         Polygon(s.dc, tri, 3);
       }},
      {"stretch and mirror", [](Canvas& s) {
         Canvas src(2, 2);
         SetPixel(src.dc, 0, 0, RED); SetPixel(src.dc, 1, 0, BLUE); SetPixel(src.dc, 0, 1, BLACK);
         EXPECT_TRUE(StretchBlt(s.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
         EXPECT_TRUE(StretchBlt(s.dc, 12, 6, -4, 2, src.dc, 0, 0, 2, 1, SRCCOPY));
       }},
  };
  constexpr int kColumns = 5;
  const int before = GdiLiveObjects().total();
  Canvas s(kColumns * kCell, 3 * kCell);
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    SCOPED_TRACE(cases[i].name);
    const int saved = SaveDC(s.dc);
    SetViewportOrgEx(s.dc, i % kColumns * kCell, i / kColumns * kCell, nullptr);
    cases[i].draw(s);
    s.Release();
    RestoreDC(s.dc, saved);
  }
  EXPECT_EQ(GdiLiveObjects().total(), before + 2) << "only the canvas (its context and bitmap) remains";
  EXPECT_TRUE(ktfolio::testing::MatchesGolden(s.bitmap, "platform/shapes.png"));
}

// Rectangles and origins out at the ends of the 32-bit range are taken at the
// coordinates' limit: a fill as wide as the range covers the bitmap, a text
// in such a rectangle measures as anywhere else, and an origin that far puts
// nothing on it.
TEST(GdiShapes, RectanglesAndOriginsAtTheEndsOfTheRangeAreTakenAtTheLimit) {
  constexpr RECT kEverything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  Canvas s(30, 20);
  Fill(s.dc, kEverything, RED);
  EXPECT_EQ(s.Count(RED), 30 * 20) << "the fill covers the bitmap";
  RECT calc = kEverything;
  const int height = DrawText(s.dc, "Wide", -1, &calc, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  RECT small{0, 0, 100, 100};
  EXPECT_EQ(height, DrawText(s.dc, "Wide", -1, &small, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT));
  EXPECT_EQ(calc.right - calc.left, small.right - small.left);
  Line(s.dc, INT32_MIN, 5, INT32_MAX, 5);
  EXPECT_EQ(s.Row(5, 0, 30, BLACK), std::string(30, '#')) << "a line across the range crosses the bitmap";
  SetViewportOrgEx(s.dc, INT32_MAX, INT32_MAX, nullptr);
  POINT org{};
  GetViewportOrgEx(s.dc, &org);
  EXPECT_TRUE(org.x > 0 && org.x < INT32_MAX / 4 && org.y == org.x) << org.x;
  Fill(s.dc, RECT{INT32_MIN, INT32_MIN, 10, 10}, BLUE);
  EXPECT_EQ(s.Count(BLUE), 0) << "shifted far off the bitmap";
}

// A block transfer's source area is black where it lies off its surface, and
// only what lies on the surface is copied: an area of a billion pixels costs
// what the surface costs, not gigabytes.
TEST(GdiShapes, SourceAreasPastTheirSurfaceAreBlackThereAndCostOnlyTheSurface) {
  Canvas src(2, 2);
  SetPixel(src.dc, 0, 0, RED), SetPixel(src.dc, 1, 0, BLUE), SetPixel(src.dc, 0, 1, GREEN);
  Canvas s(8, 8);
  // The 4 x 4 area from (-2, -2), doubled: its first two rows and columns are off the bitmap.
  EXPECT_TRUE(StretchBlt(s.dc, 0, 0, 8, 8, src.dc, -2, -2, 4, 4, SRCCOPY));
  for (int y = 0; y < 4; ++y) EXPECT_EQ(s.Row(y, 0, 8, BLACK), "########") << y;
  EXPECT_EQ(s.Row(4, 0, 8, BLACK), "####....");
  EXPECT_EQ(std::tuple(GetPixel(s.dc, 4, 4), GetPixel(s.dc, 7, 5), GetPixel(s.dc, 5, 6), GetPixel(s.dc, 6, 7)),
            std::tuple(RED, BLUE, GREEN, WHITE));
  // Mirrored, the black half is on the other side.
  s.Clear();
  EXPECT_TRUE(StretchBlt(s.dc, 8, 0, -8, 8, src.dc, -2, -2, 4, 4, SRCCOPY));
  EXPECT_EQ(std::tuple(s.Row(0, 0, 8, BLACK), s.Row(4, 0, 8, BLACK), GetPixel(s.dc, 3, 4), GetPixel(s.dc, 0, 5)),
            std::tuple("########", "....####", RED, BLUE));
  // A copy within one bitmap reads the area before writing it, black off the bitmap too.
  Canvas one(6, 6);
  SetPixel(one.dc, 0, 0, RED);
  EXPECT_TRUE(BitBlt(one.dc, 0, 0, 6, 6, one.dc, -2, -1, SRCCOPY));
  EXPECT_EQ(std::tuple(one.Row(0, 0, 6, BLACK), one.Row(1, 0, 6, BLACK), GetPixel(one.dc, 2, 1), GetPixel(one.dc, 3, 2)),
            std::tuple("######", "##....", RED, WHITE));

  // On a destination with an alpha channel every pixel of the rectangle ends
  // opaque, however the area is placed and scaled (grown, shrunk, mirrored).
  cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 1);
  HDC adc = CreateSurfaceDC(argb, 96, 96);
  Canvas three(3, 1);
  SetPixel(three.dc, 0, 0, RED), SetPixel(three.dc, 1, 0, GREEN), SetPixel(three.dc, 2, 0, BLUE);
  int placed = 0;
  for (int sx = -4; sx <= 4; ++sx)
    for (int sw = -7; sw <= 7; ++sw)
      for (int dw = -12; dw <= 12; ++dw) {
        // (Equal sizes are a BitBlt, which copies what lies off its source as transparent.)
        if (sw == 0 || dw == 0 || sw == dw) continue;
        cairo_t* cr = cairo_create(argb);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_destroy(cr);
        const int x = dw < 0 ? 14 : 2;
        ASSERT_TRUE(StretchBlt(adc, x, 0, dw, 1, three.dc, sx, 0, sw, 1, SRCCOPY));
        cairo_surface_flush(argb);
        const auto* px = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(argb));
        for (int i = std::min(x, x + dw); i < std::max(x, x + dw); ++i)
          ASSERT_EQ(px[i] >> 24, 0xFFu) << "pixel " << i << " of StretchBlt(" << x << ", " << dw << " from " << sx << ", " << sw << ")";
        ++placed;
      }
  DeleteDC(adc);
  cairo_surface_destroy(argb);
  EXPECT_GT(placed, 2000);

  struct rusage before {};
  getrusage(RUSAGE_SELF, &before);
  const auto start = std::chrono::steady_clock::now();
  // Each of these areas is far larger than its source, which it shows too
  // small to land on a pixel: the bitmap ends black.
  Canvas big(300, 300, RED);
  EXPECT_TRUE(StretchBlt(big.dc, 0, 0, 300, 300, src.dc, -15000, -15000, 30000, 30000, SRCCOPY));
  EXPECT_EQ(big.Count(BLACK), 300 * 300);
  big.Clear(RED);
  EXPECT_TRUE(BitBlt(big.dc, 0, 0, 30000, 30000, big.dc, -20000, -20000, SRCCOPY));
  EXPECT_EQ(big.Count(BLACK), 300 * 300) << "the bitmap's own pixels land 20 000 pixels away";
  big.Clear(RED);
  EXPECT_EQ(StretchDIBits(big.dc, 0, 0, 300, 300, -15000, -15000, 30000, 30000, kDibPixels, Info(2, 2, 32).get(),
                          DIB_RGB_COLORS, SRCCOPY),
            30000);
  EXPECT_EQ(big.Count(BLACK), 300 * 300);
  big.Clear(RED);
  EXPECT_EQ(StretchDIBits(big.dc, 0, 0, 300, 300, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kDibPixels,
                          Info(2, 2, 32).get(), DIB_RGB_COLORS, SRCCOPY),
            (1 << 22) - 1)
      << "the rows of the area, taken within the coordinates' limit";
  EXPECT_EQ(big.Count(BLACK), 300 * 300);
  struct rusage after {};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 100 * 1024) << "kB: the areas were not copied whole";
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
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

// PolyPolyline draws each polyline's segments as MoveToEx + LineTo would,
// with any pen, and leaves the current position where it was.
TEST(GdiLines, PolyPolylineDrawsWhatItsSegmentsDrawAsLines) {
  const POINT points[] = {{2, 2}, {30, 2}, {30, 20}, {5, 25}, {25, 5}, {12, 28}, {12, 28}};
  const DWORD counts[] = {3, 2, 2};
  for (const int style : {PS_SOLID, PS_DOT}) {
    Canvas joined(34, 32), apart(34, 32);
    joined.UsePen(style, 1, RED);
    apart.UsePen(style, 1, RED);
    MoveToEx(joined.dc, 7, 9, nullptr);
    ASSERT_TRUE(PolyPolyline(joined.dc, points, counts, 3));
    std::size_t at = 0;
    for (const DWORD n : counts) {
      MoveToEx(apart.dc, points[at].x, points[at].y, nullptr);
      for (DWORD k = 1; k < n; ++k) LineTo(apart.dc, points[at + k].x, points[at + k].y);
      at += n;
    }
    POINT pos{};
    MoveToEx(joined.dc, 0, 0, &pos);
    EXPECT_EQ(std::tuple(joined.Differing(apart), joined.Count(RED) > 20, pos.x, pos.y), std::tuple(0, true, 7, 9))
        << style;
  }
  Canvas c(10, 10);
  const DWORD tooShort[] = {2, 1};
  EXPECT_FALSE(PolyPolyline(c.dc, points, tooShort, 2));
  EXPECT_EQ(c.Count(WHITE), 100) << "nothing drawn";
  EXPECT_TRUE(PolyPolyline(c.dc, points, counts, 0));
}

TEST(GdiFill, SystemColoursAndTheirBrushes) {
  Canvas s(10, 10);
  RECT rc{2, 3, 6, 5};
  EXPECT_EQ(std::tuple(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNSHADOW)),
            std::tuple(RGB(212, 208, 200), RGB(255, 255, 255), RGB(128, 128, 128)));
  EXPECT_TRUE(FillRect(s.dc, &rc, GetSysColorBrush(COLOR_BTNFACE)));
  EXPECT_EQ(GetPixel(s.dc, 2, 3), RGB(212, 208, 200));
  FillRect(s.dc, &rc, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1)));  // index + 1
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
  // Off the bitmap, outside the clip, the clip's last pixel, its right edge and its bottom edge.
  EXPECT_EQ(std::tuple(GetPixel(s.dc, 10, 0), GetPixel(s.dc, -1, 0), SetPixel(s.dc, 7, 7, BLACK), GetPixel(s.dc, 7, 7)),
            std::tuple(kInvalid, kInvalid, kInvalid, kInvalid));
  EXPECT_EQ(std::tuple(SetPixel(s.dc, 4, 4, BLACK), SetPixel(s.dc, 5, 2, BLACK), GetPixel(s.dc, 2, 5)),
            std::tuple(BLACK, kInvalid, kInvalid));
}

TEST(GdiClip, ClipBoxAndDrawingFollowIntersectClipRect) {
  Canvas s(20, 20);
  auto clip = [&] { RECT box; GetClipBox(s.dc, &box); return Edges(box); };
  RECT box;
  EXPECT_EQ(GetClipBox(s.dc, &box), SIMPLEREGION);
  EXPECT_EQ(Edges(box), Edges({0, 0, 20, 20}));
  SetViewportOrgEx(s.dc, 3, 0, nullptr);
  EXPECT_EQ(IntersectClipRect(s.dc, 2, 2, 8, 8), SIMPLEREGION);
  EXPECT_EQ(clip(), Edges({2, 2, 8, 8}));
  SetViewportOrgEx(s.dc, 0, 0, nullptr);
  EXPECT_EQ(clip(), Edges({5, 2, 11, 8})) << "the clip stays where it was set in device space";
  Fill(s.dc, RECT{0, 0, 20, 20}, RED);
  EXPECT_EQ(s.Count(RED), 36);
  EXPECT_EQ(IntersectClipRect(s.dc, 15, 15, 18, 18), NULLREGION);
}

TEST(GdiClip, SaveAndRestoreBringBackTheClipExactly) {
  Canvas s(20, 20);
  auto clip = [&] { RECT box; GetClipBox(s.dc, &box); return Edges(box); };
  IntersectClipRect(s.dc, 2, 2, 18, 18);
  const int outer = SaveDC(s.dc);
  IntersectClipRect(s.dc, 5, 5, 15, 15);
  SaveDC(s.dc);
  IntersectClipRect(s.dc, 8, 0, 20, 10);
  EXPECT_EQ(clip(), Edges({8, 5, 15, 10})) << "nested clips intersect";
  RestoreDC(s.dc, -1);
  EXPECT_EQ(clip(), Edges({5, 5, 15, 15}));
  RestoreDC(s.dc, outer);
  EXPECT_EQ(clip(), Edges({2, 2, 18, 18}));
  Fill(s.dc, RECT{0, 0, 20, 20}, RED);
  EXPECT_EQ(s.Count(RED), 16 * 16) << "drawing agrees with the box";
  EXPECT_EQ(SelectClipRgn(s.dc, nullptr), SIMPLEREGION);
  Fill(s.dc, RECT{0, 0, 20, 20}, RED);
  EXPECT_EQ(std::pair(s.Count(RED), clip()), std::pair(400, Edges({0, 0, 20, 20})));
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
  EXPECT_EQ(std::tuple(std::string(head + 1, 3), head[19], head[23]), std::tuple("PNG", 7, 5));
  std::remove(path.c_str());
  EXPECT_FALSE(SaveBitmapPng(nullptr, path));
}

TEST(GdiDib, TrueColourRoundTripsExactly) {
  Canvas src(13, 7);  // an odd width, so 24-bit rows need padding
  Paint(src);
  struct Case { const char* name; int bits; bool topDown; };
  const Case cases[] = {{"24 bottom-up", 24, false}, {"24 top-down", 24, true}, {"32 bottom-up", 32, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Back(Read(src, c.bits, c.topDown), 13, 7)->Differing(src), 0);
  }
}

TEST(GdiDib, RowsAreBottomUpDwordAlignedBgr) {
  Canvas c(3, 2);
  SetPixel(c.dc, 0, 0, RED);   // top row
  SetPixel(c.dc, 2, 1, BLUE);  // bottom row, last pixel
  Dib d = Read(c, 24);
  ASSERT_EQ(Stride(3, 24), 12u) << "9 bytes of pixels, padded to 12";
  EXPECT_EQ(d.info->bmiHeader.biSizeImage, 24u);
  // Blue byte first, red third; the bottom row comes first.
  const std::vector<BYTE> bottom(d.bits.begin() + 6, d.bits.begin() + 9), top(d.bits.begin() + 12, d.bits.begin() + 15);
  EXPECT_EQ(std::pair(bottom, top), std::pair(std::vector<BYTE>{255, 0, 0}, std::vector<BYTE>{0, 0, 255}));
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
  const BITMAPINFOHEADER& h = info->bmiHeader;
  EXPECT_EQ(std::tuple(h.biWidth, h.biHeight, int{h.biBitCount}, h.biSizeImage), std::tuple(5, 4, 32, 5u * 4 * 4));
  auto mono = Info(5, 4, 1);
  ASSERT_NE(GetDIBits(c.dc, c.bitmap, 0, 0, nullptr, mono.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(mono->bmiHeader.biSizeImage, 4u * 4) << "5 bits round up to one DWORD per row";
  auto bad = Info(5, 4, 12);
  EXPECT_EQ(GetDIBits(c.dc, c.bitmap, 0, 4, nullptr, bad.get(), DIB_RGB_COLORS), 0) << "no 12-bit format";
  EXPECT_EQ(GetDIBits(c.dc, nullptr, 0, 4, nullptr, mono.get(), DIB_RGB_COLORS), 0);
}

// Each depth below 24 bits packs pixels its own way and draws back only what
// it can hold: 1 bit is black or white (pure blue and green are nearer black),
// leftmost pixel in the high bit; 4 and 8 bits pick the nearest entry of the
// fixed palettes (the 8-bit one has a cube and a grey ramp); 16 bits are 5-5-5
// and widen by repeating their top bits.
TEST(GdiDib, EachDepthPacksAndDrawsBackThePixels) {
  const COLORREF grey40 = RGB(40, 40, 40), silver = RGB(192, 192, 192), teal = RGB(0, 128, 128);
  const COLORREF cube = RGB(51, 102, 153), grey30 = RGB(30, 30, 30), grey90 = RGB(90, 90, 90);
  // Packed: the first bytes of the bottom row; empty: not pinned.
  struct Case { const char* name; int bits; std::vector<COLORREF> in, back; std::vector<BYTE> packed; };
  const Case cases[] = {
      {"1-bit", 1, {BLACK, grey40, RED, WHITE, RGB(200, 200, 200), BLUE, GREEN, WHITE, grey90, RGB(240, 250, 230)},
       {BLACK, BLACK, BLACK, WHITE, WHITE, BLACK, BLACK, WHITE, BLACK, WHITE}, {0b00011001, 0b01000000}},
      {"4-bit pure red", 4, {RED, RED}, {RED, RED}, {0x99}},
      {"4-bit near silver", 4, {RGB(190, 195, 188), RGB(190, 195, 188)}, {silver, silver}, {0x77}},
      {"4-bit dark teal", 4, {RGB(0, 120, 130), RGB(0, 120, 130)}, {teal, teal}, {0x66}},
      {"8-bit cube entry", 8, {cube, cube}, {cube, cube}, {}},
      {"8-bit near cube", 8, {RGB(50, 100, 155), RGB(50, 100, 155)}, {cube, cube}, {}},
      {"8-bit grey between cube levels", 8, {grey30, grey30}, {grey30, grey30}, {}},
      {"16-bit", 16, {RED, RGB(8, 16, 248)}, {RED, RGB(8, 16, 255)}, {0x00, 0x7C, 0x5F, 0x04}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int w = static_cast<int>(c.in.size());
    Canvas canvas(w, 1);
    for (int x = 0; x < w; ++x) SetPixel(canvas.dc, x, 0, c.in[x]);
    Dib d = Read(canvas, c.bits);
    EXPECT_EQ(std::vector<BYTE>(d.bits.begin(), d.bits.begin() + c.packed.size()), c.packed);
    const auto back = Back(d, w, 1);
    for (int x = 0; x < w; ++x) EXPECT_EQ(back->At(x, 0), c.back[x]) << "pixel " << x;
    if (c.bits > 8) continue;
    const int index = c.bits == 1 ? d.bits[0] >> 7 : c.bits == 4 ? d.bits[0] >> 4 : d.bits[0];
    const RGBQUAD& q = d.info->bmiColors[index];
    EXPECT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), c.back[0]) << "the colour table holds what the index names";
  }
}

TEST(GdiPatternBrush, KeepsItsOwnCopyOfTheBitmap) {
  auto tile = std::make_unique<Canvas>(8, 8, BLUE);
  HBRUSH brush = CreatePatternBrush(tile->bitmap);
  tile->Clear(GREEN);  // later changes to the bitmap do not reach the brush
  tile.reset();
  Canvas c(16, 16);
  RECT all{0, 0, 16, 16};
  FillRect(c.dc, &all, brush);
  EXPECT_EQ(c.Count(BLUE), 256);
  DeleteObject(brush);
  EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);
}
