#!/usr/bin/env bash
# Builds Quillet and starts it under Wine, in build/run (where it keeps its settings file).
# Without a settings file that names an X-Plane folder, it first makes a demo X-Plane folder
# (build/demo-xplane) and a settings file naming it. With --xplane12 it makes, if need be,
# the demo folder of an X-Plane 12 (build/demo-xplane12) and names that one. Without a display
# ($DISPLAY unset) it runs on a virtual one, saves a screenshot of the window and closes
# Quillet again. QUILLET_WIN32_BUILD and QUILLET_WIN64_BUILD name other build trees of the two
# presets.
# usage: scripts/run.sh [--xplane12]
source "$(dirname "$0")/common.sh"
cd "$repo"
xplane12=false
case "${1:-}" in
  "") ;;
  --xplane12) xplane12=true ;;
  *) echo "usage: scripts/run.sh [--xplane12]" >&2; exit 2 ;;
esac
install_missing_packages

build32=${QUILLET_WIN32_BUILD:-build/win32}
build64=${QUILLET_WIN64_BUILD:-build/win64}
echo "== Quillet.exe for 32-bit Windows (win32 preset)"
cmake --preset win32 -B "$build32" >/dev/null
cmake --build "$build32" -j "$(nproc)" --target Quillet
echo "== Quillet.exe for 64-bit Windows (win64 preset)"
cmake --preset win64 -B "$build64" >/dev/null
cmake --build "$build64" -j "$(nproc)" --target Quillet

run_dir=$repo/build/run
demo=$repo/build/demo-xplane
demo_options=()
if $xplane12; then
  demo=$repo/build/demo-xplane12
  demo_options=(--xplane12)
fi
settings=$run_dir/q-config.qcf
mkdir -p "$run_dir"

headless=false
if [ -z "${DISPLAY:-}" ]; then
  headless=true
  start_display
fi
trap 'stop_wine; $headless && stop_display' EXIT
start_wine

demo_exe=$(winepath -w "$demo/X-Plane.exe" 2>/dev/null)
path_line=$(head -n 1 "$settings" 2>/dev/null | tr -d '\r' || true)
name_demo=false
if [ -z "$path_line" ] || { [ "$path_line" = "$demo_exe" ] && [ ! -d "$demo" ]; }; then
  rm -rf "$demo"
  python3 scripts/make-demo-xplane.py "${demo_options[@]}" "$demo"
  name_demo=true
elif $xplane12 && [ "$path_line" != "$demo_exe" ]; then
  [ -d "$demo" ] || python3 scripts/make-demo-xplane.py "${demo_options[@]}" "$demo"
  name_demo=true
fi
if $name_demo; then
  printf '%s\r\n1017\r\n1020\r\n1\r\n' "$demo_exe" >"$settings"
  echo "Settings file $settings names the demo X-Plane folder $demo_exe"
fi

# wine32 cannot be installed on this machine, so Wine runs the 64-bit build; the 32-bit
# Quillet.exe users get is $build32/src/Quillet.exe.
exe=$repo/$build64/src/Quillet.exe
echo "Starting the 64-bit build under Wine (no 32-bit Wine here): $exe"
cd "$run_dir"
if ! $headless; then
  wine "$exe"
  exit 0
fi

wine "$exe" &
quillet=$!
for _ in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Quillet"' && break
  sleep 0.1
done
sleep 1 # let it paint
shot=$repo/build/screenshots/run.png
mkdir -p "$(dirname "$shot")"
geometry=$(xwininfo -name Quillet | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
  /Width/ {w=$NF} /Height/ {h=$NF} END {printf "%dx%d+%d+%d", w, h, x, y}')
xwd -root -silent | convert xwd:- -crop "$geometry" +repage "png:$shot"
echo "No display: ran on a virtual one. Screenshot of the main window: $shot"
wine taskkill /im Quillet.exe >/dev/null 2>&1 || true
wait "$quillet" || true
echo "Quillet closed."
