"""Templates and saved properties from Python: bytes in, bytes out."""
import os

import pytest

import ktfolio


def test_the_design_array_is_template_bytes_that_rebuild_the_document(c):
    c.AddHeaderRow("Invoice", "No. 7")
    c.AddRow("caf\u00e9", "\u20ac 12,50", "two\r\nlines")
    dsn = c.GetDsnArray()
    assert isinstance(dsn, bytes) and dsn.startswith(b"[Properties]\r\nScaleMode=1\r\n")
    assert b"\r\nText=caf\xe9\r\n" in dsn and b"\r\nText=\x80 12,50\r\n" in dsn, "Windows-1252"

    d = ktfolio.KtPrint4()
    d.SetDsnArray(dsn)
    assert (d.GetLastError()[0], d.LastRow) == (False, 1)
    assert (d.GetProperty(1, 3, "Text"), d.GetProperty(1, 1, "Text", ktfolio.Header)) == ("two\r\nlines", "Invoice")


@pytest.mark.parametrize("kind", [str, os.fsencode, lambda p: p], ids=["str", "bytes", "PathLike"])
def test_templates_are_saved_and_loaded_as_files_named_by_str_bytes_or_path(c, tmp_path, kind):
    path = tmp_path / "caf\udce9.ktt"  # a name that is not UTF-8 on disk: b"caf\xe9.ktt"
    c.AddRow("x", 1.5, True)
    assert c.SaveAsTemplate(kind(path)) is True and os.listdir(tmp_path) == ["caf\udce9.ktt"]
    with open(path, "rb") as f:
        assert f.read() == c.GetDsnArray()
    d = ktfolio.KtPrint4()
    assert d.LoadFromTemplate(TemplateName=kind(path)) is True
    assert d.GetProperty(1, 2, "Text") == "1.5"


def test_a_file_name_of_another_type_names_the_argument(c):
    with pytest.raises(TypeError, match="SaveAsTemplate.*TemplateName.*os.PathLike"):
        c.SaveAsTemplate(3.5j)
    with pytest.raises(ValueError, match="NUL"):
        c.SaveAsTemplate(b"a\0b.ktt")


def test_saved_properties_are_a_dict_that_makes_the_same_control(c):
    c.dColClipping = False
    c.PrinterName = "Office"
    c.Font = ktfolio.StdFont("Times New Roman", 12, Bold=True)
    c.AddRow("a", "b")
    bag = c.SaveProperties()
    assert (bag["dColClipping"], bag["PrinterName"], bag["Font"].Name, bag["Font"].Bold) == (
        False, "Office", "Times New Roman", True)
    assert isinstance(bag["DsnArray"], bytes) and bag["DsnArraysize"] == len(bag["DsnArray"])
    assert "ScaleMode" not in bag, "defaults are not stored"
    d = ktfolio.KtPrint4(properties=bag)
    assert (d.dColClipping, d.PrinterName, d.Font.Name, d.LastRow, d.GetProperty(1, 2, "Text")) == (
        False, "Office", "Times New Roman", 1, "b")


def test_properties_are_matched_without_case_missing_ones_take_defaults_and_bad_ones_raise():
    d = ktfolio.KtPrint4(properties={"scalemode": ktfolio.eMillimetre, "SHOWTOOLBAR": False})
    assert (d.ScaleMode, d.ShowToolBar, d.LastRow, d.dColClipping) == (ktfolio.eMillimetre, False, 0, True)
    with pytest.raises(TypeError, match="Type mismatch"):
        ktfolio.KtPrint4(properties={"ScaleMode": "inches"})
    with pytest.raises(TypeError):
        ktfolio.KtPrint4(properties={"ScaleMode": object()})


def test_design_mode_is_write_only_and_shows_guide_lines(c):
    c.DesigMode = True
    c.a_Designer = 42
    assert c.ShowGuideLines is True and c.a_Designer is None
    with pytest.raises(AttributeError):
        c.DesigMode
