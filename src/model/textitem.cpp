#include "model/textitem.h"

#include <cctype>

#include "model/clsbitmap.h"
#include "model/host.h"
#include "platform/automation/font.h"

namespace ktfolio {

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
  if (from.empty()) return s;
  size_t pos = s.find(from);
  if (pos == std::string::npos) return s;
  std::string out;
  out.reserve(s.size());
  size_t last = 0;
  while (pos != std::string::npos) {
    out.append(s, last, pos - last);
    out.append(to);
    last = pos + from.size();
    pos = s.find(from, last);
  }
  out.append(s, last, std::string::npos);
  return out;
}

bool NameEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

KtTextItem::KtTextItem() = default;
KtTextItem::~KtTextItem() {
  parentRow_ = nullptr;
  parentControl_ = nullptr;
}

std::string KtTextItem::Text() const {
  if (text_.find('<') == std::string::npos) return text_;
  return ReplaceAll(ReplaceAll(text_, "<cr>", "\r"), "<lf>", "\n");
}

void KtTextItem::Text(std::string_view value) {
  std::string s(value);
  if (s.find_first_of("\r\n") != std::string::npos) s = ReplaceAll(ReplaceAll(std::move(s), "\r", "<cr>"), "\n", "<lf>");
  text_ = std::move(s);
}

std::string KtTextItem::BITMAP() const { return picture_ ? text_ : std::string(); }

void KtTextItem::BITMAP(std::string_view value) {
  if (auto failure = LoadBitmap(value)) RecordError(failure->number(), failure->source(), failure->description());
}

std::optional<Error> KtTextItem::LoadBitmap(std::string_view value) {
  picture_.reset();
  if (value.empty()) return std::nullopt;
  try {
    auto loaded = clsBitmap::Load(std::string(value));
    if (!loaded) return Error(60101, "BitMap Property Let", "No Description");
    picture_ = std::move(loaded);
    text_ = std::string(value);
    return std::nullopt;
  } catch (const Error& e) {
    // A loader failure (missing or unreadable file) leaves the cell without a picture.
    picture_.reset();
    return e;
  }
}

void KtTextItem::RecordError(std::int32_t number, const std::string& source, const std::string& description) const {
  if (parentControl_) parentControl_->RecordError(number, source, description);
}

void KtTextItem::CopyAttributesFrom(const KtTextItem& m) {
  AlignPos_ = m.AlignPos_;
  BrushColor_ = m.BrushColor_;
  Clipping_ = m.Clipping_;
  edge_ = m.edge_;
  EdgeFlags_ = m.EdgeFlags_;
  EditType_ = m.EditType_;
  FillCell_ = m.FillCell_;
  FontBold_ = m.FontBold_;
  FontColor_ = m.FontColor_;
  FontItalic_ = m.FontItalic_;
  fontName_ = m.fontName_;
  FontSize_ = m.FontSize_;
  FontStrikethru_ = m.FontStrikethru_;
  FontStyle_ = m.FontStyle_;
  FontUnderline_ = m.FontUnderline_;
  FrameControl_ = m.FrameControl_;
  FrameControlFlags_ = m.FrameControlFlags_;
  FrameControlSize_ = m.FrameControlSize_;
  IndentFirst_ = m.IndentFirst_;
  IndentLeft_ = m.IndentLeft_;
  IndentRight_ = m.IndentRight_;
  LineLeft_ = m.LineLeft_;
  LineRight_ = m.LineRight_;
  LineTop_ = m.LineTop_;
  LineBottom_ = m.LineBottom_;
  PenColor_ = m.PenColor_;
  PenStyle_ = m.PenStyle_;
  ShadowColor_ = m.ShadowColor_;
  ShadowHeavyColor_ = m.ShadowHeavyColor_;
  ShadowSize_ = m.ShadowSize_;
  TabLeft_ = m.TabLeft_;
  WordWrap_ = m.WordWrap_;
}

namespace {

struct CellAttribute {
  const char* name;
  Variant (*get)(const KtTextItem&);
  void (*set)(KtTextItem&, const Variant&);
};

// Colours travel as 32-bit signed values (0x8000000F is negative) and are
// stored as their bit pattern; the unsigned form is accepted too (ToColor).
Variant FromColor(std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); }

