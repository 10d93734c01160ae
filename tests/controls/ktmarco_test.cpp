// The frame through its window: the flood fill and its inverted text, the
// title's three alignments, the mosaic's tiling modes and the property bag,
// with a round trip of every persisted key of both companion controls.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
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

TEST(Marco, FloodPercentIsClampedAndFillsFromTheLeft) {
  Form form(200, 100);
  KtMarco frame(form.hwnd(), "fraProgress", form);
  EXPECT_EQ(frame.Caption(), "fraProgress");
  frame.FloodPercent(150);
  EXPECT_EQ(frame.FloodPercent(), 100);
  frame.FloodPercent(-5);
  EXPECT_EQ(frame.FloodPercent(), 0);
  // Border 1, bevel 2, margin 2: a 111-pixel panel leaves 101 pixels (5..105).
  MoveWindow(frame.hwnd(), 0, 0, 111, 40, TRUE);
  frame.Caption("");
  frame.FloodColor(0x0000FF);
  frame.Flood(ppFloodToRight);
  int changes = 0;
  frame.FloodChange = [&changes] { ++changes; };
  frame.FloodPercent(50);
  EXPECT_EQ(changes, 1);
  form.Show();
  // Half of 101 + 1 = 51 pixels: 5..55 red, 56 not.
  EXPECT_EQ(user::WindowPixel(frame.hwnd(), 55, 20), 0x0000FFu);
  EXPECT_NE(user::WindowPixel(frame.hwnd(), 56, 20), 0x0000FFu);
  EXPECT_EQ(user::WindowPixel(frame.hwnd(), 0, 0), 0u) << "the black outer border";
  frame.BorderWidth(0);
  EXPECT_NE(user::WindowPixel(frame.hwnd(), 0, 0), 0u);
}

TEST(Marco, ShowingThePercentInvertsTheTextOverTheFill) {
  Form form(200, 100);
  KtMarco frame(form.hwnd(), "fraProgress", form);
  MoveWindow(frame.hwnd(), 0, 0, 111, 40, TRUE);
  frame.Font(MakeFont("DejaVu Sans", 14, true));
  frame.ForeColor(0x000000);
  frame.FloodColor(0xFF0000);
  frame.Flood(ppFloodToRight);
  frame.FloodShowPct(true);
  frame.FloodPercent(50);
  form.Show();
  // The centred "50%" straddles the fill's edge at x = 55.
  int inverted = 0, plain = 0, filled = 0;
  for (int y = 5; y < 35; ++y)
    for (int x = 5; x <= 105; ++x) {
      const COLORREF c = user::WindowPixel(frame.hwnd(), x, y);
      if (x <= 54 && c == kFace) ++inverted;
      if (x <= 54 && c == 0xFF0000u) ++filled;
      if (x >= 56 && c == 0u) ++plain;
    }
  EXPECT_GT(inverted, 10) << "the text shows in the background colour inside the fill";
  EXPECT_GT(plain, 10) << "and in the text colour outside it";
  EXPECT_GT(filled, 500);
}

// The columns of row `y` where the frame line is cut by the title's box.
std::pair<int, int> TitleGap(HWND hwnd, int width, int y) {
  int first = -1, last = -1;
  for (int x = 4; x < width - 4; ++x)
    if (user::WindowPixel(hwnd, x, y) == kFace) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}

