#!/usr/bin/env bash
# Checks the product's shape: it imports only system DLLs and never names the
# host's core library, exports exactly what its command table names (plus the
# one export with no row), and carries the table in UK English and the
# version record.
set -euo pipefail
dll=$1
root=$(cd "$(dirname "$0")/.." && pwd)
fail=0
problem() { echo "check_dll_shape: $*"; fail=1; }

dump=$(i686-w64-mingw32-objdump -p "$dll")
while read -r name; do
  case "${name,,}" in
    kernel32.dll|user32.dll|rpcrt4.dll|msvcrt.dll|ucrtbase.dll|api-ms-win-crt-*) ;;
    *) problem "imports $name" ;;
  esac
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump")

exported=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
named=$( (sed -n 's/^\s*[0-9]\+\s\+"[^%]*%[^%]*%\([A-Za-z0-9_]*\)%.*/\1/p' "$root/host/module.rc";
          if grep -q SplitCsvString3 "$root/host/module.rc"; then echo SplitCsvString2; fi) | sort -u)
if [ "$exported" != "$named" ]; then
  problem "exports differ from the command table:"
  diff <(echo "$named") <(echo "$exported") | sed 's/^/    /' || true
fi

rc=$(i686-w64-mingw32-windres -i "$dll" -O rc 2>/dev/null)
grep -q 'LANGUAGE 9, 2' <<<"$rc" || problem "no resources in language 0x0809"
grep -q 'FILEVERSION 1, 1, 0, 8' <<<"$rc" || problem "file version is not 1.1.0.8"
grep -q '"OriginalFilename", "Vellum3Util_16.dll"' <<<"$rc" || problem "wrong OriginalFilename"
grep -q 'Translation", 0x809, 1200' <<<"$rc" || problem "wrong Translation"
[ $fail -eq 0 ] && echo "check_dll_shape: imports, $(wc -l <<<"$exported") exports and resources as expected"
exit $fail
