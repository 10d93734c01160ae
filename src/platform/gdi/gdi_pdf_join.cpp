// Pieces of one document joined by reading what Cairo writes: the classic
// cross-reference table gives each object's place, so an object is copied from
// its offset to the next one's, and only its dictionary is read, token by
// token, to renumber the references in it; stream data is never parsed. Each
// piece keeps its own page tree, which becomes a branch of the joined one, so
// what its pages inherit from it stays theirs.
#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/pdf_join.h"
#include "platform/gdi/pdf_objects.h"

namespace ktfolio::win {
namespace gdi {
namespace {

constexpr std::size_t kOutPiece = 1 << 18;
constexpr std::string_view::size_type npos = std::string_view::npos;

// `body` (what lies between "obj" and "endobj") with each reference "n g R"
// of its dictionary or value numbered `map(n)`; from the keyword "stream" on
// it is copied as it is. Nothing when the body does not read as PDF.
template <typename Map>
std::optional<std::string> Renumbered(std::string_view body, const Map& map) {
  struct Token {
    std::size_t at = 0, size = 0;
    bool integer = false;
  };
  Token last[2];  // the two tokens before the current one
  auto push = [&last](Token t) {
    last[0] = last[1];
    last[1] = t;
  };
  std::string out;
  out.reserve(body.size() + 16);
  std::size_t copied = 0, i = 0;
  int depth = 0;
  while (i < body.size()) {
    const char c = body[i];
    const std::size_t start = i;
    if (IsPdfSpace(c)) {
      ++i;
      continue;
    }
    if (c == '%') {  // a comment: Cairo numbers its pages so ("/Type /Page % 3")
      while (i < body.size() && body[i] != '\n' && body[i] != '\r') ++i;
      continue;
    }
    if (c == '(') {
      i = PdfStringEnd(body, i);
      if (i == npos) return std::nullopt;
      push({start, i - start, false});
      continue;
    }
    if (c == '<' || c == '>') {
      const bool twice = i + 1 < body.size() && body[i + 1] == c;
      if (twice) {
        depth += c == '<' ? 1 : -1;
        i += 2;
      } else if (c == '<') {
        i = body.find('>', i);
        if (i == npos) return std::nullopt;
        ++i;
      } else {
        return std::nullopt;
      }
      push({start, i - start, false});
      continue;
    }
    if (c == '[' || c == ']' || c == '{' || c == '}') {
      depth += c == '[' ? 1 : c == ']' ? -1 : 0;
      push({start, ++i - start, false});
      continue;
    }
    if (c == '/') ++i;
    while (i < body.size() && !IsPdfSpace(body[i]) && !IsPdfDelimiter(body[i])) ++i;
    if (i == start) return std::nullopt;  // a delimiter out of place, such as a lone ')'
    const std::string_view token = body.substr(start, i - start);
    if (token == "stream") {
      if (depth != 0) return std::nullopt;
      break;
    }
    if (token == "R" && last[0].integer && last[1].integer) {
      long long n = 0;
      std::size_t at = last[0].at;
      ReadPdfNumber(body, at, n);
      out.append(body.substr(copied, last[0].at - copied));
      out += std::to_string(map(n));
      copied = last[0].at + last[0].size;
    }
    push({start, token.size(),
          !token.empty() && std::all_of(token.begin(), token.end(), [](char d) { return d >= '0' && d <= '9'; })});
  }
  if (depth != 0) return std::nullopt;
  out.append(body.substr(copied));
  return out;
}

// What the join reads of a piece: its objects, and the catalog's page tree.
struct Piece : CairoPdf {
  long long pages = 0;
};

std::optional<Piece> ReadPiece(std::string_view pdf) {
  std::optional<CairoPdf> read = ReadCairoPdf(pdf);
  if (!read) return std::nullopt;
  Piece p;
  static_cast<CairoPdf&>(p) = std::move(*read);
  const std::string_view catalog = p.BodyOf(p.root);
  p.pages = NumberAfter(catalog, "/Pages");
  if (p.pages <= 0 || catalog.find("/Outlines") != npos) return std::nullopt;
  return p;
}

// The kids of a page tree's root, which must be its pages (Cairo keeps one level).
std::optional<std::vector<long long>> PagesOf(std::string_view root) {
  const std::size_t kids = root.find("/Kids");
  const long long count = NumberAfter(root, "/Count");
  if (kids == npos || count < 0) return std::nullopt;
  std::size_t at = root.find('[', kids);
  const std::size_t end = root.find(']', kids);
  if (at == npos || end == npos || at > end) return std::nullopt;
  ++at;
  std::vector<long long> pages;
  for (long long n = 0, g = 0; ReadPdfNumber(root, at, n) && ReadPdfNumber(root, at, g);) {
    while (at < end && IsPdfSpace(root[at])) ++at;
    if (at >= end || root[at] != 'R') return std::nullopt;
    ++at;
    pages.push_back(n);
  }
  if (static_cast<long long>(pages.size()) != count) return std::nullopt;
  return pages;
}

// A page tree's root made a branch under `parent`.
std::string Branch(std::string_view root, long long parent) {
  std::string out(root);
  const std::size_t open = out.find("<<");
  out.insert(open + 2, " /Parent " + std::to_string(parent) + " 0 R");
  return out;
}

// A page's height in points, from its media box; 0 when it has none.
double PageHeight(std::string_view page) {
  const std::size_t box = page.find("/MediaBox");
  const std::size_t open = box == npos ? npos : page.find('[', box);
  if (open == npos) return 0;
  const std::string numbers(page.substr(open + 1, page.find(']', open) - open - 1));
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  return std::sscanf(numbers.c_str(), "%lf %lf %lf %lf", &x0, &y0, &x1, &y1) == 4 ? y1 - y0 : 0;
}

// A number as Cairo writes one: fixed, without trailing zeros.
std::string Number(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", v);
  std::string out = text;
  if (out.find('.') != std::string::npos) {
    out.erase(out.find_last_not_of('0') + 1);
    if (out.back() == '.') out.pop_back();
  }
  return out == "-0" ? "0" : out;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

struct PdfJoin::State {
  PdfMetadata meta;
  Out out;
  GChecksum* digest = g_checksum_new(G_CHECKSUM_MD5);
  std::string buffer;
  std::uint64_t at = 0;                                  // bytes made so far
  std::vector<std::pair<long long, std::uint64_t>> xref;  // objects of the update
  long long next = 0;                                    // the next free object number
  // Of the first piece.
  long long catalog = 0, info = 0, firstRoot = 0;
  std::uint64_t firstXref = 0;
  std::string catalogBody;
  std::vector<std::string> roots;  // each piece's page tree root, renumbered
  std::vector<long long> rootNumbers;
  std::vector<long long> pages;  // every page object, in order
  struct Heading {
    int level;
    std::string title;
    long long page;  // its object
    double top;      // the destination's height, points from the page's bottom; < 0 for none
  };
  std::vector<Heading> headings;  // of every piece, in order

  ~State() { g_checksum_free(digest); }

  void Raw(std::string_view bytes, bool digested = true) {
    if (digested)
      g_checksum_update(digest, reinterpret_cast<const guchar*>(bytes.data()), static_cast<gssize>(bytes.size()));
    buffer.append(bytes);
    at += bytes.size();
    if (buffer.size() >= kOutPiece) Flush();
  }
  void Flush() {
    if (!buffer.empty()) out(buffer);
    buffer.clear();
  }
  void Object(long long number, std::string_view body) {
    xref.emplace_back(number, at);
    Raw(std::to_string(number) + " 0 obj");
    Raw(body);
    Raw(body.empty() || body.back() == '\n' ? "endobj\n" : "\nendobj\n");
  }
};

PdfJoin::PdfJoin(const PdfMetadata& metadata, Out out) : s_(std::make_unique<State>()) {
  s_->meta = metadata;
  s_->out = std::move(out);
}

PdfJoin::~PdfJoin() = default;

int PdfJoin::Pages() const { return static_cast<int>(s_->pages.size()); }

bool PdfJoin::Add(std::string_view bytes, const std::vector<PdfHeading>& headings) {
  const std::optional<Piece> piece = ReadPiece(bytes);
  if (!piece) return false;
  State& s = *s_;
  const bool first = s.next == 0;
  const long long base = first ? 0 : s.next - 1;
  const auto map = [base](long long n) { return n + base; };
  std::optional<std::string> root = Renumbered(piece->BodyOf(piece->pages), map);
  if (!root) return false;
  const std::optional<std::vector<long long>> pages = PagesOf(*root);
  if (!pages) return false;
  std::vector<State::Heading> marks;
  for (const PdfHeading& h : headings) {
    if (h.page < 1 || h.page > static_cast<int>(pages->size())) return false;
    const long long page = (*pages)[static_cast<std::size_t>(h.page - 1)];
    double height = PageHeight(piece->BodyOf(page - base));
    if (height <= 0) height = PageHeight(piece->BodyOf(piece->pages));
    // Where the heading's link pointed: its height given to two decimals, from the top.
    char given[64];
    std::snprintf(given, sizeof given, "%.2f", h.y);
    marks.push_back({h.level, h.title, page, height > 0 ? height - std::strtod(given, nullptr) : -1});
  }
  // Every object is read before any is written: a piece goes whole or not at all.
  std::vector<std::pair<long long, std::string>> objects;
  for (std::size_t i = 0; i < piece->objects.size(); ++i) {
    const long long n = piece->objects[i].second;
    const std::string_view raw = piece->Body(i);
    if (raw.empty()) return false;  // not where the cross-reference table says
    std::optional<std::string> body = Renumbered(raw, map);
    if (!body) return false;
    const bool replaced = n == piece->root || n == piece->info || n == piece->pages;  // by the first piece's
    if (!first && !replaced) objects.emplace_back(map(n), std::move(*body));
  }
  if (first) {
    // The first piece stays as it is; its catalog and page tree get new versions at the end.
    s.catalog = piece->root;
    s.info = piece->info;
    s.firstRoot = piece->pages;
    s.firstXref = piece->xrefAt;
    s.catalogBody = piece->BodyOf(piece->root);
    s.Raw(bytes);
    if (bytes.back() != '\n') s.Raw("\n");
  }
  for (const auto& [n, body] : objects) s.Object(n, body);
  s.next = base + piece->size;
  s.roots.push_back(std::move(*root));
  s.rootNumbers.push_back(map(piece->pages));
  s.pages.insert(s.pages.end(), pages->begin(), pages->end());
  s.headings.insert(s.headings.end(), marks.begin(), marks.end());
  return true;
}

bool PdfJoin::Finish() {
  State& s = *s_;
  if (s.roots.empty()) return false;
  // The outline's entries: the headings, or without any one a page.
  struct Entry {
    Entry(int l, std::string t, std::string d) : level(l), title(std::move(t)), dest(std::move(d)) {}
    int level;
    std::string title, dest;
    long long parent = -1;  // index of the entry it is under; -1 at the top
    long long prev = -1, next = -1;  // its siblings'
    std::vector<std::size_t> kids;
  };
  std::vector<Entry> entries;
  if (s.headings.empty()) {
    for (std::size_t i = 0; i < s.pages.size(); ++i)
      entries.emplace_back(1, PdfTextString("Page " + std::to_string(i + 1)),
                           std::to_string(s.pages[i]) + " 0 R /XYZ null null 0");
  }
  for (const State::Heading& h : s.headings)
    entries.emplace_back(h.level, PdfTextString(h.title),
                         std::to_string(h.page) + " 0 R /XYZ " + (h.top < 0 ? "null null" : "0 " + Number(h.top)) + " 0");
  std::vector<std::size_t> top, open;  // an entry goes under the last open one of a higher level
  for (std::size_t i = 0; i < entries.size(); ++i) {
    while (!open.empty() && entries[open.back()].level >= entries[i].level) open.pop_back();
    if (!open.empty()) entries[i].parent = static_cast<long long>(open.back());
    std::vector<std::size_t>& siblings = open.empty() ? top : entries[open.back()].kids;
    if (!siblings.empty()) {
      entries[i].prev = static_cast<long long>(siblings.back());
      entries[siblings.back()].next = static_cast<long long>(i);
    }
    siblings.push_back(i);
    open.push_back(i);
  }
  const long long tree = s.next++, outline = s.next++, firstItem = s.next;
  const long long metadata = firstItem + static_cast<long long>(entries.size());
  s.next = metadata + 1;
  std::optional<std::string> catalog = Renumbered(s.catalogBody, [&](long long n) { return n == s.firstRoot ? tree : n; });
  if (catalog) catalog = ExtendedCatalog(*catalog, s.meta, metadata);
  if (!catalog) return false;
  catalog->insert(catalog->rfind(">>"), "/Outlines " + std::to_string(outline) + " 0 R ");

  std::string kids;
  for (std::size_t i = 0; i < s.roots.size(); ++i) {
    s.Object(s.rootNumbers[i], Branch(s.roots[i], tree));
    kids += " " + std::to_string(s.rootNumbers[i]) + " 0 R";
  }
  const std::string total = std::to_string(s.pages.size());
  s.Object(tree, "\n<< /Type /Pages\n   /Kids [" + kids + " ]\n   /Count " + total + "\n>>\n");
  const auto ref = [firstItem](std::size_t i) { return std::to_string(firstItem + static_cast<long long>(i)) + " 0 R"; };
  // As Cairo writes an outline: every entry closed, its count the entries right under it.
  const auto family = [&](const std::vector<std::size_t>& kids) {
    return kids.empty() ? std::string() : "   /First " + ref(kids.front()) + "\n   /Last " + ref(kids.back()) +
                                              "\n   /Count -" + std::to_string(kids.size()) + "\n";
  };
  s.Object(outline, "\n<< /Type /Outlines\n" + family(top) + ">>\n");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    std::string item = "\n<< /Title " + e.title + "\n   /Parent " +
                       (e.parent < 0 ? std::to_string(outline) + " 0 R" : ref(static_cast<std::size_t>(e.parent))) + "\n";
    if (e.prev >= 0) item += "   /Prev " + ref(static_cast<std::size_t>(e.prev)) + "\n";
    if (e.next >= 0) item += "   /Next " + ref(static_cast<std::size_t>(e.next)) + "\n";
    item += family(e.kids) + "   /Dest [" + e.dest + "]\n>>\n";
    s.Object(firstItem + static_cast<long long>(i), item);
  }
  const std::string xmp = XmpPacket(s.meta, false);
  s.Object(metadata, "\n<< /Type /Metadata /Subtype /XML /Length " + std::to_string(xmp.size()) + " >>\nstream\n" +
                         xmp + "\nendstream\n");
  s.Object(s.catalog, "\n" + *catalog + "\n");

  std::sort(s.xref.begin(), s.xref.end());
  const std::uint64_t xrefAt = s.at;
  std::string table = "xref\n";
  for (std::size_t i = 0; i < s.xref.size();) {
    std::size_t j = i;
    while (j + 1 < s.xref.size() && s.xref[j + 1].first == s.xref[j].first + 1) ++j;
    table += std::to_string(s.xref[i].first) + " " + std::to_string(j - i + 1) + "\n";
    for (; i <= j; ++i) table += XrefEntry(s.xref[i].second);
  }
  s.Raw(table);
  s.Raw(UpdateTrailer(s.next, s.catalog, s.info, s.digest, s.firstXref, xrefAt), false);
  s.Flush();
  return true;
}

}  // namespace ktfolio::win
