#!/usr/bin/env python3
"""Mutation check: how many realistic faults in the library does the test suite catch?

Usage:
    scripts/mutation-check.py [--source DIR] [--work DIR] [--only ID[,ID...]] [--list]
                              [--jobs N] [--report FILE]

The faults are in scripts/mutations.txt (format in its header). The source tree (default:
this checkout without .git and build*/) is copied to WORK/tree (default WORK:
/var/tmp/rg-mutation-work), built once, and the whole suite must pass there. Then each
fault is applied, the tree rebuilt incrementally and the suite run until its first
failure; the file is restored afterwards, also on Ctrl-C. A fault is KILLED when a test
fails or runs longer than 120 s, SURVIVED when all pass, INVALID when it does not build
or its text does not occur exactly once. --list only checks the text against --source;
--report also writes the table as Markdown. Logs: WORK/logs. Exit status 1: an INVALID.
"""
import argparse, os, re, shutil, signal, subprocess, sys, time
from dataclasses import dataclass
from pathlib import Path

SCRIPT_DIR = Path(__file__).resolve().parent
FAULTS_FILE = SCRIPT_DIR / "mutations.txt"
# The tests' own TIMEOUT properties outrank ctest's --timeout, so a watchdog enforces it.
TEST_LIMIT_S = 120
RESULT_LINE = re.compile(r"Test\s+#\d+: (\S+) [ .]*(.*?)\s+[\d.]+ sec")
START_LINE = re.compile(r"Start\s+\d+: (\S+)")


@dataclass
class Fault:
    id: str
    file: str
    description: str
    old: bytes = b""
    new: bytes = b""
    result: str = ""
    detail: str = ""


def load_faults(path):
    faults, texts = [], []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line[:2] in ("- ", "+ ") or line in ("-", "+"):
            if not texts:
                sys.exit(f"{path}:{number}: text before the first fault")
            texts[-1][line[0]].append(line[2:])
        elif line.strip() and not line.startswith("#"):
            faults.append(Fault(*line.split(None, 2)))
            texts.append({"-": [], "+": []})
    ids = [fault.id for fault in faults]
    for fault, text in zip(faults, texts):
        if not text["-"] or not text["+"] or ids.count(fault.id) > 1:
            sys.exit(f"{path}: fault {fault.id} is duplicated or lacks its - or + lines")
        fault.old, fault.new = ("\n".join(text[side]).encode() for side in "-+")
    return faults


def occurrences(tree, fault):
    path = tree / fault.file
    return path.read_bytes().count(fault.old) if path.is_file() else 0


def list_faults(faults, source):
    for fault in faults:
        count = occurrences(source, fault)
        print(f"{fault.id:30} {fault.file:55} {'ok' if count == 1 else f'found {count} times'}")
    covered = {fault.file for fault in faults}
    sources = [*source.glob("ReportGenerator/src/**/*.cpp"), *source.glob("utils/*.cpp")]
    missing = sorted({str(p.relative_to(source)) for p in sources} - covered)
    print(f"{len(faults)} faults in {len(covered)} files; without a fault: {missing or 'none'}")


def stop(process):
    """Interrupts first so that ctest can end its tests, then kills the group."""
    for sig, grace in ((signal.SIGINT, 10), (signal.SIGKILL, None)):
        if process.poll() is None:
            os.killpg(process.pid, sig)
            try:
                process.wait(grace)
            except subprocess.TimeoutExpired:
                pass


def run(command, log, env=None, stalled=lambda: False):
    """Exit status of command, or None when stalled() asked to stop it."""
    command = [str(part) for part in command]
    with open(log, "a", encoding="utf-8") as out:
        print("$", *command, file=out, flush=True)
        process = subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT, env=env,
                                   start_new_session=True)
        try:
            while True:
                try:
                    return process.wait(timeout=1)
                except subprocess.TimeoutExpired:
                    if stalled():
                        return None
        finally:
            stop(process)


def watchdog(log, culprits):
    """A stalled() for run(): true once a test of log runs longer than TEST_LIMIT_S."""
    started = {}

    def stalled():
        text = log.read_text(errors="replace")
        finished = {name for name, _ in RESULT_LINE.findall(text)}
        for name in START_LINE.findall(text):
            started.setdefault(name, time.monotonic())
            if name not in finished and time.monotonic() - started[name] > TEST_LIMIT_S:
                culprits.append(name)
        return bool(culprits)
    return stalled


def run_suite(build_dir, jobs, log, env):
    """(passed, first failure)."""
    log.unlink(missing_ok=True)
    culprits = []
    command = ["ctest", "--test-dir", build_dir, "-j", jobs, "--stop-on-failure",
               "--output-on-failure", "--timeout", TEST_LIMIT_S]
    status = run(command, log, env, watchdog(log, culprits))
    if status is None:
        return False, f"{culprits[0]} (over {TEST_LIMIT_S} s)"
    if status == 0:
        return True, ""
    results = RESULT_LINE.findall(log.read_text(errors="replace"))
    failed = [f"{name} ({state.replace('*', '') or 'failed'})" for name, state in results
              if state != "Passed"]
    return False, failed[0] if failed else f"ctest exit status {status}"


