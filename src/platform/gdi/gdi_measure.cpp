// TextMeasurer: a row's texts measured under one lock, each font made once,
// single lines added up from the cached advance widths.
#include "platform/gdi/gdi_measure.h"

#include <algorithm>
#include <cstdint>
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

// DrawText's line height when `text` stays on one line of `width`, or -1
// when it needs the line breaker. One line: no CR or LF, and either no word
// breaking or no word after the first ending past the width. DrawText's wrap
// is greedy and always keeps a line's first word, however wide, and the
// spaces after the last word; it checks where each later word ends, and
// checking every character of those words checks that too.
// Prefixes are taken out first, as DrawText does ("&&" is '&', a lone
// trailing '&' shows nothing).
int SingleLineHeight(FontInstance* fi, std::string_view text, int width, UINT format, bool plainAscii) {
  if (format & (DT_EXPANDTABS | DT_SINGLELINE)) return -1;
  const int lineH = fi->Height();
  if (!(format & DT_WORDBREAK)) {
    if (plainAscii) return lineH;
    for (char ch : text)
      if (ch == '\r' || ch == '\n') return -1;
    return lineH;
  }
  const long maxWidth = width < 0 ? 0 : width;
  // The common cell first: plain measured ASCII whose whole width fits.
  // Anything else (a break, a prefix, another byte, a glyph not measured
  // yet, a text wider than the line) is left to the careful pass below.
  // Text the caller has seen to be plain is only added up.
  long total = 0;
  bool plain = true;
  if (plainAscii) {
    total = AsciiLineWidth(fi->asciiWidth.data(), text);
    plain = total >= 0;
  } else {
    for (const char c : text) {
      const auto ch = static_cast<unsigned char>(c);
      const int w = ch < 0x80 && ch != '\r' && ch != '\n' && ch != '&' ? fi->narrow[ch].width : -1;
      if (w < 0) {
        plain = false;
        break;
      }
      total += w;
    }
  }
  if (plain && total <= maxWidth) return lineH;
  // Plain ASCII without a space or tab is one word, on one line however wide.
  if (plain && plainAscii && !std::memchr(text.data(), ' ', text.size()) && !std::memchr(text.data(), '\t', text.size()))
    return lineH;
  const bool prefix = !(format & DT_NOPREFIX);
  long pen = 0;
  bool inFirstWord = false, pastFirstWord = false;
  auto fits = [&](std::uint32_t cp) {
    // The measured table read directly; Advance measures what is not in it yet.
    pen += cp < 256 && fi->narrow[cp].width >= 0 ? fi->narrow[cp].width : fi->Advance(cp);
    if (cp == ' ' || cp == '\t') {
      if (inFirstWord) pastFirstWord = true;
      return true;
    }
    if (!pastFirstWord) {
      inFirstWord = true;
      return true;
    }
    return pen <= maxWidth;
  };
  // ASCII in one pass: a break or a word past the width ends it, and so does
  // the first other byte, the text then being decoded from its start.
  bool ascii = true, tooWide = false;
  for (std::size_t i = 0; i < text.size() && ascii; ++i) {
    auto ch = static_cast<unsigned char>(text[i]);
    if (prefix && ch == '&' && ++i == text.size()) break;
    ch = static_cast<unsigned char>(text[i]);
    if (ch >= 0x80) ascii = false;
    else if (ch == '\r' || ch == '\n') return -1;
    else if (!tooWide && !fits(ch)) tooWide = true;  // still looking for a break or another byte
  }
  if (ascii) return tooWide ? -1 : lineH;
  for (char ch : text)
    if (ch == '\r' || ch == '\n') return -1;
  const std::vector<std::uint32_t> cps = DecodeUtf8(text.data(), static_cast<int>(text.size()));
  // Shaped runs and scripts without spaces wrap by rules the sum of advances does not know.
  for (std::uint32_t cp : cps)
    if (cp >= 0x0300 && (!DrawsAlone(cp) || BreaksWithoutSpaces(cp))) return -1;
  pen = 0;
  inFirstWord = pastFirstWord = false;
  for (std::size_t i = 0; i < cps.size(); ++i) {
    if (prefix && cps[i] == '&' && ++i == cps.size()) break;
    if (!fits(cps[i])) return -1;
  }
  return lineH;
}

