#!/usr/bin/env bash
# Builds every tree and runs every test: native, native with sanitizers, short runs of the
# fuzz targets, and the Windows tests under Wine; the 32-bit Quillet.exe is built as well, and
# the release archives are made and checked.
source "$(dirname "$0")/common.sh"
cd "$repo"
install_missing_packages

echo "== layers and formatting"
python3 scripts/check-layers.py
find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run -Werror

for preset in native native-asan; do
  echo "== $preset"
  build_preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done

echo "== fuzz targets, a short fixed number of runs each"
scripts/fuzz.sh --short

echo "== win32 (Quillet.exe for users)"
build_preset win32

echo "== win64 under Wine"
build_preset win64
trap 'stop_wine; stop_display' EXIT
start_display
start_wine
ctest --preset win64

echo "== package"
scripts/package.sh
