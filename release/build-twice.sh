#!/bin/sh
# Builds the programs and the release zip again in a fresh folder beside a build,
# from the same sources with the same toolchain, and compares the two builds'
# lumivane.exe, lumivane-author.exe and zip byte for byte.
#   build-twice.sh BUILD
# Exit 1 when they differ (the second build is then kept, in BUILD/twin).
set -u
build=$(cd "$1" && pwd)
twin="$build/twin"
cache="$build/CMakeCache.txt"
setting() {
    sed -n "s/^$1:[A-Z]*=//p" "$cache"
}
source=$(setting CMAKE_HOME_DIRECTORY)
toolchain=$(setting CMAKE_TOOLCHAIN_FILE)
type=$(setting CMAKE_BUILD_TYPE)
[ -n "$source" ] || { echo "build-twice: $build is no configured build" >&2; exit 2; }
rm -rf "$twin"
{ cmake -S "$source" -B "$twin" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE="$type" &&
    cmake --build "$twin" -j 2 --target lumivane_dist; } >"$build/build-twice.log" 2>&1 ||
    { cat "$build/build-twice.log"; exit 1; }
differ=0
cd "$build" || exit 1
for file in bin/lumivane.exe bin/lumivane-author.exe dist/*.zip; do
    if [ ! -f "$file" ]; then
        echo "missing from $build: $file"
        differ=1
    elif cmp "$file" "$twin/$file"; then
        echo "same bytes: $file ($(wc -c <"$file") bytes)"
    else
        differ=1
    fi
done
[ $differ = 0 ] && rm -rf "$twin"
exit $differ
