"""The preview on a Form, driven by clicks on the toolbar buttons found by name."""
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


def test_the_status_follows_the_page_buttons(shown):
    f, c = shown
    pages = c.Pages
    assert child(f, "PlaceHolder2")["text"] == f"1/{pages}"
    assert not child(f, "cmdTool(5)")["enabled"]
    click(f, "cmdTool(6)")
    assert child(f, "PlaceHolder2")["text"] == f"2/{pages}"
    assert child(f, "cmdTool(5)")["enabled"]


def test_fit_width_shows_the_integer_part_of_the_zoom(shown):
    f, c = shown
    click(f, "cmdTool(4)")
    fitted = child(f, "PlaceHolder1")["text"]
    assert fitted.endswith(" %") and fitted[:-2].isdigit()
    n = int(fitted[:-2])
    assert n not in (100, 0)
    click(f, "cmdTool(1)")
    stepped = int(child(f, "PlaceHolder1")["text"][:-2])
    # The step starts from the zoom rounded to an integer: n or n + 1.
    assert stepped in (n // 10 * 10 + 10, (n + 1) // 10 * 10 + 10)


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


def test_hiding_the_toolbar_gives_the_viewport_the_whole_height(shown):
    f, c = shown
    c.ShowToolBar = False
    assert child(f, "VP")["rect"] == (0, 0, 640, 480)


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


def test_keys_are_published():
    assert ktfolio.VK_RETURN == 13 and ktfolio.VK_NEXT == 0x22
