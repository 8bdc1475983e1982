#!/bin/sh
# Checks the Windows zip of ostrak as a user would meet it: it holds one
# folder with ostrak.exe, ostrak-split.exe and README.txt, and the packaged
# programs, run under Wine on the example map, write exactly the golden
# output and a tile set of it.
#
#   packaging/check-zip.sh build/windows/ostrak-<version>-<system>.zip [REASON]
#
# Runs in the Wine set-up of ./build.sh windows-test (WINEPREFIX and the code
# pages prepared). With a REASON, why Wine cannot run the program here, the
# run is left out and the reason shown. Leaves nothing behind but its output.
set -eu
zip=$1
no_run=${2:-}
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "check-zip: $zip: $*" >&2
  exit 1
}

echo "== $(basename "$zip"): $(wc -c <"$zip") bytes"
unzip -l "$zip"
folder=$(basename "$zip" .zip)
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
[ "$listed" = "$folder/README.txt $folder/ostrak-split.exe $folder/ostrak.exe " ] || fail "unexpected contents: $listed"

unzip -q "$zip" -d "$work"
exe="$work/$folder/ostrak.exe"
# The program is for the system the zip's name gives: the machine field of
# its PE header is i386 (014c) in a win32 zip and x86-64 (8664) in a win64 one.
header=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
machine=$(od -An -tx2 -j$((header + 4)) -N2 "$exe" | tr -d ' ')
case "$folder:$machine" in
  *-win32:014c | *-win64:8664) ;;
  *) fail "ostrak.exe is a program for machine $machine, not for the system in its name" ;;
esac
# The README keeps its CR LF line ends through the packing.
cmp -s "$work/$folder/README.txt" "$top/packaging/README-windows.txt" || fail "README.txt differs from the source"

if [ -n "$no_run" ]; then
  echo "== $(basename "$zip"): contents checked; NOT RUN: $no_run"
  exit 0
fi
wine "$exe" "$top/examples/town.mp" "$work/town.mp" </dev/null >"$work/stdout" 2>"$work/stderr" ||
  fail "the packaged ostrak.exe failed: $(cat "$work/stderr")"
[ ! -s "$work/stdout" ] && [ ! -s "$work/stderr" ] || fail "the conversion wrote to the console"
cmp -s "$work/town.mp" "$top/tests/data/town.expected.mp" || fail "the converted example differs from the golden output"
split="$work/$folder/ostrak-split.exe"
case "$folder:$(od -An -tx2 -j$(($(od -An -tu4 -j60 -N4 "$split" | tr -d ' ') + 4)) -N2 "$split" | tr -d ' ')" in
  *-win32:014c | *-win64:8664) ;;
  *) fail "ostrak-split.exe is a program for another machine than the system in its name" ;;
esac
wine "$split" --max-objects 100 "$work/town.mp" "$work/tiles" </dev/null >"$work/stdout" 2>"$work/stderr" ||
  fail "the packaged ostrak-split.exe failed: $(cat "$work/stderr")"
[ -s "$work/tiles/63240003.mp" ] && [ -s "$work/tiles/template.args" ] || fail "ostrak-split.exe wrote no tile set"
echo "== $(basename "$zip"): all checks passed"
