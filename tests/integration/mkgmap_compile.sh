#!/bin/sh
# Converts the example map and compiles the result with the mkgmap map
# compiler, as a map maker would: the output must compile without a SEVERE
# message. Exit status 77 tells CTest the test was skipped.
set -u
ostrak=$1
example=$2
if ! command -v mkgmap >/dev/null 2>&1; then
  echo "SKIPPED: mkgmap is not installed (apt-get install mkgmap)"
  exit 77
fi
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
"$ostrak" "$example" "$work/town.mp" || { echo "ostrak failed"; exit 1; }
cd "$work" || exit 1
mkgmap --output-dir="$work/gmap" --mapname=63240001 --code-page=1251 --lower-case --net --index \
  --gmapsupp "$work/town.mp" >"$work/mkgmap.log" 2>&1
status=$?
cat "$work/mkgmap.log"
if [ "$status" -ne 0 ]; then
  echo "mkgmap exited with status $status"
  exit 1
fi
if grep -q SEVERE "$work/mkgmap.log"; then
  echo "mkgmap reported SEVERE problems"
  exit 1
fi
[ -s "$work/gmap/gmapsupp.img" ] || { echo "mkgmap wrote no gmapsupp.img"; exit 1; }
echo "compiled: $(wc -c <"$work/gmap/gmapsupp.img") bytes of gmapsupp.img"
