#!/usr/bin/env bash
# Checks the release zip: it holds the DLL, the keyword file, one help page
# per keyword, the index page, the example programs with their output and
# README.txt, all where the runtime's install folder keeps them, and nothing
# else.
set -euo pipefail
zip=$(realpath "$1")
fail() { echo "check_package: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$zip")
files=$(cd "$work" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)

while IFS= read -r f; do
  case "$f" in
    Compiler/plugins-user/Vellum3Util_16.dll | Editor/Keywords/Vellum3Util_16.ini | \
    Help/commands/strings.htm | README.txt) ;;
    Help/commands/strings/*.htm | Examples/*.dba | Examples/*.txt)
      [[ "$f" == */*/*/*/* ]] && fail "nested deeper than expected: $f" ;;
    *) fail "unexpected file in the package: $f" ;;
  esac
done <<< "$files"

for f in Compiler/plugins-user/Vellum3Util_16.dll Editor/Keywords/Vellum3Util_16.ini \
         Help/commands/strings.htm README.txt; do
  grep -qxF "$f" <<< "$files" || fail "missing $f"
done
cmp -s "$work/Compiler/plugins-user/Vellum3Util_16.dll" dist/Vellum3Util_16.dll ||
  fail "the packaged DLL is not dist/Vellum3Util_16.dll"

# One page per keyword line, and no page without one.
ini="$work/Editor/Keywords/Vellum3Util_16.ini"
[ "$(head -n1 "$ini" | tr -d '\r')" = "[LINKS]" ] || fail "the keyword file does not start with [LINKS]"
names=$(tail -n +2 "$ini" | tr -d '\r' | cut -d= -f1 | LC_ALL=C sort)
pages=$(grep '^Help/commands/strings/' <<< "$files" | sed 's|.*/||; s|\.htm$||' | LC_ALL=C sort)
[ "$names" = "$pages" ] || fail "keyword names and help pages differ: $(diff <(echo "$names") <(echo "$pages") | tr '\n' ' ')"
count=$(wc -l <<< "$names")
[ "$count" -eq 42 ] || fail "$count keywords, expected 42"

# Every example program comes with the output it prints.
examples=0
while IFS= read -r program; do
  grep -qxF "${program%.dba}.txt" <<< "$files" || fail "$program has no output file"
  examples=$((examples + 1))
done < <(grep '^Examples/.*\.dba$' <<< "$files")
[ "$examples" -ge 4 ] || fail "only $examples example programs"

echo "package ok: $1, $count keywords and pages, $examples example programs"
