// Structure tags on a PDF printer context: the tree a reader gets, whatever
// order the drawing code opens and closes them in, and a document that stays
// valid when that code gets the nesting wrong.
#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/gdi/pdf_join.h"
#include "platform/gdi/pdf_content.h"
#include "platform/gdi/pdf_tags.h"
#include "platform/gdi/qpdf_finish.h"
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

// What a reader gets of a tagged document, object numbers aside: each
// element with its type, alternative text, page and kids in order, the parent
// tree's entries as those elements' ordinals, the catalog's additions and the
// pages' decoded content.
std::string StructureOf(const std::string& pdf) {
  QPDF doc;
  doc.setSuppressWarnings(true);
  doc.processMemoryFile("finished", pdf.data(), pdf.size());
  std::map<QPDFObjGen, int> pages, elements;
  std::ostringstream out;
  for (QPDFObjectHandle page : doc.getAllPages()) {
    pages.emplace(page.getObjGen(), static_cast<int>(pages.size()));
    out << "page " << page.getKey("/StructParents").unparse() << " "
        << page.getKey("/Contents").getStreamData(qpdf_dl_generalized)->getSize() << "\n";
  }
  const auto page = [&pages](QPDFObjectHandle p) { return p.isDictionary() ? pages.at(p.getObjGen()) : -1; };
  std::function<void(QPDFObjectHandle, int)> visit = [&](QPDFObjectHandle e, int depth) {
    out << std::string(depth, ' ');
    if (!e.isDictionary()) {
      out << e.unparse() << "\n";
      return;
    }
    if (e.hasKey("/S")) {
      elements.emplace(e.getObjGen(), static_cast<int>(elements.size()));
      out << e.getKey("/S").getName() << " alt=" << (e.hasKey("/Alt") ? e.getKey("/Alt").getUTF8Value() : "-");
    } else {
      out << e.getKey("/Type").unparse() << " mcid=" << e.getKey("/MCID").unparse();
    }
    out << " page=" << page(e.getKey("/Pg")) << "\n";
    QPDFObjectHandle kids = e.getKey("/K");
    if (!kids.isArray()) kids = kids.isNull() ? QPDFObjectHandle::newArray() : QPDFObjectHandle::newArray({kids});
    for (QPDFObjectHandle kid : kids.aitems()) visit(kid, depth + 1);
  };
  QPDFObjectHandle root = doc.getRoot(), tree = root.getKey("/StructTreeRoot");
  visit(tree, 0);
  QPDFObjectHandle nums = tree.getKey("/ParentTree").getKey("/Nums");
  for (int i = 0; i + 1 < nums.getArrayNItems(); i += 2) {
    out << "parent " << nums.getArrayItem(i).unparse() << ":";
    QPDFObjectHandle array = nums.getArrayItem(i + 1);
    for (QPDFObjectHandle e : array.aitems()) out << " " << (e.isNull() ? -1 : elements.at(e.getObjGen()));
    out << "\n";
  }
  out << "lang " << root.getKey("/Lang").getUTF8Value() << " " << root.getKey("/ViewerPreferences").unparse() << " "
      << root.getKey("/MarkInfo").unparse() << "\n";
  const auto xmp = root.getKey("/Metadata").getRawStreamData();
  out << std::string(reinterpret_cast<const char*>(xmp->getBuffer()), xmp->getSize());
  return out.str();
}

// `pdf` with the first `from` made `to`, its cross-reference table following.
std::string Edited(const std::string& pdf, const std::string& from, const std::string& to) {
  const std::size_t at = pdf.find(from);
  if (at == std::string::npos) return pdf;
  std::string out = pdf.substr(0, at) + to + pdf.substr(at + from.size());
  const long long shift = static_cast<long long>(to.size()) - static_cast<long long>(from.size());
  std::size_t xref = out.rfind("\nxref\n") + 6, trailer = out.find("trailer", xref);
  for (std::size_t line = out.find('\n', xref) + 1; line + 20 <= trailer; line += 20) {
    const long long offset = std::stoll(out.substr(line, 10));
    char entry[12];
    std::snprintf(entry, sizeof entry, "%010lld", offset > static_cast<long long>(at) ? offset + shift : offset);
    out.replace(line, 10, entry);
  }
  const std::size_t startxref = out.rfind("startxref\n") + 10;
  return out.substr(0, startxref) + std::to_string(xref - 5) + "\n%%EOF\n";
}