def copy_tree(source, tree):
    def ignored(directory, names):
        top = Path(directory) == source
        return [name for name in names if name == ".git"
                or (top and name.startswith("build") and (source / name).is_dir())]
    if tree.exists():
        shutil.rmtree(tree)
    shutil.copytree(source, tree, symlinks=True, ignore=ignored)


def prepare(source, tree, jobs, logs, env):
    copy_tree(source, tree)
    log = logs / "baseline.log"
    log.unlink(missing_ok=True)
    configure = ["cmake", "-S", tree, "-B", tree / "build", "-DRG_BENCH=OFF"]
    build = ["cmake", "--build", tree / "build", "-j", jobs]
    if run(configure, log) != 0 or run(build, log) != 0:
        sys.exit(f"the unmutated tree does not build: see {log}")
    passed, failure = run_suite(tree / "build", jobs, logs / "baseline.ctest.log", env)
    if not passed:
        sys.exit(f"the suite fails without any fault ({failure}): see {logs}/baseline.ctest.log")


def check(fault, tree, jobs, logs, env):
    """(result, detail); the file is restored whatever happens."""
    path = tree / fault.file
    count = occurrences(tree, fault)
    if count != 1:
        return "INVALID", f"text found {count} times"
    original = path.read_bytes()
    log = logs / f"{fault.id}.log"
    log.unlink(missing_ok=True)
    try:
        path.write_bytes(original.replace(fault.old, fault.new))
        if run(["cmake", "--build", tree / "build", "-j", jobs], log) != 0:
            return "INVALID", f"does not build, see {log.name}"
        passed, failure = run_suite(tree / "build", jobs, logs / f"{fault.id}.ctest.log", env)
        return ("SURVIVED", "") if passed else ("KILLED", failure)
    finally:
        path.write_bytes(original)


def score(faults):
    killed = sum(fault.result == "KILLED" for fault in faults)
    valid = killed + sum(fault.result == "SURVIVED" for fault in faults)
    return f"killed {killed} of {valid} valid ({100 * killed / valid if valid else 0:.1f} %)"


def print_table(faults):
    print(f"\n{'id':30} {'result':9} {'first failure':45} file: description")
    for fault in faults:
        print(f"{fault.id:30} {fault.result:9} {fault.detail or '-':45} "
              f"{fault.file}: {fault.description}")
    print(score(faults))


def write_report(faults, path, elapsed):
    def cell(text):
        return (text or "-").replace("|", "\\|")
    rows = [f"| {' | '.join(map(cell, (f.id, f.file, f.description, f.result, f.detail)))} |"
            for f in faults]
    Path(path).write_text("\n".join([
        "# Mutation check", "", f"Score: {score(faults)}; run time {elapsed / 60:.0f} min.", "",
        "| id | file | description | result | first failure |", "|---|---|---|---|---|",
        *rows, ""]), encoding="utf-8")


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--source", type=Path, default=SCRIPT_DIR.parent, help="tree to copy")
    parser.add_argument("--work", type=Path, default=Path("/var/tmp/rg-mutation-work"))
    parser.add_argument("--only", help="comma-separated fault ids")
    parser.add_argument("--list", action="store_true", help="check the faults' text, then stop")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1, help="build/test jobs")
    parser.add_argument("--report", type=Path, help="Markdown file for the results")
    return parser.parse_args()


def selected(faults, only):
    wanted = only.split(",") if only else [fault.id for fault in faults]
    unknown = set(wanted) - {fault.id for fault in faults}
    if unknown:
        sys.exit(f"unknown fault ids: {', '.join(sorted(unknown))}")
    return [fault for fault in faults if fault.id in wanted]


def main():
    args = parse_arguments()
    source, work = args.source.resolve(), args.work.resolve()
    faults = selected(load_faults(FAULTS_FILE), args.only)
    if args.list:
        list_faults(faults, source)
        return 0
    inside = source in work.parents and not work.relative_to(source).parts[0].startswith("build")
    if source == work or inside:
        sys.exit("--work must lie outside --source (or in one of its build* directories)")
    tree, logs, runtime = work / "tree", work / "logs", work / "runtime"
    logs.mkdir(parents=True, exist_ok=True)
    runtime.mkdir(exist_ok=True)
    runtime.chmod(0o700)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=str(runtime))
    begin = time.monotonic()
    print(f"Building and testing the unmutated copy of {source} in {tree} ...", flush=True)
    prepare(source, tree, args.jobs, logs, env)
    try:
        for number, fault in enumerate(faults, 1):
            started = time.monotonic()
            fault.result, fault.detail = check(fault, tree, args.jobs, logs, env)
            print(f"[{number:2}/{len(faults)}] {fault.result:8} {fault.id:30} {fault.detail} "
                  f"({time.monotonic() - started:.0f} s)", flush=True)
    except KeyboardInterrupt:
        print("\ninterrupted: every file is restored", file=sys.stderr)
        return 130
    elapsed = time.monotonic() - begin
    print_table(faults)
    print(f"run time {elapsed / 60:.1f} min; logs in {logs}")
    if args.report:
        write_report(faults, args.report, elapsed)
    return 1 if any(fault.result == "INVALID" for fault in faults) else 0


if __name__ == "__main__":
    sys.exit(main())
