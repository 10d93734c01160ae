// Variant conversions: VB's rounding, numbered errors, numeric text, Val and
// equality.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "platform/automation/variant.h"

namespace ktfolio {
namespace {

// The error number a call throws, 0 when it throws none.
int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

TEST(Variant, IntegerConversionsRoundHalfToEven) {
  const std::pair<Variant, long> cases[] = {{Variant(2.5), 2},     {Variant(3.5), 4},     {Variant(-2.5), -2},
                                            {Variant("  7.5 "), 8}, {Variant(true), -1},   {Variant(), 0}};
  for (const auto& [v, want] : cases) EXPECT_EQ(v.ToLong(), want) << v.ToString();
  EXPECT_EQ(std::tuple(Variant(0.5f).ToInteger(), Variant(1.5f).ToInteger()), std::tuple(0, 2));
}

TEST(Variant, OverflowAndTypeMismatchAreNumberedErrors) {
  constexpr int kOverflow = 6, kTypeMismatch = 13;
  const std::pair<std::function<void()>, int> cases[] = {
      {[] { Variant(32767.5).ToInteger(); }, kOverflow},       {[] { Variant(-32768.4).ToInteger(); }, 0},
      {[] { Variant(2147483648.0).ToLong(); }, kOverflow},     {[] { Variant(1e40).ToSingle(); }, kOverflow},
      {[] { Variant("12abc").ToLong(); }, kTypeMismatch},      {[] { Variant("").ToDouble(); }, kTypeMismatch},
      {[] { Variant("yes").ToBool(); }, kTypeMismatch},        {[] { Variant(VariantArray{}).ToString(); }, kTypeMismatch},
      {[] { Variant("1,5").ToDouble(); }, kTypeMismatch}};
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(ErrorOf(cases[i].first), cases[i].second) << "case " << i;
  try {
    Variant("x").ToLong();
    ADD_FAILURE() << "a letter is no number";
  } catch (const Error& e) {
    EXPECT_EQ(std::tuple(e.description(), e.source()), std::tuple("Type mismatch", "ktfolio"));
  }
}

TEST(Variant, TextBecomesNumbersAndBooleans) {
  // The period is the decimal sign; &H and &O are radix prefixes, four hex digits are 16-bit.
  const std::pair<const char*, double> numbers[] = {{"1.25", 1.25}, {"-3e2", -300},  {"&HFF", 255},
                                                    {"&HFFFF", -1}, {"&H8000000F", -2147483633.0}, {"&O17", 15}};
  for (const auto& [text, want] : numbers) EXPECT_DOUBLE_EQ(Variant(text).ToDouble(), want) << text;
  const std::pair<Variant, bool> booleans[] = {{Variant("True"), true}, {Variant(" false "), false}, {Variant("-1"), true},
                                               {Variant(0.0), false},   {Variant(0.1f), true}};
  for (const auto& [v, want] : booleans) EXPECT_EQ(v.ToBool(), want) << v.ToString();
}

TEST(Variant, NumbersBecomeShortestText) {
  const std::pair<Variant, const char*> cases[] = {
      {Variant(1.5), "1.5"},          {Variant(0.1f), "0.1"},  // seven significant digits for a single
      {Variant(1.0 / 3), "0.333333333333333"}, {Variant(1e15), "1E+15"},
      {Variant(123456789012345.0), "123456789012345"}, {Variant(0.00001), "1E-05"},
      {Variant(-0.0), "0"},           {Variant(false), "False"}, {Variant(static_cast<std::int16_t>(-5)), "-5"}};
  for (const auto& [v, want] : cases) EXPECT_EQ(v.ToString(), want);
}

TEST(Variant, ValReadsTheLeadingNumberAndRoundingTiesToEven) {
  // Spaces are skipped inside the number; an exponent without digits is not read.
  const std::pair<const char*, double> vals[] = {{"2880", 2880}, {" 1 2 3abc", 123}, {"abc", 0}, {"-12.5x", -12.5},
                                                 {"1e3", 1000},  {"1e", 1},           {"3.1.4", 3.1}, {"&H10", 16}, {"", 0}};
  for (const auto& [text, want] : vals) EXPECT_DOUBLE_EQ(Val(text), want) << text;
  const std::tuple<double, int, double> rounds[] = {{0.125, 2, 0.12}, {0.375, 2, 0.38}, {2.25, 1, 2.2},
                                                    {2.35, 1, 2.4},   {9.983, 1, 10.0}};
  for (const auto& [v, digits, want] : rounds) EXPECT_DOUBLE_EQ(RoundHalfEven(v, digits), want) << v;
}

// Whole-number rounding is the hot path of every device coordinate: it must
// round exactly as the floating-point unit's own nearbyint, ties to even,
// at the ends of the range and without a negative zero.
TEST(Variant, WholeNumberRoundingMatchesNearbyintTiesToEven) {
  const double ties[][2] = {{0.5, 0.0},   {1.5, 2.0},   {2.5, 2.0},         {-0.5, 0.0},
                            {-1.5, -2.0}, {-2.5, -2.0}, {0.49999999999999994, 0.0},
                            {4503599627370495.5, 4503599627370496.0}, {-4503599627370495.5, -4503599627370496.0}};
  for (const auto& [v, want] : ties) {
    EXPECT_EQ(RoundHalfEven(v), want) << v;
    EXPECT_FALSE(std::signbit(RoundHalfEven(v)) && RoundHalfEven(v) == 0) << v << " gives a negative zero";
  }
  EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0) << "odd, past 2^52: already whole";
  EXPECT_EQ(RoundHalfEven(-1e300), -1e300);
  EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
  EXPECT_EQ(RoundHalfEven(-INFINITY), -INFINITY);
  std::mt19937_64 rng(5);
  std::uniform_int_distribution<int> exponent(-60, 60);
  std::uniform_real_distribution<double> mantissa(-2, 2);
  for (int i = 0; i < 200000; ++i) {
    const double v = std::ldexp(mantissa(rng), exponent(rng));
    const double want = std::nearbyint(v) == 0 ? 0.0 : std::nearbyint(v);
    ASSERT_EQ(RoundHalfEven(v), want) << std::hexfloat << v;
    const double half = std::floor(v) + 0.5;  // a tie near v
    ASSERT_EQ(RoundHalfEven(half), std::nearbyint(half) == 0 ? 0.0 : std::nearbyint(half)) << std::hexfloat << half;
  }
}

TEST(Variant, EqualityComparesNumbersByValue) {
  EXPECT_EQ(std::tuple(Variant(2), Variant(true)), std::tuple(Variant(2.0), Variant(-1)));
  EXPECT_FALSE(Variant("2") == Variant(2));
  EXPECT_EQ(Variant(VariantArray{Variant("a")}), Variant(VariantArray{Variant("a")}));
}

}  // namespace
}  // namespace ktfolio
