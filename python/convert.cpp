#include "convert.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <vector>

namespace ktfolio::py_binding {

namespace {

// The lists on the way from the argument down to the value being converted:
// a list met again on its own path is a cycle, and the path's length is the depth.
using Path = std::vector<PyObject*>;

[[noreturn]] void RaiseValueError(std::string_view what, const std::string& problem) {
  throw py::value_error(std::string(what) + ": " + problem);
}

Variant IntegerToVariant(PyObject* o, std::string_view what) {
  py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(o));
  if (!index) throw py::error_already_set();
  int overflow = 0;
  const long long v = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
  if (overflow == 0 && v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<std::int32_t>(v));
  // Beyond a Long, a whole number travels as a Double, as a literal would;
  // beyond a Double it has no Variant form at all.
  const double d = PyLong_AsDouble(index.ptr());
  if (d == -1.0 && PyErr_Occurred()) {
    PyErr_Clear();
    PyErr_SetString(PyExc_OverflowError,
                    (std::string(what) + ": the integer is too large for the control (beyond a Double)").c_str());
    throw py::error_already_set();
  }
  return Variant(d);
}

std::string Utf8(PyObject* o, std::string_view what) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(o, &size);
  if (!data) {
    // A lone surrogate has no UTF-8 form, and the library's texts are UTF-8.
    PyErr_Clear();
    RaiseValueError(what, "the string contains a lone surrogate and cannot be encoded as UTF-8");
  }
  return std::string(data, static_cast<std::size_t>(size));
}

}  // namespace

bool ToScalarVariant(py::handle value, Variant& out) {
  PyObject* o = value.ptr();
  if (PyUnicode_CheckExact(o)) {
    Py_ssize_t size = 0;
    const char* data = PyUnicode_AsUTF8AndSize(o, &size);
    if (!data) {
      PyErr_Clear();  // a lone surrogate: ToVariant says so
      return false;
    }
    out = Variant(std::string(data, static_cast<std::size_t>(size)));
    return true;
  }
  if (PyLong_CheckExact(o)) {
    int overflow = 0;
    const long long v = PyLong_AsLongLongAndOverflow(o, &overflow);
    if (overflow != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    out = Variant(static_cast<std::int32_t>(v));
    return true;
  }
  if (PyFloat_CheckExact(o)) {
    out = Variant(PyFloat_AS_DOUBLE(o));
    return true;
  }
  if (o == Py_None) {
    out = Variant();
    return true;
  }
  if (PyBool_Check(o)) {
    out = Variant(o == Py_True);
    return true;
  }
  return false;
}

namespace {

Variant Convert(py::handle value, std::string_view what, Path& path) {
  PyObject* o = value.ptr();
  if (value.is_none()) return Variant();
  if (PyBool_Check(o)) return Variant(o == Py_True);
  if (PyLong_Check(o) || (!PyFloat_Check(o) && PyIndex_Check(o))) return IntegerToVariant(o, what);
  if (PyFloat_Check(o)) return Variant(PyFloat_AsDouble(o));
  if (PyUnicode_Check(o)) return Variant(Utf8(o, what));
  if (PyObject_HasAttrString(reinterpret_cast<PyObject*>(Py_TYPE(o)), "__fspath__")) return Variant(ToPath(value, what));
  if (PyBytes_Check(o)) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(PyBytes_AS_STRING(o));
    return Variant(ByteArray(b, b + PyBytes_GET_SIZE(o)));
  }
  if (PyByteArray_Check(o)) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(PyByteArray_AS_STRING(o));
    return Variant(ByteArray(b, b + PyByteArray_GET_SIZE(o)));
  }
  if (PyList_Check(o) || PyTuple_Check(o)) {
    if (std::find(path.begin(), path.end(), o) != path.end()) RaiseValueError(what, "the list contains itself");
    if (path.size() >= kMaxNesting)
      RaiseValueError(what, "lists nested more than " + std::to_string(kMaxNesting) + " deep cannot be passed");
    // A tuple snapshot: the items stay alive even if converting one of them
    // (an __index__ method) changes the list.
    py::tuple items = py::reinterpret_steal<py::tuple>(PySequence_Tuple(o));
    if (!items) throw py::error_already_set();
    path.push_back(o);
    VariantArray out;
    out.reserve(items.size());
    for (py::handle item : items) out.push_back(Convert(item, what, path));
    path.pop_back();
    return Variant(std::move(out));
  }
  throw py::type_error(std::string(what) + ": a value of type '" + Py_TYPE(o)->tp_name +
                       "' cannot be passed to the control (use None, bool, int, float, str, bytes, os.PathLike or a list)");
}

}  // namespace

Variant ToVariant(py::handle value, std::string_view what) {
  Path path;
  return Convert(value, what, path);
}

std::string ToUtf8(py::handle text, std::string_view what) {
  if (!PyUnicode_Check(text.ptr())) throw py::type_error(std::string(what) + ": expected a str");
  return Utf8(text.ptr(), what);
}

