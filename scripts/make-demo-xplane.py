#!/usr/bin/env python3
"""Writes a small demo X-Plane folder for trying Quillet out:

  X-Plane.exe                                  (an empty stand-in)
  Resources/default data/earth_nav.dat         (a few hundred navaids in the 810 format)
  Custom Scenery/<airport>/Earth nav data/nav.dat

The add-on airports bring new navaids, exact duplicates of database rows, one NAME conflict
(same runway, other identifier) and one CALLSIGN conflict (same identifier, other name).
One more folder has no nav.dat and is not listed. Files have CR LF line ends and the
database header holds a Latin-1 copyright sign, as X-Plane's own files do.

With --xplane12 the folder is an X-Plane 12 one: the default database in the 1200 format, a
navdata update in Custom Data (earth_nav.dat, which X-Plane 12 then reads, beside
earth_fix.dat) with the user's own user_nav.dat, and add-ons in 1200 and in 810, whose rows
Quillet writes in 1200; the rows of one of them cannot be converted and are left out.
"""
import argparse
import math
import os

# ICAO, latitude, longitude, elevation (ft), ILS runway ends as (name, true heading).
AIRPORTS = [
    ("KSEA", 47.4490, -122.3093, 433, [("16L", 180.0), ("16C", 180.0), ("34R", 0.0)]),
    ("KBFI", 47.5300, -122.3020, 21, [("14R", 133.5)]),
    ("KPDX", 45.5887, -122.5975, 31, [("10R", 100.5), ("28L", 280.5)]),
    ("KSFO", 37.6189, -122.3750, 13, [("28L", 297.9), ("28R", 297.9), ("19L", 207.9)]),
    ("KLAX", 33.9425, -118.4081, 128, [("24R", 263.0), ("25L", 263.0), ("06R", 83.0)]),
    ("KDEN", 39.8561, -104.6737, 5434, [("16R", 180.0), ("35L", 0.0), ("34R", 0.0)]),
    ("KORD", 41.9786, -87.9048, 672, [("10C", 90.0), ("28C", 270.0), ("27L", 270.0)]),
    ("KJFK", 40.6398, -73.7789, 13, [("04R", 31.2), ("22L", 211.2), ("13L", 121.1)]),
    ("EGLL", 51.4775, -0.4614, 83, [("09L", 89.7), ("27R", 269.7), ("27L", 269.7)]),
    ("LFPG", 49.0097, 2.5478, 392, [("09L", 86.6), ("27R", 266.6), ("26L", 266.6)]),
    ("EHAM", 52.3086, 4.7639, -11, [("18R", 183.2), ("06", 57.9), ("27", 267.7)]),
    ("EDDF", 50.0333, 8.5706, 364, [("25L", 248.9), ("07R", 68.9), ("25C", 248.9)]),
    ("EDDM", 48.3538, 11.7861, 1487, [("08L", 82.4), ("26R", 262.4), ("26L", 262.4)]),
    ("LSZH", 47.4647, 8.5492, 1416, [("14", 137.7), ("16", 155.4), ("28", 275.6)]),
    ("LOWW", 48.1103, 16.5697, 600, [("11", 115.6), ("29", 295.6), ("34", 342.1)]),
    ("LOWI", 47.2602, 11.3439, 1906, [("26", 259.5)]),
    ("RJTT", 35.5523, 139.7798, 35, [("34L", 337.5), ("22", 221.0), ("16R", 157.5)]),
    ("YSSY", -33.9461, 151.1772, 21, [("16R", 169.5), ("34L", 349.5), ("25", 246.1)]),
    ("NZAA", -37.0081, 174.7917, 23, [("23L", 233.9), ("05R", 53.9)]),
]

