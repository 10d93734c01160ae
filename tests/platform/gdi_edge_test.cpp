// Classic 3-D parts: DrawEdge rings and flags, DrawFrameControl glyphs and
// states, the XOR focus rectangle; icons and DrawState's states. Goldens show
// the look; probes pin what a picture cannot.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/gdi_scoped.h"
#include "support/canvas.h"
#include "support/golden.h"

using namespace ktfolio::win;
using ktfolio::testing::Canvas;
using ktfolio::testing::Font;
using ktfolio::testing::Edges;
using ktfolio::testing::MatchesGolden;

namespace {

// Grid geometry of the golden pictures: the pitch, the part drawn in each cell, its margin from the cell's corner.
constexpr int kCell = 28, kPart = 22, kMargin = 3;
// A background no system colour uses, so every pixel drawn shows.
constexpr COLORREF kBackdrop = RGB(190, 225, 220);

COLORREF Sys(int index) { return GetSysColor(index); }

}  // namespace

TEST(GdiEdge, EveryEdgeWithEveryFlagLooksClassic) {
  const UINT edges[] = {BDR_RAISEDOUTER, BDR_SUNKENOUTER, BDR_RAISEDINNER, BDR_SUNKENINNER,
                        EDGE_RAISED,     EDGE_SUNKEN,     EDGE_ETCHED,     EDGE_BUMP};
  const UINT flags[] = {BF_RECT, BF_RECT | BF_MIDDLE, BF_RECT | BF_MIDDLE | BF_SOFT, BF_RECT | BF_MIDDLE | BF_FLAT,
                        BF_RECT | BF_MIDDLE | BF_MONO, BF_TOPLEFT, BF_BOTTOMRIGHT, BF_LEFT | BF_RIGHT,
                        BF_DIAGONAL_ENDTOPRIGHT | BF_MIDDLE, BF_DIAGONAL_ENDTOPLEFT | BF_MIDDLE,
                        BF_DIAGONAL_ENDBOTTOMLEFT | BF_MIDDLE, BF_DIAGONAL_ENDBOTTOMRIGHT};
  const int cols = static_cast<int>(std::size(flags)), rows = static_cast<int>(std::size(edges));
  Canvas c(cols * kCell, rows * kCell, kBackdrop);
  for (int row = 0; row < rows; ++row)
    for (int col = 0; col < cols; ++col) {
      const int x = col * kCell + kMargin, y = row * kCell + kMargin;
      RECT rc{x, y, x + kPart, y + kPart};
      EXPECT_TRUE(DrawEdge(c.dc, &rc, edges[row], flags[col]));
    }
  EXPECT_TRUE(MatchesGolden(c.bitmap, "platform/edges.png"));
}

