// A tagged document finished in one rewrite of Cairo's bytes: the pages'
// content gets its artifacts, the running heads leave the structure tree, the
// figures get their alternative texts and the catalog its metadata, and the
// many small objects of the tree are packed into compressed object streams.
// Only the objects that change are read as PDF; fonts and pictures are copied
// byte for byte. Where Cairo's output is not as this expects, nothing is
// returned and the document is finished with qpdf instead (qpdf_finish.cpp).
#include <glib.h>
#include <zlib.h>

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/pdf_content.h"
#include "platform/gdi/pdf_objects.h"

namespace ktfolio::win::gdi {
namespace {

// As many objects to a compressed stream as qpdf puts there.
constexpr std::size_t kPerObjectStream = 100;

std::optional<std::string> Inflated(std::string_view data) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  std::string out(data.size() * 4 + 1024, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  int status = Z_OK;
  while (status == Z_OK) {
    if (z.total_out == out.size()) out.resize(out.size() * 2);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + z.total_out);
    z.avail_out = static_cast<uInt>(out.size() - z.total_out);
    status = inflate(&z, Z_NO_FLUSH);
    if (status == Z_BUF_ERROR && z.avail_out > 0) break;  // the data ends early
  }
  out.resize(z.total_out);
  inflateEnd(&z);
  if (status != Z_STREAM_END) return std::nullopt;
  return out;
}

std::string Deflated(std::string_view data, int level = Z_DEFAULT_COMPRESSION) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
            static_cast<uLong>(data.size()), level);
  out.resize(size);
  return out;
}

// `value` when it is one unsigned integer and nothing else, or -1.
long long WholeNumber(std::string_view value) {
  std::size_t at = 0;
  long long n = 0;
  return ReadPdfNumber(value, at, n) && at == value.size() ? n : -1;
}

const PdfEntry* Find(const std::vector<PdfEntry>& entries, std::string_view key) {
  for (const PdfEntry& e : entries)
    if (e.key == key) return &e;
  return nullptr;
}

// `text` with the value of `e` (an entry of it) replaced, or the entry gone.
std::string WithEntry(std::string_view text, const PdfEntry& e, std::optional<std::string_view> value) {
  const std::size_t keyAt = static_cast<std::size_t>(e.key.data() - text.data());
  std::string out(text.substr(0, value ? e.value.from : keyAt));
  if (value) out += *value;
  return out.append(text.substr(e.value.to));
}

// `dict` (a dictionary's text) with `entry` added before its end.
std::string WithAdded(std::string_view dict, std::string_view entry) {
  std::string out(dict);
  out.insert(out.rfind(">>"), std::string(entry) + " ");
  return out;
}

// `value` with its white space runs made one space and its comments gone:
// Cairo indents its dictionaries for reading, which costs a tenth more room
// in a packed stream of them. Strings keep every byte.
void AppendCompact(std::string& out, std::string_view value) {
  const std::size_t start = out.size();
  bool space = false;
  for (std::size_t i = 0; i < value.size();) {
    const char c = value[i];
    if (IsPdfSpace(c) || c == '%') {
      if (c == '%')
        while (i < value.size() && value[i] != '\n' && value[i] != '\r') ++i;
      else
        ++i;
      space = true;
      continue;
    }
    if (space && out.size() > start) out += ' ';
    space = false;
    std::size_t end = i + 1;
    if (c == '(') {
      end = std::min(PdfStringEnd(value, i), value.size());
    } else if (c == '<' && i + 1 < value.size() && value[i + 1] == '<') {
      end = i + 2;
    } else if (c == '<') {
      end = value.find('>', i);
      end = end == std::string_view::npos ? value.size() : end + 1;
    } else {
      while (end < value.size() && !IsPdfSpace(value[end]) && value[end] != '%' && value[end] != '(' && value[end] != '<')
        ++end;
    }
    end = std::min(end, value.size());
    out.append(value.substr(i, end - i));
    i = end;
  }
}

// One object of Cairo's: its value (a stream's dictionary) and a stream's data.
struct Object {
  std::string_view value, data;
  bool present = false, stream = false, dropped = false;
};

class TaggedFinish {
 public:
  TaggedFinish(const CairoPdf& pdf, const PdfMetadata& meta, const std::vector<std::string>& alts)
      : pdf_(pdf), meta_(meta), alts_(alts), objects_(static_cast<std::size_t>(pdf.size)) {}

