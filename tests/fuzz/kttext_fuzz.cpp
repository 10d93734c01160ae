// libFuzzer target: the formatted text box's character filter, numeric texts
// and display pictures, on arbitrary bytes. The first byte picks the digit
// counts; the rest is split at the first NUL into a filter or picture and a text.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "controls/kttext.h"
#include "platform/automation/error.h"
#include "platform/container/form.h"

using namespace ktfolio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto form = std::make_unique<Form>(200, 60);
  static auto box = std::make_unique<KtText>(form->hwnd(), "txtFuzz", *form);
  if (size < 1) return 0;
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t nul = rest.find('\0');
  const std::string pattern = rest.substr(0, nul);
  const std::string text = nul == std::string::npos ? std::string() : rest.substr(nul + 1);

  // Any filter accepts the control characters; none crashes on any key.
  for (int key : {0, 9, 31, 32, int{'a'}, int{'-'}, 255, 256})
    if (!KtText::TestFilter(pattern, static_cast<std::int16_t>(key)) && key < 32) __builtin_trap();

  box->ControlType(ktNumeric);
  box->LengthInt(static_cast<std::int16_t>(data[0] & 0x0F));
  box->LengthDec(static_cast<std::int16_t>(data[0] >> 4));
  box->FormatStr(pattern);  // an unusable picture falls back: never an error
  try {
    box->Text(text);
    if (!std::isfinite(box->Value())) __builtin_trap();  // an accepted text is a number
  } catch (const Error& e) {
    if (e.number() != ErrorCode::kInvalidPropertyValue) __builtin_trap();
  }
  (void)box->FormattedText();
  box->ControlType(ktFreeText);
  return 0;
}
