"""The preview on a Form from Python: screenshots, and the windows going with the form once Python
lets it go (what the toolbar does is in the C++ suite)."""
import ktfolio


def test_a_screenshot_is_written_and_a_dropped_form_leaves_no_window(tmp_path):
    before = ktfolio.live_windows()
    f = ktfolio.Form(640, 480)
    c = ktfolio.KtPrint4(form=f)
    c.AddRow("row", 1)
    f.show()
    assert ktfolio.live_windows() > before
    f.screenshot(str(tmp_path / "form.png"))
    assert (tmp_path / "form.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    del c, f
    assert ktfolio.live_windows() == before
