#!/usr/bin/env bash
# Checks, without running anything, that every export of the 32-bit DLL
# removes its own arguments as __stdcall requires: the first return of the
# code at the export's address must be `ret $N` with N the export's
# published argument bytes. A __cdecl export returns with a plain `ret` and
# leaves the caller's stack N bytes off, which VBA reports as "Bad DLL
# calling convention" at best; a wrong N does the same.
#   windows/check-stdcall.sh OBJDUMP DLL EXPORT_LIST_H
# Works on a stripped DLL: addresses come from the export table alone.
set -euo pipefail
objdump=$1 dll=$2 list=$3
failures=0 passed=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The published argument bytes of the 21 exports.
declare -A published=(
  [HW_BondPrice]=40 [HW_BlackBondOption]=72 [HW_BlackSwapOption]=60 [HW_BlackCap]=60
  [HW_HullWhiteBondOption]=80 [HW_HullWhiteSwapOption]=68 [HW_HullWhiteCap]=68
  [HW_TreeBondOption]=92 [HW_TreeSwapOption]=76 [HW_TreeCap]=76 [HW_BondTreeRateDelta]=52
  [HW_CapTreeRateDelta]=56 [HW_TreeBondDisplay]=100 [HW_TreeEquityOpt]=84
  [HW_EquityTreeDisplay]=80 [HW_barrier_compute]=68 [HW_compound_compute]=76
  [HW_lookback_compute]=64 [HW_avgopt_compute]=72 [HW_chooser_compute]=60
  [HW_binary_compute]=68)

declare -A listed
while read -r name bytes; do
  listed[$name]=$bytes
done < <(grep -oE 'X\(HW_[A-Za-z_]+, *[0-9]+, *[0-9]+\)' "$list" |
         sed -E 's/X\((HW_[A-Za-z_]+), *[0-9]+, *([0-9]+)\)/\1 \2/')

dump=$("$objdump" -p "$dll")
image_base=$((16#$(awk '/^ImageBase/ {print $2; exit}' <<<"$dump")))
ordinal_base=$(awk '/^Export Address Table -- Ordinal Base/ {print $NF; exit}' <<<"$dump")
# Export address table: ordinal -> RVA.
declare -A rva_of_ordinal
while read -r ordinal rva; do
  rva_of_ordinal[$ordinal]=$rva
done < <(awk '/^Export Address Table -- Ordinal Base/ {t=1; next}
              t && /Export RVA/ {gsub(/[\[\]+]/, " "); print $3, $4; next}
              t && NF == 0 {exit}' <<<"$dump")
# Name pointer table: name -> ordinal.
declare -A ordinal_of
while read -r idx name; do
  ordinal_of[$name]=$((ordinal_base + idx))
done < <(awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next}
              t && /^[ \t]*\[/ {gsub(/[\[\]]/, ""); print $1, $2; next}
              t && NF == 0 {exit}' <<<"$dump")

for name in "${!published[@]}"; do
  want=${published[$name]}
  if [[ "${listed[$name]:-}" != "$want" ]]; then
    fail "$name: export list says ${listed[$name]:-nothing} argument bytes, published $want"
    continue
  fi
  ordinal=${ordinal_of[$name]:-}
  rva=${rva_of_ordinal[$ordinal]:-}
  if [[ -z "$ordinal" || -z "$rva" ]]; then fail "$name is not exported by $dll"; continue; fi
  start=$((image_base + 16#$rva))
  # Linear disassembly from the entry to its first return; 64 KiB is far
  # more than any export's own code before its epilogue.
  ret=$("$objdump" -d --no-show-raw-insn --start-address=$start --stop-address=$((start + 65536)) "$dll" |
        grep -m1 -E '^[[:space:]]*[0-9a-f]+:[[:space:]]+ret[lwq]?([[:space:]]|$)' || true)
  if [[ -z "$ret" ]]; then fail "$name: no ret found after its entry at 0x$(printf %x "$start")"; continue; fi
  popped=0
  if [[ "$ret" =~ \$0x([0-9a-fA-F]+) ]]; then popped=$((16#${BASH_REMATCH[1]})); fi
  if (( popped != want )); then
    fail "$name: returns with '$(sed -E 's/^[[:space:]]*[0-9a-f]+:[[:space:]]+//' <<<"$ret")', popping $popped bytes; __stdcall with $want bytes pops $want"
  else
    passed=$((passed + 1))
  fi
done

echo "$dll: ${#published[@]} exports checked for __stdcall returns"
echo "$passed passed, $failures failed"
(( failures == 0 ))
