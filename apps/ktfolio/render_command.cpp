// `ktfolio render TEMPLATE --page N (--zoom Z | --dpi D) [--no-shadow] --output FILE.png`:
// one page as a picture, as the preview's page surface shows it (with its drop
// shadow) or, with --no-shadow, as the paper alone.
#include <cstdio>

#include "commands.h"

namespace ktfolio::cli {

namespace {
struct RenderOptions {
  std::string file;
  std::string output;
  int page = 1;
  int zoom = 100;
  int dpi = 0;  // 0: by the zoom
  bool noShadow = false;
};

int Render(const RenderOptions& o) {
  if (OutputIsInput(o.file, o.output)) return kExitUsage;
  KtPrint4Impl control;
  if (!LoadTemplate(control, o.file)) return kExitFailed;
  const auto page = static_cast<std::int16_t>(o.page);
  const bool shadow = !o.noShadow;
  const bool written = o.dpi > 0 ? control.ExportPngDpi(o.output, page, o.dpi, shadow)
                                 : control.ExportPng(o.output, page, static_cast<std::int16_t>(o.zoom), shadow);
  if (!written) return ReportFailure(control, page > control.Pages() ? PagesAsked(control, page, page) : "");
  std::printf("%s\n", o.output.c_str());
  return kExitOk;
}
}  // namespace

void AddRenderCommand(CLI::App& app, Action& action) {
  auto o = std::make_shared<RenderOptions>();
  CLI::App* render = app.add_subcommand("render", "Draw one page of a template as a PNG picture");
  AddTemplateArgument(*render, o->file);
  render->add_option("-p,--page", o->page, "Page to draw")->check(WholeNumber(1, kMaxPages))->capture_default_str();
  CLI::Option* zoom = render->add_option("-z,--zoom", o->zoom, "Zoom in percent, as the preview shows the page")
                          ->check(WholeNumber(10, 250))
                          ->capture_default_str();
  render->add_option("--dpi", o->dpi, "Resolution in dots per inch, instead of a zoom")
      ->check(WholeNumber(render::kMinExportDpi, render::kMaxExportDpi))
      ->excludes(zoom);
  render->add_flag("--no-shadow", o->noShadow, "Leave out the preview's drop shadow: the page alone");
  render->add_option("-o,--output", o->output, "PNG file to write")->required();
  render->callback([&action, o] { action = [o] { return Render(*o); }; });
}

}  // namespace ktfolio::cli
