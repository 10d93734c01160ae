"""Heading rows: OutlineLevel by name, kept by templates only where set, and the PDF's outline
nested by level at the headings' pages; a document without headings is navigated by page."""
import pikepdf
import pytest

import ktfolio


def outline(path):
    """The outline as (depth, title, page number) in reading order."""
    with pikepdf.open(path) as pdf:
        pages = {page.objgen: n for n, page in enumerate(pdf.pages, 1)}
        with pdf.open_outline() as o:
            def walk(items, depth):
                for item in items:
                    dest = item.destination
                    yield depth, item.title, pages.get(dest[0].objgen) if dest is not None else None
                    yield from walk(item.children, depth + 1)
            return list(walk(o.root, 0))


def report(c):
    """Chapter 1 with two sections, chapter 2 on a page of its own with one."""
    for title, level in [("Chapter 1", 1), ("Section 1.1", 2), ("Section 1.2", 2), ("Chapter 2", 1), ("Section 2.1", 2)]:
        if title == "Chapter 2":
            c.SetPageBreak(c.LastRow)
        c.AddRow(title)
        c.SetProperty(c.LastRow, 0, "OutlineLevel", level)
        c.AddRow("text of " + title)


def test_headings_make_the_outline_at_their_pages(tmp_path):
    c = ktfolio.KtPrint4()
    report(c)
    assert c.GetProperty(2, 0, "OutlineLevel") == 0 and c.GetProperty(3, 0, "OutlineLevel") == 2
    assert c.ExportPdf(str(tmp_path / "r.pdf"), 1, c.Pages)
    assert outline(tmp_path / "r.pdf") == [
        (0, "Chapter 1", 1), (1, "Section 1.1", 1), (1, "Section 1.2", 1), (0, "Chapter 2", 2), (1, "Section 2.1", 2)]


def test_without_headings_each_page_has_an_entry(tmp_path):
    c = ktfolio.KtPrint4()
    c.AddRow("one")
    c.SetPageBreak(1)
    c.AddRow("two")
    assert c.ExportPdf(str(tmp_path / "p.pdf"), 1, c.Pages)
    assert outline(tmp_path / "p.pdf") == [(0, "Page 1", 1), (0, "Page 2", 2)]


def test_levels_outside_one_to_six_are_refused_and_templates_keep_only_set_ones(tmp_path):
    c = ktfolio.KtPrint4(raise_errors=True)
    c.AddRow("a")
    c.AddRow("b")
    with pytest.raises(ktfolio.KtError, match="OutlineLevel is 0"):
        c.SetProperty(1, 0, "OutlineLevel", 7)
    c.SetProperty(2, 0, "OutlineLevel", 3)
    text = bytes(c.GetDsnArray())
    assert text.count(b"OutlineLevel=") == 1 and b"OutlineLevel=3\r\n" in text
    back = ktfolio.KtPrint4()
    back.SetDsnArray(text)
    assert [back.GetProperty(r, 0, "OutlineLevel") for r in (1, 2)] == [0, 3]
