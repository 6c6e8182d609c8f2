#!/usr/bin/env bash
# Checks that a build capped by VELLUM_MAX_ISA holds no instruction beyond
# its cap: every executable section of each file is disassembled, the
# statically linked C and C++ runtimes included, and any instruction of a
# later set is named with its address. A processor without that set would
# stop the host on it, so none may be there, reachable or not.
# Usage: check_isa_cap.sh sse2|sse42 FILE... (Windows DLLs or native ELF
# files; each is disassembled by the objdump that reads its format)
set -euo pipefail
cap=$1
shift

# The sets after SSE2, as mnemonics (AT&T syntax, without size suffixes).
sse3='addsubp[sd]|h(add|sub)p[sd]|lddqu|movddup|movs[hl]dup|fisttp[sl]?|monitor|mwait'
ssse3='pabs[bwd]|palignr|ph(add|sub)(w|d|sw)|pmaddubsw|pmulhrsw|pshufb|psign[bwd]'
sse41='blendv?p[sd]|dpp[sd]|extractps|insertps|movntdqa|mpsadbw|packusdw|pblend(vb|w)'
sse41+='|pcmpeqq|pextr[bdq]|phminposuw|pinsr[bdq]|pm(ax|in)(sb|sd|ud|uw)'
sse41+='|pmov[sz]x(bw|bd|bq|wd|wq|dq)|pmul(dq|ld)|ptest|round[ps][sd]'
sse42='pcmp[ei]str[im]|pcmpgtq|crc32[bwlq]?'
# Bit counts and the bit-manipulation sets, which came with the later
# processors; and every VEX or EVEX instruction (AVX and after), whose
# mnemonics begin with v (verr and verw excepted). tzcnt is not among them:
# compilers write "rep bsf" for a count of trailing zeros of a non-zero
# word, which reads as tzcnt and which older processors run as bsf.
bits='popcnt|lzcnt|andn|bextr|blsi|blsmsk|blsr|bzhi|mulx|pdep|pext|rorx|sarx|shlx|shrx|movbe'
avx='v[a-z0-9]+'
case "$cap" in
  sse2) forbidden="$sse3|$ssse3|$sse41|$sse42|$bits|$avx" ;;
  sse42) forbidden="$bits|$avx" ;;
  *) echo "check_isa_cap: the cap is sse2 or sse42, not '$cap'" >&2; exit 2 ;;
esac

fail=0
for file in "$@"; do
  if [ "$(head -c 2 "$file")" = MZ ]; then
    objdump=i686-w64-mingw32-objdump
  else
    objdump=objdump
  fi
  # Lines "  address:<TAB>mnemonic operands", under a line naming their
  # function where the file keeps symbols; prefixes such as rep or lock
  # come before the mnemonic, so every word before the operands is tested.
  found=$("$objdump" -d -C --no-show-raw-insn "$file" | awk -v forbidden="^($forbidden)\$" '
    /^[0-9a-f]+ <.*>:$/ { function_name = substr($0, index($0, "<")); sub(/:$/, "", function_name) }
    /^ *[0-9a-f]+:\t/ {
      split($0, parts, "\t")
      text = parts[2]
      n = split(text, words, /[ ,]+/)
      bad = text ~ /%[yz]mm[0-9]|%k[0-7]/
      for (i = 1; i <= n && words[i] ~ /^[a-z][a-z0-9]*$/; i++) {
        if (words[i] ~ forbidden && words[i] !~ /^ver[rw]$/) bad = 1
      }
      if (bad) print parts[1] " " text "   in " function_name
    }')
  if [ -n "$found" ]; then
    echo "check_isa_cap: $file holds $(wc -l <<<"$found") instructions beyond $cap, among them:"
    head -n 20 <<<"$found" | sed 's/^/    /'
    fail=1
  else
    echo "check_isa_cap: $file holds no instruction beyond $cap"
  fi
done
exit $fail
