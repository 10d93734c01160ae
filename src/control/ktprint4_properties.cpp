// KtPrint4 in the container's property bag: the keys, their types and
// defaults, and the design travelling as template text.
#include "control/ktprint4_impl.h"
#include "model/units.h"
#include "persist/persist_impl.h"
#include "platform/container/property_bag.h"

namespace ktfolio {

namespace {

// The A4 paper of a new control, in twips.
constexpr float kA4WidthTwips = 11905;
constexpr float kA4LengthTwips = 16837;

// Reads or writes one key: reading stores the value (or the default) straight
// into the field, writing stores the field unless it equals the default.
class PropertyExchange {
 public:
  PropertyExchange(const PropertyBag* in, PropertyBag* out) : in_(in), out_(out) {}
  bool Reading() const { return in_ != nullptr; }

  void Long(const char* key, std::int32_t& field, std::int32_t def) { Exchange(key, field, def, &Variant::ToLong); }
  void Integer(const char* key, std::int16_t& field, std::int16_t def) {
    Exchange(key, field, def, &Variant::ToInteger);
  }
  // A Long that template text holds in 16 bits: a stored value beyond them is an overflow.
  void Long16(const char* key, std::int32_t& field, std::int32_t def) {
    if (in_)
      field = in_->ReadProperty(key, Variant(def)).ToInteger();
    else
      out_->WriteProperty(key, Variant(field), Variant(def));
  }
  void Single(const char* key, float& field, float def) { Exchange(key, field, def, &Variant::ToSingle); }
  void Boolean(const char* key, bool& field, bool def) { Exchange(key, field, def, &Variant::ToBool); }
  void String(const char* key, std::string& field, const std::string& def) {
    Exchange(key, field, def, &Variant::ToString);
  }
  // Colours travel as Longs with their bit pattern.
  void Color(const char* key, std::uint32_t& field, std::uint32_t def) {
    auto v = static_cast<std::int32_t>(field);
    Long(key, v, static_cast<std::int32_t>(def));
    field = static_cast<std::uint32_t>(v);
  }
  void Font(const char* key, FontPtr& field, const FontPtr& def) {
    if (in_)
      field = in_->ReadFont(key, def)->Clone();
    else
      out_->WriteFont(key, *field, def.get());
  }

 private:
  template <typename T, typename Convert>
  void Exchange(const char* key, T& field, const T& def, Convert convert) {
    if (in_)
      field = (in_->ReadProperty(key, Variant(def)).*convert)();
    else
      out_->WriteProperty(key, Variant(field), Variant(def));
  }

