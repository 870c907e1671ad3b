#!/usr/bin/env bash
# Starts each window of Quillet under Wine on a virtual display, on a demo X-Plane folder,
# and saves pictures of them as PNG files in build/screenshots/.
# QUILLET_WIN64_BUILD names another build tree of the win64 preset (default build/win64).
source "$(dirname "$0")/common.sh"
cd "$repo"
install_missing_packages

build=${QUILLET_WIN64_BUILD:-build/win64}
out=$repo/build/screenshots
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target screenshots

mkdir -p "$out"
rm -rf "$out/demo-xplane"
python3 scripts/make-demo-xplane.py "$out/demo-xplane" >/dev/null

trap 'stop_wine; stop_display' EXIT
start_display
start_wine
wine "$build/tests/win32/screenshots.exe" "$(winepath -w "$out")" \
  "$(winepath -w "$out/demo-xplane/X-Plane.exe")"

for bmp in "$out"/*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png"
  rm "$bmp"
done
rm -rf "$out/demo-xplane"
echo "Screenshots:"
ls -1 "$out"/*.png
