// The structure pass of finishing a tagged PDF (qpdf_structure.cpp). Like
// qpdf_finish.cpp, which calls it, compiled as C++17 for libqpdf's headers.
#pragma once

#include <qpdf/QPDF.hh>

#include <string>
#include <vector>

namespace ktfolio::win::gdi {

// For a document with a structure tree: gives the figures, in reading order,
// their alternative texts (`alts`, in the same order; an empty one is left
// out), turns the running headers and footers Cairo wrote as NonStruct into
// pagination artifacts outside the tree, and marks every other piece of page
// content that lies in no structure element as a layout artifact.
void FinishStructure(QPDF& doc, const std::vector<std::string>& alts);

}  // namespace ktfolio::win::gdi
