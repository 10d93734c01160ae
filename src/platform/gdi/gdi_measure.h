// Measuring many texts on one device context in one go: what a row of cells
// needs to fit its height. Not a Win32 call; the results are exactly those of
// SelectObject + GetTextMetrics / GetCharWidth32 / DrawText(DT_CALCRECT).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/gdi/gdi.h"

namespace ktfolio::win {

// Holds the module lock for its whole life (one lock per row instead of one
// per call) and keeps every distinct font it is asked for, created once and
// deleted when it goes. Use it on one thread, for one short batch.
// ASCII with no CR, LF, NUL or '&': a text whose one line is the sum of its
// characters' advances.
constexpr bool PlainAsciiByte(unsigned char ch) { return ch != 0 && ch < 0x80 && ch != '\r' && ch != '\n' && ch != '&'; }
bool PlainAscii(std::string_view text);

// Texts of this many bytes or more are too long to measure in a font of these
// metrics: their worst case (each character on a line of its own, or all on
// one line) would not add up in 32 bits.
std::size_t MostMeasurableBytes(const TEXTMETRIC& tm);

// The width given to an ASCII character not measured yet in a table of
// widths: so large that a line holding one adds up to at least this much,
// which no measured line reaches (it would be wider than any paper by far).
inline constexpr std::int64_t kUnmeasuredWidth = std::int64_t{1} << 32;

// The width of a plain ASCII text, from the widths of its characters
// (kUnmeasuredWidth for one not measured yet); -1 when one of them is not
// measured (or the line is too wide or too long to add up here).
inline long AsciiLineWidth(const std::int64_t* width, std::string_view text) {
  // Past 2^31 characters the sum of unmeasured widths could overflow.
  if (text.size() >> 31) return -1;
  // Four characters a step, in two sums: one addition from the table a character.
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::int64_t total = 0, other = 0;
  std::size_t i = 0;
  for (; i + 4 <= text.size(); i += 4) {
    total += width[p[i]];
    other += width[p[i + 1]];
    total += width[p[i + 2]];
    other += width[p[i + 3]];
  }
  for (; i < text.size(); ++i) total += width[p[i]];
  total += other;
  return total < kUnmeasuredWidth ? static_cast<long>(total) : -1;
}

class TextMeasurer {
 public:
  // How a caller keeps a font key alive: a key held this way cannot die and
  // come back at the same address as the key of another font.
  struct KeyKeeper {
    void (*hold)(const void* key);
    void (*release)(const void* key);
  };

  explicit TextMeasurer(HDC hdc);
  // The same, carrying the font key over from the last measurer on this
  // thread and context that was given the same keeper: a run of rows in one
  // style then describes its font once, not once a row.
  TextMeasurer(HDC hdc, const KeyKeeper* keeper);
  ~TextMeasurer();
  TextMeasurer(const TextMeasurer&) = delete;
  TextMeasurer& operator=(const TextMeasurer&) = delete;

  HDC dc() const;
  // GetDeviceCaps of the context, read once.
  int DpiX() const { return dpiX_; }
  int DpiY() const { return dpiY_; }

  // Makes `lf` the font of the following calls; false when the font cannot be
  // created (as CreateFontIndirect failing) or the context is not valid.
  [[nodiscard]] bool UseFont(const LOGFONT& lf);
  // Who the current font was made for (a caller's style record, say), so a
  // run of texts in one style can skip describing it again. Cleared by UseFont.
  // The key must stay alive while this measurer lives; the keeper holds the
  // last one for the next measurer.
  const void* FontKey() const { return key_; }
  void FontKey(const void* key) { key_ = key; }
  // Of the current font: GetTextMetrics and GetCharWidth32 of one character.
  const TEXTMETRIC& Metrics() const;
  // MostMeasurableBytes of the current font, worked out once per font.
  std::size_t MostChars() const { return mostChars_; }
  INT CharWidth(UINT ch);
  // DrawText(text, rect 0..width, format | DT_CALCRECT)'s height in the current
  // font. A text on one line (no break, or all of it within `width`) is worked
  // out from the cached advance widths; anything else goes through DrawText.
  int TextHeight(std::string_view text, int width, UINT format);
  // The same for a text the caller has already seen to be PlainAscii or not
  // (reading a row's cells, say), which then needs no check per byte here.
  int TextHeight(std::string_view text, int width, UINT format, bool plainAscii) {
    // The common cell, worked out here: word-wrapped plain ASCII within the width.
    if (plainAscii && format == DT_WORDBREAK && asciiWidth_) {
      const long w = AsciiLineWidth(asciiWidth_, text);
      if (w >= 0 && w <= (width < 0 ? 0 : width)) return lineHeight_;
    }
    return TextHeightOtherwise(text, width, format, plainAscii);
  }
  // The same, always through DrawText (the reference the fast path must match).
  int TextHeightByDrawText(std::string_view text, int width, UINT format);

 private:
  struct State;
  // The last measurer's fonts, kept on its thread for the next measurer on
  // the same context: rows are measured one after another in the same fonts.
  static std::unique_ptr<State>& Spare();
  struct FontEntry;
  // Makes one of the state's fonts (or none) the current one, and keeps here
  // what the inline calls read of it.
  void Current(FontEntry* entry);
  int TextHeightOtherwise(std::string_view text, int width, UINT format, bool plainAscii);
  std::unique_ptr<State>* spare_;  // looked up once: thread-local storage costs a call
  std::unique_ptr<State> s_;
  // Read on every text of a row: kept here, where reading them is inline.
  int dpiX_ = 0, dpiY_ = 0;
  const void* key_ = nullptr;
  const KeyKeeper* keeper_ = nullptr;
  // Of the current font (none: no widths, and no text too long).
  const std::int64_t* asciiWidth_ = nullptr;
  int lineHeight_ = 0;
  std::size_t mostChars_ = SIZE_MAX;
};

}  // namespace ktfolio::win
