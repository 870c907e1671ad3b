#!/usr/bin/env python3
"""Measures how well the merge turns 810 add-on rows back into the 1200 rows they came from.

Takes airports from a real earth_nav.dat (1200): each one's runway equipment (localizers,
glideslopes, markers, ILS DMEs) and, for about a third of them, the VORs and NDBs around it
with their DMEs. Writes each airport as an X-Plane 10 era add-on pack in the 810 format, in
the shapes real packs have (aligned columns with CR LF, zero-padded coordinates, tabs; markers
with `----` or the localizer's identifier; some with an apt.dat of their own), beside a Global
Airports apt.dat naming every airport of the database. Then runs `quillet merge --all`, with
Replace for both kinds of conflict, in two fresh X-Plane folders:

  re-add   the database without the rows written into the packs: the merge should put them back
  replace  the whole database: the merge should replace each of those rows by itself

and compares each pack row's original 1200 form with the merged database: rows found exactly
(numbers compared as numbers, coordinates to the 8 decimals an 810 pack carries), rows the
merge left out (from its report on standard error), rows converted wrongly (field by field),
twins, orphans, validator errors the merge added, and database rows it changed otherwise.

  scripts/conversion-round-trip.py DATABASE[.gz] [--airports 200]
      [--quillet build/native/src/cli/quillet] [--validator /work/shared/tools/xpnav_validate.py]
      [--keep DIR]
"""
import argparse
import gzip
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zlib
from collections import Counter, defaultdict

LOCALIZERS, MARKERS, DMES = {4, 5}, {7, 8, 9}, {12, 13}
RUNWAY_CODES = LOCALIZERS | MARKERS | {6}
NEARBY_NM = 25.0  # en-route navaids taken around an airport's localizer
PAIRED_DME_NM = 1.0  # a DME this near a VOR or NDB of its ident is its pair
SAME_PLACE_NM = 1.0  # an added row farther than this from an expected row is not its conversion
NUMBER = re.compile(r"^[+-]?(\d+\.?\d*|\.\d+)$")
# Words of messages that name a kind of navaid, not one navaid: kept when blanking.
KINDS = {"GS", "DME", "DME-ILS", "VOR", "VOR/TACAN", "NDB", "LOC", "ILS", "ICAO", "ENRT", "FPAP",
         "LTP/FTP", "GLS", "TACAN"}


class Row:
    """One navaid row: its line number in its file and its words."""

    def __init__(self, index, words):
        self.index, self.words, self.code = index, words, int(words[0])
        self.lat, self.lon = float(words[1]), float(words[2])
        self.ident, self.terminal, self.region = words[7], words[8], words[9]

    def is_ils_dme(self):
        return self.code in DMES and self.terminal != "ENRT" and self.words[-1] == "DME-ILS"

    def has_runway(self):
        return self.code in RUNWAY_CODES or self.is_ils_dme()


def key(words):
    """A row's words with numbers as numbers, to the 8 decimals an 810 pack carries."""
    return tuple(repr(round(float(w), 8) + 0.0) if NUMBER.match(w) else w for w in words)


def distance_nm(a, b):
    return 60 * math.hypot(a.lat - b.lat, (a.lon - b.lon) * math.cos(math.radians(a.lat)))


def navaid_rows(text):
    lines = [(index, line.split()) for index, line in enumerate(text.splitlines())]
    return [Row(i, words) for i, words in lines if i >= 2 and len(words) >= 11
            and words[0].isdigit()]


def pack_style(airport):
    """How an airport's pack is written, fixed by its code; the choices vary independently."""
    h = zlib.crc32(airport.encode())
    return {"shape": h % 3, "dashed_markers": (h >> 4) & 1, "own_apt": (h >> 5) & 1,
            "en_route": (h >> 8) % 3 == 0}


# ---------- choosing the airports ----------

