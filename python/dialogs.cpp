// ktfolio.dialogs: the user's answers to the common dialogs, queued by a
// script or test, and what each dialog was shown with; ktfolio.clsCommonDialog,
// the dialogs driven by properties.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <map>
#include <vector>

#include "convert.h"
#include "platform/dialogs/dialogs.h"
#include "winsupport/common_dialog.h"

namespace ktfolio::py_binding {

namespace {

using win::dialogs::DialogAnswer;

// The values each kind of answer takes, named as clsCommonDialog's properties.
const std::map<std::string, std::vector<std::string>>& AnswerNames() {
  static const std::map<std::string, std::vector<std::string>> names = {
      {"color", {"Color"}},
      {"font", {"FontName", "FontSize", "FontBold", "FontItalic", "FontUnderline", "FontStrikethru"}},
      {"open", {"FileName", "FileTitle", "FilterIndex"}},
      {"save", {"FileName", "FileTitle", "FilterIndex"}},
      {"printer", {"PrinterName", "FromPage", "ToPage", "Copies", "Orientation"}},
  };
  return names;
}

// An answer's value as the dialog's text. Numbers are 32-bit; a colour also
// takes the unsigned form (0xFFFFFFFF).
std::string Text(py::handle v, const std::string& name, const std::string& what) {
  if (py::isinstance<py::bool_>(v)) return v.cast<bool>() ? "1" : "0";
  if (py::isinstance<py::int_>(v)) {
    const long long high = name == "Color" ? 0xFFFFFFFFLL : INT32_MAX;
    return std::to_string(ToInteger(v, INT32_MIN, high, what));
  }
  if (py::isinstance<py::float_>(v)) return SafeText(py::repr(v));
  if (py::isinstance<py::str>(v)) return ToUtf8(v, what);
  throw py::type_error(what + " takes a bool, int, float or str, not '" + Py_TYPE(v.ptr())->tp_name + "'");
}

// A printer answer's number; -1 when not given.
int Number(const DialogAnswer& a, const char* name) {
  const std::string* v = a.Value(name);
  if (!v) return -1;
  int out = 0;
  const auto r = std::from_chars(v->data(), v->data() + v->size(), out);
  if (r.ec != std::errc() || r.ptr != v->data() + v->size())
    throw py::value_error(std::string("answer() ") + name + ": '" + *v + "' is not a whole number in the 32-bit range");
  return out;
}

void Answer(const std::string& kind, bool ok, const py::kwargs& values) {
  auto known = AnswerNames().find(kind);
  if (known == AnswerNames().end())
    throw py::value_error("no dialog of kind '" + kind + "'; kinds are color, font, open, save, printer");
  DialogAnswer a;
  a.kind = kind;
  a.ok = ok;
  for (auto [key, value] : values) {
    const std::string name = ToUtf8(key, "answer() keyword");
    const auto& names = known->second;
    if (std::find(names.begin(), names.end(), name) == names.end()) {
      std::string list;
      for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
      throw py::type_error("a " + kind + " answer takes " + list + ", not '" + name + "'");
    }
    a.values.emplace_back(name, Text(value, name, "answer() " + name));
  }
  if (kind != "printer") {
    win::dialogs::QueueDialogAnswer(std::move(a));
    return;
  }
  win::dialogs::PrintDlgAnswer p;
  p.ok = ok;
  if (const std::string* printer = a.Value("PrinterName")) p.printer = *printer;
  p.fromPage = Number(a, "FromPage");
  p.toPage = Number(a, "ToPage");
  p.copies = Number(a, "Copies");
  p.orientation = Number(a, "Orientation");
  win::dialogs::QueuePrintDlgAnswer(p);
}

py::list Shown() {
  py::list out;
  for (const auto& call : win::dialogs::DialogLog()) {
    py::dict d;
    d["kind"] = call.kind;
    d["flags"] = call.flags;
    for (const auto& [k, v] : call.fields) d[py::str(k)] = v;
    out.append(d);
  }
  return out;
}

}  // namespace

void DefineDialogs(py::module_& m) {
  DefineObjectError(m);
  py::module_ d = m.def_submodule("dialogs", "The user's answers to the common dialogs, for scripts and tests.");
  d.def("answer", &Answer, py::arg("kind"), py::arg("ok") = true,
        "Queues the user's answer to the next dialog of a kind: 'color', 'font', 'open', 'save'\n"
        "or 'printer'. ok=False cancels it; keywords named as clsCommonDialog's properties give\n"
        "the choices (answer('color', Color=0x00FF00), answer('font', FontName='Courier New')).");
  d.def("pending", &win::dialogs::PendingDialogAnswers, "The kinds of the answers still queued, oldest first.");
  d.def("shown", &Shown,
        "What each colour, font, open and save dialog was shown with: kind, flags and the\n"
        "record's fields (lpstrFilter shows each NUL as \\0).");
  d.def("reset", &win::dialogs::ResetDialogScripts, "Drops every queued answer and the record of dialogs shown.");

  py::class_<CommonDialogDispatch, Dispatch, std::shared_ptr<CommonDialogDispatch>>(
      m, "clsCommonDialog",
      "The colour, font, open, save and printer dialogs and help, driven by properties.\n"
      "With CancelError set, a cancel raises ktfolio.ObjectError whose number is\n"
      "-2147220610 for the colour dialog and 2001 for the others.")
      .def(py::init([] { return std::make_shared<CommonDialogDispatch>(); }));
}

}  // namespace ktfolio::py_binding
