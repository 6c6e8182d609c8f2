#!/usr/bin/env bash
# Checks that the module's floors stand on each other in one direction only:
# scan/ uses nothing else of ours, host/ uses scan/, and commands/ uses both.
# Every floor's libraries share the repository root as their include root,
# so the compiler alone would find a header of a higher floor; this reads
# the includes of each floor's files and the targets that each floor's
# library links (from `cmake --graphviz` over the given build directory),
# and fails on any that climbs.
# Usage: check_layers.sh BUILD_DIR (a configured build directory)
set -euo pipefail
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
fail=0

# The folders and the libraries each floor may use besides system ones.
declare -A folders=([scan]="scan" [host]="scan host" [commands]="scan host commands")
declare -A links=([scan]="" [host]="vellum_scan vellum_platform_stub"
                  [commands]="vellum_scan vellum_host")

for floor in scan host commands; do
  while IFS=: read -r file line used; do
    if [[ " ${folders[$floor]} " != *" $used "* ]]; then
      echo "check_layers: ${file#"$root"/}:$line includes $used/ from the $floor floor"
      fail=1
    fi
  done < <(grep -rnE '^\s*#\s*include\s+"[^"/]+/' --include='*.cc' --include='*.h' "$root/$floor" |
           sed -E 's/^([^:]*):([0-9]*):[^"]*"([^"/]*)\/.*/\1:\2:\3/')
done

graph=$(mktemp -d)
trap 'rm -rf "$graph"' EXIT
cmake --graphviz="$graph/targets.dot" "$build" >/dev/null
# Our own targets: every node but the libraries found on the system.
ours=$(sed -nE 's/^\s*"node[0-9]+" \[ label = "([^"]+)", shape = (egg|octagon|doubleoctagon|tripleoctagon|hexagon|box) \];$/\1/p' \
       "$graph/targets.dot")
[ -n "$ours" ] || { echo "check_layers: no targets in the graph of $build"; exit 1; }
edges=0
while read -r from to; do
  floor=${from#vellum_}
  [[ -v "links[$floor]" ]] || continue
  edges=$((edges + 1))
  grep -qxF "$to" <<<"$ours" || continue
  if [[ " ${links[$floor]} " != *" $to "* ]]; then
    echo "check_layers: $from links $to"
    fail=1
  fi
done < <(sed -nE 's|.*// (\S+) -> (\S+)$|\1 \2|p' "$graph/targets.dot")
[ "$edges" -gt 0 ] || { echo "check_layers: the floors link nothing in $build"; exit 1; }

[ $fail -eq 0 ] && echo "check_layers: no include or link climbs a floor"
exit $fail
