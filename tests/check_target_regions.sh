#!/usr/bin/env bash
# Checks what the files with a target region (scan/target_region.h) read
# inside it. A header read for the first time inside a region is compiled
# for the region's instructions, and the linker may hand its inline
# functions to callers on any processor: a fault that shows only on a
# processor without those instructions. So the only #include after a
# region opens is a walk (*_walk.h), and the compiler, listing headers in
# the order it first reads them (-H), must read nothing after the walk:
# every header the walk includes has come before the region.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(grep -rl --include='*.cc' 'VELLUM_TARGET_REGION(' scan commands | sort)
status=0
for file in "${files[@]}"; do
  inside=$(sed -n '/^VELLUM_TARGET_REGION(/,$p' "$file" | grep '^#include' || true)
  if grep -v '_walk\.h"$' <<<"$inside" | grep -q .; then
    echo "$file: includes inside its target region what is not a walk:"
    grep -v '_walk\.h"$' <<<"$inside"
    status=1
    continue
  fi
  [ -z "$inside" ] && continue
  # Headers as the compiler first reads them; the walk must be the last.
  read_order=$(g++ -std=c++17 -I. -H -fsyntax-only "$file" 2>&1 >/dev/null | grep '^\.' || true)
  after_walk=$(sed -n '/_walk\.h$/,$p' <<<"$read_order" | tail -n +2)
  if [ -n "$after_walk" ]; then
    echo "$file: reads these headers first inside its target region:"
    echo "$after_walk"
    status=1
  fi
done
[ $status -eq 0 ] && echo "check_target_regions: ${#files[@]} files read no header for the first time inside a region"
exit $status
