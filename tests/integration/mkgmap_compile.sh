#!/bin/sh
# mkgmap_compile.sh OSTRAK [--split OSTRAK-SPLIT N] MAP.mp | ... --generate GENERATOR SIZE:
# converts a map (a generated one, whose house numbers take every form, those
# without leading digits among them) and compiles the result with mkgmap,
# with the options of the README's recipe; with --split, first cuts it into
# tiles of at most N objects (at least four) and compiles them all through
# template.args in the tile folder, as the README shows. Fails when mkgmap
# fails, reports a SEVERE problem or an exception, writes no map for a tile,
# or reads fewer address lines (or Numbers1 lines) than the converted map
# holds. Exit status 77 tells CTest the test was skipped.
set -u
command -v mkgmap >/dev/null 2>&1 || { echo "SKIPPED: mkgmap is not installed (apt-get install mkgmap)"; exit 77; }
options=$(sed -n 's/^mkgmap \(--.*\) town-garmin\.mp$/\1/p' "$(dirname "$0")/../../README.md")
[ -n "$options" ] || { echo "the README shows no mkgmap command"; exit 1; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
ostrak=$1
shift
split=""
if [ "$1" = --split ]; then
  split=$2
  objects=$3
  shift 3
fi
source=$1
if [ "$1" = --generate ]; then
  "$2" "$work/source.mp" "$3" || exit 1
  source=$work/source.mp
fi
"$ostrak" "$source" "$work/garmin.mp" || { echo "ostrak failed"; exit 1; }
lines=$(grep -c '^\[POLYLINE\]' "$work/garmin.mp")
echo "converted: $lines address lines, $(grep -c '^Numbers1=0,N,' "$work/garmin.mp") without leading digits"
if [ "$1" = --generate ] && ! grep -q '^Numbers1=0,N,' "$work/garmin.mp"; then exit 1; fi
# mkgmap's reader of the map format logs every section and line it reads at
# level FINE: that tells how many address lines reached the compiler.
printf '%s\n' handlers=java.util.logging.ConsoleHandler java.util.logging.ConsoleHandler.level=FINE \
  .level=WARNING uk.me.parabola.mkgmap.reader.polish.level=FINE >"$work/logging.properties"
if [ -n "$split" ]; then
  "$split" --max-objects "$objects" "$work/garmin.mp" "$work/tiles" || { echo "ostrak-split failed"; exit 1; }
  tiles=$(ls "$work/tiles" | grep -c '^[0-9]\{8\}\.mp$')
  echo "split into $tiles tiles"
  [ "$tiles" -ge 4 ] || { echo "fewer than four tiles"; exit 1; }
  # Each tile's map number comes from template.args.
  options=$(echo "$options" | sed 's/--mapname=[0-9]* *//')
  cd "$work/tiles" || exit 1
  set -- -c template.args
else
  tiles=1
  cd "$work" || exit 1
  set -- garmin.mp
fi
# shellcheck disable=SC2086 # one word per option
JAVA_TOOL_OPTIONS="-Dlog.config=$work/logging.properties" mkgmap --output-dir="$work/gmap" $options "$@" \
  >"$work/mkgmap.log" 2>&1
status=$?
grep -v -E '^FINE|^[A-Z][a-z]{2} [0-9]+, [0-9]{4} ' "$work/mkgmap.log"
sections=$(grep -c '^FINE: .*: section name POLYLINE$' "$work/mkgmap.log")
numbers=$(grep -c '^FINE: .*: LINE:  Numbers1 |' "$work/mkgmap.log")
roads=$(grep -c '^FINE: .*: finishing road id ' "$work/mkgmap.log")
echo "mkgmap read $sections address lines with $numbers Numbers1 lines and finished $roads of them"
[ "$status" -eq 0 ] || exit 1
if grep -q -E 'SEVERE|Exception(:|$)|Exception in thread|Exceptions: [1-9]' "$work/mkgmap.log"; then exit 1; fi
[ "$sections" -eq "$lines" ] && [ "$numbers" -eq "$lines" ] && [ "$roads" -eq "$lines" ] || exit 1
[ "$(ls "$work/gmap" | grep -c '^[0-9]\{8\}\.img$')" -eq "$tiles" ] || { echo "not a map for every tile"; exit 1; }
[ -s "$work/gmap/gmapsupp.img" ] || { echo "mkgmap wrote no gmapsupp.img"; exit 1; }
echo "compiled: $tiles maps, $(wc -c <"$work/gmap/gmapsupp.img") bytes of gmapsupp.img"
