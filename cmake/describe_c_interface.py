#!/usr/bin/env python3
"""Writes driverwyr_c.json, the machine-readable description of DriverWyr's C
interface, from the same tables the header is made of.

The C preprocessor (--cc) expands src/capi/c_interface_description.c, whose
describe_... markers give every function of driverwyr/driverwyr_c.h with its
one-line contract, every field of the record table, the record kinds and the
items of the program creation dialog; the opaque handles and the enum
constants come from the same expansion, the numbers and texts of
driverwyr/dialog.h from its #defines. The structs a host passes or fills
(run results, findings, the clock, the window and the user interface with
their callbacks) are read from the headers' own text, with the comment of
each member as its contract.

  describe_c_interface.py --cc CC --include INCLUDE_DIR --source SOURCE --output FILE
"""

import argparse
import ast
import json
import os
import re
import subprocess
import sys

STRING = r'"(?:[^"\\]|\\.)*"'


def fail(message):
    sys.exit(f"describe_c_interface.py: {message}")


def preprocess(cc, include, *arguments):
    result = subprocess.run([cc, "-E", f"-I{include}", *arguments], capture_output=True, text=True)
    if result.returncode != 0:
        fail(f"the preprocessor failed on {arguments[-1]}: {result.stderr}")
    return result.stdout


def c_type(text):
    """A C type as the description spells it: one space between words, none before a '*'."""
    text = re.sub(r"\s+", " ", text.replace("DRIVERWYR_CALL", "")).strip()
    return re.sub(r" \*", "*", text)


def literal(text):
    """The value of one C string literal (the escapes Python shares with C)."""
    return ast.literal_eval(text)


def literals(text):
    """The value of adjacent C string literals, joined as the compiler joins them."""
    return "".join(literal(part) for part in re.findall(STRING, text))


def parameters(text, where):
    text = text.strip()
    if text.startswith("("):
        text = text[1:-1]
    if text.strip() in ("", "void"):
        return []
    described = []
    for parameter in text.split(","):
        match = re.fullmatch(r"(.*[^A-Za-z0-9_])([A-Za-z_][A-Za-z0-9_]*)", parameter.strip())
        if not match:
            fail(f"{where}: a parameter without a name: {parameter.strip()}")
        described.append({"type": c_type(match.group(1)), "name": match.group(2)})
    return described


def arithmetic(text, where):
    if not re.fullmatch(r"[0-9()*+ ]+", text):
        fail(f"{where}: not a count: {text}")
    return eval(text)  # digits, parentheses, + and * only


def functions(expanded):
    found = []
    for m in re.finditer(rf"describe_function\(({STRING}), ({STRING}), ({STRING}), ((?:{STRING}\s*)+)\);", expanded):
        name = literal(m.group(1))
        found.append({"name": name, "result": c_type(literal(m.group(2))),
                      "parameters": parameters(literal(m.group(3)), name),
                      "contract": literals(m.group(4))})
    return found


def fields(expanded):
    found = []
    parts = ", ".join([f"({STRING})"] * 8)
    for m in re.finditer(rf"describe_field\({parts}\);", expanded):
        record, kind, stem, get_type, set_type, setter, rows, inner = (literal(g) for g in m.groups())
        count = 1
        if kind == "array":
            count = arithmetic(rows, stem)
            for dimension in re.findall(r"\[([^]]*)\]", inner):
                count *= arithmetic(dimension, stem)
        found.append({"record": record, "kind": kind, "stem": stem, "type": c_type(get_type),
                      "set_type": c_type(set_type), "count": count,
                      "getter": "" if kind == "fieldless" else f"driverwyr_{record}_Get{stem}",
                      "setter": f"driverwyr_{record}_{setter}"})
    return found


def comment_text(comment):
    text = re.sub(r"^/\*|\*/$", "", comment)
    text = re.sub(r"\n\s*\* ?", " ", text)
    return re.sub(r"\s+", " ", text).strip()


def member(declaration, where):
    declaration = re.sub(r"\s+", " ", declaration.rstrip(";")).strip()
    callback = re.fullmatch(r"(.*?)\( ?DRIVERWYR_CALL ?\* ?(\w+)\) ?\((.*)\)", declaration)
    if callback:
        return {"name": callback.group(2), "type": "callback",
                "callback": {"result": c_type(callback.group(1)),
                             "parameters": parameters(callback.group(3), f"{where}.{callback.group(2)}")}}
    array = re.fullmatch(r"(.*[^\w])(\w+)\[(\d+)\]", declaration)
    if array:
        return {"name": array.group(2), "type": c_type(array.group(1)), "count": int(array.group(3))}
    plain = re.fullmatch(r"(.*[^\w])(\w+)", declaration)
    if not plain:
        fail(f"{where}: cannot read the member {declaration}")
    return {"name": plain.group(2), "type": c_type(plain.group(1)), "count": 1}


