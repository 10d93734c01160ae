// Private to the gdi module: the objects behind the handles, device-context
// state and the shared text engine. Only src/platform/gdi/*.cpp include this.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/fileio/fileio.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/gdi_measure.h"
#include "platform/gdi/gdi_transform.h"

namespace ktfolio::win::gdi {

// One lock for the whole module: the Pango font map and the handle tables are
// shared, and a backend thread may create objects while the UI thread draws.
std::recursive_mutex& ModuleLock();
#define GDI_LOCK std::lock_guard<std::recursive_mutex> gdi_lock_guard_(::ktfolio::win::gdi::ModuleLock())

// Bookkeeping common to every object kind. `selected` counts the contexts that
// have the object selected right now (deleting it then is refused); `refs` also
// counts saved context states, which keep a deleted object alive until they go.
struct ObjInfo {
  DWORD type = 0;
  bool stock = false;
  int selected = 0;
  int refs = 0;
  bool deletePending = false;
};

struct FontInstance;

struct Font final : HFONT__ {
  ObjInfo info{OBJ_FONT};
  LOGFONT lf;
  FontInstance* instance = nullptr;  // resolved on first use, owned by the cache
};

struct Pen final : HPEN__ {
  ObjInfo info{OBJ_PEN};
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct Brush final : HBRUSH__ {
  ObjInfo info{OBJ_BRUSH};
  bool hollow = false;
  COLORREF color = 0;
  cairo_surface_t* pattern = nullptr;  // owned RGB24 tile of a pattern brush
  ~Brush() override;
};

struct DC;

struct Bitmap final : HBITMAP__ {
  ObjInfo info{OBJ_BITMAP};
  cairo_surface_t* surface = nullptr;  // owned reference
  DC* selectedInto = nullptr;          // a bitmap lives in one memory context at a time
  ~Bitmap() override;
};

// Everything SaveDC keeps. Clip is in device units (viewport origin applied at
// the time it was set), as Win32 keeps it.
struct DCState {
  Font* font = nullptr;
  Pen* pen = nullptr;
  Brush* brush = nullptr;
  Bitmap* bitmap = nullptr;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  POINT org{};
  POINT pos{};
  bool clipped = false;
  RECT clip{};
  int graphicsMode = GM_COMPATIBLE;
  XFORM xform;

