// Fonts, metrics and DrawText: measuring and line breaking the way the
// document layout relies on, the batch measurer that must agree with it, and
// where the ink ends up when drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_measure.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/gdi/gdi_transform.h"
#include "platform/gdi/text_block.h"
#include "support/canvas.h"
#include "support/golden.h"

using namespace ktfolio::win;
using ktfolio::testing::LogFont;

namespace {

// The test canvas with one font selected and a transparent background.
class Canvas : public ktfolio::testing::Canvas {
 public:
  Canvas(int w, int h, const char* face = "Arial", LONG height = -16, LONG weight = FW_NORMAL)
      : ktfolio::testing::Canvas(w, h) {
    SetFont(face, height, weight);
    SetBkMode(dc, TRANSPARENT);
  }
  void SetFont(const char* face, LONG height, LONG weight = FW_NORMAL) {
    selected_.restore();  // before the font it holds goes
    font_ = ktfolio::testing::Font(face, height, weight);
    selected_ = SelectedObject(dc, font_);
  }
  TEXTMETRIC Metrics() { TEXTMETRIC tm; GetTextMetrics(dc, &tm); return tm; }
  int Extent(const char* s) { SIZE sz; GetTextExtentPoint32(dc, s, -1, &sz); return sz.cx; }
  int CharWidth(UINT c) { INT w = 0; EXPECT_TRUE(GetCharWidth32(dc, c, c, &w)); return w; }
  // DT_CALCRECT over a rectangle `width` wide: the lines and the width it reports.
  std::pair<int, int> Measure(const char* text, UINT flags, int width = 1000) {
    RECT rc{0, 0, width, 1};
    const int h = DrawText(dc, text, -1, &rc, flags | DT_CALCRECT);
    EXPECT_EQ(h, rc.bottom - rc.top);
    return {h / Metrics().tmHeight, rc.right};
  }

 private:
  OwnedFont font_;
  SelectedObject selected_;
};

}  // namespace

TEST(GdiFont, ClassicFacesResolveToMetricCompatibleLiberationFamilies) {
  Canvas c(10, 10);
  for (auto [face, family] : {std::pair{"Arial", "Liberation Sans"}, std::pair{"Times New Roman", "Liberation Serif"},
                              std::pair{"Courier New", "Liberation Mono"}}) {
    c.SetFont(face, -16);
    EXPECT_EQ(ResolvedFontFamily(c.dc), family);
  }
  c.SetFont("Arial", -100);  // Arial's widths: 'W' is 1933/2048 em, space 569/2048 em.
  EXPECT_TRUE(std::abs(c.CharWidth('W') - 94) <= 1 && std::abs(c.CharWidth(' ') - 28) <= 1);
}

TEST(GdiFont, MetricsFollowTheRequestedHeight) {
  Canvas c(10, 10, "Arial", -12);
  TEXTMETRIC small = c.Metrics();
  c.SetFont("Arial", -48);
  TEXTMETRIC big = c.Metrics();
  for (const TEXTMETRIC& tm : {small, big}) {
    EXPECT_EQ(std::pair(tm.tmHeight, tm.tmWeight), std::pair(tm.tmAscent + tm.tmDescent, LONG{FW_NORMAL}));
    EXPECT_TRUE(tm.tmDescent > 0 && tm.tmMaxCharWidth >= tm.tmAveCharWidth);
  }
  // Negative height is the em: the cell adds the internal leading on top.
  EXPECT_EQ(std::pair(small.tmHeight - small.tmInternalLeading, big.tmHeight - big.tmInternalLeading),
            std::pair(12, 48));
  EXPECT_TRUE(big.tmHeight > 3 * small.tmHeight && big.tmAveCharWidth > 3 * small.tmAveCharWidth);
  c.SetFont("Arial", -16);
  EXPECT_EQ(c.Metrics().tmAveCharWidth, 7) << "Arial at 12 pt on a 96-dpi screen";
  c.SetFont("Arial", 40);
  EXPECT_NEAR(c.Metrics().tmHeight, 40, 1) << "positive height is the cell height";
  c.SetFont("Arial", 0);
  EXPECT_GT(c.Metrics().tmHeight, 5) << "a default size, not an invisible font";
  c.SetFont("Arial", -40);
  const int regular = c.Extent("Bold words");
  c.SetFont("Arial", -40, FW_BOLD);
  EXPECT_EQ(c.Metrics().tmWeight, FW_BOLD);
  EXPECT_GT(c.Extent("Bold words"), regular);
  c.SetFont("Courier New", -20);
  INT w[95];
  ASSERT_TRUE(GetCharWidth32(c.dc, 32, 126, w));
  EXPECT_TRUE(std::all_of(w, w + 95, [&](INT x) { return x == w[0]; })) << "Courier New is fixed pitch";
}

