// The preview on a form, driven as a user would: toolbar clicks found by member name, the
// status read back from the child windows, errors from the control's record.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "control/ktprint4_impl.h"
#include "viewer/toolbar.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_testing.h"
#include "platform/container/form.h"
#include "support/errors.h"
#include "support/form.h"

namespace ktfolio {
namespace {

using namespace win;

constexpr int kWidth = 640, kHeight = 480;
constexpr std::int32_t kPageOutOfRange = ToInt(ErrorCode::kPageOutOfRange);
constexpr std::int32_t kZoomOutOfRange = ToInt(ErrorCode::kZoomOutOfRange);

struct Sink : KtPrint4Events {
  std::string veto;
  std::vector<std::string> keys;
  std::vector<std::array<std::int32_t, 4>> clicks;
  std::vector<std::array<std::int32_t, 3>> newPages;
  std::function<void(std::int32_t)> onNewPage;  // with First or Last
  void NewPage(std::int32_t& page, std::int32_t& row, std::int32_t& last) override {
    newPages.push_back({page, row, last});
    if (onNewPage) onNewPage(last);
  }
  std::function<void()> during;  // what the host does inside the event
  void BeforeButtonClick(std::int16_t, const std::string& key, bool& cancel) override {
    keys.push_back(key);
    if (key == veto) cancel = true;
    if (during) during();
  }
  void ClickCell(std::int32_t row, std::int32_t col, std::int32_t area, std::int16_t button) override {
    clicks.push_back({row, col, area, button});
    if (during) during();
  }
};

// A form with a control of `rows` body rows of 500 twips (27 to an A4 page),
// or, with fitToText, as tall as their text.
class PreviewTest : public ::testing::Test {
 protected:
  void Open(int rows, bool fitToText = false) {
    form_ = std::make_unique<Form>(kWidth, kHeight);
    control_ = std::make_unique<KtPrint4Impl>(form_.get());
    control_->dFitHeightToText(fitToText);
    control_->dRowHeight(500);
    for (int i = 1; i <= rows; ++i) control_->AddRow("row " + std::to_string(i), i);
    control_->Advise(&sink_);
    PlaceOnForm(*control_, *form_);
    form_->Show();
  }
  void TearDown() override {
    if (control_) control_->Unadvise(&sink_);
    control_.reset();
    form_.reset();
  }
  Form::ChildInfo Child(const std::string& name) { return ktfolio::testing::Child(*form_, name); }
  void ClickOn(const std::string& name) { ktfolio::testing::ClickOn(*form_, name); }
  std::int32_t LastError() { return ktfolio::testing::LastErrorNumber(*control_); }
  void SetZoom(std::int16_t z) { control_->SetZoom(z); }

