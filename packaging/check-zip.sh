#!/bin/sh
# Checks the Windows zip of ostrak as a user would meet it: it holds one
# folder with ostrak.exe and README.txt, and the packaged program, run under
# Wine on the example map, writes exactly the golden output.
#
#   packaging/check-zip.sh build/windows/ostrak-<version>-<system>.zip
#
# Runs in the Wine set-up of ./build.sh windows-test (WINEPREFIX and the code
# pages prepared). Leaves nothing behind but its output.
set -eu
zip=$1
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
[ "$listed" = "$folder/README.txt $folder/ostrak.exe " ] || fail "unexpected contents: $listed"

unzip -q "$zip" -d "$work"
exe="$work/$folder/ostrak.exe"
# The README keeps its CR LF line ends through the packing.
cmp -s "$work/$folder/README.txt" "$top/packaging/README-windows.txt" || fail "README.txt differs from the source"

wine "$exe" "$top/examples/town.mp" "$work/town.mp" </dev/null >"$work/stdout" 2>"$work/stderr" ||
  fail "the packaged ostrak.exe failed: $(cat "$work/stderr")"
[ ! -s "$work/stdout" ] && [ ! -s "$work/stderr" ] || fail "the conversion wrote to the console"
cmp -s "$work/town.mp" "$top/tests/data/town.expected.mp" || fail "the converted example differs from the golden output"
echo "== $(basename "$zip"): all checks passed"
