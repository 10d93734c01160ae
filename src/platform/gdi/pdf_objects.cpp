// Cairo's PDF read by offsets and extents: a document of tens of thousands of
// small objects is only rewritten where something changes, so nothing is
// parsed that is copied as it is.
#include "platform/gdi/pdf_objects.h"

#include <algorithm>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win::gdi {
namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

void SkipSpace(std::string_view s, std::size_t& at) {
  while (at < s.size()) {
    if (IsPdfSpace(s[at])) {
      ++at;
    } else if (s[at] == '%') {  // Cairo numbers its pages so ("/Type /Page % 3")
      while (at < s.size() && s[at] != '\n' && s[at] != '\r') ++at;
    } else {
      return;
    }
  }
}

std::size_t RegularEnd(std::string_view s, std::size_t at) {
  while (at < s.size() && !IsPdfSpace(s[at]) && !IsPdfDelimiter(s[at])) ++at;
  return at;
}

bool IsInteger(std::string_view w) {
  return !w.empty() && std::all_of(w.begin(), w.end(), [](char d) { return d >= '0' && d <= '9'; });
}

}  // namespace

std::size_t PdfStringEnd(std::string_view s, std::size_t at) {
  for (int depth = 0; at < s.size(); ++at) {
    if (s[at] == '\\') ++at;
    else if (s[at] == '(') ++depth;
    else if (s[at] == ')' && --depth == 0) return at + 1;
  }
  return std::string_view::npos;
}

bool ReadPdfNumber(std::string_view s, std::size_t& at, long long& value) {
  while (at < s.size() && IsPdfSpace(s[at])) ++at;
  const std::size_t start = at;
  value = 0;
  for (; at < s.size() && s[at] >= '0' && s[at] <= '9' && at - start < 18; ++at) value = value * 10 + (s[at] - '0');
  return at > start;
}

std::string_view CairoPdf::Body(std::size_t index) const {
  const std::uint64_t from = objects[index].first;
  const std::uint64_t to = index + 1 < objects.size() ? objects[index + 1].first : xrefAt;
  const std::string_view span = pdf.substr(from, to - from);
  const std::string head = std::to_string(objects[index].second) + " 0 obj";
  const std::size_t end = span.rfind("endobj");
  if (span.compare(0, head.size(), head) != 0 || end == npos || end < head.size()) return {};
  return span.substr(head.size(), end - head.size());
}

std::string_view CairoPdf::BodyOf(long long number) const {
  if (number < 0 || static_cast<std::size_t>(number) >= place.size() || place[number] == npos) return {};
  return Body(place[number]);
}

std::optional<CairoPdf> ReadCairoPdf(std::string_view pdf) {
  CairoPdf p;
  p.pdf = pdf;
  const std::size_t startxref = pdf.rfind("startxref");
  if (startxref == npos) return std::nullopt;
  std::size_t at = startxref + 9;
  long long xrefAt = 0;
  if (!ReadPdfNumber(pdf, at, xrefAt) || static_cast<std::uint64_t>(xrefAt) >= startxref) return std::nullopt;
  p.xrefAt = static_cast<std::uint64_t>(xrefAt);
  at = p.xrefAt;
  if (pdf.compare(at, 4, "xref") != 0) return std::nullopt;
  at += 4;
  const std::size_t trailer = pdf.find("trailer", at);
  if (trailer == npos || trailer > startxref) return std::nullopt;
  for (long long first = 0, count = 0; ReadPdfNumber(pdf, at, first) && ReadPdfNumber(pdf, at, count);) {
    for (long long n = first; n < first + count; ++n) {
      long long offset = 0, generation = 0;
      if (!ReadPdfNumber(pdf, at, offset) || !ReadPdfNumber(pdf, at, generation)) return std::nullopt;
      while (at < trailer && IsPdfSpace(pdf[at])) ++at;
      if (at >= trailer) return std::nullopt;
      const char kind = pdf[at++];
      if (kind == 'n' && n > 0) {
        if (generation != 0 || static_cast<std::uint64_t>(offset) >= p.xrefAt) return std::nullopt;
        p.objects.emplace_back(static_cast<std::uint64_t>(offset), n);
      }
    }
  }
  while (at < trailer && IsPdfSpace(pdf[at])) ++at;
  if (at != trailer) return std::nullopt;
  const std::string_view dict = pdf.substr(trailer, startxref - trailer);
  p.size = NumberAfter(dict, "/Size");
  p.root = NumberAfter(dict, "/Root");
  p.info = NumberAfter(dict, "/Info");
  // Cairo numbers its objects without gaps; a size far past them is not its.
  if (p.size <= 0 || p.root <= 0 || p.objects.empty() ||
      p.size > static_cast<long long>(p.objects.size()) * 2 + 16)
    return std::nullopt;
  std::sort(p.objects.begin(), p.objects.end());
  p.place.assign(static_cast<std::size_t>(p.size), npos);
  for (std::size_t i = 0; i < p.objects.size(); ++i) {
    if (p.objects[i].second >= p.size) return std::nullopt;
    p.place[static_cast<std::size_t>(p.objects[i].second)] = i;
  }
  return p;
}

