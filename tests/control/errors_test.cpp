#include <gtest/gtest.h>

#include "control/ktprint4.h"

namespace ktfolio {
namespace {

TEST(ErrorRecord, NewControlHasNoErrorAndLeavesArgumentsAlone) {
  KtPrint4 c;
  std::int32_t n = 42;
  std::string d = "keep", s = "me";
  EXPECT_FALSE(c.GetLastError(n, d, s));
  EXPECT_EQ(n, 42);
  EXPECT_EQ(d, "keep");
  EXPECT_EQ(s, "me");
}

TEST(ErrorRecord, OnlyTheLastErrorIsKeptAndReadingDoesNotClear) {
  KtPrint4 c;
  c.SetProperty(1, 1, "Nope", Variant(1));
  c.SetTextRow(5, Body, {});
  std::int32_t n = 0;
  std::string d, s;
  ASSERT_TRUE(c.GetLastError(n, d, s));
  EXPECT_EQ(n, 60109);
  EXPECT_EQ(s, "Setting Text Row");
  std::int32_t n2 = 0;
  std::string d2, s2;
  ASSERT_TRUE(c.GetLastError(n2, d2, s2));
  EXPECT_EQ(std::tie(n, d, s), std::tie(n2, d2, s2));
}

TEST(ErrorRecord, TableMessagesWinOverPassedDescriptions) {
  KtPrint4 c;
  c.RecordError(60107, "Previewing", "No Description");
  std::int32_t n = 0;
  std::string d, s;
  c.GetLastError(n, d, s);
  EXPECT_EQ(n, 60107);
  EXPECT_EQ(d, "Page out of range");
  EXPECT_EQ(s, "Previewing");
  c.RecordError(1234, "Platform", "Disk on fire");
  c.GetLastError(n, d, s);
  EXPECT_EQ(d, "Disk on fire");
}

TEST(ErrorRecord, ClearErrorKeepsTheStringsUntilTheNextError) {
  KtPrint4 c;
  c.RecordError(60110, "Setting zoom value", "");
  c.ClearError();
  std::int32_t n = 0;
  std::string d, s;
  EXPECT_FALSE(c.GetLastError(n, d, s));
  c.RecordError(60111, "Preview Row", "No Description");
  ASSERT_TRUE(c.GetLastError(n, d, s));
  EXPECT_EQ(d, "The Row haven't got any text items");
  EXPECT_EQ(s, "Preview Row");
}

TEST(ErrorRecord, MessageTableIsCompleteAndBounded) {
  EXPECT_EQ(GetErrorMessage(60100), "");
  EXPECT_EQ(GetErrorMessage(60101), "Unable to Load Image");
  EXPECT_EQ(GetErrorMessage(60109), "Could'n add new row");
  EXPECT_EQ(GetErrorMessage(60113), "Number of copies no valid");
  EXPECT_EQ(GetErrorMessage(60118), "Couldn't send a new document to printer");
  EXPECT_EQ(GetErrorMessage(60124), "Error starting current page");
  EXPECT_EQ(GetErrorMessage(60125), "");
  EXPECT_EQ(GetErrorMessage(0), "");
}

TEST(ErrorRecord, MissingPictureLeavesTheCellWithoutOne) {
  KtPrint4 c;
  c.AddRow("text");
  EXPECT_FALSE(c.SetProperty(1, 1, "BitMap", Variant("/no/such/picture.png")));
  std::int32_t n = 0;
  std::string d, s;
  ASSERT_TRUE(c.GetLastError(n, d, s));
  EXPECT_EQ(n, 53);
  EXPECT_EQ(c.GetProperty(1, 1, "BitMap").ToString(), "");
  EXPECT_EQ(c.GetProperty(1, 1, "Text").ToString(), "text");
}

}  // namespace
}  // namespace ktfolio
