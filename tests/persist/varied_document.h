// A document whose rows and cells vary every attribute a template carries,
// for round trips and benchmarks.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "control/ktprint4_impl.h"

namespace ktfolio::testing {

// Adds header, footer and body rows of `cells` cells, every attribute drawn
// from a seeded generator (so two calls build the same document). Every
// seventh cell shows `picture` when one is given.
inline void BuildVariedDocument(KtPrint4Impl& c, int bodyRows, int cells, std::uint32_t seed,
                                const std::string& picture = {}) {
  std::mt19937 rng(seed);
  auto pick = [&](int n) { return static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(n)); };
  auto chance = [&](int percent) { return pick(100) < percent; };
  auto half = [&](int n) { return static_cast<float>(pick(n * 2)) / 2.0f; };
  const char* const fonts[] = {"Arial", "Times New Roman", "Courier New"};
  const char* const words[] = {"Invoice", "caf\xC3\xA9", "\xE2\x82\xAC 12,50", "two\r\nlines", "=sign=", "",
                               "%p of %n", "Total"};
  std::int32_t cellNo = 0;
  auto vary = [&](KtTextItem& x) {
    ++cellNo;
    if (chance(60)) x.AlignPos(pick(12));
    if (chance(20)) x.BrushColor(static_cast<std::uint32_t>(rng()));
    if (chance(20)) x.Clipping(chance(50));
    if (chance(10)) x.edge(pick(10));
    if (chance(10)) x.EdgeFlags(pick(32));
    if (chance(10)) x.EditType(pick(3));
    if (chance(20)) x.FillCell(chance(50));
    if (chance(5)) x.Focused(true);
    if (chance(30)) x.FontBold(chance(50));
    if (chance(20)) x.FontColor(chance(10) ? 0x80000008u : static_cast<std::uint32_t>(rng() & 0xFFFFFF));
    if (chance(20)) x.FontItalic(chance(50));
    if (chance(20)) x.FontName(fonts[pick(3)]);
    if (chance(30)) x.FontSize(6 + half(10));
    if (chance(10)) x.FontStrikethru(chance(50));
    if (chance(10)) x.FontStyle(pick(5));
    if (chance(10)) x.FontUnderline(chance(50));
    if (chance(10)) x.FrameControl(pick(5));
    if (chance(10)) x.FrameControlFlags(pick(1 << 15) - (1 << 14));
    if (chance(10)) x.FrameControlSize(half(400));
    if (chance(20)) x.IndentFirst(half(200) - 50);
    if (chance(20)) x.IndentLeft(half(200));
    if (chance(20)) x.IndentRight(half(200));
    if (chance(20)) x.LineBottom(static_cast<std::int16_t>(pick(4)));
    if (chance(20)) x.LineLeft(static_cast<std::int16_t>(pick(4)));
    if (chance(20)) x.LineRight(static_cast<std::int16_t>(pick(4) - 1));
    if (chance(20)) x.LineTop(static_cast<std::int16_t>(pick(4)));
    if (chance(20)) x.PenColor(static_cast<std::uint32_t>(rng()));
    if (chance(10)) x.PenStyle(pick(9));
    if (chance(10)) x.ShadowColor(static_cast<std::uint32_t>(rng()));
    if (chance(10)) x.ShadowHeavyColor(static_cast<std::uint32_t>(rng()));
    if (chance(10)) x.ShadowSize(pick(5));
    if (chance(10)) x.TabLeft(x.TabLeft() + 0.5f);
    x.Text(std::string(words[pick(8)]) + (chance(50) ? std::to_string(cellNo) : ""));
    if (chance(20)) x.WordWrap(chance(50));
    if (!picture.empty() && cellNo % 7 == 0) x.BITMAP(picture);
  };
  auto row = [&](std::int32_t area) {
    VariantArray items(static_cast<std::size_t>(cells), Variant(""));
    if (area == Header) c.AddHeaderRow(items);
    else if (area == Footer) c.AddFooterRow(items);
    else c.AddRow(items);
    KtRows& rows = *c.Rows(area);
    KtRow& r = *rows.Item(rows.ActiveRow());
    if (chance(20)) r.ColsLayoutType(pick(2));
    if (chance(20)) r.ColSpacing(half(100));
    if (chance(20)) r.FitHeightToText(chance(50));
    if (chance(20)) r.IndentBottom(half(100));
    if (chance(20)) r.IndentTop(half(100));
    if (chance(3)) r.PageBreak(true);
    if (chance(30)) r.RowHeight(200 + half(400));
    if (chance(20)) r.RowSpacing(half(60));
    for (auto& cell : r.ItemText()) vary(*cell);
  };
  c.dFitHeightToText(false);  // heights come from the generator, not from measuring
  for (int i = 0; i < 2; ++i) row(Header);
  for (int i = 0; i < 2; ++i) row(Footer);
  c.AddStartDocRow(VariantArray(static_cast<std::size_t>(cells), Variant("start")));
  for (int i = 0; i < bodyRows; ++i) row(Body);
  c.AddEndDocRow(VariantArray(static_cast<std::size_t>(cells), Variant("end")));
  c.ScaleMode(eMillimetre);
  c.Marginleft(12.5f);
  c.MarginTop(20);
  c.PrinterName("Office \xE2\x80\x94 2nd floor \xE2\x86\x92");  // an em dash, and an arrow
  c.dColClipping(false);
  c.ColSpacing(1.5f);
  c.RePaging();
}

}  // namespace ktfolio::testing
