// Example host: builds the example invoice and writes it as a PDF and as PNG
// pages. The logo is found in share/ktfolio beside the program's bin/ ("%APP_PATH%"),
// where it is installed and where the build tree has it.
#include <cstdio>
#include <cstring>
#include <string>

#include "invoice_document.h"

using namespace ktfolio;

static void Usage(FILE* out) {
  std::fprintf(out,
               "usage: invoice [--items N] [--output-dir DIR] [--template FILE]\n"
               "Builds the example invoice and writes DIR/invoice.pdf and DIR/invoice-N.png.\n"
               "  --items N         invoice lines (default 60)\n"
               "  --output-dir DIR  where the files go (default .)\n"
               "  --template FILE   also save the invoice's design as a template file\n");
}

static int Fail(KtPrint4& c) {
  std::int32_t n = 0;
  std::string d, s;
  c.GetLastError(n, d, s);
  std::fprintf(stderr, "invoice: error %d in %s: %s\n", n, s.c_str(), d.c_str());
  return 1;
}

int main(int argc, char** argv) {
  int items = 60;
  std::string dir = ".", templateFile;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      Usage(stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--items") && i + 1 < argc) {
      items = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--output-dir") && i + 1 < argc) {
      dir = argv[++i];
    } else if (!std::strcmp(argv[i], "--template") && i + 1 < argc) {
      templateFile = argv[++i];
    } else {
      std::fprintf(stderr, "invoice: unknown argument '%s'\n", argv[i]);
      Usage(stderr);
      return 2;
    }
  }
  KtPrint4 c;
  examples::BuildInvoice(c, "%APP_PATH%/" KTFOLIO_BIN_TO_DATA "/logo.png", items);
  if (!templateFile.empty() && !c.SaveAsTemplate(templateFile)) return Fail(c);
  const std::int16_t pages = c.Pages();
  if (!c.ExportPdf(dir + "/invoice.pdf", 1, pages)) return Fail(c);
  for (std::int16_t p = 1; p <= pages; ++p)
    if (!c.ExportPng(dir + "/invoice-" + std::to_string(p) + ".png", p, 100)) return Fail(c);
  std::printf("pages: %d\n%s/invoice.pdf\n", pages, dir.c_str());
  return 0;
}
