// What a text asks of the engine beyond one glyph per character: which
// characters draw alone at their own advance, which scripts break lines
// without spaces, and the width of a run shaped as a whole.
#include <algorithm>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win::gdi {

namespace {

struct Range {
  std::uint32_t lo, hi;
};

bool InRanges(std::uint32_t cp, std::initializer_list<Range> ranges) {
  for (const Range& r : ranges)
    if (cp >= r.lo && cp <= r.hi) return true;
  return false;
}

}  // namespace

bool DrawsAlone(std::uint32_t cp) {
  if (cp < 0x0300) return true;  // Latin, Latin-1, the extensions, IPA, spacing modifiers
  // Left-to-right alphabets and symbols whose characters never join, reorder
  // or stack: a glyph per character at its own advance is exact for them.
  static constexpr std::initializer_list<Range> kSimple = {
      {0x0370, 0x0482},    // Greek, Cyrillic (before the combining signs at 0483)
      {0x048A, 0x052F},    // Cyrillic and its supplement
      {0x1D00, 0x1DBF},    // phonetic extensions
      {0x1E00, 0x1FFF},    // Latin extended additional, Greek extended
      {0x2000, 0x200A},    // fixed-width spaces
      {0x2010, 0x2027},    // dashes, quotes, bullets, ellipsis
      {0x2030, 0x205E},    // per mille, primes, more punctuation
      {0x2070, 0x20CF},    // super- and subscripts, currency
      {0x2100, 0x23FF},    // letterlike, numbers, arrows, mathematics, technical
      {0x2460, 0x25FF},    // enclosed numbers, box drawing, blocks, shapes
      {0x2C60, 0x2C7F},    // Latin extended C
      {0x2E80, 0x2FDF},    // CJK radicals
      {0x3000, 0x3029},    // CJK punctuation (before the tone marks)
      {0x3030, 0x3098},    // CJK symbols, hiragana (before the sound marks)
      {0x309B, 0x30FF},    // katakana
      {0x3100, 0x31FF},    // bopomofo, kana extensions
      {0x3400, 0x4DBF},    // CJK extension A
      {0x4E00, 0x9FFF},    // CJK unified ideographs
      {0xA720, 0xA7FF},    // Latin extended D
      {0xAC00, 0xD7A3},    // Hangul syllables
      {0xF900, 0xFAFF},    // CJK compatibility ideographs
      {0xFF01, 0xFFEF},    // full- and halfwidth forms
      {0x20000, 0x3134F},  // CJK extensions B to G
  };
  return InRanges(cp, kSimple) && !g_unichar_ismark(cp);
}

bool BreaksWithoutSpaces(std::uint32_t cp) {
  static constexpr std::initializer_list<Range> kNoSpaces = {
      {0x0E00, 0x0EFF},    // Thai, Lao
      {0x1000, 0x109F},    // Myanmar
      {0x1780, 0x17FF},    // Khmer
      {0x2E80, 0x2FDF},    // CJK radicals
      {0x3000, 0x31FF},    // CJK punctuation, kana, bopomofo
      {0x3400, 0x4DBF},    // CJK extension A
      {0x4E00, 0x9FFF},    // CJK unified ideographs
      {0xF900, 0xFAFF},    // CJK compatibility ideographs
      {0xFF01, 0xFF60},    // fullwidth forms
      {0x20000, 0x3134F},  // CJK extensions B to G
  };
  return cp >= 0x0E00 && InRanges(cp, kNoSpaces);
}

namespace {
bool IsMark(std::uint32_t cp) { return cp >= 0x0300 && g_unichar_ismark(cp); }
}  // namespace

void ComposeMarks(std::vector<std::uint32_t>& cps) {
  if (std::none_of(cps.begin(), cps.end(), IsMark)) return;
  // Only a base and the marks after it are composed: other characters that
  // normalization would replace (compatibility ideographs, the Ångström sign)
  // stay what the text says.
  std::vector<std::uint32_t> out;
  out.reserve(cps.size());
  for (std::size_t i = 0; i < cps.size();) {
    std::size_t end = i + 1;
    while (end < cps.size() && IsMark(cps[end])) ++end;
    if (end == i + 1 || cps[i] == 0) {
      out.push_back(cps[i++]);
      continue;
    }
    std::string run;
    for (std::size_t k = i; k < end; ++k) AppendUtf8(run, cps[k]);
    gchar* composed = g_utf8_normalize(run.data(), static_cast<gssize>(run.size()), G_NORMALIZE_DEFAULT_COMPOSE);
    if (composed) {
      for (const gchar* p = composed; *p; p = g_utf8_next_char(p)) out.push_back(g_utf8_get_char(p));
      g_free(composed);
    } else {
      out.insert(out.end(), cps.begin() + static_cast<std::ptrdiff_t>(i), cps.begin() + static_cast<std::ptrdiff_t>(end));
    }
    i = end;
  }
  cps.swap(out);
}

void LineBreakOpportunities(const std::uint32_t* cps, std::size_t count, std::vector<char>& before) {
  before.assign(count + 1, 0);
  std::string text;  // a NUL would not be text to the breaker: U+FFFD holds its place
  for (std::size_t i = 0; i < count; ++i) AppendUtf8(text, cps[i] ? cps[i] : 0xFFFD);
  std::vector<PangoLogAttr> attrs(count + 1);
  pango_get_log_attrs(text.data(), static_cast<int>(text.size()), -1, pango_language_from_string("und"),
                      attrs.data(), static_cast<int>(attrs.size()));
  for (std::size_t i = 1; i < count; ++i)
    before[i] = attrs[i].is_line_break && (BreaksWithoutSpaces(cps[i - 1]) || BreaksWithoutSpaces(cps[i]));
}

double ShapedWidth(FontInstance* fi, bool design, std::string_view utf8) {
  if (utf8.empty()) return 0;
  LayoutPtr owned;
  PangoLayout* layout = fi->measure;
  if (design) {
    owned.reset(pango_layout_new(DesignTextContext()));
    layout = owned.get();
    pango_layout_set_font_description(layout, fi->desc);
    pango_layout_set_attributes(layout, fi->attrs);
  }
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  return design ? static_cast<double>(logical.width) / PANGO_SCALE : PANGO_PIXELS(logical.width);
}

}  // namespace ktfolio::win::gdi
