import pytest
import ktfolio
from conftest import texts


def test_items_are_positional_and_become_cell_texts(c):
    assert c.AddRow() is True
    assert texts(c, 1) == [""], "no items: dColsPerRow empty cells"
    assert c.AddRow("a", 2, True, 2.5, None) is True
    assert texts(c, 2) == ["a", "2", "True", "2.5", ""]
    assert c.AddRow() is True
    assert texts(c, 3) == [""] * 5, "a new row copies the cells of the last one"
    assert (c.LastRow, c.StartBodyRow, c.EndBodyRow) == (3, 1, 3)


def test_cols_per_row_is_a_minimum(c):
    c.dColsPerRow = 5
    c.AddRow("x", "y", "z")
    assert texts(c, 1) == ["x", "y", "z", "", ""]
    c.dInheritLastRow = False
    c.dColsPerRow = 1
    c.AddRow("a", "b")
    assert texts(c, 2) == ["a", "b"]


def test_item_syntax_places_text_at_a_left_position_in_twips(c):
    c.ScaleMode = ktfolio.eMillimetre
    c.AddRow("#1440#Total", "#abc#word", "#12 no end", "##twice")
    assert texts(c, 1) == ["Total", "word", "#12 no end", "##twice"]
    assert c.GetProperty(1, 1, "TabLeft") == 1440.0, "no scale conversion"
    assert c.GetProperty(1, 2, "TabLeft") == 0.0, "an unreadable number reads as 0"


def test_start_and_end_rows_frame_the_centre_section(c):
    c.AddStartDocRow("T")
    assert (c.StartBodyRow, c.EndBodyRow) == (2, 2)
    c.AddRow("x")
    assert (c.StartBodyRow, c.EndBodyRow, c.LastRow) == (2, 2, 2)
    c.AddRow("y")
    c.AddEndDocRow("end")
    c.AddStartDocRow("T2")
    c.AddRow("z")
    order = [texts(c, r)[0] for r in range(1, c.LastRow + 1)]
    assert order == ["T", "T2", "x", "y", "z", "end"]
    assert (c.StartBodyRow, c.EndBodyRow) == (3, 5)


def test_start_row_after_centre_rows_goes_first(c):
    c.AddRow("x")
    c.AddRow("y")
    c.AddStartDocRow("S")
    assert [texts(c, r)[0] for r in (1, 2, 3)] == ["S", "x", "y"]
    assert (c.StartBodyRow, c.EndBodyRow) == (2, 3)


def test_header_and_footer_rows_go_to_their_own_areas(c):
    c.AddHeaderRow("h1", "h2")
    c.AddFooterRow("f")
    c.AddHeaderRow("h3")
    assert c.LastRow == 0
    assert texts(c, 1, ktfolio.Header) == ["h1", "h2"]
    assert texts(c, 2, ktfolio.Header)[0] == "h3"
    assert texts(c, 1, ktfolio.Footer) == ["f"]


def test_set_text_row_replaces_texts_but_keeps_cells(c):
    c.AddRow("a", "b")
    assert c.SetTextRow(1, ktfolio.Body, "#720#A", "B", "C") is True
    assert texts(c, 1) == ["A", "B"]
    assert c.GetProperty(1, 1, "TabLeft") == 720.0
    assert c.SetTextRow(row=1, parea=ktfolio.Body) is True
    assert texts(c, 1) == ["A", "B"]
    c.ClearError()
    assert c.SetTextRow(5, ktfolio.Body, "x") is False
    assert c.GetLastError() == (True, 60109, "Could'n add new row", "Setting Text Row")
    c.AddFooterRow("f")
    assert c.SetTextRow(1, ktfolio.Footer, "g") is True
    assert texts(c, 1, ktfolio.Footer) == ["g"]


def test_remove_rows_ranges(c):
    for t in "abcdef":
        c.AddRow(t)
    assert c.RemoveRows(2, 1) is False
    assert c.LastRow == 6
    assert c.RemoveRows(2, 3) is True
    assert [texts(c, r)[0] for r in range(1, c.LastRow + 1)] == ["a", "d", "e", "f"]
    assert c.RemoveRows(3, 99) is True, "a RowTo past the end removes to the last row"
    assert c.LastRow == 2
    c.AddHeaderRow("h")
    c.AddHeaderRow("h2")
    assert c.RemoveRows(1, 1, PageArea=ktfolio.Header) is True
    assert texts(c, 1, ktfolio.Header) == ["h2"]
    assert c.RemoveRows(0, 0) is True
    assert c.LastRow == 0


def test_clear_all_empties_every_area_and_keeps_the_sections(c):
    c.AddRow("a")
    c.AddRow("b")
    c.AddHeaderRow("h")
    c.AddFooterRow("f")
    c.ClearAll()
    assert c.LastRow == 0
    assert c.GetProperty(1, 1, "Text", ktfolio.Header) is False
    assert c.GetProperty(1, 1, "Text", ktfolio.Footer) is False
    assert (c.StartBodyRow, c.EndBodyRow) == (1, 2)


def test_an_item_that_cannot_become_text_is_recorded_not_raised(c):
    c.ClearError()
    assert c.AddRow("a", ["nested", "list"]) is False
    ok, number, _, _ = c.GetLastError()
    assert ok and number == 13


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


def test_add_rows_stops_at_the_first_row_the_control_refuses(c):
    # A position beyond the Single range overflows: that row and the rest are not added.
    assert c.AddRows([["a"], ["#1e39#b"], ["c"]]) == 1
    assert c.LastRow == 1 and texts(c, 1) == ["a"]
    failed, number, _, _ = c.GetLastError()
    assert failed is True and number == 6


def test_add_rows_raises_for_rows_it_cannot_convert_and_keeps_those_before(c):
    for bad, message in (("text", "row 2"), ([object()], "row 2 item 1"), (5, "row 2")):
        control = ktfolio.KtPrint4()
        with pytest.raises(TypeError, match=message):
            control.AddRows([["first"], bad, ["never"]])
        assert control.LastRow == 1, bad


def test_item_lists_given_by_keyword_take_the_general_path_to_the_same_row(c):
    c.dInheritLastRow = False
    assert c.AddRow(Items=["a", 2]) is True
    assert c.AddRow("a", 2) is True
    assert texts(c, 1) == texts(c, 2) == ["a", "2"]
    with pytest.raises(TypeError, match="unexpected keyword argument 'Item'"):
        c.AddRow(Item=["x"])
    assert c.LastRow == 2