std::optional<PdfValue> NextPdfValue(std::string_view s, std::size_t& at) {
  SkipSpace(s, at);
  if (at >= s.size()) return std::nullopt;
  const std::size_t from = at;
  const char c = s[at];
  if (c == '(') {
    at = PdfStringEnd(s, at);
    if (at == std::string_view::npos) return std::nullopt;
    return PdfValue{from, at};
  }
  if (c == '<' && at + 1 < s.size() && s[at + 1] == '<') {
    for (at += 2;;) {
      SkipSpace(s, at);
      if (s.compare(at, 2, ">>") == 0) return PdfValue{from, at += 2};
      if (!NextPdfValue(s, at) || !NextPdfValue(s, at)) return std::nullopt;
    }
  }
  if (c == '<') {
    at = s.find('>', at);
    if (at == npos) return std::nullopt;
    return PdfValue{from, ++at};
  }
  if (c == '[') {
    for (++at;;) {
      SkipSpace(s, at);
      if (at < s.size() && s[at] == ']') return PdfValue{from, ++at};
      if (!NextPdfValue(s, at)) return std::nullopt;
    }
  }
  if (c == '/') {
    at = RegularEnd(s, at + 1);
    return PdfValue{from, at};
  }
  at = RegularEnd(s, at);
  if (at == from) return std::nullopt;  // a closing bracket, or one out of place
  if (IsInteger(s.substr(from, at - from))) {
    // "n g R" is one value.
    std::size_t next = at;
    SkipSpace(s, next);
    const std::size_t generation = next;
    next = RegularEnd(s, next);
    if (next > generation && IsInteger(s.substr(generation, next - generation))) {
      SkipSpace(s, next);
      if (next < s.size() && s[next] == 'R' && RegularEnd(s, next) == next + 1) at = next + 1;
    }
  }
  return PdfValue{from, at};
}

long long PdfReference(std::string_view value) {
  std::size_t at = 0;
  long long n = 0, g = 0;
  if (!ReadPdfNumber(value, at, n) || !ReadPdfNumber(value, at, g) || g != 0) return -1;
  while (at < value.size() && IsPdfSpace(value[at])) ++at;
  return at + 1 == value.size() && value[at] == 'R' ? n : -1;
}

std::optional<std::vector<PdfEntry>> PdfDictionary(std::string_view text) {
  std::size_t at = 0;
  SkipSpace(text, at);
  if (text.compare(at, 2, "<<") != 0) return std::nullopt;
  std::vector<PdfEntry> entries;
  for (at += 2;;) {
    SkipSpace(text, at);
    if (text.compare(at, 2, ">>") == 0) break;
    const std::optional<PdfValue> key = NextPdfValue(text, at);
    if (!key || text[key->from] != '/') return std::nullopt;
    const std::optional<PdfValue> value = NextPdfValue(text, at);
    if (!value) return std::nullopt;
    entries.push_back({key->In(text), *value});
  }
  at += 2;
  SkipSpace(text, at);
  if (at != text.size()) return std::nullopt;
  return entries;
}

std::optional<std::vector<PdfValue>> PdfArray(std::string_view text, PdfValue value) {
  if (value.to - value.from < 2 || text[value.from] != '[' || text[value.to - 1] != ']') return std::nullopt;
  const std::string_view inner = text.substr(0, value.to - 1);
  std::vector<PdfValue> items;
  for (std::size_t at = value.from + 1;;) {
    std::optional<PdfValue> item = NextPdfValue(inner, at);
    if (!item) {
      SkipSpace(inner, at);
      if (at != inner.size()) return std::nullopt;
      return items;
    }
    items.push_back(*item);
  }
}

}  // namespace ktfolio::win::gdi
