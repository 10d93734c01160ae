// Measuring half of the cell: field-code expansion, font set-up and GetHeight.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "model/clsbitmap.h"
#include "model/host.h"
#include "model/text_width.h"
#include "model/textitem.h"
#include "platform/automation/datetime.h"
#include "platform/gdi/gdi_scoped.h"

namespace ktfolio {

using namespace win;

namespace {

// Font heights beyond this many pixels would overflow the text layout's own
// fixed-point sizes (1/1024 pixel in a 32-bit int).
constexpr double kMaxFontPixels = 1 << 20;

// Nearest integer, ties to even, as device coordinates are taken. Device
// coordinates are 32-bit: a measure that does not fit is an overflow.
LONG DeviceInt(double v) {
  const double r = RoundHalfEven(v);
  if (!(r >= INT32_MIN && r <= INT32_MAX)) throw Overflow();
  return static_cast<LONG>(r);
}

// Text measuring adds up line heights and character widths in 32-bit
// integers; refuse a cell whose worst case (every character on its own line,
// or every character on one line) could not be added up.
void CheckTextFits(HDC hdc, std::size_t chars) {
  TEXTMETRIC tm;
  if (GetTextMetrics(hdc, &tm) && chars >= MostMeasurableBytes(tm)) throw Overflow();
}

// The spaces that stand for a first-line indent of `pixels`. Spaces wider than
// the line only push the first word past it, so no more than one line's worth
// plus one is ever needed: the count is worked out, not measured.
std::size_t IndentSpaces(double pixels, INT spaceWidth, double lineWidth) {
  const double wanted = std::floor(RoundHalfEven(pixels) / spaceWidth);
  const double enough = std::floor(std::max(lineWidth, 0.0) / spaceWidth) + 1.0;
  return static_cast<std::size_t>(std::min(wanted, enough));
}

}  // namespace

void KtTextItem::ExpandText(std::string_view text, std::string& result) const {
  std::string s(text);
  if (s.find('%') != std::string::npos) {
    const DocumentHost* host = ParentControl();
    const std::int32_t page = host ? host->CurrentPage() : 0;
    const std::int32_t pages = host ? host->PageCount() : 0;
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

bool KtTextItem::FillLogFont(int dpiY, double zoom, LOGFONT& lf) const {
  const CellStyleData& st = *style_;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfItalic = st.FontItalic ? 1 : 0;
  lf.lfUnderline = st.FontUnderline ? 1 : 0;
  lf.lfStrikeOut = st.FontStrikethru ? 1 : 0;
  lf.lfWeight = st.FontBold ? FW_BOLD : FW_NORMAL;
  if (st.fontName.size() >= static_cast<size_t>(LF_FACESIZE))
    throw SubscriptError();  // face name field overflow
  st.fontName.copy(lf.lfFaceName, st.fontName.size());
  lf.lfFaceName[st.fontName.size()] = 0;
  const double pixels = st.FontSize * dpiY * zoom / 100.0 / 72.0;
  if (!(std::fabs(pixels) <= kMaxFontPixels)) {
    RecordCaught(Overflow());
    return false;
  }
  lf.lfHeight = -DeviceInt(pixels);
  return true;
}

HFONT KtTextItem::SetFont(HDC hdc, HFONT oldFont, double zoom) {
  if (oldFont) ReleaseFont(hdc, oldFont);
  LOGFONT lf;
  if (!FillLogFont(GetDeviceCaps(hdc, LOGPIXELSY), zoom, lf)) return nullptr;
  HFONT font = CreateFontIndirect(&lf);
  if (!font) {
    RecordError(ErrorCode::kUnableToCreateFont, "SetFont Function", "No Description");
    return nullptr;
  }
  return font;
}

namespace {

// The first-line indent in device units.
double FirstIndent(const CellStyleData& st, double dpiX) { return st.IndentFirst * dpiX / 1440.0; }

// What FillLogFont reads of a style: equal, the two make the same font.
bool SameFont(const CellStyleData& a, const CellStyleData& b) {
  return std::bit_cast<std::uint32_t>(a.FontSize) == std::bit_cast<std::uint32_t>(b.FontSize) &&
         a.FontBold == b.FontBold && a.FontItalic == b.FontItalic && a.FontUnderline == b.FontUnderline &&
         a.FontStrikethru == b.FontStrikethru && a.fontName == b.fontName;
}

}  // namespace

std::int32_t MeasuredTextWidth(const KtTextItem& cell, float right, double dpiX) {
  // Each measure in device units on its own, then the differences, so that
  // every caller rounds as it always has: one conversion of the difference
  // would round some exact ties the other way. Indents and frames are mostly
  // none: taking away an exact zero changes nothing, so they are not divided.
  const auto device = [dpiX](float twips) { return twips == 0 ? 0.0 : twips * dpiX / 1440.0; };
  const double left = device(cell.IndentLeft());
  const double rightIndent = device(cell.IndentRight());
  const double tab = device(cell.TabLeft());
  const double width = device(right);
  const double frame = cell.FrameControl() != 0 ? device(cell.FrameControlSize()) : 0.0;
  return std::min(DeviceInt(width - left - rightIndent - tab - frame), kMaxLineWidth);
}

std::int32_t ColumnWidths::Measure(std::size_t column, const KtTextItem& cell, float right, int dpiX) {
  const std::int32_t width = MeasuredTextWidth(cell, right, dpiX);
  // Rows of hundreds of cells are rare: their columns past these are measured each time.
  constexpr std::size_t kColumns = 64;
  if (column >= kColumns) return width;
  if (column >= columns_.size()) columns_.resize(column + 1, Column{StyleRef(), 0.0f, 0, 0});
  columns_[column] = Column{cell.StyleRefOf(), right, dpiX, width};
  // What the next column (after the last, the first) knew of this one's font
  // was of the style replaced.
  columns_[column + 1 < columns_.size() ? column + 1 : 0].fontAsBefore = nullptr;
  return width;
}

void KtTextItem::GetHeight(HDC hdc, float right) {
  try {
    std::string text;
    ExpandText(text_.view(), text);
    const double dpiX = GetDeviceCaps(hdc, LOGPIXELSX);
    const double dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
    if (dpiY <= 0) return;
    const double first = FirstIndent(*style_, dpiX);

    if (const clsBitmap* picture = Picture()) {
      itemHeight_ = static_cast<float>(picture->Height() * 1440.0 / dpiY);
      return;
    }
    RECT rc{0, 0, MeasuredTextWidth(*this, right, dpiX), 1};
    // A cell whose font cannot be made is not measured with another one: the
    // failure is on record and the height stays as it was.
    const OwnedFont font(SetFont(hdc, nullptr, 100.0));
    if (!font) return;
    // The context's state comes back however the scope is left.
    const SavedDCState saved(hdc);
    const SelectedObject selected(hdc, font);
    {
      SetBkMode(hdc, TRANSPARENT);
      UINT flags = style_->WordWrap ? DT_WORDBREAK : 0;
      if (first > 0) {
        INT spaceWidth = 0;
        if (GetCharWidth32(hdc, ' ', ' ', &spaceWidth) && spaceWidth > 0)
          text.insert(0, IndentSpaces(first, spaceWidth, rc.right), ' ');
      }
      CheckTextFits(hdc, text.size());
      const int height = DrawText(hdc, text.c_str(), -1, &rc, flags | DT_CALCRECT);
      itemHeight_ = static_cast<float>(height * 1440.0 / dpiY);
    }
  } catch (const std::exception& e) {
    RecordCaught(e);
  }
}

// Step for step the device-context version above, with the font, metrics and
// resolution the measurer already holds.
void KtTextItem::GetHeight(TextMeasurer& m, float right) { GetHeight(m, right, CellTextTraits(text_.view())); }

void KtTextItem::GetHeight(TextMeasurer& m, float right, std::uint8_t traits, ColumnWidths* widths,
                           std::size_t column) {
  try {
    std::string expanded;
    std::string_view text = text_.view();
    if (traits & kTextFieldCode) {
      ExpandText(text, expanded);
      text = expanded;
      traits = CellTextTraits(text);
    }
    const double dpiX = m.DpiX();
    const double dpiY = m.DpiY();
    if (dpiY <= 0) return;
    if (const clsBitmap* picture = Picture()) {
      itemHeight_ = static_cast<float>(picture->Height() * 1440.0 / dpiY);
      return;
    }
    const LONG width = widths ? widths->Of(column, *this, right, m.DpiX()) : MeasuredTextWidth(*this, right, dpiX);
    // Cells of one style (most of a row) share its font without describing it
    // again, and so do cells whose styles differ in anything but the font
    // (the columns of a row: their positions differ). The key is the style
    // of a cell of the row being measured, or one the measurer holds.
    const auto* previous = static_cast<const CellStyle*>(m.FontKey());
    bool sameFont = previous == style_.get() || (widths && widths->FontAsBefore(column, previous));
    if (!sameFont && previous && SameFont(previous->data(), *style_)) {
      sameFont = true;
      if (widths) widths->NoteFontAsBefore(column, previous);
    }
    if (!sameFont) {
      LOGFONT lf;
      if (!FillLogFont(m.DpiY(), 100.0, lf)) return;
      if (!m.UseFont(lf)) {
        RecordError(ErrorCode::kUnableToCreateFont, "SetFont Function", "No Description");
        return;
      }
    }
    m.FontKey(style_.get());
    const double first = style_->IndentFirst != 0 ? FirstIndent(*style_, dpiX) : 0.0;
    if (first > 0) {
      const INT spaceWidth = m.CharWidth(' ');
      if (spaceWidth > 0) {
        if (text.data() != expanded.data()) expanded = std::string(text);
        expanded.insert(0, IndentSpaces(first, spaceWidth, width), ' ');
        text = expanded;
      }
    }
    if (text.size() >= m.MostChars()) throw Overflow();
    const int height = m.TextHeight(text, width, style_->WordWrap ? DT_WORDBREAK : 0, !(traits & kTextNotPlainAscii));
    itemHeight_ = static_cast<float>(height * 1440.0 / dpiY);
  } catch (const std::exception& e) {
    RecordCaught(e);
  }
}

}  // namespace ktfolio
