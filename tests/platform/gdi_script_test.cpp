// Text beyond one glyph per character: clusters and emoji sequences drawn
// whole, scripts without spaces wrapped by the Unicode rules, right-to-left
// runs, and Latin text still measured and broken exactly as before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/gdi/gdi_testing.h"
#include "support/canvas.h"

using namespace ktfolio::win;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// A white canvas with one font selected and a transparent background.
struct TextCanvas : ktfolio::testing::Canvas {
  TextCanvas(int w, int h, const char* face, LONG height) : Canvas(w, h), font(ktfolio::testing::Font(face, height)) {
    old = SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
  }
  ~TextCanvas() { SelectObject(dc, old); }
  // The box of every pixel that is not white (colour emoji are not dark).
  RECT Painted() const {
    return BoxOf({0, 0, w, h}, [&](int x, int y) { return At(x, y) != kWhite; });
  }
  OwnedFont font;
  HGDIOBJ old;
};

int Width(HDC dc, const std::string& s) {
  SIZE size{};
  GetTextExtentPoint32(dc, s.c_str(), static_cast<int>(s.size()), &size);
  return size.cx;
}

// The lines DrawText lays `text` out in, in a rectangle `width` wide.
std::vector<std::string> Lines(HDC dc, const std::string& text, int width, UINT format = DT_WORDBREAK | DT_NOPREFIX) {
  std::vector<ktfolio::win::testing::DrawTextLayout> layouts;
  ktfolio::win::testing::RecordDrawText(&layouts);
  RECT rc{0, 0, width, 1000};
  DrawText(dc, text.c_str(), -1, &rc, format);
  ktfolio::win::testing::RecordDrawText(nullptr);
  return layouts.empty() ? std::vector<std::string>{} : layouts[0].lines;
}

TEST(Scripts, DecomposedTextMeasuresAndDrawsAsComposed) {
  for (const char* face : {"Arial", "DejaVu Sans", "Times New Roman"}) {
    SCOPED_TRACE(face);
    TextCanvas nfc(260, 40, face, -20), nfd(260, 40, face, -20);
    const std::string composed = "N\u00e4her Gr\u00f6\u00dfe \u00e9t\u00e9", decomposed = "Na\u0308her Gro\u0308\u00dfe e\u0301te\u0301";
    EXPECT_EQ(Width(nfc.dc, composed), Width(nfd.dc, decomposed));
    RECT a{4, 4, 256, 36}, b = a;
    DrawText(nfc.dc, composed.c_str(), -1, &a, DT_NOPREFIX);
    DrawText(nfd.dc, decomposed.c_str(), -1, &b, DT_NOPREFIX);
    EXPECT_GT(nfc.DarkCount({0, 0, 260, 40}), 100);
    EXPECT_EQ(nfc.Differing(nfd), 0);
  }
  // Only a letter and its marks are composed; what else normalization would replace stays.
  TextCanvas canvas(200, 40, "Arial", -16);
  EXPECT_EQ(Lines(canvas.dc, "\uF900 e\u0301 \u212B", 200), std::vector<std::string>{"\uF900 \u00E9 \u212B"});
}

TEST(Scripts, EmojiSequencesAreOneGlyphEach) {
  const std::string single = "\U0001F44D";
  const std::vector<std::string> sequences = {
      "\U0001F44D\U0001F3FD",                        // thumbs up, medium skin tone
      "\U0001F468\u200D\U0001F469\u200D\U0001F467",  // a family joined by ZWJ
      "\U0001F1EC\U0001F1E7",                        // the flag of the United Kingdom
  };
  TextCanvas one(200, 60, "DejaVu Sans", -32);
  RECT rc{10, 10, 190, 58};
  DrawText(one.dc, single.c_str(), -1, &rc, DT_NOPREFIX | DT_SINGLELINE);
  const RECT ink = one.Painted();
  const int inkWidth = ink.right - ink.left;
  ASSERT_GT(inkWidth, 16);
  const int advance = Width(one.dc, single);
  for (const std::string& s : sequences) {
    SCOPED_TRACE(s);
    TextCanvas c(200, 60, "DejaVu Sans", -32);
    RECT r{10, 10, 190, 58};
    DrawText(c.dc, s.c_str(), -1, &r, DT_NOPREFIX | DT_SINGLELINE);
    const RECT box = c.Painted();
    EXPECT_NEAR(box.right - box.left, inkWidth, inkWidth / 5);
    EXPECT_NEAR(Width(c.dc, s), advance, advance / 5);
  }
}

