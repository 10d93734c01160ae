// clsBitmap: the picture holder of a cell. Keeps the picture selected into a
// memory context plus two working copies used when drawing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"

namespace ktfolio {

class Picture;

class clsBitmap {
 public:
  clsBitmap();
  ~clsBitmap();
  clsBitmap(const clsBitmap&) = delete;
  clsBitmap& operator=(const clsBitmap&) = delete;

  win::HDC ImageDC() const { return imageDC_.get(); }
  win::HBITMAP hBitMap() const { return hBitMap_; }
  win::HDC InvertImageDC() const { return invertDC_.get(); }
  win::HDC MaskDC() const { return maskDC_.get(); }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

  // Takes a picture's bitmap; success is false when it cannot be read or selected.
  void SetBitmap(win::HBITMAP& bitmap, bool& success);

  // Loads a picture file ("%APP_PATH%" expanded) and takes it. Returns nullptr
  // when the picture has no bitmap; throws the loader's error for a missing or
  // unreadable file.
  static std::unique_ptr<clsBitmap> Load(const std::string& fileName);

 private:
  // Members go in reverse order: the selections are undone first, then the
  // contexts and the working bitmaps go, and the picture's bitmap last.
  std::unique_ptr<Picture> picture_;  // keeps the picture's own bitmap alive
  win::OwnedBitmap invertBmp_, maskBmp_;
  win::OwnedDC imageDC_, invertDC_, maskDC_;
  win::SelectedObject imageSelected_, invertSelected_, maskSelected_;
  win::HBITMAP hBitMap_ = nullptr;
  std::int32_t width_ = 0, height_ = 0;
};

}  // namespace ktfolio
