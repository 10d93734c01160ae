#include <gtest/gtest.h>

#include "control/ktprint4_impl.h"

namespace ktfolio {
namespace {

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
