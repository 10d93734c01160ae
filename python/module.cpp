// The ktfolio Python module: every object published through the dispatch
// facility becomes a Python object whose attributes are its properties and
// whose methods take positional and keyword arguments by their published
// names. Nothing here knows KtPrint4's members: they come from its dispatch
// table, so members published later appear in Python without binding code.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "control/ktprint4_dispatch.h"
#include "controls/kttext_dispatch.h"
#include "edit/toolbar.h"
#include "platform/container/form.h"
#include "convert.h"
#include "properties.h"
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

// Calls a member already looked up: the per-call work is converting the
// arguments and the call itself, never a search by name.
// `keywords` may be a null handle: none given.
py::object CallMember(Dispatch& self, const DispMember& m, const py::tuple& args, py::handle keywords) {
  const bool hasKeywords = keywords && PyDict_Size(keywords.ptr()) > 0;
  VariantArray positional;
  positional.reserve(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {
    Variant v;
    if (!ToScalarVariant(args[i], v)) v = ToVariant(args[i], ArgumentName(m, i));
    positional.push_back(std::move(v));
  }
  const DispType resultType = m.resultType ? DispType::Variant : m.type;
  if (!hasKeywords && TakesOnlyItems(m) && !m.resultType) {
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
      const bool known =
          std::any_of(m.params.begin(), m.params.end(), [&](const DispParam& p) { return p.name == k; });
      if (!known) throw py::type_error(m.name + "() got an unexpected keyword argument '" + k + "'; signature " +
                                       m.Signature());
      named.push_back({k, ToVariant(value, m.name + "() argument " + k)});
    }
  }

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

// A method of a dispatch object, bound to it: c.AddRow is one of these. The
// member is looked up once, when the method is taken from the object.
class BoundMethod {
 public:
  BoundMethod(DispatchPtr self, const DispMember& member) : self_(std::move(self)), member_(&member) {}

  py::object Call(const py::args& args, const py::kwargs& kwargs) { return CallMember(*self_, *member_, args, kwargs); }

  std::string Signature() const { return member_->Signature(); }
  const std::string& Name() const { return member_->name; }
  std::string Repr() const { return "<method " + self_->TypeName() + "." + Signature() + ">"; }

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

// A published control as Python sees it: the dispatch object plus its
// connected handlers.
template <typename Published>
class WithHandlers : public Published {
 public:
  using Published::Published;

  void Connect(py::object handler) {
    if (handler.is_none()) throw py::type_error("connect() needs a handler object, not None");
    for (const auto& h : handlers_)
      if (h.first.is(handler)) return;
    const int cookie = Dispatch::Connect([handler](const DispEvent& e, VariantArray& args) {
      py::gil_scoped_acquire gil;
      try {
        py::object fn = py::getattr(handler, e.name.c_str(), py::none());
        if (fn.is_none()) return;
        auto ev = std::make_shared<EventArgs>(e, args);
        fn(ev);
        args = ev->Values();
      } catch (py::error_already_set& err) {
        // The control cannot take an exception from its host: report it the
        // way Python reports errors in callbacks, and carry on.
        err.discard_as_unraisable(("ktfolio " + e.name + " handler").c_str());
      } catch (const std::exception& ex) {
        PyErr_SetString(PyExc_RuntimeError, ex.what());
        py::error_already_set err;
        err.discard_as_unraisable(("ktfolio " + e.name + " handler").c_str());
      }
    });
    handlers_.emplace_back(std::move(handler), cookie);
  }

  bool Disconnect(const py::object& handler) {
    for (auto it = handlers_.begin(); it != handlers_.end(); ++it) {
      if (!it->first.is(handler)) continue;
      Dispatch::Disconnect(it->second);
      handlers_.erase(it);
      return true;
    }
    return false;
  }

 private:
  std::vector<std::pair<py::object, int>> handlers_;
};

class PyKtPrint4 : public WithHandlers<KtPrint4Dispatch> {
 public:
  PyKtPrint4() = default;
  // On a form: the control lives in the form's container and keeps it alive.
  explicit PyKtPrint4(std::shared_ptr<Form> form) : WithHandlers(form) { PlaceOnForm(Control(), *form); }
};

using PyKtText = WithHandlers<KtTextDispatch>;

py::object GetAttribute(const DispatchPtr& self, const std::string& name) {
  const DispMember& m = Published(*self, name);
  try {
    if (m.IsMethod()) return py::cast(BoundMethod(self, m));
    if (m.type == DispType::Object) return py::cast(self->GetObject(m.name));
    return FromVariant(self->Get(m.name), m.type);
  } catch (const Error& e) {
    Raise(e, self->TypeName() + "." + m.name);
  }
}

void SetAttribute(const DispatchPtr& self, const std::string& name, py::handle value) {
  const DispMember& m = Published(*self, name);
  if (m.IsMethod()) throw py::attribute_error("cannot assign to method " + self->TypeName() + "." + m.name);
  if (!m.Writable()) throw py::attribute_error(self->TypeName() + "." + m.name + " is read-only");
  try {
    if (m.type == DispType::Object) {
      if (!py::isinstance<Dispatch>(value))
        throw py::type_error(self->TypeName() + "." + m.name + " takes an object such as ktfolio.StdFont");
      self->PutObject(m.name, value.cast<DispatchPtr>());
    } else {
      self->Put(m.name, ToVariant(value, self->TypeName() + "." + m.name));
    }
  } catch (const Error& e) {
    Raise(e, self->TypeName() + "." + m.name);
  }
}

// What the package's class-level methods call: the member by its place in the
// table (checked against its name), so a call never searches by name.
py::object CallPublished(const DispatchPtr& self, std::size_t index, const std::string& name, const py::args& args,
                         const py::kwargs& kwargs) {
  const std::vector<DispMember>& members = self->Members();
  const DispMember& m = index < members.size() && members[index].name == name ? members[index] : Published(*self, name);
  if (!m.IsMethod()) throw py::type_error(self->TypeName() + "." + m.name + " is not a method");
  return CallMember(*self, m, args, kwargs);
}

// The package's item-list methods (AddRow and its kin) called without
// keywords: the tuple of items goes straight to the member.
py::object CallWithItems(Dispatch& self, std::size_t index, const py::tuple& items) {
  const std::vector<DispMember>& members = self.Members();
  if (index >= members.size() || !TakesOnlyItems(members[index]))
    throw py::type_error(self.TypeName() + ": no item-list method at " + std::to_string(index));
  return CallMember(self, members[index], items, py::handle());
}

// c.AddRows(rows): each row a list, tuple or other iterable of items (a str
// is refused: it would be a row of one-letter items), added as AddRow adds
// it, in order. The first row the control refuses ends the run, its error on
// record (GetLastError); a row the binding cannot convert raises, the rows
// before it staying added. The result is the number of rows added.
std::int32_t AddRows(KtPrint4& control, const py::iterable& rows) {
  std::int32_t added = 0;
  VariantArray items;
  for (py::handle row : rows) {
    // Named only when something fails: building the name per row would cost more than the row.
    const auto what = [&] { return "AddRows() row " + std::to_string(added + 1); };
    if (PyUnicode_Check(row.ptr()) || PyBytes_Check(row.ptr()) || PyByteArray_Check(row.ptr()) ||
        !py::isinstance<py::iterable>(row))
      throw py::type_error(what() + ": each row is a list, tuple or other iterable of items, not '" +
                           std::string(Py_TYPE(row.ptr())->tp_name) + "'");
    py::tuple cells = py::reinterpret_steal<py::tuple>(PySequence_Tuple(row.ptr()));
    if (!cells) throw py::error_already_set();
    items.clear();
    items.reserve(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) {
      Variant v;
      if (!ToScalarVariant(cells[k], v)) v = ToVariant(cells[k], what() + " item " + std::to_string(k + 1));
      items.push_back(std::move(v));
    }
    if (!(items.empty() ? control.AddRow() : control.AddRow(items))) break;
    ++added;
  }
  return added;
}

// The package also puts members on the class for help(); list each name once.
py::list Dir(const py::object& self, const Dispatch& d) {
  py::list names = py::module_::import("builtins").attr("object").attr("__dir__")(self);
  py::set seen(names);
  for (const DispMember& m : d.Members())
    if (!seen.contains(py::str(m.name))) names.append(m.name);
  return names;
}

}  // namespace
}  // namespace ktfolio::py_binding

