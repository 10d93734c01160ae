// PNG and PDF export: sizes and resolutions, the page surface's shadow, the
// text of every cell on its PDF page, device-unit borders, progress of the
// page loop, bad input that changes nothing, no GDI object left behind, and a
// full disk that every writer survives.
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "platform/automation/picture.h"
#include "platform/container/container.h"
#include "platform/fileio/fileio.h"
#include "platform/spooler/spooler.h"
#include "render_test_util.h"

namespace ktfolio::testing {
namespace {

// A page's text laid out as on the page, so that a row's cells share a line.
std::string LaidOutText(const std::string& file, int page) {
  return Run("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + file + "' - 2>&1");
}
std::string ReadText(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
bool Exists(const std::string& file) { return std::ifstream(file).good(); }

// A listing on A4: a header, 100 numbered rows, "Page %p of %n" in the footer.
void Listing(KtPrint4Impl& c, int rows = 100) {
  c.AddHeaderRow("Listing header");
  c.AddFooterRow("Page %p of %n");
  for (int i = 1; i <= rows; ++i) c.AddRow("Item " + std::to_string(i), "#4000#Value " + std::to_string(i * 7));
}

TEST(ExportPng, ThePageSurfaceHasADropShadowAndTheBackgroundInItsCornersUnlessAskedNotTo) {
  Container form;
  form.AmbientBackColor(RGB(0x80, 0x80, 0x80));
  KtPrint4Impl c(&form);
  Listing(c, 5);
  RenderedPage page(c);
  const int W = page.w, H = page.h;
  // Right and bottom shadow, the background in the top-right and bottom-left corners, the page itself.
  EXPECT_EQ(std::tuple(page.At(W - 2, H / 2), page.At(W / 2, H - 2), page.At(W - 2, 1), page.At(1, H - 2),
                       page.At(W - 4, 1)),
            std::tuple(kBlack, kBlack, RGB(0x80, 0x80, 0x80), RGB(0x80, 0x80, 0x80), kWhite));
  RenderedPage plain(c, 1, 100, false);
  for (POINT p : {POINT{W - 1, H / 2}, POINT{W / 2, H - 1}, POINT{W - 1, 0}, POINT{0, H - 1}})
    EXPECT_EQ(plain.At(p.x, p.y), kWhite) << "paper at " << p.x << "," << p.y;
}

TEST(ExportPng, APageCarriesItsResolutionAndADpiGivesThePaperSize) {
  KtPrint4Impl c;
  Listing(c, 5);
  const std::string file = TempDir("png_dpi") + "/page.png";
  // Width, height and pixels per metre across and down (an inch is 0.0254 m), the unit being the
  // metre. A4 is 11905 x 16837 twips; a zoomed page is whole twips, then pixels.
  const std::pair<std::function<bool()>, const char*> cases[] = {
      {[&] { return c.ExportPng(file, 1, 100); }, "794 1122 3780 3780"},  // zoom 100 is 96 dpi
      {[&] { return c.ExportPng(file, 1, 50, false); }, "397 561 1890 1890"},
      {[&] { return c.ExportPngDpi(file, 1, 150); }, "1240 1754 5906 5906"},
      {[&] { return c.ExportPngDpi(file, 1, 300); }, "2480 3508 11811 11811"},  // A4 at print shops
      {[&] { return c.ExportPng(file, 1, 250); }, "1984 2806 9449 9449"},
      {[&] { return c.ExportPng(file, 1, 10); }, "79 112 378 378"},
  };
  const std::string format = "%w %h %[fx:round(resolution.x*100)] %[fx:round(resolution.y*100)] %U";
  for (const auto& [write, facts] : cases) {
    SCOPED_TRACE(facts);
    ASSERT_TRUE(write());
    const std::string read = testing::Run("identify -format '" + format + "' '" + file + "'");
    EXPECT_EQ(read, facts + std::string(" PixelsPerCentimeter"));
    EXPECT_TRUE(LoadPicture(file)) << "our own PNG reader takes it too";
  }
}

TEST(ExportPdf, ARangeInTheMiddleGivesThosePagesAtPaperSizeWithTheirText) {
  KtPrint4Impl c;
  Listing(c);
  ASSERT_GE(c.Pages(), 3);
  const std::int16_t pages = c.Pages();
  const std::string file = TempDir("pdf_range") + "/range.pdf";
  ASSERT_TRUE(c.ExportPdf(file, 2, 3));
  EXPECT_EQ(std::tuple(PdfField(file, "Pages"), PdfField(file, "Page size")),
            std::tuple("2", "595.2 x 841.8 pts (A4)")) << "the paper at 600 dpi, whole dots";

  const std::string second = LaidOutText(file, 1);
  EXPECT_NE(second.find("Listing header"), std::string::npos) << "the header repeats";
  EXPECT_NE(second.find("Page 2 of " + std::to_string(pages)), std::string::npos) << second;
  // Every body row of page 2 is on the PDF's first page, with both its cells.
  for (std::int32_t r = 1; r <= c.LastRow(); ++r) {
    if (c.Rows(Body)->Item(r)->Page() != 2) continue;
    EXPECT_NE(second.find("Item " + std::to_string(r) + " "), std::string::npos) << "row " << r;
    EXPECT_NE(second.find("Value " + std::to_string(r * 7)), std::string::npos) << "row " << r;
  }
  EXPECT_NE(LaidOutText(file, 2).find("Page 3 of " + std::to_string(pages)), std::string::npos);
  c.Orientation(Landscape);
  ASSERT_TRUE(c.ExportPdf(file, 1, 1));
  EXPECT_EQ(PdfField(file, "Page size"), "841.8 x 595.2 pts (A4)");
}

// An untagged document goes to its file in pieces of 256 kB as Cairo writes
// it and is finished by an update appended there: the file holds the bytes
// the same document finished in memory has, but for its date and ID.
TEST(ExportPdf, AnUntaggedDocumentWrittenAsItGoesIsTheDocumentFinishedInMemory) {
  KtPrint4Impl c;
  Listing(c, 30000);
  c.TaggedPdf(false);
  const std::string file = TempDir("pdf_direct") + "/direct.pdf";
  ASSERT_TRUE(c.ExportPdf(file, 1, c.Pages()));
  const std::vector<std::uint8_t> memory = render::PdfBytes(c, 1, c.Pages());
  const std::string written = ReadText(file);
  auto undated = [](std::string pdf) {
    pdf = std::regex_replace(pdf, std::regex("/CreationDate \\(D:[0-9]+Z?\\)"), "");
    return std::regex_replace(pdf, std::regex("/ID \\[<[0-9a-f]+><[0-9a-f]+>\\]"), "");
  };
  ASSERT_GT(written.size(), std::size_t{3} << 18) << "several pieces";
  EXPECT_TRUE(undated(written) == undated(std::string(memory.begin(), memory.end())));
  EXPECT_EQ(std::tuple(PdfField(file, "Pages"), PdfField(file, "Metadata Stream"), CommandOutput("qpdf --check '" + file + "' >/dev/null 2>&1; echo $?")),
            std::tuple(std::to_string(c.Pages()), "yes", "0\n"));
}

// Thickness in pixels of the dark horizontal line crossing column x.
template <class At>
int LineThickness(At at, int x, int fromY, int toY) {
  int n = 0;
  for (int y = fromY; y < toY; ++y) n += (at(x, y) & 0xFF) < 0x80;
  return n;
}

TEST(ExportPdf, BorderWidthsAreDeviceUnitsSoThePrintedLineIsThinner) {
  KtPrint4Impl c;
  c.AddRow("");
  ASSERT_TRUE(c.SetProperty(1, 1, "LineTop", Variant(6)));
  // On screen: six pixels at the row's top (1440 twips = 96 pixels down).
  RenderedPage screen(c);
  EXPECT_EQ(LineThickness([&](int x, int y) { return screen.At(x, y); }, 300, 80, 110), 6);
  // In the PDF: six 600-dpi dots, about one pixel once shown at 96 dpi.
  const std::string dir = TempDir("pdf_lines");
  ASSERT_TRUE(c.ExportPdf(dir + "/lines.pdf", 1, 1));
  const GreyPage shown = RasterisePdf(dir + "/lines.pdf", 96);
  ASSERT_GT(shown.width, 300);
  const int printed = LineThickness([&](int x, int y) { return shown.At(x, y); }, 300, 80, 110);
  EXPECT_TRUE(printed >= 1 && printed <= 2) << printed;
}

TEST(Export, BadPagesZoomsAndFilesAreRecordedAndChangeNothing) {
  KtPrint4Impl c;
  Listing(c);
  const std::int16_t pages = c.Pages();
  const std::int32_t rows = c.LastRow();
  const float lastTop = c.Rows(Body)->Item(rows)->TopInPage();
  const std::string dir = TempDir("bad");
  struct Case { const char* name; std::function<bool()> call; ErrorCode error; std::string file; };
  const Case cases[] = {
      {"png page 0", [&] { return c.ExportPng(dir + "/a.png", 0, 100); }, ErrorCode::kPageOutOfRange, dir + "/a.png"},
      {"png past the end", [&] { return c.ExportPng(dir + "/b.png", pages + 1, 100); }, ErrorCode::kPageOutOfRange, dir + "/b.png"},
      {"png zoom 9", [&] { return c.ExportPng(dir + "/c.png", 1, 9); }, ErrorCode::kZoomOutOfRange, dir + "/c.png"},
      {"png zoom 251", [&] { return c.ExportPng(dir + "/d.png", 1, 251); }, ErrorCode::kZoomOutOfRange, dir + "/d.png"},
      {"png unwritable", [&] { return c.ExportPng(dir + "/missing/e.png", 1, 100); }, ErrorCode::kPathNotFound, ""},
      {"png 9 dpi", [&] { return c.ExportPngDpi(dir + "/j.png", 1, 9); }, ErrorCode::kZoomOutOfRange, dir + "/j.png"},
      {"png 601 dpi", [&] { return c.ExportPngDpi(dir + "/k.png", 1, 601); }, ErrorCode::kZoomOutOfRange, dir + "/k.png"},
      {"png dpi past the end", [&] { return c.ExportPngDpi(dir + "/l.png", pages + 1, 300); }, ErrorCode::kPageOutOfRange, dir + "/l.png"},
      {"pdf page 0", [&] { return c.ExportPdf(dir + "/f.pdf", 0, 1); }, ErrorCode::kPageOutOfRange, dir + "/f.pdf"},
      {"pdf past the end", [&] { return c.ExportPdf(dir + "/g.pdf", 1, pages + 1); }, ErrorCode::kPageOutOfRange, dir + "/g.pdf"},
      {"pdf reversed", [&] { return c.ExportPdf(dir + "/h.pdf", 2, 1); }, ErrorCode::kPageOutOfRange, dir + "/h.pdf"},
      {"pdf unwritable", [&] { return c.ExportPdf(dir + "/missing/i.pdf", 1, 1); }, ErrorCode::kPathNotFound, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    c.ClearError();
    EXPECT_FALSE(k.call());
    EXPECT_EQ(std::tuple(LastErrorNumber(c), Exists(k.file)), std::tuple(ToInt(k.error), false));
    using State = std::tuple<int, int, float, double>;
    EXPECT_EQ(State(c.Pages(), c.LastRow(), c.Rows(Body)->Item(rows)->TopInPage(), c.Zoom()), State(pages, rows, lastTop, 100));
  }
  const std::string kept = dir + "/kept.pdf";
  ASSERT_TRUE(c.ExportPdf(kept, 1, 1));
  const std::string before = ReadText(kept);
  EXPECT_FALSE(c.ExportPdf(kept, 1, 99));
  EXPECT_EQ(ReadText(kept), before) << "a failed export leaves the earlier file as it was";

  KtPrint4Impl empty;
  empty.AddHeaderRow("a header alone prints no page");
  EXPECT_FALSE(empty.ExportPdf(dir + "/empty.pdf", 1, 1));
  EXPECT_EQ(std::tuple(LastErrorNumber(empty), Exists(dir + "/empty.pdf")),
            std::tuple(ToInt(ErrorCode::kPageOutOfRange), false));
}

// A 1 MB file system filled to the last byte; root only (CI runs as root).
class FullDisk {
 public:
  FullDisk() : dir_(TempDir("full")) {
    mounted_ = ::geteuid() == 0 && Shell("mount -t tmpfs -o size=1m tmpfs '" + dir_ + "'");
  }
  ~FullDisk() {
    if (mounted_) Shell("umount '" + dir_ + "'");
  }
  bool Mounted() const { return mounted_; }
  std::string File(const std::string& name) const { return dir_ + "/" + name; }
  void Fill() const { Shell("head -c 2000000 /dev/zero > '" + dir_ + "/pad'"); }
  std::string Temps() const { return Run("ls -A '" + dir_ + "' | grep ktfolio-"); }

 private:
  static bool Shell(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }
  std::string dir_;
  bool mounted_ = false;
};

TEST(Export, OnAFullDiskEveryWriterFailsSaysWhyAndKeepsTheOldFile) {
  FullDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  KtPrint4Impl c;
  Listing(c, 2000);
  const std::int16_t pages = c.Pages();
  struct Case { const char* file; std::function<bool(const std::string&)> write; };
  const Case cases[] = {
      {"a.pdf", [&](const std::string& f) { return c.ExportPdf(f, 1, pages); }},
      {"untagged.pdf", [&](const std::string& f) {  // written to its file as it goes
         c.TaggedPdf(false);
         const bool written = c.ExportPdf(f, 1, pages);
         c.TaggedPdf(true);
         return written;
       }},
      {"pieces.pdf", [&](const std::string& f) {  // long enough to be drawn in pieces
         c.TaggedPdf(false);
         for (int i = 0; i < 4000; ++i) c.AddRow("More " + std::to_string(i));
         const bool written = c.ExportPdf(f, 1, c.Pages());
         c.RemoveRows(2001, c.LastRow());
         c.TaggedPdf(true);
         return written;
       }},
      {"b.png", [&](const std::string& f) { return c.ExportPng(f, 1, 250); }},
      {"c.ktt", [&](const std::string& f) { return c.SaveAsTemplate(f); }},
      {"d.pdf", [&](const std::string& f) {
         win::spooler::SetPdfPrinterOutput(f);
         c.PrinterName(win::spooler::kPdfPrinterName);
         c.PrintDoc(1, pages, false, 1);
         return LastErrorNumber(c) == 0;
       }},
  };
  for (const Case& k : cases) std::ofstream(disk.File(k.file)) << "old";
  disk.Fill();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.file);
    c.ClearError();
    EXPECT_FALSE(k.write(disk.File(k.file)));
    const auto [any, number, description, source] = LastRecorded(c);
    ASSERT_TRUE(any);
    // PrintDoc keeps its own numbers and messages; the cause is the platform's.
    const std::string cause = number >= ToInt(ErrorCode::kInvalidCopies) ? fileio::LastFailure().value_or(Error(0, "", "")).description()
                                              : description;
    EXPECT_NE(cause.find("No space left on device"), std::string::npos) << number << " " << description;
    EXPECT_NE(cause.find(disk.File(k.file)), std::string::npos) << cause;
    EXPECT_EQ(ReadText(disk.File(k.file)), "old");
  }
  EXPECT_EQ(disk.Temps(), "") << "no temporary file is left";
}

TEST(Export, ThePrintPageLoopReportsEachPageThePreviewNone) {
  KtPrint4Impl c;
  Listing(c);
  ASSERT_GE(c.Pages(), 3);
  const std::string dir = TempDir("progress");
  using Report = std::pair<std::int32_t, std::int32_t>;
  std::vector<Report> seen;
  {
    render::PageProgressScope scope([&](std::int32_t done, std::int32_t total) { seen.emplace_back(done, total); });
    ASSERT_TRUE(c.ExportPdf(dir + "/range.pdf", 2, 3));
    EXPECT_EQ(seen, (std::vector<Report>{{0, 2}, {1, 2}, {2, 2}})) << "each page as it starts, then the end";
    seen.clear();
    ASSERT_TRUE(c.ExportPng(dir + "/p.png", 1, 50));
    EXPECT_TRUE(seen.empty()) << "a picture of one page is no job to report";
  }
  ASSERT_TRUE(c.ExportPdf(dir + "/all.pdf", 1, 3));
  EXPECT_TRUE(seen.empty()) << "nothing once the scope has gone";
}

TEST(Export, PdfBytesThatCannotBeTakenAreAFailure) {
  KtPrint4Impl c;
  Listing(c, 4000);  // a document of several pieces, so that the writer can be seen to stop at the first refusal
  const std::int16_t pages = c.Pages();
  std::size_t offered = 0;
  const ByteSink refusing = [&](const unsigned char*, std::size_t size) { return offered += size, false; };
  try {
    render::WritePdf(c, 1, pages, refusing);
    ADD_FAILURE() << "a refusing sink went unnoticed";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), ErrorCode::kPathFileAccess);
  }
  EXPECT_GT(offered, 0u);
  EXPECT_GT(render::PdfBytes(c, 1, pages).size(), offered) << "a sink that takes them gets the whole document";
}

TEST(Export, DrawingAHundredPagesLeavesNoGdiObjectAlive) {
  KtPrint4Impl c;
  Listing(c, 3000);
  c.AddRow("picture");
  const std::int16_t pages = c.Pages();
  ASSERT_GE(pages, 50);
  const std::string dir = TempDir("leaks");
  const GdiObjectCounts before = GdiLiveObjects();
  for (int p = 0; p < 100; ++p) ASSERT_TRUE(c.ExportPng(dir + "/p.png", static_cast<std::int16_t>(p % pages + 1), 50));
  ASSERT_TRUE(c.ExportPdf(dir + "/all.pdf", 1, pages));
  const GdiObjectCounts after = GdiLiveObjects();
  EXPECT_EQ(after.total(), before.total()) << "dcs " << after.dcs - before.dcs << ", fonts " << after.fonts - before.fonts
      << ", pens " << after.pens - before.pens << ", brushes " << after.brushes - before.brushes << ", bitmaps "
      << after.bitmaps - before.bitmaps;
}

}  // namespace
}  // namespace ktfolio::testing
