// libFuzzer target: finishing arbitrary bytes as a tagged document. Whatever
// the bytes, the rewrite declines them or gives a whole file that ends with
// its cross-reference stream; it never reads outside them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_impl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view pdf(reinterpret_cast<const char*>(data), size);
  ktfolio::win::PdfMetadata meta;
  meta.language = "en";
  const std::vector<std::string> alts = {"a picture", "", "another"};
  const std::optional<std::string> out = ktfolio::win::gdi::FinishTaggedPdf(pdf, meta, alts);
  if (!out) return 0;
  if (out->compare(0, 7, "%PDF-1.") != 0 || out->size() < 6 || out->compare(out->size() - 6, 6, "%%EOF\n") != 0 ||
      out->find("/Type /XRef") == std::string::npos)
    __builtin_trap();
  return 0;
}
