// The failure carried inside the library: a number, a source and a description,
// the three fields a host reads back from a control's last-error record.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace ktfolio {

class Error : public std::exception {
 public:
  Error(std::int32_t number, std::string source, std::string description)
      : number_(number), source_(std::move(source)), description_(std::move(description)) {}

  std::int32_t number() const noexcept { return number_; }
  const std::string& source() const noexcept { return source_; }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

// Errors raised by objects of the library carry the object-error base added to
// their code, so a caller sees a negative number (13081 -> -2147208423).
constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);
constexpr std::int32_t ObjectError(std::int32_t code) { return kObjectErrorBase + code; }

// Run-time error numbers of the automation layer.
namespace errnum {
constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kOutOfStringSpace = 14;
constexpr std::int32_t kOverflow = 6;
constexpr std::int32_t kSubscriptOutOfRange = 9;
constexpr std::int32_t kTypeMismatch = 13;
constexpr std::int32_t kInvalidProcedureCall = 5;
constexpr std::int32_t kKeyAlreadyExists = 457;
constexpr std::int32_t kObjectRequired = 424;
constexpr std::int32_t kObjectNotSet = 91;
constexpr std::int32_t kNotSupported = 438;  // object doesn't support this property or method
constexpr std::int32_t kWrongArgumentCount = 450;
constexpr std::int32_t kFileNotFound = 53;
constexpr std::int32_t kPathFileAccess = 75;
constexpr std::int32_t kBadFileName = 52;
constexpr std::int32_t kInputPastEnd = 62;
constexpr std::int32_t kPermissionDenied = 70;
constexpr std::int32_t kPathNotFound = 76;
constexpr std::int32_t kInvalidPicture = 481;
}  // namespace errnum

// Name of the library as it appears in error sources ("ktfolio.WindowProc").
inline constexpr const char* kLibraryName = "ktfolio";

// The run-time errors raised in more than one place, with their standard texts.
inline Error NotSupportedError() {
  return Error(errnum::kNotSupported, kLibraryName, "Object doesn't support this property or method");
}
inline Error SubscriptError() { return Error(errnum::kSubscriptOutOfRange, kLibraryName, "Subscript out of range"); }
inline Error ObjectNotSetError() {
  return Error(errnum::kObjectNotSet, kLibraryName, "Object variable or With block variable not set");
}

}  // namespace ktfolio
