#!/usr/bin/env bash
# Builds the fuzz targets (preset native-fuzz: clang's libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each of them with one job:
#
#   scripts/fuzz.sh [seconds]   each target for that many seconds (default 300), growing
#                               its corpus in build/fuzz/corpus/<target>
#   scripts/fuzz.sh --short     each target for a short fixed number of runs from its
#                               committed seed corpus alone (the test command's step)
#
# A difference or a crash stops that target and leaves its input in build/fuzz/findings/; the
# other targets still run, and the script fails at the end.
source "$(dirname "$0")/common.sh"
cd "$repo"

mode=${1:-300}
if [ "$mode" != --short ] && ! [[ "$mode" =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh [seconds | --short]" >&2
  exit 2
fi

# target, longest input, runs of the short step
targets=(
  "row_reader 512 300000"
  "settings_loader 1024 8000"
  "merge_job 4096 4000"
)

install_missing_packages
build_preset native-fuzz

# The targets write their files in a temporary folder: in memory when the machine has one.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

out="$repo/build/fuzz"
mkdir -p "$out/findings"
failed=()
for entry in "${targets[@]}"; do
  read -r name max_len short_runs <<<"$entry"
  seeds="$repo/fuzz/corpus/$name"
  if [ "$mode" = --short ]; then
    # New inputs go to the first folder: a fresh one, so the seeds stay as committed.
    corpus=$(mktemp -d)
    limit=(-runs="$short_runs" -seed=1)
  else
    corpus="$out/corpus/$name"
    mkdir -p "$corpus"
    limit=(-max_total_time="$mode" -print_final_stats=1)
  fi
  echo "== fuzzing $name"
  status=0
  "$repo/build/native-fuzz/fuzz/${name}_fuzz" "${limit[@]}" -max_len="$max_len" \
    -artifact_prefix="$out/findings/$name-" "$corpus" "$seeds" 2>"$out/$name.log" || status=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::|^Done' "$out/$name.log" || true
  [ "$mode" = --short ] && rm -rf "$corpus"
  if [ "$status" -ne 0 ]; then
    grep -E -A12 '^[a-z ]+: .* differs?|ERROR: ' "$out/$name.log" | head -n 40 >&2
    echo "fuzzing $name failed; its log is $out/$name.log" >&2
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found something in: ${failed[*]}" >&2
  exit 1
fi
