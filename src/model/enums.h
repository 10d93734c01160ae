// The published enumerations (declared with the public API) and their member
// lists, for bindings and designers.
#pragma once

#include <ktfolio/constants.h>

#include <cstdint>
#include <vector>

namespace ktfolio {

struct EnumMember {
  const char* type;
  const char* name;
  std::int32_t value;
};
// Every member of every published enumeration, for bindings and designers.
const std::vector<EnumMember>& PublishedEnumMembers();

}  // namespace ktfolio
