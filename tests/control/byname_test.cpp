#include <gtest/gtest.h>

#include "control/ktprint4_impl.h"

namespace ktfolio {
namespace {

struct LastError { bool any = false; std::int32_t number = 0; std::string description, source; };
LastError Last(const KtPrint4Impl& c) {
  LastError e;
  e.any = c.GetLastError(e.number, e.description, e.source);
  return e;
}

class ByName : public ::testing::Test {
 protected:
  void SetUp() override {
    c.dColsPerRow(3);
    for (int i = 0; i < 5; ++i) c.AddRow("a", "b", "c");
    c.ClearError();
  }
  KtPrint4Impl c;
};

TEST_F(ByName, WildcardsReachEveryRowAndCell) {
  EXPECT_TRUE(c.SetProperty(-1, -1, "FontBold", Variant(true)));
  for (int r = 1; r <= 5; ++r)
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(c.GetProperty(r, k, "FontBold").ToBool());
  EXPECT_TRUE(c.SetProperty(-1, 2, "FontItalic", Variant(true)));
  EXPECT_FALSE(c.GetProperty(3, 1, "FontItalic").ToBool());
  EXPECT_TRUE(c.GetProperty(3, 2, "FontItalic").ToBool());
  EXPECT_TRUE(c.SetProperty(2, -1, "FontSize", Variant(14)));
  EXPECT_FLOAT_EQ(c.GetProperty(2, 3, "FontSize").ToSingle(), 14);
  EXPECT_FLOAT_EQ(c.GetProperty(1, 3, "FontSize").ToSingle(), 10);
  EXPECT_TRUE(c.SetProperty(-1, 0, "IndentTop", Variant(10)));
  EXPECT_FLOAT_EQ(c.GetProperty(4, 0, "IndentTop").ToSingle(), 10);
}

TEST_F(ByName, WildcardOnAnEmptyAreaSucceedsAndChangesNothing) {
  EXPECT_TRUE(c.SetProperty(-1, -1, "FontBold", Variant(true), Header));
  EXPECT_EQ(c.Rows(Header)->count(), 0);
  EXPECT_FALSE(Last(c).any);
}

TEST_F(ByName, OutOfRangeAddressesFailSilently) {
  EXPECT_FALSE(c.SetProperty(2, 5, "Text", Variant("x")));
  EXPECT_FALSE(c.SetProperty(9, 1, "Text", Variant("x")));
  EXPECT_FALSE(c.SetProperty(0, 0, "RowHeight", Variant(1)));
  const Variant v = c.GetProperty(0, 1, "Text");
  EXPECT_EQ(v.type(), VarType::Boolean);
  EXPECT_FALSE(v.ToBool());
  EXPECT_EQ(c.GetProperty(1, 4, "Text").type(), VarType::Boolean);
  EXPECT_FALSE(Last(c).any);
}

TEST_F(ByName, NamesAreCaseSensitiveOnTheControl) {
  EXPECT_FALSE(c.SetProperty(1, 1, "text", Variant("x")));
  LastError e = Last(c);
  ASSERT_TRUE(e.any);
  EXPECT_EQ(e.number, ErrorCode::kNoValidPropertyName);
  EXPECT_EQ(e.description, "No valid Property Name");
  EXPECT_EQ(e.source, "Set Property");
  EXPECT_EQ(c.GetProperty(1, 1, "Text").ToString(), "a");

  c.ClearError();
  EXPECT_FALSE(c.GetProperty(1, 1, "Clipping").ToBool());  // not reachable by name
  e = Last(c);
  EXPECT_EQ(e.number, ErrorCode::kNoValidPropertyName);
  EXPECT_EQ(e.source, "Get Property");
}

TEST_F(ByName, AcceptedNamesWithoutAttributeFailAsDispatchErrors) {
  EXPECT_FALSE(c.SetProperty(1, 1, "AligPos", Variant(1)));
  LastError e = Last(c);
  ASSERT_TRUE(e.any);
  EXPECT_EQ(e.number, ErrorCode::kNotSupported);
  EXPECT_FALSE(c.SetProperty(1, 1, "dScaleMode", Variant(1)));
  EXPECT_TRUE(c.SetProperty(1, 1, "FontStrikeThru", Variant(true)));  // reaches FontStrikethru
  EXPECT_TRUE(c.GetProperty(1, 1, "FontStrikeThru").ToBool());
  EXPECT_TRUE(c.SetProperty(1, 1, "Edge", Variant(ppEDGE_SUNKEN)));
  EXPECT_EQ(c.GetProperty(1, 1, "Edge").ToLong(), 10);
}

TEST_F(ByName, ValuesConvertWithPeriodDecimalsAndFailuresAreRecorded) {
  EXPECT_TRUE(c.SetProperty(1, 1, "IndentLeft", Variant("12.5")));
  EXPECT_FLOAT_EQ(c.GetProperty(1, 1, "IndentLeft").ToSingle(), 12.5f);
  EXPECT_FALSE(c.SetProperty(1, 1, "LineTop", Variant("thick")));
  EXPECT_EQ(Last(c).number, 13);
  EXPECT_FALSE(c.SetProperty(1, 1, "LineTop", Variant(70000)));
  EXPECT_EQ(Last(c).number, 6);
  EXPECT_EQ(c.GetProperty(1, 1, "LineTop").ToLong(), 0);
  EXPECT_TRUE(c.AddRow("still usable"));
}

TEST_F(ByName, FirstFailureEndsAWildcardLoop) {
  c.SetProperty(3, 1, "Text", Variant("marker"));
  // Row 1 converts, then every value fails the same way: nothing past the first error changes.
  EXPECT_FALSE(c.SetProperty(-1, -1, "FontSize", Variant("huge")));
  EXPECT_FLOAT_EQ(c.GetProperty(1, 1, "FontSize").ToSingle(), 10);
  EXPECT_EQ(Last(c).number, 13);
}

TEST_F(ByName, AreaOutsideTheThreeIsRecorded) {
  EXPECT_FALSE(c.SetProperty(1, 1, "Text", Variant("x"), 3));
  LastError e = Last(c);
  ASSERT_TRUE(e.any);
  EXPECT_EQ(e.number, ErrorCode::kObjectNotSet);
  EXPECT_EQ(c.GetProperty(1, 1, "Text", -1).ToBool(), false);
}

TEST_F(ByName, LayoutNamesRefitAndAskForRepaging) {
  c.RepageOnPaint(false);
  EXPECT_TRUE(c.SetProperty(1, 1, "ColSpacing", Variant(50)));
  EXPECT_FALSE(c.RepageOnPaint());
  EXPECT_FLOAT_EQ(c.GetProperty(1, 0, "ColSpacing").ToSingle(), 50);
  const float before = c.Rows(Body)->Item(1)->RowHeight();
  EXPECT_TRUE(c.SetProperty(1, 1, "FontSize", Variant(30)));
  EXPECT_TRUE(c.RepageOnPaint());
  EXPECT_GT(c.Rows(Body)->Item(1)->RowHeight(), before);
}

TEST_F(ByName, FrameControlAndEdgeShortcuts) {
  c.SetFrameControl(2, -1, ppDFC_BUTTON, ppDFCS_BUTTONCHECK | ppDFCS_CHECKED, 200);
  c.SetEdge(-1, 3, ppEDGE_ETCHED, ppBF_RECT);
  EXPECT_EQ(c.GetProperty(2, 2, "FrameControl").ToLong(), ppDFC_BUTTON);
  EXPECT_EQ(c.GetProperty(2, 2, "FrameControlFlags").ToLong(), 1024);
  EXPECT_FLOAT_EQ(c.GetProperty(2, 3, "FrameControlSize").ToSingle(), 200);
  EXPECT_EQ(c.GetProperty(5, 3, "Edge").ToLong(), ppEDGE_ETCHED);
  EXPECT_EQ(c.GetProperty(5, 3, "EdgeFlags").ToLong(), ppBF_RECT);
  EXPECT_EQ(c.GetProperty(5, 2, "Edge").ToLong(), 0);
}

TEST_F(ByName, PageBreakAndGuideRow) {
  EXPECT_TRUE(c.SetPageBreak(3));
  EXPECT_TRUE(c.Rows(Body)->Item(3)->PageBreak());
  EXPECT_FALSE(c.SetPageBreak(42));
  EXPECT_EQ(Last(c).number, 9);
  c.SetGuideRow(77, Footer);  // no range test
  EXPECT_EQ(c.Rows(Footer)->GuideRow(), 77);
}

TEST_F(ByName, ColumnAtPosition) {
  // AvailWidth 9025 over three columns: TabLeft 0, 3008, 6016.
  EXPECT_EQ(c.ColumnAtPosition(1, -1, Body), 0);
  EXPECT_EQ(c.ColumnAtPosition(1, 0, Body), 1);
  EXPECT_EQ(c.ColumnAtPosition(1, 3007, Body), 1);
  EXPECT_EQ(c.ColumnAtPosition(1, 3008, Body), 2);
  EXPECT_EQ(c.ColumnAtPosition(1, 50000, Body), 3);
  EXPECT_EQ(c.ColumnAtPosition(6, 0, Body), 0);
}

int Line(KtPrint4Impl& c, int r, int k, const char* name) { return c.GetProperty(r, k, name).ToLong(); }

TEST_F(ByName, OutLineBlockFullOutlinesTheWholeArea) {
  c.dColPenColor(0xFF);
  EXPECT_TRUE(c.OutLineBlock(2, ppOutLineFull, 0, 0));
  for (int r = 1; r <= 5; ++r) {
    EXPECT_EQ(Line(c, r, 1, "LineLeft"), 2);
    EXPECT_EQ(Line(c, r, 3, "LineRight"), 2);
    EXPECT_EQ(Line(c, r, 2, "LineLeft"), 0);
  }
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(Line(c, 1, k, "LineTop"), 2);
    EXPECT_EQ(Line(c, 5, k, "LineBottom"), 2);
    EXPECT_EQ(Line(c, 3, k, "LineTop"), 0);
  }
  EXPECT_EQ(c.GetProperty(1, 1, "PenColor").ToLong(), 0xFF);
}

TEST_F(ByName, OutLineBlockTopBottomOnASubBlock) {
  c.dColsPerRow(4);
  c.dInheritLastRow(false);
  for (int i = 0; i < 2; ++i) c.AddRow("w", "x", "y", "z");
  // Rows 6 and 7 have four columns; outline rows 3..6, columns 2..4 of row 6.
  EXPECT_TRUE(c.OutLineBlock(1, ppLineTopBottom, 3, 2, false, Body, 6, 4));
  EXPECT_EQ(Line(c, 3, 2, "LineTop"), 1);
  EXPECT_EQ(Line(c, 3, 3, "LineTop"), 1);
  EXPECT_EQ(Line(c, 3, 1, "LineTop"), 0);
  EXPECT_EQ(Line(c, 6, 4, "LineBottom"), 1);
  EXPECT_EQ(Line(c, 6, 1, "LineBottom"), 0);
  EXPECT_EQ(Line(c, 4, 2, "LineLeft"), 0);
  EXPECT_EQ(c.GetProperty(3, 2, "PenColor").ToLong(), 0);  // default pen untouched
}

TEST_F(ByName, OutLineBlockWithRow2BelowRowOutlinesOneRow) {
  EXPECT_TRUE(c.OutLineBlock(3, ppOutLineFull, 4, 1, true, Body, 2, 0));
  EXPECT_EQ(Line(c, 4, 1, "LineTop"), 3);
  EXPECT_EQ(Line(c, 4, 1, "LineBottom"), 3);
  EXPECT_EQ(Line(c, 3, 1, "LineLeft"), 0);
  EXPECT_EQ(Line(c, 5, 1, "LineLeft"), 0);
}

TEST_F(ByName, OutLineBlockClampsAndFailsOnAnEmptyArea) {
  EXPECT_TRUE(c.OutLineBlock(1, ppLineLeft, 99, 99));  // clamped to the last row and cell
  EXPECT_EQ(Line(c, 5, 3, "LineLeft"), 1);
  c.ClearError();
  EXPECT_FALSE(c.OutLineBlock(1, ppOutLineFull, 1, 1, true, Header));
  EXPECT_FALSE(Last(c).any);  // failure shows in the result only
}

}  // namespace
}  // namespace ktfolio
