#!/bin/sh
# The test environment of one build folder: a Wine prefix inside it (made once),
# a private Xvfb display and a persistent wineserver for the run.
#   testenv.sh setup BUILD [WIDTHxHEIGHT] | teardown BUILD
# The display is 1024x768 unless another size is given. Wine's desktop keeps the
# size of the display its wineserver started on, so each setup starts a new one.
# LUMIVANE_WINE_ENV=demo gives the demo an environment of its own (wine-env.sh).
set -u
action=$1
build=$(cd "$2" && pwd)
size=${3:-1024x768}
WINEDEBUG=-all
. "$(dirname "$0")/wine-env.sh"

teardown() {
    wineserver -k >/dev/null 2>&1
    if [ -f "$env_dir/xvfb.pid" ]; then
        kill "$(cat "$env_dir/xvfb.pid")" >/dev/null 2>&1
    fi
    rm -rf "$env_dir"
}

setup() {
    teardown
    mkdir -p "$env_dir"
    # -displayfd lets Xvfb pick a free display number and tell us which.
    setsid Xvfb -displayfd 3 -screen 0 ${size}x24 -nolisten tcp \
        3>"$env_dir/display.raw" >"$env_dir/xvfb.log" 2>&1 </dev/null &
    echo $! >"$env_dir/xvfb.pid"
    i=0
    while [ ! -s "$env_dir/display.raw" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    [ -s "$env_dir/display.raw" ] || { echo "Xvfb did not start"; cat "$env_dir/xvfb.log"; exit 1; }
    tr -d '\n' <"$env_dir/display.raw" >"$env_dir/display"
    export DISPLAY=":$(cat "$env_dir/display")"
    [ -f "$WINEPREFIX/system.reg" ] || echo "creating the Wine prefix in $WINEPREFIX"
    wine_prefix_make
    # wineserver -p holds inherited descriptors open: detach it fully.
    setsid wineserver -p >"$env_dir/wineserver.log" 2>&1 </dev/null &
    # The first program of a session starts Wine's own services, which live as
    # long as the wineserver: start them here, away from the test runner's pipes.
    setsid "$WINE" cmd /c exit >"$env_dir/services.log" 2>&1 </dev/null
    # Without a window manager, Wine waits two seconds for every visible window it
    # destroys unless it manages the windows itself.
    setsid "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >>"$env_dir/services.log" 2>&1 </dev/null
    echo "display :$(cat "$env_dir/display") at $size, prefix $WINEPREFIX"
}

case "$action" in
setup) setup ;;
teardown) teardown ;;
*) echo "usage: testenv.sh setup|teardown BUILD"; exit 2 ;;
esac
