"""The common dialogs from Python: answers queued from Python, a cancel error as an exception
with its number, bad answers refused (what each dialog does is in the C++ suite); and printing,
through the print dialog's answer, to the built-in PDF printer's file."""
import subprocess

import pytest

import ktfolio
from ktfolio import dialogs


@pytest.fixture(autouse=True)
def clean_script():
    dialogs.reset()
    yield
    dialogs.reset()


def test_an_answer_reaches_the_next_dialog_of_its_kind():
    d = ktfolio.clsCommonDialog()
    d.Color = 0x0000FF
    dialogs.answer("font", FontName="Courier New", FontSize=14, FontBold=True)
    dialogs.answer("color", Color=0x00FF00)
    assert dialogs.pending() == ["font", "color"]
    d.ShowColor()
    assert (d.Action, d.APIReturn, d.Color, dialogs.pending()) == (3, 1, 0x00FF00, ["font"])
    d.ShowFont()
    assert (d.FontName, d.FontSize, d.FontBold) == ("Courier New", 14.0, True)
    assert dialogs.pending() == []
    # A cancel is an error with its number once CancelError is set.
    d.CancelError = True
    dialogs.answer("color", ok=False)
    with pytest.raises(ktfolio.ObjectError, match="-2147220610") as caught:
        d.ShowColor()
    assert (caught.value.number, caught.value.description) == (-2147220610, "Cancel Pressed")
    for kind, show in (("font", d.ShowFont), ("open", d.ShowOpen), ("save", d.ShowSave), ("printer", d.ShowPrinter)):
        dialogs.answer(kind, ok=False)
        with pytest.raises(ktfolio.ObjectError, match="2001"):
            show()


def test_bad_answers_are_refused_before_anything_is_queued():
    with pytest.raises(ValueError, match="kinds are"):
        dialogs.answer("colour", Color=1)
    with pytest.raises(TypeError, match="Color"):
        dialogs.answer("color", FontName="Arial")
    assert dialogs.pending() == []


@pytest.fixture
def pdf_output(tmp_path):
    """Where the PDF printer writes during the test; the previous place afterwards."""
    previous = ktfolio.pdf_printer_output()
    yield tmp_path / "job.pdf"
    ktfolio.set_pdf_printer_output(previous)


def test_the_pdf_printer_comes_first_and_writes_where_it_is_told(pdf_output):
    assert ktfolio.printers()[0] == "PDF"
    ktfolio.set_pdf_printer_output(str(pdf_output))
    assert ktfolio.pdf_printer_output() == str(pdf_output)
    with pytest.raises(ValueError):
        ktfolio.set_pdf_printer_output("")
    assert ktfolio.pdf_printer_output() == str(pdf_output), "an empty file name changes nothing"
    c = ktfolio.KtPrint4()
    c.AddRow("one page")
    c.PrinterName = "PDF"
    # PrintDoc gives back ShowDlg and the copies the dialog chose.
    dialogs.answer("printer", Copies=1)
    assert c.PrintDoc(1, 1, True, 2) == (True, 1) and c.GetLastError()[0] == 0
    info = subprocess.run(["pdfinfo", str(pdf_output)], capture_output=True, text=True, check=True).stdout
    assert "Pages:           1" in info