# Identifier, name, latitude, longitude, frequency (10 kHz), kind ("VORTAC", "VOR-DME", "NDB").
STATIONS = [
    ("SEA", "SEATTLE VORTAC", 47.4354, -122.3096, 11680, "VORTAC"),
    ("PAE", "PAINE VOR-DME", 47.9199, -122.2780, 11020, "VOR-DME"),
    ("BTG", "BATTLE GROUND VORTAC", 45.7476, -122.5923, 11660, "VORTAC"),
    ("SFO", "SAN FRANCISCO VOR-DME", 37.6195, -122.3738, 11580, "VOR-DME"),
    ("LAX", "LOS ANGELES VORTAC", 33.9331, -118.4320, 11360, "VORTAC"),
    ("DEN", "DENVER VOR-DME", 39.8123, -104.6608, 11730, "VOR-DME"),
    ("ORD", "CHICAGO O'HARE VOR-DME", 41.9878, -87.9053, 11390, "VOR-DME"),
    ("JFK", "KENNEDY VOR-DME", 40.6328, -73.7713, 11590, "VOR-DME"),
    ("BNN", "BOVINGDON VOR-DME", 51.7262, -0.5500, 11375, "VOR-DME"),
    ("LAM", "LAMBOURNE VOR-DME", 51.6461, 0.1519, 11560, "VOR-DME"),
    ("BIG", "BIGGIN VOR-DME", 51.3308, 0.0347, 11510, "VOR-DME"),
    ("OCK", "OCKHAM VOR-DME", 51.3050, -0.4472, 11530, "VOR-DME"),
    ("CGN", "CHARLES DE GAULLE VOR-DME", 49.0116, 2.6272, 11515, "VOR-DME"),
    ("SPL", "SCHIPHOL VOR-DME", 52.3325, 4.7511, 10840, "VOR-DME"),
    ("FFM", "FRANKFURT VOR-DME", 50.0537, 8.6371, 11420, "VOR-DME"),
    ("MUN", "MUNCHEN VOR-DME", 48.1819, 11.8164, 11230, "VOR-DME"),
    ("KLO", "KLOTEN VOR-DME", 47.4575, 8.5458, 11485, "VOR-DME"),
    ("SNU", "SOLLENAU VOR-DME", 47.8961, 16.2794, 11750, "VOR-DME"),
    ("INN", "INNSBRUCK VOR-DME", 47.2250, 11.4019, 10900, "VOR-DME"),
    ("HME", "HANEDA VOR-DME", 35.5488, 139.7914, 11220, "VOR-DME"),
    ("SY", "SYDNEY VOR-DME", -33.9406, 151.1828, 11210, "VOR-DME"),
    ("AA", "AUCKLAND VOR-DME", -37.0133, 174.8017, 11430, "VOR-DME"),
    ("BF", "NOLLA NDB", 47.5348, -122.3019, 362, "NDB"),
    ("SZ", "SEWARD NDB", 47.6283, -122.3836, 344, "NDB"),
    ("OSB", "OSBORN NDB", 37.7011, -122.2283, 362, "NDB"),
    ("WEN", "WENDI NDB", 40.5589, -73.8569, 361, "NDB"),
    ("EPM", "EPSOM NDB", 51.3192, -0.3717, 316, "NDB"),
    ("WOD", "WOODLEY NDB", 51.4531, -0.8783, 352, "NDB"),
    ("PY", "PONTOISE NDB", 49.0975, 2.0461, 386, "NDB"),
    ("MSW", "MUNCHEN WEST NDB", 48.3217, 11.6458, 400, "NDB"),
    ("RTT", "RATTENBERG NDB", 47.4308, 11.9400, 303, "NDB"),
    ("KTI", "KEMPTEN NDB", 47.7450, 10.3400, 383, "NDB"),
    ("NF", "NORTH FIELD NDB", -33.8942, 151.1697, 362, "NDB"),
    ("WT", "WHITFORD NDB", -36.9506, 174.9567, 346, "NDB"),
]

# Stand-alone DMEs: identifier, name, latitude, longitude, frequency.
DMES = [
    ("ILH", "INNSBRUCK LOC DME", 47.2589, 11.3092, 10990),
    ("OLN", "OLATHE DME", 38.8475, -94.7350, 11300),
    ("TNE", "TANEGA DME", 35.5623, 139.7651, 11650),
]

COPYRIGHT = "\u00a9"  # written as one Latin-1 byte


