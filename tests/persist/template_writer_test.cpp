// The template writer, byte for byte: expected files for small documents,
// plus probes that say in words what each file shows.
#include <cstdlib>
#include <cstring>

#include "persist_test_util.h"

namespace ktfolio {
namespace {

using namespace testing;

const std::string kDataDir = std::string(KTFOLIO_TEST_DATA) + "/persist/";

// Compares with tests/data/persist/<name>.ktt; KTFOLIO_UPDATE_GOLDEN=1 rewrites it.
void ExpectGolden(const std::string& name, const std::string& actual) {
  const std::string path = kDataDir + name + ".ktt";
  if (std::getenv("KTFOLIO_UPDATE_GOLDEN")) WriteFile(path, actual);
  const std::string expected = ReadFile(path);
  ASSERT_FALSE(expected.empty()) << "missing expected file " << path;
  if (expected == actual) return;
  std::size_t i = 0;
  while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
  const std::size_t from = i < 40 ? 0 : i - 40;
  ADD_FAILURE() << name << ": first difference at byte " << i << "\nexpected: ..." << expected.substr(from, 80)
                << "\nactual:   ..." << actual.substr(from, 80);
}

// Rows built without height fitting keep ItemHeight at 0, so the expected
// files do not depend on font metrics.
KtPrint4Impl& Unmeasured(KtPrint4Impl& c) { c.dFitHeightToText(false); return c; }

std::size_t CountOf(const std::string& text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

TEST(TemplateWriter, AnUntouchedControlWritesSettingsAndThreeEmptyAreasAndTheSettingsArrayTheFirst) {
  KtPrint4Impl c;
  const std::string t = TemplateOf(c);
  // The row document's settings, but for the keys its rows and printer changed.
  std::string expected = ReadFile(kDataDir + "rows.ktt");
  expected.erase(expected.find("[Header]")) += "[Header]\r\n[Footer]\r\n[Body]\r\n";
  const std::pair<const char*, const char*> untouched[] = {
      {"ActiveCol=", "0"}, {"ActiveRow=", "0"}, {"dFitHeightToText=", "-1"}, {"EndBodyRow=", "0"},
      {"LastRow=", "0"}, {"MaxPag=", "0"}, {"PrinterName=", ""}, {"StartBodyRow=", "0"}};
  for (const auto& [key, value] : untouched) {
    const std::size_t at = expected.find(std::string("\r\n") + key) + 2 + std::strlen(key);
    expected.replace(at, expected.find("\r\n", at) - at, value);
  }
  EXPECT_EQ(std::tuple(t, t.rfind("[Properties]\r\nScaleMode=1\r\n", 0)), std::tuple(expected, 0u));
  EXPECT_EQ(CountOf(t, "\r\n"), 1u + 63u + 3u) << "one section line, 63 settings, three area lines";
  EXPECT_TRUE(t.ends_with("sText=\r\n[Header]\r\n[Footer]\r\n[Body]\r\n"));
  EXPECT_EQ(CountOf(t, "\n"), CountOf(t, "\r\n")) << "every line ends with CR LF";
  c.AddRow("a");  // the settings array holds the settings section alone
  ByteArray pro;
  c.GetProArray(pro);
  const std::string full = TemplateOf(c);
  EXPECT_EQ(Text(pro), full.substr(0, full.find("[Header]")));
}

// One document for the row notation: two identical rows, then one whose cells hold line breaks,
// characters beyond Windows-1252 and numbers of every kind.
TEST(TemplateWriter, RowsRepeatNothingAndTextsAndNumbersHaveTheirOwnNotation) {
  KtPrint4Impl c;
  Unmeasured(c);
  for (int i = 0; i < 2; ++i) c.AddRow("same");
  // café € 5 Ω and an emoji: two characters with Windows-1252 bytes, two without.
  const char* const beyond = "caf\xC3\xA9 \xE2\x82\xAC 5 \xCE\xA9 \xF0\x9F\x98\x80";
  c.AddRow("a\r\nb", "lone\rcr", "lone\nlf", beyond, "y");
  c.PrinterName("Stra\xC3\x9F" "e\nline");  // Straße, with a line feed
  KtTextItem& cell = *c.Rows(Body)->Item(3)->ItemText().Item(5);
  cell.IndentLeft(-12.5f);
  cell.FontSize(10.25f);
  cell.FrameControlSize(1.0f / 3.0f);
  cell.TabLeft(123456789.0f);
  cell.ShadowSize(-7);
  cell.LineTop(-3);
  cell.FontColor(0x8000000F);
  cell.FontBold(true);
  c.Rows(Body)->Item(3)->ColSpacing(0.1f);
  c.RePaging();
  // The golden pins every byte: keys only where they change, a CR LF as the line break mark and a
  // lone CR or LF kept to its line, é and € as their own bytes while Ω and the emoji are not, a
  // line feed in a setting unable to split the line, and each kind of number in its own notation.
  ExpectGolden("rows", TemplateOf(c));
}

TEST(TemplateWriter, APictureAndAFocusAreWrittenOnEveryCellThatHasThem) {
  ScratchDir dir;
  const std::string pic = dir.File("dot.png");
  WriteTinyPicture(pic);
  KtPrint4Impl c;
  Unmeasured(c);
  c.AddRow("a", "b", "c");
  KtTextItemCol& cells = c.Rows(Body)->Item(1)->ItemText();
  for (int k : {2, 3}) cells.Item(k)->BITMAP(pic), cells.Item(k)->Focused(true);
  ASSERT_TRUE(cells.Item(2)->HasBitmap() && cells.Item(3)->HasBitmap());
  const std::string t = TemplateOf(c);
  EXPECT_EQ(CountOf(t, "BITMAP=" + pic + "\r\n"), 2u) << "the same picture on two cells, both written";
  EXPECT_EQ(CountOf(t, "Focused=-1\r\n"), 2u);
  EXPECT_EQ(CountOf(t, "BITMAP=\r\n"), 1u) << "no picture is written on the first cell only";
}

}  // namespace
}  // namespace ktfolio
