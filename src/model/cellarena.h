// Blocks for the cells of a collection's rows, cut one after the other from
// large chunks: a row costs no allocator call and no allocator header. A
// block given back is kept for the next block of its size or a little
// smaller; the chunks go all together, once no row is left (as the rows' own
// blocks do).
#pragma once

#include <cstddef>
#include <vector>

namespace ktfolio {

class CellArena {
 public:
  // Blocks larger than this (rows of well over a hundred cells) are the
  // caller's to get elsewhere.
  static constexpr std::size_t kLargest = 4096;

  CellArena() = default;
  ~CellArena() { Release(); }
  CellArena(const CellArena&) = delete;
  CellArena& operator=(const CellArena&) = delete;

  // A block of at least `bytes`, aligned as a pointer is; nullptr when larger than kLargest.
  void* Allocate(std::size_t bytes);
  // Gives back a block this arena made, of `bytes` (as asked of Allocate),
  // for a later one of its size.
  void Free(void* block, std::size_t bytes);
  // Every chunk, once no block of them is in use.
  void Release();

 private:
  static constexpr std::size_t kChunk = 64 * 1024;
  static constexpr std::size_t kLarger = 8;  // classes above the one asked for that may serve it
  static constexpr std::size_t kGrain = 8;  // block sizes, rounded up to this, make the classes
  static std::size_t Class(std::size_t bytes) { return (bytes + kGrain - 1) / kGrain; }
  static_assert(kGrain >= sizeof(void*) && kGrain % alignof(void*) == 0);  // a free block holds a pointer

  std::vector<void*> chunks_;
  std::size_t used_ = kChunk;  // of the last chunk
  std::vector<void*> free_;    // per class, a list through each block's first bytes
  std::size_t freeBlocks_ = 0;  // in all the lists: none (rows only added) needs no search
};

}  // namespace ktfolio
