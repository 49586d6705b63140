#!/bin/sh
# The built program run from folders named beyond ASCII (one the ANSI code page
# can't spell, one it spells with a byte above 127) and from folders whose names
# hold characters a URL gives meaning to. Wine's trace of the browser shows where
# the program sent it first: the system's own URL rules, asked by a helper, read
# that URL back as the page file in the folder; beyond ASCII alone, the URL is the
# folder's own name as it stands.
#   folder-names.sh BUILD
set -u
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "$build/testwork/folder-names-XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
runs=0
# Each folder name (UTF-8 on disk), with its characters as Wine's trace writes
# them where the URL keeps the name as it stands.
for pair in '発表-файл|\767a\8868-\0444\0430\0439\043b' 'präsentation|pr\00e4sentation' \
    'Talk #3|' '100% done|' 'a;b|' '発表 #3|' 'präsentation 50%|'; do
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
    line=$(grep -a -m1 'WebBrowser_Navigate2' "$trace")
    # In the trace every backslash of the URL is doubled.
    if ! read_back=$(printf '%s\n' "$line" | (cd "$folder" && LUMIVANE_BUILD="$build" \
        sh "$source/cmake/wine-run.sh" "$build/bin/lumivane_url_path.exe") 2>&1); then
        printf 'FAILED: %s: %s\n' "$name" "${read_back:-the helper did not run}"
        failed=1
    elif [ -n "$traced" ] && ! { printf '%s' "$line" | grep -qF "L\"file:\\\\\\\\Z:" &&
        printf '%s' "$line" | grep -qF "\\\\$traced\\\\data/1014.dat\""; }; then
        printf 'FAILED: %s: the browser was sent to: %s\n' "$traced" "${line:-nothing}"
        failed=1
    else
        printf 'ok: %s\n' "$name"
    fi
done
exit $failed
