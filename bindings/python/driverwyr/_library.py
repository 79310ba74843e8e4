"""Finding and loading libdriverwyr and its description (driverwyr_c.json),
and the ctypes prototypes made from that description.

Every function of the description becomes a Function: a ctypes function
with its argument and result types, which counts its calls (Library.calls)
and accepts str where the C side takes a const char* (encoded in the code
page given to load)."""

import collections
import ctypes
import json
import os
import re
import sys
import weakref

from . import _location


class Error(Exception):
    """A call of the library failed; the message is the library's own
    reason (driverwyr_LastError) where it gave one."""

    def __init__(self, message, function=None, result=None):
        super().__init__(message)
        self.function = function
        self.result = result


Error.__module__ = "driverwyr"  # as the package names it
_NUMBERS = {
    "void": None, "int": ctypes.c_int, "unsigned": ctypes.c_uint, "short": ctypes.c_short,
    "float": ctypes.c_float, "double": ctypes.c_double, "_Bool": ctypes.c_bool,
    "char": ctypes.c_char, "driverwyr_long": ctypes.c_int32, "void*": ctypes.c_void_p,
}


_IDENTIFIER = re.compile(r"[A-Za-z_][A-Za-z0-9_]*\Z")
_TEXT, _NAME, _COUNT = "text", "name", "count"
# What every entry of each list of the description holds.
_ENTRIES = {
    "functions": {"name": _NAME, "result": _TEXT, "parameters": list, "contract": _TEXT},
    "structs": {"name": _NAME, "contract": _TEXT, "members": list},
    "fields": {"record": _NAME, "kind": ("scalar", "converted", "string", "array", "fieldless"), "stem": _TEXT,
               "type": _TEXT, "set_type": _TEXT, "count": _COUNT, "getter": _TEXT, "setter": _NAME},
    "constants": {"name": _NAME, "value": (int, str)},
    "dialog_items": {"id": _NAME, "kind": _NAME, "style": _NAME, "text": _TEXT,
                     "x": _COUNT, "y": _COUNT, "width": _COUNT, "height": _COUNT},
    "parameters": {"type": _TEXT, "name": _NAME},
    "members": {"name": _NAME, "type": _TEXT},
}


def _is_count(value, least=0):
    """A JSON whole number from least to 65536 (true and false are no numbers)."""
    return isinstance(value, int) and not isinstance(value, bool) and least <= value <= 1 << 16


def _check(entry, kind, where):
    """Raises ValueError naming where an entry of the description is not
    what the description's format says."""
    if not isinstance(entry, dict):
        raise ValueError(f"{where}: not an object")
    for key, rule in _ENTRIES[kind].items():
        value = entry.get(key)
        if rule == _TEXT:
            ok = isinstance(value, str)
        elif rule == _NAME:
            ok = isinstance(value, str) and _IDENTIFIER.match(value) is not None
        elif rule == _COUNT:
            ok = _is_count(value)
        elif isinstance(rule, tuple) and isinstance(rule[0], str):
            ok = value in rule
        else:
            ok = isinstance(value, rule) and not isinstance(value, bool)
        if not ok:
            raise ValueError(f"{where}.{key}: {value!r} is not what it must be")


def _check_description(description):
    """The whole description checked before any of it is used."""
    if not isinstance(description, dict):
        raise ValueError("no JSON object")
    for key in ("functions", "fields", "constants", "structs", "records", "handles", "dialog_items"):
        if not isinstance(description.get(key), list):
            raise ValueError(f"no list \"{key}\"")
    for key in ("records", "handles"):
        for index, name in enumerate(description[key]):
            if not isinstance(name, str) or not _IDENTIFIER.match(name):
                raise ValueError(f"{key}[{index}]: {name!r} is no name")
    for key in ("functions", "fields", "constants", "structs", "dialog_items"):
        for index, entry in enumerate(description[key]):
            _check(entry, key, f"{key}[{index}]")
    names = {function["name"] for function in description["functions"]}
    for index, function in enumerate(description["functions"]):
        for number, parameter in enumerate(function["parameters"]):
            _check(parameter, "parameters", f"functions[{index}].parameters[{number}]")
    for index, struct in enumerate(description["structs"]):
        for number, member in enumerate(struct["members"]):
            where = f"structs[{index}].members[{number}]"
            _check(member, "members", where)
            if member["type"] == "callback":
                callback = member.get("callback")
                if not isinstance(callback, dict) or not isinstance(callback.get("result"), str) \
                        or not isinstance(callback.get("parameters"), list):
                    raise ValueError(f"{where}.callback: not a callback's result and parameters")
                for p, parameter in enumerate(callback["parameters"]):
                    _check(parameter, "parameters", f"{where}.callback.parameters[{p}]")
            else:
                if not _is_count(member.get("count"), least=1):
                    raise ValueError(f"{where}.count: {member.get('count')!r} is not a count")
    for index, field in enumerate(description["fields"]):
        if field["record"] not in description["records"]:
            raise ValueError(f"fields[{index}].record: {field['record']!r} is no record of the description")
        for key in ("getter", "setter"):
            if field[key] and field[key] not in names:
                raise ValueError(f"fields[{index}].{key}: {field[key]!r} is no function of the description")
        if field["kind"] == "fieldless" and field["getter"]:
            raise ValueError(f"fields[{index}].getter: a fieldless setter has no getter")
        if field["kind"] != "fieldless" and (not field["getter"] or not _IDENTIFIER.match(field["stem"])):
            raise ValueError(f"fields[{index}]: a field without its stem or getter")


