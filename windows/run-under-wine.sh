#!/usr/bin/env bash
# Runs a Windows acceptance program under Wine, in a private prefix.
#   windows/run-under-wine.sh PREFIX_DIR 32|64 PROGRAM.exe ARGS...
# A 64-bit program goes straight to Wine's 64-bit loader: Debian's `wine`
# script always starts the 32-bit loader first when it is installed, and
# that fails on hosts whose kernel cannot execute i386 programs. A 32-bit
# program needs that loader; where the host cannot execute it, the run is
# skipped (exit 77, ctest's SKIP_RETURN_CODE) with the reason, never
# reported as passed.
set -euo pipefail
export WINEPREFIX=$1 bits=$2
shift 2
export WINEDEBUG=-all
# No Mono or Gecko: the acceptance programs need neither, and installing
# them would try the network.
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
libdir=/usr/lib/wine

if [[ "$bits" == 64 ]]; then
  if [[ -x $libdir/wine64 ]]; then loader=$libdir/wine64
  elif command -v wine64 >/dev/null; then loader=$(command -v wine64)
  else loader=wine
  fi
  export WINELOADER=$loader
else
  loader=$libdir/wine
  [[ -x $loader ]] || loader=$(command -v wine)
  if [[ -x $libdir/wine ]] && ! probe=$("$libdir/wine" --version 2>&1); then
    echo "SKIPPED: this host cannot execute 32-bit (i386) programs, so the 32-bit DLL cannot run" \
         "under Wine here ($libdir/wine --version: ${probe##*: })"
    exit 77
  fi
fi
mkdir -p "$WINEPREFIX"
exec "$loader" "$@"
