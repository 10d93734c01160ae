// Fonts, metrics and DrawText: measuring and line breaking the way the
// document layout relies on, and where the ink ends up when drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_transform.h"
#include "support/canvas.h"
#include "support/golden.h"

using namespace ktfolio::win;

namespace {

// The test canvas with one font selected and a transparent background.
class Canvas : public ktfolio::testing::Canvas {
 public:
  Canvas(int w, int h, const char* face = "Arial", LONG height = -16, LONG weight = FW_NORMAL)
      : ktfolio::testing::Canvas(w, h) {
    SetFont(face, height, weight);
    SetBkMode(dc, TRANSPARENT);
  }
  ~Canvas() {
    SelectObject(dc, oldFont_);
    DeleteObject(font_);
  }
  void SetFont(const char* face, LONG height, LONG weight = FW_NORMAL) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::strcpy(lf.lfFaceName, face);
    HFONT f = CreateFontIndirect(&lf);
    HGDIOBJ old = SelectObject(dc, f);
    if (font_) DeleteObject(font_);
    else oldFont_ = old;
    font_ = f;
  }
  TEXTMETRIC Metrics() {
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    return tm;
  }
  int Extent(const char* s) {
    SIZE sz;
    GetTextExtentPoint32(dc, s, -1, &sz);
    return sz.cx;
  }
  int Lines(const char* text, UINT flags, int width = 1000) {
    RECT rc{0, 0, width, 1};
    int h = DrawText(dc, text, -1, &rc, flags | DT_CALCRECT);
    EXPECT_EQ(h, rc.bottom - rc.top);
    return h / Metrics().tmHeight;
  }

