// The ktfolio Python module: every object published through the dispatch
// facility becomes a Python object whose attributes are its properties and
// whose methods take positional and keyword arguments by their published
// names. Nothing here knows KtPrint4's members: they come from its dispatch
// table, so members published later appear in Python without binding code.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <clocale>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "control/ktprint4_dispatch.h"
#include "controls/companion_dispatch.h"
#include "controls/kttext_dispatch.h"
#include "viewer/toolbar.h"
#include "platform/container/form.h"
#include "convert.h"
#include "host.h"
#include "properties.h"
#include "rows.h"
#ifdef KTFOLIO_PYTHON_CLI
#include "cli_module.h"
#endif
#include "model/enums.h"

namespace ktfolio::py_binding {

void DefineTestingHooks(py::module_& parent);
void DefineIntrospection(py::module_& m);
void DefineForm(py::module_& m);
void DefineDialogs(py::module_& m);
void DefinePages(py::module_& m);
void DefinePrinting(py::module_& m);
void DefineBytesOut(py::module_& m);

namespace {

// Python attribute names are exact: the dispatch would accept "pages", but a
// script that writes it so is almost certainly a typo worth telling about.
const DispMember& Published(Dispatch& d, const std::string& name) {
  const DispMember* m = d.Find(name);
  if (!m || m->name != name) {
    std::string msg = "'" + d.TypeName() + "' object has no attribute '" + name + "'";
    if (m) msg += " (did you mean '" + m->name + "'?)";
    throw py::attribute_error(msg);
  }
  return *m;
}

// A parameter list that is only "Items...": AddRow and its kin.
bool TakesOnlyItems(const DispMember& m) {
  return m.params.size() == 1 && m.params[0].paramArray;
}

std::string ArgumentName(const DispMember& m, std::size_t i) {
  std::string s = m.name + "() argument " + std::to_string(i + 1);
  if (!m.params.empty()) s += " (" + m.params[std::min(i, m.params.size() - 1)].name + ")";
  return s;
}

// What a member's parameter i is declared as (the items of a parameter array are Variants).
DispType ParamType(const DispMember& m, std::size_t i) {
  return i < m.params.size() && !m.params[i].paramArray ? m.params[i].type : DispType::Variant;
}

HostControl* HostOf(Dispatch& d) { return dynamic_cast<HostControl*>(&d); }

void CheckAlive(const Dispatch& d) {
  SettleHeldBack();  // the entry of every call on a published object, the unguarded fast paths included
  if (d.Retired()) throw py::value_error("operation on a released " + d.TypeName());
}

// While a call converts its values, their own code (an __index__, an
// os.PathLike's __fspath__) cannot release the control: `m` lives in its table.
constexpr const char* kConverting = "a call converts its values";

py::object InvokeMember(Dispatch& self, const DispMember& m, const py::tuple& args, py::handle keywords,
                        HostControl* host) {
  const bool hasKeywords = keywords && PyDict_Size(keywords.ptr()) > 0;
  HostControl::Busy converting(host, kConverting);
  VariantArray positional;
  positional.reserve(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {
    Variant v;
    if (!ToScalarVariant(args[i], v)) v = ToArgument(args[i], ParamType(m, i), ArgumentName(m, i));
    positional.push_back(std::move(v));
  }
  const DispType resultType = m.resultType ? DispType::Variant : m.type;
  if (!hasKeywords && TakesOnlyItems(m) && !m.resultType) {
    converting.End();
    // What binding would do for an item list: every argument in one array.
    VariantArray bound{Variant(std::move(positional))};
    Variant result;
    try {
      result = m.invoke(bound);
    } catch (const Error& e) {
      Raise(e, m.name + "()");
    }
    return FromVariant(result, resultType);
  }
  std::vector<NamedArg> named;
  if (hasKeywords) {
    for (auto [key, value] : py::reinterpret_borrow<py::dict>(keywords)) {
      const std::string k = ToUtf8(key, m.name + "() keyword");
      auto p = std::find_if(m.params.begin(), m.params.end(), [&](const DispParam& p) { return p.name == k; });
      if (p == m.params.end())
        throw py::type_error(m.name + "() got an unexpected keyword argument '" + k + "'; signature " + m.Signature());
      named.push_back({k, ToArgument(value, p->paramArray ? DispType::Variant : p->type, m.name + "() argument " + k)});
    }
  }
  converting.End();

  Variant result;
  try {
    result = self.Invoke(m.name, positional, named);
  } catch (const Error& e) {
    Raise(e, m.name + "()");
  }

  // By-reference results follow the function's result, Python style.
  py::list outs;
  for (std::size_t i = 0; i < m.params.size() && i < positional.size(); ++i)
    if (m.params[i].byRef && !m.params[i].paramArray) outs.append(FromVariant(positional[i], m.params[i].type));
  py::object r = FromVariant(result, m.resultType ? m.resultType(positional) : m.type);
  if (outs.empty()) return r;
  // A procedure gives back only what it wrote: c.GetDsnArray() is the bytes.
  if (!m.hasResult) return outs.size() == 1 ? py::object(outs[0]) : py::object(py::tuple(outs));
  py::list all;
  all.append(r);
  for (py::handle o : outs) all.append(o);
  return py::tuple(all);
}

// Calls a member already looked up: the per-call work is converting the
// arguments and the call itself, never a search by name.
// `keywords` may be a null handle: none given.
py::object CallMember(Dispatch& self, const DispMember& m, const py::tuple& args, py::handle keywords) {
  HostControl* host = HostOf(self);
  return AsHostCall(host, self.TypeName() + "." + m.name + "()",
                    [&] { return InvokeMember(self, m, args, keywords, host); });
}

// A method of a dispatch object, bound to it: c.AddRow is one of these. The
// member is looked up once, when the method is taken from the object.
class BoundMethod {
 public:
  BoundMethod(DispatchPtr self, const DispMember& member) : self_(std::move(self)), member_(&member) {}

  py::object Call(const py::args& args, const py::kwargs& kwargs) {
    CheckAlive(*self_);  // before member_, which went with the table
    return CallMember(*self_, *member_, args, kwargs);
  }

  std::string Signature() const {
    CheckAlive(*self_);
    return member_->Signature();
  }
  const std::string& Name() const {
    CheckAlive(*self_);
    return member_->name;
  }
  std::string Repr() const {
    if (self_->Retired()) return "<method of a released " + self_->TypeName() + ">";
    return "<method " + self_->TypeName() + "." + Signature() + ">";
  }

 private:
  DispatchPtr self_;
  const DispMember* member_;  // the object's own table, which lives as long as it does
};

// The one argument an event handler receives: the event's parameters as
// attributes. By-reference ones can be assigned, and what the handler leaves
// there is what the control sees.
class EventArgs {
 public:
  EventArgs(const DispEvent& e, VariantArray values) : event_(e), values_(std::move(values)) {
    values_.resize(event_.params.size());
  }

  py::object Get(const std::string& name) const {
    const std::size_t i = Index(name);
    return FromVariant(values_[i], event_.params[i].type);
  }

  void Set(const std::string& name, py::handle value) {
    const std::size_t i = Index(name);
    const DispParam& p = event_.params[i];
    if (!p.byRef) throw py::attribute_error(event_.name + "." + p.name + " is passed by value and cannot be changed");
    try {
      values_[i] = Coerce(p.type, ToVariant(value, event_.name + "." + p.name));
    } catch (const Error& e) {
      Raise(e, event_.name + "." + p.name);
    }
  }

  py::list Names() const {
    py::list names;
    for (const DispParam& p : event_.params) names.append(p.name);
    return names;
  }

  std::string Repr() const {
    std::string s = event_.name + "(";
    for (std::size_t i = 0; i < event_.params.size(); ++i) {
      if (i) s += ", ";
      s += event_.params[i].name + "=" + py::repr(Get(event_.params[i].name)).cast<std::string>();
    }
    return s + ")";
  }

  const std::string& Event() const { return event_.name; }
  const VariantArray& Values() const { return values_; }

 private:
  std::size_t Index(const std::string& name) const {
    for (std::size_t i = 0; i < event_.params.size(); ++i)
      if (event_.params[i].name == name) return i;
    throw py::attribute_error("event " + event_.name + " has no parameter '" + name + "'");
  }

  DispEvent event_;
  VariantArray values_;
};

// Handler methods whose names are near an event's but not equal to it: the
// control calls a handler by the exact name, so these would never run.
void WarnOfNearMisses(const py::object& handler, const Dispatch& d) {
  py::list events;
  for (const DispEvent& e : d.Events()) events.append(e.name);
  if (events.empty()) return;
  py::object closest = py::module_::import("difflib").attr("get_close_matches");
  for (py::handle name : py::list(py::module_::import("builtins").attr("dir")(handler))) {
    if (!PyUnicode_Check(name.ptr())) continue;
    const std::string text = SafeText(name);
    if (text.empty() || text[0] == '_' || events.contains(name)) continue;
    std::string match;
    for (py::handle e : events)
      if (FoldName(SafeText(e)) == FoldName(text)) match = SafeText(e);
    if (match.empty()) {
      py::list near = closest(name, events, 1, 0.8);
      if (near.empty()) continue;
      match = SafeText(near[0]);
    }
    py::object attr = py::reinterpret_steal<py::object>(PyObject_GetAttr(handler.ptr(), name.ptr()));
    if (!attr) {
      PyErr_Clear();
      continue;
    }
    if (!PyCallable_Check(attr.ptr())) continue;
    WarnOfEvent("handler method '" + text + "' is not an event of " + d.TypeName() + " and will not be called; did you mean '" +
                match + "'?");
  }
}

// A published control as Python sees it: the dispatch object plus its
// connected handlers, its error mode and its early release.
template <typename Published>
class WithHandlers : public Published, public HostControl {
 public:
  template <typename... A>
  explicit WithHandlers(const std::shared_ptr<Form>& form, A&&... a)
      : Published(std::forward<A>(a)...), form_(form.get()), formRef_(form) {}

  void Connect(py::object handler) {
    CheckAlive(*this);
    if (handler.is_none()) throw py::type_error("connect() needs a handler object, not None");
    for (const auto& h : handlers_)
      if (h.first.is(handler)) return;
    WarnOfNearMisses(handler, *this);
    const int cookie = Dispatch::Connect([this, handler](const DispEvent& e, VariantArray& args) {
      py::gil_scoped_acquire gil;
      InHandler running;
      try {
        py::object fn = py::getattr(handler, e.name.c_str(), py::none());
        if (fn.is_none()) return;
        auto ev = std::make_shared<EventArgs>(e, args);
        fn(ev);
        args = ev->Values();
      } catch (py::error_already_set& err) {
        err.restore();
        HandlerFailed(*this, e.name);
      } catch (const std::exception& ex) {
        PyErr_SetString(PyExc_RuntimeError, ex.what());
        HandlerFailed(*this, e.name);
      }
    }, [handler](std::string_view event) {
      // A handler hears the events it has a method for, looked up when asked:
      // the lookup may run the handler's own code (__getattr__, a property).
      py::gil_scoped_acquire gil;
      InHandler running;
      return py::hasattr(handler, std::string(event).c_str());
    });
    handlers_.emplace_back(std::move(handler), cookie);
  }

  bool Disconnect(const py::object& handler) {
    CheckAlive(*this);
    for (auto it = handlers_.begin(); it != handlers_.end(); ++it) {
      if (!it->first.is(handler)) continue;
      Dispatch::Disconnect(it->second);
      handlers_.erase(it);
      return true;
    }
    return false;
  }

  void Release() override {
    if (this->Retired()) return;
    CheckNotInHandler(this->TypeName() + ".release()");
    this->CheckNotBusy(this->TypeName() + ".release()");
    Published::Release();
    handlers_.clear();
  }
  bool Released() const override { return this->Retired(); }
  const Form* OnForm() const override { return form_; }
  std::shared_ptr<Form> FormPtr() const { return formRef_.lock(); }

 private:
  const Form* form_;
  std::weak_ptr<Form> formRef_;
  std::vector<std::pair<py::object, int>> handlers_;
};

class PyKtPrint4 : public WithHandlers<KtPrint4Dispatch> {
 public:
  PyKtPrint4() : WithHandlers(nullptr) {}
  // On a form: the control lives in the form's container and keeps it alive.
  explicit PyKtPrint4(const std::shared_ptr<Form>& form) : WithHandlers(form, form) { PlaceOnForm(Control(), *form); }

  bool KeepsRecord() const override { return true; }
  std::uint64_t Recorded() const override { return Retired() ? 0 : Self().ErrorsRecorded(); }
  ErrorRecord LastRecord() const override {
    ErrorRecord r;
    if (Retired() || !Self().GetLastError(r.ErrorNumber, r.ErrorDescription, r.ErrorSource)) r.ErrorNumber = 0;
    return r;
  }
  void Record(std::int32_t number, const std::string& source, const std::string& text) override {
    if (!Retired()) Control().RecordError(number, source, text);
  }

 private:
  const KtPrint4Impl& Self() const { return const_cast<PyKtPrint4*>(this)->Control(); }
};

using PyKtText = WithHandlers<KtTextDispatch>;
using PyKtBoton = WithHandlers<KtBotonDispatch>;
using PyKtMarco = WithHandlers<KtMarcoDispatch>;

py::object GetAttribute(const DispatchPtr& self, const std::string& name) {
  CheckAlive(*self);
  const DispMember& m = Published(*self, name);
  if (m.IsMethod()) return py::cast(BoundMethod(self, m));
  return AsHostCall(HostOf(*self), self->TypeName() + "." + m.name, [&]() -> py::object {
    try {
      if (m.type == DispType::Object) return py::cast(self->GetObject(m.name));
      return FromVariant(self->Get(m.name), m.type);
    } catch (const Error& e) {
      Raise(e, self->TypeName() + "." + m.name);
    }
  });
}

void SetAttribute(const DispatchPtr& self, const std::string& name, py::handle value) {
  CheckAlive(*self);
  const DispMember& m = Published(*self, name);
  if (m.IsMethod()) throw py::attribute_error("cannot assign to method " + self->TypeName() + "." + m.name);
  if (!m.Writable()) throw py::attribute_error(self->TypeName() + "." + m.name + " is read-only");
  const std::string what = self->TypeName() + "." + m.name;
  HostControl* host = HostOf(*self);
  AsHostCall(host, what, [&] {
    try {
      if (m.type == DispType::Object) {
        if (!py::isinstance<Dispatch>(value))
          throw py::type_error(what + " takes an object such as ktfolio.StdFont");
        self->PutObject(m.name, value.cast<DispatchPtr>());
      } else {
        HostControl::Busy converting(host, kConverting);
        Variant v = ToArgument(value, m.type, what);
        converting.End();
        self->Put(m.name, std::move(v));
      }
    } catch (const Error& e) {
      Raise(e, what);
    }
  });
}

// What the package's class-level methods call: the member by its place in the
// table (checked against its name), so a call never searches by name.
// _call(self, index, name, *args, **kwargs).
py::object CallPublished(const py::args& all, const py::kwargs& kwargs) {
  if (all.size() < 3 || !py::isinstance<Dispatch>(all[0]) || !PyLong_Check(all[1].ptr()) || !PyUnicode_Check(all[2].ptr()))
    throw py::type_error("_call(self, index, name, *args, **kwargs)");
  const DispatchPtr self = all[0].cast<DispatchPtr>();
  CheckAlive(*self);
  const std::size_t index = static_cast<std::size_t>(ToInteger(all[1], 0, 1 << 20, "_call() index"));
  const std::string name = ToUtf8(all[2], "_call() name");
  const std::vector<DispMember>& members = self->Members();
  const DispMember& m = index < members.size() && members[index].name == name ? members[index] : Published(*self, name);
  if (!m.IsMethod()) throw py::type_error(self->TypeName() + "." + m.name + " is not a method");
  py::tuple args = py::reinterpret_steal<py::tuple>(PyTuple_GetSlice(all.ptr(), 3, static_cast<Py_ssize_t>(all.size())));
  return CallMember(*self, m, args, kwargs);
}

// The package's item-list methods (AddRow and its kin) called without
// keywords: the tuple of items goes straight to the member.
// _call_items(self, index, items).
py::object CallWithItems(const py::args& all, const py::kwargs& kwargs) {
  if (all.size() != 3 || PyDict_Size(kwargs.ptr()) > 0 || !py::isinstance<Dispatch>(all[0]) ||
      !PyLong_Check(all[1].ptr()) || !PyTuple_Check(all[2].ptr()))
    throw py::type_error("_call_items(self, index, items)");
  Dispatch& self = all[0].cast<Dispatch&>();
  CheckAlive(self);
  const std::size_t index = static_cast<std::size_t>(ToInteger(all[1], 0, 1 << 20, "_call_items() index"));
  const std::vector<DispMember>& members = self.Members();
  if (index >= members.size() || !TakesOnlyItems(members[index]))
    throw py::type_error(self.TypeName() + ": no item-list method at " + std::to_string(index));
  return CallMember(self, members[index], py::reinterpret_borrow<py::tuple>(all[2]), py::handle());
}

// The package also puts members on the class for help(); list each name once.
py::list Dir(const py::object& self, const Dispatch& d) {
  py::list names = py::module_::import("builtins").attr("object").attr("__dir__")(self);
  py::set seen(names);
  for (const DispMember& m : d.Members())
    if (!seen.contains(py::str(m.name))) names.append(m.name);
  return names;
}


// A new control made from Python: its error mode, and known to Form.release().
template <typename Control>
std::shared_ptr<Control> Made(std::shared_ptr<Control> c, std::optional<bool> raiseErrors) {
  c->RaiseErrors(raiseErrors.value_or(RaiseErrorsDefault()));
  Track(c);
  return c;
}

// Where a companion control goes: the container's form and window, or the
// form's (a private form when neither is given).
std::pair<std::shared_ptr<Form>, win::HWND> Placement(const std::optional<std::shared_ptr<Form>>& form,
                                                      const std::optional<std::shared_ptr<PyKtMarco>>& container) {
  if (container && *container) {
    PyKtMarco& c = **container;
    CheckAlive(c);
    if (form && *form && form->get() != c.OnForm())
      throw py::value_error("container is on another form than form");
    // The container's form: the one it was made on, which its dispatch keeps alive.
    return {c.FormPtr(), c.Control().hwnd()};
  }
  return {form && *form ? *form : std::make_shared<Form>(320, 120), nullptr};
}

std::string Quoted(const std::string& text) { return SafeText(py::repr(py::reinterpret_steal<py::object>(
                                                  PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace")))); }

// What every control class adds to its published members: handlers, the
// error mode, and release as a context manager.
template <typename Control>
void DefineControlCommon(py::class_<Control, Dispatch, std::shared_ptr<Control>>& cls) {
  cls.def("connect", &Control::Connect, py::arg("handler"),
          "Connects an event handler: for each event, its method of that name (if any)\n"
          "is called with one EventArgs argument. A method whose name is close to an event's\n"
          "(NewPages, newpage) warns with ktfolio.EventWarning: names match exactly.")
      .def("disconnect", &Control::Disconnect, py::arg("handler"),
           "Disconnects a handler; False when it was not connected.")
      .def("release", &Control::Release,
           "Destroys the control's windows, timers and drawing objects now; any later use raises\n"
           "ValueError. Not from inside one of its event handlers (RuntimeError).")
      .def_property_readonly("released", &Control::Released, "True once release() ran.")
      .def_property_readonly("raise_errors", [](const Control& c) { return c.RaiseErrors(); },
                             "Whether recorded failures and handler exceptions raise ktfolio.KtError.")
      .def("__enter__", [](py::object self) { return self; })
      .def(
          "__exit__", [](Control& c, py::args) { c.Release(); return false; },
          "Releases the control (release()).");
}


// The controls a Python host makes, each with its handlers, error mode and release.
void DefineKtPrint4(py::module_& m) {
  auto kt = py::class_<PyKtPrint4, Dispatch, std::shared_ptr<PyKtPrint4>>(
      m, "KtPrint4",
      "The print-document control, new in a default container (ambient font Arial 10,\n"
      "fore colour 0, user mode); with form=, placed on that form with its preview.\n"
      "With raise_errors=True (default: ktfolio.set_raise_errors()), each failure a call\n"
      "records raises ktfolio.KtError after the call; the record stays as it is.\n"
      "'with ktfolio.KtPrint4() as c:' releases the control at the end (release()).");
  kt.def(py::init([](std::optional<std::shared_ptr<Form>> form, std::optional<py::dict> properties,
                     std::optional<bool> raise_errors) {
           auto c = form && *form ? std::make_shared<PyKtPrint4>(*form) : std::make_shared<PyKtPrint4>();
           if (properties) ReadPropertiesFromDict(c->Control(), *properties);
           return Made(std::move(c), raise_errors);
         }),
         py::arg("form") = py::none(), py::arg("properties") = py::none(), py::arg("raise_errors") = py::none(),
         "A new control; with form, placed on that form; with properties, one that reads\n"
         "them from a dict made by SaveProperties() (keys without regard to case; a missing\n"
         "key takes its default); raise_errors None takes the module's default.")
      .def("SaveProperties",
           [](PyKtPrint4& c) {
             CheckAlive(c);
             return SavePropertiesToDict(c.Control());
           },
           "The control's saved properties as a dict of key -> value: only values that\n"
           "differ from their defaults, the design as bytes under 'DsnArray'.")
      .def("AddRows",
           [](PyKtPrint4& c, const py::iterable& rows) {
             CheckAlive(c);
             return AsHostCall(&c, "KtPrint4.AddRows()", [&] { return AddRows(c, c.Control(), rows); });
           },
           py::arg("rows"),
           "Adds body rows in bulk, each a list, tuple or other iterable of items as AddRow takes\n"
           "them (not a str); stops at the first row the control refuses (its error on record)\n"
           "and returns how many were added. Rows of str items are read up to 64 ahead of their\n"
           "adding, but any call into ktfolio adds the rows read first: code run between rows sees\n"
           "each row it gave as added. After a refused row, the rows read past it are dropped (an\n"
           "iterator has given them). The rows' code cannot release this control (RuntimeError).")
      .def("__repr__", [](PyKtPrint4& c) {
        if (c.Released()) return std::string("<ktfolio.KtPrint4 released>");
        KtPrint4Impl& k = c.Control();
        const auto count = [&k](std::int32_t area) { return k.Rows(area) ? k.Rows(area)->count() : 0; };
        std::string r = "<ktfolio.KtPrint4 pages=" + std::to_string(k.Pages()) + " rows=" + std::to_string(count(0)) +
                        " header=" + std::to_string(count(1)) + " footer=" + std::to_string(count(2));
        const ErrorRecord e = c.LastRecord();
        if (e.ErrorNumber == 0) return r + " last_error=None>";
        return r + " last_error=(" + std::to_string(e.ErrorNumber) + ", " + Quoted(e.ErrorDescription) + ", " +
               Quoted(e.ErrorSource) + ")>";
      });
  DefineControlCommon(kt);

}

// A companion control placed on a form or inside a frame: its constructor,
// its repr (the window's name, then `details`) and what every control has.
template <typename Py, typename Details>
void DefinePlaced(py::module_& m, const char* name, const char* doc, const char* initDoc, Details details) {
  auto cls = py::class_<Py, Dispatch, std::shared_ptr<Py>>(m, name, doc);
  cls.def(py::init([](std::optional<std::shared_ptr<Form>> form, std::optional<std::shared_ptr<PyKtMarco>> container,
                      std::optional<bool> raise_errors) {
            auto [f, parent] = Placement(form, container);
            return Made(std::make_shared<Py>(f, f, parent), raise_errors);
          }),
          py::arg("form") = py::none(), py::arg("container") = py::none(), py::arg("raise_errors") = py::none(),
          initDoc)
      .def("__repr__", [name = std::string(name), details](Py& c) {
        if (c.Released()) return "<ktfolio." + name + " released>";
        auto& k = c.Control();
        return "<ktfolio." + name + " " + Quoted(MemberName(k.hwnd())) + details(k) + ">";
      });
  DefineControlCommon(cls);
}

void DefineCompanions(py::module_& m) {
  auto text = py::class_<PyKtText, Dispatch, std::shared_ptr<PyKtText>>(
      m, "KtText",
      "The formatted text box: free text or numbers, on a form (a private one when form is\n"
      "None), at its top left until moved; its properties, methods and events by name.");
  text.def(py::init([](std::optional<std::shared_ptr<Form>> form, std::optional<bool> raise_errors) {
             auto f = form && *form ? std::move(*form) : std::make_shared<Form>(320, 120);
             return Made(std::make_shared<PyKtText>(f, f), raise_errors);
           }),
           py::arg("form") = py::none(), py::arg("raise_errors") = py::none(), "A new text box on the form.")
      .def("__repr__", [](PyKtText& t) {
        if (t.Released()) return std::string("<ktfolio.KtText released>");
        KtText& k = t.Control();
        return "<ktfolio.KtText " + Quoted(MemberName(k.ControlWindow())) + " text=" + Quoted(k.Text()) +
               (k.ControlType() == 1 ? " value=" + SafeText(py::float_(k.Value())) : std::string()) + ">";
      });
  DefineControlCommon(text);

  DefinePlaced<PyKtMarco>(
      m, "KtMarco",
      "The frame: a panel with bevels, a titled frame line, a caption and a flood fill that\n"
      "shows a percentage; controls made with container=frame sit inside it and hide and\n"
      "show with HideChildren() and ShowChildren().",
      "A new frame on the form, or inside container (another KtMarco on it).", [](KtMarco& k) {
        return " caption=" + Quoted(k.Caption()) + " flood=" + std::to_string(k.Flood()) +
               " percent=" + std::to_string(k.FloodPercent());
      });
  DefinePlaced<PyKtBoton>(
      m, "KtBoton",
      "The button: push, toggle (Style 1) or flat (Style 2), with a caption whose '&' marks its\n"
      "access key; on a form (a private one when form is None), inside container (a KtMarco)\n"
      "when given; its properties, methods and events by name.",
      "A new button on the form, or inside container (a KtMarco on it).", [](KtBoton& k) {
        return " caption=" + Quoted(k.Caption()) + " style=" + std::to_string(k.Style()) +
               " value=" + std::to_string(k.Value());
      });
}
}  // namespace
}  // namespace ktfolio::py_binding

using namespace ktfolio;
using namespace ktfolio::py_binding;

PYBIND11_MODULE(_ktfolio, m) {
  // Python already takes the user's LC_CTYPE; the date fields (%sd, %ld...)
  // want the user's LC_TIME too. Numbers stay in the "C" form.
  std::setlocale(LC_TIME, "");
  m.doc() =
      "Print documents of header, footer and body rows of text cells.\n\n"
      "c = ktfolio.KtPrint4() creates a control; its properties are attributes\n"
      "(c.ScaleMode = ktfolio.eMillimetre) and its methods take positional or\n"
      "keyword arguments (c.AddRow('a', 2, True), c.RemoveRows(1, 3, PageArea=ktfolio.Header)).\n"
      "The control never raises: failures are read back with c.GetLastError(),\n"
      "unless it was made with raise_errors=True (or after ktfolio.set_raise_errors(True)):\n"
      "then each failure a call records raises ktfolio.KtError after the call. An event\n"
      "handler's exception is recorded (number 440, source the event's name) and with\n"
      "raise_errors raised as KtError, caused by it, when the call that raised the event\n"
      "returns. 'with ktfolio.KtPrint4() as c:' and 'with ktfolio.Form(w, h) as f:' release\n"
      "windows, timers and drawing objects at the end of the block.\n\n"
      "Values passed to the control: None, bool, int, float, str, bytes, bytearray,\n"
      "os.PathLike (as its file name) and lists or tuples of these. File names (a\n"
      "template's, an export's) also take bytes, as open() does. An int in the 32-bit range travels as a Long,\n"
      "a larger one as a Double. Only the conversion itself raises, before the\n"
      "control is called: TypeError for a value of another type, ValueError for a\n"
      "list that contains itself, lists nested more than 32 deep, or a str with a\n"
      "lone surrogate, OverflowError for an int beyond the Double range (about\n"
      "1.8e308). The message names the argument or property. A value of the right\n"
      "kind that the control cannot use (a NaN or infinite length, a number out of\n"
      "range) is recorded, error 5 or 6, and changes nothing.\n\n"
      "Colours read back as unsigned 32-bit numbers (0x8000000F) and are accepted\n"
      "in that form or as the same bits in a signed Long (-2147483633).";

  py::class_<Dispatch, DispatchPtr>(m, "DispatchObject",
                                    "An object whose properties and methods are reached by name.")
      // Every attribute access passes here: they take any arguments and check them
      // themselves, so the keyword-name guard need not add a call in front.
      .def("__getattr__",
           [](const py::args& a, const py::kwargs& k) {
             if (a.size() != 2 || PyDict_Size(k.ptr()) > 0 || !py::isinstance<Dispatch>(a[0]))
               throw py::type_error("__getattr__(self, name)");
             return GetAttribute(a[0].cast<DispatchPtr>(), ToUtf8(a[1], "attribute name"));
           })
      .def("__setattr__",
           [](const py::args& a, const py::kwargs& k) {
             if (a.size() != 3 || PyDict_Size(k.ptr()) > 0 || !py::isinstance<Dispatch>(a[0]))
               throw py::type_error("__setattr__(self, name, value)");
             SetAttribute(a[0].cast<DispatchPtr>(), ToUtf8(a[1], "attribute name"), a[2]);
           })
      .def("__dir__", [](const py::object& self) { return Dir(self, self.cast<Dispatch&>()); })
      .def_property_readonly("members", [](const Dispatch& d) {
        py::dict out;
        for (const DispMember& mem : d.Members()) out[py::str(mem.name)] = mem.Signature();
        return out;
      }, "The published members and their signatures.");

  py::class_<BoundMethod>(m, "Method", "A published method bound to its object.")
      .def("__call__", &BoundMethod::Call)
      .def_property_readonly("name", &BoundMethod::Name)
      .def_property_readonly("signature", &BoundMethod::Signature)
      .def("__repr__", &BoundMethod::Repr);

  py::class_<EventArgs, std::shared_ptr<EventArgs>>(m, "EventArgs",
                                                    "The parameters of one event, as attributes.")
      .def("__getattr__", &EventArgs::Get)
      .def("__setattr__", &EventArgs::Set)
      .def("__dir__", &EventArgs::Names)
      .def("__repr__", &EventArgs::Repr)
      .def_property_readonly("event", &EventArgs::Event);

  py::class_<FontDispatch, Dispatch, std::shared_ptr<FontDispatch>>(m, "StdFont", "A font description.")
      .def(py::init([](const std::string& Name, double Size, bool Bold, bool Italic, bool Underline,
                       bool Strikethrough) {
             auto f = std::make_shared<StdFont>();
             f->Name = Name;
             try {
               f->Size = CheckedFontSize(Variant(Size).ToSingle());
             } catch (const Error& e) {
               Raise(e, "StdFont Size");
             }
             f->Bold = Bold;
             f->Italic = Italic;
             f->Underline = Underline;
             f->Strikethrough = Strikethrough;
             return std::make_shared<FontDispatch>(f);
           }),
           py::arg("Name") = "Arial", py::arg("Size") = 10.0, py::arg("Bold") = false, py::arg("Italic") = false,
           py::arg("Underline") = false, py::arg("Strikethrough") = false)
      .def("__repr__", [](const FontDispatch& f) {
        const StdFont& s = *f.Font();
        std::string r = "<StdFont '" + s.Name + "' " + FormatSingle(s.Size) + "pt";
        if (s.Bold) r += " bold";
        if (s.Italic) r += " italic";
        if (s.Underline) r += " underline";
        if (s.Strikethrough) r += " strikethrough";
        return r + ">";
      });

  DefineForm(m);
  DefineDialogs(m);
  DefinePages(m);
  DefinePrinting(m);
  DefineBytesOut(m);

  DefineHostErrors(m);
  DefineKtPrint4(m);
  DefineCompanions(m);
  m.def("_call", &CallPublished, "The package's methods call members through this, by their place in the table.");
  m.def("_call_items", &CallWithItems,
        "The package's item-list methods call members through this when given no keywords.");


  py::dict enumerations;
  for (const EnumMember& e : PublishedEnumMembers()) {
    m.attr(e.name) = e.value;
    if (!enumerations.contains(e.type)) enumerations[e.type] = py::dict();
    enumerations[e.type][e.name] = e.value;
  }
  m.attr("enumerations") = enumerations;

  DefineTestingHooks(m);
  DefineIntrospection(m);
  GuardKeywordNames(m);
#ifdef KTFOLIO_PYTHON_CLI
  ktfolio::python::AddCommandLine(m);
#endif
}
