#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <tuple>

#include "control/ktprint4_impl.h"
#include "support/errors.h"

namespace ktfolio {
namespace {

using testing::Recorded;
constexpr auto Last = testing::LastRecorded<KtPrint4Impl>;

// Only the last error is kept, reading does not clear it, the table's message wins over a passed
// description, and clearing leaves the by-reference strings alone until the next error.
TEST(ErrorRecord, TheLastErrorIsKeptWithTheTablesMessageUntilCleared) {
  KtPrint4Impl c;
  c.SetProperty(1, 1, "Nope", Variant(1));
  c.SetTextRow(5, Body, {});
  const Recorded first = Last(c);
  EXPECT_EQ(first, (Recorded{true, ToInt(ErrorCode::kCouldNotAddRow), "Could'n add new row",
                             "Setting Text Row"}));
  EXPECT_EQ(Last(c), first);
  c.RecordError(ErrorCode::kPageOutOfRange, "Previewing", "No Description");
  EXPECT_EQ(Last(c), (Recorded{true, ToInt(ErrorCode::kPageOutOfRange), "Page out of range",
                               "Previewing"}));
  c.RecordError(1234, "Platform", "Disk on fire");
  EXPECT_EQ(Last(c).description, "Disk on fire");
  c.ClearError();
  std::int32_t n = 42;
  std::string d = "keep", s = "me";
  EXPECT_FALSE(c.GetLastError(n, d, s));
  EXPECT_EQ(std::tie(n, d, s), std::make_tuple(42, std::string("keep"), std::string("me"))) << "no error: untouched";
  c.RecordError(ErrorCode::kRowWithoutTextItems, "Preview Row", "No Description");
  EXPECT_EQ(Last(c), (Recorded{true, 60111, "The Row haven't got any text items", "Preview Row"}));
}

// The numbers and texts are what hosts read back; they are pinned here once.
TEST(ErrorRecord, MessageTableHoldsEveryNumberWithItsTextAndNothingElse) {
  using enum ErrorCode;
  const struct { ErrorCode code; const char* text; } kTable[] = {  // 60101 onwards, in order
      {kUnableToLoadImage, "Unable to Load Image"},
      {kDeviceWithoutDib, "This device does not support DIB's"},
      {kImageNotLoadedIntoBitmap, "Unable To Load Image Into Bitmap Object"},
      {kUnableToCreateFont, "Unable To Create Font"},
      {kDoubleClickOutsidePrintableArea, "Doble Click outside printable area"},
      {kDoubleClickOnUneditableCell, "Doble click on no editable cell"},
      {kPageOutOfRange, "Page out of range"}, {kNoValidPropertyName, "No valid Property Name"},
      {kCouldNotAddRow, "Could'n add new row"}, {kZoomOutOfRange, "Zoom Value out of range"},
      {kRowWithoutTextItems, "The Row haven't got any text items"},
      {kNeedPrinterName, "Need a printer name!!"}, {kInvalidCopies, "Number of copies no valid"},
      {kCannotOpenPrinter, "Couldn't open printer. Specify a printer name"},
      {kCannotRetrieveConfiguration, "Couldn't retrieve configuration information"},
      {kCannotAccessConfiguration, "Couldn't access configuration information"},
      {kCannotCreateJobArea, "Couldn't create a print job area"},
      {kCannotStartDocument, "Couldn't send a new document to printer"},
      {kCancelDocumentFailed, "Error canceling current document"},
      {kFinishDocumentFailed, "Error finishing current document"},
      {kDeleteJobAreaFailed, "Error deleting print job area"},
      {kClosePrinterFailed, "Error closing printer"},
      {kFinishPageFailed, "Error finishing to print current page"},
      {kStartPageFailed, "Error starting current page"},
  };
  for (std::int32_t number = 60101; const auto& row : kTable) {
    EXPECT_EQ(ToInt(row.code), number) << row.text;
    EXPECT_EQ(GetErrorMessage(number++), row.text) << number - 1;
  }
  for (std::int32_t outside : {0, 60100, 60125, 5, 51, 53, 440, -1})
    EXPECT_EQ(GetErrorMessage(outside), "") << outside;
  const struct { ErrorCode code; std::int32_t number; } kRunTime[] = {
      {kInvalidProcedureCall, 5}, {kOverflow, 6}, {kOutOfMemory, 7}, {kSubscriptOutOfRange, 9},
      {kTypeMismatch, 13}, {kOutOfStringSpace, 14}, {kInternalError, 51}, {kBadFileName, 52},
      {kFileNotFound, 53}, {kInputPastEnd, 62}, {kPermissionDenied, 70}, {kPathFileAccess, 75},
      {kPathNotFound, 76}, {kObjectNotSet, 91}, {kInvalidFileFormat, 321},
      {kInvalidPropertyValue, 380}, {kReadOnlyProperty, 383}, {kObjectRequired, 424},
      {kNotSupported, 438}, {kEventHandlerFailed, 440}, {kNamedArgumentNotFound, 448},
      {kWrongArgumentCount, 450}, {kKeyAlreadyExists, 457}, {kInvalidPicture, 481},
  };
  for (const auto& row : kRunTime) EXPECT_EQ(ToInt(row.code), row.number);
}

// What a boundary records for each kind of failure it catches.
TEST(ErrorRecord, CaughtFailuresKeepTheirErrorAndNameTheUnexpected) {
  KtPrint4Impl c;
  c.RecordCaught(Error(ErrorCode::kPathNotFound, "Reader", "Path not found: 'x'"));
  EXPECT_EQ(Last(c), (Recorded{true, 76, "Path not found: 'x'", "Reader"}));
  c.RecordCaught(std::bad_alloc());
  EXPECT_EQ(std::tuple(Last(c).number, Last(c).description), std::tuple(7, "Out of memory"));
  c.RecordCaught(std::out_of_range("vector index"));
  EXPECT_EQ(Last(c),
            (Recorded{true, 51, "Internal error: std::out_of_range: vector index", "ktfolio"}));
  c.RecordCaught(std::runtime_error("disk"), "Saving Template");
  EXPECT_EQ(std::tuple(Last(c).number, Last(c).source), std::tuple(51, "Saving Template"));
}

TEST(ErrorRecord, MissingPictureLeavesTheCellWithoutOne) {
  KtPrint4Impl c;
  c.AddRow("text");
  EXPECT_FALSE(c.SetProperty(1, 1, "BitMap", Variant("/no/such/picture.png")));
  EXPECT_EQ(std::tuple(Last(c).number, c.GetProperty(1, 1, "BitMap").ToString(),
                       c.GetProperty(1, 1, "Text").ToString()),
            std::tuple(ToInt(ErrorCode::kFileNotFound), "", "text"));
}

}  // namespace
}  // namespace ktfolio