def choose_airports(rows, count):
    """{airport: its rows}: `count` airports with a localizer, spread over the database, each
    row given to one airport only."""
    by_terminal = defaultdict(list)
    for row in rows:
        if row.has_runway():
            by_terminal[row.terminal].append(row)
    with_localizer = sorted(a for a, rs in by_terminal.items()
                            if any(r.code in LOCALIZERS for r in rs))
    step = max(1, len(with_localizer) // count)
    chosen = {a: by_terminal[a] for a in with_localizer[::step][:count]}
    stations = [r for r in rows if r.code in (2, 3) and r.terminal == "ENRT"]
    dmes = defaultdict(list)
    for r in rows:
        if r.code in DMES and r.terminal == "ENRT":
            dmes[r.ident].append(r)
    taken = {r.index for rs in chosen.values() for r in rs}
    for airport, equipment in chosen.items():
        if not pack_style(airport)["en_route"]:
            continue
        localizer = min((r for r in equipment if r.code in LOCALIZERS), key=lambda r: r.index)
        for station in stations:
            if station.index in taken or distance_nm(station, localizer) > NEARBY_NM:
                continue
            navaid = [station] + [d for d in dmes[station.ident] if d.index not in taken
                                  and distance_nm(d, station) <= PAIRED_DME_NM]
            equipment.extend(navaid)
            taken.update(r.index for r in navaid)
    return chosen


# ---------- writing the X-Plane folder ----------

def columns_810(row, equipment):
    """The 810 columns of a 1200 row: the six numbers, the ident, the airport and runway (for
    runway equipment), the name words."""
    numbers = row.words[1:7]
    if row.code in LOCALIZERS:
        numbers[5] = "%.3f" % (float(numbers[5]) % 360)  # the true bearing alone
    if row.is_ils_dme():
        return numbers, row.ident, [row.terminal, runway_of(row, equipment)], ["DME-ILS"]
    if row.has_runway():
        return numbers, row.ident, [row.terminal, row.words[10]], row.words[11:]
    return numbers, row.ident, [], row.words[10:]


def runway_of(dme, equipment):
    """The runway of an ILS DME's localizer: the one of its ident, else the nearest."""
    localizers = [r for r in equipment if r.code in LOCALIZERS]
    same = [r for r in localizers if r.ident == dme.ident]
    return min(same or localizers, key=lambda r: distance_nm(r, dme)).words[10]


def format_810(row, equipment, style):
    numbers, ident, place, name = columns_810(row, equipment)
    if row.code in MARKERS and style["dashed_markers"]:
        ident = "----"
    lat, lon = float(numbers[0]), float(numbers[1])
    if style["shape"] == 0:  # aligned like X-Plane 10's own database
        return "%-2s %11.8f %13.8f %6s %5s %3s %11.3f %s" % (
            row.words[0], lat, lon, *numbers[2:5], float(numbers[5]),
            " ".join([ident] + place + name))
    if style["shape"] == 1:  # coordinates zero-padded on the left, single blanks
        padded = ["%s%012.8f" % ("-" if v < 0 else "", abs(v)) for v in (lat, lon)]
        return " ".join([row.words[0]] + padded + numbers[2:] + [ident] + place + name)
    return "\t".join([row.words[0]] + numbers + [ident] + place + [" ".join(name)])  # tabs


def airport_names(rows):
    """{airport: (elevation, region, name)} for every terminal code of the database."""
    name_words, regions, elevations = {}, defaultdict(Counter), {}
    for row in rows:
        if row.terminal == "ENRT":
            continue
        regions[row.terminal][row.region] += 1
        elevations.setdefault(row.terminal, row.words[3])
        if row.is_ils_dme():
            name_words.setdefault(row.terminal, row.words[10:-1])
    title = lambda word: "-".join(part.capitalize() for part in word.split("-"))
    return {a: (elevations[a], regions[a].most_common(1)[0][0],
                " ".join(title(w) for w in name_words.get(a, [])) or "Airport " + a)
            for a in regions}


def apt_dat(version, airports, names, with_metadata):
    lines = ["I", version, ""]
    for airport in airports:
        elevation, region, name = names[airport]
        lines.append("1 %s 0 0 %s %s" % (elevation, airport, name))
        if with_metadata:
            lines += ["1302 region_code " + region, "1302 icao_code " + airport]
        lines.append("")
    return "\n".join(lines + ["99", ""])


def write_file(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write(text)


def write_xplane(root, database_text, chosen, names):
    """An X-Plane 12 folder with the database, the packs and the Global Airports apt.dat.
    Returns its path and {a pack's nav.dat path: [(810 line, the 1200 row it came from)]}."""
    xplane = os.path.join(root, "X-Plane 12")
    write_file(os.path.join(xplane, "Resources", "default data", "earth_nav.dat"), database_text)
    write_file(os.path.join(xplane, "Global Scenery", "Global Airports", "Earth nav data",
                            "apt.dat"),
               apt_dat("1200 Version - data cycle 2406, build 20251002, metadata AptXP1200.",
                       sorted(names), names, True))
    packs = {}
    for airport, equipment in chosen.items():
        style = pack_style(airport)
        folder = os.path.join(xplane, "Custom Scenery", airport + " Scenery Pack", "Earth nav data")
        equipment = sorted(equipment, key=lambda r: (r.code, r.index))
        lines = [(format_810(r, equipment, style), r) for r in equipment]
        end = "\r\n" if style["shape"] == 0 else "\n"
        head = ["I", "810 Version - data cycle 1013, build 20101219, metadata NavXP810."]
        head += [""] if style["shape"] == 0 else []
        write_file(os.path.join(folder, "nav.dat"),
                   end.join(head + [line for line, _ in lines] + ["99", ""]))
        if style["own_apt"]:
            write_file(os.path.join(folder, "apt.dat"),
                       apt_dat("1000 Version - data cycle 1013", [airport], names, False))
        packs[os.path.normpath(os.path.join(folder, "nav.dat"))] = lines
    return xplane, packs


# ---------- reading what the merge and the validator say ----------

def left_out_report(stderr):
    """[(pack path, 810 line, or None for all of the file's rows, reason)] from the merge's
    list of rows it did not merge, and the count of those it does not list."""
    rows, unlisted, path = [], 0, None
    lines = stderr.splitlines()
    start = next((i for i, l in enumerate(lines) if "These add-on rows were not merged:" in l),
                 len(lines))
    for line in lines[start + 1:]:
        more = re.match(r"^(\d+) more rows? (?:was|were) not merged", line)
        whole = re.match(r"^  all \d+ rows?: (.*)$", line)
        if more:
            unlisted += int(more.group(1))
        elif whole:
            rows.append([path, None, whole.group(1)])
        elif line.startswith("    ") and rows and rows[-1][2] is None:
            rows[-1][2] = line.strip()
        elif line.startswith("  "):
            rows.append([path, line[2:], None])
        elif line.strip():
            path = line.strip()
    return [(p, row, reason or "(no reason given)") for p, row, reason in rows], unlisted


def validator_errors(validator, path):
    """Counter of (rule, first quoted text) of the validator's errors on a file."""
    out = subprocess.run([sys.executable, validator, path, "--max-per-rule=0"],
                         capture_output=True, text=True, errors="replace").stdout
    errors = Counter()
    for message in re.findall(r"^\d+: ERROR \[[^\]]*\] (.*)$", out, re.M):
        quoted = re.findall(r"'[^']*'", message)
        errors[blanked(message), quoted[0] if quoted else ""] += 1
    return errors


def blanked(text):
    """A message with its quoted texts, numbers and identifiers blanked, so alike ones group."""
    text = re.sub(r"'[^']*'|\"[^\"]*\"", "'#'", text)
    text = re.sub(r"(?<![\w'])[A-Z0-9][A-Z0-9/.-]*(?!\w)",
                  lambda m: m[0] if m[0] in KINDS else "#", text)
    return re.sub(r"('#', )+'#'", "'#', ...", text)


# ---------- comparing ----------

def rows_left_out(report, packs):
    """{row index: blanked reason} of the pack rows the report lists, and how many listed
    lines are no pack's row."""
    by_line = defaultdict(list)
    for lines in packs.values():
        for line, row in lines:
            by_line[key(line.split())].append(row)
    out, unknown = {}, 0
    for path, line, reason in report:
        if line is None:  # the file's path as the report names it, maybe relative
            pack = next((p for p in packs if (os.sep + p).endswith(os.sep + os.path.normpath(
                path or "-"))), None)
            rows = [row for _, row in packs.get(pack, [])]
        else:
            rows = [r for r in by_line[key(line.split())] if r.index not in out][:1]
        for row in rows:
            out.setdefault(row.index, blanked(reason))
        unknown += not rows
    return out, unknown


def added_rows(start, result_rows):
    """{row code: [result rows not in the starting database]}, as a multiset of lines."""
    extra, added = Counter(key(r.words) for r in result_rows) - start, defaultdict(list)
    for row in result_rows:
        if extra[key(row.words)] > 0:
            extra[key(row.words)] -= 1
            added[row.code].append(row)
    return added


def nearest_added(row, candidates):
    """Takes the added row most like an expected one: same ident (markers: same runway),
    nearest."""
    field = 10 if row.code in MARKERS else 7
    near = [c for c in candidates
            if c.words[field] == row.words[field] and distance_nm(c, row) <= SAME_PLACE_NM]
    if not near:
        return None
    found = min(near, key=lambda c: distance_nm(c, row))
    candidates.remove(found)
    return found


def magnetic(row):
    return math.floor(float(row.words[6]) / 360)


def count_wrong_fields(want, got, wrong):
    """Counts the fields in which got differs from want; returns their names."""
    a, b = want.words, got.words
    fields = set()
    for field, differs in (("region", a[9] != b[9]), ("terminal", a[8] != b[8]),
                           ("name", a[10:] != b[10:]),
                           ("marker ident", want.code in MARKERS and a[7] != b[7]),
                           ("magnetic course",
                            want.code in LOCALIZERS and magnetic(want) != magnetic(got))):
        if differs:
            fields.add(field)
    for field, x, y in zip(["lat", "lon", "elevation", "frequency", "range", "param"],
                           a[1:7], b[1:7]):
        if want.code in LOCALIZERS and field == "param":  # the true bearing part
            x, y = str(float(x) % 360), str(float(y) % 360)
        if key([x]) != key([y]):
            fields.add("other numbers: " + field)
    wrong["rows"] += 1
    for field in fields:
        wrong[field] += 1
    return fields


# What the database loses when its rows are removed, so that a merge can only estimate it.
ESTIMATES = {"terminal": {"magnetic course"}, "en-route": {"region"}}


def orphans(rows):
    """Glideslopes, markers and ILS DMEs with no localizer of their ident and terminal."""
    localizers = {(r.ident, r.terminal) for r in rows if r.code in LOCALIZERS}
    return sum(1 for r in rows if (r.code in {6} | MARKERS or r.code in DMES and
                                   r.terminal != "ENRT") and (r.ident, r.terminal) not in localizers)


def compare(expected, packs, start_rows, result_rows, stderr):
    """The figures of one variant."""
    report, unlisted = left_out_report(stderr)
    out, unknown = rows_left_out(report, packs)
    start = Counter(key(r.words) for r in start_rows)
    result = Counter(key(r.words) for r in result_rows)
    f = {"expected": len(expected), "listed": len(out), "unlisted": unlisted, "unknown": unknown,
         "reasons": Counter(out.values()), "wrong": Counter(), "magnetic": Counter(),
         "groups": Counter(), "exact": 0, "exact but estimates": 0, "no result row": 0}
    unmatched, added = result.copy(), added_rows(start, result_rows)
    for row in expected:
        group = "en-route" if row.terminal == "ENRT" else "terminal"
        f["groups"][group, "rows"] += 1
        if row.index in out:
            continue
        if unmatched[key(row.words)] > 0:
            unmatched[key(row.words)] -= 1
            found = row
            f["exact"] += 1
            f["groups"][group, "exact"] += 1
        else:
            found = nearest_added(row, added[row.code])
            if found is None:
                f["no result row"] += 1
                continue
            fields = count_wrong_fields(row, found, f["wrong"])
            if fields <= ESTIMATES[group]:
                f["exact but estimates"] += 1
        f["groups"][group, "found"] += 1
        f["groups"][group, "region wrong"] += found.region != row.region
        if row.code in LOCALIZERS:
            turn = abs((magnetic(found) - magnetic(row) + 180) % 360 - 180)
            f["magnetic"]["exact" if turn == 0 else "±1°" if turn <= 1 else "more"] += 1
    f["twins"] = sum(n for k, n in (result - start).items() if result[k] > 1)
    f["orphans"], f["orphans before"] = orphans(result_rows), orphans(start_rows)
    changed = start - Counter(key(r.words) for r in expected) - result
    f["other rows changed"] = sum(changed.values())
    f["changed examples"] = [" ".join(k) for k in list(changed)[:3]]
    return f


# ---------- the two variants ----------

def run_variant(name, args, database_text, chosen, names, root):
    """Builds the variant's X-Plane folder in root, merges, and returns its figures, or None
    when the merge fails."""
    expected = sorted((r for rs in chosen.values() for r in rs), key=lambda r: r.index)
    if name == "re-add":
        written = {r.index for r in expected}
        database_text = "".join(line for i, line in
                                enumerate(database_text.splitlines(keepends=True))
                                if i not in written)
    xplane, packs = write_xplane(root, database_text, chosen, names)
    database = os.path.join(xplane, "Resources", "default data", "earth_nav.dat")
    before = validator_errors(args.validator, database)
    merge = subprocess.run([args.quillet, "merge", "--xplane", xplane, "--all", "--name-conflicts",
                            "replace", "--callsign-conflicts", "replace"],
                           cwd=root, capture_output=True, text=True, errors="replace")
    for ending, text in (("out", merge.stdout), ("err", merge.stderr)):
        write_file(os.path.join(root, "quillet-merge." + ending), text)
    if merge.returncode != 0:
        print("\n%s: quillet merge ended with exit code %d\n--- stdout\n%s--- stderr\n%s"
              % (name, merge.returncode, merge.stdout, merge.stderr))
        return None
    with open(database, encoding="latin-1") as f:
        result_rows = navaid_rows(f.read())
    figures = compare(expected, packs, navaid_rows(database_text), result_rows, merge.stderr)
    figures["summary"] = merge.stdout.strip().splitlines()[-1:]
    figures["validator"] = before, validator_errors(args.validator, database)
    return figures


def share(n, total):
    return "%5d %5.1f %%" % (n, 100.0 * n / total if total else 0)


def print_figures(name, f):
    total, wrong, groups, turns = f["expected"], f["wrong"], f["groups"], f["magnetic"]
    print("\n%s: %d expected rows" % (name, total))
    for line in f["summary"]:
        print("  quillet: " + re.sub(r" into .*?: ", ": ", line.split(" The old")[0]))
    print("  exact          " + share(f["exact"], total))
    print("  exact but for estimates (a localizer's magnetic course, an en-route region): "
          + share(f["exact"] + f["exact but estimates"], total))
    print("  left out       %s   (listed %d, not listed %d, listed but no pack's row %d)"
          % (share(f["listed"] + f["unlisted"], total), f["listed"], f["unlisted"], f["unknown"]))
    reasons = f["reasons"].most_common(6) + ([("(not listed)", f["unlisted"])] if f["unlisted"] else [])
    for reason, n in reasons:
        print("    %5d  %s" % (n, reason))
    numbers = ", ".join("%s %d" % (k[15:], n) for k, n in sorted(wrong.items())
                        if k.startswith("other numbers: ")) or "0"
    print("  wrong          %s\n    by field: %s; other numbers: %s" % (
        share(wrong["rows"], total), ", ".join("%s %d" % (field, wrong[field]) for field in (
            "region", "terminal", "name", "marker ident", "magnetic course")), numbers))
    print("    localizers found, magnetic course: exact %d, ±1° %d, more %d"
          % (turns["exact"], turns["±1°"], turns["more"]))
    print("  no result row  %s   (the left-out rows not listed are among these)"
          % share(f["no result row"], total))
    for group in ("terminal", "en-route"):
        print("    %-8s %4d rows: exact %4d, region wrong %3d of %4d found" % (
            group, groups[group, "rows"], groups[group, "exact"], groups[group, "region wrong"],
            groups[group, "found"]))
    print("  twins          %5d   added rows equal to another row of the result" % f["twins"])
    print("  orphans        %5d   (starting database %d)" % (f["orphans"], f["orphans before"]))
    before, after = f["validator"]
    rules, examples = Counter(), defaultdict(Counter)
    for (rule, quoted), n in after.items():
        rules[rule] += n
        examples[rule][quoted] += n
    for (rule, _), n in before.items():
        rules[rule] -= n
    print("  validator errors %+d (before %d, after %d); by rule:"
          % (sum(rules.values()), sum(before.values()), sum(after.values())))
    for rule, n in sorted(rules.items(), key=lambda item: -abs(item[1]))[:5]:
        example = examples[rule].most_common(1)[0][0] if examples[rule] else ""
        if n:
            print("    %+5d  %s%s" % (n, rule, "   e.g. " + example if example else ""))
    print("  other rows changed %d" % f["other rows changed"])
    for example in f["changed examples"]:
        print("    " + example)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("database", help="a real earth_nav.dat of format 1200, or .gz")
    parser.add_argument("--airports", type=int, default=200)
    parser.add_argument("--quillet", default="build/native/src/cli/quillet")
    parser.add_argument("--validator", default="/work/shared/tools/xpnav_validate.py")
    parser.add_argument("--keep", metavar="DIR", help="keep the X-Plane folders in DIR")
    args = parser.parse_args()
    args.quillet = os.path.abspath(args.quillet)
    if not os.access(args.quillet, os.X_OK):
        sys.exit("missing %s: cmake --build --preset native --target quillet" % args.quillet)

    opener = gzip.open if args.database.endswith(".gz") else open
    with opener(args.database, "rb") as f:
        database_text = f.read().decode("latin-1")
    rows = navaid_rows(database_text)
    chosen = choose_airports(rows, args.airports)
    names = airport_names(rows)
    print("%s: %d rows; %d airport packs of 810 rows, %d rows"
          % (os.path.basename(args.database), len(rows), len(chosen),
             sum(len(rs) for rs in chosen.values())))
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    for name in ("re-add", "replace"):
        root = tempfile.mkdtemp(prefix="quillet-round-trip-%s-" % name, dir=args.keep)
        try:
            figures = run_variant(name, args, database_text, chosen, names, root)
        finally:
            if not args.keep:
                shutil.rmtree(root)
        if figures:
            print_figures(name, figures)


if __name__ == "__main__":
    main()
