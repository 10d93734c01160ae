import pytest

import ktfolio

def test_by_reference_arguments_stay_as_given_without_a_record_and_repr_shows_it(c):
    assert c.GetLastError(5, "d", "s") == (False, 5, "d", "s")
    c.AddHeaderRow("h")
    c.AddRow("a")
    c.AddRow("b")
    assert repr(c) == "<ktfolio.KtPrint4 pages=1 rows=2 header=1 footer=0 last_error=None>"
    c.GetProperty(1, 1, "Nope")
    assert c.GetLastError(5, "d", "s") == (True, 60108, "No valid Property Name", "Get Property")
    c.Preview(4)
    assert repr(c).endswith("last_error=(60107, 'Page out of range', 'Previewing')>")

def test_raise_errors_turns_each_recorded_failure_into_kt_error_and_keeps_the_record():
    c = ktfolio.KtPrint4(raise_errors=True)
    assert c.raise_errors is True
    with pytest.raises(ktfolio.KtError, match="Preview") as caught:
        c.Preview(0)
    assert (caught.value.number, caught.value.description, caught.value.source) == (
        60107, "Page out of range", "Previewing")
    assert c.GetLastError() == (True, 60107, "Page out of range", "Previewing"), "the record stays"
    assert c.AddRow("a") is True, "a call that records nothing raises nothing, even with an old record"
    with pytest.raises(ktfolio.KtError):
        c.MarginTop = float("nan")  # property sets are calls too
    with pytest.raises(ktfolio.KtError) as again:
        c.GetProperty(1, 1, "Nope")
    assert again.value.number == 60108 and isinstance(again.value, Exception)
    with pytest.raises(ktfolio.KtError, match="60107"):
        c.to_png(5)  # bytes out are calls too


def test_the_module_default_applies_to_controls_made_afterwards():
    before = ktfolio.KtPrint4()
    assert ktfolio.set_raise_errors(True) is False
    try:
        after, chosen = ktfolio.KtPrint4(), ktfolio.KtPrint4(raise_errors=False)
    finally:
        assert ktfolio.set_raise_errors(False) is True
    assert (before.raise_errors, after.raise_errors, chosen.raise_errors) == (False, True, False)
    with pytest.raises(ktfolio.KtError):
        after.Preview(9)
    assert chosen.Preview(9) is None and chosen.GetLastError()[1] == 60107

