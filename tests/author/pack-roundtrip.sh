#!/bin/sh
# Each page of the table, packed and built by lumivane-author, against the page
# as its author expects to see it (the values put in its placeholders): both as
# headless Chromium sees them, the DOM after the scripts ran (runs of whitespace
# outside <pre> and <textarea> made one space, the scripts' text left out: their
# effects are in the DOM) and a screenshot. check finds nothing in the packed
# folder, and on the page cut by hand at its placeholders it finds the problems
# the table names, at their lines.
#   pack-roundtrip.sh BUILD SOURCE
# Exit 77 (skipped) where Chromium can't be had.
set -u
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
screen_width=800
screen_height=600

# page | insert text | what check says, as file:line:column, on the page cut by hand
# ("-": not compared). On kinds the end marker text in a style sheet's comment,
# and in a comment further down, ends two fragments early: the rest of the page
# reads as that comment, until the "*/" of a script ends it and the script's
# lines read as a style sheet (1019.dat). An insert text without markup must
# show as it stands: pack writes what the settings can't hold as references, and
# the text in the page's encoding.
table='
text|Welcome|-
text|alle Gäste!|-
text|<em>Q3</em> review &amp; more!|1010.dat:6:19 1016.dat:2:32 1016.dat:3:37 1016.dat:4:24 1016.dat:5:23 1016.dat:6:21 1016.dat:8:18 1016.dat:12:22 1017.dat:1:1 1017.dat:2:9 1018.dat:1:1 1018.dat:1:5 1018.dat:2:7
script|Tom &amp; Jerry|1010.dat:7:20 1010.dat:8:13 1010.dat:10:6 1010.dat:11:16 1010.dat:15:26 1010.dat:16:18 1010.dat:17:34 1010.dat:18:12 1010.dat:18:16 1010.dat:19:7 1010.dat:20:22 1010.dat:22:8 1010.dat:23:12 1010.dat:25:9
pre|Box <span>title</span>|1010.dat:7:17 1015.dat:2:8 1016.dat:2:6 1016.dat:7:22 1016.dat:10:6 1017.dat:2:39 1018.dat:1:1 1018.dat:1:4 1019.dat:1:1
kinds|Tom &amp; Jerry|1010.dat:13:37 1011.dat:1:1 1011.dat:1:3 1015.dat:1:1 1019.dat:24:13 1019.dat:26:22 1019.dat:29:38'

skip() {
    echo "skipped: $*"
    exit 77
}
sh "$source/cmake/deps.sh" demo >"$build/pack-roundtrip-deps.log" 2>&1 ||
    skip "Chromium can't be installed here ($(tail -n 1 "$build/pack-roundtrip-deps.log"))"
browser=$(command -v chromium || command -v chromium-browser) || skip "no Chromium on this machine"
command -v compare >/dev/null || skip "no ImageMagick compare on this machine"
author="$build/bin/lumivane-author"
work="$build/testwork/pack-roundtrip"
rm -rf "$work"
mkdir -p "$work"

# The page with its six placeholders replaced, in the order they stand.
fill() {
    awk -v w="$screen_width" -v h="$screen_height" -v insert="$2" '
        function put(line, holder, value,   at) {
            at = index(line, holder)
            return at ? substr(line, 1, at - 1) value substr(line, at + length(holder)) : line
        }
        { line = $0
          while (index(line, "{{width}}") || index(line, "{{height}}") || index(line, "{{insert}}")) {
              line = put(put(put(line, "{{width}}", w), "{{height}}", h), "{{insert}}", insert) }
          print line }' "$1"
}

# The page cut at its placeholders into the seven fragments, line breaks kept.
cut_by_hand() {
    mkdir -p "$2/data"
    awk -v dir="$2/data" '
        BEGIN { split("1010 1011 1015 1016 1017 1018 1019", names, " "); n = 1
                file = dir "/" names[n] ".dat" }
        { line = $0
          while (match(line, /\{\{(width|height|insert)\}\}/)) {
              printf "%s", substr(line, 1, RSTART - 1) > file
              if (n != 2) printf "\ncodebase random>\n" > file
              close(file); n++; file = dir "/" names[n] ".dat"
              line = substr(line, RSTART + RLENGTH) }
          print line > file }
        END { print "codebase random>" > file }' "$1"
}

