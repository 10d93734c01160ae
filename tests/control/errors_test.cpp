#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <tuple>

#include "control/ktprint4_impl.h"

namespace ktfolio {
namespace {

TEST(ErrorRecord, OnlyTheLastErrorIsKeptAndReadingDoesNotClear) {
  KtPrint4Impl c;
  c.SetProperty(1, 1, "Nope", Variant(1));
  c.SetTextRow(5, Body, {});
  std::int32_t n = 0;
  std::string d, s;
  ASSERT_TRUE(c.GetLastError(n, d, s));
  EXPECT_EQ(n, ErrorCode::kCouldNotAddRow);
  EXPECT_EQ(s, "Setting Text Row");
  std::int32_t n2 = 0;
  std::string d2, s2;
  ASSERT_TRUE(c.GetLastError(n2, d2, s2));
  EXPECT_EQ(std::tie(n, d, s), std::tie(n2, d2, s2));
}

TEST(ErrorRecord, TableMessagesWinOverPassedDescriptions) {
  KtPrint4Impl c;
  c.RecordError(ErrorCode::kPageOutOfRange, "Previewing", "No Description");
  std::int32_t n = 0;
  std::string d, s;
  c.GetLastError(n, d, s);
  EXPECT_EQ(n, ErrorCode::kPageOutOfRange);
  EXPECT_EQ(d, "Page out of range");
  EXPECT_EQ(s, "Previewing");
  c.RecordError(1234, "Platform", "Disk on fire");
  c.GetLastError(n, d, s);
  EXPECT_EQ(d, "Disk on fire");
}

TEST(ErrorRecord, ClearErrorKeepsTheStringsUntilTheNextError) {
  KtPrint4Impl c;
  c.RecordError(ErrorCode::kZoomOutOfRange, "Setting zoom value", "");
  c.ClearError();
  std::int32_t n = 42;
  std::string d = "keep", s = "me";
  EXPECT_FALSE(c.GetLastError(n, d, s));
  EXPECT_EQ(std::tie(n, d, s), std::make_tuple(42, std::string("keep"), std::string("me"))) << "no error: untouched";
  c.RecordError(ErrorCode::kRowWithoutTextItems, "Preview Row", "No Description");
  ASSERT_TRUE(c.GetLastError(n, d, s));
  EXPECT_EQ(d, "The Row haven't got any text items");
  EXPECT_EQ(s, "Preview Row");
}

// The numbers and texts are what hosts read back; they are pinned here once.
TEST(ErrorRecord, MessageTableHoldsEveryNumberWithItsTextAndNothingElse) {
  const struct {
    ErrorCode code;
    std::int32_t number;
    const char* text;
  } kTable[] = {
      {ErrorCode::kUnableToLoadImage, 60101, "Unable to Load Image"},
      {ErrorCode::kDeviceWithoutDib, 60102, "This device does not support DIB's"},
      {ErrorCode::kImageNotLoadedIntoBitmap, 60103, "Unable To Load Image Into Bitmap Object"},
      {ErrorCode::kUnableToCreateFont, 60104, "Unable To Create Font"},
      {ErrorCode::kDoubleClickOutsidePrintableArea, 60105, "Doble Click outside printable area"},
      {ErrorCode::kDoubleClickOnUneditableCell, 60106, "Doble click on no editable cell"},
      {ErrorCode::kPageOutOfRange, 60107, "Page out of range"},
      {ErrorCode::kNoValidPropertyName, 60108, "No valid Property Name"},
      {ErrorCode::kCouldNotAddRow, 60109, "Could'n add new row"},
      {ErrorCode::kZoomOutOfRange, 60110, "Zoom Value out of range"},
      {ErrorCode::kRowWithoutTextItems, 60111, "The Row haven't got any text items"},
      {ErrorCode::kNeedPrinterName, 60112, "Need a printer name!!"},
      {ErrorCode::kInvalidCopies, 60113, "Number of copies no valid"},
      {ErrorCode::kCannotOpenPrinter, 60114, "Couldn't open printer. Specify a printer name"},
      {ErrorCode::kCannotRetrieveConfiguration, 60115, "Couldn't retrieve configuration information"},
      {ErrorCode::kCannotAccessConfiguration, 60116, "Couldn't access configuration information"},
      {ErrorCode::kCannotCreateJobArea, 60117, "Couldn't create a print job area"},
      {ErrorCode::kCannotStartDocument, 60118, "Couldn't send a new document to printer"},
      {ErrorCode::kCancelDocumentFailed, 60119, "Error canceling current document"},
      {ErrorCode::kFinishDocumentFailed, 60120, "Error finishing current document"},
      {ErrorCode::kDeleteJobAreaFailed, 60121, "Error deleting print job area"},
      {ErrorCode::kClosePrinterFailed, 60122, "Error closing printer"},
      {ErrorCode::kFinishPageFailed, 60123, "Error finishing to print current page"},
      {ErrorCode::kStartPageFailed, 60124, "Error starting current page"},
  };
  for (const auto& row : kTable) {
    EXPECT_EQ(ToInt(row.code), row.number) << row.text;
    EXPECT_EQ(GetErrorMessage(row.number), row.text) << row.number;
  }
  for (std::int32_t outside : {0, 60100, 60125, 5, 51, 53, 440, -1})
    EXPECT_EQ(GetErrorMessage(outside), "") << outside;
  const struct {
    ErrorCode code;
    std::int32_t number;
  } kRunTime[] = {
      {ErrorCode::kInvalidProcedureCall, 5}, {ErrorCode::kOverflow, 6},          {ErrorCode::kOutOfMemory, 7},
      {ErrorCode::kSubscriptOutOfRange, 9},  {ErrorCode::kTypeMismatch, 13},     {ErrorCode::kOutOfStringSpace, 14},
      {ErrorCode::kInternalError, 51},       {ErrorCode::kBadFileName, 52},      {ErrorCode::kFileNotFound, 53},
      {ErrorCode::kInputPastEnd, 62},        {ErrorCode::kPermissionDenied, 70}, {ErrorCode::kPathFileAccess, 75},
      {ErrorCode::kPathNotFound, 76},        {ErrorCode::kObjectNotSet, 91},     {ErrorCode::kInvalidFileFormat, 321},
      {ErrorCode::kInvalidPropertyValue, 380}, {ErrorCode::kReadOnlyProperty, 383},
      {ErrorCode::kObjectRequired, 424},     {ErrorCode::kNotSupported, 438},    {ErrorCode::kEventHandlerFailed, 440},
      {ErrorCode::kNamedArgumentNotFound, 448}, {ErrorCode::kWrongArgumentCount, 450},
      {ErrorCode::kKeyAlreadyExists, 457},   {ErrorCode::kInvalidPicture, 481},
  };
  for (const auto& row : kRunTime) EXPECT_EQ(ToInt(row.code), row.number);
}

// What a boundary records for each kind of failure it catches.
TEST(ErrorRecord, CaughtFailuresKeepTheirErrorAndNameTheUnexpected) {
  KtPrint4Impl c;
  std::int32_t n = 0;
  std::string d, s;
  c.RecordCaught(Error(ErrorCode::kPathNotFound, "Reader", "Path not found: 'x'"));
  ASSERT_TRUE(c.GetLastError(n, d, s));
  EXPECT_EQ(std::tie(n, d, s), std::make_tuple(76, std::string("Path not found: 'x'"), std::string("Reader")));
  c.RecordCaught(std::bad_alloc());
  c.GetLastError(n, d, s);
  EXPECT_EQ(n, 7);
  EXPECT_EQ(d, "Out of memory");
  c.RecordCaught(std::out_of_range("vector index"));
  c.GetLastError(n, d, s);
  EXPECT_EQ(n, 51);
  EXPECT_EQ(d, "Internal error: std::out_of_range: vector index");
  EXPECT_EQ(s, "ktfolio");
  c.RecordCaught(std::runtime_error("disk"), "Saving Template");
  c.GetLastError(n, d, s);
  EXPECT_EQ(std::tie(n, s), std::make_tuple(51, std::string("Saving Template")));
}

TEST(ErrorRecord, MissingPictureLeavesTheCellWithoutOne) {
  KtPrint4Impl c;
  c.AddRow("text");
  EXPECT_FALSE(c.SetProperty(1, 1, "BitMap", Variant("/no/such/picture.png")));
  std::int32_t n = 0;
  std::string d, s;
  ASSERT_TRUE(c.GetLastError(n, d, s));
  EXPECT_EQ(n, ErrorCode::kFileNotFound);
  EXPECT_EQ(c.GetProperty(1, 1, "BitMap").ToString(), "");
  EXPECT_EQ(c.GetProperty(1, 1, "Text").ToString(), "text");
}

}  // namespace
}  // namespace ktfolio
