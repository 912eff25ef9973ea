#!/usr/bin/env python3
"""End-to-end comparison on the bundled example: the library's first report in a fresh
process and its following reports in the same process, against wkhtmltopdf, headless
Chromium and a bare Qt WebKit program that only loads and prints the same filled page.

Runs are interleaved (one of each per round), times are medians, memory is the peak
resident set of each process (/usr/bin/time -v) and the library's resident set after a
long run of reports in one process. The library's pauses after each label are timed by
repeat_reports (it stands in for usleep) and reported apart; they are never skipped.

    bench/compare-end-to-end.py --build-dir build-bench [--rounds 7] [--following 20]
        [--soak 200] [--json results.json]
"""

import argparse
import datetime
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLE = os.path.join(SOURCE_DIR, "examples")
TEMPLATE = os.path.join(EXAMPLE, "report", "EndFaceReport.htm")
CHECKER_XML = os.path.join(EXAMPLE, "data", "CheckerResults.xml")
CUSTOMER_XML = os.path.join(EXAMPLE, "data", "CustomerInfo.xml")
STAGING_PAGE = "/tmp/DomReportGenerator.htm"
TIME = "/usr/bin/time"
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update",
                  "--disable-sync", "--no-pdf-header-footer"]

# Targets: (key of a ratio or percentage, highest value that holds, wording).
TARGETS = [
    ("first_vs_wkhtmltopdf", 0.5, "first report <= 0.5x wkhtmltopdf"),
    ("following_vs_wkhtmltopdf", 0.1, "following report <= 0.1x wkhtmltopdf"),
    ("following_vs_floor", 1.1, "following report <= 1.1x bare Qt WebKit"),
    ("peak_rss_vs_wkhtmltopdf", 1.0, "peak memory <= wkhtmltopdf"),
    ("growth_percent", 5.0, "memory growth over the long run <= 5 %"),
]


def log(message):
    print(message, file=sys.stderr, flush=True)