  bool Transformed() const {
    return xform.eM11 != 1 || xform.eM12 != 0 || xform.eM21 != 0 || xform.eM22 != 1 || xform.eDx != 0 ||
           xform.eDy != 0;
  }
};

enum class DCKind { Screen, Memory, Surface };

// Lines drawn on a printer page with a plain solid pen wait here, so that the
// LineTo calls with the same pen and clip become one stroked path in the PDF
// instead of one operation each. Text may be drawn while they wait (so where a
// glyph and a queued line cross, the line lies on top); any other drawing on
// the context, the end of the page and the context's deletion stroke them
// first, so fills, shapes and pictures keep their order with every line.
struct QueuedLines {
  double width = 1;
  COLORREF color = 0;
  bool clipped = false;
  RECT clip{};
  POINT org{};
  std::vector<int> coords;  // x0, y0, x1, y1 for each segment
};

// Glyphs drawn on a printer page wait in the same way: a DrawText whose lines
// need no background adds its glyphs here, and each run of one font and
// colour is drawn with a single call. Texts cut to their rectangles (cells
// they overflow) share a run whose clip is the union of those rectangles,
// as long as no text's ink reaches into another's rectangle. Text keeps its
// order with the text it could overlap; it goes after the queued lines.
struct TextCut {
  RECT box;    // what the text is cut to, device units
  RECT reach;  // where its glyphs may ink, device units
};
struct QueuedGlyphRun {
  cairo_scaled_font_t* font = nullptr;  // referenced while queued
  COLORREF color = 0;
  std::vector<cairo_glyph_t> glyphs;   // device units, the origin applied
  std::vector<TextCut> cuts;           // empty when the run is not clipped
};

// The document of a PDF printer context (gdi_print.cpp). Between pages the
// context draws on `sink`, an empty image surface, so stray drawing is lost
// instead of landing on the next page.
struct PrintJob {
  std::string path;                 // the file the context was made for
  std::string target;               // the file EndDoc produces (DOCINFO may name another)
  std::unique_ptr<fileio::AtomicFile> file;  // where the document goes until EndDoc
  std::optional<Error> writeFailure;         // the first write the file refused
  ByteSink stream;                           // instead of the file, when set (CreatePdfStreamDC)
  bool discarding = false;                   // the surface is being dropped: its bytes go nowhere
  std::string bytes;                         // what Cairo wrote of the document and the file has not yet
  // An untagged document for a file goes there as Cairo writes it, a piece
  // at a time, only its end (from the finishing on) kept for the update that
  // finishes it (CatalogUpdate); `written` bytes are in the file, `digest`
  // has seen them. Anything else is kept whole until EndDoc.
  bool direct = false;
  bool finishing = false;
  std::uint64_t written = 0;
  GChecksum* digest = nullptr;  // owned
  PdfMetadata metadata;                      // as the host set it
  PdfMetadata document;                      // this document's (a missing title filled in)
  cairo_surface_t* pdf = nullptr;   // owned; between StartDoc and EndDoc
  cairo_surface_t* sink = nullptr;  // owned
  double pageWidthPt = 0;
  double pageHeightPt = 0;
  bool inPage = false;
  int pagesEnded = 0;      // pages of the current document, as EndPage closed them
  struct Heading {
    int level;
    std::string title;
    int page;
    double yPt;  // from the page's top
  };
  std::vector<Heading> headings;  // of the current document, in order
  // The structure tags open now, outermost first (the document's root at the
  // bottom), and the alternative texts of the figures, in the order they opened.
  std::vector<const char*> openTags;
  std::vector<std::string> figureAlts;
  bool piece = false;      // a piece of a longer document (pdf_join.h): left as Cairo wrote it
  bool endFailed = false;  // EndDoc failed: the document is gone, an AbortDoc may follow
  std::unique_ptr<PrinterDriver> driver;  // the spooler's, when it made the context
  ~PrintJob();  // an unfinished document is discarded with its temporary file
};

// The complete PDF `pdf` with `metadata` added where Cairo cannot write it
// (catalog /Lang, viewer preferences, XMP) and, for a tagged document, the
// figures' alternative texts and the untagged drawing marked as artifacts;
// throws Error when it cannot be read.
std::string FinishPdf(const std::string& pdf, const PdfMetadata& metadata, const std::vector<std::string>& figureAlts);
// A document with a structure tree finished as FinishPdf does, in one
// rewrite of Cairo's bytes `pdf`; nothing when they are not as Cairo writes
// them (FinishPdf then finishes the document with qpdf).
std::optional<std::string> FinishTaggedPdf(std::string_view pdf, const PdfMetadata& metadata,
                                           const std::vector<std::string>& figureAlts);
// The incremental update that finishes an untagged document whose last bytes
// are `tail`, starting at offset `tailAt` of the file: `digest` has seen every
// byte of the file up to the tail's end, and sees the update's before its
// trailer, whose ID it gives. Nothing when Cairo's end is not as expected (the
// caller finishes the whole document with FinishPdf instead).
std::optional<std::string> CatalogUpdate(std::string_view tail, std::uint64_t tailAt, const PdfMetadata& metadata,
                                         GChecksum* digest);
// Cairo's catalog dictionary `body` with what the finishing adds to it: the
// viewer preferences, the XMP stream (object `metadataObject`) and the
// language; nothing when it holds any of them already.
std::optional<std::string> ExtendedCatalog(std::string_view body, const PdfMetadata& metadata,
                                           long long metadataObject);
// The number after `key` in `text` (from `from` on), or -1 (also for one of
// more than 18 digits).
long long NumberAfter(std::string_view text, std::string_view key, std::size_t from = 0);
// A classic cross-reference entry for an object at `offset`.
std::string XrefEntry(std::uint64_t offset);
// The end of an incremental update whose cross-reference section starts at
// `xrefAt`: the trailer, whose ID is the digest of every byte before it, and
// the offset of the section.
std::string UpdateTrailer(long long size, long long root, long long info, GChecksum* digest, std::uint64_t previous,
                          std::uint64_t xrefAt);
// A PDF text string: a literal one for printable ASCII, else UTF-16 with its
// byte-order mark in hexadecimal (the text read as DrawText reads it).
std::string PdfTextString(const std::string& text);
// The XMP packet: Dublin Core title, creator, description and language, the
// keywords, the tool, and the PDF/UA part the document claims.
std::string XmpPacket(const PdfMetadata& metadata, bool tagged);
// `text` as valid UTF-8 read the way DrawText reads it (a stray byte is its
// Latin-1 character, a control character a space): Cairo refuses a whole
// document over one invalid string in its outline or structure.
std::string AsDrawnUtf8(const std::string& text);
// Closes the structure tags still open when the document ends (gdi_pdf_tags.cpp).
void CloseAllPdfTags(DC* dc, PrintJob* job);

struct DC final : HDC__ {
  DCKind kind = DCKind::Memory;
  DCState st;
  std::vector<DCState> saved;
  cairo_surface_t* ownSurface = nullptr;  // screen and surface contexts
  cairo_t* cr = nullptr;
  int dpiX = 96;
  int dpiY = 96;
  double scaleX = 1.0;  // device unit -> surface unit
  double scaleY = 1.0;
  std::unordered_map<int, int> caps;  // overrides set by the spooler
  bool queueLines = false;            // set while a printer page is open
  QueuedLines queued;
  std::vector<QueuedGlyphRun> queuedText;
  std::vector<cairo_glyph_t> spareGlyphs;  // a drawn run's room, for the next page's first run
  std::unique_ptr<PrintJob> print;    // PDF printer contexts only
  ~DC() override;

