import itertools
import os
import sys

import pytest

# Running pytest by hand from the source tree: find the module in the usual build directory.
_build_python = os.path.join(os.path.dirname(__file__), "..", "..", "build", "python")
if "PYTHONPATH" not in os.environ and os.path.isdir(_build_python):
    sys.path.insert(0, os.path.abspath(_build_python))

import ktfolio  # noqa: E402


@pytest.fixture
def c():
    return ktfolio.KtPrint4()


@pytest.fixture
def fixed(c):
    """A control whose new rows keep a height of 300 twips whatever their text."""
    c.dFitHeightToText = False
    c.dRowHeight = 300
    return c


def texts(control, row, area=ktfolio.Body):
    """The texts of a row's cells, read back by name."""
    values = (control.GetProperty(row, col, "Text", area) for col in itertools.count(1))
    return list(itertools.takewhile(lambda v: v is not False, values))
