import pytest

import ktfolio


def test_wrong_argument_counts_raise_type_error(c):
    with pytest.raises(TypeError, match="Wrong number of arguments"):
        c.RemoveRows()
    with pytest.raises(TypeError, match="Wrong number of arguments"):
        c.SetPageBreak(1, 2)
    with pytest.raises(TypeError, match="Wrong number of arguments"):
        c.RemoveRows(1, 2, RowFrom=3)
    with pytest.raises(TypeError, match="unexpected keyword argument 'pagearea'"):
        c.RemoveRows(1, 2, pagearea=1)
    with pytest.raises(TypeError):
        c.ClearAll(1)
    assert c.LastRow == 0 and c.GetLastError()[0] is False


def test_arguments_the_binding_cannot_convert_raise_type_error(c):
    with pytest.raises(TypeError, match="row"):
        c.SetPageBreak("first")
    with pytest.raises(TypeError):
        c.AddRow(object())
    with pytest.raises(TypeError):
        c.OutLineBlock(70000, 15, 1, 1)
    assert c.LastRow == 0


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


def test_attribute_names_are_exact(c):
    with pytest.raises(AttributeError, match="did you mean 'Pages'"):
        c.pages
    with pytest.raises(AttributeError):
        c.NoSuchProperty
    with pytest.raises(AttributeError):
        c.scalemode = 6
    assert c.ScaleMode == 1


def test_internal_members_are_not_published(c):
    for name in ("Rows", "MeasureDC", "PageInfo", "Defaults", "RecordError", "RePageFrom", "PlaceBandRows",
                 "NeedsRepaging", "ColumnAtPosition", "ComputePageInfo", "Zoom"):
        assert not hasattr(c, name), name


def test_read_only_properties_and_methods_cannot_be_assigned(c):
    for name in ("Pages", "LastRow", "StartBodyRow", "EndBodyRow"):
        with pytest.raises(AttributeError, match="read-only"):
            setattr(c, name, 3)
    with pytest.raises(AttributeError):
        c.AddRow = 1

def test_values_come_back_as_python_types(c):
    c.AddRow("text", 7, 1.25, False)
    assert c.GetProperty(1, 1, "Text") == "text"
    assert type(c.GetProperty(1, 1, "FontBold")) is bool
    assert type(c.GetProperty(1, 1, "LineTop")) is int
    assert type(c.GetProperty(1, 1, "FontSize")) is float
    assert type(c.Pages) is int and type(c.PaperWidth) is float
    c.SetProperty(1, 1, "Text", "ünïcode €")
    assert c.GetProperty(1, 1, "Text") == "ünïcode €"


def test_font_objects_are_shared(c):
    f = c.Font
    assert isinstance(f, ktfolio.StdFont)
    assert c.Font is f
    f.Size = 14
    assert c.Font.Size == 14.0
    with pytest.raises(AttributeError):
        f.Colour = 1
    g = ktfolio.StdFont("Courier New", 9, Italic=True)
    c.Font = g
    assert c.Font is g and repr(g) == "<StdFont 'Courier New' 9pt italic>"

def test_properties_are_given_as_a_dict():
    assert ktfolio.KtPrint4(properties={}).ScaleMode == ktfolio.eTwip
    with pytest.raises(TypeError):
        ktfolio.KtPrint4(properties=[("ScaleMode", 5)])
