#!/usr/bin/env bash
# Builds the fuzz targets (preset linux-fuzz) and runs each over its seed
# corpus for a bounded time; a crash, an overrun or a broken invariant fails.
#   scripts/fuzz.sh                 every target, SECONDS_EACH (4) seconds each,
#                                   FUZZ_JOBS (2) at a time
#   scripts/fuzz.sh ring_log 1800   one target for a long run
#   FUZZ_RUNS=10000000 scripts/fuzz.sh ring_log 0
#                                   a run of so many executions, no time
#                                   bound (0); with both, the first ends it
# The seed is fixed (FUZZ_SEED, 1) so that the test script's short runs try
# the same inputs every time (FUZZ_SEED=0 lets a long run pick its own).
# Findings go to build/linux-fuzz/findings; the corpus that a run grows
# stays in build/linux-fuzz/corpus (the seeds in fuzz/corpus are not changed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux-fuzz >/dev/null
cmake --build --preset linux-fuzz >/dev/null

seconds="${2:-${SECONDS_EACH:-4}}"
targets=("${1:-}")
[ -n "${targets[0]}" ] || targets=($(cd fuzz && ls *.cpp | sed 's/\.cpp$//'))
findings="$PWD/build/linux-fuzz/findings"
mkdir -p "$findings"

run() {  # target, extra environment
  local target="$1" corpus="build/linux-fuzz/corpus/$1" log="build/linux-fuzz/$1${2:+-${2#*=}}.log"
  mkdir -p "$corpus"
  local status=0
  env "${@:2}" "build/linux-fuzz/fuzz/fuzz_$target" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" \
    -runs="${FUZZ_RUNS:--1}" -print_final_stats=1 \
    -artifact_prefix="$findings/$target-" "$corpus" "fuzz/corpus/$target" > "$log" 2>&1 || status=$?
  # One write per run, so that the summaries of parallel runs do not interleave.
  printf -- '--- fuzz %s\n%s\n' "$*" \
    "$(grep -E '^(stat::number_of_executed_units|stat::new_units_added|==[0-9]+==ERROR|SUMMARY)|invariant broken' "$log")"
  return "$status"
}

# The text conversions run under a single-byte and a double-byte code page.
runs=()
for target in "${targets[@]}"; do
  if [ "$target" = multibyte ]; then
    runs+=("$target OVPB_ACP=1252" "$target OVPB_ACP=932")
  else
    runs+=("$target")
  fi
done
# One run per core at a time (FUZZ_JOBS): the same fuzzing in half the time.
export -f run
export seconds findings
printf '%s\n' "${runs[@]}" | xargs -P "${FUZZ_JOBS:-2}" -I{} bash -c 'run {}'
echo "fuzz: ${#targets[@]} targets, no findings"
