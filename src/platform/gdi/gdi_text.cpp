// DrawText and TextOut: Win32 line breaking and prefix rules over measured
// advance widths; glyphs drawn with Pango one line at a time.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/gdi_testing.h"
#include "platform/gdi/gdi_text_place.h"
#include "platform/gdi/text_block.h"

namespace ktfolio::win {
namespace gdi {
namespace {

constexpr std::uint32_t CR = '\r';
constexpr std::uint32_t LF = '\n';

struct Ch {
  std::uint32_t cp;
  bool underline;  // the character after a '&' prefix
};

struct Line {
  std::size_t begin, end;
  double width;  // whole units unless the context places text at design advances

  int Width() const { return static_cast<int>(std::lround(width)); }
};

bool IsBreakSpace(std::uint32_t c) { return c == ' ' || c == '\t'; }

void ApplyPrefixes(const std::vector<std::uint32_t>& cps, bool prefix, std::vector<Ch>& out) {
  out.clear();
  for (std::size_t i = 0; i < cps.size(); ++i) {
    if (prefix && cps[i] == '&') {
      if (i + 1 == cps.size()) break;  // a lone trailing '&' shows nothing
      ++i;
      out.push_back({cps[i], cps[i] != '&'});  // "&&" is a literal '&'
    } else {
      out.push_back({cps[i], false});
    }
  }
}

// Widths along a line; expanded tabs depend on where they start. With
// `design` the advances are the fonts' unhinted ones (DC::DesignAdvances).
// A `shaped` text (one with characters that do not draw alone) is measured
// and drawn run by run through the shaper, so clusters, joining forms and
// right-to-left runs have the width they are drawn at.
struct Measure {
  FontInstance* fi;
  bool expandTabs;
  int tabStop;
  bool design = false;
  bool shaped = false;
  const std::vector<char>* breaks = nullptr;  // breaks[i]: a line may end before character i

  double Advance(double x, std::uint32_t cp) const {
    if (cp == '\t' && expandTabs) return (std::floor(x / tabStop) + 1) * tabStop - x;
    return design ? fi->DesignAdvance(cp) : fi->Advance(cp);
  }
  double Run(const std::vector<Ch>& c, std::size_t b, std::size_t e, double x) const {
    if (shaped) return ShapedRun(c, b, e, x);
    for (std::size_t i = b; i < e; ++i) x += Advance(x, c[i].cp);
    return x;
  }
  bool BreakBefore(std::size_t i) const { return breaks && (*breaks)[i]; }

