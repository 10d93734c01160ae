// Template files: read whole within their size, and written as the platform
// writes every file (beside the target, then renamed over it), so that a
// failed save never destroys the previous template.
#include <climits>

#include "persist/persist_impl.h"
#include "platform/fileio/fileio.h"

namespace ktfolio::persist {

namespace {

// The design buffer's length is 32-bit.
constexpr std::uint64_t kMaxTemplateBytes = INT32_MAX;

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  std::string bytes = fileio::ReadRegularFile(path, kMaxTemplateBytes, "template");
  if (bytes.empty())
    throw Error(ErrorCode::kInputPastEnd, kLibraryName, "Input past end of file (the file is empty): '" + path + "'");
  return bytes;
}

void ReplaceFile(const std::string& path, std::string_view bytes) { fileio::WriteFileAtomically(path, bytes); }

}  // namespace ktfolio::persist
