#!/usr/bin/env python3
"""A job of many reports in one render-report process against one render-report process
per report, on the bundled example, and against the bare Qt WebKit floor that decodes the
images afresh for every page.

The label pauses (10 ms after each label) are kept, timed by a preloaded stand-in for
usleep (pause_meter), and subtracted for the comparison, as docs/PERFORMANCE.md does. A
job row is timed twice: the whole job divided by its rows (its start-up included), and its
rows 2 to N from the completion times of their PDFs (as the floor's pages after the first),
once more in a job whose pauses are not made at all (RG_PAUSE_SKIP): a core that sleeps 46
times a report wakes with cold caches, which subtracting the pauses does not remove.
The job's peak resident memory is read from /proc after its 10th report, and for the whole run
when it ends.

    bench/job-vs-processes.py --build-dir build-bench [--rows 50] [--json results.json]
"""

import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLE = os.path.join(SOURCE_DIR, "examples")
TEMPLATE = os.path.join(EXAMPLE, "report", "EndFaceReport.htm")
TARGETS = [("row_vs_floor", 1.15, "job row without pauses <= 1.15x the floor (fresh images)"),
           ("following_row_vs_floor", 1.15, "the same for rows 2 to N (start-up left out)"),
           ("skipped_row_vs_floor", 1.15, "rows 2 to N with the pauses not made at all"),
           ("job_vs_processes", 0.2, "job <= 0.2x separate processes, without pauses"),
           ("memory_growth_percent", 5.0, "job peak memory growth, row 10 to last <= 5 %")]


