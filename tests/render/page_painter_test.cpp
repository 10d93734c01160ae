// The page loop: NewPage events in order, handlers that change the loop's
// arguments or the document, header and footer on every page, row spacing,
// the last cell reaching the right edge, empty documents and rows without
// cells.
#include <climits>
#include <tuple>
#include <vector>

#include "viewer/toolbar.h"
#include "platform/container/form.h"
#include "render_test_util.h"

namespace ktfolio::testing {
namespace {

constexpr int kRowPx = 30;

// A small page of rows of a fixed height in pixels; `filled` paints their cells red.
void FixedRows(KtPrint4Impl& c, int rowPx, bool filled, int w = 200, int h = 100) {
  SmallPage(c, w, h);
  c.dFitHeightToText(false);
  c.dRowHeight(Px(static_cast<float>(rowPx)));
  c.dColFillCell(filled);
  c.dColBrushColor(kRed);
}

using Event = std::tuple<std::int32_t, std::int32_t, std::int32_t>;  // page, row, first/last

struct NewPageRecorder : KtPrint4Events {
  std::vector<Event> events;
  void NewPage(std::int32_t& page, std::int32_t& row, std::int32_t& firstOrLast) override {
    events.emplace_back(page, row, firstOrLast);
  }
};

// Three 30-pixel rows fit a 100-pixel page: seven rows make pages 1-3, 4-6, 7.
class SevenRows : public ::testing::Test {
 protected:
  void SetUp() override {
    FixedRows(c, kRowPx, false);
    for (int i = 1; i <= 7; ++i) c.AddRow("row " + std::to_string(i));
    ASSERT_EQ(c.Pages(), 3);
    c.Advise(&recorder);
  }
  void TearDown() override { c.Unadvise(&recorder); }
  void Preview(std::int32_t first, std::int32_t last) {
    Canvas page(200, 100);
    render::DrawPages(c, render::Device::ForPreview(page.dc, 100), first, last,
                      render::Band{0, 100}, nullptr);
  }
  KtPrint4Impl c;
  NewPageRecorder recorder;
};

TEST_F(SevenRows, NewPageIsRaisedBeforeEachPageAndItsLastRowAndForEveryPageOfARange) {
  Preview(2, 2);
  EXPECT_EQ(recorder.events, (std::vector<Event>{{2, 4, First}, {2, 6, Last}}));
  recorder.events.clear();
  Preview(3, 3);
  EXPECT_EQ(recorder.events, (std::vector<Event>{{3, 7, First}, {3, 7, Last}})) << "the last body row";
  recorder.events.clear();  // printing a range raises every page of it in order
  const std::string dir = TempDir("events");
  ASSERT_TRUE(c.ExportPdf(dir + "/all.pdf", 1, 3));
  EXPECT_EQ(recorder.events, (std::vector<Event>{{1, 1, First}, {1, 3, Last}, {2, 4, First}, {2, 6, Last},
                                                  {3, 7, First}, {3, 7, Last}}));
}

// ---- hostile handlers: each case in a child process, so that a crash or a loop
// that never ends fails the case, not the test program ----------------------------

// What a handler does with the control and the event's page, row and first/last arguments.
#define KT_ACT [](KtPrint4Impl & c, std::int32_t & page, std::int32_t & row, std::int32_t fl)
struct HostileCase {
  const char* name;
  void (*act)(KtPrint4Impl& c, std::int32_t& page, std::int32_t& row, std::int32_t firstOrLast);
  const char* refused;  // the operation refused inside the event (error 5), or none
};
const HostileCase kHostileCases[] = {
    {"Row = 0", KT_ACT { row = 0; }, nullptr},
    {"Row = -5", KT_ACT { row = -5; }, nullptr},
    {"Row = 1 before a page's last row", KT_ACT { row = fl == Last ? 1 : row; }, nullptr},
    {"Row = 2147483647", KT_ACT { row = INT32_MAX; }, nullptr},
    {"Page = 2147483647", KT_ACT { page = INT32_MAX; }, nullptr},
    {"ClearAll", KT_ACT { c.ClearAll(); }, "ClearAll"},
    {"RemoveRows", KT_ACT { (void)c.RemoveRows(1, 7); }, "RemoveRows"},
    {"SetDsnArray", KT_ACT { c.SetDsnArray(ByteArray{'[', 'B', 'o', 'd', 'y', ']', '\r', '\n'}); }, "SetDsnArray"},
    {"LoadFromTemplate", KT_ACT { (void)c.LoadFromTemplate("/nonexistent.ktt"); }, "LoadFromTemplate"},
};
#undef KT_ACT

enum class Output { Preview, Png, Pdf };

struct Hostile : KtPrint4Events {
  static constexpr int kMaxEvents = 1000;  // the three pages raise six; more means the loop went back
  const HostileCase& k;
  KtPrint4Impl& c;
  int events = 0;
  Hostile(const HostileCase& kase, KtPrint4Impl& control) : k(kase), c(control) {}
  void NewPage(std::int32_t& page, std::int32_t& row, std::int32_t& firstOrLast) override {
    if (++events > kMaxEvents) {
      std::fprintf(stderr, "the page loop does not end\n");
      std::_Exit(3);
    }
    k.act(c, page, row, firstOrLast);
  }
};

// Draws the seven-row document with the handler attached; exits 0 when the
// output was made, every row is still there and what the handler asked is
// recorded as it should be.
[[noreturn]] void DrawWithHostileHandler(const HostileCase& k, Output output) {
  auto fail = [](const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::_Exit(1);
  };
  Form form(400, 300);
  KtPrint4Impl c(&form);
  FixedRows(c, kRowPx, false);
  for (int i = 1; i <= 7; ++i) c.AddRow("row " + std::to_string(i));
  Hostile handler(k, c);
  c.Advise(&handler);
  c.ClearError();
  const std::string dir = TempDir("hostile");
  switch (output) {
    case Output::Preview:
      PlaceOnForm(c, form);
      form.Show();
      for (std::int16_t p = 1; p <= 3; ++p) c.Preview(p);
      break;
    case Output::Png:
      for (std::int16_t p = 1; p <= 3; ++p)
        if (!c.ExportPng(dir + "/p.png", p)) fail("ExportPng failed");
      break;
    case Output::Pdf:
      if (!c.ExportPdf(dir + "/all.pdf", 1, 3)) fail("ExportPdf failed");
      break;
  }
  c.Unadvise(&handler);
  if (handler.events == 0) fail("no NewPage event");
  if (c.LastRow() != 7 || c.GetProperty(7, 1, "Text").ToString() != "row 7") fail("rows were lost");
  const Recorded e = LastRecorded(c);
  if (k.refused && !(e.any && e.number == ErrorCode::kInvalidProcedureCall && e.source == k.refused &&
                     e.description.find("NewPage") != std::string::npos))
    fail("not refused: " + std::to_string(e.number) + " " + e.source + " " + e.description);
  if (!k.refused && e.any) fail("recorded " + std::to_string(e.number) + " " + e.description);
  std::_Exit(0);
}

TEST(PageLoop, HandlersThatMoveTheLoopOrFreeItsRowsNeitherCrashNorHang) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::pair<Output, const char*> outputs[] = {
      {Output::Preview, "Preview"}, {Output::Png, "ExportPng"}, {Output::Pdf, "ExportPdf"}};
  for (const HostileCase& k : kHostileCases)
    for (const auto& [output, outputName] : outputs) {
      SCOPED_TRACE(std::string(k.name) + " in " + outputName);
      EXPECT_EXIT(DrawWithHostileHandler(k, output), ::testing::ExitedWithCode(0), "");
    }
}

// A handler may move the loop on from a page's first row, not back before it nor past the end.
TEST_F(SevenRows, AHandlerMayMoveTheLoopOnButNotBackOrPastTheEnd) {
  struct Mover : KtPrint4Events {
    std::int32_t to = 0;
    void NewPage(std::int32_t&, std::int32_t& row, std::int32_t& firstOrLast) override {
      if (firstOrLast == First) row = to;
    }
  } mover;
  c.Advise(&mover);
  const std::tuple<std::int16_t, std::int32_t, Event> cases[] = {
      {1, 3, {1, 3, Last}}, {2, -5, {2, 6, Last}}, {2, 0, {2, 6, Last}}, {2, 2, {2, 6, Last}}};
  for (const auto& [page, to, last] : cases) {
    SCOPED_TRACE(to);
    mover.to = to;
    recorder.events.clear();
    Preview(page, page);
    EXPECT_EQ(recorder.events.back(), last);
  }
  mover.to = 1000;
  recorder.events.clear();
  Preview(2, 2);
  EXPECT_EQ(recorder.events.size(), 1u) << "past the end: the loop ends";
  c.Unadvise(&mover);
}

TEST(PageLoop, AnEmptyBodyPreviewsItsBandsOnceAndPrintsNoPage) {
  KtPrint4Impl c;
  SmallPage(c, 200, 100);
  c.AddHeaderRow("head");
  NewPageRecorder recorder;
  c.Advise(&recorder);
  {
    RenderedPage page(c);
    EXPECT_GT(page.Ink({0, 0, 196, 40}).right, 0) << "the header is drawn";
  }
  EXPECT_EQ(recorder.events, (std::vector<Event>{{1, 1, First}}));
  recorder.events.clear();
  int started = 0;
  render::PrinterPages printer{[&] { return ++started, true; }, [] { return true; }};
  render::DrawPages(c, render::Device::ForPrint(MemoryDC(nullptr), 96, 96), 1, 1, render::Band{},
                    &printer);
  EXPECT_TRUE(started == 0 && recorder.events.empty());
  c.Unadvise(&recorder);
}

TEST(PageLoop, RowSpacingComesBeforeEveryRowButThePagesFirstAndTheLastCellReachesTheRightEdge) {
  KtPrint4Impl c;
  FixedRows(c, 20, true);
  c.RowSpacing(Px(10));
  c.MarginRight(Px(40));  // the right edge at 160
  for (int i = 0; i < 5; ++i) c.AddRow("", "#750#");
  ASSERT_EQ(c.Pages(), 2);  // 0-20, 30-50, 60-80 | 0-20, 30-50
  for (std::int16_t p : {1, 2}) {
    SCOPED_TRACE("page " + std::to_string(p));
    RenderedPage page(c, p);  // the first row starts at the top, then spacing, then the second row
    EXPECT_EQ(std::tuple(page.At(50, 0), page.At(50, 25), page.At(50, 30), page.At(159, 5),
                         page.At(161, 5)),
              std::tuple(kRed, kWhite, kRed, kRed, kWhite));
  }
}

TEST(PageLoop, ARowWithoutCellsIsRecordedAndTheRowsAfterItStillDraw) {
  KtPrint4Impl c;
  FixedRows(c, 20, true);
  for (int i = 0; i < 3; ++i) c.AddRow("");
  c.Rows(Body)->Item(2)->ItemText().Remove(1);
  c.ClearError();
  RenderedPage page(c);
  const Recorded e = LastRecorded(c);
  EXPECT_EQ(std::tuple(e.number, e.source), std::tuple(ToInt(ErrorCode::kRowWithoutTextItems), "Preview Row"));
  EXPECT_EQ(std::tuple(page.At(50, 10), page.At(50, 30), page.At(50, 50)), std::tuple(kRed, kWhite, kRed))
      << "the empty row draws nothing, the row after it does";
}

TEST(PageLoop, GuideRectanglesMarkTheMarginsInThePreview) {
  KtPrint4Impl c;
  SmallPage(c, 200, 120);
  c.Marginleft(Px(20));
  c.MarginRight(Px(20));
  c.MarginTop(Px(30));
  c.MarginBottom(Px(30));
  c.MarginHeader(Px(10));
  c.MarginFooter(Px(20));
  c.ShowGuideLines(true);
  c.AddRow("");
  RenderedPage page(c);
  // The body rectangle's left and top sides, the header's at the header margin, the footer's; nothing in the margin.
  EXPECT_EQ(std::tuple(page.At(20, 60), page.At(100, 30), page.At(100, 10), page.At(100, 120 - 3 - 20), page.At(10, 60)),
            std::tuple(kBlue, kBlue, kBlue, kBlue, kWhite));
}

}  // namespace
}  // namespace ktfolio::testing
