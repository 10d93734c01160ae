// A control's property bag as a Python dict, for SaveProperties() and
// KtPrint4(properties=...).
#pragma once

#include <pybind11/pybind11.h>

#include "control/ktprint4_impl.h"

namespace ktfolio::py_binding {

namespace py = pybind11;

// Key -> bool, int, float, str, bytes (byte arrays) or StdFont (the font).
py::dict SavePropertiesToDict(KtPrint4Impl& control);
// Raises TypeError for a value of a kind a bag cannot hold or that does not
// convert to its key's type.
void ReadPropertiesFromDict(KtPrint4Impl& control, const py::dict& properties);

}  // namespace ktfolio::py_binding
