#include "model/textitem.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "model/clsbitmap.h"
#include "model/host.h"
#include "model/rows.h"
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
KtTextItem::~KtTextItem() { delete Linked(); }

KtTextItem::KtTextItem(KtTextItem&& o) noexcept
    : text_(std::move(o.text_)), itemHeight_(o.itemHeight_), style_(std::move(o.style_)), link_(o.link_) {
  o.link_ = 0;
}

KtTextItem& KtTextItem::operator=(KtTextItem&& o) noexcept {
  if (this == &o) return *this;
  delete Linked();
  text_ = std::move(o.text_);
  style_.swap(o.style_);
  link_ = o.link_;
  itemHeight_ = o.itemHeight_;
  o.link_ = 0;
  return *this;
}

KtTextItem::CellLinks& KtTextItem::EnsureLinks() {
  if (CellLinks* l = Linked()) return *l;
  auto* l = new CellLinks;
  l->row = reinterpret_cast<KtRow*>(link_ & ~kFlagBits);
  link_ = reinterpret_cast<std::uintptr_t>(l) | (link_ & kFocusedBit) | kLinksBit;
  return *l;
}

void KtTextItem::ParentRow(KtRow* r) {
  if (CellLinks* l = Linked())
    l->row = r;
  else
    link_ = reinterpret_cast<std::uintptr_t>(r) | (link_ & kFocusedBit);
}

DocumentHost* KtTextItem::ParentControl() const {
  if (const CellLinks* l = Linked(); l && l->control) return l->control;
  const KtRow* row = ParentRow();
  return row ? row->ParentControl() : nullptr;
}

void KtTextItem::ParentControl(DocumentHost* c) {
  // A cell in a row of the same control needs no pointer of its own.
  if (CellLinks* l = Linked()) {
    l->control = c;
    return;
  }
  const KtRow* row = ParentRow();
  if (row && row->ParentControl() == c) return;
  if (!row && !c) return;
  EnsureLinks().control = c;
}

std::string KtTextItem::Text() const {
  const std::string_view t = text_.view();
  if (t.find('<') == std::string::npos) return std::string(t);
  return ReplaceAll(ReplaceAll(std::string(t), "<cr>", "\r"), "<lf>", "\n");
}

void CheckCellTextSize(std::string_view value) {
  if (value.size() <= kMaxCellTextBytes) return;
  // "<cr>" and "<lf>" read back as one character each.
  std::size_t size = value.size();
  for (std::string_view mark : {"<cr>", "<lf>"})
    for (std::size_t at = value.find(mark); at != std::string_view::npos; at = value.find(mark, at + mark.size()))
      size -= mark.size() - 1;
  if (size <= kMaxCellTextBytes) return;
  throw Error(ErrorCode::kOutOfStringSpace, kLibraryName,
              "Out of string space: a cell text of " + std::to_string(size) + " bytes is over the limit of " +
                  std::to_string(kMaxCellTextBytes) + " bytes");
}

namespace {
constexpr std::array<std::uint8_t, 256> kTraitsOfByte = [] {
  std::array<std::uint8_t, 256> t{};
  for (std::size_t c = 0; c < t.size(); ++c)
    if (!win::PlainAsciiByte(static_cast<unsigned char>(c))) t[c] = kTextNotPlainAscii;
  t['\r'] |= kTextLineBreak;
  t['\n'] |= kTextLineBreak;
  t['%'] = t['<'] = kTextFieldCode;
  return t;
}();
}  // namespace

namespace {
// Sixteen bytes side by side (SSE2 on x86-64, NEON on ARM).
using Bytes16 = unsigned char __attribute__((vector_size(16)));
using SignedBytes16 = signed char __attribute__((vector_size(16)));

// The traits of each of 16 bytes, as kTraitsOfByte gives them.
Bytes16 TraitsOf16(const unsigned char* p) {
  Bytes16 v;
  std::memcpy(&v, p, sizeof v);
  const Bytes16 lineBreak = (Bytes16)((v == '\r') | (v == '\n'));
  const Bytes16 fieldCode = (Bytes16)((v == '%') | (v == '<'));
  const Bytes16 notPlain = (Bytes16)((v == 0) | (v == '&') | ((SignedBytes16)v < 0)) | lineBreak;
  return (lineBreak & std::uint8_t{kTextLineBreak}) | (fieldCode & std::uint8_t{kTextFieldCode}) |
         (notPlain & std::uint8_t{kTextNotPlainAscii});
}
}  // namespace

