"""Pages out of the module: PNG and PDF export by name, the NewPage events the
page loop raises meanwhile, and bad pages recorded like any other failure."""
import os
import re
import subprocess
import sys

import pytest

import ktfolio


def listing(rows=80):
    c = ktfolio.KtPrint4()
    c.DocTitle = "Listing"  # what the PDF says of itself travels with both
    c.AddHeaderRow("Listing")
    c.AddFooterRow("Page %p of %n")
    for i in range(1, rows + 1):
        c.AddRow(f"Item {i}", f"#4000#{i * 3}")
    return c

def test_dates_follow_the_users_locale_and_numbers_do_not(tmp_path):
    if subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower().find("de_de.utf8") < 0:
        pytest.skip("locale de_DE.UTF-8 is not installed (scripts/setup makes it)")
    script = (
        "import ktfolio, sys\n"
        "c = ktfolio.KtPrint4()\n"
        "c.AddRow('%sd|%ld')\n"
        "c.SetProperty(1, 1, 'FontSize', '12.5')\n"
        "print(c.GetProperty(1, 1, 'FontSize'))\n"
        "assert c.ExportPdf(sys.argv[1], 1, 1)\n"
    )
    target = tmp_path / "dated.pdf"
    env = dict(os.environ, LC_ALL="de_DE.UTF-8", PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    run = subprocess.run([sys.executable, "-c", script, str(target)], env=env, capture_output=True, text=True)
    # A number given as text reads the C way.
    assert (run.returncode, run.stdout.strip()) == (0, "12.5"), run.stderr
    text = subprocess.run(["pdftotext", str(target), "-"], capture_output=True, text=True, check=True).stdout
    assert re.search(r"\d\d\.\d\d\.\d{4}\|(Montag|Dienstag|Mittwoch|Donnerstag|Freitag|Samstag|Sonntag), ", text), text


def _undated(pdf):
    # The only bytes two runs may differ in: the creation time, to the second,
    # and the document ID, which is a digest of all the bytes, the time included.
    pdf = re.sub(rb"/CreationDate \(D:\d+Z?\)", b"", pdf)
    return re.sub(rb"/ID \[<[0-9a-f]+><[0-9a-f]+>\]", b"", pdf)


def test_bytes_out_are_the_bytes_the_file_exports_write(tmp_path):
    c = listing()
    pages = c.Pages
    cases = [
        ("whole pdf", lambda: c.to_pdf(), lambda f: c.ExportPdf(f, 1, pages)),
        ("pdf range pair", lambda: c.to_pdf((2, 3)), lambda f: c.ExportPdf(f, 2, 3)),
        ("pdf range", lambda: c.to_pdf(range(2, 4)), lambda f: c.ExportPdf(f, 2, 3)),
        ("png as paper", lambda: c.to_png(2, dpi=150), lambda f: c.ExportPngDpi(f, 2, 150)),
        ("png as the preview", lambda: c.to_png(1, 96, shadow=True), lambda f: c.ExportPng(f, 1, 100)),
    ]
    for name, to_bytes, export in cases:
        target = str(tmp_path / "out")
        data = to_bytes()
        assert export(target) is True, name
        with open(target, "rb") as f:
            assert _undated(data) == _undated(f.read()), name
    assert c.GetLastError()[0] is False


def test_bytes_out_record_bad_pages_and_dpi_and_return_nothing():
    c = listing(10)
    for call, number in [(lambda: c.to_png(0), 60107), (lambda: c.to_png(1, dpi=601), 60110),
                         (lambda: c.to_pdf((1, 99)), 60107), (lambda: c.to_pdf(2**40), 60107)]:
        c.ClearError()
        assert (call(), c.GetLastError()[:2]) == (b"", (True, number))
    with pytest.raises(ValueError):
        c.to_pdf(range(3, 1))
    with pytest.raises(TypeError):
        c.to_pdf("1-2")


def test_a_notebook_shows_the_first_page_small():
    c = listing()
    png = c._repr_png_()
    assert (png[:8], int.from_bytes(png[16:20], "big")) == (b"\x89PNG\r\n\x1a\n", 397), "A4 at 48 dpi"
    assert c._repr_mimebundle_() == {"image/png": png, "text/plain": repr(c)}


def test_a_long_pdf_drawn_by_several_processes_is_the_file_one_draws(tmp_path):
    c = listing(14000)
    c.TaggedPdf = False
    pages = c.Pages
    assert pages > 300
    files = {}
    for jobs in (1, 2):
        c.PdfJobs = jobs
        files[jobs] = tmp_path / f"jobs{jobs}.pdf"
        assert c.ExportPdf(str(files[jobs]), 1, pages) is True
    assert _undated(files[1].read_bytes()) == _undated(files[2].read_bytes())

    class Clicks:  # a handler that does not hear NewPage leaves the pieces alone
        def ClickCell(self, e):
            pass

    clicks = Clicks()
    c.connect(clicks)
    assert c.ExportPdf(str(tmp_path / "clicks.pdf"), 1, pages) is True
    c.disconnect(clicks)
    assert _undated((tmp_path / "clicks.pdf").read_bytes()) == _undated(files[2].read_bytes())

    class Counts:  # a handler that hears NewPage sees every page, in order
        seen = []

        def NewPage(self, e):
            self.seen.append(e.Page)

    handler = Counts()
    c.connect(handler)
    heard = tmp_path / "heard.pdf"
    assert c.ExportPdf(str(heard), 1, pages) is True
    assert handler.seen[::2] == list(range(1, pages + 1))
    text = [subprocess.run(["pdftotext", "-layout", str(f), "-"], capture_output=True, check=True).stdout
            for f in (files[2], heard)]
    assert text[0] == text[1]

    c.PdfJobs = -2
    assert (c.PdfJobs, c.GetLastError()[:2]) == (2, (True, 380))


def test_a_file_name_with_a_nul_in_it_names_no_file_at_all(tmp_path):
    c = ktfolio.KtPrint4()
    c.AddRow("a")
    cut = str(tmp_path / "doc") + "\0junk"
    for call in (lambda: c.ExportPdf(cut, 1, 1), lambda: c.ExportPngDpi(cut, 1, 50),
                 lambda: c.SaveAsTemplate(cut), lambda: c.LoadFromTemplate(cut)):
        c.ClearError()
        assert call() is False
        assert c.GetLastError()[1] == 52
    assert os.listdir(tmp_path) == [] and c.LastRow == 1
