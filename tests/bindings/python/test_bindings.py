"""The Python package driverwyr against the built library: record fields
through their properties, arrays, the host API in a whole run, failures as
driverwyr.Error with the library's reason, and at the end that every
function of the description was called through the package.

  test_bindings.py SOURCE_DIR   (DRIVERWYR_LIBRARY and DRIVERWYR_DESCRIPTION set)"""

import datetime
import os
import shutil
import sys
import tempfile
import unittest

SOURCE = sys.argv.pop(1)
WORK = tempfile.mkdtemp(prefix="driverwyr-python-")
os.environ["XDG_CONFIG_HOME"] = os.path.join(WORK, "config")  # a serial counter of the test's own
import driverwyr as dw  # noqa: E402
from driverwyr._library import Library  # noqa: E402

LIB = dw.load()

# A value of each C type, as a setter takes it and its getter gives it back.
SAMPLES = {"int": 7, "short": -3, "float": 1.5, "double": 2.25, "_Bool": True, "driverwyr_long": -70000}


def sample_array(field):
    count = field["count"]
    if field["type"] == "char":
        return bytes((i % 26) + 65 if i % 5 else 0 for i in range(count))
    if field["type"] == "_Bool":
        return [i % 3 == 1 for i in range(count)]
    return [SAMPLES[field["type"]] * (i + 1) for i in range(count)]


class RecordTest(unittest.TestCase):
    # (record, property, value set, value read back): one row per kind of field.
    CASES = [
        ("CPPStepInfo", "NumberInSquence", 12, 12),
        ("CPPStepInfo", "SetUpName", "Stüfe ÿ", "Stüfe ÿ"),
        ("CPPStepInfo", "SetUpName", "", ""),
        ("CPPStepInfo", "BendLength", 500.0, 500.0),           # converted, millimetres
        ("CPPStepInfo", "BendLength", (2.0, dw.INCH), 51),     # converted, kept as whole millimetres
        ("CPPStepInfo", "RetractStroke", (0.5, dw.INCH), 12.7),  # converted, inch in, millimetres out
        ("CPPStepInfo", "ToolReverse", [False, True, False, False, False, True],
         [False, True, False, False, False, True]),           # bool array, one byte each
        ("CPPStepInfo", "ToolID", b"PUNCH88", b"PUNCH88".ljust(192, b"\0")),
        ("CPPStepInfo", "RayID", [1, -2, 3, -4, 2 ** 31 - 1, -2 ** 31], [1, -2, 3, -4, 2 ** 31 - 1, -2 ** 31]),
        ("CPPStepInfo", "XX", [120.5, 120.5, 0, 0], [120.5, 120.5, 0.0, 0.0]),
        ("CPPTool", "ToolName", "DIE16V", "DIE16V"),
        ("CPPTool", "VWidth", 16.0, 16.0),
    ]

    def test_property_round_trips(self):
        for kind, name, value, expected in self.CASES:
            record = getattr(dw, kind)()
            setattr(record, name, value)
            got = getattr(record, name)
            if isinstance(expected, float):
                self.assertAlmostEqual(got, expected, places=3, msg=f"{kind}.{name} = {value!r}")
            else:
                self.assertEqual(got, expected, f"{kind}.{name} = {value!r}")

    def test_every_field_through_its_property(self):
        # Texts and arrays are copied whole, so each reads back as set; a
        # number may be converted by its setter, so it is only set and read.
        for field in LIB.description["fields"]:
            record = getattr(dw, field["record"])()
            name = field["stem"] or field["setter"].split("_Set", 1)[1]
            kind = field["kind"]
            value = {"string": "Wyr é", "array": sample_array(field) if kind == "array" else None}.get(
                kind, SAMPLES.get(field["set_type"]))
            setattr(record, name, value)
            if kind == "fieldless":
                with self.assertRaises(AttributeError):
                    getattr(record, name)
            elif kind in ("string", "array"):
                self.assertEqual(getattr(record, name), value, f"{field['record']}.{name}")
            else:
                getattr(record, name)

    def test_refuses_what_the_library_would_read_wrong(self):
        step = dw.CPPStepInfo()
        with self.assertRaises(ValueError):
            step.XX = [1.0, 2.0]                  # the library copies 4 values
        with self.assertRaises(ValueError):
            step.ToolID = b"x" * 193
        with self.assertRaises(ValueError):
            step.SetUpName = "cut\0here"
        with self.assertRaises(AttributeError):
            dw.CPPStepInfo(NoSuchField=1)

    def test_arrays_copies_and_borrowed_records(self):
        tools = dw.CPPToolArray(dw.CPPTool(ToolName=name) for name in ("A", "B"))
        self.assertEqual([tools[i].ToolName for i in range(len(tools))], ["A", "B"])
        tools[1].ToolName = "C"                   # borrowed: changes the array's record
        self.assertEqual(tools[-1].ToolName, "C")
        copy = tools[0].copy()
        tools.resize(1)
        copy.assign(dw.CPPTool(ToolName="D"))
        self.assertEqual((len(tools), tools[0].ToolName, copy.ToolName), (1, "A", "D"))
        with self.assertRaises(IndexError):
            tools[1]
        with self.assertRaises(TypeError):
            tools.append(dw.CPPSetup())


    def test_every_kind_copies_assigns_and_lives_in_arrays(self):
        for kind in LIB.description["records"]:
            record_class, array_class = getattr(dw, kind), getattr(dw, kind + "Array")
            name = next(f["stem"] for f in LIB.description["fields"]
                        if f["record"] == kind and f["kind"] == "string")
            record = record_class(**{name: "one"})
            array = array_class([record, record.copy()])
            array[1].assign(record_class(**{name: "two"}))
            array.resize(3)
            self.assertEqual([getattr(array[i], name) for i in range(len(array))], ["one", "two", ""], kind)


