"""The tagged structure of a printed document, read back with a PDF library: one table over the
pages for the runs of table rows, header cells and headings for heading rows, paragraphs,
figures with their alternative text, the running header and footer left out, and every piece
of drawn content inside a structure element or an artifact."""
import os
import subprocess

import pikepdf
import pytest

import ktfolio

LOGO = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "data", "logo.png")
DRAWING_OPS = {"Tj", "TJ", "'", '"', "S", "s", "f", "F", "f*", "B", "B*", "b", "b*", "Do", "sh", "BI"}


def elements(pdf):
    """The structure tree below its root as (depth, type, element) in reading order."""
    def walk(node, depth):
        kids = node.get("/K")
        for kid in (kids if isinstance(kids, pikepdf.Array) else [kids] if kids is not None else []):
            if isinstance(kid, pikepdf.Dictionary) and "/S" in kid:
                yield depth, str(kid.S)[1:], kid
                yield from walk(kid, depth + 1)
    return list(walk(pdf.Root.StructTreeRoot, 0))


def unmarked_drawing(pdf):
    """(page, operator) of every drawing operator outside any marked-content sequence."""
    found = []
    for n, page in enumerate(pdf.pages, 1):
        depth = 0
        for _, op in pikepdf.parse_content_stream(page):
            op = str(op)
            depth += op in ("BDC", "BMC")
            depth -= op == "EMC"
            if depth == 0 and op in DRAWING_OPS:
                found.append((n, op))
    return found


def structure_text(path):
    return subprocess.run(["pdfinfo", "-struct-text", str(path)], check=True, capture_output=True, text=True).stdout


def build_report():
    """A title, a 3-page listing with a heading row, a closing paragraph and a picture."""
    c = ktfolio.KtPrint4(raise_errors=True)
    c.AddHeaderRow("RUNNING HEADER")
    c.AddFooterRow("RUNNING FOOTER")
    c.AddRow("Stock report")
    c.SetProperty(c.LastRow, 0, "OutlineLevel", 1)
    c.AddRow("Code", "Item", "Count")
    c.SetProperty(c.LastRow, 0, "OutlineLevel", 2)
    for i in range(1, 101):
        c.AddRow(f"C{i:03}", f"item {i}", str(i * 7))
    c.AddRow("")  # a spacer: no element of its own
    c.AddRow("End of report.")
    c.AddRow("")
    c.SetProperty(c.LastRow, 1, "BitMap", LOGO)
    c.SetProperty(c.LastRow, 1, "Text", "Company logo")  # a picture cell's text is its alternative
    c.RePaging()
    return c


@pytest.fixture(scope="module")
def report(tmp_path_factory):
    c = build_report()
    path = tmp_path_factory.mktemp("structure") / "report.pdf"
    assert c.Pages == 3 and c.ExportPdf(str(path), 1, c.Pages)
    return path


def test_rows_read_as_headings_one_table_paragraphs_and_a_figure(report):
    with pikepdf.open(report) as pdf:
        assert pdf.Root.MarkInfo.Marked is True
        tree = elements(pdf)
        top = [kind for depth, kind, _ in tree if depth <= 1]
        assert top == ["Document", "H1", "Table", "P", "Figure"]
        rows = [e for depth, kind, e in tree if kind == "TR"]
        assert len(rows) == 101  # the heading row and the 100 listed rows, in one table
        cells = [[str(k.S)[1:] for k in (r.K if isinstance(r.K, pikepdf.Array) else [r.K])] for r in rows]
        assert cells[0] == ["TH"] * 3 and all(c == ["TD"] * 3 for c in cells[1:])
        figure = [e for _, kind, e in tree if kind == "Figure"][0]
        assert str(figure.Alt) == "Company logo"
        mcid = int(figure.K) if not isinstance(figure.K, pikepdf.Dictionary) else int(figure.K.MCID)
        page = pikepdf.Page(figure.Pg)
        ops, depth, inside = [], 0, False
        for operands, op in pikepdf.parse_content_stream(page):
            if str(op) == "BDC" and "/MCID" in operands[1] and int(operands[1].MCID) == mcid:
                inside = True
            elif inside:
                if str(op) == "EMC" and depth == 0:
                    break
                depth += str(op) in ("BDC", "BMC")
                depth -= str(op) == "EMC"
                ops.append(str(op))
        assert "Do" in ops  # the picture itself is the figure's content
        pages = {str(e.Pg.objgen) for _, kind, e in tree if kind == "TD"}
        assert len(pages) == 3  # the table runs over all three pages


def test_the_tree_reads_the_texts_in_order_without_header_and_footer(report):
    text = structure_text(report)
    assert "RUNNING HEADER" not in text and "RUNNING FOOTER" not in text
    order = [text.index(s) for s in ('"Stock report"', '"Code"', '"Count"', '"C001"', '"item 1"', '"C100"',
                                     '"700"', '"End of report."')]
    assert order == sorted(order)
    # the running texts are still on each page, as pagination artifacts
    pages = subprocess.run(["pdftotext", str(report), "-"], check=True, capture_output=True, text=True).stdout
    assert pages.count("RUNNING HEADER") == 3 and pages.count("RUNNING FOOTER") == 3


def test_all_drawing_is_marked_and_the_file_is_clean(report):
    with pikepdf.open(report) as pdf:
        assert unmarked_drawing(pdf) == []
        kinds = set()
        for page in pdf.pages:
            for operands, op in pikepdf.parse_content_stream(page):
                if str(op) == "BDC" and str(operands[0]) == "/Artifact":
                    kinds.add(str(operands[1].Type))
        assert kinds == {"/Pagination"}
    info = subprocess.run(["pdfinfo", str(report)], check=True, capture_output=True, text=True).stdout
    assert "Tagged:          yes" in info
    subprocess.run(["qpdf", "--check", str(report)], check=True, capture_output=True)


def test_tagging_can_be_turned_off_and_pages_read_the_same(tmp_path):
    c = build_report()
    assert c.TaggedPdf is True
    c.TaggedPdf = False
    assert c.ExportPdf(str(tmp_path / "plain.pdf"), 1, c.Pages)
    with pikepdf.open(tmp_path / "plain.pdf") as pdf:
        assert "/StructTreeRoot" not in pdf.Root and "/MarkInfo" not in pdf.Root
    assert ktfolio.KtPrint4(properties=c.SaveProperties()).TaggedPdf is False  # kept with the properties
    c.TaggedPdf = True
    assert "TaggedPdf" not in c.SaveProperties()  # the default is not stored
    assert c.ExportPdf(str(tmp_path / "tagged.pdf"), 1, c.Pages)
    text = [subprocess.run(["pdftotext", "-layout", str(tmp_path / f), "-"], check=True, capture_output=True).stdout
            for f in ("plain.pdf", "tagged.pdf")]
    assert text[0] == text[1] and b"C100" in text[0]


def test_a_body_past_twenty_thousand_rows_is_written_untagged(tmp_path):
    c = ktfolio.KtPrint4()
    c.AddRows([(str(i), "x") for i in range(20001)])
    assert c.TaggedPdf is True and c.ExportPdf(str(tmp_path / "long.pdf"), 1, 1)
    with pikepdf.open(tmp_path / "long.pdf") as pdf:
        assert "/StructTreeRoot" not in pdf.Root
