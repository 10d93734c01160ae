import pytest

import ktfolio


@pytest.fixture
def grid(c):
    """Three body rows of three cells."""
    c.dColsPerRow = 3
    for r in range(1, 4):
        c.AddRow(*[f"r{r}c{k}" for k in range(1, 4)])
    c.ClearError()
    return c


def cells(control, name, rows=3, cols=3, area=ktfolio.Body):
    return [[control.GetProperty(r, k, name, area) for k in range(1, cols + 1)] for r in range(1, rows + 1)]


def test_wildcards_set_every_row_and_every_cell(grid):
    c = grid
    assert c.SetProperty(-1, -1, "FontBold", True) is True
    assert cells(c, "FontBold") == [[True] * 3] * 3
    assert c.SetProperty(-1, 2, "FontItalic", True) is True
    assert cells(c, "FontItalic") == [[False, True, False]] * 3
    assert c.SetProperty(2, -1, "FontUnderline", 1) is True
    assert cells(c, "FontUnderline")[1] == [True] * 3
    assert cells(c, "FontUnderline")[0] == [False] * 3
    assert c.SetProperty(-1, -1, "FontBold", True, ktfolio.Header) is True, "an empty area is fine"
    assert c.GetLastError()[0] is False


def test_row_attributes_by_name(grid):
    c = grid
    assert c.SetProperty(2, 0, "RowSpacing", 45) is True
    assert c.GetProperty(2, 99, "RowSpacing") == 45.0, "columns do not matter for row attributes"
    assert c.SetProperty(-1, 0, "FitHeightToText", False) is True
    assert c.SetProperty(-1, 0, "RowHeight", 777) is True
    assert [c.GetProperty(r, 1, "RowHeight") for r in (1, 2, 3)] == [777.0] * 3
    assert c.SetProperty(9, 1, "RowHeight", 1) is False


def test_out_of_range_addresses_fail_quietly(grid):
    c = grid
    assert c.SetProperty(2, 5, "Text", "x") is False
    assert c.SetProperty(0, 1, "Text", "x") is False
    assert c.GetProperty(0, 1, "Text") is False
    assert c.GetProperty(2, 4, "Text") is False
    assert c.GetLastError() == (False, None, None, None)


def test_property_names_are_case_sensitive_and_checked(grid):
    c = grid
    assert c.SetProperty(1, 1, "text", "x") is False
    assert c.GetLastError() == (True, 60108, "No valid Property Name", "Set Property")
    assert c.GetProperty(1, 1, "Nope") is False
    assert c.GetLastError() == (True, 60108, "No valid Property Name", "Get Property")
    assert c.GetProperty(1, 1, "Text") == "r1c1"
    c.ClearError()
    # Accepted by the name check but answered by no attribute: the dispatch failure is recorded.
    assert c.SetProperty(1, 1, "AligPos", 1) is False
    ok, number, description, _ = c.GetLastError()
    assert ok and number == 438 and description == "Object doesn't support this property or method"


def test_failures_inside_set_property_are_recorded(grid):
    c = grid
    assert c.SetProperty(1, 1, "FontSize", "large") is False
    assert c.GetLastError()[1] == 13
    c.ClearError()
    assert c.SetProperty(1, 1, "Text", "x", 7) is False, "no such area"
    assert c.GetLastError()[0] is True


def test_set_property_keyword_and_default_area(grid):
    c = grid
    c.AddHeaderRow("h")
    assert c.SetProperty(1, 1, "Text", "H", PageArea=ktfolio.Header) is True
    assert c.GetProperty(1, 1, "Text", PageArea=ktfolio.Header) == "H"
    assert c.GetProperty(1, 1, "Text") == "r1c1"
    assert c.SetProperty(pName="Text", Value="kw", row=3, col=3) is True
    assert c.GetProperty(3, 3, "Text") == "kw"


