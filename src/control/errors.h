// The control's message table and the error-record helpers.
#pragma once

#include <cstdint>
#include <string>

namespace ktfolio {

// The table's message for a number, or "" when the table has none.
std::string GetErrorMessage(std::int32_t number) noexcept;

// The record a control keeps of its last failure.
struct ErrorRecord {
  std::int32_t ErrorNumber = 0;
  std::string ErrorDescription;
  std::string ErrorSource;
};

}  // namespace ktfolio
