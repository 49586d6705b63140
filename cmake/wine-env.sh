# Sourced with $build set: the Wine environment of one build folder. A 64-bit
# build (see wine-arch in the folder) runs under the 64-bit loader.
export WINEPREFIX="$build/wineprefix"
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
