// `ktfolio pdf TEMPLATE --output FILE.pdf [--from A] [--to B] [--title T --author A --lang L]`:
// a page range as a PDF.
#include <cstdio>

#include "commands.h"

namespace ktfolio::cli {

namespace {
struct PdfOptions {
  std::string file;
  std::string output;
  int from = 1;
  int to = 0;  // 0: the last page
  bool quiet = false;
  MetadataOptions metadata;
};
}  // namespace

void AddPdfCommand(CLI::App& app, Action& action) {
  auto o = std::make_shared<PdfOptions>();
  CLI::App* pdf = app.add_subcommand("pdf", "Write pages of a template as a PDF document");
  AddTemplateArgument(*pdf, o->file);
  pdf->add_option("-o,--output", o->output, "PDF file to write")->required();
  pdf->add_option("--from", o->from, "First page")->check(WholeNumber(1, kMaxPages))->capture_default_str();
  pdf->add_option("--to", o->to, "Last page (default: the last page of the document)")
      ->check(WholeNumber(1, kMaxPages));
  AddMetadataOptions(*pdf, o->metadata);
  AddQuietFlag(*pdf, o->quiet);
  pdf->callback([&action, o] {
    action = [o] {
      if (OutputIsInput(o->file, o->output)) return kExitUsage;
      Progress progress("pdf", o->quiet);
      render::PageProgressScope scope(progress.Hook());
      KtPrint4Impl control;
      if (!LoadTemplate(control, o->file) || HasNoPage(control, o->file)) return kExitFailed;
      if (!ApplyMetadata(control, o->metadata)) return kExitUsage;
      const std::int16_t last = o->to > 0 ? static_cast<std::int16_t>(o->to) : control.Pages();
      if (!control.ExportPdf(o->output, static_cast<std::int16_t>(o->from), last))
        return ReportFailure(control, last > control.Pages() || o->from > last ? PagesAsked(control, o->from, last) : "");
      std::printf("%s\n", o->output.c_str());
      return kExitOk;
    };
  });
}

}  // namespace ktfolio::cli
