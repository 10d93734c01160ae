// A window's context for the length of a scope: GetDC now, ReleaseDC when the
// scope ends. Lives beside the window manager because GetDC is its call; the
// other scoped GDI handles are in platform/gdi/gdi_scoped.h.
#pragma once

#include <utility>

#include "platform/gdi/gdi_scoped.h"
#include "platform/user/user.h"

namespace ktfolio::win {

class WindowDC {
 public:
  WindowDC() = default;
  // A null window gives a screen context, good for measuring, as GetDC does.
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() { reset(); }
  WindowDC(WindowDC&& o) noexcept : hwnd_(std::exchange(o.hwnd_, nullptr)), dc_(std::exchange(o.dc_, nullptr)) {}
  WindowDC& operator=(WindowDC&& o) noexcept {
    if (this != &o) {
      reset();
      hwnd_ = std::exchange(o.hwnd_, nullptr);
      dc_ = std::exchange(o.dc_, nullptr);
    }
    return *this;
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC get() const { return dc_; }
  operator HDC() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
  void reset() {
    if (dc_) ReleaseDC(hwnd_, dc_);
    hwnd_ = nullptr;
    dc_ = nullptr;
  }

 private:
  HWND hwnd_ = nullptr;
  HDC dc_ = nullptr;
};

}  // namespace ktfolio::win
