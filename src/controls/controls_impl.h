// Private to src/controls/*.cpp: the drawing steps the button and the frame
// share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/automation/font.h"
#include "platform/automation/picture.h"
#include "platform/container/property_bag.h"
#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace ktfolio::controls {

// A screen font for a font description (points at the screen's resolution);
// the caller deletes it.
win::HFONT CreateScreenFont(const StdFont& font);

// A rectangle with a solid pen of `penWidth` (a null pen when below 1) in
// `penColor` and a solid brush of `brushColor`; colours are RGB.
void OutlinedRect(win::HDC dc, int left, int top, int right, int bottom, int penWidth, std::uint32_t penColor,
                  std::uint32_t brushColor);

// Registers a window class once per process; false when it cannot.
bool RegisterControlClass(const char* name, win::WNDPROC proc, win::UINT style);

// Writes each value under its key, leaving out those equal to their default;
// `values` and `defaults` list the same keys in the same order.
template <typename Persisted>
void WritePersisted(PropertyBag& bag, const std::vector<Persisted>& values, const std::vector<Persisted>& defaults) {
  for (std::size_t i = 0; i < values.size() && i < defaults.size(); ++i)
    bag.WriteProperty(values[i].name, values[i].value, defaults[i].value);
}

// A picture goes into the bag as PNG bytes; none stores nothing. Bytes that
// are not an image read back as no picture, so the rest of the bag still loads.
void WritePicture(PropertyBag& bag, std::string_view name, const std::shared_ptr<Picture>& picture);
std::shared_ptr<Picture> ReadPicture(const PropertyBag& bag, std::string_view name);

}  // namespace ktfolio::controls
