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
# In name order, every build alike; -X: no Unix owners or times, which a
# Windows user has no use for.
(cd "$stage" && find "$folder" | LC_ALL=C sort | zip -q -X -@ "$zip.part") \
    || { rm -f "$zip.part"; exit 1; }
mv "$zip.part" "$zip" && rm -rf "$stage"
