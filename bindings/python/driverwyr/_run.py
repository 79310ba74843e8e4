"""Runs and what they leave: program creation, the run's results, the
calculated steps, the written programs, the pre-flight report, the set-up
sheet, the serial counter key, the driver's message texts and a copy of the
store. Structs the library fills come back as Result objects whose
attributes are the struct's members (texts as str, arrays as lists)."""

import ctypes
import json

from ._library import Error


class Result:
    """The members of a struct the library filled, copied out."""

    def __init__(self, lib, struct):
        for member in struct.members:
            value = getattr(struct, member["name"])
            if member["type"] == "const char*":
                value = lib.decode(value or b"")
            elif member.get("count", 1) != 1:
                value = list(value)
            setattr(self, member["name"], value)

    def __repr__(self):
        return f"Result({', '.join(f'{k}={v!r}' for k, v in vars(self).items())})"


def _list(lib, count_function, entry_function, struct_name):
    struct_type, entries = lib.structs[struct_name], []
    for index in range(count_function()):
        struct = struct_type()
        if entry_function(index, ctypes.byref(struct)):
            lib.fail(entry_function.name)
        entries.append(Result(lib, struct))
    return entries


def run_results(lib):
    """What became of each group of the last run (outcome GROUP_CREATED,
    GROUP_CANCELLED, GROUP_FAILED or GROUP_NOT_RUN, with the reason)."""
    return _list(lib, lib.driverwyr_GetRunResultCount, lib.driverwyr_GetRunResult, "driverwyr_run_result")


def calculated_steps(lib):
    return _list(lib, lib.driverwyr_GetCalculatedStepCount, lib.driverwyr_GetCalculatedStep,
                 "driverwyr_calculated_step")


def written_programs(lib):
    """The paths of the ".wyr" files the last run wrote, in order."""
    return [lib.text_out(lib.driverwyr_GetWrittenProgramPath, i) for i in range(lib.driverwyr_GetWrittenProgramCount())]


def generate_machine_code_file(lib, path_size=4096):
    """Runs program creation. The program path as the last creation left it,
    or None when the operator created nothing; raises Error when a group
    failed or no run took place (run_results tells which and why)."""
    buffer = ctypes.create_string_buffer(path_size)
    nested = lib.depth > 0  # from a callback of a run in progress: the library refuses it
    length = lib.driverwyr_GenerateMachineCodeFile(buffer, path_size)
    if length >= 0:
        return lib.decode(buffer.value)
    if nested:
        lib.fail("driverwyr_GenerateMachineCodeFile", length)
    results = run_results(lib)
    failed = [r for r in results if r.outcome == lib.constants["DRIVERWYR_GROUP_FAILED"]]
    if failed or not results:
        lib.fail("driverwyr_GenerateMachineCodeFile", length)
    return None


def _why_not_call(lib, function, *args, size=1024):
    why_not = ctypes.create_string_buffer(size)
    result = function(*args, why_not, size)
    if result:
        raise_error(lib, function.name, result, lib.decode(why_not.value))


def raise_error(lib, function, result, why):
    raise Error(why or lib.last_error() or f"{function} failed", function, result)


def create_serial_counter_key(lib):
    _why_not_call(lib, lib.driverwyr_CreateSerialCounterKey)


def write_sheet(lib, program_path, sheet_path, records_label=None):
    """Writes the set-up sheet of a program; Error.result is the
    DRIVERWYR_SHEET_... (or -1) when it fails."""
    _why_not_call(lib, lib.driverwyr_WriteSheet, program_path, sheet_path, records_label)


def message_text(lib, message_id):
    return lib.text_out(lib.driverwyr_GetMessageText, message_id)


def driver_id(lib):
    value = ctypes.c_int()
    lib.driverwyr_GetDriverID(ctypes.byref(value))
    return value.value


class PreflightReport:
    """The pre-flight report of the store's job, copied out of the library:
    findings (Results with severity, group, step, number, code, category,
    record, text), counts by severity and the report's JSON text."""

    SEVERITIES = ("error", "warning", "note")

    def __init__(self, lib, material_given=True):
        report = lib.driverwyr_RunPreflight(1 if material_given else 0)
        if not report:
            lib.fail("driverwyr_RunPreflight")
        try:
            self.counts = [lib.driverwyr_preflight_report_count(report, s) for s in range(len(self.SEVERITIES))]
            self.findings = _list(lib, lambda: lib.driverwyr_preflight_report_size(report),
                                  _bound(lib.driverwyr_preflight_report_finding, report), "driverwyr_finding")
            self.json_text = lib.text_out(lib.driverwyr_preflight_report_json, report)
        finally:
            lib.driverwyr_preflight_report_free(report)

    def json(self):
        return json.loads(self.json_text)

    def summary(self):
        return "pre-flight: {} errors, {} warnings, {} notes".format(*self.counts)

    def lines(self):
        """The report as text: the summary, then a line per finding
        (severity code: place[, record]: text)."""
        yield self.summary()
        for f in self.findings:
            place = f"step {f.step} (number {f.number})" if f.step >= 0 else "job"
            record = f", {f.record}" if f.record else ""
            yield f"finding: {self.SEVERITIES[f.severity]} {f.code}: {place}{record}: {f.text}"


def _bound(function, first):
    bound = lambda *args: function(first, *args)  # noqa: E731
    bound.name = function.name
    return bound


class StoreCopy:
    """A copy of everything the store holds: unit, paths, material and the
    record arrays (steps, tools, setups, machines, gauges)."""

    def __init__(self, lib, records):
        handle = lib.driverwyr_CopyStore()
        if not handle:
            lib.fail("driverwyr_CopyStore")
        self._lib, self._as_parameter_ = lib, ctypes.c_void_p(handle)
        self.unit = lib.driverwyr_store_copy_unit(self)
        for name in ("program_path", "data_path", "conversion_path"):
            setattr(self, name, lib.text_out(lib.functions["driverwyr_store_copy_" + name], self))
        self.material = (lib.driverwyr_store_copy_material_thickness(self),
                         lib.driverwyr_store_copy_material_tensile(self), lib.driverwyr_store_copy_material_type(self))
        for name, kind in (("steps", "CPPStepInfo"), ("tools", "CPPTool"), ("setups", "CPPSetup"),
                           ("machines", "CPPMachine"), ("gauges", "CPPBGauge")):
            array = lib.functions["driverwyr_store_copy_" + name](self)
            setattr(self, name, records[kind + "Array"](_handle=array, _owner=self))

    def __del__(self):
        if getattr(self, "_as_parameter_", None):
            self._lib.driverwyr_store_copy_free(self._as_parameter_)
            self._as_parameter_ = None