#define KT_BOOL(n) {#n, [](const KtTextItem& c) { return Variant(c.n()); }, [](KtTextItem& c, const Variant& v) { c.n(v.ToBool()); }}
#define KT_I16(n) {#n, [](const KtTextItem& c) { return Variant(c.n()); }, [](KtTextItem& c, const Variant& v) { c.n(v.ToInteger()); }}
#define KT_I32(n) {#n, [](const KtTextItem& c) { return Variant(c.n()); }, [](KtTextItem& c, const Variant& v) { c.n(v.ToLong()); }}
#define KT_F32(n) {#n, [](const KtTextItem& c) { return Variant(c.n()); }, [](KtTextItem& c, const Variant& v) { c.n(CheckedFinite(v.ToSingle())); }}
#define KT_CLR(n) {#n, [](const KtTextItem& c) { return FromColor(c.n()); }, [](KtTextItem& c, const Variant& v) { c.n(ToColor(v)); }}

const CellAttribute kCellAttributes[] = {
    KT_I16(LineRight),
    KT_I16(LineLeft),
    KT_I16(LineBottom),
    KT_I16(LineTop),
    KT_F32(TabLeft),
    KT_I32(AlignPos),
    KT_I32(FontStyle),
    KT_F32(IndentLeft),
    KT_F32(IndentRight),
    {"FontName", [](const KtTextItem& c) { return Variant(c.FontName()); },
     [](KtTextItem& c, const Variant& v) { c.FontName(v.ToString()); }},
    {"FontSize", [](const KtTextItem& c) { return Variant(c.FontSize()); },
     [](KtTextItem& c, const Variant& v) { c.FontSize(CheckedFontSize(v.ToSingle())); }},
    KT_CLR(FontColor),
    KT_CLR(ShadowColor),
    KT_CLR(ShadowHeavyColor),
    KT_I32(ShadowSize),
    KT_BOOL(Clipping),
    KT_BOOL(WordWrap),
    KT_BOOL(Focused),
    // Pen styles are 16-bit values held in a 32-bit field.
    {"PenStyle", [](const KtTextItem& c) { return Variant(c.PenStyle()); },
     [](KtTextItem& c, const Variant& v) { c.PenStyle(v.ToInteger()); }},
    KT_CLR(PenColor),
    KT_CLR(BrushColor),
    KT_BOOL(FillCell),
    KT_F32(IndentFirst),
    KT_BOOL(FontBold),
    KT_BOOL(FontItalic),
    KT_BOOL(FontUnderline),
    KT_BOOL(FontStrikethru),
    {"Text", [](const KtTextItem& c) { return Variant(c.Text()); },
     [](KtTextItem& c, const Variant& v) { c.Text(v.ToString()); }},
    // By name a failed load is thrown, so the caller's own handler reports it.
    {"BITMAP", [](const KtTextItem& c) { return Variant(c.BITMAP()); },
     [](KtTextItem& c, const Variant& v) {
       if (auto failure = c.LoadBitmap(v.ToString())) throw *failure;
     }},
    KT_I32(FrameControl),
    KT_I32(FrameControlFlags),
    KT_F32(FrameControlSize),
    KT_I32(edge),
    KT_I32(EdgeFlags),
    KT_I32(EditType),
    {"ItemHeight", [](const KtTextItem& c) { return Variant(c.ItemHeight()); }, nullptr},
    {"LineHeight", [](const KtTextItem& c) { return Variant(c.LineHeight()); }, nullptr},
    {"Lines", [](const KtTextItem& c) { return Variant(c.Lines()); }, nullptr},
};

#undef KT_BOOL
#undef KT_I16
#undef KT_I32
#undef KT_F32
#undef KT_CLR

const CellAttribute* FindAttribute(std::string_view name) {
  for (const auto& a : kCellAttributes)
    if (NameEquals(a.name, name)) return &a;
  return nullptr;
}

}  // namespace

bool IsColorAttribute(std::string_view name) {
  for (const char* colour : {"FontColor", "ShadowColor", "ShadowHeavyColor", "PenColor", "BrushColor"})
    if (NameEquals(colour, name)) return true;
  return false;
}

Variant KtTextItem::GetByName(std::string_view name) const {
  const CellAttribute* a = FindAttribute(name);
  if (!a) throw NotSupportedError();
  return a->get(*this);
}

void KtTextItem::SetByName(std::string_view name, const Variant& value) {
  const CellAttribute* a = FindAttribute(name);
  if (!a) throw NotSupportedError();
  if (!a->set) throw Error(383, kLibraryName, "Property is read-only");
  a->set(*this, value);
}

}  // namespace ktfolio
