// The library's errors: the numbers a host reads back from a control's
// last-error record, and the exception that carries one inside the library
// (or out of a Variant conversion).
#pragma once

#include <ktfolio/export.h>

#include <cstdint>
#include <exception>
#include <iosfwd>
#include <string>

namespace ktfolio {

// Every error number the library records or raises by name. The numbers are
// what a host reads back from a control's last-error record, so they never
// change; the control's own family (601xx) has its texts in the message table
// (document/errors.cpp). A record may also hold numbers outside this list: an
// object's error (ObjectError) or a platform failure passed through.
enum class ErrorCode : std::int32_t {
  // Run-time errors of the automation layer.
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kSubscriptOutOfRange = 9,
  kTypeMismatch = 13,
  kOutOfStringSpace = 14,
  kInternalError = 51,  // a failure the library did not expect: a bug, recorded with its type
  kBadFileName = 52,
  kFileNotFound = 53,
  kInputPastEnd = 62,
  kPermissionDenied = 70,
  kPathFileAccess = 75,
  kPathNotFound = 76,
  kObjectNotSet = 91,
  kInvalidFileFormat = 321,
  kInvalidPropertyValue = 380,
  kReadOnlyProperty = 383,
  kObjectRequired = 424,
  kNotSupported = 438,  // object doesn't support this property or method
  kEventHandlerFailed = 440,
  kNamedArgumentNotFound = 448,
  kWrongArgumentCount = 450,
  kKeyAlreadyExists = 457,
  kInvalidPicture = 481,
  // The control's own failures, in message-table order.
  kUnableToLoadImage = 60101,
  kDeviceWithoutDib,
  kImageNotLoadedIntoBitmap,
  kUnableToCreateFont,
  kDoubleClickOutsidePrintableArea,
  kDoubleClickOnUneditableCell,
  kPageOutOfRange,
  kNoValidPropertyName,
  kCouldNotAddRow,
  kZoomOutOfRange,
  kRowWithoutTextItems,
  kNeedPrinterName,
  kInvalidCopies,
  kCannotOpenPrinter,
  kCannotRetrieveConfiguration,
  kCannotAccessConfiguration,
  kCannotCreateJobArea,
  kCannotStartDocument,
  kCancelDocumentFailed,
  kFinishDocumentFailed,
  kDeleteJobAreaFailed,
  kClosePrinterFailed,
  kFinishPageFailed,
  kStartPageFailed,
};

constexpr std::int32_t ToInt(ErrorCode n) noexcept { return static_cast<std::int32_t>(n); }
// A recorded number is an int; compare it with a name without casting.
constexpr bool operator==(std::int32_t number, ErrorCode n) noexcept { return number == ToInt(n); }
// Written as its number, the way a host sees it.
KTFOLIO_API std::ostream& operator<<(std::ostream& os, ErrorCode n);

class KTFOLIO_API Error : public std::exception {
 public:
  Error(std::int32_t number, std::string source, std::string description)
      : number_(number), source_(std::move(source)), description_(std::move(description)) {}
  Error(ErrorCode number, std::string source, std::string description)
      : Error(ToInt(number), std::move(source), std::move(description)) {}

  std::int32_t number() const noexcept { return number_; }
  const std::string& source() const noexcept { return source_; }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

}  // namespace ktfolio
