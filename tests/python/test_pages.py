"""The design-time pages on a Form, driven the way a user and the design environment drive them."""
import os
import subprocess
import sys
import textwrap

import pytest

import ktfolio
from form_children import child, click
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


@pytest.fixture
def defaults():
    f = ktfolio.Form(640, 440)
    c = ktfolio.KtPrint4()
    p = ktfolio.PropertyPage("Defaults", form=f)
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
    d.AddRow("designed 1")
    d.AddRow("designed 2")
    d.AddRow("designed 3")
    return d


# ---- Designer ---------------------------------------------------------------------------------


def test_the_designer_page_lists_the_constants_and_shows_the_control(designer):
    f, c, _ = designer
    assert child(f, "cboScaleMode")["items"] == [" eTwip", " eInch", " eMillimetre", " eCentimetre"]
    papers = child(f, "cboPageSize")["items"]
    assert len(papers) == 64
    assert (papers[0], papers[-1]) == ("  s_10X11", "  s_USER")
    assert "  s_A5 = 11" in papers
    assert any(p.startswith("  s_ENV_B6 = 35 ") for p in papers)
    assert child(f, "cboOrientation")["items"] == ["Portrait = 0", "Landscape = 1"]
    assert child(f, "cboScaleMode")["selected"] == c.ScaleMode
    assert child(f, "cboPageSize")["selected"] == c.PageSize
    assert child(f, "cboColorResolution")["selected"] == c.ColorResolution
    assert child(f, "cmdButton")["text"] == "   Designer"
    assert child(f, "chkPropShowToolBar")["checked"] is c.ShowToolBar
    assert child(f, "txtMarginLeft")["text"] == "1440"


def test_the_paper_boxes_are_enabled_only_for_a_user_size(designer):
    f, c, p = designer
    assert not child(f, "txtPaperWidth")["enabled"]
    f.choose("cboPageSize", "  s_USER")
    assert c.PageSize == ktfolio.s_USER, "the control changes at once, before apply"
    assert child(f, "FraPageSizes")["enabled"]
    assert child(f, "txtPaperWidth")["enabled"] and child(f, "txtPaperLength")["enabled"]
    f.choose("cboPageSize", "  s_LETTER")
    assert not child(f, "txtPaperLength")["enabled"]
    assert child(f, "txtPaperWidth")["text"] == str(round(c.PaperWidth))
    assert p.changed


def test_scale_mode_changes_the_control_at_once_and_the_boxes_follow(designer):
    f, c, p = designer
    f.choose("cboScaleMode", " eInch")
    assert c.ScaleMode == ktfolio.eInch
    assert child(f, "txtMarginLeft")["text"] == "1"
    assert child(f, "txtMarginHeader")["text"] == str(c.MarginHeader)


def test_apply_writes_boxes_lists_and_checks(designer):
    f, c, p = designer
    assert not p.changed
    f.set_text("txtMarginLeft", "2000")
    f.check("chkPropShowToolBar", False)
    f.choose("cboOrientation", "Landscape = 1")
    f.choose("cboEnterAction", "ppEnterNext")
    assert p.changed
    assert c.Marginleft == 1440, "nothing reaches the control before apply"
    p.apply()
    assert (c.Marginleft, c.ShowToolBar, c.Orientation, c.EditEnterAction) == (2000, False, 1, 1)
    assert not p.changed


def test_apply_without_a_designer_run_keeps_the_document(designer):
    f, c, p = designer
    # A template read back drops the cells' measured ItemHeight (225 -> 0) once;
    # start from a document that has been through the reader.
    c.SetDsnArray(c.GetDsnArray(), True)
    p.select([c])
    before = c.GetDsnArray()
    p.apply()
    assert cell_texts(c) == ["first", "second"]
    assert c.GetDsnArray() == before


def test_the_designer_button_hands_the_page_settings_and_apply_takes_only_the_rows(designer):
    f, c, p = designer
    d = other_document()
    rec = Recorder(d.GetDsnArray())
    ktfolio.register_component(PROGID, rec.factory)
    f.set_text("txtMarginTop", "777")
    click(f, "cmdButton")
    dsn, settings, flag = rec.calls[0]
    assert dsn == c.GetDsnArray()
    assert flag == (), "the Designer page passes no third argument"
    lines = settings.split("\r\n")
    assert lines[0] == "ScaleMode=1" and lines[1] == "AllowCellEditing=0"
    assert "MarginTop=777" in lines, "the settings come from the page's boxes"
    assert "ShowToolBar=-1" in lines
    assert [l.split("=")[0] for l in lines[:-1]][-3:] == ["ShowGuideLines", "ShowPrintDlg", "ShowToolBar"]
    assert p.changed
    p.apply()
    assert cell_texts(c) == ["designed 1", "designed 2", "designed 3"]
    assert c.Marginleft == 1440, "settings come from the page, not from the designer's template"
    assert c.MarginTop == 1440, "after the designer the page reloads its boxes from the control"


def test_a_missing_designer_is_reported_and_changes_nothing(designer):
    f, c, p = designer
    ktfolio.register_component(PROGID, lambda: None)
    before = c.GetDsnArray()
    click(f, "cmdButton")
    assert "429" in p.last_failure
    assert not p.changed
    assert c.GetDsnArray() == before


