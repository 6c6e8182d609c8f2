#!/usr/bin/env bash
# Renders the index and a sample of the help pages in headless Chromium and
# checks that each rendered page has its title and every section a help page
# has. The pages are plain HTML with their own stylesheet, so the browser
# needs nothing but the file.
set -euo pipefail
help=$(realpath "$1")   # the Help/commands folder of the package
fail() { echo "check_help_render: $*" >&2; exit 1; }

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
render() {
  # The flags keep Chromium off the network, which this machine does not have.
  timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --dump-dom "file://$1" 2>/dev/null
}

dom=$(render "$help/strings.htm")
grep -q '<h1>String commands</h1>' <<< "$dom" || fail "the index page did not render"
[ "$(grep -o '<a href="strings/' <<< "$dom" | wc -l)" -eq 42 ] || fail "the index does not link 42 pages"

# Every seventh page, and always the pages of a command and of several forms.
mapfile -t pages < <(cd "$help/strings" && ls | LC_ALL=C sort)
sample=()
for ((i = 0; i < ${#pages[@]}; i += 7)); do sample+=("${pages[i]}"); done
sample+=("SPLIT STRING.htm" "REPLACE\$.htm" "QUOTE\$.htm")
for page in "${sample[@]}"; do
  dom=$(render "$help/strings/$page")
  name=${page%.htm}
  grep -qF "<h1>$name</h1>" <<< "$dom" || fail "$page: no title"
  for section in Syntax Parameters Returns Description "Example Code" "See also"; do
    grep -qF "<h2>$section</h2>" <<< "$dom" || fail "$page: no $section section"
  done
  grep -q '<pre class="output">.' <<< "$dom" || fail "$page: no example output"
done
echo "help pages render: index and ${#sample[@]} pages checked in headless Chromium"
