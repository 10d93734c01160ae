// What Cairo does not write into a PDF, added once the document is complete:
// the catalog's language and viewer preferences, and the XMP metadata that
// carries the title, the author and the accessibility claim. A tagged
// document is finished with a PDF library (qpdf_finish.cpp); any other gets an
// incremental update after Cairo's bytes: a new catalog, the XMP stream and a
// cross-reference section for the two, which needs only the end of Cairo's
// file, so a long document can go to its file while it is written. The page
// content is never touched, so text extraction and the embedded fonts do not
// change.
#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/qpdf_finish.h"

namespace ktfolio::win::gdi {
namespace {

std::string XmlEscaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // XML 1.0 has no place for the other control characters.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    }
  }
  return out;
}

std::string LanguageAlt(const char* element, const std::string& text) {
  return std::string("   <") + element + "><rdf:Alt><rdf:li xml:lang=\"x-default\">" + XmlEscaped(text) +
         "</rdf:li></rdf:Alt></" + element + ">\n";
}

}  // namespace

std::string XmpPacket(const PdfMetadata& meta, bool tagged) {
  std::string x =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "  <rdf:Description rdf:about=\"\"\n"
      "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
      "    xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"\n"
      "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
      "    xmlns:pdfuaid=\"http://www.aiim.org/pdfua/ns/id/\">\n"
      "   <dc:format>application/pdf</dc:format>\n";
  if (!meta.title.empty()) x += LanguageAlt("dc:title", meta.title);
  if (!meta.author.empty())
    x += "   <dc:creator><rdf:Seq><rdf:li>" + XmlEscaped(meta.author) + "</rdf:li></rdf:Seq></dc:creator>\n";
  if (!meta.subject.empty()) x += LanguageAlt("dc:description", meta.subject);
  if (!meta.language.empty())
    x += "   <dc:language><rdf:Bag><rdf:li>" + XmlEscaped(meta.language) + "</rdf:li></rdf:Bag></dc:language>\n";
  if (!meta.keywords.empty()) x += "   <pdf:Keywords>" + XmlEscaped(meta.keywords) + "</pdf:Keywords>\n";
  x += "   <xmp:CreatorTool>ktfolio</xmp:CreatorTool>\n";
  if (tagged) x += "   <pdfuaid:part>1</pdfuaid:part>\n";
  x +=
      "  </rdf:Description>\n"
      " </rdf:RDF>\n"
      "</x:xmpmeta>\n"
      "<?xpacket end=\"w\"?>";
  return x;
}

