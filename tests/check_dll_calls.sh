#!/usr/bin/env bash
# Checks that no code of the module's own measures or searches strings with
# the C runtime: every object of host/, scan/ and commands/ in the DLL's
# build leaves none of these functions unresolved. Under Wine and on older
# Windows the runtime's versions walk a byte at a time, and the module's
# vector scans do the same work many times faster. (The linked-in C++
# runtime may still import them; the module's code never calls them.)
# Usage: check_dll_calls.sh BUILD_DIR (the MinGW build directory)
set -euo pipefail
# The module's code, compiled once for the DLL and the benchmark program
# (the DLL's own target adds only its entry point).
object_dirs=("$1/CMakeFiles/vellum_module_code.dir")
forbidden='strlen|strnlen|memchr|strchr|strrchr|strcmp|strncmp|memcmp|strstr'
count=0
fail=0
root=$(cd "$(dirname "$0")/.." && pwd)
# The objects of today's sources only: a build directory may still hold
# those of sources since removed.
while read -r source; do
  for objects in "${object_dirs[@]}"; do
    object=$objects/${source#"$root"/}.obj
    [ -f "$object" ] || continue  # a source this target does not use
    count=$((count + 1))
    calls=$(i686-w64-mingw32-nm -u "$object" | awk '{print $NF}' |
            grep -E "^(__imp_)?_($forbidden)\$" || true)
    if [ -n "$calls" ]; then
      echo "check_dll_calls: ${source#"$root"/} calls" $calls
      fail=1
    fi
  done
done < <(find "$root/host" "$root/scan" "$root/commands" -name '*.cc')
[ "$count" -gt 0 ] || { echo "check_dll_calls: no objects in ${object_dirs[*]}"; exit 1; }
[ $fail -eq 0 ] && echo "check_dll_calls: none of $count objects calls the C runtime's string scans"
exit $fail
