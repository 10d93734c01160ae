// Measuring half of the cell: field-code expansion, font set-up and GetHeight.
#include <cmath>

#include "model/clsbitmap.h"
#include "model/host.h"
#include "model/textitem.h"
#include "platform/automation/datetime.h"

namespace ktfolio {

using namespace win;

namespace {
// Nearest integer, ties to even, as device coordinates are taken.
long Nint(double v) { return static_cast<long>(RoundHalfEven(v)); }
}  // namespace

void KtTextItem::ExpandText(const std::string& text, std::string& result) const {
  std::string s = text;
  if (s.find('%') != std::string::npos) {
    const std::int32_t page = parentControl_ ? parentControl_->CurrentPage() : 0;
    const std::int32_t pages = parentControl_ ? parentControl_->PageCount() : 0;
    s = ReplaceAll(std::move(s), "%p", std::to_string(page));
    s = ReplaceAll(std::move(s), "%n", std::to_string(pages));
    static const struct {
      const char* code;
      NamedDateFormat format;
    } kDates[] = {{"%sd", NamedDateFormat::ShortDate},
                  {"%gd", NamedDateFormat::GeneralDate},
                  {"%ld", NamedDateFormat::LongDate},
                  {"%lt", NamedDateFormat::LongTime},
                  {"%st", NamedDateFormat::ShortTime}};
    for (const auto& d : kDates)
      if (s.find(d.code) != std::string::npos) s = ReplaceAll(std::move(s), d.code, FormatDate(Now(), d.format));
  }
  if (s.find('<') != std::string::npos) s = ReplaceAll(ReplaceAll(std::move(s), "<cr>", "\r"), "<lf>", "\n");
  result = std::move(s);
}

void KtTextItem::ReleaseFont(HDC hdc, HFONT& font) {
  if (!hdc || !font) return;
  SelectObject(hdc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
  font = nullptr;
}

HFONT KtTextItem::SetFont(HDC hdc, HFONT oldFont, double zoom) {
  if (oldFont) ReleaseFont(hdc, oldFont);
  LOGFONT lf;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfItalic = FontItalic_ ? 1 : 0;
  lf.lfUnderline = FontUnderline_ ? 1 : 0;
  lf.lfStrikeOut = FontStrikethru_ ? 1 : 0;
  lf.lfWeight = FontBold_ ? FW_BOLD : FW_NORMAL;
  if (fontName_.size() >= static_cast<size_t>(LF_FACESIZE))
    throw SubscriptError();  // face name field overflow
  fontName_.copy(lf.lfFaceName, fontName_.size());
  lf.lfFaceName[fontName_.size()] = 0;
  lf.lfHeight = -static_cast<LONG>(Nint(FontSize_ * GetDeviceCaps(hdc, LOGPIXELSY) * zoom / 100.0 / 72.0));
  HFONT font = CreateFontIndirect(&lf);
  if (!font) {
    RecordError(60104, "SetFont Function", "No Description");
    return nullptr;
  }
  return font;
}

void KtTextItem::GetHeight(HDC hdc, float right) {
  try {
    std::string text;
    ExpandText(text_, text);
    const double dpiX = GetDeviceCaps(hdc, LOGPIXELSX);
    const double dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
    if (dpiY <= 0) return;
    const double first = IndentFirst_ * dpiX / 1440.0;
    const double left = IndentLeft_ * dpiX / 1440.0;
    const double rightIndent = IndentRight_ * dpiX / 1440.0;
    const double tab = TabLeft_ * dpiX / 1440.0;
    const double width = right * dpiX / 1440.0;
    const double frame = FrameControl_ != 0 ? FrameControlSize_ * dpiX / 1440.0 : 0.0;
    const double w = width - left - rightIndent - tab - frame;

    if (picture_) {
      itemHeight_ = static_cast<float>(picture_->Height() * 1440.0 / dpiY);
      return;
    }
    const int saved = SaveDC(hdc);
    HFONT font = SetFont(hdc, nullptr, 100.0);
    HGDIOBJ previous = font ? SelectObject(hdc, font) : nullptr;
    SetBkMode(hdc, TRANSPARENT);
    RECT rc{0, 0, static_cast<LONG>(Nint(w)), 1};
    UINT flags = WordWrap_ ? DT_WORDBREAK : 0;
    if (first > 0) {
      INT spaceWidth = 0;
      if (GetCharWidth32(hdc, ' ', ' ', &spaceWidth) && spaceWidth > 0)
        text.insert(0, static_cast<size_t>(Nint(first) / spaceWidth), ' ');
    }
    const int height = DrawText(hdc, text.c_str(), -1, &rc, flags | DT_CALCRECT);
    itemHeight_ = static_cast<float>(height * 1440.0 / dpiY);
    if (previous) SelectObject(hdc, previous);
    if (font) DeleteObject(font);
    RestoreDC(hdc, saved);
  } catch (const Error& e) {
    RecordError(e.number(), e.source(), e.description());
  } catch (const std::exception& e) {
    RecordError(errnum::kInvalidProcedureCall, kLibraryName, e.what());
  }
}

}  // namespace ktfolio