def _library_file_name():
    return "DriverWyr.dll" if sys.platform == "win32" else "libdriverwyr.so"


def _description_beside(library):
    """driverwyr_c.json where an installation or the build tree puts it
    relative to the library: <prefix>/include/driverwyr/ beside <prefix>/lib
    (or bin on Windows, or a two-level multiarch lib folder)."""
    folder = os.path.dirname(os.path.abspath(library))
    for up in (os.pardir, os.path.join(os.pardir, os.pardir)):
        candidate = os.path.normpath(os.path.join(folder, up, "include", "driverwyr", "driverwyr_c.json"))
        if os.path.isfile(candidate):
            return candidate
    return None


def find(library=None, description=None):
    """The paths of the library and of its description, from the arguments,
    then DRIVERWYR_LIBRARY and DRIVERWYR_DESCRIPTION, then the prefix this
    package was installed into. Raises Error naming what is missing."""
    here = os.path.dirname(os.path.abspath(__file__))
    library = library or os.environ.get("DRIVERWYR_LIBRARY")
    if not library and _location.LIBRARY:
        library = os.path.normpath(os.path.join(here, _location.LIBRARY))
    if not library:
        raise Error(f"no {_library_file_name()} given: call driverwyr.load(path) or set DRIVERWYR_LIBRARY")
    if not os.path.isfile(library):
        raise Error(f"{library}: the DriverWyr library is not there (or is not a regular file)")
    description = description or os.environ.get("DRIVERWYR_DESCRIPTION")
    if description and not os.path.isfile(description):
        raise Error(f"{description}: the description of the C interface is not there (or is not a regular file)")
    description = description or _description_beside(library)
    if not description and _location.DESCRIPTION:
        description = os.path.normpath(os.path.join(here, _location.DESCRIPTION))
    if not description or not os.path.isfile(description):
        raise Error(f"{library}: no description of the C interface (include/driverwyr/driverwyr_c.json) "
                    "beside the library; set DRIVERWYR_DESCRIPTION")
    return library, description


class Function:
    """One C function of the description."""

    def __init__(self, library, entry, cfunc):
        self.library, self.entry, self.name, self._cfunc = library, entry, entry["name"], cfunc
        self.text_parameters = [p["type"] == "const char*" for p in entry["parameters"]]
        self.__doc__ = entry.get("contract")

    def __call__(self, *args):
        if len(args) != len(self.text_parameters):
            raise TypeError(f"{self.name} takes {len(self.text_parameters)} arguments, not {len(args)}")
        lib = self.library
        lib.calls[self.name] += 1
        args = [lib.encode(a) if text else a for a, text in zip(args, self.text_parameters)]
        lib.depth += 1
        try:
            result = self._cfunc(*args)
        finally:
            lib.depth -= 1
        # An exception a Python callback raised inside this call surfaces
        # here, once the library has returned to the outermost caller.
        if lib.depth == 0 and lib.pending:
            error, lib.pending = lib.pending[0], []
            raise error
        return result


