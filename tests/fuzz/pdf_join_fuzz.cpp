// libFuzzer target: joining arbitrary bytes as the second piece of a
// document. Whatever the bytes, the join takes them whole or refuses them,
// and the document is still finished with the first piece's pages and, when
// taken, theirs.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gdi/pdf_join.h"

namespace {

// One page, as a piece's context writes it (classic cross-reference table).
const char kFirst[] =
    "%PDF-1.4\n1 0 obj\n<< /Type /Pages /Kids [ 2 0 R ] /Count 1 >>\nendobj\n"
    "2 0 obj\n<< /Type /Page /Parent 1 0 R /MediaBox [ 0 0 10 10 ] >>\nendobj\n"
    "3 0 obj\n<< /Type /Catalog /Pages 1 0 R >>\nendobj\n"
    "xref\n0 4\n0000000000 65535 f \n0000000009 00000 n \n0000000068 00000 n \n0000000139 00000 n \n"
    "trailer\n<< /Size 4 /Root 3 0 R >>\nstartxref\n188\n%%EOF\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string out;
  ktfolio::win::PdfJoin join(ktfolio::win::PdfMetadata{}, [&out](std::string_view b) { out.append(b); });
  if (!join.Add(kFirst)) __builtin_trap();
  const int before = join.Pages();
  const bool taken = join.Add(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!taken && join.Pages() != before) __builtin_trap();
  if (!join.Finish() || out.compare(0, sizeof kFirst - 1, kFirst) != 0) __builtin_trap();
  return 0;
}
