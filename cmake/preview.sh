#!/bin/sh
# The page the presenter would write for a presentation, drawn by headless
# Chromium into an image: on Linux, where Wine's browser control draws nothing,
# this is how the page can be seen.
#   preview.sh BUILD PRESENTATION WxH OUT.png
# An empty PRESENTATION is the sample that lumivane-author init writes.
set -u
build=$(cd "$1" && pwd)
presentation=$2
screen=$3
out=$4
case "$screen" in
[1-9]*x[1-9]*) ;;
*) echo "preview: SCREEN takes WIDTHxHEIGHT in pixels (1280x720), not \"$screen\"" >&2; exit 2 ;;
esac
width=${screen%%x*}
height=${screen#*x}

# Chromium is needed only here, so it is installed only here.
browser=$(command -v chromium || command -v chromium-browser)
if [ -z "$browser" ]; then
    cmd="apt-get -o DPkg::Lock::Timeout=300 install -y --no-install-recommends chromium"
    if [ "$(id -u)" != 0 ]; then
        echo "preview needs Chromium. Run as root: $cmd" >&2
        exit 1
    fi
    echo "Installing chromium for the preview"
    DEBIAN_FRONTEND=noninteractive sh -c "$cmd" >"$build/preview-install.log" 2>&1 ||
        { cat "$build/preview-install.log"; exit 1; }
    browser=$(command -v chromium)
fi

# A failed preview leaves no image of an earlier one behind.
rm -f "$out"
work="$build/preview"
rm -rf "$work"
mkdir -p "$work"
author="$build/bin/lumivane-author"
if [ -z "$presentation" ]; then
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
