#!/usr/bin/env bash
# Times the plug-in's commands on short strings in the real runtime against
# the runtime's own commands that do the same work: INSTR against FIND SUB
# STRING$, FAST LEN against LEN, and so on. The program
# bench/real_runtime/short_strings.dba is compiled with the runtime's own
# compiler and run headless under 32-bit Wine (scripts/dbpro_wine.sh); it
# times both commands of each row in alternating rounds, and this script
# prints the table of nanoseconds per call, less the loop's own cost, to
# stdout and to build/real_runtime_speed.txt (the program's own timings, in
# ticks, are kept in build/real_runtime_timings.txt).
#
#   bench/real_runtime.sh [DLL]
#
# DLL defaults to build/mingw/Vellum3Util_16.dll, which ./build.sh makes.
# The installation is DBPRO_DIR or ../shared/dbpro, as for
# tests/real_runtime.sh. Where there is none, or Wine cannot run, it says so
# and ends with success: these are timings, not tests.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/common.sh
source scripts/common.sh
# shellcheck source=scripts/dbpro_wine.sh
source scripts/dbpro_wine.sh

DLL=${1:-build/mingw/Vellum3Util_16.dll}
PROGRAM=bench/real_runtime/short_strings.dba
TABLE=build/real_runtime_speed.txt
# The program runs for two to four minutes, more on a busy machine.
RUN_SECONDS=900

if ! dbpro_installed; then
  echo "No DBPro installation (DBPRO_DIR, or ../shared/dbpro): the real-runtime timings are skipped."
  exit 0
fi
dbpro_require_built "run ./build.sh first" "$DLL" "$DBPRO_WATCH"
dbpro_open_work real_runtime_speed
if ! dbpro_start_job "$WORK" 1 "$DLL"; then
  echo "Wine cannot start a 32-bit prefix here: the real-runtime timings are skipped."
  exit 0
fi

# The compiler reads lines that end in CR LF.
name=$(basename "$PROGRAM" .dba)
sed 's/$/\r/' "$PROGRAM" >"$WORK/$name.dba"
dbpro_compile "$WORK/dbpro1" "$WORK" "$name" >&2 || exit 1
dbpro_run "$WORK" "$name" "$RUN_SECONDS" >&2 || exit 1
if grep -q '^DIALOG' "$WORK/run.log"; then
  echo "the program showed $(grep -m 1 '^DIALOG' "$WORK/run.log")" >&2
  exit 1
fi

# Per row: the best round of each command, less the best empty loop, per
# call; and the median of each round's own ratio, whose two commands ran
# next to each other under much the same load.
mkdir -p build
tr -d '\r' <"$WORK/timings.txt" >build/real_runtime_timings.txt
awk -F'|' -v install="$(realpath "$DBPRO_INSTALL")" -v dll="$DLL" '
  function sorted(a, k,   i, j, t) {
    for (i = 2; i <= k; i++)
      for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
  }
  function median(a, k) { return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2 }
  function flush(   i, ours, theirs) {
    if (!k) return
    sorted(e, k)
    for (i = 1; i <= k; i++) r[i] = (o[i] - e[1]) / (t[i] - e[1])
    sorted(r, k); sorted(o, k); sorted(t, k)
    ours = (o[1] - e[1]) * ns / calls
    theirs = (t[1] - e[1]) * ns / calls
    printf "%-22s %8.1f   %-26s %8.1f   %6.2f  %6.2f%s\n", mine_call, ours, their_call, theirs,
      ours / theirs, median(r, k),
      (mine_result == their_result ? "" : "  (results differ: " mine_result " / " their_result ")")
    if (o[1] < shortest) shortest = o[1]
    if (t[1] < shortest) shortest = t[1]
    if (e[1] * ns / calls > empty_ns) empty_ns = e[1] * ns / calls
    rounds = k; k = 0
  }
  BEGIN { shortest = 1e30 }
  $1 == "freq" { freq = $2; ns = 1e9 / freq
    printf "The real runtime (%s under Wine), %s\n\n", install, dll
    printf "%-22s %8s   %-26s %8s   %6s  %6s\n", "plug-in", "ns/call", "runtime", "ns/call", "ratio", "median"
  }
  $1 == "row" { flush(); mine_call = $2; their_call = $3; mine_result = $4; their_result = $5 }
  $1 == "calls" { calls = $2; k = 0 }
  $1 == "round" { k++; e[k] = $2; o[k] = $3; t[k] = $4 }
  END {
    flush()
    printf "\ns = \"the cat sat on a mat\", S = \"THE CAT SAT ON A MAT\"; %d alternating rounds a row,\n", rounds
    printf "each of %.0f ms or more. ns/call: the best round of each command less the best round\n", shortest / freq * 1000
    printf "of the empty loop (at most %.1f ns a turn). ratio: plug-in / runtime of those;\n", empty_ns
    printf "median: the median of the rounds%s own ratios.\n", "\047"
  }' build/real_runtime_timings.txt | tee "$TABLE"
