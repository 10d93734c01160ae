// The template reader: what each line does, what a bad line stops, and round
// trips through the writer.
#include <cstring>
#include <functional>
#include <vector>

#include "persist_test_util.h"
#include "platform/container/property_bag.h"
#include "varied_document.h"

namespace ktfolio {
namespace {

using namespace testing;

constexpr const char* kReaderSource = "Reading Template";

std::string WithoutKey(const std::string& text, const std::string& key) {
  std::string out;
  for (std::size_t p = 0, end; p < text.size(); p = end) {
    end = text.find("\r\n", p) + 2;
    if (text.compare(p, key.size() + 1, key + "=") != 0) out.append(text, p, end - p);
  }
  return out;
}

void Load(KtPrint4Impl& c, std::string_view text, bool onlyDesign = false) { c.SetDsnArray(Bytes(text), onlyDesign); }

KtTextItem& Cell(KtPrint4Impl& c, std::int32_t row, std::int32_t col, std::int32_t area = Body) {
  return *c.Rows(area)->Item(row)->ItemText().Item(col);
}

TEST(TemplateReader, MarginsAreReadInTheTemplatesOwnScaleModeAndTwipsDefaultsUnconverted) {
  KtPrint4Impl c;
  Load(c, Lines({"[Properties]", "ScaleMode=5", "Marginleft=1440", "MarginTop=720", "[Body]"}));
  // 1440 twips read while the scale is inches.
  EXPECT_EQ(std::tuple(c.ScaleMode(), c.Marginleft(), c.MarginTop(), c.PageInfo().LeftM,
                       LastRecorded(c).number), std::tuple(eInch, 1.0f, 0.5f, 1440.0f, 0));
  KtPrint4Impl d;
  Load(d, Lines({"[Properties]", "ScaleMode=6", "ColSpacing=100", "dRowHeight=333", "RowSpacing=7"}));
  EXPECT_EQ(std::tuple(d.Defaults().dColSpacing, d.Defaults().dRowHeight, d.Defaults().dRowSpacing),
            std::tuple(100.0f, 333.0f, 7.0f));
}

// Only -1 is True and a loaded document never inherits its last row; numbers are the leading
// number, rounded half to even.
TEST(TemplateReader, BooleansAndNumbers) {
  const std::pair<const char*, bool> booleans[] = {{"-1", true}, {"0", false}, {"True", false},
                                                   {"1", false}, {"-1 ", false}, {"", false}};
  for (const auto& [value, expected] : booleans) {
    SCOPED_TRACE(value);
    KtPrint4Impl c;
    c.ShowGuideLines(!expected);
    Load(c, Lines({"[Properties]", std::string("ShowGuideLines=") + value, std::string("dInheritLastRow=") + value}));
    EXPECT_EQ(std::tuple(c.ShowGuideLines(), c.dInheritLastRow()), std::tuple(expected, false));
  }
  const std::pair<const char*, std::int32_t> numbers[] = {
      {"12abc", 12}, {"  7", 7}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"x", 0}, {"1e3", 1000}};
  for (const auto& [value, expected] : numbers) {
    SCOPED_TRACE(value);
    KtPrint4Impl c;
    Load(c, Lines({"[Properties]", std::string("dColsPerRow=") + value}));
    EXPECT_EQ(c.dColsPerRow(), expected);
  }
}

TEST(TemplateReader, TheDesignOnlyFlagReplacesRowsButKeepsSettingsOtherThanTheBodyMarkers) {
  KtPrint4Impl c;
  c.AddRow("old");
  c.ShowGuideLines(false);
  Load(c, Lines({"[Properties]", "ScaleMode=5", "ShowGuideLines=-1", "StartBodyRow=1", "EndBodyRow=2", "[Body]",
                 "[Row]1", "[Col]1", "Text=new", "[Row]1"}), true);
  ASSERT_EQ(
      std::tuple(c.ScaleMode(), c.ShowGuideLines(), c.StartBodyRow(), c.EndBodyRow(), c.LastRow()),
      std::tuple(eTwip, false, 1, 2, 2));
  EXPECT_EQ(Cell(c, 1, 1).Text(), "new");
}

TEST(TemplateReader, RowsAndCellsCopyThePreviousOneWhereTheTextSaysNothing) {
  KtPrint4Impl c;
  Load(c, Lines({"[Header]", "[Row]2", "RowHeight=500", "PageBreak=-1", "[Col]1", "FontBold=-1", "Text=a", "[Col]2",
                 "[Body]", "[Row]1", "[Col]1", "FontSize=14"}));
  ASSERT_EQ(c.Rows(Header)->count(), 1);
  // The second cell copies the first, text too; rows copy the previous row, across areas.
  EXPECT_EQ(std::tuple(Cell(c, 1, 2, Header).FontBold(), Cell(c, 1, 2, Header).Text()),
            std::tuple(true, "a"));
  const KtRow& body = *c.Rows(Body)->Item(1);
  EXPECT_EQ(std::tuple(body.RowHeight(), body.PageBreak(), Cell(c, 1, 1).FontBold(),
                       Cell(c, 1, 1).FontSize()),
            std::tuple(500.0f, true, true, 14.0f));
}

TEST(TemplateReader, ARowReadHoldsItsCellsAndTheirLongerTextsInOneBlockAsABuiltRowDoes) {
  KtPrint4Impl c;
  const std::string a(30, 'a'), b(40, 'b'), h(20, 'h');
  Load(c, Lines({"[Header]", "[Row]1", "[Col]1", "Text=" + h, "[Body]", "[Row]2", "[Col]1", "Text=" + a, "[Col]2",
                 "Text=" + b, "[Row]3", "[Col]1", "Text=" + b}));
  for (const auto& [area, row, texts] : {std::tuple(Header, 1, std::vector<std::string>{h}),
                                          {Body, 1, std::vector<std::string>{a, b}}, {Body, 2, {b}}}) {
    const KtTextItemCol& cells = c.Rows(area)->Item(row)->ItemText();
    ASSERT_EQ(std::tuple(cells.count(), cells.capacity()), std::tuple(static_cast<int>(texts.size()), cells.count()));
    const auto* end = reinterpret_cast<const char*>(cells.Item(cells.count()) + 1);
    for (int i = 1; i <= cells.count(); ++i) {
      const std::string_view text = cells.Item(i)->StoredText();
      EXPECT_EQ(text, texts[static_cast<std::size_t>(i) - 1]);
      EXPECT_TRUE(text.data() >= end && text.data() < end + 100) << "area " << area << " row " << row << " cell " << i;
    }
  }
}

TEST(TemplateReader, LineBreakMarksUnknownLinesAndNegativeCellIndexes) {
  KtPrint4Impl c;
  Load(c, Lines({"", "[Properties]", "NoSuchSetting=5", "just words", "[]", "[unclosed", "[Other]", "ShowToolBar=0",
                 "scalemode=5", "[Body]", "", "[Row]1", "Colour=red", "[Col]1", "text=lower case", "Text=x=y",
                 "[Row]1", "[Col]1", "Text=a!hr!b<cr>c"}));
  EXPECT_EQ(LastRecorded(c).number, 0) << LastRecorded(c).description;
  EXPECT_FALSE(c.ShowToolBar()) << "an unknown section leaves the settings section current";
  EXPECT_EQ(c.ScaleMode(), eTwip) << "keys are compared with their case";
  EXPECT_EQ(Cell(c, 1, 1).Text(), "x=y") << "the value runs to the end of the line";
  EXPECT_EQ(Cell(c, 2, 1).Text(), "a\r\nb\rc");
  KtPrint4Impl d;
  Load(d, Lines({"[Body]", "[Row]1", "[Col]-1", "Text=lost"}));
  EXPECT_EQ(LastRecorded(d).number, 0);
  ASSERT_EQ(d.Rows(Body)->Item(1)->ItemText().count(), 1) << "a negative cell index applies nothing";
  EXPECT_EQ(Cell(d, 1, 1).Text(), "");
}

TEST(TemplateReader, ReadingPaginatesTheBody) {
  KtPrint4Impl c;
  Load(c, Lines({"[Body]", "[Row]1", "RowHeight=300", "Page=7", "TopInPage=9999", "[Row]1", "PageBreak=-1"}));
  const KtRows& rows = *c.Rows(Body);
  EXPECT_EQ(std::tuple(rows.Item(1)->Page(), rows.Item(1)->TopInPage(), rows.Item(2)->Page()),
            std::tuple(1, 0.0f, 2));
}

TEST(TemplateReader, ABadLineStopsTheReaderWithWhatCameBeforeApplied) {
  // The body rows are those applied before the bad line.
  struct Case { const char* name; std::string text; ErrorCode number; std::int32_t bodyRows; };
  const std::string row = Lines({"[Body]", "[Row]1"}), cell = row + Lines({"[Col]1"}),
                    guides = Lines({"[Properties]", "ShowGuideLines=-1"}), never = "Text=never";
  using enum ErrorCode;
  const Case cases[] = {
      {"row unended", row + Lines({"Page=7", "[Col]1", "Text=kept", "[Row]1", "[Col]1"}) + never,
       kInputPastEnd, 2},
      {"cell before a row", guides + Lines({"[Body]", "[Col]1", "Text=x"}), kObjectNotSet, 0},
      {"Long overflow", guides + Lines({"ColorResolution=99999999999", "PrinterName=never"}),
       kOverflow, 0},
      {"key before a section", Lines({"ScaleMode=5", "[Properties]"}), kObjectNotSet, 0},
      {"cell beyond the row", cell + Lines({"Text=ok", "[Col]3", never}), kObjectNotSet, 1},
      {"Integer overflow", cell + Lines({"LineTop=40000"}), kOverflow, 1},
      {"cell number overflow", row + Lines({"[Col]99999999999"}), kOverflow, 1},
      {"Single overflow", Lines({"[Properties]", "MarginTop=1e999"}), kOverflow, 0},
      {"missing picture", cell + Lines({"BITMAP=/no/such/picture.bmp", never}), kFileNotFound, 1},
  };
  ScratchDir dir;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    WriteFile(dir.File("t.ktt"), k.text);
    KtPrint4Impl c;
    c.AddRow("before");
    ASSERT_FALSE(c.LoadFromTemplate(dir.File("t.ktt")));
    const Recorded e = LastRecorded(c);
    EXPECT_EQ(std::tuple(e.number, e.source), std::tuple(ToInt(k.number), kReaderSource))
        << e.description;
    EXPECT_NE(e.description.find("template line "), std::string::npos) << e.description;
    ASSERT_EQ(c.LastRow(), k.bodyRows);
    EXPECT_NE(c.PrinterName(), "never");
    for (std::int32_t r = 1; r <= c.LastRow(); ++r)
      EXPECT_NE(c.GetProperty(r, 1, "Text").ToString(), "never");
    if (k.text.starts_with(guides)) {
      EXPECT_TRUE(c.ShowGuideLines()) << "settings before it stay";
    }
    if (k.number == kInputPastEnd) {  // not paginated; row 2 copies row 1's text
      EXPECT_EQ(std::tuple(c.Rows(Body)->Item(1)->Page(), Cell(c, 2, 1).Text()),
                std::tuple(7, "kept"));
    }
  }
}