TEST(Marco, TheTitleSitsLeftRightOrCentredInTheFrameLine) {
  Form form(300, 100);
  KtMarco frame(form.hwnd(), "fraTitle", form);
  MoveWindow(frame.hwnd(), 0, 0, 240, 60, TRUE);
  frame.BevelOuter(ppBevelNone);
  frame.Caption("");
  frame.Frame(ppFrameTop);
  frame.FrameTitle("Page");
  form.Show();
  // Border 1: the etched line runs along row 1 (dark) and row 2 (light).
  ASSERT_NE(user::WindowPixel(frame.hwnd(), 120, 1), kFace) << "the frame line is drawn";
  std::pair<int, int> gaps[3];
  for (int align = 0; align < 3; ++align) {
    frame.FrameAlign(align);
    gaps[align] = TitleGap(frame.hwnd(), 240, 1);
    ASSERT_GT(gaps[align].first, 0) << "align " << align << ": the title cuts the line";
  }
  const int width = gaps[0].second - gaps[0].first;
  EXPECT_LT(gaps[0].first, 12) << "left: FrameWidth + 2 in from the line's left end";
  EXPECT_GT(gaps[1].second, 240 - 12) << "right: against the right limit";
  EXPECT_EQ(gaps[1].second - gaps[1].first, width);
  EXPECT_EQ(gaps[2].second - gaps[2].first, width);
  EXPECT_NEAR((gaps[2].first + gaps[2].second) / 2.0, 120, 3) << "centred";
  frame.FrameTitle("");
  EXPECT_EQ(TitleGap(frame.hwnd(), 240, 1).first, -1) << "no title, no cut";
}

// A solid 6 x 4 tile of `color`.
std::shared_ptr<Picture> Tile(COLORREF color) { return std::make_shared<Picture>(ktfolio::testing::SolidBitmap(6, 4, color)); }

TEST(Marco, TheMosaicTilesWithItsSpacingAndAlternates) {
  Form form(200, 100);
  KtMarco frame(form.hwnd(), "fraMosaic", form);
  MoveWindow(frame.hwnd(), 0, 0, 100, 60, TRUE);
  frame.BevelOuter(ppBevelNone);
  frame.Caption("");
  frame.MosaicPicture(Tile(0x00FF00));
  frame.MosaicBorder(2);
  frame.Mosaic(ppMosaicNormal);
  form.Show();
  // Inside the 1-pixel border tiles start at (1, 1) every 8 by 6 pixels.
  auto px = [&](int x, int y) { return user::WindowPixel(frame.hwnd(), x, y); };
  EXPECT_EQ(px(1, 1), 0x00FF00u);
  EXPECT_EQ(px(6, 4), 0x00FF00u);
  EXPECT_EQ(px(7, 2), kFace) << "the spacing between tiles";
  EXPECT_EQ(px(9, 1), 0x00FF00u);
  EXPECT_EQ(px(2, 7), 0x00FF00u);
  EXPECT_EQ(px(99, 59), 0u) << "clipped inside the border";
  EXPECT_EQ(px(98, 58), 0x00FF00u) << "the last tile is cut at the border";
  frame.Mosaic(ppMosaicOnOff);
  EXPECT_EQ(px(1, 1), 0x00FF00u);
  EXPECT_EQ(px(9, 1), kFace) << "every other tile is left out";
  EXPECT_EQ(px(9, 7), 0x00FF00u);
  frame.Mosaic(ppMosaicOffOn);
  EXPECT_EQ(px(1, 1), kFace);
  EXPECT_EQ(px(9, 1), 0x00FF00u);
  frame.Mosaic(ppMosaicNone);
  EXPECT_EQ(px(1, 1), kFace);
}

TEST(Marco, HidingAndShowingItsChildren) {
  Form form(200, 100);
  KtMarco frame(form.hwnd(), "fraGroup", form);
  KtMarco inner(frame.hwnd(), "fraInner", form);
  frame.HideChildren();
  EXPECT_FALSE(IsWindowVisible(inner.hwnd()));
  frame.ShowChildren();
  form.Show();
  EXPECT_TRUE(IsWindowVisible(inner.hwnd()));
}

