#!/usr/bin/env python3
"""Writes the type stub of the ktfolio package (ktfolio/__init__.pyi).

Usage: make_stub.py OUTPUT

It imports the built package and describes what the package built from the
dispatch table at import: the same signatures help() and inspect show, so the
stub can never disagree with them.
"""
import enum
import inspect
import os
import re
import sys
import types
import typing

# This script sits beside the package's sources, which are not the built
# package: import the one on PYTHONPATH.
_here = os.path.dirname(os.path.abspath(__file__))
sys.path = [p for p in sys.path if os.path.abspath(p or os.curdir) != _here]

import ktfolio  # noqa: E402

HEADER = '''\
# The ktfolio package's types, generated at build time from the published
# interface by python/make_stub.py. Do not edit: rebuild instead.
import enum
import os
from os import PathLike
from typing import Any, ClassVar, Iterable, Optional

__version__: str
enumerations: dict[str, dict[str, int]]

class DispatchObject:
    """{dispatch_doc}"""
    @property
    def members(self) -> dict[str, str]: ...

class Method:
    """{method_doc}"""
    @property
    def name(self) -> str: ...
    @property
    def signature(self) -> str: ...
    def __call__(self, *args: Any, **kwargs: Any) -> Any: ...

class EventArgs:
    """{eventargs_doc}"""
    @property
    def event(self) -> str: ...
    def __getattr__(self, name: str) -> Any: ...
    def __setattr__(self, name: str, value: Any) -> None: ...

class Form:
    """{form_doc}"""
    def __init__(self, width: int, height: int) -> None: ...
    width: int
    height: int
    visible: bool
    def show(self) -> None: ...
    def hide(self) -> None: ...
    def resize(self, width: int, height: int) -> None: ...
    def pump(self, milliseconds: int = 0) -> None: ...
    def click(self, x: int, y: int, button: int = 1) -> None: ...
    def double_click(self, x: int, y: int) -> None: ...
    def mouse_move(self, x: int, y: int) -> None: ...
    def mouse_down(self, x: int, y: int, button: int = 1) -> None: ...
    def mouse_up(self, x: int, y: int, button: int = 1) -> None: ...
    def key(self, vk: int, shift: bool = False, ctrl: bool = False, alt: bool = False) -> None: ...
    def type(self, text: str) -> None: ...
    def run(self) -> None: ...
    def close(self) -> None: ...
    def screenshot(self, path: str | bytes | os.PathLike[str] | os.PathLike[bytes]) -> None: ...
    def controls(self) -> list[dict[str, Any]]: ...
    def choose(self, name: str, text: str) -> None: ...
    def check(self, name: str, on: bool = True) -> None: ...
    def set_text(self, name: str, text: str) -> None: ...
    released: bool
    def release(self) -> None:
        """{form_release_doc}"""
    def __enter__(self) -> Form: ...
    def __exit__(self, *exc: Any) -> bool: ...

class ObjectError(RuntimeError):
    number: int
    description: str
    source: str

class KtError(Exception):
    """{kterror_doc}"""
    number: int
    description: str
    source: str

class EventWarning(UserWarning):
    """{eventwarning_doc}"""

def set_raise_errors(on: bool) -> bool:
    """{set_raise_errors_doc}"""
def get_raise_errors() -> bool: ...

class PropertyPage:
    """{page_doc}"""
    def __init__(self, kind: str, *, form: Form) -> None: ...
    changed: bool
    @property
    def caption(self) -> str: ...
    @property
    def last_failure(self) -> str: ...
    def select(self, objects: list[DispatchObject]) -> None: ...
    def apply(self) -> None: ...
    def ok(self) -> None: ...
    def cancel(self) -> None: ...

class dialogs:
    @staticmethod
    def answer(kind: str, ok: bool = True, **values: Any) -> None: ...
    @staticmethod
    def pending() -> list[str]: ...
    @staticmethod
    def shown() -> list[dict[str, Any]]: ...
    @staticmethod
    def reset() -> None: ...

def printers() -> list[str]: ...
def pdf_printer_output() -> str: ...
def set_pdf_printer_output(path: str | bytes | os.PathLike[str] | os.PathLike[bytes]) -> None: ...

def register_component(progid: str, factory: Any) -> None: ...
def unregister_component(progid: str) -> bool: ...

def live_windows() -> int: ...
def live_timers() -> int: ...
def live_gdi_objects() -> int: ...
def use_gtk() -> bool: ...

class Event:
    """{event_doc}"""
    name: str
    params: tuple[str, ...]
    settable: tuple[str, ...]
    types: dict[str, Any]
    signature: str
'''


def type_text(t):
    if t is None or t is type(None):
        return "None"
    if t is typing.Any:
        return "Any"
    if isinstance(t, type) and not isinstance(t, types.GenericAlias):
        return t.__name__
    if isinstance(t, types.UnionType):
        return " | ".join(type_text(a) for a in t.__args__)
    if isinstance(t, types.GenericAlias):
        return f"{t.__origin__.__name__}[{', '.join(type_text(a) for a in t.__args__)}]"
    raise TypeError(f"no stub spelling for {t!r}")


def one_line(text):
    return " ".join((text or "").split()).replace('"""', "'''")


def parameter_text(p):
    s = ("*" if p.kind is p.VAR_POSITIONAL else "") + p.name
    if p.annotation is not p.empty:
        s += f": {type_text(p.annotation)}"
    if p.default is not p.empty:
        s += f" = {p.default!r}"
    return s


