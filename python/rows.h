// Rows added from Python in bulk (c.AddRows).
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>

#include "control/ktprint4_impl.h"

namespace ktfolio::py_binding {

namespace py = pybind11;

// Adds each row of `rows` as AddRow adds its items; the number added.
std::int32_t AddRows(KtPrint4Impl& control, const py::iterable& rows);

}  // namespace ktfolio::py_binding
