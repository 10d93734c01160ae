// TextMeasurer: the single-line shortcut must give DrawText's height for any
// text, font, width and format, and the measurer must leave the context and
// the object tables as it found them.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_measure.h"

using namespace ktfolio::win;

namespace {

LOGFONT Font(const char* face, LONG height, bool bold, bool italic) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic;
  std::strcpy(lf.lfFaceName, face);
  return lf;
}

// Texts that stress the shortcut's edges: spaces and tabs where lines would
// break, prefixes ("&&", a trailing '&'), non-ASCII, stray bytes, and now and
// then a line break or a NUL that ends the text early.
std::string RandomText(std::mt19937& rng) {
  static const char* const kPieces[] = {"a", "W", "i", " ", "  ", "\t", "&", "&&", "word", "Total", "12.50",
                                        "é", "€", "中", "\xE9", "-", "\r\n", "\n"};
  std::uniform_int_distribution<int> count(0, 14), piece(0, 17), rare(0, 40);
  std::string s;
  for (int n = count(rng); n > 0; --n) {
    const int p = piece(rng);
    s += kPieces[p];
    if (rare(rng) == 0) s += "\r\n";
    if (rare(rng) == 1) s += std::string(1, '\0') + "hidden";
  }
  return s;
}

TEST(TextMeasurer, TheShortcutGivesDrawTextsHeightForRandomTextsAndFonts) {
  HDC dc = CreateCompatibleDC(nullptr);
  std::mt19937 rng(17);
  const char* const kFaces[] = {"Arial", "Times New Roman", "Courier New"};
  const UINT kFormats[] = {0, DT_WORDBREAK, DT_WORDBREAK | DT_NOPREFIX, DT_NOPREFIX};
  std::uniform_int_distribution<int> face(0, 2), size(6, 40), flag(0, 1), width(-5, 300), format(0, 3);
  int oneLine = 0, cases = 0;
  const int fontsBefore = GdiLiveObjects().fonts;
  for (int round = 0; round < 60; ++round) {
    TextMeasurer m(dc);
    for (int k = 0; k < 100; ++k, ++cases) {
      const LOGFONT lf = Font(kFaces[face(rng)], -size(rng), flag(rng), flag(rng));
      ASSERT_TRUE(m.UseFont(lf));
      const std::string text = RandomText(rng);
      const int w = width(rng);
      const UINT f = kFormats[format(rng)];
      const int fast = m.TextHeight(text, w, f);
      const int full = m.TextHeightByDrawText(text, w, f);
      ASSERT_EQ(fast, full) << "text \"" << text << "\" width " << w << " format " << f << " face "
                            << lf.lfFaceName << " height " << lf.lfHeight;
      if (fast == m.Metrics().tmHeight) ++oneLine;
    }
  }
  EXPECT_EQ(GdiLiveObjects().fonts, fontsBefore) << "every font the measurers made is gone";
  DeleteDC(dc);
  EXPECT_GT(oneLine, cases / 3) << "the random texts exercise the single-line shortcut";
  EXPECT_LT(oneLine, cases) << "and the line breaker";
}

TEST(TextMeasurer, MetricsAndWidthsAreThoseOfTheSelectedFont) {
  HDC dc = CreateCompatibleDC(nullptr);
  const LOGFONT lf = Font("Arial", -20, true, false);
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRIC expected;
  ASSERT_TRUE(GetTextMetrics(dc, &expected));
  INT widths[3];
  ASSERT_TRUE(GetCharWidth32(dc, 'A', 'C', widths));
  SelectObject(dc, old);
  DeleteObject(font);
  {
    TextMeasurer m(dc);
    ASSERT_TRUE(m.UseFont(Font("Courier New", -9, false, false)));
    ASSERT_TRUE(m.UseFont(lf));
    EXPECT_EQ(m.Metrics().tmHeight, expected.tmHeight);
    EXPECT_EQ(m.Metrics().tmMaxCharWidth, expected.tmMaxCharWidth);
    for (UINT c = 'A'; c <= 'C'; ++c) EXPECT_EQ(m.CharWidth(c), widths[c - 'A']) << static_cast<char>(c);
    EXPECT_EQ(m.DpiY(), GetDeviceCaps(dc, LOGPIXELSY));
    m.TextHeightByDrawText("x", 10, 0);  // selects a font into the context
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), old) << "the context gets its own font back";
  DeleteDC(dc);
}

}  // namespace
