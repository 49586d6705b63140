#!/bin/sh
# The script and style-sheet reading of the authors' tool, built natively with
# clang under ASan and UBSan: its style-sheet table, and the scripts of
# tests/gen/ScriptGen.js held against acorn (tests/native/ScriptProof.js).
# Skipped (77) where node, acorn or clang++ is missing. LUMIVANE_SEED replays
# a run; failing scripts are kept in BUILDDIR/script-proof.
#   script-proof.sh BUILDDIR [COUNT]
set -u
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
count=${2:-600}
NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
export NODE_PATH
command -v node >/dev/null 2>&1 && node -e "require('acorn')" 2>/dev/null \
    || { echo "node with acorn is missing (cmake/deps.sh installs it): skipped"; exit 77; }
command -v clang++ >/dev/null 2>&1 || { echo "clang++ is missing: skipped"; exit 77; }
sh "$src/cmake/native.sh" "$build/native" || exit 1
"$build/native/css_table_test" || exit 1
node "$src/tests/native/ScriptProof.js" "$build/native/script_lex_driver" "$count" "$build/script-proof"
