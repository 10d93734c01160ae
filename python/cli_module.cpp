// ktfolio._ktfolio._cli: the ktfolio command line, run in the interpreter's
// process, so the package's `ktfolio` command needs no program beside it. It
// lives in the one compiled module, which holds the library once.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <vector>

#include "cli.h"
#include "cli_module.h"

namespace py = pybind11;

namespace ktfolio::python {

void AddCommandLine(py::module_& package) {
  py::module_ m = package.def_submodule("_cli");
  m.doc() = "The ktfolio command line (python -m ktfolio, and the ktfolio command).";
  m.def(
      "main",
      [](std::vector<std::string> args, const std::string& dataDir) {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        return ktfolio::cli::RunCli(static_cast<int>(args.size()), argv.data(), dataDir);
      },
      py::arg("argv"), py::arg("data_dir"),
      "Runs the command line on argv (program name first; bytes or str) with the example data in\n"
      "data_dir, writing to the process's standard output and error. Returns the exit code.");
}

}  // namespace ktfolio::python
