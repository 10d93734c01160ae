import contextlib
import sys

import pytest

import ktfolio
from ktfolio import _testing


@contextlib.contextmanager
def unraisable():
    """Exceptions raised by handlers, which the control reports instead of raising."""
    seen = []
    old = sys.unraisablehook
    sys.unraisablehook = lambda info: seen.append(info.exc_value)
    try:
        yield seen
    finally:
        sys.unraisablehook = old


class Recorder:
    def __init__(self):
        self.calls = []

    def EnterCell(self, e):
        self.calls.append(("EnterCell", e.row, e.col, e.parea, e.Cancel))
        e.Cancel = e.col == 2

    def NewPage(self, e):
        self.calls.append(("NewPage", e.Page, e.Row, e.FirstOrLast))
        e.Page = e.Page + 100
        e.FirstOrLast = ktfolio.Last

    def BeforeButtonClick(self, e):
        self.calls.append(("BeforeButtonClick", e.ButtonIndex, e.ButtonKey))
        e.Cancel = e.ButtonKey == "print"


def test_handlers_see_parameters_and_answer_through_by_reference_ones(c):
    r = Recorder()
    c.connect(r)
    assert _testing.raise_event(c, "EnterCell", 3, 2, ktfolio.Header, False) == (3, 2, 1, True)
    assert _testing.raise_event(c, "EnterCell", 3, 1, ktfolio.Body, True) == (3, 1, 0, False)
    assert _testing.raise_event(c, "NewPage", 4, 17, ktfolio.First) == (104, 17, 1)
    assert _testing.raise_event(c, "BeforeButtonClick", 2, "print", False)[2] is True
    assert _testing.raise_event(c, "BeforeButtonClick", 3, "zoom", False)[2] is False
    assert r.calls == [("EnterCell", 3, 2, 1, False), ("EnterCell", 3, 1, 0, True), ("NewPage", 4, 17, 0),
                       ("BeforeButtonClick", 2, "print"), ("BeforeButtonClick", 3, "zoom")]

def test_every_connected_handler_is_called_in_order_until_disconnected(c):
    order = []

    class Cancels:
        def LeaveCell(self, e):
            order.append("first")
            e.Cancel = True

    class Sees:
        def LeaveCell(self, e):
            order.append(("second", e.Cancel))

    first, second = Cancels(), Sees()
    c.connect(first)
    c.connect(second)
    c.connect(second)  # connecting twice is one connection
    assert _testing.sink_count(c) == 2
    assert _testing.raise_event(c, "LeaveCell", 1, 1, 0, False)[3] is True
    assert order == ["first", ("second", True)]
    assert c.disconnect(first) is True and c.disconnect(first) is False
    assert _testing.raise_event(c, "LeaveCell", 1, 1, 0, False)[3] is False
    assert order[2:] == [("second", False)]


def test_the_argument_object_guards_its_attributes(c):
    seen = {}

    class Handler:
        def ClickCell(self, e):
            seen["repr"] = repr(e)
            seen["dir"] = sorted(dir(e))
            seen["event"] = e.event
            e.row = 9  # passed by value

        def EnterCell(self, e):
            e.cancel = True  # wrong case: not a parameter

        def LeaveCell(self, e):
            e.Cancel = "perhaps"  # not a Boolean

    c.connect(Handler())
    with unraisable() as errors:
        assert _testing.raise_event(c, "ClickCell", 2, 3, 0, 1) == (2, 3, 0, 1)
        assert _testing.raise_event(c, "EnterCell", 1, 1, 0, False)[3] is False
        assert _testing.raise_event(c, "LeaveCell", 1, 1, 0, False)[3] is False
    assert seen == {"repr": "ClickCell(row=2, col=3, parea=0, Button=1)", "dir": ["Button", "col", "parea", "row"],
                    "event": "ClickCell"}
    assert [type(x) for x in errors] == [AttributeError, AttributeError, TypeError]


