#!/usr/bin/env python3
"""Table of the in-process benchmarks from Google Benchmark JSON files (median of the
repetitions), and the in-process targets.

    bench/summarize.py RESULTS/bench_*.json [--json summary.json]
"""

import argparse
import json
import re
import sys

NANOSECONDS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}

# In-process targets: (wording, benchmark name pattern, limit in ns or None, pattern of
# the benchmark that sets the limit). The first benchmark whose name matches is used.
TARGETS = [
    ("a dropped log call < 5 ns", r"^BM_LogDropped$", 5.0, None),
    ("text_lookup of a found label <= dcgettext (report catalog)", r"TextLookup/Report.*Found",
     None, r"Dcgettext/Report.*Found"),
    ("text_lookup of a found label <= dcgettext (many labels)", r"TextLookup/Many.*Found",
     None, r"Dcgettext/Many.*Found"),
]


def load_medians(paths):
    """{benchmark name: entry} for the median aggregate of each, or, for a benchmark run
    once in each of several processes, its run with the median time."""
    medians, single_runs = {}, {}
    for path in paths:
        with open(path) as results:
            for entry in json.load(results)["benchmarks"]:
                name = entry.get("run_name", entry["name"])
                if entry.get("run_type") != "aggregate":
                    single_runs.setdefault(name, []).append(entry)
                elif entry["aggregate_name"] == "median":
                    medians[name] = entry
    for name, runs in single_runs.items():
        if name not in medians:
            runs.sort(key=lambda run: run["real_time"])
            medians[name] = runs[(len(runs) - 1) // 2]
    return medians


def ns(entry, field="real_time"):
    return entry[field] * NANOSECONDS[entry.get("time_unit", "ns")]


def human_time(nanoseconds):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if nanoseconds >= scale:
            return "%.3g %s" % (nanoseconds / scale, unit)
    return "%.3g ns" % nanoseconds


# Fields of every entry; any other number is a counter that the benchmark set.
STANDARD_FIELDS = {"family_index", "per_family_instance_index", "repetitions",
                   "repetition_index", "threads", "iterations", "real_time", "cpu_time",
                   "bytes_per_second", "items_per_second"}


def throughput(entry):
    if "bytes_per_second" in entry:
        return "%.1f MB/s" % (entry["bytes_per_second"] / 1e6)
    if "items_per_second" in entry:
        return "%.3g items/s" % entry["items_per_second"]
    return ""


def counters(entry):
    return ", ".join("%s %.4g" % (key, value) for key, value in entry.items()
                     if key not in STANDARD_FIELDS and isinstance(value, (int, float))
                     and not isinstance(value, bool))


def find(medians, pattern):
    return next((name for name in medians if re.search(pattern, name)), None)


def evaluate_targets(medians):
    rows = []
    for wording, pattern, limit, reference_pattern in TARGETS:
        name = find(medians, pattern)
        reference = find(medians, reference_pattern) if reference_pattern else None
        if name is None or (reference_pattern and reference is None):
            rows.append({"target": wording, "value": None, "holds": None})
            continue
        # CPU time: on a shared machine the wall clock also counts other processes' turns.
        value = ns(medians[name], "cpu_time")
        bound = ns(medians[reference], "cpu_time") if reference else limit
        rows.append({"target": wording, "benchmark": name, "value": value,
                     "reference": reference, "limit": bound, "holds": value <= bound})
    return rows


def print_tables(medians, targets):
    print("\nIn process (Google Benchmark: median of the repetitions; a benchmark of one "
          "iteration: the median of as many processes)\n")
    print("| benchmark | time | CPU | throughput | counters |")
    print("|---|---:|---:|---:|---|")
    for name, entry in medians.items():
        print("| %s | %s | %s | %s | %s |" % (
            name, human_time(ns(entry)), human_time(ns(entry, "cpu_time")), throughput(entry),
            counters(entry)))
    print("\nIn-process targets (CPU time per call)\n")
    print("| target | value | limit | holds |")
    print("|---|---:|---:|---|")
    for row in targets:
        if row["value"] is None:
            print("| %s | not measured | | - |" % row["target"])
            continue
        print("| %s | %s | %s%s | %s |" % (
            row["target"], human_time(row["value"]), human_time(row["limit"]),
            " (%s)" % row["reference"] if row["reference"] else "",
            "yes" if row["holds"] else "NO"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("results", nargs="+")
    parser.add_argument("--json")
    args = parser.parse_args()
    medians = load_medians(args.results)
    if not medians:
        sys.exit("summarize: no benchmark results")
    targets = evaluate_targets(medians)
    print_tables(medians, targets)
    if args.json:
        with open(args.json, "w") as out:
            json.dump({"medians": {n: ns(e) for n, e in medians.items()}, "targets": targets},
                      out, indent=2)


if __name__ == "__main__":
    main()
