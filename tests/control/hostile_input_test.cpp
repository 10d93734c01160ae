// Hostile values through the control's own interface: failures are recorded,
// nothing is half-applied, no number outside its range reaches the model.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "control/ktprint4_impl.h"
#include "support/errors.h"

namespace ktfolio {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using testing::LastErrorNumber;
// Everything a failed row operation must leave alone, in one comparable value: the counts and
// positions, the texts, and each row's page, top, new-page flag and height.
using Placement = std::tuple<int, float, bool, float>;
using BodyPicture = std::tuple<std::vector<int>, std::vector<std::string>, std::vector<Placement>>;

BodyPicture Picture(KtPrint4Impl& c) {
  KtRows& rows = *c.Rows(Body);
  BodyPicture p{{c.LastRow(), rows.ActiveRow(), rows.ActiveCol(), c.StartBodyRow(), c.EndBodyRow(),
                 c.ActiveArea(), c.Pages()}, {}, {}};
  for (const auto& row : rows) {
    for (const auto& cell : row->ItemText()) std::get<1>(p).push_back(cell->Text());
    std::get<2>(p).emplace_back(row->Page(), row->TopInPage(), row->NewPage(), row->RowHeight());
  }
  return p;
}

TEST(HostileInput, AFailingItemAddsNoRowAndChangesNothing) {
  struct Case { const char* name; Variant bad; ErrorCode error; };
  const Case cases[] = {
      {"bytes cannot be text", Variant(ByteArray{'x'}), ErrorCode::kTypeMismatch},
      {"a nested list cannot be text", Variant(VariantArray{Variant(1)}), ErrorCode::kTypeMismatch},
      {"a tab position beyond a Single", Variant("#1e40#big"), ErrorCode::kOverflow},
      {"an infinite tab position", Variant("#1e999#big"), ErrorCode::kOverflow},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    KtPrint4Impl c;
    c.AddStartDocRow("start");
    c.AddRow("one", "two");
    c.AddEndDocRow("end");
    c.AddRow("middle");
    c.ActiveArea(Header);
    const BodyPicture before = Picture(c);
    c.ClearError();

    const VariantArray items{Variant("a"), k.bad, Variant("c")};
    EXPECT_FALSE(c.AddRow(items));
    EXPECT_EQ(LastErrorNumber(c), k.error);
    EXPECT_FALSE(c.AddStartDocRow(items) || c.AddEndDocRow(items) || c.AddHeaderRow(items) || c.AddFooterRow(items));
    // The body, its sections, selection and pages are as they were; the active area has not moved.
    EXPECT_TRUE(Picture(c) == before && c.ActiveArea() == Header);
    EXPECT_EQ(c.Rows(Header)->count() + c.Rows(Footer)->count(), 0);
    EXPECT_FALSE(c.SetTextRow(2, Body, items));
    EXPECT_TRUE(Picture(c) == before) << "re-texting converts every item before changing any cell";
  }
}

TEST(HostileInput, CellCountsAndTextsOverTheLimitAreRefusedBeforeAnythingChanges) {
  KtPrint4Impl wide;  // a column count beyond the cell limit fails before allocating
  wide.dColsPerRow(1000000000);
  EXPECT_FALSE(wide.AddRow("a"));
  EXPECT_EQ(std::tuple(LastErrorNumber(wide), wide.LastRow()), std::tuple(ToInt(ErrorCode::kOutOfMemory), 0));
  wide.dColsPerRow(kMaxCellsPerRow);
  EXPECT_TRUE(wide.AddRow("a")) << "the limit itself is allowed";
  KtPrint4Impl c;
  c.dFitHeightToText(false);
  const std::string atLimit(kMaxCellTextBytes, 'x');
  const std::string over = atLimit + "\xC3\xA9";  // a two-byte letter past the limit
  ASSERT_TRUE(c.AddRow(atLimit)) << "the limit itself is allowed";
  c.AddHeaderRow("head");
  const BodyPicture before = Picture(c);
  const VariantArray items{Variant(over), Variant("a")};
  struct Case { const char* name; std::function<bool()> call; };
  const Case cases[] = {
      {"AddRow", [&] { return c.AddRow(items); }},
      {"AddHeaderRow", [&] { return c.AddHeaderRow(items); }},
      {"SetTextRow", [&] { return c.SetTextRow(1, Body, items); }},
      {"SetProperty", [&] { return c.SetProperty(1, 1, "Text", Variant(over)); }},
      {"SetProperty on every cell", [&] { return c.SetProperty(-1, -1, "Text", Variant("#10#" + over)); }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    c.ClearError();
    EXPECT_FALSE(k.call());
    EXPECT_EQ(LastErrorNumber(c), ErrorCode::kOutOfStringSpace);
    EXPECT_TRUE(Picture(c) == before && c.Rows(Header)->count() == 1);
  }
}

TEST(HostileInput, NonFiniteLengthsAreRefusedAndRecorded) {
  struct Case { const char* name; void (KtPrint4Impl::*set)(float); float (KtPrint4Impl::*get)() const; };
  const Case cases[] = {
      {"MarginTop", &KtPrint4Impl::MarginTop, &KtPrint4Impl::MarginTop},
      {"Marginleft", &KtPrint4Impl::Marginleft, &KtPrint4Impl::Marginleft},
      {"MarginFooter", &KtPrint4Impl::MarginFooter, &KtPrint4Impl::MarginFooter},
      {"PaperLength", &KtPrint4Impl::PaperLength, &KtPrint4Impl::PaperLength},
      {"RowSpacing", &KtPrint4Impl::RowSpacing, &KtPrint4Impl::RowSpacing},
      {"ColSpacing", &KtPrint4Impl::ColSpacing, &KtPrint4Impl::ColSpacing},
      {"dRowHeight", &KtPrint4Impl::dRowHeight, &KtPrint4Impl::dRowHeight},
      {"dColIndentFirst", &KtPrint4Impl::dColIndentFirst, &KtPrint4Impl::dColIndentFirst},
  };
  const struct { float value; ErrorCode error; } values[] = {
      {kNaN, ErrorCode::kInvalidProcedureCall}, {kInf, ErrorCode::kOverflow}, {-kInf, ErrorCode::kOverflow}};
  for (const Case& k : cases) {
    for (const auto& v : values) {
      SCOPED_TRACE(std::string(k.name) + " = " + std::to_string(v.value));
      KtPrint4Impl c;
      c.PageSize(s_USER);
      const float before = (c.*k.get)();
      c.ClearError();
      (c.*k.set)(v.value);
      EXPECT_EQ(std::tuple(LastErrorNumber(c), (c.*k.get)()), std::tuple(ToInt(v.error), before));
    }
  }
  KtPrint4Impl c;
  c.ScaleMode(eInch);
  c.ClearError();
  c.MarginTop(3e38f);
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kOverflow) << "finite in inches, infinite in twips";
  EXPECT_FLOAT_EQ(c.PageInfo().TopM, 1440);
  const float font = c.Defaults().dFontSize;
  c.Font(MakeFont("Arial", kNaN));
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kInvalidProcedureCall);
  c.Font(MakeFont("Arial", 1e30f));
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kOverflow) << "a font too large for the defaults";
  EXPECT_EQ(c.Defaults().dFontSize, font);
}

