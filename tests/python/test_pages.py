"""The design-time pages from Python: a designer that is a Python object registered by name hands
its template to the Designer and FolioDesigner pages (what the pages show and apply is in the C++
suite), and our own designer does not wait headless."""
import os
import subprocess
import sys
import textwrap

import pytest

import ktfolio
from conftest import click
from ktfolio import dialogs

PROGID = "FolioDsn.clsFolioDsn"


def cell_texts(control):
    return [control.GetProperty(r, 1, "Text") for r in range(1, control.LastRow + 1)]


@pytest.fixture(autouse=True)
def clean():
    dialogs.reset()
    yield
    dialogs.reset()
    ktfolio.unregister_component(PROGID)


@pytest.fixture
def designer():
    f = ktfolio.Form(600, 360)
    c = ktfolio.KtPrint4()
    c.AddRow("first")
    c.AddRow("second")
    p = ktfolio.PropertyPage("Designer", form=f)
    f.show()
    p.select([c])
    return f, c, p


class Recorder:
    """A test designer: records what start was given and hands back another document's template."""

    def __init__(self, template):
        self.template = template
        self.calls = []

    def factory(self):
        return self

    def start(self, dsn, settings, *flag):
        self.calls.append((bytes(dsn), settings, flag))
        return self.template


def other_document():
    d = ktfolio.KtPrint4()
    d.Marginleft = 3000
    d.AddRows([f"designed {i}"] for i in (1, 2, 3))
    return d


def test_the_designer_button_hands_the_page_settings_and_apply_takes_only_the_rows(designer):
    f, c, p = designer
    rec = Recorder(other_document().GetDsnArray())
    ktfolio.register_component(PROGID, rec.factory)
    f.set_text("txtMarginTop", "777")
    click(f, "cmdButton")
    dsn, settings, flag = rec.calls[0]
    assert (dsn, flag) == (c.GetDsnArray(), ()), "the Designer page passes no third argument"
    lines = settings.split("\r\n")
    assert lines[:2] == ["ScaleMode=1", "AllowCellEditing=0"]
    assert "MarginTop=777" in lines and "ShowToolBar=-1" in lines, "the settings come from the page's boxes"
    assert [l.split("=")[0] for l in lines[:-1]][-3:] == ["ShowGuideLines", "ShowPrintDlg", "ShowToolBar"]
    assert p.changed
    p.apply()
    assert cell_texts(c) == ["designed 1", "designed 2", "designed 3"]
    # Settings come from the page, not from the designer's template; the page reloaded its boxes from the control.
    assert (c.Marginleft, c.MarginTop) == (1440, 1440)


def test_a_missing_designer_is_reported_and_changes_nothing(designer):
    f, c, p = designer
    ktfolio.register_component(PROGID, lambda: None)
    before = c.GetDsnArray()
    click(f, "cmdButton")
    assert "429" in p.last_failure and not p.changed and c.GetDsnArray() == before


def folio_designer_on(target, rec):
    """The FolioDesigner page opened on `target` with `rec` registered, once the loop has run."""
    ktfolio.register_component(PROGID, rec.factory)
    f = ktfolio.Form(480, 200)
    p = ktfolio.PropertyPage("FolioDesigner", form=f)
    f.show()
    p.select([target])
    assert rec.calls == [], "the designer opens from the loop"
    f.pump(100)
    return f, p


def test_the_folio_designer_page_applies_the_whole_template_and_closes():
    c = ktfolio.KtPrint4()
    c.AddRow("old")
    rec = Recorder(other_document().GetDsnArray())
    f, _ = folio_designer_on(c, rec)
    assert len(rec.calls) == 1 and rec.calls[0][2] == (True,)
    assert rec.calls[0][1].startswith("ScaleMode=1\r\nAllowCellEditing=0\r\n")
    assert cell_texts(c) == ["designed 1", "designed 2", "designed 3"]
    assert c.Marginleft == 3000, "settings come with the template"
    assert not f.visible, "Enter pressed the default button, which closed the dialog"


def test_the_folio_designer_page_on_another_object_reports_the_failure():
    rec = Recorder(b"")
    _, p = folio_designer_on(ktfolio.StdFont(), rec)
    assert rec.calls == [] and "438" in p.last_failure


def test_without_a_display_our_designer_hands_the_template_back_at_once():
    """Nobody could press Save or Cancel headless: the page must not wait for them.
    Run in a child process so that a designer that does wait fails instead of hanging."""
    script = textwrap.dedent(
        """
        import ktfolio
        f = ktfolio.Form(480, 200)
        c = ktfolio.KtPrint4()
        c.AddRow("kept")
        c.AddRow("as it was")
        p = ktfolio.PropertyPage("FolioDesigner", form=f)
        f.show()
        p.select([c])
        f.pump(200)
        print(c.LastRow, c.GetProperty(2, 1, "Text"), f.visible, repr(p.last_failure), sep="|")
        """
    )
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, timeout=60, env=env)
    assert done.returncode == 0, done.stderr
    assert done.stdout.strip() == "2|as it was|False|''", "applied unchanged, and the dialog closed"
