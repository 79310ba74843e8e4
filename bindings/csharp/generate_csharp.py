#!/usr/bin/env python3
"""Writes DriverWyr.cs, the C# bindings of DriverWyr's C interface, from its
description driverwyr_c.json.

  generate_csharp.py DESCRIPTION OUTPUT TEMPLATE [PART...]

The generated part is everything the description lists: a P/Invoke
declaration of every function (class Native), the C structs and their
callback delegates, the constants, the dialog's items and a class per record
kind with its array. TEMPLATE (DriverWyr.cs.in) holds the hand-written base
(the exception, texts, records and arrays); its line "//@GENERATED@" is
replaced by the generated part followed by each PART (host_api.cs.in: the
entry points, the host API, run results, pre-flight and sheet), fragments of
the namespace.

Every P/Invoke goes through a public wrapper that, when the file is compiled
with DRIVERWYR_COUNT_CALLS defined, counts its calls (Native.CallCounts), so
a test can tell which functions the bindings never reach.
"""

import json
import sys

# C types of numbers and their C# types.
NUMBERS = {"int": "int", "short": "short", "float": "float", "double": "double", "unsigned": "uint",
           "driverwyr_long": "int", "char": "byte", "_Bool": "byte"}
KEYWORDS = {"base", "checked", "class", "event", "fixed", "in", "lock", "object", "operator", "out",
            "params", "ref", "string", "int", "float", "double", "short", "char", "bool", "default"}
# Names that record classes have besides their fields.
RECORD_MEMBERS = {"Handle", "Dispose", "Copy", "AssignFrom", "Free", "Equals", "GetType", "ToString"}


class DescriptionError(Exception):
    pass


def ident(name):
    return "@" + name if name in KEYWORDS else name


def base_type(c_type):
    """A C type without const and one '*': ("driverwyr_window", True)."""
    text = c_type.replace("const ", "").strip()
    pointer = text.endswith("*")
    return text.rstrip("*").strip(), pointer


class Types:
    def __init__(self, description):
        self.handles = set(description["handles"])
        self.structs = {s["name"] for s in description["structs"]}

    def result(self, c_type, where):
        """The C# result type of a P/Invoke, with its marshalling attribute."""
        if c_type == "void":
            return "", "void"
        if c_type == "_Bool":
            return "[return: MarshalAs(UnmanagedType.U1)] ", "bool"
        if c_type in NUMBERS:
            return "", NUMBERS[c_type]
        name, pointer = base_type(c_type)
        if pointer and (name in self.handles or name == "char"):
            return "", "IntPtr"  # a handle, or a text the library owns
        raise DescriptionError(f"{where}: no C# type for the result {c_type}")

    def parameter(self, c_type, where):
        """[(attribute, C# type)]: one way to pass the parameter, or two for a
        struct given by pointer (a ref, and IntPtr for NULL)."""
        if c_type == "_Bool":
            return [("[MarshalAs(UnmanagedType.U1)] ", "bool")]
        if c_type in NUMBERS:
            return [("", NUMBERS[c_type])]
        name, pointer = base_type(c_type)
        if not pointer:
            raise DescriptionError(f"{where}: no C# type for the parameter {c_type}")
        if c_type == "const char*":
            return [("[MarshalAs(UnmanagedType.LPStr)] ", "string")]
        if name in self.handles or name == "void":
            return [("", "IntPtr")]
        if name in NUMBERS:  # buffers and arrays: bytes for char and bool
            return [("", NUMBERS[name] + "[]")]
        if name in self.structs:
            if c_type.startswith("const "):
                return [("[In] ", "ref Native." + name), ("", "IntPtr")]
            return [("", "out Native." + name)]
        raise DescriptionError(f"{where}: no C# type for the parameter {c_type}")

    def member(self, c_type, where):
        """The C# type of a struct member or callback parameter."""
        if c_type in NUMBERS and c_type != "_Bool":
            return NUMBERS[c_type]
        if base_type(c_type)[1]:
            return "IntPtr"  # texts and structs are read by the code that uses them
        raise DescriptionError(f"{where}: no C# type for {c_type}")


def native_functions(description, types):
    # A char array is copied in whole, NULs included: bytes, not a string.
    byte_setters = {f["setter"] for f in description["fields"] if f["kind"] == "array" and f["type"] == "char"}
    lines = []
    for function in description["functions"]:
        name = function["name"]
        attribute, result = types.result(function["result"], name)
        variants = [[]]
        for parameter in function["parameters"]:
            ways = types.parameter(parameter["type"], name)
            if name in byte_setters and parameter["type"] == "const char*":
                ways = [("", "byte[]")]
            variants = [v + [(way, ident(parameter["name"]))] for v in variants for way in ways]
        contract = function.get("contract", "")
        for variant in variants:
            declared = ", ".join(f"{a}{t} {n}" for (a, t), n in variant)
            plain = ", ".join(f"{t} {n}" for (_, t), n in variant)
            passed = ", ".join((t.split(" ")[0] + " " if t.startswith(("ref ", "out ")) else "") + n
                               for (_, t), n in variant)
            if contract:
                lines.append(f"    /// <summary>{escape_xml(contract)}</summary>")
            lines.append(f"    [DllImport(Library, CallingConvention = CallingConvention.Cdecl, EntryPoint = \"{name}\")]")
            lines.append(f"    {attribute}static extern {result} P_{name}({declared});")
            back = "" if result == "void" else "return "
            lines.append(f"    public static {result} {name}({plain}) {{ Counted(\"{name}\"); {back}P_{name}({passed}); }}")
    return lines


