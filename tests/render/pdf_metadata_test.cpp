// What a written PDF says of itself, read back with a PDF library: the Info
// dictionary, the XMP packet, the catalog's language and viewer preferences,
// and the outline of its pages.
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>

#include <fstream>
#include <iterator>

#include "render_test_util.h"

namespace ktfolio::testing {
namespace {

void ThreePages(KtPrint4Impl& c) {
  c.dFitHeightToText(false);
  c.dRowHeight(1000);
  c.AddHeaderRow("Header band");
  for (int i = 1; i <= 30; ++i) c.AddRow("Row " + std::to_string(i), i);
}

std::string Text(QPDFObjectHandle o) { return o.isString() ? o.getUTF8Value() : "<" + o.unparse() + ">"; }

TEST(PdfMetadata, TitleAuthorLanguageAndOutlineReachTheFile) {
  KtPrint4Impl c;
  ThreePages(c);
  c.DocTitle("Stock – März");  // not Latin-1 alone: the Info strings are UTF-16
  c.DocAuthor("Ann <Example> & Co");
  c.DocSubject("Warehouse");
  c.DocKeywords("stock, listing");
  c.DocLanguage("de-DE");
  const std::string file = TempDir("pdf_meta") + "/stock.pdf";
  ASSERT_TRUE(c.ExportPdf(file, 1, c.Pages()));
  ASSERT_EQ(c.Pages(), 3);

  QPDF pdf;
  pdf.processFile(file.c_str());
  QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
  QPDFObjectHandle root = pdf.getRoot();
  EXPECT_EQ(
      std::tuple(Text(info.getKey("/Title")), Text(info.getKey("/Author")),
                 Text(info.getKey("/Subject")), Text(info.getKey("/Keywords")),
                 Text(root.getKey("/Lang"))),
      std::tuple("Stock – März", "Ann <Example> & Co", "Warehouse", "stock, listing", "de-DE"));
  QPDFObjectHandle shows = root.getKey("/ViewerPreferences").getKey("/DisplayDocTitle");
  EXPECT_TRUE(shows.isBool() && shows.getBoolValue());
  QPDFObjectHandle xmp = root.getKey("/Metadata");
  ASSERT_TRUE(xmp.isStream() && xmp.getDict().getKey("/Subtype").getName() == "/XML");
  const std::shared_ptr<Buffer> data = xmp.getStreamData();
  const std::string packet(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
  EXPECT_NE(packet.find("<rdf:li xml:lang=\"x-default\">Stock – März</rdf:li>"), std::string::npos) << packet;
  EXPECT_NE(packet.find("<rdf:li>Ann &lt;Example&gt; &amp; Co</rdf:li>"), std::string::npos) << packet;
  EXPECT_NE(packet.find("<rdf:li>de-DE</rdf:li>"), std::string::npos);

  QPDFOutlineDocumentHelper outline(pdf);
  const auto entries = outline.getTopLevelOutlines();
  ASSERT_EQ(entries.size(), 3u);
  const auto pages = pdf.getAllPages();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    auto entry = entries[i];
    EXPECT_EQ(entry.getTitle(), "Page " + std::to_string(i + 1));
    EXPECT_EQ(entry.getDestPage().getObjGen(), pages[i].getObjGen()) << "entry " << i + 1;
  }
  // The finishing copies the pages: their text reads as before.
  EXPECT_NE(PdfText(file, 2).find("Row 1"), std::string::npos);
  EXPECT_FALSE(pdf.anyWarnings());  // a cross-reference qpdf had to rebuild would warn

  // An untagged document is finished by an update appended to Cairo's file,
  // which still reads on its own: the same pages, none of the new entries.
  c.TaggedPdf(false);
  ASSERT_TRUE(c.ExportPdf(file, 1, c.Pages()));
  QPDF updated;
  updated.processFile(file.c_str());
  EXPECT_EQ(std::tuple(Text(updated.getRoot().getKey("/Lang")), updated.getRoot().getKey("/Metadata").isStream(),
                       updated.getAllPages().size(), updated.anyWarnings()),
            std::tuple("de-DE", true, 3u, false));
  std::ifstream in(file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  const std::size_t cairoEnd = bytes.find("%%EOF\n") + 6;
  ASSERT_EQ(std::tuple(bytes.rfind("%%EOF\n") + 6, bytes.size() > cairoEnd), std::tuple(bytes.size(), true));
  QPDF original;
  original.processMemoryFile("cairo's part", bytes.data(), cairoEnd);
  EXPECT_EQ(std::tuple(original.getAllPages().size(), original.getRoot().hasKey("/Metadata"),
                       original.getRoot().hasKey("/Lang"), original.anyWarnings()),
            std::tuple(3u, false, false, false));
}

TEST(PdfMetadata, HeadingsWhoseTextIsNotUtf8StillMakeTheDocument) {
  KtPrint4Impl c;
  c.AddRow(std::string("Caf\xE9 \xED\xA0\x80"));  // Latin-1, and an encoded lone surrogate
  c.SetProperty(1, 0, "OutlineLevel", Variant(1));
  const std::string file = TempDir("pdf_heading") + "/h.pdf";
  ASSERT_TRUE(c.ExportPdf(file, 1, 1));
  QPDF pdf;
  pdf.processFile(file.c_str());
  auto entries = QPDFOutlineDocumentHelper(pdf).getTopLevelOutlines();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].getTitle(), "Caf\u00e9 \u00ed\u00a0 ");  // stray bytes as drawn, a C1 control as a space
}

TEST(PdfMetadata, DefaultsAndRefusedLanguages) {
  KtPrint4Impl c;
  ThreePages(c);
  EXPECT_TRUE(IsLanguageTag(c.DocLanguage())) << c.DocLanguage();
  for (const char* bad : {"", "e", "en_US", "englishlanguage", "de--DE", "-de", "1a", "en-toolongsubtag"}) {
    c.DocLanguage("fr");
    c.ClearError();
    c.DocLanguage(bad);
    EXPECT_EQ(std::tuple(LastErrorNumber(c), c.DocLanguage()),
              std::tuple(ToInt(ErrorCode::kInvalidPropertyValue), "fr")) << bad;
  }
  for (const char* good : {"en", "en-US", "sr-Latn-RS", "zh-Hant", "es-419"}) {
    c.DocLanguage(good);
    EXPECT_EQ(c.DocLanguage(), good);
  }
  // Without a title the job's name stands for it.
  const std::string file = TempDir("pdf_meta_default") + "/March report.pdf";
  ASSERT_TRUE(c.ExportPdf(file, 1, 1));
  QPDF pdf;
  pdf.processFile(file.c_str());
  EXPECT_EQ(std::tuple(Text(pdf.getTrailer().getKey("/Info").getKey("/Title")),
                       Text(pdf.getRoot().getKey("/Lang"))),
            std::tuple("Folio's Job", "es-419"));
}

TEST(PdfMetadata, TheLanguageOfTheLocale) {
  const char* saved = std::getenv("LC_ALL");
  const std::string keep = saved ? saved : "";
  const std::pair<const char*, const char*> cases[] = {
      {"pt_BR.UTF-8", "pt-BR"}, {"de_DE@euro", "de-DE"}, {"C", "en-US"}, {"POSIX", "en-US"}, {"C.UTF-8", "en-US"}};
  for (const auto& [locale, tag] : cases) {
    setenv("LC_ALL", locale, 1);
    EXPECT_EQ(DefaultDocLanguage(), tag) << locale;
  }
  if (saved) setenv("LC_ALL", keep.c_str(), 1); else unsetenv("LC_ALL");
}

}  // namespace
}  // namespace ktfolio::testing
