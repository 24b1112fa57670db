#!/usr/bin/env python3
"""Compares micro-benchmarks of two or more builds on a shared machine.

Single runs there vary by a third, so the builds are run in turn, several
times, and the best time of each is compared: interference only ever adds
time. Prints one line per build and benchmark, with the ratio to the first
build.

usage: compare_micro.py [--rounds N] [--filter REGEX] LABEL=BINARY...
  e.g. compare_micro.py --filter BM_ReadStationFile \\
           old=/tmp/old/build-bench/bench/gaumo_micro_bench \\
           new=build-bench/bench/gaumo_micro_bench
"""

import argparse
import json
import subprocess
import sys


def run_once(binary, pattern):
    out = subprocess.run(
        [binary, "--benchmark_filter=" + pattern, "--benchmark_min_time=0.3",
         "--benchmark_format=json"],
        capture_output=True, text=True, check=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        # Nanoseconds per item where the benchmark counts items, else per
        # iteration.
        ips = b.get("items_per_second")
        times[b["name"]] = 1e9 / ips if ips else b["real_time"]
    return times


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--rounds", type=int, default=10)
    ap.add_argument("--filter", default=".")
    ap.add_argument("builds", nargs="+", metavar="LABEL=BINARY")
    args = ap.parse_args()
    builds = []
    for build in args.builds:
        label, sep, binary = build.partition("=")
        if not sep:
            ap.error("expected LABEL=BINARY, got " + build)
        builds.append((label, binary))
    best = {}
    for _ in range(args.rounds):
        for label, binary in builds:
            for name, t in run_once(binary, args.filter).items():
                key = (label, name)
                best[key] = min(best.get(key, float("inf")), t)
    names = sorted({name for _, name in best})
    first = builds[0][0]
    for name in names:
        for label, _ in builds:
            if (label, name) not in best:
                continue
            t = best[(label, name)]
            base = best.get((first, name))
            ratio = f"  x{t / base:.2f}" if base else ""
            print(f"{name:40s} {label:10s} {t:10.2f} ns{ratio}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
