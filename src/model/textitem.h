// KtTextItem: one cell of a row, its text (or picture) and everything that says
// how it is drawn. Setters only store; measuring happens on request.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/variant.h"
#include "platform/gdi/gdi.h"

namespace ktfolio {

class DocumentHost;
class KtRow;
class clsBitmap;

class KtTextItem {
 public:
  KtTextItem();
  ~KtTextItem();
  KtTextItem(const KtTextItem&) = delete;
  KtTextItem& operator=(const KtTextItem&) = delete;

  // references
  KtRow* ParentRow() const { return parentRow_; }
  void ParentRow(KtRow* r) { parentRow_ = r; }
  DocumentHost* ParentControl() const { return parentControl_; }
  void ParentControl(DocumentHost* c) { parentControl_ = c; }

  // Text is stored with line breaks turned into "<cr>" / "<lf>" markers.
  std::string Text() const;
  void Text(std::string_view value);
  const std::string& StoredText() const { return text_; }
  void StoredText(std::string value) { text_ = std::move(value); }

  // Picture shown instead of the text; empty when there is none.
  std::string BITMAP() const;
  void BITMAP(std::string_view value);
  bool HasBitmap() const { return picture_ != nullptr; }
  // The setter's work; returns the failure instead of recording it.
  std::optional<Error> LoadBitmap(std::string_view value);
  const clsBitmap* Picture() const { return picture_.get(); }

#define KT_ATTR(type, name, init)              \
  type name() const { return name##_; }        \
  void name(type value) { name##_ = value; }
  KT_ATTR(std::int16_t, LineRight, 0)
  KT_ATTR(std::int16_t, LineLeft, 0)
  KT_ATTR(std::int16_t, LineBottom, 0)
  KT_ATTR(std::int16_t, LineTop, 0)
  KT_ATTR(float, TabLeft, 0)
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
  KT_ATTR(bool, Focused, false)
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
#undef KT_ATTR

  const std::string& FontName() const { return fontName_; }
  void FontName(std::string_view v) { fontName_ = std::string(v); }

  // Values written by measuring (library-internal readers).
  float ItemHeight() const { return itemHeight_; }
  float LineHeight() const { return lineHeight_; }
  std::int16_t Lines() const { return lines_; }

  // Copies the 32 layout attributes (not Text, picture or Focused) from a model cell.
  void CopyAttributesFrom(const KtTextItem& model);

  // Attribute access by name, names matched without regard to case. Unknown
  // names throw Error 438; values convert with the variant rules.
  Variant GetByName(std::string_view name) const;
  void SetByName(std::string_view name, const Variant& value);

  // Measuring: right edge in twips from the row's left edge; stores ItemHeight.
  void GetHeight(win::HDC hdc, float right);
  // Field codes (%p, %n, dates) and line markers expanded.
  void ExpandText(const std::string& text, std::string& result) const;
  // Builds the cell's font for a device context at a zoom in percent; nullptr on failure.
  win::HFONT SetFont(win::HDC hdc, win::HFONT oldFont, double zoom);
  static void ReleaseFont(win::HDC hdc, win::HFONT& font);

 private:
  void RecordError(std::int32_t number, const std::string& source, const std::string& description) const;

  KtRow* parentRow_ = nullptr;
  DocumentHost* parentControl_ = nullptr;
  std::string text_;
  std::string fontName_;
  std::unique_ptr<clsBitmap> picture_;
  std::int16_t LineRight_ = 0, LineLeft_ = 0, LineBottom_ = 0, LineTop_ = 0;
  float TabLeft_ = 0;
  std::int32_t AlignPos_ = 0, FontStyle_ = 0;
  float IndentLeft_ = 0, IndentRight_ = 0, FontSize_ = 0;
  std::uint32_t FontColor_ = 0, ShadowColor_ = 0, ShadowHeavyColor_ = 0;
  std::int32_t ShadowSize_ = 0;
  bool Clipping_ = false, WordWrap_ = false, Focused_ = false;
  std::int32_t PenStyle_ = 0;
  std::uint32_t PenColor_ = 0, BrushColor_ = 0;
  bool FillCell_ = false;
  float IndentFirst_ = 0;
  bool FontBold_ = false, FontItalic_ = false, FontUnderline_ = false, FontStrikethru_ = false;
  std::int32_t FrameControl_ = 0, FrameControlFlags_ = 0;
  float FrameControlSize_ = 0;
  std::int32_t edge_ = 0, EdgeFlags_ = 0, EditType_ = 0;
  float itemHeight_ = 0, lineHeight_ = 0;
  std::int16_t lines_ = 0;
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
