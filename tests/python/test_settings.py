import pytest

import ktfolio


def test_new_control_starts_with_the_documented_values(c):
    assert (c.ScaleMode, c.PageSize, c.Orientation) == (ktfolio.eTwip, ktfolio.s_A4, ktfolio.Portrait)
    assert (c.PaperWidth, c.PaperLength) == (11905.0, 16837.0)
    assert (c.Marginleft, c.MarginRight, c.MarginTop, c.MarginBottom) == (1440.0,) * 4
    assert (c.MarginHeader, c.MarginFooter) == (500.0, 1000.0)
    assert (c.dRowIndentTop, c.dRowIndentBottom, c.dRowHeight) == (80.0, 80.0, 300.0)
    assert (c.dColIndentFirst, c.dColIndentLeft, c.dColIndentRight) == (0.0, 80.0, 80.0)
    assert c.dColShadowColor == 0x8000000F and c.dColShadowHeavyColor == 0x8000000F
    assert (c.dColBrushColor, c.dColPenColor, c.dFontColor) == (0xFFFFFF, 0, 0)
    assert c.dColAlignPos == ktfolio.ppLeftCenter
    assert (c.dFitHeightToText, c.dColClipping, c.dColWordWrap, c.dInheritLastRow) == (True,) * 4
    assert (c.dColFillCell, c.ShowGuideLines) == (False, False)
    assert (c.ShowToolBar, c.ShowPrintDlg) == (True, True)
    assert c.ColorResolution == ktfolio.cr_256_Colors
    assert c.EditEnterAction == ktfolio.ppEnterAddCRLF
    assert (c.PrinterName, c.sText) == ("", "")
    assert (c.Pages, c.LastRow, c.StartBodyRow, c.EndBodyRow) == (1, 0, 0, 0)
    font = c.Font
    assert (font.Name, font.Size, font.Bold) == ("Arial", 10.0, False)


def test_scale_mode_rescales_every_length(c):
    c.ScaleMode = ktfolio.eInch
    assert c.Marginleft == 1.0 and c.MarginTop == 1.0
    c.ScaleMode = ktfolio.eMillimetre
    assert c.Marginleft == 25.4
    c.PageSize = ktfolio.s_A4
    c.PageSize = ktfolio.s_A5
    assert (c.PaperWidth, c.PaperLength) == (148.0, 210.0)
    c.PageSize = ktfolio.s_A4
    assert (c.PaperWidth, c.PaperLength) == (210.0, 297.0)
    c.dRowHeight = 10
    c.ScaleMode = ktfolio.eTwip
    assert c.dRowHeight == 566.0


def test_paper_width_is_taken_only_for_a_user_paper(fixed):
    c = fixed
    c.AddRow("x")
    c.PaperWidth = 5000
    assert c.PaperWidth == 11905.0
    c.PageSize = ktfolio.s_USER
    assert c.PaperWidth == 11905.0, "a user paper keeps the current size"
    c.PaperLength = 1440 * 2 + 600
    c.AddRow("y")
    c.AddRow("z")
    assert c.Pages == 2, "the shorter paper holds two 300-twip rows per page"


def test_orientation_swaps_the_page_but_not_the_paper(fixed):
    c = fixed
    c.Orientation = ktfolio.Landscape
    assert (c.PaperWidth, c.PaperLength) == (11905.0, 16837.0)
    c.MarginTop = 0
    c.MarginBottom = 0
    for _ in range(40):
        c.AddRow("r")
    # 11905 twips of landscape height hold 39 rows of 300 twips.
    assert c.Pages == 2
    c.Orientation = ktfolio.Portrait
    c.RePaging()
    assert c.Pages == 1


def test_font_copies_its_attributes_into_the_defaults_of_new_rows(c):
    c.dInheritLastRow = False  # otherwise new rows copy the cells of the last one
    c.AddRow("before")
    bold = ktfolio.StdFont(Name="Times New Roman", Size=12, Bold=True)
    c.Font = bold
    assert c.Font is bold
    c.AddRow("after")
    assert c.GetProperty(1, 1, "FontBold") is False
    assert c.GetProperty(1, 1, "FontSize") == 10.0
    assert c.GetProperty(2, 1, "FontBold") is True
    assert c.GetProperty(2, 1, "FontSize") == 12.0
    assert c.GetProperty(2, 1, "FontName") == "Times New Roman"
    with pytest.raises(TypeError):
        c.Font = "Arial"


def test_colours_read_as_unsigned_and_accept_either_form(c):
    c.dColBrushColor = 0x80000005
    assert c.dColBrushColor == 0x80000005
    c.dColBrushColor = -2147483643  # the same colour as a signed Long
    assert c.dColBrushColor == 0x80000005
    c.dFontColor = 0x0000FF
    c.AddRow("red")
    assert c.GetProperty(1, 1, "FontColor") == 0xFF


def test_setters_convert_values_the_way_variants_do(c):
    c.dColsPerRow = "3"
    assert c.dColsPerRow == 3
    c.dColsPerRow = 2.5  # rounds half to even
    assert c.dColsPerRow == 2
    c.ShowToolBar = 0
    assert c.ShowToolBar is False
    c.PrinterName = 42
    assert c.PrinterName == "42"


def test_values_that_cannot_be_assigned_raise_and_change_nothing(c):
    with pytest.raises(TypeError):
        c.ScaleMode = "millimetres"
    with pytest.raises(TypeError):
        c.dColLineTop = 40000  # an Integer property
    with pytest.raises(TypeError):
        c.dColsPerRow = [1, 2]
    with pytest.raises(TypeError):
        c.dColsPerRow = object()
    assert (c.ScaleMode, c.dColLineTop, c.dColsPerRow) == (1, 0, 1)


def test_active_area_selects_the_collection_of_stext_and_active_row(c):
    c.AddRow("b1")
    c.AddRow("b2")
    c.AddHeaderRow("h1")
    assert c.ActiveArea == ktfolio.Header
    assert c.ActiveRow == 1
    c.sText = "header text"
    c.ActiveArea = ktfolio.Body
    assert c.ActiveRow == 2
    assert c.sText == ""
    c.ActiveArea = ktfolio.Header
    assert c.sText == "header text"
