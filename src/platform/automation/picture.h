// The picture loader: decodes an image file (BMP, PNG, JPEG, GIF, ICO ...) into
// a bitmap handle owned by the returned picture.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/gdi.h"

namespace ktfolio {

class Picture {
 public:
  explicit Picture(win::HBITMAP handle) : handle_(handle) {}
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  win::HBITMAP Handle() const { return handle_; }

 private:
  win::HBITMAP handle_;
};

// Throws ktfolio::Error: 53 "File not found", 481 "Invalid picture".
std::unique_ptr<Picture> LoadPicture(const std::string& path);

// Folder of the running program (for "%APP_PATH%" in picture names).
std::string ApplicationPath();

}  // namespace ktfolio
