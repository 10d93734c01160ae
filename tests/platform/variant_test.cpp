#include <gtest/gtest.h>

#include "platform/automation/variant.h"

namespace ktfolio {
namespace {

int ErrorOf(auto&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

TEST(Variant, IntegerConversionsRoundHalfToEven) {
  EXPECT_EQ(Variant(2.5).ToLong(), 2);
  EXPECT_EQ(Variant(3.5).ToLong(), 4);
  EXPECT_EQ(Variant(-2.5).ToLong(), -2);
  EXPECT_EQ(Variant(0.5f).ToInteger(), 0);
  EXPECT_EQ(Variant(1.5f).ToInteger(), 2);
  EXPECT_EQ(Variant("  7.5 ").ToLong(), 8);
  EXPECT_EQ(Variant(true).ToLong(), -1);
  EXPECT_EQ(Variant().ToLong(), 0);
}

TEST(Variant, OverflowAndTypeMismatchAreNumberedErrors) {
  EXPECT_EQ(ErrorOf([] { Variant(32767.5).ToInteger(); }), 6);
  EXPECT_EQ(ErrorOf([] { Variant(-32768.4).ToInteger(); }), 0);
  EXPECT_EQ(ErrorOf([] { Variant(2147483648.0).ToLong(); }), 6);
  EXPECT_EQ(ErrorOf([] { Variant(1e40).ToSingle(); }), 6);
  EXPECT_EQ(ErrorOf([] { Variant("12abc").ToLong(); }), 13);
  EXPECT_EQ(ErrorOf([] { Variant("").ToDouble(); }), 13);
  EXPECT_EQ(ErrorOf([] { Variant("yes").ToBool(); }), 13);
  EXPECT_EQ(ErrorOf([] { Variant(VariantArray{}).ToString(); }), 13);
  try {
    Variant("x").ToLong();
    ADD_FAILURE() << "a letter is no number";
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), "Type mismatch");
    EXPECT_EQ(e.source(), "ktfolio");
  }
}

TEST(Variant, NumericTextUsesThePeriodAndRadixPrefixes) {
  EXPECT_DOUBLE_EQ(Variant("1.25").ToDouble(), 1.25);
  EXPECT_DOUBLE_EQ(Variant("-3e2").ToDouble(), -300);
  EXPECT_DOUBLE_EQ(Variant("&HFF").ToDouble(), 255);
  EXPECT_DOUBLE_EQ(Variant("&HFFFF").ToDouble(), -1);  // four hex digits are 16-bit
  EXPECT_DOUBLE_EQ(Variant("&H8000000F").ToDouble(), -2147483633.0);
  EXPECT_DOUBLE_EQ(Variant("&O17").ToDouble(), 15);
  EXPECT_EQ(ErrorOf([] { Variant("1,5").ToDouble(); }), 13);
}

TEST(Variant, BooleansFromTextAndNumbers) {
  EXPECT_TRUE(Variant("True").ToBool());
  EXPECT_FALSE(Variant(" false ").ToBool());
  EXPECT_TRUE(Variant("-1").ToBool());
  EXPECT_FALSE(Variant(0.0).ToBool());
  EXPECT_TRUE(Variant(0.1f).ToBool());
}

TEST(Variant, NumbersBecomeShortestText) {
  EXPECT_EQ(Variant(1.5).ToString(), "1.5");
  EXPECT_EQ(Variant(0.1f).ToString(), "0.1");  // seven significant digits for a single
  EXPECT_EQ(Variant(1.0 / 3).ToString(), "0.333333333333333");
  EXPECT_EQ(Variant(1e15).ToString(), "1E+15");
  EXPECT_EQ(Variant(123456789012345.0).ToString(), "123456789012345");
  EXPECT_EQ(Variant(0.00001).ToString(), "1E-05");
  EXPECT_EQ(Variant(-0.0).ToString(), "0");
  EXPECT_EQ(Variant(false).ToString(), "False");
  EXPECT_EQ(Variant(static_cast<std::int16_t>(-5)).ToString(), "-5");
}

TEST(Variant, ValReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(Val("2880"), 2880);
  EXPECT_DOUBLE_EQ(Val(" 1 2 3abc"), 123);  // spaces are skipped inside the number
  EXPECT_DOUBLE_EQ(Val("abc"), 0);
  EXPECT_DOUBLE_EQ(Val("-12.5x"), -12.5);
  EXPECT_DOUBLE_EQ(Val("1e3"), 1000);
  EXPECT_DOUBLE_EQ(Val("1e"), 1);  // an exponent without digits is not read
  EXPECT_DOUBLE_EQ(Val("3.1.4"), 3.1);
  EXPECT_DOUBLE_EQ(Val("&H10"), 16);
  EXPECT_DOUBLE_EQ(Val(""), 0);
}

TEST(Variant, DecimalRoundingTiesToEven) {
  EXPECT_DOUBLE_EQ(RoundHalfEven(0.125, 2), 0.12);
  EXPECT_DOUBLE_EQ(RoundHalfEven(0.375, 2), 0.38);
  EXPECT_DOUBLE_EQ(RoundHalfEven(2.25, 1), 2.2);
  EXPECT_DOUBLE_EQ(RoundHalfEven(2.35, 1), 2.4);
  EXPECT_DOUBLE_EQ(RoundHalfEven(9.983, 1), 10.0);
}

TEST(Variant, EqualityComparesNumbersByValue) {
  EXPECT_EQ(Variant(2), Variant(2.0));
  EXPECT_EQ(Variant(true), Variant(-1));
  EXPECT_FALSE(Variant("2") == Variant(2));
  EXPECT_EQ(Variant(VariantArray{Variant("a")}), Variant(VariantArray{Variant("a")}));
}

}  // namespace
}  // namespace ktfolio
