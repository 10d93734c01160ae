// Values between Python and the dispatch facility, and dispatch errors as
// Python exceptions. Shared by the module and its testing hooks.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "platform/automation/dispatch.h"

namespace ktfolio::py_binding {

namespace py = pybind11;

// None, bool, int, float, str, bytes and lists/tuples of these; anything else
// is a call the binding cannot make (TypeError).
Variant ToVariant(py::handle value);

// Empty -> None, Boolean -> bool, Integer/Long -> int, Single/Double -> float,
// String -> str, Array -> list, Bytes -> bytes. A Color hint reads a Long as
// the unsigned colour it carries; a Single reads as its shortest decimal.
py::object FromVariant(const Variant& value, DispType hint = DispType::Variant);

// A dispatch error for `what`: unknown or read-only names become
// AttributeError, everything else about the call TypeError.
[[noreturn]] void Raise(const Error& e, const std::string& what);

}  // namespace ktfolio::py_binding
