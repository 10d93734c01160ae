#include <gtest/gtest.h>

#include "control/ktprint4_impl.h"
#include "support/errors.h"

namespace ktfolio {
namespace {

constexpr auto Last = testing::LastRecorded<KtPrint4Impl>;

class ByName : public ::testing::Test {
 protected:
  void SetUp() override {
    c.dColsPerRow(3);
    for (int i = 0; i < 5; ++i) c.AddRow("a", "b", "c");
    c.ClearError();
  }
  KtPrint4Impl c;
};

// A property of a cell (or, with col 0, of a row) read by name, and the value expected.
struct Probe { std::int32_t row, col; const char* name; double value; };
void ExpectValues(KtPrint4Impl& c, std::initializer_list<Probe> probes) {
  for (const Probe& p : probes)
    EXPECT_DOUBLE_EQ(c.GetProperty(p.row, p.col, p.name).ToDouble(), p.value) << p.name << " of " << p.row << "," << p.col;
}

TEST_F(ByName, WildcardsReachEveryRowAndCell) {
  EXPECT_TRUE(c.SetProperty(-1, -1, "FontBold", Variant(true)));
  for (int r = 1; r <= 5; ++r)
    for (int k = 1; k <= 3; ++k) EXPECT_TRUE(c.GetProperty(r, k, "FontBold").ToBool());
  EXPECT_TRUE(c.SetProperty(-1, 2, "FontItalic", Variant(true)));
  EXPECT_TRUE(c.SetProperty(2, -1, "FontSize", Variant(14)));
  EXPECT_TRUE(c.SetProperty(-1, 0, "IndentTop", Variant(10)));
  ExpectValues(c, {{3, 1, "FontItalic", 0}, {3, 2, "FontItalic", -1}, {2, 3, "FontSize", 14}, {1, 3, "FontSize", 10},
                   {4, 0, "IndentTop", 10}});
}

// A wildcard on an empty area succeeds and changes nothing; addresses past the rows fail silently, an area outside
// the three is recorded.
TEST_F(ByName, AddressesOutsideTheRowsFailSilentlyAndAreasOutsideTheThreeAreRecorded) {
  EXPECT_TRUE(c.SetProperty(-1, -1, "FontBold", Variant(true), Header));
  EXPECT_EQ(c.Rows(Header)->count(), 0);
  EXPECT_FALSE(c.SetProperty(2, 5, "Text", Variant("x")) ||
               c.SetProperty(9, 1, "Text", Variant("x")) ||
               c.SetProperty(0, 0, "RowHeight", Variant(1)));
  EXPECT_TRUE(c.GetProperty(0, 1, "Text") == Variant(false) &&
              c.GetProperty(1, 4, "Text") == Variant(false));
  EXPECT_FALSE(Last(c).any);
  EXPECT_FALSE(c.SetProperty(1, 1, "Text", Variant("x"), 3));
  EXPECT_EQ(Last(c).number, ErrorCode::kObjectNotSet);
  EXPECT_TRUE(c.GetProperty(1, 1, "Text", -1) == Variant(false));
}

TEST_F(ByName, NamesAreCaseSensitiveOnTheControl) {
  EXPECT_FALSE(c.SetProperty(1, 1, "text", Variant("x")));
  testing::Recorded e = Last(c);
  EXPECT_EQ(std::tie(e.any, e.number, e.description, e.source),
            std::tuple(true, ToInt(ErrorCode::kNoValidPropertyName), "No valid Property Name", "Set Property"));
  EXPECT_EQ(c.GetProperty(1, 1, "Text").ToString(), "a");

  c.ClearError();
  EXPECT_FALSE(c.GetProperty(1, 1, "Clipping").ToBool());  // not reachable by name
  e = Last(c);
  EXPECT_EQ(std::tie(e.number, e.source), std::tuple(ToInt(ErrorCode::kNoValidPropertyName), "Get Property"));
}

TEST_F(ByName, AcceptedNamesWithoutAttributeFailAsDispatchErrors) {
  EXPECT_FALSE(c.SetProperty(1, 1, "AligPos", Variant(1)));
  EXPECT_EQ(Last(c).number, ErrorCode::kNotSupported);
  EXPECT_FALSE(c.SetProperty(1, 1, "dScaleMode", Variant(1)));
  // FontStrikeThru reaches FontStrikethru.
  EXPECT_TRUE(c.SetProperty(1, 1, "FontStrikeThru", Variant(true)) &&
              c.SetProperty(1, 1, "Edge", Variant(ppEDGE_SUNKEN)));
  ExpectValues(c, {{1, 1, "FontStrikeThru", -1}, {1, 1, "Edge", 10}});
}

TEST_F(ByName, ValuesConvertWithPeriodDecimalsAndFailuresAreRecorded) {
  EXPECT_TRUE(c.SetProperty(1, 1, "IndentLeft", Variant("12.5")));
  EXPECT_FLOAT_EQ(c.GetProperty(1, 1, "IndentLeft").ToSingle(), 12.5f);
  EXPECT_FALSE(c.SetProperty(1, 1, "LineTop", Variant("thick")));
  EXPECT_EQ(Last(c).number, 13);
  EXPECT_FALSE(c.SetProperty(1, 1, "LineTop", Variant(70000)));
  EXPECT_EQ(std::tuple(Last(c).number, c.GetProperty(1, 1, "LineTop").ToLong()), std::tuple(6, 0));
  EXPECT_TRUE(c.AddRow("still usable"));
}

TEST_F(ByName, FirstFailureEndsAWildcardLoop) {
  c.SetProperty(3, 1, "Text", Variant("marker"));
  // Row 1 converts, then every value fails the same way: nothing past the first error changes.
  EXPECT_FALSE(c.SetProperty(-1, -1, "FontSize", Variant("huge")));
  EXPECT_EQ(std::tuple(c.GetProperty(1, 1, "FontSize").ToSingle(), Last(c).number),
            std::tuple(10.0f, 13));
}

TEST_F(ByName, LayoutNamesRefitAndAskForRepaging) {
  c.RepageOnPaint(false);
  EXPECT_TRUE(c.SetProperty(1, 1, "ColSpacing", Variant(50)));
  EXPECT_EQ(std::tuple(c.RepageOnPaint(), c.GetProperty(1, 0, "ColSpacing").ToSingle()),
            std::tuple(false, 50.0f));
  const float before = c.Rows(Body)->Item(1)->RowHeight();
  EXPECT_TRUE(c.SetProperty(1, 1, "FontSize", Variant(30)) && c.RepageOnPaint());
  EXPECT_GT(c.Rows(Body)->Item(1)->RowHeight(), before);
}

TEST_F(ByName, ShortcutsForFrameControlsEdgesPageBreaksAndGuideRows) {
  c.SetFrameControl(2, -1, ppDFC_BUTTON, ppDFCS_BUTTONCHECK | ppDFCS_CHECKED, 200);
  c.SetEdge(-1, 3, ppEDGE_ETCHED, ppBF_RECT);
  ExpectValues(c, {{2, 2, "FrameControl", ppDFC_BUTTON}, {2, 2, "FrameControlFlags", 1024}, {2, 3, "FrameControlSize", 200},
                   {5, 3, "Edge", ppEDGE_ETCHED}, {5, 3, "EdgeFlags", ppBF_RECT}, {5, 2, "Edge", 0}});
  EXPECT_TRUE(c.SetPageBreak(3) && c.Rows(Body)->Item(3)->PageBreak());
  EXPECT_FALSE(c.SetPageBreak(42));
  EXPECT_EQ(Last(c).number, 9);
  c.SetGuideRow(77, Footer);  // no range test
  EXPECT_EQ(c.Rows(Footer)->GuideRow(), 77);
}

TEST_F(ByName, ColumnAtPosition) {
  // AvailWidth 9025 over three columns: TabLeft 0, 3008, 6016.
  const std::tuple<int, float, int> cases[] = {{1, -1, 0}, {1, 0, 1}, {1, 3007, 1}, {1, 3008, 2}, {1, 50000, 3}, {6, 0, 0}};
  for (const auto& [row, x, col] : cases) EXPECT_EQ(c.ColumnAtPosition(row, x, Body), col) << row << " at " << x;
}

TEST_F(ByName, OutLineBlockFullOutlinesTheWholeArea) {
  c.dColPenColor(0xFF);
  EXPECT_TRUE(c.OutLineBlock(2, ppOutLineFull, 0, 0));
  for (int r = 1; r <= 5; ++r) ExpectValues(c, {{r, 1, "LineLeft", 2}, {r, 3, "LineRight", 2}, {r, 2, "LineLeft", 0}});
  for (int k = 1; k <= 3; ++k) ExpectValues(c, {{1, k, "LineTop", 2}, {5, k, "LineBottom", 2}, {3, k, "LineTop", 0}});
  ExpectValues(c, {{1, 1, "PenColor", 0xFF}});
}

TEST_F(ByName, OutLineBlockTopBottomOnASubBlock) {
  c.dColsPerRow(4);
  c.dInheritLastRow(false);
  for (int i = 0; i < 2; ++i) c.AddRow("w", "x", "y", "z");
  // Rows 6 and 7 have four columns; outline rows 3..6, columns 2..4 of row 6.
  EXPECT_TRUE(c.OutLineBlock(1, ppLineTopBottom, 3, 2, false, Body, 6, 4));
  ExpectValues(c, {{3, 2, "LineTop", 1}, {3, 3, "LineTop", 1}, {3, 1, "LineTop", 0}, {6, 4, "LineBottom", 1},
                   {6, 1, "LineBottom", 0}, {4, 2, "LineLeft", 0}, {3, 2, "PenColor", 0} /* default pen untouched */});
}

TEST_F(ByName, OutLineBlockWithRow2BelowRowOutlinesOneRowClampsAndFailsOnAnEmptyArea) {
  EXPECT_TRUE(c.OutLineBlock(3, ppOutLineFull, 4, 1, true, Body, 2, 0));
  ExpectValues(c, {{4, 1, "LineTop", 3}, {4, 1, "LineBottom", 3}, {3, 1, "LineLeft", 0}, {5, 1, "LineLeft", 0}});
  EXPECT_TRUE(c.OutLineBlock(1, ppLineLeft, 99, 99));  // clamped to the last row and cell
  ExpectValues(c, {{5, 3, "LineLeft", 1}});
  c.ClearError();
  EXPECT_FALSE(c.OutLineBlock(1, ppOutLineFull, 1, 1, true, Header));
  EXPECT_FALSE(Last(c).any);  // failure shows in the result only
}

}  // namespace
}  // namespace ktfolio
