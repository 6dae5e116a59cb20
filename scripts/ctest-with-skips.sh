#!/usr/bin/env bash
# Runs a ctest preset and then repeats the reason every skipped test gave
# (its line starting "SKIPPED:"), since ctest itself only lists a skipped
# test by name.
#   scripts/ctest-with-skips.sh PRESET [CTEST ARGS...]
set -uo pipefail
preset=$1
shift
ctest --preset "$preset" "$@"
status=$?
log=build/$preset/Testing/Temporary/LastTest.log
if [[ -f $log ]] && grep -q '^SKIPPED:' "$log"; then
  echo "Skipped tests and why:"
  grep -h '^SKIPPED:' "$log" | sed 's/^/  /'
fi
exit $status
