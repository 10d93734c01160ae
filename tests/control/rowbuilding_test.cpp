// Rows built from items and placed on pages: sections, texts, page breaks and page numbers.
#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "control/ktprint4_impl.h"

namespace ktfolio {
namespace {

// The texts of every cell of a row.
std::vector<std::string> Texts(KtPrint4Impl& c, int row, int area = Body) {
  std::vector<std::string> out;
  for (const auto& cell : c.Rows(area)->Item(row)->ItemText()) out.push_back(cell->Text());
  return out;
}
// The first cell's text of each body row.
std::vector<std::string> Column(KtPrint4Impl& c) {
  std::vector<std::string> out;
  for (int r = 1; r <= c.LastRow(); ++r) out.push_back(c.GetProperty(r, 1, "Text").ToString());
  return out;
}
// Last row, first and last centre row.
std::tuple<int, int, int> Sections(KtPrint4Impl& c) { return {c.LastRow(), c.StartBodyRow(), c.EndBodyRow()}; }

TEST(RowBuilding, ItemsBecomeCellsNumbersBecomeTextTheVariantWayAndColsPerRowIsTheMinimumCount) {
  KtPrint4Impl c;
  EXPECT_TRUE(c.AddRow("a", "b"));
  EXPECT_EQ(Sections(c), std::tuple(1, 1, 1));
  EXPECT_EQ(Texts(c, 1), (std::vector<std::string>{"a", "b"}));
  c.dInheritLastRow(false);
  c.AddRow(1.5, 0.1f, 1e20, -3);
  EXPECT_EQ(Texts(c, 2), (std::vector<std::string>{"1.5", "0.1", "1E+20", "-3"}));
  c.dColsPerRow(5);
  c.AddRow("x", 2, true);
  EXPECT_EQ(Texts(c, 3), (std::vector<std::string>{"x", "2", "True", "", ""}));
  c.AddRow();
  EXPECT_EQ(c.Rows(Body)->Item(4)->ItemText().count(), 5);
}

// Start rows go before the centre section (consecutive ones in their order), end rows after it, and
// centre rows between the two.
TEST(RowBuilding, StartAndEndRowsFrameTheCentreSection) {
  KtPrint4Impl c;
  c.AddStartDocRow("T");
  EXPECT_EQ(Sections(c), std::tuple(1, 2, 2));
  c.AddRow("x");
  EXPECT_EQ(Sections(c), std::tuple(2, 2, 2));
  EXPECT_EQ(Column(c), (std::vector<std::string>{"T", "x"}));
  KtPrint4Impl d;
  d.AddRow("c1");
  d.AddRow("c2");
  d.AddStartDocRow("s1");
  EXPECT_EQ(Sections(d), std::tuple(3, 2, 3));
  d.AddStartDocRow("s2");
  EXPECT_EQ(Sections(d), std::tuple(4, 3, 4));
  EXPECT_EQ(Column(d), (std::vector<std::string>{"s1", "s2", "c1", "c2"}));
  KtPrint4Impl e;
  e.AddRow("c1");
  e.AddEndDocRow("e1");
  e.AddEndDocRow("e2");
  e.AddRow("c2");
  EXPECT_EQ(Column(e), (std::vector<std::string>{"c1", "c2", "e1", "e2"}));
  EXPECT_EQ(Sections(e), std::tuple(4, 1, 2));
}

TEST(RowBuilding, ItemSyntaxSetsTabLeftInTwipsWhateverTheScale) {
  KtPrint4Impl c;
  c.ScaleMode(eMillimetre);
  c.AddRow("#1440#Total", "#abc#zero", "#12 no end", "##double", "#2.5e2#sci");
  EXPECT_EQ(Texts(c, 1), (std::vector<std::string>{"Total", "zero", "#12 no end", "##double", "sci"}));
  for (const auto& [col, twips] : {std::tuple(1, 1440.0f), {2, 0.0f}, {5, 250.0f}})
    EXPECT_FLOAT_EQ(c.GetProperty(1, col, "TabLeft").ToSingle(), twips) << col;
  // Seven digits are read as they come, eight and other numbers as a number.
  c.AddRow("#1234567#seven", "#12345678#eight", "#7x#mixed", "#0#", "#123");
  EXPECT_EQ(Texts(c, 2), (std::vector<std::string>{"seven", "eight", "mixed", "", "#123"}));
  for (const auto& [col, twips] : {std::tuple(1, 1234567.0f), {2, 12345678.0f}, {3, 7.0f}, {4, 0.0f}})
    EXPECT_EQ(c.GetProperty(2, col, "TabLeft").ToSingle(), twips) << col;
  // The characters either side of the digits end them ('/' and ':'), and so
  // does any other byte, however long the item.
  c.AddRow("#9:12345#colon", "#12/45678#slash", "#0123456789", "#42#\xfa\xfa\xfa\xfa\xfa\xfa", "#12\xfa\xfa\xfa\xfa\xfa#x");
  EXPECT_EQ(Texts(c, 3), (std::vector<std::string>{"colon", "slash", "#0123456789", "\xfa\xfa\xfa\xfa\xfa\xfa", "x"}));
  for (const auto& [col, twips] : {std::tuple(1, 9.0f), {2, 12.0f}, {4, 42.0f}, {5, 12.0f}})
    EXPECT_EQ(c.GetProperty(3, col, "TabLeft").ToSingle(), twips) << col;
}

TEST(RowBuilding, HeaderAndFooterRowsArePlacedInTheirBands) {
  KtPrint4Impl c;
  c.dFitHeightToText(false);
  c.dRowHeight(200);
  c.RowSpacing(50);
  c.AddHeaderRow("h1");
  c.Rows(Header)->Item(1)->RowHeight(200);
  c.AddHeaderRow("h2");
  c.Rows(Header)->Item(2)->RowHeight(300);
  c.AddFooterRow("f1");
  c.PlaceBandRows();
  EXPECT_EQ(std::tuple(c.Rows(Header)->Item(1)->TopInPage(), c.Rows(Header)->Item(2)->TopInPage(),
                       c.Rows(Footer)->Item(1)->TopInPage()),
            std::tuple(0.0f, 250.0f, 0.0f));
  EXPECT_EQ(std::tuple(c.Rows(Header)->Item(2)->Page(), c.LastRow()), std::tuple(0, 0));
}

TEST(RowBuilding, RemoveRowsRanges) {
  KtPrint4Impl c;
  for (const char* t : {"1", "2", "3", "4", "5"}) c.AddRow(t);
  EXPECT_FALSE(c.RemoveRows(2, 1));  // reversed range removes nothing
  EXPECT_EQ(c.LastRow(), 5);
  EXPECT_TRUE(c.RemoveRows(2, 3));
  EXPECT_EQ(std::tuple(Column(c), c.EndBodyRow(), c.RepageOnPaint()),
            std::tuple(std::vector<std::string>{"1", "4", "5"}, 3, true));
  EXPECT_TRUE(c.RemoveRows(3, 99));  // RowTo past the end: to the last row
  EXPECT_EQ(c.LastRow(), 2);
  EXPECT_TRUE(c.RemoveRows(0, 0));
  EXPECT_EQ(c.LastRow(), 0);
  EXPECT_FALSE(c.RemoveRows(0, 0));  // nothing left
  c.AddRow("again");
  EXPECT_EQ(std::tuple(c.LastRow(), c.StartBodyRow()), std::tuple(1, 1));
}

// SetTextRow replaces only existing cells; ClearAll empties every area and keeps positions.
TEST(RowBuilding, SetTextRowAndClearAll) {
  KtPrint4Impl c;
  c.AddRow("b");
  c.AddHeaderRow("h");
  c.AddFooterRow("a", "b");
  EXPECT_TRUE(c.SetTextRow(1, Footer, {Variant("x"), Variant("y"), Variant("z")}));
  EXPECT_EQ(Texts(c, 1, Footer), (std::vector<std::string>{"x", "y"}));
  EXPECT_FALSE(c.SetTextRow(2, Footer, {Variant("q")})) << "there is no row 2";
  c.ClearAll();
  EXPECT_EQ(std::tuple(c.LastRow(), c.Rows(Header)->count(), c.Rows(Footer)->count()), std::tuple(0, 0, 0));
  EXPECT_EQ(std::tuple(c.StartBodyRow(), c.Rows(Body)->ActiveRow()), std::tuple(1, 1));
}

// Rows of items are measured with what was learnt of each text while it was
// taken in: every row must be as tall as measuring its cells afresh makes it,
// whatever its texts hold (breaks, markers, field codes, prefixes, other
// scripts, a NUL, words wider than their column) and however they arrive.
TEST(RowBuilding, RowsAreAsTallAsTheirCellsMeasuredAfresh) {
  using namespace std::string_view_literals;
  const std::vector<std::vector<std::string_view>> rows = {
      {"plain", "#900#a few words that wrap in this column", "#2400#12.50"},
      {"two\r\nlines", "#900#<cr>marked", "#2400#%p of %n"},
      {"&&x &y", "#900#caf\xC3\xA9 \xE2\x82\xAC wraps here too", "#2400#\xE4\xB8\xAD\xE6\x96\x87"},
      {"a\0hidden words after the NUL"sv, "#900#Anunbrokenwordwiderthanitscolumn", "#2400#tab\there"},
      {"", "#900#", "#2400#last"}};
  KtPrint4Impl c;
  c.dInheritLastRow(false);
  for (const auto& texts : rows) ASSERT_TRUE(c.AddRowTexts(texts));
  for (const auto& texts : rows) {
    VariantArray items;
    for (std::string_view t : texts) items.emplace_back(std::string(t));
    ASSERT_TRUE(c.AddRow(items));
  }
  for (int r : {2, 2 + static_cast<int>(rows.size())})
    EXPECT_EQ(c.Rows(Body)->Item(r)->ItemText().Item(1)->StoredText(), "two<cr><lf>lines") << "row " << r;
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  std::set<float> heights;
  for (int r = 1; r <= c.LastRow(); ++r) {
    KtRow& row = *c.Rows(Body)->Item(r);
    std::vector<float> built;
    for (const auto& cell : row.ItemText()) built.push_back(cell->ItemHeight());
    row.FitHeight(dc);
    for (int k = 1; k <= row.ItemText().count(); ++k) {
      const KtTextItem& cell = *row.ItemText().Item(k);
      EXPECT_EQ(built[k - 1], cell.ItemHeight()) << "row " << r << " cell " << k << " \"" << cell.Text() << "\"";
      heights.insert(cell.ItemHeight());
    }
  }
  win::DeleteDC(dc);
  EXPECT_GE(heights.size(), 3u) << "the cells are of one, two and more lines";
}

TEST(RowBuilding, OnlyAddRowNotifiesTheContainer) {
  Container form;
  KtPrint4Impl c(&form);
  form.ClearNotifications();
  c.AddHeaderRow("h");
  c.AddStartDocRow("s");
  EXPECT_TRUE(form.Notifications().empty());
  c.AddRow("b");
  EXPECT_EQ(form.Notifications(), std::vector<std::string>{""});
}

// A control whose body is 6000 twips high and whose rows keep the heights given.
class Paging : public ::testing::Test {
 protected:
  void SetUp() override {
    c.PageSize(s_USER);
    c.PaperLength(6000 + 2880);
    c.dFitHeightToText(false);
    ASSERT_FLOAT_EQ(c.PageInfo().AvailHeight, 6000);
  }
  void AddRows(std::initializer_list<float> heights) {
    for (float h : heights) {
      c.dRowHeight(h);
      c.dInheritLastRow(false);
      c.AddRow("r");
    }
  }
  KtRow& Row(int i) { return *c.Rows(Body)->Item(i); }
  // Page and top in the page of every body row.
  using Placements = std::vector<std::pair<int, float>>;
  Placements Placed() {
    Placements out;
    for (int i = 1; i <= c.LastRow(); ++i) out.emplace_back(Row(i).Page(), Row(i).TopInPage());
    return out;
  }
  KtPrint4Impl c;
};

TEST_F(Paging, AnEmptyBodyIsOnePageAndARowEndingExactlyAtTheBottomFits) {
  c.RePaging();
  EXPECT_EQ(c.Pages(), 1);
  AddRows({2000, 4000, 1});
  EXPECT_EQ(Placed(), (Placements{{1, 0}, {1, 2000}, {2, 0}}));
}

TEST_F(Paging, ForcedBreakOpensAPageWithoutNewPageFlag) {
  c.RowSpacing(50);
  AddRows({1000, 1000, 1000});
  c.SetPageBreak(2);
  EXPECT_EQ(Row(2).Page(), 1);  // takes effect at the next pagination
  c.RePaging();
  EXPECT_EQ(Placed(), (Placements{{1, 0}, {2, 0}, {2, 1050}}));
  EXPECT_FALSE(Row(2).NewPage());
  EXPECT_EQ(c.Pages(), 2);

  c.RePaging(1, true);  // clearing breaks paginates by height only
  EXPECT_FALSE(Row(2).PageBreak());
  EXPECT_EQ(std::tuple(Row(3).Page(), c.Pages()), std::tuple(1, 1));
}

TEST_F(Paging, OverTallRowsGetAPageOfTheirOwn) {
  AddRows({9000, 500});
  EXPECT_EQ(Placed(), (Placements{{2, 0}, {3, 0}})) << "page 1 stays empty";
  EXPECT_EQ(c.Pages(), 3);
}

TEST_F(Paging, RePagingFromAPageKeepsEarlierPagesAndBeyondTheLastCountsFlags) {
  AddRows({4000, 4000, 4000, 4000});
  ASSERT_EQ(c.Pages(), 4);
  for (int i = 1; i <= 4; ++i) Row(i).RowHeight(i == 2 ? 4000 : i == 1 ? 100 : 1000);
  c.RePaging(9);
  // Rows keep their placement; the count is what the flags show.
  EXPECT_EQ(std::tuple(c.Pages(), Row(3).Page()), std::tuple(4, 3));
  // Row 3 would fit after row 2 if pages before were recomputed.
  c.RePaging(2);
  EXPECT_EQ(Placed(), (Placements{{1, 0}, {2, 0}, {2, 4000}, {2, 5000}})) << "row 1 untouched";
  EXPECT_EQ(c.Pages(), 2);
  c.RePaging();
  EXPECT_EQ(Placed(), (Placements{{1, 0}, {1, 100}, {1, 4100}, {2, 0}})) << "every page recomputed";
}

TEST_F(Paging, MarginChangesTakeEffectAtTheNextPagination) {
  AddRows({2500, 2500, 2500});
  EXPECT_EQ(c.Pages(), 2);
  c.MarginTop(1440 - 1500);  // body grows to 7500
  EXPECT_TRUE(c.NeedsRepaging());
  EXPECT_EQ(c.Pages(), 1);
  EXPECT_FALSE(c.NeedsRepaging());
}

TEST_F(Paging, AppendingContinuesFromThePreviousRowAndSpacingIsDroppedAtThePageTop) {
  c.RowSpacing(10);
  AddRows({2000, 2000});
  AddRows({2000, 6000});
  EXPECT_EQ(Placed(), (Placements{{1, 0}, {1, 2010}, {2, 0}, {3, 0}}));
  EXPECT_TRUE(Row(3).NewPage() && Row(4).NewPage());
  EXPECT_EQ(c.PageCount(), 3);
  c.RePaging();
  EXPECT_EQ(Placed(), (Placements{{1, 0}, {1, 2010}, {2, 0}, {3, 0}}));
  EXPECT_EQ(c.Pages(), 3);
}

}  // namespace
}  // namespace ktfolio