TEST(GdiFont, HeightIsInDeviceUnitsWhateverTheResolution) {
  const OwnedFont f = ktfolio::testing::Font("Arial", -50);
  LONG heights[2];
  for (int dpi : {600, 96}) {
    SetScreenLogPixels(dpi, dpi);
    OwnedDC dc = MemoryDC(nullptr);
    SetScreenLogPixels(96, 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), dpi);
    TEXTMETRIC tm;
    SelectedObject selected(dc, f);
    GetTextMetrics(dc, &tm);
    heights[dpi == 96] = tm.tmHeight;
  }
  EXPECT_EQ(heights[0], heights[1]);
}

TEST(GdiFont, TextExtentIsTheSumOfCharacterWidthsWithoutKerning) {
  Canvas c(10, 10, "Arial", -30);
  EXPECT_EQ(c.Extent("AVAT"), 2 * c.CharWidth('A') + c.CharWidth('V') + c.CharWidth('T'));
  EXPECT_EQ(c.Extent("AV"), c.Extent("A") + c.Extent("V"));
  SIZE sz;
  GetTextExtentPoint32(c.dc, "AVATAR", 2, &sz);  // a length counts bytes
  EXPECT_EQ(std::pair(sz.cx, sz.cy), std::pair(c.Extent("AV"), c.Metrics().tmHeight));
  EXPECT_EQ(c.Extent("\xC3\xA9t\xC3\xA9"), 2 * c.CharWidth(0xE9) + c.Extent("t")) << "non-ASCII text is UTF-8";
}

