// The PDF library's part of finishing a document, behind an interface of
// standard types only: libqpdf's headers do not compile as C++20 with every
// compiler we build with, so its one source file is compiled as C++17.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ktfolio::win::gdi {

// `pdf` with the catalog's /Lang (when `language` is not empty), viewer
// preferences that show the title, the XMP packet `xmp` makes (told whether
// the document has a structure tree) and, in a tagged document, the figures'
// alternative texts and the artifacts (qpdf_structure.h). Throws
// std::exception when the document cannot be read.
std::string AddCatalogMetadata(const std::string& pdf, const std::string& language,
                               const std::vector<std::string>& figureAlts,
                               const std::function<std::string(bool tagged)>& xmp);

}  // namespace ktfolio::win::gdi