def test_a_failing_handler_is_reported_and_the_others_still_run(c):
    class Broken:
        def EnterCell(self, e):
            e.Cancel = True
            raise RuntimeError("handler bug")

    class Fine:
        def EnterCell(self, e):
            e.Cancel = True

    c.connect(Broken())
    with unraisable() as errors:
        assert _testing.raise_event(c, "EnterCell", 1, 1, 0, False)[3] is False, "a failed handler's answers are dropped"
        c.connect(Fine())
        assert _testing.raise_event(c, "EnterCell", 1, 1, 0, False)[3] is True
    assert [str(x) for x in errors] == ["handler bug", "handler bug"]


def test_a_handler_exception_is_recorded_and_with_raise_errors_raised_after_the_call(tmp_path):
    class Broken:
        def NewPage(self, e):
            raise ZeroDivisionError("no page for you")

    quiet = ktfolio.KtPrint4()
    quiet.AddRow("a")
    quiet.connect(Broken())
    with unraisable() as errors:
        assert quiet.ExportPng(str(tmp_path / "a.png"), 1) is True, "the operation still runs to its end"
    assert [type(x) for x in errors] == [ZeroDivisionError, ZeroDivisionError], "First and Last, reported"
    assert quiet.GetLastError() == (True, 440, "ZeroDivisionError: no page for you", "NewPage")

    class Counting:
        calls = 0

        def NewPage(self, e):
            self.calls += 1
            raise ZeroDivisionError(f"no page for you ({self.calls})")

    loud = ktfolio.KtPrint4(raise_errors=True)
    loud.AddRow("a")
    loud.connect(Counting())
    with unraisable() as errors, pytest.raises(ktfolio.KtError, match="ExportPng") as caught:
        loud.ExportPng(str(tmp_path / "b.png"), 1)
    assert errors == [] and (tmp_path / "b.png").exists(), "raised once the export returned"
    assert (caught.value.number, caught.value.source) == (440, "NewPage")
    assert isinstance(caught.value.__cause__, ZeroDivisionError), "the handler's own exception is the cause"
    assert str(caught.value.__cause__) == "no page for you (1)", "the first of the call's handler failures"
    assert loud.AddRow("b") is True, "the held exception went with the call that raised it"


def test_ctrl_c_or_sys_exit_in_a_handler_comes_out_of_the_call_unchanged_in_either_mode(tmp_path):
    for raise_errors, stop in ((False, KeyboardInterrupt), (True, SystemExit), (True, KeyboardInterrupt)):
        c = ktfolio.KtPrint4(raise_errors=raise_errors)
        c.AddRow("a")

        class Stops:
            def NewPage(self, e):
                if e.FirstOrLast == 0:
                    raise ZeroDivisionError("an error first")
                raise stop(3)

        c.connect(Stops())
        with unraisable() as errors, pytest.raises(stop) as caught:
            c.ExportPng(str(tmp_path / "a.png"), 1)
        assert caught.value.args == (3,) and not isinstance(caught.value, ktfolio.KtError), raise_errors
        assert [type(x) for x in errors] == ([] if raise_errors else [ZeroDivisionError])
        assert c.GetLastError()[1:] == (440, f"{stop.__name__}: 3", "NewPage")
        assert c.AddRow("b") is True, "nothing held past the call"


def test_a_handler_method_named_almost_like_an_event_warns(c):
    def handler(self, e):
        pass

    # Near misses of event names warn; an exact name, a short unrelated one and an attribute that is no method do not.
    Misspelt = type("Misspelt", (), {"NewPages": handler, "enterCell": handler, "NewPage": handler, "Page": handler,
                                     "newpage_count": 0})

    with pytest.warns(ktfolio.EventWarning) as warned:
        c.connect(Misspelt())
    assert sorted(str(w.message).split("'")[1] for w in warned) == ["NewPages", "enterCell"]
    assert "did you mean 'EnterCell'" in " ".join(str(w.message) for w in warned)
    assert issubclass(ktfolio.EventWarning, Warning)
