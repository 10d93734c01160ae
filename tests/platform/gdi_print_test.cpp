// PDF printer contexts: pages, page sizes, resolution, text that stays text,
// and the file appearing only when the document completes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/gdi/gdi_testing.h"
#include "platform/gdi/text_block.h"
#include "support/canvas.h"
#include "support/pdf.h"

using namespace ktfolio::win;
using namespace ktfolio::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kPrinterDpi = 600;
// A4 at 600 dpi, in device units.
constexpr int kA4Width = 4960, kA4Height = 7016;

class PdfPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("gdi_print_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    before_ = GdiLiveObjects().total();
  }
  void TearDown() override {
    fs::remove_all(dir_);
    EXPECT_EQ(GdiLiveObjects().total(), before_) << "printing leaked GDI objects";
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  // Files in the folder other than `keep` (temporary files left behind).
  int Strays(const std::string& keep) const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir_)) n += e.path().string() != keep;
    return n;
  }
  fs::path dir_;
  int before_ = 0;
};

void DrawLabel(HDC dc, const char* text, int x, int y) {
  RECT rc{x, y, x + 3000, y + 400};
  DrawText(dc, text, -1, &rc, DT_SINGLELINE | DT_NOPREFIX);
}

// The page content streams of a PDF, inflated (Python's zlib does the work).
std::string PageContents(const std::string& path) {
  return CommandOutput("python3 -c \"import re,sys,zlib\n"
               "data=open(sys.argv[1],'rb').read()\n"
               "for m in re.finditer(rb'/FlateDecode.*?stream\\\\r?\\\\n',data,re.S):\n"
               "  try: sys.stdout.write(zlib.decompressobj().decompress(data[m.end():]).decode('latin-1'))\n"
               "  except zlib.error: pass\n\" '" +
               path + "'");
}

// A printer context with its document and first page started; the document
// ends, and the file appears, when it goes.
struct Printing {
  Printing(const std::string& path, int dpi, int w, int h) : dc(CreatePdfPrinterDC(path.c_str(), dpi, dpi, w, h)) {
    EXPECT_GT(StartDoc(dc, nullptr), 0);
    EXPECT_GT(StartPage(dc), 0);
    SetBkMode(dc, TRANSPARENT);
  }
  ~Printing() { EXPECT_GT(EndDoc(dc), 0); }
  OwnedDC dc;
};

}  // namespace

TEST_F(PdfPrinting, ReportsThePrinterResolutionAndPageSize) {
  HDC dc = CreatePdfPrinterDC(Path("caps.pdf").c_str(), kPrinterDpi, kPrinterDpi, kA4Width, kA4Height);
  struct Case { const char* name; int index; int value; };
  const Case cases[] = {{"LOGPIXELSX", LOGPIXELSX, kPrinterDpi},  {"LOGPIXELSY", LOGPIXELSY, kPrinterDpi},
                        {"HORZRES", HORZRES, kA4Width},           {"VERTRES", VERTRES, kA4Height},
                        {"PHYSICALWIDTH", PHYSICALWIDTH, kA4Width}, {"PHYSICALHEIGHT", PHYSICALHEIGHT, kA4Height},
                        {"PHYSICALOFFSETX", PHYSICALOFFSETX, 0},  {"HORZSIZE (mm)", HORZSIZE, 210},
                        {"TECHNOLOGY: raster printer", 2, 2}};
  for (const Case& c : cases) { SCOPED_TRACE(c.name); EXPECT_EQ(GetDeviceCaps(dc, c.index), c.value); }
  DeleteDC(dc);
  EXPECT_FALSE(fs::exists(Path("caps.pdf"))) << "no document was started";
  const std::string x = Path("x.pdf");  // no resolution, no width, no path
  for (HDC bad : {CreatePdfPrinterDC(x.c_str(), 0, 600, 100, 100), CreatePdfPrinterDC(x.c_str(), 600, 600, 0, 100),
                  CreatePdfPrinterDC(nullptr, 600, 600, 100, 100)})
    EXPECT_EQ(bad, nullptr);
}

