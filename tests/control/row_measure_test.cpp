// A row measured as a whole (one measurer, shared fonts, single lines from the
// cached widths) must give every cell the height the cell's own measuring
// gives it, whatever its font, indents, wrapping and text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "control/ktprint4_impl.h"
#include "support/errors.h"

namespace ktfolio {
namespace {

std::string RandomCellText(std::mt19937& rng) {
  static const char* const kWords[] = {"Item",  "a",   "description", "&Total", "&&", "12.50", "é", "€",
                                       "%p",    "%n",  "<cr>",        "<lf>",   " ",  "\t",    "WWWWWWWW",
                                       "iiii", "中文", "Page %p of %n"};
  std::uniform_int_distribution<int> count(0, 12), word(0, 17);
  std::string s;
  for (int n = count(rng); n > 0; --n) s += std::string(kWords[word(rng)]) + (n % 3 ? " " : "");
  return s;
}

TEST(RowMeasure, TheWholeRowGivesEachCellItsOwnMeasuredHeight) {
  KtPrint4Impl c;
  c.dColsPerRow(5);
  c.dInheritLastRow(false);
  std::mt19937 rng(1790);
  const char* const kFaces[] = {"Arial", "Times New Roman", "Courier New", "No Such Face"};
  std::uniform_int_distribution<int> face(0, 3), size(5, 30), flag(0, 1), indent(0, 600), pick(0, 4);
  win::HDC dc = c.MeasureDC();
  int cells = 0;
  for (int r = 1; r <= 150; ++r) {
    ASSERT_TRUE(c.AddRow(RandomCellText(rng), RandomCellText(rng), RandomCellText(rng), RandomCellText(rng),
                         RandomCellText(rng)));
    KtRow& row = *c.Rows(Body)->Item(c.LastRow());
    for (const auto& cell : row.ItemText()) {
      cell->FontName(kFaces[face(rng)]);
      cell->FontSize(static_cast<float>(size(rng)));
      cell->FontBold(flag(rng));
      cell->FontItalic(flag(rng));
      cell->WordWrap(pick(rng) != 0);
      cell->IndentFirst(pick(rng) == 0 ? static_cast<float>(indent(rng)) : 0.0f);
      cell->IndentLeft(static_cast<float>(indent(rng) / 4));
    }
    row.FitHeight(dc);
    const std::int32_t n = row.ItemText().count();
    for (std::int32_t i = 1; i <= n; ++i, ++cells) {
      KtTextItem& cell = *row.ItemText().Item(i);
      const float byRow = cell.ItemHeight();
      const float right = i < n ? row.ItemText().Item(i + 1)->TabLeft() - row.ColSpacing() : c.PageInfo().AvailWidth;
      cell.GetHeight(dc, right);
      ASSERT_EQ(byRow, cell.ItemHeight()) << "row " << r << " cell " << i << " text \"" << cell.Text() << "\" font "
                                          << cell.FontName() << " " << cell.FontSize();
    }
  }
  EXPECT_EQ(cells, 750);
  EXPECT_EQ(testing::LastRecorded(c), testing::Recorded{});
}

TEST(RowMeasure, CellsThatCannotBeMeasuredRecordTheSameErrors) {
  // A face name too long for a font and a size beyond any font: each cell
  // reports as it did when measured alone, and keeps its previous height.
  struct Case { const char* name; std::string face; float size; ErrorCode error; };
  const Case cases[] = {{"face name too long", std::string(40, 'F'), 10, ErrorCode::kSubscriptOutOfRange},
                        {"size overflows", "Arial", 3e9f, ErrorCode::kOverflow}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    KtPrint4Impl c;
    c.AddRow("x");
    KtRow& row = *c.Rows(Body)->Item(1);
    KtTextItem& cell = *row.ItemText().Item(1);
    const float before = cell.ItemHeight();
    cell.FontName(k.face);
    cell.FontSize(k.size);
    auto recorded = [&c] {
      const testing::Recorded e = testing::LastRecorded(c);
      c.ClearError();
      return std::tuple(e.number, e.description);
    };
    c.ClearError();
    row.FitHeight(c.MeasureDC());
    const auto byRow = recorded();
    EXPECT_EQ(cell.ItemHeight(), before);
    cell.GetHeight(c.MeasureDC(), c.PageInfo().AvailWidth);
    EXPECT_EQ(std::get<0>(byRow), k.error);
    EXPECT_EQ(byRow, recorded());
  }
}

}  // namespace
}  // namespace ktfolio
