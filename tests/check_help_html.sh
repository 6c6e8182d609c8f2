#!/usr/bin/env bash
# Validates every help page against the HTML 4.01 Strict DTD with OpenSP's
# onsgmls, which parses the page as SGML and so sees what a pattern cannot:
# an element where the DTD does not allow it, a missing end tag, an attribute
# on the wrong element. One page per call: onsgmls reads the files it is
# given as one document. Installs opensp and w3c-sgml-lib when missing.
set -euo pipefail
help=$(realpath "$1")   # the Help/commands folder of the package
fail() { echo "check_help_html: $*" >&2; exit 1; }

# shellcheck source=scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
catalog=/usr/share/xml/w3c-sgml-lib/schema/dtd/sgml.soc
missing=()
command -v onsgmls >/dev/null || missing+=(opensp)
[ -f "$catalog" ] || missing+=(w3c-sgml-lib)
install_missing "${missing[@]}"
say "help pages validated against the HTML 4.01 Strict DTD"

# What onsgmls says of a page: nothing at all, warnings included, when it
# is valid.
validate() { onsgmls -s -c "$catalog" "$1" 2>&1 || echo "(onsgmls exit code $?)"; }

# A page declaring another DTD would be checked against that one instead.
strict='<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN">'

# The validator must refuse what the DTD lacks, or every page would pass
# unread: a page that is right but for a <section>.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s\n<html lang="en"><head><title>x</title></head>\n<body><section><p>x</p></section></body></html>\n' \
  "$strict" > "$work/section.htm"
grep -q 'element "SECTION" undefined' <<< "$(validate "$work/section.htm")" ||
  fail "onsgmls accepts a <section>; the DTD is not being read"

mapfile -t pages < <(find "$help" -name '*.htm' | LC_ALL=C sort)
[ ${#pages[@]} -gt 0 ] || fail "no pages in $help"
for page in "${pages[@]}"; do
  [ "$(head -n 1 "$page")" = "$strict" ] || fail "$page: not declared HTML 4.01 Strict"
  errors=$(validate "$page")
  [ -z "$errors" ] || fail "$page does not validate:"$'\n'"$errors"
done
echo "help pages valid: ${#pages[@]} pages against the HTML 4.01 Strict DTD"
