// Rows measured to fit their text, cell by cell and as a whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <random>
#include <string>

#include "control/ktprint4_impl.h"
#include "model/text_width.h"
#include "platform/automation/datetime.h"
#include "support/errors.h"

namespace ktfolio {
namespace {

float Height(KtPrint4Impl& c, int row) { return c.Rows(Body)->Item(row)->RowHeight(); }

const char* kLong =
    "A long description that cannot possibly fit on one line of a narrow cell, so the row must grow to hold "
    "every wrapped line of it.";

TEST(Measure, WrappedLongTextMakesTheRowTallerAndWithoutWrapOnlyLineBreaksAddLines) {
  KtPrint4Impl c;
  c.dColsPerRow(4);  // narrow columns of about 2250 twips
  c.dInheritLastRow(false);
  c.AddRow("short");
  c.AddRow(kLong);
  EXPECT_GT(Height(c, 2), 2.5f * Height(c, 1));
  // One line of Arial 10: a little over 10 points of type plus the two 80-twip indents.
  EXPECT_GT(Height(c, 1), 160 + 200);
  EXPECT_LT(Height(c, 1), 160 + 320);
  c.dColWordWrap(false);
  c.AddRow(kLong);
  c.AddRow("one\r\ntwo\nthree");
  EXPECT_FLOAT_EQ(Height(c, 3), Height(c, 1));
  EXPECT_NEAR(Height(c, 4) - 160, 3 * (Height(c, 1) - 160), 1);
}

TEST(Measure, FirstLineIndentIsMadeOfSpaces) {
  KtPrint4Impl c;
  c.dInheritLastRow(false);
  const char* text = "a short line of words";
  c.AddRow(text);
  const float plain = Height(c, 1);
  c.dColIndentFirst(5);  // narrower than one space: adds nothing
  c.AddRow(text);
  EXPECT_FLOAT_EQ(Height(c, 2), plain);
  c.dColIndentFirst(8000);  // most of the line: the words wrap below the indent
  c.AddRow(text);
  EXPECT_GT(Height(c, 3), plain + 100);
}

TEST(Measure, FieldCodesAreExpandedBeforeMeasuringWithDatesOfTheHostsLocale) {
  KtPrint4Impl c;
  std::tm t{};  // Saturday 5 December 2026, 21:49:29
  t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 5, t.tm_wday = 6, t.tm_hour = 21, t.tm_min = 49, t.tm_sec = 29;
  c.AddRow("x");
  KtTextItem& cell = *c.Rows(Body)->Item(1)->ItemText().Item(1);
  c.CurrentPage(3);
  const std::pair<const char*, const char*> cases[] = {
      {"C", "Page 3 of 1\n12/05/26 21:49|Saturday, December 5, 2026|21:49:29|12/05/26 21:49:29"},
      {"de_DE.UTF-8", "Page 3 of 1\n05.12.2026 21:49|Samstag, 5. Dezember 2026|21:49:29|05.12.2026 21:49:29"},
      {"en_GB.UTF-8", "Page 3 of 1\n05/12/26 21:49|Saturday, 5 December 2026|21:49:29|05/12/26 21:49:29"},
  };
  const std::string before = std::setlocale(LC_TIME, nullptr);
  SetFixedNow(t);
  std::string missing;
  for (const auto& [locale, expanded] : cases) {
    if (!std::setlocale(LC_TIME, locale)) {
      missing += std::string(" ") + locale;
      continue;
    }
    std::string out;
    cell.ExpandText("Page %p of %n<lf>%sd %st|%ld|%lt|%gd", out);
    EXPECT_EQ(out, expanded) << locale;
  }
  std::setlocale(LC_TIME, before.c_str());
  SetFixedNow(std::nullopt);
  if (!missing.empty()) GTEST_SKIP() << "locales not installed (scripts/setup makes them):" << missing;
}

TEST(Measure, MeasuringLeaksNoGraphicsObjects) {
  KtPrint4Impl c;
  c.AddRow("warm up");  // creates the measuring context once
  const auto before = win::GdiLiveObjects();
  for (int i = 0; i < 50; ++i) c.AddRow(kLong, "b", "c");
  c.SetProperty(-1, -1, "FontBold", Variant(true));
  const auto after = win::GdiLiveObjects();
  EXPECT_EQ(std::tuple(after.fonts, after.total()), std::tuple(before.fonts, before.total()));
}

TEST(Measure, UnknownFontStillMeasuresWithAFallback) {
  KtPrint4Impl c;
  c.AddRow("x");
  c.ClearError();
  EXPECT_TRUE(c.SetProperty(1, 1, "FontName", Variant("No Such Face At All")));
  EXPECT_GT(Height(c, 1), 300);
  EXPECT_EQ(testing::LastRecorded(c), testing::Recorded{});
}

// A row measured as a whole (one measurer, shared fonts, single lines from the
// cached widths) must give every cell the height the cell's own measuring
// gives it, whatever its font, indents, wrapping and text.
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
  EXPECT_EQ(std::tuple(cells, testing::LastRecorded(c)), std::tuple(750, testing::Recorded{}));
}

// The height of a row's tallest cell, each measured alone by DrawText in the
// width the page had when the row was added.
float TallestAlone(KtPrint4Impl& c, KtRow& row, float avail) {
  const std::int32_t n = row.ItemText().count();
  float tallest = 0;
  for (std::int32_t i = 1; i <= n; ++i) {
    KtTextItem& cell = *row.ItemText().Item(i);
    const float right = i < n ? row.ItemText().Item(i + 1)->TabLeft() - row.ColSpacing() : avail;
    const float measured = cell.ItemHeight();
    cell.GetHeight(c.MeasureDC(), right);
    tallest = std::max(tallest, cell.ItemHeight() + row.IndentTop() + row.IndentBottom());
    EXPECT_EQ(measured, cell.ItemHeight()) << "cell " << i << " of \"" << cell.Text() << "\"";
  }
  return tallest;
}

// Once a row has taught its columns their widths and fonts, the rows after it
// in the same style are measured inline; texts that are not plain ASCII, and
// a first-line indent, still make them exactly as tall as their cells alone,
// in every width.
TEST(RowMeasure, RowsOfOneStyleAreAsTallAsTheirCellsMeasuredAloneWhateverTheirText) {
  KtPrint4Impl c;
  c.dColsPerRow(3);
  c.dInheritLastRow(false);  // each row in the defaults of its moment
  const std::string kTexts[] = {"a short line", kLong, "Preis: 12,50 \u20ac f\u00fcr \u00d6l und \u00c4pfel, gr\u00f6\u00dfer",
                                "\u4e2d\u6587\u5b57 \u4e2d\u6587\u5b57 \u4e2d\u6587\u5b57 \u4e2d\u6587\u5b57",
                                "Tab\there and there", "iiii iiii iiii iiii iiii iiii iiii"};
  int wrapped = 0, rows = 0;
  for (const float indent : {0.0f, 700.0f})
    for (float margin = 0; margin < 9000; margin += 600) {
      c.dColIndentFirst(indent);
      c.MarginRight(margin);
      for (int pass = 0; pass < 2; ++pass)  // the second pass finds its columns known
        for (const std::string& text : kTexts) {
          const float avail = c.PageInfo().AvailWidth;
          ASSERT_TRUE(c.AddRow(text, text, text));
          KtRow& row = *c.Rows(Body)->Item(c.LastRow());
          ASSERT_EQ(row.RowHeight(), TallestAlone(c, row, avail))
              << "\"" << text << "\" indent " << indent << " available width " << avail;
          wrapped += row.RowHeight() > c.Rows(Body)->Item(1)->RowHeight();
          ++rows;
        }
    }
  EXPECT_GT(wrapped, rows / 4) << "the widths wrap some texts";
  EXPECT_LT(wrapped, rows) << "and leave others on one line";
  EXPECT_EQ(testing::LastRecorded(c), testing::Recorded{});
}

// Rows added one after another reuse what the row before them learnt (their
// columns' widths, their font); a changed default or margin, or the death of
// the rows whose styles taught it, must not leave a later row a stale width
// or font: each row is as tall as its cells measured afresh.
TEST(RowMeasure, RowsAddedInARunAreAsTallAsTheirCellsMeasuredAlone) {
  KtPrint4Impl c;
  c.dColsPerRow(3);
  std::mt19937 rng(2612);
  std::uniform_int_distribution<int> size(6, 28), change(0, 11), margin(0, 4000), column(1, 3);
  int changes = 0;
  for (int r = 0; r < 300; ++r) {
    switch (change(rng)) {
      case 0: c.Font(MakeFont("Arial", static_cast<float>(size(rng)))); break;
      case 1: c.MarginRight(static_cast<float>(margin(rng))); break;
      case 2: c.dInheritLastRow(!c.dInheritLastRow()); break;
      case 3: c.RemoveRows(0, 0, Body); break;  // the styles only those rows held go
      case 4:  // a band row in another size, measured and gone again
        c.Font(MakeFont("Arial", static_cast<float>(size(rng))));
        c.AddHeaderRow(RandomCellText(rng));
        c.RemoveRows(0, 0, Header);
        break;
      case 5:
      case 6:  // a column of the last row in a size of its own, for the rows that inherit it
        if (c.LastRow() > 0)
          c.Rows(Body)->Item(c.LastRow())->ItemText().Item(column(rng))->FontSize(static_cast<float>(size(rng)));
        break;
      default: --changes; break;
    }
    ++changes;
    // A margin takes effect at the next pagination: the row is laid out and
    // measured in the width the page had before it was added.
    const float avail = c.PageInfo().AvailWidth;
    ASSERT_TRUE(c.AddRow(RandomCellText(rng), RandomCellText(rng), RandomCellText(rng)));
    KtRow& row = *c.Rows(Body)->Item(c.LastRow());
    ASSERT_EQ(row.RowHeight(), TallestAlone(c, row, avail)) << "row added " << r + 1 << " font size " << row.ItemText().Item(1)->FontSize()
                                        << " available width " << avail;
  }
  EXPECT_GT(changes, 100);
  EXPECT_EQ(testing::LastRecorded(c), testing::Recorded{});
}

// The font of the last row measured is kept for the next one by its style
// record; the record must outlive its rows, or a new style made at its address
// would be measured in the dead one's font.
TEST(RowMeasure, ARowInANewStyleIsNotMeasuredInTheFontOfAStyleThatWentWithItsRows) {
  KtPrint4Impl c, fresh;
  c.Font(MakeFont("Arial", 30));
  c.AddHeaderRow("Big");
  c.RemoveRows(0, 0, Header);
  for (KtPrint4Impl* k : {&c, &fresh}) {
    k->Font(MakeFont("Arial", 8));
    k->AddHeaderRow("small");
  }
  EXPECT_EQ(c.Rows(Header)->Item(1)->RowHeight(), fresh.Rows(Header)->Item(1)->RowHeight());
  EXPECT_LT(c.Rows(Header)->Item(1)->RowHeight(), 160 + 400) << "a line of 8-point type, far below one of 30 points";
}

// What a row learnt of its columns' fonts (the second column's is the
// first's) must go with the first column's style: a later style made where
// that one was, in another size, does not give the second column its font.
TEST(RowMeasure, AColumnsFontIsNotTakenFromTheColumnBeforeOnceThatColumnChanged) {
  KtPrint4Impl c;
  c.dColsPerRow(2);
  auto first = [&c](int row) -> KtTextItem& { return *c.Rows(Body)->Item(row)->ItemText().Item(1); };
  c.AddRow("a", "b");  // both columns in the default size: the second's font is the first's
  first(1).FontSize(30);
  c.AddRow("a", "b");  // the first column in 30 points: the style it had goes
  first(2).FontSize(8);
  c.AddRow("a", "b");  // the first column in 8 points, its style new
  KtTextItem& second = *c.Rows(Body)->Item(3)->ItemText().Item(2);
  const float measured = second.ItemHeight();
  second.GetHeight(c.MeasureDC(), c.PageInfo().AvailWidth);
  EXPECT_EQ(measured, second.ItemHeight());
  EXPECT_EQ(c.Rows(Body)->Item(3)->RowHeight(), c.Rows(Body)->Item(1)->RowHeight());
}

// A cell's width is its edge, indents and tab each in device units, then their
// difference rounded: 1006 twips less two indents of 80 at 600 dpi is 352.5
// exactly, but 419.1666... - 33.333... - 33.333... rounds up to 353.
TEST(RowMeasure, TheTextWidthRoundsTheDifferenceOfEachMeasureInDeviceUnits) {
  KtPrint4Impl c;
  c.AddRow("x");
  const KtTextItem& cell = *c.Rows(Body)->Item(1)->ItemText().Item(1);
  ASSERT_EQ(std::tuple(cell.IndentLeft(), cell.IndentRight(), cell.TabLeft()), std::tuple(80.0f, 80.0f, 0.0f));
  EXPECT_EQ(MeasuredTextWidth(cell, 1006, 600), 353);
  EXPECT_EQ(MeasuredTextWidth(cell, 1006, 96), 56);  // 56.4 pixels at the screen's resolution
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
    EXPECT_EQ(std::tuple(std::get<0>(byRow), byRow), std::tuple(k.error, recorded()));
  }
}

