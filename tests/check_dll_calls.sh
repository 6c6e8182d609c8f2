#!/usr/bin/env bash
# Checks that no code of the module's own measures or searches strings with
# the C runtime: every object of host/, scan/ and commands/ in the DLL's
# build leaves none of these functions unresolved. Under Wine and on older
# Windows the runtime's versions walk a byte at a time, and the module's
# vector scans do the same work many times faster. (The linked-in C++
# runtime may still import them; the module's code never calls them.)
# Usage: check_dll_calls.sh BUILD_DIR (the MinGW build directory)
set -euo pipefail
forbidden='strlen|strnlen|memchr|strchr|strrchr|strcmp|strncmp|memcmp|strstr'
count=0
fail=0
root=$(cd "$(dirname "$0")/.." && pwd)
# The objects of today's sources only, in the object folder of their floor's
# library: a build directory may still hold those of sources since removed.
for floor in host scan commands; do
  objects=$1/$floor/CMakeFiles/vellum_$floor.dir
  while read -r source; do
    object=$objects/${source#"$root/$floor"/}.obj
    [ -f "$object" ] || continue  # a source this build does not use
    count=$((count + 1))
    calls=$(i686-w64-mingw32-nm -u "$object" | awk '{print $NF}' |
            grep -E "^(__imp_)?_($forbidden)\$" || true)
    if [ -n "$calls" ]; then
      echo "check_dll_calls: ${source#"$root"/} calls" $calls
      fail=1
    fi
  done < <(find "$root/$floor" -name '*.cc')
done
[ "$count" -gt 0 ] || { echo "check_dll_calls: no objects of the floors in $1"; exit 1; }
[ $fail -eq 0 ] && echo "check_dll_calls: none of $count objects calls the C runtime's string scans"
exit $fail
