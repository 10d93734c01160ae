// The control's message table and the error-record helpers.
#pragma once

#include <cstdint>
#include <string>

#include "platform/automation/error.h"

namespace ktfolio {

// The message table's text for a number (the ErrorCode 601xx family), or ""
// when the table has none; never fails.
std::string GetErrorMessage(std::int32_t number) noexcept;

// The record a control keeps of its last failure. When several errors arise
// in one operation the last one recorded wins: each recording replaces all
// three fields.
struct ErrorRecord {
  std::int32_t ErrorNumber = 0;
  std::string ErrorDescription;
  std::string ErrorSource;
};

}  // namespace ktfolio
