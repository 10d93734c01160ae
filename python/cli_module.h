// The command line as the compiled module's submodule _cli (when the build has it).
#pragma once

#include <pybind11/pybind11.h>

namespace ktfolio::python {

void AddCommandLine(pybind11::module_& package);

}  // namespace ktfolio::python
