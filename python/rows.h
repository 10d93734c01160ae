// Rows added from Python in bulk (c.AddRows).
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>

#include "control/ktprint4_impl.h"
#include "host.h"

namespace ktfolio::py_binding {

namespace py = pybind11;

// Adds each row of `rows` as AddRow adds its items; the number added.
// `host` is the control as Python holds it: busy while the rows are read.
std::int32_t AddRows(HostControl& host, KtPrint4Impl& control, const py::iterable& rows);

}  // namespace ktfolio::py_binding