// Lines and width that DT_CALCRECT reports: each line break convention starts
// a line (LF then CR are two), the widest line sets the width, words wrap
// within the width (the space at a break takes no room, a word wider than the
// line stays whole and widens the rectangle), '&' is a prefix unless
// DT_NOPREFIX ("&&" shows one), and an unexpanded tab is as wide as a space.
TEST(GdiDrawTextMeasure, LinesAndWidthFollowBreaksWrappingPrefixesAndTabs) {
  Canvas c(10, 10);
  const int narrow = c.Extent("the quick brown");
  struct Case { const char* text; UINT flags; int width; int lines; const char* wide; };
  const Case cases[] = {
      {"Hello world", 0, 1000, 1, "Hello world"},   {"a\r\nb", 0, 1000, 2, "a"},
      {"a\rb", 0, 1000, 2, "a"},                    {"a\nb", 0, 1000, 2, "a"},
      {"a\r\n\r\nb", 0, 1000, 3, "a"},              {"a\n\rb", 0, 1000, 3, "a"},
      {"a\r\nb", DT_SINGLELINE, 1000, 1, nullptr},  {"ab\r\nabcdef\r\nabc", 0, 1000, 3, "abcdef"},
      {"the quick brown fox", 0, narrow, 1, nullptr},
      {"the quick brown fox", DT_WORDBREAK, narrow, 2, "the quick brown"},
      {"aaa     bbb", DT_WORDBREAK, c.Extent("aaa"), 2, "aaa"}, {"a\nb", DT_WORDBREAK, 1000, 2, "a"},
      {"Supercalifragilistic", DT_WORDBREAK, 20, 1, "Supercalifragilistic"},
      {"a Supercalifragilistic b", DT_WORDBREAK, 20, 3, nullptr}, {"one two three", DT_WORDBREAK, 0, 3, nullptr},
      {"A&B", 0, 1000, 1, "AB"},  {"A&&B", 0, 1000, 1, "A&B"},  {"A&B", DT_NOPREFIX, 1000, 1, "A&B"},
      {"A&&B", DT_NOPREFIX, 1000, 1, "A&&B"},       {"a\tb", 0, 1000, 1, "a b"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    const auto [lines, right] = c.Measure(k.text, k.flags, k.width);
    EXPECT_EQ(lines, k.lines);
    if (k.wide) { EXPECT_EQ(right, c.Extent(k.wide)); }
  }
  const char* text = "the quick brown fox jumps over the lazy dog again and again";
  const auto [lines, right] = c.Measure(text, DT_WORDBREAK, narrow);
  EXPECT_TRUE(lines >= 4 && right <= narrow && right > narrow / 2) << lines << " lines, " << right;
  const int stop = 8 * c.Metrics().tmAveCharWidth;  // tabs expand to eight average characters when asked
  EXPECT_EQ(c.Measure("a\tb", DT_EXPANDTABS).second, stop + c.Extent("b"));
  EXPECT_EQ(c.Measure("a\t\tb", DT_EXPANDTABS).second, 2 * stop + c.Extent("b"));
  RECT rc{5, 7, 500, 8};
  EXPECT_EQ(DrawText(c.dc, "Hello world", -1, &rc, DT_CALCRECT), c.Metrics().tmHeight);
  EXPECT_EQ(ktfolio::testing::Edges(rc),
            ktfolio::testing::Edges({5, 7, 5 + c.Extent("Hello world"), 7 + c.Metrics().tmHeight}));
}

TEST(GdiDrawTextMeasure, EmptyTextIsOneLineHighButMeasuresEmpty) {
  Canvas c(10, 10);
  RECT rc{3, 4, 100, 50}, draw = rc;
  EXPECT_EQ(DrawText(c.dc, "", -1, &rc, DT_CALCRECT | DT_WORDBREAK), c.Metrics().tmHeight);
  EXPECT_EQ(rc.bottom, rc.top);
  EXPECT_EQ(DrawText(c.dc, "", -1, &draw, 0), c.Metrics().tmHeight);
  EXPECT_LE(c.Ink().right, c.Ink().left) << "nothing drawn";
}

// Texts that stress the measurer's single-line shortcut: spaces and tabs where
// lines would break, prefixes ("&&", a trailing '&'), non-ASCII, stray bytes,
// and now and then a line break or a NUL that ends the text early.
std::string RandomText(std::mt19937& rng) {
  static const char* const kPieces[] = {"a", "W", "i", " ", "  ", "\t", "&", "&&", "word", "Total", "12.50",
                                        "é", "€", "中", "\xE9", "-", "\r\n", "\n"};
  std::uniform_int_distribution<int> count(0, 14), piece(0, 17), rare(0, 40);
  std::string s;
  for (int n = count(rng); n > 0; --n) {
    s += kPieces[piece(rng)];
    if (rare(rng) == 0) s += "\r\n";
    if (rare(rng) == 1) s += std::string(1, '\0') + "hidden";
  }
  return s;
}

// The batch measurer's shortcut must give DrawText's height for any text,
// font, width and format, and leave the object tables as it found them.
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
      const LOGFONT lf = LogFont(kFaces[face(rng)], -size(rng), flag(rng) ? FW_BOLD : FW_NORMAL, flag(rng));
      ASSERT_TRUE(m.UseFont(lf));
      const std::string text = RandomText(rng);
      const int w = width(rng);
      const UINT f = kFormats[format(rng)];
      // Told whether the text is plain first, while its glyphs may not be measured yet.
      const int told = m.TextHeight(text, w, f, PlainAscii(text));
      const int fast = m.TextHeight(text, w, f);
      ASSERT_EQ(told, fast) << "text \"" << text << "\" told plain or not, width " << w;
      ASSERT_EQ(fast, m.TextHeightByDrawText(text, w, f)) << "text \"" << text << "\" width " << w << " format " << f
                                                          << " face " << lf.lfFaceName << " height " << lf.lfHeight;
      oneLine += fast == m.Metrics().tmHeight;
    }
  }
  EXPECT_EQ(GdiLiveObjects().fonts, fontsBefore) << "every font the measurers made is gone";
  DeleteDC(dc);
  EXPECT_GT(oneLine, cases / 3) << "the random texts exercise the single-line shortcut";
  EXPECT_LT(oneLine, cases) << "and the line breaker";
}

