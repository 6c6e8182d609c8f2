#!/usr/bin/env bash
# ./build.sh          build dist/Vellum3Util_16.dll and run the demo script
#                     through the host emulator against it under Wine
# ./build.sh test     build both builds and run every test suite
# ./build.sh package  make the release zip: DLL, keyword file, help, examples
# ./build.sh bench    run the benchmark program, natively and under Wine, and
#                     print its ratio tables
# ./build.sh bench-runtime
#                     build the DLL and time it on short strings in the real
#                     runtime against the runtime's own commands
# ./build.sh fuzz     run every fuzz target for a while (SECONDS, default 600)
# ./build.sh coverage line and branch coverage of host/, scan/ and commands/
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=$(nproc)

# shellcheck source=scripts/common.sh
source scripts/common.sh

ensure_cross_tools() {
  if ! command -v i686-w64-mingw32-g++ >/dev/null; then
    say "installing the MinGW-w64 cross compiler"
    apt_install g++-mingw-w64-i686 binutils-mingw-w64-i686
  fi
  if ! command -v wine >/dev/null || ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    say "installing 32-bit Wine"
    dpkg --add-architecture i386
    APT_UPDATED=
    apt_install wine wine32:i386
  fi
}

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$ROOT/build/wineprefix"

# Wine runs 32-bit Windows programs only where the kernel runs 32-bit ELF
# programs; some sandboxes do not. Tells which, once.
wine_usable() {
  if [ -z "${WINE_USABLE:-}" ]; then
    local rc=0
    timeout 300 wine build/mingw/host_emulator.exe >/dev/null 2>&1 || rc=$?
    # The emulator answers a call without arguments with its usage, code 2.
    if [ $rc -eq 2 ]; then
      WINE_USABLE=yes
    else
      WINE_USABLE=no
      echo "Wine cannot run 32-bit programs on this machine (exit code $rc: its kernel refuses"
      echo "32-bit executables); the runs against the DLL under Wine are skipped here."
    fi
  fi
  [ "$WINE_USABLE" = yes ]
}

build_product() {
  ensure_cross_tools
  say "building the 32-bit DLL"
  cmake --preset mingw -G Ninja >/dev/null
  cmake --build build/mingw -j"$JOBS"
  mkdir -p dist
  cp build/mingw/Vellum3Util_16.dll dist/
  bash tests/check_dll_shape.sh dist/Vellum3Util_16.dll
  bash tests/check_dll_calls.sh build/mingw
}

build_native() {
  ensure_native_tools
  say "building the native $1 build"
  cmake --preset "$1" -G Ninja >/dev/null
  cmake --build "build/$1" -j"$JOBS"
}

# Runs a host emulator command line that was given --progress FILE. A crash
# ends the emulator without a word about the case it was running (Wine names
# only the faulting address); the emulator keeps the place of each call in
# FILE and removes FILE when it ends normally, so a failed run that leaves
# FILE behind is named here by the case file and line it stopped at.
emulator_run() {
  local progress=$1 rc=0
  shift
  rm -f "$progress"
  "$@" || rc=$?
  if [ $rc -ne 0 ] && [ -s "$progress" ]; then
    echo "the host emulator stopped (exit code $rc) while running $(tail -n 1 "$progress")"
  fi
  return $rc
}

# Runs the host emulator natively against the native module.
emulate_native() {
  local progress=build/native/emulator.progress
  emulator_run "$progress" build/native/host_emulator --progress "$progress" \
    --module build/native/Vellum3Util_16.so --table host/module.rc "$@"
}

# Runs the host emulator under Wine against the DLL, from the folder that
# holds the DLL, the fake core library and the emulator.
emulate_windows() {
  local dir=build/mingw
  cp dist/Vellum3Util_16.dll "$dir/"
  (cd "$dir" && emulator_run emulator.progress \
     wine host_emulator.exe --progress emulator.progress "$@")
}

demo() {
  build_product
  if wine_usable; then
    say "demo under Wine"
    emulate_windows run "$ROOT/docs/demo.cases"
  else
    build_native native
    say "demo against the native build"
    emulate_native run docs/demo.cases
  fi
}

VERSION=$(sed -n 's/^FILEVERSION \([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' host/module.rc)
PACKAGE=dist/Vellum3Util_16-$VERSION.zip

# The release zip, laid out like the runtime's install folder. Its help and
# examples are made from the command table and docs/; every example they
# show runs through the host emulator, against the DLL under Wine where Wine
# can run it and against the native build always.
make_package() {
  build_product
  build_native native
  say "package: keyword file, help pages and examples"
  local root=build/package/root checks=build/package/checks
  rm -rf build/package
  build/native/docgen --table host/module.rc --docs docs --out "$root" --checks "$checks"
  mkdir -p "$root/Compiler/plugins-user"
  cp dist/Vellum3Util_16.dll "$root/Compiler/plugins-user/"
  say "package: every example of the help and the example programs"
  build/native/host_emulator --module build/native/Vellum3Util_16.so --table host/module.rc \
    basic "$checks" docs/examples
  if wine_usable; then emulate_windows basic "$ROOT/$checks" "$ROOT/docs/examples"; fi
  rm -f "$PACKAGE"
  (cd "$root" && cmake -E tar cf "$ROOT/$PACKAGE" --format=zip Compiler Editor Help Examples README.txt)
  bash tests/check_package.sh "$PACKAGE"
}

