#!/usr/bin/env bash
# Measures under Wine, on a virtual display, what the progress dialog costs a merge: whole
# "GO!" runs with 1 and 500 custom airports on a generated 26,736-row earth_nav.dat, against
# the I/O floor of the same file work and the merge job alone; prints a table and what the
# 499 more airports add to each, as a multiple of what they add to the floor.
# QUILLET_WIN64_BUILD names another build tree of the win64 preset (default build/win64).
source "$(dirname "$0")/common.sh"
cd "$repo"
install_missing_packages

build=${QUILLET_WIN64_BUILD:-build/win64}
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target window_traffic_bench

trap 'stop_wine; stop_display' EXIT
start_display
start_wine
wine "$build/bench/window_traffic_bench.exe"
