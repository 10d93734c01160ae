"""Settings assigned from Python: values converted the way variants are, refusals as exceptions."""
import pytest

import ktfolio


def test_colours_read_as_unsigned_and_accept_either_form(c):
    c.dColBrushColor = 0x80000005
    assert c.dColBrushColor == 0x80000005
    c.dColBrushColor = -2147483643  # the same colour as a signed Long
    assert c.dColBrushColor == 0x80000005
    c.dFontColor = 0x0000FF
    c.AddRow("red")
    assert c.GetProperty(1, 1, "FontColor") == 0xFF


def test_setters_convert_values_the_way_variants_do(c):
    c.dColsPerRow = "3"
    assert c.dColsPerRow == 3
    c.dColsPerRow = 2.5  # rounds half to even
    assert c.dColsPerRow == 2
    c.ShowToolBar = 0
    assert c.ShowToolBar is False
    c.PrinterName = 42
    assert c.PrinterName == "42"
    c.ScaleMode = ktfolio.eCentimetre  # a Single reads back as its shortest decimal, not the float's digits
    assert (c.Marginleft, c.MarginHeader) == (2.54, 0.88)


def test_values_that_cannot_be_assigned_raise_and_change_nothing(c):
    with pytest.raises(TypeError):
        c.ScaleMode = "millimetres"
    with pytest.raises(TypeError):
        c.dColLineTop = 40000  # an Integer property
    with pytest.raises(TypeError):
        c.dColsPerRow = [1, 2]
    with pytest.raises(TypeError):
        c.dColsPerRow = object()
    assert (c.ScaleMode, c.dColLineTop, c.dColsPerRow) == (1, 0, 1)
