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


# Rows of str items are read ahead of their adding; whatever the iterable's own
# code does between rows must see them as if each had been added at once.

def test_the_iterable_sees_each_row_it_gave_added_and_its_changes_start_at_its_next_row():
    c = ktfolio.KtPrint4()
    c.dInheritLastRow = False
    seen = []

    def rows():
        for i in range(1, 201):
            seen.append(c.LastRow)
            if i == 100:
                c.dColLineTop = 1
            if i == 150:  # rows given by a nested run go between the two rows around it
                assert c.AddRows([("nested 1",), ("nested 2",)]) == 2
            yield (f"row {i}", "x")

    assert c.AddRows(rows()) == 200
    assert seen == list(range(150)) + list(range(152, 202))
    assert [c.GetProperty(r, 1, "LineTop") for r in (99, 100, 202)] == [0, 1, 1]
    assert [texts(c, r)[0] for r in (149, 150, 151, 152, 202)] == [
        "row 149", "nested 1", "nested 2", "row 150", "row 200"]


def test_a_list_the_iterable_changes_after_giving_it_is_added_as_it_was_given():
    c = ktfolio.KtPrint4()
    row = ["", "same list"]

    def rows():
        for i in range(100):
            row[0] = f"item {i}"
            yield row

    assert c.AddRows(rows()) == 100
    assert [texts(c, r)[0] for r in (1, 64, 65, 100)] == ["item 0", "item 63", "item 64", "item 99"]


def test_a_refusal_or_a_failing_iterable_keeps_exactly_the_rows_before_it():
    c = ktfolio.KtPrint4()
    given = []

    def refused_at_ten():
        for i in range(1, 100):
            given.append(c.LastRow)  # after row 10 this adds it: the refusal comes while reading row 11
            yield ("#1e39#b" if i == 10 else f"row {i}",)

    assert c.AddRows(refused_at_ten()) == 9
    assert (c.LastRow, texts(c, 9), c.GetLastError()[:2]) == (9, ["row 9"], (True, 6))
    assert given == list(range(10)) + [9]  # the run ended with the refusal, not with the iterable
    c.AddRows(("#1e39#b" if i == 10 else f"row {i}",) for i in range(1, 100))  # refused inside a batch
    assert (c.LastRow, texts(c, 18)) == (18, ["row 9"])

    def fails_at_seventy():
        for i in range(1, 100):
            if i == 70:
                raise KeyError("source gone")
            yield (f"again {i}",)

    with pytest.raises(KeyError, match="source gone"):
        c.AddRows(fails_at_seventy())
    assert (c.LastRow, texts(c, c.LastRow)) == (18 + 69, ["again 69"])


def test_no_code_of_the_rows_can_release_the_control_they_feed_and_the_control_goes_on_working():
    c = ktfolio.KtPrint4()

    def releases_at_five():
        for i in range(1, 10):
            if i == 5:
                c.release()
            yield (f"row {i}",)

    with pytest.raises(RuntimeError, match="AddRows"):
        c.AddRows(releases_at_five())
    assert (c.released, c.LastRow) == (False, 4)

    class Row(list):  # a row dropped after its adding
        def __del__(self):
            try:
                c.release()
            except RuntimeError as e:
                refusals.append(str(e))

    def rows():  # holds no row once given
        yield Row([1, 2])
        yield ["after", 3]

    refusals = []
    assert c.AddRows(rows()) == 2 and len(refusals) == 1
    assert c.AddRow("after") is True and texts(c, 7)[0] == "after"
    c.release()
    assert c.released


def test_a_refused_row_ends_the_run_whatever_the_rows_read_past_it_do_or_hold():
    c = ktfolio.KtPrint4()

    def third():  # a row whose own code calls in, settling the refused row before it
        c.LastRow
        yield "row 3"

    assert c.AddRows([("row 1",), ("#1e39#b",), third(), ("row 4",)]) == 1
    for after_refusal in ([5], [("bad item", object())], ("text",)):
        c.ClearAll()
        assert c.AddRows([("a",), ("#1e39#b",), after_refusal]) == 1  # never read one by one: no TypeError
        assert (c.LastRow, c.GetLastError()[:2]) == (1, (True, 6))

    def fails_after_refusal():
        yield ("a",)
        yield ("#1e39#b",)
        raise KeyError("never reached one by one")

    c.ClearAll()
    assert c.AddRows(fails_after_refusal()) == 1 and c.LastRow == 1

    c = ktfolio.KtPrint4(raise_errors=True)

    def clears_the_refusal():
        yield ("a",)
        yield ("#1e39#b",)
        c.ClearError()
        yield ("c",)

    assert c.AddRows(clears_the_refusal()) == 1  # nothing left on record to raise


def test_a_run_keeps_only_its_own_control_from_release_on_two_threads():
    import threading

    c, fed = ktfolio.KtPrint4(), ktfolio.KtPrint4()
    reading, go_on = threading.Event(), threading.Event()
    results = {}

    def rows():
        yield ("b 1",)
        reading.set()
        go_on.wait(10)
        yield ("b 2",)

    worker = threading.Thread(target=lambda: results.setdefault("n", fed.AddRows(rows())))
    worker.start()
    assert reading.wait(10)
    c.release()  # another control: free to go while the other thread's run reads
    with pytest.raises(RuntimeError, match="AddRows"):
        fed.release()
    go_on.set()
    worker.join(10)
    assert results == {"n": 2} and fed.LastRow == 2
    fed.release()
    assert c.released and fed.released