// Each page becomes a PDF page with its text selectable; what is drawn
// outside a page is dropped; the file appears only when the document ends.
TEST_F(PdfPrinting, EachPageBecomesAPdfPageWithItsTextSelectable) {
  const std::string path = Path("doc.pdf");
  OwnedDC dc(CreatePdfPrinterDC(path.c_str(), kPrinterDpi, kPrinterDpi, kA4Width, kA4Height));
  ASSERT_TRUE(dc);
  OwnedFont font = Font("Arial", -100);  // 12 pt at 600 dpi
  SelectedObject selected(dc, font);
  DrawLabel(dc, "Outside before the document", 600, 1200);
  DOCINFO di{.lpszDocName = "Folio test"};
  EXPECT_GT(StartDoc(dc, &di), 0);
  DrawLabel(dc, "Outside before the page", 600, 1200);
  const char* texts[] = {"First page heading", "Second page body", "Third and last"};
  for (const char* t : texts) { EXPECT_GT(StartPage(dc), 0); DrawLabel(dc, t, 600, 600); EXPECT_GT(EndPage(dc), 0); }
  DrawLabel(dc, "Outside after the page", 600, 1200);
  EXPECT_FALSE(fs::exists(path)) << "the file appears only at EndDoc";
  EXPECT_GT(EndDoc(dc), 0);
  ASSERT_TRUE(fs::exists(path));
  EXPECT_EQ(Strays(path), 0) << "the temporary file was renamed, not copied";
  // A4 at 600 dpi in points, and the document name as the title.
  EXPECT_EQ(std::tuple(PdfField(path, "Pages"), PdfField(path, "Page size"), PdfField(path, "Title")),
            std::tuple("3", "595.2 x 841.92 pts (A4)", "Folio test"));
  for (int page = 1; page <= 3; ++page) {
    const std::string text = PdfText(path, page);
    EXPECT_EQ(text.find("Outside"), std::string::npos) << page << ": " << text;
    for (int other = 1; other <= 3; ++other)
      EXPECT_EQ(text.find(texts[other - 1]) != std::string::npos, other == page) << page << ": " << text;
  }
}

TEST_F(PdfPrinting, AbortOrDeleteLeavesAnEarlierFileAlone) {
  const std::string path = Path("kept.pdf");
  { std::ofstream(path) << "earlier"; }
  for (bool abort : {true, false}) {
    SCOPED_TRACE(abort ? "AbortDoc" : "DeleteDC mid-document");
    HDC dc = CreatePdfPrinterDC(path.c_str(), kPrinterDpi, kPrinterDpi, kA4Width, kA4Height);
    ASSERT_GT(StartDoc(dc, nullptr), 0);
    StartPage(dc);
    Rectangle(dc, 100, 100, 1000, 1000);
    if (abort) { EXPECT_GT(AbortDoc(dc), 0); EXPECT_EQ(EndDoc(dc), SP_ERROR) << "nothing left to end"; }
    DeleteDC(dc);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}), "earlier");
    EXPECT_EQ(Strays(path), 0) << "the temporary file is removed";
  }
}

TEST_F(PdfPrinting, CallsOutOfOrderFail) {
  HDC dc = CreatePdfPrinterDC(Path("order.pdf").c_str(), kPrinterDpi, kPrinterDpi, kA4Width, kA4Height);
  EXPECT_EQ(StartPage(dc), SP_ERROR) << "no document yet";
  EXPECT_EQ(EndDoc(dc), SP_ERROR);
  ASSERT_GT(StartDoc(dc, nullptr), 0);
  EXPECT_EQ(StartDoc(dc, nullptr), SP_ERROR) << "one document at a time";
  EXPECT_EQ(EndPage(dc), SP_ERROR) << "no page open";
  EXPECT_GT(StartPage(dc), 0);
  EXPECT_EQ(StartPage(dc), SP_ERROR) << "a page is already open";
  EXPECT_GT(EndDoc(dc), 0) << "EndDoc closes the open page";
  EXPECT_EQ(PdfField(Path("order.pdf"), "Pages"), "1");
  DeleteDC(dc);
  EXPECT_EQ(StartDoc(MemoryDC(nullptr), nullptr), SP_ERROR) << "a memory context is no printer";
}