std::string ToPath(py::handle value, std::string_view what) {
  py::object path = py::reinterpret_steal<py::object>(PyOS_FSPath(value.ptr()));
  if (!path) {
    // The object's own __fspath__ failing (not a TypeError of the wrong type) is its error to report.
    if (!PyErr_ExceptionMatches(PyExc_TypeError)) throw py::error_already_set();
    PyErr_Clear();
    throw py::type_error(std::string(what) + ": a file name is a str, bytes or os.PathLike, not '" +
                         Py_TYPE(value.ptr())->tp_name + "'");
  }
  py::object bytes = path;
  if (PyUnicode_Check(path.ptr())) {
    bytes = py::reinterpret_steal<py::object>(PyUnicode_EncodeFSDefault(path.ptr()));
    if (!bytes) {
      PyErr_Clear();
      RaiseValueError(what, "the file name has no form in the file-system encoding (a lone surrogate)");
    }
  }
  std::string out(PyBytes_AS_STRING(bytes.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr())));
  if (out.find('\0') != std::string::npos) RaiseValueError(what, "a file name cannot contain a NUL byte");
  return out;
}

Variant ToArgument(py::handle value, DispType type, std::string_view what) {
  PyObject* o = value.ptr();
  if (type != DispType::String) return ToVariant(value, what);
  if (PyUnicode_Check(o)) {
    Py_ssize_t size = 0;
    if (const char* data = PyUnicode_AsUTF8AndSize(o, &size)) return Variant(std::string(data, static_cast<std::size_t>(size)));
    PyErr_Clear();
    // Not UTF-8: a file name read from the disk carries its stray bytes as
    // escapes (os.fsdecode), and they go back as those bytes; a lone surrogate
    // of another kind is refused below.
    py::object bytes = py::reinterpret_steal<py::object>(PyUnicode_EncodeFSDefault(o));
    if (!bytes) {
      PyErr_Clear();
      return ToVariant(value, what);
    }
    return Variant(std::string(PyBytes_AS_STRING(bytes.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr()))));
  }
  if (PyBytes_Check(o) || PyObject_HasAttrString(reinterpret_cast<PyObject*>(Py_TYPE(o)), "__fspath__"))
    return Variant(ToPath(value, what));
  return ToVariant(value, what);
}

long long ToInteger(py::handle value, long long low, long long high, std::string_view what) {
  PyObject* o = value.ptr();
  if (PyFloat_Check(o) || !PyIndex_Check(o))
    throw py::type_error(std::string(what) + ": expected an int, not '" + Py_TYPE(o)->tp_name + "'");
  py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(o));
  if (!index) throw py::error_already_set();
  int overflow = 0;
  const long long v = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
  if (overflow != 0 || v < low || v > high) {
    PyErr_Clear();
    PyErr_SetString(PyExc_OverflowError, (std::string(what) + ": " + SafeText(index) + " is outside " +
                                          std::to_string(low) + ".." + std::to_string(high))
                                             .c_str());
    throw py::error_already_set();
  }
  return v;
}

std::string SafeText(py::handle value) {
  py::object text = py::reinterpret_steal<py::object>(PyObject_Str(value.ptr()));
  if (!text) {
    PyErr_Clear();
    return std::string("<unprintable ") + Py_TYPE(value.ptr())->tp_name + ">";
  }
  py::object bytes = py::reinterpret_steal<py::object>(PyUnicode_AsEncodedString(text.ptr(), "utf-8", "backslashreplace"));
  if (!bytes) {
    PyErr_Clear();
    return "<unprintable>";
  }
  return std::string(PyBytes_AS_STRING(bytes.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr())));
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

namespace {
py::handle objectErrorType;
}

void DefineObjectError(py::module_& m) {
  static py::exception<ObjectErrorTag> type(m, "ObjectError", PyExc_RuntimeError);
  type.doc() = "An error an object raised by design (a cancelled dialog); number, description and source "
               "say which, and the message carries the number.";
  objectErrorType = type;
}

void Raise(const Error& e, const std::string& what) {
  const std::string message = what + ": " + e.description() + " (error " + std::to_string(e.number()) + ")";
  switch (static_cast<ErrorCode>(e.number())) {
    case ErrorCode::kNotSupported:
    case ErrorCode::kReadOnlyProperty:
      throw py::attribute_error(message);
    case ErrorCode::kInvalidPropertyValue:  // the right type, a value the control refuses
      throw py::value_error(message);
    case ErrorCode::kInvalidProcedureCall:
    case ErrorCode::kOverflow:
    case ErrorCode::kOutOfMemory:
    case ErrorCode::kSubscriptOutOfRange:
    case ErrorCode::kTypeMismatch:
    case ErrorCode::kObjectNotSet:
    case ErrorCode::kObjectRequired:
    case ErrorCode::kNamedArgumentNotFound:
    case ErrorCode::kWrongArgumentCount:
      throw py::type_error(message);
    default: {
      if (!objectErrorType) throw py::type_error(message);
      // Errors an object raises on purpose keep their number for the caller.
      py::object error = py::reinterpret_borrow<py::object>(objectErrorType)(message);
      error.attr("number") = e.number();
      error.attr("description") = e.description();
      error.attr("source") = e.source();
      PyErr_SetObject(objectErrorType.ptr(), error.ptr());
      throw py::error_already_set();
    }
  }
}

}  // namespace ktfolio::py_binding
