import pytest

import ktfolio


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
    assert c.GetProperty(1, 1, "Text") == "text"
    assert (type(c.Pages), type(c.PaperWidth)) == (int, float)
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
