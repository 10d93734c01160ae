// Private to src/controls/*.cpp: what the button and the frame share: the
// drawing steps, the window plumbing and the persisted-property tables.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/automation/font.h"
#include "platform/automation/picture.h"
#include "platform/container/property_bag.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/user/user.h"

namespace ktfolio::controls {

// A screen font for a font description (points at the screen's resolution);
// the caller deletes it.
win::HFONT CreateScreenFont(const StdFont& font);

// A rectangle with a solid pen of `penWidth` (a null pen when below 1) in
// `penColor` and a solid brush of `brushColor`; colours are RGB.
void OutlinedRect(win::HDC dc, const win::RECT& rc, int penWidth, std::uint32_t penColor, std::uint32_t brushColor);

// Registers a window class once per process; false when it cannot.
bool RegisterControlClass(const char* name, win::WNDPROC proc, win::UINT style);

// Paints through a memory bitmap the size of the client area, copied to
// `target` in one step so the window never shows a half-drawn state.
void PaintBuffered(win::HWND hwnd, win::HDC target, const std::function<void(win::HDC dc, int w, int h)>& draw);

// Paints at once through the window's own device context.
void PaintNow(win::HWND hwnd, const std::function<void(win::HDC)>& paint);

// The messages both controls answer alike: WM_PAINT, no background erase, and
// a repaint after the text or the enabled state changed. True when `msg` was
// one of them, with its answer in `result`.
bool HandleCommon(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam,
                  const std::function<void(win::HDC)>& paint, win::LRESULT& result);

// A window procedure that hands each message to the control stored in the
// window's user data, or to the default one before it is attached.
template <typename Control>
win::LRESULT Route(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam,
                   win::LRESULT (Control::*handle)(win::UINT, win::WPARAM, win::LPARAM)) {
  auto* self = reinterpret_cast<Control*>(win::GetWindowLongPtr(hwnd, win::GWLP_USERDATA));
  return self ? (self->*handle)(msg, wParam, lParam) : win::DefWindowProc(hwnd, msg, wParam, lParam);
}

// How a field's type goes into a bag and comes back: colours are stored as
// signed longs, as the form files have always held them.
template <typename T>
struct Stored {
  static Variant Out(const T& v) { return Variant(v); }
  static T In(const Variant& v) {
    if constexpr (std::is_same_v<T, bool>) return v.ToBool();
    else if constexpr (std::is_same_v<T, std::int16_t>) return v.ToInteger();
    else if constexpr (std::is_same_v<T, std::int32_t>) return v.ToLong();
    else return v.ToString();
  }
};
template <>
struct Stored<std::uint32_t> {
  static Variant Out(std::uint32_t v) { return Variant(static_cast<std::int32_t>(v)); }
  static std::uint32_t In(const Variant& v) { return static_cast<std::uint32_t>(v.ToLong()); }
};

// One persisted property: its bag key, its default (some defaults come from
// the container, hence per control), how to read it and how to apply a
// stored value. A control's table lists them in bag order.
template <typename Control>
struct Property {
  std::string name;
  std::function<Variant(const Control&)> byDefault;
  std::function<Variant(const Control&)> get;
  std::function<void(Control&, const Variant&)> set;
};
template <typename Control>
using PropertyTable = std::vector<Property<Control>>;

// A row for a plain field with a fixed default.
template <typename Control, typename T>
Property<Control> Field(std::string name, T Control::*field, std::type_identity_t<T> fallback) {
  return {std::move(name), [fallback](const Control&) { return Stored<T>::Out(fallback); },
          [field](const Control& c) { return Stored<T>::Out(c.*field); },
          [field](Control& c, const Variant& v) { c.*field = Stored<T>::In(v); }};
}

// A row for a plain field whose default is another field of the control.
template <typename Control, typename T>
Property<Control> Field(std::string name, T Control::*field, T Control::*fallback) {
  return {std::move(name), [fallback](const Control& c) { return Stored<T>::Out(c.*fallback); },
          [field](const Control& c) { return Stored<T>::Out(c.*field); },
          [field](Control& c, const Variant& v) { c.*field = Stored<T>::In(v); }};
}

// Each key in table order, with its default or its current value.
template <typename Persisted, typename Control>
std::vector<Persisted> ListProperties(const Control& c, const PropertyTable<Control>& table, bool defaults) {
  std::vector<Persisted> out;
  for (const Property<Control>& p : table) out.push_back({p.name, defaults ? p.byDefault(c) : p.get(c)});
  return out;
}

// Reads every key through `read` (given the key and its default) in table
// order and applies what it returns.
template <typename Control>
void ReadTable(Control& c, const PropertyTable<Control>& table,
               const std::function<Variant(const std::string&, const Variant&)>& read) {
  for (const Property<Control>& p : table) p.set(c, read(p.name, p.byDefault(c)));
}

// Writes each value under its key, leaving out those equal to their default.
template <typename Control>
void WriteTable(const Control& c, const PropertyTable<Control>& table, PropertyBag& bag) {
  for (const Property<Control>& p : table) bag.WriteProperty(p.name, p.get(c), p.byDefault(c));
}

// A picture goes into the bag as PNG bytes; none stores nothing. Bytes that
// are not an image read back as no picture, so the rest of the bag still loads.
void WritePicture(PropertyBag& bag, std::string_view name, const std::shared_ptr<Picture>& picture);
std::shared_ptr<Picture> ReadPicture(const PropertyBag& bag, std::string_view name);

}  // namespace ktfolio::controls
