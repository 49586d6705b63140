#!/bin/sh
# The page the presenter would write for a presentation, drawn by headless
# Chromium into an image: on Linux, where Wine's browser control draws nothing,
# this is how the page can be seen.
#   preview.sh BUILD PRESENTATION WxH OUT.png [PAGE]
# An empty PRESENTATION is the sample that lumivane-author init writes; a PAGE
# (one HTML page with its placeholders) is packed into BUILD/preview-pack first.
set -u
build=$(cd "$1" && pwd)
presentation=$2
screen=$3
out=$4
page_html=${5:-}
case "$screen" in
[1-9]*x[1-9]*) ;;
*) echo "preview: SCREEN takes WIDTHxHEIGHT in pixels (1280x720), not \"$screen\"" >&2; exit 2 ;;
esac
width=${screen%%x*}
height=${screen#*x}

# `make preview` installs Chromium through deps.sh before it comes here.
browser=$(command -v chromium || command -v chromium-browser)
[ -n "$browser" ] || { echo "preview needs Chromium: run sh cmake/deps.sh demo as root" >&2; exit 1; }

# A failed preview leaves no image of an earlier one behind.
rm -f "$out"
work="$build/preview"
rm -rf "$work"
mkdir -p "$work"
author="$build/bin/lumivane-author"
if [ -n "$page_html" ]; then
    presentation="$build/preview-pack"
    "$author" pack "$page_html" "$presentation" >/dev/null || exit 1
elif [ -z "$presentation" ]; then
    presentation="$work/sample"
    "$author" init "$presentation" >/dev/null || exit 1
fi
# The page goes among (links to) the files of the data folder, where the
# presenter's page file lies, so that what it names by relative address is found.
page=lumivane-preview.html
for f in "$presentation"/data/*; do
    [ -e "$f" ] && [ "$(basename "$f")" != $page ] &&
        ln -s "$(cd "$(dirname "$f")" && pwd)/$(basename "$f")" "$work/"
done
"$author" build "$presentation" --screen "$screen" -o "$work/$page" || exit 1
mkdir -p "$(dirname "$out")"
# As root Chromium runs only without its sandbox.
"$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --window-size="$width,$height" --screenshot="$out" "file://$work/$page" \
    >"$build/preview-chromium.log" 2>&1
if [ ! -s "$out" ]; then
    cat "$build/preview-chromium.log" >&2
    echo "preview: Chromium made no image" >&2
    exit 1
fi
echo "$out: the page of ${presentation} at ${width}x${height}"
echo "preview: drawn by Chromium, not by the presenter's browser control (ES5 scripts, IE11's standards mode at best); lumivane-author check names what that engine does not run"
