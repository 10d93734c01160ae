// OLE colours to COLORREFs: the one rule every control and painter draws with.
#include "platform/gdi/gdi.h"

namespace ktfolio::win {
namespace {

constexpr DWORD kKindMask = 0xFF000000u;
constexpr DWORD kValueMask = 0x00FFFFFFu;
constexpr DWORD kSystemColor = 0x80000000u;
constexpr DWORD kPaletteRgb = 0x02000000u;
constexpr DWORD kSystemColorCount = 31;  // the indices GetSysColor knows

}  // namespace

HRESULT OleTranslateColor(OLE_COLOR clr, HPALETTE, COLORREF* color) {
  const DWORD kind = clr & kKindMask;
  const DWORD value = clr & kValueMask;
  if (kind == kSystemColor) {
    if (value >= kSystemColorCount) return E_INVALIDARG;
    if (color) *color = GetSysColor(static_cast<int>(value)) & kValueMask;
    return S_OK;
  }
  if (kind != 0 && kind != kPaletteRgb) return E_INVALIDARG;
  if (color) *color = value;
  return S_OK;
}

COLORREF OleTranslateColor(OLE_COLOR clr) {
  COLORREF color = 0;
  if (OleTranslateColor(clr, nullptr, &color) == S_OK) return color;
  return (clr & kKindMask) == kSystemColor ? 0 : clr & kValueMask;
}

}  // namespace ktfolio::win
