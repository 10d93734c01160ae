// Reference pictures of whole small pages, one per behaviour: borders and pen
// styles, the twelve alignments, shadows, clipping and first-line indents,
// frame controls and edges, a stretched picture, field codes over several
// pages, and one page at three zooms. Regenerate with KTFOLIO_UPDATE_GOLDEN=1
// and look at every changed picture before committing it.
#include "support/golden.h"
#include "render_test_util.h"

namespace ktfolio::testing {
namespace {

constexpr int kW = 360;

// A page of rows 36 pixels high, cells with 3-pixel indents.
void GoldenPage(KtPrint4Impl& c, int height) {
  SmallPage(c, kW, height);
  c.dFitHeightToText(false);
  c.dRowHeight(Px(36));
  c.dColIndentLeft(Px(3));
  c.dColIndentRight(Px(3));
  c.RowSpacing(Px(6));
  c.dColWordWrap(true);
}

// Properties of one cell.
void Set(KtPrint4Impl& c, std::int32_t row, std::int32_t col, std::initializer_list<std::pair<const char*, Variant>> values) {
  for (const auto& [name, v] : values)
    EXPECT_TRUE(c.SetProperty(row, col, name, v)) << name << " at " << row << "," << col;
}

// The item prefix that starts a cell at quarter n of a row `width` pixels wide.
std::string Quarter(int n, int width = kW) { return "#" + std::to_string(n * width / 4 * 15) + "#"; }

TEST(RenderGolden, BordersOfEachSideWidthAndPenStyleWithTheFillInside) {
  KtPrint4Impl c;
  GoldenPage(c, 250);
  const char* styles[] = {"solid", "dash", "dot", "dash dot", "dash dot dot", "null", "inside frame", "alternate"};
  const std::int32_t styleValues[] = {sPS_SOLID, sPS_DASH,  sPS_DOT,         sPS_DASHDOT,
                                      sPS_DASHDOTDOT, sPS_NULL, sPS_INSIDEFRAME, sPS_ALTERNATE};
  for (int r = 0; r < 2; ++r) {
    c.AddRow(styles[r * 4], Quarter(1) + styles[r * 4 + 1], Quarter(2) + styles[r * 4 + 2],
             Quarter(3) + styles[r * 4 + 3]);
    for (int k = 1; k <= 4; ++k)
      Set(c, r + 1, k, {{"PenStyle", Variant(styleValues[r * 4 + k - 1])}, {"PenColor", Variant(0x800000)},
                        {"LineTop", Variant(1)}, {"LineLeft", Variant(1)}, {"LineRight", Variant(1)},
                        {"LineBottom", Variant(1)}});
  }
  // Widths 1 to 4 on each side in turn, with a fill that starts inside them.
  c.AddRow("top 4", Quarter(1) + "right 3", Quarter(2) + "bottom 2", Quarter(3) + "left 4");
  const char* sides[] = {"LineTop", "LineRight", "LineBottom", "LineLeft"};
  const int widths[] = {4, 3, 2, 4};
  for (int k = 1; k <= 4; ++k)
    Set(c, 3, k, {{sides[k - 1], Variant(widths[k - 1])}, {"FillCell", Variant(true)}, {"BrushColor", Variant(0xC0E0FF)}});
  c.AddRow("all four, width 3, fill");
  for (const char* side : sides) Set(c, 4, 1, {{side, Variant(3)}});
  Set(c, 4, 1, {{"FillCell", Variant(true)}, {"BrushColor", Variant(0xD0FFD0)}, {"PenColor", Variant(0x008000)}});
  RenderedPage page(c);
  EXPECT_TRUE(MatchesGolden(page.bitmap, "render/borders.png"));
  EXPECT_EQ(LastErrorNumber(c), 0);
}

TEST(RenderGolden, TheTwelveAlignments) {
  KtPrint4Impl c;
  GoldenPage(c, 170);
  c.dRowHeight(Px(48));
  c.dColLineTop(1);
  c.dColLineBottom(1);
  c.dColLineLeft(1);
  c.dColLineRight(1);
  const char* names[] = {"LeftTop",    "CenterTop",    "RightTop",    "JustifyTop",
                         "LeftCenter", "CenterCenter", "RightCenter", "JustifyCenter",
                         "LeftBottom", "CenterBottom", "RightBottom", "JustifyBottom"};
  for (int r = 0; r < 3; ++r) {
    c.AddRow(names[r * 4], Quarter(1) + names[r * 4 + 1], Quarter(2) + names[r * 4 + 2],
             Quarter(3) + names[r * 4 + 3]);
    for (int k = 1; k <= 4; ++k) Set(c, r + 1, k, {{"AlignPos", Variant(r * 4 + k - 1)}, {"FontSize", Variant(8)}});
  }
  RenderedPage page(c);
  EXPECT_TRUE(MatchesGolden(page.bitmap, "render/alignments.png"));
}

TEST(RenderGolden, ShadowsForEveryFontStyle) {
  KtPrint4Impl c;
  GoldenPage(c, 140);
  c.dRowHeight(Px(56));
  c.AddRow("Flat", "#1440#Raised", "#2880#Heavy");
  c.AddRow("Inset", "#1440#InsetHv", "#2880#Other");
  for (int r = 1; r <= 2; ++r)
    for (int k = 1; k <= 3; ++k)
      Set(c, r, k, {{"FontStyle", Variant((r - 1) * 3 + k - 1 == 5 ? 7 : (r - 1) * 3 + k - 1)}, {"FontSize", Variant(20)},
                    {"FontBold", Variant(true)}, {"ShadowSize", Variant(2)}, {"ShadowColor", Variant(0x0000FF)},
                    {"ShadowHeavyColor", Variant(0xFF0000)}, {"FontColor", Variant(0x303030)},
                    {"AlignPos", Variant(ppCenterCenter)}});
  RenderedPage page(c);
  EXPECT_TRUE(MatchesGolden(page.bitmap, "render/shadows.png"));
}

TEST(RenderGolden, ClippingOnAndOffAndFirstLineIndents) {
  KtPrint4Impl c;
  GoldenPage(c, 220);
  c.AddRow("Clipped: a text much longer than its cell", "#2700#next");
  Set(c, 1, 1, {{"WordWrap", Variant(false)}});
  c.dColClipping(false);
  c.AddRow("Not clipped: a text much longer than its cell", "#2700#next");
  Set(c, 2, 1, {{"WordWrap", Variant(false)}});
  c.dColClipping(true);
  c.AddRow("An indent of ten pixels on the first line only, then the text wraps on.");
  Set(c, 3, 1, {{"IndentFirst", Variant(Px(10))}, {"FontSize", Variant(8)}});
  c.AddRow("An indent of sixty pixels on the first line, wrapping under it.");
  Set(c, 4, 1, {{"IndentFirst", Variant(Px(60))}, {"FontSize", Variant(8)}});
  for (int r = 1; r <= 4; ++r) Set(c, r, 1, {{"LineRight", Variant(1)}, {"LineBottom", Variant(1)}});
  RenderedPage page(c);
  EXPECT_TRUE(MatchesGolden(page.bitmap, "render/clipping_and_indents.png"));
}

TEST(RenderGolden, FrameControlGlyphsAndEdges) {
  KtPrint4Impl c;
  GoldenPage(c, 220);
  c.dRowHeight(Px(30));
  c.AddRow("check", Quarter(1) + "radio", Quarter(2) + "close", Quarter(3) + "scroll");
  c.SetFrameControl(1, 1, ppDFC_BUTTON, ppDFCS_BUTTONCHECK | ppDFCS_CHECKED, Px(16));
  c.SetFrameControl(1, 2, ppDFC_BUTTON, ppDFCS_BUTTONRADIO | ppDFCS_CHECKED, Px(16));
  c.SetFrameControl(1, 3, ppDFC_CAPTION, ppDFCS_CAPTIONCLOSE, Px(16));
  c.SetFrameControl(1, 4, ppDFC_SCROLL, ppDFCS_SCROLLDOWN, Px(16));
  c.AddRow("raised", Quarter(1) + "sunken", Quarter(2) + "etched", Quarter(3) + "bump");
  const std::int32_t edges[] = {ppEDGE_RAISED, ppEDGE_SUNKEN, ppEDGE_ETCHED, ppEDGE_BUMP};
  for (int k = 1; k <= 4; ++k) c.SetEdge(2, k, edges[k - 1], ppBF_RECT);
  c.AddRow("centred glyph, tall row", Quarter(2) + "pushed push button");
  c.SetFrameControl(3, 1, ppDFC_MENU, ppDFCS_MENUCHECK, Px(20));
  Set(c, 3, 1, {{"RowHeight", Variant(Px(50))}, {"AlignPos", Variant(ppLeftCenter)}});
  c.SetFrameControl(3, 2, ppDFC_BUTTON, ppDFCS_BUTTONPUSH | ppDFCS_PUSHED, Px(24));
  c.SetEdge(3, 2, ppEDGE_SUNKEN, ppBF_BOTTOM | ppBF_RIGHT);
  RenderedPage page(c);
  EXPECT_TRUE(MatchesGolden(page.bitmap, "render/frames_and_edges.png"));
  EXPECT_EQ(LastErrorNumber(c), 0);
}

TEST(RenderGolden, HeaderAndFooterFieldsOverSeveralPages) {
  KtPrint4Impl c;
  GoldenPage(c, 200);
  c.MarginTop(Px(50));
  c.MarginBottom(Px(50));
  c.MarginHeader(Px(10));
  c.MarginFooter(Px(40));
  c.AddHeaderRow("Header of page %p", "#2700#of %n");
  c.AddFooterRow("Footer: page %p of %n");
  for (int i = 1; i <= 6; ++i) c.AddRow("Body row " + std::to_string(i));
  ASSERT_EQ(c.Pages(), 3);
  for (std::int16_t p = 1; p <= 3; ++p) {
    SCOPED_TRACE("page " + std::to_string(p));
    RenderedPage page(c, p);
    EXPECT_TRUE(MatchesGolden(page.bitmap, "render/fields_page" + std::to_string(p) + ".png"));
  }
}

TEST(RenderGolden, OnePageAtThreeZooms) {
  KtPrint4Impl c;
  GoldenPage(c, 200);
  c.Marginleft(Px(20));
  c.MarginTop(Px(20));
  c.AddRow("Zoomed text", Quarter(2, kW - 20) + "second cell");
  Set(c, 1, -1, {{"LineBottom", Variant(2)}});
  Set(c, 1, 2, {{"FillCell", Variant(true)}, {"BrushColor", Variant(0xE0E0FF)}});
  for (std::int16_t zoom : {50, 100, 250}) {
    SCOPED_TRACE("zoom " + std::to_string(zoom));
    RenderedPage page(c, 1, zoom);
    EXPECT_EQ(page.w, render::PageSurfaceSize(c, zoom).cx);
    EXPECT_TRUE(MatchesGolden(page.bitmap, "render/zoom" + std::to_string(zoom) + ".png"));
  }
}

}  // namespace
}  // namespace ktfolio::testing
