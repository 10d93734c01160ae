#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <tuple>

#include "control/ktprint4_impl.h"

namespace ktfolio {
namespace {

using Record = std::tuple<bool, std::int32_t, std::string, std::string>;  // any, number, description, source
Record Last(const KtPrint4Impl& c) {
  Record r;
  std::get<0>(r) = c.GetLastError(std::get<1>(r), std::get<2>(r), std::get<3>(r));
  return r;
}

TEST(ErrorRecord, OnlyTheLastErrorIsKeptAndReadingDoesNotClear) {
  KtPrint4Impl c;
  c.SetProperty(1, 1, "Nope", Variant(1));
  c.SetTextRow(5, Body, {});
  const Record first = Last(c);
  EXPECT_EQ(first, Record(true, ToInt(ErrorCode::kCouldNotAddRow), "Could'n add new row", "Setting Text Row"));
  EXPECT_EQ(Last(c), first);
}

TEST(ErrorRecord, TableMessagesWinOverPassedDescriptions) {
  KtPrint4Impl c;
  c.RecordError(ErrorCode::kPageOutOfRange, "Previewing", "No Description");
  EXPECT_EQ(Last(c), Record(true, ToInt(ErrorCode::kPageOutOfRange), "Page out of range", "Previewing"));
  c.RecordError(1234, "Platform", "Disk on fire");
  EXPECT_EQ(std::get<2>(Last(c)), "Disk on fire");
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
  EXPECT_EQ(Last(c), Record(true, 60111, "The Row haven't got any text items", "Preview Row"));
}

// The numbers and texts are what hosts read back; they are pinned here once.
TEST(ErrorRecord, MessageTableHoldsEveryNumberWithItsTextAndNothingElse) {
  const struct { ErrorCode code; std::int32_t number; const char* text; } kTable[] = {
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
  const struct { ErrorCode code; std::int32_t number; } kRunTime[] = {
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
  c.RecordCaught(Error(ErrorCode::kPathNotFound, "Reader", "Path not found: 'x'"));
  EXPECT_EQ(Last(c), Record(true, 76, "Path not found: 'x'", "Reader"));
  c.RecordCaught(std::bad_alloc());
  EXPECT_EQ(std::get<1>(Last(c)), 7);
  EXPECT_EQ(std::get<2>(Last(c)), "Out of memory");
  c.RecordCaught(std::out_of_range("vector index"));
  EXPECT_EQ(Last(c), Record(true, 51, "Internal error: std::out_of_range: vector index", "ktfolio"));
  c.RecordCaught(std::runtime_error("disk"), "Saving Template");
  EXPECT_EQ(std::tuple(std::get<1>(Last(c)), std::get<3>(Last(c))), std::tuple(51, "Saving Template"));
}

TEST(ErrorRecord, MissingPictureLeavesTheCellWithoutOne) {
  KtPrint4Impl c;
  c.AddRow("text");
  EXPECT_FALSE(c.SetProperty(1, 1, "BitMap", Variant("/no/such/picture.png")));
  EXPECT_EQ(std::get<1>(Last(c)), ErrorCode::kFileNotFound);
  EXPECT_EQ(std::tuple(c.GetProperty(1, 1, "BitMap").ToString(), c.GetProperty(1, 1, "Text").ToString()), std::tuple("", "text"));
}

}  // namespace
}  // namespace ktfolio