std::uint8_t CellTextTraits(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  if (text.size() >= 16) {
    // Sixteen bytes a step; the last step ends at the text's end (it may go
    // over bytes already seen, which changes nothing).
    Bytes16 all{};
    for (std::size_t i = 0; i + 16 < text.size(); i += 16) all |= TraitsOf16(p + i);
    all |= TraitsOf16(p + text.size() - 16);
    std::uint64_t half[2];
    std::memcpy(half, &all, sizeof half);
    std::uint64_t x = half[0] | half[1];
    x |= x >> 32;
    x |= x >> 16;
    x |= x >> 8;
    return static_cast<std::uint8_t>(x);
  }
  // Short texts (most cells) a byte at a time, four bytes a step, each into
  // its own accumulator: the steps do not wait on each other.
  std::uint8_t t0 = 0, t1 = 0, t2 = 0, t3 = 0;
  std::size_t i = 0;
  for (; i + 4 <= text.size(); i += 4) {
    t0 |= kTraitsOfByte[p[i]];
    t1 |= kTraitsOfByte[p[i + 1]];
    t2 |= kTraitsOfByte[p[i + 2]];
    t3 |= kTraitsOfByte[p[i + 3]];
  }
  for (; i < text.size(); ++i) t0 |= kTraitsOfByte[p[i]];
  return static_cast<std::uint8_t>(t0 | t1 | t2 | t3);
}

void KtTextItem::Text(std::string_view value) {
  if (std::none_of(value.begin(), value.end(), [](char ch) { return ch == '\r' || ch == '\n'; })) {
    text_.assign(value);
    return;
  }
  text_.assign(ReplaceAll(ReplaceAll(std::string(value), "\r", "<cr>"), "\n", "<lf>"));
}

void KtTextItem::Text(std::string_view value, std::uint8_t traits) {
  if (traits & kTextLineBreak)
    Text(value);
  else
    text_.assign(value);
}

std::string KtTextItem::BITMAP() const { return HasBitmap() ? std::string(text_.view()) : std::string(); }

void KtTextItem::BITMAP(std::string_view value) {
  if (auto failure = LoadBitmap(value)) RecordError(failure->number(), failure->source(), failure->description());
}

std::optional<Error> KtTextItem::LoadBitmap(std::string_view value) {
  if (CellLinks* l = Linked()) l->picture.reset();
  if (value.empty()) return std::nullopt;
  try {
    auto loaded = clsBitmap::Load(std::string(value));
    if (!loaded) return Error(ErrorCode::kUnableToLoadImage, "BitMap Property Let", "No Description");
    EnsureLinks().picture = std::move(loaded);
    text_.assign(value);
    return std::nullopt;
  } catch (const Error& e) {
    // A loader failure (missing or unreadable file) leaves the cell without a picture.
    if (CellLinks* l = Linked()) l->picture.reset();
    return e;
  }
}

void KtTextItem::RecordError(std::int32_t number, const std::string& source, const std::string& description) const {
  if (DocumentHost* host = ParentControl()) host->RecordError(number, source, description);
}

void KtTextItem::RecordCaught(const std::exception& e) const {
  if (DocumentHost* host = ParentControl()) host->RecordCaught(e);
}

void KtTextItem::CopyAttributesFrom(const KtTextItem& m) { style_ = m.style_; }

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
     [](KtTextItem& c, const Variant& v) {
       const std::string text = v.ToString();
       CheckCellTextSize(text);
       c.Text(text);
     }},
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
  if (!a->set) throw Error(ErrorCode::kReadOnlyProperty, kLibraryName, "Property is read-only");
  a->set(*this, value);
}

}  // namespace ktfolio
