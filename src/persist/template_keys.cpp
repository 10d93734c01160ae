// The keys of template text, in the order they are written: the 63 settings,
// the row keys and the cell keys, each with how it is written and read.
#include <algorithm>

#include "model/units.h"
#include "persist/persist_impl.h"

namespace ktfolio::persist {

namespace {

// ---- settings -----------------------------------------------------------------------

// A value held by one of the three row collections.
KtRows& Area(Document& c, std::int32_t area) { return *c.Rows(area); }

// Twips defaults are read into the defaults record as they are, without the
// setters' scale conversion.
template <float tpDefaults::*Field>
void StoreTwips(Document& c, std::string_view v) {
  tpDefaults d = c.Defaults();
  d.*Field = ReadSingle(v);
  c.StoreDefaults(d);
}

// Lengths are written in twips and read back in the scale mode in force, which
// the template's own "ScaleMode" line has set by then.
float TwipsOf(Document& c, float value) { return ToTwips(c.ScaleMode(), value); }
float ScaledOf(Document& c, std::string_view v) { return FromTwips(c.ScaleMode(), ReadSingle(v)); }

#define KT_SET(key, kind, getter, setter)                                           \
  {key, [](TemplateOut& o, Document& c) { o.kind(key, getter); },                    \
   [](Document& c, std::string_view v) { setter; }}
#define KT_IGNORED(key, kind, getter) {key, [](TemplateOut& o, Document& c) { o.kind(key, getter); }, nullptr}
#define KT_LONG(key) KT_SET(#key, Long, c.key(), c.key(ReadLong(v)))
#define KT_BOOL(key) KT_SET(#key, Boolean, c.key(), c.key(ReadBoolean(v)))
#define KT_COLOR(key) KT_SET(#key, Color, c.key(), c.key(ReadColor(v)))
#define KT_INT16(key) KT_SET(#key, Integer, c.key(), c.key(ReadInteger(v)))
#define KT_TWIPS(key, field) \
  {key, [](TemplateOut& o, Document& c) { o.Single(key, c.Defaults().field); }, &StoreTwips<&tpDefaults::field>}
#define KT_AREA(key, area, member) KT_SET(key, Long, Area(c, area).member(), Area(c, area).member(ReadLong(v)))
#define KT_SCALED(key, member) KT_SET(key, Single, TwipsOf(c, c.member()), c.member(ScaledOf(c, v)))

const SettingKey kSettings[] = {
    KT_LONG(ScaleMode),
    KT_LONG(ActiveArea),
    KT_AREA("ActiveCol", Body, ActiveCol),
    KT_AREA("ActiveRow", Body, ActiveRow),
    KT_AREA("ActiveColH", Header, ActiveCol),
    KT_AREA("ActiveRowH", Header, ActiveRow),
    KT_AREA("ActiveColF", Footer, ActiveCol),
    KT_AREA("ActiveRowF", Footer, ActiveRow),
    KT_BOOL(AllowCellEditing),
    KT_BOOL(AutoHighLightEditing),
    KT_LONG(ColorResolution),
    KT_TWIPS("ColSpacing", dColSpacing),
    KT_LONG(dColAlignPos),
    KT_COLOR(dColBrushColor),
    KT_BOOL(dColClipping),
    KT_LONG(dColEditType),
    KT_BOOL(dColFillCell),
    KT_TWIPS("dColIndentFirst", dColIndentFirst),
    KT_TWIPS("dColIndentLeft", dColIndentLeft),
    KT_TWIPS("dColIndentRight", dColIndentRight),
    KT_INT16(dColLineBottom),
    KT_INT16(dColLineLeft),
    KT_INT16(dColLineRight),
    KT_INT16(dColLineTop),
    KT_COLOR(dColPenColor),
    KT_LONG(dColPenStyle),
    KT_COLOR(dColShadowColor),
    KT_COLOR(dColShadowHeavyColor),
    KT_LONG(dColShadowSize),
    KT_LONG(dColsLayoutType),
    KT_LONG(dColsPerRow),
    KT_BOOL(dColWordWrap),
    KT_BOOL(dFitHeightToText),
    KT_COLOR(dFontColor),
    KT_LONG(dFontStyle),
    // A loaded document never inherits its last row, whatever the template says.
    KT_SET("dInheritLastRow", Boolean, c.dInheritLastRow(), c.dInheritLastRow(false)),
    KT_TWIPS("dRowHeight", dRowHeight),
    KT_TWIPS("dRowIndentBottom", dRowIndentBottom),
    KT_TWIPS("dRowIndentTop", dRowIndentTop),
    KT_LONG(EditEnterAction),
    KT_SET("EndBodyRow", Long, c.EndBodyRow(), Area(c, Body).EndBodyRow(ReadLong(v))),
    KT_IGNORED("Escala", Double, c.Zoom()),
    KT_IGNORED("LastRow", Long, c.LastRow()),
    KT_SCALED("MarginBottom", MarginBottom),
    KT_SCALED("MarginFooter", MarginFooter),
    KT_SCALED("MarginHeader", MarginHeader),
    KT_SCALED("Marginleft", Marginleft),
    KT_SCALED("MarginRight", MarginRight),
    KT_SCALED("MarginTop", MarginTop),
    KT_IGNORED("MaxPag", Long, c.PageCount()),
    KT_BOOL(MultiLineEditing),
    KT_LONG(Orientation),
    KT_IGNORED("Pages", Integer, c.Pages()),
    KT_LONG(PageSize),
    KT_SCALED("PaperLength", PaperLength),
    KT_SCALED("PaperWidth", PaperWidth),
    KT_SET("PrinterName", String, c.PrinterName(), c.PrinterName(ReadString(v))),
    KT_TWIPS("RowSpacing", dRowSpacing),
    KT_BOOL(ShowGuideLines),
    KT_BOOL(ShowPrintDlg),
    KT_BOOL(ShowToolBar),
    KT_SET("StartBodyRow", Long, c.StartBodyRow(), Area(c, Body).StartBodyRow(ReadLong(v))),
    KT_SET("sText", String, c.sText(), c.sText(ReadString(v))),
};
static_assert(sizeof kSettings / sizeof kSettings[0] == 63, "the settings section has 63 keys");

#undef KT_SET
#undef KT_IGNORED
#undef KT_LONG
#undef KT_BOOL
#undef KT_COLOR
#undef KT_INT16
#undef KT_TWIPS
#undef KT_AREA
#undef KT_SCALED

// ---- rows and cells -------------------------------------------------------------------------

// One key of a row or cell: written when there is no previous item or the
// value differs from the previous item's.
#define KT_ITEM(T, key, kind, get, read)                                          \
  {#key,                                                                          \
   [](TemplateOut& o, const T& x, const T* p) {                                   \
     if (!p || !(x.get() == p->get())) o.kind(#key, x.get());                     \
   },                                                                             \
   read}
#define KT_READ(T, key, reader) [](T& x, std::string_view v) { x.key(reader(v)); }

#define KT_ROW(key, kind, reader) KT_ITEM(KtRow, key, kind, key, KT_READ(KtRow, key, reader))
#define KT_ROW_IGNORED(key, kind) KT_ITEM(KtRow, key, kind, key, nullptr)

// A heading level is written only on the rows that are headings: rows never
// copy it, and templates of documents without headings keep their bytes.
void WriteOutlineLevel(TemplateOut& o, const KtRow& x, const KtRow*) {
  if (x.OutlineLevel() != 0) o.Long("OutlineLevel", x.OutlineLevel());
}

const RowKey kRowKeys[] = {
    KT_ROW(ColsLayoutType, Long, ReadLong),
    KT_ROW(ColSpacing, Single, ReadSingle),
    KT_ROW(FitHeightToText, Boolean, ReadBoolean),
    KT_ROW(IndentBottom, Single, ReadSingle),
    KT_ROW_IGNORED(NewPage, Boolean),
    KT_ROW(IndentTop, Single, ReadSingle),
    {"OutlineLevel", &WriteOutlineLevel, KT_READ(KtRow, OutlineLevel, ReadLong)},
    KT_ROW(Page, Integer, ReadInteger),
    KT_ROW(PageBreak, Boolean, ReadBoolean),
    KT_ROW(RowHeight, Single, ReadSingle),
    KT_ROW(RowSpacing, Single, ReadSingle),
    KT_ROW(TopInPage, Single, ReadSingle),
};
static_assert(sizeof kRowKeys / sizeof kRowKeys[0] == 12, "a row has 12 keys");

#define KT_CELL(key, kind, reader) KT_ITEM(KtTextItem, key, kind, key, KT_READ(KtTextItem, key, reader))
#define KT_CELL_IGNORED(key, kind) KT_ITEM(KtTextItem, key, kind, key, nullptr)

// The reader builds each cell as a copy of the previous one except for its
// picture and its focus. These two are therefore compared with what such a
// copy holds (no picture, not focused): a picture or a focus is written on
// every cell that has it, and so both come back exactly.
void WriteBitmap(TemplateOut& o, const KtTextItem& x, const KtTextItem* p) {
  if (!p || x.HasBitmap()) o.String("BITMAP", x.BITMAP());
}
void ReadBitmap(KtTextItem& x, std::string_view v) {
  if (auto failure = x.LoadBitmap(ReadString(v))) throw *failure;
}
void WriteFocused(TemplateOut& o, const KtTextItem& x, const KtTextItem* p) {
  if (!p || x.Focused()) o.Boolean("Focused", x.Focused());
}

// Texts compare in their stored form, which the text is a function of, so
// that unchanged texts cost no conversion.
void WriteText(TemplateOut& o, const KtTextItem& x, const KtTextItem* p) {
  if (!p || x.StoredText() != p->StoredText()) o.CellText("Text", x.Text());
}

const CellKey kCellKeys[] = {
    KT_CELL(AlignPos, Long, ReadLong),
    {"BITMAP", &WriteBitmap, &ReadBitmap},
    KT_CELL(BrushColor, Color, ReadColor),
    KT_CELL(Clipping, Boolean, ReadBoolean),
    KT_CELL(edge, Long, ReadLong),
    KT_CELL(EdgeFlags, Long, ReadLong),
    KT_CELL(EditType, Long, ReadLong),
    KT_CELL(FillCell, Boolean, ReadBoolean),
    {"Focused", &WriteFocused, KT_READ(KtTextItem, Focused, ReadBoolean)},
    KT_CELL(FontBold, Boolean, ReadBoolean),
    KT_CELL(FontColor, Color, ReadColor),
    KT_CELL(FontItalic, Boolean, ReadBoolean),
    KT_CELL(FontName, String, ReadString),
    KT_CELL(FontSize, Single, ReadSingle),
    KT_CELL(FontStrikethru, Boolean, ReadBoolean),
    KT_CELL(FontStyle, Long, ReadLong),
    KT_CELL(FontUnderline, Boolean, ReadBoolean),
    KT_CELL(FrameControl, Long, ReadLong),
    KT_CELL(FrameControlFlags, Long, ReadLong),
    KT_CELL(FrameControlSize, Single, ReadSingle),
    KT_CELL(IndentFirst, Single, ReadSingle),
    KT_CELL(IndentLeft, Single, ReadSingle),
    KT_CELL(IndentRight, Single, ReadSingle),
    KT_CELL_IGNORED(ItemHeight, Single),
    KT_CELL(LineBottom, Integer, ReadInteger),
    KT_CELL_IGNORED(LineHeight, Single),
    KT_CELL(LineLeft, Integer, ReadInteger),
    KT_CELL(LineRight, Integer, ReadInteger),
    KT_CELL_IGNORED(Lines, Integer),
    KT_CELL(LineTop, Integer, ReadInteger),
    KT_CELL(PenColor, Color, ReadColor),
    // Pen styles are 16-bit in the text though the cell holds 32 bits.
    KT_ITEM(KtTextItem, PenStyle, Long, PenStyle, KT_READ(KtTextItem, PenStyle, ReadInteger)),
    KT_CELL(ShadowColor, Color, ReadColor),
    KT_CELL(ShadowHeavyColor, Color, ReadColor),
    KT_CELL(ShadowSize, Long, ReadLong),
    KT_CELL(TabLeft, Single, ReadSingle),
    {"Text", &WriteText,
     [](KtTextItem& x, std::string_view v) {
       const std::string text = ReadCellText(v);
       CheckCellTextSize(text);
       x.Text(text);
     }},
    KT_CELL(WordWrap, Boolean, ReadBoolean),
};
static_assert(sizeof kCellKeys / sizeof kCellKeys[0] == 38, "a cell has 38 keys");

#undef KT_ITEM
#undef KT_READ
#undef KT_ROW
#undef KT_ROW_IGNORED
#undef KT_CELL
#undef KT_CELL_IGNORED

}  // namespace

template <typename K>
const K* KeyTable<K>::Find(std::string_view name) const {
  // Short tables and a first-letter check make a linear scan cheap enough.
  if (name.empty()) return nullptr;
  for (const K* k = first; k != last; ++k)
    if (k->name[0] == name[0] && name == k->name) return k;
  return nullptr;
}

template struct KeyTable<SettingKey>;
template struct KeyTable<RowKey>;
template struct KeyTable<CellKey>;

KeyTable<SettingKey> SettingKeys() { return {std::begin(kSettings), std::end(kSettings)}; }
KeyTable<RowKey> RowKeys() { return {std::begin(kRowKeys), std::end(kRowKeys)}; }
KeyTable<CellKey> CellKeys() { return {std::begin(kCellKeys), std::end(kCellKeys)}; }

}  // namespace ktfolio::persist
