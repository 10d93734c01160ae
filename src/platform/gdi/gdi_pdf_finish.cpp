// What Cairo does not write into a PDF, added with a PDF library
// (qpdf_finish.cpp) once the document is complete: the catalog's language and viewer preferences, and
// the XMP metadata that carries the title, the author and the accessibility
// claim. The page content is copied as it is, so text extraction and the
// embedded fonts do not change.
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

// The XMP packet: Dublin Core title, creator, description and language, the
// keywords, the tool, and the PDF/UA part the document claims.
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

}  // namespace

std::string FinishPdf(const std::string& pdf, const PdfMetadata& meta, const std::vector<std::string>& figureAlts) {
  try {
    return AddCatalogMetadata(pdf, meta.language, figureAlts, [&meta](bool tagged) { return XmpPacket(meta, tagged); });
  } catch (const std::exception& e) {
    throw Error(ErrorCode::kInternalError, "ktfolio.EndDoc", std::string("The PDF could not be finished: ") + e.what());
  }
}

}  // namespace ktfolio::win::gdi
