"""What the binding adds: arguments and keywords, values converted both ways, rows in bulk, and
recorded failures as exceptions."""
import pytest

import ktfolio
from conftest import texts


@pytest.mark.parametrize("call, error, words", [
    (lambda c: c.RemoveRows(), TypeError, "Wrong number of arguments"),
    (lambda c: c.SetPageBreak(1, 2), TypeError, "Wrong number of arguments"),
    (lambda c: c.RemoveRows(1, 2, RowFrom=3), TypeError, "Wrong number of arguments"),
    (lambda c: c.RemoveRows(1, 2, pagearea=1), TypeError, "unexpected keyword argument 'pagearea'"),
    (lambda c: c.ClearAll(1), TypeError, ""),
    (lambda c: c.SetPageBreak("first"), TypeError, "row"),
    (lambda c: c.AddRow(object()), TypeError, ""),
    (lambda c: c.OutLineBlock(70000, 15, 1, 1), TypeError, ""),
    (lambda c: c.pages, AttributeError, "did you mean 'Pages'"),
    (lambda c: c.NoSuchProperty, AttributeError, ""),
    (lambda c: setattr(c, "scalemode", 6), AttributeError, ""),
    (lambda c: setattr(c, "AddRow", 1), AttributeError, ""),
    (lambda c: setattr(c.Font, "Colour", 1), AttributeError, ""),
], ids=["no args", "too many", "positional and keyword", "wrong keyword", "ClearAll(1)", "text as row", "object",
        "Integer overflow", "wrong case", "no such property", "set wrong case", "set a method", "font attribute"])
def test_calls_the_binding_cannot_make_raise_and_reach_nothing(c, call, error, words):
    with pytest.raises(error, match=words):
        call(c)
    assert c.LastRow == 0 and c.ScaleMode == 1 and c.GetLastError()[0] is False


def test_keywords_and_defaults_follow_the_published_names(c):
    c.dColsPerRow = 2
    for _ in range(3):
        c.AddRow()
    assert c.OutLineBlock(PenSize=4, fgLines=ktfolio.ppLineBottom, row=1, col=1, Row2=3) is True
    assert [c.GetProperty(r, 1, "LineBottom") for r in (1, 2, 3)] == [0, 0, 4]
    assert c.OutLineBlock.signature == (
        "OutLineBlock(PenSize, fgLines, row, col, [fgUseDefaultPen = True], [parea = 0], [Row2 = 0], [Col2 = 0])"
        " -> Boolean")
    assert "OutLineBlock" in repr(c.OutLineBlock)


def test_internal_members_are_not_published_and_read_only_ones_cannot_be_assigned(c):
    for name in ("Rows", "MeasureDC", "PageInfo", "Defaults", "RecordError", "RePageFrom", "PlaceBandRows",
                 "NeedsRepaging", "ColumnAtPosition", "ComputePageInfo", "Zoom"):
        assert not hasattr(c, name), name
    for name in ("Pages", "LastRow", "StartBodyRow", "EndBodyRow"):
        with pytest.raises(AttributeError, match="read-only"):
            setattr(c, name, 3)


def test_values_come_back_as_python_types(c):
    c.AddRow("text", 7, 1.25, False)
    assert (c.GetProperty(1, 1, "Text"), type(c.Pages), type(c.PaperWidth)) == ("text", int, float)
    assert [type(c.GetProperty(1, 1, n)) for n in ("FontBold", "LineTop", "FontSize")] == [bool, int, float]
    c.SetProperty(1, 1, "Text", "ünïcode €")
    assert c.GetProperty(1, 1, "Text") == "ünïcode €"


def test_font_objects_are_shared(c):
    f = c.Font
    assert isinstance(f, ktfolio.StdFont) and c.Font is f
    f.Size = 14
    c.Font = g = ktfolio.StdFont("Courier New", 9, Italic=True)
    assert f.Size == 14.0 and c.Font is g and repr(g) == "<StdFont 'Courier New' 9pt italic>"


def test_properties_are_given_as_a_dict():
    assert ktfolio.KtPrint4(properties={}).ScaleMode == ktfolio.eTwip
    with pytest.raises(TypeError):
        ktfolio.KtPrint4(properties=[("ScaleMode", 5)])


