#!/bin/sh
# mkgmap_split.sh OSTRAK OSTRAK-SPLIT GENERATOR SIZE MAX-OBJECTS: converts a
# generated map, splits the result into tiles of at most MAX-OBJECTS objects
# (at least four of them), and compiles them with mkgmap -c template.args in
# the tile folder, with the options of the README's recipe. Fails unless
# every tile compiles without a SEVERE problem or an exception and mkgmap
# reads back as many address lines as the converted map holds. Exit status
# 77 tells CTest the test was skipped.
set -u
command -v mkgmap >/dev/null 2>&1 || { echo "SKIPPED: mkgmap is not installed (apt-get install mkgmap)"; exit 77; }
options=$(sed -n 's/^mkgmap \(--.*\) town-garmin\.mp$/\1/p' "$(dirname "$0")/../../README.md" | sed 's/--mapname=[0-9]* *//')
[ -n "$options" ] || { echo "the README shows no mkgmap command"; exit 1; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
"$3" "$work/source.mp" "$4" || exit 1
"$1" "$work/source.mp" "$work/garmin.mp" || { echo "ostrak failed"; exit 1; }
"$2" --max-objects "$5" "$work/garmin.mp" "$work/tiles" || { echo "ostrak-split failed"; exit 1; }
lines=$(grep -c '^\[POLYLINE\]' "$work/garmin.mp")
tiles=$(ls "$work/tiles" | grep -c '^[0-9]\{8\}\.mp$')
echo "converted: $lines address lines, split into $tiles tiles"
[ "$tiles" -ge 4 ] || { echo "fewer than four tiles"; exit 1; }
# mkgmap logs every section and line it reads at level FINE.
printf '%s\n' handlers=java.util.logging.ConsoleHandler java.util.logging.ConsoleHandler.level=FINE \
  .level=WARNING uk.me.parabola.mkgmap.reader.polish.level=FINE >"$work/logging.properties"
cd "$work/tiles" || exit 1
# shellcheck disable=SC2086 # one word per option
JAVA_TOOL_OPTIONS="-Dlog.config=$work/logging.properties" mkgmap --output-dir="$work/gmap" $options -c template.args \
  >"$work/mkgmap.log" 2>&1
status=$?
grep -v -E '^FINE|^[A-Z][a-z]{2} [0-9]+, [0-9]{4} ' "$work/mkgmap.log"
sections=$(grep -c '^FINE: .*: section name POLYLINE$' "$work/mkgmap.log")
numbers=$(grep -c '^FINE: .*: LINE:  Numbers1 |' "$work/mkgmap.log")
echo "mkgmap read $sections address lines with $numbers Numbers1 lines"
[ "$status" -eq 0 ] || exit 1
if grep -q -E 'SEVERE|Exception(:|$)|Exception in thread|Exceptions: [1-9]' "$work/mkgmap.log"; then exit 1; fi
[ "$sections" -eq "$lines" ] && [ "$numbers" -eq "$lines" ] || exit 1
for tile in "$work"/tiles/[0-9]*.mp; do
  [ -s "$work/gmap/$(basename "$tile" .mp).img" ] || { echo "no map for $(basename "$tile")"; exit 1; }
done
[ -s "$work/gmap/gmapsupp.img" ] || { echo "mkgmap wrote no gmapsupp.img"; exit 1; }
echo "compiled: $tiles maps, $(wc -c <"$work/gmap/gmapsupp.img") bytes of gmapsupp.img"
