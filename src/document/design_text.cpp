// Keeping the design text deflated with zlib.
#include "document/design_text.h"

#include <zlib.h>

#include <memory>
#include <new>

#include "platform/automation/error.h"

namespace ktfolio {

namespace {

// Below this a text costs too little to be worth the time of packing it.
constexpr std::size_t kPackFrom = 64 * 1024;
// The last of zlib's fast levels: as quick as the first on template text
// (about 90 ms for a 100 000-row listing) and a tenth smaller than it.
constexpr int kLevel = 3;

// The plain text of a packed one of `size` bytes, into `out` (out.data() must have `size` bytes).
void Inflate(const std::string& packed, std::size_t size, Bytef* out) {
  uLongf got = static_cast<uLongf>(size);
  if (uncompress(out, &got, reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size())) != Z_OK ||
      got != size)
    throw Error(ErrorCode::kOutOfMemory, kLibraryName, "Out of memory: the kept template text cannot be restored");
}

}  // namespace

std::string_view DesignText::Text() {
  if (Packed()) {
    std::string plain(size_, '\0');
    Inflate(packed_, size_, reinterpret_cast<Bytef*>(plain.data()));
    plain_ = std::move(plain);
    Free(packed_);
  }
  return plain_;
}

ByteArray DesignText::Bytes() const {
  if (!Packed()) return ByteArray(plain_.begin(), plain_.end());
  ByteArray bytes(size_);
  Inflate(packed_, size_, bytes.data());
  return bytes;
}

void DesignText::Pack() noexcept {
  if (Packed() || size_ < kPackFrom) return;
  try {
    // Uninitialised: only the pages deflate writes to become resident.
    const uLong bound = compressBound(static_cast<uLong>(size_));
    const std::unique_ptr<Bytef[]> out(new Bytef[bound]);
    uLongf got = bound;
    if (compress2(out.get(), &got, reinterpret_cast<const Bytef*>(plain_.data()), static_cast<uLong>(size_),
                  kLevel) != Z_OK)
      return;
    packed_.assign(reinterpret_cast<const char*>(out.get()), got);
    Free(plain_);
  } catch (const std::bad_alloc&) {
    Free(packed_);
  }
}

}  // namespace ktfolio
