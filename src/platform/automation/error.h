// The failure carried inside the library (ktfolio::Error, declared with the
// public API), the object-error numbers and the standard run-time errors.
#pragma once

#include <ktfolio/errors.h>

#include <cstdint>
#include <exception>
#include <string>

namespace ktfolio {

// Errors raised by objects of the library carry the object-error base added to
// their code, so a caller sees a negative number (13081 -> -2147208423).
constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);
constexpr std::int32_t ObjectError(std::int32_t code) { return kObjectErrorBase + code; }


// Name of the library as it appears in error sources ("ktfolio.WindowProc").
inline constexpr const char* kLibraryName = "ktfolio";

// The run-time errors raised in more than one place, with their standard texts.
inline Error NotSupportedError() {
  return Error(ErrorCode::kNotSupported, kLibraryName, "Object doesn't support this property or method");
}
inline Error SubscriptError() { return Error(ErrorCode::kSubscriptOutOfRange, kLibraryName, "Subscript out of range"); }
inline Error ObjectNotSetError() {
  return Error(ErrorCode::kObjectNotSet, kLibraryName, "Object variable or With block variable not set");
}

// What a failure caught at a public boundary is recorded as. An Error keeps
// its number, source and description; std::bad_alloc is out of memory (7);
// any other std::exception is a fault of the library, recorded as 51 with
// its type so that it is seen, not swallowed.
Error ToError(const std::exception& e);

}  // namespace ktfolio
