// A printer page's glyph queue: runs of one font and colour, some cut to the
// union of their texts' rectangles, drawn when the page or other drawing
// needs them (see QueuedGlyphRun).
#include <vector>

#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/gdi_text_place.h"

namespace ktfolio::win::gdi {

namespace {

// Whether no rectangle of `cuts` meets `area`; no, once `budget` tests are
// spent (a page of thousands of cut cells must not cost their square).
bool ClearOf(const std::vector<TextCut>& cuts, const RECT& area, RECT TextCut::*which, int& budget) {
  for (const TextCut& c : cuts)
    if (--budget < 0 || Overlap(c.*which, area)) return false;
  return true;
}

}  // namespace

std::vector<cairo_glyph_t>& DC::QueuedRun(cairo_scaled_font_t* font, COLORREF color, const RECT& ink,
                                          const RECT* clip) {
  // Each cut text would break the page's text into pieces in the PDF, each
  // with its own clip. Glyphs may go back to an earlier run of their font,
  // colour and kind past runs they cannot touch: what the clipped runs show
  // lies inside their rectangles. A cut text joins a cut run when neither's
  // ink reaches into the other's rectangles.
  int budget = 512;  // runs looked at and rectangles tested
  for (auto run = queuedText.rbegin(); run != queuedText.rend() && --budget >= 0; ++run) {
    if (run->font == font && run->color == color && run->cuts.empty() == !clip) {
      if (!clip) return run->glyphs;
      if (ClearOf(run->cuts, ink, &TextCut::box, budget) && ClearOf(run->cuts, *clip, &TextCut::reach, budget)) {
        run->cuts.push_back(TextCut{*clip, ink});
        return run->glyphs;
      }
    }
    if (run->cuts.empty() || !ClearOf(run->cuts, ink, &TextCut::box, budget)) break;
  }
  queuedText.push_back(QueuedGlyphRun{cairo_scaled_font_reference(font), color, std::move(spareGlyphs), {}});
  if (clip) queuedText.back().cuts.push_back(TextCut{*clip, ink});
  spareGlyphs.clear();
  return queuedText.back().glyphs;
}

void DC::FlushText() {
  if (queuedText.empty()) return;
  std::vector<QueuedGlyphRun> runs;
  runs.swap(queuedText);
  cairo_save(cr);
  for (QueuedGlyphRun& run : runs) {
    if (!run.cuts.empty()) {
      cairo_save(cr);
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
      for (const TextCut& c : run.cuts)
        cairo_rectangle(cr, c.box.left, c.box.top, c.box.right - c.box.left, c.box.bottom - c.box.top);
      cairo_clip(cr);
    }
    cairo_set_scaled_font(cr, run.font);
    SetSourceColor(cr, run.color);
    cairo_show_glyphs(cr, run.glyphs.data(), static_cast<int>(run.glyphs.size()));
    cairo_scaled_font_destroy(run.font);
    if (!run.cuts.empty()) cairo_restore(cr);
  }
  cairo_restore(cr);
  // A page's runs grow to the same size again on the next page: the largest
  // keeps its room (up to a generous page's worth).
  constexpr std::size_t kKeptGlyphs = 1 << 16;
  for (QueuedGlyphRun& run : runs)
    if (run.glyphs.capacity() > spareGlyphs.capacity() && run.glyphs.capacity() <= kKeptGlyphs)
      spareGlyphs = std::move(run.glyphs);
  spareGlyphs.clear();
}

}  // namespace ktfolio::win::gdi
