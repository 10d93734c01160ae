// A control's pages as bytes, for KtPrint4.to_png / to_pdf and the notebook
// pictures (ktfolio/__init__.py): the same bytes ExportPngDpi and ExportPdf
// write to their files. A failure is recorded on the control, as the file
// exports record theirs, and gives empty bytes (or KtError in raise_errors mode).
#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

#include "control/ktprint4_dispatch.h"
#include "host.h"
#include "render/render_internal.h"

namespace ktfolio::py_binding {

namespace py = pybind11;

namespace {

KtPrint4Impl& ControlOf(Dispatch& self) {
  auto* published = dynamic_cast<KtPrint4Dispatch*>(&self);
  if (!published) throw py::type_error("expected a ktfolio.KtPrint4, not a " + self.TypeName());
  if (self.Retired()) throw py::value_error("operation on a released " + self.TypeName());
  return published->Control();
}

template <typename Render>
py::bytes Recorded(Dispatch& self, const char* what, Render render) {
  KtPrint4Impl& control = ControlOf(self);
  return AsHostCall(dynamic_cast<HostControl*>(&self), std::string("KtPrint4.") + what + "()", [&] {
    std::vector<std::uint8_t> bytes;
    try {
      bytes = render(control);
    } catch (const Error& e) {
      control.RecordError(e.number(), e.source(), e.description());
    }
    return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  });
}

// Page numbers are 16-bit: anything beyond is a page the document cannot have.
std::int16_t PageNumber(long long page) {
  constexpr long long kOutside = 0;
  return page >= 1 && page <= kMaxPages ? static_cast<std::int16_t>(page) : kOutside;
}

}  // namespace

void DefineBytesOut(py::module_& m) {
  m.def(
      "_png_bytes",
      [](Dispatch& self, long long page, double dpi, bool shadow) {
        return Recorded(self, "to_png", [&](KtPrint4Impl& control) {
          return render::PagePngAtDpi(control, PageNumber(page), dpi, shadow);
        });
      },
      py::arg("control"), py::arg("page"), py::arg("dpi"), py::arg("shadow"));
  m.def(
      "_pdf_bytes",
      [](Dispatch& self, long long first, long long last) {
        return Recorded(self, "to_pdf", [&](KtPrint4Impl& control) {
          return render::PdfBytes(control, PageNumber(first), PageNumber(last));
        });
      },
      py::arg("control"), py::arg("first"), py::arg("last"));
}

}  // namespace ktfolio::py_binding
