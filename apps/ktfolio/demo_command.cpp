// `ktfolio demo`: the example invoice, written as PNG pages and a PDF.
#include <cstdio>

#include "cli.h"
#include "commands.h"
#include "invoice_document.h"

namespace ktfolio::cli {

namespace {
struct DemoOptions {
  std::string outputDir = "ktfolio-demo";
  int zoom = 100;
  int items = 60;
  std::string logo = DataFile("logo.png");
  bool quiet = false;
};
}  // namespace

void AddDemoCommand(CLI::App& app, Action& action) {
  auto options = std::make_shared<DemoOptions>();
  CLI::App* demo = app.add_subcommand("demo", "Write the example invoice as page-N.png files and document.pdf");
  demo->add_option("-o,--output-dir", options->outputDir, "Folder for the files (created when missing)")
      ->capture_default_str();
  demo->add_option("-z,--zoom", options->zoom, "Zoom of the PNG pages in percent")
      ->check(WholeNumber(10, 250))
      ->capture_default_str();
  demo->add_option("-n,--items", options->items, "Invoice lines")->check(WholeNumber(0, 100000))->capture_default_str();
  demo->add_option("--logo", options->logo, "Picture file for the header")->capture_default_str();
  AddQuietFlag(*demo, options->quiet);
  demo->callback([&action, options] {
    action = [options] {
      Progress progress("demo", options->quiet);
      KtPrint4Impl control;
      examples::BuildInvoice(control, options->logo, options->items);
      std::int32_t n;
      std::string d, s;
      if (control.GetLastError(n, d, s)) return ReportFailure(control);
      std::printf("invoice: %d pages\n", control.Pages());
      return WritePagesAndPdf(control, options->outputDir, options->zoom, progress);
    };
  });
}

}  // namespace ktfolio::cli
