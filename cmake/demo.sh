#!/bin/sh
# Runs the sample presentation: the program and examples/sample laid out in
# build/demo, then started under Wine.
#   demo.sh BUILD PROGRAM_BUILD
# PROGRAM_BUILD is the build folder whose lumivane.exe runs here (BUILD itself,
# or its 64-bit twin where the machine runs no 32-bit programs); the demo's own
# Wine prefix there is used, so a test run beside it goes on undisturbed. With
# DISPLAY set the presentation comes up on that display until Escape; without,
# it runs on a private 1280x720 display, is photographed to
# build/demo/screen.png and ended with Escape.
set -u
export LUMIVANE_WINE_ENV=demo
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "$1" && pwd)
program_build=$(cd "$2" && pwd)
demo="$build/demo"

rm -rf "$demo"
mkdir -p "$demo/data"
cp "$program_build/bin/lumivane.exe" "$demo/" || exit 1
cp "$root"/examples/sample/data/*.dat "$demo/data/" || exit 1
rm -f "$demo/data/1013.dat" "$demo/data/1014.dat"
sh "$here/sample-settings.sh" "$root/examples/sample/settings.txt" "$demo/data/1013.dat" || exit 1
echo "demo: build/demo holds lumivane.exe and the sample's data folder"

run_program() {
    (cd "$demo" && LUMIVANE_BUILD="$program_build" "$here/wine-run.sh" lumivane.exe)
}

report_page() {
    if [ -f "$demo/data/1014.dat" ]; then
        echo "demo: page file written: build/demo/data/1014.dat ($(wc -c <"$demo/data/1014.dat") bytes)"
        insert=$(sed -n 3p "$root/examples/sample/settings.txt" | tr -d '\r')
        if grep -qF -- "$insert" "$demo/data/1014.dat"; then
            echo "demo: the page holds the settings' insert text \"$insert\""
        else
            echo "demo: the page lacks the settings' insert text \"$insert\""
        fi
    else
        echo "demo: no page file was written"
    fi
}

# Wine's browser control draws no HTML here (its HTML engine is not installed),
# so the page the program wrote is also shown as a real browser shows it.
render_page() {
    width=$1 height=$2
    [ -f "$demo/data/1014.dat" ] || return 0
    cp "$demo/data/1014.dat" "$demo/page.html"
    if chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
        --window-size="$width,$height" --screenshot="$demo/page.png" \
        "file://$demo/page.html" >"$demo/chromium.log" 2>&1 && [ -s "$demo/page.png" ]; then
        echo "demo: Wine draws no HTML here, so headless Chromium rendered the page file at ${width}x${height} to build/demo/page.png"
    else
        echo "demo: headless Chromium could not render the page (see build/demo/chromium.log)"
    fi
}

if [ -n "${DISPLAY:-}" ]; then
    echo "demo: the presentation covers the screen of $DISPLAY; press Escape to end it"
    # A wineserver left from a demo without DISPLAY would keep its private display's size.
    sh "$here/testenv.sh" teardown "$program_build"
    # The user's display: the program's Wine prefix, without the tests' private display.
    (build="$program_build" && . "$here/wine-env.sh" && cd "$demo" && exec "$WINE" lumivane.exe)
    rc=$?
    echo "demo: the program ended with exit code $rc"
    report_page
    size=$(xdpyinfo 2>/dev/null | awk '/dimensions:/ { print $2; exit }')
    render_page "${size%x*}" "${size#*x}"
    exit 0
fi

sh "$here/testenv.sh" setup "$program_build" 1280x720 >/dev/null || exit 1
export DISPLAY=":$(cat "$program_build/testenv-demo/display")"
run_program &
wine_pid=$!
# Wine names the program's X windows after the exe.
found=""
i=0
while [ $i -lt 200 ]; do
    found=$(xdotool search --onlyvisible --classname lumivane.exe 2>/dev/null | head -n 1)
    [ -n "$found" ] && break
    kill -0 $wine_pid 2>/dev/null || break
    sleep 0.1
    i=$((i + 1))
done
if [ -n "$found" ]; then
    sleep 2 # let the browser control settle before the picture
    import -window root "$demo/screen.png" && echo "demo: screenshot of the 1280x720 screen: build/demo/screen.png"
    xdotool key Escape
else
    echo "demo: no presentation window came up"
fi
i=0
while kill -0 $wine_pid 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
if kill -0 $wine_pid 2>/dev/null; then
    echo "demo: the program did not end after Escape; stopping it"
    kill $wine_pid
    rc=1
else
    wait $wine_pid
    rc=$?
    echo "demo: Escape ended the program with exit code $rc"
fi
sh "$here/testenv.sh" teardown "$program_build"
report_page
render_page 1280 720
exit $rc