 private:
  double ShapedRun(const std::vector<Ch>& c, std::size_t b, std::size_t e, double x) const {
    std::string piece;
    for (std::size_t i = b; i <= e; ++i) {
      if (i < e && !(c[i].cp == '\t' && expandTabs)) {
        if (!ShowsNothing(c[i].cp) || c[i].cp == '\t') AppendUtf8(piece, c[i].cp == '\t' ? ' ' : c[i].cp);
        continue;
      }
      x += ShapedWidth(fi, design, piece);
      piece.clear();
      if (i < e) x += Advance(x, '\t');
    }
    return x;
  }
};

// Greedy word wrap as DrawText does it: words never split, the spaces at a
// break are dropped, leading spaces of a paragraph are kept. In scripts
// written without spaces a "word" ends wherever the Unicode rules allow a break.
void WrapParagraph(const std::vector<Ch>& c, std::size_t b, std::size_t e, int maxWidth, const Measure& m,
                   std::vector<Line>& lines) {
  std::size_t pos = b;
  bool first = true;
  while (first || pos < e) {
    Line line{pos, pos, 0};
    std::size_t i = pos;
    bool empty = true;
    while (true) {
      std::size_t spaceStart = i;
      while (i < e && IsBreakSpace(c[i].cp)) ++i;
      std::size_t wordStart = i;
      const double afterSpaces = m.Run(c, spaceStart, wordStart, line.width);
      while (i < e && !IsBreakSpace(c[i].cp) && !(i > wordStart && m.BreakBefore(i))) ++i;
      if (wordStart == e) {  // trailing spaces: nothing follows, keep them
        line.end = e;
        line.width = afterSpaces;
        pos = e;
        break;
      }
      const double afterWord = m.Run(c, wordStart, i, afterSpaces);
      if (empty || std::lround(afterWord) <= maxWidth) {
        line.end = i;
        line.width = afterWord;
        empty = false;
        pos = i;
        continue;
      }
      pos = wordStart;  // the next line starts at the word; the spaces are gone
      break;
    }
    lines.push_back(line);
    first = false;
  }
}

void BreakLines(const std::vector<Ch>& c, UINT format, int maxWidth, const Measure& m, std::vector<Line>& lines) {
  lines.clear();
  if (format & DT_SINGLELINE) {
    lines.push_back({0, c.size(), m.Run(c, 0, c.size(), 0)});
    return;
  }
  const bool wrap = (format & DT_WORDBREAK) != 0;
  auto paragraph = [&](std::size_t b, std::size_t e) {
    if (wrap) WrapParagraph(c, b, e, maxWidth, m, lines);
    else lines.push_back({b, e, m.Run(c, b, e, 0)});
  };
  std::size_t start = 0;
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (c[i].cp != CR && c[i].cp != LF) continue;
    paragraph(start, i);
    if (c[i].cp == CR && i + 1 < c.size() && c[i + 1].cp == LF) ++i;  // CR LF is one break
    start = i + 1;
  }
  // A break at the very end does not open another line.
  if (start < c.size() || lines.empty()) paragraph(start, c.size());
  // A shaped line is as wide as its text shaped whole, not as its words added up.
  if (m.shaped && wrap)
    for (Line& l : lines) l.width = m.Run(c, l.begin, l.end, 0);
}

// What the lines of one text call share: the font, the decoded characters and
// how they are measured.
struct LineSource {
  FontInstance* fi;
  const LOGFONT& lf;
  const std::vector<Ch>& c;
  const Measure& m;
};

// Gives every glyph of a user-perceived character (a letter and its marks, an
// emoji sequence) the same cluster, so that a PDF maps the glyphs to the
// character's text as one: text extraction then finds a Thai vowel sign or a
// tone mark with its letter instead of on a line of its own above it.
void KeepGraphemesTogether(PangoLayout* layout) {
  const char* text = pango_layout_get_text(layout);
  int count = 0;
  const PangoLogAttr* attrs = pango_layout_get_log_attrs_readonly(layout, &count);
  std::vector<int> start(std::strlen(text) + 1, 0);  // byte -> first byte of its grapheme
  int grapheme = 0, ch = 0;
  for (const char* p = text; *p; p = g_utf8_next_char(p), ++ch) {
    const int at = static_cast<int>(p - text);
    if (ch < count && attrs[ch].is_cursor_position) grapheme = at;
    for (int b = at; b < static_cast<int>(g_utf8_next_char(p) - text); ++b) start[b] = grapheme;
  }
  for (GSList* l = pango_layout_get_line_readonly(layout, 0)->runs; l; l = l->next) {
    auto* run = static_cast<PangoGlyphItem*>(l->data);
    const int offset = run->item->offset;
    for (int i = 0; i < run->glyphs->num_glyphs; ++i) {
      const int first = start[offset + run->glyphs->log_clusters[i]];
      if (first >= offset) run->glyphs->log_clusters[i] = first - offset;
    }
  }
}

// Draws one piece of text (no tabs to expand) with its top-left at (x, y), at
// the unhinted advances when the context measures with those.
void ShowText(cairo_t* cr, const LineSource& src, const std::string& text,
              const std::vector<std::pair<int, int>>& underlines, double x, double y) {
  if (text.empty()) return;
  FontInstance* fi = src.fi;
  const LOGFONT& lf = src.lf;
  LayoutPtr layout(pango_layout_new(src.m.design ? DesignTextContext() : TextContext()));
  pango_layout_set_font_description(layout.get(), fi->desc);
  AttrListPtr attrs(pango_attr_list_copy(fi->attrs));
  if (lf.lfUnderline) pango_attr_list_insert(attrs.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (lf.lfStrikeOut) pango_attr_list_insert(attrs.get(), pango_attr_strikethrough_new(TRUE));
  for (auto [b, e] : underlines) {
    PangoAttribute* a = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    a->start_index = b;
    a->end_index = e;
    pango_attr_list_insert(attrs.get(), a);  // the list owns the attribute from here
  }
  pango_layout_set_attributes(layout.get(), attrs.get());
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  if (src.m.shaped) KeepGraphemesTogether(layout.get());
  // Put Pango's baseline on ours (tmAscent below the line top), on whole pixels.
  int baseline = PANGO_PIXELS(pango_layout_get_baseline(layout.get()));
  cairo_move_to(cr, x, y + fi->ascent - baseline);
  pango_cairo_show_layout(cr, layout.get());
}

// The glyphs of a line from the cache, at the measured advances, so the drawn
// width is the measured width by construction. False, with nothing added,
// when a character needs Pango (shaping, fallback without a glyph, underline).
bool GlyphsOfLine(const LineSource& src, const Line& line, double x, double y, std::vector<cairo_glyph_t>& glyphs,
                  std::vector<cairo_scaled_font_t*>& fonts) {
  FontInstance* fi = src.fi;
  const std::vector<Ch>& c = src.c;
  const Measure& m = src.m;
  if (m.shaped) return false;
  const std::size_t mark = glyphs.size();
  const double baseline = y + fi->ascent + fi->baselineShift;
  double pen = 0;
  for (std::size_t i = line.begin; i < line.end; ++i) {
    std::uint32_t cp = c[i].cp;
    const GlyphRef* g = nullptr;
    const double adv = m.Advance(pen, cp);
    const bool skip = (cp == '\t' && m.expandTabs) || (cp != '\t' && ShowsNothing(cp));
    if (!skip) g = &fi->Char(cp == '\t' ? ' ' : cp).glyph;
    if (c[i].underline || (g && !g->font)) {
      glyphs.resize(mark);
      fonts.resize(mark);
      return false;
    }
    if (g) {
      glyphs.push_back(cairo_glyph_t{g->index, x + pen + g->dx, baseline + g->dy});
      fonts.push_back(g->font);
    }
    pen += adv;
  }
  return true;
}

// Draws a line from cached glyphs; false, having drawn nothing, when it needs Pango.
bool DrawGlyphLine(cairo_t* cr, const LineSource& src, const Line& line, int x, int y) {
  static std::vector<cairo_glyph_t> glyphs;  // reused under the module lock
  static std::vector<cairo_scaled_font_t*> fonts;
  glyphs.clear();
  fonts.clear();
  if (!GlyphsOfLine(src, line, x, y, glyphs, fonts)) return false;
  // One call per run of glyphs from the same font.
  for (std::size_t b = 0; b < glyphs.size();) {
    std::size_t e = b + 1;
    while (e < glyphs.size() && fonts[e] == fonts[b]) ++e;
    cairo_set_scaled_font(cr, fonts[b]);
    cairo_show_glyphs(cr, glyphs.data() + b, static_cast<int>(e - b));
    b = e;
  }
  return true;
}

// Puts a printer page's plain text in the glyph queue instead of drawing it.
// False, queueing nothing, when a line needs Pango.
// Lines wholly outside the clip are left out.
bool QueueTextLines(DC* dc, const LineSource& src, const std::vector<Line>& lines, const TextPlacement& at,
                    const TextClip& cut) {
  static std::vector<cairo_glyph_t> glyphs;
  static std::vector<cairo_scaled_font_t*> fonts;
  glyphs.clear();
  fonts.clear();
  const int lineH = src.fi->Height();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const long long y = at.top + static_cast<long long>(i) * lineH + dc->st.org.y;  // may pass 32 bits
    if (cut.needed && (y >= cut.box.bottom || y + lineH <= cut.box.top)) continue;
    const double x = static_cast<double>(at.Left(lines[i].Width())) + dc->st.org.x;
    if (!GlyphsOfLine(src, lines[i], x, static_cast<double>(y), glyphs, fonts)) return false;
  }
  // Each run of glyphs of one font joins the page's run of that font and
  // colour when nothing queued since could overlap it.
  for (std::size_t b = 0, e = 0; b < glyphs.size(); b = e) {
    for (e = b + 1; e < glyphs.size() && fonts[e] == fonts[b];) ++e;
    std::vector<cairo_glyph_t>& run = dc->QueuedRun(fonts[b], dc->st.textColor, cut.reach, cut.Clip());
    run.insert(run.end(), glyphs.begin() + static_cast<std::ptrdiff_t>(b), glyphs.begin() + static_cast<std::ptrdiff_t>(e));
  }
  return true;
}

void DrawLine(cairo_t* cr, const LineSource& src, const Line& line, int x, int y) {
  if (!src.lf.lfUnderline && !src.lf.lfStrikeOut && DrawGlyphLine(cr, src, line, x, y)) return;
  const std::vector<Ch>& c = src.c;
  const Measure& m = src.m;
  std::string text;
  std::vector<std::pair<int, int>> underlines;
  int segX = x;
  double pen = 0;  // as Measure::Run counts it: shaped pieces whole, others char by char
  for (std::size_t i = line.begin; i < line.end; ++i) {
    std::uint32_t cp = c[i].cp;
    if (cp == '\t' && m.expandTabs) {
      ShowText(cr, src, text, underlines, segX, y);
      if (m.shaped) pen += ShapedWidth(src.fi, m.design, text);
      pen += m.Advance(pen, cp);
      text.clear();
      underlines.clear();
      segX = x + static_cast<int>(std::lround(pen));
      continue;
    }
    if (!m.shaped) pen += m.Advance(pen, cp);
    if (cp == '\t') cp = ' ';
    else if (ShowsNothing(cp)) continue;  // zero-width controls
    int b = static_cast<int>(text.size());
    AppendUtf8(text, cp);
    if (c[i].underline) underlines.emplace_back(b, static_cast<int>(text.size()));
  }
  ShowText(cr, src, text, underlines, segX, y);
}

std::vector<testing::DrawTextLayout>*& Recorder() {
  static std::vector<testing::DrawTextLayout>* into = nullptr;  // under the module lock
  return into;
}

void RecordLayout(const DC& dc, const std::vector<Ch>& c, const std::vector<Line>& lines, const RECT& box) {
  testing::DrawTextLayout layout;
  for (const Line& l : lines) {
    std::string text;
    for (std::size_t i = l.begin; i < l.end; ++i) AppendUtf8(text, c[i].cp);
    layout.lines.push_back(std::move(text));
  }
  const XFORM& x = dc.st.xform;
  auto deviceX = [&](double px, double py) { return px * x.eM11 + py * x.eM21 + x.eDx + dc.st.org.x; };
  auto deviceY = [&](double px, double py) { return px * x.eM12 + py * x.eM22 + x.eDy + dc.st.org.y; };
  layout.left = deviceX(box.left, box.top);
  layout.top = deviceY(box.left, box.top);
  layout.right = deviceX(box.right, box.bottom);
  layout.bottom = deviceY(box.right, box.bottom);
  Recorder()->push_back(std::move(layout));
}

}  // namespace

bool RecordingDrawText() { return Recorder() != nullptr; }

}  // namespace gdi