  std::optional<std::string> Run() {
    if (!ReadObjects() || !MarkPages() || !DropRunningHeads()) return std::nullopt;
    if (!alts_.empty()) {
      std::size_t next = 0;
      if (!Figures(treeRoot_, next, 0)) return std::nullopt;
    }
    const std::optional<std::string> catalog = ExtendedCatalog(Value(pdf_.root), meta_, pdf_.size);
    if (!catalog) return std::nullopt;
    changed_[pdf_.root] = *catalog;
    return Write();
  }

 private:
  // The object's value as it is now; empty for none.
  std::string_view Value(long long n) const {
    if (n <= 0 || n >= pdf_.size) return {};
    const auto found = changed_.find(n);
    return found != changed_.end() ? std::string_view(found->second) : objects_[n].value;
  }
  std::optional<std::vector<PdfEntry>> Dict(long long n) const {
    const std::string_view v = Value(n);
    return v.empty() || objects_[n].stream ? std::nullopt : PdfDictionary(v);
  }

  bool ReadObjects() {
    for (std::size_t i = 0; i < pdf_.objects.size(); ++i) {
      const std::string_view body = pdf_.Body(i);
      std::size_t at = 0;
      const std::optional<PdfValue> value = NextPdfValue(body, at);
      if (!value) return false;
      Object& o = objects_[pdf_.objects[i].second];
      o.present = true;
      o.value = value->In(body);
      while (at < body.size() && IsPdfSpace(body[at])) ++at;
      if (at == body.size()) continue;
      if (body.compare(at, 6, "stream") != 0) return false;
      at += 6;
      if (body.compare(at, 2, "\r\n") == 0) at += 2;
      else if (at < body.size() && body[at] == '\n') ++at;
      else return false;
      o.stream = true;
      o.data = body.substr(at);
    }
    // Every stream's length known, the objects that only held one are left out.
    for (Object& o : objects_) {
      if (!o.stream) continue;
      const std::optional<std::vector<PdfEntry>> dict = PdfDictionary(o.value);
      const PdfEntry* length = dict ? Find(*dict, "/Length") : nullptr;
      if (!length) return false;
      std::string_view count = length->value.In(o.value);
      const long long ref = PdfReference(count);
      if (ref > 0) {
        if (ref >= pdf_.size || !objects_[ref].present || objects_[ref].stream) return false;
        count = objects_[ref].value;
        objects_[ref].dropped = true;
      }
      const long long size = WholeNumber(count);
      if (size < 0 || static_cast<std::size_t>(size) > o.data.size()) return false;
      std::size_t end = static_cast<std::size_t>(size);
      while (end < o.data.size() && IsPdfSpace(o.data[end])) ++end;
      if (o.data.compare(end, 9, "endstream") != 0) return false;
      o.data = o.data.substr(0, static_cast<std::size_t>(size));
      lengths_.emplace(&o - objects_.data(), *length);
    }
    const std::optional<std::vector<PdfEntry>> catalog = Dict(pdf_.root);
    const PdfEntry* tree = catalog ? Find(*catalog, "/StructTreeRoot") : nullptr;
    treeRoot_ = tree ? PdfReference(tree->value.In(Value(pdf_.root))) : -1;
    const std::optional<std::vector<PdfEntry>> root = Dict(treeRoot_);
    const PdfEntry* parentTree = root ? Find(*root, "/ParentTree") : nullptr;
    const long long parents = parentTree ? PdfReference(parentTree->value.In(Value(treeRoot_))) : -1;
    const std::optional<std::vector<PdfEntry>> numbers = Dict(parents);
    const PdfEntry* nums = numbers ? Find(*numbers, "/Nums") : nullptr;
    if (!nums || Find(*numbers, "/Kids")) return false;
    const std::optional<std::vector<PdfValue>> pairs = PdfArray(Value(parents), nums->value);
    if (!pairs || pairs->size() % 2 != 0) return false;
    for (std::size_t i = 0; i < pairs->size(); i += 2) {
      const long long k = WholeNumber((*pairs)[i].In(Value(parents)));
      if (k < 0) return false;
      parentArrays_[k] = PdfReference((*pairs)[i + 1].In(Value(parents)));
    }
    return true;
  }

