// PrintDoc on in-process test printers and the built-in PDF printer: the job's
// steps in order, the device settings it writes, the copies questions, the
// print dialog, every failure's number and source, and the file it makes.
#include <fstream>

#include "document/errors.h"
#include "platform/dialogs/dialogs.h"
#include "platform/spooler/spooler_testing.h"
#include "platform/user/user.h"
#include "render/render_test_util.h"
#include "support/pdf.h"

namespace ktfolio::testing {
namespace {

namespace sp = win::spooler::testing;
using sp::Fault;
using Calls = std::vector<std::string>;

constexpr const char* kPrinter = "ktfolio-test-printer";
constexpr size_t kFields = 40, kOrientation = 44, kPaperSize = 46, kPaperLength = 48, kPaperWidth = 50, kCopies = 54;

constexpr auto LastError = LastRecorded<KtPrint4Impl>;

int U16(const std::vector<BYTE>& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t U32(const std::vector<BYTE>& b, size_t at) { return U16(b, at) | (std::uint32_t(U16(b, at + 2)) << 16); }
bool Has(const Calls& calls, const std::string& step) { return std::find(calls.begin(), calls.end(), step) != calls.end(); }
bool Exists(const std::string& file) { return std::ifstream(file).good(); }
// Whether pdfinfo's "Page size" is w x h points, to within a point.
bool PageSizeIs(const std::string& file, double w, double h) {
  double pw = 0, ph = 0;
  std::sscanf(PdfField(file, "Page size").c_str(), "%lf x %lf", &pw, &ph);
  return std::abs(pw - w) < 1 && std::abs(ph - h) < 1;
}

class PrintDocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempDir(std::string("print_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    win::user::ResetScripts();
    win::dialogs::ResetDialogScripts();
    AddPrinter();
    c_.PrinterName(kPrinter);
    for (int p = 1; p <= 3; ++p) {  // three pages, one line of text on each
      c_.AddRow("Text of page " + std::to_string(p));
      if (p > 1) c_.SetPageBreak(c_.LastRow());
    }
  }
  void TearDown() override { sp::RemoveTestPrinters(); }
  // Adds the test printer afresh, with an empty log.
  void AddPrinter(std::map<Fault, int> failAt = {}, int maxCopies = sp::TestPrinter{}.maxCopies) {
    sp::AddTestPrinter({.name = kPrinter, .maxCopies = maxCopies, .output = out(), .failAt = failAt});
  }
  std::string out() const { return dir_ + "/job.pdf"; }
  const sp::TestPrinterLog& log() const { return sp::TestPrinterLogOf(kPrinter); }
  const std::vector<BYTE>& devmode() const { return log().devmode; }

  KtPrint4Impl c_;
  std::string dir_;
};

TEST_F(PrintDocTest, ARangeBecomesOneDocumentWithThosePagesInTheJobsOrder) {
  c_.PrintDoc(2, 3);
  EXPECT_EQ(LastError(c_).number, 0);
  const Calls expected = {"OpenPrinter", "SizeDevMode", "FillDevMode", "CreateDC", "StartDoc", "StartPage",
                          "EndPage",     "StartPage",   "EndPage",     "EndDoc",   "DeleteDC", "ClosePrinter"};
  EXPECT_EQ(std::tuple(log().calls, PdfField(out(), "Pages")), std::tuple(expected, "2"));
  for (int p : {1, 2}) EXPECT_NE(PdfText(out(), p).find("Text of page " + std::to_string(p + 1)), std::string::npos);
  EXPECT_EQ(PdfField(out(), "Title"), "Folio's Job") << "without a title of its own, the job's name";
}

TEST_F(PrintDocTest, AJobWithoutPagesStartsAndEndsAnEmptyDocumentAndPrintsNothing) {
  for (std::int16_t from : {5, 1}) {
    SCOPED_TRACE(from == 5 ? "a range after the last page" : "an empty body");
    c_.PrintDoc(from, from + 2);
    EXPECT_EQ(LastError(c_).number, 0);
    EXPECT_TRUE(Has(log().calls, "StartDoc") && Has(log().calls, "EndDoc"));
    EXPECT_FALSE(Has(log().calls, "StartPage") || Exists(out())) << "no blank sheet";
    c_.ClearAll();
  }
}

TEST_F(PrintDocTest, OneCopyNeverAsksTheDriverAndCopiesThePrinterCanMakeAreWrittenWithTheirBit) {
  c_.PrintDoc(1, 1, false, 1);
  ASSERT_FALSE(devmode().empty());
  EXPECT_EQ(U32(devmode(), kFields), 0x3u) << "orientation and paper size only";
  EXPECT_FALSE(Has(log().calls, "DeviceCapabilities"));
  AddPrinter({}, 3);  // exactly as many as it makes: no question
  c_.PrintDoc(1, 1, false, 3);
  EXPECT_EQ(LastError(c_).number, 0);
  EXPECT_EQ(std::tuple(U32(devmode(), kFields), U16(devmode(), kCopies)), std::tuple(0x103u, 3));
  EXPECT_TRUE(Has(log().calls, "DeviceCapabilities") && win::user::MessageBoxLog().empty());
}

TEST_F(PrintDocTest, OrientationIsSentPlusOneAndThePaperSizeAsTheControlsPageSize) {
  struct Case { const char* name; std::int32_t pageSize, orientation; int dmOrientation; double widthPts, heightPts; };
  const Case cases[] = {{"A4 portrait", s_A4, Portrait, 1, 595.3, 841.9},
                        {"letter landscape", s_LETTER, Landscape, 2, 792, 612}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    AddPrinter();
    c_.PageSize(k.pageSize);
    c_.Orientation(k.orientation);
    c_.PrintDoc(1, 1);
    ASSERT_EQ(LastError(c_).number, 0);
    EXPECT_EQ(std::tuple(U16(devmode(), kOrientation), U16(devmode(), kPaperSize)),
              std::tuple(k.dmOrientation, k.pageSize));
    EXPECT_TRUE(PageSizeIs(out(), k.widthPts, k.heightPts)) << "the printer's page follows the device settings";
  }
}

TEST_F(PrintDocTest, PaperLengthAndWidthReachTheDriverOnlyWithUserPaper) {
  c_.ScaleMode(eMillimetre);
  c_.PrintDoc(1, 1);
  EXPECT_EQ(std::pair(U32(devmode(), kFields) & 0xCu, U16(devmode(), kPaperLength)), std::pair(0u, 0))
      << "A4: no length or width";

  AddPrinter();
  c_.PageSize(s_USER);
  c_.PaperWidth(150.4f);
  c_.PaperLength(99.5f);
  c_.PrintDoc(1, 1);
  ASSERT_EQ(LastError(c_).number, 0);
  EXPECT_EQ(std::tuple(U32(devmode(), kFields), U16(devmode(), kPaperSize)), std::tuple(0xFu, 256));
  // The stored values taken to integers, ties to the even one.
  EXPECT_EQ(std::tuple(U16(devmode(), kPaperWidth), U16(devmode(), kPaperLength)), std::tuple(150, 100));
}

TEST_F(PrintDocTest, MoreCopiesThanThePrinterMakesAsksToContinueWithItsMaximumOrASingleOne) {
  const std::string question =
      "Printer \"ktfolio-test-printer\" can't print more than 2 copies, and you requested to print 5.\r\n"
      "\xC2\xBFWould you like to continue printing only 2 copies?";
  AddPrinter({}, 2);
  win::user::QueueMessageBoxAnswer(win::IDYES);
  c_.PrintDoc(1, 1, false, 5);
  ASSERT_EQ(win::user::MessageBoxLog().size(), 1u);
  const auto& box = win::user::MessageBoxLog()[0];  // 36: Yes and No, question icon
  EXPECT_EQ(std::tuple(box.text, box.caption, box.type), std::tuple(question, std::string("Confirmation"), 36u));
  EXPECT_EQ(U16(devmode(), kCopies), 2) << "Yes prints the printer's maximum";
  EXPECT_TRUE(Exists(out()));

  std::remove(out().c_str());
  AddPrinter({}, 2);
  win::user::QueueMessageBoxAnswer(win::IDNO);
  c_.PrintDoc(1, 1, false, 5);
  EXPECT_FALSE(LastError(c_).number) << "declining is not an error";
  EXPECT_FALSE(Has(log().calls, "CreateDC") || Exists(out())) << "No prints nothing";
  EXPECT_EQ(log().calls.back(), "ClosePrinter");
  // A printer that cannot tell its copies offers a single one.
  AddPrinter({}, -1);
  win::user::QueueMessageBoxAnswer(win::IDYES);
  c_.PrintDoc(1, 1, false, 4);
  ASSERT_EQ(win::user::MessageBoxLog().size(), 3u);
  EXPECT_EQ(win::user::MessageBoxLog()[2].text,
            "Printer \"ktfolio-test-printer\" doesn't support to print 4 copies.\r\n"
            "\xC2\xBFWould you like to print a single copy?");
  EXPECT_EQ(std::tuple(U16(devmode(), kCopies), U32(devmode(), kFields)), std::tuple(1, 0x103u))
      << "the copies are written once asked about";
}

TEST_F(PrintDocTest, EachFailureIsRecordedWithItsNumberAndSourceAndClosesThePrinter) {
  struct Case { const char* name; std::map<Fault, int> failAt; ErrorCode number; const char* source; };
  const Case cases[] = {
      {"size of the device settings", {{Fault::SizeDevMode, 1}}, ErrorCode::kCannotRetrieveConfiguration, "Print start"},
      {"device settings", {{Fault::FillDevMode, 1}}, ErrorCode::kCannotAccessConfiguration, "Print Start"},
      {"printer context", {{Fault::CreateDC, 1}}, ErrorCode::kCannotCreateJobArea, "Print start"},
      {"document", {{Fault::StartDoc, 1}}, ErrorCode::kCannotStartDocument, "Print Start  "},
      {"second page start", {{Fault::StartPage, 2}}, ErrorCode::kStartPageFailed, "Init print page"},
      {"first page end", {{Fault::EndPage, 1}}, ErrorCode::kFinishPageFailed, "Done Page"},
      {"document end", {{Fault::EndDoc, 1}}, ErrorCode::kFinishDocumentFailed, "Print End"},
      {"abort after a page failed", {{Fault::StartPage, 1}, {Fault::AbortDoc, 1}}, ErrorCode::kCancelDocumentFailed, "Print Abort"},
      {"context deletion", {{Fault::DeleteDC, 1}}, ErrorCode::kDeleteJobAreaFailed, "Clean Up Print"},
      {"printer closing", {{Fault::ClosePrinter, 1}}, ErrorCode::kClosePrinterFailed, "Clean Up Print  "},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    std::remove(out().c_str());
    AddPrinter(k.failAt);
    c_.ClearError();
    c_.PrintDoc(1, 3);
    const Recorded e = LastError(c_);
    EXPECT_EQ(std::tie(e.number, e.source, e.description),
              std::tuple(ToInt(k.number), std::string(k.source), GetErrorMessage(ToInt(k.number))));
    EXPECT_EQ(log().calls.back(), "ClosePrinter") << "no printer is left open";
    const bool documentEnded = k.number == ErrorCode::kDeleteJobAreaFailed || k.number == ErrorCode::kClosePrinterFailed;
    EXPECT_EQ(Exists(out()), documentEnded) << "a failed job leaves no document";
  }
}

TEST_F(PrintDocTest, BadArgumentsFailBeforeAnyPrinterIsOpened) {
  struct Case { const char* name; std::string printer; std::int16_t copies; ErrorCode number; const char* source; };
  const Case cases[] = {{"no printer name", "", 1, ErrorCode::kNeedPrinterName, "Print Start "},
                        {"no copies", kPrinter, 0, ErrorCode::kInvalidCopies, "Print Start  "},
                        {"a printer that exists nowhere", "no-such-printer-anywhere", 1, ErrorCode::kCannotOpenPrinter, "Print Start"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    AddPrinter();
    c_.ClearError();
    c_.PrinterName(k.printer);
    c_.PrintDoc(1, 3, false, k.copies);
    const Recorded e = LastError(c_);
    EXPECT_EQ(std::tuple(e.number, e.source), std::tuple(ToInt(k.number), std::string(k.source)));
    EXPECT_TRUE(log().calls.empty());
  }
  c_.PrinterName("");
  c_.PrintDoc(1, 1);
  EXPECT_EQ(LastError(c_).description, "Need a printer name!!");
}

TEST_F(PrintDocTest, ACancelledDialogPrintsNothingAndRecordsNothing) {
  win::dialogs::QueuePrintDlgCancel();
  c_.PrintDoc(1, 3, true, 2);
  EXPECT_EQ(LastError(c_).number, 0);
  EXPECT_FALSE(Has(log().calls, "StartDoc") || Exists(out()));
  ASSERT_EQ(win::dialogs::PrintDlgLog().size(), 1u);
  const auto& shown = win::dialogs::PrintDlgLog()[0];  // the page count as the last page
  EXPECT_EQ(std::tuple(shown.printer, shown.flags), std::tuple(std::string(kPrinter), 0x140006u));
  EXPECT_EQ(std::vector<int>({shown.minPage, shown.maxPage, shown.fromPage, shown.toPage, shown.copies, shown.orientation}),
            std::vector<int>({1, 3, 1, 3, 2, 1}));
  EXPECT_TRUE(shown.hadDC) << "the dialog gets the printer's context";
}

TEST_F(PrintDocTest, TheDialogsChoicesReplacePrinterPagesAndOrientation) {
  const std::string pdf = dir_ + "/chosen.pdf";
  win::spooler::SetPdfPrinterOutput(pdf);
  win::dialogs::QueuePrintDlgAnswer({.printer = "PDF", .fromPage = 2, .toPage = 2, .copies = 1, .orientation = 2});
  bool showDlg = true;
  std::int16_t copies = 2;
  c_.PrintDoc(1, 3, showDlg, copies);
  EXPECT_EQ(std::tuple(LastError(c_).number, showDlg, copies), std::tuple(0, true, 1))
      << "the dialog's copies go back to the caller";
  EXPECT_FALSE(Exists(out())) << "the control's own printer is not used";
  ASSERT_TRUE(Exists(pdf));
  EXPECT_EQ(PdfField(pdf, "Pages"), "1");
  EXPECT_NE(PdfText(pdf, 1).find("Text of page 2"), std::string::npos);
  EXPECT_TRUE(PageSizeIs(pdf, 842, 595)) << "landscape as chosen";
}

TEST_F(PrintDocTest, ThePdfPrinterWritesTheRangeOnTheControlsPaperAndMakesOneCopy) {
  const std::string pdf = dir_ + "/letter.pdf";
  win::spooler::SetPdfPrinterOutput(pdf);
  c_.PrinterName("PDF");
  c_.PageSize(s_LETTER);
  c_.Orientation(Landscape);
  c_.PrintDoc(1, 3);
  EXPECT_EQ(std::tuple(LastError(c_).number, PdfField(pdf, "Pages")), std::tuple(0, "3"));
  for (int p = 1; p <= 3; ++p)
    EXPECT_NE(PdfText(pdf, p).find("Text of page " + std::to_string(p)), std::string::npos) << "page " << p;
  EXPECT_TRUE(PageSizeIs(pdf, 792, 612));
  std::remove(pdf.c_str());
  win::user::QueueMessageBoxAnswer(win::IDNO);
  c_.PrintDoc(1, 3, false, 2);
  ASSERT_EQ(win::user::MessageBoxLog().size(), 1u) << "one copy only: two are asked about";
  EXPECT_NE(win::user::MessageBoxLog()[0].text.find("can't print more than 1 copies"), std::string::npos);
  EXPECT_EQ(std::tuple(Exists(pdf), LastError(c_).number), std::tuple(false, 0));
}

class PointerWatcher : public KtPrint4Events {
 public:
  void NewPage(std::int32_t&, std::int32_t&, std::int32_t&) override { seen.push_back(win::GetCursor()); }
  std::vector<win::HCURSOR> seen;
};

TEST_F(PrintDocTest, ThePointerIsAnHourglassWhilePagesPrintAndNoDeviceObjectIsLeftBehind) {
  PointerWatcher watcher;
  c_.Advise(&watcher);
  c_.PrintDoc(1, 3);
  c_.Unadvise(&watcher);
  const win::HCURSOR wait = win::LoadCursor(nullptr, win::IDC_WAIT);
  ASSERT_FALSE(watcher.seen.empty());
  for (win::HCURSOR seen : watcher.seen) EXPECT_EQ(seen, wait);
  EXPECT_EQ(win::GetCursor(), win::LoadCursor(nullptr, win::IDC_ARROW));
  const auto before = win::GdiLiveObjects();  // printing, also a failed job, leaves no device object behind
  c_.PrintDoc(1, 3);
  AddPrinter({{Fault::StartPage, 2}});
  c_.PrintDoc(1, 3);
  const auto after = win::GdiLiveObjects();
  EXPECT_EQ(std::tuple(after.total(), after.dcs), std::tuple(before.total(), before.dcs));
}

}  // namespace
}  // namespace ktfolio::testing
