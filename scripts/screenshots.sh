#!/usr/bin/env bash
# Starts each window of Quillet under Wine on a virtual display, on a demo X-Plane folder,
# and saves pictures of them as PNG files in build/screenshots/: once at 100 % (96 DPI), and
# once at 150 % (144 DPI), those with the suffix -150.
# QUILLET_WIN64_BUILD names another build tree of the win64 preset (default build/win64).
source "$(dirname "$0")/common.sh"
cd "$repo"
install_missing_packages

build=${QUILLET_WIN64_BUILD:-build/win64}
out=$repo/build/screenshots
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" -j 2 --target screenshots

rm -rf "$out"
mkdir -p "$out"
python3 scripts/make-demo-xplane.py "$out/demo-xplane" >/dev/null

# The DPI of the programs Wine starts after it is set; 96 again at the end.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1 </dev/null
}

trap 'set_dpi 96; stop_wine; stop_display' EXIT
start_display
start_wine
for scale in 100 150; do
  shots=$out/$scale
  mkdir -p "$shots"
  set_dpi $((96 * scale / 100))
  # Each run merges into the demo database: each starts from a fresh copy of it.
  rm -rf "$shots/demo-xplane"
  cp -r "$out/demo-xplane" "$shots/demo-xplane"
  wine "$build/tests/win32/screenshots.exe" "$(winepath -w "$shots")" \
    "$(winepath -w "$shots/demo-xplane/X-Plane.exe")"
  suffix=""
  [ "$scale" = 100 ] || suffix="-$scale"
  for bmp in "$shots"/*.bmp; do
    name=$(basename "$bmp" .bmp)
    convert "$bmp" "$out/$name$suffix.png"
  done
  rm -rf "$shots"
done
rm -rf "$out/demo-xplane"
echo "Screenshots:"
ls -1 "$out"/*.png