  // Each page's content with its artifacts marked, and its running heads noted.
  bool MarkPages() {
    const std::optional<std::vector<PdfEntry>> catalog = Dict(pdf_.root);
    const PdfEntry* pagesEntry = catalog ? Find(*catalog, "/Pages") : nullptr;
    const long long pages = pagesEntry ? PdfReference(pagesEntry->value.In(Value(pdf_.root))) : -1;
    const std::optional<std::vector<PdfEntry>> tree = Dict(pages);
    const PdfEntry* kids = tree ? Find(*tree, "/Kids") : nullptr;
    const std::optional<std::vector<PdfValue>> list = kids ? PdfArray(Value(pages), kids->value) : std::nullopt;
    if (!list) return false;
    std::vector<int> pagination;
    for (const PdfValue& kid : *list) {
      const long long page = PdfReference(kid.In(Value(pages)));
      const std::optional<std::vector<PdfEntry>> dict = Dict(page);
      const PdfEntry* type = dict ? Find(*dict, "/Type") : nullptr;
      if (!type || type->value.In(Value(page)) != "/Page") return false;  // Cairo keeps one level
      const PdfEntry* contents = Find(*dict, "/Contents");
      if (!contents) continue;
      const long long stream = PdfReference(contents->value.In(Value(page)));
      if (stream <= 0 || stream >= pdf_.size || !objects_[stream].stream || content_.count(stream)) return false;
      pagination.clear();
      if (!MarkContent(stream, pagination)) return false;
      const PdfEntry* key = Find(*dict, "/StructParents");
      if (pagination.empty() || !key) continue;
      const long long number = WholeNumber(key->value.In(Value(page)));
      if (number < 0) return false;
      const auto found = parentArrays_.find(number);
      if (found != parentArrays_.end() && !NoteRunningHeads(found->second, pagination)) return false;
    }
    return true;
  }

  bool MarkContent(long long stream, std::vector<int>& pagination) {
    const Object& o = objects_[stream];
    const std::optional<std::vector<PdfEntry>> dict = PdfDictionary(o.value);
    bool deflated = false;
    for (const PdfEntry& e : *dict) {
      if (e.key == "/Filter" && e.value.In(o.value) == "/FlateDecode") deflated = true;
      else if (e.key != "/Length") return false;
    }
    std::optional<std::string> plain = deflated ? Inflated(o.data) : std::string(o.data);
    if (!plain) return false;
    content_[stream] = Deflated(MarkArtifacts(*plain, &pagination));
    return true;
  }

  // The running heads among a page's elements (`array`, its parent tree entry).
  bool NoteRunningHeads(long long array, const std::vector<int>& mcids) {
    const std::string_view text = Value(array);
    std::size_t at = 0;
    const std::optional<PdfValue> whole = NextPdfValue(text, at);
    const std::optional<std::vector<PdfValue>> items = whole ? PdfArray(text, *whole) : std::nullopt;
    if (!items) return false;
    std::vector<bool>& nulled = nulled_[array];
    nulled.resize(items->size());
    const std::string tag = "/" + std::string(kPaginationStandIn);
    for (const int mcid : mcids) {
      if (mcid < 0 || static_cast<std::size_t>(mcid) >= items->size()) continue;
      const long long element = PdfReference((*items)[mcid].In(text));
      const std::optional<std::vector<PdfEntry>> dict = Dict(element);
      const PdfEntry* type = dict ? Find(*dict, "/S") : nullptr;
      if (!type || type->value.In(Value(element)) != tag) continue;
      const PdfEntry* parent = Find(*dict, "/P");
      const long long p = parent ? PdfReference(parent->value.In(Value(element))) : -1;
      removed_.insert(element);
      if (p > 0) headParents_.insert(p);
      nulled[mcid] = true;
    }
    return true;
  }

  // Out of the parent tree and out of their parents' kids.
  bool DropRunningHeads() {
    for (const auto& [array, nulled] : nulled_) {
      const std::string_view text = Value(array);
      std::size_t at = 0;
      const std::optional<std::vector<PdfValue>> items = PdfArray(text, *NextPdfValue(text, at));
      std::string out = "[";
      for (std::size_t i = 0; i < items->size(); ++i)
        out.append(" ").append(nulled[i] ? std::string_view("null") : (*items)[i].In(text));
      changed_[array] = out + " ]";
    }
    for (const long long parent : headParents_) {
      const std::string_view text = Value(parent);
      const std::optional<std::vector<PdfEntry>> dict = Dict(parent);
      const PdfEntry* kids = dict ? Find(*dict, "/K") : nullptr;
      if (!kids) continue;
      const std::string_view value = kids->value.In(text);
      if (removed_.count(PdfReference(value))) {
        changed_[parent] = WithEntry(text, *kids, std::nullopt);
        continue;
      }
      const std::optional<std::vector<PdfValue>> items = PdfArray(text, kids->value);
      if (!items) continue;
      std::string kept = "[";
      for (const PdfValue& item : *items)
        if (!removed_.count(PdfReference(item.In(text)))) kept.append(" ").append(item.In(text));
      changed_[parent] = WithEntry(text, *kids, kept + " ]");
    }
    for (const long long element : removed_) objects_[element].dropped = true;
    return true;
  }