TEST(TemplateReader, TextThatIsNotWindows1252ChangesNothing) {
  ScratchDir dir;
  WriteFile(dir.File("t.ktt"),
            Lines({"[Properties]", std::string("PrinterName=\xFF\xFE\0\0", 16)}));
  KtPrint4Impl c;
  c.AddRow("kept");
  ASSERT_FALSE(c.LoadFromTemplate(dir.File("t.ktt")));
  EXPECT_EQ(std::tuple(LastRecorded(c).number, c.LastRow(), Cell(c, 1, 1).Text()),
            std::tuple(ToInt(ErrorCode::kInvalidFileFormat), 1, "kept"));
  for (char undefined : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'}) {
    KtPrint4Impl d;
    Load(d, Lines({"[Properties]", std::string("PrinterName=") + undefined}));
    EXPECT_EQ(LastRecorded(d).number, ErrorCode::kInvalidFileFormat) << int{static_cast<unsigned char>(undefined)};
  }
}

// Random bytes are the template fuzzer's; a line a megabyte long is quoted short.
TEST(TemplateReader, OverlongLinesAndTextsAreRecordedErrors) {
  ScratchDir dir;
  WriteFile(dir.File("huge.ktt"), "[Properties]\r\nColorResolution=" + std::string(1u << 20, '9') + "\r\n");
  KtPrint4Impl c;
  c.AddRow("kept");
  EXPECT_FALSE(c.LoadFromTemplate(dir.File("huge.ktt")));
  EXPECT_EQ(LastRecorded(c).number, ErrorCode::kOverflow);
  EXPECT_LT(LastRecorded(c).description.size(), 300u) << "the quoted line is shortened";

  KtPrint4Impl d;
  Load(d, Lines({"[Body]", "[Row]1", "[Col]1", "Text=" + std::string(kMaxCellTextBytes + 1, 'x')}));
  EXPECT_EQ(std::tuple(LastRecorded(d).number, Cell(d, 1, 1).Text()),
            std::tuple(ToInt(ErrorCode::kOutOfStringSpace), ""));
  EXPECT_NE(LastRecorded(d).description.find("template line 4"), std::string::npos) << LastRecorded(d).description;
}

