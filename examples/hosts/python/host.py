#!/usr/bin/env python3
"""A Python host of DriverWyr: drives the C interface (driverwyr/driverwyr_c.h)
through ctypes. It builds the job of ../host_job.json, supplies the user
interface itself (a dialog window held in a dict whose operator presses
"Create...") and a clock that always tells 2026-12-07. Before the run it asks
for the job's pre-flight report and prints its findings; then it writes the
program and, with --sheet, the program's set-up sheet.

  host.py --library PREFIX/lib/libdriverwyr.so --include PREFIX/include \\
          [--sheet SHEET.html] [--die NAME] DATA_FOLDER CONVERSION_FILE PROGRAM_PATH

--die names the die of the second step (DIE16V otherwise), to see what the
pre-flight says of a die the job does not have.

The dialog's ids, message ids and styles are read from the installed
driverwyr/dialog.h; the driver's message texts come from the library.
Exit status: 0 when the program (and the sheet) was written, 1 otherwise.
"""

import argparse
import ctypes
import re
import sys
from ctypes import (CFUNCTYPE, POINTER, Structure, c_bool, c_char_p, c_double,
                    c_float, c_int, c_short, c_uint, c_void_p)


def read_dialog_header(include):
    """The integer and text #defines of driverwyr/dialog.h, and its items."""
    text = open(f"{include}/driverwyr/dialog.h", encoding="ascii").read()
    names = {}
    for name, value in re.findall(r"^#define (DRIVERWYR_\w+) (-?(?:0x[0-9A-Fa-f]+|\d+))\b", text, re.M):
        names[name] = int(value, 0)
    items = []
    for ident, kind, style in re.findall(r"ITEM\((DRIVERWYR_\w+), (WYR_\w+), (WYR_\w+),", text):
        items.append((names[ident], kind, style))
    return names, items


class Finding(Structure):
    """driverwyr_finding of driverwyr_c.h."""
    _fields_ = [("severity", c_int), ("group", c_int), ("step", c_int), ("number", c_int),
                ("code", c_char_p), ("category", c_char_p), ("record", c_char_p), ("text", c_char_p)]


SEVERITIES = ("error", "warning", "note")


class Driver:
    """The functions of the library this host uses, with their C types."""

    def __init__(self, path):
        self.lib = ctypes.CDLL(path)

    def fn(self, name, restype, *argtypes):
        f = getattr(self.lib, "driverwyr_" + name)
        f.restype = restype
        f.argtypes = list(argtypes)
        setattr(self, name, f)


# Callback types of driverwyr_c.h (cdecl).
GET_TEXT = CFUNCTYPE(None, c_void_p, c_int, c_void_p)
SET_TEXT = CFUNCTYPE(None, c_void_p, c_int, c_char_p)
ID_INT = CFUNCTYPE(None, c_void_p, c_int, c_int)
ID_ONLY = CFUNCTYPE(None, c_void_p, c_int)
INSERT = CFUNCTYPE(None, c_void_p, c_int, c_int, c_char_p)
SELECT = CFUNCTYPE(c_int, c_void_p, c_int, c_char_p)
SELECTION = CFUNCTYPE(c_int, c_void_p, c_int)
GET_ENTRY = CFUNCTYPE(None, c_void_p, c_int, c_int, c_void_p)
END = CFUNCTYPE(None, c_void_p, c_int)
MESSAGE = CFUNCTYPE(c_int, c_void_p, c_char_p, c_uint)
RUN = CFUNCTYPE(c_int, c_void_p, c_int, c_void_p)
BROWSE = CFUNCTYPE(c_int, c_void_p, c_void_p, c_char_p, c_char_p, c_void_p)


class Date(Structure):
    _fields_ = [("year", c_int), ("month", c_int), ("day", c_int)]


TODAY = CFUNCTYPE(None, c_void_p, POINTER(Date))


class Window(Structure):
    _fields_ = [("user", c_void_p), ("get_control_text", GET_TEXT), ("set_control_text", SET_TEXT),
                ("set_text_limit", ID_INT), ("show_control", ID_INT), ("focus_control", ID_ONLY),
                ("clear_combo_box", ID_ONLY), ("insert_combo_entry", INSERT),
                ("select_combo_entry", SELECT), ("get_combo_selection", SELECTION),
                ("get_combo_entry", GET_ENTRY), ("show_validation_message", SET_TEXT),
                ("end_dialog", END)]