def signature_text(sig):
    parts = []
    star_seen = False
    for p in sig.parameters.values():
        if p.kind is p.KEYWORD_ONLY and not star_seen:
            parts.append("*")
            star_seen = True
        if p.kind is p.VAR_POSITIONAL:
            star_seen = True
        parts.append(parameter_text(p))
    return f"({', '.join(parts)}) -> {type_text(sig.return_annotation)}"


def bound_signature(func):
    """A pybind11 function's signature from the first line of its docstring."""
    first = (func.__doc__ or "").splitlines()[0]
    m = re.match(r"\w+\((.*)\) -> (.+)$", first)
    if not m:
        raise ValueError(f"cannot read the signature of {func!r}: {first!r}")
    params, result = m.groups()
    params = re.sub(r"^self: [\w.]+", "self", params)
    text = f"({params}) -> {result}"
    text = re.sub(r"\bOptional\[(\w+)\]", r"\1 | None", text)  # the stub imports no Optional
    text = re.sub(r"\bdict\b(?!\[)", "dict[str, Any]", text)  # property bags: names to values
    text = re.sub(r"\bIterable\b(?!\[)", "Iterable[Iterable[Any]]", text)  # rows of items (AddRows)
    return re.sub(r"\bktfolio\.(_ktfolio\.)?", "", text).replace("object", "Any")


def function_stub(name, signature, doc):
    # A docstring is the body of a stub function.
    return [f"    def {name}{signature}:", f'        """{one_line(doc)}"""']


def class_stub(cls, extra_methods):
    lines = [f"class {cls.__name__}(DispatchObject):", f'    """{one_line(cls.__doc__)}"""']
    lines.append(f"    def __init__{bound_signature(cls.__init__)}: ...")
    for name in extra_methods:
        func = getattr(cls, name)
        lines += function_stub(name, bound_signature(func), func.__doc__.split("\n", 1)[-1])
    if hasattr(cls, "release"):
        # Every control: its error mode, and release as a context manager.
        lines += function_stub("release", "(self) -> None", cls.release.__doc__.split("\n", 1)[-1])
        lines += ["    @property", "    def released(self) -> bool: ...", "    @property",
                  "    def raise_errors(self) -> bool: ...",
                  f"    def __enter__(self) -> {cls.__name__}: ...",
                  "    def __exit__(self, *exc: Any) -> bool: ..."]
    for name, value in cls.__dict__.items():
        if isinstance(value, property) and value.fget and value.fget.__module__ == "ktfolio":
            value_type = type_text(value.fget.__annotations__["return"])
            if value.fset is None:
                lines.append("    @property")
                lines += function_stub(name, f"(self) -> {value_type}", value.__doc__)
            else:
                lines.append(f"    {name}: {value_type}")
                lines.append(f'    """{one_line(value.__doc__)}"""')
        elif inspect.isfunction(value) and value.__module__ == "ktfolio":
            lines += function_stub(name, signature_text(inspect.signature(value)), value.__doc__)
        elif isinstance(value, ktfolio.Event):
            lines.append(f"    {name}: ClassVar[Event]")
            lines.append(f'    """{one_line(value.__doc__)}"""')
    return "\n".join(lines) + "\n"


def enum_stub(name, members):
    lines = [f"class {name}(enum.IntEnum):"]
    lines += [f"    {member} = {value}" for member, value in members.items()]
    return "\n".join(lines) + "\n"


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    parts = [
        HEADER.format(
            dispatch_doc=one_line(ktfolio.DispatchObject.__doc__),
            method_doc=one_line(ktfolio.Method.__doc__),
            eventargs_doc=one_line(ktfolio.EventArgs.__doc__),
            event_doc=one_line(ktfolio.Event.__doc__),
            form_doc=one_line(ktfolio.Form.__doc__),
            page_doc=one_line(ktfolio.PropertyPage.__doc__),
            form_release_doc=one_line(ktfolio.Form.release.__doc__.split("\n", 1)[-1]),
            kterror_doc=one_line(ktfolio.KtError.__doc__),
            eventwarning_doc=one_line(ktfolio.EventWarning.__doc__),
            set_raise_errors_doc=one_line(ktfolio.set_raise_errors.__doc__.split("\n", 1)[-1]),
        ),
        class_stub(ktfolio.StdFont, []),
        class_stub(ktfolio.KtPrint4, ["connect", "disconnect", "SaveProperties", "AddRows"]),
        class_stub(ktfolio.KtText, ["connect", "disconnect"]),
        class_stub(ktfolio.KtBoton, ["connect", "disconnect"]),
        class_stub(ktfolio.KtMarco, ["connect", "disconnect"]),
        class_stub(ktfolio.clsCommonDialog, []),
    ]
    for name, members in ktfolio.enumerations.items():
        assert issubclass(getattr(ktfolio, name), enum.IntEnum), name
        parts.append(enum_stub(name, members))
    constants = [f"{member}: int" for members in ktfolio.enumerations.values() for member in members]
    constants += [f"{name}: int" for name in dir(ktfolio) if name.startswith("VK_")]
    parts.append("\n".join(dict.fromkeys(constants)) + "\n")
    text = "\n".join(parts)
    with open(argv[1], "w", encoding="utf-8") as out:
        out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
