"""Rows given from Python: items in bulk, from any iterable, and by keyword."""
import pytest

import ktfolio
from conftest import texts


def test_add_rows_builds_in_bulk_what_add_row_builds_one_by_one(c):
    one = ktfolio.KtPrint4()
    rows = [("A1", 2, 3.5), ["#1440#B", None, True], (), iter(["gen", "erator"])]
    assert c.AddRows(r for r in rows) == 4
    for r in rows[:3]:
        one.AddRow(*r)
    one.AddRow("gen", "erator")
    for row in range(1, 5):
        assert texts(c, row) == texts(one, row), row
        assert c.GetProperty(row, 1, "TabLeft") == one.GetProperty(row, 1, "TabLeft")
    assert c.GetLastError()[0] is False


def test_add_rows_stops_at_the_first_row_the_control_refuses_or_it_cannot_convert(c):
    # A position beyond the Single range overflows: that row and the rest are not added.
    assert c.AddRows([["a"], ["#1e39#b"], ["c"]]) == 1
    assert (c.LastRow, texts(c, 1), c.GetLastError()[:2]) == (1, ["a"], (True, 6))
    for bad, message in (("text", "row 2"), ([object()], "row 2 item 1"), (5, "row 2")):
        control = ktfolio.KtPrint4()
        with pytest.raises(TypeError, match=message):
            control.AddRows([["first"], bad, ["never"]])
        assert control.LastRow == 1, bad


def test_item_lists_given_by_keyword_take_the_general_path_to_the_same_row(c):
    c.dInheritLastRow = False
    assert c.AddRow(Items=["a", 2]) is True and c.AddRow("a", 2) is True
    assert texts(c, 1) == texts(c, 2) == ["a", "2"]
    with pytest.raises(TypeError, match="unexpected keyword argument 'Item'"):
        c.AddRow(Item=["x"])
    assert c.LastRow == 2


def test_python_values_become_the_texts_of_the_controls_variants(c):
    # A bool is a Boolean (not the int it also is), a whole number past a Long travels as a Double.
    assert c.AddRow(True, False, 2**31 - 1, 2**31, 1.5, None) is True
    assert texts(c, 1) == ["True", "False", "2147483647", "2147483648", "1.5", ""]
    assert c.AddRow(Items=[True, False]) is True, "the general path of lists and keywords"
    assert texts(c, 2)[:2] == ["True", "False"]
