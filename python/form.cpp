// ktfolio.Form: a host form that scripts and tests drive with clicks, keys and
// typing, read back through its child windows and capture as a PNG.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>

#include "convert.h"
#include "host.h"
#include "platform/container/form.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace py = pybind11;

namespace ktfolio::py_binding {

namespace {

void CheckForm(const Form& f) {
  if (!f.hwnd()) throw py::value_error("operation on a released Form");
}

// A method of the form as a host call: refused once released, and a handler
// error raised meanwhile comes out when it returns.
template <typename R, typename... A>
auto Live(const char* name, R (Form::*fn)(A...)) {
  return [name, fn](Form& f, A... a) -> R {
    CheckForm(f);
    return AsHostCall(nullptr, std::string("Form.") + name + "()", [&]() -> R { return (f.*fn)(a...); });
  };
}

template <typename R>
auto Live(R (Form::*fn)() const) {
  return [fn](const Form& f) -> R {
    CheckForm(f);
    return (f.*fn)();
  };
}

void Release(Form& f) {
  ReleaseControlsOn(f);
  f.Release();
}

}  // namespace

void DefineForm(py::module_& m) {
  py::class_<Form, std::shared_ptr<Form>>(
      m, "Form",
      "A host form with a top-level window (headless, or a real window with a display).\n"
      "Controls made with ktfolio.KtPrint4(form=f) fill its client area.")
      .def(py::init([](int width, int height) {
             if (width <= 0 || height <= 0) throw py::value_error("Form needs a positive width and height");
             return std::make_shared<Form>(width, height);
           }),
           py::arg("width"), py::arg("height"))
      .def("show", Live("show", &Form::Show), "Shows the form and its controls.")
      .def("hide", Live("hide", &Form::Hide), "Hides the form.")
      .def("resize", Live("resize", &Form::Resize), py::arg("width"), py::arg("height"), "Sets the client size in pixels.")
      .def("pump", Live("pump", &Form::Pump), py::arg("milliseconds") = 0,
           "Runs the message loop: what is pending, then the given time (timers fire).")
      .def("click", Live("click", &Form::Click), py::arg("x"), py::arg("y"), py::arg("button") = 1,
           "Clicks at a point of the client area (button 1 left, 2 right, 3 middle).")
      .def("double_click", Live("double_click", &Form::DoubleClick), py::arg("x"), py::arg("y"))
      .def("mouse_move", Live("mouse_move", &Form::MouseMove), py::arg("x"), py::arg("y"))
      .def("mouse_down", Live("mouse_down", &Form::MouseDown), py::arg("x"), py::arg("y"), py::arg("button") = 1)
      .def("mouse_up", Live("mouse_up", &Form::MouseUp), py::arg("x"), py::arg("y"), py::arg("button") = 1)
      .def("key", Live("key", &Form::Key), py::arg("vk"), py::arg("shift") = false, py::arg("ctrl") = false,
           py::arg("alt") = false, "Presses and releases a virtual key (ktfolio.VK_RETURN ...).")
      .def("type", Live("type", &Form::Type), py::arg("text"), "Types text into the window with the focus.")
      .def("run",
           [](Form& f) {
             CheckForm(f);
             AsHostCall(nullptr, "Form.run()", [&] {
               // Every 50 ms: Ctrl-C (a signal's handler) and the other threads get their turn.
               f.Run(50, [] {
                 { py::gil_scoped_release others; }
                 if (PyErr_CheckSignals() != 0) throw py::error_already_set();
                 return true;
               });
             });
           },
           "Runs until the user closes the window (or close() is called, from a handler or\n"
           "another thread); Ctrl-C ends it with KeyboardInterrupt.")
      .def("close", Live("close", &Form::Close),
           "The user closing the window: hides it and ends run(); show() brings it back.")
      .def(
          "screenshot",
          [](const Form& f, py::handle file) {
            CheckForm(f);
            const std::string path = ToPath(file, "Form.screenshot() path");
            if (!f.Screenshot(path)) throw py::value_error("cannot write '" + SafeText(py::str(file)) + "'");
          },
          py::arg("path"), "Writes the client area as a PNG exactly as it is painted.")
      .def(
          "controls",
          [](const Form& f) {
            CheckForm(f);
            py::list out;
            for (const Form::ChildInfo& c : f.Controls()) {
              py::dict d;
              d["name"] = c.name;
              d["cls"] = c.cls;
              d["text"] = c.text;
              d["enabled"] = c.enabled;
              d["visible"] = c.visible;
              d["rect"] = py::make_tuple(c.x, c.y, c.width, c.height);
              if (c.checked >= 0) d["checked"] = c.checked == 1;
              if (c.isList) {
                d["items"] = c.items;
                d["selected"] = c.hasSelection ? py::object(py::int_(c.selected)) : py::object(py::none());
              }
              out.append(d);
            }
            return out;
          },
          "Every child window: name, cls, text, enabled, visible, rect (x, y, width, height);\n"
          "check boxes add checked, drop-down lists items (their texts) and selected (the\n"
          "selected entry's item value, None with none).")
      .def(
          "choose",
          [](Form& f, const std::string& name, const std::string& text) {
            CheckForm(f);
            if (!AsHostCall(nullptr, "Form.choose()", [&] { return f.Choose(name, text); }))
              throw py::value_error("no enabled drop-down list '" + name + "' with an entry '" + text + "'");
          },
          py::arg("name"), py::arg("text"),
          "Picks a list entry as a user's click would: opens the list and clicks the entry.")
      .def(
          "check",
          [](Form& f, const std::string& name, bool on) {
            CheckForm(f);
            if (!AsHostCall(nullptr, "Form.check()", [&] { return f.Check(name, on); })) throw py::value_error("no enabled check box '" + name + "'");
          },
          py::arg("name"), py::arg("on") = true, "Clicks a check box into the given state (no click when it is).")
      .def(
          "set_text",
          [](Form& f, const std::string& name, const std::string& text) {
            CheckForm(f);
            if (!AsHostCall(nullptr, "Form.set_text()", [&] { return f.SetText(name, text); })) throw py::value_error("no enabled text box '" + name + "'");
          },
          py::arg("name"), py::arg("text"), "Replaces a text box's text as typing would: select all, then type.")
      .def_property_readonly("width", Live(&Form::ClientWidth))
      .def_property_readonly("height", Live(&Form::ClientHeight))
      .def_property_readonly("visible", [](const Form& f) { return f.hwnd() && f.Visible(); })
      .def_property_readonly("released", [](const Form& f) { return !f.hwnd(); }, "True once release() ran.")
      .def("release", &Release,
           "Releases every control made on the form from Python, then destroys its window:\n"
           "windows, timers and drawing objects go now; any later use raises ValueError.")
      .def("__enter__", [](py::object self) { return self; })
      .def(
          "__exit__",
          [](Form& f, py::args) {
            Release(f);
            return false;
          },
          "Releases the form (release()).")
      .def("__repr__", [](const Form& f) {
        if (!f.hwnd()) return std::string("<ktfolio.Form released>");
        return "<ktfolio.Form " + std::to_string(f.ClientWidth()) + "x" + std::to_string(f.ClientHeight()) +
               (f.Visible() ? " shown" : " hidden") + " controls=" + std::to_string(f.Controls().size()) + ">";
      });

  const std::pair<const char*, int> keys[] = {
      {"VK_BACK", win::VK_BACK},     {"VK_TAB", win::VK_TAB},       {"VK_RETURN", win::VK_RETURN},
      {"VK_SHIFT", win::VK_SHIFT},   {"VK_CONTROL", win::VK_CONTROL}, {"VK_MENU", win::VK_MENU},
      {"VK_ESCAPE", win::VK_ESCAPE}, {"VK_SPACE", win::VK_SPACE},   {"VK_PRIOR", win::VK_PRIOR},
      {"VK_NEXT", win::VK_NEXT},     {"VK_END", win::VK_END},       {"VK_HOME", win::VK_HOME},
      {"VK_LEFT", win::VK_LEFT},     {"VK_UP", win::VK_UP},         {"VK_RIGHT", win::VK_RIGHT},
      {"VK_DOWN", win::VK_DOWN},     {"VK_INSERT", win::VK_INSERT}, {"VK_DELETE", win::VK_DELETE},
      {"VK_F1", win::VK_F1},         {"VK_F10", win::VK_F10},       {"VK_F12", win::VK_F12},
  };
  for (const auto& [name, value] : keys) m.attr(name) = value;
  m.def("live_windows", &win::user::LiveWindowCount, "Windows alive in this process (for leak checks).");
  m.def("live_timers", &win::user::LiveTimerCount, "Timers alive in this process (for leak checks).");
  m.def(
      "live_gdi_objects", [] { return win::GdiLiveObjects().total(); },
      "Drawing objects (device contexts, fonts, pens, brushes, bitmaps, regions, icons) alive\n"
      "in this process (for leak checks).");
  m.def("use_gtk", &win::user::UseGtkBackend, "Shows forms as real GTK windows; False without a display.");
}

}  // namespace ktfolio::py_binding
