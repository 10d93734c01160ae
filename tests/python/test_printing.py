"""Printing from Python to the built-in PDF printer, to a file the host chooses."""
import subprocess

import pytest

import ktfolio
from ktfolio import dialogs


@pytest.fixture
def pdf_output(tmp_path):
    """Where the PDF printer writes during the test; the previous place afterwards."""
    previous = ktfolio.pdf_printer_output()
    dialogs.reset()
    yield tmp_path / "job.pdf"
    dialogs.reset()
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