def test_frame_control_and_edge_set_their_attribute_groups(grid):
    c = grid
    assert c.SetFrameControl(2, 3, ktfolio.ppDFC_BUTTON, ktfolio.ppDFCS_BUTTONPUSH, 1.5) is None
    assert c.GetProperty(2, 3, "FrameControl") == ktfolio.ppDFC_BUTTON
    assert c.GetProperty(2, 3, "FrameControlFlags") == ktfolio.ppDFCS_BUTTONPUSH
    assert c.GetProperty(2, 3, "FrameControlSize") == 1.5
    c.SetEdge(-1, 1, ktfolio.ppEDGE_ETCHED, ktfolio.ppBF_RECT)
    assert [c.GetProperty(r, 1, "Edge") for r in (1, 2, 3)] == [ktfolio.ppEDGE_ETCHED] * 3
    assert c.GetProperty(1, 1, "EdgeFlags") == ktfolio.ppBF_RECT
    assert c.GetProperty(1, 2, "Edge") == 0


def test_outline_of_the_whole_body(grid):
    c = grid
    assert c.OutLineBlock(2, ktfolio.ppOutLineFull, 0, 0) is True
    assert cells(c, "LineLeft") == [[2, 0, 0]] * 3
    assert cells(c, "LineRight") == [[0, 0, 2]] * 3
    assert cells(c, "LineTop") == [[2, 2, 2], [0, 0, 0], [0, 0, 0]]
    assert cells(c, "LineBottom") == [[0, 0, 0], [0, 0, 0], [2, 2, 2]]


def test_outline_of_a_block_top_and_bottom(c):
    c.dColsPerRow = 5
    for _ in range(6):
        c.AddRow()
    assert c.OutLineBlock(1, ktfolio.ppLineTopBottom, 3, 2, Row2=5, Col2=4) is True
    top = cells(c, "LineTop", rows=6, cols=5)
    bottom = cells(c, "LineBottom", rows=6, cols=5)
    assert top[2] == [0, 1, 1, 1, 0] and bottom[4] == [0, 1, 1, 1, 0]
    assert sum(map(sum, top)) == 3 and sum(map(sum, bottom)) == 3
    assert cells(c, "LineLeft", rows=6, cols=5) == [[0] * 5] * 6


def test_outline_row2_below_row_outlines_one_row(grid):
    c = grid
    c.OutLineBlock(1, ktfolio.ppLineBottom, 2, 1, True, ktfolio.Body, 1, 3)
    assert [row.count(1) for row in cells(c, "LineBottom")] == [0, 3, 0]


def test_outline_pen_defaults_only_when_asked(grid):
    c = grid
    c.dColPenColor = 0x0000FF
    c.dColPenStyle = ktfolio.sPS_DOT
    c.OutLineBlock(3, ktfolio.ppLineLeft, 1, 1, fgUseDefaultPen=False)
    assert c.GetProperty(1, 1, "LineLeft") == 3
    assert c.GetProperty(1, 1, "PenColor") == 0
    c.OutLineBlock(3, ktfolio.ppLineLeft, 2, 1)
    assert c.GetProperty(2, 1, "PenColor") == 0xFF
    assert c.GetProperty(2, 1, "PenStyle") == ktfolio.sPS_DOT


def test_outline_of_an_empty_area_fails_without_recording(c):
    assert c.OutLineBlock(1, ktfolio.ppOutLineFull, 1, 1) is False
    assert c.GetLastError()[0] is False


def test_guide_row_gives_new_rows_their_model(c):
    c.dInheritLastRow = False
    c.AddRow("model", "x")
    c.SetProperty(1, -1, "FontItalic", True)
    c.AddRow("plain")
    c.SetGuideRow(1)
    c.AddRow("guided")
    assert c.GetProperty(2, 1, "FontItalic") is False
    assert c.GetProperty(3, 1, "FontItalic") is True
    assert c.GetProperty(3, 2, "Text") == ""
