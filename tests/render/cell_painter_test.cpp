// One cell on the page: fill, borders, guide lines, colours resolved on
// drawing, fonts that fail, and the cell too narrow to draw, checked on the
// pixels of the rendered page surface. Alignment, shadows, clipping and
// first-line indents are held by the golden pictures.
#include "platform/gdi/gdi_testing.h"
#include "render_test_util.h"

namespace ktfolio::testing {
namespace {

constexpr int kRowPx = 40;

// A single-cell row of fixed height on a 200 x 80 pixel page.
class OneCell : public ::testing::Test {
 protected:
  void SetUp() override {
    SmallPage(c, 200, 80);
    c.dFitHeightToText(false);
    c.dRowHeight(Px(kRowPx));
  }
  void Set(const char* name, const Variant& v, std::int32_t col = 1) {
    ASSERT_TRUE(c.SetProperty(1, col, name, v)) << name;
  }
  KtPrint4Impl c;
};

TEST_F(OneCell, GuideLinesShowInThePreviewOnly) {
  c.MarginRight(Px(50));  // the cell's right edge at x 150, inside the page
  c.AddRow("");
  c.ShowGuideLines(true);
  {
    RenderedPage page(c);  // the right and the bottom guide line
    EXPECT_EQ(std::tuple(page.At(150, 20), page.At(60, kRowPx)), std::tuple(kGuideGrey, kGuideGrey));
  }
  // The print path at 96 dpi, where twips map to the preview's pixels at zoom 100.
  Canvas printed(200, 80);
  c.PageCount(c.Pages());
  render::PrinterPages printer{[] { return true; }, [] { return true; }};
  render::DrawPages(c, render::Device::ForPrint(printed.dc, 96, 96), 1, 1, render::Band{},
                    &printer);
  EXPECT_EQ(std::tuple(printed.At(150, 20), printed.At(60, kRowPx)), std::tuple(kWhite, kWhite));
}

TEST_F(OneCell, ACellTooNarrowForItsIndentsDrawsNothingAtAll) {
  c.AddRow("text");
  for (const auto& [name, value] : {std::pair<const char*, Variant>{"FillCell", Variant(true)},
                                    {"BrushColor", Variant(static_cast<std::int32_t>(kRed))}, {"LineTop", Variant(2)},
                                    {"IndentLeft", Variant(Px(100))}, {"IndentRight", Variant(Px(100))}})
    Set(name, value);
  RenderedPage page(c);
  EXPECT_EQ(page.Count(kWhite, {0, 0, 190, kRowPx + 2}), 190 * (kRowPx + 2))
      << "no fill, border or text";
  EXPECT_EQ(LastErrorNumber(c), 0);
}

TEST_F(OneCell, ASystemFontColourReadsBackResolvedOnceDrawn) {
  c.AddRow("text");
  const std::uint32_t highlight = 0x80000000u | COLOR_HIGHLIGHT;
  Set("FontColor", Variant(static_cast<std::int32_t>(highlight)));
  EXPECT_EQ(static_cast<std::uint32_t>(c.GetProperty(1, 1, "FontColor").ToLong()), highlight);
  { RenderedPage page(c); }
  EXPECT_EQ(static_cast<std::uint32_t>(c.GetProperty(1, 1, "FontColor").ToLong()), OleTranslateColor(highlight));
  EXPECT_EQ(OleTranslateColor(highlight), GetSysColor(COLOR_HIGHLIGHT));
}

// A face name too long for the face field is recorded and the rest still draws; a face that does
// not exist falls back without an error.
TEST_F(OneCell, AFontThatCannotBeMadeIsRecordedOrFallsBackAndTheRestStillDraws) {
  c.AddRow("text", "#1500#next");
  Set("FontName", Variant(std::string(40, 'A')));
  Set("FillCell", Variant(true));
  Set("BrushColor", Variant(static_cast<std::int32_t>(kRed)));
  c.ClearError();
  {
    RenderedPage page(c);
    EXPECT_EQ(LastErrorNumber(c), ErrorCode::kSubscriptOutOfRange);
    EXPECT_EQ(page.At(50, 20), kRed) << "the fill came before the font";
    EXPECT_GT(page.Ink({100, 0, 196, kRowPx}).right, 100) << "the next cell is drawn";
  }
  Set("FontName", Variant("No Such Typeface 123"), 2);
  Set("FontName", Variant("No Such Typeface 123"));
  Set("FillCell", Variant(false));
  c.ClearError();
  RenderedPage page(c);
  EXPECT_GT(page.Ink({0, 0, 96, kRowPx}).right, 20);
  EXPECT_GT(page.Ink({100, 0, 196, kRowPx}).right, 100);
  EXPECT_EQ(LastErrorNumber(c), 0);
}

// The example invoice is previewed with its texts laid out as they were
// measured, at every zoom: a line that fits its row at 100 % keeps its words
// on one line at 49 % (the designer's fit-page zoom) and at every other zoom,
// at a width in proportion, so no word wraps into a row with no room for it.
TEST(ZoomedText, TheInvoiceBreaksItsLinesAsAtOneHundredAtEveryZoom) {
  KtPrint4Impl c;
  ASSERT_TRUE(c.LoadFromTemplate(KTFOLIO_TEST_DATA "/../../examples/templates/invoice.ktt"));
  const std::int16_t pages = c.Pages();
  // Only the layouts are looked at: the page is drawn onto a single pixel.
  const Canvas pixel(1, 1);
  auto layoutsAt = [&](double zoom) {
    std::vector<win::testing::DrawTextLayout> drawn;
    win::testing::RecordDrawText(&drawn);
    c.Zoom(zoom);
    c.PageCount(pages);
    render::DrawPages(c, render::Device::ForPreview(pixel.dc, zoom), 1, pages, render::Band{},
                      nullptr);
    win::testing::RecordDrawText(nullptr);
    return drawn;
  };
  const auto base = layoutsAt(100);
  auto leverArch = std::find_if(base.begin(), base.end(),
                                [](const auto& l) { return l.lines.front().rfind("Lever-arch", 0) == 0; });
  ASSERT_NE(leverArch, base.end());
  ASSERT_EQ(leverArch->lines.size(), 1u) << "the row was measured for one line";
  int mismatches = 0;
  for (int zoom = 10; zoom <= 250 && mismatches < 5; ++zoom) {
    const auto at = layoutsAt(zoom);
    ASSERT_EQ(at.size(), base.size()) << "zoom " << zoom << " draws the same texts";
    const double scale = zoom / 100.0;
    for (std::size_t i = 0; i < at.size() && mismatches < 5; ++i) {
      const double width = base[i].right - base[i].left;
      if (at[i].lines == base[i].lines && std::abs(at[i].right - at[i].left - width * scale) <= 1) continue;
      ADD_FAILURE() << "zoom " << zoom << ": \"" << base[i].lines.front() << "\" is laid out in " << at[i].lines.size()
                    << " lines " << at[i].right - at[i].left << " wide, at 100 % in " << base[i].lines.size()
                    << " lines " << width << " wide";
      ++mismatches;
    }
  }
}

}  // namespace
}  // namespace ktfolio::testing
