#!/usr/bin/env python3
"""An order form whose quantities the user corrects in the preview before printing.

Double-click a quantity, type, press Enter to go on to the next one; the host
refuses anything but digits when the user leaves a cell.

Run from the source tree after building:
    PYTHONPATH=build/python /usr/bin/python3 examples/python/edit_cells.py            # a window
    PYTHONPATH=build/python /usr/bin/python3 examples/python/edit_cells.py shot.png   # headless
"""
import sys
from typing import Any

import ktfolio

ITEMS = [("A-100", "Copy paper A4, box of 5 reams", 4), ("B-210", "Ballpoint pens, pack of 50", 5),
         ("E-510", "Toner cartridge, black", 2)]


class Host:
    """Refuses to leave a quantity that is not a whole number."""

    def __init__(self, control: ktfolio.KtPrint4) -> None:
        self.control = control
        self.refused = 0

    def LeaveCell(self, e: Any) -> None:
        text = self.control.GetProperty(e.row, e.col, "Text", e.parea)
        if not str(text).strip().isdigit():
            e.Cancel = True
            self.refused += 1


def build(form: ktfolio.Form) -> ktfolio.KtPrint4:
    c = ktfolio.KtPrint4(form=form)
    c.AddHeaderRow("Order 2026-117")
    c.AddRow("Code", "Description", "Qty")
    for code, text, qty in ITEMS:
        c.AddRow(code, text, qty)
    c.SetProperty(1, -1, "FontBold", True)  # after the rows: new rows take the last row's look
    for row in range(2, 2 + len(ITEMS)):
        c.SetProperty(row, 3, "EditType", 1)
    c.AllowCellEditing = True
    c.EditEnterAction = ktfolio.ppEnterNext
    return c


def quantities(c: ktfolio.KtPrint4) -> list[str]:
    return [str(c.GetProperty(row, 3, "Text")) for row in range(2, 2 + len(ITEMS))]


def main(argv: list[str]) -> int:
    headless = len(argv) > 1
    if not headless and not ktfolio.use_gtk():
        print("no display: give a PNG file name to render headless", file=sys.stderr)
        return 1
    f = ktfolio.Form(1000, 460)
    c = build(f)
    host = Host(c)
    c.connect(host)
    f.show()
    if not headless:
        f.run()
        print("quantities:", ", ".join(quantities(c)))
        return 0
    c.SetZoom(150)
    f.pump()
    # The first quantity (body row 2, column 3) from the document's own
    # geometry, in twips, taken to pixels of the form at 150 %.
    vp = next(w for w in f.controls() if w["name"] == "VP")["rect"]
    top = c.MarginTop + c.GetProperty(1, 1, "RowHeight") + c.RowSpacing
    x = vp[0] + int((c.Marginleft + c.GetProperty(2, 3, "TabLeft") + 200) / 15 * 1.5)
    y = vp[1] + int((top + c.GetProperty(2, 1, "RowHeight") / 2) / 15 * 1.5)
    f.double_click(x, y)
    f.key(ktfolio.VK_BACK)
    f.type("6")
    f.key(ktfolio.VK_RETURN)
    f.key(ktfolio.VK_END)
    f.type("x")
    f.key(ktfolio.VK_RETURN)  # refused: "5x" is no quantity, the editor stays
    f.pump(60)
    f.screenshot(argv[1])
    print("quantities:", ", ".join(quantities(c)), "refused:", host.refused)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