TEST_F(PdfPrinting, AnUnwritableFolderFailsStartDoc) {
  { std::ofstream(Path("plain.txt")) << "not a folder"; }
  const fs::path locked = dir_ / "locked";
  fs::create_directories(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  std::vector<std::string> bad = {Path("no/such/folder/x.pdf"), Path("plain.txt") + "/x.pdf"};
  if (::access(locked.c_str(), W_OK) != 0) bad.push_back((locked / "no.pdf").string());  // root writes anyway
  for (const std::string& target : bad) {
    SCOPED_TRACE(target);
    OwnedDC dc(CreatePdfPrinterDC(target.c_str(), kPrinterDpi, kPrinterDpi, kA4Width, kA4Height));
    ASSERT_TRUE(dc) << "the path is only tried when the document starts";
    EXPECT_EQ(StartDoc(dc, nullptr), SP_ERROR);
  }
  fs::permissions(locked, fs::perms::owner_all);
}

// Text placed at 600 dpi lands where the same layout lands on a 96-dpi screen,
// scaled: positions and sizes are proportional.
TEST_F(PdfPrinting, TextPositionAndSizeMatchTheScreenLayoutScaled) {
  constexpr int kScreenDpi = 96;
  const char* text = "Invoice 2024, HHH";
  // On a 96-dpi canvas: an 18-pt font, one inch in, half an inch down.
  Canvas screen(4 * kScreenDpi, 2 * kScreenDpi);
  {
    OwnedFont small = Font("Arial", -kScreenDpi / 4);
    SelectedObject selected(screen.dc, small);
    SetBkMode(screen.dc, TRANSPARENT);
    DrawLabel(screen.dc, text, kScreenDpi, kScreenDpi / 2);
  }
  const RECT want = screen.Ink();
  const std::string path = Path("scale.pdf");
  {
    Printing doc(path, kPrinterDpi, 4 * kPrinterDpi, 2 * kPrinterDpi);
    OwnedFont big = Font("Arial", -kPrinterDpi / 4);
    SelectedObject selected(doc.dc, big);
    DrawLabel(doc.dc, text, kPrinterDpi, kPrinterDpi / 2);
  }
  const GreyPage page = RasterisePdf(path, kScreenDpi);
  ASSERT_EQ(page.width, 4 * kScreenDpi);
  const RECT got = page.Ink().first;
  // Hinting differs between the sizes: allow a pixel or two at 96 dpi.
  EXPECT_NEAR(got.left, want.left, 1);
  EXPECT_NEAR(got.top, want.top, 1);
  EXPECT_NEAR(got.right, want.right, 3);
  EXPECT_NEAR(got.bottom, want.bottom, 1);
}

// On a one-inch page at 96 dpi, lines and texts queued for one stroke or one
// call keep their order: what a later white fill covers is hidden, what comes
// after it shows, and a text too wide for its clipped rectangle is still cut.
TEST_F(PdfPrinting, QueuedLinesAndTextsKeepTheirOrderWithFillsPensAndClips) {
  const std::string path = Path("order.pdf");
  {
    Printing doc(path, 96, 96, 96);
    auto line = [&](int y) { MoveToEx(doc.dc, 0, y, nullptr); LineTo(doc.dc, 48, y); };
    auto white = [&](RECT band) { FillRect(doc.dc, &band, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))); };
    OwnedFont big = Font("Arial", -20);
    SelectedObject selected(doc.dc, big);
    RECT first{48, 0, 96, 24}, second{48, 30, 96, 54}, cut{48, 60, 70, 84};
    line(20);  // covered by the fill below
    DrawText(doc.dc, "MM", -1, &first, DT_NOPREFIX);
    white(RECT{0, 0, 96, 24});
    line(22);
    DrawText(doc.dc, "MM", -1, &second, DT_NOPREFIX);
    DrawText(doc.dc, "MMMMMMMM", -1, &cut, DT_NOPREFIX);  // wider than its 22 pixels: clipped
    {
      OwnedPen red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
      SelectedObject pen(doc.dc, red);
      line(60);
    }
    DrawLabel(doc.dc, "text", 2, 70);
    line(90);
  }
  const GreyPage page = RasterisePdf(path, 96);
  EXPECT_GT(page.At(24, 20), 200) << "the fill drawn later covers the first line";
  EXPECT_LT(page.At(24, 22), 128) << "a line after the fill is on top of it";
  EXPECT_LT(page.At(24, 60), 200) << "the red line (grey when rasterised) is there";
  EXPECT_LT(page.At(24, 90), 128) << "a line after text is stroked too";
  auto inkIn = [&](RECT r) { return page.Ink(r).second; };
  EXPECT_EQ(inkIn({48, 0, 96, 24}), 0) << "the fill drawn later hides the first text";
  EXPECT_TRUE(inkIn({48, 30, 96, 54}) > 20 && inkIn({48, 60, 70, 84}) > 20) << "texts after the fill show";
  EXPECT_EQ(inkIn({71, 60, 96, 84}), 0) << "the clip still cuts a text too wide for its rectangle";
  EXPECT_NE(PdfText(path, 1).find("text"), std::string::npos);
}

