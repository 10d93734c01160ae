#include "control/errors.h"

namespace ktfolio {

std::string GetErrorMessage(std::int32_t number) noexcept {
  static const char* const kMessages[] = {
      "Unable to Load Image",                            // 60101
      "This device does not support DIB's",              // 60102
      "Unable To Load Image Into Bitmap Object",         // 60103
      "Unable To Create Font",                           // 60104
      "Doble Click outside printable area",              // 60105
      "Doble click on no editable cell",                 // 60106
      "Page out of range",                               // 60107
      "No valid Property Name",                          // 60108
      "Could'n add new row",                             // 60109
      "Zoom Value out of range",                         // 60110
      "The Row haven't got any text items",              // 60111
      "Need a printer name!!",                           // 60112
      "Number of copies no valid",                       // 60113
      "Couldn't open printer. Specify a printer name",   // 60114
      "Couldn't retrieve configuration information",     // 60115
      "Couldn't access configuration information",       // 60116
      "Couldn't create a print job area",                // 60117
      "Couldn't send a new document to printer",         // 60118
      "Error canceling current document",                // 60119
      "Error finishing current document",                // 60120
      "Error deleting print job area",                   // 60121
      "Error closing printer",                           // 60122
      "Error finishing to print current page",           // 60123
      "Error starting current page",                     // 60124
  };
  constexpr std::int32_t kFirst = 60101;
  constexpr std::int32_t kCount = static_cast<std::int32_t>(sizeof kMessages / sizeof kMessages[0]);
  try {
    if (number < kFirst || number >= kFirst + kCount) return {};
    return kMessages[number - kFirst];
  } catch (...) {
    return {};
  }
}

}  // namespace ktfolio
