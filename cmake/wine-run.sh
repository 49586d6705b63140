#!/bin/sh
# Runs a cross-built program under Wine in the build folder's own prefix, on the
# private display that the test environment started (see testenv.sh); with
# LUMIVANE_WINE_ENV set, in that environment instead (see wine-env.sh).
here=$(cd "$(dirname "$0")" && pwd)
build=${LUMIVANE_BUILD:-$(pwd)}
while [ ! -f "$build/CMakeCache.txt" ] && [ "$build" != "/" ]; do build=$(dirname "$build"); done
. "$here/wine-env.sh"
if [ -f "$env_dir/display" ]; then
    export DISPLAY=":$(cat "$env_dir/display")"
else
    unset DISPLAY
fi
exec "$WINE" "$@"
