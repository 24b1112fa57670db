#!/usr/bin/env python3
"""Times Gaumo on generated national-scale working folders against the I/O
floor: the time to read every input file and to write as many bytes as
Gaumo writes, on the same file system, with the page cache warm.

For each configuration it generates a folder, checks that Gaumo's run is
correct on it (exit status, one tb0 file per year, the days-with-data
counts of flow_recl.txt against the generator's), takes the median of
--runs timings of Gaumo and of the floor, prints one markdown table row and
removes the folder (unless --keep).

    bench/run_bench.py --gaumo build-bench/gaumo --stations 250 500 1000
    bench/run_bench.py --smoke --gaumo build/gaumo
    bench/run_bench.py --hydat --stations 250 --years 40 --runs 5

With --hydat (and in --smoke, where SQLite can be compiled against) the
folder's historical flows are also written as a HYDAT-shaped database
(bench/folder_to_hydat.cc), and every timed run of the station files is
followed by one of `gaumo --hydat` on the same data (alternating, so both
see the same machine load); the first pair's outputs must be identical.

Exit status: 0 when every run was correct, 1 when one was not, 2 when the
tools or the disk space are missing. Timings never fail the run.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
BLOCK = 1 << 20
# Bytes per record of the generated station files, rounded up, and the
# headroom kept free on the disk besides what a configuration needs.
RECORD_BYTES = 32
DISK_MARGIN = 1 << 30
WORKING_OUTPUTS = ("Gaumo_info.txt", "nudge_flags.new", "grapher_titles.csv",
                   "discharge_sites.xyz", "flow_recl.txt", "flow_flag.txt")


def log(*parts):
    print(*parts, file=sys.stderr, flush=True)


def fail(message, status=1):
    log("run_bench: " + message)
    sys.exit(status)


def find_gaumo(given):
    if given:
        path = Path(given)
        if not os.access(path, os.X_OK):
            fail(f"{path} is not an executable", 2)
        return path.resolve()
    for build in ("build-bench", "build"):
        path = REPO / build / "gaumo"
        if os.access(path, os.X_OK):
            return path
    fail("no gaumo binary found; build it or pass --gaumo", 2)


def find_generator(given, gaumo, scratch):
    """The generator of the build tree that holds gaumo, or one compiled
    here, so that a plain build (without the benchmarks) can still run."""
    if given:
        return Path(given).resolve()
    built = gaumo.parent / "bench" / "gaumo_make_folder"
    if os.access(built, os.X_OK):
        return built
    compiler = os.environ.get("CXX") or shutil.which("c++") or shutil.which("g++")
    if not compiler:
        fail("no C++ compiler to build the folder generator", 2)
    out = scratch / "gaumo_make_folder"
    subprocess.run([compiler, "-std=c++20", "-O2", "-o", str(out),
                    str(REPO / "bench" / "make_folder.cc")], check=True)
    return out


def find_converter(gaumo, scratch):
    """folder_to_hydat of the build tree that holds gaumo, or one compiled
    here against the system's SQLite; None when neither can be had."""
    built = gaumo.parent / "bench" / "gaumo_folder_to_hydat"
    if os.access(built, os.X_OK):
        return built
    compiler = os.environ.get("CXX") or shutil.which("c++") or shutil.which("g++")
    if not compiler:
        return None
    out = scratch / "gaumo_folder_to_hydat"
    made = subprocess.run([compiler, "-std=c++20", "-O2", "-o", str(out),
                           str(REPO / "bench" / "folder_to_hydat.cc"), "-lsqlite3"],
                          capture_output=True, text=True)
    if made.returncode != 0:
        log("folder_to_hydat could not be built: " + made.stderr.strip()[-300:])
        return None
    return out


def output_digest(parent, work):
    """The outputs a run of either route must give alike: the yearly files
    without their creation stamp, and the listings."""
    digest = {}
    for p in sorted(parent.glob("*0101_str.tb0")):
        lines = p.read_bytes().split(b"\n")
        digest[p.name] = hash(b"\n".join(l for l in lines if not l.startswith(b":CreationDate")))
    for name in WORKING_OUTPUTS[1:]:
        path = work / name
        digest[name] = hash(path.read_bytes()) if path.is_file() else None
    return digest