// A word wider than its line still takes one line (it has nowhere to break),
// but a tab breaks a line as a space does, and a hyphen does not.
TEST(TextMeasurer, AWordAloneTakesOneLineButATabBreaksLikeASpace) {
  HDC dc = CreateCompatibleDC(nullptr);
  {
    TextMeasurer m(dc);
    ASSERT_TRUE(m.UseFont(LogFont("Arial", -20)));
    const int line = m.Metrics().tmHeight;
    const std::pair<const char*, int> cases[] = {
        {"WWWWWWWWWWWW", 1}, {"WWWWWW-WWWWWW", 1}, {"WWWWWW\tWWWWWW", 2}, {"WWWWWW WWWWWW", 2}};
    for (const auto& [text, lines] : cases) {
      EXPECT_EQ(m.TextHeight(text, 40, DT_WORDBREAK, true), lines * line) << text;
      EXPECT_EQ(m.TextHeightByDrawText(text, 40, DT_WORDBREAK), lines * line) << text;
    }
  }
  DeleteDC(dc);
}

TEST(TextMeasurer, MetricsAndWidthsAreThoseOfTheSelectedFont) {
  Canvas c(10, 10, "Arial", -20, FW_BOLD);
  const TEXTMETRIC expected = c.Metrics();
  const HGDIOBJ font = GetCurrentObject(c.dc, OBJ_FONT);
  {
    TextMeasurer m(c.dc);
    ASSERT_TRUE(m.UseFont(LogFont("Courier New", -9)) && m.UseFont(LogFont("Arial", -20, FW_BOLD)));
    EXPECT_EQ(std::pair(m.Metrics().tmHeight, m.Metrics().tmMaxCharWidth),
              std::pair(expected.tmHeight, expected.tmMaxCharWidth));
    for (UINT ch = 'A'; ch <= 'C'; ++ch) EXPECT_EQ(m.CharWidth(ch), c.CharWidth(ch)) << static_cast<char>(ch);
    EXPECT_EQ(m.DpiY(), GetDeviceCaps(c.dc, LOGPIXELSY));
    m.TextHeightByDrawText("x", 10, 0);  // selects a font into the context
  }
  EXPECT_EQ(GetCurrentObject(c.dc, OBJ_FONT), font) << "the context gets its own font back";
}

