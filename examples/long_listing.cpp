// Example host: a long listing (1 000 rows by default) with its column
// headings repeated in the header band, numbers on the right, a "Page x of n"
// footer, a grid round every cell and forced page breaks, written to a PDF.
#include <cstdio>
#include <cstring>
#include <string>

#include <ktfolio/ktfolio.h>

using namespace ktfolio;

static void Usage(FILE* out) {
  std::fprintf(out,
               "usage: long_listing [--rows N] [--break-every N] [--output FILE] [--template FILE]\n"
               "Builds a listing of N rows x 5 columns and writes it as a PDF.\n"
               "  --rows N         body rows (default 1000)\n"
               "  --break-every N  force a page break every N rows (default 250, 0 for none)\n"
               "  --output FILE    the PDF to write (default listing.pdf)\n"
               "  --template FILE  also save the listing's design as a template file\n");
}

int main(int argc, char** argv) {
  int rows = 1000, breakEvery = 250;
  std::string output = "listing.pdf", templateFile;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      Usage(stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--rows") && i + 1 < argc) {
      rows = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--break-every") && i + 1 < argc) {
      breakEvery = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--output") && i + 1 < argc) {
      output = argv[++i];
    } else if (!std::strcmp(argv[i], "--template") && i + 1 < argc) {
      templateFile = argv[++i];
    } else {
      std::fprintf(stderr, "long_listing: unknown argument '%s'\n", argv[i]);
      Usage(stderr);
      return 2;
    }
  }
  if (rows < 0 || breakEvery < 0) {
    std::fprintf(stderr, "long_listing: counts must not be negative\n");
    return 2;
  }

  KtPrint4 c;
  c.ScaleMode(eMillimetre);
  c.Marginleft(15);
  c.MarginRight(15);
  c.MarginTop(30);
  c.MarginBottom(20);
  c.MarginFooter(14);
  c.dColLineTop(1);
  c.dColLineBottom(1);
  c.dColLineLeft(1);
  c.dColLineRight(1);
  c.dInheritLastRow(false);

  // The repeated header: a title line and the column captions.
  c.AddHeaderRow("Stock listing");
  c.SetProperty(1, 1, "FontSize", Variant(14), Header);
  c.SetProperty(1, 1, "FontBold", Variant(true), Header);
  c.SetProperty(1, 1, "LineTop", Variant(0), Header);
  c.SetProperty(1, 1, "LineLeft", Variant(0), Header);
  c.SetProperty(1, 1, "LineRight", Variant(0), Header);
  c.AddHeaderRow("Code", "#1500#Description", "#6000#Quantity", "#7300#Price", "#8600#Total");
  c.SetProperty(2, -1, "FontBold", Variant(true), Header);
  c.SetProperty(2, -1, "FillCell", Variant(true), Header);
  c.SetProperty(2, -1, "BrushColor", Variant(0xDDDDDD), Header);
  for (int col = 3; col <= 5; ++col) c.SetProperty(2, col, "AlignPos", Variant(ppRightCenter), Header);
  c.AddFooterRow("Page %p of %n");
  c.SetProperty(1, 1, "AlignPos", Variant(ppCenterCenter), Footer);
  c.SetProperty(1, 1, "LineTop", Variant(0), Footer);
  c.SetProperty(1, 1, "LineLeft", Variant(0), Footer);
  c.SetProperty(1, 1, "LineRight", Variant(0), Footer);
  c.SetProperty(1, 1, "LineBottom", Variant(0), Footer);

  // Each row takes its look from the one before: the first one's numbers go
  // on the right, and so do all the others'.
  c.dInheritLastRow(true);
  for (int i = 1; i <= rows; ++i) {
    const int qty = i % 17 + 1;
    const double price = 0.25 * (i % 400) + 1;
    char p[32], t[32];
    std::snprintf(p, sizeof p, "#7300#%.2f", price);
    std::snprintf(t, sizeof t, "#8600#%.2f", price * qty);
    c.AddRow("SKU-" + std::to_string(100000 + i), "#1500#Article number " + std::to_string(i),
             "#6000#" + std::to_string(qty), std::string(p), std::string(t));
    if (i == 1)
      for (int col = 3; col <= 5; ++col) c.SetProperty(1, col, "AlignPos", Variant(ppRightCenter));
  }
  if (breakEvery > 0)
    for (int r = breakEvery + 1; r <= rows; r += breakEvery) c.SetPageBreak(r);
  const std::int16_t pages = c.Pages();
  if (pages < 1 || !c.ExportPdf(output, 1, pages) || (!templateFile.empty() && !c.SaveAsTemplate(templateFile))) {
    std::int32_t n = 0;
    std::string d, s;
    c.GetLastError(n, d, s);
    std::fprintf(stderr, "long_listing: error %d in %s: %s\n", n, s.c_str(), d.c_str());
    return 1;
  }
  std::printf("pages: %d\n%s\n", pages, output.c_str());
  return 0;
}
