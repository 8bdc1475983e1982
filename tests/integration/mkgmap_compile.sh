#!/bin/sh
# Converts a map and compiles the result with the mkgmap map compiler, as a
# map maker would (the command of the README's "Compiling the result with
# mkgmap"):
#
#   mkgmap_compile.sh OSTRAK MAP.mp
#   mkgmap_compile.sh OSTRAK --generate GENERATOR SIZE
#
# The second form converts a map made by the benchmark's generator, whose
# house numbers take every form it makes, those without leading digits among
# them. The test fails when mkgmap exits with an error, reports a SEVERE
# problem or an exception, or reads a different number of address lines, or
# of their Numbers1 lines, than the converted map holds. Exit status 77
# tells CTest the test was skipped.
set -u
ostrak=$1
if ! command -v mkgmap >/dev/null 2>&1; then
  echo "SKIPPED: mkgmap is not installed (apt-get install mkgmap)"
  exit 77
fi
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
if [ "$2" = --generate ]; then
  "$3" "$work/source.mp" "$4" || { echo "generate_map failed"; exit 1; }
  source=$work/source.mp
else
  source=$2
fi
"$ostrak" "$source" "$work/garmin.mp" || { echo "ostrak failed"; exit 1; }
lines=$(grep -c '^\[POLYLINE\]' "$work/garmin.mp")
numbered=$(grep -c '^Numbers1=0,B,[0-9]' "$work/garmin.mp")
unnumbered=$(grep -c '^Numbers1=0,N,' "$work/garmin.mp")
echo "converted: $lines address lines, $numbered with a house number, $unnumbered without leading digits"
if [ "$2" = --generate ] && { [ "$numbered" -eq 0 ] || [ "$unnumbered" -eq 0 ]; }; then
  echo "the generated map lacks one of the two forms of Numbers1 line"
  exit 1
fi

# mkgmap's reader of the map format logs every section and line it reads at
# level FINE; that log tells how many address lines reached the compiler.
cat >"$work/logging.properties" <<'EOF'
handlers=java.util.logging.ConsoleHandler
java.util.logging.ConsoleHandler.level=FINE
.level=WARNING
uk.me.parabola.mkgmap.reader.polish.level=FINE
EOF
cd "$work" || exit 1
start=$(date +%s)
JAVA_TOOL_OPTIONS="-Dlog.config=$work/logging.properties" mkgmap --output-dir="$work/gmap" --mapname=63240001 \
  --code-page=1251 --lower-case --net --index --gmapsupp "$work/garmin.mp" >"$work/mkgmap.log" 2>&1
status=$?
echo "mkgmap: exit status $status after $(($(date +%s) - start)) s"
grep -v -E '^FINE|^[A-Z][a-z]{2} [0-9]+, [0-9]{4} ' "$work/mkgmap.log"
failed=0
if [ "$status" -ne 0 ]; then
  echo "mkgmap exited with status $status"
  failed=1
fi
if grep -q -E 'SEVERE|Exception(:|$)|Exception in thread|Exceptions: [1-9]' "$work/mkgmap.log"; then
  echo "mkgmap reported SEVERE problems or exceptions"
  failed=1
fi
sections=$(grep -c '^FINE: .*: section name POLYLINE$' "$work/mkgmap.log")
numbers=$(grep -c '^FINE: .*: LINE:  Numbers1 |' "$work/mkgmap.log")
roads=$(grep -c '^FINE: .*: finishing road id ' "$work/mkgmap.log")
echo "mkgmap read $sections address lines with $numbers Numbers1 lines and finished $roads of them"
if [ "$sections" -ne "$lines" ] || [ "$numbers" -ne "$lines" ] || [ "$roads" -ne "$lines" ]; then
  echo "mkgmap did not read every address line of the converted map"
  failed=1
fi
[ -s "$work/gmap/gmapsupp.img" ] || { echo "mkgmap wrote no gmapsupp.img"; failed=1; }
[ "$failed" -eq 0 ] || exit 1
echo "compiled: $(wc -c <"$work/gmap/gmapsupp.img") bytes of gmapsupp.img"
