// The companion controls through their windows: the button's clicks, toggling, dragging out, hot
// tracking of the flat style, borders, focus and access keys; the frame's looks on one golden
// form, its flood and children; and the property bags of both.
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

const std::uint32_t kFace = GetSysColor(COLOR_BTNFACE);

class BotonTest : public ::testing::Test {
 protected:
  BotonTest() : form_(200, 100), button_(form_.hwnd(), "cmdOk", form_) {
    MoveWindow(button_.hwnd(), 10, 10, 80, 30, TRUE);
    button_.Click = [this] { ++clicks_; };
    form_.Show();
  }
  COLORREF At(int x, int y) { return user::WindowPixel(button_.hwnd(), x, y); }

  Form form_;
  KtBoton button_;
  int clicks_ = 0;
};

// Every key's round trip is in CompanionBag; here what that table cannot say:
// an untouched button stores nothing, a font travels whole, and an empty bag
// brings back the defaults and the name as caption.
TEST_F(BotonTest, StartsWithTheDefaultsAnEmptyBagRestoresAndTheFlatStyleIsHotOnlyUnderTheMouse) {
  EXPECT_EQ(std::tuple(button_.Caption(), button_.BevelWidth(), button_.BorderWidth(), button_.BorderFocusedWidth(),
                       button_.CaptionPos(), button_.PicturePos(), button_.BackColor(), button_.ClickFocused()),
            std::tuple("cmdOk", 2, 1, 2, 4, 3, 0x8000000Fu, true));
  EXPECT_EQ(button_.PersistedDefaults().size(), button_.PersistedValues().size());
  EXPECT_EQ(At(0, 0), 0u) << "a black border";
  PropertyBag untouched, bag;
  button_.WriteProperties(untouched);
  EXPECT_TRUE(untouched.Entries().empty()) << untouched.ToText();
  button_.BorderWidth(0);
  EXPECT_NE(At(0, 0), 0u) << "no border at width zero";
  FontPtr font = button_.Font()->Clone();
  font->Name = "DejaVu Serif";
  font->Bold = true;
  button_.Font(font);
  button_.WriteProperties(bag);
  KtBoton copy(form_.hwnd(), "cmdCopy", form_);
  copy.ReadProperties(PropertyBag::FromText(bag.ToText()));
  EXPECT_EQ(std::tuple(copy.Font()->Name, copy.Font()->Bold, copy.BorderWidth()),
            std::tuple("DejaVu Serif", true, 0));
  copy.Caption("changed");
  copy.ReadProperties(PropertyBag{});
  EXPECT_EQ(std::pair(copy.BorderWidth(), copy.Caption()), std::pair(1, std::string("cmdCopy")));
  button_.Style(ppFlatButton);
  button_.BevelWidth(0);
  button_.BorderWidth(0);
  button_.BorderFocusedWidth(0);
  EXPECT_EQ(At(0, 0), kFace) << "flat: no bevel at rest";
  form_.MouseMove(50, 25);
  EXPECT_EQ(std::tuple(button_.Hot(), button_.BevelWidth(), At(0, 0)),
            std::tuple(true, 1, 0xFFFFFFu)) << "hot: the light bevel band";
  form_.MouseMove(150, 80);
  form_.Pump();
  EXPECT_EQ(std::tuple(button_.Hot(), button_.BevelWidth(), At(0, 0)), std::tuple(false, 0, kFace))
      << "WM_MOUSELEAVE ends the hot state";
}

TEST_F(BotonTest, MouseKeysAndDoClickClickUnlessDisabledOrDraggedOut) {
  form_.MouseMove(50, 25);
  form_.MouseDown(50, 25);
  // Hot: a border of 2; pushed: no bevel, the face moved in, the dark fill shows.
  EXPECT_EQ(At(3, 3), GetSysColor(COLOR_BTNSHADOW)) << "pushed: the outer fill turns dark";
  form_.MouseMove(150, 80);
  form_.MouseUp(150, 80);
  EXPECT_EQ(clicks_, 0) << "released outside";
  form_.Click(50, 25);
  EXPECT_EQ(std::tuple(clicks_, GetFocus()), std::tuple(1, button_.hwnd()));
  form_.DoubleClick(50, 25);
  EXPECT_EQ(clicks_, 3) << "a quick second click still counts";
  form_.Key(VK_SPACE);
  form_.Key(VK_RETURN);
  EXPECT_EQ(clicks_, 5) << "space and enter click the focused button";
  SetFocus(form_.hwnd());
  button_.Enabled(false);
  button_.DoClick();
  EXPECT_EQ(clicks_, 5);
  button_.Enabled(true);
  button_.DoClick();
  EXPECT_EQ(clicks_, 6) << "the click runs once the focus arrives";
  button_.Style(ppToggleButton);
  form_.Click(50, 25);
  EXPECT_EQ(button_.Value(), -1) << "a toggle flips between -1 and 0";
  form_.Click(50, 25);
  EXPECT_EQ(button_.Value(), 0);
  button_.Value(5);
  EXPECT_TRUE(button_.Pressed());
}

TEST_F(BotonTest, ArrowsMoveTheFocusAndAltWithTheUnderlinedLetterClicksThroughIt) {
  KtBoton other(form_.hwnd(), "cmdClose", form_);
  MoveWindow(other.hwnd(), 100, 10, 80, 30, TRUE);
  int otherClicks = 0;
  other.Click = [&otherClicks] { ++otherClicks; };
  SetFocus(button_.hwnd());
  form_.Key(VK_RIGHT);
  EXPECT_EQ(GetFocus(), other.hwnd());
  form_.Key(VK_LEFT);
  EXPECT_EQ(GetFocus(), button_.hwnd());
  button_.Caption("&Print");
  other.Caption("Fish && &Chips");
  form_.Key('C', false, false, true);
  EXPECT_EQ(std::tuple(otherClicks, GetFocus()), std::tuple(1, other.hwnd()))
      << "the access key brings the focus";
  form_.Key('P', false, false, true);
  EXPECT_EQ(clicks_, 1);
  form_.Key('F', false, false, true);  // "&&" is a plain ampersand, not a marker
  form_.Key('P');                      // without Alt a letter is only a key press
  EXPECT_EQ(std::pair(clicks_, otherClicks), std::pair(1, 1));
  button_.Enabled(false);
  form_.Key('P', false, false, true);
  EXPECT_EQ(clicks_, 1) << "a disabled button ignores its access key";
}

// The frame: every look on one golden form, its flood percentage and children, and the
// property bag, with a round trip of every persisted key of both companion controls.

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