TEST(TemplateReader, LinesEndingInCrOrLfAloneAreRefusedInOneLineAndChangeNothing) {
  auto joined = [](const char* end) {
    std::string t;
    for (const char* l : {"[Properties]", "ShowToolBar=0", "[Body]", "[Row]1", "[Col]1", "Text=x"}) (t += l) += end;
    return t;
  };
  struct Case { const char* name; std::string text; const char* cause; };
  const Case cases[] = {
      {"CR alone", joined("\r"), "line ends are CR, expected CR LF (line 1)"},
      {"LF alone", joined("\n"), "line ends are LF, expected CR LF (line 1)"},
      {"one LF among CR LF", Lines({"[Properties]", "ShowToolBar=0\n[Body]"}), "line ends are LF, expected CR LF (line 2)"},
  };
  ScratchDir dir;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    WriteFile(dir.File("t.ktt"), k.text);
    KtPrint4Impl c;
    c.AddRow("before");
    EXPECT_FALSE(c.LoadFromTemplate(dir.File("t.ktt")));
    const Recorded e = LastRecorded(c);
    EXPECT_EQ(std::tuple(e.number, e.source),
              std::tuple(ToInt(ErrorCode::kInvalidFileFormat), kReaderSource));
    EXPECT_NE(e.description.find(k.cause), std::string::npos) << e.description;
    EXPECT_NE(e.description.find(dir.File("t.ktt")), std::string::npos) << "the file is named";
    EXPECT_EQ(e.description.find_first_of("\r\n"), std::string::npos) << "one line";
    EXPECT_EQ(std::tuple(c.ShowToolBar(), c.LastRow(), Cell(c, 1, 1).Text()),
              std::tuple(true, 1, "before")) << "the document is unchanged";
  }
}

