// libFuzzer target: marking a page content stream's artifacts, on arbitrary
// bytes. Once marked, everything drawn lies in a marked sequence, so a second
// pass must change nothing; a pass that does lost track of strings, inline
// images or the nesting of marked content.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/pdf_content.h"

using ktfolio::win::gdi::MarkArtifacts;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  std::vector<int> pagination;
  const std::string once = MarkArtifacts(content, &pagination);
  for (int id : pagination)
    if (id < 0) __builtin_trap();
  if (content.find("NonStruct") == std::string_view::npos && MarkArtifacts(once) != once) __builtin_trap();
  return 0;
}