TEST(HostileInput, NonFiniteValuesByNameAreRefused) {
  struct Case { const char* name; float value; ErrorCode error; };
  const Case cases[] = {
      {"RowHeight", kNaN, ErrorCode::kInvalidProcedureCall}, {"IndentTop", kInf, ErrorCode::kOverflow},
      {"RowSpacing", -kInf, ErrorCode::kOverflow},          {"TabLeft", kNaN, ErrorCode::kInvalidProcedureCall},
      {"IndentFirst", kInf, ErrorCode::kOverflow},          {"FontSize", kNaN, ErrorCode::kInvalidProcedureCall},
      {"FontSize", kInf, ErrorCode::kOverflow},             {"FontSize", 1e30f, ErrorCode::kOverflow},
      {"FontSize", 1e6f, ErrorCode::kOverflow},             {"FrameControlSize", kNaN, ErrorCode::kInvalidProcedureCall},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.name) + " = " + std::to_string(k.value));
    KtPrint4Impl c;
    c.AddRow("a", "b");
    c.AddRow("c", "d");
    const Variant before = c.GetProperty(1, 1, k.name);
    c.ClearError();
    EXPECT_FALSE(c.SetProperty(1, 1, k.name, Variant(k.value)));
    EXPECT_EQ(std::tuple(LastErrorNumber(c), c.GetProperty(1, 1, k.name)),
              std::tuple(ToInt(k.error), before));
    EXPECT_TRUE(std::isfinite(c.Rows(Body)->Item(2)->TopInPage())) << "nothing spreads into the next row";
  }
}