// Every key's round trip is in CompanionBag; here the untouched frame, the
// fonts and the mosaic's picture bytes, and a hostile bag.
TEST(Marco, PicturesAndFontsGoThroughTheBagAndAHostileBagIsTamed) {
  Form form(200, 100);
  KtMarco frame(form.hwnd(), "fraA", form);
  PropertyBag untouched;
  frame.WriteProperties(untouched);
  EXPECT_TRUE(untouched.Entries().empty()) << untouched.ToText();

  frame.FrameFont(MakeFont("DejaVu Serif", 12, false, true));
  frame.MosaicPicture(Tile(0x00FF00));
  PropertyBag bag;
  frame.WriteProperties(bag);
  KtMarco copy(form.hwnd(), "fraB", form);
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  EXPECT_EQ(copy.FrameFont()->Name, "DejaVu Serif");
  EXPECT_TRUE(copy.FrameFont()->Italic);
  EXPECT_EQ(copy.Font()->Name, frame.Font()->Name) << "the caption font stayed the ambient one";
  ASSERT_TRUE(copy.MosaicPicture());
  MoveWindow(copy.hwnd(), 0, 0, 50, 30, TRUE);
  copy.Flood(ppFloodNone);
  copy.Frame(ppFrameNone);
  copy.BevelOuter(ppBevelNone);
  copy.Mosaic(ppMosaicNormal);
  form.Show();
  EXPECT_EQ(user::WindowPixel(copy.hwnd(), 1, 1), 0x00FF00u) << "the tile came back from its PNG bytes";

  PropertyBag hostile = PropertyBag::FromText(
      "ktfolio property bag 1\nFloodPercent=Integer:150\nMosaicPicture=Bytes:bm90IGFuIGltYWdl\n");
  copy.ReadProperties(hostile);
  EXPECT_EQ(copy.FloodPercent(), 100) << "a stored percentage is clamped like a set one";
  EXPECT_FALSE(copy.MosaicPicture()) << "bytes that are no image give no picture";
  EXPECT_EQ(copy.Caption(), "fraB");
}

// Every persisted key of a companion with a value other than its default, set
// through the public setter, and the value the bag must hold for it.
template <typename Control>
struct BagRow {
  const char* key;
  Variant stored;
  std::function<void(Control&)> set;
};

// The bag holds exactly the rows' keys, in order, with their values, and a
// control read from it writes the same bag again.
template <typename Control>
void ExpectEveryKeyRoundTrips(Form& form, const std::vector<BagRow<Control>>& rows) {
  Control original(form.hwnd(), "ctlA", form);
  for (const BagRow<Control>& row : rows) row.set(original);
  PropertyBag bag;
  original.WriteProperties(bag);
  ASSERT_EQ(bag.Entries().size(), rows.size()) << bag.ToText();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(bag.Entries()[i].name, rows[i].key);
    EXPECT_EQ(bag.Entries()[i].value, rows[i].stored) << rows[i].key;
  }
  Control copy(form.hwnd(), "ctlB", form);
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  PropertyBag again;
  copy.WriteProperties(again);
  EXPECT_EQ(again.ToText(), bag.ToText());
}

