// Scoped GDI handles: each undoes on destruction what its construction did, so
// a drawing routine cannot leak an object or leave a context changed on an
// early return. Move-only; a null handle makes each a no-op. Declare them in
// the order the calls would pair: the object or context first, the selection
// after, so the selection is undone before the object is deleted (GDI refuses
// to delete an object that is still selected).
#pragma once

#include <utility>

#include "platform/gdi/gdi.h"

namespace ktfolio::win {

// An object created by the caller, deleted with DeleteObject when the scope ends.
template <class Handle>
class OwnedObject {
 public:
  OwnedObject() = default;
  explicit OwnedObject(Handle h) : h_(h) {}
  ~OwnedObject() { reset(); }
  OwnedObject(OwnedObject&& o) noexcept : h_(o.release()) {}
  OwnedObject& operator=(OwnedObject&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  OwnedObject(const OwnedObject&) = delete;
  OwnedObject& operator=(const OwnedObject&) = delete;

  Handle get() const { return h_; }
  operator Handle() const { return h_; }  // passes straight to the GDI calls
  explicit operator bool() const { return h_ != nullptr; }
  [[nodiscard]] Handle release() { return std::exchange(h_, nullptr); }
  void reset(Handle h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }

 private:
  Handle h_ = nullptr;
};

using OwnedPen = OwnedObject<HPEN>;
using OwnedBrush = OwnedObject<HBRUSH>;
using OwnedFont = OwnedObject<HFONT>;
using OwnedBitmap = OwnedObject<HBITMAP>;
using OwnedRegion = OwnedObject<HRGN>;

// A context the caller created (CreateCompatibleDC, CreateDC, CreateSurfaceDC),
// deleted with DeleteDC when the scope ends.
class OwnedDC {
 public:
  OwnedDC() = default;
  explicit OwnedDC(HDC dc) : dc_(dc) {}
  ~OwnedDC() { reset(); }
  OwnedDC(OwnedDC&& o) noexcept : dc_(std::exchange(o.dc_, nullptr)) {}
  OwnedDC& operator=(OwnedDC&& o) noexcept {
    if (this != &o) reset(std::exchange(o.dc_, nullptr));
    return *this;
  }
  OwnedDC(const OwnedDC&) = delete;
  OwnedDC& operator=(const OwnedDC&) = delete;

  HDC get() const { return dc_; }
  operator HDC() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
  void reset(HDC dc = nullptr) {
    if (dc_) DeleteDC(dc_);
    dc_ = dc;
  }

 private:
  HDC dc_ = nullptr;
};

// A memory context like `reference` (the screen when null).
inline OwnedDC MemoryDC(HDC reference) { return OwnedDC(CreateCompatibleDC(reference)); }

// Selects an object into a context and selects the previous one back when the
// scope ends. Nothing happens when either is null or the selection fails.
class SelectedObject {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ obj) {
    if (dc && obj) {
      previous_ = SelectObject(dc, obj);
      if (previous_) dc_ = dc;
    }
  }
  ~SelectedObject() { restore(); }
  SelectedObject(SelectedObject&& o) noexcept
      : dc_(std::exchange(o.dc_, nullptr)), previous_(std::exchange(o.previous_, nullptr)) {}
  SelectedObject& operator=(SelectedObject&& o) noexcept {
    if (this != &o) {
      restore();
      dc_ = std::exchange(o.dc_, nullptr);
      previous_ = std::exchange(o.previous_, nullptr);
    }
    return *this;
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

  HGDIOBJ previous() const { return previous_; }
  // Puts the previous object back now (before the end of the scope).
  void restore() {
    if (dc_) SelectObject(dc_, previous_);
    dc_ = nullptr;
    previous_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// SaveDC now, RestoreDC to that level when the scope ends: colours, modes,
// origin, clip and selected objects all come back.
class SavedDCState {
 public:
  SavedDCState() = default;
  explicit SavedDCState(HDC dc) {
    if (dc && (level_ = SaveDC(dc)) > 0) dc_ = dc;
  }
  ~SavedDCState() { restore(); }
  SavedDCState(SavedDCState&& o) noexcept
      : dc_(std::exchange(o.dc_, nullptr)), level_(std::exchange(o.level_, 0)) {}
  SavedDCState& operator=(SavedDCState&& o) noexcept {
    if (this != &o) {
      restore();
      dc_ = std::exchange(o.dc_, nullptr);
      level_ = std::exchange(o.level_, 0);
    }
    return *this;
  }
  SavedDCState(const SavedDCState&) = delete;
  SavedDCState& operator=(const SavedDCState&) = delete;

  void restore() {
    if (dc_) RestoreDC(dc_, level_);
    dc_ = nullptr;
    level_ = 0;
  }

 private:
  HDC dc_ = nullptr;
  int level_ = 0;
};

}  // namespace ktfolio::win
