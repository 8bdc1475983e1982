#!/bin/sh
# Checks a manual page of ostrak or ostrak-split (NAME.1 or NAME.1.gz):
#  - groff and man render it without a single warning, at the width of 80
#    columns that lintian uses too;
#  - its mkgmap command is the README's recipe, option for option (for
#    ostrak-split: without --mapname, on the tiles' template.args);
#  - with the program given, its example is what the program does: the
#    building of the EXAMPLES section converts into the lines shown there.
#
#   doc/check-manual-page.sh PAGE [OSTRAK]
#
# Exit status 77 (a skip for CTest) when groff or man is not installed.
set -u
page=$1
ostrak=${2:-}
for tool in groff man; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (apt-get install groff-base man-db)"
    exit 77
  fi
done
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
fail() {
  echo "$page: $*" >&2
  exit 1
}

case $page in
  *.gz) gzip -dc "$page" >"$work/page.1" || fail "cannot be uncompressed" ;;
  *) cp "$page" "$work/page.1" || exit 1 ;;
esac

LC_ALL=C.UTF-8 groff -ww -z -man "$work/page.1" 2>"$work/groff.log"
[ -s "$work/groff.log" ] && { cat "$work/groff.log" >&2; fail "groff warns"; }
LC_ALL=C.UTF-8 MANWIDTH=80 MANROFFSEQ='' man --warnings -E UTF-8 -l -Tutf8 -Z "$work/page.1" \
  >/dev/null 2>"$work/man.log"
[ -s "$work/man.log" ] && { cat "$work/man.log" >&2; fail "man warns"; }

# EXAMPLES with the roff minus signs as "-".
sed -n '/^\.SH EXAMPLES/,/^\.SH /p' "$work/page.1" | sed 's/\\-/-/g' >"$work/examples"
# The options of the mkgmap command, its lines joined where a backslash
# (roff's \e) continues them.
recipe() { sed -e ':a' -e '/\\e$/{N;s/\\e\n *//;ba' -e '}' "$1" | sed -n 's/^mkgmap \(--.*\) town-garmin\.mp$/\1/p'; }
readme=$(dirname "$0")/../README.md
case $page in
  *ostrak-split.1*)
    tiles() { sed -e ':a' -e '/\\e$/{N;s/\\e\n *//;ba' -e '}' "$1" | sed -n 's/^mkgmap \(--.*\) -c template\.args$/\1/p'; }
    expected=$(recipe "$readme" | sed 's/--mapname=[0-9]* *//')
    [ -n "$expected" ] && [ "$(tiles "$work/examples")" = "$expected" ] ||
      fail "its mkgmap options ($(tiles "$work/examples")) are not the README's without --mapname ($expected)"
    echo "$page: renders cleanly; its mkgmap command holds"
    exit 0
    ;;
esac
[ -n "$(recipe "$readme")" ] && [ "$(recipe "$work/examples")" = "$(recipe "$readme")" ] ||
  fail "its mkgmap options ($(recipe "$work/examples")) are not the README's ($(recipe "$readme"))"

[ -z "$ostrak" ] && exit 0
# The example: the first [POLYGON] section of EXAMPLES is the input, the
# [POLYLINE] section after it the output.
sed -n '/^\[POLYGON\]$/,/^\[END\]$/p' "$work/examples" >"$work/in.mp"
sed -n '/^\[POLYLINE\]$/,/^\[END\]$/p' "$work/examples" >"$work/shown.mp"
[ -s "$work/in.mp" ] && [ -s "$work/shown.mp" ] || fail "has no example building in EXAMPLES"
"$ostrak" "$work/in.mp" "$work/out.mp" || fail "the program fails on the example"
tr -d '\r' <"$work/out.mp" >"$work/out.txt"
if ! cmp -s "$work/out.txt" "$work/shown.mp"; then
  diff -u "$work/shown.mp" "$work/out.txt" >&2
  fail "the example differs from what the program writes (above: - shown, + written)"
fi
echo "$page: renders cleanly; its mkgmap command and its example hold"
