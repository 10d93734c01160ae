// The catalog entries and the XMP stream a finished PDF gets, written with
// libqpdf. The pages are copied as they are: streams are neither decoded nor
// recompressed, so the text and the embedded fonts stay what Cairo wrote. A
// document without a structure tree only needs a new catalog, so it gets an
// incremental update: the new objects appended after Cairo's bytes, which
// spares rewriting every page of a long listing.
#include "platform/gdi/qpdf_finish.h"
#include "platform/gdi/qpdf_structure.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFCryptoProvider.hh>
#include <qpdf/QUtil.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace ktfolio::win::gdi {
namespace {

// Where the last cross-reference section starts, from the file's last
// "startxref"; -1 when there is none.
long long LastXrefOffset(const std::string& pdf) {
  const std::size_t at = pdf.rfind("startxref");
  if (at == std::string::npos) return -1;
  char* end = nullptr;
  const long long offset = std::strtoll(pdf.c_str() + at + 9, &end, 10);
  return end == pdf.c_str() + at + 9 ? -1 : offset;
}

void AppendXrefEntry(std::string& out, std::size_t offset) {
  char entry[24];
  std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
  out += entry;
}

// A document ID from the digest of the bytes written so far, so the same
// document gets the same ID.
std::string DigestId(const std::string& bytes) {
  std::shared_ptr<QPDFCryptoImpl> crypto = QPDFCryptoProvider::getImpl();
  crypto->MD5_init();
  crypto->MD5_update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  crypto->MD5_finalize();
  QPDFCryptoImpl::MD5_Digest digest;
  crypto->MD5_digest(digest);
  const std::string hex = QUtil::hex_encode(std::string(reinterpret_cast<const char*>(digest), sizeof digest));
  return "[<" + hex + "><" + hex + ">]";
}

// `pdf` followed by the metadata stream as a new object, the catalog under its
// own number, and a cross-reference section and trailer that point back to
// Cairo's. False, leaving `out` alone, when the file's tail is not one an
// update can follow.
bool AppendCatalogUpdate(QPDF& doc, const std::string& pdf, const std::string& xmp, std::string& out) {
  QPDFObjectHandle root = doc.getRoot();
  QPDFObjectHandle trailer = doc.getTrailer();
  const long long previous = LastXrefOffset(pdf);
  if (previous < 0 || !root.isIndirect() || root.getGeneration() != 0 || !trailer.getKey("/Size").isInteger())
    return false;
  const int metadataId = static_cast<int>(trailer.getKey("/Size").getIntValue());
  root.removeKey("/Metadata");
  std::string catalog = root.unparseResolved();  // "<< ... >>"
  if (catalog.size() < 4 || catalog.compare(catalog.size() - 2, 2, ">>") != 0) return false;
  catalog.insert(catalog.size() - 2, "/Metadata " + std::to_string(metadataId) + " 0 R ");
  out.reserve(pdf.size() + xmp.size() + 1024);
  out = pdf;
  if (out.back() != '\n') out += '\n';
  const std::size_t metadataAt = out.size();
  out += std::to_string(metadataId) + " 0 obj\n<< /Type /Metadata /Subtype /XML /Length " +
         std::to_string(xmp.size()) + " >>\nstream\n" + xmp + "\nendstream\nendobj\n";
  const std::size_t rootAt = out.size();
  out += std::to_string(root.getObjectID()) + " 0 obj\n" + catalog + "\nendobj\n";
  const std::size_t xrefAt = out.size();
  out += "xref\n" + std::to_string(root.getObjectID()) + " 1\n";
  AppendXrefEntry(out, rootAt);
  out += std::to_string(metadataId) + " 1\n";
  AppendXrefEntry(out, metadataAt);
  out += "trailer\n<< /Size " + std::to_string(metadataId + 1) + " /Root " + std::to_string(root.getObjectID()) +
         " 0 R";
  if (trailer.hasKey("/Info")) out += " /Info " + trailer.getKey("/Info").unparse();
  out += " /ID " + DigestId(out) + " /Prev " + std::to_string(previous) + " >>\nstartxref\n" + std::to_string(xrefAt) + "\n%%EOF\n";
  return true;
}

}  // namespace

std::string AddCatalogMetadata(const std::string& pdf, const std::string& language,
                               const std::vector<std::string>& figureAlts,
                               const std::function<std::string(bool tagged)>& xmp) {
  QPDF doc;
  doc.setSuppressWarnings(true);
  doc.processMemoryFile("ktfolio document", pdf.data(), pdf.size());
  QPDFObjectHandle root = doc.getRoot();
  FinishStructure(doc, figureAlts);
  if (!language.empty()) root.replaceKey("/Lang", QPDFObjectHandle::newUnicodeString(language));
  QPDFObjectHandle viewer = QPDFObjectHandle::newDictionary();
  viewer.replaceKey("/DisplayDocTitle", QPDFObjectHandle::newBool(true));
  root.replaceKey("/ViewerPreferences", viewer);
  const bool tagged = root.hasKey("/StructTreeRoot");
  std::string updated;
  if (!tagged && AppendCatalogUpdate(doc, pdf, xmp(false), updated)) return updated;
  QPDFObjectHandle metadata = doc.newStream(xmp(tagged));
  metadata.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
  metadata.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/XML"));
  root.replaceKey("/Metadata", metadata);

  QPDFWriter writer(doc);
  writer.setOutputMemory();
  // The same document gives the same bytes.
  writer.setDeterministicID(true);
  writer.setDecodeLevel(qpdf_dl_none);
  // A structure tree is tens of thousands of small objects for a long
  // listing: packed into compressed object streams they take a fifth of the room.
  writer.setObjectStreamMode(tagged ? qpdf_o_generate : qpdf_o_preserve);
  writer.write();
  const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
  return std::string(reinterpret_cast<const char*>(out->getBuffer()), out->getSize());
}

}  // namespace ktfolio::win::gdi
