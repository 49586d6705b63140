#!/bin/sh
# Builds the fuzz targets of tests/fuzz natively with clang (libFuzzer, ASan,
# UBSan) in BUILDDIR and runs each for SECONDS from its seeds in the
# repository and the inputs it kept before. Any finding fails the run; the
# input that caused it stays in BUILDDIR, named after the target; running the
# target on that file alone replays it.
#   fuzz.sh BUILDDIR SECONDS
set -u
# libFuzzer takes 0 seconds as no limit at all.
[ $# -eq 2 ] && [ "$2" -ge 1 ] 2>/dev/null || { echo "usage: fuzz.sh BUILDDIR SECONDS (1 or more)" >&2; exit 2; }
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1" || exit 1
out=$(cd "$1" && pwd)
seconds=$2
targets="fuzz_cipher fuzz_number fuzz_trim fuzz_lines fuzz_marker fuzz_tokenizer fuzz_scriptlex fuzz_pack fuzz_check"

if [ ! -f "$out/CMakeCache.txt" ]; then
    cmake -S "$src/tests/fuzz" -B "$out" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$out/configure.log" 2>&1 \
        || { cat "$out/configure.log"; exit 1; }
fi
cmake --build "$out" -j 2 >"$out/build.log" 2>&1 || { cat "$out/build.log"; exit 1; }

# pack's seeds are the author test pages, each after its insert text's length
# and the screen's byte.
seeds="$out/seeds"
mkdir -p "$seeds/fuzz_pack"
for page in "$src"/tests/author/pages/*.html; do
    { printf '\010\001Welcome!'; cat "$page"; } >"$seeds/fuzz_pack/$(basename "$page")"
done

failed=""
for t in $targets; do
    mkdir -p "$out/corpus/$t"
    # The first folder takes the new inputs; the seeds are only read.
    set -- "$out/corpus/$t"
    for d in "$src/tests/fuzz/corpus/$t" "$seeds/$t"; do [ -d "$d" ] && set -- "$@" "$d"; done
    UBSAN_OPTIONS=print_stacktrace=1 "$out/$t" -max_total_time="$seconds" -timeout=10 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$out/$t-" "$@" >"$out/$t.log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$t.log")
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$out/$t.log")
    if [ $rc -eq 0 ]; then
        echo "$t: ${runs:-?} executions in ${took:-?} s, no finding"
    else
        failed="$failed $t"
        echo "$t: FINDING after ${runs:-?} executions (exit $rc); from $out/$t.log:"
        grep -E "check failed|ERROR:|runtime error:|SUMMARY:|Test unit written|^Base64:" "$out/$t.log"
        echo "replay: $out/$t FILE"
    fi
done
[ -z "$failed" ] || { echo "fuzz: findings in$failed"; exit 1; }
