#!/usr/bin/env bash
# Shows that check-stdcall.sh catches what it is for: builds two small
# 32-bit DLLs with the 21 published names, all __stdcall with their
# published argument bytes except one, declared __cdecl in the first and
# popping 4 bytes too few in the second, and requires the check to fail on
# exactly that export in each, and to pass on a DLL with none wrong.
#   windows/check-stdcall-selftest.sh CC OBJDUMP EXPORT_LIST_H WORK_DIR
set -euo pipefail
cc=$1 objdump=$2 list=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
failures=0 passed=0

build() {  # build NAME ODD_EXPORT ODD_KIND -> $work/NAME.dll
  local dll=$1 odd=$2 kind=$3 src=$work/$1.c def=$work/$1.def
  : >"$src"
  echo "LIBRARY $dll.dll" >"$def"; echo "EXPORTS" >>"$def"
  while read -r name bytes; do
    local words=$((bytes / 4)) conv=__stdcall decorated="$name@$bytes"
    if [[ "$name" == "$odd" && "$kind" == cdecl ]]; then conv=__cdecl decorated=$name; fi
    if [[ "$name" == "$odd" && "$kind" == short ]]; then words=$((words - 1)) decorated="$name@$((bytes - 4))"; fi
    local params="int a1" i
    for ((i = 2; i <= words; i++)); do params+=", int a$i"; done
    echo "__declspec(noinline) int $conv $name($params) { return a1 + a$words; }" >>"$src"
    echo "  $name = $decorated" >>"$def"
  done < <(grep -oE 'X\(HW_[A-Za-z_]+, *[0-9]+, *[0-9]+\)' "$list" |
           sed -E 's/X\((HW_[A-Za-z_]+), *[0-9]+, *([0-9]+)\)/\1 \2/')
  "$cc" -O2 -shared -o "$work/$dll.dll" "$src" "$def" -Wl,--disable-stdcall-fixup
}

expect() {  # expect DLL FAILING_EXPORT_OR_EMPTY
  local out status=0
  out=$("$here/check-stdcall.sh" "$objdump" "$work/$1.dll" "$list") || status=$?
  local failed; failed=$(grep -c '^FAIL' <<<"$out" || true)
  if [[ -z "$2" ]]; then
    if (( status == 0 && failed == 0 )); then passed=$((passed + 1));
    else echo "FAIL a DLL with every export right was refused:"; echo "$out"; failures=$((failures + 1)); fi
  else
    if (( status != 0 && failed == 1 )) && grep -q "^FAIL $2:" <<<"$out"; then
      passed=$((passed + 1)); grep '^FAIL' <<<"$out" | sed 's/^FAIL/  caught as expected:/'
    else
      echo "FAIL the check missed $2 in $1.dll:"; echo "$out"; failures=$((failures + 1))
    fi
  fi
}

build right "" none
build cdecl HW_BlackCap cdecl
build short HW_TreeBondDisplay short
expect right ""
expect cdecl HW_BlackCap
expect short HW_TreeBondDisplay
echo "$passed passed, $failures failed"
(( failures == 0 ))
