"""The record kinds of the description as Python classes.

A record class (CPPStepInfo, CPPTool, ...) has one property per field,
named by the field's stem: numbers and flags as Python numbers and bools,
texts as str, fixed arrays as lists (a char array as bytes, its names in
rows NUL-padded). Converted fields read in millimetres and take millimetres,
or a (value, unit) pair with unit INCH or MILLIMETRE. Each class has an
Array class (CPPStepInfoArray) built from a Python sequence of records."""

import ctypes

MILLIMETRE, INCH = 0, 1


def _raise_on_minus_one(library, function, result):
    if result == -1:
        library.fail(function.name, result)
    return result


class Record:
    """The base of the generated record classes: a handle the object owns
    (freed with the object) or borrows from an array (kept alive with it)."""

    _library = None
    _kind = None
    _order = ()

    def __init__(self, _handle=None, _owner=None, **fields):
        lib = self._library
        if _handle is None:
            _handle = lib.functions[f"driverwyr_{self._kind}_create"]()
            if not _handle:
                lib.fail(f"driverwyr_{self._kind}_create")
        self._as_parameter_ = ctypes.c_void_p(_handle)
        self._owner = _owner
        unknown = set(fields) - set(self._order)
        if unknown:
            raise AttributeError(f"{self._kind} has no field {', '.join(sorted(unknown))}")
        # Setters run in the record's declaration order, whatever the order
        # of the keywords: some setters read or change other fields.
        for name in self._order:
            if name in fields:
                setattr(self, name, fields[name])

    def __del__(self):
        handle = getattr(self, "_as_parameter_", None)
        if handle and self._owner is None and self._library is not None:
            self._library.functions[f"driverwyr_{self._kind}_free"](handle)
            self._as_parameter_ = None

    def copy(self):
        """A new record holding copies of every field."""
        handle = self._library.functions[f"driverwyr_{self._kind}_copy"](self)
        if not handle:
            self._library.fail(f"driverwyr_{self._kind}_copy")
        return type(self)(_handle=handle)

    def assign(self, source):
        """Copies every field of source into this record."""
        function = self._library.functions[f"driverwyr_{self._kind}_assign"]
        _raise_on_minus_one(self._library, function, function(self, source))

    def __repr__(self):
        return f"<{self._kind} {self._as_parameter_.value:#x}>"


class RecordArray:
    """An array of records of one kind; the store copies it on Init...."""

    _library = None
    _record = None

    def __init__(self, records=(), _handle=None, _owner=None):
        lib, kind = self._library, self._record._kind
        self._fn = lambda op: lib.functions[f"driverwyr_{kind}_array_{op}"]
        if _handle is None:
            _handle = self._fn("create")()
            if not _handle:
                lib.fail(f"driverwyr_{kind}_array_create")
        self._as_parameter_ = ctypes.c_void_p(_handle)
        self._owner = _owner
        for record in records:
            self.append(record)

    def __del__(self):
        if getattr(self, "_as_parameter_", None) and self._owner is None and self._library is not None:
            self._fn("free")(self._as_parameter_)
            self._as_parameter_ = None

    def __len__(self):
        return self._fn("size")(self)

    def __getitem__(self, index):
        """The record at index, borrowed: setting it changes the array's."""
        size = len(self)
        if index < 0:
            index += size
        if not 0 <= index < size:
            raise IndexError(f"index {index} outside the {size} records")
        handle = self._fn("at")(self, index)
        if not handle:
            self._library.fail(f"driverwyr_{self._record._kind}_array_at")
        return self._record(_handle=handle, _owner=self)

    def append(self, record):
        """Appends a copy of record; its index."""
        if not isinstance(record, self._record):
            raise TypeError(f"a {self._record._kind} array holds {self._record._kind} records, not {record!r}")
        function = self._fn("add")
        return _raise_on_minus_one(self._library, function, function(self, record))

    def resize(self, size):
        function = self._fn("set_size")
        _raise_on_minus_one(self._library, function, function(self, size))


def _scalar(lib, field):
    getter, setter = lib.functions[field["getter"]], lib.functions[field["setter"]]
    return property(lambda self: getter(self),
                    lambda self, value: _raise_on_minus_one(lib, setter, setter(self, value)))


def _converted(lib, field):
    getter, setter = lib.functions[field["getter"]], lib.functions[field["setter"]]

    def set_value(self, value):
        value, unit = value if isinstance(value, tuple) else (value, MILLIMETRE)
        _raise_on_minus_one(lib, setter, setter(self, value, unit))
    return property(lambda self: getter(self), set_value)


def _string(lib, field):
    getter, setter = lib.functions[field["getter"]], lib.functions[field["setter"]]
    return property(lambda self: lib.text_out(getter, self),
                    lambda self, text: _raise_on_minus_one(lib, setter, setter(self, text)))


def _array(lib, field):
    getter, setter = lib.functions[field["getter"]], lib.functions[field["setter"]]
    count, element = field["count"], lib.ctype(field["type"])
    kind = element * count

    def get_values(self):
        values = kind()
        _raise_on_minus_one(lib, getter, getter(self, values))
        return values.raw if element is ctypes.c_char else list(values)

    def set_values(self, values):
        if element is ctypes.c_char:
            values = lib.encode(values) if isinstance(values, str) else bytes(values)
            if len(values) > count:
                raise ValueError(f"{field['stem']} holds {count} bytes, not {len(values)}")
            buffer = kind.from_buffer_copy(values.ljust(count, b"\0"))
        else:
            values = list(values)
            # The C side copies exactly count elements: fewer would be read
            # past the end of the buffer.
            if len(values) != count:
                raise ValueError(f"{field['stem']} holds {count} values, not {len(values)}")
            buffer = kind(*values)
        _raise_on_minus_one(lib, setter, setter(self, buffer))
    return property(get_values, set_values)


def _fieldless(lib, field):
    setter = lib.functions[field["setter"]]

    def not_readable(self):
        raise AttributeError(f"{field['setter']} stores no field of its own: it can only be set")
    return property(not_readable, lambda self, value: _raise_on_minus_one(lib, setter, setter(self, value)))


_MAKERS = {"scalar": _scalar, "converted": _converted, "string": _string, "array": _array,
           "fieldless": _fieldless}


def make_record_classes(lib):
    """{name: class} of every record kind and its Array class."""
    kinds = lib.description.get("records") or list(dict.fromkeys(f["record"] for f in lib.description["fields"]))
    classes = {}
    for kind in kinds:
        attributes, order = {"_library": lib, "_kind": kind}, []
        for field in lib.description["fields"]:
            if field["record"] != kind:
                continue
            name = field["stem"] or field["setter"].split(f"driverwyr_{kind}_Set", 1)[1]
            attributes[name] = _MAKERS[field["kind"]](lib, field)
            order.append(name)
        attributes["_order"] = tuple(order)
        record = type(kind, (Record,), attributes)
        classes[kind] = record
        classes[kind + "Array"] = type(kind + "Array", (RecordArray,), {"_library": lib, "_record": record})
    return classes
