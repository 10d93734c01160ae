import pytest

import ktfolio
from ktfolio import _testing


@pytest.fixture
def page6000(c):
    """Body area exactly 6000 twips high; rows of 3000 twips with 100 between them."""
    c.PageSize = ktfolio.s_USER
    c.PaperLength = 6000 + 1440 * 2
    c.dFitHeightToText = False
    c.dRowHeight = 3000
    c.RowSpacing = 100
    return c


def placement(c, area=ktfolio.Body):
    """(Page, TopInPage, NewPage) of every row."""
    return [row[:3] for row in _testing.layout(c, area)]


def test_spacing_pushes_rows_to_new_pages(page6000):
    c = page6000
    for t in "abc":
        c.AddRow(t)
    assert c.Pages == 3
    assert placement(c) == [(1, 0.0, False), (2, 0.0, True), (3, 0.0, True)]


def test_a_row_ending_exactly_at_the_bottom_stays(page6000):
    c = page6000
    c.RowSpacing = 0
    for t in "abc":
        c.AddRow(t)
    assert placement(c) == [(1, 0.0, False), (1, 3000.0, False), (2, 0.0, True)]
    assert c.Pages == 2


def test_page_breaks_take_effect_at_the_next_pagination(c):
    c.dFitHeightToText = False
    for t in "abcd":
        c.AddRow(t)
    assert c.Pages == 1
    assert c.SetPageBreak(3) is True
    assert c.Pages == 1, "setting a break does not repaginate"
    c.RePaging()
    assert c.Pages == 2
    assert placement(c)[2:] == [(2, 0.0, False), (2, 300.0, False)]
    c.RePaging(ClearPageBreaks=True)
    assert c.Pages == 1
    assert c.GetLastError()[0] is False


def test_page_break_on_a_missing_row_is_recorded(c):
    assert c.SetPageBreak(4) is False
    ok, number, _, _ = c.GetLastError()
    assert ok and number == 9


def test_repaging_from_a_later_page_keeps_earlier_ones(page6000):
    c = page6000
    for t in "abcd":
        c.AddRow(t)
    assert c.Pages == 4
    c.SetProperty(4, 0, "RowHeight", 1000)
    c.RePaging(2)
    assert placement(c)[:3] == [(1, 0.0, False), (2, 0.0, True), (3, 0.0, True)]
    assert placement(c)[3] == (3, 3100.0, False)
    assert c.Pages == 3
    c.RePaging(pFrom=9)
    assert c.Pages == 3, "a start page past the end places nothing and counts the flagged pages"


def test_a_first_row_taller_than_the_page_leaves_page_one_empty(page6000):
    c = page6000
    c.dRowHeight = 7000
    c.AddRow("tall")
    c.AddRow("next")
    assert placement(c) == [(2, 0.0, True), (3, 0.0, True)]
    assert c.Pages == 3


def test_band_rows_stack_inside_their_band(c):
    c.dFitHeightToText = False
    c.RowSpacing = 50
    c.dRowHeight = 200
    c.AddHeaderRow("h1")
    c.dInheritLastRow = False
    c.dRowHeight = 300
    c.AddHeaderRow("h2")
    assert [row[1] for row in _testing.layout(c, ktfolio.Header)] == [0.0, 250.0]
    assert [row[0] for row in _testing.layout(c, ktfolio.Header)] == [0, 0], "band rows get no page"
    c.AddFooterRow("f")
    assert _testing.layout(c, ktfolio.Footer)[0][1] == 0.0


def test_an_empty_body_keeps_its_page_count(page6000):
    c = page6000
    for t in "abc":
        c.AddRow(t)
    assert c.Pages == 3
    c.ClearAll()
    c.RePaging()
    assert c.Pages == 3
    assert ktfolio.KtPrint4().Pages == 1


def test_margins_change_the_count_on_the_next_read(fixed):
    c = fixed
    for _ in range(60):
        c.AddRow("r")
    assert c.Pages == 2  # 13957 twips of body hold 46 rows
    c.MarginTop = 7000
    assert c.Pages == 3