TEST(HostileInput, TallTextsHugeIndentsAndTabsAreOverflowsNotWrappedNumbers) {
  KtPrint4Impl c;
  c.AddRow("x");
  ASSERT_TRUE(c.SetProperty(1, 1, "FontSize", Variant(kMaxFontSize)));
  const float before = c.Rows(Body)->Item(1)->RowHeight();
  ASSERT_GT(before, 0);
  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += "x\n";  // 100 000 lines of a 16 384-point font
  c.ClearError();
  c.SetProperty(1, 1, "Text", Variant(lines));
  EXPECT_EQ(std::tuple(LastErrorNumber(c), c.Rows(Body)->Item(1)->RowHeight()),
            std::tuple(ToInt(ErrorCode::kOverflow), before))
      << "the height is not a wrapped-around number";
  // Huge indents and tabs are measured without overflow.
  c.ClearAll();
  c.dColWordWrap(true);
  c.AddRow("some words that wrap");
  const auto start = std::chrono::steady_clock::now();
  const float wide = 3.0f * c.PageInfo().AvailWidth;  // any indent wider than the line pushes the words alike
  ASSERT_TRUE(c.SetProperty(1, 1, "IndentFirst", Variant(wide)));
  const float atWide = c.Rows(Body)->Item(1)->RowHeight();
  for (float indent : {1e9f, 1e11f, 3e38f}) {
    SCOPED_TRACE(indent);
    ASSERT_TRUE(c.SetProperty(1, 1, "IndentFirst", Variant(indent)));
    EXPECT_EQ(c.Rows(Body)->Item(1)->RowHeight(), atWide);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "the indent is not spelt out";
  c.ClearError();
  c.SetProperty(1, 1, "TabLeft", Variant(-3e38f));
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kOverflow) << "a width beyond device coordinates";
}

TEST(HostileInput, AHugeIndentInAHugeLineIsBoundedByTheWidestLineThatCanMatter) {
  KtPrint4Impl c;  // a margin far off the page makes every line about 10^9 twips wide
  c.Marginleft(-1e9f);
  c.dColIndentFirst(1e11f);
  c.ComputePageInfo();
  ASSERT_GT(c.PageInfo().AvailWidth, 1e8f);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(c.AddRow("a", "b", "c"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5))
      << "the indent's spaces are bounded by the widest line, not by this one";
  EXPECT_GT(c.Rows(Body)->Item(1)->RowHeight(), 0);
}