def test_colours_read_as_unsigned_and_accept_either_form(c):
    c.dColBrushColor = 0x80000005
    assert c.dColBrushColor == 0x80000005
    c.dColBrushColor = -2147483643  # the same colour as a signed Long
    assert c.dColBrushColor == 0x80000005
    c.dFontColor = 0x0000FF
    c.AddRow("red")
    assert c.GetProperty(1, 1, "FontColor") == 0xFF
    # Other setters convert values the way variants do.
    for name, given, read in [("dColsPerRow", "3", 3), ("dColsPerRow", 2.5, 2), ("ShowToolBar", 0, False),
                              ("PrinterName", 42, "42")]:  # 2.5 rounds half to even
        setattr(c, name, given)
        assert getattr(c, name) == read and type(getattr(c, name)) is type(read), (name, given)
    c.ScaleMode = ktfolio.eCentimetre  # a Single reads back as its shortest decimal, not the float's digits
    assert (c.Marginleft, c.MarginHeader) == (2.54, 0.88)


def test_values_that_cannot_be_assigned_raise_and_change_nothing(c):
    # dColLineTop is an Integer property.
    for name, value in [("ScaleMode", "millimetres"), ("dColLineTop", 40000), ("dColsPerRow", [1, 2]),
                        ("dColsPerRow", object())]:
        with pytest.raises(TypeError):
            setattr(c, name, value)
    assert (c.ScaleMode, c.dColLineTop, c.dColsPerRow) == (1, 0, 1)


def test_add_rows_builds_in_bulk_what_add_row_builds_one_by_one(c):
    one = ktfolio.KtPrint4()
    # str rows of ASCII, of other characters and of both, and a NUL inside.
    rows = [("A1", 2, 3.5), ["#1440#B", None, True], (), iter(["gen", "erator"]), ("plain", "ascii"),
            ("é", "€ 12,50", "中文"), ("mixed", "naïve", "x\x00y")]
    assert c.AddRows(r for r in rows) == len(rows)
    for r in rows[:3]:
        one.AddRow(*r)
    one.AddRow("gen", "erator")
    for r in rows[4:]:
        one.AddRow(*r)
    assert texts(c, 7) == ["mixed", "naïve", "x\x00y"]
    for row in range(1, len(rows) + 1):
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


def test_by_reference_arguments_stay_as_given_without_a_record_and_repr_shows_it(c):
    assert c.GetLastError(5, "d", "s") == (False, 5, "d", "s")
    c.AddHeaderRow("h")
    c.AddRow("a")
    c.AddRow("b")
    assert repr(c) == "<ktfolio.KtPrint4 pages=1 rows=2 header=1 footer=0 last_error=None>"
    c.GetProperty(1, 1, "Nope")
    assert c.GetLastError(5, "d", "s") == (True, 60108, "No valid Property Name", "Get Property")
    c.Preview(4)
    assert repr(c).endswith("last_error=(60107, 'Page out of range', 'Previewing')>")

def test_raise_errors_turns_each_recorded_failure_into_kt_error_and_keeps_the_record():
    c = ktfolio.KtPrint4(raise_errors=True)
    assert c.raise_errors is True
    with pytest.raises(ktfolio.KtError, match="Preview") as caught:
        c.Preview(0)
    assert (caught.value.number, caught.value.description, caught.value.source) == (
        60107, "Page out of range", "Previewing")
    assert c.GetLastError() == (True, 60107, "Page out of range", "Previewing"), "the record stays"
    assert c.AddRow("a") is True, "a call that records nothing raises nothing, even with an old record"
    with pytest.raises(ktfolio.KtError):
        c.MarginTop = float("nan")  # property sets are calls too
    with pytest.raises(ktfolio.KtError) as again:
        c.GetProperty(1, 1, "Nope")
    assert again.value.number == 60108 and isinstance(again.value, Exception)
    with pytest.raises(ktfolio.KtError, match="60107"):
        c.to_png(5)  # bytes out are calls too


def test_the_module_default_applies_to_controls_made_afterwards():
    before = ktfolio.KtPrint4()
    assert ktfolio.set_raise_errors(True) is False
    try:
        after, chosen = ktfolio.KtPrint4(), ktfolio.KtPrint4(raise_errors=False)
    finally:
        assert ktfolio.set_raise_errors(False) is True
    assert (before.raise_errors, after.raise_errors, chosen.raise_errors) == (False, True, False)
    with pytest.raises(ktfolio.KtError):
        after.Preview(9)
    assert chosen.Preview(9) is None and chosen.GetLastError()[1] == 60107
