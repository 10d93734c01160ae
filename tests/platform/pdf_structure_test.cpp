// Structure tags on a PDF printer context: the tree a reader gets, whatever
// order the drawing code opens and closes them in, and a document that stays
// valid when that code gets the nesting wrong.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/gdi/pdf_content.h"
#include "platform/gdi/pdf_tags.h"
#include "support/pdf.h"

using namespace ktfolio::win;
using namespace ktfolio::testing;

namespace {

std::string TempPdf(const char* name) {
  return (std::filesystem::path(::testing::TempDir()) / (std::to_string(::getpid()) + name)).string();
}

void Label(HDC dc, const char* text, int y) {
  RECT rc{300, y, 3000, y + 300};
  DrawText(dc, text, -1, &rc, DT_SINGLELINE | DT_NOPREFIX);
}

// The tree pdfinfo reads, one element or "text" a line, without indentation.
std::string Tree(const std::string& pdf) {
  return CommandOutput("pdfinfo -struct-text '" + pdf + "' | sed 's/^ *//' | tr '\\n' '|'");
}

bool QpdfClean(const std::string& pdf) { return CommandOutput("qpdf --check '" + pdf + "' >/dev/null && echo ok") == "ok\n"; }

TEST(PdfStructure, TagsNestAcrossPagesAndMisuseNeverBreaksTheDocument) {
  const std::string path = TempPdf("tags.pdf");
  {
    OwnedDC dc(CreatePdfPrinterDC(path.c_str(), 600, 600, 4960, 7016));
    ASSERT_GT(StartDoc(dc, nullptr), 0);
    EXPECT_FALSE(BeginPdfTag(dc, PdfTag::Paragraph)) << "outside a page";
    ASSERT_GT(StartPage(dc), 0);
    Label(dc, "running head", 100);  // drawn before any tag: an artifact
    ASSERT_TRUE(BeginPdfTag(dc, PdfTag::Pagination));
    Label(dc, "page 1 of 2", 7000 - 400);
    EndPdfTag(dc, PdfTag::Pagination);
    EndPdfTag(dc, PdfTag::Table);  // not open: ignored
    {
      const ScopedPdfTag heading(dc, HeadingTag(9));
      Label(dc, "Title", 400);
    }
    ASSERT_TRUE(BeginPdfTag(dc, PdfTag::Table));
    ASSERT_TRUE(BeginPdfTag(dc, PdfTag::Row));
    ASSERT_TRUE(BeginPdfTag(dc, PdfTag::Cell));
    Label(dc, "one", 800);
    EndPdfTag(dc, PdfTag::Row);  // closes the cell with it
    ASSERT_GT(EndPage(dc), 0);
    EndPdfTag(dc, PdfTag::Row);  // between pages, and no longer open
    ASSERT_GT(StartPage(dc), 0);
    ASSERT_TRUE(BeginPdfTag(dc, PdfTag::Row));
    ASSERT_TRUE(BeginPdfTag(dc, PdfTag::Cell));
    Label(dc, "two", 800);
    EndPdfTag(dc, PdfTag::Cell);  // Cairo marks the content of leaf elements only
    ASSERT_TRUE(BeginPdfTag(dc, PdfTag::Figure, std::string("bad \xff byte")));
    EXPECT_EQ(EndPage(dc), 1);
    EXPECT_EQ(EndDoc(dc), 1) << "the tags still open are closed with the document";
  }
  EXPECT_TRUE(QpdfClean(path));
  EXPECT_EQ(PdfField(path, "Tagged"), "yes");
  EXPECT_EQ(Tree(path), "Document|H6 (block)|\"Title\"|Table (block)|TR|TD|\"one\"|TR|TD|\"two\"|Figure|\"\"|");
  EXPECT_NE(PdfText(path, 1).find("running head"), std::string::npos) << "artifacts are still drawn";
  std::filesystem::remove(path);
}

TEST(PdfStructure, ContextsWithoutTagsWriteAnUntaggedDocument) {
  const std::string path = TempPdf("plain.pdf");
  {
    OwnedDC dc(CreatePdfPrinterDC(path.c_str(), 600, 600, 4960, 7016));
    ASSERT_GT(StartDoc(dc, nullptr), 0);
    ASSERT_GT(StartPage(dc), 0);
    Label(dc, "plain", 100);
    ASSERT_GT(EndDoc(dc), 0);
  }
  EXPECT_EQ(PdfField(path, "Tagged"), "no");
  EXPECT_TRUE(QpdfClean(path));
  OwnedDC memory(CreateCompatibleDC(nullptr));
  EXPECT_FALSE(BeginPdfTag(memory, PdfTag::Table)) << "a screen context has no structure";
  EndPdfTag(memory, PdfTag::Table);
  std::filesystem::remove(path);
}

TEST(PdfStructure, UnmarkedDrawingBecomesArtifactsAndRunningHeadsPaginationArtifacts) {
  using ktfolio::win::gdi::MarkArtifacts;
  const std::string open = "/Artifact BMC\n", close = "\nEMC\n", pagination = "/Artifact <</Type /Pagination>> BDC";
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"1 0 0 RG 0 0 m 5 5 l S", open + "1 0 0 RG 0 0 m 5 5 l S" + close},
      {"/P <</MCID 0>> BDC BT (a) Tj ET EMC", "/P <</MCID 0>> BDC BT (a) Tj ET EMC"},
      // what lies between and after marked sequences, each run in one artifact
      {"q /TD <</MCID 1>> BDC (x) Tj EMC Q 0 0 5 5 re f",
       open + "q " + close + "/TD <</MCID 1>> BDC (x) Tj EMC " + open + "Q 0 0 5 5 re f" + close},
      {"/NonStruct <</MCID 2>> BDC (Page 1) Tj EMC", pagination + " (Page 1) Tj EMC"},
      // words inside strings, hexadecimal strings and nested marks are no operators
      {"/Span <</MCID 3>> BDC /X BMC (EMC \\) BDC) Tj EMC <4a6b> Tj EMC", "/Span <</MCID 3>> BDC /X BMC (EMC \\) BDC) Tj EMC <4a6b> Tj EMC"},
      {"(a (nested) EMC) Tj <abcdef> Tj", open + "(a (nested) EMC) Tj <abcdef> Tj" + close},
      // an inline image's data is skipped whole, even where it holds "BDC"
      {"BI /W 1 /H 1 ID \x01 BDC EI\x02 EI /P <</MCID 4>> BDC EMC",
       open + "BI /W 1 /H 1 ID \x01 BDC EI\x02 EI " + close + "/P <</MCID 4>> BDC EMC"},
  };
  for (const auto& c : cases) EXPECT_EQ(MarkArtifacts(c.in), c.out) << c.in;
}

}  // namespace
