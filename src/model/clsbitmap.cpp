#include "model/clsbitmap.h"

#include "model/textitem.h"
#include "platform/automation/picture.h"

namespace ktfolio {

using namespace win;

clsBitmap::clsBitmap() = default;

clsBitmap::~clsBitmap() {
  // Deselect before deleting so each bitmap is free to go.
  if (imageDC_) {
    if (imageOld_) SelectObject(imageDC_, imageOld_);
    DeleteDC(imageDC_);
  }
  if (invertDC_) {
    if (invertOld_) SelectObject(invertDC_, invertOld_);
    DeleteDC(invertDC_);
  }
  if (maskDC_) {
    if (maskOld_) SelectObject(maskDC_, maskOld_);
    DeleteDC(maskDC_);
  }
  if (invertBmp_) DeleteObject(invertBmp_);
  if (maskBmp_) DeleteObject(maskBmp_);
}

void clsBitmap::SetBitmap(HBITMAP& bitmap, bool& success) {
  success = false;
  ::ktfolio::win::BITMAP info;
  if (!bitmap || GetObject(bitmap, sizeof info, &info) == 0) return;
  width_ = info.bmWidth;
  height_ = info.bmHeight;
  hBitMap_ = bitmap;

  imageDC_ = CreateCompatibleDC(nullptr);
  invertDC_ = CreateCompatibleDC(nullptr);
  maskDC_ = CreateCompatibleDC(nullptr);
  if (!imageDC_ || !invertDC_ || !maskDC_) return;
  imageOld_ = SelectObject(imageDC_, bitmap);
  if (!imageOld_) return;

  invertBmp_ = CreateCompatibleBitmap(imageDC_, width_, height_);
  invertOld_ = SelectObject(invertDC_, invertBmp_);
  maskBmp_ = CreateCompatibleBitmap(maskDC_, width_, height_);
  maskOld_ = SelectObject(maskDC_, maskBmp_);
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
