// A cell's text, its by-name access, and its shared style: what cells share, what a setter gives
// one cell of its own, and that nothing is lost when rows move their cells.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>

#include "model/celltext.h"
#include "model/rows.h"
#include "model/textitem.h"

namespace ktfolio {
namespace {

TEST(CellStyle, CellsWithEqualAttributesShareOneRecordWhichASetterLeavesToTheOthers) {
  KtTextItem a, b;
  a.FontName("Arial");
  a.FontSize(9);
  b.FontSize(9);
  b.FontName("Arial");
  EXPECT_EQ(a.Style(), b.Style()) << "the order of the setters does not matter";
  a.Text("one");
  b.Text("two");
  a.Focused(true);
  EXPECT_EQ(a.Style(), b.Style()) << "text and focus are the cell's own";
  a.FontBold(true);
  b.FontBold(true);
  const CellStyle* shared = a.Style();
  b.PenColor(0xFF);
  // The other cell keeps its record and value, the changed one its other values.
  EXPECT_EQ(std::tuple(b.Style() != shared, a.Style(), a.PenColor(), b.FontBold()), std::tuple(true, shared, 0u, true));
  b.PenColor(0);
  EXPECT_EQ(b.Style(), shared) << "setting the value back finds the shared record again";
}

TEST(CellStyle, EveryAttributeTakesPartInSharing) {
  // One row per shared attribute: changing it alone must give another record,
  // which a copied cell shares.
  const std::pair<const char*, Variant> cases[] = {
      {"TabLeft", Variant(1440)},       {"LineRight", Variant(1)},           {"LineLeft", Variant(1)},
      {"LineBottom", Variant(1)},       {"LineTop", Variant(1)},             {"AlignPos", Variant(2)},
      {"FontStyle", Variant(1)},        {"IndentLeft", Variant(1.5)},        {"IndentRight", Variant(1.5)},
      {"FontName", Variant("Courier")}, {"FontSize", Variant(11)},           {"FontColor", Variant(255)},
      {"ShadowColor", Variant(255)},    {"ShadowHeavyColor", Variant(255)},  {"ShadowSize", Variant(2)},
      {"Clipping", Variant(true)},      {"WordWrap", Variant(true)},         {"PenStyle", Variant(2)},
      {"PenColor", Variant(255)},       {"BrushColor", Variant(255)},        {"FillCell", Variant(true)},
      {"IndentFirst", Variant(7)},      {"FontBold", Variant(true)},         {"FontItalic", Variant(true)},
      {"FontUnderline", Variant(true)}, {"FontStrikethru", Variant(true)},   {"FrameControl", Variant(3)},
      {"FrameControlFlags", Variant(4)}, {"FrameControlSize", Variant(200)}, {"edge", Variant(5)},
      {"EdgeFlags", Variant(6)},        {"EditType", Variant(1)}};
  for (const auto& [name, value] : cases) {
    KtTextItem plain, changed, copy;
    changed.SetByName(name, value);
    copy.CopyAttributesFrom(changed);
    EXPECT_EQ(std::tuple(changed.Style() != plain.Style(), changed.GetByName(name).ToString(), copy.Style()),
              std::tuple(true, value.ToString(), changed.Style())) << name;
  }
}

// One record for two cells, even with a NaN in it (equality is by bits, so a
// record finds itself), gone with the last of them.
TEST(CellStyle, RecordsAreSharedEvenWithANaNAndGoWhenTheirLastCellGoes) {
  CellStyle::Default();  // lives for good, whichever test makes it first
  const std::size_t before = CellStyle::LiveCount();
  for (float indent : {1.5f, std::numeric_limits<float>::quiet_NaN()}) {
    {
      KtTextItem a, b;
      a.FontName("A face no other test uses");
      a.IndentLeft(indent);
      b.CopyAttributesFrom(a);
      b.IndentLeft(indent);
      EXPECT_EQ(std::tuple(CellStyle::LiveCount(), a.Style()), std::tuple(before + 1, b.Style())) << indent;
    }
    EXPECT_EQ(CellStyle::LiveCount(), before) << indent;
  }
}

TEST(CellText, KeepsTextsOfEveryLengthAcrossCopiesAndMoves) {
  // Every byte different from its neighbours, so that a byte copied to the wrong place shows.
  const auto text = [](std::size_t n) {
    std::string s(n, ' ');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
  };
  for (std::size_t n = 0; n <= 13; ++n)
    for (std::size_t k = 0; k <= n; ++k) {
      CellText t;
      t.assign(text(n));
      t.assign(t.view().substr(k));  // a piece of itself, overlapping
      ASSERT_EQ(t.view(), text(n).substr(k)) << n << " from " << k;
    }
  for (std::size_t n : {0, 1, 10, 11, 12, 13, 100, 5000}) {
    SCOPED_TRACE(n);
    const std::string s = text(n);
    CellText t;
    t.assign(s);
    EXPECT_EQ(t.view(), s);
    CellText copy(t), moved(std::move(t));
    // A moved-from text is empty.  NOLINTNEXTLINE(bugprone-use-after-move)
    EXPECT_EQ(std::tuple(copy.view(), moved.view(), t.empty()), std::tuple(s, s, true));
    copy = moved;
    EXPECT_EQ(copy.view(), s);
    copy.assign(copy.view().substr(n / 2));  // a piece of itself
    EXPECT_EQ(copy.view(), s.substr(n / 2));
  }
  CellText bytes;
  bytes.assign(std::string_view("a\0b", 3));
  EXPECT_EQ(bytes.size(), 3u) << "embedded NULs are kept";
}

TEST(CellLinks, MovedCellsKeepTextStylePositionAndLinksAndCellsAndRowsAreSmall) {
  KtRow row;
  KtTextItemCol& cells = row.ItemText();
  auto text = [](int i) { return "cell " + std::to_string(i) + " with a text longer than fifteen bytes"; };
  for (int i = 0; i < 40; ++i) {  // enough to move the block several times
    KtTextItem c;
    c.Text(text(i));
    c.FontSize(static_cast<float>(8 + i % 3));
    c.TabLeft(static_cast<float>(i % 5 * 100));
    c.Focused(i % 2 == 0);
    c.ParentRow(&row);
    cells.AddItem(std::move(c));
  }
  for (int i = 0; i < 40; ++i) {
    const KtTextItem& c = *cells.Item(i + 1);
    EXPECT_EQ(std::tuple(c.StoredText(), c.FontSize(), c.TabLeft(), c.Focused(), c.ParentRow()),
              std::tuple(text(i), static_cast<float>(8 + i % 3), static_cast<float>(i % 5 * 100), i % 2 == 0, &row))
        << i;
  }
  cells.Remove(1);
  EXPECT_EQ(cells.Item(1)->StoredText(), text(1));
  // What a million-row document pays per cell and per row: a cell is its
  // text, height, style and links; a row must stay in the allocator's
  // 64-byte class.
  EXPECT_LE(sizeof(KtTextItem), 32u);
  EXPECT_LE(sizeof(KtRow), 56u);
}

// A cell's own text, its by-name access and what copying its layout takes.
using namespace ::testing;

TEST(CellText, LineBreaksAreStoredAsMarkersAndACopyTakesTheLayoutOnly) {
  KtTextItem cell;
  cell.Text("a\r\nb");
  EXPECT_EQ(std::tuple(cell.StoredText(), cell.Text()), std::tuple("a<cr><lf>b", "a\r\nb"));
  cell.Text("x<lf>y");
  EXPECT_EQ(cell.Text(), "x\ny") << "a literal marker comes back as a break";
  cell.Text("<CR>");
  EXPECT_EQ(cell.Text(), "<CR>") << "markers are exact-case";
  cell.Text("photo.png");
  cell.BITMAP("");
  EXPECT_EQ(std::tuple(cell.BITMAP(), cell.Text(), cell.HasBitmap()),
            std::tuple("", "photo.png", false))
      << "an empty picture name drops the picture but keeps the text";
  KtTextItem model, copy;
  model.Text("model text");
  model.Focused(true);
  model.FontName("Courier New");
  model.TabLeft(720);
  model.LineBottom(2);
  model.WordWrap(true);
  copy.CopyAttributesFrom(model);
  EXPECT_EQ(std::tuple(copy.FontName(), copy.TabLeft(), copy.LineBottom(), copy.WordWrap(), copy.Text(), copy.Focused()),
            std::tuple("Courier New", 720, 2, true, "", false));
}

TEST(CellText, TraitsFindEachKindOfByteAtAnyPlaceInTextsOfAnyLength) {
  // What each byte alone says of a text; a text's traits are those of its bytes together.
  const auto ofByte = [](unsigned char b) -> std::uint8_t {
    if (b == '\r' || b == '\n') return kTextLineBreak | kTextNotPlainAscii;
    if (b == '%' || b == '<') return kTextFieldCode;
    if (b == 0 || b == '&' || b >= 0x80) return kTextNotPlainAscii;
    return 0;
  };
  for (std::size_t n = 1; n <= 50; ++n)
    for (std::size_t at = 0; at < n; ++at)
      for (const unsigned char b : {'\r', '\n', '%', '<', '&', '\0', '\x7f', '\x80', '\xe9', '\xff', '#', 'z'}) {
        std::string text(n, 'a');
        text[at] = static_cast<char>(b);
        ASSERT_EQ(CellTextTraits(text), ofByte(b)) << "byte " << int{b} << " at " << at << " of " << n;
      }
  EXPECT_EQ(CellTextTraits(""), 0);
  EXPECT_EQ(CellTextTraits(std::string(40, 'x') + "%\n" + std::string(20, 'y') + "\xc3"),
            kTextFieldCode | kTextLineBreak | kTextNotPlainAscii);
}

TEST(CellByName, NamesMatchWithoutRegardToCaseAndBadOnesThrowNumberedErrors) {
  KtTextItem cell;
  cell.SetByName("fontstrikethru", Variant(true));
  cell.SetByName("EDGE", Variant(5));
  cell.SetByName("TabLeft", Variant("1440.5"));
  cell.SetByName("PenStyle", Variant(99));  // beyond the enumeration, kept as given
  EXPECT_EQ(std::tuple(cell.FontStrikethru(), cell.edge(), cell.TabLeft(),
                       cell.GetByName("tableft").ToSingle(), cell.PenStyle()),
            std::tuple(true, 5, 1440.5f, 1440.5f, 99));
  using enum ErrorCode;
  for (auto [name, value, expected] : {std::tuple("AligPos", Variant(1), kNotSupported),
                                       std::tuple("LineTop", Variant(40000), kOverflow),
                                       std::tuple("FontBold", Variant("maybe"), kTypeMismatch)})
    EXPECT_THAT([&] { cell.SetByName(name, value); },
                Throws<Error>(Property(&Error::number, ToInt(expected)))) << name;
  EXPECT_FALSE(cell.FontBold()) << "a refused value changes nothing";
}

}  // namespace
}  // namespace ktfolio
