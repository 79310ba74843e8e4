"""DriverWyr for Python: the library's C interface through ctypes, made at
load time from the description the library is installed with
(include/driverwyr/driverwyr_c.json).

    import driverwyr
    driverwyr.load("/opt/driverwyr/lib/libdriverwyr.so")   # or DRIVERWYR_LIBRARY
    step = driverwyr.CPPStepInfo(NumberInSquence=1, BendAngle=90.0)
    driverwyr.InitPPSequence(driverwyr.CPPStepInfoArray([step]))

Names of the module, after load (the first use loads on its own):
  - the record kinds (CPPStepInfo, ...) and their arrays (CPPStepInfoArray);
  - every C function without its driverwyr_ prefix (SetUnit, SetPathNames,
    InitPPSequence, ...), taking str for texts and records for handles;
  - every constant without its DRIVERWYR_ prefix (ID_OK, MSG_PROGRAM_CREATED,
    GROUP_CREATED, SEVERITY_ERROR, ...);
  - the functions below, which raise driverwyr.Error when the library fails.
Texts are str in the code page given to load (latin-1 unless told: every
byte one character, both ways)."""

from . import _host, _records, _run
from ._host import Clock, Control, DialogWindow, UserInterface
from ._library import Error, Library, find
from ._records import INCH, MILLIMETRE, Record, RecordArray

__all__ = ["load", "library", "Error", "UserInterface", "DialogWindow", "Control", "Clock", "Record",
           "RecordArray", "INCH", "MILLIMETRE", "set_user_interface", "set_clock", "generate_machine_code_file",
           "run_results", "calculated_steps", "written_programs", "run_preflight", "write_sheet",
           "create_serial_counter_key", "message_text", "driver_id", "copy_store", "last_error"]

_loaded = None
_records_of = {}


def load(library_path=None, description_path=None, encoding="latin-1"):
    """Loads the library (found as driverwyr.find says) and makes the
    bindings from its description; once per process. The Library."""
    global _loaded
    library_path, description_path = find(library_path, description_path)
    if _loaded is not None:
        if _loaded.path != library_path:
            raise Error(f"{_loaded.path} is loaded already; cannot load {library_path} as well")
        return _loaded
    lib = Library(library_path, description_path, encoding)
    _records_of.update(_records.make_record_classes(lib))
    _loaded = lib
    return lib


def library():
    """The loaded Library, loading it from the defaults if need be."""
    return _loaded or load()


def __getattr__(name):
    lib = library()
    if name in _records_of:
        return _records_of[name]
    for full in ("driverwyr_" + name, "DRIVERWYR_" + name):
        if full in lib.functions:
            return lib.functions[full]
        if full in lib.constants:
            return lib.constants[full]
    raise AttributeError(f"module 'driverwyr' has no attribute {name!r}")


def set_user_interface(ui):
    """Installs ui, a UserInterface; None restores the platform's."""
    _host.set_user_interface(library(), ui)


def set_clock(clock):
    """Installs clock, a Clock; None restores the platform's."""
    _host.set_clock(library(), clock)


def generate_machine_code_file():
    return _run.generate_machine_code_file(library())


def run_results():
    return _run.run_results(library())


def calculated_steps():
    return _run.calculated_steps(library())


def written_programs():
    return _run.written_programs(library())


def run_preflight(material_given=True):
    return _run.PreflightReport(library(), material_given)


def write_sheet(program_path, sheet_path, records_label=None):
    _run.write_sheet(library(), program_path, sheet_path, records_label)


def create_serial_counter_key():
    _run.create_serial_counter_key(library())


def message_text(message_id):
    return _run.message_text(library(), message_id)


def driver_id():
    return _run.driver_id(library())


def copy_store():
    return _run.StoreCopy(library(), _records_of)


def last_error():
    return library().last_error()


generate_machine_code_file.__doc__ = _run.generate_machine_code_file.__doc__
run_results.__doc__ = _run.run_results.__doc__
write_sheet.__doc__ = _run.write_sheet.__doc__