using namespace gdi;

namespace {

// Marks a text that needs the shaper, and where a wrapped text in a script
// without spaces may break. Plain Latin text is left on the fast path and
// breaks only at spaces, as it always has.
void UseScripts(const std::vector<std::uint32_t>& cps, const std::vector<Ch>& chars, UINT format, Measure& m,
                std::vector<char>& breaks) {
  bool noSpaces = false;
  for (std::uint32_t cp : cps) {
    if (cp < 0x0300) continue;
    if (!DrawsAlone(cp)) m.shaped = true;
    if (BreaksWithoutSpaces(cp)) noSpaces = true;
  }
  if (!noSpaces || !(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) return;
  static std::vector<std::uint32_t> shown;
  shown.clear();
  for (const Ch& ch : chars) shown.push_back(ch.cp);
  LineBreakOpportunities(shown.data(), shown.size(), breaks);
  m.breaks = &breaks;
}

// The box the lines fill; it holds their ink but for an italic's overhang to the right.
RECT LinesBox(const std::vector<Line>& lines, const TextPlacement& at, int height) {
  RECT box{INT32_MAX, at.top, INT32_MIN, at.top + height};
  for (const Line& l : lines) {
    box.left = std::min<LONG>(box.left, at.Left(l.Width()));
    box.right = std::max<LONG>(box.right, at.Left(l.Width()) + l.Width());
  }
  return box;
}

void PaintLines(DC* dc, cairo_t* cr, const LineSource& src, const std::vector<Line>& lines, const TextPlacement& at,
                bool clip) {
  const int lineH = src.fi->Height();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    int y = at.top + static_cast<int>(i) * lineH;
    if (clip && (y >= at.rc.bottom || y + lineH <= at.rc.top)) continue;
    const int x = at.Left(l.Width());
    if (dc->st.bkMode == OPAQUE && l.Width() > 0) {
      SetSourceColor(cr, dc->st.bkColor);
      cairo_rectangle(cr, x, y, l.Width(), lineH);
      cairo_fill(cr);
    }
    SetSourceColor(cr, dc->st.textColor);
    DrawLine(cr, src, l, x, y);
  }
}

// Draws measured lines. On a printer page a text that lies inside every clip
// is drawn without one (each clip costs the PDF an operation), and plain text
// there goes to the glyph queue, with its clip when it needs one.
void DrawTextLines(DC* dc, const LineSource& src, const std::vector<Line>& lines, const TextPlacement& at) {
  const int lineH = src.fi->Height();
  RECT ink = LinesBox(lines, at, static_cast<int>(lines.size()) * lineH);
  if (RecordingDrawText()) RecordLayout(*dc, src.c, lines, ink);
  if (src.lf.lfItalic) ink.right += lineH / 4 + 1;
  const bool page = dc->queueLines;
  if (page && dc->st.bkMode != OPAQUE && !dc->st.Transformed() && !src.lf.lfUnderline && !src.lf.lfStrikeOut) {
    const TextClip cut(*dc, at, ink, lineH);
    if (cut.Empty() || QueueTextLines(dc, src, lines, at, cut)) return;
  }
  const bool clip = !(at.format & DT_NOCLIP) && !(page && Inside(ink, at.rc));
  const RECT deviceInk{ink.left + dc->st.org.x, ink.top + dc->st.org.y, ink.right + dc->st.org.x,
                       ink.bottom + dc->st.org.y};
  const bool dcClip = dc->st.clipped && !(page && Inside(deviceInk, dc->st.clip));
  cairo_t* cr = dc->Begin(dcClip, true);
  if (clip) {
    cairo_rectangle(cr, at.rc.left, at.rc.top, at.rectWidth, std::max(0, static_cast<int>(at.rc.bottom - at.rc.top)));
    cairo_clip(cr);
  }
  PaintLines(dc, cr, src, lines, at, clip);
  dc->End();
}

// The characters of a text made of ASCII alone, with no prefix to take out
// when prefixes count: what decoding, composing and prefixing would give, in
// one pass. False, for those steps to run, at the first other byte.
bool PlainAscii(const char* text, int length, bool prefix, std::vector<Ch>& chars) {
  chars.clear();
  if (!text) return true;
  const std::size_t n = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80 || (prefix && c == '&')) return false;
    chars.push_back({c, false});
  }
  return true;
}