TEST(HostileInput, RowsPastTheLastPageAreRefusedConsistently) {
  KtPrint4Impl c;
  c.dFitHeightToText(false);
  c.dRowHeight(c.PageInfo().AvailHeight);  // one row per page
  for (std::int32_t i = 0; i < kMaxPages + 5 && c.AddRow("r"); ++i) continue;
  const std::int32_t rows = c.LastRow();
  ASSERT_LT(rows, kMaxPages + 5);
  EXPECT_EQ(
      (std::tuple<int, int, int>(LastErrorNumber(c), c.Pages(), c.Rows(Body)->Item(rows)->Page())),
      std::tuple(ToInt(ErrorCode::kOverflow), kMaxPages, kMaxPages));
  const BodyPicture full = Picture(c);

  c.ClearError();
  EXPECT_FALSE(c.AddRow("more")) << "every later addition fails the same way";
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kOverflow);
  EXPECT_FALSE(c.AddStartDocRow("first") || c.AddEndDocRow("last"));
  EXPECT_TRUE(Picture(c) == full) << "and adds nothing";
  EXPECT_EQ(c.Rows(Body)->Item(1)->Page(), std::get<0>(std::get<2>(full)[0])) << "no renumbering";

  c.ClearError();
  c.SetPageBreak(1);  // every row one page later: past the last page
  c.RePaging(1, false);
  EXPECT_GE(c.Pages(), c.Rows(Body)->Item(rows)->Page()) << "Pages is never below a row's page";
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kOverflow);
}

TEST(HostileInput, OutliningARowGivesTheCellByCellResult) {
  KtPrint4Impl fast, slow;
  for (KtPrint4Impl* c : {&fast, &slow}) {
    c->dColsPerRow(40);
    c->dColPenStyle(2);
    c->dColPenColor(0x8000000F);
    c->AddRow();
    c->AddRow();
  }
  ASSERT_TRUE(fast.OutLineBlock(3, ppLineLeft | ppLineRight | ppLineTop | ppLineBottom, 1, 0, true, Body, 2, 0));
  // The documented rule, one SetProperty per cell and line.
  auto line = [&](std::int32_t r, std::int32_t col, const char* name) {
    slow.SetProperty(r, col, "PenStyle", Variant(slow.dColPenStyle()));
    slow.SetProperty(r, col, "PenColor", Variant(static_cast<std::int32_t>(slow.dColPenColor())));
    slow.SetProperty(r, col, name, Variant(std::int16_t{3}));
  };
  const float right = slow.PageInfo().AvailWidth;
  for (std::int32_t r = 1; r <= 2; ++r) {
    line(r, slow.ColumnAtPosition(r, 0, Body), "LineLeft");
    line(r, slow.ColumnAtPosition(r, right, Body), "LineRight");
  }
  for (std::int32_t col = 1; col <= 40; ++col) line(1, col, "LineTop"), line(2, col, "LineBottom");

  for (std::int32_t r = 1; r <= 2; ++r) {
    EXPECT_EQ(fast.Rows(Body)->Item(r)->RowHeight(), slow.Rows(Body)->Item(r)->RowHeight());
    for (std::int32_t col = 1; col <= 40; ++col)
      for (const char* name : {"LineLeft", "LineRight", "LineTop", "LineBottom", "PenStyle", "PenColor"}) {
        SCOPED_TRACE(std::string(name) + " of " + std::to_string(r) + "," + std::to_string(col));
        EXPECT_EQ(fast.GetProperty(r, col, name), slow.GetProperty(r, col, name));
      }
  }
}

TEST(HostileInput, ColoursByNameTakeTheSignedAndTheUnsignedForm) {
  KtPrint4Impl c;
  c.AddRow("a");
  const std::int32_t signedForm = static_cast<std::int32_t>(0x8000000Fu);
  for (const Variant& v : {Variant(2147483663.0), Variant(signedForm), Variant("&H8000000F")}) {
    SCOPED_TRACE(v.ToString());
    c.SetProperty(1, 1, "BrushColor", Variant(0));
    c.ClearError();
    EXPECT_TRUE(c.SetProperty(1, 1, "BrushColor", v));
    EXPECT_EQ(std::tuple(LastErrorNumber(c), c.GetProperty(1, 1, "BrushColor").ToLong()),
              std::tuple(0, signedForm));
  }
  c.ClearError();
  EXPECT_FALSE(c.SetProperty(1, 1, "BrushColor", Variant(4294967296.0))) << "33 bits are not a colour";
  EXPECT_EQ(LastErrorNumber(c), ErrorCode::kOverflow);
}

}  // namespace
}  // namespace ktfolio
