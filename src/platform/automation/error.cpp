// How a caught failure becomes the error a record holds.
#include "platform/automation/error.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <ostream>
#include <typeinfo>

namespace ktfolio {
namespace {

std::string TypeName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                    &std::free);
  return status == 0 && name ? name.get() : type.name();
}

}  // namespace

std::ostream& operator<<(std::ostream& os, ErrorCode n) { return os << ToInt(n); }

Error ToError(const std::exception& e) {
  if (auto* err = dynamic_cast<const Error*>(&e)) return *err;
  if (dynamic_cast<const std::bad_alloc*>(&e))
    return Error(ErrorCode::kOutOfMemory, kLibraryName, "Out of memory");
  return Error(ErrorCode::kInternalError, kLibraryName,
               "Internal error: " + TypeName(typeid(e)) + ": " + e.what());
}

}  // namespace ktfolio