  // The figures in reading order, each given the next alternative text.
  bool Figures(long long element, std::size_t& next, int depth) {
    const std::optional<std::vector<PdfEntry>> dict = Dict(element);
    const PdfEntry* k = dict ? Find(*dict, "/K") : nullptr;
    if (!k) return true;
    if (depth > 64) return false;
    const std::string_view text = Value(element);
    std::vector<PdfValue> kids{k->value};
    if (PdfReference(k->value.In(text)) < 0) {
      const std::optional<std::vector<PdfValue>> items = PdfArray(text, k->value);
      if (!items) return true;
      kids = *items;
    }
    std::vector<long long> refs;
    for (const PdfValue& kid : kids) {
      const std::string_view v = kid.In(text);
      if (v.substr(0, 2) == "<<") {
        // An element written in its parent would need it rewritten around it.
        const std::optional<std::vector<PdfEntry>> direct = PdfDictionary(v);
        if (!direct || Find(*direct, "/S")) return false;
      }
      refs.push_back(PdfReference(v));
    }
    for (const long long kid : refs) {
      if (next >= alts_.size()) return true;
      const std::optional<std::vector<PdfEntry>> kidDict = Dict(kid);
      const PdfEntry* s = kidDict ? Find(*kidDict, "/S") : nullptr;
      const PdfEntry* type = kidDict ? Find(*kidDict, "/Type") : nullptr;
      if (!s || (type && type->value.In(Value(kid)) == "/MCR")) continue;
      if (s->value.In(Value(kid)) == "/Figure") {
        const std::string& alt = alts_[next++];
        if (Find(*kidDict, "/Alt")) return false;
        if (!alt.empty()) changed_[kid] = WithAdded(Value(kid), "/Alt " + PdfTextString(alt));
      }
      if (!Figures(kid, next, depth + 1)) return false;
    }
    return true;
  }

  std::string Write();

  const CairoPdf& pdf_;
  const PdfMetadata& meta_;
  const std::vector<std::string>& alts_;
  std::vector<Object> objects_;
  std::unordered_map<long long, PdfEntry> lengths_;         // each stream's /Length entry
  std::unordered_map<long long, std::string> changed_;      // values rewritten
  std::unordered_map<long long, std::string> content_;      // pages' content, marked and deflated
  std::unordered_map<long long, long long> parentArrays_;   // parent tree key -> its array object
  std::map<long long, std::vector<bool>> nulled_;           // parent tree arrays' running heads
  std::set<long long> removed_, headParents_;
  long long treeRoot_ = -1;
};

