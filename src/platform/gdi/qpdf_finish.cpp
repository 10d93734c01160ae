// The catalog entries and the XMP stream a finished PDF gets, written with
// libqpdf. The pages are copied as they are: streams are neither decoded nor
// recompressed, so the text and the embedded fonts stay what Cairo wrote.
#include "platform/gdi/qpdf_finish.h"
#include "platform/gdi/qpdf_structure.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>

namespace ktfolio::win::gdi {

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
  QPDFObjectHandle metadata = doc.newStream(xmp(root.hasKey("/StructTreeRoot")));
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
  writer.setObjectStreamMode(root.hasKey("/StructTreeRoot") ? qpdf_o_generate : qpdf_o_preserve);
  writer.write();
  const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
  return std::string(reinterpret_cast<const char*>(out->getBuffer()), out->getSize());
}

}  // namespace ktfolio::win::gdi
