#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing.
#   scripts/setup-deps.sh          what building, the demo and the Linux tests need
#   scripts/setup-deps.sh windows  also the mingw-w64 cross compilers and Wine
# As root it runs apt-get itself; otherwise it prints the command and stops.
set -euo pipefail

# pkg-config, dpkg-dev and file: the install test's pkg-config consumer and
# the Debian package (dpkg-shlibdeps finds its dependencies).
packages=(cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libfmt-dev
          pkg-config dpkg-dev file)
# The Python package: built with pybind11 for Debian's python3, tested with pytest.
packages+=(python3-dev pybind11-dev python3-numpy python3-pandas python3-pytest)
# Books on a cluster (lorvex.dask): Dask and its distributed scheduler.
packages+=(python3-dask python3-distributed)
windows_packages=(mingw-w64 wine wine64 wine32:i386)
want_windows=0
[[ "${1:-}" == "windows" ]] && want_windows=1

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
need_i386=0
if (( want_windows )); then
  for p in "${windows_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
fi

if (( ${#missing[@]} == 0 && need_i386 == 0 )); then
  exit 0
fi

commands=()
(( need_i386 )) && commands+=("dpkg --add-architecture i386")
commands+=("apt-get update" "DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}")

if [[ $(id -u) -ne 0 ]]; then
  echo "Lorvex needs these Debian packages: ${missing[*]}" >&2
  echo "Install them as root with:" >&2
  for c in "${commands[@]}"; do echo "  sudo $c" >&2; done
  exit 1
fi

echo "Installing Debian packages: ${missing[*]}"
for c in "${commands[@]}"; do
  echo "+ $c"
  eval "$c"
done