  Sink sink_;
  std::unique_ptr<Form> form_;
  std::unique_ptr<KtPrint4Impl> control_;
};

TEST_F(PreviewTest, APaintRepaginatesWhatARestyleChanged) {
  Open(30, true);
  ASSERT_EQ(control_->Pages(), 1);
  control_->SetProperty(-1, -1, "FontSize", Variant(24));
  sink_.newPages.clear();
  control_->Refresh();
  form_->Pump();
  const int pages = control_->Pages();
  EXPECT_GT(pages, 1) << "the taller rows no longer fit one page";
  std::array<std::int32_t, 3> last{};
  for (const auto& e : sink_.newPages)
    if (e[2] == Last) last = e;
  EXPECT_TRUE(last[0] == 1 && last[1] < 30) << "page 1 ends before the last row";
  EXPECT_EQ(std::tuple(Child("PlaceHolder2").text, Child("cmdTool(6)").enabled), std::tuple("1/" + std::to_string(pages), true));
}

TEST_F(PreviewTest, PageButtonsWalkThePagesAndDisableAtTheEnds) {
  Open(60);
  const int pages = control_->Pages();
  ClickOn("cmdTool(6)");
  EXPECT_EQ(std::tuple(Child("PlaceHolder2").text, Child("cmdTool(5)").enabled), std::tuple("2/" + std::to_string(pages), true));
  for (int p = 3; p <= pages; ++p) ClickOn("cmdTool(6)");
  EXPECT_EQ(control_->PreviewPage(), pages);
  EXPECT_FALSE(Child("cmdTool(6)").enabled) << "no next page on the last";
  ClickOn("cmdTool(6)");
  EXPECT_EQ(control_->PreviewPage(), pages) << "a disabled button does nothing";
  ClickOn("cmdTool(5)");
  EXPECT_EQ(control_->PreviewPage(), pages - 1);
}

TEST_F(PreviewTest, TheStatusCountsThePagesOfTheLastPaginationAndPreviewStaysWithinThem) {
  Open(1);
  for (int i = 2; i <= 81; ++i) control_->AddRow("row " + std::to_string(i));
  control_->RePaging();
  control_->RefreshStatus();
  EXPECT_EQ(std::tuple(Child("PlaceHolder2").text, Child("cmdTool(6)").enabled),
            std::tuple("1/3", true));
  for (std::int16_t bad : {0, 4}) {
    control_->Preview(bad);
    EXPECT_EQ(std::tuple(LastError(), control_->PreviewPage()), std::tuple(kPageOutOfRange, 1))
        << bad << ": nothing changed";
    control_->ClearError();
  }
  control_->Preview(3);
  EXPECT_EQ(std::tuple(LastError(), control_->PreviewPage()), std::tuple(0, 3));
}

TEST_F(PreviewTest, FitToPageAndZoomButtonsWithinTheRangeThatSetZoomChecks) {
  Open(1);
  // The viewport's client as the fit sees it (bars still shown at 100 %), in
  // twips, less two margins of 150.
  RECT rc;
  GetClientRect(control_->ViewportWindow(), &rc);
  SetZoom(0);
  const tpPageInfo info = control_->PageInfo();
  const double zw = (rc.right * 15.0 - 300) / info.Width * 100, zh = (rc.bottom * 15.0 - 300) / info.Height * 100;
  EXPECT_DOUBLE_EQ(control_->Zoom(), std::min(zw, zh));
  EXPECT_EQ(Child("PlaceHolder1").text, std::to_string(static_cast<int>(control_->Zoom())) + " %");
  EXPECT_GT(Child("VP").height, 0);
  SetZoom(100);
  ClickOn("cmdTool(1)");
  EXPECT_DOUBLE_EQ(control_->Zoom(), 110);
  for (int i = 0; i < 2; ++i) ClickOn("cmdTool(2)");
  EXPECT_DOUBLE_EQ(control_->Zoom(), 90);
  // From the rounded zoom; zooming out from 12 % fits the page.
  EXPECT_EQ(std::tuple(Toolbar::SteppedZoom(87.6, 10), Toolbar::SteppedZoom(87.6, -10),
                       Toolbar::SteppedZoom(12, -10)),
            std::tuple(90, 70, 0));
  for (std::int16_t z : {9, 251, -2, 10, 250}) {
    const double before = control_->Zoom();
    const bool accepted = z == 10 || z == 250;
    SetZoom(z);
    EXPECT_EQ(std::tuple(LastError(), control_->Zoom()),
              std::tuple(accepted ? 0 : kZoomOutOfRange, accepted ? z : before)) << z;
    control_->ClearError();
  }
  EXPECT_EQ(Child("PlaceHolder1").text, "250 %");
  ClickOn("cmdTool(1)");
  EXPECT_EQ(std::tuple(LastError(), control_->Zoom()), std::tuple(kZoomOutOfRange, 250.0))
      << "zoom in at 250 %";
}

TEST_F(PreviewTest, AVetoedPrintButtonDoesNotPrintButOtherButtonsAct) {
  Open(1);
  // The built-in PDF printer, no dialog: a print leaves its file behind.
  const std::string file = ::testing::TempDir() + "ktfolio_toolbar_print.pdf";
  std::remove(file.c_str());
  win::spooler::SetPdfPrinterOutput(file);
  control_->PrinterName("PDF");
  control_->ShowPrintDlg(false);
  auto printed = [&] { return std::ifstream(file).good(); };
  sink_.veto = "Print";
  ClickOn("cmdTool(0)");
  EXPECT_FALSE(printed()) << "the host vetoed the toolbar's print";
  ClickOn("cmdTool(1)");
  EXPECT_DOUBLE_EQ(control_->Zoom(), 110);
  control_->PrintDoc(1, 1);
  EXPECT_TRUE(printed()) << "the host's own PrintDoc still prints";
  std::remove(file.c_str());
  sink_.veto.clear();
  ClickOn("cmdTool(0)");
  EXPECT_TRUE(printed() && LastError() == 0) << "the toolbar prints once the host lets it";
  EXPECT_EQ(sink_.keys, (std::vector<std::string>{"Print", "ZommIn", "Print"}));
  std::remove(file.c_str());
}

TEST_F(PreviewTest, TheToolbarsMembersAndHidingItGivesTheViewportTheWholeHeight) {
  Open(1);
  for (auto m : {"Toolbar", "PlaceHolder1", "PlaceHolder2", "btSep1", "Sep2", "Sep3", "Sep4"})
    EXPECT_EQ(Child(m).name, m);
  EXPECT_EQ(std::tuple(Child("cmdTool(0)").text, Child("cmdTool(5)").text, Child("cmdTool(6)").text,
                       Child("cmdTool(0)").cls, Child("VP").cls),
            std::tuple(" Print", " Prev.", " Next", "KtBoton", "PortV"));
  EXPECT_EQ(Child("VP").y, Toolbar::kHeight);
  control_->ShowToolBar(false);
  EXPECT_EQ(std::tuple(Child("Toolbar").visible, Child("VP").y, Child("VP").height),
            std::tuple(false, 0, kHeight));
  form_->Resize(500, 400);
  EXPECT_EQ(Child("VP").height, 400) << "and keeps it on resize";
  // The viewport's own tests place the page; here the preview gives it the
  // form's work-space colour around a small page.
  SetZoom(20);
  form_->Pump();
  EXPECT_EQ(user::WindowPixel(control_->ViewportWindow(), 2, 2), GetSysColor(COLOR_APPWORKSPACE));
}

TEST_F(PreviewTest, AClickOnACellIsReportedWithItsAddressToAHandlerThatCannotFreeTheRows) {
  Open(5);
  SetZoom(100);
  const tpPageInfo info = control_->PageInfo();
  // Row 2 of the body: top margin plus one row of 500 twips, then a little.
  const Form::ChildInfo vp = Child("VP");
  form_->Click(vp.x + static_cast<int>((info.LeftM + 100) / 15), vp.y + static_cast<int>((info.TopM + 500 + 250) / 15));
  form_->Click(vp.x + 2, vp.y + 2);  // the margin holds no cell
  EXPECT_EQ(sink_.clicks, (std::vector<std::array<std::int32_t, 4>>{{2, 1, Body, 1}}));
  sink_.during = [&] { control_->ClearAll(); };
  form_->Click(vp.x + static_cast<int>((info.LeftM + 100) / 15), vp.y + static_cast<int>((info.TopM + 250) / 15));
  EXPECT_EQ(std::tuple(sink_.clicks.size(), LastError(), control_->LastRow()),
            std::tuple(2u, ToInt(ErrorCode::kInvalidProcedureCall), 5));
}

TEST_F(PreviewTest, HandlersMayMoveThePreviewButThePageButtonsNeverWrapIt) {
  Open(60);
  struct Case { const char* button; std::int16_t movedTo; /* by the BeforeButtonClick handler */ std::int16_t after; };
  const Case cases[] = {{"cmdTool(6)", kMaxPages, kMaxPages}, {"cmdTool(5)", INT16_MIN, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    control_->Preview(2);
    control_->ClearError();
    sink_.during = [&] { control_->PreviewPage(c.movedTo); };
    ClickOn(c.button);
    EXPECT_EQ(std::pair(control_->PreviewPage(), LastError()), std::pair(c.after, kPageOutOfRange));
  }
}

TEST_F(PreviewTest, WhileItPrintsTheToolbarNamesThePageAndIsEmptiedAfter) {
  namespace sp = spooler::testing;
  sp::TestPrinter printer;
  printer.name = "print-status-printer";
  printer.output = ::testing::TempDir() + "print_status.pdf";
  sp::AddTestPrinter(printer);
  Open(3);
  control_->SetPageBreak(2);
  control_->SetPageBreak(3);
  control_->PrinterName(printer.name);
  std::vector<std::string> captions;
  sink_.onNewPage = [&](std::int32_t firstOrLast) {
    if (firstOrLast == First) captions.push_back(Child("Toolbar").text);
  };
  control_->PrintDoc(2, 3);
  EXPECT_EQ(captions, (std::vector<std::string>{"Printing Page 2 ", "Printing Page 3 "}));
  EXPECT_EQ(Child("Toolbar").text, "");
  sp::RemoveTestPrinters();
  std::remove(printer.output.c_str());
}

TEST(PreviewLifetime, AClosedFormLeavesNoWindowTimerPropertyOrGdiObject) {
  const int windows = user::LiveWindowCount(), timers = user::LiveTimerCount();
  const int props = user::LivePropertyCount(), gdi = GdiLiveObjects().total();
  {
    Form form(400, 300);
    KtPrint4Impl control(&form);
    control.AddRow("a", "b");
    PlaceOnForm(control, form);
    form.Show();
    form.MouseMove(20, 10);  // a hot button: a tracked leave, a subclass
    form.Click(200, 200);
    std::int16_t z = 0;
    control.SetZoom(z);
  }
  EXPECT_EQ(std::tuple(user::LiveWindowCount(), user::LiveTimerCount(), user::LivePropertyCount(), GdiLiveObjects().total()),
            std::tuple(windows, timers, props, gdi));
}

TEST(PreviewHeadless, AControlWithoutAWindowStillChecksPagesAndZoom) {
  KtPrint4Impl control;
  control.AddRow("a");
  control.Preview(2);
  const ktfolio::testing::Recorded e = ktfolio::testing::LastRecorded(control);
  EXPECT_EQ(std::tuple(e.number, e.source), std::tuple(ToInt(ErrorCode::kPageOutOfRange), "Previewing"));
  control.Preview(1);
  EXPECT_EQ(control.PreviewPage(), 1);
  std::int16_t z = 0;
  control.SetZoom(z);
  EXPECT_DOUBLE_EQ(control.Zoom(), 100) << "no viewport to fit";
}

}  // namespace
}  // namespace ktfolio
