// Private to src/controls/kttext*.cpp: text helpers the formatted text box's
// files share.
#pragma once

#include <cstdint>
#include <string>

#include "controls/kttext.h"

namespace ktfolio::kttext {

// The edit window counts characters, not bytes; these convert at that border.
std::u32string ToU32(const std::string& s);
std::string ToU8(const std::u32string& s);
std::int32_t Length(const std::string& s);  // in characters
// Upper case of a Latin-1 character code, and of a text's Latin-1 letters.
std::int16_t UpperOf(std::int16_t c);
std::string UpperText(const std::string& s);

// Formats `value` with a numeric picture ("0", "#", "." decimal point, ","
// thousands grouping, quoted or plain literals before and after the digits).
// The decimal point comes out as "," and the thousands mark as ".". False when
// the picture cannot be used (no digit placeholder, two decimal points, an
// unterminated quote, literals among the digits).
bool FormatWithPicture(double value, const std::string& picture, std::string& out);

}  // namespace ktfolio::kttext

namespace ktfolio {

// The face the accelerator hook wraps: the control's OLE object and in-place
// active object. It has no accelerators of its own, and its client site is the
// one the host gave.
class KtText::OleFace final : public ole::IOleObject, public ole::IOleInPlaceActiveObject {
 public:
  ole::HRESULT QueryInterface(const ole::IID& riid, void** ppv) override {
    if (!ppv) return ole::E_POINTER;
    if (ole::IsEqualGUID(riid, ole::IID_IUnknown()) || ole::IsEqualGUID(riid, ole::IID_IOleObject()))
      *ppv = static_cast<ole::IOleObject*>(this);
    else if (ole::IsEqualGUID(riid, ole::IID_IOleInPlaceActiveObject()))
      *ppv = static_cast<ole::IOleInPlaceActiveObject*>(this);
    else
      return *ppv = nullptr, ole::E_NOINTERFACE;
    AddRef();
    return ole::S_OK;
  }
  ole::ULONG AddRef() override { return ++refs; }
  ole::ULONG Release() override { return --refs; }
  ole::HRESULT GetClientSite(ole::IOleClientSite** out) override {
    if (!out) return ole::E_POINTER;
    *out = site;
    if (!site) return ole::E_FAIL;
    site->AddRef();
    return ole::S_OK;
  }
  ole::HRESULT GetWindow(win::HWND* h) override { return h ? (*h = hwnd, ole::S_OK) : ole::E_POINTER; }
  ole::HRESULT ContextSensitiveHelp(win::BOOL) override { return ole::S_OK; }
  ole::HRESULT TranslateAccelerator(win::MSG*) override { return ole::S_FALSE; }
  ole::HRESULT OnFrameWindowActivate(win::BOOL) override { return ole::S_OK; }
  ole::HRESULT OnDocWindowActivate(win::BOOL) override { return ole::S_OK; }
  ole::HRESULT ResizeBorder(const win::RECT*, ole::IOleInPlaceUIWindow*, win::BOOL) override { return ole::S_OK; }
  ole::HRESULT EnableModeless(win::BOOL) override { return ole::S_OK; }

  ole::IOleClientSite* site = nullptr;
  win::HWND hwnd = nullptr;
  ole::ULONG refs = 0;
};

}  // namespace ktfolio