using namespace ktfolio;
using namespace ktfolio::py_binding;

PYBIND11_MODULE(_ktfolio, m) {
  m.doc() =
      "Print documents of header, footer and body rows of text cells.\n\n"
      "c = ktfolio.KtPrint4() creates a control; its properties are attributes\n"
      "(c.ScaleMode = ktfolio.eMillimetre) and its methods take positional or\n"
      "keyword arguments (c.AddRow('a', 2, True), c.RemoveRows(1, 3, PageArea=ktfolio.Header)).\n"
      "The control never raises: failures are read back with c.GetLastError().\n\n"
      "Values passed to the control: None, bool, int, float, str, bytes, bytearray\n"
      "and lists or tuples of these. An int in the 32-bit range travels as a Long,\n"
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
      .def("__getattr__", &GetAttribute)
      .def("__setattr__", &SetAttribute)
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

  py::class_<PyKtPrint4, Dispatch, std::shared_ptr<PyKtPrint4>>(
      m, "KtPrint4",
      "The print-document control, new in a default container (ambient font Arial 10,\n"
      "fore colour 0, user mode); with form=, placed on that form with its preview.")
      .def(py::init([](std::optional<std::shared_ptr<Form>> form, std::optional<py::dict> properties) {
             auto c = form && *form ? std::make_shared<PyKtPrint4>(std::move(*form)) : std::make_shared<PyKtPrint4>();
             if (properties) ReadPropertiesFromDict(c->Control(), *properties);
             return c;
           }),
           py::arg("form") = py::none(), py::arg("properties") = py::none(),
           "A new control; with form, placed on that form; with properties, one that reads\n"
           "them from a dict made by SaveProperties() (keys without regard to case; a missing\n"
           "key takes its default).")
      .def("SaveProperties", [](PyKtPrint4& c) { return SavePropertiesToDict(c.Control()); },
           "The control's saved properties as a dict of key -> value: only values that\n"
           "differ from their defaults, the design as bytes under 'DsnArray'.")
      .def("connect", &PyKtPrint4::Connect, py::arg("handler"),
           "Connects an event handler: for each event, its method of that name (if any)\n"
           "is called with one EventArgs argument.")
      .def("disconnect", &PyKtPrint4::Disconnect, py::arg("handler"),
           "Disconnects a handler; False when it was not connected.")
      .def("AddRows", [](PyKtPrint4& c, const py::iterable& rows) { return AddRows(c.Control(), rows); },
           py::arg("rows"),
           "Adds body rows in bulk, each a list, tuple or other iterable of items as AddRow takes\n"
           "them (not a str); stops at the first row the control refuses (its error on record)\n"
           "and returns how many were added.");

  m.def("_call", &CallPublished, py::arg("self"), py::arg("index"), py::arg("name"),
        "The package's methods call members through this, by their place in the table.");
  m.def("_call_items", &CallWithItems, py::arg("self"), py::arg("index"), py::arg("items"),
        "The package's item-list methods call members through this when given no keywords.");

  py::class_<PyKtText, Dispatch, std::shared_ptr<PyKtText>>(
      m, "KtText",
      "The formatted text box: free text or numbers, on a form (a private one when form is\n"
      "None), at its top left until moved; its properties, methods and events by name.")
      .def(py::init([](std::optional<std::shared_ptr<Form>> form) {
             auto f = form && *form ? std::move(*form) : std::make_shared<Form>(320, 120);
             return std::make_shared<PyKtText>(std::move(f));
           }),
           py::arg("form") = py::none(), "A new text box on the form.")
      .def("connect", &PyKtText::Connect, py::arg("handler"),
           "Connects an event handler: for each event, its method of that name (if any)\n"
           "is called with one EventArgs argument.")
      .def("disconnect", &PyKtText::Disconnect, py::arg("handler"),
           "Disconnects a handler; False when it was not connected.");

  py::dict enumerations;
  for (const EnumMember& e : PublishedEnumMembers()) {
    m.attr(e.name) = e.value;
    if (!enumerations.contains(e.type)) enumerations[e.type] = py::dict();
    enumerations[e.type][e.name] = e.value;
  }
  m.attr("enumerations") = enumerations;

  DefineTestingHooks(m);
  DefineIntrospection(m);
}