TEST(Scripts, ChineseAndThaiWrapInsideTheCell) {
  struct Case { const char* name; const char* face; std::string text; };
  const Case cases[] = {
      {"Chinese", "Noto Sans CJK SC",
       "\u4eca\u5929\u5929\u6c14\u5f88\u597d\uff0c\u6211\u4eec\u53bb\u516c\u56ed\u6563\u6b65\u5427\u3002"
       "\u6211\u4eec\u4e00\u8d77\u53bb\u770b\u4e66\u3001\u5199\u5b57\u3001\u753b\u753b\u3002"},
      {"Japanese", "Noto Sans CJK JP",
       "\u3053\u308c\u306f\u65e5\u672c\u8a9e\u306e\u6587\u7ae0\u3067\u3059\u3002\u5358\u8a9e\u306e"
       "\u9593\u306b\u7a7a\u767d\u304c\u3042\u308a\u307e\u305b\u3093\u3002"},
      {"Thai", "Noto Sans Thai",
       "\u0e20\u0e32\u0e29\u0e32\u0e44\u0e17\u0e22\u0e40\u0e02\u0e35\u0e22\u0e19\u0e15\u0e34\u0e14"
       "\u0e01\u0e31\u0e19\u0e42\u0e14\u0e22\u0e44\u0e21\u0e48\u0e21\u0e35\u0e0a\u0e48\u0e2d\u0e07"
       "\u0e27\u0e48\u0e32\u0e07\u0e23\u0e30\u0e2b\u0e27\u0e48\u0e32\u0e07\u0e04\u0e33"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextCanvas canvas(200, 400, c.face, -16);
    const std::vector<std::string> lines = Lines(canvas.dc, c.text, 120);
    ASSERT_GE(lines.size(), 3u);
    std::string joined;
    for (const std::string& l : lines) {
      EXPECT_LE(Width(canvas.dc, l), 120) << l;
      joined += l;
    }
    EXPECT_EQ(joined, c.text);  // nothing dropped or doubled at the breaks
    canvas.Clear();
    RECT rc{10, 10, 130, 390};
    const int height = DrawText(canvas.dc, c.text.c_str(), -1, &rc, DT_WORDBREAK | DT_NOPREFIX);
    RECT calc{0, 0, 120, 0};
    EXPECT_EQ(DrawText(canvas.dc, c.text.c_str(), -1, &calc, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT), height);
    const RECT ink = canvas.Ink();
    EXPECT_TRUE(ink.left >= 10 && ink.right <= 130 && ink.bottom <= 10 + height)
        << ink.left << " " << ink.right << " " << ink.bottom;
  }
}

TEST(Scripts, LatinStillBreaksOnlyAtSpaces) {
  TextCanvas canvas(300, 200, "Arial", -16);
  // Hyphens, slashes and a long word: the Unicode rules would break after
  // the first two; the breaks stay at spaces, and the long word is kept whole.
  EXPECT_EQ(Lines(canvas.dc, "well-known and/or self-evident", 60),
            (std::vector<std::string>{"well-known", "and/or", "self-evident"}));
  EXPECT_EQ(Lines(canvas.dc, "Extraordinarily long", 40), (std::vector<std::string>{"Extraordinarily", "long"}));
  // Latin next to Chinese breaks at the Chinese side only.
  const std::vector<std::string> mixed = Lines(canvas.dc, "Hello-world\u4f60\u597d\u4e16\u754c", 100);
  ASSERT_FALSE(mixed.empty());
  EXPECT_EQ(mixed[0].rfind("Hello-world", 0), 0u);
}

TEST(Scripts, RightToLeftLinesKeepTheirPlaceAndLogicalOrder) {
  TextCanvas canvas(400, 120, "DejaVu Sans", -18);
  const std::string hebrew = "\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd 2026 \u05ea\u05d5\u05d3\u05d4";
  // A left-aligned cell stays left-aligned: the ink starts at the rectangle's left.
  RECT rc{20, 10, 380, 40};
  DrawText(canvas.dc, hebrew.c_str(), -1, &rc, DT_NOPREFIX | DT_LEFT);
  const RECT ink = canvas.Ink();
  EXPECT_NEAR(ink.left, 20, 3);
  EXPECT_NEAR(ink.right, 20 + Width(canvas.dc, hebrew), 3);
  // Wrapped, the first line holds the first words in reading order.
  const std::vector<std::string> lines = Lines(canvas.dc, hebrew, 110);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("\u05e9\u05dc\u05d5\u05dd", 0), 0u);
}

}  // namespace
