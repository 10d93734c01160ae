// The printers a job can go to, and where the built-in PDF printer writes:
// what a host sets before PrintDoc(…) on the "PDF" printer.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>

#include "convert.h"
#include "platform/spooler/spooler.h"

namespace ktfolio::py_binding {

namespace py = pybind11;

void DefinePrinting(py::module_& m) {
  m.def("printers", &win::spooler::PrinterNames,
        "Every printer a job can go to: the built-in \"PDF\" printer first, then the CUPS queues.");
  m.def(
      "pdf_printer_output", [] { return win::spooler::PdfPrinterOutput(); },
      "The file the built-in \"PDF\" printer writes its next job to.");
  m.def(
      "set_pdf_printer_output",
      [](py::handle file) {
        const std::string path = ToPath(file, "set_pdf_printer_output() path");
        if (path.empty()) throw py::value_error("the PDF printer needs a file name");
        win::spooler::SetPdfPrinterOutput(path);
      },
      py::arg("path"), "Sends the built-in \"PDF\" printer's next jobs to this file.");
}

}  // namespace ktfolio::py_binding
