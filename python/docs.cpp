// What the Python package needs to document itself: the version, and each
// dispatch object's table (members, parameters, events, descriptions) as plain
// Python data. ktfolio/__init__.py builds signatures, docstrings and enums
// from it, and the stub generator writes __init__.pyi from the same data.
#include <pybind11/pybind11.h>

#include "convert.h"

namespace ktfolio::py_binding {

namespace {

py::dict DescribeParam(const DispParam& p) {
  py::dict d;
  d["name"] = p.name;
  d["type"] = DispTypeName(p.type);
  d["optional"] = p.optional;
  d["default"] = FromVariant(p.defaultValue, p.type);
  d["byref"] = p.byRef;
  d["paramarray"] = p.paramArray;
  return d;
}

py::list DescribeParams(const std::vector<DispParam>& params) {
  py::list out;
  for (const DispParam& p : params) out.append(DescribeParam(p));
  return out;
}

py::dict DescribeMember(const DispMember& m) {
  py::dict d;
  d["name"] = m.name;
  d["kind"] = m.IsProperty() ? "property" : "method";
  d["type"] = DispTypeName(m.type);
  d["readable"] = m.Readable();
  d["writable"] = m.Writable();
  d["has_result"] = m.hasResult;
  d["params"] = DescribeParams(m.params);
  d["signature"] = m.Signature();
  d["doc"] = m.doc;
  return d;
}

// {"type": ..., "members": [...], "events": [...]} in publication order.
py::dict Describe(const Dispatch& object) {
  py::list members;
  for (const DispMember& m : object.Members()) members.append(DescribeMember(m));
  py::list events;
  for (const DispEvent& e : object.Events()) {
    py::dict d;
    d["name"] = e.name;
    d["params"] = DescribeParams(e.params);
    d["doc"] = e.doc;
    events.append(d);
  }
  py::dict out;
  out["type"] = object.TypeName();
  out["members"] = members;
  out["events"] = events;
  return out;
}

}  // namespace

void DefineIntrospection(py::module_& m) {
  m.attr("__version__") = KTFOLIO_VERSION;
  m.def("_describe", &Describe, py::arg("object"),
        "The published table of a dispatch object, as dicts and lists.");
}

}  // namespace ktfolio::py_binding
