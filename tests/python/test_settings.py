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
