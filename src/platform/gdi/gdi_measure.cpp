// TextMeasurer: a row's texts measured under one lock, each font made once,
// single lines added up from the cached advance widths.
#include "platform/gdi/gdi_measure.h"

#include <cstring>
#include <vector>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {

using namespace gdi;

namespace {

bool SameFont(const LOGFONT& a, const LOGFONT& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// DrawText's line height when `text` fits on one line of `width`, or -1 when
// it needs the line breaker. One line: no CR or LF, and either no word
// breaking or no point of the line past the width (a greedy wrap then never
// breaks). Prefixes are taken out as DrawText does ("&&" is '&', a lone
// trailing '&' shows nothing).
int SingleLineHeight(FontInstance* fi, std::string_view text, int width, UINT format) {
  if (format & (DT_EXPANDTABS | DT_SINGLELINE)) return -1;
  if (text.find_first_of("\r\n") != std::string_view::npos) return -1;
  const int lineH = fi->Height();
  if (!(format & DT_WORDBREAK)) return lineH;
  const int maxWidth = width < 0 ? 0 : width;
  const bool prefix = !(format & DT_NOPREFIX);
  long pen = 0;
  auto add = [&](std::uint32_t cp) {
    pen += fi->Advance(cp);
    return pen <= maxWidth;
  };
  bool ascii = true;
  for (char ch : text)
    if (static_cast<unsigned char>(ch) >= 0x80) ascii = false;
  if (ascii) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (prefix && text[i] == '&' && ++i == text.size()) break;
      if (!add(static_cast<unsigned char>(text[i]))) return -1;
    }
    return lineH;
  }
  const std::vector<std::uint32_t> cps = DecodeUtf8(text.data(), static_cast<int>(text.size()));
  for (std::size_t i = 0; i < cps.size(); ++i) {
    if (prefix && cps[i] == '&' && ++i == cps.size()) break;
    if (!add(cps[i])) return -1;
  }
  return lineH;
}

}  // namespace

struct TextMeasurer::State {
  std::unique_lock<std::recursive_mutex> lock{ModuleLock()};
  HDC hdc;
  int dpiX = 0, dpiY = 0;
  struct Entry {
    LOGFONT lf;
    HFONT font;
    TEXTMETRIC tm;
  };
  std::vector<Entry> fonts;
  Entry* current = nullptr;  // into `fonts`, which is reserved up front so it never moves
  HGDIOBJ previous = nullptr;  // the context's font before the first DrawText
  HFONT selected = nullptr;
};

TextMeasurer::TextMeasurer(HDC hdc) : s_(std::make_unique<State>()) {
  s_->hdc = hdc;
  s_->dpiX = GetDeviceCaps(hdc, LOGPIXELSX);
  s_->dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
}

TextMeasurer::~TextMeasurer() {
  if (s_->previous) SelectObject(s_->hdc, s_->previous);
  for (State::Entry& e : s_->fonts) DeleteObject(e.font);
}

HDC TextMeasurer::dc() const { return s_->hdc; }
int TextMeasurer::DpiX() const { return s_->dpiX; }
int TextMeasurer::DpiY() const { return s_->dpiY; }

bool TextMeasurer::UseFont(const LOGFONT& lf) {
  if (s_->current && SameFont(s_->current->lf, lf)) return true;
  for (State::Entry& e : s_->fonts)
    if (SameFont(e.lf, lf)) {
      s_->current = &e;
      return true;
    }
  HFONT font = CreateFontIndirect(&lf);
  if (!font) return false;
  DC* dc = ToDC(s_->hdc);
  TEXTMETRIC tm{};
  if (dc) FillTextMetrics(static_cast<Font*>(font), dc, &tm);
  if (s_->fonts.size() == s_->fonts.capacity()) {
    const std::ptrdiff_t at = s_->current ? s_->current - s_->fonts.data() : -1;
    s_->fonts.reserve(s_->fonts.empty() ? 4 : s_->fonts.size() * 2);
    if (at >= 0) s_->current = s_->fonts.data() + at;
  }
  s_->fonts.push_back({lf, font, tm});
  s_->current = &s_->fonts.back();
  return true;
}

const TEXTMETRIC& TextMeasurer::Metrics() const { return s_->current->tm; }

INT TextMeasurer::CharWidth(UINT ch) { return Instance(static_cast<Font*>(s_->current->font))->Advance(ch); }

int TextMeasurer::TextHeight(std::string_view text, int width, UINT format) {
  text = text.substr(0, text.find('\0'));  // DrawText stops there too
  if (ToDC(s_->hdc)) {
    const int h = SingleLineHeight(Instance(static_cast<Font*>(s_->current->font)), text, width, format);
    if (h >= 0) return h;
  }
  return TextHeightByDrawText(text, width, format);
}

int TextMeasurer::TextHeightByDrawText(std::string_view text, int width, UINT format) {
  if (s_->selected != s_->current->font) {
    HGDIOBJ old = SelectObject(s_->hdc, s_->current->font);
    if (!s_->previous) s_->previous = old;
    s_->selected = s_->current->font;
  }
  // Given as a terminated string, as the cell's own call does: DrawText
  // stops at an embedded NUL.
  const std::string copy(text);
  RECT rc{0, 0, width, 1};
  return DrawText(s_->hdc, copy.c_str(), -1, &rc, format | DT_CALCRECT);
}

}  // namespace ktfolio::win
