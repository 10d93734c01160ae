"""The preview on a Form from Python: a handler that vetoes a toolbar button, screenshots, and
the windows going with the form."""
import pytest

import ktfolio
from form_children import child, click


@pytest.fixture
def shown():
    f = ktfolio.Form(640, 480)
    c = ktfolio.KtPrint4(form=f)
    c.dFitHeightToText = False
    c.dRowHeight = 500
    for i in range(1, 200):
        c.AddRow(f"row {i}", i)
    f.show()
    return f, c


def test_a_vetoed_button_does_not_act(shown):
    f, c = shown

    class Veto:
        def BeforeButtonClick(self, e):
            if e.ButtonKey == "ZommIn":
                e.Cancel = True

    c.connect(Veto())
    click(f, "cmdTool(1)")
    assert child(f, "PlaceHolder1")["text"] == "100 %"
    click(f, "cmdTool(2)")
    assert child(f, "PlaceHolder1")["text"] == "90 %"


def test_a_screenshot_is_written(shown, tmp_path):
    f, _ = shown
    path = tmp_path / "form.png"
    f.screenshot(str(path))
    assert path.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


def test_a_destroyed_form_leaves_no_window():
    before = ktfolio.live_windows()
    f = ktfolio.Form(300, 200)
    c = ktfolio.KtPrint4(form=f)
    f.show()
    assert ktfolio.live_windows() > before
    del c, f
    assert ktfolio.live_windows() == before