// Where DrawText and TextOut put the ink, one box per case (the pale boxes are
// the rectangles passed): horizontal alignment, single lines centred and at
// the bottom, wrapped lines one font height apart with no indent from the
// dropped space, the opaque background of the line in the DC's colours under a
// moved viewport, the prefix underline (and none with DT_NOPREFIX), TextOut at
// its point, and text cut at its rectangle unless DT_NOCLIP.
TEST(GdiDrawTextDraw, EachFlagPutsTheInkWhereWin32Does) {
  Canvas c(330, 150);
  const int lineH = c.Metrics().tmHeight;
  const OwnedBrush pale(CreateSolidBrush(RGB(255, 244, 200)));
  auto box = [&](RECT r) { FillRect(c.dc, &r, pale); return r; };
  RECT line = box(RECT{5, 5, 325, 25});
  DrawText(c.dc, "Left", -1, &line, DT_LEFT);
  DrawText(c.dc, "Centre", -1, &line, DT_CENTER);
  DrawText(c.dc, "Right", -1, &line, DT_RIGHT);
  RECT mid = box(RECT{5, 30, 85, 90});
  EXPECT_EQ(DrawText(c.dc, "Hg", -1, &mid, DT_SINGLELINE | DT_VCENTER), (60 - lineH) / 2 + lineH)
      << "the height drawn counts from the rectangle's top";
  RECT bottom = box(RECT{90, 30, 170, 90});
  DrawText(c.dc, "Hg", -1, &bottom, DT_SINGLELINE | DT_BOTTOM);
  RECT wrap = box(RECT{175, 30, 175 + c.Extent("mmm"), 90});
  EXPECT_EQ(DrawText(c.dc, "mmm mmm", -1, &wrap, DT_WORDBREAK), 2 * lineH);
  SetTextColor(c.dc, RGB(255, 0, 0));
  SetBkColor(c.dc, RGB(0, 0, 255));
  SetBkMode(c.dc, OPAQUE);
  SetViewportOrgEx(c.dc, 240, 30, nullptr);
  RECT opaque = box(RECT{0, 0, 80, 40});
  DrawText(c.dc, "iiii", -1, &opaque, 0);
  SetViewportOrgEx(c.dc, 0, 0, nullptr);
  SetBkMode(c.dc, TRANSPARENT);
  SetTextColor(c.dc, RGB(0, 0, 0));
  RECT prefix = box(RECT{5, 95, 60, 120}), plain = box(RECT{65, 95, 120, 120});
  DrawText(c.dc, "x&x", -1, &prefix, 0);
  DrawText(c.dc, "x&x", -1, &plain, DT_NOPREFIX);
  box(RECT{125, 95, 175, 120});
  EXPECT_TRUE(TextOut(c.dc, 125, 95, "Hello", -1));
  RECT clipped = box(RECT{180, 95, 240, 95 + lineH}), loose = box(RECT{180, 120, 240, 120 + lineH});
  DrawText(c.dc, "WWWWWWWWWWWWWW", -1, &clipped, 0);
  DrawText(c.dc, "WWWWWWWWWWWWWW", -1, &loose, DT_NOCLIP);
  EXPECT_TRUE(ktfolio::testing::MatchesGolden(c.bitmap, "platform/draw_text.png"));
}

// Under a world transform text keeps its layout in logical units and is drawn
// scaled; a clip rectangle in logical units is scaled too. The transform is
// set only in the advanced mode, which it then keeps, and SaveDC keeps it.
TEST(GdiDrawTextDraw, AWorldTransformScalesTheLaidOutTextAndTheClip) {
  Canvas c(440, 120, "Arial", -16);
  const char* text = "Scaled text";
  RECT rc{10, 10, 200, 40};
  DrawText(c.dc, text, -1, &rc, DT_NOCLIP);
  const RECT plain = c.Ink();
  c.Clear();
  const XFORM twice{.eM11 = 2, .eM22 = 2}, flat{.eM22 = 0}, endless{.eDx = std::numeric_limits<FLOAT>::infinity()};
  EXPECT_FALSE(SetWorldTransform(c.dc, &twice)) << "only in GM_ADVANCED";
  const int saved = SaveDC(c.dc);
  ASSERT_EQ(SetGraphicsMode(c.dc, GM_ADVANCED), GM_COMPATIBLE);
  EXPECT_FALSE(SetWorldTransform(c.dc, &flat)) << "no inverse";
  EXPECT_FALSE(SetWorldTransform(c.dc, &endless));
  ASSERT_TRUE(SetWorldTransform(c.dc, &twice));
  EXPECT_EQ(SetGraphicsMode(c.dc, GM_COMPATIBLE), 0) << "not while a transform is set";
  RECT logical = rc;
  DrawText(c.dc, text, -1, &logical, DT_NOCLIP);
  const RECT scaled = c.Ink();
  EXPECT_NEAR(scaled.left, 2 * plain.left, 2);
  EXPECT_NEAR(scaled.right, 2 * plain.right, 3);
  EXPECT_NEAR(scaled.bottom, 2 * plain.bottom, 3);
  c.Clear();
  IntersectClipRect(c.dc, 0, 0, 50, 60);  // device 0..100 across
  DrawText(c.dc, text, -1, &logical, DT_NOCLIP);
  EXPECT_TRUE(c.Ink().right > 50 && c.Ink().right <= 100) << c.Ink().right;
  RestoreDC(c.dc, saved);
  XFORM now;
  ASSERT_TRUE(GetWorldTransform(c.dc, &now));
  EXPECT_EQ(std::pair(now.eM11, GetGraphicsMode(c.dc)), std::pair(FLOAT{1}, GM_COMPATIBLE)) << "the saved state's";
}