TEST(CompanionBag, EveryPersistedKeyRoundTripsInItsOrder) {
  Form form(200, 100);
  auto L = [](std::int64_t v) { return Variant(static_cast<std::int32_t>(v)); };
  auto I = [](std::int16_t v) { return Variant(v); };
  ExpectEveryKeyRoundTrips<KtBoton>(
      form, {
                {"BackColor", L(0x80000012), [](KtBoton& b) { b.BackColor(0x80000012); }},
                {"BackPressedColor", L(0x102030), [](KtBoton& b) { b.BackPressedColor(0x102030); }},
                {"BackLightColor", L(0x405060), [](KtBoton& b) { b.BackLightColor(0x405060); }},
                {"BackShadowColor", L(0x708090), [](KtBoton& b) { b.BackShadowColor(0x708090); }},
                {"BevelWidth", L(5), [](KtBoton& b) { b.BevelWidth(5); }},
                {"BorderWidth", L(6), [](KtBoton& b) { b.BorderWidth(6); }},
                {"BorderFocusedWidth", L(7), [](KtBoton& b) { b.BorderFocusedWidth(7); }},
                {"Caption", Variant(std::string("&Go")), [](KtBoton& b) { b.Caption("&Go"); }},
                {"CaptionPos", L(8), [](KtBoton& b) { b.CaptionPos(8); }},
                {"ClickFocused", Variant(false), [](KtBoton& b) { b.ClickFocused(false); }},
                {"Enabled", Variant(false), [](KtBoton& b) { b.Enabled(false); }},
                {"ForeColor", L(0x0000FF), [](KtBoton& b) { b.ForeColor(0x0000FF); }},
                {"ForeFocusedColor", L(0x00FF00), [](KtBoton& b) { b.ForeFocusedColor(0x00FF00); }},
                {"IconName", Variant(std::string("save")), [](KtBoton& b) { b.IconName("save"); }},
                {"MarginWidth", L(9), [](KtBoton& b) { b.MarginWidth(9); }},
                {"MousePointer", I(11), [](KtBoton& b) { b.MousePointer(11); }},
                {"PictureWidth", L(12), [](KtBoton& b) { b.PictureWidth(12); }},
                {"PictureHeight", L(13), [](KtBoton& b) { b.PictureHeight(13); }},
                {"PicturePos", L(1), [](KtBoton& b) { b.PicturePos(1); }},
                {"ShadeMode", L(ppHQShade), [](KtBoton& b) { b.ShadeMode(ppHQShade); }},
                {"ShowFocusRect", Variant(true), [](KtBoton& b) { b.ShowFocusRect(true); }},
                {"Style", L(ppToggleButton), [](KtBoton& b) { b.Style(ppToggleButton); }},
                {"Value", L(-1), [](KtBoton& b) { b.Value(-1); }},
            });
  ExpectEveryKeyRoundTrips<KtMarco>(
      form, {
                {"BackColor", L(0x80000012), [](KtMarco& m) { m.BackColor(0x80000012); }},
                {"BackLightColor", L(0x405060), [](KtMarco& m) { m.BackLightColor(0x405060); }},
                {"BackShadowColor", L(0x708090), [](KtMarco& m) { m.BackShadowColor(0x708090); }},
                {"BevelOuter", L(ppBevelInset), [](KtMarco& m) { m.BevelOuter(ppBevelInset); }},
                {"BevelInner", L(ppBevelRaised), [](KtMarco& m) { m.BevelInner(ppBevelRaised); }},
                {"BevelWidth", L(5), [](KtMarco& m) { m.BevelWidth(5); }},
                {"BorderWidth", L(6), [](KtMarco& m) { m.BorderWidth(6); }},
                {"Caption", Variant(std::string("Sum")), [](KtMarco& m) { m.Caption("Sum"); }},
                {"CaptionPos", L(8), [](KtMarco& m) { m.CaptionPos(8); }},
                {"Enabled", Variant(false), [](KtMarco& m) { m.Enabled(false); }},
                {"Flood", L(ppFloodToTop), [](KtMarco& m) { m.Flood(ppFloodToTop); }},
                {"FloodColor", L(0x00FF00), [](KtMarco& m) { m.FloodColor(0x00FF00); }},
                {"FloodPercent", I(40), [](KtMarco& m) { m.FloodPercent(40); }},
                {"FloodShowPct", Variant(true), [](KtMarco& m) { m.FloodShowPct(true); }},
                {"FontSlip", I(3), [](KtMarco& m) { m.FontSlip(3); }},
                {"FontStyle", L(2), [](KtMarco& m) { m.FontStyle(2); }},
                {"ForeColor", L(0x0000FF), [](KtMarco& m) { m.ForeColor(0x0000FF); }},
                {"Frame", L(ppFrameBottom), [](KtMarco& m) { m.Frame(ppFrameBottom); }},
                {"FrameAlign", L(1), [](KtMarco& m) { m.FrameAlign(1); }},
                {"FrameColor", L(0x112233), [](KtMarco& m) { m.FrameColor(0x112233); }},
                {"FrameTitle", Variant(std::string("Totals")), [](KtMarco& m) { m.FrameTitle("Totals"); }},
                {"FrameWidth", L(4), [](KtMarco& m) { m.FrameWidth(4); }},
                {"MarginWidth", L(9), [](KtMarco& m) { m.MarginWidth(9); }},
                {"Mosaic", L(ppMosaicOffOn), [](KtMarco& m) { m.Mosaic(ppMosaicOffOn); }},
                {"MosaicBorder", I(2), [](KtMarco& m) { m.MosaicBorder(2); }},
                {"MousePointer", I(11), [](KtMarco& m) { m.MousePointer(11); }},
                {"WordWrap", Variant(false), [](KtMarco& m) { m.WordWrap(false); }},
            });
}

}  // namespace
}  // namespace ktfolio
