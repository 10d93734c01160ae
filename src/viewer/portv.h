// PortV: the scrollable viewport of the preview. It shows one page-sized
// surface: on each repaint it prepares an off-screen page (background, page
// colour, drop shadow), lets its owner draw the content into it through the
// paint event, and copies the visible part to the window in two block copies,
// so the screen never shows a half-drawn page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/automation/variant.h"
#include "platform/container/property_bag.h"
#include "platform/user/user.h"

namespace ktfolio {

class PortV {
 public:
  // A run-time viewport: a child window of `parent` with both scroll-bar
  // styles, flat bars initialised, scroll messages handled. `ambientBackColor`
  // is the container's background colour, the default of BackColor.
  PortV(win::HWND parent, std::uint32_t ambientBackColor);
  ~PortV();
  PortV(const PortV&) = delete;
  PortV& operator=(const PortV&) = delete;

  win::HWND hwnd() const { return hwnd_; }

  // ---- persisted properties ---------------------------------------------------
  std::int32_t ScrollBars() const { return scrollBars_; }
  void ScrollBars(std::int32_t v);
  std::int32_t Value() const;  // position of the active bar
  void Value(std::int32_t v);
  std::int16_t LargeChangeHORZ() const { return largeChangeHorz_; }
  void LargeChangeHORZ(std::int16_t v) { largeChangeHorz_ = v; }
  std::int16_t LargeChangeVERT() const { return largeChangeVert_; }
  void LargeChangeVERT(std::int16_t v) { largeChangeVert_ = v; }
  std::int16_t SmallChangeHORZ() const { return smallChangeHorz_; }
  void SmallChangeHORZ(std::int16_t v) { smallChangeHorz_ = v; }
  std::int16_t SmallChangeVERT() const { return smallChangeVert_; }
  void SmallChangeVERT(std::int16_t v) { smallChangeVert_ = v; }
  std::int32_t Style() const { return style_; }
  // Refused (false, nothing changes) for a style other than 0 when flat bars
  // are not available, or outside 0..2.
  bool Style(std::int32_t v);
  std::int32_t BorderStyle() const { return borderStyle_; }
  void BorderStyle(std::int32_t v);
  bool AutoRedraw() const { return autoRedraw_; }
  void AutoRedraw(bool v) { autoRedraw_ = v; }
  bool Enabled() const { return enabled_; }
  void Enabled(bool v);
  bool ModePage() const { return modePage_; }
  void ModePage(bool v) { modePage_ = v; }
  bool AutoScroll() const { return autoScroll_; }
  void AutoScroll(bool v);
  std::uint32_t BackColor() const { return backColor_; }
  void BackColor(std::uint32_t v) { backColor_ = v; }
  std::uint32_t PageBackColor() const { return pageBackColor_; }
  void PageBackColor(std::uint32_t v) { pageBackColor_ = v; }

  // The persisted properties in reading order, with their defaults (BackColor's
  // is the ambient colour given at creation).
  struct Persisted {
    std::string name;
    Variant value;
  };
  std::vector<Persisted> PersistedDefaults() const;
  // Reads each persisted property through `read` (name, default) in order;
  // writes them through `write`. Values are converted as the setters take them.
  void ReadProperties(const std::function<Variant(const std::string&, const Variant&)>& read);
  void WriteProperties(const std::function<void(const std::string&, const Variant&)>& write) const;
  // The same through the container's property bag; defaults are not stored.
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // ---- run-time state -------------------------------------------------------------
  std::int32_t ActiveBar() const { return activeBar_; }
  void ActiveBar(std::int32_t v) { activeBar_ = v == 0 ? 0 : 1; }
  std::int32_t Min() const;
  void Min(std::int32_t v);
  std::int32_t Max() const;
  void Max(std::int32_t v);
  // The page size in twips, set by the owner; the bars are rebuilt.
  std::int32_t ViewWidth() const { return viewWidth_; }
  void ViewWidth(std::int32_t v);
  std::int32_t ViewHeight() const { return viewHeight_; }
  void ViewHeight(std::int32_t v);
  // The visible client size in twips.
  std::int32_t ScaleWidth() const;
  std::int32_t ScaleHeight() const;
  bool CanBeFlat() const { return true; }

  // Repaints now: page surface, paint event, two block copies.
  void DrawDC();
  // Refreshes the window and repaints.
  void Refresh();
  // Where the page's visible part starts, in pixels of the page surface.
  void GetViewOffset(std::int32_t& X, std::int32_t& Y) const;

  // ---- events, in the order the viewport declares them ----------------------------------
  std::function<void()> Scroll;   // the thumb moved
  std::function<void()> Change;   // a bar's value changed
  std::function<void(win::HDC& hdc)> Paint;
  // Client x and y of the pointer, then the view offset x and y (pixels).
  std::function<void(std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&)> Click;
  std::function<void(std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&)> DblClick;
  std::function<void(std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&, std::int16_t, std::int16_t)>
      MouseDown;
  std::function<void(std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&, std::int16_t, std::int16_t)>
      MouseUp;

  // The range of each bar; Value / Max is the scrolled fraction of the page.
  static constexpr std::int32_t kRangeMax = 100;

 private:
  static win::LRESULT WndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  win::LRESULT Handle(win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  void OnScroll(int bar, int code);
  void OnMouse(win::UINT msg, win::LPARAM lParam);
  void OnPaintMessage();
  void RebuildBars();
  void ShowBar(int bar, bool show);
  int Bar() const { return activeBar_ == 0 ? win::SB_HORZ : win::SB_VERT; }
  std::int32_t Position(int bar) const;
  void SetValue(int bar, std::int32_t v);
  void PaintInto(win::HDC target);
  void Place(int bar, int pageSize, int visibleSize, int& src, int& dst, int& extent) const;
  void RaiseChange();

  win::HWND hwnd_ = nullptr;
  std::int32_t scrollBars_ = 1;
  std::int16_t largeChangeHorz_ = 10, largeChangeVert_ = 10;
  std::int16_t smallChangeHorz_ = 1, smallChangeVert_ = 1;
  std::int32_t style_ = 0;
  std::int32_t borderStyle_ = 0;
  bool autoRedraw_ = false;
  bool enabled_ = true;
  bool modePage_ = true;
  bool autoScroll_ = true;
  std::uint32_t ambientBackColor_;
  std::uint32_t backColor_;
  std::uint32_t pageBackColor_ = 0xFFFFFF;
  std::int32_t activeBar_ = 0;
  std::int32_t viewWidth_ = 0, viewHeight_ = 0;
  bool rebuilding_ = false;
  bool mouseDown_ = false;
};

}  // namespace ktfolio
