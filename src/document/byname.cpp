// Row and cell attributes by name, outlines, page breaks and guide rows.
#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "document/document.h"

namespace ktfolio {

namespace {

// Accepted names are compared exactly; the attribute is then reached ignoring case.
constexpr std::string_view kRowNames[] = {"IndentTop",  "IndentBottom", "ColsLayoutType", "ColSpacing",
                                          "RowSpacing", "RowHeight",    "FitHeightToText", "OutlineLevel"};
constexpr std::string_view kCellNames[] = {
    "Text",        "FontName",     "FontSize",         "FontBold",         "FontItalic", "FontUnderline",
    "FontStrikeThru", "FontColor", "IndentRight",      "IndentLeft",       "IndentFirst", "AligPos",
    "dScaleMode",  "LineTop",      "LineLeft",         "LineBottom",       "LineRight",  "WordWrap",
    "BitMap",      "TabLeft",      "PenStyle",         "ShadowSize",       "FontStyle",  "AlignPos",
    "BrushColor",  "FillCell",     "FrameControl",     "FrameControlFlags", "FrameControlSize", "Edge",
    "EdgeFlags",   "EditType",     "Focused",          "ShadowHeavyColor", "ShadowColor", "PenColor"};
// Names whose change refits the row and asks for repagination.
constexpr std::string_view kLayoutNames[] = {
    "IndentTop",    "IndentBottom", "ColsLayoutType", "RowHeight",    "FitHeightToText", "Text",
    "FontName",     "FontSize",     "FontBold",       "FontItalic",   "FontUnderline",   "FontStrikeThru",
    "FontColor",    "IndentRight",  "IndentLeft",     "IndentFirst",  "BitMap",          "TabLeft",
    "PenStyle",     "ShadowSize",   "FontStyle",      "AlignPos",     "WordWrap",        "FrameControl",
    "FrameControlFlags", "FrameControlSize", "Edge",  "EdgeFlags"};

template <size_t N>
bool In(const std::string_view (&names)[N], const std::string& name) {
  return std::find(std::begin(names), std::end(names), std::string_view(name)) != std::end(names);
}

}  // namespace

bool Document::SetProperty(std::int32_t row, std::int32_t col, const std::string& pName, const Variant& Value,
                           std::int32_t PageArea) {
  bool result = false;
  try {
    KtRows& rows = RowsOrThrow(PageArea);
    const std::int32_t n = rows.count();
    if (In(kRowNames, pName)) {
      if (row >= 1 && row <= n) {
        rows.Item(row)->SetByName(pName, Value);
        result = true;
      } else if (row == -1) {
        for (std::int32_t r = 1; r <= n; ++r) rows.Item(r)->SetByName(pName, Value);
        result = true;
      }
    } else if (In(kCellNames, pName)) {
      auto setCells = [&](KtRow& r) {
        const std::int32_t m = r.ItemText().count();
        if (col >= 1 && col <= m) {
          r.ItemText().Item(col)->SetByName(pName, Value);
          return true;
        }
        if (col == -1) {
          for (std::int32_t c = 1; c <= m; ++c) r.ItemText().Item(c)->SetByName(pName, Value);
          return true;
        }
        return false;
      };
      if (row >= 1 && row <= n) {
        result = setCells(*rows.Item(row));
      } else if (row == -1) {
        for (std::int32_t r = 1; r <= n; ++r) setCells(*rows.Item(r));
        result = true;
      }
    } else {
      RecordError(ErrorCode::kNoValidPropertyName, "Set Property", "No Description");
      return false;
    }

    if (result && In(kLayoutNames, pName)) {
      if (row >= 1 && row <= n) {
        rows.Item(row)->FitHeight(MeasureDC());
        repageOnPaint_ = true;
      } else if (row == -1) {
        for (std::int32_t r = 1; r <= n; ++r) rows.Item(r)->FitHeight(MeasureDC());
        repageOnPaint_ = true;
      }
    }
    return result;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

Variant Document::GetProperty(std::int32_t row, std::int32_t col, const std::string& pName, std::int32_t PageArea) {
  Variant result(false);
  try {
    KtRows& rows = RowsOrThrow(PageArea);
    const std::int32_t n = rows.count();
    if (In(kRowNames, pName)) {
      if (row >= 1 && row <= n) result = rows.Item(row)->GetByName(pName);
    } else if (In(kCellNames, pName)) {
      if (row >= 1 && row <= n) {
        const KtRow& r = *rows.Item(row);
        if (col >= 1 && col <= r.ItemText().count()) result = r.ItemText().Item(col)->GetByName(pName);
      }
    } else {
      RecordError(ErrorCode::kNoValidPropertyName, "Get Property", "No Description");
    }
  } catch (const std::exception& e) {
    RecordCaught(e);
  }
  return result;
}

void Document::SetFrameControl(std::int32_t row, std::int32_t col, std::int32_t FrameCtlType,
                               std::int32_t FrameCtlFlags, float FrameCtlSize, std::int32_t parea) {
  SetProperty(row, col, "FrameControl", Variant(FrameCtlType), parea);
  SetProperty(row, col, "FrameControlFlags", Variant(FrameCtlFlags), parea);
  SetProperty(row, col, "FrameControlSize", Variant(FrameCtlSize), parea);
}

void Document::SetEdge(std::int32_t row, std::int32_t col, std::int32_t EdgeType, std::int32_t EdgeFlags,
                       std::int32_t parea) {
  SetProperty(row, col, "Edge", Variant(EdgeType), parea);
  SetProperty(row, col, "EdgeFlags", Variant(EdgeFlags), parea);
}

bool Document::SetPageBreak(std::int32_t row) {
  try {
    body().Item(row)->PageBreak(true);
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

void Document::SetGuideRow(std::int32_t row, std::int32_t parea) {
  if (KtRows* rows = Rows(parea)) rows->GuideRow(row);
}

std::int32_t Document::ColumnAtPosition(std::int32_t row, float x, std::int32_t area) {
  KtRows* rows = Rows(area);
  if (!rows || row < 1 || row > rows->count()) return 0;
  const KtTextItemCol& cells = rows->Item(row)->ItemText();
  const std::int32_t m = cells.count();
  for (std::int32_t c = 1; c <= m; ++c)
    if (x < cells.Item(c)->TabLeft()) return c - 1;
  return m;
}

bool Document::OutLineBlock(std::int16_t PenSize, std::int32_t fgLines, std::int32_t row, std::int32_t col,
                            bool fgUseDefaultPen, std::int32_t parea, std::int32_t Row2, std::int32_t Col2) {
  try {
    KtRows& rows = RowsOrThrow(parea);
    const std::int32_t n = rows.count();
    std::int32_t r1 = row, r2 = 0;
    if (r1 > n) r1 = n;
    if (r1 < 1) {
      r1 = 1;
      r2 = n;
    }
    if (Row2 > 0 && r2 < 1) r2 = std::min(Row2, n);
    if (r2 < r1) r2 = r1;

    auto cellCount = [&](std::int32_t r) { return rows.Item(r)->ItemText().count(); };
    auto tabLeft = [&](std::int32_t r, std::int32_t c) {
      KtTextItem* cell = rows.Item(r)->ItemText().Item(c);
      if (!cell) throw ObjectNotSetError();
      return cell->TabLeft();
    };
    const std::int32_t count1 = cellCount(r1);
    std::int32_t c1 = col, c2 = 0;
    if (c1 > count1) c1 = count1;
    if (c1 < 1) {
      c1 = 1;
      c2 = count1;
    }
    if (Col2 > 0 && c2 < 1) c2 = std::min(Col2, cellCount(r2));
    if (c2 < c1) c2 = c1;

    const float x1 = tabLeft(r1, c1);
    const float x2 = cellCount(r2) <= c2 ? pageInfo_.AvailWidth : tabLeft(r2, c2);
    const Variant pen(PenSize);
    const Variant penStyle(defaults_.dColPenStyle);
    const Variant penColor(static_cast<std::int32_t>(defaults_.dColPenColor));
    // The same as SetProperty cell by cell, except that a row whose pen style
    // changed is refitted once at the end rather than once per cell.
    std::vector<std::int32_t> refit;
    auto set = [&](std::int32_t r, std::int32_t c, const char* name, const Variant& value) {
      try {
        KtTextItem* cell = rows.Item(r)->ItemText().Item(c);
        if (!cell) return false;
        cell->SetByName(name, value);
        return true;
      } catch (const std::exception& e) {
        RecordCaught(e);
        return false;
      }
    };
    auto line = [&](std::int32_t r, std::int32_t c, const char* name) {
      if (fgUseDefaultPen) {
        if (set(r, c, "PenStyle", penStyle) && (refit.empty() || refit.back() != r)) refit.push_back(r);
        set(r, c, "PenColor", penColor);
      }
      set(r, c, name, pen);
    };

    if (fgLines & ppLineLeft)
      for (std::int32_t r = r1; r <= r2; ++r) line(r, ColumnAtPosition(r, x1, parea), "LineLeft");
    if (fgLines & ppLineRight)
      for (std::int32_t r = r1; r <= r2; ++r) line(r, ColumnAtPosition(r, x2, parea), "LineRight");
    if (fgLines & ppLineTop)
      for (std::int32_t c = c1; c <= c2; ++c) line(r1, c, "LineTop");
    if (fgLines & ppLineBottom)
      for (std::int32_t c = c1; c <= c2; ++c) line(r2, c, "LineBottom");
    std::sort(refit.begin(), refit.end());
    refit.erase(std::unique(refit.begin(), refit.end()), refit.end());
    for (std::int32_t r : refit) {
      try {
        rows.Item(r)->FitHeight(MeasureDC());
      } catch (const std::exception& e) {
        RecordCaught(e);
      }
      repageOnPaint_ = true;
    }
    return true;
  } catch (const std::exception&) {
    return false;  // outlining reports failure through its result only
  }
}

}  // namespace ktfolio