def expected_sizes(stations, years):
    data = stations * years * 366 * RECORD_BYTES
    # A yearly file: about 30 header lines per column block plus one row of
    # 12 characters per station and day.
    output = years * (366 * (stations * 12 + 24) + stations * 200 + 4096)
    return data, output


def check_disk(scratch, stations, years):
    data, output = expected_sizes(stations, years)
    # The inputs, Gaumo's outputs and the floor's copy of them.
    need = data + 2 * output + DISK_MARGIN
    free = shutil.disk_usage(scratch).free
    log(f"disk: {free / 1e9:.1f} GB free in {scratch}, "
        f"{need / 1e9:.1f} GB needed for {stations} x {years}")
    if free < need:
        fail(f"not enough free disk in {scratch} for {stations} stations x "
             f"{years} years", 2)


def read_all(paths, buf):
    """Reads every file to its end into one buffer, as a reader that does
    nothing with the bytes would; returns the byte count."""
    view = memoryview(buf)
    total = 0
    for path in paths:
        fd = os.open(path, os.O_RDONLY)
        try:
            while True:
                n = os.readv(fd, [view])
                if n == 0:
                    break
                total += n
        finally:
            os.close(fd)
    return total


def count_records(paths):
    """Data records of the station files: every line after the header."""
    records = 0
    for path in paths:
        if path.name == "flow_stations.tb0":
            continue
        with open(path, "rb") as f:
            lines = sum(chunk.count(b"\n") for chunk in iter(lambda: f.read(BLOCK), b""))
        records += max(lines - 1, 0)
    return records


