// The formatted text box's numbers and filters (display and editing forms of a value, typed texts
// read back, what a numeric text may hold, the character filter, the digit counts), and its
// caption, painting and persistence.
#include <gtest/gtest.h>

#include <list>
#include <tuple>

#include "controls/kttext.h"
#include "platform/automation/error.h"
#include "platform/container/form.h"
#include "platform/container/property_bag.h"
#include "support/golden.h"

namespace ktfolio {
namespace {

using namespace win;

class NumericBox : public ::testing::Test {
 protected:
  NumericBox() : form_(300, 100), box_(form_.hwnd(), "txtAmount", form_) {
    box_.Move(10, 10, 200, 24);
    box_.ControlType(ktNumeric);
    form_.Show();
  }
  Form form_;
  KtText box_;
};

TEST_F(NumericBox, ShowsTheDisplayFormWithoutFocusAndThePlainFormWithIt) {
  using Case = std::tuple<const char*, std::int16_t, std::int16_t, bool, bool, double, const char*, const char*>;
  const Case cases[] = {
      {"marks and zeroes", 5, 2, true, true, 1234.5, "01.234,50", "1234,50"},
      {"no mark after the sign", 7, 0, true, false, -1234567, "-1.234.567", "-1234567"},
      {"a short negative keeps its sign alone", 6, 0, true, false, -123456, "-123.456", "-123456"},
      {"decimals are rounded half away from zero", 3, 2, false, false, 2.125, "2,13", "2,13"},
      {"zero with no integer digits asked", 1, 1, false, false, 0.5, "0,5", "0,5"},
      {"leading zeroes only when shown", 4, 0, false, true, 7, "0007", "7"},
      {"two digits take one leading zero", 2, 0, false, true, 7, "07", "7"},
      {"a negative that rounds to zero shows no sign", 3, 2, false, false, -0.001, "0,00", "0,00"},
      {"a number wider than its digits still shows", 2, 0, true, false, 123456, "123.456", "123456"},
  };
  for (const auto& [name, lengthInt, lengthDec, marks, zeroes, value, display, editing] : cases) {
    SCOPED_TRACE(name);
    box_.LengthInt(lengthInt);
    box_.LengthDec(lengthDec);
    box_.ThousandMarks(marks);
    box_.LeadingZeroes(zeroes);
    box_.Value(value);
    EXPECT_EQ(std::tuple(box_.FormattedText(), box_.Text()), std::tuple(display, display))
        << "without the focus the box shows the display form";
    SetFocus(box_.hwnd());
    EXPECT_EQ(box_.Text(), editing) << "with the focus: no marks, no zeroes";
    SetFocus(form_.hwnd());
    EXPECT_EQ(box_.Text(), display) << "and back on losing it";
  }
}

TEST_F(NumericBox, ReadsTypedTextsRefusesThoseOfAnotherShapeAndClampsItsDigits) {
  box_.LengthInt(7);
  box_.LengthDec(3);
  box_.Value(3);
  for (auto [text, value] : {std::pair(",5", 0.5), std::pair("-1.234,5", -1234.5), std::pair("12,", 12.0),
                             std::pair("-,25", -0.25), std::pair("7", 7.0), std::pair("", 0.0)}) {
    box_.Text(text);
    EXPECT_DOUBLE_EQ(box_.Value(), value) << "'" << text << "'";
  }
  box_.LengthInt(3);
  box_.LengthDec(2);
  box_.AllowMinus(false);
  box_.Value(12);
  for (auto [text, accepted] : {std::pair("123", true), std::pair("1234", false), std::pair("1,25", true),
                                std::pair("1,255", false), std::pair("-5", false), std::pair("1.2,5", true),
                                std::pair("abc", false), std::pair("1,2,3", false), std::pair(",5", true),
                                std::pair("", true)}) {
    SCOPED_TRACE(text);
    const std::string before = box_.Text();
    std::int32_t number = 0;
    try {
      box_.Text(text);
    } catch (const Error& e) {
      number = e.number();
    }
    EXPECT_EQ(number, accepted ? 0 : static_cast<std::int32_t>(ErrorCode::kInvalidPropertyValue));
    EXPECT_TRUE(accepted || box_.Text() == before) << "a refused text changes nothing: " << box_.Text();
  }
  for (auto [asked, lengthInt, lengthDec] : {std::tuple(0, 1, 0), std::tuple(20, 15, 10), std::tuple(-1, 1, 0),
                                             std::tuple(12, 12, 10), std::tuple(5, 5, 5)}) {
    box_.LengthInt(static_cast<std::int16_t>(asked));
    box_.LengthDec(static_cast<std::int16_t>(asked));
    EXPECT_EQ(std::tuple(box_.LengthInt(), box_.LengthDec()), std::tuple(lengthInt, lengthDec)) << asked;
  }
}

TEST_F(NumericBox, ABlankZeroShowsNothingOnlyWhenBlanksAreAllowedAndMinusCanBeRefused) {
  box_.Text("");
  EXPECT_EQ(box_.FormattedText(), "0") << "without AllowBlank a blank is shown as zero";
  box_.AllowBlank(true);
  box_.Text("");
  EXPECT_EQ(std::tuple(box_.Text(), box_.Blank()), std::tuple("", true));
  box_.Blank(false);
  EXPECT_EQ(box_.Text(), "0");
  box_.Blank(true);
  EXPECT_EQ(box_.Text(), "");
  box_.LengthInt(4);
  box_.Value(-12);
  box_.AllowMinus(false);
  EXPECT_EQ(std::tuple(box_.Value(), box_.Text()), std::tuple(12.0, "12")) << "disallowing minus";
}

TEST_F(NumericBox, APictureFormatShowsWhenUnfocusedAndAnUnusableOneFallsBack) {
  box_.LengthInt(6);
  box_.LengthDec(2);
  // A zero shows no integer digit unless the picture asks for one.
  for (auto [value, picture, shown] :
       {std::tuple(1234.5, "#,##0.00", "1.234,50"), std::tuple(1234.5, "\"EUR \"0.0", "EUR 1234,5"),
        std::tuple(1234.5, "0.00 \"kg\"", "1234,50 kg"), std::tuple(1234.5, "#.#", "1234,5"),
        std::tuple(1234.5, "no digits here", "1234,50"), std::tuple(1234.5, "0.0.0", "1234,50"),
        std::tuple(1234.5, "\"open", "1234,50"), std::tuple(0.5, "#.00", ",50"), std::tuple(0.5, "0.00", "0,50")}) {
    box_.Value(value);
    box_.FormatStr(picture);
    EXPECT_EQ(box_.FormattedText(), shown) << picture;
  }
  box_.Value(1234.5);
  box_.FormatStr("#,##0.00");
  SetFocus(box_.hwnd());
  EXPECT_EQ(box_.Text(), "1234,50") << "the picture is for display only";
}

TEST_F(NumericBox, TurningNumericClearsTheTextOnlyOptionsAndFreeTextUpperCases) {
  Form form(200, 60);
  KtText box(form.hwnd(), "txtFree", form);
  box.MultiLine(true);
  box.MaxLength(4);
  box.Filter("a-z");
  box.AutoUpperCase(true);
  box.Text("hello");
  box.ControlType(ktNumeric);
  EXPECT_EQ(std::tuple(box.MultiLine(), box.AutoScrollH(), box.MaxLength(), box.Filter(), box.AutoUpperCase(),
                       box.Text(), box.FormattedText()),
            std::tuple(false, false, 0, "", false, "", "0"))
      << "the text-only options are off and the text emptied";
  box.MultiLine(true);
  EXPECT_FALSE(box.MultiLine()) << "text-only options stay off while numeric";
  KtText name(form.hwnd(), "txtName", form);
  name.AutoUpperCase(true);
  name.Text("ñandú über 6÷2");
  EXPECT_EQ(name.Text(), "ÑANDÚ ÜBER 6÷2") << "upper-casing covers the accented letters, not ÷";
}

TEST(KtTextFilter, AcceptsCharactersRangesAndEscapesAndKnowsAccentedLetters) {
  // Each filter with the keys it takes and those it refuses.
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"a-z0-9\\2D", "q5-", "Q "}, {"\\-", "-", "a"}, {"z-a", "m", ""}, {"\\41", "A", "B"},
      {"abc-", "-", ""},          {"", "%", ""},         {"x", "\r\b", ""}};
  for (const auto& [filter, taken, refused] : cases) {
    for (char k : taken) EXPECT_TRUE(KtText::TestFilter(filter, k)) << filter << " " << int{k};
    for (char k : refused) EXPECT_FALSE(KtText::TestFilter(filter, k)) << filter << " " << int{k};
  }
  EXPECT_TRUE(KtText::IsDigit('0'));
  EXPECT_FALSE(KtText::IsDigit('a'));
  for (int c : {int{'a'}, int{'Z'}, 0xE1, 0xD1, 0xFC, 0xE7})
    EXPECT_TRUE(KtText::IsLetter(static_cast<std::int16_t>(c))) << c;
  for (int c : {int{'1'}, int{'-'}, 0xE0, 0xF7}) EXPECT_FALSE(KtText::IsLetter(static_cast<std::int16_t>(c))) << c;
}

