// Handles and device-context state: selection, deletion rules, SaveDC and
// RestoreDC, device capabilities and leak accounting.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/user/window_dc.h"
#include "support/canvas.h"

using namespace ktfolio::win;

namespace {

HFONT MakeFont(const char* face, LONG height) { return ktfolio::testing::Font(face, height).release(); }

// Every kind's count, comparable in one assertion.
auto Counts(const GdiObjectCounts& c) { return std::tuple(c.dcs, c.fonts, c.pens, c.brushes, c.bitmaps, c.regions); }
auto LiveCounts() { return Counts(GdiLiveObjects()); }
int Live() { return GdiLiveObjects().total(); }

// Width, height and depth of a bitmap as GetObject reports them.
std::tuple<int, int, int> Shape(HGDIOBJ bmp) {
  BITMAP bm;
  EXPECT_EQ(GetObject(bmp, sizeof bm, &bm), static_cast<int>(sizeof bm));
  return {bm.bmWidth, bm.bmHeight, bm.bmBitsPixel};
}

}  // namespace

TEST(GdiContext, ScreenAndMemoryContextsReportTheScreenResolution) {
  auto dpi = [](HDC dc) { return std::pair(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)); };
  HDC screen = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_GT(GetDeviceCaps(screen, HORZRES), 0);
  HDC mem = CreateCompatibleDC(screen);
  SetScreenLogPixels(120, 144);
  HDC later = CreateCompatibleDC(nullptr);
  HDC child = CreateCompatibleDC(later);  // compatible contexts take the reference's resolution
  SetScreenLogPixels(96, 96);
  EXPECT_EQ(std::tuple(dpi(screen), dpi(mem), dpi(later), dpi(child)),
            std::tuple(std::pair(96, 96), std::pair(96, 96), std::pair(120, 144), std::pair(120, 144)));
  EXPECT_EQ(CreateDC("WINSPOOL", "Some Printer", nullptr, nullptr), nullptr);
  for (HDC dc : {child, later, mem, screen}) EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiContext, MemoryContextStartsWithAOnePixelBitmap) {
  OwnedDC dc = MemoryDC(nullptr);
  HGDIOBJ initial = GetCurrentObject(dc, OBJ_BITMAP);
  ASSERT_NE(initial, nullptr);
  EXPECT_EQ(Shape(initial), std::make_tuple(1, 1, 32));
  OwnedBitmap big(CreateCompatibleBitmap(dc, 30, 20));
  EXPECT_EQ(Shape(big), std::make_tuple(30, 20, 32));
  EXPECT_EQ(SelectObject(dc, big), initial);
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(std::tuple(GetPixel(dc, 29, 19), box.right, box.bottom, GetDeviceCaps(dc, HORZRES)),
            std::tuple(RGB(0, 0, 0), 30, 20, 30)) << "a fresh black bitmap sets the clip and size";
  EXPECT_EQ(SelectObject(dc, initial), big.get());
}

TEST(GdiObjects, AFontReadsBackAsItWasMade) {
  OwnedFont font(MakeFont("Arial", -12));
  LOGFONT back;
  ASSERT_EQ(GetObject(font, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::pair(back.lfHeight, std::string(back.lfFaceName)), std::pair(-12, std::string("Arial")));
}

TEST(GdiObjects, SelectedObjectsAndStockObjectsSurviveDeleteObject) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 4, 4);
  HGDIOBJ oldBmp = SelectObject(dc, bmp);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  EXPECT_FALSE(DeleteObject(pen));  // still selected: refused, and still usable
  EXPECT_FALSE(DeleteObject(bmp));
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, 4, 0);
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 0, 0));
  SelectObject(dc, oldPen);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen));  // a dead handle is recognised, not dereferenced
  EXPECT_EQ(SelectObject(dc, pen), nullptr);
  // A bitmap lives in one memory context at a time.
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, bmp), nullptr);
  SelectObject(dc, oldBmp);
  EXPECT_NE(SelectObject(other, bmp), nullptr);
  DeleteDC(other);  // deleting the context frees the bitmap for deletion
  EXPECT_TRUE(DeleteObject(bmp));
  // Stock objects are shared and never go away.
  const auto before = LiveCounts();
  HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  EXPECT_EQ(std::tuple(DeleteObject(white), GetStockObject(WHITE_BRUSH)), std::tuple(true, white));
  EXPECT_EQ(std::tuple(GetObjectType(white), GetObjectType(GetStockObject(SYSTEM_FONT)),
                       GetObjectType(GetStockObject(NULL_PEN))), std::tuple(OBJ_BRUSH, OBJ_FONT, OBJ_PEN));
  EXPECT_EQ(LiveCounts(), before);
  DeleteDC(dc);
}

