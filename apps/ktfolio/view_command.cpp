// `ktfolio view`: the preview of a template (or the demo invoice) on a form,
// in a real window, or rendered headless to a PNG of the whole control
// (toolbar, viewport, scroll bars). With --edit the person at the window
// edits cells in place and saves the template with Ctrl+S or on closing.
#include <cstdio>
#include <memory>
#include <string_view>

#include "cli.h"
#include "commands.h"
#include "pages/design_editing.h"
#include "viewer/toolbar.h"
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
  bool edit = false;
};

// Editing a template in the window: every cell can be edited (design mode,
// with its guide lines), Ctrl+S saves, and closing with changes asks first.
// The file keeps the editing flags it had (DesignEditing).
class EditSession {
 public:
  EditSession(KtPrint4Impl& control, Form& form, std::string file)
      : control_(control), editing_(control), form_(form), file_(std::move(file)) {
    editing_.Template(saved_);
    form.PreTranslate = [this](win::MSG& m) { return OnKey(m); };
  }
  ~EditSession() { form_.PreTranslate = nullptr; }

  // Runs the window until it closes with nothing left unsaved (or the
  // person chose not to save). Failure to save is reported and keeps the window.
  // The line on stdout tells a script driving the window that keys and
  // clicks from now on edit (Ctrl+S only works from here on).
  int Run() {
    std::printf("editing %s\n", file_.c_str());
    std::fflush(stdout);
    for (;;) {
      form_.Run();
      if (!Changed()) return kExitOk;
      const std::string question = "Save the changes to " + file_ + "?";
      const int answer = win::MessageBox(form_.hwnd(), question.c_str(), "ktfolio",
                                         win::MB_YESNOCANCEL | win::MB_ICONQUESTION);
      if (answer == win::IDNO) return kExitOk;
      if (answer == win::IDYES && Save()) return kExitOk;
      form_.Show();  // cancelled, or the save failed: back to editing
    }
  }

 private:
  bool OnKey(win::MSG& m) {
    const bool ctrlS = m.message == win::WM_KEYDOWN && m.wParam == 'S' && win::GetKeyState(win::VK_CONTROL) < 0;
    if (!ctrlS) return false;
    Save();
    return true;
  }

  bool Changed() {
    ByteArray now;
    editing_.Template(now);
    return DocumentOf(now) != DocumentOf(saved_);
  }

  // The design without the lines that follow the window rather than the
  // document (the zoom, the page count of the last paint): the session starts
  // before the window shows and zooms.
  static std::string DocumentOf(const ByteArray& design) {
    std::string text(design.begin(), design.end()), out;
    for (std::size_t p = 0; p < text.size();) {
      std::size_t end = text.find('\n', p);
      end = end == std::string::npos ? text.size() : end + 1;
      const std::string_view line(text.data() + p, end - p);
      if (!line.starts_with("Escala=") && !line.starts_with("MaxPag=")) out += line;
      p = end;
    }
    return out;
  }

  bool Save() {
    // Saving ends the cell being edited, as leaving it does: keys typed just
    // before Ctrl+S, still inside the editor's change delay, reach the cell
    // before it is written.
    win::SetFocus(form_.hwnd());
    control_.ClearError();
    if (!editing_.SaveAsTemplate(file_)) {
      ReportFailure(control_);
      return false;
    }
    editing_.Template(saved_);
    std::printf("saved %s\n", file_.c_str());
    std::fflush(stdout);
    return true;
  }

  KtPrint4Impl& control_;
  DesignEditing editing_;
  Form& form_;
  std::string file_;
  ByteArray saved_;
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
  if (o.demo == !o.file.empty()) {
    std::fprintf(stderr, "ktfolio: view wants a TEMPLATE file or --demo (one of the two)\n");
    return kExitUsage;
  }
  if (o.edit && (o.demo || !window)) {
    std::fprintf(stderr, "ktfolio: --edit edits a TEMPLATE file in a window (not with --demo or --screenshot)\n");
    return kExitUsage;
  }
  if (window && !win::user::UseGtkBackend()) {
    std::fprintf(stderr, "ktfolio: no display to open a window on; use --screenshot FILE.png\n");
    return kExitFailed;
  }
  if (!window && !o.demo && OutputIsInput(o.file, o.screenshot)) return kExitUsage;
  auto form = std::make_unique<Form>(w, h, "ktfolio preview");
  KtPrint4Impl control(form.get());
  if (o.demo) {
    examples::BuildInvoice(control, DataFile("logo.png"));
  } else if (!LoadTemplate(control, o.file)) {
    return kExitFailed;
  }
  PlaceOnForm(control, *form);
  // Editing starts before the window shows: a double-click on it as soon as
  // it appears (while the first page is still being drawn) already edits.
  std::unique_ptr<EditSession> session;
  if (window && o.edit) session = std::make_unique<EditSession>(control, *form, o.file);
  form->Show();
  control.ClearError();
  std::int16_t zoom = static_cast<std::int16_t>(o.zoom);
  control.SetZoom(zoom);
  control.Preview(static_cast<std::int16_t>(o.page));
  form->Pump();
  std::int32_t n;
  std::string d, s;
  if (control.GetLastError(n, d, s)) return ReportFailure(control);
  if (session) return session->Run();
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
  view->add_option("--page", o->page, "Page to show")->check(WholeNumber(1, kMaxPages))->capture_default_str();
  view->add_option("--zoom", o->zoom, "Zoom in percent (10..250), 0 fit to page, -1 fit to width")
      ->check(ZoomOrFit())
      ->capture_default_str();
  view->add_flag("--edit", o->edit,
                 "Edit cells in place (double-click a cell; Enter moves on); Ctrl+S saves the template, "
                 "closing asks about unsaved changes");
  view->callback([&action, o] { action = [o] { return View(*o); }; });
}

}  // namespace ktfolio::cli
