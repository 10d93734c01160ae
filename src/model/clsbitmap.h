// clsBitmap: the picture holder of a cell. Keeps the picture selected into a
// memory context plus two working copies used when drawing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi/gdi.h"

namespace ktfolio {

class Picture;

class clsBitmap {
 public:
  clsBitmap();
  ~clsBitmap();
  clsBitmap(const clsBitmap&) = delete;
  clsBitmap& operator=(const clsBitmap&) = delete;

  win::HDC ImageDC() const { return imageDC_; }
  win::HBITMAP hBitMap() const { return hBitMap_; }
  win::HDC InvertImageDC() const { return invertDC_; }
  win::HDC MaskDC() const { return maskDC_; }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

  // Takes a picture's bitmap; success is false when it cannot be read or selected.
  void SetBitmap(win::HBITMAP& bitmap, bool& success);

  // Loads a picture file ("%APP_PATH%" expanded) and takes it. Returns nullptr
  // when the picture has no bitmap; throws the loader's error for a missing or
  // unreadable file.
  static std::unique_ptr<clsBitmap> Load(const std::string& fileName);

 private:
  win::HDC imageDC_ = nullptr, invertDC_ = nullptr, maskDC_ = nullptr;
  win::HGDIOBJ imageOld_ = nullptr, invertOld_ = nullptr, maskOld_ = nullptr;
  win::HBITMAP invertBmp_ = nullptr, maskBmp_ = nullptr;
  win::HBITMAP hBitMap_ = nullptr;
  std::int32_t width_ = 0, height_ = 0;
  std::unique_ptr<Picture> picture_;  // keeps the picture's own bitmap alive
};

}  // namespace ktfolio