class Library:
    """libdriverwyr loaded with ctypes, with the types of its description:
    functions (attributes by their C names), constants (by name), structs
    (ctypes Structure classes by C name) and callback types."""

    def __init__(self, library, description, encoding="latin-1"):
        self.path, self.description_path, self.encoding = library, description, encoding
        "".encode(encoding)  # an unknown code page fails here, not at the first text
        try:
            with open(description, encoding="utf-8") as f:
                self.description = json.load(f)
        except (OSError, ValueError) as e:
            raise Error(f"{description}: not a readable description of the C interface: {e}") from None
        try:
            _check_description(self.description)
        except ValueError as e:
            raise Error(f"{description}: a malformed description of the C interface: {e}") from None
        if self.description.get("calling_convention") != "cdecl":
            # ctypes.CDLL calls with cdecl only.
            raise Error(f"{description}: a calling convention other than cdecl: "
                        f"{self.description.get('calling_convention')!r}")
        try:
            self.dll = ctypes.CDLL(library)
        except OSError as e:
            raise Error(f"{library}: cannot be loaded: {e}") from None
        self.calls = collections.Counter()
        self.depth, self.pending = 0, []
        # What the library holds on to: the installed user interface and
        # clock with their callbacks; the open dialog windows by address.
        self.installed, self.windows = {}, weakref.WeakValueDictionary()
        try:
            self._bind()
        except (KeyError, TypeError, AttributeError, ValueError, OverflowError) as e:
            raise Error(f"{description}: a malformed description of the C interface: {e!r}") from None

    def _bind(self):
        description = self.description
        self.handles = set(description.get("handles", []))
        self.constants = {c["name"]: c["value"] for c in description["constants"]}
        self.structs = {}
        for struct in description["structs"]:
            self._make_struct(struct)
        self.functions = {}
        for entry in description["functions"]:
            try:
                cfunc = getattr(self.dll, entry["name"])
            except AttributeError:
                raise Error(f"{self.path}: has no function {entry['name']} of its description") from None
            cfunc.restype = self.ctype(entry["result"])
            cfunc.argtypes = [self.ctype(p["type"]) for p in entry["parameters"]]
            self.functions[entry["name"]] = Function(self, entry, cfunc)

    def __getattr__(self, name):
        try:
            return self.__dict__["functions"][name]
        except KeyError:
            raise AttributeError(name) from None

    def encode(self, text):
        """str in the library's code page; bytes and None as they are. A
        NUL inside would cut the text short without a word: refused."""
        if isinstance(text, str):
            text = text.encode(self.encoding)
        if isinstance(text, (bytes, bytearray)) and b"\0" in text:
            raise ValueError(f"a text for the library holds a NUL byte: {bytes(text)!r}")
        return text

    def decode(self, raw):
        return None if raw is None else raw.decode(self.encoding)

    def ctype(self, spelled):
        """The ctypes type of a C type as the description spells it."""
        spelled = spelled.replace("const ", "").strip()
        if spelled in _NUMBERS:
            return _NUMBERS[spelled]
        if spelled == "char*":
            return ctypes.c_char_p
        if spelled.endswith("*"):
            target = spelled[:-1]
            if target in self.structs:
                return ctypes.POINTER(self.structs[target])
            if target in _NUMBERS and _NUMBERS[target] is not None:
                return ctypes.POINTER(_NUMBERS[target])
            if target in self.handles or target.startswith("driverwyr_"):
                return ctypes.c_void_p
        raise Error(f"{self.description_path}: a C type this binding does not know: {spelled}")

    def guard(self, function, failed=None):
        """function as a callback the library may call: an exception it
        raises is kept (and raised when the library's call returns) and
        the library gets failed instead."""
        def call(*args):
            try:
                return function(*args)
            except BaseException as error:  # noqa: B036 - raised again after the C call
                self.pending.append(error)
                return failed
        return call

    def callback_type(self, entry):
        return ctypes.CFUNCTYPE(self.ctype(entry["result"]), *(self.ctype(p["type"]) for p in entry["parameters"]))

    def _make_struct(self, struct):
        fields, callbacks = [], {}
        for member in struct["members"]:
            if member["type"] == "callback":
                kind = self.callback_type(member["callback"])
                callbacks[member["name"]] = kind
            else:
                kind = self.ctype(member["type"])
                if member.get("count", 1) != 1:
                    kind = kind * member["count"]
            fields.append((member["name"], kind))
        cls = type(struct["name"], (ctypes.Structure,), {"_fields_": fields, "callbacks": callbacks,
                                                         "members": struct["members"]})
        self.structs[struct["name"]] = cls

    def last_error(self):
        return self.decode(self.driverwyr_LastError())

    def fail(self, function, result=None):
        raise Error(self.last_error() or f"{function} failed", function, result)

    def text_out(self, function, *args):
        """Calls a getter whose last parameters are (char* buffer, int size)
        as strings out are given: asks for the length, then copies the whole
        text (NUL bytes included). -1 raises Error."""
        length = function(*args, None, 0)
        if length < 0:
            self.fail(function.name, length)
        buffer = ctypes.create_string_buffer(length + 1)
        length = function(*args, buffer, length + 1)
        if length < 0:
            self.fail(function.name, length)
        return self.decode(buffer.raw[:length])
