// The frame: every look on one golden form, its flood percentage and children, and the
// property bag, with a round trip of every persisted key of both companion controls.
#include <gtest/gtest.h>

#include <functional>
#include <list>
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

constexpr COLORREF kRed = 0x0000FF, kGreen = 0x00FF00;

class MarcoTest : public ::testing::Test {
 protected:
  MarcoTest() : form_(300, 100), frame_(form_.hwnd(), "fraTest", form_) {}
  Form form_;
  KtMarco frame_;
};

// A solid 6 x 4 tile of `color`.
std::shared_ptr<Picture> Tile(COLORREF color) {
  return std::make_shared<Picture>(ktfolio::testing::SolidBitmap(6, 4, color));
}

// Frames of every look on one form, as one golden picture. First row: a red
// flood at 50 % to the right, left, top and bottom (border 1, bevel 2, margin
// 2: a 111-pixel panel fills 51 of its 101 inner pixels). Second row: the same
// without the black outer border, and a blue fill showing "50%" in bold black,
// inverted to the background colour over the fill. Then the title "Page" cut
// into a top frame line on the left, right and centre, and no title; last the
// mosaic of a green 6 x 4 tile 2 pixels apart: none, normal, on-off, off-on.
TEST(MarcoSheet, TheFloodTheTitleAndTheMosaicInEveryMode) {
  Form form(480, 270);
  std::list<KtMarco> frames;
  auto add = [&](int x, int y, int w, int h, const std::function<void(KtMarco&)>& set) {
    KtMarco& f = frames.emplace_back(form.hwnd(), "fraSheet", form);
    MoveWindow(f.hwnd(), x, y, w, h, TRUE);
    f.Caption("");
    set(f);
  };
  auto flood = [](std::int32_t side, COLORREF color) {
    return [side, color](KtMarco& f) { f.FloodColor(color); f.Flood(side); f.FloodPercent(50); };
  };
  for (std::int32_t side = ppFloodToRight; side <= ppFloodToBottom; ++side)
    add((side - 1) * 115, 0, 111, 40, flood(side, kRed));
  add(0, 44, 111, 40, [&](KtMarco& f) { flood(ppFloodToRight, kRed)(f); f.BorderWidth(0); });
  add(115, 44, 111, 40, [&](KtMarco& f) {
    f.Font(MakeFont("DejaVu Sans", 14, true));
    f.ForeColor(0x000000);
    f.FloodShowPct(true);
    flood(ppFloodToRight, 0xFF0000)(f);
  });
  for (int align = 0; align < 4; ++align)
    add(align % 2 * 242, 88 + align / 2 * 58, 240, 56, [align](KtMarco& f) {
      f.BevelOuter(ppBevelNone);
      f.Frame(ppFrameTop);
      f.FrameTitle(align < 3 ? "Page" : "");
      f.FrameAlign(align % 3);
    });
  for (std::int32_t mode : {ppMosaicNone, ppMosaicNormal, ppMosaicOnOff, ppMosaicOffOn})
    add(mode * 104, 204, 100, 60, [mode](KtMarco& f) {
      f.BevelOuter(ppBevelNone);
      f.MosaicPicture(Tile(kGreen));
      f.MosaicBorder(2);
      f.Mosaic(mode);
    });
  form.Show();
  HBITMAP shot = user::CaptureWindow(form.hwnd());
  EXPECT_TRUE(ktfolio::testing::MatchesGolden(shot, "controls/frames.png"));
  DeleteObject(shot);
}

// Every key's round trip is in CompanionBag; here the untouched frame, the
// fonts and the mosaic's picture bytes, and a hostile bag.
TEST_F(MarcoTest, FloodPercentChildrenPicturesFontsAndAHostileBag) {
  EXPECT_EQ(frame_.Caption(), "fraTest");
  int changes = 0;
  frame_.Flood(ppFloodToRight);
  frame_.FloodChange = [&changes] { ++changes; };
  for (auto [asked, kept] : {std::tuple(150, 100), std::tuple(-5, 0), std::tuple(50, 50)}) {
    frame_.FloodPercent(static_cast<std::int16_t>(asked));
    EXPECT_EQ(frame_.FloodPercent(), kept) << asked;
  }
  EXPECT_EQ(changes, 3) << "each change is announced";
  KtMarco inner(frame_.hwnd(), "fraInner", form_);
  frame_.HideChildren();
  EXPECT_FALSE(IsWindowVisible(inner.hwnd()));
  frame_.ShowChildren();
  form_.Show();
  EXPECT_TRUE(IsWindowVisible(inner.hwnd()));
  frame_.Flood(ppFloodNone);
  frame_.FloodPercent(0);
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
