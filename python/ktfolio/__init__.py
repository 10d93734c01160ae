# The ktfolio package: the compiled module (_ktfolio) plus what makes it
# document itself. Every published member is put on its class as a property or
# a function with a signature and a one-line docstring, and every event as a
# described attribute, all built from the dispatch table at import; so help(),
# dir() and inspect show the interface, and members published later appear
# without a line here. Each enumeration is also an enum.IntEnum.
import enum as _enum
import inspect as _inspect
import os as _os
import typing as _typing

from . import _ktfolio
from ._ktfolio import DispatchObject, EventArgs, Form, KtPrint4, KtText, Method, StdFont, __version__, enumerations
from ._ktfolio import EventWarning, KtBoton, KtError, KtMarco, get_raise_errors, set_raise_errors
from ._ktfolio import ObjectError, PropertyPage, clsCommonDialog, dialogs, register_component, unregister_component
from ._ktfolio import pdf_printer_output, printers, set_pdf_printer_output

__doc__ = _ktfolio.__doc__

# How a published type reads in Python.
_PYTHON_TYPES: dict = {
    "Variant": _typing.Any,
    "Boolean": bool,
    "Integer": int,
    "Long": int,
    "Color": int,
    "Single": float,
    "Double": float,
    "String": str,
    "Object": DispatchObject,
}

_lookup = DispatchObject.__getattr__

# Parameters that name a file take what open() takes.
_FILE_PARAMETERS = {"TemplateName", "file"}
_PATH = str | bytes | _os.PathLike[str] | _os.PathLike[bytes]


def _python_type(param_or_member):
    return _PYTHON_TYPES[param_or_member["type"]]


def _parameter(p, kind):
    annotation = _PATH if p["name"] in _FILE_PARAMETERS and p["type"] == "String" else _python_type(p)
    if p["paramarray"]:
        return _inspect.Parameter(p["name"], _inspect.Parameter.VAR_POSITIONAL, annotation=annotation)
    if p["byref"] and p["optional"] and p["default"] is None:
        # An omitted result argument: nothing goes in, the value comes back.
        return _inspect.Parameter(p["name"], kind, default=None, annotation=annotation | None)
    if p["optional"]:
        return _inspect.Parameter(p["name"], kind, default=p["default"], annotation=annotation)
    return _inspect.Parameter(p["name"], kind, annotation=annotation)


def _result_type(member):
    result = _python_type(member) if member["has_result"] else None
    outs = [p for p in member["params"] if p["byref"] and not p["paramarray"]]
    if not outs:
        return result
    out_types = [_python_type(p) | None if p["optional"] else _python_type(p) for p in outs]
    if not member["has_result"]:
        # A procedure gives back only what it wrote: one value, or a tuple of them.
        return out_types[0] if len(out_types) == 1 else tuple.__class_getitem__(tuple(out_types))
    # By-reference results follow the function's result in a tuple.
    return tuple.__class_getitem__(tuple([result] + out_types))


def _signature(member):
    params = [_inspect.Parameter("self", _inspect.Parameter.POSITIONAL_OR_KEYWORD)]
    kind = _inspect.Parameter.POSITIONAL_OR_KEYWORD
    for p in member["params"]:
        params.append(_parameter(p, kind))
        if p["paramarray"]:
            kind = _inspect.Parameter.KEYWORD_ONLY
    return _inspect.Signature(params, return_annotation=_result_type(member))


def _summary(owner, item, what):
    return item["doc"] or f"The {item['name']} {what} of {owner}."


_call = _ktfolio._call
_call_items = _ktfolio._call_items


def _method(owner, member, index):
    name = member["name"]
    params = member["params"]

    # Straight to the member by its place in the table: no look-up by name per call.
    if len(params) == 1 and params[0]["paramarray"]:
        # An item list (AddRow and its kin): the items as they came, when no keyword is given.
        def method(self, *args, **kwargs):
            if kwargs:
                return _call(self, index, name, *args, **kwargs)
            return _call_items(self, index, args)
    else:
        def method(self, *args, **kwargs):
            return _call(self, index, name, *args, **kwargs)

    method.__name__ = name
    method.__qualname__ = f"{owner}.{name}"
    method.__module__ = __name__
    method.__signature__ = _signature(member)
    method.__doc__ = _summary(owner, member, "method")
    method.signature = member["signature"]
    return method


def _property(owner, member, value_type):
    name = member["name"]

    def get(self):
        return _lookup(self, name)

    def put(self, value):
        setattr(self, name, value)

    get.__annotations__ = {"return": value_type}
    access = "" if member["writable"] else ", read-only"
    doc = f"{_summary(owner, member, 'property')} ({_type_text(value_type)}{access})"
    return property(get, put if member["writable"] else None, None, doc)


def _type_text(t):
    if t is _typing.Any:
        return "Any"
    return t.__name__ if isinstance(t, type) else str(t)


class Event:
    """An event a control raises: connect a handler whose method of this name
    takes one EventArgs (c.connect(handler)). Parameters marked settable may be
    assigned by the handler, and the control sees the new value."""

    def __init__(self, owner, event):
        self.name = event["name"]
        self.params = tuple(p["name"] for p in event["params"])
        self.settable = tuple(p["name"] for p in event["params"] if p["byref"])
        self.types = {p["name"]: _python_type(p) for p in event["params"]}
        args = ", ".join(f"{p['name']}: {_type_text(_python_type(p))}" + (" [settable]" if p["byref"] else "")
                         for p in event["params"])
        self.signature = f"{self.name}({args})"
        self.__doc__ = f"Event {self.signature}: {_summary(owner, event, 'event')}"

    # A data descriptor, so that help() lists events with their descriptions.
    def __get__(self, instance, owner=None):
        return self

    def __set__(self, instance, value):
        raise AttributeError(f"cannot assign to event {self.name}")

    def __repr__(self):
        return f"<event {self.signature}>"


