// KtTextItem: one cell of a row, its text (or picture) and everything that says
// how it is drawn. Setters only store; measuring happens on request.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/cellstyle.h"
#include "model/celltext.h"
#include "platform/automation/variant.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_measure.h"

namespace ktfolio {

class DocumentHost;
class KtRow;
class clsBitmap;
class ColumnWidths;

// The longest cell text, in UTF-8 bytes as Text() gives it back: a longer one
// is refused before anything measures it (100 MB took minutes and gigabytes).
inline constexpr std::size_t kMaxCellTextBytes = std::size_t{1} << 20;
// For `value` as KtTextItem::Text(value) takes it: Error 14 (out of string
// space) when the text it stands for is longer than kMaxCellTextBytes.
void CheckCellTextSize(std::string_view value);

// What a text holds that storing and measuring it depend on, found in one
// pass (CellTextTraits): a row added in bulk reads each text once.
enum CellTextTrait : std::uint8_t {
  kTextLineBreak = 1,      // CR or LF, stored as "<cr>" and "<lf>"
  kTextFieldCode = 2,      // '%' or '<': codes or markers expanded before measuring
  kTextNotPlainAscii = 4,  // not win::PlainAscii
};
std::uint8_t CellTextTraits(std::string_view text);

class KtTextItem {
 public:
  KtTextItem();
  // A cell of a known style (rows laying out their cells).
  explicit KtTextItem(const StyleRef& style) : style_(style) {}
  // A cell of a known style in a row.
  KtTextItem(const StyleRef& style, KtRow* row) : style_(style), link_(reinterpret_cast<std::uintptr_t>(row)) {}
  ~KtTextItem();
  KtTextItem(const KtTextItem&) = delete;
  KtTextItem& operator=(const KtTextItem&) = delete;
  // Rows keep their cells side by side and move them when they grow.
  KtTextItem(KtTextItem&& o) noexcept;
  KtTextItem& operator=(KtTextItem&& o) noexcept;

  // references
  KtRow* ParentRow() const { return Linked() ? Linked()->row : reinterpret_cast<KtRow*>(link_ & ~kFlagBits); }
  void ParentRow(KtRow* r);
  // The row's control unless the cell was given another one.
  DocumentHost* ParentControl() const;
  void ParentControl(DocumentHost* c);
  // Records a failure caught at one of the cell's boundaries in its control.
  void RecordCaught(const std::exception& e) const;

  // Text is stored with line breaks turned into "<cr>" / "<lf>" markers.
  std::string Text() const;
  void Text(std::string_view value);
  // The same for a value whose CellTextTraits the caller has.
  void Text(std::string_view value, std::uint8_t traits);
  std::string_view StoredText() const { return text_.view(); }
  void StoredText(std::string_view value) { text_.assign(value); }
  // Stores a text without line breaks as a record written at `room` (the
  // row's text room, CellText::RecordSize(value.size()) bytes).
  void StoredTextIn(std::string_view value, char* room) { text_.Borrow(CellText::WriteRecord(room, value)); }
  // A text kept in the row's room copied to a block of its own.
  void OwnStoredText() { text_.Own(); }

  // Picture shown instead of the text; empty when there is none.
  std::string BITMAP() const;
  void BITMAP(std::string_view value);
  bool HasBitmap() const { return Picture() != nullptr; }
  // The setter's work; returns the failure instead of recording it.
  std::optional<Error> LoadBitmap(std::string_view value);
  const clsBitmap* Picture() const { return Linked() ? Linked()->picture.get() : nullptr; }

  // Shared attributes: reading is one indirection; a setter that changes a
  // value gives this cell its own (interned) record, the others keep theirs.
#define KT_ATTR(type, name, init)                                    \
  type name() const { return style_->name; }                         \
  void name(type value) {                                            \
    if (style_->name != value) Restyle(&CellStyleData::name, value); \
  }
  KT_ATTR(std::int16_t, LineRight, 0)
  KT_ATTR(std::int16_t, LineLeft, 0)
  KT_ATTR(std::int16_t, LineBottom, 0)
  KT_ATTR(std::int16_t, LineTop, 0)
  KT_ATTR(std::int32_t, AlignPos, 0)
  KT_ATTR(std::int32_t, FontStyle, 0)
  KT_ATTR(float, IndentLeft, 0)
  KT_ATTR(float, IndentRight, 0)
  KT_ATTR(float, FontSize, 0)
  KT_ATTR(std::uint32_t, FontColor, 0)
  KT_ATTR(std::uint32_t, ShadowColor, 0)
  KT_ATTR(std::uint32_t, ShadowHeavyColor, 0)
  KT_ATTR(std::int32_t, ShadowSize, 0)
  KT_ATTR(bool, Clipping, false)
  KT_ATTR(bool, WordWrap, false)
  KT_ATTR(std::int32_t, PenStyle, 0)
  KT_ATTR(std::uint32_t, PenColor, 0)
  KT_ATTR(std::uint32_t, BrushColor, 0)
  KT_ATTR(bool, FillCell, false)
  KT_ATTR(float, IndentFirst, 0)
  KT_ATTR(bool, FontBold, false)
  KT_ATTR(bool, FontItalic, false)
  KT_ATTR(bool, FontUnderline, false)
  KT_ATTR(bool, FontStrikethru, false)
  KT_ATTR(std::int32_t, FrameControl, 0)
  KT_ATTR(std::int32_t, FrameControlFlags, 0)
  KT_ATTR(float, FrameControlSize, 0)
  KT_ATTR(std::int32_t, edge, 0)
  KT_ATTR(std::int32_t, EdgeFlags, 0)
  KT_ATTR(std::int32_t, EditType, 0)

