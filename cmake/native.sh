#!/bin/sh
# Configures and builds the native host programs of tests/native with clang in
# BUILDDIR; their output goes to logs there, shown only when a step fails.
#   native.sh BUILDDIR
set -u
[ $# -eq 1 ] || { echo "usage: native.sh BUILDDIR" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1" || exit 1
out=$(cd "$1" && pwd)
if [ ! -f "$out/CMakeCache.txt" ]; then
    cmake -S "$src/tests/native" -B "$out" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$out/configure.log" 2>&1 \
        || { cat "$out/configure.log"; exit 1; }
fi
cmake --build "$out" -j 2 >"$out/build.log" 2>&1 || { cat "$out/build.log"; exit 1; }
