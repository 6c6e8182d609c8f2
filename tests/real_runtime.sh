#!/usr/bin/env bash
# Compiles programs with the runtime's own compiler and runs them in the real
# runtime, headless under 32-bit Wine on an Xvfb display, as a user would
# with the plug-in in Compiler\plugins-user\ of a DBPro installation.
#
#   tests/real_runtime.sh [PROGRAM.dba|FOLDER...]
#
# Run after ./build.sh package, whose builds it uses: dist/Vellum3Util_16.dll,
# build/native/runtime_programs, build/mingw/dialog_watch.exe and the help's
# examples in build/package/checks. The programs are by default those
# examples, docs/examples and tests/real_runtime (one program per run-time
# error, and what the emulator cannot show: the runtime's own MID$ beside
# the plug-in's, a fresh split store). The installation is DBPRO_DIR, the
# folder that holds Compiler\DBPCompiler.exe, or else ../shared/dbpro beside
# the repository; it is copied first, since the compiler writes into it.
#
# Every program runs as a copy whose printed lines go to a file
# (runtime_programs print-to-file), compared with NAME.txt or NAME.match as
# the host emulator compares them. A program passes when the compiler shows
# no dialog, the program ends in time, it shows no dialog (or, where
# NAME.dialog exists, a dialog holding its text: a run-time error naming its
# line) and it printed what NAME.txt says. A generated program that calls
# every row of host/module.rc runs with them, so the compiler must know every
# command.
# REAL_RUNTIME_JOBS programs (default 2) compile and run at a time.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/common.sh
source scripts/common.sh

# shellcheck source=scripts/dbpro_wine.sh
source scripts/dbpro_wine.sh

DLL=dist/Vellum3Util_16.dll
TOOL=build/native/runtime_programs
PROGRAMS=(build/package/checks docs/examples tests/real_runtime)
[ $# -eq 0 ] || PROGRAMS=("$@")
JOBS=${REAL_RUNTIME_JOBS:-2}

if ! dbpro_installed; then
  echo "No DBPro installation (DBPRO_DIR, or ../shared/dbpro): the real-runtime stage is skipped."
  exit 0
fi
dbpro_require_built "run ./build.sh package first" "$DLL" "$TOOL" \
  "$DBPRO_WATCH" build/package/checks
dbpro_open_work real_runtime

# Each job compiles in a copy of the installation of its own and runs in a
# Wine prefix of its own.
starting=()
for job in $(seq "$JOBS"); do
  dbpro_start_job "$WORK" "$job" "$DLL" &
  starting+=($!)
done
for pid in "${starting[@]}"; do
  if ! wait "$pid"; then
    echo "Wine cannot start a 32-bit prefix here: the real-runtime stage is skipped."
    exit 0
  fi
done

# The programs, each as its copy that prints to a file, in a folder of its
# own; a list line holds the program and the folder.
mkdir -p "$WORK/every_row"
"$TOOL" every-row host/module.rc "$WORK/every_row/every_row.dba"
: >"$WORK/list"
count=0
for path in "$WORK/every_row/every_row.dba" "${PROGRAMS[@]}"; do
  if [ -d "$path" ]; then files=("$path"/*.dba); else files=("$path"); fi
  for program in "${files[@]}"; do
    count=$((count + 1))
    name=$(basename "$program" .dba)
    dir=$WORK/programs/$count
    mkdir -p "$dir"
    "$TOOL" print-to-file "$program" "$dir/$name.dba" printed.txt
    printf '%s\t%s\n' "$(realpath "$program")" "$dir" >>"$WORK/list"
  done
done

# Compiles and runs one program; says why it fails, if it does.
run_program() {
  local install=$1 program=$2 dir=$3
  local name dialog
  name=$(basename "$program" .dba)
  dbpro_compile "$install" "$dir" "$name" || return 1
  dbpro_run "$dir" "$name" 30 || return 1
  dialog=${program%.dba}.dialog
  if [ -f "$dialog" ]; then
    if ! grep '^DIALOG' "$dir/run.log" | grep -qF "$(head -n 1 "$dialog")"; then
      echo "no dialog with '$(head -n 1 "$dialog")';" \
        "$(grep -m 1 '^DIALOG' "$dir/run.log" || echo none)"
      return 1
    fi
  elif grep -q '^DIALOG' "$dir/run.log"; then
    echo "the program showed $(grep -m 1 '^DIALOG' "$dir/run.log")"
    return 1
  fi
  "$TOOL" compare "$program" "$dir/printed.txt"
}

# Job J takes every JOBS-th program, from the J-th on.
run_job() {
  local job=$1 line=0 program dir problem
  export WINEPREFIX=$WORK/prefix$job
  while IFS=$'\t' read -r program dir; do
    line=$((line + 1))
    if [ $(((line - 1) % JOBS + 1)) -eq "$job" ]; then
      if problem=$(run_program "$WORK/dbpro$job" "$program" "$dir"); then
        echo "ok $program"
      else
        echo "FAIL $program: $problem"
      fi >>"$WORK/results$job"
    fi
  done <"$WORK/list"
}

jobs_running=()
for job in $(seq "$JOBS"); do
  : >"$WORK/results$job"
  run_job "$job" &
  jobs_running+=($!)
done
wait "${jobs_running[@]}"

cat "$WORK"/results* >"$WORK/results"
passed=$(grep -c '^ok ' "$WORK/results" || true)
grep '^FAIL ' "$WORK/results" || true
echo "real runtime: $passed of $count programs compiled with no dialog, ran and printed what" \
  "they should ($((SECONDS))s)"
[ "$passed" -eq "$count" ]