// The text engine and metrics of the fonts measured lately, for the process:
// a row's fonts are nearly always the previous row's, and the engine's own
// look-up builds strings. Instances are never freed, so the pointers hold.
// Used under the module lock.
struct KnownFont {
  LOGFONT lf;
  int dpiX, dpiY;
  FontInstance* fi;
  TEXTMETRIC tm;
};
constexpr std::size_t kKnownFonts = 16;
std::vector<KnownFont>& KnownFonts() {
  static auto* fonts = new std::vector<KnownFont>;
  return *fonts;
}

}  // namespace

struct TextMeasurer::FontEntry {
  LOGFONT asked;  // as the caller described it, which later calls are matched against
  LOGFONT lf;     // as a font handle keeps it
  FontInstance* fi;
  TEXTMETRIC tm;
  HFONT font;  // made when DrawText needs it selected
  std::size_t mostChars;  // MostChars() of this font
};

struct TextMeasurer::State {
  std::unique_lock<std::recursive_mutex> lock{ModuleLock()};
  HDC hdc;
  int deviceDpiX = 0, deviceDpiY = 0;  // the context's own, which its fonts' metrics follow
  std::vector<FontEntry> fonts;
  FontEntry* current = nullptr;  // into `fonts`, which is reserved up front so it never moves
  HGDIOBJ previous = nullptr;  // the context's font before the first DrawText
  HFONT selected = nullptr;
  // The font key `current` was last chosen for, held by its keeper.
  const void* key = nullptr;
  const KeyKeeper* keeper = nullptr;

  State() = default;
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() { DropKey(); }
  void DropKey() {
    if (key) keeper->release(key);
    key = nullptr;
    keeper = nullptr;
  }
  void KeepKey(const void* k, const KeyKeeper* kk) {
    if (k == key && kk == keeper) return;
    if (k) kk->hold(k);
    DropKey();
    key = k;
    keeper = k ? kk : nullptr;
  }
};

std::unique_ptr<TextMeasurer::State>& TextMeasurer::Spare() {
  thread_local std::unique_ptr<State> spare;
  return spare;
}

TextMeasurer::TextMeasurer(HDC hdc) : TextMeasurer(hdc, nullptr) {}

TextMeasurer::TextMeasurer(HDC hdc, const KeyKeeper* keeper) : spare_(&Spare()), keeper_(keeper) {
  std::unique_ptr<State>& spare = *spare_;
  if (spare && spare->hdc == hdc) {
    s_ = std::move(spare);
    s_->lock.lock();
  } else {
    s_ = std::make_unique<State>();
    s_->hdc = hdc;
  }
  // The context looked up once, under the lock the state holds; its
  // resolution is what GetDeviceCaps gives for LOGPIXELSX and LOGPIXELSY.
  const DC* dc = ToDC(hdc);
  const int deviceX = dc ? dc->dpiX : 0, deviceY = dc ? dc->dpiY : 0;
  dpiX_ = deviceX;
  dpiY_ = deviceY;
  // A context that now measures at another resolution (or another context at
  // the same address) gets its fonts anew.
  if (deviceX != s_->deviceDpiX || deviceY != s_->deviceDpiY) {
    s_->fonts.clear();
    s_->current = nullptr;
    s_->DropKey();
    s_->deviceDpiX = deviceX;
    s_->deviceDpiY = deviceY;
  }
  if (keeper_ && s_->keeper == keeper_) key_ = s_->key;
  Current(s_->current);
}

void TextMeasurer::Current(FontEntry* entry) {
  s_->current = entry;
  asciiWidth_ = entry ? entry->fi->asciiWidth.data() : nullptr;
  lineHeight_ = entry ? entry->fi->Height() : 0;
  mostChars_ = entry ? entry->mostChars : SIZE_MAX;
}

TextMeasurer::~TextMeasurer() {
  if (s_->previous) SelectObject(s_->hdc, s_->previous);
  // The fonts made for DrawText go (nothing outlives its measurer); what
  // was learnt of each font stays for the next measurer.
  for (FontEntry& e : s_->fonts)
    if (e.font) {
      DeleteObject(e.font);
      e.font = nullptr;
    }
  constexpr std::size_t kKeptFonts = 16;
  if (s_->fonts.size() > kKeptFonts) {
    s_->fonts.clear();
    Current(nullptr);
    key_ = nullptr;
  }
  if (keeper_ && key_)
    s_->KeepKey(key_, keeper_);
  else
    s_->DropKey();
  s_->previous = nullptr;
  s_->selected = nullptr;
  s_->lock.unlock();
  *spare_ = std::move(s_);
}