  // Text on a PDF page is placed at the fonts' unhinted advances, which is
  // where a PDF viewer puts each glyph after the previous one: a line then
  // goes into the file as one plain string instead of a position per glyph.
  // Measuring on such a context sums the same advances, so alignment and
  // clipping agree with what is drawn.
  bool DesignAdvances() const { return print != nullptr; }

  cairo_surface_t* Surface() const;
  void Rebind();  // (re)creates the Cairo context after the target changed
  RECT Bounds() const;  // device units
  // Sets up the Cairo context for one drawing call: clip and viewport origin
  // applied, antialiasing off so pixels land exactly. Pair with End().
  // applyClip false: the caller knows its drawing lies inside the clip.
  // keepLines: text may go before the queued lines (see QueuedLines).
  cairo_t* Begin(bool applyClip = true, bool keepLines = false);
  void End();
  // Strokes the queued lines (gdi_draw.cpp); a no-op when none wait.
  void FlushLines();
  // Draws the queued glyph runs (gdi_text.cpp).
  void FlushText();
  // The queued run the next glyphs of `font` in `color` go to, inking within
  // `ink` and cut to `clip` when given (device units): an earlier run of the
  // same font, colour and kind when nothing queued since could overlap them,
  // else a new one (gdi_text.cpp).
  std::vector<cairo_glyph_t>& QueuedRun(cairo_scaled_font_t* font, COLORREF color, const RECT& ink,
                                        const RECT* clip = nullptr);
  // Both, lines first: what other drawing calls before they draw.
  void FlushQueues() {
    FlushLines();
    FlushText();
  }
};

// ---- owning handles for Pango and GObject references ----
template <auto Free>
struct FreeWith {
  template <class T>
  void operator()(T* p) const {
    if (p) Free(p);
  }
};
using LayoutPtr = std::unique_ptr<PangoLayout, FreeWith<g_object_unref>>;
using FontPtr = std::unique_ptr<PangoFont, FreeWith<g_object_unref>>;
using AttrListPtr = std::unique_ptr<PangoAttrList, FreeWith<pango_attr_list_unref>>;
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FreeWith<pango_font_description_free>>;

// ---- object tables (gdi_objects.cpp) ----
GdiObjectCounts& LiveCounts();       // what GdiLiveObjects reports
ObjInfo* Info(HGDIOBJ obj);          // nullptr for a dead or foreign handle
Font* SelectedFont(DC* dc);          // never null: falls back to the stock font
// The context's clip narrowed to a rectangle in logical units, in device
// units (what IntersectClipRect makes the clip).
RECT ClipWithin(DC* dc, int left, int top, int right, int bottom);
// Enters a new object in the handle table; stock objects are not counted as live.
void RegisterObject(HGDIOBJ obj, ObjInfo& info, bool stock);
template <class T>
T* Register(T* obj, bool stock) {
  RegisterObject(obj, obj->info, stock);
  return obj;
}
// A context's state holds its objects: `current` for the selection itself
// (deleting is refused meanwhile), otherwise a saved copy (deleting is deferred).
void AcquireState(const DCState& s, bool current);
void ReleaseState(const DCState& s, bool current);

constexpr int kStockPenWidth = 1;
// Coordinates are taken within 22 bits (some four million units, 177 m at
// 600 dpi): Cairo's fixed-point device coordinates reach about eight million,
// so a coordinate and an origin within the limit added together still draw,
// and adding a width or a line height to one never overflows an int.
constexpr int kMostCoordinate = (1 << 22) - 1;
inline int WithinCoordinates(long long v) {
  return static_cast<int>(std::clamp<long long>(v, -kMostCoordinate, kMostCoordinate));
}
inline POINT WithinCoordinates(const POINT& p) { return POINT{WithinCoordinates(p.x), WithinCoordinates(p.y)}; }
inline RECT WithinCoordinates(const RECT& r) {
  return RECT{WithinCoordinates(r.left), WithinCoordinates(r.top), WithinCoordinates(r.right),
              WithinCoordinates(r.bottom)};
}
// The common part of two rectangles, empty (not inverted) when they do not meet.
inline RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}
struct StockObjects {
  HGDIOBJ objects[18] = {};
  Bitmap* defaultBitmap = nullptr;  // the 1x1 bitmap every memory DC starts with
  Brush* sysBrushes[31] = {};       // made on first use
  StockObjects();
};
StockObjects& TheStock();

// ---- the one creation step of each object kind ----
Pen* NewPen(int style, int width, COLORREF color, bool stock);                             // gdi_pen.cpp
Brush* NewBrush(COLORREF color, bool hollow, cairo_surface_t* pattern, bool stock);        // gdi_brush.cpp
Font* NewFont(const LOGFONT& lf, bool stock);                                              // gdi_font.cpp
Bitmap* NewBitmap(cairo_surface_t* surface, bool stock);  // takes the reference; gdi_bitmap.cpp
DC* NewDC(DCKind kind, int dpiX, int dpiY);                                                // gdi_dc.cpp

DC* ToDC(HDC hdc);                   // nullptr unless a live context (gdi_dc.cpp)
int DeviceCaps(const DC& dc, int index);  // GetDeviceCaps of a context already found (gdi_dc.cpp)
Brush* ResolveBrush(HBRUSH brush);   // accepts (HBRUSH)(COLOR_x + 1) as Win32 does (gdi_brush.cpp)

// ---- shared drawing helpers (gdi_draw.cpp) ----
// Whether the surface's pixels can be read and written one by one (RGB24 or ARGB32 image).
bool IsPixelSurface(cairo_surface_t* s);
std::uint32_t* PixelAt(cairo_surface_t* s, int x, int y);
// Device-space rectangle where pixel access is allowed: surface and clip.
RECT PixelBounds(DC* dc);
void FillBox(cairo_t* cr, COLORREF color, double l, double t, double r, double b);  // nothing when empty
// A copy of the w x h area of the image surface `src` at (x, y), as RGB24:
// the area is black where it lies off the surface. Only the part on the
// surface is copied, so an area reaching far past it (a source rectangle of
// millions of pixels) costs no more than the surface itself.
struct AreaCopy {
  cairo_surface_t* part = nullptr;  // what lies on the surface; null when nothing does
  int dx = 0, dy = 0;               // where the part starts in the area
  bool whole = false;               // the part is the whole area
  AreaCopy() = default;
  AreaCopy(const AreaCopy&) = delete;
  AreaCopy& operator=(const AreaCopy&) = delete;
  ~AreaCopy() {
    if (part) cairo_surface_destroy(part);
  }
};
void CopyArea(cairo_surface_t* src, int x, int y, int w, int h, AreaCopy& out);
// Paints an area of |cx1| x |cy1| pixels over the device rectangle (x, y, cx,
// cy) with nearest-pixel scaling; opposite signs of cx/cx1 or cy/cy1 mirror.
struct StretchTarget {
  int x, y, cx, cy;
};
void PaintStretched(DC* d, const StretchTarget& to, cairo_surface_t* whole, int cx1, int cy1,
                    cairo_operator_t op = CAIRO_OPERATOR_SOURCE);
void PaintStretched(DC* d, const StretchTarget& to, const AreaCopy& area, int cx1, int cy1);
// The brush as the Cairo source: its colour, or its tile anchored at the device origin.
void SetBrushSource(DC* dc, cairo_t* cr, const Brush* brush);
void FillWithBrush(DC* dc, cairo_t* cr, const Brush* brush, const RECT& box);  // nothing for an empty box
// The brush's colour at a device pixel, as 0xFFRRGGBB.
std::uint32_t BrushPixel(const Brush* brush, int deviceX, int deviceY);

// ---- text engine (gdi_font.cpp) ----
// How one character is drawn without Pango: a glyph of a Cairo font Pango
// chose for it, at the pen position plus an offset. `font` is null for
// characters that must be shaped with their neighbours (marks, complex
// scripts) or that have no glyph: their lines go through Pango.
struct GlyphRef {
  cairo_scaled_font_t* font = nullptr;  // borrowed from a PangoFont the instance keeps
  unsigned long index = 0;
  double dx = 0;
  double dy = 0;
};

struct CharInfo {
  int width = -1;     // -1: not measured yet
  double design = 0;  // the unhinted advance, where the glyph's own font puts the next one
  GlyphRef glyph;
};

struct FontInstance {
  PangoFontDescription* desc = nullptr;  // resolved family, absolute size
  PangoAttrList* attrs = nullptr;        // kerning and ligatures off
  PangoLayout* measure = nullptr;        // reused for advance widths
  std::string family;
  double em = 0;
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  bool fixedPitch = false;
  double baselineShift = 0;  // where Pango's baseline falls below ours, in (0, 1)
  CharInfo narrow[256];
  // narrow[].width of ASCII packed together, for adding up lines of it
  // (kUnmeasuredWidth until a character is measured).
  std::array<std::int64_t, 128> asciiWidth = [] {
    std::array<std::int64_t, 128> unmeasured;
    unmeasured.fill(kUnmeasuredWidth);
    return unmeasured;
  }();
  std::unordered_map<std::uint32_t, CharInfo> wide;
  std::vector<PangoFont*> glyphFonts;  // references keeping GlyphRef::font alive

