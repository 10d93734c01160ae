// A document read from template text is as lean as one built row by row: its
// rows hold no spare cells, its cells share the built cells' style records,
// and the text it keeps for the designer is packed yet given back unchanged.
#include <set>

#include "persist_test_util.h"

namespace ktfolio {
namespace {

using namespace testing;

KtTextItem& Cell(KtPrint4Impl& c, std::int32_t row, std::int32_t col) {
  return *c.Rows(Body)->Item(row)->ItemText().Item(col);
}

// What the [Row] line says of its cells is only a hint: too few, too many,
// none or nonsense, each row ends with room for exactly its own cells, and a
// cell still copies the previous row's last one after that row's block moved.
TEST(LoadedDocument, RowsKeepNoSpareCellsWhateverTheirLineClaims) {
  const char* const hints[] = {"[Row]3", "[Row]1", "[Row]999999", "[Row]", "[Row]x7", "[Row]99999999999"};
  for (const char* hint : hints) {
    SCOPED_TRACE(hint);
    KtPrint4Impl c;
    c.SetDsnArray(Bytes(Lines({"[Body]", hint, "[Col]1", "Text=a", "[Col]2", "[Col]3", "FontBold=-1",
                               "FontSize=14", "Text=c", hint, "[Col]1", "[Col]2", "FontBold=0", "Text=e"})));
    ASSERT_EQ(LastErrorNumber(c), 0);
    ASSERT_EQ(c.LastRow(), 2);
    KtTextItemCol& first = c.Rows(Body)->Item(1)->ItemText();
    KtTextItemCol& second = c.Rows(Body)->Item(2)->ItemText();
    EXPECT_EQ(std::tuple(first.count(), first.capacity(), second.count(), second.capacity()),
              std::tuple(3, 3, 2, 2));
    EXPECT_EQ(std::tuple(Cell(c, 1, 2).Text(), Cell(c, 2, 1).Text(), Cell(c, 2, 1).FontBold(),
                         Cell(c, 2, 1).FontSize(), Cell(c, 2, 2).FontBold(), Cell(c, 2, 2).FontSize()),
              std::tuple("a", "c", true, 14.0f, false, 14.0f));
  }
}

TEST(LoadedDocument, CellsShareTheStyleRecordsOfTheDocumentItWasWrittenFrom) {
  KtPrint4Impl built;
  built.dColLineTop(1);
  for (int i = 0; i < 50; ++i)
    ASSERT_TRUE(built.AddRow("A" + std::to_string(i), "#1400#item " + std::to_string(i), "#5800#" + std::to_string(i)));
  built.Rows(Body)->Item(7)->ItemText().Item(2)->FontBold(true);
  KtPrint4Impl loaded;
  loaded.SetDsnArray(Bytes(TemplateOf(built)));
  ASSERT_EQ(loaded.LastRow(), built.LastRow());
  std::set<const CellStyle*> records;
  for (std::int32_t r = 1; r <= built.LastRow(); ++r)
    for (std::int32_t k = 1; k <= 3; ++k) {
      EXPECT_EQ(Cell(loaded, r, k).Style(), Cell(built, r, k).Style()) << "row " << r << " cell " << k;
      records.insert(Cell(loaded, r, k).Style());
    }
  EXPECT_EQ(records.size(), 4u) << "three columns and one bold cell";
}

// A text kept only for the designer is packed when large, and reads back
// byte for byte however it is asked for; a small one is left as it is.
TEST(LoadedDocument, TheKeptTextIsPackedAndReadsBackUnchanged) {
  std::string big = Lines({"[Body]"});
  std::int32_t rows = 0;
  for (; big.size() < 200000; ++rows)
    big += Lines({"[Row]1", "[Col]1", "Text=caf\xE9 " + std::to_string(rows * 7919 % 1000003)});
  for (const std::string& text : {big, Lines({"[Body]", "[Row]1", "[Col]1", "Text=x"})}) {
    SCOPED_TRACE(text.size());
    DesignText d;
    d.Assign(std::string(text));
    d.Pack();
    // Compared as flags: a failure would print the whole text.
    EXPECT_EQ(std::tuple(d.Packed(), d.size(), Text(d.Bytes()) == text), std::tuple(text.size() > 65536, text.size(), true));
    const bool same = d.Text() == text;  // unpacks it
    EXPECT_EQ(std::tuple(same, d.Packed()), std::tuple(true, false));
  }

  ScratchDir dir;
  const std::string file = dir.File("big.ktt");
  WriteFile(file, big);
  KtPrint4Impl c;
  ASSERT_TRUE(c.LoadFromTemplate(file));
  EXPECT_EQ(std::tuple(Text(c.DesignBuffer()) == big, c.LastRow(), Cell(c, 3, 1).Text()),
            std::tuple(true, rows, "caf\xC3\xA9 15838"));
  // Written again, the buffer is the new text; a read that fails keeps what it was given.
  const std::string again = TemplateOf(c);
  EXPECT_TRUE(Text(c.DesignBuffer()) == again);
  const std::string bad = big + "[Row]1\r\n[Col]7\r\nText=x\r\n";
  c.SetDsnArray(Bytes(bad));
  EXPECT_EQ(std::tuple(LastErrorNumber(c), Text(c.DesignBuffer()) == bad), std::tuple(ToInt(ErrorCode::kObjectNotSet), true));
}

}  // namespace
}  // namespace ktfolio
