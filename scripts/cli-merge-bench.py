#!/usr/bin/env python3
"""Times the whole command-line merge against the I/O floor of the same file work.

Builds an X-Plane folder from a real earth_nav.dat (1100 or later): add-on packs in the 810
format, each holding one airport's equipment from that database (localizers, glideslopes,
markers, DMEs) as an X-Plane 10 era pack writes it. Then runs, taking turns, `quillet merge
--all` (Replace for both kinds of conflict, so nothing is asked) and quillet_cli_io_floor, which
does the merge's file work alone, each as a process of its own from start to exit, and prints
their medians. The database is put back before each run, untimed.

  scripts/cli-merge-bench.py DATABASE[.gz] [--packs 500] [--runs 11] [--build build/native]
"""
import argparse
import gzip
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

RUNWAY_CODES = {4, 5, 6, 7, 8, 9, 12, 13}


def database_text(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rb") as f:
        return f.read()


def as_810(words):
    """An 1100+ row of runway equipment in 810's columns: no region, a true bearing, markers
    without an identifier of their own."""
    code = int(words[0])
    numbers = words[1:7]
    if code in (4, 5):
        numbers[5] = "%.3f" % (float(numbers[5]) % 360)
    ident = "----" if code in (7, 8, 9) else words[7]
    return " ".join([words[0]] + numbers + [ident, words[8]] + words[10:])


def make_packs(text, count):
    """The 810 nav.dat of `count` airports with a localizer, spread over the database."""
    airports = {}
    for line in text.decode("latin-1").splitlines():
        words = line.split()
        if len(words) < 11 or not words[0].isdigit() or int(words[0]) not in RUNWAY_CODES:
            continue
        if words[8] == "ENRT":
            continue
        airports.setdefault(words[8], []).append(words)
    with_localizer = sorted(a for a, rows in airports.items() if any(r[0] in ("4", "5") for r in rows))
    step = max(1, len(with_localizer) // count)
    packs = []
    for airport in with_localizer[::step][:count]:
        rows = [as_810(words) for words in airports[airport]]
        packs.append((airport, "I\r\n810 Version - pack\r\n" + "\r\n".join(rows) + "\r\n99\r\n"))
    return packs


def timed(command, cwd):
    start = time.perf_counter()
    result = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start, result.returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("database", help="a real earth_nav.dat of format 1100 or later, or .gz")
    parser.add_argument("--packs", type=int, default=500)
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--build", default="build/native", help="the native build folder")
    args = parser.parse_args()

    quillet = os.path.abspath(os.path.join(args.build, "src", "cli", "quillet"))
    floor = os.path.abspath(os.path.join(args.build, "bench", "quillet_cli_io_floor"))
    for program in (quillet, floor):
        if not os.access(program, os.X_OK):
            sys.exit("missing %s: cmake --build --preset native --target quillet "
                     "quillet_cli_io_floor" % program)

    pristine = database_text(args.database)
    packs = make_packs(pristine, args.packs)
    with tempfile.TemporaryDirectory(prefix="quillet-cli-bench-") as root:
        xplane = os.path.join(root, "X-Plane 12")
        data = os.path.join(xplane, "Resources", "default data")
        os.makedirs(data)
        database = os.path.join(data, "earth_nav.dat")
        rows = 0
        for airport, nav_dat in packs:
            folder = os.path.join(xplane, "Custom Scenery", "Pack " + airport, "Earth nav data")
            os.makedirs(folder)
            with open(os.path.join(folder, "nav.dat"), "w", newline="") as f:
                f.write(nav_dat)
            rows += nav_dat.count("\n") - 3

        def put_back():
            with open(database, "wb") as f:
                f.write(pristine)
            if os.path.exists(database + ".bak"):
                os.remove(database + ".bak")

        merge = [quillet, "merge", "--xplane", xplane, "--all", "--name-conflicts", "replace",
                 "--callsign-conflicts", "replace"]
        put_back()
        _, code = timed(merge, root)
        if code != 0:
            sys.exit("quillet merge ended with exit code %d" % code)
        merged_size = os.path.getsize(database)

        merges, floors = [], []
        for _ in range(args.runs):
            put_back()
            seconds, _ = timed([floor, xplane, str(merged_size)], root)
            floors.append(seconds)
            put_back()
            seconds, _ = timed(merge, root)
            merges.append(seconds)

        merge_time, floor_time = statistics.median(merges), statistics.median(floors)
        ratio = merge_time / floor_time
        print("%s: %d bytes; %d packs of 810 rows, %d rows; medians of %d runs taking turns"
              % (os.path.basename(args.database), len(pristine), len(packs), rows, args.runs))
        print("  I/O floor (same file work):  %7.1f ms" % (floor_time * 1e3))
        print("  quillet merge, start to exit: %7.1f ms" % (merge_time * 1e3))
        print("  merge / floor:                %7.2fx  %s" % (ratio, "met" if ratio <= 1.5 else
                                                            "NOT MET (goal 1.5x)"))


if __name__ == "__main__":
    main()
