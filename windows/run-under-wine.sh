#!/usr/bin/env bash
# Runs a Windows acceptance program under Wine, in a private prefix.
#   windows/run-under-wine.sh PREFIX_DIR PROGRAM.exe ARGS...
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
# No Mono or Gecko: the acceptance programs need neither, and installing
# them would try the network.
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
mkdir -p "$WINEPREFIX"
exec wine "$@"
