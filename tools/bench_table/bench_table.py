#!/usr/bin/env python3
"""Prints one table of the benchmarks' ratios (ours over the peer's) against their goals.

Reads the JSON files Google Benchmark wrote (--benchmark_out) with repetitions; each row is
the median over the repetitions of a ratio measured side by side in one run (ours and the
peer interleaved), so that a busy machine moves both sides alike.

    bench_table.py <json file>...
"""
import json
import re
import statistics
import sys

# (pattern on the benchmark's name, goal for its ratio, what the row is)
GOALS = [
    (r"^BM_StartUp", 1.0, "start-up, 5,000 chapters listed, the first loaded"),
    (r"^BM_SwitchToLast/200000/", 1.0, "switch to the 5,000th chapter (200,000 characters)"),
    (r"^BM_SwitchToLast/2000000/", 1.0, "switch to a chapter of 2,000,000 characters"),
    (r"^BM_Keystroke/200000/", 1.25, "one key, whole desk, 200,000 characters"),
    (r"^BM_Keystroke/2000000/", 2.0, "one key, whole desk, 2,000,000 characters"),
    (r"^BM_CountCharacters", 3.0, "count of a chapter against a byte loop"),
    (r"^BM_IdleMinute", 1.5, "an idle minute, CPU"),
    (r"^BM_Ticks/typing:1", None, "save and autosave ticks after a key"),
    (r"^BM_TypeIntoChapter/.*read_back:0", 2.0, "one key, edit box alone"),
    # The desk no longer reads the text back after each key (its count is kept line by line);
    # the autosave reads it whole once per change, after the key.
    (r"^BM_TypeIntoChapter/.*read_back:1", None, "one key, edit box, content read back whole"),
    (r"^SaveSideBySide/.*NORMAL", 0.5, "save against SQLite (WAL, synchronous=NORMAL: no flush)"),
    (r"^SaveSideBySide/.*FULL", 0.5, "save against SQLite (WAL, synchronous=FULL: a flush per commit)"),
]


def runs(paths):
    """Every repetition's counters and times, by benchmark name."""
    by_name = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            if b.get("run_type") == "aggregate":
                continue
            name = re.sub(r"/repeats:\d+", "", b["run_name"])
            by_name.setdefault(name, []).append(b)
    return by_name


def ratios(repetitions):
    """The ratio of each repetition, measured side by side within it."""
    return [r["ratio"] for r in repetitions if "ratio" in r]


def main(paths):
    by_name = runs(paths)
    rows = []
    for name, repetitions in by_name.items():
        found = [(goal, what) for pattern, goal, what in GOALS if re.search(pattern, name)]
        values = ratios(repetitions)
        if not values:
            continue
        goal, what = found[0] if found else (None, "")
        median = statistics.median(values)
        verdict = "—" if goal is None else ("ok" if median <= goal else "OVER")
        extra = ""
        wakeups = [r["wakeups_per_s"] for r in repetitions if "wakeups_per_s" in r]
        if wakeups:
            extra = f"  wakeups/s {statistics.median(wakeups):.1f} (goal 2)"
        slowest = [r["max_ms"] for r in repetitions if "max_ms" in r]
        if slowest:
            extra = f"  slowest key {max(slowest):.1f} ms (goal 50)"
        rows.append((name, median, len(values), goal, verdict, what + extra))
    width = max((len(r[0]) for r in rows), default=10)
    print(f"{'benchmark':<{width}}  {'ratio':>7}  {'runs':>4}  {'goal':>5}  verdict  row")
    for name, median, count, goal, verdict, what in rows:
        goal_text = "" if goal is None else f"{goal:.2f}"
        print(f"{name:<{width}}  {median:7.2f}  {count:4d}  {goal_text:>5}  {verdict:<7}  {what}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
