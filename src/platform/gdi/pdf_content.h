// Marking a PDF page's content for a tagged document (pdf_content.cpp): the
// content stream is read as a sequence of operands and operators, without
// building objects, since a long listing's pages hold millions of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ktfolio::win::gdi {

// The structure type Cairo is told for drawing repeated on each page: Cairo
// cannot write an artifact, so these sequences become pagination artifacts
// when the document is finished.
inline constexpr std::string_view kPaginationStandIn = "NonStruct";

// `content` (a decoded page content stream) with every operator that lies in
// no marked-content sequence put inside "/Artifact BMC ... EMC", and each
// sequence opened as "/NonStruct <<...>> BDC" turned into a pagination
// artifact ("/Artifact <</Type /Pagination>> BDC"). Sequences already marked
// are left as they are. The marked-content ids of the sequences turned into
// pagination artifacts are added to `pagination` when given.
std::string MarkArtifacts(std::string_view content, std::vector<int>* pagination = nullptr);

}  // namespace ktfolio::win::gdi
