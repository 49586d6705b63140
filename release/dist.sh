#!/bin/sh
# Packs the release zip: one folder holding the presenter with the sample's data
# folder beside it (settings enciphered, so that it shows the sample when it is
# double-clicked), the authors' tool and the README.
#   dist.sh ZIP FOLDER PRESENTER AUTHOR_TOOL README SAMPLE
set -u
[ $# -eq 6 ] || { echo "usage: dist.sh ZIP FOLDER PRESENTER AUTHOR_TOOL README SAMPLE" >&2; exit 2; }
zip=$1 folder=$2 presenter=$3 tool=$4 readme=$5 sample=$6
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$(dirname "$zip")" || exit 1
out=$(cd "$(dirname "$zip")" && pwd)
zip="$out/$(basename "$zip")"
stage="$out/stage"

# A zip of another version made here before is no longer the release.
rm -rf "$stage" "$out"/lumivane-*.zip "$zip.part"
mkdir -p "$stage/$folder" || exit 1
cp "$presenter" "$stage/$folder/lumivane.exe" || exit 1
cp "$tool" "$stage/$folder/lumivane-author.exe" || exit 1
cp "$readme" "$stage/$folder/README.txt" || exit 1
cp -R "$sample/data" "$stage/$folder/data" || exit 1
# The page file is the program's to write; the settings go in enciphered.
rm -f "$stage/$folder/data/1013.dat" "$stage/$folder/data/1014.dat"
sh "$here/../cmake/sample-settings.sh" "$sample/settings.txt" "$stage/$folder/data/1013.dat" || exit 1
# Every build of one commit packs the same bytes: the entries in name order,
# each with the same modes and the commit's time (SOURCE_DATE_EPOCH when set;
# outside a git checkout, the first time a zip can hold), in UTC; -X: no Unix
# owners or further times.
time=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null)}
case "$time" in
'' | *[!0-9]*) time=315532800 ;;
esac
find "$stage" -type d -exec chmod 755 {} + && find "$stage" -type f -exec chmod 644 {} + &&
    chmod 755 "$stage/$folder"/*.exe && find "$stage" -exec touch -d "@$time" {} + || exit 1
(cd "$stage" && find "$folder" | LC_ALL=C sort | TZ=UTC0 zip -q -X -@ "$zip.part") \
    || { rm -f "$zip.part"; exit 1; }
mv "$zip.part" "$zip" && rm -rf "$stage"
