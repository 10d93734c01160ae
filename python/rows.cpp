// c.AddRows: rows in bulk, the str rows among them without a variant per item.
#include "rows.h"

#include <string_view>
#include <vector>

#include "convert.h"

namespace ktfolio::py_binding {

namespace {

// A row of str items only (nearly every row): their UTF-8 as the str objects
// hold it, with no variant made of each. False when another kind of item (or
// a str that is not valid Unicode) is there: the variants' path handles it.
bool StrItems(const py::tuple& cells, std::vector<std::string_view>& texts) {
  texts.clear();
  for (std::size_t k = 0; k < cells.size(); ++k) {
    PyObject* o = PyTuple_GET_ITEM(cells.ptr(), static_cast<Py_ssize_t>(k));
    if (!PyUnicode_CheckExact(o)) return false;
    if (PyUnicode_IS_COMPACT_ASCII(o)) {  // nearly every item: the characters are their UTF-8
      texts.emplace_back(static_cast<const char*>(PyUnicode_DATA(o)), static_cast<std::size_t>(PyUnicode_GET_LENGTH(o)));
      continue;
    }
    Py_ssize_t size = 0;
    const char* data = PyUnicode_AsUTF8AndSize(o, &size);
    if (!data) {
      PyErr_Clear();  // a lone surrogate: the variants' path says so
      return false;
    }
    texts.emplace_back(data, static_cast<std::size_t>(size));
  }
  return true;
}

}  // namespace

// c.AddRows(rows): each row a list, tuple or other iterable of items (a str
// is refused: it would be a row of one-letter items), added as AddRow adds
// it, in order. The first row the control refuses ends the run, its error on
// record (GetLastError); a row the binding cannot convert raises, the rows
// before it staying added. The result is the number of rows added.
std::int32_t AddRows(KtPrint4Impl& control, const py::iterable& rows) {
  std::int32_t added = 0;
  VariantArray items;
  std::vector<std::string_view> texts;
  for (py::handle row : rows) {
    // Named only when something fails: building the name per row would cost more than the row.
    const auto what = [&] { return "AddRows() row " + std::to_string(added + 1); };
    // A tuple or list (nearly every row) is known iterable: asking costs an iterator.
    if (!PyTuple_CheckExact(row.ptr()) && !PyList_CheckExact(row.ptr()) &&
        (PyUnicode_Check(row.ptr()) || PyBytes_Check(row.ptr()) || PyByteArray_Check(row.ptr()) ||
         !py::isinstance<py::iterable>(row)))
      throw py::type_error(what() + ": each row is a list, tuple or other iterable of items, not '" +
                           std::string(Py_TYPE(row.ptr())->tp_name) + "'");
    py::tuple cells = py::reinterpret_steal<py::tuple>(PySequence_Tuple(row.ptr()));
    if (!cells) throw py::error_already_set();
    if (cells.size() > 0 && StrItems(cells, texts)) {
      // `cells` holds the str objects, and with them the texts, until the row is added.
      if (!control.AddRowTexts(texts)) break;
      ++added;
      continue;
    }
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

}  // namespace ktfolio::py_binding
