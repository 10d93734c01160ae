"""The formatted text box from Python: properties, methods and events by name,
typing through the form, and the box used as the preview's cell editor."""
import pytest

import ktfolio
from conftest import child


@pytest.fixture
def form():
    f = ktfolio.Form(400, 200)
    f.show()
    return f


def test_a_box_publishes_its_properties_with_their_defaults(form):
    t = ktfolio.KtText(form=form)
    assert t.Caption == "KtText1" and child(form, "KtText1")["cls"] == "KtText"
    assert ktfolio.KtText(form=form).Caption == "KtText2"
    assert (t.ControlType, t.LengthInt, t.LengthDec, t.AllowMinus, t.AutoReturn) == (0, 1, 0, True, True)
    assert t.BackColor == 0x80000005 and t.BackFocusedColor == 14150898 and t.CaptionSize == "-50"
    assert t.Version == "1.05"
    with pytest.raises(AttributeError):
        t.FormattedText = "x"
    # Numbers format by name, and a bad text is a ValueError.
    t.ControlType = 1
    t.LengthInt, t.LengthDec = 7, 0
    t.ThousandMarks = True
    t.Value = -1234567
    assert t.Text == "-1.234.567"
    with pytest.raises(ValueError, match="380"):
        t.Text = "12a"
    assert t.Value == -1234567


def test_events_reach_a_handler_that_may_drop_keys(form):
    t = ktfolio.KtText(form=form)
    t.Move(10, 10, 200, 30)
    t.Caption = ""

    class Handler:
        log = []

        def KeyPress(self, e):
            e.KeyAscii = 0 if e.KeyAscii == ord("x") else e.KeyAscii

        def Change(self, e):
            self.log.append(t.Text)

    h = Handler()
    t.connect(h)
    t.SetFocus()
    form.type("axbxc")
    assert h.log == [], "Change waits for the typing to pause"
    form.pump(60)
    assert t.Text == "abc" and h.log == ["abc"]
    assert t.disconnect(h) and not t.disconnect(h)

def test_boxes_and_an_editing_session_leave_nothing_behind():
    import gc

    gc.collect()  # what earlier tests left for the collector goes first
    windows, timers = ktfolio.live_windows(), ktfolio.live_timers()
    f = ktfolio.Form(640, 480)
    t = ktfolio.KtText(form=f)
    c = ktfolio.KtPrint4(form=f)
    c.AddRow("a", "b")
    c.SetProperty(1, 1, "EditType", 1)
    c.AllowCellEditing = True
    f.show()
    t.SetFocus()
    f.type("typed")  # arms the box's delay timer
    x, y, _, _ = child(f, "VP")["rect"]
    f.double_click(x + (1440 + 150) // 15, y + (1440 + 100) // 15)
    f.type("more")  # and the editor's
    del t, c, f
    gc.collect()
    assert (ktfolio.live_windows(), ktfolio.live_timers()) == (windows, timers)