def count_labels(template):
    """Label markers as the template scanner finds them: per line, each opening marker
    paired with the first closing marker after it."""
    count = 0
    with open(template, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            for opening in re.finditer(r"\{~", line):
                if line.find("~}", opening.end()) >= 0:
                    count += 1
    return count


def apt_install(package):
    if os.geteuid() != 0:
        return False
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    for command in (["apt-get", "update"],
                    ["apt-get", "install", "-y", "--no-install-recommends", package]):
        if subprocess.run(command, env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode != 0:
            return False
    return True


def find_or_install(program, package):
    """Path of program, installing its Debian package when missing; None if impossible."""
    path = shutil.which(program)
    if path is None and apt_install(package):
        path = shutil.which(program)
    return path


def headless_environment(work):
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    os.chmod(runtime, 0o700)
    return dict(os.environ, QT_QPA_PLATFORM="offscreen", QT_FONT_DPI="96",
                XDG_RUNTIME_DIR=runtime)


def parse_records(text):
    """key=value records of repeat_reports and bare_webkit_print."""
    summary, reports, pages = {}, [], []
    for line in text.splitlines():
        fields = dict(item.split("=", 1) for item in line.split() if "=" in item)
        if "report" in fields:
            reports.append(fields)
        elif "html" in fields:
            pages.append(fields)
        else:
            summary.update(fields)
    return summary, reports, pages


class Runner:
    """Runs one kind of process under /usr/bin/time -v and keeps its measurements."""

    def __init__(self, name, command, env, output):
        self.name, self.command, self.env, self.output = name, command, env, output
        self.walls, self.firsts, self.peaks, self.runs = [], [], [], []

    def run(self):
        if os.path.exists(self.output):
            os.unlink(self.output)
        usage = self.output + ".time"
        start = time.clock_gettime(time.CLOCK_MONOTONIC) * 1000
        done = subprocess.run([TIME, "-v", "-o", usage] + self.command, env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                              timeout=600)
        wall = time.clock_gettime(time.CLOCK_MONOTONIC) * 1000 - start
        if done.returncode != 0 or not is_pdf(self.output):
            raise RuntimeError("%s failed (%d): %s" % (self.name, done.returncode,
                                                      done.stderr[-2000:]))
        records = parse_records(done.stdout)
        self.walls.append(wall)
        # Our programs tell when their first PDF was done; the others are done when they end.
        finished = records[0].get("first_pdf_at_ms")
        self.firsts.append(float(finished) - start if finished else wall)
        self.peaks.append(peak_resident_kb(usage))
        self.runs.append(records)


def is_pdf(path):
    if not os.path.exists(path) or os.path.getsize(path) < 1000:
        return False
    with open(path, "rb") as pdf:
        return pdf.read(4) == b"%PDF"


def peak_resident_kb(usage_file):
    with open(usage_file) as usage:
        for line in usage:
            if "Maximum resident set size" in line:
                return int(line.rsplit(":", 1)[1])
    raise RuntimeError("no peak memory in " + usage_file)


class Setup:
    """Paths of the build and the example, and the commands of every runner."""

    def __init__(self, args):
        build = os.path.abspath(args.build_dir)
        self.work = os.path.join(build, "bench-end-to-end")
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.env = headless_environment(self.work)
        self.library = args.library or os.path.join(build, "libReportGenerator.so.1")
        self.repeat_reports = os.path.join(build, "bench", "repeat_reports")
        self.bare = os.path.join(build, "bench", "bare_webkit_print")
        self.page = os.path.join(self.work, "page.htm")
        self.library_arguments = [
            "--library=" + self.library, "--template=" + TEMPLATE,
            "--checker=" + CHECKER_XML, "--customer=" + CUSTOMER_XML,
            "--low=" + os.path.join(build, "examples", "images", "lowmag.png"),
            "--high=" + os.path.join(build, "examples", "images", "highmag.png"),
            "--locale-dir=" + os.path.join(build, "examples", "locale"),
            "--language=ENGLISH"]

    def output_dir(self, name):
        path = os.path.join(self.work, name)
        os.makedirs(path, exist_ok=True)
        return path

    def library_command(self, name, count, extra=()):
        return ([self.repeat_reports] + self.library_arguments
                + ["--output-dir=" + self.output_dir(name), "--count=%d" % count]
                + list(extra))

    def make_filled_page(self):
        """The staging page of one CreateReport, copied before the library unloads."""
        command = self.library_command("page", 1, ["--keep-page=" + self.page])
        done = subprocess.run(command, env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, timeout=600)
        if done.returncode != 0 or not os.path.exists(self.page):
            raise RuntimeError("the library made no report: " + done.stderr[-2000:])
        if os.path.exists(STAGING_PAGE):
            log("note: %s is still there after the library was unloaded" % STAGING_PAGE)


def make_runners(setup, following, chromium):
    def library(name, count, extra=()):
        return Runner(name, setup.library_command(name, count, extra), setup.env,
                      os.path.join(setup.output_dir(name), "report.pdf"))

    def bare(name, count, extra=()):
        out = setup.output_dir(name)
        return Runner(name, [setup.bare, setup.page, out, str(count)] + list(extra), setup.env,
                      os.path.join(out, "bare.pdf"))

    wk_pdf = os.path.join(setup.output_dir("wkhtmltopdf"), "page.pdf")
    runners = [
        library("library_first", 1),
        Runner("wkhtmltopdf", ["wkhtmltopdf", "--page-size", "Letter",
                               "--enable-local-file-access", setup.page, wk_pdf],
               setup.env, wk_pdf),
        bare("floor_first", 1),
        library("library_following", following + 1, ["--html-count=5"]),
        bare("floor_following", following + 1),
        bare("floor_fresh_following", following + 1, ["--fresh-images"]),
    ]
    if chromium:
        runners.insert(2, ChromiumRunner(chromium, setup))
    return runners


class ChromiumRunner(Runner):
    """Chromium with a new profile directory for every run."""

    def __init__(self, chromium, setup):
        pdf = os.path.join(setup.output_dir("chromium"), "page.pdf")
        super().__init__("chromium", [], setup.env, pdf)
        self.chromium, self.page = chromium, setup.page

    def run(self):
        with tempfile.TemporaryDirectory(prefix="chromium-profile-") as profile:
            self.command = ([self.chromium] + CHROMIUM_FLAGS
                            + ["--user-data-dir=" + profile, "--print-to-pdf=" + self.output,
                               "file://" + self.page])
            super().run()


def interleave(runners, rounds):
    """One run of each runner per round, the order turned by one each round."""
    for runner in runners:
        runner.run()  # warm-up: page cache, font cache, first-run work
        runner.walls, runner.firsts, runner.peaks, runner.runs = [], [], [], []
    for number in range(rounds):
        log("round %d of %d" % (number + 1, rounds))
        turn = number % len(runners)
        for runner in runners[turn:] + runners[:turn]:
            runner.run()


def following_times(runner, field):
    """Every report after the first of every run, pooled: whole time, or less pauses."""
    values = []
    for _, reports, _ in runner.runs:
        for report in reports[1:]:
            values.append(float(report["ms"]) - (float(report["pause_ms"]) if field else 0))
    return values


def following_cpu_times(runner):
    return [float(report["cpu_ms"]) for _, reports, _ in runner.runs for report in reports[1:]]


def first_times_without_pauses(runner):
    return [first - float(reports[0]["pause_ms"])
            for first, (_, reports, _) in zip(runner.firsts, runner.runs)]


def page_fill_times(runner):
    """CreateReportHtml alone, whole and less pauses."""
    pages = [page for _, _, run_pages in runner.runs for page in run_pages]
    return ([float(p["ms"]) for p in pages],
            [float(p["ms"]) - float(p["pause_ms"]) for p in pages])


def soak(setup, count):
    log("long run: %d reports in one process" % count)
    runner = Runner("library_soak", setup.library_command("soak", count), setup.env,
                    os.path.join(setup.output_dir("soak"), "report.pdf"))
    runner.run()
    summary, reports, _ = runner.runs[0]
    first, last = int(summary["rss_after_first_kb"]), int(summary["rss_after_last_kb"])
    return {"count": count, "rss_after_first_kb": first, "rss_after_last_kb": last,
            "hwm_after_last_kb": int(summary["hwm_after_last_kb"]),
            "growth_percent": 100.0 * (last - first) / first,
            "following_ms_median": statistics.median(float(r["ms"]) for r in reports[1:]),
            "peak_rss_kb": runner.peaks[0]}


def median(values):
    values = list(values)
    return statistics.median(values) if values else None


def summarise(runners, soak_result, labels):
    by = {runner.name: runner for runner in runners}
    lib_first, lib_following = by["library_first"], by["library_following"]
    pauses = [float(r["pause_ms"]) for _, reports, _ in lib_following.runs for r in reports]
    calls = [int(r["pauses"]) for _, reports, _ in lib_following.runs for r in reports]
    fill, fill_without_pauses = page_fill_times(lib_following)
    result = {
        "labels": labels,
        "pauses_per_report": median(calls),
        "pause_ms_per_report": median(pauses),
        "library_first_ms": median(lib_first.firsts),
        "library_process_ms": median(lib_first.walls),
        "library_unload_ms": median(float(s["unload_ms"]) for s, _, _ in lib_first.runs),
        "library_load_ms": median(float(s["load_ms"]) for s, _, _ in lib_first.runs),
        "library_first_without_pauses_ms": median(first_times_without_pauses(lib_first)),
        "library_following_ms": median(following_times(lib_following, False)),
        "library_following_without_pauses_ms": median(following_times(lib_following, True)),
        "library_following_cpu_ms": median(following_cpu_times(lib_following)),
        "page_fill_ms": median(fill),
        "page_fill_without_pauses_ms": median(fill_without_pauses),
        "wkhtmltopdf_ms": median(by["wkhtmltopdf"].walls),
        "floor_first_ms": median(by["floor_first"].firsts),
        "floor_process_ms": median(by["floor_first"].walls),
        "floor_following_ms": median(following_times(by["floor_following"], False)),
        "floor_following_cpu_ms": median(following_cpu_times(by["floor_following"])),
        "floor_fresh_following_ms": median(following_times(by["floor_fresh_following"], False)),
        "floor_fresh_following_cpu_ms": median(
            following_cpu_times(by["floor_fresh_following"])),
        "peak_rss_kb": {runner.name: median(runner.peaks) for runner in runners},
        "soak": soak_result,
        "rounds": len(lib_first.walls),
    }
    if "chromium" in by:
        result["chromium_ms"] = median(by["chromium"].walls)
    add_ratios(result)
    return result


def add_ratios(result):
    wk = result["wkhtmltopdf_ms"]
    peaks = result["peak_rss_kb"]
    result["ratios"] = {
        "first_vs_wkhtmltopdf": result["library_first_without_pauses_ms"] / wk,
        "first_whole_vs_wkhtmltopdf": result["library_first_ms"] / wk,
        "following_vs_wkhtmltopdf": result["library_following_without_pauses_ms"] / wk,
        "following_whole_vs_wkhtmltopdf": result["library_following_ms"] / wk,
        "following_vs_floor": (result["library_following_without_pauses_ms"]
                               / result["floor_following_ms"]),
        "first_vs_floor": result["library_first_without_pauses_ms"] / result["floor_first_ms"],
        "following_cpu_vs_floor": (result["library_following_cpu_ms"]
                                   / result["floor_following_cpu_ms"]),
        "following_vs_fresh_floor": (result["library_following_without_pauses_ms"]
                                     / result["floor_fresh_following_ms"]),
        "peak_rss_vs_wkhtmltopdf": peaks["library_first"] / peaks["wkhtmltopdf"],
        "growth_percent": result["soak"]["growth_percent"],
    }
    if "chromium_ms" in result:
        result["ratios"]["first_vs_chromium"] = (
            result["library_first_without_pauses_ms"] / result["chromium_ms"])
    result["targets"] = [{"target": wording, "value": result["ratios"][key], "limit": limit,
                          "holds": result["ratios"][key] <= limit}
                         for key, limit, wording in TARGETS]


def machine_description():
    model = "unknown"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/loadavg") as loadavg:
        load = " ".join(loadavg.read().split()[:3])
    return {"date": datetime.datetime.now().astimezone().isoformat(timespec="seconds"),
            "nproc": os.cpu_count(), "cpu": model, "load": load}


def ms(value):
    return "-" if value is None else "%.1f ms" % value


def print_table(result, notes):
    r, peaks, ratios = result, result["peak_rss_kb"], result["ratios"]
    rows = [
        ("library, first report of a fresh process (whole)", ms(r["library_first_ms"]),
         "%.2fx" % ratios["first_whole_vs_wkhtmltopdf"], mb(peaks["library_first"])),
        ("library, first report, without the label pauses",
         ms(r["library_first_without_pauses_ms"]), "%.2fx" % ratios["first_vs_wkhtmltopdf"], ""),
        ("  of which loading the library with Qt (dlopen)", ms(r["library_load_ms"]), "", ""),
        ("  whole process: load, report, unload, exit", ms(r["library_process_ms"]), "", ""),
        ("  of which unloading the library (dlclose)", ms(r["library_unload_ms"]), "", ""),
        ("library, each following report (whole)", ms(r["library_following_ms"]),
         "%.2fx" % ratios["following_whole_vs_wkhtmltopdf"], ""),
        ("library, each following report, without the label pauses",
         ms(r["library_following_without_pauses_ms"]),
         "%.3fx" % ratios["following_vs_wkhtmltopdf"], ""),
        ("  CPU time of the process per following report", ms(r["library_following_cpu_ms"]),
         "", ""),
        ("  of which CreateReportHtml (whole / without pauses)",
         "%s / %s" % (ms(r["page_fill_ms"]), ms(r["page_fill_without_pauses_ms"])), "", ""),
        ("  label pauses per report (%s calls, %d labels)"
         % (fmt_count(r["pauses_per_report"]), r["labels"]), ms(r["pause_ms_per_report"]), "", ""),
        ("wkhtmltopdf --page-size Letter --enable-local-file-access", ms(r["wkhtmltopdf_ms"]),
         "1.00x", mb(peaks["wkhtmltopdf"])),
    ]
    if "chromium_ms" in r:
        rows.append(("Chromium headless --print-to-pdf", ms(r["chromium_ms"]),
                     "%.2fx" % (r["chromium_ms"] / r["wkhtmltopdf_ms"]),
                     mb(peaks["chromium"]) + " (largest process)"))
    rows += [
        ("bare Qt WebKit, first page of a fresh process", ms(r["floor_first_ms"]),
         "%.2fx" % (r["floor_first_ms"] / r["wkhtmltopdf_ms"]), mb(peaks["floor_first"])),
        ("  whole process", ms(r["floor_process_ms"]), "", ""),
        ("bare Qt WebKit, each following page", ms(r["floor_following_ms"]),
         "%.3fx" % (r["floor_following_ms"] / r["wkhtmltopdf_ms"]), ""),
        ("  CPU time of the process per following page", ms(r["floor_following_cpu_ms"]), "", ""),
        ("bare Qt WebKit, each following page, images read afresh",
         ms(r["floor_fresh_following_ms"]),
         "%.3fx" % (r["floor_fresh_following_ms"] / r["wkhtmltopdf_ms"]), ""),
        ("  CPU time of the process per following page", ms(r["floor_fresh_following_cpu_ms"]),
         "", ""),
        ("library after 1 / %d reports in one process (VmRSS)" % r["soak"]["count"],
         "", "", "%s / %s (%+.1f %%)" % (mb(r["soak"]["rss_after_first_kb"]),
                                         mb(r["soak"]["rss_after_last_kb"]),
                                         r["soak"]["growth_percent"])),
    ]
    print("\nEnd to end, medians of %d interleaved rounds. First report: from starting the "
          "process to the finished PDF; following reports: timed in the process.\n"
          % r["rounds"])
    print("| run | time | vs wkhtmltopdf | peak RSS |")
    print("|---|---:|---:|---:|")
    for row in rows:
        print("| %s | %s | %s | %s |" % row)
    print("\nTargets (library without the label pauses)\n")
    print("| target | value | holds |")
    print("|---|---:|---|")
    for target in r["targets"]:
        print("| %s | %.3f | %s |" % (target["target"], target["value"],
                                      "yes" if target["holds"] else "NO"))
    print("| (information) first report vs bare Qt WebKit's first page | %.3f | |"
          % ratios["first_vs_floor"])
    print("| (information) CPU time per following report vs bare Qt WebKit | %.3f | |"
          % ratios["following_cpu_vs_floor"])
    print("| (information) following report vs bare Qt WebKit reading images afresh | %.3f | |"
          % ratios["following_vs_fresh_floor"])
    for note in notes:
        print("\nNote: " + note)


def mb(kilobytes):
    return "%.1f MiB" % (kilobytes / 1024.0)


def fmt_count(value):
    return "-" if value is None else "%g" % value


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--following", type=int, default=20)
    parser.add_argument("--soak", type=int, default=200)
    parser.add_argument("--json")
    parser.add_argument("--library", help="library to measure (default: the build's)")
    args = parser.parse_args()

    notes = []
    if not os.path.exists(TIME) and not apt_install("time"):
        sys.exit("compare-end-to-end: /usr/bin/time is missing (Debian package time)")
    if find_or_install("wkhtmltopdf", "wkhtmltopdf") is None:
        sys.exit("compare-end-to-end: wkhtmltopdf is missing (Debian package wkhtmltopdf)")
    chromium = find_or_install("chromium", "chromium")
    if chromium is None:
        notes.append("Chromium could not be installed; its row is skipped.")

    machine = machine_description()
    setup = Setup(args)
    setup.make_filled_page()
    runners = make_runners(setup, args.following, chromium)
    interleave(runners, args.rounds)
    result = summarise(runners, soak(setup, args.soak), count_labels(TEMPLATE))
    result["machine"] = machine
    result["load_after"] = machine_description()["load"]
    result["commands"] = {runner.name: " ".join(runner.command) for runner in runners}
    result["notes"] = notes
    print_table(result, notes)
    if args.json:
        with open(args.json, "w") as out:
            json.dump(result, out, indent=2)


if __name__ == "__main__":
    main()
