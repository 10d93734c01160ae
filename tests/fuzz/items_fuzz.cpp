// libFuzzer target: row items in their text syntax ("#2880#Total", field codes,
// line markers) through AddRow and SetTextRow on one control. A failed call
// records an error and leaves the row count and the pages as they were.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/ktprint4_impl.h"

using namespace ktfolio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static KtPrint4Impl* control = [] {
    auto* c = new KtPrint4Impl();
    c->dColWordWrap(true);
    return c;
  }();
  KtPrint4Impl& c = *control;
  if (c.LastRow() > 200) c.ClearAll();

  // Items are separated by '|'.
  VariantArray items;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  while (items.size() < 8) {
    const std::size_t bar = rest.find('|');
    items.emplace_back(std::string(rest.substr(0, bar)));
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  const std::int32_t rows = c.LastRow();
  if (!c.AddRow(items) && c.LastRow() != rows) std::abort();  // nothing half-built
  if (c.LastRow() > 0) (void)c.SetTextRow(1, Body, items);
  const std::int16_t pages = c.Pages();
  if (pages < 1) std::abort();
  for (std::int32_t r = 1; r <= c.LastRow(); ++r)
    if (c.Rows(Body)->Item(r)->Page() > pages) std::abort();
  return 0;
}
