// libFuzzer target: every Variant conversion and dispatch coercion on values
// built from the input. A conversion either succeeds or throws ktfolio::Error
// (overflow, type mismatch, invalid argument); nothing else may happen.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/automation/dispatch.h"
#include "platform/automation/variant.h"

using namespace ktfolio;

namespace {

Variant Build(const std::uint8_t* data, std::size_t size, int depth = 0) {
  if (size == 0) return Variant();
  const std::uint8_t kind = data[0] % 9;
  ++data;
  --size;
  auto take = [&](auto& out) {
    std::memset(&out, 0, sizeof out);
    std::memcpy(&out, data, std::min(size, sizeof out));
  };
  switch (kind) {
    case 0: return Variant();
    case 1: return Variant(size > 0 && (data[0] & 1));
    case 2: { std::int16_t v; take(v); return Variant(v); }
    case 3: { std::int32_t v; take(v); return Variant(v); }
    case 4: { float v; take(v); return Variant(v); }
    case 5: { double v; take(v); return Variant(v); }
    case 6: return Variant(std::string(reinterpret_cast<const char*>(data), size));
    case 7: return Variant(ByteArray(data, data + size));
    default: {
      VariantArray items;
      if (depth < 4)
        for (std::size_t half = size / 2; size > 0 && items.size() < 3; data += half, size -= half, half = size / 2 + 1)
          items.push_back(Build(data, std::min(size, half + 1), depth + 1));
      return Variant(std::move(items));
    }
  }
}

template <typename F>
void Try(F f) {
  try {
    f();
  } catch (const Error& e) {
    const auto n = e.number();
    if (n != ErrorCode::kOverflow && n != ErrorCode::kTypeMismatch && n != ErrorCode::kInvalidProcedureCall) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Variant v = Build(data, size);
  Try([&] { (void)v.ToString(); });
  Try([&] { (void)v.ToBool(); });
  Try([&] {
    const std::int32_t l = v.ToLong();
    // A Long read back as a Double is the same number.
    if (Variant(l).ToDouble() != static_cast<double>(l)) __builtin_trap();
  });
  Try([&] { (void)v.ToInteger(); });
  Try([&] {
    const float f = v.ToSingle();
    if (std::isfinite(f) && CheckedFinite(f) != f) __builtin_trap();
  });
  Try([&] { (void)v.ToDouble(); });
  Try([&] { (void)ToColor(v); });
  Try([&] { (void)v.ToBytes(); });
  Try([&] { (void)(v == v); });
  for (DispType t : {DispType::Boolean, DispType::Integer, DispType::Long, DispType::Single, DispType::Double,
                     DispType::String, DispType::Color, DispType::Variant})
    Try([&] { (void)Coerce(t, v); });
  return 0;
}
