// Example host: a product listing with repeated header and footer rows, a title
// block, body rows styled by attribute name, a closing block and a forced page
// break. Prints the pagination: page count and each row's page and top.
#include <cstdio>
#include <cstring>
#include <string>

#include "control/ktprint4.h"

using namespace ktfolio;

static void Usage(FILE* out) {
  std::fprintf(out,
      "usage: listing_report [--rows N] [--break-at ROW]\n"
      "Builds an example listing and prints its pagination.\n"
      "  --rows N        body rows to list (default 60)\n"
      "  --break-at ROW  force a page break before this body row (default 40, 0 for none)\n");
}

int main(int argc, char** argv) {
  int rows = 60, breakAt = 40;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      Usage(stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--rows") && i + 1 < argc) {
      rows = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--break-at") && i + 1 < argc) {
      breakAt = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "listing_report: unknown argument '%s'\n", argv[i]);
      Usage(stderr);
      return 2;
    }
  }
  if (rows < 0) {
    std::fprintf(stderr, "listing_report: --rows must not be negative\n");
    return 2;
  }

  KtPrint4 c;
  c.ScaleMode(eMillimetre);
  c.PageSize(s_A4);
  c.Marginleft(20);
  c.MarginRight(20);
  c.MarginTop(25);
  c.MarginBottom(25);
  c.RowSpacing(1);

  // Repeated bands: the page header and a footer with the page number.
  c.dColsPerRow(2);
  c.AddHeaderRow("ktfolio example listing", "Printed %sd");
  c.SetProperty(1, 1, "FontBold", Variant(true), Header);
  c.SetProperty(1, 2, "AlignPos", Variant(ppRightCenter), Header);
  c.OutLineBlock(1, ppLineBottom, 0, 0, true, Header);
  c.AddFooterRow("Confidential", "Page %p of %n");
  c.SetProperty(1, 2, "AlignPos", Variant(ppRightCenter), Footer);

  // Title block at the start of the document.
  c.dColsPerRow(1);
  c.AddStartDocRow("Product catalogue");
  c.SetProperty(1, 1, "FontSize", Variant(18));
  c.AddStartDocRow("Every product in stock with its code, description and unit price.");

  // Body: a column header and one row per product, columns placed by the item syntax.
  c.dInheritLastRow(false);
  c.dColsPerRow(4);
  c.AddRow("Code", "Description", "#7000#Qty", "#8200#Price");
  const std::int32_t headRow = c.LastRow();
  c.SetProperty(headRow, -1, "FontBold", Variant(true));
  c.SetProperty(headRow, -1, "FillCell", Variant(true));
  c.dInheritLastRow(true);
  for (int i = 1; i <= rows; ++i) {
    std::string desc = "Product number " + std::to_string(i);
    if (i % 7 == 0) desc += " with a longer description that wraps onto a second line of its column";
    c.AddRow("P-" + std::to_string(1000 + i), desc, i % 13 + 1, 2.5 * i);
  }
  c.SetProperty(-1, 1, "FontBold", Variant(false));
  c.OutLineBlock(1, ppOutLineFull, headRow, 0);

  // Closing block at the end of the document.
  c.dInheritLastRow(false);
  c.dColsPerRow(1);
  c.AddEndDocRow("Prices include VAT. Thank you for your order.");
  if (breakAt > 0 && breakAt <= rows) c.SetPageBreak(headRow + breakAt);
  c.RePaging();

  std::int32_t n = 0;
  std::string d, s;
  if (c.GetLastError(n, d, s)) {
    std::fprintf(stderr, "listing_report: error %d in %s: %s\n", n, s.c_str(), d.c_str());
    return 1;
  }

  const auto& page = c.PageInfo();
  std::printf("paper %.0f x %.0f twips, body %.0f x %.0f twips\n", page.Width, page.Height, page.AvailWidth,
              page.AvailHeight);
  std::printf("pages: %d\n", c.Pages());
  std::printf("body rows: %d (start rows 1..%d, centre %d..%d, end rows after)\n", c.LastRow(),
              c.StartBodyRow() - 1, c.StartBodyRow(), c.EndBodyRow());
  std::printf("%6s %6s %10s %10s  %s\n", "row", "page", "top", "height", "first cell");
  for (std::int32_t r = 1; r <= c.LastRow(); ++r) {
    const KtRow& row = *c.Rows(Body)->Item(r);
    std::printf("%6d %6d %10.0f %10.0f  %s%s\n", r, row.Page(), row.TopInPage(), row.RowHeight(),
                c.GetProperty(r, 1, "Text").ToString().c_str(),
                row.PageBreak() ? "  [page break]" : (row.NewPage() ? "  [new page]" : ""));
  }
  return 0;
}