def escape_xml(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def structs(description, types):
    lines = []
    for struct in description["structs"]:
        name = struct["name"]
        for member in struct["members"]:
            if member["type"] != "callback":
                continue
            callback = member["callback"]
            where = f"{name}.{member['name']}"
            result = "void" if callback["result"] == "void" else types.member(callback["result"], where)
            parameters = ", ".join(f"{types.member(p['type'], where)} {ident(p['name'])}"
                                   for p in callback["parameters"])
            lines.append("    [UnmanagedFunctionPointer(CallingConvention.Cdecl)]")
            lines.append(f"    public delegate {result} {name}_{member['name']}({parameters});")
        if struct.get("contract"):
            lines.append(f"    /// <summary>{escape_xml(struct['contract'])}</summary>")
        lines.append("    [StructLayout(LayoutKind.Sequential)]")
        lines.append(f"    public struct {name} {{")
        for member in struct["members"]:
            where = f"{name}.{member['name']}"
            if member["type"] == "callback":
                member_type = f"{name}_{member['name']}"
            else:
                member_type = types.member(member["type"], where)
            if member.get("contract"):
                lines.append(f"      /// <summary>{escape_xml(member['contract'])}</summary>")
            if member.get("count", 1) > 1:
                lines.append(f"      [MarshalAs(UnmanagedType.ByValArray, SizeConst = {member['count']})]")
                member_type += "[]"
            lines.append(f"      public {member_type} {ident(member['name'])};")
        lines.append("    }")
    return lines


def constants(description):
    lines = ["  /// <summary>The constants of driverwyr/dialog.h and the enums of driverwyr_c.h.</summary>",
             "  public static class Constants {"]
    for constant in description["constants"]:
        value = constant["value"]
        if isinstance(value, str):
            lines.append(f"    public const string {constant['name']} = {json.dumps(value)};")
        else:
            kind = "int" if -2**31 <= value < 2**31 else "long"
            lines.append(f"    public const {kind} {constant['name']} = {value};")
    lines.append("  }")
    lines.append("")
    lines.append("  /// <summary>The controls of the program creation dialog, in its order.</summary>")
    lines.append("  public static class DialogItems {")
    lines.append("    public static readonly DialogItem[] All = {")
    for item in description["dialog_items"]:
        lines.append(f"      new DialogItem(Constants.{item['id']}, \"{item['kind']}\", \"{item['style']}\", "
                     f"{json.dumps(item['text'])}),")
    lines.append("    };")
    lines.append("  }")
    return lines


def prop(cs_type, stem, get, set):
    return [f"    public {cs_type} {stem} {{", f"      get {{ {get} }}", f"      set {{ {set} }}", "    }"]


def record_class(record, fields):
    prefix = f"driverwyr_{record}_"
    n = "Native." + prefix
    lines = [
        f"  /// <summary>A {record} record over its handle (create, copy, fields). Dispose frees it;",
        "  /// a record borrowed from an array is freed with the array.</summary>",
        f"  public sealed class {record} : Record {{",
        f"    public {record}() : base({n}create(), \"{prefix}create\") {{ }}",
        f"    internal {record}(IntPtr handle, RecordArrayBase owner) : base(handle, owner) {{ }}",
        f"    {record}(IntPtr handle, string function) : base(handle, function) {{ }}",
        f"    protected override void Free(IntPtr handle) {{ {n}free(handle); }}",
        f"    /// <summary>A new record holding copies of every field.</summary>",
        f"    public {record} Copy() {{ return new {record}({n}copy(Handle), \"{prefix}copy\"); }}",
        f"    /// <summary>Copies every field of source into this record.</summary>",
        f"    public void AssignFrom({record} source) {{",
        f"      Check({n}assign(Handle, source.Handle), \"{prefix}assign\");",
        "    }",
    ]
    for field in fields:
        kind, stem = field["kind"], field["stem"]
        if stem in RECORD_MEMBERS:
            raise DescriptionError(f"{record}.{stem}: the field's name is taken by the record class")
        getter = "Native." + field["getter"]
        setter_name = field["setter"][len(prefix):]
        setter = "Native." + field["setter"]
        check = f"\"{field['setter']}\""
        if kind == "scalar" and field["type"] == field["set_type"]:
            cs = "bool" if field["type"] == "_Bool" else NUMBERS[field["type"]]
            lines += prop(cs, stem, f"return {getter}(Handle);", f"Check({setter}(Handle, value), {check});")
        elif kind in ("scalar", "converted"):
            cs = "bool" if field["type"] == "_Bool" else NUMBERS[field["type"]]
            set_cs = "bool" if field["set_type"] == "_Bool" else NUMBERS[field["set_type"]]
            unit = ", int unit" if kind == "converted" else ""
            passed = ", unit" if kind == "converted" else ""
            lines += [f"    public {cs} {stem} {{ get {{ return {getter}(Handle); }} }}",
                      f"    public void {setter_name}({set_cs} value{unit}) {{ Check({setter}(Handle, value{passed}), {check}); }}"]
        elif kind == "string":
            lines += prop("string", stem,
                          f"IntPtr h = Handle; return Texts.Read((b, s) => {getter}(h, b, s), \"{field['getter']}\");",
                          f"Check({setter}(Handle, value), {check});")
        elif kind == "array":
            count = field["count"]
            sized = f"Texts.Sized(value, {count}, \"{stem}\")"
            # A bool array is one byte per flag on the C side: .NET's own bool[] would pass four.
            flags = field["type"] == "_Bool"
            native = "byte" if flags else NUMBERS[field["type"]]
            lines += prop("bool[]" if flags else native + "[]", stem,
                          f"var a = new {native}[{count}]; Check({getter}(Handle, a), \"{field['getter']}\"); "
                          f"return {'Texts.Flags(a)' if flags else 'a'};",
                          f"Check({setter}(Handle, {f'Texts.Bytes({sized})' if flags else sized}), {check});")
        elif kind == "fieldless":
            set_cs = NUMBERS[field["set_type"]]
            lines.append(f"    public void {setter_name}({set_cs} value) {{ Check({setter}(Handle, value), {check}); }}")
        else:
            raise DescriptionError(f"{record}: unknown field kind {kind}")
    lines.append("  }")
    a = f"Native.{prefix}array_"
    lines += [
        f"  /// <summary>An array of {record} records: built empty or from records (copied), read by index.</summary>",
        f"  public sealed class {record}Array : RecordArray<{record}> {{",
        f"    public {record}Array() : base({a}create(), \"{prefix}array_create\") {{ }}",
        f"    public {record}Array(IEnumerable<{record}> records) : this() {{ AddAll(records); }}",
        f"    internal {record}Array(IntPtr borrowed, StoreCopy owner) : base(borrowed, owner) {{ }}",
        f"    protected override void Free(IntPtr handle) {{ {a}free(handle); }}",
        f"    public override int Count {{ get {{ return {a}size(Handle); }} }}",
        f"    protected override int NativeAdd({record} record) {{ return {a}add(Handle, record.Handle); }}",
        f"    protected override int NativeSetSize(int size) {{ return {a}set_size(Handle, size); }}",
        f"    protected override IntPtr NativeAt(int index) {{ return {a}at(Handle, index); }}",
        f"    protected override {record} Borrow(IntPtr handle) {{ return new {record}(handle, this); }}",
        "  }",
    ]
    return lines


def generate(description, template, parts, source_name):
    types = Types(description)
    fields = {}
    for field in description["fields"]:
        fields.setdefault(field["record"], []).append(field)
    body = ["  /// <summary>Every function of the C interface as it is exported, and its C structs.</summary>",
            "  public static partial class Native {",
            "    public const string Library = \"driverwyr\";"]
    body += structs(description, types)
    body.append("    /// <summary>The names of every function of the C interface.</summary>")
    body.append("    public static readonly string[] Functions = {")
    body += [f"      \"{f['name']}\"," for f in description["functions"]]
    body.append("    };")
    body += native_functions(description, types)
    body.append("  }")
    body.append("")
    body += constants(description)
    for record in description["records"]:
        body.append("")
        body += record_class(record, fields.get(record, []))
    marker = "//@GENERATED@"
    if template.count(marker) != 1:
        raise DescriptionError(f"the template must hold {marker} once")
    header = (f"// DriverWyr.cs: C# bindings of DriverWyr's C interface ({description['header']}).\n"
              f"// Generated by generate_csharp.py from {source_name}; do not edit.\n")
    return header + template.replace(marker, "\n".join(body) + "\n" + "".join(parts))


def main(argv):
    if len(argv) < 4:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    try:
        with open(argv[1], encoding="utf-8") as f:
            description = json.load(f)
        templates = []
        for path in argv[3:]:
            with open(path, encoding="utf-8") as f:
                templates.append(f.read())
        text = generate(description, templates[0], templates[1:], "driverwyr_c.json")
    except KeyError as error:
        print(f"generate_csharp.py: {argv[1]}: no {error} where the description needs one", file=sys.stderr)
        return 1
    except (OSError, ValueError, DescriptionError) as error:
        print(f"generate_csharp.py: {error}", file=sys.stderr)
        return 1
    with open(argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
