#!/usr/bin/env bash
# Checks the VBA module against the export list: every export is declared
# for 64-bit Office, for 32-bit VBA7 and for classic VBA, and each 32-bit
# declaration's arguments add up to the export's __stdcall byte count
# (ByVal Long 4, ByVal Double 8, an array 4, ByRef Double 4).
#   windows/check-vba.sh Lorvex.bas EXPORT_LIST_H
set -euo pipefail
bas=$1 list=$2
failures=0 passed=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# One line per declaration: flavour name bytes argument-types
decls=$(awk '
  /Declare (PtrSafe )?Function HW_/ {
    flavour = ($0 ~ /Lorvex64\.dll/) ? "win64" : (($0 ~ /PtrSafe/) ? "vba7" : "classic")
    match($0, /Function HW_[A-Za-z_]+/); name = substr($0, RSTART + 9, RLENGTH - 9)
    args = $0; sub(/^[^(]*\(/, "", args); sub(/\) As Long[ \r]*$/, "", args)
    n = split(args, a, ","); bytes = 0; types = ""
    for (i = 1; i <= n; i++) {
      s = a[i]
      if (s ~ /\(\) As Double/) { bytes += 4; t = "array" }
      else if (s ~ /ByVal .* As Long/) { bytes += 4; t = "long" }
      else if (s ~ /ByVal .* As Double/) { bytes += 8; t = "double" }
      else if (s ~ /ByRef .* As Double/) { bytes += 4; t = "result" }
      else { bytes += 1000; t = "unknown(" s ")" }
      types = types t ","
    }
    print flavour, name, bytes, types
  }' "$bas")

while read -r name bytes; do
  for flavour in win64 vba7 classic; do
    line=$(awk -v f="$flavour" -v n="$name" '$1 == f && $2 == n' <<<"$decls")
    if [[ -z "$line" ]]; then fail "$name is not declared for $flavour"; continue; fi
    got=$(awk '{print $3}' <<<"$line")
    if [[ "$got" != "$bytes" ]]; then
      fail "$name ($flavour) declares $got argument bytes, the export takes $bytes"
    else
      passed=$((passed + 1))
    fi
  done
  t64=$(awk -v n="$name" '$1 == "win64" && $2 == n {print $4}' <<<"$decls")
  t32=$(awk -v n="$name" '$1 == "classic" && $2 == n {print $4}' <<<"$decls")
  [[ "$t64" == "$t32" ]] || fail "$name: 64-bit and 32-bit argument lists differ"
done < <(grep -oE 'X\(HW_[A-Za-z_]+, *[0-9]+, *[0-9]+\)' "$list" | sed -E 's/X\((HW_[A-Za-z_]+), *([0-9]+), *([0-9]+)\)/\1 \3/')

echo "$passed passed, $failures failed"
(( failures == 0 ))
