// The picture loader: decodes an image file (BMP, PNG, JPEG, GIF, ICO ...) into
// a bitmap handle owned by the returned picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// Pictures larger than these are refused from their header, before decoding.
constexpr std::uint64_t kMaxPicturePixels = 50'000'000;
constexpr std::uint64_t kMaxPictureBytes = 256ull << 20;  // decoded, 4 bytes a pixel; also the file's bound

// Throws ktfolio::Error naming the file: 53 "File not found", 75 not a
// regular file or unreadable, 481 "Invalid picture" (not an image, or above
// the limits).
std::unique_ptr<Picture> LoadPicture(const std::string& path);

// A picture from the bytes of an image file (as a property bag keeps it);
// throws 481 "Invalid picture" when they are not an image or are above the limits.
std::unique_ptr<Picture> LoadPictureBytes(const std::vector<std::uint8_t>& bytes);
// The picture as PNG bytes, for a property bag.
std::vector<std::uint8_t> PictureBytes(const Picture& picture);

// Folder of the running program (for "%APP_PATH%" in picture names).
std::string ApplicationPath();

}  // namespace ktfolio
