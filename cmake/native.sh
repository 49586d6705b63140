#!/bin/sh
# Configures and builds the native test drivers of tests/native with clang
# (AddressSanitizer, UndefinedBehaviorSanitizer) in BUILDDIR; the build's
# chatter goes to logs there, shown only when it fails.
#   native.sh BUILDDIR [TARGET...]
set -u
[ $# -ge 1 ] || { echo "usage: native.sh BUILDDIR [TARGET...]" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1" || exit 1
out=$(cd "$1" && pwd)
shift
if [ ! -f "$out/CMakeCache.txt" ]; then
    cmake -S "$src/tests/native" -B "$out" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$out/configure.log" 2>&1 \
        || { cat "$out/configure.log"; exit 1; }
fi
targets=""
for t in "$@"; do targets="$targets --target $t"; done
# shellcheck disable=SC2086
cmake --build "$out" -j 2 $targets >"$out/build.log" 2>&1 || { cat "$out/build.log"; exit 1; }
