"""Hostile Python values: every conversion ends in a documented exception or a
recorded error, and a failed call leaves the document as it was."""
import math

import pytest

import ktfolio

from conftest import texts

TYPE_MISMATCH = 13


def error_number(c):
    return c.GetLastError()[1]


def deep(n):
    v = "x"
    for _ in range(n):
        v = [v]
    return v


def cyclic():
    x = []
    x.append(x)
    return x


@pytest.mark.parametrize("value, error, words", [
    (cyclic(), ValueError, "contains itself"),
    ([1, [2, cyclic()]], ValueError, "contains itself"),
    (deep(40000), ValueError, "nested more than 32"),
    (deep(33), ValueError, "nested more than 32"),
    ("\ud800", ValueError, "lone surrogate"),
    (["ok", "a\udfffb"], ValueError, "lone surrogate"),
    (10**400, OverflowError, "too large"),
    (-(10**400), OverflowError, "too large"),
    (object(), TypeError, "cannot be passed"),
], ids=["cycle", "nested cycle", "40000 deep", "33 deep", "surrogate", "surrogate in list", "huge",
        "-huge", "object"])
def test_a_value_without_a_variant_form_raises_a_documented_error_naming_the_argument(c, value, error, words):
    with pytest.raises(error, match=words) as caught:
        c.AddRow("a", value)
    assert "AddRow() argument 2" in str(caught.value)
    with pytest.raises(error, match=words):
        c.SetProperty(1, 1, "Text", value)
    with pytest.raises(error, match="KtPrint4.sText"):
        c.sText = value
    assert c.LastRow == 0 and c.GetLastError()[0] is False, "the control was never called"


def test_the_documented_limits_are_the_real_ones(c):
    assert "nested more than 32" in ktfolio.__doc__ and "OverflowError" in ktfolio.__doc__
    assert c.AddRow("a", deep(31)) is False, "31 levels convert; the control then refuses a list as text"
    assert error_number(c) == TYPE_MISMATCH
    assert c.AddRow(2**31, 10**300, -(2**63)) is True, "ints beyond a Long travel as Doubles"
    assert texts(c, 1) == ["2147483648", "1E+300", "-9.22337203685478E+18"]


def test_keyword_names_and_values_are_converted_the_same_way(c):
    with pytest.raises(ValueError, match="lone surrogate"):
        c.RemoveRows(**{"RowFrom\ud800": 1})
    with pytest.raises(ValueError, match="RemoveRows\\(\\) argument RowTo"):
        c.RemoveRows(RowFrom=1, RowTo="\udc00")


def test_bytes_are_no_text_and_infinity_is_a_number(c):
    assert c.AddRow("a", b"x", "c") is False and error_number(c) == TYPE_MISMATCH and c.LastRow == 0
    assert c.AddRow("a", float("inf"), "c") is True, "infinity is a number and reads as text"


@pytest.mark.parametrize("size", [1e30, math.inf, math.nan, 1e6])
def test_fonts_of_sizes_beyond_the_limit_cannot_be_made(size):
    with pytest.raises(TypeError, match="error [56]"):
        ktfolio.StdFont(Size=size)