TEST(GdiObjects, CreateSelectDeleteCyclesLeakNothing) {
  const GdiObjectCounts before = GdiLiveObjects();
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 50, 20);
  HGDIOBJ oldBmp = SelectObject(dc, bmp);
  const GdiObjectCounts during = GdiLiveObjects();
  EXPECT_EQ(std::pair(during.dcs, during.bitmaps), std::pair(before.dcs + 1, before.bitmaps + 1));
  for (int i = 0; i < 200; ++i) {
    int saved = SaveDC(dc);
    const HGDIOBJ made[] = {MakeFont(i % 2 ? "Arial" : "Times New Roman", -(8 + i % 7)),
                            CreatePen(i % 5, 1 + i % 3, RGB(i, 0, 0)), CreateSolidBrush(RGB(0, i, 0))};
    HGDIOBJ old[3];
    for (int k = 0; k < 3; ++k) old[k] = SelectObject(dc, made[k]);
    RECT rc{0, 0, 50, 1};
    DrawText(dc, "measure me", -1, &rc, DT_WORDBREAK | DT_CALCRECT);
    Rectangle(dc, 0, 0, 10, 10);
    for (int k = 0; k < 3; ++k) SelectObject(dc, old[k]);
    for (HGDIOBJ o : made) EXPECT_TRUE(DeleteObject(o));
    RestoreDC(dc, saved);
  }
  EXPECT_EQ(LiveCounts(), Counts(during));
  // The common Win32 slip: delete a font while a saved state still holds it,
  // then restore. Nothing crashes and nothing stays counted.
  HFONT f = MakeFont("Arial", -10);
  HGDIOBJ of = SelectObject(dc, f);
  SaveDC(dc);
  SelectObject(dc, of);
  EXPECT_TRUE(DeleteObject(f));
  RestoreDC(dc, -1);
  TEXTMETRIC tm;
  EXPECT_TRUE(GetTextMetrics(dc, &tm));
  SelectObject(dc, of);
  SelectObject(dc, oldBmp);
  DeleteObject(bmp);
  DeleteDC(dc);
  EXPECT_EQ(LiveCounts(), Counts(before));
}

TEST(GdiState, SaveAndRestoreBringBackEverythingSaved) {
  OwnedDC dc = MemoryDC(nullptr);
  OwnedBitmap bmp(CreateCompatibleBitmap(dc, 40, 40));
  SelectedObject withBitmap(dc, bmp);
  OwnedFont small(MakeFont("Arial", -10)), big(MakeFont("Arial", -30));
  SelectedObject withSmall(dc, small);
  SetTextColor(dc, RGB(10, 20, 30));
  SetBkMode(dc, TRANSPARENT);
  // Colours, mode, font and its metrics, origin, position and clip.
  auto state = [&] {
    TEXTMETRIC tm;
    POINT org, pos;
    RECT clip;
    GetTextMetrics(dc, &tm); GetViewportOrgEx(dc, &org); GetClipBox(dc, &clip);
    MoveToEx(dc, 0, 0, &pos); MoveToEx(dc, pos.x, pos.y, nullptr);  // read the position, leave it
    return std::tuple(GetTextColor(dc), GetBkColor(dc), GetBkMode(dc), GetCurrentObject(dc, OBJ_FONT), tm.tmHeight,
                      org.x, org.y, pos.x, pos.y, ktfolio::testing::Edges(clip));
  };
  const auto saved = state();
  const int level = SaveDC(dc);
  ASSERT_EQ(level, 1);
  SelectObject(dc, big);
  SetTextColor(dc, RGB(200, 0, 0));
  SetBkColor(dc, RGB(0, 0, 1));
  SetBkMode(dc, OPAQUE);
  SetViewportOrgEx(dc, 7, 8, nullptr);
  IntersectClipRect(dc, 0, 0, 5, 5);
  MoveToEx(dc, 3, 3, nullptr);
  const auto changed = state();
  EXPECT_EQ(SaveDC(dc), 2);
  SetTextColor(dc, RGB(1, 1, 1));
  ASSERT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(state(), changed);
  ASSERT_TRUE(RestoreDC(dc, level));
  EXPECT_EQ(state(), saved);
  EXPECT_FALSE(RestoreDC(dc, 1) || RestoreDC(dc, -1)) << "nothing left to restore";
  EXPECT_TRUE(DeleteObject(big.release())) << "the big font is no longer selected anywhere";
}

