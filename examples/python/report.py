#!/usr/bin/env python3
"""A two-page stock listing with a repeated header and footer, written to PDF.

Run from the source tree after building:
    PYTHONPATH=build/python /usr/bin/python3 examples/python/report.py [report.pdf]
"""
import os
import sys
import tempfile
from typing import Any

import ktfolio

ITEMS = [(f"P-{1000 + n}", f"Part number {n}", n % 7 + 1, 2.5 + n * 0.75) for n in range(1, 46)]


def build() -> ktfolio.KtPrint4:
    c = ktfolio.KtPrint4()
    c.ScaleMode = ktfolio.eMillimetre
    c.PageSize = ktfolio.s_A4
    c.MarginTop = 25
    c.MarginBottom = 25
    c.Marginleft = 20
    c.MarginRight = 20
    # Fixed row heights keep the page count independent of the installed fonts.
    c.dFitHeightToText = False
    c.dRowHeight = 8
    c.RowSpacing = 1

    # The title and the column headings repeat in the header band of every page.
    c.AddHeaderRow("Stock listing", "#7000#Page %p of %n")
    c.SetProperty(1, 1, "FontBold", True, ktfolio.Header)
    c.SetProperty(1, 1, "FontSize", 14, ktfolio.Header)
    c.SetProperty(1, 2, "AlignPos", ktfolio.ppRightCenter, ktfolio.Header)
    # A new row takes its cells' look from the row before it (dInheritLastRow):
    # the headings are given their own size, weight and alignment.
    c.AddHeaderRow("Code", "#2000#Description", "#6500#Qty", "#8000#Price")
    c.SetProperty(2, -1, "FontSize", 10, ktfolio.Header)
    c.SetProperty(2, -1, "FontBold", True, ktfolio.Header)
    c.SetProperty(2, -1, "AlignPos", ktfolio.ppLeftCenter, ktfolio.Header)
    c.OutLineBlock(1, ktfolio.ppLineBottom, 2, 0, parea=ktfolio.Header)
    c.AddFooterRow("Printed with ktfolio")

    for code, name, qty, price in ITEMS:
        c.AddRow(code, f"#2000#{name}", f"#6500#{qty}", f"#8000#{price:.2f}")
    # The row inherits the four cells of the row above: the total names all
    # four columns at their places, so the price column keeps its width.
    total = sum(qty * price for _, _, qty, price in ITEMS)
    c.AddEndDocRow("Total", "#2000#", "#6500#", f"#8000#{total:.2f}")
    c.SetProperty(c.LastRow, -1, "FontBold", True)
    c.OutLineBlock(1, ktfolio.ppLineTop, c.LastRow, 0)
    # Numbers on the right, headings over them.
    for col in (3, 4):
        c.SetProperty(-1, col, "AlignPos", ktfolio.ppRightCenter)
        c.SetProperty(2, col, "AlignPos", ktfolio.ppRightCenter, ktfolio.Header)
    return c


def rows_in(c: ktfolio.KtPrint4, area: int) -> int:
    n = 0
    while c.GetProperty(n + 1, 1, "Text", area) is not False:
        n += 1
    return n


class PageProgress:
    """NewPage tells the host where the page loop is while it prints."""

    def __init__(self) -> None:
        self.started: list[int] = []

    def NewPage(self, e: Any) -> None:
        if e.FirstOrLast == ktfolio.First:
            self.started.append(e.Page)


def fail(c: ktfolio.KtPrint4) -> int:
    ok, number, description, source = c.GetLastError()
    print(f"error {number} in {source}: {description}", file=sys.stderr)
    return 1


def main() -> int:
    pdf = sys.argv[1] if len(sys.argv) > 1 else os.path.join(tempfile.gettempdir(), "ktfolio-report.pdf")
    c = build()
    pages = c.Pages
    if c.GetLastError()[0]:
        return fail(c)
    progress = PageProgress()
    c.connect(progress)
    if not c.ExportPdf(pdf, 1, pages):
        return fail(c)
    print(f"wrote {pdf} (pages started: {progress.started})")
    print(f"pages: {pages}")
    print(f"body rows: {c.LastRow} (centre rows {c.StartBodyRow}..{c.EndBodyRow})")
    print(f"header rows: {rows_in(c, ktfolio.Header)}, footer rows: {rows_in(c, ktfolio.Footer)}, on every page")
    return 0 if pages == 2 else 1


if __name__ == "__main__":
    sys.exit(main())
