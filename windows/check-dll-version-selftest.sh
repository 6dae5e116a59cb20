#!/usr/bin/env bash
# Shows that check-dll-version.sh catches what it is for: builds small
# 32-bit DLLs from the project's version template and requires the check to
# pass on a stripped one with version 0.1.0, and to fail on one built with
# debug information, one without a version resource and one of another
# version.
#   windows/check-dll-version-selftest.sh CC WINDRES OBJDUMP WORK_DIR
set -euo pipefail
cc=$1 windres=$2 objdump=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
failures=0 passed=0

build() {  # build NAME VERSION(or none) LINK_FLAGS -> $work/NAME.dll
  local name=$1 version=$2 flags=$3 objects=()
  echo "__declspec(dllexport) int __stdcall HW_Probe(int a) { return a + 1; }" >"$work/$name.c"
  if [[ "$version" != none ]]; then
    IFS=. read -r major minor patch <<<"$version"
    sed -e "s/@PROJECT_VERSION_MAJOR@/$major/g; s/@PROJECT_VERSION_MINOR@/$minor/g" \
        -e "s/@PROJECT_VERSION_PATCH@/$patch/g; s/@PROJECT_VERSION@/$version/g" \
        -e "s/@LORVEX_DLL_NAME@/$name/g; s/@LORVEX_DLL_DESCRIPTION@/probe/g" \
        "$here/version.rc.in" >"$work/$name.rc"
    "$windres" "$work/$name.rc" -O coff -o "$work/$name.res.o"
    objects+=("$work/$name.res.o")
  fi
  # shellcheck disable=SC2086
  "$cc" -O2 -shared $flags -o "$work/$name.dll" "$work/$name.c" "${objects[@]}"
}

expect() {  # expect NAME FAIL_PATTERN_OR_EMPTY
  local out status=0
  out=$("$here/check-dll-version.sh" "$objdump" "$windres" "$work/$1.dll" 0.1.0) || status=$?
  if [[ -z "$2" ]]; then
    if (( status == 0 )); then passed=$((passed + 1));
    else echo "FAIL $1.dll was refused:"; echo "$out"; failures=$((failures + 1)); fi
  elif (( status != 0 )) && grep -qE "^FAIL .*$2" <<<"$out"; then
    passed=$((passed + 1)); echo "caught ($1): $(grep -m1 -E "^FAIL .*$2" <<<"$out" | sed 's/^FAIL //')"
  else
    echo "FAIL $1.dll was not refused as expected (/$2/):"; echo "$out"; failures=$((failures + 1))
  fi
}

build right 0.1.0 -s
build debug 0.1.0 -g
build unversioned none -s
build older 0.0.9 -s
expect right ""
expect debug "keeps debug sections"
expect unversioned "has no version resource"
expect older "FILEVERSION is '0, 0, 9, 0'"
echo "$passed passed, $failures failed"
(( failures == 0 ))