// Text on a PDF page sits at the font's own advances, so each line goes into
// the file as one plain string, and measuring on the context adds up the same
// advances: right-aligned text ends at the rectangle's edge, and what
// GetTextExtentPoint32 and DT_CALCRECT report is what is drawn.
TEST_F(PdfPrinting, TextIsMeasuredAsDrawnAndWrittenAsPlainStrings) {
  struct Case {
    const char* text;
    bool underline;  // drawn through Pango rather than from cached glyphs
  };
  const Case cases[] = {{"Item number 12345 with a longer description", false},
                        {"Total 1,234.50", false},
                        {"WAVY Typeface, fit & finish", false},
                        {"Underlined subtotal 98,765.40", true}};
  const std::string path = Path("plain.pdf");
  constexpr int kRight = 3 * kPrinterDpi + 300, kPitch = 300;
  std::vector<RECT> drawn;
  {
    Printing doc(path, kPrinterDpi, 4 * kPrinterDpi, 3 * kPrinterDpi);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      OwnedFont font = Font("Arial", -75, FW_NORMAL, c.underline);  // 9 pt
      SelectedObject selected(doc.dc, font);
      SIZE extent{};
      ASSERT_TRUE(GetTextExtentPoint32(doc.dc, c.text, static_cast<int>(std::strlen(c.text)), &extent));
      RECT calc{0, 0, 4000, 0};
      DrawText(doc.dc, c.text, -1, &calc, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
      EXPECT_EQ(calc.right, extent.cx);
      const int y = 100 + kPitch * static_cast<int>(drawn.size());
      RECT rc{100, y, kRight, y + 200};
      DrawText(doc.dc, c.text, -1, &rc, DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT);
      drawn.push_back(RECT{kRight - extent.cx, y, kRight, y + 200});
    }
  }
  const std::string content = PageContents(path);
  for (const Case& c : cases) EXPECT_NE(content.find(std::string("(") + c.text + ")Tj"), std::string::npos) << c.text;
  EXPECT_FALSE(std::regex_search(content, std::regex("\\)-?[0-9]+\\("))) << "no position between glyphs:\n" << content;
  const GreyPage page = RasterisePdf(path, kPrinterDpi);
  for (const RECT& r : drawn) {
    // The ink spans what was measured, within a glyph's side bearing (an underline runs the full advance).
    const RECT ink = page.Ink(RECT{0, r.top, page.width, r.bottom}).first;
    EXPECT_NEAR(ink.left, r.left, 8) << "line at " << r.top;
    EXPECT_NEAR(ink.right, r.right, 8) << "line at " << r.top;
  }
}