class Bench:
    def __init__(self, args):
        self.build = os.path.abspath(args.build_dir)
        self.rows = args.rows
        self.work = os.path.join(self.build, "bench-job")
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(os.path.join(self.work, "runtime"), mode=0o700)
        self.tool = os.path.join(self.build, "tools", "render-report")
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QT_FONT_DPI="96",
                        XDG_RUNTIME_DIR=os.path.join(self.work, "runtime"),
                        LD_PRELOAD=os.path.join(self.build, "bench", "libpause_meter.so"))
        self.options = ["--template", TEMPLATE, "--language", "ENGLISH", "--package", "DovaReport",
                        "--locale-dir", os.path.join(self.build, "examples", "locale")]

    def write_job(self):
        """One customer file per row, so that every report differs, and the job file."""
        for image in ("lowmag.png", "highmag.png"):
            shutil.copy(os.path.join(self.build, "examples", "images", image), self.work)
        shutil.copy(os.path.join(EXAMPLE, "data", "CheckerResults.xml"), self.work)
        customer = open(os.path.join(EXAMPLE, "data", "CustomerInfo.xml"), encoding="utf-8").read()
        lines = ["customer,results,low-mag,high-mag,output"]
        for row in range(1, self.rows + 1):
            with open(os.path.join(self.work, "customer-%d.xml" % row), "w", encoding="utf-8") as out:
                out.write(re.sub(r"<Customer>[^<]*<", "<Customer>Customer %d<" % row, customer))
            lines.append("customer-%d.xml,CheckerResults.xml,lowmag.png,highmag.png,job/report-%d"
                         % (row, row))
        os.makedirs(os.path.join(self.work, "single"))
        with open(os.path.join(self.work, "job.csv"), "w") as job:
            job.write("\n".join(lines) + "\n")

    def pauses_ms(self, name):
        """The time slept, one line per process (pause_meter)."""
        with open(os.path.join(self.work, name)) as log:
            return sum(int(line) for line in log) / 1000.0

    def following_rows_ms(self, pauses):
        """Rows 2 to N of the job, from the first PDF's completion to the last's, without
        their pauses (every row pauses alike): the job's own start-up left out, as the
        floor's first page is."""
        def finished(row):
            return os.stat(os.path.join(self.work, "job", "report-%d.pdf" % row)).st_mtime_ns
        span = (finished(self.rows) - finished(1)) / 1e6 - pauses * (self.rows - 1) / self.rows
        return span / (self.rows - 1)

    def run_job(self, skip_pauses=False):
        """Wall time, pauses, rows 2 to N, and the peak memory after the 10th and the last
        report."""
        env = dict(self.env, RG_PAUSE_LOG=os.path.join(self.work, "job-pauses"))
        if skip_pauses:
            env["RG_PAUSE_SKIP"] = "1"
        shutil.rmtree(os.path.join(self.work, "job"), ignore_errors=True)
        os.makedirs(os.path.join(self.work, "job"))
        if os.path.exists(env["RG_PAUSE_LOG"]):
            os.unlink(env["RG_PAUSE_LOG"])
        start = time.monotonic()
        job = subprocess.Popen([self.tool, "--job", os.path.join(self.work, "job.csv"), "--quiet"]
                               + self.options, env=env, stderr=subprocess.DEVNULL)
        peaks = {}
        while True:
            pid, status, usage = os.wait4(job.pid, os.WNOHANG)
            if pid:
                break
            if 10 not in peaks and os.path.exists(os.path.join(self.work, "job", "report-10.pdf")):
                peaks[10] = peak_kb(job.pid)
            time.sleep(0.005)
        wall = (time.monotonic() - start) * 1000
        # The peak of the whole run, read when it ends (kilobytes on Linux).
        peaks[self.rows] = usage.ru_maxrss
        job.returncode = os.waitstatus_to_exitcode(status)
        if job.returncode != 0:
            raise RuntimeError("the job failed (%d)" % job.returncode)
        pauses = self.pauses_ms("job-pauses")
        return wall, pauses, self.following_rows_ms(pauses), peaks

    def run_processes(self):
        env = dict(self.env, RG_PAUSE_LOG=os.path.join(self.work, "single-pauses"))
        start = time.monotonic()
        for row in range(1, self.rows + 1):
            files = ["--customer", "customer-%d.xml" % row, "--results", "CheckerResults.xml",
                     "--low-mag", "lowmag.png", "--high-mag", "highmag.png",
                     "--output", "single/report-%d" % row]
            subprocess.run([self.tool] + files + self.options, env=env, cwd=self.work,
                           stderr=subprocess.DEVNULL, check=True)
        return (time.monotonic() - start) * 1000, self.pauses_ms("single-pauses")

    def floor_page_ms(self):
        """The bare Qt WebKit program on the same filled page, images decoded afresh."""
        page = os.path.join(self.work, "page.htm")
        subprocess.run([os.path.join(self.build, "bench", "repeat_reports"),
                        "--library=" + os.path.join(self.build, "libReportGenerator.so.1"),
                        "--template=" + TEMPLATE,
                        "--checker=" + os.path.join(self.work, "CheckerResults.xml"),
                        "--customer=" + os.path.join(self.work, "customer-1.xml"),
                        "--low=" + os.path.join(self.work, "lowmag.png"),
                        "--high=" + os.path.join(self.work, "highmag.png"),
                        "--locale-dir=" + os.path.join(self.build, "examples", "locale"),
                        "--language=ENGLISH", "--output-dir=" + self.work, "--count=1",
                        "--keep-page=" + page], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        floor = subprocess.run([os.path.join(self.build, "bench", "bare_webkit_print"), page,
                                os.path.join(self.work, "floor"), str(self.rows), "--fresh-images"],
                               env=self.env, stdout=subprocess.PIPE, text=True, check=True)
        pages = [float(ms) for ms in re.findall(r"report=\d+ ms=([0-9.]+)", floor.stdout)]
        return statistics.median(pages[1:])


def peak_kb(pid):
    try:
        with open("/proc/%d/status" % pid) as status:
            return int(re.search(r"VmHWM:\s+(\d+)", status.read()).group(1))
    except (OSError, AttributeError):
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--rows", type=int, default=50)
    parser.add_argument("--json")
    args = parser.parse_args()
    bench = Bench(args)
    bench.write_job()
    os.makedirs(os.path.join(bench.work, "floor"))
    floor = bench.floor_page_ms()
    job_wall, job_pauses, following, peaks = bench.run_job()
    skipped_following = bench.run_job(skip_pauses=True)[2]
    single_wall, single_pauses = bench.run_processes()
    rows = args.rows
    result = {
        "rows": rows, "floor_fresh_page_ms": floor,
        "job_row_ms": job_wall / rows, "job_row_without_pauses_ms": (job_wall - job_pauses) / rows,
        "job_following_row_without_pauses_ms": following,
        "job_following_row_pauses_skipped_ms": skipped_following,
        "job_pause_per_row_ms": job_pauses / rows,
        "process_row_ms": single_wall / rows,
        "process_row_without_pauses_ms": (single_wall - single_pauses) / rows,
        "peak_kb_row_10": peaks.get(10), "peak_kb_last_row": peaks.get(rows),
    }
    result["row_vs_floor"] = result["job_row_without_pauses_ms"] / floor
    result["following_row_vs_floor"] = following / floor
    result["skipped_row_vs_floor"] = skipped_following / floor
    result["job_vs_processes"] = (job_wall - job_pauses) / (single_wall - single_pauses)
    result["memory_growth_percent"] = 100.0 * (peaks[rows] - peaks[10]) / peaks[10]
    print("| measure | value |\n|---|---:|")
    for key, value in result.items():
        print("| %s | %s |" % (key, "%.3f" % value if isinstance(value, float) else value))
    for key, limit, wording in TARGETS:
        print("%s: %.3f -> %s" % (wording, result[key], "holds" if result[key] <= limit else "MISSED"))
    if args.json:
        with open(args.json, "w") as out:
            json.dump(result, out, indent=1)


if __name__ == "__main__":
    sys.exit(main())
