"""Every callable of the module, and every method and property of its classes, called with
hostile keyword names and values: each ends in a documented exception (TypeError, ValueError,
OverflowError, AttributeError, or the module's own), never an abort, a RuntimeError or an
IndexError. The walk runs in a child process, so an abort fails the test instead of pytest."""
import os
import subprocess
import sys

WALK = r'''
import sys, ktfolio
from ktfolio import _testing

ALLOWED = (TypeError, ValueError, OverflowError, AttributeError, ktfolio.KtError, ktfolio.ObjectError)
HOSTILE_KEYWORDS = [{"\ud800": 1}, {"x\udfff": "y"}]
HOSTILE_VALUES = ["\ud800", 2**64, -(2**63) - 1, object(), 10**400]
# Members that wait for a person or send a job out; their arguments are checked before they do.
WAITS = {"run", "PrintDoc", "ShowColor", "ShowFont", "ShowOpen", "ShowSave", "ShowPrinter", "ShowHelp"}

def make(cls):
    if cls is ktfolio.Form:
        return ktfolio.Form(200, 100)
    if cls is ktfolio.PropertyPage:
        return ktfolio.PropertyPage("Defaults", form=ktfolio.Form(400, 300))
    return cls()

def ours(cls, name):
    return any(name in vars(k) for k in cls.__mro__ if k.__module__ == "ktfolio")

def attempt(label, call):
    try:
        call()
    except ALLOWED:
        pass
    except BaseException as e:
        print(f"LEAK {label}: {type(e).__name__}: {e}", flush=True)

def calls(target, label):
    for kw in HOSTILE_KEYWORDS:
        attempt(f"{label}(**{kw!r})", lambda: target(**kw))
    for v in HOSTILE_VALUES:
        attempt(f"{label}({v!r:.40})", lambda: target(v))
        attempt(f"{label}(x={v!r:.40})", lambda: target(x=v))

modules = [ktfolio, ktfolio.dialogs, _testing]
for mod in modules:
    for name in sorted(dir(mod)):
        obj = getattr(mod, name)
        if name in WAITS or isinstance(obj, type) or not callable(obj):
            continue
        calls(obj, f"{mod.__name__}.{name}")

classes = [ktfolio.KtPrint4, ktfolio.KtText, ktfolio.KtBoton, ktfolio.KtMarco, ktfolio.StdFont,
           ktfolio.clsCommonDialog, ktfolio.Form, ktfolio.PropertyPage]
for cls in classes:
    calls(cls, cls.__name__)
    for name in sorted(dir(cls)):
        if name in WAITS or not ours(cls, name) or name in ("__new__", "__class__"):
            continue
        attr = getattr(cls, name)
        if isinstance(attr, property):
            calls(lambda *a, **k: attr.fget(make(cls), *a, **k), f"{cls.__name__}.{name}.fget")
            for v in HOSTILE_VALUES:
                attempt(f"{cls.__name__}.{name} = {v!r:.40}", lambda: setattr(make(cls), name, v))
        elif callable(attr):
            calls(lambda *a, **k: getattr(make(cls), name)(*a, **k), f"{cls.__name__}.{name}")
print("walked", flush=True)
'''


def test_no_callable_aborts_or_leaks_an_undocumented_exception(tmp_path):
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    done = subprocess.run([sys.executable, "-c", WALK], cwd=tmp_path, env=env, capture_output=True, text=True,
                          timeout=600)
    leaks = [line for line in done.stdout.splitlines() if line.startswith("LEAK")]
    assert done.returncode == 0, done.stderr[-2000:]
    assert leaks == []
    assert done.stdout.rstrip().endswith("walked")
