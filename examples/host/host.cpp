// A host program outside the source tree: it includes the installed headers
// by their <ktfolio/...> paths and prints the page count of a small listing.
// The packaging tests build it against an installed ktfolio, both through
// find_package and through pkg-config.
#include <ktfolio/ktfolio.h>

#include <cstdio>
#include <string>

int main() {
  using namespace ktfolio;
  KtPrint4 c;
  c.ScaleMode(eMillimetre);
  c.PageSize(s_A4);
  // Fixed row heights: the page count does not depend on the installed fonts.
  c.dFitHeightToText(false);
  c.dRowHeight(10);
  c.AddHeaderRow("Listing", "#7000#Page %p of %n");
  for (int i = 1; i <= 60; ++i) c.AddRow("Item " + std::to_string(i), "#6000#" + std::to_string(i * 3));
  const int pages = c.Pages();
  std::int32_t number = 0;
  std::string description, source;
  if (c.GetLastError(number, description, source)) {
    std::fprintf(stderr, "error %d in %s: %s\n", number, source.c_str(), description.c_str());
    return 1;
  }
  std::printf("pages: %d\n", pages);
  return 0;
}