def offset(lat, lon, heading, km):
    """The point km kilometres from (lat, lon) along the true heading (flat earth)."""
    rad = math.radians(heading)
    dlat = km * math.cos(rad) / 111.32
    dlon = km * math.sin(rad) / (111.32 * math.cos(math.radians(lat)))
    return lat + dlat, lon + dlon


def row(code, lat, lon, elev, freq, rng, third, ident, *words):
    return "%-2d %12.8f %13.8f %6d %5d %3d %11.3f %-4s %s" % (
        code, lat, lon, elev, freq, rng, third, ident, " ".join(words))


def ils_rows(icao, lat, lon, elev, runway, heading, ident, freq):
    """Localizer, glide slope, markers and DME of one ILS runway end."""
    threshold = offset(lat, lon, heading + 180, 1.5)
    loc = offset(lat, lon, heading, 1.6)
    gs = offset(threshold[0], threshold[1], heading + 90, 0.15)
    rows = [
        row(4, *loc, elev, freq, 18, heading, ident, icao, runway, "ILS-cat-I"),
        row(6, *gs, elev, freq, 10, 300000 + heading, ident, icao, runway, "GS"),
        row(7, *offset(*threshold, heading + 180, 7.4), 0, 0, 0, heading, "----", icao, runway, "OM"),
        row(8, *offset(*threshold, heading + 180, 1.1), 0, 0, 0, heading, "----", icao, runway, "MM"),
        row(12, *gs, elev, freq, 18, 0.0, ident, icao, runway, "DME-ILS"),
    ]
    if runway.endswith("L"):
        rows.insert(4, row(9, *offset(*threshold, heading + 180, 0.3), 0, 0, 0, heading, "----",
                           icao, runway, "IM"))
    return rows


def database_rows():
    rows = []
    freq = 10810
    for icao, lat, lon, elev, runways in AIRPORTS:
        for index, (runway, heading) in enumerate(runways):
            ident = "I" + icao[1:3] + "ABCDEFGH"[index]
            # Parallel runways lie side by side.
            centre = offset(lat, lon, heading + 90, 0.4 * index)
            rows += ils_rows(icao, *centre, elev, runway, heading, ident, freq)
            freq = 10810 + (freq - 10810 + 20) % 390
    for ident, name, lat, lon, freq_, kind in STATIONS:
        if kind == "NDB":
            rows.append(row(2, lat, lon, 0, freq_, 25, 0.0, ident, *name.split()))
        else:
            rows.append(row(3, lat, lon, 300, freq_, 130, 19.0, ident, *name.split()))
            rows.append(row(12, lat, lon, 300, freq_, 130, 0.0, ident, *name.split(), "DME"))
    for ident, name, lat, lon, freq_ in DMES:
        rows.append(row(13, lat, lon, 1900, freq_, 25, 0.0, ident, *name.split()))
    # Two runways with a localizer only.
    rows.append(row(5, *offset(47.2602, 11.3439, 79.5, 2.0), 1906, 10990, 18, 79.5, "ILH",
                    "LOWI", "08", "LOC"))
    rows.append(row(5, *offset(37.6189, -122.3750, 117.9, 2.0), 13, 10855, 18, 117.9, "ISFO",
                    "KSFO", "10L", "LOC"))
    return rows