class UserInterface(Structure):
    _fields_ = [("user", c_void_p), ("show_message_box", MESSAGE), ("run_dialog", RUN),
                ("browse_for_folder", BROWSE)]


class Clock(Structure):
    _fields_ = [("user", c_void_p), ("utc_today", TODAY), ("local_today", TODAY)]


def text_of(driver, message_id):
    size = driver.GetMessageText(message_id, None, 0) + 1
    buffer = ctypes.create_string_buffer(size)
    driver.GetMessageText(message_id, buffer, size)
    return buffer.value


class Host:
    """The user interface: a window of controls kept in a dict."""

    def __init__(self, driver, names, items):
        self.d, self.names, self.items = driver, names, items
        self.created = self.failed = 0
        self.controls = {}
        self.ended = None
        n = names
        self.window = Window(None, GET_TEXT(self.get_text), SET_TEXT(self.set_text), ID_INT(self.set_limit),
                             ID_INT(self.show), ID_ONLY(lambda u, i: None), ID_ONLY(self.clear),
                             INSERT(self.insert), SELECT(self.select), SELECTION(self.selection),
                             GET_ENTRY(self.get_entry), SET_TEXT(self.validation), END(self.end))
        self.ui = UserInterface(None, MESSAGE(self.message), RUN(self.run_dialog), BROWSE(lambda *a: 0))
        today = TODAY(self.today)
        self.clock = Clock(None, today, today)
        self.created_text = text_of(driver, n["DRIVERWYR_MSG_PROGRAM_CREATED"])
        self.failed_text = text_of(driver, n["DRIVERWYR_MSG_CREATE_FAILED"])

    # -- the window
    def get_text(self, _user, ident, out):
        c = self.controls.get(ident)
        if c is None:
            return
        text = c["text"]
        if c["kind"] == "WYR_COMBO":
            text = c["entries"][c["sel"]] if 0 <= c["sel"] < len(c["entries"]) else b""
        self.d.text_set(out, text)

    def set_text(self, _user, ident, text):
        c = self.controls.get(ident)
        if c is None:
            return
        if c["kind"] != "WYR_COMBO":
            c["text"] = text
            return
        for i, entry in enumerate(c["entries"]):
            if entry.lower() == text.lower():
                c["sel"] = i
                return

    def set_limit(self, _user, ident, characters):
        if ident in self.controls:
            self.controls[ident]["limit"] = max(characters, 0)

    def show(self, _user, ident, visible):
        if ident in self.controls:
            self.controls[ident]["visible"] = bool(visible)

    def combo(self, ident):
        c = self.controls.get(ident)
        return c if c is not None and c["kind"] == "WYR_COMBO" else None

    def clear(self, _user, ident):
        c = self.combo(ident)
        if c is not None:
            c["entries"], c["sel"] = [], -1

    def insert(self, _user, ident, index, text):
        c = self.combo(ident)
        if c is None:
            return
        index = len(c["entries"]) if index == -1 else index
        if 0 <= index <= len(c["entries"]):
            c["entries"].insert(index, text)
            if c["sel"] >= index:
                c["sel"] += 1

    def select(self, _user, ident, prefix):
        c = self.combo(ident)
        if c is None or not prefix:
            return -1
        for i, entry in enumerate(c["entries"]):
            if entry.lower().startswith(prefix.lower()):
                c["sel"] = i
                return i
        return -1

    def selection(self, _user, ident):
        c = self.combo(ident)
        return c["sel"] if c is not None else -1

    def get_entry(self, _user, ident, index, out):
        c = self.combo(ident)
        if c is not None and 0 <= index < len(c["entries"]):
            self.d.text_set(out, c["entries"][index])

    def validation(self, _user, ident, text):
        print(f"validation {ident}: {text.decode('latin-1')}")

    def end(self, _user, result):
        if self.ended is None:
            self.ended = result

    # -- the user interface and clock
    def message(self, _user, text, style):
        print(f"message (style {style}): {text.decode('latin-1')}")
        if text == self.created_text:
            self.created += 1
        if text == self.failed_text or (style & self.names["DRIVERWYR_MB_ICONMASK"]) == \
                self.names["DRIVERWYR_MB_ICONWARNING"]:
            self.failed = 1
        return self.names["DRIVERWYR_ID_OK"]

    def run_dialog(self, _user, template_id, dialog):
        n = self.names
        if template_id != n["DRIVERWYR_DIALOG_PROGRAM_CREATION"]:
            return -1
        self.controls = {ident: {"kind": kind, "text": b"", "limit": 0, "entries": [], "sel": -1,
                                 "visible": not style.endswith("HIDDEN")}
                         for ident, kind, style in self.items if ident >= 0}
        self.ended = None
        window = ctypes.byref(self.window)
        if self.d.dialog_init(dialog, window) != 1:
            return -1
        print(f"dialog: program {self.controls[n['DRIVERWYR_IDC_PROGRAM_NAME']]['text'].decode('latin-1')}")
        self.d.dialog_command(dialog, window, n["DRIVERWYR_ID_OK"], n["DRIVERWYR_BN_CLICKED"])
        if self.ended is None:
            self.d.dialog_command(dialog, window, n["DRIVERWYR_ID_CANCEL"], n["DRIVERWYR_BN_CLICKED"])
        return self.ended if self.ended is not None else n["DRIVERWYR_ID_CANCEL"]

    def today(self, _user, date):
        date.contents.year, date.contents.month, date.contents.day = 2026, 12, 7