def structs(header_text):
    """Every `typedef struct X { ... } X;` of the headers, members in order. A
    member's contract is the comment after it on its line, else the comment
    before it."""
    found = []
    pattern = rf"((?:/\*(?:(?!\*/).)*\*/\s*)?)typedef struct (driverwyr_\w+) \{{(.*?)\}} \2;"
    for m in re.finditer(pattern, header_text, re.S):
        name, body = m.group(2), m.group(3)
        members = []
        pending = ""  # a comment above the next member
        last_end = 0
        for token in re.finditer(r"/\*.*?\*/|[^;/]+;", body, re.S):
            text = token.group(0)
            if text.startswith("/*"):
                if members and "\n" not in body[last_end:token.start()]:
                    members[-1]["contract"] = comment_text(text)
                else:
                    pending = comment_text(text)
                continue
            described = member(text, name)
            described["contract"], pending = pending, ""
            members.append(described)
            last_end = token.end()
        for described in members:
            if not described["contract"]:
                fail(f"{name}.{described['name']} has no comment to take its contract from")
        found.append({"name": name, "contract": comment_text(m.group(1).strip()) if m.group(1) else "",
                      "members": members})
    return found


def constants(defines, expanded):
    found = []
    for name, value in re.findall(r"^#define (DRIVERWYR_[A-Z0-9_]+) (.+)$", defines, re.M):
        number = re.fullmatch(r"(-?(?:0x[0-9A-Fa-f]+|[0-9]+))[uU]?", value.strip())
        if number:
            found.append({"name": name, "value": int(number.group(1), 0)})
        elif re.fullmatch(r'"[^"\\]*"', value.strip()):
            found.append({"name": name, "value": literal(value.strip())})
    for name, value in re.findall(r"\b(DRIVERWYR_[A-Z0-9_]+) = ([0-9]+)", expanded):
        found.append({"name": name, "value": int(value)})
    return sorted(found, key=lambda constant: constant["name"])


def dialog_items(expanded):
    found = []
    for m in re.finditer(rf"describe_item\(({STRING}), ({STRING}), ({STRING}), ({STRING}), "
                         r"(\d+), (\d+), (\d+), (\d+)\);", expanded):
        found.append({"id": literal(m.group(1)), "kind": literal(m.group(2)), "style": literal(m.group(3)),
                      "text": literal(m.group(4)), "x": int(m.group(5)), "y": int(m.group(6)),
                      "width": int(m.group(7)), "height": int(m.group(8))})
    return found


def main():
    parser = argparse.ArgumentParser()
    for option in ("--cc", "--include", "--source", "--output"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()

    expanded = preprocess(args.cc, args.include, "-P", args.source)
    defines = preprocess(args.cc, args.include, "-dM", os.path.join(args.include, "driverwyr", "dialog.h"))
    header_text = ""
    for header in ("driverwyr_c.h", "driverwyr_c_report.h"):
        with open(os.path.join(args.include, "driverwyr", header), encoding="ascii") as file:
            header_text += file.read()

    description = {
        "header": "driverwyr/driverwyr_c.h",
        "calling_convention": "cdecl",
        "bool": "one byte; bool arrays one byte per element",
        "records": re.findall(r'describe_record\("(\w+)"\);', expanded),
        "handles": sorted(set(re.findall(r"typedef struct (driverwyr_\w+) \1;", expanded))),
        "functions": functions(expanded),
        "structs": structs(header_text),
        "fields": fields(expanded),
        "constants": constants(defines, expanded),
        "dialog_items": dialog_items(expanded),
    }
    expected = {"functions": 400, "fields": 100, "records": 5, "structs": 7, "handles": 14, "dialog_items": 30}
    for key, least in expected.items():
        if len(description[key]) < least:
            fail(f"only {len(description[key])} {key} found in {args.source}")
    for function in description["functions"]:
        if not function["contract"]:
            fail(f"{function['name']} has no contract")

    # One entry per line: the file stays readable and its changes small.
    lines = ["{"]
    keys = list(description)
    for index, key in enumerate(keys):
        value = description[key]
        end = "," if index + 1 < len(keys) else ""
        if isinstance(value, list) and value and isinstance(value[0], dict):
            entries = ",\n".join("    " + json.dumps(entry) for entry in value)
            lines.append(f'  "{key}": [\n{entries}\n  ]{end}')
        else:
            lines.append(f'  "{key}": {json.dumps(value)}{end}')
    lines.append("}")
    temporary = args.output + ".tmp"
    with open(temporary, "w", encoding="utf-8") as file:
        file.write("\n".join(lines) + "\n")
    os.replace(temporary, args.output)


if __name__ == "__main__":
    main()