// DrawText's work; with `align`, the lines are drawn in rc narrowed to their
// height (DrawTextBlock).
int DrawTextIn(DC* dc, Font* font, const char* text, int length, RECT* rc, UINT format, const BlockAlign* align) {
  FontInstance* fi = Instance(font);
  *rc = WithinCoordinates(*rc);
  if (const int height = PlainLine(dc, font, fi, text, length, rc, format, align); height >= 0) return height;
  const int lineH = fi->Height();
  // Decoded into buffers kept between calls (under the module lock): cells
  // are measured and drawn a few times each, and allocating showed.
  static std::vector<std::uint32_t> cps;
  static std::vector<Ch> chars;
  const bool plain = PlainAscii(text, length, !(format & DT_NOPREFIX), chars);
  if (!plain) {
    DecodeUtf8(text, length, cps);
    ComposeMarks(cps);
    ApplyPrefixes(cps, !(format & DT_NOPREFIX), chars);
  }
  if (chars.empty()) {
    if (format & DT_CALCRECT) rc->bottom = (format & DT_SINGLELINE) ? rc->top + lineH : rc->top;
    return lineH;
  }
  Measure m{fi, (format & DT_EXPANDTABS) != 0, std::max(1, 8 * fi->aveCharWidth), dc->DesignAdvances()};
  static std::vector<char> breaks;
  if (!plain) UseScripts(cps, chars, format, m, breaks);
  const int rectWidth = std::max(0, static_cast<int>(rc->right - rc->left));
  static std::vector<Line> lines;
  BreakLines(chars, format, rectWidth, m, lines);
  const int height = static_cast<int>(lines.size()) * lineH;
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Line& l : lines) widest = std::max(widest, l.Width());
    rc->right = rc->left + widest;
    rc->bottom = rc->top + height;
    return height;
  }
  if (align) {
    const int top = BlockTop(*rc, height, *align);
    rc->top = top;
    rc->bottom = top + height;
  }
  const TextPlacement at{*rc, format, rectWidth, FirstLineTop(*rc, format, lineH)};
  DrawTextLines(dc, LineSource{fi, font->lf, chars, m}, lines, at);
  return DrawnHeight(at, lineH, height);
}

}  // namespace