// A block placed in its rectangle in one call draws what measuring it first
// and drawing it in the measured rectangle draws: at the top, in the middle
// or at the bottom, for text that fits and for text that overflows.
TEST(GdiDrawTextDraw, ABlockLaidOutOnceLandsWhereMeasuringFirstPutsIt) {
  const RECT area{10, 60, 110, 140};
  const UINT flags = DT_WORDBREAK | DT_CENTER;
  for (const char* text : {"one two three", "one two three four five six seven eight nine ten eleven twelve"}) {
    for (BlockAlign align : {BlockAlign::Top, BlockAlign::Middle, BlockAlign::Bottom}) {
      Canvas once(120, 200), twice(120, 200);
      const int lineH = once.Metrics().tmHeight;
      TextBlock block;
      block.rc = area;
      block.format = flags;
      block.align = align;
      const int h = DrawTextBlock(once.dc, text, -1, block);
      RECT rc = area;
      ASSERT_EQ(DrawText(twice.dc, text, -1, &rc, flags | DT_CALCRECT), h);
      rc.top = align == BlockAlign::Top ? area.top : align == BlockAlign::Bottom ? area.bottom - h
                                                   : area.top + (area.bottom - area.top - h) / 2;
      rc.left = area.left;
      rc.right = area.right;
      rc.bottom = rc.top + h;
      DrawText(twice.dc, text, -1, &rc, flags);
      const RECT ink = once.Ink();
      const int off = align == BlockAlign::Top      ? ink.top - area.top
                      : align == BlockAlign::Bottom ? area.bottom - ink.bottom
                                                    : std::abs((ink.top + ink.bottom) - (area.top + area.bottom)) / 2;
      EXPECT_EQ(std::tuple(once.Differing(twice), h % lineH, off >= 0 && off < lineH / 2), std::tuple(0, 0, true))
          << text << " " << static_cast<int>(align) << " " << off;
    }
  }
}

TEST(GdiDrawTextDraw, DrawnTextFitsItsMeasuredWidth) {
  Canvas c(400, 60, "Arial", -24);
  const char* text = "AVATAR Wavy Typeface";
  RECT rc{10, 10, 390, 50};
  DrawText(c.dc, text, -1, &rc, DT_NOCLIP);
  const RECT ink = c.Ink();
  const int measured = c.Extent(text);
  const TEXTMETRIC tm = c.Metrics();
  // The final 'e' nearly reaches the advance.
  EXPECT_TRUE(ink.left >= 10 && ink.right <= 10 + measured + 1 && ink.right >= 10 + measured - 4) << ink.right;
  EXPECT_TRUE(ink.bottom <= 10 + tm.tmHeight && ink.top >= 10 + tm.tmInternalLeading - 2) << ink.top;
}

// Plain lines are drawn from cached glyphs; lines with a prefix underline (or
// characters that need shaping) go through Pango. Both must put the same
// glyphs on the same pixels, or a cell would shift when it gains an '&'.
TEST(GdiDrawTextDraw, CachedGlyphsAndPangoDrawTheSamePixels) {
  struct Case { const char* face; LONG height; const char* plain; const char* prefixed; };
  const Case cases[] = {{"Arial", -16, "Total: 1,234.50 EUR", "Total: 1,234.50 EU&R"},
                        {"Times New Roman", -13, "Ångström café", "Ångström caf&é"},
                        {"Courier New", -20, "WAVE fx", "WAVE f&x"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.face);
    Canvas plain(240, 40, k.face, k.height), prefixed(240, 40, k.face, k.height);
    RECT rc{3, 2, 237, 38};
    DrawText(plain.dc, k.plain, -1, &rc, DT_SINGLELINE);
    DrawText(prefixed.dc, k.prefixed, -1, &rc, DT_SINGLELINE);
    // Compare down to the baseline: the underline sits below it.
    const int baseline = 2 + plain.Metrics().tmAscent;
    EXPECT_EQ(plain.Differing(prefixed, RECT{0, 0, 240, baseline}), 0);
    EXPECT_GT(plain.DarkCount(RECT{0, 0, 240, baseline}), 50) << "something was drawn";
  }
}
