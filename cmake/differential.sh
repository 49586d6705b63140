#!/bin/sh
# pack and check against the reference parsers on generated pages: builds the
# native driver (tests/native) in BUILDDIR/native and runs tests/gen/Differential.js
# with BUILDDIR/differential as its work folder, where the failing pages stay.
# LUMIVANE_SEED replays a run, LUMIVANE_PAGES sets the number of pages.
#   differential.sh BUILDDIR [--minimize K]
set -u
[ $# -ge 1 ] || { echo "usage: differential.sh BUILDDIR [--minimize K]" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1" || exit 1
out=$(cd "$1" && pwd)
shift
sh "$src/cmake/native.sh" "$out/native" pack_differential || exit 1
NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} exec node "$src/tests/gen/Differential.js" \
    "$out/native/pack_differential" "$out/differential" "$@"