int DrawText(HDC hdc, const char* text, int length, RECT* rc, UINT format) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !rc) return 0;
  return DrawTextIn(dc, SelectedFont(dc), text, length, rc, format, nullptr);
}

int DrawTextBlock(HDC hdc, const char* text, int length, const TextBlock& block) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return 0;
  Font* font = SelectedFont(dc);
  if (const ObjInfo* info = Info(block.font); info && info->type == OBJ_FONT) font = static_cast<Font*>(block.font);
  // The block's colour and clip stand in for the context's while it draws;
  // only plain values change, so a copy of the state puts them back.
  struct Restore {
    DC* dc;
    DCState state;
    ~Restore() { dc->st = state; }
  } restore{dc, dc->st};
  if (block.color) {
    dc->st.textColor = *block.color & 0xFFFFFF;
    dc->st.bkMode = TRANSPARENT;
  }
  if (block.clip) {
    dc->st.clip = ClipWithin(dc, block.clip->left, block.clip->top, block.clip->right, block.clip->bottom);
    dc->st.clipped = true;
  }
  RECT rc = block.rc;
  return DrawTextIn(dc, font, text, length, &rc, block.format & ~DT_CALCRECT, &block.align);
}

BOOL TextOut(HDC hdc, int x, int y, const char* text, int length) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return FALSE;
  Font* font = SelectedFont(dc);
  FontInstance* fi = Instance(font);
  std::vector<Ch> chars;
  std::vector<std::uint32_t> cps = DecodeUtf8(text, length);
  ComposeMarks(cps);
  ApplyPrefixes(cps, false, chars);
  Measure m{fi, false, 1, dc->DesignAdvances()};
  for (std::uint32_t cp : cps) m.shaped = m.shaped || !DrawsAlone(cp);
  Line line{0, chars.size(), m.Run(chars, 0, chars.size(), 0)};
  cairo_t* cr = dc->Begin();
  if (dc->st.bkMode == OPAQUE && line.Width() > 0) {
    SetSourceColor(cr, dc->st.bkColor);
    cairo_rectangle(cr, x, y, line.Width(), fi->Height());
    cairo_fill(cr);
  }
  SetSourceColor(cr, dc->st.textColor);
  DrawLine(cr, LineSource{fi, font->lf, chars, m}, line, x, y);
  dc->End();
  return TRUE;
}

}  // namespace ktfolio::win

namespace ktfolio::win::testing {

void RecordDrawText(std::vector<DrawTextLayout>* into) {
  GDI_LOCK;
  gdi::Recorder() = into;
}

}  // namespace ktfolio::win::testing
