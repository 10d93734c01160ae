#include <gtest/gtest.h>

#include "control/ktprint4_impl.h"

namespace ktfolio {
namespace {

std::string CellText(KtPrint4Impl& c, int row, int col, int area = Body) {
  return c.GetProperty(row, col, "Text", area).ToString();
}

TEST(RowBuilding, ItemsBecomeCellsAndSectionsStart) {
  KtPrint4Impl c;
  EXPECT_TRUE(c.AddRow("a", "b"));
  EXPECT_EQ(c.LastRow(), 1);
  EXPECT_EQ(c.StartBodyRow(), 1);
  EXPECT_EQ(c.EndBodyRow(), 1);
  EXPECT_EQ(c.Rows(Body)->Item(1)->ItemText().count(), 2);
  EXPECT_EQ(CellText(c, 1, 2), "b");
}

TEST(RowBuilding, ColsPerRowIsTheMinimumCellCount) {
  KtPrint4Impl c;
  c.dColsPerRow(5);
  c.AddRow("x", 2, true);
  const KtRow& row = *c.Rows(Body)->Item(1);
  ASSERT_EQ(row.ItemText().count(), 5);
  EXPECT_EQ(CellText(c, 1, 2), "2");
  EXPECT_EQ(CellText(c, 1, 3), "True");
  EXPECT_EQ(CellText(c, 1, 5), "");
  c.dInheritLastRow(false);
  c.AddRow();
  EXPECT_EQ(c.Rows(Body)->Item(2)->ItemText().count(), 5);
}

TEST(RowBuilding, NumbersBecomeTextTheVariantWay) {
  KtPrint4Impl c;
  c.AddRow(1.5, 0.1f, 1e20, -3);
  EXPECT_EQ(CellText(c, 1, 1), "1.5");
  EXPECT_EQ(CellText(c, 1, 2), "0.1");
  EXPECT_EQ(CellText(c, 1, 3), "1E+20");
  EXPECT_EQ(CellText(c, 1, 4), "-3");
}

TEST(RowBuilding, StartRowsGoBeforeTheCentreSection) {
  KtPrint4Impl c;
  c.AddStartDocRow("T");
  EXPECT_EQ(c.StartBodyRow(), 2);
  EXPECT_EQ(c.EndBodyRow(), 2);
  c.AddRow("x");
  EXPECT_EQ(c.LastRow(), 2);
  EXPECT_EQ(CellText(c, 2, 1), "x");
  EXPECT_EQ(c.StartBodyRow(), 2);
  EXPECT_EQ(c.EndBodyRow(), 2);
}

TEST(RowBuilding, StartRowAfterCentreRowsInsertsAtTheTop) {
  KtPrint4Impl c;
  c.AddRow("c1");
  c.AddRow("c2");
  c.AddStartDocRow("s1");
  EXPECT_EQ(CellText(c, 1, 1), "s1");
  EXPECT_EQ(c.StartBodyRow(), 2);
  EXPECT_EQ(c.EndBodyRow(), 3);
  c.AddStartDocRow("s2");  // consecutive start rows keep their order
  EXPECT_EQ(CellText(c, 2, 1), "s2");
  EXPECT_EQ(c.StartBodyRow(), 3);
  EXPECT_EQ(c.EndBodyRow(), 4);
}

TEST(RowBuilding, EndRowsFollowTheCentreAndCentreRowsStayBeforeThem) {
  KtPrint4Impl c;
  c.AddRow("c1");
  c.AddEndDocRow("e1");
  c.AddEndDocRow("e2");
  c.AddRow("c2");  // goes after the last centre row, before the end rows
  ASSERT_EQ(c.LastRow(), 4);
  EXPECT_EQ(CellText(c, 1, 1), "c1");
  EXPECT_EQ(CellText(c, 2, 1), "c2");
  EXPECT_EQ(CellText(c, 3, 1), "e1");
  EXPECT_EQ(CellText(c, 4, 1), "e2");
  EXPECT_EQ(c.StartBodyRow(), 1);
  EXPECT_EQ(c.EndBodyRow(), 2);
}

TEST(RowBuilding, ItemSyntaxSetsTabLeftInTwipsWhateverTheScale) {
  KtPrint4Impl c;
  c.ScaleMode(eMillimetre);
  c.AddRow("#1440#Total", "#abc#zero", "#12 no end", "##double", "#2.5e2#sci");
  EXPECT_FLOAT_EQ(c.GetProperty(1, 1, "TabLeft").ToSingle(), 1440);
  EXPECT_EQ(CellText(c, 1, 1), "Total");
  EXPECT_FLOAT_EQ(c.GetProperty(1, 2, "TabLeft").ToSingle(), 0);
  EXPECT_EQ(CellText(c, 1, 2), "zero");
  EXPECT_EQ(CellText(c, 1, 3), "#12 no end");
  EXPECT_EQ(CellText(c, 1, 4), "##double");
  EXPECT_FLOAT_EQ(c.GetProperty(1, 5, "TabLeft").ToSingle(), 250);
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
  EXPECT_FLOAT_EQ(c.Rows(Header)->Item(1)->TopInPage(), 0);
  EXPECT_FLOAT_EQ(c.Rows(Header)->Item(2)->TopInPage(), 250);
  EXPECT_FLOAT_EQ(c.Rows(Footer)->Item(1)->TopInPage(), 0);
  EXPECT_EQ(c.Rows(Header)->Item(2)->Page(), 0);
  EXPECT_EQ(c.LastRow(), 0);
}

TEST(RowBuilding, SetTextRowReplacesOnlyExistingCells) {
  KtPrint4Impl c;
  c.AddFooterRow("a", "b");
  EXPECT_TRUE(c.SetTextRow(1, Footer, {Variant("x"), Variant("y"), Variant("z")}));
  EXPECT_EQ(CellText(c, 1, 1, Footer), "x");
  EXPECT_EQ(CellText(c, 1, 2, Footer), "y");
  EXPECT_EQ(c.Rows(Footer)->Item(1)->ItemText().count(), 2);

  EXPECT_FALSE(c.SetTextRow(2, Footer, {Variant("q")})) << "there is no row 2";
}

TEST(RowBuilding, RemoveRowsRanges) {
  KtPrint4Impl c;
  for (const char* t : {"1", "2", "3", "4", "5"}) c.AddRow(t);
  EXPECT_FALSE(c.RemoveRows(2, 1));  // reversed range removes nothing
  EXPECT_EQ(c.LastRow(), 5);
  EXPECT_TRUE(c.RemoveRows(2, 3));
  EXPECT_EQ(c.LastRow(), 3);
  EXPECT_EQ(CellText(c, 2, 1), "4");
  EXPECT_EQ(c.EndBodyRow(), 3);
  EXPECT_TRUE(c.RepageOnPaint());
  EXPECT_TRUE(c.RemoveRows(3, 99));  // RowTo past the end: to the last row
  EXPECT_EQ(c.LastRow(), 2);
  EXPECT_TRUE(c.RemoveRows(0, 0));
  EXPECT_EQ(c.LastRow(), 0);
  EXPECT_FALSE(c.RemoveRows(0, 0));  // nothing left
  c.AddRow("again");
  EXPECT_EQ(c.LastRow(), 1);
  EXPECT_EQ(c.StartBodyRow(), 1);
}

TEST(RowBuilding, ClearAllEmptiesEveryAreaAndKeepsPositions) {
  KtPrint4Impl c;
  c.AddRow("b");
  c.AddHeaderRow("h");
  c.AddFooterRow("f");
  c.ClearAll();
  EXPECT_EQ(c.LastRow(), 0);
  EXPECT_EQ(c.Rows(Header)->count(), 0);
  EXPECT_EQ(c.Rows(Footer)->count(), 0);
  EXPECT_EQ(c.StartBodyRow(), 1);
  EXPECT_EQ(c.Rows(Body)->ActiveRow(), 1);
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

}  // namespace
}  // namespace ktfolio
