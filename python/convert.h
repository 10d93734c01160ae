// Values between Python and the dispatch facility, and dispatch errors as
// Python exceptions. Shared by the module and its testing hooks.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/automation/dispatch.h"

namespace ktfolio::py_binding {

namespace py = pybind11;

// Lists and tuples nested deeper than this are refused (ValueError).
inline constexpr std::size_t kMaxNesting = 32;

// None, bool, int, float, str, bytes and lists/tuples of these; `what` names
// the argument or property in the message of a failure. The conversion is
// total: another type is a TypeError; a cycle, nesting beyond kMaxNesting or a
// str with a lone surrogate is a ValueError; an int beyond the Double range is
// an OverflowError. An int in the Long range is a Long, a larger one a Double.
Variant ToVariant(py::handle value, std::string_view what);
// The common scalars (None, bool, int in the Long range, float, str) without
// building a name for a failure that cannot happen; false, with `out` left
// alone, when the value needs ToVariant (and perhaps its error).
bool ToScalarVariant(py::handle value, Variant& out);
// A str as UTF-8 (ValueError naming `what` for a lone surrogate).
std::string ToUtf8(py::handle text, std::string_view what);
// A file name as the bytes the system sees: a str, bytes or os.PathLike, as
// open() takes it (a str through the file-system encoding, so a name read
// from the disk comes back byte for byte). TypeError for another type,
// ValueError for a str with no file-system form or a NUL byte.
std::string ToPath(py::handle value, std::string_view what);
// An argument for a parameter or property of a declared type: a String one
// also takes bytes and os.PathLike (file names); otherwise ToVariant.
Variant ToArgument(py::handle value, DispType type, std::string_view what);
// An int that must fit [low, high]: TypeError for another type, OverflowError
// naming `what` outside the range.
long long ToInteger(py::handle value, long long low, long long high, std::string_view what);
// Any object's str() for a message, never failing (unprintable parts escaped).
std::string SafeText(py::handle value);

// Empty -> None, Boolean -> bool, Integer/Long -> int, Single/Double -> float,
// String -> str, Array -> list, Bytes -> bytes. A Color hint reads a Long as
// the unsigned colour it carries; a Single reads as its shortest decimal.
py::object FromVariant(const Variant& value, DispType hint = DispType::Variant);

// A dispatch error for `what`: unknown or read-only names become
// AttributeError, the call's binding errors (conversion, argument count)
// TypeError, and every other numbered error an object raises ktfolio.ObjectError.
[[noreturn]] void Raise(const Error& e, const std::string& what);
struct ObjectErrorTag {};
void DefineObjectError(py::module_& m);

}  // namespace ktfolio::py_binding