TEST(TemplateRoundTrip, WhatTheControlAcceptsItLoadsBack) {
  KtPrint4Impl a;
  a.dFitHeightToText(false);
  a.AddRow("one", "two");
  struct Case { const char* name; std::function<void(std::int32_t)> set; std::function<Variant()> get; };
  const Case cases[] = {
      {"dColPenStyle", [&](std::int32_t v) { a.dColPenStyle(v); }, [&] { return Variant(a.dColPenStyle()); }},
      {"PenStyle", [&](std::int32_t v) { (void)a.SetProperty(1, 1, "PenStyle", Variant(v)); },
       [&] { return a.GetProperty(1, 1, "PenStyle"); }},
      {"LineTop", [&](std::int32_t v) { (void)a.SetProperty(1, 2, "LineTop", Variant(v)); },
       [&] { return a.GetProperty(1, 2, "LineTop"); }},
  };
  for (const Case& k : cases) {
    for (std::int32_t beyond : {40000, -40000}) {
      SCOPED_TRACE(std::string(k.name) + " = " + std::to_string(beyond));
      const Variant before = k.get();
      a.ClearError();
      k.set(beyond);
      EXPECT_EQ(std::tuple(LastRecorded(a).number, k.get()),
                std::tuple(ToInt(ErrorCode::kOverflow), before)) << "16 bits";
    }
    k.set(INT16_MAX);  // the limit itself is kept
  }
  a.AddRow("three");  // takes the default pen style
  // 300 000 line breaks of their own: 1.2 MB in the text, 300 000 bytes as the cell gives them back.
  ASSERT_TRUE(a.SetProperty(1, 2, "Text", Variant(std::string(300000, '\r'))));
  KtPrint4Impl b;
  b.SetDsnArray(Bytes(TemplateOf(a)));
  ASSERT_EQ(std::tuple(LastRecorded(b).number, b.LastRow()), std::tuple(0, 2)) << LastRecorded(b).description;
  EXPECT_EQ(std::tuple(b.dColPenStyle(), Cell(b, 2, 1).PenStyle(), Cell(b, 1, 1).PenStyle(),
                       Cell(b, 1, 2).LineTop()),
            std::tuple(INT16_MAX, INT16_MAX, INT16_MAX, INT16_MAX));
  EXPECT_EQ(Cell(b, 1, 2).Text(), std::string(300000, '\r'));
}

