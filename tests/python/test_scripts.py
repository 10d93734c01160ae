"""Ten scripts through the whole path: cells built from Python strings, drawn to a PDF whose
text extracts as it was given, and kept whole by a UTF-8 template."""
import subprocess

import ktfolio

WORLD = {
    "Latin": "Näher Größe, Łódź",
    "Greek": "Ωμέγα και άλφα",
    "Cyrillic": "Съешь же ещё этих булок",
    "Hebrew": "שלום עולם 2026",
    "Arabic": "مرحبا بالعالم 123",
    "Devanagari": "नमस्ते दुनिया",
    "Thai": "ภาษาไทยเขียนติดกัน",
    "Chinese": "今天天气很好",
    "Japanese": "これは日本語です",
    "Korean": "안녕하세요 세계",
}


def extracted(control, path):
    assert control.ExportPdf(str(path), 1, 1)
    text = subprocess.run(["pdftotext", str(path), "-"], capture_output=True, text=True, check=True).stdout
    # pdftotext marks right-to-left runs with embedding controls; the characters are what count.
    return [line.translate({0x202A: None, 0x202B: None, 0x202C: None}).strip() for line in text.splitlines()]


def test_every_script_extracts_from_the_pdf_as_given(tmp_path):
    for name, sentence in WORLD.items():  # one document each: the reading direction is the page's
        c = ktfolio.KtPrint4()
        c.AddRow(sentence)
        assert sentence in extracted(c, tmp_path / f"{name}.pdf"), name


def test_a_utf8_template_keeps_every_script(tmp_path):
    c = ktfolio.KtPrint4()
    for name, sentence in WORLD.items():
        c.AddRow(name, sentence)
    c.TemplateCodePage = 65001
    path = tmp_path / "world.ktt"
    assert c.SaveAsTemplate(str(path))
    assert path.read_bytes().startswith(b"\xef\xbb\xbf")
    back = ktfolio.KtPrint4()
    assert back.LoadFromTemplate(str(path))
    assert [back.GetProperty(r, 2, "Text") for r in range(1, 11)] == list(WORLD.values())
