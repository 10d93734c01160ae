// Private to src/controls: what the companion controls' published interfaces
// (kttext_dispatch.cpp, companion_dispatch.cpp) share: the member types by
// short name, by-reference parameters, colours as the signed longs a host
// sees, and the one-line property macros over a control `t` whose accessors
// carry the property's name.
#pragma once

#include <cstdint>

#include "platform/automation/dispatch.h"
#include "platform/automation/variant.h"

namespace ktfolio::publish {

inline constexpr auto B = DispType::Boolean;
inline constexpr auto I = DispType::Integer;
inline constexpr auto L = DispType::Long;
inline constexpr auto D = DispType::Double;
inline constexpr auto S = DispType::Single;
inline constexpr auto C = DispType::Color;
inline constexpr auto Str = DispType::String;

inline DispParam ByRef(DispParam p) {
  p.byRef = true;
  return p;
}

inline Variant ColorValue(std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); }

}  // namespace ktfolio::publish

#define KT_BOOL(N) AddProperty(#N, B, [t] { return Variant(t->N()); }, [t](const Variant& v) { t->N(v.ToBool()); })
#define KT_LONG(N) AddProperty(#N, L, [t] { return Variant(static_cast<std::int32_t>(t->N())); }, \
                               [t](const Variant& v) { t->N(v.ToLong()); })
#define KT_INT(N) AddProperty(#N, I, [t] { return Variant(t->N()); }, [t](const Variant& v) { t->N(v.ToInteger()); })
#define KT_STR(N) AddProperty(#N, Str, [t] { return Variant(std::string(t->N())); }, \
                              [t](const Variant& v) { t->N(v.ToString()); })
#define KT_COLOR(N) AddProperty(#N, C, [t] { return ColorValue(t->N()); }, [t](const Variant& v) { t->N(ToColor(v)); })
