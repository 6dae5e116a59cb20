#!/usr/bin/env bash
# Checks that a Lorvex DLL is a release build as shipped: it carries a
# version resource whose file and product versions are the project's, with
# the product name, a description and its own file name, and it has no debug
# sections and no symbol table.
#   windows/check-dll-version.sh OBJDUMP WINDRES DLL VERSION
set -euo pipefail
objdump=$1 windres=$2 dll=$3 version=$4
failures=0 passed=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
pass() { passed=$((passed + 1)); }

headers=$("$objdump" -h "$dll")
if grep -qE '^ *[0-9]+ \.rsrc ' <<<"$headers"; then pass; else fail "$dll has no .rsrc section"; fi
debug=$(awk '$2 ~ /^\.debug/ {print $2}' <<<"$headers" | tr '\n' ' ')
if [[ -z "$debug" ]]; then pass; else fail "$dll keeps debug sections: $debug"; fi
private=$("$objdump" -p "$dll")
if grep -qx $'\tsymbols stripped' <<<"$private"; then pass; else fail "$dll keeps its symbol table"; fi

# The resource as windres writes it back as a script: "FILEVERSION 0, 1, 0, 0"
# and VALUE "Name", "text" lines.
rc=$("$windres" -i "$dll" -O rc 2>&1 || true)
numeric="${version//./, }, 0"
value() { sed -nE "s/^ *VALUE \"$1\", \"(.*)\"\r?$/\1/p" <<<"$rc" | head -1; }
if ! grep -q 'VERSIONINFO' <<<"$rc"; then
  fail "$dll has no version resource"
else
  for key in FILEVERSION PRODUCTVERSION; do
    got=$(sed -nE "s/^ *$key (.*)$/\1/p" <<<"$rc" | head -1)
    if [[ "$got" == "$numeric" ]]; then pass; else fail "$dll: $key is '$got', expected '$numeric'"; fi
  done
  for key in FileVersion ProductVersion; do
    got=$(value "$key")
    if [[ "$got" == "$version" ]]; then pass; else fail "$dll: $key is '$got', expected '$version'"; fi
  done
  got=$(value ProductName)
  if [[ "$got" == "Lorvex" ]]; then pass; else fail "$dll: ProductName is '$got', expected 'Lorvex'"; fi
  got=$(value OriginalFilename)
  if [[ "$got" == "$(basename "$dll")" ]]; then pass; else fail "$dll: OriginalFilename is '$got'"; fi
  got=$(value FileDescription)
  if [[ -n "$got" ]]; then pass; else fail "$dll: no FileDescription"; fi
fi

echo "$dll: version $version"
echo "$passed passed, $failures failed"
(( failures == 0 ))