TEST(GdiColours, OleColoursTranslateAsWin32Does) {
  // In, the result, the colour when S_OK, what the one-argument form gives. PALETTERGB (0x02...) has no
  // palette: the RGB. Then a palette index, not a colour at all, past the system colours.
  struct Case { OLE_COLOR in; HRESULT result; COLORREF out, drawn; };
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const Case cases[] = {{0x00FF0000, S_OK, 0xFF0000, 0xFF0000}, {0x02123456, S_OK, 0x123456, 0x123456},
                        {0x80000000u | COLOR_HIGHLIGHT, S_OK, highlight, highlight},
                        {0x01000003, E_INVALIDARG, 0, 0x000003}, {0x12345678, E_INVALIDARG, 0, 0x345678},
                        {0x80000000u | 31, E_INVALIDARG, 0, 0}};
  for (const Case& c : cases) {
    COLORREF out = 0xABCDEF;
    EXPECT_EQ(OleTranslateColor(c.in, nullptr, &out), c.result) << std::hex << c.in;
    EXPECT_EQ(out, c.result == S_OK ? c.out : 0xABCDEFu) << std::hex << c.in;
    EXPECT_EQ(OleTranslateColor(c.in), c.drawn) << std::hex << c.in;
  }
  EXPECT_NE(highlight, 0u);
}

TEST(GdiSurfaceContext, DrawsOntoACallersBitmapSurface) {
  const auto before = LiveCounts();
  {
    OwnedDC mem = MemoryDC(nullptr);
    OwnedBitmap bmp(CreateCompatibleBitmap(mem, 10, 10));
    cairo_surface_t* surface = BitmapSurface(bmp);
    ASSERT_NE(surface, nullptr);
    OwnedDC dc(CreateSurfaceDC(surface, 300, 300));
    ASSERT_TRUE(dc);
    SetDeviceCaps(dc, PHYSICALWIDTH, 2480);
    EXPECT_EQ(std::tuple(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, PHYSICALWIDTH)),
              std::tuple(300, 10, 2480));
    EXPECT_EQ(DCSurface(dc), surface);
    EXPECT_EQ(SelectObject(dc, bmp), nullptr);  // no bitmaps in a surface context
    RECT rc{2, 2, 4, 4};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    dc.reset();
    SelectedObject selected(mem, bmp);
    EXPECT_EQ(std::pair(GetPixel(mem, 3, 3), GetPixel(mem, 4, 4)), std::pair(RGB(255, 255, 255), RGB(0, 0, 0)));
  }
  EXPECT_EQ(LiveCounts(), before);
}

