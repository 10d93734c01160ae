// ktfolio._testing: hooks for the module's own tests. They reach what the
// published interface does not show (where pagination put each row) and
// raise events the way the control does, before the drawing and editing
// code that raises them exists.
#include <pybind11/pybind11.h>

#include "control/ktprint4_dispatch.h"
#include "convert.h"

namespace ktfolio::py_binding {

namespace {

KtPrint4Dispatch& Published(Dispatch& d) {
  auto* k = dynamic_cast<KtPrint4Dispatch*>(&d);
  if (!k) throw py::type_error("expected a ktfolio.KtPrint4");
  return *k;
}

// Raises one event through the sink the control itself calls, and returns
// every parameter as the control sees it afterwards.
py::tuple RaiseEvent(Dispatch& d, const std::string& name, const py::args& args) {
  if (d.Retired()) throw py::value_error("operation on a released " + d.TypeName());
  KtPrint4Events& sink = Published(d).EventAdapter();
  auto need = [&](std::size_t n) {
    if (args.size() != n) throw py::type_error(name + " takes " + std::to_string(n) + " arguments");
  };
  auto i32 = [&](std::size_t i) {
    return static_cast<std::int32_t>(ToInteger(args[i], INT32_MIN, INT32_MAX, name + " argument " + std::to_string(i + 1)));
  };
  auto i16 = [&](std::size_t i) {
    return static_cast<std::int16_t>(ToInteger(args[i], INT16_MIN, INT16_MAX, name + " argument " + std::to_string(i + 1)));
  };
  if (name == "NewPage") {
    need(3);
    std::int32_t page = i32(0), row = i32(1), firstOrLast = i32(2);
    sink.NewPage(page, row, firstOrLast);
    return py::make_tuple(page, row, firstOrLast);
  }
  if (name == "EnterCell" || name == "LeaveCell") {
    need(4);
    bool cancel = PyObject_IsTrue(args[3].ptr()) == 1;
    if (name == "EnterCell")
      sink.EnterCell(i32(0), i32(1), i32(2), cancel);
    else
      sink.LeaveCell(i32(0), i32(1), i32(2), cancel);
    return py::make_tuple(i32(0), i32(1), i32(2), cancel);
  }
  if (name == "ClickCell") {
    need(4);
    const auto button = i16(3);
    sink.ClickCell(i32(0), i32(1), i32(2), button);
    return py::make_tuple(i32(0), i32(1), i32(2), button);
  }
  if (name == "BeforeButtonClick") {
    need(3);
    const auto index = i16(0);
    const auto key = ToUtf8(args[1], name + " argument 2");
    bool cancel = PyObject_IsTrue(args[2].ptr()) == 1;
    sink.BeforeButtonClick(index, key, cancel);
    return py::make_tuple(index, key, cancel);
  }
  throw py::value_error("KtPrint4 has no event '" + name + "'");
}

// (Page, TopInPage, NewPage, RowHeight) of every row of an area, in order.
py::list Layout(Dispatch& d, std::int32_t area) {
  if (d.Retired()) throw py::value_error("operation on a released " + d.TypeName());
  KtRows* rows = Published(d).Control().Rows(area);
  if (!rows) throw py::value_error("no such page area");
  py::list out;
  for (std::int32_t i = 1; i <= rows->count(); ++i) {
    const KtRow& r = *rows->Item(i);
    out.append(py::make_tuple(r.Page(), FromVariant(Variant(r.TopInPage())), r.NewPage(),
                              FromVariant(Variant(r.RowHeight()))));
  }
  return out;
}

}  // namespace

void DefineTestingHooks(py::module_& parent) {
  py::module_ t = parent.def_submodule("_testing", "Hooks for the module's own tests; not a public interface.");
  t.def("raise_event", &RaiseEvent, py::arg("control"), py::arg("event"));
  t.def("layout", &Layout, py::arg("control"), py::arg("area") = 0);
  t.def("sink_count", [](Dispatch& d) { return d.SinkCount(); });
}

}  // namespace ktfolio::py_binding
