// The template text a document was last read from or written to, kept for
// the designer: plain while it is being read or written, deflated once it is
// only kept (a 100 000-row listing's 23 MB shrink to about 2).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "platform/automation/variant.h"

namespace ktfolio {

class DesignText {
 public:
  DesignText() = default;
  DesignText& operator=(const ByteArray& bytes) {
    Assign(std::string(bytes.begin(), bytes.end()));
    return *this;
  }
  void Assign(std::string_view text) { Assign(std::string(text)); }
  void Assign(std::string&& text) {
    plain_ = std::move(text);
    Free(packed_);
    size_ = plain_.size();
  }
  void clear() {
    Free(plain_);
    Free(packed_);
    size_ = 0;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // The text to read or write, plain (inflated again if it was packed).
  std::string_view Text();
  // A copy of the bytes, as they were given.
  ByteArray Bytes() const;
  // Deflates a text large enough to be worth it; a text that cannot be
  // deflated (no memory for it) stays plain.
  void Pack() noexcept;
  bool Packed() const { return !packed_.empty(); }

 private:
  // Assigning an empty string would keep the block (a short string is copied in).
  static void Free(std::string& s) { std::string().swap(s); }

  std::string plain_;   // empty while packed
  std::string packed_;  // empty while plain
  std::size_t size_ = 0;
};

}  // namespace ktfolio