std::string TaggedFinish::Write() {
  // Object streams need 1.5; a later version Cairo claimed stays.
  const std::string_view version = pdf_.pdf.substr(0, 8);
  std::string out(version.substr(0, 7) == "%PDF-1." && version.size() == 8 && version[7] > '5' ? version : "%PDF-1.5");
  out += "\n%\xB5\xED\xAE\xFB\n";
  out.reserve(pdf_.pdf.size());
  // Cross-reference rows: 0 free (next free, generation), 1 in the file
  // (offset), 2 in an object stream (its number, the index in it).
  struct Row {
    int type = 0;
    std::uint64_t field = 0;
    unsigned index = 0;
  };
  std::vector<Row> rows(static_cast<std::size_t>(pdf_.size));
  const auto object = [&](long long n) {
    if (static_cast<std::size_t>(n) >= rows.size()) rows.resize(static_cast<std::size_t>(n) + 1);
    rows[n] = {1, out.size(), 0};
    out += std::to_string(n) + " 0 obj\n";
  };
  const auto stream = [&out](std::string_view dict, std::string_view data) {
    out.append(dict).append("\nstream\n").append(data).append("\nendstream\nendobj\n");
  };
  std::vector<long long> packed;
  for (long long n = 1; n < pdf_.size; ++n) {
    const Object& o = objects_[n];
    if (!o.present || o.dropped) continue;
    if (!o.stream) {
      packed.push_back(n);
      continue;
    }
    object(n);
    const auto marked = content_.find(n);
    if (marked != content_.end())
      stream("<< /Length " + std::to_string(marked->second.size()) + " /Filter /FlateDecode >>", marked->second);
    else
      stream(WithEntry(o.value, lengths_.at(n), std::to_string(o.data.size())), o.data);
  }
  const std::string xmp = XmpPacket(meta_, true);
  object(pdf_.size);
  stream("<< /Type /Metadata /Subtype /XML /Length " + std::to_string(xmp.size()) + " >>", xmp);
  long long next = pdf_.size + 1;
  for (std::size_t i = 0; i < packed.size(); i += kPerObjectStream) {
    const long long packing = next++;
    const std::size_t count = std::min(kPerObjectStream, packed.size() - i);
    std::string index, values;
    for (std::size_t j = 0; j < count; ++j) {
      const long long n = packed[i + j];
      index += std::to_string(n) + " " + std::to_string(values.size()) + " ";
      AppendCompact(values, Value(n));
      values += '\n';
      rows[n] = {2, static_cast<std::uint64_t>(packing), static_cast<unsigned>(j)};
    }
    // The tree's elements differ in a number or two: deflate's longer search
    // finds that, for a tenth less room at little cost on streams this small.
    const std::string data = Deflated(index + values, Z_BEST_COMPRESSION);
    object(packing);
    stream("<< /Type /ObjStm /Length " + std::to_string(data.size()) + " /Filter /FlateDecode /N " +
               std::to_string(count) + " /First " + std::to_string(index.size()) + " >>",
           data);
  }
  const long long xref = next;
  const std::uint64_t xrefAt = out.size();
  rows.resize(static_cast<std::size_t>(xref) + 1);
  rows[xref] = {1, xrefAt, 0};
  // The free objects chained from object 0, as the format asks.
  std::size_t lastFree = 0;
  for (std::size_t n = 1; n < rows.size(); ++n)
    if (rows[n].type == 0) {
      rows[lastFree].field = n;
      lastFree = n;
    }
  rows[0].index = 65535;
  std::uint64_t most = 0;
  for (const Row& r : rows) most = std::max(most, r.field);
  std::size_t width = 1;
  while (width < 8 && (most >> (8 * width)) != 0) ++width;
  // Each row as the difference from the one above (the PNG "up" predictor):
  // consecutive rows differ little, so the table deflates to almost nothing.
  const std::size_t columns = width + 3;
  std::string table, previous(columns, '\0'), row(columns, '\0');
  table.reserve(rows.size() * (columns + 1));
  for (const Row& r : rows) {
    row[0] = static_cast<char>(r.type);
    for (std::size_t b = 0; b < width; ++b) row[1 + b] = static_cast<char>(r.field >> (8 * (width - 1 - b)));
    row[width + 1] = static_cast<char>(r.index >> 8);
    row[width + 2] = static_cast<char>(r.index & 0xFF);
    table += '\2';
    for (std::size_t c = 0; c < columns; ++c) table += static_cast<char>(row[c] - previous[c]);
    previous = row;
  }
  const std::string data = Deflated(table);
  // The same document gets the same ID: a digest of every byte before it.
  GChecksum* digest = g_checksum_new(G_CHECKSUM_MD5);
  g_checksum_update(digest, reinterpret_cast<const guchar*>(out.data()), static_cast<gssize>(out.size()));
  const std::string id = g_checksum_get_string(digest);
  g_checksum_free(digest);
  std::string dict = "<< /Type /XRef /Size " + std::to_string(rows.size()) + " /W [ 1 " + std::to_string(width) +
                     " 2 ] /Root " + std::to_string(pdf_.root) + " 0 R";
  if (pdf_.info > 0) dict += " /Info " + std::to_string(pdf_.info) + " 0 R";
  dict += " /ID [<" + id + "><" + id + ">] /Filter /FlateDecode /DecodeParms << /Columns " + std::to_string(columns) +
          " /Predictor 12 >> /Length " + std::to_string(data.size()) + " >>";
  object(xref);
  stream(dict, data);
  return out + "startxref\n" + std::to_string(xrefAt) + "\n%%EOF\n";
}

}  // namespace

std::optional<std::string> FinishTaggedPdf(std::string_view pdf, const PdfMetadata& meta,
                                           const std::vector<std::string>& figureAlts) {
  const std::optional<CairoPdf> read = ReadCairoPdf(pdf);
  if (!read) return std::nullopt;
  return TaggedFinish(*read, meta, figureAlts).Run();
}

}  // namespace ktfolio::win::gdi
