"""The button and the frame from Python, releasing controls and forms early, and a form's
screenshot: what the binding adds (names, events, the frame's children, release); the drawing is
tested in C++."""
import gc

import pytest

import ktfolio
from conftest import child, click, texts


@pytest.fixture
def panel():
    """A shown form with a frame holding two buttons, and the Click events they raised."""
    f = ktfolio.Form(400, 200)
    frame = ktfolio.KtMarco(form=f)
    frame.Move(10, 10, 300, 150)
    buttons = [ktfolio.KtBoton(container=frame) for _ in range(2)]
    for i, b in enumerate(buttons):
        b.Move(10 + 100 * i, 10, 80, 24)
    clicks = []
    for b in buttons:
        b.connect(type("Log", (), {"Click": lambda self, e, name=b.Caption: clicks.append(name)})())
    f.show()
    return f, frame, buttons, clicks


def test_the_controls_publish_their_members_and_defaults(panel):
    f, frame, (one, two), _ = panel
    assert [one.Caption, two.Caption, frame.Caption] == ["KtBoton1", "KtBoton2", "KtMarco1"]
    assert child(f, "KtBoton1")["cls"] == "KtBoton"
    assert (one.Style, one.Value, one.Pressed, one.BevelWidth, one.BackColor) == (0, 0, False, 2, 0x8000000F)
    assert (frame.Flood, frame.FloodPercent, frame.BevelOuter, frame.FloodColor) == (0, 0, 1, 0x8000000D)
    assert isinstance(ktfolio.KtBoton.Click, ktfolio.Event) and ktfolio.KtMarco.FloodChange.params == ()
    assert "inverted" in ktfolio.KtMarco.FloodShowPct.__doc__
    assert repr(one) == "<ktfolio.KtBoton 'KtBoton1' caption='KtBoton1' style=0 value=0>"
    with pytest.raises(AttributeError):
        one.Hot = True


def test_user_clicks_and_flood_changes_reach_python_handlers(panel):
    """How the button and the frame behave is in the C++ suite; here their events reach Python."""
    f, frame, (one, _), clicks = panel
    click(f, "KtBoton1")
    assert clicks == ["KtBoton1"]
    changes = []

    class Watch:
        def FloodChange(self, e):
            changes.append(frame.FloodPercent)

    frame.connect(Watch())
    frame.Flood = ktfolio.ppFloodToRight
    frame.FloodPercent = 150
    assert changes == [100]
    with pytest.raises(TypeError, match="FloodPercent"):
        frame.FloodPercent = 40000  # an Integer, as the frame declares it


def counts():
    gc.collect()
    return ktfolio.live_windows(), ktfolio.live_timers(), ktfolio.live_gdi_objects()


def test_with_blocks_release_windows_timers_and_drawing_objects():
    before = counts()
    with ktfolio.KtPrint4() as alone:
        alone.AddRow("a", "b")
        assert alone.Pages == 1
    assert counts() == before and alone.released and repr(alone) == "<ktfolio.KtPrint4 released>"
    with pytest.raises(ValueError, match="released KtPrint4"):
        alone.AddRow("c")

    with ktfolio.Form(640, 480) as f:
        c = ktfolio.KtPrint4(form=f)
        c.AddRow("x")
        box = ktfolio.KtText(form=f)
        frame = ktfolio.KtMarco(form=f)
        button = ktfolio.KtBoton(container=frame)
        page = ktfolio.PropertyPage("Defaults", form=f)
        f.show()
        page.select([c])
        box.SetFocus()
        f.type("typed")  # arms the box's delay timer
        assert counts() != before
    assert counts() == before, "the form released what was made on it, then itself"
    assert all(x.released for x in (f, c, box, frame, button))
    for call in (lambda: f.pump(), lambda: button.DoClick(), lambda: c.Pages, lambda: frame.Caption, page.apply):
        with pytest.raises(ValueError, match="released"):
            call()


def test_a_control_cannot_be_released_by_its_own_handler():
    c = ktfolio.KtPrint4(raise_errors=True)
    c.AddRow("a")

    class Quits:
        def NewPage(self, e):
            c.release()

    c.connect(Quits())
    with pytest.raises(ktfolio.KtError) as caught:
        c.ExportPng("/dev/null/none.png", 1)
    assert isinstance(caught.value.__cause__, RuntimeError) and not c.released


def test_no_code_a_call_runs_can_release_its_control_and_the_call_goes_on(tmp_path):
    class Releases:
        def __init__(self, control, path="/tmp/ktfolio-not-written/name.pdf"):
            self.control, self.path = control, path

        def release(self):
            try:
                self.control.release()
            except RuntimeError as e:
                refused.append(str(e))

        def __fspath__(self):
            self.release()
            return self.path

        def __index__(self):
            self.release()
            return 1

    refused = []
    c = ktfolio.KtPrint4()
    assert c.AddRows([("first",), ("second", Releases(c))]) == 2
    assert "AddRows() reads its rows" in refused.pop()  # reading rows is the control's own call
    c.SetProperty(1, Releases(c), S("Text"), S("set"))  # the later values are converted after it
    c.SetProperty(row=Releases(c), col=S("1"), pName=S("Text"), Value=S("by name"))
    c.AddRow(Releases(c), S("x"))
    c.ExportPdf(Releases(c), 1, 1)
    c.DocTitle = Releases(c)
    assert len(refused) == 5 and all("converts its values" in r for r in refused)
    assert (c.released, c.LastRow, texts(c, 1)[0]) == (False, 3, "by name")

    class Hears:  # asked whether it hears NewPage before a long export: its own code runs
        def __getattr__(self, name):
            if name == "NewPage":
                Releases(c).release()
            raise AttributeError(name)

    c.TaggedPdf = False
    for i in range(130):
        c.AddRow(f"page {i}")
        c.SetPageBreak(c.LastRow)
    c.connect(Hears())
    assert c.ExportPdf(Releases(c, str(tmp_path / "long.pdf")), 1, c.Pages) is True
    assert not c.released and len(refused) == 7 and (tmp_path / "long.pdf").stat().st_size > 0

    class Fails:
        def __fspath__(self):
            raise OSError("no such share")

    with pytest.raises(OSError, match="no such share"):  # its own error, not a TypeError about its type
        ktfolio.KtPrint4().AddRow(Fails())


class S(str):
    """A str the binding converts by the general path, after the values before it."""


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


def test_run_ends_when_another_thread_closes_the_form_and_on_ctrl_c():
    import signal
    import threading
    import time

    f = ktfolio.Form(200, 100)
    f.show()
    threading.Timer(0.2, f.close).start()
    start = time.monotonic()
    f.run()  # the other thread gets its turn while the loop waits
    assert time.monotonic() - start < 3

    def interrupt(*_):
        raise KeyboardInterrupt

    old = signal.signal(signal.SIGALRM, interrupt)
    backstop = threading.Timer(10, f.close)  # an old loop would never return
    backstop.start()
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.2)
        start = time.monotonic()
        with pytest.raises(KeyboardInterrupt):
            f.run()
        assert time.monotonic() - start < 3
    finally:
        backstop.cancel()
        signal.signal(signal.SIGALRM, old)