ensure_chromium() {
  if ! command -v chromium >/dev/null; then
    say "installing Chromium"
    # A trigger of an i386 package may fail where 32-bit programs cannot run;
    # what counts is that Chromium itself is there afterwards.
    apt_install chromium || true
    command -v chromium >/dev/null
  fi
}

# Runs every case file through the host emulator under valgrind's memcheck
# against the native module of build directory $1.
memcheck_case_files() {
  command -v valgrind >/dev/null || apt_install valgrind
  local progress=$1/emulator.progress
  emulator_run "$progress" \
    valgrind -q --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite \
    --suppressions=tests/valgrind.supp \
    "$1/host_emulator" --progress "$progress" --module "$1/Vellum3Util_16.so" \
    --table host/module.rc check tests/cases/*.cases
}

# Runs the host emulator under Wine against the DLL capped at $1, from a
# folder that holds it beside the product build's emulator and fake core
# library, which no cap changes.
emulate_capped_dll() {
  local dir=build/mingw-$1/run
  mkdir -p "$dir"
  cp build/mingw/host_emulator.exe build/mingw/DBProCore.dll "build/mingw-$1/Vellum3Util_16.dll" "$dir/"
  shift
  (cd "$dir" && emulator_run emulator.progress \
     wine host_emulator.exe --progress emulator.progress "$@")
}

# The builds capped below AVX2 (VELLUM_MAX_ISA), which take the paths of
# older processors on this one: natively, without the sanitizers, the suites
# that reach the scans, and under Wine the case files and the examples
# against each capped DLL. Each build is disassembled for any instruction
# beyond its cap. Runs after the product's build and the native build's
# tests, whose emulator and example checks it reuses.
run_capped_tests() {
  local cap checks=build/native/package/checks
  for cap in sse2 sse42; do
    say "native build capped at $cap: unit tests, case files, fuzz corpus replays"
    cmake --preset "native-$cap" -G Ninja >/dev/null
    cmake --build "build/native-$cap" -j"$JOBS" --target unit_tests host_emulator \
      command_fuzzer search_diff_fuzzer edit_diff_fuzzer split_diff_fuzzer
    bash tests/check_isa_cap.sh "$cap" "build/native-$cap/Vellum3Util_16.so"
    (cd "build/native-$cap" && ctest --output-on-failure -j"$JOBS" -E '^(help_|readme_)')
    say "case files under valgrind memcheck, capped at $cap"
    memcheck_case_files "build/native-$cap"
    say "the DLL capped at $cap"
    cmake --preset "mingw-$cap" -G Ninja >/dev/null
    cmake --build "build/mingw-$cap" -j"$JOBS" --target Vellum3Util_16
    bash tests/check_isa_cap.sh "$cap" "build/mingw-$cap/Vellum3Util_16.dll"
    if wine_usable; then
      say "case files and examples against the DLL capped at $cap"
      emulate_capped_dll "$cap" check "$ROOT"/tests/cases/*.cases
      emulate_capped_dll "$cap" basic "$ROOT/$checks" "$ROOT/docs/examples"
    fi
  done
}

# Every example of the help, the example programs, a program that calls every
# row and one program per run-time error, compiled by the runtime's own
# compiler and run in the real runtime (tests/real_runtime.sh). Needs the
# package's examples and a DBPro installation: DBPRO_DIR or ../shared/dbpro.
real_runtime_stage() {
  say "the examples compiled and run in the real runtime under Wine"
  if ! wine_usable; then
    echo "Wine cannot run 32-bit programs here: the real-runtime stage is skipped."
    return
  fi
  bash tests/real_runtime.sh
}

run_tests() {
  say "source layout"
  command -v clang-format >/dev/null || apt_install clang-format
  bash tests/check_format.sh
  build_native native
  bash tests/check_target_regions.sh
  bash tests/check_layers.sh build/native
  say "native unit tests and case files"
  (cd build/native && ctest --output-on-failure -j"$JOBS")
  say "case files under valgrind memcheck"
  memcheck_case_files build/native
  build_product
  say "case files against the DLL"
  if wine_usable; then emulate_windows check "$ROOT"/tests/cases/*.cases; fi
  run_capped_tests
  build_native sanitize
  say "sanitizer build: unit tests and case files"
  (cd build/sanitize && ctest --output-on-failure -j"$JOBS")
  bash scripts/fuzz.sh short
  make_package
  real_runtime_stage
  ensure_chromium
  say "help pages rendered in headless Chromium"
  bash tests/check_help_render.sh build/package/root/Help/commands
  bash tests/check_help_html.sh build/package/root/Help/commands
}

case "${1:-}" in
  "") demo ;;
  test) run_tests ;;
  package) make_package ;;
  bench)
    build_native native
    say "benchmarks of the native build (median of rounds that alternate command and anchor)"
    build/native/benchmarks "${@:2}"
    build_product
    if wine_usable; then
      say "benchmarks of the DLL's code under Wine"
      (cd build/mingw && wine benchmarks.exe "${@:2}")
    fi ;;
  bench-runtime)
    build_product
    bash bench/real_runtime.sh ;;
  fuzz) bash scripts/fuzz.sh long "${2:-600}" ;;
  coverage) bash scripts/coverage.sh ;;
  *) echo "usage: ./build.sh [test|package|bench|bench-runtime|fuzz [SECONDS]|coverage]" >&2; exit 2 ;;
esac