def _document(cls, sample):
    table = _ktfolio._describe(sample)
    owner = table["type"]
    for index, member in enumerate(table["members"]):
        if member["kind"] == "method":
            setattr(cls, member["name"], _method(owner, member, index))
        else:
            value_type = _python_type(member)
            if member["type"] == "Object":
                # The class an object property holds is the class of what it holds now.
                value_type = type(getattr(sample, member["name"]))
            setattr(cls, member["name"], _property(owner, member, value_type))
    for event in table["events"]:
        setattr(cls, event["name"], Event(owner, event))
    cls.__module__ = __name__


_document(KtPrint4, KtPrint4())
_document(StdFont, StdFont())
_document(KtText, KtText())
_document(KtBoton, KtBoton())
_document(KtMarco, KtMarco())
_document(clsCommonDialog, clsCommonDialog())
for _cls in (DispatchObject, EventArgs, EventWarning, Form, KtError, Method, ObjectError, PropertyPage):
    _cls.__module__ = __name__

# Pages as bytes, and the pictures a notebook shows for a control.
_REPR_DPI = 48  # a thumbnail: an A4 page is 397 x 561 pixels


def _page_span(control, pages):
    if pages is None:
        return 1, control.Pages
    if isinstance(pages, range):
        if pages.step != 1 or not pages:
            raise ValueError(f"pages must be a non-empty range with step 1, not {pages!r}")
        return pages.start, pages.stop - 1
    if isinstance(pages, int) and not isinstance(pages, bool):
        return pages, pages
    if isinstance(pages, (tuple, list)) and len(pages) == 2 and all(
            isinstance(p, int) and not isinstance(p, bool) for p in pages):
        return pages[0], pages[1]
    raise TypeError(f"pages must be None, a page number, a (first, last) pair or a range, not {pages!r}")


def to_pdf(self, pages: int | tuple[int, int] | range | None = None) -> bytes:
    """The document as the bytes of a PDF file, the same ExportPdf writes; pages
    picks some: one page number, a (first, last) pair or a range. A page outside
    the document gives b'' with the error recorded (GetLastError), or KtError
    with raise_errors."""
    first, last = _page_span(self, pages)
    return _ktfolio._pdf_bytes(self, first, last)


def to_png(self, page: int, dpi: float = 96, shadow: bool = False) -> bytes:
    """One page as the bytes of a PNG file at dpi dots per inch (10 to 600),
    the same ExportPngDpi writes: the paper alone, or with the preview's drop
    shadow. A bad page or dpi gives b'' with the error recorded (GetLastError),
    or KtError with raise_errors."""
    return _ktfolio._png_bytes(self, page, dpi, shadow)


def _repr_png_(self) -> bytes | None:
    """The first page, small, for notebooks."""
    return _ktfolio._png_bytes(self, 1, _REPR_DPI, False) or None


def _repr_mimebundle_(self, include: _typing.Any = None, exclude: _typing.Any = None) -> dict[str, _typing.Any]:
    """What a notebook shows for the control: its first page and its repr."""
    bundle = {"text/plain": repr(self)}
    png = self._repr_png_()
    if png:
        bundle["image/png"] = png
    return bundle


for _function in (to_pdf, to_png, _repr_png_, _repr_mimebundle_):
    _function.__qualname__ = f"KtPrint4.{_function.__name__}"
    setattr(KtPrint4, _function.__name__, _function)
del to_pdf, to_png, _repr_png_, _repr_mimebundle_

# Each enumeration as an IntEnum (ktfolio.ctsPageArea.Header); its members
# stay module constants too (ktfolio.Header). The classes are made when first
# asked for (__getattr__ below): two dozen of them cost more at import than a
# script that uses none should pay. They are made from the tables as they
# were at import, as they were when all were made here.
_ENUMERATIONS = {_type: dict(_members) for _type, _members in enumerations.items()}
for _members in _ENUMERATIONS.values():
    globals().update(_members)


def __getattr__(name):
    members = _ENUMERATIONS.get(name)
    if members is None:
        raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
    # The first class stored wins, should two threads ask at once.
    return globals().setdefault(name, _enum.IntEnum(name, members, module=__name__))


# Virtual-key codes for Form.key, and the leak counters tests read.
_KEYS = [n for n in dir(_ktfolio) if n.startswith("VK_")]
globals().update({n: getattr(_ktfolio, n) for n in _KEYS})
live_windows = _ktfolio.live_windows
live_timers = _ktfolio.live_timers
live_gdi_objects = _ktfolio.live_gdi_objects
use_gtk = _ktfolio.use_gtk

__all__ = sorted(
    ["DispatchObject", "Event", "EventArgs", "Form", "KtPrint4", "KtText", "Method", "StdFont", "enumerations"]
    + ["EventWarning", "KtBoton", "KtError", "KtMarco", "get_raise_errors", "set_raise_errors"]
    + ["ObjectError", "PropertyPage", "clsCommonDialog", "dialogs", "register_component", "unregister_component"]
    + ["pdf_printer_output", "printers", "set_pdf_printer_output"]
    + _KEYS
    + ["live_windows", "live_timers", "live_gdi_objects", "use_gtk"]
    + list(enumerations)
    + [name for members in enumerations.values() for name in members]
)


def __dir__():
    # The public names and the usual module attributes; test hooks and helpers stay out.
    # __getattr__ only makes the enumeration classes, which are listed already.
    dunders = {n for n in globals() if n.startswith("__") and n.endswith("__") and n != "__getattr__"}
    return sorted(set(__all__) | dunders)


del _members, _cls, _function
