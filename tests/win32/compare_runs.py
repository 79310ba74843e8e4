#!/usr/bin/env python3
"""Runs every job of the corpus (tests/wyr/jobs/runs.json) and every example job
with the Linux wyr and with wyr.exe under Wine, and checks that both give the
same exit status, standard output and error, transcript, program files (byte
for byte) and serial counter (the Linux settings file against Wine's registry,
read back with `reg query`) after every run. Paths are compared in one form:
each side's case folder becomes <case>/ with forward slashes.

    compare_runs.py compare --ui native|memory WINE_RUN WYR_EXE NATIVE_WYR JOBS EXAMPLES WORK
    compare_runs.py fresh WINE_RUN WYR_EXE EXAMPLES WORK
    compare_runs.py unanswerable WINE_RUN WYR_EXE JOBS WORK
    compare_runs.py changing WINE_RUN WYR_EXE JOBS

`fresh` creates a new Wine prefix, runs the example job there once with the
real dialog and checks that the first programs of the day are numbered ...00
and ...01 and that the registry holds the counter afterwards.

`unanswerable` has the real dialog's operator choose a folder that does not
exist, which the folder browser cannot select: the run must fail by itself
(status 1, the reason on standard error), with every window cancelled and
nothing written, instead of hanging.

`changing` has the real dialog's operator choose a folder beside the job, the
job being in a folder under /tmp (drive Z:) whose modification time moves on
while the dialog is open, as /tmp's own does whenever a file comes or goes:
the browser must choose it, and the program must be written there.

Wine runs one at a time: they share the current user's serial counter key.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

KEY = r"HKCU\Software\Ostrel\TorvaneCommon\Default"
DEFAULT_RUNS = [{"now": "2026-12-07T10:00:00Z", "tz": "UTC"}]
# A run that takes longer than this has hung; the native user interface
# fails by itself well before.
RUN_TIMEOUT = 180


def windows_path(path):
    """The path as Wine shows a Linux path: the Unix root is drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(command, env=None, timeout=RUN_TIMEOUT):
    merged = dict(os.environ)
    merged.update(env or {})
    done = subprocess.run(command, env=merged, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


def normalise(text, root, separator):
    """Replaces `root` by <case> and the separators of the path after it by '/'."""
    def one(match):
        return "<case>" + match.group(1).replace(separator, "/")
    return re.sub(re.escape(root) + r"([^\s\":]*)", one, text.replace("\r\n", "\n"))


def normalise_json(value, root, separator):
    if isinstance(value, str):
        return normalise(value, root, separator)
    if isinstance(value, list):
        return [normalise_json(v, root, separator) for v in value]
    if isinstance(value, dict):
        return {k: normalise_json(v, root, separator) for k, v in value.items()}
    return value


def read_transcript(path, root=None, separator=None):
    """The transcript's events, with the paths under `root` normalised when given."""
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        events = [json.loads(line) for line in f if line.strip()]
    return events if root is None else normalise_json(events, root, separator)


def registry_counter(wine_run, env):
    """The values of the serial counter key in Wine's registry, or None without the key."""
    status, out, _ = run([wine_run, "reg", "query", KEY], env)
    if status != 0:
        return None
    values = {}
    for line in out.splitlines():
        match = re.match(r"\s+(.+?)\s+REG_\w+\s*(.*)$", line)
        if match:
            values[match.group(1)] = match.group(2).strip()
    return values


def written_files(folder, skip):
    """Every file under `folder` but `skip`, by relative path, with its bytes."""
    files = {}
    for base, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(base, name)
            relative = os.path.relpath(path, folder)
            if relative.split(os.sep)[0] in skip:
                continue
            with open(path, "rb") as f:
                files[relative] = f.read()
    return files


class Case:
    def __init__(self, name, job, folders, counter, runs, copy_folder=None):
        self.name, self.job, self.folders, self.counter, self.runs = name, job, folders, counter, runs
        self.copy_folder = copy_folder  # an example: its job, conversion file and materials are copied

    def lay_out(self, folder):
        """The case's folder: the job (job.json, or the example's own files) and its folders.

        Of an example only what it is made of is copied, never what a run of
        it left in its folder."""
        shutil.rmtree(folder, ignore_errors=True)
        if self.copy_folder:
            os.makedirs(folder)
            job = os.path.join(folder, os.path.basename(self.job))
            shutil.copyfile(self.job, job)
            shutil.copyfile(os.path.join(self.copy_folder, "tools.cnv"), os.path.join(folder, "tools.cnv"))
            shutil.copytree(os.path.join(self.copy_folder, "materials"), os.path.join(folder, "materials"))
        else:
            os.makedirs(folder)
            job = os.path.join(folder, "job.json")
            shutil.copyfile(self.job, job)
        for name in self.folders:
            os.makedirs(os.path.join(folder, name), exist_ok=True)
        return job


def load_cases(jobs, examples):
    with open(os.path.join(jobs, "runs.json"), encoding="utf-8") as f:
        manifest = json.load(f)["cases"]
    cases = []
    for name, entry in manifest.items():
        cases.append(Case(name, os.path.join(jobs, entry["job"]), entry.get("folders", ["out"]),
                          entry.get("counter", {}), entry.get("runs", DEFAULT_RUNS)))
    for entry in sorted(os.listdir(examples)):
        if entry.endswith(".json"):
            cases.append(Case("example " + entry, os.path.join(examples, entry), ["out"], {}, DEFAULT_RUNS,
                              copy_folder=examples))
    return cases


class Linux:
    separator = "/"

    @staticmethod
    def own_errors(err):
        return err

    def __init__(self, wyr, work):
        self.wyr, self.work = wyr, work

    def folder(self, case):
        return os.path.join(self.work, "linux", re.sub(r"\W", "_", case.name))

    def root(self, case):
        return self.folder(case)

    def counter_file(self, case):
        return os.path.join(self.folder(case), "config", "Ostrel", "TorvaneCommon", "Default")

    def set_counter(self, case):
        if case.counter is None:
            return
        os.makedirs(os.path.dirname(self.counter_file(case)), exist_ok=True)
        with open(self.counter_file(case), "w", encoding="utf-8") as f:
            f.writelines(f"{name}={value}\n" for name, value in case.counter.items())

    def counter(self, case):
        path = self.counter_file(case)
        if not os.path.exists(path):
            return None
        values = {}
        with open(path, "rb") as f:
            for line in f.read().decode("latin-1").splitlines():
                name, _, value = line.partition("=")
                values[name] = value.rstrip("\0")
        return values

    def run(self, case, job, transcript, when):
        env = {"TZ": when["tz"], "XDG_CONFIG_HOME": os.path.join(self.folder(case), "config")}
        return run([self.wyr, "run", job, "--transcript", transcript, "--now", when["now"]], env)


class Windows:
    separator = "\\"

    @staticmethod
    def own_errors(err):
        """wyr's standard error without Wine's own notices ("wine: ..."), such as
        the one the shell's browser causes when it reads the label of drive Z:."""
        return "".join(line for line in err.splitlines(True) if not line.startswith("wine: "))

    def __init__(self, wine_run, wyr_exe, work, ui):
        self.wine_run, self.wyr_exe, self.work, self.ui = wine_run, wyr_exe, work, ui

    def folder(self, case):
        return os.path.join(self.work, "windows-" + self.ui, re.sub(r"\W", "_", case.name))

    def root(self, case):
        return windows_path(self.folder(case))

    def wine(self, *arguments, env=None):
        return run([self.wine_run] + list(arguments), env)

    def set_counter(self, case):
        # One import: the key is deleted, then made anew with the case's values.
        lines = ["REGEDIT4", "", "[-HKEY_CURRENT_USER\\Software\\Ostrel\\TorvaneCommon\\Default]", ""]
        if case.counter is not None:
            lines.append("[HKEY_CURRENT_USER\\Software\\Ostrel\\TorvaneCommon\\Default]")
            lines += [f'"{name}"="{value}"' for name, value in case.counter.items()]
        path = os.path.join(self.folder(case), "counter.reg")
        with open(path, "w", encoding="ascii", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        status, out, err = self.wine("reg", "import", windows_path(path))
        if status != 0:
            raise RuntimeError(f"reg import failed: {out}{err}")
        os.remove(path)

    def counter(self, case):
        return registry_counter(self.wine_run, {})

    def run(self, case, job, transcript, when):
        command = [self.wyr_exe, "run", windows_path(job), "--transcript", windows_path(transcript),
                   "--now", when["now"], "--ui", self.ui]
        return self.wine(*command, env={"TZ": when["tz"]})


def play(side, case):
    """Runs the case on one side: what each run gave, and the files written."""
    folder = side.folder(case)
    job = case.lay_out(folder)
    side.set_counter(case)
    results = []
    for i, when in enumerate(case.runs):
        transcript = os.path.join(folder, f"transcript{i}.jsonl")
        status, out, err = side.run(case, job, transcript, when)
        root = side.root(case)
        results.append({
            "status": status,
            "stdout": normalise(out, root, side.separator),
            "stderr": normalise(side.own_errors(err), root, side.separator),
            "transcript": read_transcript(transcript, root, side.separator),
            "counter": side.counter(case),
        })
    skip = {"config", os.path.basename(job)} | {f"transcript{i}.jsonl" for i in range(len(case.runs))}
    return results, written_files(folder, skip)


def differences(case, linux, windows):
    found = []
    (linux_runs, linux_files), (windows_runs, windows_files) = linux, windows
    for i, (a, b) in enumerate(zip(linux_runs, windows_runs)):
        for what in ("status", "stdout", "stderr", "transcript", "counter"):
            if a[what] != b[what]:
                found.append(f"{case.name}, run {i}: {what} differs\n  Linux:   {a[what]!r}\n  Windows: {b[what]!r}")
    if sorted(linux_files) != sorted(windows_files):
        found.append(f"{case.name}: files written differ\n  Linux:   {sorted(linux_files)}\n"
                     f"  Windows: {sorted(windows_files)}")
    for name in sorted(set(linux_files) & set(windows_files)):
        if linux_files[name] != windows_files[name]:
            found.append(f"{case.name}: {name} differs between Linux and Windows")
    return found


def compare(ui, wine_run, wyr_exe, native_wyr, jobs, examples, work):
    linux, windows = Linux(native_wyr, work), Windows(wine_run, wyr_exe, work, ui)
    cases = load_cases(jobs, examples)
    failures, runs, programs = [], 0, 0
    started = time.monotonic()
    try:
        for case in cases:
            # Its message names where the counter lives: a file on Linux, the
            # registry key on Windows. The Windows unit tests check that case.
            if case.name == "counter_not_understood":
                continue
            case_started = time.monotonic()
            mine = play(linux, case)
            theirs = play(windows, case)
            runs += len(case.runs)
            programs += sum(1 for name in mine[1] if name.endswith(".wyr"))
            found = differences(case, mine, theirs)
            print(f"{'FAIL' if found else 'ok  '} {case.name} ({len(case.runs)} run(s), "
                  f"{time.monotonic() - case_started:.1f} s)", flush=True)
            failures += found
    finally:
        windows.wine("reg", "delete", KEY, "/f")
    print(f"{len(cases)} cases, {runs} runs, {programs} program files, --ui {ui}, "
          f"{time.monotonic() - started:.0f} s")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


def fresh(wine_run, wyr_exe, examples, work):
    """The first run in a new Wine prefix: wyr.exe makes the key, numbers from 00."""
    prefix = os.path.join(work, "fresh-prefix")
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(work, exist_ok=True)
    env = {"DRIVERWYR_WINEPREFIX": prefix}
    case = Case("fresh", os.path.join(examples, "bracket.json"), ["out"], None, DEFAULT_RUNS, copy_folder=examples)
    folder = os.path.join(work, "fresh")
    job = case.lay_out(folder)
    transcript = os.path.join(folder, "transcript.jsonl")
    problems = []
    try:
        status, out, err = run([wine_run, "reg", "query", KEY], env, timeout=600)  # also creates the prefix
        if status == 0:
            problems.append(f"a new prefix already has the key:\n{out}")
        status, out, err = run([wine_run, wyr_exe, "run", windows_path(job), "--ui", "native",
                                "--transcript", windows_path(transcript)], env)
        if status != 0:
            problems.append(f"wyr.exe run failed with status {status}:\n{out}{err}")
        dialogs = [e for e in read_transcript(transcript) or [] if e["event"] == "dialog"]
        names = [e["controls"]["1080"] for e in dialogs]
        if len(names) != 2 or not names[0].endswith("00") or not names[1].endswith("01") or \
                names[0][:4] != names[1][:4]:
            problems.append(f"the programs of the first run are numbered {names}, not ...00 and ...01")
        values = registry_counter(wine_run, env)
        if names and len(names[0]) == 6:
            want = {"Serial Number": "2", "Serial Month": str(int(names[0][:2])),
                    "Serial Day": str(int(names[0][2:4]))}
            if values != want:
                problems.append(f"the registry holds {values} after the run, not {want}")
        for name in ("BRACKET.S1P1.wyr", "BRACKET.S2P2.wyr"):
            if not os.path.exists(os.path.join(folder, "out", name)):
                problems.append(f"{name} was not written")
    finally:
        run(["wineserver", "-k"], {"WINEPREFIX": prefix})
        shutil.rmtree(prefix, ignore_errors=True)
    for problem in problems:
        print(problem)
    if not problems:
        print(f"a new prefix: programs {names}, registry {values}")
    return 1 if problems else 0


def browsing_job(jobs, folder, folders, browse):
    """The corpus's create.json laid out in `folder` with `folders`, its operator
    choosing `browse` in the folder browser and then creating the programs."""
    job = Case("browse", os.path.join(jobs, "create.json"), folders, {}, DEFAULT_RUNS).lay_out(folder)
    with open(job, encoding="utf-8") as f:
        content = json.load(f)
    content["operator"] = [[{"browse": browse}, {"press": "create"}]]
    with open(job, "w", encoding="utf-8") as f:
        json.dump(content, f)
    return job


def unanswerable(wine_run, wyr_exe, jobs, work):
    folder = os.path.join(work, "unanswerable")
    job = browsing_job(jobs, folder, ["out"], "no such folder")
    transcript = os.path.join(folder, "transcript.jsonl")
    started = time.monotonic()
    status, out, err = run([wine_run, wyr_exe, "run", windows_path(job), "--ui", "native",
                            "--transcript", windows_path(transcript)])
    problems = []
    if status != 1:
        problems.append(f"status {status}, not 1")
    if "the native user interface: the folder browser could not select" not in err:
        problems.append(f"standard error does not tell why:\n{err}")
    events = [e["event"] for e in read_transcript(transcript) or []]
    if events != ["dialog", "closed", "done"]:
        problems.append(f"transcript {events}, not a dialog that was cancelled")
    if os.listdir(os.path.join(folder, "out")):
        problems.append("something was written")
    for problem in problems:
        print(problem)
    print(f"{out}{err}the run ended after {time.monotonic() - started:.1f} s")
    return 1 if problems else 0


def changing(wine_run, wyr_exe, jobs):
    top = tempfile.mkdtemp(prefix="driverwyr-browse-", dir="/tmp")
    folder = os.path.join(top, "job")
    job = browsing_job(jobs, folder, ["out", "alt"], "alt")
    # The job's folder gets a new modification time every 10 ms, 2 s later
    # each time (the shell keeps it to 2 s), from before the dialog opens
    # until the run has ended.
    stop = threading.Event()

    def touch():
        moment = time.time()
        while not stop.wait(0.01):
            moment += 2
            os.utime(folder, (moment, moment))

    toucher = threading.Thread(target=touch)
    toucher.start()
    problems = []
    try:
        status, out, err = run([wine_run, wyr_exe, "run", windows_path(job), "--ui", "native"])
        stop.set()
        toucher.join()
        if status != 0:
            problems.append(f"status {status}, not 0:\n{out}{err}")
        written = sorted(os.listdir(os.path.join(folder, "alt")))
        if not written or os.listdir(os.path.join(folder, "out")):
            problems.append(f"the programs are not in alt/ alone: alt/ holds {written}")
    finally:
        stop.set()
        toucher.join()
        shutil.rmtree(top, ignore_errors=True)
    for problem in problems:
        print(problem)
    if not problems:
        print(f"chose {windows_path(os.path.join(folder, 'alt'))}; wrote {written}")
    return 1 if problems else 0


def main(argv):
    if len(argv) == 10 and argv[1] == "compare" and argv[2] == "--ui":
        return compare(argv[3], *argv[4:])
    if len(argv) == 6 and argv[1] == "fresh":
        return fresh(*argv[2:])
    if len(argv) == 6 and argv[1] == "unanswerable":
        return unanswerable(*argv[2:])
    if len(argv) == 5 and argv[1] == "changing":
        return changing(*argv[2:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