# ---- FolioDesigner ------------------------------------------------------------------------------


def test_the_folio_designer_page_applies_the_whole_template_and_closes():
    f = ktfolio.Form(480, 200)
    c = ktfolio.KtPrint4()
    c.AddRow("old")
    d = other_document()
    rec = Recorder(d.GetDsnArray())
    ktfolio.register_component(PROGID, rec.factory)
    p = ktfolio.PropertyPage("FolioDesigner", form=f)
    f.show()
    p.select([c])
    assert rec.calls == [], "the designer opens from the loop"
    f.pump(100)
    assert len(rec.calls) == 1
    assert rec.calls[0][2] == (True,)
    assert rec.calls[0][1].startswith("ScaleMode=1\r\nAllowCellEditing=0\r\n")
    assert cell_texts(c) == ["designed 1", "designed 2", "designed 3"]
    assert c.Marginleft == 3000, "settings come with the template"
    assert not f.visible, "Enter pressed the default button, which closed the dialog"


def test_the_folio_designer_page_on_another_object_reports_the_failure():
    f = ktfolio.Form(480, 200)
    rec = Recorder(b"")
    ktfolio.register_component(PROGID, rec.factory)
    p = ktfolio.PropertyPage("FolioDesigner", form=f)
    f.show()
    p.select([ktfolio.StdFont()])
    f.pump(100)
    assert rec.calls == []
    assert "438" in p.last_failure


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


# ---- Defaults -------------------------------------------------------------------------------------


def test_the_pen_style_list_shows_style_mask_and_falls_back_to_solid():
    for style, selected, text in ((15, 15, "Style Mask"), (2, 2, "Dot"), (12, 0, "Solid")):
        f = ktfolio.Form(640, 440)
        c = ktfolio.KtPrint4()
        c.dColPenStyle = style
        assert c.dColPenStyle == style
        p = ktfolio.PropertyPage("Defaults", form=f)
        p.select([c])
        box = child(f, "cbodColPenStyle")
        assert (box["selected"], box["text"]) == (selected, text), style


def test_the_alignment_entries_keep_their_blanks(defaults):
    f, c, p = defaults
    items = child(f, "CboAlignPos")["items"]
    assert items[8:] == ["Left Bottom", "Center  Bottom", "Right  Bottom", "Justify  Bottom"]


def test_an_empty_cols_per_row_applies_zero(defaults):
    f, c, p = defaults
    c.dColsPerRow = 3
    p.select([c])
    assert child(f, "txtdColsPerRow")["text"] == "3"
    f.set_text("txtdColsPerRow", "")
    p.apply()
    assert c.dColsPerRow == 0


def test_the_font_button_changes_the_control_at_once(defaults):
    f, c, p = defaults
    assert child(f, "lbldFontSize")["text"] == "Size: 10"
    dialogs.answer("font", FontName="Courier New", FontSize=14, FontBold=True)
    click(f, "cmdFont")
    shown = dialogs.shown()[-1]
    assert shown["flags"] == 65859
    assert shown["lfFaceName"] == "Arial"
    assert (c.Font.Name, c.Font.Size) == ("Courier New", 14.0), "before any apply"
    assert child(f, "lbldFontName")["text"] == "Courier New"
    assert child(f, "lbldFontSize")["text"] == "Size:14"
    assert child(f, "chkdFontBold")["checked"]
    assert not p.changed
    p.select([c])
    assert child(f, "lbldFontSize")["text"] == "Size: 14"


def test_colours_go_through_the_dialog_and_a_cancel_changes_nothing(defaults):
    f, c, p = defaults
    pen = c.dColPenColor
    dialogs.answer("color", ok=False)
    click(f, "cmdPenColor")
    assert dialogs.shown()[-1]["flags"] == 259
    assert not p.changed
    dialogs.answer("color", Color=0x00FF00)
    click(f, "cmdBrushColor")
    assert p.changed
    assert c.dColBrushColor != 0x00FF00, "the control changes only on apply"
    p.apply()
    assert c.dColBrushColor == 0x00FF00
    assert c.dColPenColor == pen


def test_apply_writes_the_defaults(defaults):
    f, c, p = defaults
    f.choose("CboAlignPos", "Right  Bottom")
    f.choose("cboTextStyle", "Inset")
    f.choose("CboLayoutType", "Uniform")
    f.check("chkdColWordWrap", not c.dColWordWrap)
    f.set_text("txtdColLineTop", "3")
    f.check("chkdFontItalic", True)
    wrap = not c.dColWordWrap
    p.apply()
    assert (c.dColAlignPos, c.dFontStyle, c.dColsLayoutType) == (10, 3, 1)
    assert c.dColWordWrap == wrap
    assert c.dColLineTop == 3
    assert c.Font.Italic


def test_screenshots_of_the_pages(designer, defaults, tmp_path):
    out = os.environ.get("KTFOLIO_SCREENSHOTS", str(tmp_path))
    for (f, _, _), name in ((designer, "designer"), (defaults, "defaults")):
        path = os.path.join(out, f"page_{name}.png")
        f.screenshot(path)
        assert os.path.getsize(path) > 1000
