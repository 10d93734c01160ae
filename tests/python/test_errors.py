import ktfolio


def test_a_new_control_has_no_error(c):
    assert c.GetLastError() == (False, None, None, None)


def test_the_record_keeps_the_last_error_until_cleared(c):
    c.SetProperty(1, 1, "Nope", 1)
    c.GetProperty(1, 1, "Nope")
    first = c.GetLastError()
    assert first == (True, 60108, "No valid Property Name", "Get Property")
    assert c.GetLastError() == first, "reading does not clear"
    c.ClearError()
    assert c.GetLastError() == (False, None, None, None)
    c.AddRow("a")
    c.SetTextRow(3, ktfolio.Body, "x")
    assert c.GetLastError() == (True, 60109, "Could'n add new row", "Setting Text Row")


def test_by_reference_arguments_are_left_untouched_when_nothing_is_recorded(c):
    assert c.GetLastError(5, "d", "s") == (False, 5, "d", "s")
    c.GetProperty(1, 1, "Nope")
    assert c.GetLastError(5, "d", "s") == (True, 60108, "No valid Property Name", "Get Property")


def test_failures_are_never_raised(c):
    assert c.RemoveRows(1, 1, 9) is False
    assert c.GetLastError()[0] is True
    c.ClearError()
    c.SetEdge(1, 1, 5, 15, 3)
    c.SetFrameControl(1, 1, 1, 1, 1, 3)
    c.SetGuideRow(1, 3)
    assert c.GetProperty(1, 1, "Text", 3) is False
    assert c.GetLastError()[0] is True
