#include "control/errors.h"

#include <new>

namespace ktfolio {
namespace {

struct Message {
  ErrorCode number;
  const char* text;
};

// The texts are the ones hosts have always been shown, spelling included.
constexpr Message kMessages[] = {
    {ErrorCode::kUnableToLoadImage, "Unable to Load Image"},
    {ErrorCode::kDeviceWithoutDib, "This device does not support DIB's"},
    {ErrorCode::kImageNotLoadedIntoBitmap, "Unable To Load Image Into Bitmap Object"},
    {ErrorCode::kUnableToCreateFont, "Unable To Create Font"},
    {ErrorCode::kDoubleClickOutsidePrintableArea, "Doble Click outside printable area"},
    {ErrorCode::kDoubleClickOnUneditableCell, "Doble click on no editable cell"},
    {ErrorCode::kPageOutOfRange, "Page out of range"},
    {ErrorCode::kNoValidPropertyName, "No valid Property Name"},
    {ErrorCode::kCouldNotAddRow, "Could'n add new row"},
    {ErrorCode::kZoomOutOfRange, "Zoom Value out of range"},
    {ErrorCode::kRowWithoutTextItems, "The Row haven't got any text items"},
    {ErrorCode::kNeedPrinterName, "Need a printer name!!"},
    {ErrorCode::kInvalidCopies, "Number of copies no valid"},
    {ErrorCode::kCannotOpenPrinter, "Couldn't open printer. Specify a printer name"},
    {ErrorCode::kCannotRetrieveConfiguration, "Couldn't retrieve configuration information"},
    {ErrorCode::kCannotAccessConfiguration, "Couldn't access configuration information"},
    {ErrorCode::kCannotCreateJobArea, "Couldn't create a print job area"},
    {ErrorCode::kCannotStartDocument, "Couldn't send a new document to printer"},
    {ErrorCode::kCancelDocumentFailed, "Error canceling current document"},
    {ErrorCode::kFinishDocumentFailed, "Error finishing current document"},
    {ErrorCode::kDeleteJobAreaFailed, "Error deleting print job area"},
    {ErrorCode::kClosePrinterFailed, "Error closing printer"},
    {ErrorCode::kFinishPageFailed, "Error finishing to print current page"},
    {ErrorCode::kStartPageFailed, "Error starting current page"},
};

}  // namespace

std::string GetErrorMessage(std::int32_t number) noexcept {
  for (const Message& m : kMessages) {
    if (number != m.number) continue;
    try {
      return m.text;
    } catch (const std::bad_alloc&) {
      return {};  // the record then keeps the description it was given
    }
  }
  return {};
}

}  // namespace ktfolio
