#!/usr/bin/env python3
"""Fails when a source file under src/ includes a header of a higher layer.

The layers, lowest first; each may include only its own layer and those below it:
  0 base/                  text files, file operations, paths (with their platform halves)
  1 settings/              the settings store and file
  2 scenery/               X-Plane folders, their nav data formats, add-on airports
  3 merge/                 nav data, the merge job
  4 res/                   the resource script and its ids
  5 */*_win32.*            the windows and dialogs beside the features they serve
  6 app/, cli/             the front ends
Below layer 4 only base/*_win32.cpp may include <windows.h>.
"""
import pathlib
import re
import sys

SRC = pathlib.Path(__file__).resolve().parent.parent / "src"
CORE_LAYERS = {"base": 0, "settings": 1, "scenery": 2, "merge": 3}
LAYER_NAMES = ["base", "settings", "scenery", "merge", "res", "windows", "front end"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(relative: pathlib.PurePosixPath) -> int:
    folder = relative.parts[0]
    if folder in ("app", "cli"):
        return 6
    if folder == "res":
        return 4
    if folder in CORE_LAYERS:
        if folder != "base" and relative.stem.endswith("_win32"):
            return 5
        return CORE_LAYERS[folder]
    raise ValueError(f"{relative}: not in any layer")


def main() -> int:
    problems = []
    for path in sorted(SRC.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".rc"):
            continue
        relative = pathlib.PurePosixPath(path.relative_to(SRC).as_posix())
        own = layer_of(relative)
        for number, line in enumerate(path.read_text(encoding="latin-1").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            where = f"src/{relative}:{number}"
            if kind == "<":
                if name.lower() == "windows.h" and own < 4 and not relative.stem.endswith("_win32"):
                    problems.append(f"{where}: <windows.h> in the portable core")
                continue
            target = pathlib.PurePosixPath(name)
            if not (SRC / target).exists():
                continue  # a header beside the file, e.g. resource.h in the .rc
            other = layer_of(target)
            if other > own:
                problems.append(f"{where}: {LAYER_NAMES[own]} includes {name} "
                                f"({LAYER_NAMES[other]}, a higher layer)")
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"layer check: {len(problems)} include(s) point up a layer", file=sys.stderr)
        return 1
    print("layer check: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
