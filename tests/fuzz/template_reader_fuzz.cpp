// libFuzzer target: arbitrary bytes as template text. Reading must never
// crash, and whatever it accepts must write back to text that reads, and
// that settles to bytes reading and writing no longer change.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "control/ktprint4_impl.h"

namespace {

using ktfolio::ByteArray;
using ktfolio::KtPrint4Impl;

// Pictures load through the platform's image decoder from any path the text
// names (a device file would block); their key is renamed out of the way.
void DisarmPictures(ByteArray& bytes) {
  static const char kKey[] = "BITMAP=";
  const std::size_t n = sizeof kKey - 1;
  for (std::size_t i = 0; i + n <= bytes.size(); ++i)
    if (std::memcmp(&bytes[i], kKey, n) == 0) bytes[i + n - 2] = 'X';
}

bool Failed(const KtPrint4Impl& c) {
  std::int32_t number = 0;
  std::string description, source;
  return c.GetLastError(number, description, source);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteArray input(data, data + size);
  DisarmPictures(input);

  KtPrint4Impl first;
  first.SetDsnArray(input);
  if (Failed(first)) return 0;

  // A read never keeps dInheritLastRow, so the text settles one round after
  // the first write; from there on it must not change.
  ByteArray once, twice, thrice;
  first.GetDsnArray(once);
  KtPrint4Impl second, third;
  second.SetDsnArray(once);
  if (Failed(second)) std::abort();  // the writer's own text must always read
  second.GetDsnArray(twice);
  third.SetDsnArray(twice);
  if (Failed(third)) std::abort();
  third.GetDsnArray(thrice);
  if (twice != thrice) std::abort();
  return 0;
}
