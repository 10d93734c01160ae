// A cell's stored text in 12 bytes: up to 11 bytes inline (most cells of a
// listing: codes, quantities, amounts, dates), longer texts in one block that
// starts with their length.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ktfolio {

class CellText {
 public:
  CellText() { raw_[kTag] = 0; }
  CellText(const CellText& o) : CellText() { assign(o.view()); }
  CellText(CellText&& o) noexcept {
    std::memcpy(raw_, o.raw_, sizeof raw_);
    o.raw_[kTag] = 0;
  }
  CellText& operator=(const CellText& o) {
    if (this != &o) assign(o.view());
    return *this;
  }
  CellText& operator=(CellText&& o) noexcept {
    if (this != &o) {
      Free();
      std::memcpy(raw_, o.raw_, sizeof raw_);
      o.raw_[kTag] = 0;
    }
    return *this;
  }
  ~CellText() { Free(); }

  std::string_view view() const {
    if (!IsHeap()) return {raw_, static_cast<std::size_t>(raw_[kTag])};
    const char* block = Block();
    std::size_t n;
    std::memcpy(&n, block, sizeof n);
    return {block + sizeof n, n};
  }
  std::size_t size() const { return view().size(); }
  bool empty() const { return size() == 0; }

  void assign(std::string_view s) {
    if (IsHeap()) {
      const std::string_view mine = view();
      if (s.data() >= mine.data() && s.data() < mine.data() + mine.size()) {
        const std::string copy(s);  // assigning a piece of ourselves
        assign(std::string_view(copy));
        return;
      }
    }
    Free();
    if (s.size() <= kInline) {
      std::memmove(raw_, s.data(), s.size());  // may be a piece of our own inline text
      raw_[kTag] = static_cast<char>(s.size());
      return;
    }
    const std::size_t n = s.size();
    char* block = new char[sizeof n + n];
    std::memcpy(block, &n, sizeof n);
    std::memcpy(block + sizeof n, s.data(), n);
    std::memcpy(raw_, &block, sizeof block);
    raw_[kTag] = kHeapTag;
  }

 private:
  static constexpr std::size_t kInline = 11;
  static constexpr std::size_t kTag = 11;
  static constexpr char kHeapTag = static_cast<char>(0x80);

  bool IsHeap() const { return raw_[kTag] == kHeapTag; }
  char* Block() const {
    char* p;
    std::memcpy(&p, raw_, sizeof p);
    return p;
  }
  void Free() {
    if (IsHeap()) delete[] Block();
    raw_[kTag] = 0;
  }

  char raw_[12];
};

static_assert(sizeof(CellText) == 12);

}  // namespace ktfolio
