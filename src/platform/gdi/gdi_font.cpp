// Fonts: the one place a font object is made; LOGFONT -> Pango font
// resolution through fontconfig, Windows-style metrics read from the font's
// own tables, and cached advance widths.
//
// The library creates and deletes a font handle for every cell it measures, so
// a handle is only a LOGFONT; the expensive part (font lookup, metrics, widths)
// lives in a cache keyed by face, height, weight and slant, built once.
#include <hb.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/gdi/gdi_impl.h"

namespace ktfolio::win {
namespace gdi {
namespace {

// Em height used for lfHeight 0 ("a default size"): 9 pt on a 96-dpi screen.
constexpr double kDefaultEm = 12.0;

PangoFontMap* FontMap() {
  // Our own map rather than the per-thread default, so every thread sees one cache.
  static PangoFontMap* map = pango_cairo_font_map_new();
  return map;
}

// Size-independent data of one resolved face, straight from its OpenType tables:
// Windows takes ascent and descent from OS/2 usWinAscent/usWinDescent, so we
// do too.
struct FaceData {
  std::string family;
  double upem = 2048;
  int winAscent = 0;
  int winDescent = 0;
  int hheaAscent = 0;
  int hheaDescent = 0;
  int hheaLineGap = 0;
  int xMin = 0;
  int xMax = 0;
  bool fixedPitch = false;
};

int U16(const char* p) { return (static_cast<unsigned char>(p[0]) << 8) | static_cast<unsigned char>(p[1]); }
int S16(const char* p) { return static_cast<std::int16_t>(U16(p)); }

// Calls fn(data, length) with the bytes of one table (length 0 when absent).
template <class Fn>
void WithTable(hb_face_t* face, hb_tag_t tag, Fn fn) {
  hb_blob_t* blob = hb_face_reference_table(face, tag);
  unsigned len = 0;
  const char* data = hb_blob_get_data(blob, &len);
  fn(data, len);
  hb_blob_destroy(blob);
}

PangoFontDescription* BaseDescription(const std::string& family, int weight, bool italic) {
  PangoFontDescription* d = pango_font_description_new();
  pango_font_description_set_family(d, family.c_str());
  pango_font_description_set_weight(d, static_cast<PangoWeight>(weight));
  pango_font_description_set_style(d, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return d;
}

FaceData LoadFace(const std::string& face, int weight, bool italic) {
  FaceData fd;
  FontDescriptionPtr d(BaseDescription(face, weight, italic));
  pango_font_description_set_absolute_size(d.get(), 100.0 * PANGO_SCALE);
  FontPtr font(pango_font_map_load_font(FontMap(), TextContext(), d.get()));
  if (!font) {
    fd.family = "Sans";
    fd.winAscent = 1854;  // Liberation Sans proportions, should even fontconfig fail us
    fd.winDescent = 434;
    return fd;
  }
  FontDescriptionPtr actual(pango_font_describe(font.get()));
  const char* fam = pango_font_description_get_family(actual.get());
  fd.family = fam ? fam : "Sans";

  hb_face_t* hface = hb_font_get_face(pango_font_get_hb_font(font.get()));
  fd.upem = std::max(1u, hb_face_get_upem(hface));
  WithTable(hface, HB_TAG('h', 'h', 'e', 'a'), [&](const char* p, unsigned n) {
    if (n >= 10) {
      fd.hheaAscent = S16(p + 4);
      fd.hheaDescent = S16(p + 6);
      fd.hheaLineGap = S16(p + 8);
    }
  });
  WithTable(hface, HB_TAG('O', 'S', '/', '2'), [&](const char* p, unsigned n) {
    if (n >= 78) {
      fd.winAscent = U16(p + 74);
      fd.winDescent = U16(p + 76);
    }
  });
  WithTable(hface, HB_TAG('h', 'e', 'a', 'd'), [&](const char* p, unsigned n) {
    if (n >= 44) {
      fd.xMin = S16(p + 36);
      fd.xMax = S16(p + 40);
    }
  });
  WithTable(hface, HB_TAG('p', 'o', 's', 't'), [&](const char* p, unsigned n) {
    if (n >= 16) fd.fixedPitch = (U16(p + 12) | U16(p + 14)) != 0;
  });
  if (fd.winAscent + fd.winDescent <= 0) {  // no OS/2 table: fall back to hhea
    fd.winAscent = fd.hheaAscent;
    fd.winDescent = -fd.hheaDescent;
  }
  if (fd.winAscent + fd.winDescent <= 0) {
    fd.winAscent = static_cast<int>(fd.upem * 0.9);
    fd.winDescent = static_cast<int>(fd.upem * 0.2);
  }
  return fd;
}

int NormalWeight(LONG w) { return w <= 0 ? FW_NORMAL : std::clamp<int>(w, 100, 1000); }

std::string FaceName(const LOGFONT& lf) {
  std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  // Pango reads commas as a family list; a face name is one family.
  std::replace(face.begin(), face.end(), ',', ' ');
  if (face.empty()) face = "Arial";
  for (char& c : face) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return face;
}

// Average width the way Windows-era fonts defined it: lowercase letters and
// the space weighted by English letter frequency (per mille). Newer fonts,
// Liberation among them, store an average over all glyphs instead, which is
// noticeably wider than what Arial reports.
int AverageWidth(FontInstance& fi) {
  static constexpr int kWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20,
                                       56, 56, 17, 4,  49, 56, 71,  31, 10, 18, 3,  18, 2};
  int sum = 166 * fi.Advance(' ');
  for (int i = 0; i < 26; ++i) sum += kWeights[i] * fi.Advance('a' + i);
  return std::max(1, (sum + 500) / 1000);
}

std::unique_ptr<FontInstance> MakeInstance(const FaceData& fd, const LOGFONT& lf, int weight) {
  auto fi = std::make_unique<FontInstance>();
  const double cell = fd.winAscent + fd.winDescent;
  double em = kDefaultEm;
  if (lf.lfHeight < 0) em = -static_cast<double>(lf.lfHeight);
  else if (lf.lfHeight > 0) em = lf.lfHeight * fd.upem / cell;  // positive: the cell height
  const double scale = em / fd.upem;
  fi->em = em;
  fi->family = fd.family;
  fi->ascent = static_cast<int>(std::lround(fd.winAscent * scale));
  fi->descent = static_cast<int>(std::lround(fd.winDescent * scale));
  if (fi->ascent + fi->descent <= 0) fi->ascent = 1;
  fi->internalLeading = std::max(0, fi->ascent + fi->descent - static_cast<int>(std::lround(em)));
  double lineSpacing = fd.hheaAscent - fd.hheaDescent + fd.hheaLineGap;
  fi->externalLeading = std::max(0, static_cast<int>(std::lround((lineSpacing - cell) * scale)));
  fi->maxCharWidth = std::max(1, static_cast<int>(std::lround((fd.xMax - fd.xMin) * scale)));
  fi->fixedPitch = fd.fixedPitch;

  fi->desc = BaseDescription(fd.family, weight, lf.lfItalic != 0);
  pango_font_description_set_absolute_size(fi->desc, em * PANGO_SCALE);
  // GDI places glyphs by their own advances: no kerning, no ligatures. With
  // these off, a drawn line is exactly as wide as the sum of measured widths.
  fi->attrs = pango_attr_list_new();
  pango_attr_list_insert(fi->attrs, pango_attr_font_features_new("kern 0, liga 0, clig 0, calt 0"));
  fi->measure = pango_layout_new(TextContext());
  pango_layout_set_font_description(fi->measure, fi->desc);
  pango_layout_set_attributes(fi->measure, fi->attrs);

  // Pango puts a layout's top on a whole pixel and its baseline where the
  // font says; drawing glyphs ourselves, we keep the same fraction.
  pango_layout_set_text(fi->measure, "x", 1);
  const int baseline = pango_layout_get_baseline(fi->measure);
  fi->baselineShift = static_cast<double>(baseline) / PANGO_SCALE - PANGO_PIXELS(baseline);

  fi->aveCharWidth = AverageWidth(*fi);
  return fi;
}

struct FontCache {
  std::unordered_map<std::string, FaceData> faces;
  std::unordered_map<std::string, std::unique_ptr<FontInstance>> instances;
};

FontCache& Cache() {
  static FontCache* c = new FontCache;  // lives for the process: fonts may be used during teardown
  return *c;
}

}  // namespace

PangoContext* TextContext() {
  static PangoContext* ctx = [] {
    PangoContext* c = pango_font_map_create_context(FontMap());
    cairo_font_options_t* o = cairo_font_options_create();
    // Whole-pixel advances, as GDI has; slight hinting keeps them close to the
    // design widths so Liberation stays metric-compatible with the Windows faces.
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(c, o);
    cairo_font_options_destroy(o);
    pango_context_set_round_glyph_positions(c, TRUE);
    pango_context_set_language(c, pango_language_from_string("en-us"));
    return c;
  }();
  return ctx;
}

namespace {

// The LOGFONT fields an instance depends on, as they were given. Cells make a
// new handle for every measurement and drawing, so a handle is first looked up
// here by its raw bytes, before any name is normalised.
struct RawFontKey {
  LONG height = 0;
  LONG weight = 0;
  BYTE italic = 0;
  char face[LF_FACESIZE] = {};