def write(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="latin-1", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


# The ICAO region of each demo airport; navaids away from airports take the nearest one's.
REGIONS = {"K": "K1", "EG": "EG", "LF": "LF", "EH": "EH", "ED": "ED", "LS": "LS", "LO": "LO",
           "RJ": "RJ", "YS": "YM", "NZ": "NZ"}
# The slaved variation of every demo VOR (the 810 rows' bearing field of code 3).
VARIATION = 19.0


def region_of(icao):
    return REGIONS.get(icao[:2], REGIONS.get(icao[:1]))


def nearest_airport(lat, lon):
    return min(AIRPORTS, key=lambda a: (a[1] - lat) ** 2 + ((a[2] - lon) * math.cos(
        math.radians(lat))) ** 2)[0]


def rows_1200(rows_810):
    """The 810 rows as 1200 rows: terminal area, region, markers named after their localizer,
    localizer bearings as magnetic x 360 + true."""
    icaos = {a[0] for a in AIRPORTS} | {"LOWI", "KSFO"}
    fields = [r.split() for r in rows_810]
    localizers = {(f[8], f[9]): f[7] for f in fields if f[0] in ("4", "5")}
    rows = []
    for f in fields:
        code, numbers, ident, words = int(f[0]), f[1:7], f[7], f[8:]
        lat, lon, elev, freq, rng, third = (float(numbers[0]), float(numbers[1]),
                                            int(numbers[2]), int(numbers[3]), int(numbers[4]),
                                            float(numbers[5]))
        if 4 <= code <= 9 or (code in (12, 13) and words[0] in icaos and len(words) == 3):
            terminal, words = words[0], words[1:]
            region = region_of(terminal)
            if 7 <= code <= 9:
                ident = localizers[(terminal, words[0])]
        else:
            terminal, region = "ENRT", region_of(nearest_airport(lat, lon))
        if code in (4, 5):
            magnetic = round((third - VARIATION) % 360) % 360
            third = magnetic * 360 + third
        rows.append("%-2d %12.8f %13.8f %6d %5d %3d %11.3f %-4s %s %s %s" % (
            code, lat, lon, elev, freq, rng, third, ident, terminal, region, " ".join(words)))
    return rows


def write_xplane12(root, base):
    """The X-Plane 12 folder of the usage text."""
    def header(cycle, what):
        return ("1200 Version - data cycle %s, build 20260101, metadata NavXP1200.  Copyright "
                + COPYRIGHT + " 2026, %s.  Not for real navigation.") % (cycle, what)
    rows = rows_1200(base)
    write(os.path.join(root, "Resources", "default data", "earth_nav.dat"),
          ["I", header("2301", "Quillet demo data")] + rows + ["99"])
    # The update lists the same navaids (a new cycle) in another order.
    write(os.path.join(root, "Custom Data", "earth_nav.dat"),
          ["I", header("2601", "Quillet demo navdata update"), ""] + sorted(rows) + ["99"])
    write(os.path.join(root, "Custom Data", "earth_fix.dat"),
          ["I", "1101 Version - data cycle 2601", "99"])
    write(os.path.join(root, "Custom Data", "user_nav.dat"),
          ["I", "1200 Version - the user's own navaids", "99"])
    with open(os.path.join(root, "X-Plane.exe"), "wb"):
        pass

    seattle = [r for r in base if " KSEA 16L " in r]
    munich = ils_rows("EDDM", 48.3538, 11.7861, 1487, "08R", 82.4, "IMSW", 10830)
    airports = {
        # 810: the 16L set again (duplicates once written in 1200) and a new NDB.
        "KSEA Seattle-Tacoma HD": (810, seattle + [
            row(2, 47.3900, -122.2950, 0, 396, 25, 0.0, "TC", "TACOMA", "NDB")]),
        # 1200: a new runway set, as X-Plane 12 add-ons ship it.
        "EDDM Munich XP12": (1200, rows_1200(munich)),
        # 810 in lower case: written upper-cased.
        "LOWI Innsbruck Pro": (810, [
            row(5, 47.2555, 11.2817, 1906, 10970, 18, 79.5, "oeV", "lowi", "08", "loc-dme"),
            row(12, 47.2555, 11.2817, 1906, 10970, 18, 0.0, "oeV", "lowi", "08", "dme-loc"),
            row(2, 47.2739, 11.0572, 0, 417, 25, 0.0, "ken", "kematen", "ndb"),
        ]),
        # 810 far from every navaid of the database: no region to take, left out.
        "NZQN Queenstown": (810, [
            row(3, -45.0195, 168.7339, 1171, 11370, 130, 23.0, "QN", "QUEENSTOWN", "VOR-DME"),
            row(2, -45.0133, 168.9356, 0, 368, 25, 0.0, "QN", "FRANKTON", "NDB"),
        ]),
    }
    for name, (version, rows_) in airports.items():
        write(os.path.join(root, "Custom Scenery", name, "Earth nav data", "nav.dat"),
              ["I", "%d Version - %s navaids" % (version, name)] + rows_ + ["99"])
    write(os.path.join(root, "Custom Scenery", "Global Airports", "Earth nav data", "apt.dat"),
          ["I", "1200 Version", "99"])
    print("%s: X-Plane 12, %d database rows, %d add-on airports" % (root, len(rows), len(airports)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     epilog=__doc__.split("\n\n", 1)[1],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--xplane12", action="store_true",
                        help="an X-Plane 12 folder: a 1200 database and a navdata update")
    parser.add_argument("folder", help="the folder to write (made when missing)")
    args = parser.parse_args()
    root, xplane12 = args.folder, args.xplane12
    base = database_rows()
    if xplane12:
        write_xplane12(root, base)
        return
    header = ("810 Version - data cycle 2601, build 20260101, metadata NavXP810.  Copyright "
              + COPYRIGHT + " 2026, Quillet demo data.  Not for real navigation.")
    write(os.path.join(root, "Resources", "default data", "earth_nav.dat"),
          ["I", header, ""] + base + ["99"])
    with open(os.path.join(root, "X-Plane.exe"), "wb"):
        pass

    def find(code, ident):
        return next(r for r in base if r.split()[0] == str(code) and r.split()[7] == ident)

    seattle_16l = [r for r in base if " KSEA 16L " in r]
    seattle_16c_loc = next(r for r in base if r.startswith("4 ") and " KSEA 16C " in r)
    seattle_vor = find(3, "SEA")
    airports = {
        # Exact duplicates of the 16L set, a new localizer identifier on 16C (NAME conflict),
        # the SEA VORTAC renamed (CALLSIGN conflict), and a new NDB.
        "KSEA Seattle-Tacoma HD": seattle_16l + [
            seattle_16c_loc.replace(seattle_16c_loc.split()[7], "IBEJ"),
            seattle_vor.replace("SEATTLE VORTAC", "SEATAC VORTAC"),
            row(2, 47.3900, -122.2950, 0, 396, 25, 0.0, "TC", "TACOMA", "NDB"),
        ],
        # A new runway set and two exact duplicates.
        "EDDM Munich XP": ils_rows("EDDM", 48.3538, 11.7861, 1487, "08R", 82.4, "IMSW", 10830)
        + [find(3, "MUN"), find(2, "MSW")],
        # New lines written in lower case: the merge upper-cases them.
        "LOWI Innsbruck Pro": [
            row(5, 47.2555, 11.2817, 1906, 10970, 18, 79.5, "oeV", "lowi", "08", "loc-dme"),
            row(12, 47.2555, 11.2817, 1906, 10970, 18, 0.0, "oeV", "lowi", "08", "dme-loc"),
            row(2, 47.2739, 11.0572, 0, 417, 25, 0.0, "ken", "kematen", "ndb"),
        ],
        "NZQN Queenstown": [
            row(3, -45.0195, 168.7339, 1171, 11370, 130, 23.0, "QN", "QUEENSTOWN", "VOR-DME"),
            row(12, -45.0195, 168.7339, 1171, 11370, 130, 0.0, "QN", "QUEENSTOWN", "VOR-DME",
                "DME"),
            row(2, -45.0133, 168.9356, 0, 368, 25, 0.0, "QN", "FRANKTON", "NDB"),
        ],
    }
    for name, rows in airports.items():
        write(os.path.join(root, "Custom Scenery", name, "Earth nav data", "nav.dat"),
              ["I", "810 Version - " + name + " navaids", ""] + rows + ["99"])
    # Scenery without navaids: not a custom airport for Quillet.
    write(os.path.join(root, "Custom Scenery", "Global Airports", "Earth nav data", "apt.dat"),
          ["I", "1000 Version", "99"])
    print("%s: %d database rows, %d add-on airports" % (root, len(base), len(airports)))


if __name__ == "__main__":
    main()
