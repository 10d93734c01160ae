// What hosts and the higher folders call from the rendering subsystem. Pages
// themselves are drawn through KtPrint4 (ExportPng, ExportPdf, the preview);
// this header holds the colour rule every drawing shares.
#pragma once

#include <cstdint>

namespace ktfolio {

// A colour value whose high byte is 0x80 names a system colour (its low 24 bits
// are the index, resolved from the platform's palette); any other value is its
// low 24 bits as 0x00BBGGRR.
std::uint32_t OleToRgb(std::uint32_t color);

}  // namespace ktfolio
