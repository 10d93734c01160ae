// `ktfolio render TEMPLATE --page N --zoom Z --output FILE.png`: one page as a picture.
#include <cstdio>

#include "commands.h"

namespace ktfolio::cli {

namespace {
struct RenderOptions {
  std::string file;
  std::string output;
  int page = 1;
  int zoom = 100;
};
}  // namespace

void AddRenderCommand(CLI::App& app, Action& action) {
  auto o = std::make_shared<RenderOptions>();
  CLI::App* render = app.add_subcommand("render", "Draw one page of a template as a PNG picture");
  AddTemplateArgument(*render, o->file);
  render->add_option("-p,--page", o->page, "Page to draw")->check(CLI::Range(1, kMaxPages))->capture_default_str();
  render->add_option("-z,--zoom", o->zoom, "Zoom in percent")->check(CLI::Range(10, 250))->capture_default_str();
  render->add_option("-o,--output", o->output, "PNG file to write")->required();
  render->callback([&action, o] {
    action = [o] {
      if (OutputIsInput(o->file, o->output)) return kExitUsage;
      KtPrint4 control;
      if (!LoadTemplate(control, o->file)) return kExitFailed;
      if (!control.ExportPng(o->output, static_cast<std::int16_t>(o->page), static_cast<std::int16_t>(o->zoom)))
        return ReportFailure(control);
      std::printf("%s\n", o->output.c_str());
      return kExitOk;
    };
  });
}

}  // namespace ktfolio::cli