TEST(GdiScoped, OwnedHandlesDeleteWhatTheyHoldExactlyOnce) {
  struct Case { const char* name; void (*run)(int base); };  // run checks the count while its handles live
  const Case cases[] = {
      {"pen", [](int base) { OwnedPen h(CreatePen(PS_SOLID, 1, 0)); EXPECT_EQ(Live(), base + 1); }},
      {"brush", [](int base) { OwnedBrush h(CreateSolidBrush(RGB(1, 2, 3))); EXPECT_EQ(Live(), base + 1); }},
      {"font", [](int base) { OwnedFont h(MakeFont("Arial", -12)); EXPECT_EQ(Live(), base + 1); }},
      {"bitmap", [](int base) { OwnedBitmap h(CreateCompatibleBitmap(nullptr, 4, 4)); EXPECT_EQ(Live(), base + 1); }},
      {"memory context", [](int base) { OwnedDC h = MemoryDC(nullptr); EXPECT_EQ(Live(), base + 1); }},
      {"window context", [](int base) { WindowDC h(nullptr); EXPECT_EQ(Live(), base + 1); }},
      {"null handles", [](int base) {
         OwnedPen pen;
         OwnedDC dc;
         WindowDC none;
         SelectedObject sel(nullptr, nullptr);
         SavedDCState saved(nullptr);
         EXPECT_EQ(Live(), base);
       }},
      {"moved owner", [](int base) {
         OwnedBrush a(CreateSolidBrush(0)), b(std::move(a));
         EXPECT_EQ(std::pair(bool(a), Live()), std::pair(false, base + 1));
       }},
      {"assigned over a live owner", [](int base) {  // the overwritten pen goes at once
         OwnedPen a(CreatePen(PS_SOLID, 1, 0)), b(CreatePen(PS_DASH, 1, 0));
         b = std::move(a);
         EXPECT_EQ(Live(), base + 1);
       }},
      {"released", [](int base) {  // a released handle is the caller's again
         HPEN raw = OwnedPen(CreatePen(PS_SOLID, 1, 0)).release();
         EXPECT_EQ(Live(), base + 1);
         DeleteObject(raw);
       }},
  };
  for (const Case& c : cases) { SCOPED_TRACE(c.name); const int base = Live(); c.run(base); EXPECT_EQ(Live(), base); }
}

TEST(GdiScoped, ASelectionReturnsThePreviousObjectAndIsUndoneBeforeItsObjectIsDeleted) {
  struct Case { const char* name; UINT type; HGDIOBJ (*make)(); };
  const Case cases[] = {
      {"pen", OBJ_PEN, [] { return HGDIOBJ(CreatePen(PS_DOT, 1, RGB(9, 9, 9))); }},
      {"brush", OBJ_BRUSH, [] { return HGDIOBJ(CreateSolidBrush(RGB(9, 9, 9))); }},
      {"font", OBJ_FONT, [] { return HGDIOBJ(MakeFont("Courier New", -20)); }},
      {"bitmap", OBJ_BITMAP, [] { return HGDIOBJ(CreateCompatibleBitmap(nullptr, 8, 8)); }},
  };
  OwnedDC dc = MemoryDC(nullptr);
  const int base = Live();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HGDIOBJ before = GetCurrentObject(dc, c.type);
    {
      OwnedObject<HGDIOBJ> obj(c.make());
      SelectedObject selected(dc, obj);
      EXPECT_EQ(std::tuple(GetObjectType(obj), GetCurrentObject(dc, c.type), GetObjectType(before)),
                std::tuple(c.type, obj.get(), c.type));
      EXPECT_EQ(selected.previous(), before) << "SelectObject returns the previous object of that kind";
    }
    EXPECT_EQ(GetCurrentObject(dc, c.type), before);
    EXPECT_EQ(Live(), base) << "the object was deleted after its selection was undone";
  }
  {
    OwnedPen pen(CreatePen(PS_SOLID, 3, 0));
    SelectedObject selected(dc, pen);
    selected.restore();
    EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), pen.get()) << "restore() puts the old pen back at once";
  }
  EXPECT_EQ(Live(), base);
}

TEST(GdiScoped, ASavedStateComesBackAtTheEndOfEachNestedScope) {
  OwnedDC dc = MemoryDC(nullptr);
  SetTextColor(dc, RGB(1, 1, 1));
  SetBkMode(dc, OPAQUE);
  const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  OwnedFont big(MakeFont("Arial", -30));
  {
    SavedDCState outer(dc);
    SetTextColor(dc, RGB(2, 2, 2));
    SelectObject(dc, big);
    {
      SavedDCState inner(dc);
      SetTextColor(dc, RGB(3, 3, 3));
      SetBkMode(dc, TRANSPARENT);
    }
    EXPECT_EQ(std::tuple(GetTextColor(dc), GetBkMode(dc), GetCurrentObject(dc, OBJ_FONT)),
              std::tuple(RGB(2, 2, 2), OPAQUE, HGDIOBJ(big.get()))) << "the inner scope restores to its own level";
  }
  EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font) << "the restored state deselects the font, so it can be deleted";
}
