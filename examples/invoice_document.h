// The example invoice, built through KtPrint4's public interface: a logo and
// the seller in a repeated header, a boxed customer block, a shaded column
// header, one gridded row per item, shaded totals and "Page x of n" in the
// footer. Used by the invoice example and by `ktfolio demo`.
#pragma once

#include <cstdio>
#include <string>

#include "control/ktprint4.h"

namespace ktfolio::examples {

struct InvoiceLine {
  const char* code;
  const char* description;
  int quantity;
  double unitPrice;
};

inline const InvoiceLine kInvoiceCatalogue[] = {
    {"A-100", "Copy paper A4, 80 g/m², box of 5 reams", 4, 21.90},
    {"A-115", "Recycled copy paper A4, box of 5 reams", 2, 24.50},
    {"B-210", "Ballpoint pens, blue, pack of 50", 3, 9.75},
    {"B-212", "Gel pens, assorted colours, pack of 12", 5, 6.40},
    {"C-330", "Lever-arch files, A4, 80 mm spine, pack of 10", 6, 18.20},
    {"C-345", "Suspension files for filing cabinets, pack of 25, with tabs and inserts", 2, 27.00},
    {"D-400", "Sticky notes 76 × 76 mm, 12 pads", 10, 4.95},
    {"E-510", "Toner cartridge, black, high yield (approx. 9 000 pages)", 1, 139.00},
    {"F-620", "Desk organiser, mesh, five compartments", 3, 15.60},
    {"G-705", "Whiteboard markers, four colours", 8, 5.25},
};

inline std::string Money(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

// Columns, in twips from the row's left edge.
constexpr int kColDescription = 1300;
constexpr int kColQuantity = 5900;
constexpr int kColPrice = 6900;
constexpr int kColAmount = 8100;

inline void BuildInvoiceBands(KtPrint4& c, const std::string& logo) {
  c.AddHeaderRow("", "#1400#Northwind Office Supplies<cr><lf>12 Harbour Street · Bristol BS1 4QA", "#6400#INVOICE");
  c.SetProperty(1, 1, "BitMap", Variant(logo), Header);
  c.SetProperty(1, 2, "FontSize", Variant(13), Header);
  c.SetProperty(1, 2, "FontBold", Variant(true), Header);
  c.SetProperty(1, 3, "FontSize", Variant(24), Header);
  c.SetProperty(1, 3, "FontBold", Variant(true), Header);
  c.SetProperty(1, 3, "FontColor", Variant(0x8B4513), Header);  // a dark blue
  c.SetProperty(1, 3, "AlignPos", Variant(ppRightCenter), Header);
  c.OutLineBlock(2, ppLineBottom, 1, 0, true, Header);
  c.dColsPerRow(2);
  c.AddFooterRow("Northwind Office Supplies Ltd · VAT GB 123 4567 89 · Registered in England No. 0481516",
                 "#7000#Page %p of %n");
  c.SetProperty(1, -1, "FontSize", Variant(8), Footer);
  c.SetProperty(1, 2, "AlignPos", Variant(ppRightCenter), Footer);
  c.OutLineBlock(1, ppLineTop, 1, 0, true, Footer);
  c.dColsPerRow(3);
}

inline void BuildInvoiceCustomerBlock(KtPrint4& c) {
  const char* rows[][3] = {{"Bill to", "#5200#Invoice no.", "#6900#INV-2026-0412"},
                           {"Contoso Ltd", "#5200#Date", "#6900#6 December 2026"},
                           {"Attn. Accounts Payable", "#5200#Customer no.", "#6900#C-10442"},
                           {"1 Market Square, Leeds LS1 6DT", "#5200#Terms", "#6900#30 days net"}};
  for (const auto& r : rows) c.AddStartDocRow(r[0], r[1], r[2]);
  c.SetProperty(1, 1, "FontBold", Variant(true));
  c.SetProperty(-1, 2, "FontBold", Variant(true));
  c.OutLineBlock(1, ppOutLineFull, 1, 1, true, Body, 4, 3);
  c.AddStartDocRow("");
  c.SetProperty(5, 1, "RowHeight", Variant(4));  // a gap below the box
}

inline void BuildInvoiceItems(KtPrint4& c, int items) {
  const std::string q = "#" + std::to_string(kColQuantity) + "#", p = "#" + std::to_string(kColPrice) + "#",
                    a = "#" + std::to_string(kColAmount) + "#", d = "#" + std::to_string(kColDescription) + "#";
  c.AddRow("Code", d + "Description", q + "Qty", p + "Unit price", a + "Amount");
  const std::int32_t head = c.LastRow();
  c.SetProperty(head, -1, "FontBold", Variant(true));
  c.SetProperty(head, -1, "FillCell", Variant(true));
  c.SetProperty(head, -1, "BrushColor", Variant(0xE0D8D0));
  for (int col = 3; col <= 5; ++col) c.SetProperty(head, col, "AlignPos", Variant(ppRightCenter));
  double total = 0;
  for (int i = 0; i < items; ++i) {
    const InvoiceLine& l = kInvoiceCatalogue[i % std::size(kInvoiceCatalogue)];
    const int qty = l.quantity + i % 3;
    const double amount = qty * l.unitPrice;
    total += amount;
    c.AddRow(l.code, d + l.description, q + std::to_string(qty), p + Money(l.unitPrice), a + Money(amount));
    const std::int32_t r = c.LastRow();
    c.SetProperty(r, -1, "FontBold", Variant(false));
    c.SetProperty(r, -1, "FillCell", Variant(false));
    for (int col = 3; col <= 5; ++col) c.SetProperty(r, col, "AlignPos", Variant(ppRightCenter));
  }
  for (const char* side : {"LineTop", "LineBottom", "LineLeft", "LineRight"})
    for (std::int32_t r = head; r <= c.LastRow(); ++r) c.SetProperty(r, -1, side, Variant(1));

  c.dColsPerRow(2);
  const double vat = total * 0.2;
  const char* labels[] = {"Subtotal", "VAT 20 %", "Total due"};
  const double values[] = {total, vat, total + vat};
  for (int i = 0; i < 3; ++i) {
    c.AddEndDocRow("#" + std::to_string(kColPrice - 1200) + "#" + labels[i], a + Money(values[i]));
    const std::int32_t r = c.LastRow();
    c.SetProperty(r, -1, "AlignPos", Variant(ppRightCenter));
    c.SetProperty(r, -1, "FillCell", Variant(true));
    c.SetProperty(r, -1, "BrushColor", Variant(i == 2 ? 0xC8B8A8 : 0xF0ECE8));
    c.SetProperty(r, -1, "FontBold", Variant(i == 2));
    c.SetProperty(r, -1, "LineBottom", Variant(1));
  }
  c.dColsPerRow(1);
  c.AddEndDocRow("");
  c.AddEndDocRow("Payment by bank transfer to Northwind Office Supplies Ltd, sort code 20-00-00, account "
                 "55779911, quoting the invoice number. Thank you for your business.");
  c.SetProperty(c.LastRow(), 1, "FontItalic", Variant(true));
}

// The whole invoice. `logo` is a picture file name ("%APP_PATH%" allowed).
inline void BuildInvoice(KtPrint4& c, const std::string& logo, int items = 60) {
  c.ScaleMode(eMillimetre);
  c.PageSize(s_A4);
  c.Marginleft(18);
  c.MarginRight(18);
  c.MarginTop(42);
  c.MarginBottom(25);
  c.MarginHeader(12);
  c.MarginFooter(18);
  c.ColorResolution(cr_16M_Colors);  // the logo in full colour
  c.dInheritLastRow(false);
  c.dColsPerRow(3);
  BuildInvoiceBands(c, logo);
  BuildInvoiceCustomerBlock(c);
  c.dColsPerRow(5);
  BuildInvoiceItems(c, items);
}

}  // namespace ktfolio::examples