HDC TextMeasurer::dc() const { return s_->hdc; }

bool TextMeasurer::UseFont(const LOGFONT& lf) {
  key_ = nullptr;
  if (s_->current && SameFont(s_->current->asked, lf)) return true;
  for (FontEntry& e : s_->fonts)
    if (SameFont(e.asked, lf)) {
      Current(&e);
      return true;
    }
  DC* dc = ToDC(s_->hdc);
  if (!dc) return false;
  FontEntry entry{lf, lf, nullptr, {}, nullptr, 0};
  std::vector<KnownFont>& known = KnownFonts();
  for (const KnownFont& k : known)
    if (k.dpiX == dc->dpiX && k.dpiY == dc->dpiY && SameFont(k.lf, lf)) {
      entry.fi = k.fi;
      entry.tm = k.tm;
      break;
    }
  if (!entry.fi) {
    entry.font = CreateFontIndirect(&lf);
    if (!entry.font) return false;
    auto* font = static_cast<Font*>(entry.font);
    entry.lf = font->lf;  // as the handle keeps it (face name terminated)
    entry.fi = Instance(font);
    FillTextMetrics(font, dc, &entry.tm);
    if (known.size() == kKnownFonts) known.erase(known.begin());
    known.push_back({lf, dc->dpiX, dc->dpiY, entry.fi, entry.tm});
  }
  // Worked out once per font: a division per text would cost more than the text.
  entry.mostChars = MostMeasurableBytes(entry.tm);
  if (s_->fonts.size() == s_->fonts.capacity()) {
    const std::ptrdiff_t at = s_->current ? s_->current - s_->fonts.data() : -1;
    s_->fonts.reserve(s_->fonts.empty() ? 4 : s_->fonts.size() * 2);
    if (at >= 0) Current(s_->fonts.data() + at);
  }
  s_->fonts.push_back(entry);
  Current(&s_->fonts.back());
  return true;
}

const TEXTMETRIC& TextMeasurer::Metrics() const { return s_->current->tm; }

INT TextMeasurer::CharWidth(UINT ch) { return s_->current->fi->Advance(ch); }

std::size_t MostMeasurableBytes(const TEXTMETRIC& tm) {
  // (bytes + 1) x the larger measure must stay within INT32_MAX.
  const LONG tallest = std::max({tm.tmHeight, tm.tmMaxCharWidth, LONG{0}});
  return tallest > 0 ? static_cast<std::size_t>(INT32_MAX / tallest) : SIZE_MAX;
}

bool PlainAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return PlainAsciiByte(static_cast<unsigned char>(c)); });
}

int TextMeasurer::TextHeight(std::string_view text, int width, UINT format) {
  return TextHeightOtherwise(text, width, format, false);
}

int TextMeasurer::TextHeightOtherwise(std::string_view text, int width, UINT format, bool plainAscii) {
  if (!plainAscii) text = text.substr(0, text.find('\0'));  // DrawText stops there too
  const int h = SingleLineHeight(s_->current->fi, text, width, format, plainAscii);
  if (h >= 0) return h;
  return TextHeightByDrawText(text, width, format);
}

int TextMeasurer::TextHeightByDrawText(std::string_view text, int width, UINT format) {
  FontEntry& e = *s_->current;
  if (!e.font) {
    e.font = CreateFontIndirect(&e.lf);
    if (!e.font) return 0;
    static_cast<Font*>(e.font)->instance = e.fi;
  }
  if (s_->selected != e.font) {
    HGDIOBJ old = SelectObject(s_->hdc, e.font);
    if (!s_->previous) s_->previous = old;
    s_->selected = e.font;
  }
  // Given as a terminated string, as the cell's own call does: DrawText
  // stops at an embedded NUL.
  const std::string copy(text);
  RECT rc{0, 0, width, 1};
  return DrawText(s_->hdc, copy.c_str(), -1, &rc, format | DT_CALCRECT);
}

}  // namespace ktfolio::win