  explicit RawFontKey(const LOGFONT& lf) : height(lf.lfHeight), weight(lf.lfWeight), italic(lf.lfItalic ? 1 : 0) {
    std::memcpy(face, lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  }
  bool operator==(const RawFontKey& o) const {
    return height == o.height && weight == o.weight && italic == o.italic && std::memcmp(face, o.face, sizeof face) == 0;
  }
};

struct RawFontKeyHash {
  std::size_t operator()(const RawFontKey& k) const {
    std::size_t h = std::hash<std::string_view>()(std::string_view(k.face, strnlen(k.face, LF_FACESIZE)));
    return h ^ (static_cast<std::size_t>(k.height) * 0x9E3779B97F4A7C15ull) ^ (static_cast<std::size_t>(k.weight) << 1) ^ k.italic;
  }
};

}  // namespace

PangoContext* DesignTextContext() {
  static PangoContext* ctx = [] {
    PangoContext* c = pango_font_map_create_context(FontMap());
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(c, o);
    cairo_font_options_destroy(o);
    pango_context_set_round_glyph_positions(c, FALSE);
    pango_context_set_language(c, pango_language_from_string("en-us"));
    return c;
  }();
  return ctx;
}

FontInstance* Instance(Font* font) {
  if (font->instance) return font->instance;
  static std::unordered_map<RawFontKey, FontInstance*, RawFontKeyHash> byRaw;  // under the module lock
  const RawFontKey raw(font->lf);
  if (auto hit = byRaw.find(raw); hit != byRaw.end()) return font->instance = hit->second;
  const LOGFONT& lf = font->lf;
  const int weight = NormalWeight(lf.lfWeight);
  const bool italic = lf.lfItalic != 0;
  std::string face = FaceName(lf);
  std::string faceKey = face + '|' + std::to_string(weight) + (italic ? "i" : "r");
  std::string key = faceKey + '|' + std::to_string(lf.lfHeight);
  FontCache& c = Cache();
  auto it = c.instances.find(key);
  if (it == c.instances.end()) {
    auto fit = c.faces.find(faceKey);
    if (fit == c.faces.end()) fit = c.faces.emplace(faceKey, LoadFace(face, weight, italic)).first;
    it = c.instances.emplace(key, MakeInstance(fit->second, lf, weight)).first;
  }
  font->instance = it->second.get();
  byRaw.emplace(raw, font->instance);
  return font->instance;
}

namespace {

// Scripts whose characters are drawn the same alone or in a word once kerning
// and ligatures are off; others (Arabic joining, Indic reordering) need Pango.
bool StandsAlone(std::uint32_t cp) {
  switch (g_unichar_type(cp)) {
    case G_UNICODE_NON_SPACING_MARK:
    case G_UNICODE_SPACING_MARK:
    case G_UNICODE_ENCLOSING_MARK:
      return false;
    default:
      break;
  }
  switch (g_unichar_get_script(cp)) {
    case G_UNICODE_SCRIPT_COMMON:
    case G_UNICODE_SCRIPT_LATIN:
    case G_UNICODE_SCRIPT_GREEK:
    case G_UNICODE_SCRIPT_CYRILLIC:
      return true;
    default:
      return false;
  }
}

// The advance of `glyph` in ems, from the face's own metrics without hinting:
// what a PDF viewer advances by after drawing it.
double DesignAdvanceEm(PangoFont* font, unsigned long glyph) {
  static std::unordered_map<hb_face_t*, hb_font_t*> unhinted;  // at the face's units, under the module lock
  hb_face_t* face = hb_font_get_face(pango_font_get_hb_font(font));
  auto it = unhinted.find(face);
  if (it == unhinted.end()) it = unhinted.emplace(face, hb_font_create(face)).first;  // keeps the face alive
  const unsigned upem = std::max(1u, hb_face_get_upem(face));
  return static_cast<double>(hb_font_get_glyph_h_advance(it->second, static_cast<hb_codepoint_t>(glyph))) / upem;
}

// The single glyph Pango shaped for the measure layout's one character, if so;
// `design` gets its unhinted advance at the size the glyph is drawn.
GlyphRef SingleGlyph(FontInstance& fi, std::uint32_t cp, double& design) {
  GlyphRef ref;
  PangoLayoutLine* line = pango_layout_get_line_readonly(fi.measure, 0);
  if (!StandsAlone(cp) || !line || !line->runs || line->runs->next) return ref;
  auto* run = static_cast<PangoGlyphItem*>(line->runs->data);
  if (run->glyphs->num_glyphs != 1) return ref;
  const PangoGlyphInfo& g = run->glyphs->glyphs[0];
  if ((g.glyph & PANGO_GLYPH_UNKNOWN_FLAG) || g.glyph == PANGO_GLYPH_EMPTY) return ref;
  PangoFont* font = run->item->analysis.font;
  cairo_scaled_font_t* scaled = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(font));
  if (!scaled) return ref;
  if (std::find(fi.glyphFonts.begin(), fi.glyphFonts.end(), font) == fi.glyphFonts.end())
    fi.glyphFonts.push_back(static_cast<PangoFont*>(g_object_ref(font)));
  ref.font = scaled;
  ref.index = g.glyph;
  cairo_matrix_t size;
  cairo_scaled_font_get_font_matrix(scaled, &size);
  design = DesignAdvanceEm(font, g.glyph) * size.xx;
  ref.dx = static_cast<double>(g.geometry.x_offset) / PANGO_SCALE;
  ref.dy = static_cast<double>(g.geometry.y_offset) / PANGO_SCALE;
  return ref;
}

}  // namespace

const CharInfo& FontInstance::MeasureChar(std::uint32_t cp) {
  CharInfo& slot = cp < 256 ? narrow[cp] : wide[cp];  // map references survive rehashing
  if (slot.width >= 0) return slot;
  CharInfo info;
  info.width = 0;
  if (cp == '\t') {
    info = Char(' ');  // unexpanded tabs show as a space
  } else if (cp >= 0x20 && !(cp >= 0x7F && cp <= 0x9F)) {
    std::string s;
    AppendUtf8(s, cp);
    pango_layout_set_text(measure, s.data(), static_cast<int>(s.size()));
    PangoRectangle logical;
    pango_layout_get_extents(measure, nullptr, &logical);
    info.width = PANGO_PIXELS(logical.width);
    double design = 0;
    info.glyph = SingleGlyph(*this, cp, design);
    info.design = info.glyph.font ? design : info.width;  // text drawn through Pango keeps its hinted width
  }  // other control characters take no room and are not drawn
  slot = info;
  if (cp < asciiWidth.size()) asciiWidth[cp] = info.width;
  return slot;
}

void FillTextMetrics(Font* font, DC* dc, TEXTMETRIC* tm) {
  FontInstance* fi = Instance(font);
  const LOGFONT& lf = font->lf;
  *tm = TEXTMETRIC{};
  tm->tmAscent = fi->ascent;
  tm->tmDescent = fi->descent;
  tm->tmHeight = fi->Height();
  tm->tmInternalLeading = fi->internalLeading;
  tm->tmExternalLeading = fi->externalLeading;
  tm->tmAveCharWidth = fi->aveCharWidth;
  tm->tmMaxCharWidth = fi->maxCharWidth;
  tm->tmWeight = NormalWeight(lf.lfWeight);
  tm->tmDigitizedAspectX = dc->dpiX;
  tm->tmDigitizedAspectY = dc->dpiY;
  tm->tmFirstChar = 30;
  tm->tmLastChar = 255;
  tm->tmDefaultChar = 31;
  tm->tmBreakChar = 32;
  tm->tmItalic = lf.lfItalic ? 1 : 0;
  tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  // TMPF_FIXED_PITCH (1) is set for variable-pitch fonts, as Win32 has it;
  // vector (2) and TrueType (4) always; then the family in the high nibble.
  BYTE family = 0x20;  // FF_SWISS
  if (fi->fixedPitch || fi->family.find("Mono") != std::string::npos) family = 0x30;  // FF_MODERN
  else if (fi->family.find("Serif") != std::string::npos) family = 0x10;             // FF_ROMAN
  tm->tmPitchAndFamily = static_cast<BYTE>((fi->fixedPitch ? 0 : 1) | 2 | 4 | family);
  tm->tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
}

std::vector<std::uint32_t> DecodeUtf8(const char* text, int length) {
  std::vector<std::uint32_t> out;
  DecodeUtf8(text, length, out);
  return out;
}

void DecodeUtf8(const char* text, int length, std::vector<std::uint32_t>& out) {
  out.clear();
  if (!text) return;
  const std::size_t n = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
  out.reserve(n);
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  for (std::size_t i = 0; i < n;) {
    unsigned c = s[i];
    int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
    if (c >= 0xF8) extra = 0;
    std::uint32_t cp = c;
    bool ok = c < 0x80 || extra > 0;
    if (extra > 0) {
      cp = c & (0x3F >> extra);
      for (int k = 1; ok && k <= extra; ++k) {
        if (i + k >= n || (s[i + k] & 0xC0) != 0x80) ok = false;
        else cp = (cp << 6) | (s[i + k] & 0x3F);
      }
      if (ok && (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || (extra == 2 && cp < 0x800) ||
                 (extra == 3 && cp < 0x10000)))
        ok = false;
    }
    if (ok) {
      out.push_back(cp);
      i += 1 + extra;
    } else {
      out.push_back(c);  // a stray byte reads as its Latin-1 character
      i += 1;
    }
  }
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

Font* NewFont(const LOGFONT& lf, bool stock) {
  auto* f = new Font;
  f->lf = lf;
  f->lf.lfFaceName[LF_FACESIZE - 1] = '\0';
  return Register(f, stock);
}

}  // namespace gdi

using namespace gdi;

HFONT CreateFontIndirect(const LOGFONT* lf) {
  GDI_LOCK;
  if (!lf) return nullptr;
  return NewFont(*lf, false);
}


BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !tm) return FALSE;
  FillTextMetrics(SelectedFont(dc), dc, tm);
  return TRUE;
}

BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, INT* widths) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !widths || last < first) return FALSE;
  FontInstance* fi = Instance(SelectedFont(dc));
  for (UINT c = first; c <= last; ++c)
    widths[c - first] = dc->DesignAdvances() ? static_cast<INT>(std::lround(fi->DesignAdvance(c))) : fi->Advance(c);
  return TRUE;
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc || !size) return FALSE;
  FontInstance* fi = Instance(SelectedFont(dc));
  double w = 0;  // whole units, or a sum of unrounded design advances rounded once
  std::vector<std::uint32_t> cps = DecodeUtf8(text, length);
  ComposeMarks(cps);
  bool shaped = false;
  for (std::uint32_t cp : cps) {
    w += dc->DesignAdvances() ? fi->DesignAdvance(cp) : fi->Advance(cp);
    shaped = shaped || !DrawsAlone(cp);
  }
  if (shaped) {  // clusters and joining forms: as wide as drawn
    std::string shown;
    for (std::uint32_t cp : cps)
      if (!ShowsNothing(cp) || cp == '\t') AppendUtf8(shown, cp == '\t' ? ' ' : cp);
    w = ShapedWidth(fi, dc->DesignAdvances(), shown);
  }
  size->cx = static_cast<LONG>(std::lround(w));
  size->cy = fi->Height();
  return TRUE;
}

std::string ResolvedFontFamily(HDC hdc) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  if (!dc) return {};
  return Instance(SelectedFont(dc))->family;
}

}  // namespace ktfolio::win
