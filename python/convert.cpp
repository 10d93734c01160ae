#include "convert.h"

#include <charconv>
#include <climits>
#include <cstdlib>

namespace ktfolio::py_binding {

Variant ToVariant(py::handle value) {
  PyObject* o = value.ptr();
  if (value.is_none()) return Variant();
  if (PyBool_Check(o)) return Variant(o == Py_True);
  if (PyLong_Check(o) || (!PyFloat_Check(o) && PyIndex_Check(o))) {
    py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(o));
    if (!index) throw py::error_already_set();
    int overflow = 0;
    const long long v = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (overflow == 0 && v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<std::int32_t>(v));
    // Beyond a Long, a whole number travels as a Double, as a literal would.
    const double d = PyLong_AsDouble(index.ptr());
    if (d == -1.0 && PyErr_Occurred()) throw py::error_already_set();
    return Variant(d);
  }
  if (PyFloat_Check(o)) return Variant(PyFloat_AsDouble(o));
  if (PyUnicode_Check(o)) return Variant(value.cast<std::string>());
  if (PyBytes_Check(o) || PyByteArray_Check(o)) {
    const std::string bytes = PyBytes_Check(o) ? value.cast<std::string>()
                                               : std::string(PyByteArray_AsString(o), PyByteArray_Size(o));
    return Variant(ByteArray(bytes.begin(), bytes.end()));
  }
  if (PyList_Check(o) || PyTuple_Check(o)) {
    VariantArray items;
    for (py::handle item : value) items.push_back(ToVariant(item));
    return Variant(std::move(items));
  }
  throw py::type_error(std::string("a value of type '") + Py_TYPE(o)->tp_name +
                       "' cannot be passed to the control (use None, bool, int, float, str, bytes or a list)");
}

namespace {

py::object Str(const std::string& s) {
  // Texts are UTF-8 inside the library; a stray byte must not make a value unreadable.
  PyObject* u = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "replace");
  if (!u) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(u);
}

double ShortestDecimal(float f) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf - 1, f);
  *r.ptr = '\0';
  return std::strtod(buf, nullptr);
}

}  // namespace

py::object FromVariant(const Variant& v, DispType hint) {
  switch (v.type()) {
    case VarType::Empty: return py::none();
    case VarType::Boolean: return py::bool_(v.ToBool());
    case VarType::Integer:
    case VarType::Long:
      if (hint == DispType::Color) return py::int_(static_cast<std::uint32_t>(v.ToLong()));
      return py::int_(v.ToLong());
    case VarType::Single: return py::float_(ShortestDecimal(v.ToSingle()));
    case VarType::Double: return py::float_(v.ToDouble());
    case VarType::String: return Str(v.ToString());
    case VarType::Array: {
      py::list out;
      for (const Variant& item : v.ToArray()) out.append(FromVariant(item));
      return out;
    }
    case VarType::Bytes: {
      const ByteArray b = v.ToBytes();
      return py::bytes(reinterpret_cast<const char*>(b.data()), b.size());
    }
  }
  return py::none();
}

void Raise(const Error& e, const std::string& what) {
  const std::string message = what + ": " + e.description() + " (error " + std::to_string(e.number()) + ")";
  switch (e.number()) {
    case errnum::kNotSupported:
    case 383:  // read-only
      throw py::attribute_error(message);
    default:
      throw py::type_error(message);
  }
}

}  // namespace ktfolio::py_binding