  KT_ATTR(float, TabLeft, 0)
#undef KT_ATTR

  // Per cell.
  bool Focused() const { return (link_ & kFocusedBit) != 0; }
  void Focused(bool value) { link_ = value ? link_ | kFocusedBit : link_ & ~kFocusedBit; }

  const std::string& FontName() const { return style_->fontName; }
  void FontName(std::string_view v) {
    if (style_->fontName == v) return;
    CellStyleData d = *style_;
    d.fontName = std::string(v);
    style_ = CellStyle::Intern(d);
  }

  // The shared record itself: cells with equal styles hold the same one.
  const CellStyle* Style() const { return style_.get(); }
  void Style(const StyleRef& style) { style_ = style; }
  const StyleRef& StyleRefOf() const { return style_; }

  // Values written by measuring (library-internal readers).
  float ItemHeight() const { return itemHeight_; }
  float LineHeight() const { return Linked() ? Linked()->lineHeight : 0.0f; }
  std::int16_t Lines() const { return Linked() ? Linked()->lines : std::int16_t{0}; }

  // Copies the 32 layout attributes (not Text, picture or Focused) from a model cell.
  void CopyAttributesFrom(const KtTextItem& model);

  // Attribute access by name, names matched without regard to case. Unknown
  // names throw Error 438; values convert with the variant rules.
  Variant GetByName(std::string_view name) const;
  void SetByName(std::string_view name, const Variant& value);

  // Measuring: right edge in twips from the row's left edge; stores ItemHeight.
  void GetHeight(win::HDC hdc, float right);
  // The same result, measured with a row's shared measurer (fonts made once
  // per row, single lines from the cached widths).
  void GetHeight(win::TextMeasurer& measurer, float right);
  // The same for a cell whose stored text's CellTextTraits the caller has, and
  // with `widths` its width taken from (and kept in) the widths of its column.
  void GetHeight(win::TextMeasurer& measurer, float right, std::uint8_t traits, ColumnWidths* widths = nullptr,
                 std::size_t column = 0);
  // The same, inline, for the common cell of a row (plain ASCII without field
  // codes, first-line indent or picture, in the font the measurer holds for
  // its column, and a width its column already knows); false, and nothing
  // done, for any other (text_width.h).
  bool QuickHeight(win::TextMeasurer& measurer, float right, std::uint8_t traits, ColumnWidths& widths,
                   std::size_t column);
  // Field codes (%p, %n, dates) and line markers expanded.
  void ExpandText(std::string_view text, std::string& result) const;
  // Builds the cell's font for a device context at a zoom in percent; nullptr on failure.
  win::HFONT SetFont(win::HDC hdc, win::HFONT oldFont, double zoom);
  static void ReleaseFont(win::HDC hdc, win::HFONT& font);

 private:
  // What few cells have: a picture, or a control other than their row's.
  struct CellLinks {
    KtRow* row = nullptr;
    DocumentHost* control = nullptr;
    std::unique_ptr<clsBitmap> picture;
    float lineHeight = 0;
    std::int16_t lines = 0;
  };
  // A setter's change, out of line: the setters are called per cell of every
  // row added, nearly always with the value the cell has.
  template <class T>
  [[gnu::noinline]] void Restyle(T CellStyleData::*field, T value) {
    CellStyleData d = *style_;
    d.*field = value;
    style_ = CellStyle::Intern(d);
  }
  // link_ is the row pointer, or (kLinksBit set) a CellLinks block; kFocusedBit
  // rides along in the pointer's spare low bits.
  static constexpr std::uintptr_t kLinksBit = 1, kFocusedBit = 2, kFlagBits = 3;
  CellLinks* Linked() const {
    return (link_ & kLinksBit) ? reinterpret_cast<CellLinks*>(link_ & ~kFlagBits) : nullptr;
  }
  CellLinks& EnsureLinks();
  // Builds the font description for a device resolution; false (error recorded) when it cannot be.
  bool FillLogFont(int dpiY, double zoom, win::LOGFONT& lf) const;

  void RecordError(std::int32_t number, const std::string& source, const std::string& description) const;
  void RecordError(ErrorCode number, const std::string& source, const std::string& description) const {
    RecordError(ToInt(number), source, description);
  }

  // 32 bytes in all: the text and height share the first 16.
  CellText text_;
  float itemHeight_ = 0;
  StyleRef style_;
  std::uintptr_t link_ = 0;
};

// True for the cell attributes that hold a colour (matched without regard to case).
bool IsColorAttribute(std::string_view name);

// Lines wider than this many device units are measured and drawn as this
// wide. No paper is (it is over four metres at 600 dpi); a wider line would
// only make a first-line indent of spaces cost time.
constexpr int kMaxLineWidth = 100000;

// Replaces every occurrence of a substring (exact case).
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);
// Case-insensitive ASCII comparison used by every by-name dispatch.
bool NameEquals(std::string_view a, std::string_view b);

}  // namespace ktfolio
