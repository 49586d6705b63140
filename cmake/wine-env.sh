# Sourced with $build set: the Wine environment of one build folder. A 64-bit
# build (see wine-arch in the folder) runs under the 64-bit loader.
# Each user of the folder has a prefix of its own, and so a wineserver of its
# own, named by LUMIVANE_WINE_ENV: the tests and the benchmarks (the default),
# the authors' tool ("author") and the demo ("demo"). A test run's set-up ends
# its own wineserver only, so a tool run beside it goes on undisturbed.
#   WINEPREFIX   wineprefix, or wineprefix-NAME
#   env_dir      testenv, or testenv-NAME: the display and server of a run
case "${LUMIVANE_WINE_ENV:-tests}" in
tests)
    export WINEPREFIX="$build/wineprefix"
    env_dir="$build/testenv"
    ;;
author | demo)
    export WINEPREFIX="$build/wineprefix-$LUMIVANE_WINE_ENV"
    env_dir="$build/testenv-$LUMIVANE_WINE_ENV"
    ;;
*)
    echo "LUMIVANE_WINE_ENV is tests, author or demo, not \"$LUMIVANE_WINE_ENV\"" >&2
    exit 2
    ;;
esac
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
if [ "$(cat "$build/wine-arch" 2>/dev/null)" = win64 ]; then
    export WINEARCH=win64
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE
else
    export WINEARCH=win32
    WINE=wine
fi

# Makes the prefix once. Runs that start together wait for the one that makes it.
wine_prefix_make() {
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            "$WINE" wineboot -i >"$WINEPREFIX.log" 2>&1
            wineserver -w
        fi
    ) 9>"$WINEPREFIX.lock"
}
