// `ktfolio print TEMPLATE --printer NAME [--from A] [--to B] [--copies N]
// [--output FILE.pdf]`: a page range of a template through the spooler.
#include <strings.h>

#include <cstdio>

#include "commands.h"
#include "platform/spooler/spooler.h"
#include "platform/user/user.h"

namespace ktfolio::cli {

namespace {

struct PrintOptions {
  std::string file;
  std::string printer;
  std::string output;
  int from = 1;
  int to = 0;  // 0: the last page
  int copies = 1;
  bool quiet = false;
  MetadataOptions metadata;
};

bool IsPdfPrinter(const std::string& name) { return strcasecmp(name.c_str(), win::spooler::kPdfPrinterName) == 0; }

// Nobody is there to answer a question: the first button (Yes) was taken.
// Say what was asked, so the copies printed are no surprise.
void ReportQuestions() {
  for (const auto& box : win::user::MessageBoxLog())
    std::fprintf(stderr, "ktfolio: %s: %s (answered Yes)\n", box.caption.c_str(), box.text.c_str());
}

int Print(const PrintOptions& o) {
  if (!o.output.empty() && !IsPdfPrinter(o.printer)) {
    std::fprintf(stderr, "ktfolio: --output is for the %s printer only\n", win::spooler::kPdfPrinterName);
    return kExitUsage;
  }
  if (!o.output.empty()) win::spooler::SetPdfPrinterOutput(o.output);
  if (IsPdfPrinter(o.printer) && OutputIsInput(o.file, win::spooler::PdfPrinterOutput())) return kExitUsage;
  Progress progress("print", o.quiet);
  KtPrint4Impl control;
  if (!LoadTemplate(control, o.file) || HasNoPage(control, o.file)) return kExitFailed;
  if (!ApplyMetadata(control, o.metadata)) return kExitUsage;
  const std::int16_t last = o.to > 0 ? static_cast<std::int16_t>(o.to) : control.Pages();
  if (o.from > last || o.from > control.Pages()) {
    // The job would print no page (and make no file): not what was asked.
    std::fprintf(stderr, "ktfolio: nothing to print: %s\n", PagesAsked(control, o.from, last).c_str());
    return kExitFailed;
  }
  control.PrinterName(o.printer);
  control.ClearError();
  render::PageProgressScope scope(progress.Hook());
  control.PrintDoc(static_cast<std::int16_t>(o.from), last, false, static_cast<std::int16_t>(o.copies));
  ReportQuestions();
  for (const std::string& warning : win::spooler::JobWarnings())
    std::fprintf(stderr, "ktfolio: warning: %s\n", warning.c_str());
  std::int32_t number = 0;
  std::string description, source;
  if (control.GetLastError(number, description, source)) return ReportFailure(control);
  if (IsPdfPrinter(o.printer)) std::printf("%s\n", win::spooler::PdfPrinterOutput().c_str());
  else std::printf("pages %d-%d sent to %s\n", o.from, last, o.printer.c_str());
  return kExitOk;
}

}  // namespace

void AddPrintCommand(CLI::App& app, Action& action) {
  auto o = std::make_shared<PrintOptions>();
  CLI::App* print = app.add_subcommand("print", "Print pages of a template on a printer (see `ktfolio printers`)");
  AddTemplateArgument(*print, o->file);
  print->add_option("-p,--printer", o->printer, "Printer name: a CUPS queue, or PDF for the built-in one")
      ->required();
  print->add_option("--from", o->from, "First page")->check(WholeNumber(1, kMaxPages))->capture_default_str();
  print->add_option("--to", o->to, "Last page (default: the last page of the document)")
      ->check(WholeNumber(1, kMaxPages));
  print->add_option("-n,--copies", o->copies, "Copies")->check(WholeNumber(1, kMaxPages))->capture_default_str();
  print->add_option("-o,--output", o->output, "The file the PDF printer writes (default: ktfolio-print.pdf)");
  AddMetadataOptions(*print, o->metadata);
  AddQuietFlag(*print, o->quiet);
  print->callback([&action, o] { action = [o] { return Print(*o); }; });
}

}  // namespace ktfolio::cli
