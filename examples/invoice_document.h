// The example invoice, built through KtPrint4's public interface (any
// control with its members: the library's own command builds it too): a header
// band repeated on every page (logo and seller, a boxed customer block, the
// shaded column headings), one gridded row per item with its numbers on the
// right, shaded totals and "Page x of n" in the footer. Used by the invoice
// example and by `ktfolio demo`.
#pragma once

#include <cstdio>
#include <string>

#include <ktfolio/ktfolio.h>

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
// The logo's cell: a picture fills its cell's text area, so the area is the
// picture's own size (72 x 72 pixels at 96 dpi: 1080 twips) and the seller's
// cell starts after it and the cell's two 80-twip indents.
constexpr int kLogoTwips = 1080;
constexpr int kColSeller = kLogoTwips + 2 * 80;

inline std::string At(int twips, const std::string& text) { return "#" + std::to_string(twips) + "#" + text; }

// The header row added last (adding one makes the header the active area).
inline std::int32_t LastHeaderRow(auto& c) {
  c.ActiveArea(Header);
  return c.ActiveRow();
}

// A thin gap between blocks of the header band, `twips` high (attributes by
// name take twips, whatever the ScaleMode).
inline void HeaderGap(auto& c, int twips) {
  c.AddHeaderRow("");
  const std::int32_t row = LastHeaderRow(c);
  c.SetProperty(row, 1, "FitHeightToText", Variant(false), Header);  // else an empty line's height
  c.SetProperty(row, 1, "RowHeight", Variant(twips), Header);
}

// The header band, repeated on every page: logo and seller, the customer and
// invoice block, and the column headings of the items.
inline void BuildInvoiceHeader(auto& c, const std::string& logo) {
  c.dColsPerRow(3);
  c.AddHeaderRow("", At(kColSeller, "Northwind Office Supplies<cr><lf>12 Harbour Street · Bristol BS1 4QA"),
                 At(6400, "INVOICE"));
  c.SetProperty(1, 1, "BitMap", Variant(logo), Header);
  c.SetProperty(1, 2, "FontSize", Variant(13), Header);
  c.SetProperty(1, 2, "FontBold", Variant(true), Header);
  c.SetProperty(1, 3, "FontSize", Variant(24), Header);
  c.SetProperty(1, 3, "FontBold", Variant(true), Header);
  c.SetProperty(1, 3, "FontColor", Variant(0x8B4513), Header);  // a dark blue
  c.SetProperty(1, 3, "AlignPos", Variant(ppRightCenter), Header);
  c.OutLineBlock(2, ppLineBottom, 1, 0, true, Header);
  HeaderGap(c, 170);

  const char* rows[][3] = {{"Bill to", "Invoice no.", "INV-2026-0412"},
                           {"Contoso Ltd", "Date", "6 December 2026"},
                           {"Attn. Accounts Payable", "Customer no.", "C-10442"},
                           {"1 Market Square, Leeds LS1 6DT", "Terms", "30 days net"}};
  const std::int32_t first = LastHeaderRow(c) + 1;
  for (const auto& r : rows) c.AddHeaderRow(r[0], At(5200, r[1]), At(6900, r[2]));
  c.SetProperty(first, 1, "FontBold", Variant(true), Header);
  for (std::int32_t r = first; r < first + 4; ++r) c.SetProperty(r, 2, "FontBold", Variant(true), Header);
  c.OutLineBlock(1, ppOutLineFull, first, 1, true, Header, first + 3, 3);
  HeaderGap(c, 230);

  c.dColsPerRow(5);
  c.AddHeaderRow("Code", At(kColDescription, "Description"), At(kColQuantity, "Qty"), At(kColPrice, "Unit price"),
                 At(kColAmount, "Amount"));
  const std::int32_t head = LastHeaderRow(c);
  c.SetProperty(head, -1, "FontBold", Variant(true), Header);
  c.SetProperty(head, -1, "FillCell", Variant(true), Header);
  c.SetProperty(head, -1, "BrushColor", Variant(0xE0D8D0), Header);
  for (int col = 3; col <= 5; ++col) c.SetProperty(head, col, "AlignPos", Variant(ppRightCenter), Header);
  for (const char* side : {"LineTop", "LineBottom", "LineLeft", "LineRight"})
    c.SetProperty(head, -1, side, Variant(1), Header);
}

inline void BuildInvoiceFooter(auto& c) {
  c.dColsPerRow(2);
  c.AddFooterRow("Northwind Office Supplies Ltd · VAT GB 123 4567 89 · Registered in England No. 0481516",
                 At(7000, "Page %p of %n"));
  c.SetProperty(1, -1, "FontSize", Variant(8), Footer);
  c.SetProperty(1, 2, "AlignPos", Variant(ppRightCenter), Footer);
  c.OutLineBlock(1, ppLineTop, 1, 0, true, Footer);
}

// One gridded row per item, amounts on the right; then the totals and the
// payment terms at the end of the document.
inline void BuildInvoiceItems(auto& c, int items) {
  c.dColsPerRow(5);
  double total = 0;
  for (int i = 0; i < items; ++i) {
    const InvoiceLine& l = kInvoiceCatalogue[i % std::size(kInvoiceCatalogue)];
    const int qty = l.quantity + i % 3;
    const double amount = qty * l.unitPrice;
    total += amount;
    c.AddRow(l.code, At(kColDescription, l.description), At(kColQuantity, std::to_string(qty)),
             At(kColPrice, Money(l.unitPrice)), At(kColAmount, Money(amount)));
    const std::int32_t r = c.LastRow();
    for (int col = 3; col <= 5; ++col) c.SetProperty(r, col, "AlignPos", Variant(ppRightCenter));
    for (const char* side : {"LineTop", "LineBottom", "LineLeft", "LineRight"})
      c.SetProperty(r, -1, side, Variant(1));
  }

  c.dColsPerRow(2);
  const double vat = total * 0.2;
  const char* labels[] = {"Subtotal", "VAT 20 %", "Total due"};
  const double values[] = {total, vat, total + vat};
  for (int i = 0; i < 3; ++i) {
    c.AddEndDocRow(At(kColPrice - 1200, labels[i]), At(kColAmount, Money(values[i])));
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
inline void BuildInvoice(auto& c, const std::string& logo, int items = 60) {
  // What the PDF says of itself: viewers show the title, screen readers read the language.
  c.DocTitle("Invoice INV-2026-0412");
  c.DocAuthor("Northwind Office Supplies");
  c.DocLanguage("en-GB");
  c.ScaleMode(eMillimetre);
  c.PageSize(s_A4);
  c.Marginleft(18);
  c.MarginRight(18);
  c.MarginHeader(12);
  c.MarginTop(75);  // just below the header band
  c.MarginBottom(25);
  c.MarginFooter(18);
  c.ColorResolution(cr_16M_Colors);  // the logo in full colour
  c.dInheritLastRow(false);
  BuildInvoiceHeader(c, logo);
  BuildInvoiceFooter(c);
  BuildInvoiceItems(c, items);
  c.dColsPerRow(1);
}

}  // namespace ktfolio::examples
