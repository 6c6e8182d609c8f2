#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, address and undefined-
# behaviour sanitizers, build/fuzz) and runs them.
#   scripts/fuzz.sh short            each target for a fixed number of runs
#                                    from its seed corpus; fails on a finding
#   scripts/fuzz.sh long [SECONDS]   every target at once for SECONDS
#                                    (default 600), growing build/fuzz/corpus;
#                                    prints the executions and any findings
# A finding is left in build/fuzz/findings/<target>/ and shown with the call
# that failed; scripts/fuzz.sh replays nothing else.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/build/fuzz
TARGETS=(command_fuzzer search_diff_fuzzer edit_diff_fuzzer split_diff_fuzzer)
# Runs per target in short mode; the command fuzzer makes up to 256 audited
# calls per input, so it gets fewer.
declare -A SHORT_RUNS=([command_fuzzer]=6000 [search_diff_fuzzer]=20000
                       [edit_diff_fuzzer]=20000 [split_diff_fuzzer]=20000)
# Inputs of the command fuzzer are scripts of calls; longer ones add little.
declare -A MAX_LEN=([command_fuzzer]=1024 [search_diff_fuzzer]=4096
                    [edit_diff_fuzzer]=4096 [split_diff_fuzzer]=4096)

# shellcheck source=scripts/common.sh
source scripts/common.sh

ensure_tools() {
  local missing=()
  command -v clang++-14 >/dev/null || missing+=(clang-14)
  dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || missing+=(libclang-rt-14-dev)
  dpkg -s libfuzzer-14-dev >/dev/null 2>&1 || missing+=(libfuzzer-14-dev)
  ensure_native_tools "${missing[@]}"
}

build() {
  ensure_tools
  say "building the fuzz targets"
  cmake --preset fuzz -G Ninja >/dev/null
  cmake --build "$BUILD" -j"$(nproc)" --target "${TARGETS[@]}"
}

# Shows what a target found: its log's report and, for the command fuzzer,
# the call that failed, replayed with tracing.
show_finding() {
  local target=$1 log=$2
  echo "-- $target found a fault; its report:"
  grep -v -e '^#' -e '^INFO' -e '^"' "$log" | head -40
  local artifact
  for artifact in "$BUILD/findings/$target"/*; do
    [ -f "$artifact" ] || continue
    echo "-- reproducer: $artifact"
    if [ "$target" = command_fuzzer ]; then
      echo "-- the calls leading to it (the last one failed):"
      VELLUM_FUZZ_TRACE=1 "$BUILD/$target" "$artifact" 2>&1 |
        grep -E '^[A-Z!][A-Z $]*\(' | tail -5 || true
    fi
  done
}

# Executions a finished run reports.
executions() {
  sed -n 's/^stat::number_of_executed_units: *//p' "$1" | tail -1
}

# run TARGET CORPUS LOG OPTIONS...: one libFuzzer run; the seeds are read,
# new inputs go to CORPUS. Freed memory waits in the address sanitizer's
# quarantine, so a long run's resident size grows without any leak; the
# limit on it is raised, while one allocation above 1 GiB (far beyond any
# result the targets ask for) stays a finding.
run() {
  local target=$1 corpus=$2 log=$3
  shift 3
  mkdir -p "$corpus" "$BUILD/findings/$target"
  "$BUILD/$target" "$@" -max_len="${MAX_LEN[$target]}" -timeout=60 \
    -rss_limit_mb=4096 -malloc_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$BUILD/findings/$target/" \
    "$corpus" "$ROOT/fuzz/corpus/$target" >"$log" 2>&1
}

short() {
  build
  local scratch failed=0 target
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' RETURN
  for target in "${TARGETS[@]}"; do
    rm -rf "$BUILD/findings/$target"
    if run "$target" "$scratch/$target" "$scratch/$target.log" -runs="${SHORT_RUNS[$target]}"; then
      printf '%-20s %8s runs, no finding\n' "$target" "$(executions "$scratch/$target.log")"
    else
      show_finding "$target" "$scratch/$target.log"
      failed=1
    fi
  done
  return $failed
}

long() {
  local seconds=${1:-600}
  build
  say "fuzzing every target for $seconds seconds"
  mkdir -p "$BUILD/logs"
  local target pids=() failed=0 total=0 count i=0
  for target in "${TARGETS[@]}"; do
    rm -rf "$BUILD/findings/$target"
    run "$target" "$BUILD/corpus/$target" "$BUILD/logs/$target.log" \
      -max_total_time="$seconds" &
    pids+=($!)
  done
  for target in "${TARGETS[@]}"; do
    local status=0
    wait "${pids[$i]}" || status=$?
    count=$(executions "$BUILD/logs/$target.log")
    total=$((total + ${count:-0}))
    if [ $status -eq 0 ]; then
      printf '%-20s %10s executions, no finding\n' "$target" "$count"
    else
      printf '%-20s %10s executions, then a finding\n' "$target" "${count:-?}"
      show_finding "$target" "$BUILD/logs/$target.log"
      failed=1
    fi
    i=$((i + 1))
  done
  echo "total executions: $total (logs in build/fuzz/logs)"
  return $failed
}

case "${1:-}" in
  short) short ;;
  long) long "${2:-600}" ;;
  *) echo "usage: scripts/fuzz.sh short | long [SECONDS]" >&2; exit 2 ;;
esac
