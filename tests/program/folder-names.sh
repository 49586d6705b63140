#!/bin/sh
# The built program run from folders named beyond ASCII: one the ANSI code page
# can't spell, one it spells with a byte above 127. Wine's trace of the browser
# shows where the program sent it: to the page file under the folder's own name.
#   folder-names.sh BUILD
set -u
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "$build/testwork/folder-names-XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
runs=0
# Each folder name (UTF-8 on disk) with its characters as Wine's trace writes them.
for pair in '発表-файл|\767a\8868-\0444\0430\0439\043b' 'präsentation|pr\00e4sentation'; do
    name=${pair%%|*}
    traced=${pair#*|}
    folder="$work/$name"
    mkdir -p "$folder/data"
    cp "$source/examples/sample/data/"* "$folder/data/"
    sh "$source/cmake/sample-settings.sh" "$source/examples/sample/settings.txt" \
        "$folder/data/1013.dat" || exit 1
    cp "$build/bin/lumivane.exe" "$folder/"
    # A trace of its own for each run: a run that ends late can't write into the next one's.
    runs=$((runs + 1))
    trace="$work/trace-$runs"
    (cd "$folder" && WINEDEBUG=+ieframe LUMIVANE_BUILD="$build" \
        exec sh "$source/cmake/wine-run.sh" ./lumivane.exe) >/dev/null 2>"$trace" &
    program=$!
    i=0
    while ! grep -qa 'WebBrowser_Navigate2' "$trace" && [ $i -lt 200 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null
    line=$(grep -a 'WebBrowser_Navigate2' "$trace")
    # In the trace every backslash of the URL is doubled.
    if printf '%s' "$line" | grep -qF "L\"file:\\\\\\\\Z:" &&
        printf '%s' "$line" | grep -qF "\\\\$traced\\\\data/1014.dat\""; then
        printf 'ok: %s\n' "$traced"
    else
        printf 'FAILED: %s: the browser was sent to: %s\n' "$traced" "${line:-nothing}"
        failed=1
    fi
done
exit $failed