// Nearly every cell is one line of plain ASCII, which a printer page lays out
// and queues without the general line breaker. Recording the layouts sends
// every text through the general path, so the same drawing is made both ways:
// the pages must be the same, and DT_CALCRECT (never recorded, so always the
// one-line path for these) must give the box the general path drew the line in.
TEST_F(PdfPrinting, OneLinePlainTextsComeOutAsTheGeneralPathDrawsThem) {
  struct Case {
    const char* text;
    UINT format;
    RECT rc;
    bool italic = false;
  };
  const Case cases[] = {
      {"A000123", DT_NOPREFIX | DT_WORDBREAK, {100, 100, 700, 250}},
      {"Item number 12 with a longer description", DT_NOPREFIX | DT_WORDBREAK | DT_CENTER, {100, 300, 3000, 450}},
      {"  spaces at both ends  ", DT_NOPREFIX | DT_WORDBREAK | DT_RIGHT, {100, 500, 3000, 650}},
      {"Page 3 of 7", DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX, {100, 700, 3000, 1000}},
      {"Bottom line", DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX, {100, 1000, 3000, 1300}},
      {"Slanted 1,234.50", DT_NOPREFIX | DT_WORDBREAK | DT_RIGHT, {100, 1300, 3000, 1450}, true},
      {"No wrap asked, so one line past the edge", DT_NOPREFIX | DT_NOCLIP, {100, 1500, 400, 1650}},
      // Left to the general path: wrapped, a prefix, a clip needed, a tab.
      {"Too wide for its column, so it wraps", DT_NOPREFIX | DT_WORDBREAK, {100, 1700, 600, 2200}},
      {"Fish && chips", DT_WORDBREAK, {100, 2300, 3000, 2450}},
      {"Sticks out of its box", DT_SINGLELINE | DT_NOPREFIX, {100, 2500, 400, 2650}},
      {"Tab\there", DT_NOPREFIX | DT_EXPANDTABS, {100, 2700, 3000, 2850}},
  };
  struct Block {
    const char* text;
    BlockAlign align;
    RECT rc;
    std::optional<RECT> clip;
  };
  const Block blocks[] = {{"Middle of a tall cell", BlockAlign::Middle, {100, 3000, 3000, 3600}, std::nullopt},
                          {"Bottom, red", BlockAlign::Bottom, {100, 3600, 3000, 4000}, RECT{100, 3600, 3000, 4000}},
                          {"Clipped by its block", BlockAlign::Top, {100, 4000, 3000, 4200}, RECT{100, 4000, 600, 4200}}};
  static constexpr const char* kEdge = "Two words";
  struct Drawn {
    std::string content;
    std::vector<RECT> calcs;
    std::vector<ktfolio::win::testing::DrawTextLayout> layouts;
  };
  auto draw = [&](const char* name, bool general) {
    Drawn out;
    if (general) ktfolio::win::testing::RecordDrawText(&out.layouts);
    const std::string path = Path(name);
    {
      Printing doc(path, kPrinterDpi, kA4Width, kA4Height);
      const OwnedFont upright = Font("Arial", -75);
      const LOGFONT slanted = LogFont("Arial", -75, FW_NORMAL, true);
      const OwnedFont italic(CreateFontIndirect(&slanted));
      for (const Case& c : cases) {
        const SelectedObject selected(doc.dc, c.italic ? italic.get() : upright.get());
        RECT calc{c.rc.left, c.rc.top, c.rc.right, c.rc.top};
        DrawText(doc.dc, c.text, -1, &calc, c.format | DT_CALCRECT);
        out.calcs.push_back(calc);
        RECT rc = c.rc;
        DrawText(doc.dc, c.text, -1, &rc, c.format);
      }
      for (const Block& b : blocks) {
        TextBlock block;
        block.rc = b.rc;
        block.format = DT_NOPREFIX | DT_WORDBREAK;
        block.align = b.align;
        block.font = upright.get();
        block.color = b.clip ? RGB(200, 0, 0) : RGB(0, 0, 0);
        block.clip = b.clip;
        DrawTextBlock(doc.dc, b.text, -1, block);
      }
      // At the edge of wrapping: a box as wide as the line keeps it whole,
      // one unit narrower breaks it (unclipped, or the clip alone would send
      // it to the general path).
      const SelectedObject selected(doc.dc, upright.get());
      RECT whole{100, 4300, 100, 4300};
      DrawText(doc.dc, kEdge, -1, &whole, DT_NOPREFIX | DT_CALCRECT);
      for (int narrower : {0, 1}) {
        RECT rc{100, 4300 + 400 * narrower, whole.right - narrower, 4600 + 400 * narrower};
        DrawText(doc.dc, kEdge, -1, &rc, DT_NOPREFIX | DT_WORDBREAK | DT_NOCLIP);
      }
    }
    ktfolio::win::testing::RecordDrawText(nullptr);
    out.content = PageContents(path);
    return out;
  };
  const Drawn quick = draw("quick.pdf", false), general = draw("general.pdf", true);
  ASSERT_FALSE(quick.content.empty());
  // The fonts' streams are in there too: on a difference, show where it starts.
  const auto [q, g] = std::mismatch(quick.content.begin(), quick.content.end(), general.content.begin(),
                                    general.content.end());
  EXPECT_TRUE(q == quick.content.end() && g == general.content.end())
      << "one-line path:\n" << std::string(q, q + std::min<std::ptrdiff_t>(200, quick.content.end() - q))
      << "\ngeneral path:\n" << std::string(g, g + std::min<std::ptrdiff_t>(200, general.content.end() - g));
  ASSERT_EQ(general.layouts.size(), std::size(cases) + std::size(blocks) + 2);
  EXPECT_EQ(general.layouts[general.layouts.size() - 2].lines.size(), 1u);
  EXPECT_EQ(general.layouts.back().lines.size(), 2u);
  for (std::size_t i = 0; i < 7; ++i) {  // the one-line cases
    SCOPED_TRACE(cases[i].text);
    const ktfolio::win::testing::DrawTextLayout& line = general.layouts[i];
    ASSERT_EQ(line.lines.size(), 1u);
    EXPECT_EQ(quick.calcs[i].right - quick.calcs[i].left, std::lround(line.right - line.left));
    EXPECT_EQ(quick.calcs[i].bottom - quick.calcs[i].top, std::lround(line.bottom - line.top));
  }
}

