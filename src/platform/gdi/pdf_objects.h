// Reading a PDF as Cairo writes it, without building objects: the classic
// cross-reference table gives each object's place, and values are found by
// their extent in the text (pdf_objects.cpp). The join of pieces and the
// finishing of a tagged document both rewrite Cairo's bytes this way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ktfolio::win::gdi {

// Read for every byte of every object a rewrite reads: inline, and by switch.
inline bool IsPdfSpace(char c) {
  switch (c) {
    case ' ': case '\n': case '\r': case '\t': case '\f': case '\0': return true;
    default: return false;
  }
}
inline bool IsPdfDelimiter(char c) {
  switch (c) {
    case '(': case ')': case '<': case '>': case '[': case ']': case '{': case '}': case '/': case '%': return true;
    default: return false;
  }
}
// Just past the literal string "( ... )" that opens at `at` (nested
// parentheses counted, escaped ones skipped); npos when it does not close.
std::size_t PdfStringEnd(std::string_view s, std::size_t at);
// The unsigned integer at `at` (after white space); false when there is none.
bool ReadPdfNumber(std::string_view s, std::size_t& at, long long& value);

// A document's objects by their place in the file and its trailer's references.
struct CairoPdf {
  std::string_view pdf;
  long long size = 0, root = 0, info = 0;
  std::uint64_t xrefAt = 0;
  std::vector<std::pair<std::uint64_t, long long>> objects;  // (offset, number), in file order
  std::vector<std::size_t> place;                            // by number, into `objects`

  // What lies between "n 0 obj" and "endobj" of object `index` of `objects`;
  // empty when it is not there.
  std::string_view Body(std::size_t index) const;
  std::string_view BodyOf(long long number) const;
};
// Nothing when the end of `pdf` is not a classic cross-reference table and
// trailer as Cairo writes them.
std::optional<CairoPdf> ReadCairoPdf(std::string_view pdf);

// The extent of one value in PDF syntax: a reference "n g R" is one value.
struct PdfValue {
  std::size_t from = 0, to = 0;
  std::string_view In(std::string_view text) const { return text.substr(from, to - from); }
};
// The value starting at or after `at` (white space and comments skipped);
// `at` moves past it. Nothing at the end, at a closing bracket or where the
// text is not PDF.
std::optional<PdfValue> NextPdfValue(std::string_view text, std::size_t& at);
// The number of the object `value` refers to, or -1 when it is no reference.
long long PdfReference(std::string_view value);
// A dictionary's entries (key with its slash, value), in order; nothing when
// `text` (white space around allowed) is not one dictionary.
struct PdfEntry {
  std::string_view key;
  PdfValue value;
};
std::optional<std::vector<PdfEntry>> PdfDictionary(std::string_view text);
// The items of the array `value` (a value of `text`), as extents in `text`.
std::optional<std::vector<PdfValue>> PdfArray(std::string_view text, PdfValue value);

}  // namespace ktfolio::win::gdi
