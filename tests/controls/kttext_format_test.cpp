// The formatted text box's numbers and filters: display and editing forms of a value, typed
// texts read back, what a numeric text may hold, the character filter, the digit counts.
#include <gtest/gtest.h>

#include <tuple>

#include "controls/kttext.h"
#include "platform/automation/error.h"
#include "platform/container/form.h"

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

}  // namespace
}  // namespace ktfolio
