"""The package documents itself: help(), dir(), inspect and the type stub all
show the published interface, built from the dispatch table."""
import ast
import enum
import inspect
import os
import pydoc
import re

import pytest

import ktfolio


def params_of(cpp_signature):
    """Parameter names and optionality as the dispatch facility prints them:
    "f(a, [b = 1], [out c], d...)" -> [("a", False), ("b", True), ("c", True), ("d", "array")]."""
    inside = re.match(r"\w+\((.*)\)", cpp_signature).group(1)
    out = []
    for part in filter(None, (p.strip() for p in inside.split(","))):
        if part.endswith("..."):
            out.append((part[:-3], "array"))
        elif part.startswith("["):
            out.append((part.strip("[]").split(" = ")[0].removeprefix("out "), True))
        else:
            out.append((part, False))
    return out


def events():
    return [v for v in vars(ktfolio.KtPrint4).values() if isinstance(v, ktfolio.Event)]


def test_every_member_and_event_is_in_dir_and_help(c):
    text = pydoc.render_doc(ktfolio.KtPrint4, renderer=pydoc.plaintext)
    names = list(c.members) + [e.name for e in events()]
    assert {"NewPage", "EnterCell", "LeaveCell", "ClickCell", "BeforeButtonClick"} <= set(names)
    for name in names:
        assert name in dir(c) and name in dir(ktfolio.KtPrint4), name
        doc = inspect.getdoc(getattr(ktfolio.KtPrint4, name))
        assert doc and "\n" not in doc, f"{name} needs a one-line docstring, has {doc!r}"
        assert doc in " ".join(text.split()), f"help() does not show {name}'s description"
    assert dir(c).count("AddRow") == 1, "a member listed twice"

def test_signatures_match_the_dispatch_table(c):
    methods = [(name, cpp) for name, cpp in c.members.items()
               if not isinstance(ktfolio.KtPrint4.__dict__[name], property)]
    assert len(methods) > 15
    for name, cpp in methods:
        sig = inspect.signature(getattr(c, name))
        got = [(p.name, "array" if p.kind is p.VAR_POSITIONAL else p.default is not p.empty)
               for p in sig.parameters.values()]
        assert got == params_of(cpp), name

def test_properties_say_their_type_and_whether_they_are_read_only():
    k = ktfolio.KtPrint4
    for prop, ending in [(k.Pages, "(int, read-only)"), (k.ScaleMode, "(int)"), (k.Font, "(StdFont)")]:
        assert prop.__doc__.endswith(ending), prop.__doc__
    assert k.Pages.fset is None and "face name" in ktfolio.StdFont.Name.__doc__


def test_events_describe_what_a_handler_may_change():
    e = ktfolio.KtPrint4.EnterCell
    assert e.params == ("row", "col", "parea", "Cancel") and e.settable == ("Cancel",)
    with pytest.raises(AttributeError):
        ktfolio.KtPrint4().EnterCell = 1


def test_each_enumeration_is_an_int_enum_whose_members_are_module_constants_too(c):
    expected = {"ppLeftCenter": 4, "s_A4": 9, "Body": 0, "Header": 1, "Footer": 2, "eTwip": 1, "eInch": 5,
                "eMillimetre": 6, "eCentimetre": 7, "s_USER": 256, "s_A3_EXTRA_TRANSVERSE": 68, "ppOutLineFull": 15,
                "ppLineTopBottom": 12, "ppEDGE_ETCHED": 6, "ppBF_MONO": -32768, "ppDFCS_MONO": -32768,
                "ppDFCS_ADJUSTRECT": 8192, "cr_16M_Colors": 24, "sPS_STYLE_MASK": 15, "ppEnterAddCRLF": 3,
                "ppFontInsetHeavy": 4, "First": 0, "Last": 1, "Manual": 0, "Uniform": 1}
    assert {name: getattr(ktfolio, name) for name in expected} == expected
    for type_name, members in ktfolio.enumerations.items():
        cls = getattr(ktfolio, type_name)
        assert issubclass(cls, enum.IntEnum) and cls.__module__ == "ktfolio", type_name
        assert {m: cls[m].value for m in members} == members, type_name
        assert {m: getattr(ktfolio, m) for m in members} == members, type_name
    enums = ktfolio.enumerations  # types taken by no member are published too
    assert (len(enums["ppPositionConstants"]), len(enums["ppOutLineConstants"])) == (12, 15)
    assert enums["ctsPrinterAlign"] == {"eLeft": 0, "eCentre": 1, "eRight": 2, "eJustify": 3}
    assert enums["ctsPrinterChar"] == {"eNone": 0, "eSpace": 1, "eDash": 2, "eLine": 3, "eOops": 4}
    assert ktfolio.ctsPageArea(2) is ktfolio.ctsPageArea.Footer
    c.ScaleMode = ktfolio.ctsPrinterScale.eMillimetre
    assert c.ScaleMode == 6
    c.AddHeaderRow("h")
    assert c.RemoveRows(1, 1, ktfolio.ctsPageArea.Header) is True


def test_an_enumeration_is_one_class_however_it_is_reached():
    import pickle

    area = ktfolio.ctsPageArea
    assert ktfolio.ctsPageArea is area and getattr(ktfolio, "ctsPageArea") is area
    from ktfolio import ctsPageArea
    assert ctsPageArea is area
    star = {}
    exec("from ktfolio import *", star)
    for type_name in ktfolio.enumerations:
        assert star[type_name] is getattr(ktfolio, type_name), type_name
    assert pickle.loads(pickle.dumps(area.Footer)) is area.Footer
    with pytest.raises(AttributeError, match="has no attribute 'ctsNoSuchType'"):
        ktfolio.ctsNoSuchType


def test_test_hooks_and_helpers_stay_out_of_the_public_namespace():
    from ktfolio import _testing

    assert callable(_testing.layout)
    public = set(dir(ktfolio))
    assert not public & {"_testing", "_ktfolio", "enum", "inspect", "typing"}
    assert {"KtPrint4", "StdFont", "ctsPageArea", "Header", "__version__"} <= public


def stub():
    with open(os.path.join(os.path.dirname(ktfolio.__file__), "__init__.pyi"), encoding="utf-8") as f:
        return ast.parse(f.read())


def test_the_stub_declares_what_the_package_publishes(c):
    classes = {n.name: n for n in stub().body if isinstance(n, ast.ClassDef)}
    body = classes["KtPrint4"].body
    declared = {n.name: n for n in body if isinstance(n, ast.FunctionDef)}
    declared.update({n.target.id: n for n in body if isinstance(n, ast.AnnAssign)})
    for name in c.members:
        assert name in declared, f"the stub lacks {name}"
        member = ktfolio.KtPrint4.__dict__[name]
        if isinstance(member, property):
            read_only = isinstance(declared[name], ast.FunctionDef)
            assert read_only == (member.fset is None), name
        else:
            args = declared[name].args
            names = [a.arg for a in args.args[1:]] + ([args.vararg.arg] if args.vararg else [])
            assert names == list(inspect.signature(getattr(c, name)).parameters), name
    assert [e.name for e in events() if e.name not in declared] == [], "events the stub lacks"
    assert [t for t in ktfolio.enumerations if t not in classes] == [], "enumerations the stub lacks"