TEST(TemplateRoundTrip, TheDesignerArraysReproduceTheDocument) {
  ScratchDir dir;
  WriteTinyPicture(dir.File("dot.png"));
  KtPrint4Impl a;
  BuildVariedDocument(a, 60, 5, 11, dir.File("dot.png"));
  ASSERT_EQ(LastRecorded(a).number, 0) << LastRecorded(a).description;
  KtPrint4Impl b;
  b.SetDsnArray(Bytes(TemplateOf(a)));
  ASSERT_EQ(LastRecorded(b).number, 0) << LastRecorded(b).description;
  EXPECT_EQ(DumpDocument(b), DumpDocument(a));
  // The arrow in the printer name has no Windows-1252 byte.
  EXPECT_EQ(std::tuple(b.ScaleMode(), b.Marginleft(), b.PrinterName(), b.dColClipping(), b.Pages()),
            std::tuple(eMillimetre, 12.5f, "Office \xE2\x80\x94 2nd floor ?", false, a.Pages()));
}

TEST(TemplateRoundTrip, WritingWhatWasReadGivesTheSameBytes) {
  KtPrint4Impl a;
  BuildVariedDocument(a, 80, 4, 23);
  KtPrint4Impl b, c;
  b.SetDsnArray(Bytes(TemplateOf(a)));
  const std::string once = TemplateOf(b);
  c.SetDsnArray(Bytes(once));
  EXPECT_EQ(TemplateOf(c), once);
  // Two keys cannot come back: ItemHeight is the last measurement of a cell,
  // and a freshly read cell is unmeasured; a read document never inherits its
  // last row. Everything else agrees.
  const std::string first = TemplateOf(a);
  ASSERT_NE(first.find("\r\nItemHeight=2"), std::string::npos) << "some rows were measured";
  EXPECT_NE(once.find("\r\ndInheritLastRow=0\r\n"), std::string::npos);
  EXPECT_EQ(WithoutKey(WithoutKey(once, "ItemHeight"), "dInheritLastRow"),
            WithoutKey(WithoutKey(first, "ItemHeight"), "dInheritLastRow"));
  KtPrint4Impl empty;  // and an empty document reads back empty
  b.SetDsnArray(Bytes(TemplateOf(empty)));
  EXPECT_EQ(std::tuple(b.Rows(Header)->count(), b.Rows(Footer)->count(), b.Rows(Body)->count()), std::tuple(0, 0, 0));
}
}  // namespace
}  // namespace ktfolio