namespace {


// The entries the update adds, and those it cannot add over Cairo's own.
bool HasKey(std::string_view dict, std::string_view key) {
  for (std::size_t at = dict.find(key); at != std::string_view::npos; at = dict.find(key, at + 1)) {
    const std::size_t end = at + key.size();
    if (end == dict.size() || std::string_view(" \n\r\t/<[(>").find(dict[end]) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

long long NumberAfter(std::string_view text, std::string_view key, std::size_t from) {
  const std::size_t at = text.find(key, from);
  if (at == std::string_view::npos) return -1;
  std::size_t i = at + key.size();
  while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\r')) ++i;
  long long n = -1;
  for (std::size_t digits = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (++digits > 18) return -1;  // no count or offset of ours is that long, and more would overflow
    n = (n < 0 ? 0 : n * 10) + (text[i] - '0');
  }
  return n;
}


std::string XrefEntry(std::uint64_t offset) {
  char entry[24];
  std::snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(offset));
  return entry;
}

std::string UpdateTrailer(long long size, long long root, long long info, GChecksum* digest, std::uint64_t previous,
                          std::uint64_t xrefAt) {
  // The same document gets the same ID: a digest of every byte before it.
  const std::string id = g_checksum_get_string(digest);
  std::string trailer = "trailer\n<< /Size " + std::to_string(size) + " /Root " + std::to_string(root) + " 0 R";
  if (info > 0) trailer += " /Info " + std::to_string(info) + " 0 R";
  return trailer + " /ID [<" + id + "><" + id + ">] /Prev " + std::to_string(previous) + " >>\nstartxref\n" +
         std::to_string(xrefAt) + "\n%%EOF\n";
}

std::string PdfTextString(const std::string& text) {
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
    std::string out = "(";
    for (const char c : text) {
      if (c == '(' || c == ')' || c == '\\') out += '\\';
      out += c;
    }
    return out + ")";
  }
  const std::string utf8 = AsDrawnUtf8(text);
  glong units = 0;
  gunichar2* utf16 = g_utf8_to_utf16(utf8.c_str(), static_cast<glong>(utf8.size()), nullptr, &units, nullptr);
  std::string out = "<FEFF";
  char hex[8];
  for (glong i = 0; utf16 && i < units; ++i) {
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(utf16[i]));
    out += hex;
  }
  g_free(utf16);
  return out + ">";
}

std::optional<std::string> ExtendedCatalog(std::string_view body, const PdfMetadata& meta, long long metadataObject) {
  std::string catalog(body);
  catalog.erase(0, catalog.find_first_not_of(" \r\n"));
  catalog.erase(catalog.find_last_not_of(" \r\n") + 1);
  if (catalog.size() < 4 || catalog.compare(0, 2, "<<") != 0 || catalog.compare(catalog.size() - 2, 2, ">>") != 0 ||
      HasKey(catalog, "/Lang") || HasKey(catalog, "/Metadata") || HasKey(catalog, "/ViewerPreferences"))
    return std::nullopt;
  std::string added =
      " /ViewerPreferences << /DisplayDocTitle true >> /Metadata " + std::to_string(metadataObject) + " 0 R";
  if (!meta.language.empty()) added += " /Lang " + PdfTextString(meta.language);
  catalog.insert(catalog.size() - 2, added + " ");
  return catalog;
}

std::optional<std::string> CatalogUpdate(std::string_view tail, std::uint64_t tailAt, const PdfMetadata& meta,
                                         GChecksum* digest) {
  const std::size_t trailer = tail.rfind("trailer");
  const long long size = NumberAfter(tail, "/Size", trailer), root = NumberAfter(tail, "/Root", trailer),
                  info = NumberAfter(tail, "/Info", trailer),
                  previous = NumberAfter(tail, "startxref", tail.rfind("startxref"));
  if (trailer == std::string_view::npos || size <= 0 || root <= 0 || previous < 0) return std::nullopt;
  // Cairo's catalog, "<root> 0 obj << ... >> endobj", with the new entries before its end.
  const std::string head = std::to_string(root) + " 0 obj";
  std::size_t at = tail.rfind(head, trailer);
  while (at != std::string_view::npos && at > 0 && tail[at - 1] != '\n')
    at = tail.rfind(head, at - 1);  // "17 0 obj" is not "7 0 obj"
  if (at == std::string_view::npos) return std::nullopt;
  at += head.size();
  const std::size_t end = tail.find("endobj", at);
  if (end == std::string_view::npos) return std::nullopt;
  std::optional<std::string> catalog = ExtendedCatalog(tail.substr(at, end - at), meta, size);
  if (!catalog) return std::nullopt;

  const std::string xmp = XmpPacket(meta, false);
  std::string update = tail.empty() || tail.back() == '\n' ? "" : "\n";
  const std::uint64_t metadataAt = tailAt + tail.size() + update.size();
  update += std::to_string(size) + " 0 obj\n<< /Type /Metadata /Subtype /XML /Length " + std::to_string(xmp.size()) +
            " >>\nstream\n" + xmp + "\nendstream\nendobj\n";
  const std::uint64_t rootAt = tailAt + tail.size() + update.size();
  update += std::to_string(root) + " 0 obj\n" + *catalog + "\nendobj\n";
  const std::uint64_t xrefAt = tailAt + tail.size() + update.size();
  update += "xref\n" + std::to_string(root) + " 1\n" + XrefEntry(rootAt) + std::to_string(size) + " 1\n" +
            XrefEntry(metadataAt);
  g_checksum_update(digest, reinterpret_cast<const guchar*>(update.data()), static_cast<gssize>(update.size()));
  return update + UpdateTrailer(size + 1, root, info, digest, static_cast<std::uint64_t>(previous), xrefAt);
}

std::string FinishPdf(const std::string& pdf, const PdfMetadata& meta, const std::vector<std::string>& figureAlts) {
  if (!meta.tagged && figureAlts.empty()) {
    GChecksum* digest = g_checksum_new(G_CHECKSUM_MD5);
    g_checksum_update(digest, reinterpret_cast<const guchar*>(pdf.data()), static_cast<gssize>(pdf.size()));
    std::optional<std::string> update = CatalogUpdate(pdf, 0, meta, digest);
    g_checksum_free(digest);
    if (update) return pdf + *update;
  }
  if (meta.tagged)
    if (std::optional<std::string> finished = FinishTaggedPdf(pdf, meta, figureAlts)) return std::move(*finished);
  try {
    return AddCatalogMetadata(pdf, meta.language, figureAlts, [&meta](bool tagged) { return XmpPacket(meta, tagged); });
  } catch (const std::exception& e) {
    throw Error(ErrorCode::kInternalError, "ktfolio.EndDoc", std::string("The PDF could not be finished: ") + e.what());
  }
}

}  // namespace ktfolio::win::gdi
