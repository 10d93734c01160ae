// The listing job's document, shared by the benchmarks that build it: A4 in
// twips with inch margins, a "Sales listing" title and a column header with a
// grid, a "Page %p of %n" footer, and body rows of five cells in a grid.
#pragma once

#include <cstdio>
#include <string>

#include "control/ktprint4_impl.h"

namespace listing {

inline void SetUp(ktfolio::KtPrint4Impl& c) {
  c.ScaleMode(ktfolio::eTwip);
  c.PageSize(ktfolio::s_A4);
  c.Marginleft(1440);
  c.MarginRight(1440);
  c.MarginTop(1440);
  c.MarginBottom(1440);
  c.MarginHeader(600);
  c.MarginFooter(860);
  c.Font(ktfolio::MakeFont("Arial", 9));
  c.dInheritLastRow(false);
  c.AddHeaderRow("Sales listing");
  c.dColLineTop(1);
  c.dColLineBottom(1);
  c.dColLineLeft(1);
  c.dColLineRight(1);
  c.AddHeaderRow("Code", "#1400#Description", "#5800#Qty", "#6800#Price", "#8000#Total");
  c.dColLineTop(0);
  c.dColLineBottom(0);
  c.dColLineLeft(0);
  c.dColLineRight(0);
  c.AddFooterRow("Page %p of %n");
  c.dColLineTop(1);
  c.dColLineBottom(1);
  c.dColLineLeft(1);
  c.dColLineRight(1);
  c.dInheritLastRow(true);
}

// The five texts of body row i (from 0), with their column positions.
struct RowTexts {
  char code[16], price[32], total[32];
  std::string description, quantity;
};

inline void Format(int i, RowTexts& t) {
  std::snprintf(t.code, sizeof t.code, "A%06d", i);
  std::snprintf(t.price, sizeof t.price, "#6800#%.2f", i * 1.25);
  std::snprintf(t.total, sizeof t.total, "#8000#%.2f", (i % 17) * i * 1.25);
  t.description = "#1400#Item number " + std::to_string(i) + " with a longer description";
  t.quantity = "#5800#" + std::to_string(i % 17);
}

// Body row i; false when the control refuses it.
inline bool AddRow(ktfolio::KtPrint4Impl& c, int i) {
  RowTexts t;
  Format(i, t);
  return c.AddRow(t.code, t.description, t.quantity, t.price, t.total);
}

}  // namespace listing