// A text one byte short of the length whose worst case overflows 32 bits is
// measured; one byte more is refused, by the row as by the cell alone.
TEST(RowMeasure, TheLongestMeasurableTextIsTheSameForTheRowAndTheCell) {
  KtPrint4Impl c;
  c.AddRow("x");
  KtRow& row = *c.Rows(Body)->Item(1);
  KtTextItem& cell = *row.ItemText().Item(1);
  cell.FontSize(30000);  // lines of some 46 000 pixels: the limit is some 46 000 bytes
  win::HDC dc = c.MeasureDC();
  const win::HFONT font = cell.SetFont(dc, nullptr, 100.0);
  ASSERT_NE(font, nullptr);
  const win::HGDIOBJ old = win::SelectObject(dc, font);
  win::TEXTMETRIC tm{};
  ASSERT_TRUE(win::GetTextMetrics(dc, &tm));
  win::SelectObject(dc, old);
  win::DeleteObject(font);
  const std::size_t limit = static_cast<std::size_t>(INT32_MAX / std::max(tm.tmHeight, tm.tmMaxCharWidth));
  ASSERT_GT(limit, 100u);
  ASSERT_LT(limit, 100000u);
  for (const std::size_t length : {limit - 1, limit}) {
    SCOPED_TRACE(length);
    cell.Text(std::string(length, 'i'));
    c.ClearError();
    row.FitHeight(dc);
    const testing::Recorded byRow = testing::LastRecorded(c);
    c.ClearError();
    cell.GetHeight(dc, c.PageInfo().AvailWidth);
    EXPECT_EQ(byRow, testing::LastRecorded(c));
    EXPECT_EQ(byRow.number, length < limit ? 0 : ToInt(ErrorCode::kOverflow));
  }
}

}  // namespace
}  // namespace ktfolio
