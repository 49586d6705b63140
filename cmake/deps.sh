#!/bin/sh
# Makes sure the Debian packages the build and the tests need are installed.
# As root it installs what is missing; otherwise it prints the one command that does.
#   deps.sh        what the build and the tests need (clang and its libFuzzer
#                  and sanitizer runtime for the native fuzz targets among them,
#                  node with the reference HTML and JavaScript parsers: the page
#                  tokenizer's conformance run and the proofs of pack, check and
#                  the script reading)
#   deps.sh demo   that, and what `make demo` and `make preview` need besides: a
#                  screenshot tool and a browser that renders a page without a screen
set -u
packages="cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine32 wine64 xvfb xdotool x11-utils xauth clang libclang-rt-dev nodejs node-parse5 node-acorn"
[ "${1:-}" = demo ] && packages="$packages imagemagick chromium"
# The release zip is packed with Debian's zip.
packages="$packages zip"
missing=""
dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386 || missing="i386"
for p in $packages; do
    case "$p" in wine32) q="wine32:i386" ;; *) q="$p" ;; esac
    status=$(dpkg-query -W -f='${Status}' "$q" 2>/dev/null)
    case "$status" in *" installed") ;; *) missing="$missing $p" ;; esac
done
[ -z "$missing" ] && exit 0
cmd="dpkg --add-architecture i386 && apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $packages"
if [ "$(id -u)" != 0 ]; then
    echo "Missing packages:$missing"
    echo "Run as root: sh -c '$cmd'"
    exit 1
fi
echo "Installing missing packages:$missing"
sh -c "$cmd"
