#!/usr/bin/env bash
# Checks that every C++ source is laid out as .clang-format says, so that a
# change's diff holds only what the change does. `clang-format -i FILE`
# lays a file out.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(find host scan commands emulator table fake_core package text \
  bench fuzz tests -name '*.cc' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${sources[@]}"
echo "check_format: ${#sources[@]} sources laid out as .clang-format says"
