#!/usr/bin/env bash
# Checks a Lorvex DLL's export and import tables with the mingw objdump.
#   windows/check-dll.sh OBJDUMP DLL EXPORT_LIST_H
# Exports: exactly the names of the export list, undecorated, each at its
# ordinal, and every ordinal equal to the name's place in the byte order of
# all 21 published names. Imports: only the C runtime, KERNEL32 and OLEAUT32.
set -euo pipefail
objdump=$1 dll=$2 list=$3
failures=0 passed=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

published=(HW_BondPrice HW_BlackBondOption HW_BlackSwapOption HW_BlackCap HW_HullWhiteBondOption
  HW_HullWhiteSwapOption HW_HullWhiteCap HW_TreeBondOption HW_TreeSwapOption HW_TreeCap
  HW_BondTreeRateDelta HW_CapTreeRateDelta HW_TreeBondDisplay HW_TreeEquityOpt HW_EquityTreeDisplay
  HW_barrier_compute HW_compound_compute HW_lookback_compute HW_avgopt_compute HW_chooser_compute
  HW_binary_compute)
declare -A final_ordinal
i=0
while read -r name; do i=$((i + 1)); final_ordinal[$name]=$i; done < <(printf '%s\n' "${published[@]}" | LC_ALL=C sort)

dump=$("$objdump" -p "$dll")
base=$(awk '/^Ordinal Base/ {print $3; exit}' <<<"$dump")
declare -A exported
while read -r idx name; do
  exported[$name]=$((base + idx))
done < <(awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next} t && /^[ \t]*\[/ {gsub(/[\[\]]/, ""); print $1, $2; next} t && NF == 0 {exit}' <<<"$dump")

declare -A expected
while read -r name ordinal; do
  expected[$name]=$ordinal
done < <(grep -oE 'X\(HW_[A-Za-z_]+, *[0-9]+, *[0-9]+\)' "$list" | sed -E 's/X\((HW_[A-Za-z_]+), *([0-9]+), *([0-9]+)\)/\1 \2/')

for name in "${!expected[@]}"; do
  if [[ -z "${final_ordinal[$name]:-}" ]]; then fail "$name is not a published export"; continue; fi
  if [[ "${expected[$name]}" != "${final_ordinal[$name]}" ]]; then
    fail "$name listed with ordinal ${expected[$name]}, published as ${final_ordinal[$name]}"
  fi
  if [[ "${exported[$name]:-}" != "${expected[$name]}" ]]; then
    fail "$name exported at ordinal '${exported[$name]:-none}', expected ${expected[$name]}"
  else
    passed=$((passed + 1))
  fi
done
for name in "${!exported[@]}"; do
  [[ -n "${expected[$name]:-}" ]] || fail "unexpected export $name"
done

while read -r import; do
  case "${import,,}" in
    kernel32.dll | oleaut32.dll | msvcrt.dll) passed=$((passed + 1)) ;;
    *) fail "$dll imports $import" ;;
  esac
done < <(awk '/DLL Name:/ {print $3}' <<<"$dump")

echo "$dll: ${#expected[@]} exports checked"
echo "$passed passed, $failures failed"
(( failures == 0 ))