// The golden shows every ring; here what it cannot: the rectangle BF_ADJUST
// hands back, and a lone side or diagonal without the middle.
TEST(GdiEdge, AdjustShrinksByTheDrawnSidesOnly) {
  Canvas c(20, 20, kBackdrop);
  RECT rc{2, 2, 18, 18}, part{2, 2, 18, 18}, diag{0, 0, 10, 10};
  DrawEdge(c.dc, &rc, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
  EXPECT_EQ(Edges(rc), Edges({4, 4, 16, 16})) << "two rings off every side";
  c.Clear(kBackdrop);
  DrawEdge(c.dc, &part, BDR_RAISEDOUTER, BF_TOP | BF_ADJUST);
  EXPECT_EQ(c.Row(2, 0, 20, Sys(COLOR_3DLIGHT)), "..################..") << "a lone top side spans the width";
  EXPECT_EQ(c.Count(kBackdrop), 400 - 16) << "and draws nothing else";
  EXPECT_EQ(Edges(part), Edges({2, 3, 18, 18})) << "only drawn sides move";
  c.Clear(kBackdrop);
  DrawEdge(c.dc, &diag, BDR_RAISEDOUTER, BF_DIAGONAL_ENDTOPRIGHT);
  EXPECT_EQ(c.Count(Sys(COLOR_3DLIGHT)), 10);
  EXPECT_EQ(c.Col(5, 0, 10, Sys(COLOR_3DLIGHT)), "....#.....") << "from the bottom-left corner to the top-right";
}

TEST(GdiFrameControl, PartsAndStatesLookClassic) {
  struct Part { UINT type, state; };
  const std::vector<Part> parts = {
      {DFC_CAPTION, DFCS_CAPTIONCLOSE},     {DFC_CAPTION, DFCS_CAPTIONMIN},  {DFC_CAPTION, DFCS_CAPTIONMAX},
      {DFC_CAPTION, DFCS_CAPTIONRESTORE},   {DFC_CAPTION, DFCS_CAPTIONHELP}, {DFC_MENU, DFCS_MENUARROW},
      {DFC_MENU, DFCS_MENUCHECK},           {DFC_MENU, DFCS_MENUBULLET},     {DFC_MENU, DFCS_MENUARROWRIGHT},
      {DFC_SCROLL, DFCS_SCROLLUP},          {DFC_SCROLL, DFCS_SCROLLDOWN},   {DFC_SCROLL, DFCS_SCROLLLEFT},
      {DFC_SCROLL, DFCS_SCROLLRIGHT},       {DFC_SCROLL, DFCS_SCROLLCOMBOBOX}, {DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
      {DFC_SCROLL, DFCS_SCROLLSIZEGRIPRIGHT}, {DFC_BUTTON, DFCS_BUTTONCHECK}, {DFC_BUTTON, DFCS_BUTTON3STATE},
      {DFC_BUTTON, DFCS_BUTTONRADIO},       {DFC_BUTTON, DFCS_BUTTONRADIOMASK}, {DFC_BUTTON, DFCS_BUTTONPUSH}};
  const UINT states[] = {0, DFCS_PUSHED, DFCS_CHECKED, DFCS_INACTIVE, DFCS_INACTIVE | DFCS_CHECKED,
                         DFCS_FLAT | DFCS_CHECKED, DFCS_MONO | DFCS_CHECKED};
  const int sizes[] = {16, 24, 40};
  // Rows: parts; columns: the states at 24 px, then the plain part at 16 and 40 px.
  constexpr int kWide = 46;
  const int cols = static_cast<int>(std::size(states)) + 2;
  Canvas c(cols * kWide, static_cast<int>(parts.size()) * kWide, kBackdrop);
  for (std::size_t row = 0; row < parts.size(); ++row) {
    const int y = static_cast<int>(row) * kWide + 3;
    for (int col = 0; col < cols; ++col) {
      const bool sized = col >= static_cast<int>(std::size(states));
      const int size = sized ? sizes[col == cols - 2 ? 0 : 2] : sizes[1];
      const UINT state = parts[row].state | (sized ? 0 : states[col]);
      RECT rc{col * kWide + 3, y, col * kWide + 3 + size, y + size};
      EXPECT_TRUE(DrawFrameControl(c.dc, &rc, parts[row].type, state)) << row << "," << col;
    }
  }
  EXPECT_TRUE(MatchesGolden(c.bitmap, "platform/frame_controls.png"));
}

// The look of every part and state is in the golden; DFCS_ADJUSTRECT only
// reports the inside of the frame.
TEST(GdiFrameControl, AdjustRectReportsTheInsideOfTheFrame) {
  Canvas c(24, 24, kBackdrop);
  RECT adj{0, 0, 20, 16};
  DrawFrameControl(c.dc, &adj, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(Edges(adj), Edges({2, 2, 18, 14}));
  EXPECT_FALSE(DrawFrameControl(c.dc, &adj, 99, 0));
}

TEST(GdiFocusRect, DottedXorThatUndoesItself) {
  Canvas c(12, 10, RGB(10, 20, 30));
  RECT rc{1, 1, 11, 9};
  DrawFocusRect(c.dc, &rc);
  const COLORREF inverted = RGB(245, 235, 225);
  EXPECT_EQ(std::pair(c.Row(1, 0, 12, inverted), c.Col(1, 0, 10, inverted)),
            std::pair(std::string(".#.#.#.#.#.."), std::string(".#.#.#.#.."))) << "every other pixel of the sides";
  EXPECT_EQ(std::pair(c.Count(inverted, RECT{2, 2, 10, 8}), c.Count(inverted)), std::pair(0, 16)) << "inside untouched";
  DrawFocusRect(c.dc, &rc);
  EXPECT_EQ(c.Count(RGB(10, 20, 30)), 120) << "a second call restores every pixel";
  IntersectClipRect(c.dc, 0, 0, 6, 10);
  DrawFocusRect(c.dc, &rc);
  SelectClipRgn(c.dc, nullptr);  // read every pixel back
  EXPECT_EQ(std::pair(c.Count(inverted, RECT{6, 0, 12, 10}), c.Count(inverted)), std::pair(0, 8))
      << "nothing at or past the clip's right edge";
}

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr int kIconSize = 4;

// A 4x4 icon: red with a blue top-left pixel, transparent in its right column.
struct TestIcon {
  Canvas color{kIconSize, kIconSize, kRed};
  Canvas mask{kIconSize, kIconSize, kBlack};
  HICON icon = nullptr;
  TestIcon() {
    SetPixel(color.dc, 0, 0, kBlue);
    for (int y = 0; y < kIconSize; ++y) SetPixel(mask.dc, kIconSize - 1, y, kWhite);
    ICONINFO info{.hbmMask = mask.bitmap, .hbmColor = color.bitmap};
    icon = CreateIconIndirect(&info);
  }
  ~TestIcon() { DestroyIcon(icon); }
};

BOOL DrawCross(HDC hdc, LPARAM lParam, WPARAM wParam, int cx, int cy) {
  ++*reinterpret_cast<int*>(lParam);
  OwnedBrush b(CreateSolidBrush(static_cast<COLORREF>(wParam)));
  RECT h{0, cy / 2, cx, cy / 2 + 1}, v{cx / 2, 0, cx / 2 + 1, cy};
  FillRect(hdc, &h, b);
  FillRect(hdc, &v, b);
  return TRUE;
}

}  // namespace

TEST(GdiIcon, DrawsThroughItsMaskAndStretches) {
  const int before = GdiLiveObjects().icons;
  {
    TestIcon t;
    ASSERT_NE(t.icon, nullptr);
    EXPECT_EQ(GdiLiveObjects().icons, before + 1);
    // At its size through the mask, stretched to 8x8 (each pixel 2x2), the
    // mask alone (black where the icon is opaque), over a flicker brush.
    Canvas c(34, 10, kGreen);
    ASSERT_TRUE(DrawIconEx(c.dc, 1, 1, t.icon, 0, 0, 0, nullptr, DI_NORMAL));
    DrawIconEx(c.dc, 7, 1, t.icon, 8, 8, 0, nullptr, DI_NORMAL);
    DrawIconEx(c.dc, 17, 1, t.icon, 0, 0, 0, nullptr, DI_MASK);
    DrawIconEx(c.dc, 23, 1, t.icon, 0, 0, 0, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), DI_NORMAL);
    EXPECT_TRUE(MatchesGolden(c.bitmap, "platform/icons.png"));
    EXPECT_EQ(c.Row(2, 0, 6, kGreen), "#...##") << "the masked column keeps the background";
  }
  EXPECT_EQ(std::tuple(GdiLiveObjects().icons, DestroyIcon(nullptr)), std::tuple(before, false));
  ICONINFO none;
  EXPECT_EQ(CreateIconIndirect(&none), nullptr) << "a mask is required";
}

TEST(GdiDrawState, NormalDisabledMonoAndComplex) {
  TestIcon t;
  Canvas c(160, 40, RGB(212, 208, 200));
  OwnedFont font = Font("Arial", -16, FW_BOLD);
  SelectedObject selected(c.dc, font);
  SetBkMode(c.dc, TRANSPARENT);
  const auto text = reinterpret_cast<LPARAM>("Print");
  // Normal text in the text colour, then disabled: embossed, no text colour.
  SetTextColor(c.dc, kBlue);
  ASSERT_TRUE(DrawState(c.dc, nullptr, nullptr, text, 0, 2, 2, 0, 0, DST_TEXT | DSS_NORMAL));
  ASSERT_TRUE(DrawState(c.dc, nullptr, nullptr, text, 0, 42, 2, 0, 0, DST_TEXT | DSS_DISABLED));
  // Mono: the shape in the brush's colour.
  DrawState(c.dc, OwnedBrush(CreateSolidBrush(kRed)), nullptr, text, 0, 82, 2, 0, 0, DST_TEXT | DSS_MONO);
  // Icons and bitmaps; a disabled icon is embossed from its shape.
  DrawState(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(t.icon), 0, 122, 4, 8, 8, DST_ICON);
  DrawState(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(t.color.bitmap), 0, 134, 4, 0, 0, DST_BITMAP);
  DrawState(c.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(t.icon), 0, 122, 24, 8, 8, DST_ICON | DSS_DISABLED);
  // Complex: the callback draws at (0, 0) and lands at (x, y). The golden holds every state's pixels.
  int calls = 0;
  DrawState(c.dc, nullptr, DrawCross, reinterpret_cast<LPARAM>(&calls), kGreen, 140, 24, 9, 9, DST_COMPLEX);
  EXPECT_EQ(calls, 1);
  DrawState(c.dc, nullptr, DrawCross, reinterpret_cast<LPARAM>(&calls), kBlack, 150, 24, 9, 9,
            DST_COMPLEX | DSS_DISABLED);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(DrawState(c.dc, nullptr, nullptr, 0, 0, 0, 0, 5, 5, DST_COMPLEX)) << "complex needs a callback";
  EXPECT_TRUE(MatchesGolden(c.bitmap, "platform/draw_state.png"));
}