// Texts cut to their cells wait on a printer page like any other: those that
// cannot reach into each other's cells share one clip, a text whose ink could
// show in another's cell keeps a clip of its own, and a later text over a cut
// one still lands on top of it. What DrawText returns does not depend on the
// way the text went.
TEST_F(PdfPrinting, CutTextsShareAClipOnlyWhereNoneCouldShowInAnothersCell) {
  const std::string path = Path("cut.pdf");
  struct Returned {
    UINT format;
    int onPage = 0, onBitmap = 0;
  };
  Returned returns[] = {{DT_SINGLELINE | DT_VCENTER}, {DT_SINGLELINE | DT_BOTTOM}, {DT_SINGLELINE | DT_VCENTER | DT_NOCLIP},
                        {DT_SINGLELINE}};
  {
    Printing doc(path, 96, 200, 260);
    OwnedFont font = Font("Arial", -14);
    SelectedObject selected(doc.dc, font);
    auto draw = [&](const char* text, RECT rc, UINT format) { return DrawText(doc.dc, text, -1, &rc, format | DT_NOPREFIX); };
    for (int row = 0; row < 4; ++row) {
      draw("ok", RECT{10, 30 * row, 90, 30 * row + 30}, DT_SINGLELINE | DT_VCENTER);
      draw("88888888", RECT{100, 30 * row, 140, 30 * row + 30}, DT_SINGLELINE | DT_VCENTER);  // overflows
    }
    // A letter and spaces running on past its cell; under it, a cell two
    // units tall whose right-aligned letter stands above it, in the first
    // cell, where it must not show.
    draw("M          ", RECT{150, 0, 180, 20}, DT_SINGLELINE);
    draw("          M", RECT{150, 21, 180, 23}, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT);
    // Left cell's text runs on under the right one's; the right one's ink is
    // its first letter, the rest spaces.
    draw("MMMMMMMM", RECT{10, 130, 40, 160}, DT_SINGLELINE | DT_VCENTER);
    draw("M          ", RECT{40, 130, 70, 160}, DT_SINGLELINE | DT_VCENTER);
    // Cut by both its rectangle and the context's clip; a wrapped text whose
    // lines below its rectangle are left out.
    {
      const SavedDCState saved(doc.dc);
      IntersectClipRect(doc.dc, 10, 245, 200, 250);
      draw("88888888", RECT{10, 240, 40, 260}, DT_SINGLELINE);
    }
    draw("alpha beta gamma", RECT{100, 130, 140, 146}, DT_WORDBREAK);
    // At the edge of the coordinates, moved further by the origin: off the
    // page, and nothing wraps around onto it.
    {
      const SavedDCState saved(doc.dc);
      SetViewportOrgEx(doc.dc, 100, 100, nullptr);
      draw("far", RECT{INT32_MAX - 50, INT32_MAX - 50, INT32_MAX - 30, INT32_MAX}, DT_SINGLELINE);
      draw("far", RECT{INT32_MIN + 10, INT32_MIN + 10, INT32_MIN + 30, INT32_MIN + 60}, DT_SINGLELINE);
    }
    // A white text drawn over a cut black one, after a white run is open.
    SetTextColor(doc.dc, RGB(255, 255, 255));
    draw("ok", RECT{10, 220, 90, 240}, DT_SINGLELINE);
    SetTextColor(doc.dc, RGB(0, 0, 0));
    draw("MMMMMMMMMM", RECT{10, 180, 60, 200}, DT_SINGLELINE);
    SetTextColor(doc.dc, RGB(255, 255, 255));
    draw("MMMMMMMMMM", RECT{10, 180, 60, 200}, DT_SINGLELINE | DT_NOCLIP);
    SetTextColor(doc.dc, RGB(0, 0, 0));
    for (Returned& r : returns) r.onPage = draw("Wide enough to overflow", RECT{150, 200, 190, 260}, r.format);
  }
  {
    OwnedDC memory = MemoryDC(nullptr);
    OwnedBitmap bitmap(CreateCompatibleBitmap(memory, 200, 260));
    SelectedObject target(memory, bitmap);
    OwnedFont font = Font("Arial", -14);
    SelectedObject selected(memory, font);
    for (Returned& r : returns) {
      RECT rc{150, 200, 190, 260};
      r.onBitmap = DrawText(memory, "Wide enough to overflow", -1, &rc, r.format | DT_NOPREFIX);
    }
  }
  for (const Returned& r : returns) EXPECT_EQ(r.onPage, r.onBitmap) << "format " << r.format;
  const std::string content = PageContents(path);
  const std::regex clip("W\\s+n");
  EXPECT_EQ(std::distance(std::sregex_iterator(content.begin(), content.end(), clip), std::sregex_iterator()), 5 + 3)
      << "one clip for the column's cuts, the left cell's and the wrapped text's; one for the right cell's and the "
         "doubly cut text's; one each for the two letters and the black text, and for the three cut texts whose "
         "value is checked (drawn in one place)";
  const GreyPage page = RasterisePdf(path, 96);
  ASSERT_EQ(page.width, 200);
  auto inkIn = [&](RECT r) { return page.Ink(r).second; };
  for (int row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    EXPECT_GT(inkIn({10, 30 * row, 90, 30 * row + 30}), 10) << "the uncut text shows";
    EXPECT_GT(inkIn({100, 30 * row, 140, 30 * row + 30}), 40) << "the cut text shows in its cell";
    EXPECT_EQ(inkIn({141, 30 * row, 148, 30 * row + 30}), 0) << "and nowhere past it";
  }
  EXPECT_GT(inkIn({150, 0, 163, 20}), 10) << "the first letter";
  EXPECT_EQ(inkIn({166, 0, 180, 21}), 0) << "the letter of the cell below does not show in the one above";
  EXPECT_GT(inkIn({10, 130, 40, 160}), 40);
  EXPECT_GT(inkIn({40, 130, 54, 160}), 10) << "the right cell's letter";
  EXPECT_EQ(inkIn({56, 130, 70, 160}), 0) << "the left cell's text does not show under the right cell's spaces";
  EXPECT_EQ(page.Ink({10, 180, 60, 200}, 64).second, 0) << "the white text drawn later covers the black one";
  EXPECT_GT(inkIn({10, 245, 40, 250}), 5) << "the band where both clips meet";
  EXPECT_EQ(inkIn({10, 236, 40, 245}) + inkIn({41, 245, 60, 250}), 0) << "and nothing outside it";
  const std::string text = PdfText(path, 1);
  EXPECT_NE(text.find("alpha"), std::string::npos);
  EXPECT_EQ(text.find("gamma"), std::string::npos) << "a line wholly outside the clip is left out";
}