  const PropertyBag* in_;
  PropertyBag* out_;
};

// The defaults record's keys, in reading order.
void ExchangeDefaults(PropertyExchange& io, tpDefaults& d, std::uint32_t ambientFore) {
  const tpDefaults start;
  io.Long("dColAlignPos", d.dColAlignPos, start.dColAlignPos);
  io.Color("dColBrushColor", d.dColBrushColor, start.dColBrushColor);
  io.Boolean("dColClipping", d.dColClipping, start.dColClipping);
  io.Long("dColEditType", d.dColEditType, start.dColEditType);
  io.Boolean("dColFillCell", d.dColFillCell, start.dColFillCell);
  io.Single("dColIndentFirst", d.dColIndentFirst, start.dColIndentFirst);
  io.Single("dColIndentLeft", d.dColIndentLeft, start.dColIndentLeft);
  io.Single("dColIndentRight", d.dColIndentRight, start.dColIndentRight);
  io.Integer("dColLineBottom", d.dColLineBottom, start.dColLineBottom);
  io.Integer("dColLineLeft", d.dColLineLeft, start.dColLineLeft);
  io.Integer("dcolLineRight", d.dColLineRight, start.dColLineRight);
  io.Integer("dColLineTop", d.dColLineTop, start.dColLineTop);
  io.Color("dColPenColor", d.dColPenColor, start.dColPenColor);
  io.Long16("dColPenStyle", d.dColPenStyle, start.dColPenStyle);
  io.Color("dColShadowColor", d.dColShadowColor, start.dColShadowColor);
  io.Color("dColShadowHeavyColor", d.dColShadowHeavyColor, start.dColShadowHeavyColor);
  io.Long("dColShadowSize", d.dColShadowSize, start.dColShadowSize);
  io.Long("dColsLayoutType", d.dColsLayoutType, start.dColsLayoutType);
  io.Long("dColsPerRow", d.dColsPerRow, start.dColsPerRow);
  io.Boolean("dColWordWrap", d.dColWordWrap, start.dColWordWrap);
  io.Boolean("dFontBold", d.dFontBold, start.dFontBold);
  io.Color("dFontColor", d.dFontColor, ambientFore);
  io.Boolean("dFontItalic", d.dFontItalic, start.dFontItalic);
  io.String("dFontName", d.dFontName, start.dFontName);
  io.Single("dFontSize", d.dFontSize, start.dFontSize);
  io.Boolean("dFontStrikeThru", d.dFontStrikeThru, start.dFontStrikeThru);
  io.Long("dFontStyle", d.dFontStyle, start.dFontStyle);
  io.Boolean("dFontUnderline", d.dFontUnderline, start.dFontUnderline);
  io.Boolean("dInheritLastRow", d.dInheritLastRow, start.dInheritLastRow);
  io.Single("dRowIndentBottom", d.dRowIndentBottom, start.dRowIndentBottom);
  io.Single("dRowIndentTop", d.dRowIndentTop, start.dRowIndentTop);
  io.Single("dColSpacing", d.dColSpacing, start.dColSpacing);
  io.Single("dRowSpacing", d.dRowSpacing, start.dRowSpacing);
  io.Single("dRowHeight", d.dRowHeight, start.dRowHeight);
  io.Boolean("dFitHeightToText", d.dFitHeightToText, start.dFitHeightToText);
}

// Keys of the design's length: spelled differently on writing, the same key.
constexpr const char* kDsnArraySizeRead = "DsnArraySize";
constexpr const char* kDsnArraySizeWritten = "DsnArraysize";
constexpr const char* kDsnArray = "DsnArray";

}  // namespace

void KtPrint4Impl::ExchangeProperties(const PropertyBag* in, PropertyBag* out) {
  PropertyExchange io(in, out);
  const bool reading = io.Reading();
  const FontPtr ambient = container_->AmbientFont() ? container_->AmbientFont() : MakeFont("Arial", 10);
  auto activeCell = [&](const char* key, std::int32_t area, bool row) {
    KtRows& r = *rows_[area];
    std::int32_t v = row ? r.ActiveRow() : r.ActiveCol();
    io.Long(key, v, 0);
    if (!reading) return;
    if (row)
      r.ActiveRow(v);
    else
      r.ActiveCol(v);
  };

  io.Font("Font", font_, ambient);
  io.Long("ScaleMode", scaleMode_, eTwip);
  io.Long("PageSize", pageSize_, s_A4);
  io.Single("PaperLength", paperLength_, kA4LengthTwips);
  io.Single("PaperWidth", paperWidth_, kA4WidthTwips);
  io.Single("MarginLeft", marginLeft_, 1440);
  io.Single("MarginRight", marginRight_, 1440);
  io.Single("MarginTop", marginTop_, 1440);
  io.Single("MarginBottom", marginBottom_, 1440);
  io.Single("MarginHeader", marginHeader_, 500);
  io.Single("MarginFooter", marginFooter_, 1000);
  io.Long("ActiveArea", activeArea_, Body);
  activeCell("ActiveRow", Body, true);
  activeCell("ActiveCol", Body, false);
  activeCell("ActiveRowH", Header, true);
  activeCell("ActiveColH", Header, false);
  activeCell("ActiveRowF", Footer, true);
  activeCell("ActiveColF", Footer, false);
  ExchangeDefaults(io, defaults_, container_->AmbientForeColor());
  {
    KtRows& b = body();
    std::string text = b.sText();
    io.String("sText", text, "");
    if (reading) b.sText(text);
  }
  io.Boolean("ShowGuideLines", showGuideLines_, false);
  io.Boolean("ShowPrintDlg", showPrintDlg_, true);
  io.Boolean("ShowToolBar", showToolBar_, true);
  io.Boolean("AllowCellEditing", allowCellEditing_, false);
  io.Boolean("AutoHighLightEditing", autoHighLightEditing_, false);
  io.Boolean("MultiLineEditing", multiLineEditing_, false);
  io.Long("EditEnterAction", editEnterAction_, ppEnterAddCRLF);
  io.String("PrinterName", printerName_, "");
  io.String("DocTitle", meta_.title, "");
  io.String("DocAuthor", meta_.author, "");
  io.String("DocSubject", meta_.subject, "");
  io.String("DocKeywords", meta_.keywords, "");
  io.Boolean("TaggedPdf", meta_.tagged, true);
  {
    // A stored tag that is not one leaves the locale's.
    std::string language = meta_.language;
    io.String("DocLanguage", language, DefaultDocLanguage());
    if (reading && IsLanguageTag(language)) meta_.language = language;
  }
  {
    // A stored code page that is not one leaves Windows-1252.
    std::int32_t codePage = templateCodePage_;
    io.Long("TemplateCodePage", codePage, kCodePageWindows1252);
    if (reading) templateCodePage_ = codePage == kCodePageUtf8 ? kCodePageUtf8 : kCodePageWindows1252;
  }
  io.Long("Orientation", orientation_, Portrait);
  io.Long("ColorResolution", colorResolution_, cr_256_Colors);
}

void KtPrint4Impl::ReadProperties(const PropertyBag& stored) {
  if (InsideEvent()) throw RowsHeldError("ReadProperties");
  ExchangeProperties(&stored, nullptr);
  // Lengths were stored in the stored scale mode; the twips follow from them.
  MarginsToTwips();
  needsRepaging_ = true;

  const std::int32_t size = stored.ReadProperty(kDsnArraySizeRead, Variant(std::int32_t{0})).ToLong();
  if (size <= 0) {
    // No stored design: the document of a new control, without rows.
    designBuffer_.clear();
    ClearAll();
    for (auto& r : rows_) {
      r->StartBodyRow(0);
      r->EndBodyRow(0);
      r->GuideRow(0);
    }
    pages_ = 1;
    pageCount_ = 0;
    return;
  }
  ByteArray bytes = stored.ReadProperty(kDsnArray, Variant(ByteArray{})).ToBytes();
  if (bytes.size() < static_cast<std::size_t>(size))
    throw Error(ErrorCode::kInvalidFileFormat, "PropertyBag",
                "Invalid file format: DsnArraySize is " + std::to_string(size) + " but DsnArray holds " +
                    std::to_string(bytes.size()) + " bytes");
  bytes.resize(static_cast<std::size_t>(size));
  designBuffer_ = std::move(bytes);
  RunTemplateReader(false);
}

void KtPrint4Impl::WriteProperties(PropertyBag& bag) {
  ExchangeProperties(nullptr, &bag);
  const std::size_t previous = designBuffer_.size();
  designBuffer_ = ByteArray();  // the old text is not needed while the new one is built
  const std::string text = persist::WriteTemplate(*this, previous, templateCodePage_, &templateLoss_);
  designBuffer_.assign(text.begin(), text.end());
  const auto size = static_cast<std::int32_t>(designBuffer_.size());
  bag.WriteProperty(kDsnArraySizeWritten, Variant(size), Variant(std::int32_t{0}));
  if (size > 0)
    bag.WriteProperty(kDsnArray, Variant(designBuffer_));
  else
    bag.WriteProperty(kDsnArray, Variant());  // an empty design stores no bytes
}

void KtPrint4Impl::InitProperties() { ReadProperties(PropertyBag{}); }

}  // namespace ktfolio