# The DOM after the scripts ran, as the comparison reads it: read again by
# parse5 (a script's text may hold "</script>"), the text of scripts and style
# sheets left out (their effects are in the DOM and on the screen; pack moves
# scripts to files and may write a style sheet's white space and strings
# otherwise) and the src pack gives a moved script, then runs of white space
# outside <pre>, <textarea> and <listing> made one space.
dom() {
    "$browser" --headless --no-sandbox --disable-gpu --dump-dom "file://$1" 2>/dev/null |
        NODE_PATH=/usr/share/nodejs node -e '
            const parse5 = require("parse5");
            const doc = parse5.parse(require("fs").readFileSync(0, "utf8"), { scriptingEnabled: true });
            const walk = (n) => {
                if (n.tagName === "script" || n.tagName === "style") {
                    n.childNodes = [];
                    n.attrs = n.attrs.filter((a) => !/^(\.\.\/)*(data\/)?page-\d+\.js$/.test(a.value));
                }
                (n.childNodes || []).forEach(walk);
                if (n.content) walk(n.content);
            };
            walk(doc);
            process.stdout.write(parse5.serialize(doc));' |
        perl -0777 -pe 's{(<(pre|textarea|listing)\b.*?</\2>)|(\s+)}{defined $1 ? $1 : " "}gse'
}

shot() {
    "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
        --window-size="$screen_width,$screen_height" --screenshot="$2" "file://$1" >/dev/null 2>&1
}

failures=0
fail() {
    echo "FAIL $name: $*"
    failures=$((failures + 1))
}

echo "$table" | {
row=0
while IFS='|' read -r name insert findings; do
    [ -n "$name" ] || continue
    row=$((row + 1))
    page="$source/tests/author/pages/$name.html"
    dir="$work/$row-$name"
    mkdir -p "$dir/expected/data"
    fill "$page" "$insert" >"$dir/expected/data/page.html"
    if ! "$author" pack "$page" "$dir/packed" --insert "$insert" >"$dir/pack.log" 2>&1; then
        fail "pack: $(cat "$dir/pack.log")"
        continue
    fi
    "$author" check "$dir/packed" >"$dir/check-packed.log" 2>&1 ||
        fail "check on the packed folder: $(cat "$dir/check-packed.log")"
    [ -s "$dir/check-packed.log" ] && fail "check on the packed folder said something"
    "$author" build "$dir/packed" --screen "${screen_width}x$screen_height" \
        -o "$dir/packed/data/page.html" || fail "build"
    dom "$dir/expected/data/page.html" >"$dir/expected.dom"
    dom "$dir/packed/data/page.html" >"$dir/packed.dom"
    [ -s "$dir/expected.dom" ] || fail "Chromium dumped no DOM"
    cmp -s "$dir/expected.dom" "$dir/packed.dom" ||
        fail "the DOMs differ: $(diff "$dir/expected.dom" "$dir/packed.dom" | head -n 6)"
    case "$insert" in
    *[\<\&]*) ;;
    *) grep -qF -- "$insert" "$dir/packed.dom" || fail "the page does not show \"$insert\"" ;;
    esac
    shot "$dir/expected/data/page.html" "$dir/expected.png"
    shot "$dir/packed/data/page.html" "$dir/packed.png"
    differ=$(compare -metric AE "$dir/expected.png" "$dir/packed.png" null: 2>&1)
    [ "$differ" = 0 ] || fail "the screenshots differ in $differ pixels"

    if [ "$findings" = - ]; then
        echo "$name, $insert: packed; $(ls "$dir/packed/data" | grep -c 'page-.*\.js') script files; DOM and screenshot compared"
        continue
    fi
    cut_by_hand "$page" "$dir/hand"
    cp "$dir/packed/data/1013.dat" "$dir/hand/data/"
    "$author" check "$dir/hand" >"$dir/check-hand.log" 2>&1
    found=$(sed -n 's#^.*/data/\([0-9]*\.dat:[0-9]*:[0-9]*\): .*#\1#p' "$dir/check-hand.log" | tr '\n' ' ')
    [ "$found" = "$findings " ] || fail "check on the page cut by hand found
    $found
  where the table has
    $findings
$(cat "$dir/check-hand.log")"
    echo "$name: packed $(grep -c . "$dir/packed/data/1010.dat") lines into 1010.dat ..., $(ls "$dir/packed/data" | grep -c 'page-.*\.js') script files; DOM and screenshot alike; check found $(grep -c . "$dir/check-hand.log") problems on the page cut by hand"
done
[ $failures = 0 ]
}