 private:
  HFONT font_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

// ---- font resolution and metrics ----

TEST(GdiFont, ClassicFacesResolveToMetricCompatibleLiberationFamilies) {
  Canvas c(10, 10, "Arial");
  EXPECT_EQ(ResolvedFontFamily(c.dc), "Liberation Sans");
  c.SetFont("Times New Roman", -16);
  EXPECT_EQ(ResolvedFontFamily(c.dc), "Liberation Serif");
  c.SetFont("Courier New", -16);
  EXPECT_EQ(ResolvedFontFamily(c.dc), "Liberation Mono");
  // Arial's widths: 'W' is 1933/2048 em, space 569/2048 em.
  c.SetFont("Arial", -100);
  INT w[1];
  ASSERT_TRUE(GetCharWidth32(c.dc, 'W', 'W', w));
  EXPECT_NEAR(w[0], 94, 1);
  ASSERT_TRUE(GetCharWidth32(c.dc, ' ', ' ', w));
  EXPECT_NEAR(w[0], 28, 1);
}

TEST(GdiFont, MetricsFollowTheRequestedHeight) {
  Canvas c(10, 10, "Arial", -12);
  TEXTMETRIC small = c.Metrics();
  c.SetFont("Arial", -48);
  TEXTMETRIC big = c.Metrics();
  for (const TEXTMETRIC& tm : {small, big}) {
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GT(tm.tmDescent, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  }
  // Negative height is the em: the cell adds the internal leading on top.
  EXPECT_EQ(small.tmHeight - small.tmInternalLeading, 12);
  EXPECT_EQ(big.tmHeight - big.tmInternalLeading, 48);
  EXPECT_GT(big.tmHeight, 3 * small.tmHeight);
  EXPECT_GT(big.tmAveCharWidth, 3 * small.tmAveCharWidth);
  // Arial at 12 pt on a 96-dpi screen averages 7 pixels a character.
  c.SetFont("Arial", -16);
  EXPECT_EQ(c.Metrics().tmAveCharWidth, 7);
  // Positive height is the cell height.
  c.SetFont("Arial", 40);
  EXPECT_NEAR(c.Metrics().tmHeight, 40, 1);
  c.SetFont("Arial", 0);
  EXPECT_GT(c.Metrics().tmHeight, 5);  // a default size, not an invisible font
}

TEST(GdiFont, StyleShowsInMetricsAndWidths) {
  Canvas c(10, 10, "Arial", -40);
  int regular = c.Extent("Bold words");
  c.SetFont("Arial", -40, FW_BOLD);
  EXPECT_EQ(c.Metrics().tmWeight, FW_BOLD);
  EXPECT_GT(c.Extent("Bold words"), regular);
  c.SetFont("Courier New", -20);
  INT w[95];
  ASSERT_TRUE(GetCharWidth32(c.dc, 32, 126, w));
  EXPECT_TRUE(std::all_of(w, w + 95, [&](INT x) { return x == w[0]; })) << "Courier New is fixed pitch";
}

TEST(GdiFont, HeightIsInDeviceUnitsWhateverTheResolution) {
  LOGFONT lf;
  lf.lfHeight = -50;
  std::strcpy(lf.lfFaceName, "Arial");
  HFONT f = CreateFontIndirect(&lf);
  SetScreenLogPixels(600, 600);
  HDC hi = CreateCompatibleDC(nullptr);
  SetScreenLogPixels(96, 96);
  HDC lo = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(hi, LOGPIXELSY), 600);
  EXPECT_EQ(GetDeviceCaps(lo, LOGPIXELSY), 96);
  TEXTMETRIC a, b;
  HGDIOBJ o1 = SelectObject(hi, f);
  GetTextMetrics(hi, &a);
  SelectObject(hi, o1);
  HGDIOBJ o2 = SelectObject(lo, f);
  GetTextMetrics(lo, &b);
  SelectObject(lo, o2);
  EXPECT_EQ(a.tmHeight, b.tmHeight);
  DeleteDC(hi);
  DeleteDC(lo);
  DeleteObject(f);
}

TEST(GdiFont, TextExtentIsTheSumOfCharacterWidthsWithoutKerning) {
  Canvas c(10, 10, "Arial", -30);
  INT w[26];
  ASSERT_TRUE(GetCharWidth32(c.dc, 'A', 'Z', w));
  EXPECT_EQ(c.Extent("AVAT"), 2 * w[0] + w['V' - 'A'] + w['T' - 'A']);
  EXPECT_EQ(c.Extent("AV"), c.Extent("A") + c.Extent("V"));
  SIZE sz;
  GetTextExtentPoint32(c.dc, "AVATAR", 2, &sz);  // a length counts bytes
  EXPECT_EQ(sz.cx, c.Extent("AV"));
  EXPECT_EQ(sz.cy, c.Metrics().tmHeight);
  // Non-ASCII text is UTF-8.
  INT eacute[1];
  GetCharWidth32(c.dc, 0xE9, 0xE9, eacute);
  EXPECT_EQ(c.Extent("\xC3\xA9t\xC3\xA9"), 2 * eacute[0] + c.Extent("t"));
}

// ---- DrawText measuring ----

TEST(GdiDrawTextMeasure, SingleLineIsOneFontHeightAndTheTextWide) {
  Canvas c(10, 10);
  RECT rc{5, 7, 500, 8};
  int h = DrawText(c.dc, "Hello world", -1, &rc, DT_CALCRECT);
  EXPECT_EQ(h, c.Metrics().tmHeight);
  EXPECT_EQ(rc.top, 7);
  EXPECT_EQ(rc.bottom, 7 + h);
  EXPECT_EQ(rc.left, 5);
  EXPECT_EQ(rc.right, 5 + c.Extent("Hello world"));
}

TEST(GdiDrawTextMeasure, EachLineBreakConventionStartsOneLine) {
  Canvas c(10, 10);
  EXPECT_EQ(c.Lines("a\r\nb", 0), 2);
  EXPECT_EQ(c.Lines("a\rb", 0), 2);
  EXPECT_EQ(c.Lines("a\nb", 0), 2);
  EXPECT_EQ(c.Lines("a\r\n\r\nb", 0), 3);
  EXPECT_EQ(c.Lines("a\n\rb", 0), 3);  // LF then CR are two breaks
  EXPECT_EQ(c.Lines("a\r\nb", DT_SINGLELINE), 1);
  // The widest line sets the width.
  RECT rc{0, 0, 1000, 1};
  DrawText(c.dc, "ab\r\nabcdef\r\nabc", -1, &rc, DT_CALCRECT);
  EXPECT_EQ(rc.right, c.Extent("abcdef"));
}

TEST(GdiDrawTextMeasure, WordBreakWrapsBetweenWordsWithinTheWidth) {
  Canvas c(10, 10);
  const char* text = "the quick brown fox jumps over the lazy dog again and again";
  const int width = c.Extent("the quick brown");
  EXPECT_EQ(c.Lines(text, 0, width), 1);
  int lines = c.Lines(text, DT_WORDBREAK, width);
  EXPECT_GE(lines, 4);
  RECT rc{0, 0, width, 1};
  DrawText(c.dc, text, -1, &rc, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_LE(rc.right, width);
  EXPECT_GT(rc.right, width / 2);
  // Exactly fitting words stay together; the space at the break takes no room.
  EXPECT_EQ(c.Lines("the quick brown fox", DT_WORDBREAK, width), 2);
  RECT exact{0, 0, c.Extent("aaa"), 1};
  DrawText(c.dc, "aaa     bbb", -1, &exact, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(exact.bottom, 2 * c.Metrics().tmHeight);
  EXPECT_EQ(exact.right, c.Extent("aaa"));
  // Hard breaks still apply inside wrapped text.
  EXPECT_EQ(c.Lines("a\nb", DT_WORDBREAK), 2);
}

TEST(GdiDrawTextMeasure, AWordWiderThanTheLineStaysWholeOnItsOwnLine) {
  Canvas c(10, 10);
  const char* word = "Supercalifragilistic";
  RECT rc{0, 0, 20, 1};
  int h = DrawText(c.dc, word, -1, &rc, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(h, c.Metrics().tmHeight);
  EXPECT_EQ(rc.right, c.Extent(word));  // the rectangle grows to the word
  EXPECT_EQ(c.Lines("a Supercalifragilistic b", DT_WORDBREAK, 20), 3);
  // A zero width puts every word on its own line.
  EXPECT_EQ(c.Lines("one two three", DT_WORDBREAK, 0), 3);
}

TEST(GdiDrawTextMeasure, PrefixCharactersAreProcessedUnlessNoPrefix) {
  Canvas c(10, 10);
  auto width = [&](const char* s, UINT flags) {
    RECT rc{0, 0, 1000, 1};
    DrawText(c.dc, s, -1, &rc, flags | DT_CALCRECT);
    return rc.right;
  };
  EXPECT_EQ(width("A&B", 0), c.Extent("AB"));        // the '&' takes no width
  EXPECT_EQ(width("A&&B", 0), c.Extent("A&B"));      // "&&" shows one '&'
  EXPECT_GT(width("A&&B", 0), width("A&B", 0));
  EXPECT_EQ(width("A&B", DT_NOPREFIX), c.Extent("A&B"));
  EXPECT_EQ(width("A&&B", DT_NOPREFIX), c.Extent("A&&B"));
}

TEST(GdiDrawTextMeasure, TabsExpandToEightAverageCharactersOnlyWhenAsked) {
  Canvas c(10, 10);
  auto width = [&](const char* s, UINT flags) {
    RECT rc{0, 0, 1000, 1};
    DrawText(c.dc, s, -1, &rc, flags | DT_CALCRECT);
    return rc.right;
  };
  const int stop = 8 * c.Metrics().tmAveCharWidth;
  EXPECT_EQ(width("a\tb", DT_EXPANDTABS), stop + c.Extent("b"));
  EXPECT_EQ(width("a\t\tb", DT_EXPANDTABS), 2 * stop + c.Extent("b"));
  EXPECT_EQ(width("a\tb", 0), c.Extent("a b"));  // unexpanded, a tab is as wide as a space
}

TEST(GdiDrawTextMeasure, EmptyTextIsOneLineHighButMeasuresEmpty) {
  Canvas c(10, 10);
  RECT rc{3, 4, 100, 50};
  EXPECT_EQ(DrawText(c.dc, "", -1, &rc, DT_CALCRECT | DT_WORDBREAK), c.Metrics().tmHeight);
  EXPECT_EQ(rc.bottom, rc.top);
  RECT draw{3, 4, 100, 50};
  EXPECT_EQ(DrawText(c.dc, "", -1, &draw, 0), c.Metrics().tmHeight);
  EXPECT_TRUE(IsEmpty(c.Ink()));
}

// ---- DrawText drawing ----

// Where DrawText and TextOut put the ink, one box per case (the pale boxes are
// the rectangles passed): horizontal alignment, single lines centred and at
// the bottom, wrapped lines one font height apart with no indent from the
// dropped space, the opaque background of the line in the DC's colours under a
// moved viewport, the prefix underline (and none with DT_NOPREFIX), TextOut at
// its point, and text cut at its rectangle unless DT_NOCLIP.
TEST(GdiDrawTextDraw, EachFlagPutsTheInkWhereWin32Does) {
  Canvas c(330, 150);
  const int lineH = c.Metrics().tmHeight;
  auto box = [&](RECT r) {
    HBRUSH pale = CreateSolidBrush(RGB(255, 244, 200));
    FillRect(c.dc, &r, pale);
    DeleteObject(pale);
    return r;
  };
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
  XFORM twice;
  twice.eM11 = twice.eM22 = 2;
  EXPECT_FALSE(SetWorldTransform(c.dc, &twice)) << "only in GM_ADVANCED";
  XFORM flat, endless;
  flat.eM22 = 0;
  endless.eDx = std::numeric_limits<FLOAT>::infinity();
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
  EXPECT_GT(c.Ink().right, 50);
  EXPECT_LE(c.Ink().right, 100);
  RestoreDC(c.dc, saved);
  XFORM now;
  ASSERT_TRUE(GetWorldTransform(c.dc, &now));
  EXPECT_EQ(now.eM11, 1) << "the saved state had the identity";
  EXPECT_EQ(GetGraphicsMode(c.dc), GM_COMPATIBLE);
}

TEST(GdiDrawTextDraw, DrawnTextFitsItsMeasuredWidth) {
  Canvas c(400, 60, "Arial", -24);
  const char* text = "AVATAR Wavy Typeface";
  RECT rc{10, 10, 390, 50};
  DrawText(c.dc, text, -1, &rc, DT_NOCLIP);
  RECT ink = c.Ink();
  int measured = c.Extent(text);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 10 + measured + 1);
  EXPECT_GE(ink.right, 10 + measured - 4);  // the final 'e' nearly reaches the advance
  TEXTMETRIC tm = c.Metrics();
  EXPECT_LE(ink.bottom, 10 + tm.tmHeight);
  EXPECT_GE(ink.top, 10 + tm.tmInternalLeading - 2);
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
    int differing = 0;
    for (int y = 0; y < baseline; ++y)
      for (int x = 0; x < 240; ++x) differing += GetPixel(plain.dc, x, y) != GetPixel(prefixed.dc, x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(plain.DarkCount(RECT{0, 0, 240, baseline}), 50) << "something was drawn";
  }
}
