// c.AddRows: rows in bulk, the str rows among them without a variant per item.
#include "rows.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert.h"
#include "host.h"

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

// Rows of str items read from the iterable and not yet added. Read a batch
// at a time, the interpreter's work and the control's alternate per batch
// rather than per row, and each finds its code and branch history where it
// left them: a fifth of the control's time a row. Any call into the module
// settles them first (HeldBack), so the iterable's code sees every row it
// gave already added, as if each had been added at once.
class RowsAhead final : public HeldBack {
 public:
  static constexpr std::size_t kRows = 64;

  explicit RowsAhead(KtPrint4Impl& control) : control_(control) {
    rows_.reserve(kRows);
    ends_.reserve(kRows);
  }

  // Holds a row whose `texts` live in the str objects `cells` holds.
  void Hold(py::tuple cells, const std::vector<std::string_view>& texts) {
    rows_.push_back(std::move(cells));
    texts_.insert(texts_.end(), texts.begin(), texts.end());
    ends_.push_back(texts_.size());
  }
  bool Full() const { return rows_.size() >= kRows; }

  // Adds the rows held, in order. After a row the control refuses (its
  // error on record) the rest are dropped and Refused() is true.
  void Settle() override {
    if (settling_ || rows_.empty()) return;
    settling_ = true;
    const Settling done{*this};
    if (refused_) return;  // rows read after the refusal: one by one, they would never have been read
    std::size_t begin = 0;
    for (const std::size_t end : ends_) {
      if (!control_.AddRowTexts(std::span(texts_).subspan(begin, end - begin))) {
        refused_ = true;
        break;
      }
      ++added_;
      begin = end;
    }
  }

  // A row added straight away (one of other items): the rows held go first.
  void Added() { ++added_; }
  bool Refused() const { return refused_; }
  std::int32_t added() const { return added_; }

 private:
  // Whatever ends a settling (a refusal or an exception), the rows go.
  struct Settling {
    RowsAhead& r;
    ~Settling() {
      r.rows_.clear();
      r.texts_.clear();
      r.ends_.clear();
      r.settling_ = false;
    }
  };

  KtPrint4Impl& control_;
  std::vector<py::tuple> rows_;
  std::vector<std::string_view> texts_;  // every row's, one after the other
  std::vector<std::size_t> ends_;        // per row, where its texts end
  std::int32_t added_ = 0;
  bool refused_ = false;
  bool settling_ = false;
};

// The next row of `rows`, or a null object at the end.
py::object NextRow(const py::iterator& rows) {
  py::object row = py::reinterpret_steal<py::object>(PyIter_Next(rows.ptr()));
  if (!row && PyErr_Occurred()) throw py::error_already_set();
  return row;
}

// The row's items as a tuple: a tuple or list (nearly every row) is known
// iterable, and asking would cost an iterator.
py::tuple ItemsOf(const py::object& row, std::int32_t number) {
  if (!PyTuple_CheckExact(row.ptr()) && !PyList_CheckExact(row.ptr()) &&
      (PyUnicode_Check(row.ptr()) || PyBytes_Check(row.ptr()) || PyByteArray_Check(row.ptr()) ||
       !py::isinstance<py::iterable>(row)))
    throw py::type_error("AddRows() row " + std::to_string(number) +
                         ": each row is a list, tuple or other iterable of items, not '" +
                         std::string(Py_TYPE(row.ptr())->tp_name) + "'");
  py::tuple cells = py::reinterpret_steal<py::tuple>(PySequence_Tuple(row.ptr()));
  if (!cells) throw py::error_already_set();
  return cells;
}

}  // namespace

// c.AddRows(rows): each row a list, tuple or other iterable of items (a str
// is refused: it would be a row of one-letter items), added as AddRow adds
// it, in order. The first row the control refuses ends the run, its error on
// record (GetLastError); a row the binding cannot convert raises, the rows
// before it staying added. The result is the number of rows added. Rows of
// str items are read up to RowsAhead::kRows ahead of their adding: after a
// refused one, those read are dropped, and a failure met while reading them
// is one the run would never have met.
std::int32_t AddRows(HostControl& host, KtPrint4Impl& control, const py::iterable& rows) {
  // First in, last out: the rows' own code (their __iter__, __next__, __del__,
  // items' __fspath__) runs from here to the iterator's end.
  HostControl::Busy busy(&host, "AddRows() reads its rows");
  RowsAhead ahead(control);
  VariantArray items;
  std::vector<std::string_view> texts;
  std::int32_t read = 0;
  try {
    const py::iterator next = py::iter(rows);
    for (;;) {
      py::object row = NextRow(next);
      if (!row) break;
      ++read;
      py::tuple cells = ItemsOf(row, read);
      if (cells.size() > 0 && StrItems(cells, texts)) {
        ahead.Hold(std::move(cells), texts);
        if (ahead.Full()) ahead.Settle();
        // Settled here or by a call the rows' code made: a refused row ends the run (the rows after it are dropped).
        if (ahead.Refused()) break;
        continue;
      }
      ahead.Settle();
      if (ahead.Refused()) break;
      // Named only when something fails: building the name per item would cost more than the row.
      const auto what = [&](std::size_t k) {
        return "AddRows() row " + std::to_string(read) + " item " + std::to_string(k + 1);
      };
      items.clear();
      items.reserve(cells.size());
      for (std::size_t k = 0; k < cells.size(); ++k) {
        Variant v;
        if (!ToScalarVariant(cells[k], v)) v = ToVariant(cells[k], what(k));
        items.push_back(std::move(v));
      }
      if (!(items.empty() ? control.AddRow() : control.AddRow(items))) break;
      ahead.Added();
    }
  } catch (const py::error_already_set& e) {
    // The rows before the failing one stay added, as one by one; a refusal
    // among them ends the run before the failure (an interrupt still goes through).
    ahead.Settle();
    if (ahead.Refused() && e.matches(PyExc_Exception)) return ahead.added();
    throw;
  } catch (const py::builtin_exception&) {
    ahead.Settle();
    if (ahead.Refused()) return ahead.added();
    throw;
  } catch (...) {
    ahead.Settle();
    throw;
  }
  ahead.Settle();
  return ahead.added();
}

}  // namespace ktfolio::py_binding
