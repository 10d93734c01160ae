"""Rows of str items added in bulk take a path of their own (no variant per
item): each must build exactly the row AddRow builds from the same items."""
import pytest

import ktfolio
from conftest import texts

ITEMS = [
    ("plain", "caf\u00e9 \u20ac 12,50", "\U0001f600 past the BMP", "", "a text longer than eleven bytes"),
    ("#1440#at a tab", "#0#zero", "##empty position", "#12#", "#", "#abc#not digits", "# 7 #spaced"),
    ("#2.5#half", "#-300#left of the edge", "#9999999#far", "#12345678#eight digits", "%p of %n"),
    ("two\r\nlines", "cr\ronly", "lf\nonly", "<cr> marker", "&& prefix"),
]
CELL_KEYS = ("Text", "TabLeft")


def cells(control, row):
    n = len(texts(control, row))
    return [tuple(control.GetProperty(row, col, k) for k in CELL_KEYS) for col in range(1, n + 1)]


@pytest.mark.parametrize("inherit", [True, False])
def test_rows_of_str_items_build_what_add_row_builds(inherit):
    bulk, one = ktfolio.KtPrint4(), ktfolio.KtPrint4()
    for c in (bulk, one):
        c.dInheritLastRow = inherit
        c.dColsPerRow = 3
    assert bulk.AddRows(ITEMS) == len(ITEMS)
    for row in ITEMS:
        assert one.AddRow(*row) is True
    for r in range(1, len(ITEMS) + 1):
        assert cells(bulk, r) == cells(one, r), r
        assert bulk.GetProperty(r, 0, "RowHeight") == one.GetProperty(r, 0, "RowHeight"), r
    assert bulk.GetLastError()[0] is False and bulk.Pages == one.Pages


def test_a_str_row_the_control_refuses_stops_the_run_as_add_row_would_refuse_it():
    c, one = ktfolio.KtPrint4(), ktfolio.KtPrint4()
    assert c.AddRows([("a",), ("#1e39#b", "c"), ("never",)]) == 1
    assert one.AddRow("#1e39#b", "c") is False
    assert (c.LastRow, c.GetLastError()[:2]) == (1, (True, 6))
    assert (one.LastRow, one.GetLastError()[:2]) == (0, (True, 6))


def test_items_that_are_not_all_str_or_not_valid_unicode_take_the_general_path():
    c, one = ktfolio.KtPrint4(), ktfolio.KtPrint4()
    rows = [("text", 2, 1.5), ("str subclass", type("S", (str,), {})("sub")), ()]
    assert c.AddRows(rows) == 3
    for row in rows:
        assert one.AddRow(*row) is True
    for r in range(1, 4):
        assert texts(c, r) == texts(one, r), r
    with pytest.raises(Exception) as bulk_error:
        c.AddRows([("ok", "lone \ud800 surrogate")])
    with pytest.raises(Exception) as one_error:
        one.AddRow("ok", "lone \ud800 surrogate")
    assert (type(bulk_error.value), c.LastRow) == (type(one_error.value), 3)
