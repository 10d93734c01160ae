// The control as a host sees it: only <ktfolio/ktfolio.h> and the shared library, so a member
// missing from its exports fails the link and a call wired to the wrong member fails here.
#include <ktfolio/ktfolio.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace ktfolio {
namespace {

// A small listing of fixed-height rows: three A4 pages whatever the fonts.
void BuildListing(KtPrint4& c, int rows = 60) {
  c.ScaleMode(eMillimetre);
  c.PageSize(s_A4);
  c.dFitHeightToText(false);
  c.dRowHeight(10);
  c.AddHeaderRow("Listing", "#7000#Page %p of %n");
  for (int i = 1; i <= rows; ++i) c.AddRow("Item " + std::to_string(i), "#6000#" + std::to_string(i * 3));
}

std::int32_t LastErrorNumber(const KtPrint4& c) {
  std::int32_t number = 0;
  std::string description, source;
  c.GetLastError(number, description, source);
  return number;
}

TEST(PublicApi, SettingsKeepTheirOwnValues) {
  KtPrint4 c;
  // Distinct values set together, then read: a getter wired to a neighbour shows.
  c.Marginleft(1001);
  c.MarginRight(1002);
  c.MarginTop(1003);
  c.MarginBottom(1004);
  c.MarginHeader(505);
  c.MarginFooter(606);
  c.dColIndentLeft(31);
  c.dColIndentRight(32);
  c.dColIndentFirst(33);
  c.dColPenColor(0x112233);
  c.dColBrushColor(0x445566);
  c.dFontColor(0x778899);
  c.Orientation(Landscape);
  c.dColAlignPos(ppRightCenter);
  EXPECT_EQ(std::tuple(c.Marginleft(), c.MarginRight(), c.MarginTop(), c.MarginBottom()),
            std::tuple(1001, 1002, 1003, 1004));
  EXPECT_EQ(std::tuple(c.MarginHeader(), c.MarginFooter(), c.dColIndentLeft(), c.dColIndentRight()),
            std::tuple(505, 606, 31, 32));
  EXPECT_EQ(std::tuple(c.dColIndentFirst(), c.dColPenColor(), c.dColBrushColor(), c.dFontColor()),
            std::tuple(33, 0x112233u, 0x445566u, 0x778899u));
  EXPECT_EQ(std::tuple(c.Orientation(), c.dColAlignPos()), std::tuple(Landscape, ppRightCenter));
  // The font is shared: the control sees a change made through the object.
  c.Font()->Size = 14;
  EXPECT_EQ(c.Font()->Size, 14);
}

TEST(PublicApi, RowsCellsAndPages) {
  KtPrint4 c;
  BuildListing(c);
  EXPECT_EQ(std::tuple(c.LastRow(), c.Pages(), c.GetProperty(7, 2, "Text").ToString()),
            std::tuple(60, 3, "21"));
  EXPECT_TRUE(c.SetProperty(7, 1, "FontBold", Variant(true)));
  EXPECT_TRUE(c.GetProperty(7, 1, "FontBold").ToBool());
  // One VariantArray is the item list itself; no items make empty cells.
  EXPECT_TRUE(c.AddRow(VariantArray{Variant("x"), Variant(2), Variant(3.5)}));
  EXPECT_EQ(c.GetProperty(61, 3, "Text").ToString(), "3.5");
  EXPECT_TRUE(c.RemoveRows(1, 30));
  EXPECT_EQ(std::tuple(c.LastRow(), LastErrorNumber(c)), std::tuple(31, 0));
}

TEST(PublicApi, FailuresAreRecordedNotThrown) {
  KtPrint4 c;
  BuildListing(c, 5);
  const std::uint64_t before = c.ErrorsRecorded();
  EXPECT_FALSE(c.ExportPng("unused.png", 9, 100));
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kPageOutOfRange);
  EXPECT_FALSE(c.SetProperty(1, 1, "NoSuchAttribute", Variant(1)));
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kNoValidPropertyName);
  EXPECT_EQ(c.ErrorsRecorded(), before + 2);
  c.ClearError();
  EXPECT_EQ(LastErrorNumber(c), 0);
  // A conversion that cannot be made throws the library's Error, which a host
  // can catch across the library's boundary.
  try {
    (void)Variant("twelve").ToLong();
    ADD_FAILURE() << "no type mismatch";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), ErrorCode::kTypeMismatch);
  }
}

TEST(PublicApi, EventsAndPdfOutput) {
  struct PageCounter : KtPrint4Events {
    int firsts = 0;
    void NewPage(std::int32_t& page, std::int32_t& row, std::int32_t& firstOrLast) override {
      if (firstOrLast == First) ++firsts;
    }
  } counter;
  KtPrint4 c;
  BuildListing(c);
  c.Advise(&counter);
  const auto pdf = std::filesystem::temp_directory_path() / ("ktfolio-api-" + std::to_string(getpid()) + ".pdf");
  ASSERT_TRUE(c.ExportPdf(pdf.string(), 1, 3));
  EXPECT_EQ(counter.firsts, 3);
  std::ifstream in(pdf, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  std::filesystem::remove(pdf);
  c.Unadvise(&counter);
  ASSERT_TRUE(c.ExportPng((std::filesystem::temp_directory_path() / "ktfolio-api.png").string(), 1, 20));
  EXPECT_EQ(counter.firsts, 3);
  std::filesystem::remove(std::filesystem::temp_directory_path() / "ktfolio-api.png");
}

TEST(PublicApi, DesignTravelsAsTemplateText) {
  KtPrint4 a;
  BuildListing(a, 12);
  a.SetProperty(4, 1, "Text", Variant("changed"));
  ByteArray design;
  a.GetDsnArray(design);
  ASSERT_FALSE(design.empty());
  KtPrint4 b;
  b.SetDsnArray(design);
  EXPECT_EQ(std::tuple(b.LastRow(), b.GetProperty(4, 1, "Text").ToString(), b.Pages()),
            std::tuple(12, "changed", a.Pages()));
}

}  // namespace
}  // namespace ktfolio