class Operator(dw.UserInterface, dw.Clock):
    """Presses the buttons it is given; records boxes and folder requests."""

    def __init__(self, *buttons):
        self.buttons, self.boxes, self.browsed = buttons, [], []

    def show_message_box(self, text, style, message_id):
        self.boxes.append((message_id, text))
        return dw.ID_OK

    def operate(self, window):
        for button in self.buttons:
            if callable(button):
                button(window)
            else:
                window.command(button)

    def browse_for_folder(self, owner, title, initial_folder):
        self.browsed.append((owner, title))
        return None

    def utc_today(self):
        return datetime.date(2026, 12, 7)


def hand_over_job(folder, die=b"DIE16V"):
    os.makedirs(os.path.join(folder, "out"), exist_ok=True)
    ids = b"".join(t.ljust(32, b"\0") for t in (b"PUNCH88", die, b"HOLDER60", b"", b"SPACER10", b""))
    step = dw.CPPStepInfo(NumberInSquence=1, SetUpName="S1", SetupIndex=1, ControlType=2, BendLength=500.0,
                          BendAngle=90.0, XX=[120.5, 120.5, 0, 0], YY=[0] * 4, ZZ=[-150, 150, 0, 0], ODC=251.0,
                          RetractStroke=10.0, ToolID=ids, BendingSpeed=8.0, SequenceOrder=1, FlangeLength=122.0)
    tools = dw.CPPToolArray([
        dw.CPPTool(ToolName="PUNCH88", ToolType="PUNCH", Category="PUNCH", ToolHeight=120, Angle=88, Radius=0.8,
                   PunchResistance=100),
        dw.CPPTool(ToolName="DIE16V", ToolType="DIE", Category="2V-16", ToolHeight=60, SmallorLarger=1, VWidth=16,
                   Angle=88, Radius=2.5, DieResistance=120),
        dw.CPPTool(ToolName="HOLDER60", ToolType="DIEHOLDER", Category="HOLDER", ToolHeight=60),
        dw.CPPTool(ToolName="SPACER10", ToolType="SPACER", Category="SPACER", ToolHeight=10)])
    dw.CreatePPDBInstance()
    dw.SetUnit(dw.MILLIMETRE)
    dw.SetPathNames(os.path.join(folder, "out", "PART.bmf"), os.path.join(SOURCE, "examples", "materials"),
                    os.path.join(SOURCE, "examples", "tools.cnv"))
    dw.SetMaterial_2(2.0, 40.0, "Aluminium")
    dw.SetMaterial_1(2.0, 40.0, 1)
    dw.InitPPSequence(dw.CPPStepInfoArray([step]))
    dw.InitToolInfo(tools)
    dw.InitSetupInfo(dw.CPPSetupArray([dw.CPPSetup(SetupName="S1", ControlType=2, MachineModel="PB-100",
                                                   UserMachineName="PB100", BendingCoefficient=1.0)]))
    dw.InitMachineInfo(dw.CPPMachineArray([dw.CPPMachine(UserMachineName="PB100", Tonnage=100, MinTonnage=1,
                                                         MaxBendingLength=3000, MaxStrokeHeight=200, OpenHeight=420)]))
    dw.InitBkGaugeInfo(dw.CPPBGaugeArray([dw.CPPBGauge()]))


class RunTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(dir=WORK)
        dw.create_serial_counter_key()
        dw.set_clock(Operator())
        hand_over_job(self.folder)

    def tearDown(self):
        dw.set_user_interface(None)
        dw.set_clock(None)
        dw.DestroyPPDBInstance()

    def test_a_created_program_and_what_the_run_leaves(self):
        def fill_in(window):
            window.choose(dw.IDC_MATERIAL_LIST, window.get_combo_selection(dw.IDC_MATERIAL_LIST))
            limit = window.controls[dw.IDC_PART_REFERENCE].limit
            window.type_text(dw.IDC_PART_REFERENCE, "R" * (limit + 5))
            self.assertEqual(len(window.text(dw.IDC_PART_REFERENCE)), limit or limit + 5)
        operator = Operator(dw.IDC_BROWSE, fill_in, dw.ID_OK)
        dw.set_user_interface(operator)
        report = dw.run_preflight()
        self.assertEqual((report.counts, report.json()["findings"]), ([0, 0, 0], []), list(report.lines()))
        path = dw.generate_machine_code_file()
        self.assertEqual(os.path.basename(path), "PART.bmf")
        self.assertEqual([r.outcome for r in dw.run_results()], [dw.GROUP_CREATED])
        programs = dw.written_programs()
        self.assertTrue(len(programs) == 1 and os.path.isfile(programs[0]), programs)
        self.assertEqual([s.number for s in dw.calculated_steps()], [1])
        self.assertIn((dw.MSG_PROGRAM_CREATED, dw.message_text(dw.MSG_PROGRAM_CREATED)), operator.boxes)
        self.assertTrue(operator.browsed and isinstance(operator.browsed[0][0], dw.DialogWindow), operator.browsed)
        sheet = os.path.join(self.folder, "sheet.html")
        dw.write_sheet(programs[0], sheet, "job.json")
        self.assertTrue(os.path.getsize(sheet) > 0)
        store = dw.copy_store()
        self.assertEqual((store.unit, store.material[2], len(store.steps), store.tools[1].ToolName, len(store.gauges)),
                         (0, 1, 1, "DIE16V", 1))
        self.assertTrue(store.program_path.endswith("PART.bmf") and store.data_path and store.conversion_path)
        self.assertEqual(dw.driver_id(), 1)

    def test_a_dry_run_and_a_cancelled_dialog(self):
        dw.set_user_interface(Operator())
        dw.SetDryRun(1)
        try:
            self.assertIsNone(dw.generate_machine_code_file())
        finally:
            dw.SetDryRun(0)
        (result,) = dw.run_results()
        self.assertEqual(result.outcome, dw.GROUP_CANCELLED, result)
        self.assertTrue(result.reason)

    def test_a_preflight_finding_names_the_unknown_die(self):
        hand_over_job(self.folder, die=b"NO-SUCH-DIE")
        report = dw.run_preflight()
        self.assertEqual(report.counts[dw.SEVERITY_ERROR], 1, list(report.lines()))
        (finding,) = report.findings
        self.assertEqual((finding.code, finding.step, finding.number, finding.record),
                         ("unknown-die", 0, 1, "steps[0].ToolID[1]"))
        self.assertIn("NO-SUCH-DIE", finding.text)
        self.assertEqual(report.json()["findings"][0]["code"], "unknown-die")

    def test_an_exception_in_a_callback_reaches_the_caller(self):
        def fail(window):
            raise RuntimeError("the operator fell over")
        dw.set_user_interface(Operator(fail))
        with self.assertRaisesRegex(RuntimeError, "fell over"):
            dw.generate_machine_code_file()
        self.assertEqual([r.outcome for r in dw.run_results()], [dw.GROUP_FAILED])