def declare(d):
    h = c_void_p
    for kind in ("CPPStepInfo", "CPPTool", "CPPSetup", "CPPMachine"):
        d.fn(f"{kind}_create", h)
        d.fn(f"{kind}_free", None, h)
        d.fn(f"{kind}_array_create", h)
        d.fn(f"{kind}_array_free", None, h)
        d.fn(f"{kind}_array_add", c_int, h, h)
    setters = {
        "CPPStepInfo": [("SetNumberInSquence", c_int), ("SetSetUpName", c_char_p), ("SetSetupIndex", c_int),
                        ("SetBendType", c_int), ("SetControlType", c_int), ("SetBendLength", c_float, c_int),
                        ("SetBendAngle", c_float), ("SetXX", POINTER(c_double)), ("SetYY", POINTER(c_double)),
                        ("SetZZ", POINTER(c_double)), ("SetODC", c_float, c_int),
                        ("SetRetractStroke", c_float, c_int), ("SetToolID", c_char_p),
                        ("SetBendingSpeed", c_double, c_int), ("SetSequenceOrder", c_short),
                        ("SetFlangeLength", c_float)],
        "CPPTool": [("SetToolName", c_char_p), ("SetToolType", c_char_p), ("SetCategory", c_char_p),
                    ("SetToolHeight", c_double), ("SetSmallorLarger", c_int), ("SetVWidth", c_double),
                    ("SetAngle", c_double), ("SetRadius", c_double), ("SetPunchResistance", c_float),
                    ("SetDieResistance", c_float)],
        "CPPSetup": [("SetSetupName", c_char_p), ("SetControlType", c_int), ("SetMachineModel", c_char_p),
                     ("SetSetupIndex", c_int), ("SetUserMachineName", c_char_p),
                     ("SetBendingCoefficient", c_float)],
        "CPPMachine": [("SetUserMachineName", c_char_p), ("SetMachineName", c_char_p), ("SetTonnage", c_double),
                       ("SetMinTonnage", c_double), ("SetMaxBendingLength", c_double),
                       ("SetMaxStrokeHeight", c_double), ("SetOpenHeight", c_double)],
    }
    for kind, functions in setters.items():
        for name, *types in functions:
            d.fn(f"{kind}_{name}", c_int, h, *types)
    d.fn("CreatePPDBInstance", c_int)
    d.fn("SetUnit", None, c_int)
    d.fn("SetPathNames", None, c_char_p, c_char_p, c_char_p)
    d.fn("SetMaterial_1", None, c_float, c_float, c_int)
    for name in ("InitPPSequence", "InitToolInfo", "InitSetupInfo", "InitMachineInfo", "InitBkGaugeInfo"):
        d.fn(name, None, h)
    d.fn("GenerateMachineCodeFile", c_int, c_char_p, c_int)
    d.fn("GetWrittenProgramCount", c_int)
    d.fn("GetWrittenProgramPath", c_int, c_int, c_char_p, c_int)
    d.fn("CreateSerialCounterKey", c_int, c_char_p, c_int)
    d.fn("GetMessageText", c_int, c_int, c_char_p, c_int)
    d.fn("RunPreflight", h, c_int)
    d.fn("preflight_report_free", None, h)
    d.fn("preflight_report_size", c_int, h)
    d.fn("preflight_report_count", c_int, h, c_int)
    d.fn("preflight_report_finding", c_int, h, c_int, POINTER(Finding))
    d.fn("WriteSheet", c_int, c_char_p, c_char_p, c_char_p, c_char_p, c_int)
    d.fn("SetUserInterface", c_int, POINTER(UserInterface))
    d.fn("SetClock", c_int, POINTER(Clock))
    d.fn("text_set", c_int, c_void_p, c_char_p)
    d.fn("dialog_init", c_int, c_void_p, POINTER(Window))
    d.fn("dialog_command", c_int, c_void_p, POINTER(Window), c_int, c_int)
    d.fn("DestroyPPDBInstance", None)


