#!/usr/bin/env python3
"""An outside tester's run of the built wyr: classes of input that a press
shop meets but no test of a single part names, each checked only through
what wyr shows (output, exit status, files).

    outside_test.py --wyr PATH [--full] [--jobs DIR] [--examples DIR]

By default a share of each class runs (what the test command runs, in well
under a minute), leaving out signals and unwritable output, which the
end-to-end tests of wyr (tests/wyr/output_test.cpp) check on every build;
--full tries every input of every class (every byte offset of the files).
Prints one line per class: inputs tried and how many held; exits 1 when any
did not hold, listing each.
"""
import argparse
import datetime
import json
import os
import shutil
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import time
from zoneinfo import ZoneInfo

CREATED = "message: The program is created"
TIMEOUT = 20  # seconds for one wyr process; more is a hang


class Record:
    def __init__(self):
        self.classes = {}
        self.faults = []

    def held(self, name, ok, what):
        tried, good = self.classes.get(name, (0, 0))
        self.classes[name] = (tried + 1, good + (1 if ok else 0))
        if not ok:
            self.faults.append(f"{name}: {what}")


class Wyr:
    def __init__(self, path, work):
        self.path = path
        self.work = work

    def run(self, args, env=None, stdout=subprocess.PIPE, config=None):
        environment = dict(os.environ)
        environment["XDG_CONFIG_HOME"] = str(config or os.path.join(self.work, "config"))
        environment.update(env or {})
        try:
            done = subprocess.run([self.path] + args, stdout=stdout, stderr=subprocess.PIPE,
                                  stdin=subprocess.DEVNULL, env=environment, timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            return None
        out = done.stdout.decode("utf-8", "replace") if isinstance(done.stdout, bytes) else ""
        return done.returncode, out, done.stderr.decode("utf-8", "replace")


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def programs(folder):
    return sorted(name for name in os.listdir(folder) if name.endswith(".wyr"))


def one_group_job(jobs_dir, folder, program="out/PART.bmf"):
    with open(os.path.join(jobs_dir, "create.json")) as f:
        job = json.load(f)
    job["paths"]["program"] = program
    fresh(os.path.join(folder, "out"))
    path = os.path.join(folder, "job.json")
    with open(path, "w") as f:
        json.dump(job, f)
    return path, job


def dump_json(wyr, path):
    result = wyr.run(["dump", path, "--json"])
    if result is None or result[0] != 0:
        return None
    return json.loads(result[1])


# --- clock and time-zone edges ------------------------------------------------

def clock_edges(wyr, args, record):
    work = fresh(os.path.join(wyr.work, "clock"))
    instants = ["2026-12-31T23:59:59Z", "2027-01-01T00:00:00Z", "2028-02-29T12:00:00Z", "2027-02-28T23:59:59.999Z",
                "2028-02-28T23:30:00Z", "1970-01-01T00:00:00Z", "2099-12-31T23:00:00Z", "2026-03-29T01:30:00Z",
                "9999-12-31T23:59:59Z"]
    zones = ["UTC", "Pacific/Kiritimati", "Etc/GMT+12", "Asia/Kathmandu", "America/St_Johns", "Europe/Berlin"]
    if not args.full:
        instants = instants[::2]
        zones = zones[:3]
    for instant in instants:
        for zone in zones:
            job, _ = one_group_job(args.jobs, work)
            fresh(os.path.join(work, "config"))
            result = wyr.run(["run", job, "--now", instant], env={"TZ": zone}, config=os.path.join(work, "config"))
            what = f"--now {instant} TZ={zone}"
            utc = datetime.datetime.strptime(instant[:19], "%Y-%m-%dT%H:%M:%S").replace(tzinfo=datetime.timezone.utc)
            try:
                local = utc.astimezone(ZoneInfo(zone)).date()
                expected = (local.year % 100, local.month, local.day)
            except OverflowError:
                expected = (0, 1, 1)  # 10000-01-01 east of UTC: the year's two digits are 00
            if result is None:
                record.held("clock", False, f"{what}: no end within {TIMEOUT} s")
                continue
            status, out, err = result
            files = programs(os.path.join(work, "out"))
            header = dump_json(wyr, os.path.join(work, "out", files[0]))["header"] if len(files) == 1 else None
            ok = (status == 0 and header is not None and header["ProgramName"] == f"{utc.month:02}{utc.day:02}00"
                  and (header["Year"], header["Month"], header["Day"]) == expected)
            record.held("clock", ok, f"{what}: status {status}, header {header}, expected {expected}, {err.strip()}")
    for instant in ["2027-02-29T00:00:00Z", "2026-13-01T00:00:00Z", "2026-12-07T24:00:00Z", "2026-12-31T23:59:60Z",
                    "1969-12-31T23:59:59Z", "2026-12-07T10:00:00+01:00", "2026-12-07 10:00:00Z", ""]:
        job, _ = one_group_job(args.jobs, work)
        fresh(os.path.join(work, "config"))
        result = wyr.run(["run", job, "--now", instant], config=os.path.join(work, "config"))
        ok = result is not None and result[0] == 2 and not programs(os.path.join(work, "out")) and "--now" in result[2]
        record.held("clock", ok, f"--now {instant!r} should be refused: {result}")


# --- the counter file as every kind of file-system object -----------------------

def counter_objects(wyr, args, record):
    work = fresh(os.path.join(wyr.work, "counter"))
    root = os.geteuid() == 0

    def make(kind, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if kind == "empty file":
            open(path, "w").close()
        elif kind == "folder":
            os.makedirs(path)
        elif kind == "FIFO":
            os.mkfifo(path)
        elif kind == "symbolic link to nothing":
            os.symlink(os.path.join(work, "nowhere", "Default"), path)
        elif kind == "symbolic link to a device":
            os.symlink("/dev/null", path)
        elif kind == "symbolic link to a folder":
            os.symlink(work, path)
        elif kind == "symbolic link loop":
            os.symlink(path, path)
        elif kind == "socket":
            s = socket.socket(socket.AF_UNIX)
            s.bind(path)
            s.close()
        elif kind == "unreadable file":
            with open(path, "w") as f:
                f.write("Serial Number=5\nSerial Month=12\nSerial Day=7\n")
            os.chmod(path, 0)
        elif kind == "folder without the key's folder":
            os.rmdir(os.path.dirname(path))
            open(os.path.dirname(path), "w").close()  # a file where the key's folder should be

    kinds = ["empty file", "folder", "FIFO", "symbolic link to nothing", "symbolic link to a device",
             "symbolic link to a folder", "symbolic link loop", "socket", "folder without the key's folder"]
    if not root:
        kinds.append("unreadable file")
    for kind in kinds:
        config = fresh(os.path.join(work, "config"))
        counter = os.path.join(config, "Ostrel", "TorvaneCommon", "Default")
        make(kind, counter)
        job, _ = one_group_job(args.jobs, work)
        result = wyr.run(["run", job, "--now", "2026-12-07T10:00:00Z"], config=config)
        if result is None:
            record.held("counter", False, f"{kind}: no end within {TIMEOUT} s")
            continue
        status, out, err = result
        written = programs(os.path.join(work, "out"))
        usable = kind == "empty file"
        # The program is written and reported either way; a counter that cannot
        # be used is told, and the status says so.
        ok = len(written) == 1 and CREATED in out and (status == 0 if usable else status == 1 and (
            "could not" in out or "could not" in err or "cannot" in err))
        record.held("counter", ok, f"{kind}: status {status}, files {written}, out {out!r}, err {err!r}")
        if kind == "symbolic link to a device":
            record.held("counter", os.path.islink(counter), f"{kind}: the link was replaced")


# --- truncated material data files --------------------------------------------

def truncated_material(wyr, args, record):
    work = fresh(os.path.join(wyr.work, "material"))
    shutil.copytree(os.path.join(args.examples, "materials"), os.path.join(work, "materials"))
    with open(os.path.join(args.examples, "bracket.json")) as f:
        job = json.load(f)
    job["paths"]["conversion"] = os.path.join(args.examples, "tools.cnv")
    job_path = os.path.join(work, "job.json")
    with open(job_path, "w") as f:
        json.dump(job, f)
    name = "f_1"  # the job's material type 1
    source = os.path.join(args.examples, "materials", name)
    with open(source, "rb") as f:
        whole = f.read()
    target = os.path.join(work, "materials", name)
    step = 1 if args.full else 5
    for cut in range(0, len(whole), step):
        with open(target, "wb") as f:
            f.write(whole[:cut])
        result = wyr.run(["material", "dump", target])
        record.held("material", result is not None and result[0] == 2 and "wyr material dump" in result[2],
                    f"{name} cut to {cut} bytes: material dump gave {result}")
        if cut % (1 if args.full else 25) != 0:
            continue
        fresh(os.path.join(work, "out"))
        result = wyr.run(["run", job_path, "--now", "2026-12-07T10:00:00Z"], config=os.path.join(work, "config"))
        if result is None:
            record.held("material", False, f"{name} cut to {cut} bytes: run did not end")
            continue
        status, out, err = result
        # A program calculated from a damaged file is never reported as
        # created without a word: every calculated step is warned about, or
        # the run fails.
        steps = len(job["steps"])
        told = status == 1 or out.count("message: Please note: [for step number: ") == steps
        record.held("material", status in (0, 1) and told, f"{name} cut to {cut} bytes: run status {status}: {out!r}")


# --- truncated program files ----------------------------------------------------

def truncated_program(wyr, args, record):
    work = fresh(os.path.join(wyr.work, "program"))
    job, _ = one_group_job(args.jobs, work)
    result = wyr.run(["run", job, "--now", "2026-12-07T10:00:00Z"], config=os.path.join(work, "config"))
    files = programs(os.path.join(work, "out"))
    if result is None or len(files) != 1:
        record.held("program", False, f"no program to cut: {result}")
        return
    with open(os.path.join(work, "out", files[0]), "rb") as f:
        whole = f.read()
    target = os.path.join(work, "cut.wyr")
    step = 1 if args.full else 11
    cuts = list(range(0, len(whole), step)) + [len(whole) + 1, len(whole) + 145]
    for cut in cuts:
        with open(target, "wb") as f:
            f.write(whole[:cut] if cut <= len(whole) else whole + b"\0" * (cut - len(whole)))
        for command in (["dump", target], ["dump", target, "--json"])[:2 if args.full else 1]:
            result = wyr.run(command)
            ok = result is not None and result[0] == 2 and "not a program file" in result[2] and result[1] == ""
            record.held("program", ok, f"{' '.join(command[1:] and command[2:])} cut to {cut} of {len(whole)}: {result}")


# --- signals during a run --------------------------------------------------------

def signals(wyr, args, record):
    work = fresh(os.path.join(wyr.work, "signals"))
    job_path, job = one_group_job(args.jobs, work)
    step = job["steps"][0]
    job["setups"] = [{"SetupName": f"S{i}", "ControlType": 2, "SetupIndex": i, "UserMachineName": "PB100"}
                     for i in range(200)]
    job["steps"] = [dict(step, SetupIndex=i + 1) for i in range(200)]
    job.pop("operator", None)
    with open(job_path, "w") as f:
        json.dump(job, f)
    cases = [(s, n) for s in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP) for n in (0, 1, 7, 30)]
    for sig, after in cases:
        out_dir = fresh(os.path.join(work, "out"))
        config = os.path.join(work, "config")
        environment = dict(os.environ, XDG_CONFIG_HOME=config)
        with tempfile.TemporaryFile() as out:
            process = subprocess.Popen([wyr.path, "run", job_path, "--now", "2026-12-07T10:00:00Z"], stdout=out,
                                       stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, env=environment)
            deadline = time.monotonic() + TIMEOUT
            while len(programs(out_dir)) < after and process.poll() is None and time.monotonic() < deadline:
                time.sleep(0.002)
            process.send_signal(sig)
            process.wait(timeout=TIMEOUT)
            out.seek(0)
            text = out.read().decode("utf-8", "replace")
        written = programs(out_dir)
        leftovers = [n for d in (out_dir, os.path.join(config, "Ostrel", "TorvaneCommon")) if os.path.isdir(d)
                     for n in os.listdir(d) if n.endswith(".tmp")]
        counter = os.path.join(config, "Ostrel", "TorvaneCommon", "Default")
        counter_ok = not os.path.exists(counter) or os.path.isfile(counter)
        ok = text.count(CREATED) == len(written) and not leftovers and counter_ok
        record.held("signals", ok, f"{signal.Signals(sig).name} after {after} programs: {len(written)} on disk, "
                                   f"{text.count(CREATED)} reported, leftovers {leftovers}")


# --- output that cannot be written -------------------------------------------------

def unwritable_output(wyr, args, record):
    work = fresh(os.path.join(wyr.work, "output"))
    job, _ = one_group_job(args.jobs, work)
    material = os.path.join(args.examples, "materials", "f_2")
    wyr.run(["run", job, "--now", "2026-12-07T10:00:00Z"], config=os.path.join(work, "config"))
    program = os.path.join(work, "out", programs(os.path.join(work, "out"))[0])
    commands = [["run", job], ["check", job], ["check", job, "--json"], ["dump", program], ["dump", program, "--json"],
                ["material", "dump", material], ["material", "dump", material, "--json"],
                ["material", "eval", material, "--angle", "90", "--ratio", "8", "--json"], ["--help"],
                ["run", job, "--transcript", "/dev/full"]]
    for command in commands:
        for sink in ("/dev/full", "closed pipe"):
            if command[-1] == "/dev/full" and sink == "closed pipe":
                continue
            if sink == "closed pipe":
                read_end, write_end = os.pipe()
                os.close(read_end)
                result = wyr.run(command, stdout=write_end, config=os.path.join(work, "config"))
                os.close(write_end)
                reason = "Broken pipe"
            else:
                with open("/dev/full", "wb") as full:
                    target = full if command[-1] != "/dev/full" else subprocess.DEVNULL
                    result = wyr.run(command, stdout=target, config=os.path.join(work, "config"))
                reason = "No space left on device"
            ok = result is not None and result[0] == 1 and reason in result[2]
            record.held("output", ok, f"{' '.join(command)} > {sink}: {result}")


# --- values that are finite but absurd ------------------------------------------------

def absurd_values(wyr, args, record):
    work = fresh(os.path.join(wyr.work, "absurd"))
    with open(os.path.join(args.examples, "bracket.json")) as f:
        base = json.load(f)
    base["paths"] = {"program": "out/ABSURD.bmf", "data": os.path.join(args.examples, "materials"),
                     "conversion": os.path.join(args.examples, "tools.cnv")}
    changes = [("material", "thickness", v) for v in (1e-30, 1e-6, 1e6, 3.4e38)] + \
              [("material", "tensile", v) for v in (1e-30, 1e6, 3.4e38)] + \
              [("steps", "BendAngle", v) for v in (1e-6, 179.9999, 1e6, -90, 3.4e38)] + \
              [("steps", "BendLength", v) for v in (1e-6, 32767, 1e9)] + \
              [("steps", "XX", [v, v, 0, 0]) for v in (-3.4e38, 3.4e38)] + \
              [("machines", "Tonnage", v) for v in (1e-30, 3.4e38)] + \
              [("tools", "VWidth", v) for v in (1e-6, 1e6)]
    if not args.full:
        changes = changes[::2]
    for where, key, value in changes:
        job = json.loads(json.dumps(base))
        if where == "material":
            job["material"][key] = value
        else:
            for item in job[where]:
                item[key] = value
        job_path = os.path.join(work, "job.json")
        with open(job_path, "w") as f:
            json.dump(job, f)
        out_dir = fresh(os.path.join(work, "out"))
        result = wyr.run(["run", job_path, "--now", "2026-12-07T10:00:00Z"], config=os.path.join(work, "config"))
        what = f"{where}.{key} = {value}"
        if result is None:
            record.held("absurd", False, f"{what}: no end within {TIMEOUT} s")
            continue
        status, out, err = result
        if status == 2:
            # Refused by the job reader, naming the place, with nothing written.
            record.held("absurd", key in err and not programs(out_dir), f"{what}: {err!r}")
            continue
        # Run: every program reported is on disk and decodes; none holds a
        # value that is not finite unless the run failed.
        finite = True
        for name in programs(out_dir):
            decoded = dump_json(wyr, os.path.join(out_dir, name))
            values = [v for r in ([decoded["header"]] + decoded["records"]) for v in r.values()] if decoded else [None]
            finite = finite and decoded is not None and None not in [v for v in values if not isinstance(v, str)]
        ok = status in (0, 1) and out.count(CREATED) == len(programs(out_dir)) and (finite or status == 1)
        record.held("absurd", ok, f"{what}: status {status}, finite {finite}: {out!r} {err!r}")


# name, function, whether the default (quick) run tries it
CLASSES = [("clock", clock_edges, True), ("counter", counter_objects, True), ("material", truncated_material, True),
           ("program", truncated_program, True), ("signals", signals, False), ("output", unwritable_output, False),
           ("absurd", absurd_values, True)]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--wyr", required=True)
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--only", action="append", help="run only this class (repeatable)")
    parser.add_argument("--jobs", default=os.path.join(here, "..", "wyr", "jobs"))
    parser.add_argument("--examples", default=os.path.join(here, "..", "..", "examples"))
    args = parser.parse_args()
    args.examples = os.path.abspath(args.examples)
    args.jobs = os.path.abspath(args.jobs)
    record = Record()
    work = tempfile.mkdtemp(prefix="wyr-outside-")
    try:
        wyr = Wyr(os.path.abspath(args.wyr), work)
        for name, run, quick in CLASSES:
            if (args.only and name not in args.only) or (not args.only and not args.full and not quick):
                continue
            run(wyr, args, record)
    finally:
        for folder, _, names in os.walk(work):
            for n in names:
                path = os.path.join(folder, n)
                if not os.path.islink(path):
                    os.chmod(path, stat.S_IRUSR | stat.S_IWUSR)
        shutil.rmtree(work, ignore_errors=True)
    for name, (tried, good) in record.classes.items():
        print(f"{name:10} {tried:6} inputs, {good:6} held")
    for fault in record.faults:
        print("FAULT " + fault)
    return 1 if record.faults else 0


if __name__ == "__main__":
    sys.exit(main())