class ErrorTest(unittest.TestCase):
    def test_failures_raise_the_librarys_reason(self):
        missing = os.path.join(WORK, "no-such-program.wyr")
        with self.assertRaises(dw.Error) as caught:
            dw.write_sheet(missing, os.path.join(WORK, "sheet.html"))
        self.assertEqual(caught.exception.result, dw.SHEET_PROGRAM_FILE)
        self.assertIn(missing, str(caught.exception))
        with self.assertRaises(dw.Error) as caught:
            dw.library().text_out(dw.library().driverwyr_GetWrittenProgramPath, 99)
        self.assertEqual(str(caught.exception), dw.last_error())
        self.assertIn("GetWrittenProgramPath", str(caught.exception))

    def test_a_cut_or_malformed_description_is_refused_with_a_reason(self):
        with open(LIB.description_path, "rb") as f:
            whole = f.read()
        cases = [whole[:cut] for cut in range(0, len(whole), 4099)]
        cases += [b"[]", b'"x"', b"{}", whole.replace(b'"cdecl"', b'"stdcall"'),
                  whole.replace(b'"type": "int"', b'"type": "no-such-type"', 1),
                  whole.replace(b'"count": 1,', b'"count": -1,', 1), whole.replace(b'"name": "', b'"name": "a b', 1),
                  whole.replace(b'"getter": "driverwyr_', b'"getter": "gone_', 1)]
        path = os.path.join(WORK, "driverwyr_c.json")
        for data in cases:
            with open(path, "wb") as f:
                f.write(data)
            with self.assertRaises(dw.Error, msg=data[-40:]) as caught:
                Library(LIB.path, path)
            self.assertIn(path, str(caught.exception))
        with self.assertRaises(dw.Error):
            dw.find(LIB.path, WORK)  # a folder
        Library(LIB.path, LIB.description_path)

    def test_a_run_without_a_user_interface_says_so(self):
        folder = tempfile.mkdtemp(dir=WORK)
        hand_over_job(folder)
        dw.set_user_interface(None)
        with self.assertRaisesRegex(dw.Error, "no user interface"):
            dw.generate_machine_code_file()


def main():
    try:
        result = unittest.main(exit=False, verbosity=2).result
    finally:
        shutil.rmtree(WORK, ignore_errors=True)
    import gc
    gc.collect()  # frees what the tests left, through the ..._free functions
    never = [f["name"] for f in LIB.description["functions"] if not LIB.calls[f["name"]]]
    if never:
        print(f"never called through the package ({len(never)}): {' '.join(never)}")
    return 0 if result.wasSuccessful() and not never else 1


if __name__ == "__main__":
    sys.exit(main())