def hand_over_job(d, data, conversion, program, second_die):
    doubles = lambda *v: (c_double * len(v))(*v)
    steps = d.CPPStepInfo_array_create()
    for number, x, flange in ((1, 120.5, 122.0), (2, 60.0, 62.0)):
        s = d.CPPStepInfo_create()
        die = second_die if number == 2 else b"DIE16V"
        tools = b"".join(name.ljust(32, b"\0") for name in (b"PUNCH88", die, b"HOLDER60", b"", b"SPACER10", b""))
        # The setters in the record's declaration order.
        d.CPPStepInfo_SetNumberInSquence(s, number)
        d.CPPStepInfo_SetSetUpName(s, b"S1")
        d.CPPStepInfo_SetSetupIndex(s, 1)
        d.CPPStepInfo_SetBendType(s, 0)
        d.CPPStepInfo_SetControlType(s, 2)
        d.CPPStepInfo_SetBendLength(s, 500.0, 0)
        d.CPPStepInfo_SetBendAngle(s, 90.0)
        d.CPPStepInfo_SetXX(s, doubles(x, x, 0, 0))
        d.CPPStepInfo_SetYY(s, doubles(0, 0, 0, 0))
        d.CPPStepInfo_SetZZ(s, doubles(-150, 150, 0, 0))
        d.CPPStepInfo_SetODC(s, 251.0, 0)
        d.CPPStepInfo_SetRetractStroke(s, 10.0, 0)
        d.CPPStepInfo_SetToolID(s, tools)
        d.CPPStepInfo_SetBendingSpeed(s, 8.0, 0)
        d.CPPStepInfo_SetSequenceOrder(s, number)
        d.CPPStepInfo_SetFlangeLength(s, flange)
        d.CPPStepInfo_array_add(steps, s)
        d.CPPStepInfo_free(s)
    tools = d.CPPTool_array_create()
    for name, kind, category, v_width, angle, radius, height, small, punch, die in (
            (b"PUNCH88", b"PUNCH", b"PUNCH", 0, 88, 0.8, 120, 0, 100, 0),
            (b"DIE16V", b"DIE", b"2V-16", 16, 88, 2.5, 60, 1, 0, 120),
            (b"HOLDER60", b"DIEHOLDER", b"HOLDER", 0, 0, 0, 60, 0, 0, 0),
            (b"SPACER10", b"SPACER", b"SPACER", 0, 0, 0, 10, 0, 0, 0)):
        t = d.CPPTool_create()
        d.CPPTool_SetToolName(t, name)
        d.CPPTool_SetToolType(t, kind)
        d.CPPTool_SetCategory(t, category)
        d.CPPTool_SetToolHeight(t, height)
        d.CPPTool_SetSmallorLarger(t, small)
        d.CPPTool_SetVWidth(t, v_width)
        d.CPPTool_SetAngle(t, angle)
        d.CPPTool_SetRadius(t, radius)
        d.CPPTool_SetPunchResistance(t, punch)
        d.CPPTool_SetDieResistance(t, die)
        d.CPPTool_array_add(tools, t)
        d.CPPTool_free(t)
    setups, setup = d.CPPSetup_array_create(), d.CPPSetup_create()
    d.CPPSetup_SetSetupName(setup, b"S1")
    d.CPPSetup_SetControlType(setup, 2)
    d.CPPSetup_SetMachineModel(setup, b"PB-100")
    d.CPPSetup_SetSetupIndex(setup, 0)
    d.CPPSetup_SetUserMachineName(setup, b"PB100")
    d.CPPSetup_SetBendingCoefficient(setup, 1.0)
    d.CPPSetup_array_add(setups, setup)
    machines, machine = d.CPPMachine_array_create(), d.CPPMachine_create()
    d.CPPMachine_SetUserMachineName(machine, b"PB100")
    d.CPPMachine_SetMachineName(machine, b"Press brake 100 t")
    d.CPPMachine_SetTonnage(machine, 100)
    d.CPPMachine_SetMinTonnage(machine, 1)
    d.CPPMachine_SetMaxBendingLength(machine, 3000)
    d.CPPMachine_SetMaxStrokeHeight(machine, 200)
    d.CPPMachine_SetOpenHeight(machine, 420)
    d.CPPMachine_array_add(machines, machine)

    d.CreatePPDBInstance()
    d.SetUnit(0)
    d.SetPathNames(program, data, conversion)
    d.SetMaterial_1(2.0, 40.0, 1)
    d.InitPPSequence(steps)
    d.InitToolInfo(tools)
    d.InitSetupInfo(setups)
    d.InitMachineInfo(machines)
    d.InitBkGaugeInfo(None)
    # The store holds copies: the host's records can go.
    d.CPPSetup_free(setup)
    d.CPPMachine_free(machine)
    for kind, array in (("CPPStepInfo", steps), ("CPPTool", tools), ("CPPSetup", setups), ("CPPMachine", machines)):
        getattr(d, f"{kind}_array_free")(array)


