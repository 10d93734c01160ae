// Example host: a product listing whose title and column headings repeat in
// the header band of every page, a footer, body rows styled by attribute name
// with their numbers on the right, a closing block and a forced page break.
// Prints the pagination: page count and each row's page and top.
#include <cstdio>
#include <cstring>
#include <string>

#include "control/ktprint4_impl.h"

using namespace ktfolio;

static void Usage(FILE* out) {
  std::fprintf(out,
      "usage: listing_report [--rows N] [--break-at ROW] [--pdf FILE]\n"
      "Builds an example listing and prints its pagination.\n"
      "  --rows N        body rows to list (default 60)\n"
      "  --break-at ROW  force a page break before this body row (default 40, 0 for none)\n"
      "  --pdf FILE      also write the listing as a PDF\n");
}

int main(int argc, char** argv) {
  int rows = 60, breakAt = 40;
  std::string pdf;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      Usage(stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--rows") && i + 1 < argc) {
      rows = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--break-at") && i + 1 < argc) {
      breakAt = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--pdf") && i + 1 < argc) {
      pdf = argv[++i];
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

  KtPrint4Impl c;
  c.ScaleMode(eMillimetre);
  c.PageSize(s_A4);
  c.Marginleft(20);
  c.MarginRight(20);
  c.MarginTop(25);
  c.MarginBottom(25);
  c.RowSpacing(1);

  // Repeated bands: a title line and the column headings on every page, a
  // footer with the page number.
  c.dInheritLastRow(false);
  c.dColsPerRow(2);
  c.AddHeaderRow("Product catalogue", "Printed %sd");
  c.SetProperty(1, 1, "FontSize", Variant(16), Header);
  c.SetProperty(1, 1, "FontBold", Variant(true), Header);
  c.SetProperty(1, 2, "AlignPos", Variant(ppRightCenter), Header);
  c.dColsPerRow(4);
  c.AddHeaderRow("Code", "#1300#Description", "#7000#Qty", "#8200#Price");
  c.SetProperty(2, -1, "FontBold", Variant(true), Header);
  c.SetProperty(2, -1, "FillCell", Variant(true), Header);
  c.SetProperty(2, -1, "BrushColor", Variant(0xE0E0E0), Header);
  c.SetProperty(2, 3, "AlignPos", Variant(ppRightCenter), Header);
  c.SetProperty(2, 4, "AlignPos", Variant(ppRightCenter), Header);
  c.OutLineBlock(1, ppOutLineFull, 2, 1, true, Header, 2, 4);
  c.dColsPerRow(2);
  c.AddFooterRow("Confidential", "Page %p of %n");
  c.SetProperty(1, 2, "AlignPos", Variant(ppRightCenter), Footer);

  // Body: one row per product in the columns of the headings, then styled by
  // attribute name: the numbers on the right, a rule under each row.
  c.dColsPerRow(4);
  const std::int32_t firstItem = c.LastRow() + 1;
  for (int i = 1; i <= rows; ++i) {
    std::string desc = "Product number " + std::to_string(i);
    if (i % 7 == 0) desc += " with a longer description that wraps onto a second line of its column";
    char price[32];
    std::snprintf(price, sizeof price, "#8200#%.2f", 2.5 * i);
    c.AddRow("P-" + std::to_string(1000 + i), "#1300#" + desc, "#7000#" + std::to_string(i % 13 + 1),
             std::string(price));
  }
  c.SetProperty(-1, 3, "AlignPos", Variant(ppRightCenter));
  c.SetProperty(-1, 4, "AlignPos", Variant(ppRightCenter));
  c.SetProperty(-1, -1, "LineBottom", Variant(1));
  c.SetProperty(-1, -1, "PenColor", Variant(0xC0C0C0));

  // Closing block at the end of the document.
  c.dColsPerRow(1);
  c.AddEndDocRow("Prices include VAT. Thank you for your order.");
  if (breakAt > 0 && breakAt <= rows) c.SetPageBreak(firstItem + breakAt - 1);
  c.RePaging();

  if (!pdf.empty() && !c.ExportPdf(pdf, 1, c.Pages()))
    std::fprintf(stderr, "listing_report: could not write %s\n", pdf.c_str());
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
  std::printf("body rows: %d (centre %d..%d, end rows after)\n", c.LastRow(), c.StartBodyRow(), c.EndBodyRow());
  std::printf("%6s %6s %10s %10s  %s\n", "row", "page", "top", "height", "first cell");
  for (std::int32_t r = 1; r <= c.LastRow(); ++r) {
    const KtRow& row = *c.Rows(Body)->Item(r);
    std::printf("%6d %6d %10.0f %10.0f  %s%s\n", r, row.Page(), row.TopInPage(), row.RowHeight(),
                c.GetProperty(r, 1, "Text").ToString().c_str(),
                row.PageBreak() ? "  [page break]" : (row.NewPage() ? "  [new page]" : ""));
  }
  return 0;
}
