#include "model/clsbitmap.h"

#include "model/textitem.h"
#include "platform/automation/picture.h"

namespace ktfolio {

using namespace win;

clsBitmap::clsBitmap() = default;

clsBitmap::~clsBitmap() = default;

void clsBitmap::SetBitmap(HBITMAP& bitmap, bool& success) {
  success = false;
  ::ktfolio::win::BITMAP info;
  if (!bitmap || GetObject(bitmap, sizeof info, &info) == 0) return;
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  hBitMap_ = bitmap;

  imageSelected_.restore();
  invertSelected_.restore();
  maskSelected_.restore();
  imageDC_ = MemoryDC(nullptr);
  invertDC_ = MemoryDC(nullptr);
  maskDC_ = MemoryDC(nullptr);
  if (!imageDC_ || !invertDC_ || !maskDC_) return;
  imageSelected_ = SelectedObject(imageDC_, bitmap);
  if (!imageSelected_.previous()) return;

  invertBmp_.reset(CreateCompatibleBitmap(imageDC_, width_, height_));
  invertSelected_ = SelectedObject(invertDC_, invertBmp_);
  maskBmp_.reset(CreateCompatibleBitmap(maskDC_, width_, height_));
  maskSelected_ = SelectedObject(maskDC_, maskBmp_);
  BitBlt(invertDC_, 0, 0, width_, height_, imageDC_, 0, 0, SRCCOPY);
  BitBlt(maskDC_, 0, 0, width_, height_, imageDC_, 0, 0, SRCCOPY);
  SetBkColor(invertDC_, 0);
  SetTextColor(invertDC_, 0xFFFFFF);
  BitBlt(invertDC_, 0, 0, width_, height_, maskDC_, 0, 0, SRCAND);
  success = true;
}

std::unique_ptr<clsBitmap> clsBitmap::Load(const std::string& fileName) {
  std::string path = ReplaceAll(fileName, "%APP_PATH%", ApplicationPath());
  std::unique_ptr<Picture> pic = LoadPicture(path);
  if (!pic || !pic->Handle()) return nullptr;
  auto holder = std::make_unique<clsBitmap>();
  HBITMAP handle = pic->Handle();
  bool ok = false;
  holder->SetBitmap(handle, ok);
  if (!ok) throw Error(ErrorCode::kImageNotLoadedIntoBitmap, "BitMap Property Let", "No Description");
  holder->picture_ = std::move(pic);
  return holder;
}

}  // namespace ktfolio
