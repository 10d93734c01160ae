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


def texts(control, row, area=ktfolio.Body):
    """The texts of a row's cells, read back by name."""
    values = (control.GetProperty(row, col, "Text", area) for col in itertools.count(1))
    return list(itertools.takewhile(lambda v: v is not False, values))


def child(form, name):
    """A form's child window found by member name."""
    return next(c for c in form.controls() if c["name"] == name)


def click(form, name):
    x, y, w, h = child(form, name)["rect"]
    form.click(x + w // 2, y + h // 2)