def print_preflight(d):
    """The pre-flight report of the job the store holds: a line a finding.
    False when it could not be made."""
    report = d.RunPreflight(1)
    if not report:
        print("python host: the pre-flight report could not be made", file=sys.stderr)
        return False
    counts = [d.preflight_report_count(report, severity) for severity in range(3)]
    print(f"pre-flight: {counts[0]} errors, {counts[1]} warnings, {counts[2]} notes")
    finding = Finding()
    for i in range(d.preflight_report_size(report)):
        d.preflight_report_finding(report, i, ctypes.byref(finding))
        place = f"step {finding.step} (number {finding.number})" if finding.step >= 0 else "job"
        record = f", {finding.record.decode('latin-1')}" if finding.record else ""
        print(f"finding: {SEVERITIES[finding.severity]} {finding.code.decode('latin-1')}: {place}{record}: "
              f"{finding.text.decode('latin-1')}")
    d.preflight_report_free(report)
    return True


def main():
    parser = argparse.ArgumentParser(description="Writes the program of the example host job.")
    parser.add_argument("--library", required=True, help="libdriverwyr.so")
    parser.add_argument("--include", required=True, help="the folder that holds driverwyr/")
    parser.add_argument("--sheet", help="write the set-up sheet of the program here")
    parser.add_argument("--die", default="DIE16V", help="the die of the second step")
    parser.add_argument("data")
    parser.add_argument("conversion")
    parser.add_argument("program")
    args = parser.parse_args()

    names, items = read_dialog_header(args.include)
    d = Driver(args.library)
    declare(d)
    host = Host(d, names, items)

    why_not = ctypes.create_string_buffer(512)
    if d.CreateSerialCounterKey(why_not, len(why_not)) != 0:
        print(f"python host: the serial counter key: {why_not.value.decode('latin-1')}", file=sys.stderr)
    if d.SetUserInterface(ctypes.byref(host.ui)) != 0 or d.SetClock(ctypes.byref(host.clock)) != 0:
        print("python host: the user interface or clock was refused", file=sys.stderr)
        return 1
    hand_over_job(d, args.data.encode(), args.conversion.encode(), args.program.encode(), args.die.encode())
    if not print_preflight(d):
        return 1
    path = ctypes.create_string_buffer(4096)
    copied = d.GenerateMachineCodeFile(path, len(path))
    print("done:", path.value.decode("latin-1") if copied >= 0 else "nothing created")
    for i in range(d.GetWrittenProgramCount()):
        d.GetWrittenProgramPath(i, path, len(path))
        print("written:", path.value.decode("latin-1"))
    sheet_failed = False
    if args.sheet and d.GetWrittenProgramCount() > 0:
        # The sheet of the last program, with the store's records, named as
        # the job file that describes them.
        d.GetWrittenProgramPath(d.GetWrittenProgramCount() - 1, path, len(path))
        if d.WriteSheet(path.value, args.sheet.encode(), b"host_job.json", why_not, len(why_not)) != 0:
            print(f"python host: the sheet: {why_not.value.decode('latin-1')}", file=sys.stderr)
            sheet_failed = True
        else:
            print("sheet:", args.sheet)
    d.DestroyPPDBInstance()
    d.SetUserInterface(None)
    d.SetClock(None)
    return 0 if host.created > 0 and not host.failed and not sheet_failed else 1


if __name__ == "__main__":
    sys.exit(main())
