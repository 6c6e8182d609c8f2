#!/usr/bin/env bash
# Line and branch coverage of host/, scan/ and commands/ by the unit tests
# and the case files: a gcc build with --coverage at -O0 in build/coverage,
# then a gcovr report (per-file lines, then the line and branch totals). An HTML
# report with annotated sources goes to build/coverage/html/index.html.
# Fails when a test fails, after printing the coverage.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/build/coverage

# shellcheck source=scripts/common.sh
source scripts/common.sh

ensure_tools() {
  local missing=()
  command -v gcovr >/dev/null || missing+=(gcovr)
  ensure_native_tools "${missing[@]}"
}

ensure_tools
say "building with coverage"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_C_FLAGS="--coverage -O0" -DCMAKE_CXX_FLAGS="--coverage -O0" \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target unit_tests host_emulator Vellum3Util_16
# Counts from the build itself (the test discovery runs unit_tests) go.
find "$BUILD" -name '*.gcda' -delete

failed=0
say "unit tests"
"$BUILD/unit_tests" --gtest_brief=1 || failed=1
say "case files"
"$BUILD/host_emulator" --module "$BUILD/Vellum3Util_16.so" --table host/module.rc \
  check tests/cases/*.cases || failed=1

say "coverage of host/, scan/ and commands/"
mkdir -p "$BUILD/html"
# Branches that only C++ exception handling or the compiler's own checks
# create are left out: no test can take them and they hide the real ones.
# CMake's compiler probes were built with the flags too but never run.
gcovr --root "$ROOT" --object-directory "$BUILD" \
  --exclude-directories '.*/CompilerId.*' \
  --filter "$ROOT/host/" --filter "$ROOT/scan/" --filter "$ROOT/commands/" \
  --exclude-throw-branches --exclude-unreachable-branches \
  --txt - --html-details "$BUILD/html/index.html" --print-summary
exit $failed