TEST(PdfStructure, CairosDocumentRewrittenAsQpdfFinishesItOrLeftToQpdf) {
  const std::string path = TempPdf("piece.pdf");
  {
    OwnedDC dc(CreatePdfPrinterDC(path.c_str(), 600, 600, 4960, 7016));
    ASSERT_TRUE(MarkPdfPiece(dc)) << "Cairo's bytes as they are";
    ASSERT_GT(StartDoc(dc, nullptr), 0);
    for (const char* row : {"one", "two", "three"}) {
      ASSERT_GT(StartPage(dc), 0);
      if (row[0] == 'o') {
        ASSERT_TRUE(BeginPdfTag(dc, PdfTag::Table));
      }
      {
        const ScopedPdfTag head(dc, PdfTag::Pagination);
        Label(dc, row, 100);
      }
      const ScopedPdfTag tr(dc, PdfTag::Row), td(dc, PdfTag::Cell);
      Label(dc, row, 800);
      const ScopedPdfTag figure(dc, PdfTag::Figure, "picture");
      Rectangle(dc, 300, 1200, 900, 1800);
      ASSERT_GT(EndPage(dc), 0);
    }
    ASSERT_GT(EndDoc(dc), 0);
  }
  std::ifstream in(path, std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  PdfMetadata meta;
  meta.language = "de-AT";
  meta.title = "T\xC3\xBCtel";
  const std::vector<std::string> alts = {"Bild (\xC3\xBC)", "", "drei"};
  const auto qpdf = [&](const std::string& pdf) {
    return gdi::AddCatalogMetadata(pdf, meta.language, alts, [&meta](bool tagged) { return gdi::XmpPacket(meta, tagged); });
  };
  const std::optional<std::string> fast = gdi::FinishTaggedPdf(raw, meta, alts);
  ASSERT_TRUE(fast.has_value());
  const std::string expected = StructureOf(qpdf(raw));
  EXPECT_EQ(StructureOf(*fast), expected);
  EXPECT_NE(expected.find("Figure alt=Bild (\xC3\xBC)"), std::string::npos) << expected;
  EXPECT_EQ(gdi::FinishPdf(raw, meta, alts), *fast) << "the same document, the same bytes";
  const std::string file = TempPdf("rewritten.pdf");
  std::ofstream(file, std::ios::binary) << *fast;
  EXPECT_TRUE(QpdfClean(file));
  EXPECT_EQ(PdfText(file, 3).find("three"), 0u);
  std::filesystem::remove(file);
  // What the rewrite does not read as Cairo writes it is finished by qpdf.
  const std::pair<const char*, const char*> declined[] = {
      {"/Nums [", "/Kids [ ] /Nums ["},                                     // a parent tree in branches
      {"/S /Figure", "/S /Figure /Alt (old)"},                              // a figure with its text
      {"/Filter /FlateDecode", "/DecodeParms << >> /Filter /FlateDecode"},  // a page's content with parameters
  };
  for (const auto& [from, to] : declined) {
    const std::string edited = Edited(raw, from, to);
    ASSERT_NE(edited, raw) << from;
    EXPECT_FALSE(gdi::FinishTaggedPdf(edited, meta, alts).has_value()) << to;
    const std::string finished = gdi::FinishPdf(edited, meta, alts);
    EXPECT_EQ(finished, qpdf(edited)) << to;
    EXPECT_NE(StructureOf(finished).find("Figure alt=Bild"), std::string::npos) << to;
  }
}

}  // namespace