// The formatted text box's caption and persistence: where the caption sits, how the box paints,
// what a rebuilt edit window keeps, and its properties through the bag.

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class CaptionTest : public ::testing::Test {
 protected:
  CaptionTest() : form_(400, 200), box_(form_.hwnd(), "txtCity", form_) {
    box_.Move(10, 10, 300, 60);
    form_.Show();
  }
  // The edit window's rectangle in the box's client coordinates.
  RECT EditRect() {
    RECT rc;
    GetWindowRect(box_.hwnd(), &rc);
    POINT o{0, 0};
    ClientToScreen(box_.ControlWindow(), &o);
    return RECT{rc.left - o.x, rc.top - o.y, rc.right - o.x, rc.bottom - o.y};
  }
  Form form_;
  KtText box_;
};

TEST_F(CaptionTest, TheCaptionTakesItsSideAndARebuiltEditWindowKeepsTheText) {
  struct Case { const char* name; std::int32_t position; const char* size; const char *caption, *edit; };
  const Case cases[] = {
      {"top, half the height by default", 0, "-50", "0,0,300,30", "0,30,300,60"},
      {"left, a quarter of the width", 1, "-25", "0,0,75,60", "75,0,300,60"},
      {"bottom, 300 twips", 2, "300", "0,40,300,60", "0,0,300,40"},
      {"right, 1500 twips", 3, "1500", "200,0,300,60", "0,0,200,60"},
      {"a size below one pixel hides it", 0, "0", "0,0,0,0", "0,0,300,60"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    box_.CaptionPosition(c.position);
    box_.CaptionSize(c.size);
    EXPECT_EQ(Str(box_.CaptionRect()) + " " + Str(EditRect()), std::string(c.caption) + " " + c.edit);
  }
  box_.CaptionSize("-50");
  box_.Caption("");
  EXPECT_EQ(EditRect().top, 0) << "an empty caption takes no room";
  box_.Text("first line");
  const HWND before = box_.hwnd();
  box_.MultiLine(true);
  EXPECT_NE(box_.hwnd(), before) << "a new edit window";
  EXPECT_EQ(box_.Text(), "first line");
  EXPECT_NE(GetWindowLongPtr(box_.hwnd(), GWL_STYLE) & ES_MULTILINE, 0);
  box_.MaxLength(5);
  box_.Alignment(1);
  EXPECT_EQ(box_.Text(), "first") << "the new window takes no more than MaxLength";
  EXPECT_NE(GetWindowLongPtr(box_.hwnd(), GWL_STYLE) & ES_RIGHT, 0);
}

// Four boxes on one golden form: the caption "Ciudad" in red on light blue
// above an edit window in the window colour; then edit windows alone in the
// back colour of an enabled (light grey-blue), a disabled (light green) and a
// locked box (light red).
TEST(KtTextLook, TheCaptionAndTheEditWindowPaintInTheColoursOfTheBoxsState) {
  Form form(320, 170);
  std::list<KtText> boxes;
  for (int i = 0; i < 4; ++i) {
    KtText& box = boxes.emplace_back(form.hwnd(), "txtCity", form);
    box.Move(10, i == 0 ? 10 : 42 + i * 30, 300, i == 0 ? 60 : 24);
    box.Caption(i == 0 ? "Ciudad" : "");
    box.CaptionBackColor(0x00FFE0C0);
    box.CaptionForeColor(0x000000FF);
    if (i > 0) box.BackColor(0x00F0E0D0);
    box.BackDisabledColor(0x00C0FFC0);
    box.LockedBackColor(0x00A0B0FF);
    box.Enabled(i != 2);
    box.Locked(i == 3);
  }
  form.Show();
  HBITMAP shot = user::CaptureWindow(form.hwnd());
  EXPECT_TRUE(ktfolio::testing::MatchesGolden(shot, "controls/text_boxes.png"));
  DeleteObject(shot);
}

TEST(KtTextProperties, EveryPropertyGoesToTheBagAndComesBack) {
  Form form(300, 100);
  KtText box(form.hwnd(), "txtTotal", form), copy(form.hwnd(), "txtTotal", form);
  const auto defaults = box.PersistedDefaults();
  ASSERT_EQ(defaults.size(), box.PersistedValues().size());
  PropertyBag bag;
  auto write = [&] {
    const auto values = box.PersistedValues();
    for (size_t i = 0; i < values.size(); ++i) bag.WriteProperty(values[i].name, values[i].value, defaults[i].value);
  };
  write();
  EXPECT_TRUE(bag.Entries().empty()) << "a new box stores nothing: every value is its default";
  box.ControlType(ktNumeric);
  box.LengthInt(6);
  box.LengthDec(2);
  box.ThousandMarks(true);
  box.Value(1234.5);
  box.BackFocusedColor(0x00112233);
  box.Caption("Total");
  box.CaptionPosition(1);
  box.TrapTabKey(true);
  box.Locked(true);
  write();
  const PropertyBag read = PropertyBag::FromText(bag.ToText());
  copy.ReadProperties([&read](const std::string& name, const Variant& def) { return read.ReadProperty(name, def); });
  EXPECT_EQ(std::tuple(copy.ControlType(), copy.LengthInt(), copy.LengthDec(), copy.ThousandMarks(), copy.Value(),
                       copy.Text(), copy.BackFocusedColor(), copy.Caption(), copy.CaptionPosition(),
                       copy.TrapTabKey(), copy.Locked()),
            std::tuple(ktNumeric, 6, 2, true, 1234.5, "1.234,50", 0x00112233u, "Total", 1, true, true));
  EXPECT_TRUE(read.Contains("TrapTab")) << "the key is TrapTab, the property TrapTabKey";
}

}  // namespace
}  // namespace ktfolio