// A column of thousands of cut texts: they still share clips, but in groups,
// each text looking at a bounded number of the others before it.
TEST_F(PdfPrinting, ThousandsOfCutTextsShareClipsInBoundedGroups) {
  constexpr int kCells = 2000;
  const std::string path = Path("column.pdf");
  {
    Printing doc(path, 96, 200, 30 * kCells);
    OwnedFont font = Font("Arial", -14);
    SelectedObject selected(doc.dc, font);
    for (int row = 0; row < kCells; ++row) {
      RECT rc{100, 30 * row, 140, 30 * row + 30};
      DrawText(doc.dc, "88888888", -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
  }
  const std::string content = PageContents(path);
  const std::regex clip("W\\s+n");
  const auto clips = std::distance(std::sregex_iterator(content.begin(), content.end(), clip), std::sregex_iterator());
  EXPECT_GT(clips, 2) << "no run grows without end";
  EXPECT_LT(clips, kCells / 20) << "but they do share";
  const std::regex text("\\(88888888\\)");
  EXPECT_EQ(std::distance(std::sregex_iterator(content.begin(), content.end(), text), std::sregex_iterator()), kCells)
      << "every text is there";
}

// The pieces of one line drawn in a page's queued stroke are joined where they
// touch or overlap; the pixels are those of the pieces, each leaving out its
// last pixel as before, and a gap stays a gap.
TEST_F(PdfPrinting, TouchingPiecesOfALineAreJoinedWithoutChangingTheirPixels) {
  struct Piece { int x0, y0, x1, y1; };
  struct Case {
    const char* name;
    std::vector<Piece> pieces;
    std::vector<std::pair<int, bool>> pixels;  // position along the line, inked
  };
  // Horizontal lines at the case's row, one vertical at column 80.
  const Case cases[] = {
      {"end to end", {{10, 0, 30, 0}, {30, 0, 50, 0}}, {{9, false}, {10, true}, {30, true}, {49, true}, {50, false}}},
      {"overlapping", {{10, 0, 40, 0}, {20, 0, 30, 0}}, {{10, true}, {39, true}, {40, false}}},
      {"drawn backwards", {{10, 0, 30, 0}, {50, 0, 30, 0}}, {{10, true}, {29, true}, {30, false}, {31, true}, {50, true}, {51, false}}},
      {"a one-pixel gap", {{10, 0, 20, 0}, {21, 0, 30, 0}}, {{19, true}, {20, false}, {21, true}, {29, true}}},
      {"out of order", {{40, 0, 50, 0}, {10, 0, 20, 0}, {20, 0, 40, 0}}, {{9, false}, {10, true}, {49, true}, {50, false}}},
      {"vertical", {{80, 0, 80, 30}, {80, 30, 80, 60}}, {{0, true}, {59, true}, {60, false}}},
  };
  auto vertical = [](const Case& c) { return c.pieces[0].x0 == c.pieces[0].x1; };
  const std::string path = Path("joined.pdf");
  {
    Printing doc(path, 96, 96, 96);
    int row = 10;
    for (const Case& c : cases) {
      for (const Piece& p : c.pieces) {
        MoveToEx(doc.dc, p.x0, p.y0 + (vertical(c) ? 20 : row), nullptr);
        LineTo(doc.dc, p.x1, p.y1 + (vertical(c) ? 20 : row));
      }
      row += 10;
    }
  }
  const std::string content = PageContents(path);
  const std::regex move("\\sm\\s");
  EXPECT_EQ(std::distance(std::sregex_iterator(content.begin(), content.end(), move), std::sregex_iterator()),
            1 + 1 + 2 + 2 + 1 + 1) << content;
  const GreyPage page = RasterisePdf(path, 96);
  ASSERT_EQ(page.width, 96);
  int row = 10;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (auto [at, inked] : c.pixels) {
      const int v = vertical(c) ? page.At(80, at + 20) : page.At(at, row);
      if (inked) { EXPECT_LT(v, 128) << "at " << at; }
      else EXPECT_GT(v, 200) << "at " << at;
    }
    row += 10;
  }
}

// The update that finishes an untagged PDF is made from the end of Cairo's
// file alone; an end it does not recognise gives none, and the caller
// finishes the whole document instead.
// A page of more lines than the line index starts with (it grows while the
// pieces come), each line's pieces arriving far apart and some lines lying
// off the page: still one segment a line, whatever its direction or sign.
TEST_F(PdfPrinting, ManyLinesOfManyPiecesStillJoinOneSegmentALine) {
  constexpr int kRows = 300, kColumns = 200, kPieces = 3, kOff = 3;
  const std::string path = Path("many.pdf");
  {
    Printing doc(path, 600, 2000, 2000);
    for (int piece = 0; piece < kPieces; ++piece) {
      for (int y = -kOff; y < kRows; ++y) {
        MoveToEx(doc.dc, 10 + 100 * piece, 5 * y, nullptr);
        LineTo(doc.dc, 10 + 100 * (piece + 1), 5 * y);
      }
      for (int x = -kOff; x < kColumns; ++x) {
        MoveToEx(doc.dc, 7 * x, 10 + 100 * piece, nullptr);
        LineTo(doc.dc, 7 * x, 10 + 100 * (piece + 1));
      }
    }
  }
  const std::string content = PageContents(path);
  const std::regex move("\\sm\\s");
  EXPECT_EQ(std::distance(std::sregex_iterator(content.begin(), content.end(), move), std::sregex_iterator()),
            kRows + kColumns + 2 * kOff);
}

TEST(PdfCatalogUpdate, FollowsCairosEndOrDeclines) {
  const std::string tail =
      "7 0 obj\n<< /Type /Catalog\n   /Pages 1 0 R\n>>\nendobj\nxref\n0 8\n"
      "trailer\n<< /Size 8\n   /Root 7 0 R\n   /Info 6 0 R\n>>\nstartxref\n607\n%%EOF\n";
  PdfMetadata meta;
  meta.language = "de-DE";
  auto update = [&](const std::string& end, std::uint64_t at) {
    GChecksum* digest = g_checksum_new(G_CHECKSUM_MD5);
    std::optional<std::string> u = gdi::CatalogUpdate(end, at, meta, digest);
    g_checksum_free(digest);
    return u;
  };
  const std::optional<std::string> u = update(tail, 1000);
  ASSERT_TRUE(u.has_value());
  // The new catalog keeps Cairo's entries; the offsets count from the file's start.
  EXPECT_NE(u->find("7 0 obj\n<< /Type /Catalog\n   /Pages 1 0 R\n /ViewerPreferences << /DisplayDocTitle true >>"
                    " /Metadata 8 0 R /Lang (de-DE) >>\nendobj\n"), std::string::npos) << *u;
  const std::size_t catalogAt = 1000 + tail.size() + u->find("7 0 obj");
  char entry[32];
  std::snprintf(entry, sizeof entry, "xref\n7 1\n%010zu 00000 n \n", catalogAt);
  EXPECT_NE(u->find(entry), std::string::npos) << *u;
  EXPECT_NE(u->find("/Size 9 /Root 7 0 R /Info 6 0 R /ID [<"), std::string::npos) << *u;
  EXPECT_NE(u->find("/Prev 607 >>\nstartxref\n" + std::to_string(1000 + tail.size() + u->find("xref\n7 1"))),
            std::string::npos) << *u;
  const std::pair<const char*, std::string> declined[] = {
      {"a catalog that already has a language", std::regex_replace(tail, std::regex("/Pages 1 0 R"), "/Lang (fr) /Pages 1 0 R")},
      {"no trailer", tail.substr(0, tail.find("trailer"))},
      {"no catalog object", tail.substr(tail.find("xref"))},
      {"only an object whose number ends in the catalog's", "1" + tail},
      {"a catalog that is not a dictionary", std::regex_replace(tail, std::regex("<< /Type /Catalog"), "[ /Type /Catalog")},
  };
  for (const auto& [name, end] : declined) EXPECT_FALSE(update(end, 0).has_value()) << name;
  // A language that is not plain ASCII is a text string all the same (a control character a space).
  const std::pair<const char*, const char*> languages[] = {{"x-(a)\\b", "/Lang (x-\\(a\\)\\\\b)"},
                                                           {"fr-\xC3\xA9\r", "/Lang <FEFF00660072002D00E90020>"}};
  for (const auto& [language, written] : languages) {
    meta.language = language;
    EXPECT_NE(update(tail, 0).value_or("").find(written), std::string::npos) << written;
  }
}
