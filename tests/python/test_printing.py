"""Printing from Python to the built-in PDF printer, to a file the host chooses."""
import subprocess

import pytest

import ktfolio
from ktfolio import dialogs


def test_the_pdf_printer_comes_first_and_writes_where_it_is_told(tmp_path):
    assert ktfolio.printers()[0] == "PDF"
    target = tmp_path / "job.pdf"
    previous = ktfolio.pdf_printer_output()
    ktfolio.set_pdf_printer_output(str(target))
    try:
        assert ktfolio.pdf_printer_output() == str(target)
        c = ktfolio.KtPrint4()
        for i in range(1, 4):
            c.AddRow(f"page {i}")
            if i > 1:
                c.SetPageBreak(c.LastRow)
        c.PrinterName = "PDF"
        c.PrintDoc(2, 3)
        assert c.GetLastError()[0] == 0
        info = subprocess.run(["pdfinfo", str(target)], capture_output=True, text=True, check=True).stdout
        assert "Pages:           2" in info
        text = subprocess.run(["pdftotext", str(target), "-"], capture_output=True, text=True, check=True).stdout
        assert "page 2" in text and "page 3" in text and "page 1" not in text
    finally:
        ktfolio.set_pdf_printer_output(previous)


def test_an_empty_file_name_is_refused_and_changes_nothing():
    before = ktfolio.pdf_printer_output()
    with pytest.raises(ValueError):
        ktfolio.set_pdf_printer_output("")
    assert ktfolio.pdf_printer_output() == before


def test_print_doc_gives_back_show_dlg_and_the_copies_the_dialog_chose(tmp_path):
    previous = ktfolio.pdf_printer_output()
    ktfolio.set_pdf_printer_output(str(tmp_path / "chosen.pdf"))
    dialogs.reset()
    try:
        c = ktfolio.KtPrint4()
        c.AddRow("one page")
        c.PrinterName = "PDF"
        dialogs.answer("printer", Copies=1)
        assert c.PrintDoc(1, 1, True, 2) == (True, 1)
        assert c.GetLastError()[0] == 0
        assert (tmp_path / "chosen.pdf").exists()
    finally:
        dialogs.reset()
        ktfolio.set_pdf_printer_output(previous)
