// ktfolio.Form: a host form that scripts and tests drive with clicks, keys and
// typing, read back through its child windows and capture as a PNG.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>

#include "platform/container/form.h"
#include "platform/user/user.h"

namespace py = pybind11;

namespace ktfolio::py_binding {

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
      .def("show", &Form::Show, "Shows the form and its controls.")
      .def("hide", &Form::Hide, "Hides the form.")
      .def("resize", &Form::Resize, py::arg("width"), py::arg("height"), "Sets the client size in pixels.")
      .def("pump", &Form::Pump, py::arg("milliseconds") = 0,
           "Runs the message loop: what is pending, then the given time (timers fire).")
      .def("click", &Form::Click, py::arg("x"), py::arg("y"), py::arg("button") = 1,
           "Clicks at a point of the client area (button 1 left, 2 right, 3 middle).")
      .def("double_click", &Form::DoubleClick, py::arg("x"), py::arg("y"))
      .def("mouse_move", &Form::MouseMove, py::arg("x"), py::arg("y"))
      .def("mouse_down", &Form::MouseDown, py::arg("x"), py::arg("y"), py::arg("button") = 1)
      .def("mouse_up", &Form::MouseUp, py::arg("x"), py::arg("y"), py::arg("button") = 1)
      .def("key", &Form::Key, py::arg("vk"), py::arg("shift") = false, py::arg("ctrl") = false,
           py::arg("alt") = false, "Presses and releases a virtual key (ktfolio.VK_RETURN ...).")
      .def("type", &Form::Type, py::arg("text"), "Types text into the window with the focus.")
      .def("run", &Form::Run, "Runs until the user closes the window (or close() is called).")
      .def("close", &Form::Close)
      .def(
          "screenshot",
          [](const Form& f, const std::string& path) {
            if (!f.Screenshot(path)) throw py::value_error("cannot write '" + path + "'");
          },
          py::arg("path"), "Writes the client area as a PNG exactly as it is painted.")
      .def(
          "controls",
          [](const Form& f) {
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
            if (!f.Choose(name, text))
              throw py::value_error("no enabled drop-down list '" + name + "' with an entry '" + text + "'");
          },
          py::arg("name"), py::arg("text"),
          "Picks a list entry as a user's click would: opens the list and clicks the entry.")
      .def(
          "check",
          [](Form& f, const std::string& name, bool on) {
            if (!f.Check(name, on)) throw py::value_error("no enabled check box '" + name + "'");
          },
          py::arg("name"), py::arg("on") = true, "Clicks a check box into the given state (no click when it is).")
      .def(
          "set_text",
          [](Form& f, const std::string& name, const std::string& text) {
            if (!f.SetText(name, text)) throw py::value_error("no enabled text box '" + name + "'");
          },
          py::arg("name"), py::arg("text"), "Replaces a text box's text as typing would: select all, then type.")
      .def_property_readonly("width", &Form::ClientWidth)
      .def_property_readonly("height", &Form::ClientHeight)
      .def_property_readonly("visible", &Form::Visible);

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
  m.def("use_gtk", &win::user::UseGtkBackend, "Shows forms as real GTK windows; False without a display.");
}

}  // namespace ktfolio::py_binding