def write_all(folder, sizes, block):
    """Creates or truncates one file per size and fills it in 1 MB writes,
    without fsync, as Gaumo writes its outputs. Returns the seconds spent in
    opening: truncating a file gives its blocks back, which on a file system
    mounted to discard freed blocks waits for the disk, and Gaumo waits as
    long for each output it replaces."""
    opening = 0.0
    for k, size in enumerate(sizes):
        start = time.perf_counter()
        fd = os.open(folder / f"out{k}", os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        opening += time.perf_counter() - start
        try:
            left = size
            while left > 0:
                left -= os.write(fd, block[:min(left, BLOCK)])
        finally:
            os.close(fd)
    return opening


def timed(action):
    start = time.perf_counter()
    action()
    return time.perf_counter() - start


TIME = shutil.which("time", path="/usr/bin:/bin")


def run_gaumo(gaumo, work, first, last, stdout_path, usage_path, extra=()):
    """One run; returns (wall s, cpu s, peak RSS bytes, exit status)."""
    answers = f"n\n{first}\n{last}\n".encode()
    command = [str(gaumo), *extra]
    if TIME:
        # A child forked from this Python process starts with Python's
        # resident pages in its peak, so the peak comes from GNU time,
        # whose own small image is all Gaumo inherits.
        command = [TIME, "-f", "%M", "-o", str(usage_path)] + command
    with open(stdout_path, "wb") as out:
        start = time.perf_counter()
        proc = subprocess.Popen(command, cwd=work, stdin=subprocess.PIPE,
                                stdout=out, stderr=subprocess.STDOUT)
        proc.stdin.write(answers)
        proc.stdin.close()
        # wait4 gives this child's usage with that of the children it
        # reaped; RUSAGE_CHILDREN would mix in every earlier run.
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    cpu = usage.ru_utime + usage.ru_stime
    peak_kb = usage.ru_maxrss
    if TIME:
        lines = usage_path.read_text().split()
        # GNU time prints "Command exited with non-zero status N" first
        # when the run failed; the peak is the last word either way.
        peak_kb = int(lines[-1]) if lines and lines[-1].isdigit() else 0
    return wall, cpu, peak_kb * 1024, proc.returncode


def check_run(parent, work, first, last, counts_path, stdout_path, status):
    """The faults a benchmark run can reveal: a failed run, a missing yearly
    file, or days lost or invented between the station files and the
    table. Returns a list of problems."""
    problems = []
    if status != 0:
        tail = stdout_path.read_text(errors="replace").splitlines()[-5:]
        problems.append(f"gaumo exited with {status}: " + " | ".join(tail))
    for year in range(first, last + 1):
        tb0 = parent / f"{year:4d}0101_str.tb0"
        if not tb0.is_file() or tb0.stat().st_size == 0:
            problems.append(f"{tb0.name} missing or empty")
    recl = work / "flow_recl.txt"
    if not recl.is_file():
        problems.append("flow_recl.txt missing")
        return problems
    got = {}
    for line in recl.read_text().splitlines()[2:]:
        fields = line.split()
        if len(fields) >= 2:
            got[fields[1]] = fields[2:]
    for line in counts_path.read_text().splitlines():
        ident, *want = line.split()
        if got.get(ident) != want:
            problems.append(f"days with data of {ident}: flow_recl.txt has "
                            f"{got.get(ident)}, the station files hold {want}")
            if len(problems) > 5:
                break
    return problems


def output_files(parent, work, inputs):
    outs = sorted(parent.glob("*0101_str.tb0"))
    outs += [p for p in sorted(work.iterdir()) if p.is_file() and p not in inputs]
    return outs


def bench_one(args, gaumo, generator, converter, scratch, stations, years):
    check_disk(scratch, stations, years)
    first, last = args.end_year - years + 1, args.end_year
    parent = scratch / f"{stations}x{years}"
    work = parent / "work"
    floor = parent / "floor"
    parent.mkdir()
    floor.mkdir()
    counts = parent / "expected_counts.txt"
    stdout_path = parent / "gaumo_stdout.txt"
    try:
        start = time.perf_counter()
        made = subprocess.run([str(generator), "--stations", str(stations),
                               "--years", str(years), "--end-year", str(last),
                               "--out", str(work), "--counts", str(counts)],
                              check=True, capture_output=True, text=True)
        log(f"generated {made.stdout.strip()} in {time.perf_counter() - start:.1f} s")

        inputs = sorted(p for p in work.iterdir() if p.is_file())
        input_set = set(inputs)
        db, work_db = parent / "hydat.sqlite3", parent / "work_db"
        if converter:
            start = time.perf_counter()
            made = subprocess.run([str(converter), str(work), str(db)],
                                  check=True, capture_output=True, text=True)
            log(f"database {made.stdout.strip()}, {db.stat().st_size / 1e6:.0f} MB "
                f"in {time.perf_counter() - start:.1f} s")
            # The same station list and provisional files, no station files.
            work_db.mkdir()
            for p in inputs:
                if p.name == "flow_stations.tb0" or p.name.startswith("Flow_"):
                    os.link(p, work_db / p.name)
            read_all([db], bytearray(BLOCK))  # warms the page cache
        records = count_records(inputs)
        buf = bytearray(BLOCK)
        input_bytes = read_all(inputs, buf)  # warms the page cache

        walls, cpus, rss, reads, writes, opens = [], [], [], [], [], []
        db_walls, db_cpus, db_rss = [], [], []
        out_sizes = None
        block = bytes(range(256)) * (BLOCK // 256)
        for r in range(args.runs):
            # The last file a run writes: its absence afterwards shows a
            # run that stopped early, even when an earlier run left one.
            (work / "flow_recl.txt").unlink(missing_ok=True)
            wall, cpu, peak, status = run_gaumo(gaumo, work, first, last,
                                                stdout_path, parent / "gaumo_usage.txt")
            problems = check_run(parent, work, first, last, counts, stdout_path, status)
            if problems:
                for p in problems:
                    log("FAULT: " + p)
                return None
            if out_sizes is None:
                out_sizes = [p.stat().st_size for p in output_files(parent, work, input_set)]
                write_all(floor, out_sizes, block)  # the floor's own warm-up
            if converter:
                digest = output_digest(parent, work) if r == 0 else None
                (work_db / "flow_recl.txt").unlink(missing_ok=True)
                db_wall, db_cpu, db_peak, status = run_gaumo(
                    gaumo, work_db, first, last, stdout_path, parent / "gaumo_usage.txt",
                    ("--hydat", str(db)))
                problems = check_run(parent, work_db, first, last, counts, stdout_path, status)
                if digest is not None and output_digest(parent, work_db) != digest:
                    problems.append("the database route's outputs differ from the station files'")
                if problems:
                    for p in problems:
                        log("FAULT (database route): " + p)
                    return None
                db_walls.append(db_wall)
                db_cpus.append(db_cpu)
                db_rss.append(db_peak)
                log(f"run {r + 1}: gaumo --hydat {db_wall:.2f} s wall, {db_cpu:.2f} s cpu, "
                    f"{db_peak / 1e6:.0f} MB")
            walls.append(wall)
            cpus.append(cpu)
            rss.append(peak)
            reads.append(timed(lambda: read_all(inputs, buf)))
            start = time.perf_counter()
            opens.append(write_all(floor, out_sizes, block))
            writes.append(time.perf_counter() - start)
            log(f"run {r + 1}: gaumo {wall:.2f} s wall, {cpu:.2f} s cpu, "
                f"{peak / 1e6:.0f} MB; read {reads[-1]:.2f} s, write {writes[-1]:.2f} s "
                f"(opening {opens[-1]:.2f} s)")
        row = {
            "stations": stations, "years": years, "records": records,
            "wall": statistics.median(walls), "cpu": statistics.median(cpus),
            "rss": statistics.median(rss) / 1e6,
            "table": stations * years * 366 * 4 / 1e6,
            "read": statistics.median(reads), "write": statistics.median(writes),
            "open": statistics.median(opens),
            "input": input_bytes / 1e6, "output": sum(out_sizes) / 1e6,
        }
        if converter:
            row["db_wall"] = statistics.median(db_walls)
            row["db_cpu"] = statistics.median(db_cpus)
            row["db_rss"] = statistics.median(db_rss) / 1e6
            row["db_mb"] = db.stat().st_size / 1e6
        row["floor"] = row["read"] + row["write"]
        row["ratio"] = row["wall"] / row["floor"] if row["floor"] > 0 else float("inf")
        row["ns"] = row["wall"] / records * 1e9 if records else 0.0
        row["cpu_ns"] = row["cpu"] / records * 1e9 if records else 0.0
        return row
    finally:
        if args.keep:
            log(f"kept {parent}")
        else:
            shutil.rmtree(parent, ignore_errors=True)


HEADER = ("| stations | years | records | gaumo wall s | cpu s | peak RSS MB "
          "| flow-table MB | I/O floor s | ratio | ns/record | cpu ns/record | read s | write s "
          "| opening s | input MB | output MB |")


def table_row(r):
    return (f"| {r['stations']} | {r['years']} | {r['records']} | {r['wall']:.2f} "
            f"| {r['cpu']:.2f} | {r['rss']:.1f} | {r['table']:.1f} | {r['floor']:.2f} "
            f"| {r['ratio']:.2f} | {r['ns']:.0f} | {r['cpu_ns']:.0f} | {r['read']:.2f} | {r['write']:.2f} "
            f"| {r['open']:.2f} | {r['input']:.0f} | {r['output']:.0f} |")


DB_HEADER = ("| stations | years | database MB | CSV wall s | CSV cpu s | CSV peak RSS MB "
             "| DB wall s | DB cpu s | DB peak RSS MB | DB/CSV wall | DB/CSV cpu |")


def db_table(rows):
    lines = [DB_HEADER, "|" + "---|" * (DB_HEADER.count(" | ") + 1)]
    for r in rows:
        lines.append(
            f"| {r['stations']} | {r['years']} | {r['db_mb']:.0f} | {r['wall']:.2f} "
            f"| {r['cpu']:.2f} | {r['rss']:.1f} | {r['db_wall']:.2f} | {r['db_cpu']:.2f} "
            f"| {r['db_rss']:.1f} | {r['db_wall'] / r['wall']:.2f} "
            f"| {r['db_cpu'] / r['cpu'] if r['cpu'] else float('inf'):.2f} |")
    return "\n".join(lines)


def print_targets(rows):
    """Where the national-scale aims stand; informative only, since a
    shared machine's timings vary from run to run."""
    for r in rows:
        rss_limit = 1.1 * r["table"] + 64
        print(f"{r['stations']} x {r['years']}: wall/floor {r['ratio']:.2f} "
              f"(aim <= 3), peak RSS {r['rss']:.0f} MB (aim <= {rss_limit:.0f})")
        if "db_wall" in r:
            print(f"{r['stations']} x {r['years']}: database route wall / station files "
                  f"{r['db_wall'] / r['wall']:.2f} (aim <= 3), peak RSS {r['db_rss']:.0f} MB "
                  f"(aim <= {rss_limit:.0f})")
    for key, what in (("ns", "wall"), ("cpu_ns", "cpu")):
        per_record = [r[key] for r in rows if r["records"]]
        if len(per_record) > 1:
            spread = max(per_record) / min(per_record) - 1
            print(f"{what} time per record: {min(per_record):.0f} to "
                  f"{max(per_record):.0f} ns, spread {spread * 100:.0f} % (aim <= 20 %)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--gaumo", help="the binary (default: build-bench/gaumo, then build/gaumo)")
    parser.add_argument("--generator", help="make_folder binary (default: beside gaumo, or compiled)")
    parser.add_argument("--stations", type=int, nargs="+", default=[250, 500, 1000])
    parser.add_argument("--years", type=int, default=100)
    parser.add_argument("--end-year", type=int, default=2020)
    parser.add_argument("--runs", type=int, default=3, help="timed runs per configuration")
    parser.add_argument("--scratch", help="where the folders go (default: a new folder in the temp dir)")
    parser.add_argument("--keep", action="store_true", help="keep the generated folders")
    parser.add_argument("--hydat", action="store_true",
                        help="also time the database route (gaumo --hydat) on the same data")
    parser.add_argument("--smoke", action="store_true",
                        help="5 stations x 3 years, one run: a quick check that all of it works")
    args = parser.parse_args()
    if args.smoke:
        args.stations, args.years, args.runs = [5], 3, 1
    if args.runs < 1 or args.years < 1 or min(args.stations) < 1 or max(args.stations) > 1000:
        fail("need runs >= 1, years >= 1 and 1 to 1000 stations", 2)

    gaumo = find_gaumo(args.gaumo)
    if args.scratch:
        scratch = Path(args.scratch).resolve()
        scratch.mkdir(parents=True, exist_ok=True)
        scratch = Path(tempfile.mkdtemp(prefix="gaumo-bench-", dir=scratch))
    else:
        scratch = Path(tempfile.mkdtemp(prefix="gaumo-bench-"))
    log(f"gaumo: {gaumo}; folders in {scratch}")
    if not TIME:
        log("no /usr/bin/time (Debian package time): the peak RSS includes "
            "the resident pages of this script, about 10 to 20 MB")
    rows, ok = [], True
    try:
        generator = find_generator(args.generator, gaumo, scratch)
        converter = None
        if args.hydat or args.smoke:
            converter = find_converter(gaumo, scratch)
            if converter is None and args.hydat:
                fail("the database route needs folder_to_hydat (a compiler and libsqlite3-dev)", 2)
        print(HEADER)
        print("|" + "---|" * HEADER.count(" | ") + "---|")
        for stations in args.stations:
            row = bench_one(args, gaumo, generator, converter, scratch, stations, args.years)
            if row is None:
                ok = False
                continue
            rows.append(row)
            print(table_row(row), flush=True)
        if converter and rows:
            print()
            print(db_table(rows))
        print()
        print_targets(rows)
    finally:
        if not args.keep:
            shutil.rmtree(scratch, ignore_errors=True)
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
