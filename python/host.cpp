// The binding's side of a Python host's calls: controls' error modes and
// early release, KtError, handler exceptions held for the host's call, and
// the keyword-name guard around every bound function.
#include "host.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "convert.h"

namespace ktfolio::py_binding {

namespace {

struct KtErrorTag {};
struct EventWarningTag {};

bool raiseErrorsDefault = false;
int handlerDepth = 0;
HeldBack* firstHeldBack = nullptr;

// The first handler exception of the current host call, waiting for it to return.
struct Pending {
  py::object cause;
  std::int32_t number = 0;
  std::string description;
  std::string source;
  bool interrupt = false;  // a BaseException that is no Exception (KeyboardInterrupt, SystemExit): raised as it is
};
// Owned past the interpreter's end on purpose: a static py::object would be
// destroyed after Python is gone.
Pending*& HeldError() {
  static Pending* held = nullptr;
  return held;
}

std::vector<std::weak_ptr<HostControl>>& Tracked() {
  static auto* tracked = new std::vector<std::weak_ptr<HostControl>>();
  return *tracked;
}

py::handle ktErrorType;
py::handle eventWarningType;

[[noreturn]] void ThrowKtError(std::int32_t number, const std::string& description, const std::string& source,
                               const std::string& what, py::object cause) {
  const std::string message =
      what + ": " + description + " (error " + std::to_string(number) + (source.empty() ? "" : ", source '" + source + "'") + ")";
  py::object error = py::reinterpret_borrow<py::object>(ktErrorType)(message);
  error.attr("number") = number;
  error.attr("description") = description;
  error.attr("source") = source;
  if (cause) PyException_SetCause(error.ptr(), cause.release().ptr());
  PyErr_SetObject(ktErrorType.ptr(), error.ptr());
  throw py::error_already_set();
}

}  // namespace

bool RaiseErrorsDefault() { return raiseErrorsDefault; }

void Track(const std::shared_ptr<HostControl>& control) {
  auto& tracked = Tracked();
  std::erase_if(tracked, [](const std::weak_ptr<HostControl>& w) { return w.expired(); });
  tracked.push_back(control);
}

void CheckNotInHandler(const std::string& what) {
  if (handlerDepth > 0)
    throw std::runtime_error(what + ": cannot release while an event handler runs; release after the call that "
                                    "raised the event returns");
}

void HostControl::CheckNotBusy(const std::string& what) const {
  if (busy_ > 0) throw std::runtime_error(what + ": cannot release while " + busyWith_ + "; release after it returns");
}

void ReleaseControlsOn(const Form& form) {
  CheckNotInHandler("Form.release()");
  auto tracked = Tracked();
  for (const auto& w : tracked)  // all or none
    if (auto c = w.lock(); c && !c->Released() && c->OnForm() == &form) c->CheckNotBusy("Form.release()");
  // Newest first: a control made later may sit inside one made earlier.
  for (auto it = tracked.rbegin(); it != tracked.rend(); ++it)
    if (auto c = it->lock(); c && !c->Released() && c->OnForm() == &form) c->Release();
}

InHandler::InHandler() { ++handlerDepth; }
InHandler::~InHandler() { --handlerDepth; }

// The list lives under the GIL: a call from another thread settles too.
HeldBack::HeldBack() : next_(firstHeldBack) {
  if (next_) next_->prev_ = this;
  firstHeldBack = this;
}

HeldBack::~HeldBack() {
  (prev_ ? prev_->next_ : firstHeldBack) = next_;
  if (next_) next_->prev_ = prev_;
}

void SettleHeldBack() {
  for (HeldBack* h = firstHeldBack; h; h = h->next_) h->Settle();
}

void HandlerFailed(HostControl& control, const std::string& event) {
  PyObject *type = nullptr, *value = nullptr, *trace = nullptr;
  PyErr_Fetch(&type, &value, &trace);
  PyErr_NormalizeException(&type, &value, &trace);
  if (trace && value) PyException_SetTraceback(value, trace);
  const std::string text = std::string(value ? Py_TYPE(value)->tp_name : "Exception") + ": " +
                           (value ? SafeText(value) : std::string());
  control.Record(ToInt(ErrorCode::kEventHandlerFailed), event, text);
  // Ctrl-C or sys.exit() in a handler is the user's, whatever the error mode:
  // it comes out of the host's call unchanged, and before an error held.
  const bool interrupt = value && !PyErr_GivenExceptionMatches(value, PyExc_Exception);
  if (!control.RaiseErrors() && !interrupt) {
    // Nobody asked for it: report it the way Python reports errors in callbacks.
    PyErr_Restore(type, value, trace);
    PyErr_WriteUnraisable(py::str("ktfolio " + event + " handler").ptr());
    return;
  }
  Pending*& held = HeldError();
  if (held && interrupt && !held->interrupt) {
    delete held;
    held = nullptr;
  }
  if (!held)
    held = new Pending{py::reinterpret_borrow<py::object>(value), ToInt(ErrorCode::kEventHandlerFailed), text, event,
                       interrupt};
  Py_XDECREF(type);
  Py_XDECREF(value);
  Py_XDECREF(trace);
}

void WarnOfEvent(const std::string& message) {
  if (PyErr_WarnEx(eventWarningType.ptr(), message.c_str(), 1) < 0) throw py::error_already_set();
}

void RaiseKtError(std::int32_t number, const std::string& description, const std::string& source,
                  const std::string& what) {
  ThrowKtError(number, description, source, what, py::object());
}

HostCall::HostCall(HostControl* control, std::string what)
    : control_(control), what_(std::move(what)), outermost_(handlerDepth == 0), uncaught_(std::uncaught_exceptions()) {
  if (control_ && control_->KeepsRecord()) before_ = control_->Recorded();
}

HostCall::~HostCall() {
  // The call itself raised: that exception wins; the handler's stays on record.
  if (outermost_ && std::uncaught_exceptions() > uncaught_) {
    delete HeldError();
    HeldError() = nullptr;
  }
}

void HostCall::Done() {
  if (!outermost_) return;
  if (Pending* held = HeldError()) {
    HeldError() = nullptr;
    Pending p = std::move(*held);
    delete held;
    if (p.interrupt) {
      PyObject* value = p.cause.release().ptr();
      PyErr_Restore(Py_NewRef(reinterpret_cast<PyObject*>(Py_TYPE(value))), value, PyException_GetTraceback(value));
      throw py::error_already_set();
    }
    ThrowKtError(p.number, p.description, p.source, what_ + " (in an event handler)", std::move(p.cause));
  }
  if (control_ && control_->RaiseErrors() && control_->KeepsRecord() && control_->Recorded() != before_) {
    // Host code the call ran (a handler, AddRows' rows) may have cleared the record since: nothing to raise.
    const ErrorRecord r = control_->LastRecord();
    if (r.ErrorNumber != 0) RaiseKtError(r.ErrorNumber, r.ErrorDescription, r.ErrorSource, what_);
  }
}

// ---- keyword names -----------------------------------------------------------------

namespace {

// pybind11 quotes an unexpected keyword's name in its TypeError, and a name
// it cannot encode ends the process: check names before it sees them.
void CheckKeywordNames(const std::string& function, PyObject* kwargs) {
  PyObject *key = nullptr, *value = nullptr;
  Py_ssize_t pos = 0;
  while (PyDict_Next(kwargs, &pos, &key, &value)) {
    if (!PyUnicode_Check(key)) throw py::type_error(function + "(): keyword names must be strings");
    if (!PyUnicode_AsUTF8AndSize(key, nullptr)) {
      PyErr_Clear();
      py::object shown = py::reinterpret_steal<py::object>(PyObject_Repr(key));
      throw py::type_error(function + "() got a keyword argument " + (shown ? SafeText(shown) : std::string("?")) +
                           " whose name is not valid text (a lone surrogate)");
    }
  }
}

py::object Guarded(py::object original, const std::string& qualname) {
  py::options options;
  options.disable_function_signatures();  // the original's docstring, signature line included, stays as it was
  std::string name = py::str(original.attr("__name__"));
  // pybind11 takes a function named __init__ for a constructor of its scope; this one is not.
  if (name == "__init__" || name == "__setstate__") name = "_guarded" + name;
  py::object docObject = original.attr("__doc__");
  const std::string doc = docObject.is_none() ? std::string() : std::string(py::str(docObject));
  return py::cpp_function(
      [original, qualname](py::args args, py::kwargs kwargs) -> py::object {
        SettleHeldBack();
        if (PyDict_Size(kwargs.ptr()) > 0) CheckKeywordNames(qualname, kwargs.ptr());
        return original(*args, **kwargs);
      },
      py::name(name.c_str()), py::doc(doc.c_str()));
}

bool IsBound(PyObject* o) { return PyCFunction_Check(o); }

void GuardClass(py::handle cls, const std::string& prefix) {
  py::dict members = py::reinterpret_borrow<py::dict>(reinterpret_cast<PyTypeObject*>(cls.ptr())->tp_dict);
  std::vector<std::pair<py::object, py::object>> replace;
  for (auto [key, value] : members) {
    if (PyObject_TypeCheck(value.ptr(), &PyProperty_Type)) {
      // A property's accessors are bound functions too, callable by hand with keywords.
      py::object accessors[2] = {value.attr("fget"), value.attr("fset")};
      bool bound = false;
      for (py::object& a : accessors)
        if (IsBound(a.ptr())) {
          a = Guarded(a, prefix + std::string(py::str(key)));
          bound = true;
        }
      if (bound)
        replace.emplace_back(py::reinterpret_borrow<py::object>(key),
                             py::module_::import("builtins").attr("property")(accessors[0], accessors[1], value.attr("fdel"),
                                                                              value.attr("__doc__")));
      continue;
    }
    if (!PyInstanceMethod_Check(value.ptr())) continue;
    PyObject* fn = PyInstanceMethod_GET_FUNCTION(value.ptr());
    const std::string name = py::str(key);
    // DispatchObject's attribute access checks its own arguments (the hot path).
    if (!IsBound(fn) || (prefix == "DispatchObject." && (name == "__getattr__" || name == "__setattr__"))) continue;
    py::object wrapped = Guarded(py::reinterpret_borrow<py::object>(fn), prefix + name);
    replace.emplace_back(py::reinterpret_borrow<py::object>(key),
                         py::reinterpret_steal<py::object>(PyInstanceMethod_New(wrapped.ptr())));
  }
  for (auto& [key, value] : replace) py::setattr(cls, key, value);
}

void GuardModule(py::module_ m, const std::string& prefix) {
  py::dict names = m.attr("__dict__");
  std::vector<std::pair<py::object, py::object>> replace;
  for (auto [key, value] : names) {
    const std::string name = py::str(key);
    // _call and _call_items take any keywords and convert their names themselves: the methods' hot path.
    if (IsBound(value.ptr()) && name.rfind("_call", 0) != 0) {
      replace.emplace_back(py::reinterpret_borrow<py::object>(key),
                           Guarded(py::reinterpret_borrow<py::object>(value), prefix + name));
    } else if (PyType_Check(value.ptr()) && py::detail::get_type_info(reinterpret_cast<PyTypeObject*>(value.ptr()))) {
      GuardClass(value, prefix + name + ".");
    } else if (PyModule_Check(value.ptr()) && name != "__builtins__") {
      GuardModule(py::reinterpret_borrow<py::module_>(value), prefix + name + ".");
    }
  }
  for (auto& [key, value] : replace) m.attr(key) = value;
}

}  // namespace

void GuardKeywordNames(py::module_& m) { GuardModule(m, ""); }

void DefineHostErrors(py::module_& m) {
  static py::exception<KtErrorTag> error(m, "KtError", PyExc_Exception);
  error.doc() =
      "A failure a control recorded during a call, raised because the host asked for exceptions\n"
      "(raise_errors=True, or ktfolio.set_raise_errors(True)): number, description and source are\n"
      "the record's. An event handler's exception is raised as a KtError of number 440 whose\n"
      "source is the event's name and whose __cause__ is the handler's exception.";
  ktErrorType = error;
  static py::exception<EventWarningTag> warning(m, "EventWarning", PyExc_UserWarning);
  eventWarningType = warning;
  warning.doc() = "connect(): a handler method whose name is close to an event's but not equal to it.";
  m.def(
      "set_raise_errors",
      [](bool on) {
        const bool was = raiseErrorsDefault;
        raiseErrorsDefault = on;
        return was;
      },
      py::arg("on"),
      "Sets the raise_errors default of controls made afterwards (KtPrint4(), KtText()...); returns\n"
      "the old one. With it, a failure a call records raises ktfolio.KtError, and an event handler's\n"
      "exception is raised from the host's call that raised the event.");
  m.def("get_raise_errors", [] { return raiseErrorsDefault; }, "The raise_errors default of new controls.");
  py::module_::import("atexit").attr("register")(py::cpp_function([] {
    delete HeldError();
    HeldError() = nullptr;
  }));
}

}  // namespace ktfolio::py_binding
