// One line of plain ASCII, the text of nearly every cell of a listing, laid
// out and queued for a printer page without the general line breaker's
// character, line and glyph buffers.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/gdi_text_place.h"

namespace ktfolio::win::gdi {

// A text of printable ASCII alone (no prefix, tab or line break) that fits its
// width or need not wrap: measured in one pass over its bytes and, on a
// printer page, its glyphs queued straight from the font's table (with the
// clip it needs), where the general path would give the same line, place,
// glyphs and clip.
int PlainLine(DC* dc, Font* font, FontInstance* fi, const char* text, int length, RECT* rc, UINT format,
              const BlockAlign* align) {
  const bool calc = (format & DT_CALCRECT) != 0;
  if (!text || (!calc && (!dc->queueLines || RecordingDrawText() || dc->st.bkMode == OPAQUE || dc->st.Transformed() ||
                          font->lf.lfUnderline || font->lf.lfStrikeOut)))
    return -1;
  const std::size_t n = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
  if (n == 0) return -1;
  const bool prefix = !(format & DT_NOPREFIX), design = dc->DesignAdvances();
  bool glyphs = true;
  double width = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c > 0x7E || (prefix && c == '&')) return -1;
    const CharInfo& ch = fi->Char(c);
    width += design ? ch.design : ch.width;
    glyphs = glyphs && ch.glyph.font;
  }
  RECT r = *rc;
  const int rectWidth = std::max(0, static_cast<int>(r.right - r.left));
  const int lineWidth = static_cast<int>(std::lround(width));
  if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE) && lineWidth > rectWidth) return -1;
  const int lineH = fi->Height();
  if (calc) {
    rc->right = rc->left + lineWidth;
    rc->bottom = rc->top + lineH;
    return lineH;
  }
  if (!glyphs) return -1;
  if (align) {
    r.top = BlockTop(r, lineH, *align);
    r.bottom = r.top + lineH;
  }
  const TextPlacement at{r, format, rectWidth, FirstLineTop(r, format, lineH)};
  const int left = at.Left(lineWidth);
  RECT ink{left, at.top, left + lineWidth, at.top + lineH};
  if (font->lf.lfItalic) ink.right += lineH / 4 + 1;
  const TextClip cut(*dc, at, ink, lineH);
  const long long y = static_cast<long long>(at.top) + dc->st.org.y;  // the origin may take it past 32 bits
  if (!cut.Empty() && !(cut.needed && (y >= cut.box.bottom || y + lineH <= cut.box.top))) {
    const double x = static_cast<double>(left) + dc->st.org.x;
    const double baseline = static_cast<double>(y) + fi->ascent + fi->baselineShift;
    const COLORREF color = dc->st.textColor;
    std::vector<cairo_glyph_t>* run = nullptr;
    cairo_scaled_font_t* runFont = nullptr;
    double pen = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const CharInfo& ch = fi->Char(static_cast<unsigned char>(text[i]));
      const GlyphRef& g = ch.glyph;
      if (!run || g.font != runFont) {
        run = &dc->QueuedRun(g.font, color, cut.reach, cut.Clip());
        runFont = g.font;
      }
      run->push_back(cairo_glyph_t{g.index, x + pen + g.dx, baseline + g.dy});
      pen += design ? ch.design : ch.width;
    }
  }
  const int drawn = DrawnHeight(at, lineH, lineH);
  if (align) *rc = r;
  return drawn;
}

}  // namespace ktfolio::win::gdi
