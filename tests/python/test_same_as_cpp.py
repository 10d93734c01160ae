"""The report of pagination_scenario.cpp, built again through the module:
every body row must land on the same page at the same height."""
import os
import subprocess

import pytest

import ktfolio
from ktfolio import _testing


def dump(c, stage, out):
    out.append(f"stage {stage}")
    pages = c.Pages
    for n, (page, top, new_page, _) in enumerate(_testing.layout(c), start=1):
        out.append(("row", n, page, top, int(new_page)))
    out.append(("pages", pages))


def python_report():
    out = []
    c = ktfolio.KtPrint4()
    c.ScaleMode = ktfolio.eMillimetre
    c.PageSize = ktfolio.s_A5
    c.MarginTop = 20
    c.MarginBottom = 25
    c.dFitHeightToText = False
    c.dRowHeight = 9.5
    c.RowSpacing = 1.25
    c.dColsPerRow = 3

    c.AddHeaderRow("Quarterly listing", "#5000#Page %p of %n")
    c.AddFooterRow("Printed by ktfolio")
    c.AddStartDocRow("Opening balance", 1250.5)
    for i in range(1, 46):
        c.AddRow(f"Item {i}", i * 3, i % 2 == 0)
    c.SetProperty(12, -1, "RowHeight", 1800)
    c.SetProperty(20, -1, "RowSpacing", 300)
    c.SetPageBreak(30)
    c.AddEndDocRow("Total", 3105)
    c.OutLineBlock(2, ktfolio.ppOutLineFull, 2, 1, Row2=10, Col2=3)
    dump(c, "built", out)

    c.RePaging(1, True)
    dump(c, "cleared", out)

    c.RemoveRows(5, 9)
    c.SetPageBreak(14)
    c.RePaging(2)
    dump(c, "removed", out)
    return out


def cpp_report():
    exe = os.environ.get("KTFOLIO_PAGINATION_SCENARIO")
    if not exe or not os.path.exists(exe):
        pytest.skip("pagination_scenario is built with the tests; run through ctest")
    text = subprocess.run([exe], check=True, capture_output=True, text=True).stdout
    out = []
    for line in text.splitlines():
        kind, *rest = line.split()
        if kind == "stage":
            out.append(line)
        elif kind == "row":
            n, page, top, new_page = rest
            out.append(("row", int(n), int(page), float(top), int(new_page)))
        else:
            out.append(("pages", int(rest[0])))
    return out


def test_python_and_cpp_paginate_the_same_report_identically():
    expected = cpp_report()
    got = python_report()
    assert got == expected
    # The scenario is only worth comparing if it exercises breaks and overflow.
    assert ("pages", 5) in got
    assert sum(1 for line in got if isinstance(line, tuple) and line[0] == "row" and line[4] == 1) >= 6
