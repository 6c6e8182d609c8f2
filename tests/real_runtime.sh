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
ROOT=$PWD
# shellcheck source=scripts/common.sh
source scripts/common.sh

DLL=dist/Vellum3Util_16.dll
TOOL=build/native/runtime_programs
# Records every message box and presses OK, so that none blocks a run.
WATCH=$ROOT/build/mingw/dialog_watch.exe
PROGRAMS=(build/package/checks docs/examples tests/real_runtime)
[ $# -eq 0 ] || PROGRAMS=("$@")
JOBS=${REAL_RUNTIME_JOBS:-2}

INSTALL=${DBPRO_DIR:-$ROOT/../shared/dbpro}
if [ ! -f "$INSTALL/Compiler/DBPCompiler.exe" ]; then
  echo "No DBPro installation (DBPRO_DIR, or ../shared/dbpro): the real-runtime stage is skipped."
  exit 0
fi
for built in "$DLL" "$TOOL" "$WATCH" build/package/checks; do
  [ -e "$built" ] || { echo "no $built: run ./build.sh package first" >&2; exit 1; }
done

# Compiled programs draw through Direct3D 9, which Wine runs on 32-bit OpenGL.
missing=()
command -v Xvfb >/dev/null || missing+=(xvfb)
for package in libgl1-mesa-dri:i386 libglx-mesa0:i386 libgl1:i386; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
install_missing "${missing[@]}"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/real_runtime.XXXXXX")
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
XVFB=
finish() {
  for prefix in "$WORK"/prefix*; do
    [ ! -d "$prefix" ] || WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  [ -z "$XVFB" ] || kill "$XVFB" 2>/dev/null || true
  rm -rf "$WORK"
}
trap finish EXIT

# One display for every program.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
if [ ! -s "$WORK/display" ]; then
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=:$(head -n 1 "$WORK/display")

# Each job has a Wine prefix of its own: a compiled program unpacks itself
# into the Windows temporary folder, where two programs at a time would
# overwrite each other's files (and Wine takes no TEMP from outside). And
# each job compiles in a copy of the installation of its own, as the
# compiler writes into it.
start_job() {
  local job=$1
  export WINEPREFIX=$WORK/prefix$job
  wineboot -i >/dev/null 2>&1 || return 1
  # A crash must end its program, not wait on Wine's crash dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  mkdir -p "$WORK/dbpro$job/temp"
  cp -r "$INSTALL/Compiler" "$WORK/dbpro$job/"
  chmod -R u+w "$WORK/dbpro$job"
  cp "$DLL" "$WORK/dbpro$job/Compiler/plugins-user/"
}
starting=()
for job in $(seq "$JOBS"); do
  start_job "$job" &
  starting+=($!)
done
for pid in "${starting[@]}"; do
  if ! wait "$pid"; then
    echo "Wine cannot start a 32-bit prefix here: the real-runtime stage is skipped."
    exit 0
  fi
done

windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

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
  # An icon that does not exist: rewriting the default one overruns a
  # buffer of the compiler under Wine, after the exe is written but before
  # the program is put into it. A hidden window, since nobody watches it:
  # such a program starts in half the time of a windowed one.
  printf '%s\r\n' "final source=$name.dba" "executable=$name.exe" "graphics mode=hidden" \
    "window resolution=640x480" "runtimeerrors=Yes" \
    'icon1=C:\no-such-icon.ico' >"$dir/$name.dbpro"
  (cd "$dir" && timeout 120 wine "$WATCH" 60000 compile.log \
    "$(windows_path "$install/Compiler/DBPCompiler.exe")" "$name.dbpro" >wine.log 2>&1) || true
  if grep -q '^DIALOG' "$dir/compile.log" 2>/dev/null; then
    echo "the compiler showed $(grep -m 1 '^DIALOG' "$dir/compile.log")"
    return 1
  fi
  if [ ! -s "$dir/$name.exe" ]; then
    echo "the compiler made no program: $(tail -n 1 "$dir/compile.log" 2>/dev/null)"
    return 1
  fi
  (cd "$dir" && timeout 60 wine "$WATCH" 30000 run.log "$name.exe" >>wine.log 2>&1) || true
  # A run-time error ends the program with code 0 too, after its dialog.
  if ! grep -qx 'EXIT code=0' "$dir/run.log" 2>/dev/null; then
    echo "the program did not end normally: $(tail -n 1 "$dir/run.log" 2>/dev/null)"
    return 1
  fi
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
