// `ktfolio view`: the preview of a template (or the demo invoice) on a form,
// in a real window, or rendered headless to a PNG of the whole control
// (toolbar, viewport, scroll bars).
#include <cstdio>
#include <memory>

#include "commands.h"
#include "edit/toolbar.h"
#include "invoice_document.h"
#include "platform/container/form.h"

namespace ktfolio::cli {

namespace {
struct ViewOptions {
  std::string file;
  bool demo = false;
  std::string screenshot;
  std::string size = "900x700";
  int page = 1;
  int zoom = 100;  // -1 fit to width, 0 fit to page
};

bool ParseSize(const std::string& text, int& w, int& h) {
  return std::sscanf(text.c_str(), "%dx%d", &w, &h) == 2 && w >= 100 && h >= 100 && w <= 8000 && h <= 8000;
}

int View(const ViewOptions& o) {
  int w = 0, h = 0;
  if (!ParseSize(o.size, w, h)) {
    std::fprintf(stderr, "ktfolio: --size wants WIDTHxHEIGHT between 100 and 8000 pixels, not '%s'\n",
                 o.size.c_str());
    return kExitUsage;
  }
  const bool window = o.screenshot.empty();
  if (window && !win::user::UseGtkBackend()) {
    std::fprintf(stderr, "ktfolio: no display to open a window on; use --screenshot FILE.png\n");
    return kExitFailed;
  }
  if (o.demo == !o.file.empty()) {
    std::fprintf(stderr, "ktfolio: view wants a TEMPLATE file or --demo (one of the two)\n");
    return kExitUsage;
  }
  auto form = std::make_unique<Form>(w, h, "ktfolio preview");
  KtPrint4 control(form.get());
  if (o.demo) {
    examples::BuildInvoice(control, "%APP_PATH%/logo.png");
  } else if (!LoadTemplate(control, o.file)) {
    return kExitFailed;
  }
  PlaceOnForm(control, *form);
  form->Show();
  control.ClearError();
  std::int16_t zoom = static_cast<std::int16_t>(o.zoom);
  control.SetZoom(zoom);
  control.Preview(static_cast<std::int16_t>(o.page));
  form->Pump();
  std::int32_t n;
  std::string d, s;
  if (control.GetLastError(n, d, s)) return ReportFailure(control);
  if (window) {
    form->Run();
    return kExitOk;
  }
  if (!form->Screenshot(o.screenshot)) {
    std::fprintf(stderr, "ktfolio: cannot write '%s'\n", o.screenshot.c_str());
    return kExitFailed;
  }
  std::printf("%s\n", o.screenshot.c_str());
  return kExitOk;
}
}  // namespace

void AddViewCommand(CLI::App& app, Action& action) {
  auto o = std::make_shared<ViewOptions>();
  CLI::App* view = app.add_subcommand("view", "Show the preview in a window, or render it headless to a PNG");
  view->add_option("TEMPLATE", o->file, "Template file to preview");
  view->add_flag("--demo", o->demo, "Show the example invoice instead");
  view->add_option("--screenshot", o->screenshot, "Render the control window to this PNG and exit");
  view->add_option("--size", o->size, "Window client size, WIDTHxHEIGHT")->capture_default_str();
  view->add_option("--page", o->page, "Page to show")->capture_default_str();
  view->add_option("--zoom", o->zoom, "Zoom in percent (10..250), 0 fit to page, -1 fit to width")
      ->capture_default_str();
  view->callback([&action, o] { action = [o] { return View(*o); }; });
}

}  // namespace ktfolio::cli
