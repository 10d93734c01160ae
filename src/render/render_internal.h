// For the folders above render (the preview, editing, the CLI) and for tests:
// the page surface as the preview shows it, drawn without a window.
#pragma once

#include <cstdint>

#include "control/ktprint4.h"
#include "platform/gdi/gdi.h"

namespace ktfolio::render {

// The pixel size of the preview's page surface at `zoom` percent: the paper's
// twips scaled by the zoom, then taken to screen pixels.
win::SIZE PageSurfaceSize(const KtPrint4& control, double zoom);

// Draws page `page` (not checked against the page count) at `zoom` onto a new
// page surface: page colour, drop shadow, guide rectangles when shown, header,
// body rows and footer. Returns the bitmap, owned by the caller (DeleteObject),
// or nullptr when the page is too small to hold its shadow. The control's zoom
// is left as it was; failures while drawing are recorded on the control.
win::HBITMAP RenderPageSurface(KtPrint4& control, std::int16_t page, double zoom);

}  // namespace ktfolio::render
