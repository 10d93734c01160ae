// The frame through its window: the flood fill and its inverted text, the
// title's three alignments, the mosaic's tiling modes and the property bag,
// with a round trip of every persisted key of both companion controls.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "controls/ktboton.h"
#include "controls/ktmarco.h"
#include "platform/container/form.h"
#include "platform/gdi/gdi.h"
#include "support/golden.h"

namespace ktfolio {
namespace {

using namespace win;

const std::uint32_t kFace = GetSysColor(COLOR_BTNFACE);
constexpr COLORREF kRed = 0x0000FF, kGreen = 0x00FF00;

class MarcoTest : public ::testing::Test {
 protected:
  MarcoTest() : form_(300, 100), frame_(form_.hwnd(), "fraTest", form_) {}
  // The frame at the form's corner, w x h, with no bevel when `flat`.
  void Place(int w, int h, bool flat) {
    MoveWindow(frame_.hwnd(), 0, 0, w, h, TRUE);
    if (flat) frame_.BevelOuter(ppBevelNone);
  }
  COLORREF At(int x, int y) { return user::WindowPixel(frame_.hwnd(), x, y); }
  Form form_;
  KtMarco frame_;
};

TEST_F(MarcoTest, FloodPercentIsClampedAndFillsFromTheLeft) {
  EXPECT_EQ(frame_.Caption(), "fraTest");
  frame_.FloodPercent(150);
  EXPECT_EQ(frame_.FloodPercent(), 100);
  frame_.FloodPercent(-5);
  EXPECT_EQ(frame_.FloodPercent(), 0);
  // Border 1, bevel 2, margin 2: a 111-pixel panel leaves 101 pixels (5..105).
  Place(111, 40, false);
  frame_.Caption("");
  frame_.FloodColor(kRed);
  frame_.Flood(ppFloodToRight);
  int changes = 0;
  frame_.FloodChange = [&changes] { ++changes; };
  frame_.FloodPercent(50);
  EXPECT_EQ(changes, 1);
  form_.Show();
  // Half of 101 + 1 = 51 pixels: 5..55 red, 56 not; the outer border black.
  EXPECT_EQ(std::tuple(At(55, 20), At(56, 20) == kRed, At(0, 0)), std::tuple(kRed, false, 0u));
  frame_.BorderWidth(0);
  EXPECT_NE(At(0, 0), 0u);
}

TEST_F(MarcoTest, ShowingThePercentInvertsTheTextOverTheFill) {
  Place(111, 40, false);
  frame_.Font(MakeFont("DejaVu Sans", 14, true));
  frame_.ForeColor(0x000000);
  frame_.FloodColor(0xFF0000);
  frame_.Flood(ppFloodToRight);
  frame_.FloodShowPct(true);
  frame_.FloodPercent(50);
  form_.Show();
  // The centred "50%" straddles the fill's edge at x = 55.
  int inverted = 0, plain = 0, filled = 0;
  for (int y = 5; y < 35; ++y)
    for (int x = 5; x <= 105; ++x) {
      const COLORREF c = At(x, y);
      inverted += x <= 54 && c == kFace;
      filled += x <= 54 && c == 0xFF0000u;
      plain += x >= 56 && c == 0u;
    }
  EXPECT_GT(inverted, 10) << "the text shows in the background colour inside the fill";
  EXPECT_GT(plain, 10) << "and in the text colour outside it";
  EXPECT_GT(filled, 500);
}

TEST_F(MarcoTest, TheTitleSitsLeftRightOrCentredInTheFrameLine) {
  Place(240, 60, true);
  frame_.Caption("");
  frame_.Frame(ppFrameTop);
  frame_.FrameTitle("Page");
  form_.Show();
  // Border 1: the etched line runs along row 1 (dark) and row 2 (light); the
  // title's box cuts it from `first` to `last`.
  auto gap = [this] {
    int first = -1, last = -1;
    for (int x = 4; x < 236; ++x) {
      if (At(x, 1) != kFace) continue;
      if (first < 0) first = x;
      last = x;
    }
    return std::pair(first, last);
  };
  ASSERT_NE(At(120, 1), kFace) << "the frame line is drawn";
  std::pair<int, int> gaps[3];
  for (int align = 0; align < 3; ++align) {
    frame_.FrameAlign(align);
    gaps[align] = gap();
    ASSERT_GT(gaps[align].first, 0) << "align " << align << ": the title cuts the line";
  }
  const int width = gaps[0].second - gaps[0].first;
  EXPECT_LT(gaps[0].first, 12) << "left: FrameWidth + 2 in from the line's left end";
  EXPECT_GT(gaps[1].second, 240 - 12) << "right: against the right limit";
  EXPECT_EQ(std::pair(gaps[1].second - gaps[1].first, gaps[2].second - gaps[2].first), std::pair(width, width));
  EXPECT_NEAR((gaps[2].first + gaps[2].second) / 2.0, 120, 3) << "centred";
  frame_.FrameTitle("");
  EXPECT_EQ(gap().first, -1) << "no title, no cut";
}

// A solid 6 x 4 tile of `color`.
std::shared_ptr<Picture> Tile(COLORREF color) {
  return std::make_shared<Picture>(ktfolio::testing::SolidBitmap(6, 4, color));
}

TEST_F(MarcoTest, TheMosaicTilesWithItsSpacingAndAlternates) {
  Place(100, 60, true);
  frame_.Caption("");
  frame_.MosaicPicture(Tile(kGreen));
  frame_.MosaicBorder(2);
  form_.Show();
  // Inside the 1-pixel border tiles start at (1, 1) every 8 by 6 pixels; the
  // last tile is cut at the border, the spacing between them stays face.
  const std::tuple<int, int, int, COLORREF> probes[] = {
      {ppMosaicNormal, 1, 1, kGreen}, {ppMosaicNormal, 6, 4, kGreen}, {ppMosaicNormal, 7, 2, kFace},
      {ppMosaicNormal, 9, 1, kGreen}, {ppMosaicNormal, 2, 7, kGreen}, {ppMosaicNormal, 99, 59, 0},
      {ppMosaicNormal, 98, 58, kGreen}, {ppMosaicOnOff, 1, 1, kGreen}, {ppMosaicOnOff, 9, 1, kFace},
      {ppMosaicOnOff, 9, 7, kGreen},  {ppMosaicOffOn, 1, 1, kFace},   {ppMosaicOffOn, 9, 1, kGreen},
      {ppMosaicNone, 1, 1, kFace}};
  for (const auto& [mode, x, y, color] : probes) {
    frame_.Mosaic(mode);
    EXPECT_EQ(At(x, y), color) << "mode " << mode << " at " << x << "," << y;
  }
}

TEST_F(MarcoTest, HidingAndShowingItsChildren) {
  KtMarco inner(frame_.hwnd(), "fraInner", form_);
  frame_.HideChildren();
  EXPECT_FALSE(IsWindowVisible(inner.hwnd()));
  frame_.ShowChildren();
  form_.Show();
  EXPECT_TRUE(IsWindowVisible(inner.hwnd()));
}

// Every key's round trip is in CompanionBag; here the untouched frame, the
// fonts and the mosaic's picture bytes, and a hostile bag.
TEST_F(MarcoTest, PicturesAndFontsGoThroughTheBagAndAHostileBagIsTamed) {
  PropertyBag untouched;
  frame_.WriteProperties(untouched);
  EXPECT_TRUE(untouched.Entries().empty()) << untouched.ToText();
  frame_.FrameFont(MakeFont("DejaVu Serif", 12, false, true));
  frame_.MosaicPicture(Tile(kGreen));
  PropertyBag bag;
  frame_.WriteProperties(bag);
  KtMarco copy(form_.hwnd(), "fraB", form_);
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  EXPECT_EQ(std::pair(copy.FrameFont()->Name, copy.FrameFont()->Italic), std::pair(std::string("DejaVu Serif"), true));
  EXPECT_EQ(copy.Font()->Name, frame_.Font()->Name) << "the caption font stayed the ambient one";
  ASSERT_TRUE(copy.MosaicPicture());
  MoveWindow(copy.hwnd(), 0, 0, 50, 30, TRUE);
  copy.Flood(ppFloodNone);
  copy.Frame(ppFrameNone);
  copy.BevelOuter(ppBevelNone);
  copy.Mosaic(ppMosaicNormal);
  form_.Show();
  EXPECT_EQ(user::WindowPixel(copy.hwnd(), 1, 1), kGreen) << "the tile came back from its PNG bytes";
  copy.ReadProperties(PropertyBag::FromText(
      "ktfolio property bag 1\nFloodPercent=Integer:150\nMosaicPicture=Bytes:bm90IGFuIGltYWdl\n"));
  EXPECT_EQ(copy.FloodPercent(), 100) << "a stored percentage is clamped like a set one";
  EXPECT_FALSE(copy.MosaicPicture()) << "bytes that are no image give no picture";
  EXPECT_EQ(copy.Caption(), "fraB");
}

// A persisted key of a companion with a value other than its default, set
// through the public setter, and the value the bag must hold for it.
template <typename Control>
struct BagRow {
  const char* key;
  Variant stored;
  std::function<void(Control&)> set;
};
Variant L(std::int64_t v) { return Variant(static_cast<std::int32_t>(v)); }
Variant I(std::int16_t v) { return Variant(v); }
Variant B(bool v) { return Variant(v); }
Variant S(const char* v) { return Variant(std::string(v)); }
// The key, the value the bag holds (made by `kind` from `value`) and the setter of the same name.
#define KEY(name, kind, value) {#name, kind(value), [](auto& c) { c.name(value); }}

// The bag holds exactly the rows' keys, in order, with their values, and a
// control read from it writes the same bag again.
template <typename Control>
void ExpectEveryKeyRoundTrips(Form& form, const std::vector<BagRow<Control>>& rows) {
  Control original(form.hwnd(), "ctlA", form), copy(form.hwnd(), "ctlB", form);
  for (const BagRow<Control>& row : rows) row.set(original);
  PropertyBag bag, again;
  original.WriteProperties(bag);
  ASSERT_EQ(bag.Entries().size(), rows.size()) << bag.ToText();
  for (std::size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(std::tie(bag.Entries()[i].name, bag.Entries()[i].value), std::tuple(rows[i].key, rows[i].stored));
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  copy.WriteProperties(again);
  EXPECT_EQ(again.ToText(), bag.ToText());
}

TEST(CompanionBag, EveryPersistedKeyRoundTripsInItsOrder) {
  Form form(200, 100);
  ExpectEveryKeyRoundTrips<KtBoton>(
      form, {KEY(BackColor, L, 0x80000012), KEY(BackPressedColor, L, 0x102030), KEY(BackLightColor, L, 0x405060),
             KEY(BackShadowColor, L, 0x708090), KEY(BevelWidth, L, 5), KEY(BorderWidth, L, 6),
             KEY(BorderFocusedWidth, L, 7), KEY(Caption, S, "&Go"), KEY(CaptionPos, L, 8),
             KEY(ClickFocused, B, false), KEY(Enabled, B, false), KEY(ForeColor, L, 0x0000FF),
             KEY(ForeFocusedColor, L, 0x00FF00), KEY(IconName, S, "save"), KEY(MarginWidth, L, 9),
             KEY(MousePointer, I, 11), KEY(PictureWidth, L, 12), KEY(PictureHeight, L, 13), KEY(PicturePos, L, 1),
             KEY(ShadeMode, L, ppHQShade), KEY(ShowFocusRect, B, true), KEY(Style, L, ppToggleButton),
             KEY(Value, L, -1)});
  ExpectEveryKeyRoundTrips<KtMarco>(
      form, {KEY(BackColor, L, 0x80000012), KEY(BackLightColor, L, 0x405060), KEY(BackShadowColor, L, 0x708090),
             KEY(BevelOuter, L, ppBevelInset), KEY(BevelInner, L, ppBevelRaised), KEY(BevelWidth, L, 5),
             KEY(BorderWidth, L, 6), KEY(Caption, S, "Sum"), KEY(CaptionPos, L, 8), KEY(Enabled, B, false),
             KEY(Flood, L, ppFloodToTop), KEY(FloodColor, L, 0x00FF00), KEY(FloodPercent, I, 40),
             KEY(FloodShowPct, B, true), KEY(FontSlip, I, 3), KEY(FontStyle, L, 2), KEY(ForeColor, L, 0x0000FF),
             KEY(Frame, L, ppFrameBottom), KEY(FrameAlign, L, 1), KEY(FrameColor, L, 0x112233),
             KEY(FrameTitle, S, "Totals"), KEY(FrameWidth, L, 4), KEY(MarginWidth, L, 9),
             KEY(Mosaic, L, ppMosaicOffOn), KEY(MosaicBorder, I, 2), KEY(MousePointer, I, 11),
             KEY(WordWrap, B, false)});
}

}  // namespace
}  // namespace ktfolio
