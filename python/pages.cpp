// ktfolio.PropertyPage: the design-time pages on a Form, driven as the design
// environment drives them; and ktfolio.register_component, through which a
// host or a test supplies the automation components pages create by name.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <set>

#include "convert.h"
#include "host.h"
#include "pages/property_page.h"
#include "platform/automation/components.h"

namespace ktfolio::py_binding {

namespace {

// A page and the form it is built on, which it keeps alive. Form.release()
// releases it with the form's controls.
class PyPropertyPage : public HostControl {
 public:
  PyPropertyPage(const std::string& kind, std::shared_ptr<Form> form) : form_(std::move(form)) {
    page_ = MakePropertyPage(kind, *form_);
    if (!page_) throw py::value_error("no property page '" + kind + "'; pages are Designer, Defaults, FolioDesigner");
  }

  void Select(const std::vector<DispatchPtr>& objects) {
    Page();
    try {
      AsHostCall(nullptr, "PropertyPage.select()", [&] { page_->SelectionChanged(objects); });
    } catch (const Error& e) {
      Raise(e, page_->Caption() + " page, selection changed");
    }
  }

  void Apply() {
    Page();
    try {
      AsHostCall(nullptr, "PropertyPage.apply()", [&] { page_->ApplyChanges(); });
    } catch (const Error& e) {
      Raise(e, page_->Caption() + " page, apply");
    }
  }

  PropertyPage& Page() {
    if (!page_) throw py::value_error("operation on a released PropertyPage");
    return *page_;
  }

  void Release() override {
    CheckNotInHandler("PropertyPage.release()");
    page_.reset();
  }
  bool Released() const override { return !page_; }
  const Form* OnForm() const override { return form_.get(); }

 private:
  std::shared_ptr<Form> form_;
  std::unique_ptr<PropertyPage> page_;
};

// A component written in Python: each object the factory makes is asked to
// start(dsn, settings[, flag]); it may return the new template bytes or
// change the bytearray it is given.
class PyComponent : public Dispatch {
 public:
  explicit PyComponent(py::object object) : object_(std::move(object)) {
    DispParam dsn = In("Dsn");
    dsn.byRef = true;
    DispParam settings = In("Settings", DispType::String);
    settings.byRef = true;
    DispParam flag = Opt("Flag", DispType::Variant, Variant());
    AddProcedure("start", {dsn, settings, flag}, [this](VariantArray& a) { Start(a); });
  }
  ~PyComponent() override {
    py::gil_scoped_acquire gil;
    object_ = py::object();
  }
  std::string TypeName() const override { return "PythonComponent"; }

 private:
  void Start(VariantArray& a) {
    py::gil_scoped_acquire gil;
    InHandler running;  // the page's control is mid-operation: it cannot be released now
    const ByteArray in = a[0].ToBytes();
    py::bytearray dsn(reinterpret_cast<const char*>(in.data()), in.size());
    try {
      py::object result = a[2].IsEmpty() ? object_.attr("start")(dsn, a[1].ToString())
                                         : object_.attr("start")(dsn, a[1].ToString(), a[2].ToBool());
      const std::string out = py::isinstance<py::bytes>(result) || py::isinstance<py::bytearray>(result)
                                  ? result.cast<std::string>()
                                  : py::bytes(dsn).cast<std::string>();
      a[0] = Variant(ByteArray(out.begin(), out.end()));
    } catch (py::error_already_set& e) {
      throw Error(ErrorCode::kEventHandlerFailed, "Python", e.what());
    }
  }

  py::object object_;
};

std::set<std::string>& FromPython() {
  static std::set<std::string> names;
  return names;
}

void Register(const std::string& progId, py::object factory) {
  if (!PyCallable_Check(factory.ptr())) throw py::type_error("register_component needs a callable factory");
  auto shared = std::make_shared<py::object>(std::move(factory));
  RegisterComponent(progId, [shared]() -> DispatchPtr {
    py::gil_scoped_acquire gil;
    py::object made;
    try {
      made = (*shared)();
    } catch (py::error_already_set& e) {
      throw Error(ErrorCode::kEventHandlerFailed, "Python", e.what());
    }
    if (made.is_none()) return nullptr;
    return std::make_shared<PyComponent>(std::move(made));
  });
  FromPython().insert(progId);
}

// Python's factories must go before the interpreter does.
void ForgetPythonComponents() {
  for (const std::string& name : FromPython()) UnregisterComponent(name);
  FromPython().clear();
}

}  // namespace

void DefinePages(py::module_& m) {
  py::class_<PyPropertyPage, std::shared_ptr<PyPropertyPage>>(m, "PropertyPage",
                             "A design-time page (Designer, Defaults or FolioDesigner) built on a Form.")
      .def(py::init([](const std::string& kind, std::shared_ptr<Form> form) {
             if (!form) throw py::type_error("PropertyPage needs form=");
             auto page = std::make_shared<PyPropertyPage>(kind, std::move(form));
             Track(page);
             return page;
           }),
           py::arg("kind"), py::kw_only(), py::arg("form"))
      .def("select", &PyPropertyPage::Select, py::arg("objects"),
           "The selection changed: the page loads itself from the first object.")
      .def("apply", &PyPropertyPage::Apply, "Writes the page to the first selected object.")
      .def(
          "ok", [](PyPropertyPage& p) { AsHostCall(nullptr, "PropertyPage.ok()", [&] { p.Page().Ok(); }); },
          "The dialog's OK: applies when changed, then closes.")
      .def("cancel", [](PyPropertyPage& p) { p.Page().Cancel(); }, "The dialog's Cancel: closes.")
      .def_property(
          "changed", [](PyPropertyPage& p) { return p.Page().Changed(); },
          [](PyPropertyPage& p, bool v) { p.Page().Changed(v); }, "The changed mark (Apply is enabled while set).")
      .def_property_readonly(
          "caption", [](PyPropertyPage& p) { return p.Page().Caption(); })
      .def_property_readonly(
          "last_failure", [](PyPropertyPage& p) { return p.Page().LastFailure(); },
          "The last failure the page reported to its user, or ''.");

  m.def("register_component", &Register, py::arg("progid"), py::arg("factory"),
        "Registers the automation component made by factory() under a programmatic identifier\n"
        "(\"FolioDsn.clsFolioDsn\"); its objects' start(dsn, settings[, flag]) is called with a\n"
        "bytearray and may return new bytes or change the bytearray.");
  m.def("unregister_component", &UnregisterComponent, py::arg("progid"),
        "Removes a registered component; False when there was none.");
  py::module_::import("atexit").attr("register")(py::cpp_function(&ForgetPythonComponents));
}

}  // namespace ktfolio::py_binding
