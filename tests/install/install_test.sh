#!/usr/bin/env bash
# Installs the build into a staging prefix, then builds and runs two outside
# consumers against it: one through find_package(lorvex), one through
# pkg-config. Each prices a bond through lorvex.hpp and lorvex.h.
#   install_test.sh BUILD_DIR WORK_DIR CXX [CXXFLAGS]
# CXXFLAGS are the build's own (a sanitized library needs sanitized callers).
set -euo pipefail
build=$1 work=$2 cxx=$3 flags=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
stage=$work/stage
cmake --install "$build" --prefix "$stage" > /dev/null

cmake -S "$here" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$stage" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS="$flags" > /dev/null
cmake --build "$work/cmake" > /dev/null
"$work/cmake/consumer"

PKG_CONFIG_PATH=$(dirname "$(find "$stage" -name lorvex.pc)")
export PKG_CONFIG_PATH
libdir=$(pkg-config --variable=libdir lorvex)
# shellcheck disable=SC2046
# shellcheck disable=SC2086
"$cxx" -std=c++20 $flags "$here/consumer.cpp" -o "$work/pkgconfig_consumer" $(pkg-config --cflags --libs lorvex) \
  -Wl,-rpath,"$libdir"
"$work/pkgconfig_consumer"

# The installed command runs from anywhere, finding its library by $ORIGIN.
(cd / && "$stage/bin/lorvex" bond-price --flat-rate 0.05 > /dev/null)
echo "installed consumers built and ran"
