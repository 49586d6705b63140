#!/bin/sh
# The page tokenizer, built natively with clang (ASan, UBSan) in BUILDDIR, on
# the HTML standard's tokenizer tests (../shared/reference beside the source);
# node compares the tokens. Skipped (77) where clang or node is missing.
#   scan-conformance.sh BUILDDIR SOURCEDIR
set -u
[ $# -eq 2 ] || { echo "usage: scan-conformance.sh BUILDDIR SOURCEDIR" >&2; exit 2; }
for tool in clang++ node; do
    command -v $tool >/dev/null 2>&1 || { echo "scan_conformance: no $tool here: skipped"; exit 77; }
done
tests="$2/../shared/reference/html5lib-tests/tokenizer"
[ -d "$tests" ] || { echo "scan_conformance: the tokenizer tests are missing: $tests" >&2; exit 1; }
sh "$2/cmake/native.sh" "$1" || exit 1
node "$2/tests/native/scan-conformance.js" "$1/scan_tokens" "$tests"