  int Height() const { return ascent + descent; }
  int Advance(std::uint32_t cp) { return Char(cp).width; }
  double DesignAdvance(std::uint32_t cp) { return Char(cp).design; }
  // Width and glyph of one character, measured once.
  const CharInfo& Char(std::uint32_t cp) {
    if (cp < 256 && narrow[cp].width >= 0) return narrow[cp];
    return MeasureChar(cp);
  }
  const CharInfo& MeasureChar(std::uint32_t cp);  // the first time, and characters past Latin-1
};

FontInstance* Instance(Font* font);
PangoContext* TextContext();
// For text that goes through Pango on a context placing glyphs at design
// advances (DC::DesignAdvances): unhinted, positions not rounded.
PangoContext* DesignTextContext();
void FillTextMetrics(Font* font, DC* dc, TEXTMETRIC* tm);

// Control characters, and the line and paragraph separators a cell's line
// cannot hold: they take no room and are not drawn.
inline bool ShowsNothing(std::uint32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
}
// Whether a character draws as its own glyph at its own advance whatever its
// neighbours (no marks, joiners, selectors, emoji sequences, reordering or
// right-to-left): text made only of such characters takes the glyph cache.
bool DrawsAlone(std::uint32_t cp);
// Base letters and their combining marks composed where Unicode has one
// character for both ("a" + U+0308 is "ä"): fonts draw those better than a
// mark placed by the shaper, and the composed text takes the glyph cache.
void ComposeMarks(std::vector<std::uint32_t>& cps);
// Characters of scripts written without spaces between words (Chinese,
// Japanese, Thai…): lines may break next to them where the Unicode rules allow.
bool BreaksWithoutSpaces(std::uint32_t cp);
// before[i] is set where a line may break before cps[i] next to such a
// character (Unicode line breaking); the breaks at spaces are the caller's.
void LineBreakOpportunities(const std::uint32_t* cps, std::size_t count, std::vector<char>& before);
// The advance width of a run shaped as a whole (clusters, joining, bidi), in
// whole units or, with `design`, at the unhinted advances.
double ShapedWidth(FontInstance* fi, bool design, std::string_view utf8);

// UTF-8 decoding that never fails: a stray byte stands for the Latin-1 char.
std::vector<std::uint32_t> DecodeUtf8(const char* text, int length);
void DecodeUtf8(const char* text, int length, std::vector<std::uint32_t>& out);  // reuses out's storage
void AppendUtf8(std::string& out, std::uint32_t cp);

inline void SetSourceColor(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

}  // namespace ktfolio::win::gdi
