#include "model/cellarena.h"

#include <cstring>
#include <new>

namespace ktfolio {

void* CellArena::Allocate(std::size_t bytes) {
  if (bytes > kLargest) return nullptr;
  if (free_.empty()) free_.resize(Class(kLargest) + 1, nullptr);  // so that Free never allocates
  const std::size_t c = Class(bytes == 0 ? 1 : bytes);
  // A block given back of this size or a little larger: rows whose texts
  // vary in length then reuse each other's blocks. A larger block comes back
  // (Free) as the size asked now, its tail unused.
  if (freeBlocks_ > 0)
    for (std::size_t k = c; k < free_.size() && k <= c + kLarger; ++k)
      if (free_[k]) {
        void* block = free_[k];
        std::memcpy(&free_[k], block, sizeof(void*));  // the next in the list
        --freeBlocks_;
        return block;
      }
  const std::size_t size = c * kGrain;
  if (used_ + size > kChunk) {
    chunks_.reserve(chunks_.size() + 1);
    chunks_.push_back(::operator new(kChunk));
    used_ = 0;
  }
  void* block = static_cast<char*>(chunks_.back()) + used_;
  used_ += size;
  return block;
}

void CellArena::Free(void* block, std::size_t bytes) {
  if (!block) return;
  const std::size_t c = Class(bytes == 0 ? 1 : bytes);
  std::memcpy(block, &free_[c], sizeof(void*));
  free_[c] = block;
  ++freeBlocks_;
}

void CellArena::Release() {
  for (void* chunk : chunks_) ::operator delete(chunk);
  chunks_.clear();
  free_.clear();
  freeBlocks_ = 0;
  used_ = kChunk;
}

}  // namespace ktfolio
