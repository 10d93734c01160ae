// A cell's stored text in 12 bytes: up to 11 bytes inline (most cells of a
// listing: codes, quantities, amounts, dates), longer texts in a record that
// starts with their length: a block of their own, or a record in room their
// row's cells share (Borrow), which lives as long as the cells' block.
#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
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
    if (!IsOut()) return {raw_, static_cast<std::size_t>(raw_[kTag])};
    const char* block = Block();
    std::uint32_t n;
    std::memcpy(&n, block, sizeof n);
    return {block + sizeof n, n};
  }
  std::size_t size() const { return view().size(); }
  bool empty() const { return size() == 0; }

  void assign(std::string_view s) {
    if (IsOut()) {
      const std::string_view mine = view();
      if (s.data() >= mine.data() && s.data() < mine.data() + mine.size()) {
        const std::string copy(s);  // assigning a piece of ourselves
        assign(std::string_view(copy));
        return;
      }
    }
    Free();
    Set(s);  // may be a piece of our own inline text
  }

  // Texts longer than this are kept out of line, in a record.
  static constexpr std::size_t kInline = 11;
  // The bytes a record of a text of n bytes takes: its length in four bytes
  // (a cell's text is far shorter; a row's cells and their texts then fit
  // the allocator's next smaller size more often), then the text.
  static constexpr std::size_t RecordSize(std::size_t n) { return sizeof(std::uint32_t) + n; }
  // Writes a text's record at `at` (RecordSize(s.size()) bytes); returns `at`.
  static char* WriteRecord(char* at, std::string_view s) {
    CheckRecordable(s.size());
    const auto n = static_cast<std::uint32_t>(s.size());
    std::memcpy(at, &n, sizeof n);
    std::memcpy(at + sizeof n, s.data(), n);
    return at;
  }
  // Takes a record someone else keeps (WriteRecord) as the text, without a
  // copy. The record must outlive this text and every text moved from it.
  void Borrow(const char* record) {
    Free();
    std::memcpy(raw_, &record, sizeof record);
    raw_[kTag] = kBorrowedTag;
  }
  bool Borrowed() const { return raw_[kTag] == kBorrowedTag; }
  // A borrowed text copied into a block of its own (before its record goes).
  // Without memory for it, throws and leaves the text borrowed as it was.
  void Own() {
    if (!Borrowed()) return;
    Set(view());
  }

 private:
  static constexpr std::size_t kTag = 11;
  static constexpr char kHeapTag = static_cast<char>(0x80);
  static constexpr char kBorrowedTag = static_cast<char>(0x81);

  // Copies n <= 11 bytes without a call (most cells' texts): every byte is
  // read before any is written, so `from` may overlap `to`.
  static void CopyShort(char* to, const char* from, std::size_t n) {
    if (n >= 8) {
      std::uint64_t a, b;
      std::memcpy(&a, from, 8);
      std::memcpy(&b, from + n - 8, 8);
      std::memcpy(to, &a, 8);
      std::memcpy(to + n - 8, &b, 8);
    } else if (n >= 4) {
      std::uint32_t a, b;
      std::memcpy(&a, from, 4);
      std::memcpy(&b, from + n - 4, 4);
      std::memcpy(to, &a, 4);
      std::memcpy(to + n - 4, &b, 4);
    } else if (n > 0) {
      const char a = from[0], b = from[n / 2], c = from[n - 1];
      to[0] = a;
      to[n / 2] = b;
      to[n - 1] = c;
    }
  }
  // The text inline, or (longer than kInline) in a block of its own; what was
  // there is not freed. Without memory for the block, throws and changes nothing.
  void Set(std::string_view s) {
    if (s.size() <= kInline) {
      CopyShort(raw_, s.data(), s.size());
      raw_[kTag] = static_cast<char>(s.size());
      return;
    }
    CheckRecordable(s.size());
    char* block = WriteRecord(new char[RecordSize(s.size())], s);
    std::memcpy(raw_, &block, sizeof block);
    raw_[kTag] = kHeapTag;
  }
  static void CheckRecordable(std::size_t n) {
    if (n > UINT32_MAX) throw std::length_error("a cell text of 4 GB or more");
  }
  bool IsHeap() const { return raw_[kTag] == kHeapTag; }
  bool IsOut() const { return IsHeap() || Borrowed(); }
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
