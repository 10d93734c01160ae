// The table of interned cell styles.
#include "model/cellstyle.h"

#include <bit>
#include <cstring>
#include <functional>
#include <mutex>
#include <unordered_set>

namespace ktfolio {

namespace {

template <class T>
void Mix(std::size_t& h, const T& v) {
  h ^= std::hash<T>{}(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
}

}  // namespace

namespace {
// Floats compare and hash by their bits, so that equality is reflexive even
// for a NaN a C++ caller stored: the table must always find its own records.
std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }
}  // namespace

bool CellStyleData::operator==(const CellStyleData& o) const {
  if (Bits(TabLeft) != Bits(o.TabLeft) || Bits(IndentLeft) != Bits(o.IndentLeft) || Bits(IndentRight) != Bits(o.IndentRight) ||
      Bits(FontSize) != Bits(o.FontSize) || Bits(IndentFirst) != Bits(o.IndentFirst) ||
      Bits(FrameControlSize) != Bits(o.FrameControlSize))
    return false;
  return fontName == o.fontName && LineRight == o.LineRight && LineLeft == o.LineLeft &&
         LineBottom == o.LineBottom && LineTop == o.LineTop && AlignPos == o.AlignPos && FontStyle == o.FontStyle &&
         FontColor == o.FontColor && ShadowColor == o.ShadowColor && ShadowHeavyColor == o.ShadowHeavyColor &&
         ShadowSize == o.ShadowSize && Clipping == o.Clipping && WordWrap == o.WordWrap && PenStyle == o.PenStyle &&
         PenColor == o.PenColor && BrushColor == o.BrushColor && FillCell == o.FillCell &&
         FontBold == o.FontBold && FontItalic == o.FontItalic &&
         FontUnderline == o.FontUnderline && FontStrikethru == o.FontStrikethru && FrameControl == o.FrameControl &&
         FrameControlFlags == o.FrameControlFlags && edge == o.edge &&
         EdgeFlags == o.EdgeFlags && EditType == o.EditType;
}

std::size_t CellStyleData::Hash() const {
  std::size_t h = std::hash<std::string>{}(fontName);
  for (float f : {TabLeft, IndentLeft, IndentRight, FontSize, IndentFirst, FrameControlSize}) Mix(h, Bits(f));
  for (std::int32_t i : {std::int32_t{LineRight}, std::int32_t{LineLeft}, std::int32_t{LineBottom},
                         std::int32_t{LineTop}, AlignPos, FontStyle, ShadowSize, PenStyle, FrameControl,
                         FrameControlFlags, edge, EdgeFlags, EditType})
    Mix(h, i);
  for (std::uint32_t u : {FontColor, ShadowColor, ShadowHeavyColor, PenColor, BrushColor}) Mix(h, u);
  const unsigned flags = Clipping | WordWrap << 1 | FillCell << 2 | FontBold << 3 | FontItalic << 4 |
                         FontUnderline << 5 | FontStrikethru << 6;
  Mix(h, flags);
  return h;
}

struct CellStyleTable {
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(const CellStyle* s) const { return s->hash_; }
  };
  struct Equal {
    bool operator()(const CellStyle* a, const CellStyle* b) const { return a->data_ == b->data_; }
  };

  std::mutex lock;
  std::unordered_set<CellStyle*, Hash, Equal> styles;
  CellStyle* defaultStyle = nullptr;

  static CellStyleTable& Get() {
    // Never destroyed: cells in static objects may let go of their styles
    // after every other static is gone.
    static CellStyleTable* table = new CellStyleTable;
    return *table;
  }

  const CellStyle* Intern(const CellStyleData& data) {
    CellStyle probe(data);
    probe.hash_ = data.Hash();
    std::lock_guard<std::mutex> guard(lock);
    auto it = styles.find(&probe);
    if (it != styles.end()) {
      (*it)->AddRef();
      return *it;
    }
    auto* s = new CellStyle(data);
    s->hash_ = probe.hash_;
    s->refs_.store(1, std::memory_order_relaxed);
    styles.insert(s);
    return s;
  }

  // Only Intern raises a count from zero, and it does so under the lock: a
  // count that reaches zero here is final.
  void ReleaseLast(const CellStyle* s) {
    std::lock_guard<std::mutex> guard(lock);
    if (s->refs_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    styles.erase(const_cast<CellStyle*>(s));
    delete s;
  }
};

StyleRef CellStyle::Intern(const CellStyleData& data) {
  return StyleRef(CellStyleTable::Get().Intern(data), StyleRef::Adopt{});
}

const CellStyle* CellStyle::Default() {
  static const CellStyle* d = [] {
    const CellStyle* s = CellStyleTable::Get().Intern(CellStyleData{});
    return s;  // the interning reference keeps it alive for good
  }();
  return d;
}

std::size_t CellStyle::LiveCount() {
  CellStyleTable& t = CellStyleTable::Get();
  std::lock_guard<std::mutex> guard(t.lock);
  return t.styles.size();
}

void CellStyle::Release() const {
  // Not the last reference: no lock needed.
  std::int32_t r = refs_.load(std::memory_order_relaxed);
  while (r > 1)
    if (refs_.compare_exchange_weak(r, r - 1, std::memory_order_acq_rel)) return;
  CellStyleTable::Get().ReleaseLast(this);
}

}  // namespace ktfolio
