// A cell's stored text in 16 bytes: up to 15 bytes inline (most cells of a
// listing: codes, amounts, dates), longer texts in one exact-size block.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ktfolio {

class CellText {
 public:
  CellText() { Clear(); }
  CellText(const CellText& o) { Clear(), assign(o.view()); }
  CellText(CellText&& o) noexcept {
    std::memcpy(raw_, o.raw_, sizeof raw_);
    o.Clear();
  }
  CellText& operator=(const CellText& o) {
    if (this != &o) assign(o.view());
    return *this;
  }
  CellText& operator=(CellText&& o) noexcept {
    if (this != &o) {
      Free();
      std::memcpy(raw_, o.raw_, sizeof raw_);
      o.Clear();
    }
    return *this;
  }
  ~CellText() { Free(); }

  std::string_view view() const {
    if (IsHeap()) return {HeapPtr(), HeapSize()};
    return {raw_, static_cast<std::size_t>(raw_[kTag])};
  }
  std::size_t size() const { return view().size(); }
  bool empty() const { return size() == 0; }

  void assign(std::string_view s) {
    if (IsHeap() && s.data() >= HeapPtr() && s.data() < HeapPtr() + HeapSize()) {
      const std::string copy(s);  // assigning a piece of ourselves
      assign(std::string_view(copy));
      return;
    }
    Free();
    if (s.size() <= kInline) {
      std::memcpy(raw_, s.data(), s.size());
      raw_[kTag] = static_cast<char>(s.size());
      return;
    }
    char* p = new char[s.size()];
    std::memcpy(p, s.data(), s.size());
    const auto n = static_cast<std::uint64_t>(s.size());
    std::memcpy(raw_, &p, sizeof p);
    std::memcpy(raw_ + sizeof p, &n, 7);  // 56 bits of length, the tag byte last
    raw_[kTag] = kHeapTag;
  }

 private:
  static constexpr std::size_t kInline = 15;
  static constexpr std::size_t kTag = 15;
  static constexpr char kHeapTag = static_cast<char>(0x80);

  bool IsHeap() const { return raw_[kTag] == kHeapTag; }
  char* HeapPtr() const {
    char* p;
    std::memcpy(&p, raw_, sizeof p);
    return p;
  }
  std::size_t HeapSize() const {
    std::uint64_t n = 0;
    std::memcpy(&n, raw_ + sizeof(char*), 7);
    return static_cast<std::size_t>(n);
  }
  void Free() {
    if (IsHeap()) delete[] HeapPtr();
    raw_[kTag] = 0;
  }
  void Clear() { raw_[kTag] = 0; }

  alignas(8) char raw_[16];
};

static_assert(sizeof(CellText) == 16);

}  // namespace ktfolio
