#!/bin/sh
# Runs a cross-built program under Wine in the build folder's own prefix, on the
# private display that the test environment started (see testenv.sh).
here=$(cd "$(dirname "$0")" && pwd)
build=${LUMIVANE_BUILD:-$(pwd)}
while [ ! -f "$build/CMakeCache.txt" ] && [ "$build" != "/" ]; do build=$(dirname "$build"); done
env_dir="$build/testenv"
. "$here/wine-env.sh"
if [ -f "$env_dir/display" ]; then
    export DISPLAY=":$(cat "$env_dir/display")"
else
    unset DISPLAY
fi
exec "$WINE" "$@"
