// Cairo writes a structure tree and marks the content drawn inside its leaf
// tags, but leaves all other content unmarked, has no artifacts and no
// alternative text. This pass adds them, so that every operator that draws
// belongs either to a structure element or to an artifact, which is what a
// screen reader (and a PDF/UA checker) needs to skip rules, fills and running
// headers.
#include "platform/gdi/qpdf_structure.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include "platform/gdi/pdf_content.h"

#include <map>
#include <memory>
#include <set>
#include <string_view>

namespace ktfolio::win::gdi {
namespace {

// The type Cairo wrote for drawing repeated on each page, as a PDF name.
const std::string kPaginationTag = "/" + std::string(kPaginationStandIn);

// A page's content with its unmarked drawing made artifacts (pdf_content.h);
// the marked-content ids of its running heads, now artifacts, go to `pagination`.
void MarkPageArtifacts(QPDFPageObjectHelper& page, std::vector<int>& pagination) {
  page.coalesceContentStreams();
  QPDFObjectHandle contents = page.getObjectHandle().getKey("/Contents");
  if (!contents.isStream()) return;
  const std::shared_ptr<Buffer> data = contents.getStreamData(qpdf_dl_generalized);
  const std::string marked = MarkArtifacts(
      std::string_view(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()), &pagination);
  contents.replaceStreamData(marked, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
}

// The parent tree's arrays by key: each maps a page's marked-content ids to
// their structure elements.
void CollectParentArrays(QPDFObjectHandle node, std::map<long long, QPDFObjectHandle>& arrays) {
  if (!node.isDictionary()) return;
  QPDFObjectHandle kids = node.getKey("/Kids");
  if (kids.isArray())
    for (auto& kid : kids.aitems()) CollectParentArrays(kid, arrays);
  QPDFObjectHandle nums = node.getKey("/Nums");
  if (!nums.isArray()) return;
  for (int i = 0; i + 1 < nums.getArrayNItems(); i += 2)
    if (nums.getArrayItem(i).isInteger()) arrays[nums.getArrayItem(i).getIntValue()] = nums.getArrayItem(i + 1);
}

// The running heads' elements out of the tree: out of their parents' kids
// and out of the parent tree. Found from the content rather than by walking
// the tree, whose rows and cells are tens of thousands of objects in a long
// listing; the elements' parents are the root and the tables, a few objects.
class RunningHeads {
 public:
  explicit RunningHeads(QPDFObjectHandle treeRoot) { CollectParentArrays(treeRoot.getKey("/ParentTree"), arrays_); }

  void Remove(QPDFPageObjectHelper& page, const std::vector<int>& mcids) {
    QPDFObjectHandle key = page.getObjectHandle().getKey("/StructParents");
    if (mcids.empty() || !key.isInteger()) return;
    const auto found = arrays_.find(key.getIntValue());
    if (found == arrays_.end() || !found->second.isArray()) return;
    QPDFObjectHandle elements = found->second;
    for (int mcid : mcids) {
      if (mcid >= elements.getArrayNItems()) continue;
      QPDFObjectHandle element = elements.getArrayItem(mcid);
      if (!element.isDictionary() || !element.getKey("/S").isNameAndEquals(kPaginationTag)) continue;
      removed_.insert(element.getObjGen());
      QPDFObjectHandle parent = element.getKey("/P");
      if (parent.isIndirect()) parents_.emplace(parent.getObjGen(), parent);
      elements.setArrayItem(mcid, QPDFObjectHandle::newNull());
    }
  }

  void DropFromParents() {
    for (auto& [id, parent] : parents_) {
      QPDFObjectHandle kids = parent.getKey("/K");
      if (!kids.isArray()) {
        if (removed_.count(kids.getObjGen())) parent.removeKey("/K");
        continue;
      }
      // Copied once rather than erased from: a table's kids are one per row.
      std::vector<QPDFObjectHandle> kept;
      kept.reserve(static_cast<std::size_t>(kids.getArrayNItems()));
      for (auto& kid : kids.aitems())
        if (!removed_.count(kid.getObjGen())) kept.push_back(kid);
      parent.replaceKey("/K", QPDFObjectHandle::newArray(kept));
    }
  }

 private:
  std::map<long long, QPDFObjectHandle> arrays_;
  std::set<QPDFObjGen> removed_;
  std::map<QPDFObjGen, QPDFObjectHandle> parents_;
};

// The figures in reading order (the order their tags opened), each given the
// next alternative text; an empty one is left out.
class FigureTexts {
 public:
  explicit FigureTexts(const std::vector<std::string>& alts) : alts_(alts) {}
  void Visit(QPDFObjectHandle element) {
    QPDFObjectHandle kids = element.getKey("/K");
    if (kids.isDictionary()) kids = QPDFObjectHandle::newArray({kids});
    if (!kids.isArray()) return;
    for (auto& kid : kids.aitems()) {
      if (next_ >= alts_.size()) return;
      if (!kid.isDictionary() || !kid.hasKey("/S") || kid.getKey("/Type").isNameAndEquals("/MCR")) continue;
      if (kid.getKey("/S").isNameAndEquals("/Figure")) {
        const std::string& alt = alts_[next_++];
        if (!alt.empty()) kid.replaceKey("/Alt", QPDFObjectHandle::newUnicodeString(alt));
      }
      Visit(kid);
    }
  }

 private:
  const std::vector<std::string>& alts_;
  std::size_t next_ = 0;
};

}  // namespace

void FinishStructure(QPDF& doc, const std::vector<std::string>& alts) {
  QPDFObjectHandle treeRoot = doc.getRoot().getKey("/StructTreeRoot");
  if (!treeRoot.isDictionary()) return;
  RunningHeads heads(treeRoot);
  std::vector<int> pagination;
  for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(doc).getAllPages()) {
    pagination.clear();
    MarkPageArtifacts(page, pagination);
    heads.Remove(page, pagination);
  }
  heads.DropFromParents();
  // Only a document with pictures needs the whole tree walked.
  if (!alts.empty()) FigureTexts(alts).Visit(treeRoot);
}

}  // namespace ktfolio::win::gdi
