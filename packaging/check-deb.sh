#!/bin/sh
# Checks a Debian package of ostrak as a user would meet it:
#  - its control fields, its dependencies and its list of files;
#  - that apt could install it here, with its dependencies;
#  - the program unpacked from it (dpkg -x into a temporary folder): built for
#    the package's architecture, stripped, converting the example map into
#    exactly the golden output, and showing the package's version, as the
#    manual page and the changelog do;
#  - the manual page in it (doc/check-manual-page.sh);
#  - lintian, which must find no error; its whole output is shown.
#
#   packaging/check-deb.sh build/package/ostrak_<version>_<arch>.deb [ARCH]
#
# ARCH is the Debian architecture the package is for, this machine's by
# default. A package of another one needs that architecture known to dpkg
# (apt resolves its dependencies among its packages), and its program runs
# under qemu through binfmt_misc (cross-setup.sh prepares both).
#
# Needs dpkg, apt, binutils, groff, man-db and lintian. Leaves nothing behind
# but its output.
set -eu
# apt takes a file name only when it has a slash at its start.
deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
top=$(cd "$(dirname "$0")/.." && pwd)
arch=${2:-$(dpkg --print-architecture)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "check-deb: $deb: $*" >&2
  exit 1
}
field() { dpkg-deb --field "$deb" "$1"; }

echo "== $(basename "$deb"): $(wc -c <"$deb") bytes"
dpkg-deb --info "$deb"

# Control fields.
version=$(field Version)
[ "$(field Package)" = ostrak ] || fail "Package is not ostrak"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture), not $arch"
[ "$(field Section)" = utils ] || fail "Section is $(field Section)"
depends=$(field Depends)
for library in libc6 libstdc++6; do
  echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -Fqx "$library" || fail "Depends lacks $library: $depends"
done
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || {
  cat "$work/apt.log" >&2
  fail "apt cannot install it"
}

# Files.
dpkg-deb --contents "$deb"
cat >"$work/files.expected" <<'EOF'
./usr/bin/ostrak
./usr/bin/ostrak-split
./usr/share/doc/ostrak/changelog.gz
./usr/share/doc/ostrak/copyright
./usr/share/man/man1/ostrak-split.1.gz
./usr/share/man/man1/ostrak.1.gz
EOF
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/files"
diff -u "$work/files.expected" "$work/files" >&2 || fail "holds other files than expected (+ found, - expected)"

# The installed program.
dpkg -x "$deb" "$work/root"
ostrak=$work/root/usr/bin/ostrak
# The processor and byte order of the program, as readelf names them.
case $arch in
  amd64) machine="ELF64 little endian Advanced Micro Devices X86-64" ;;
  i386) machine="ELF32 little endian Intel 80386" ;;
  arm64) machine="ELF64 little endian AArch64" ;;
  s390x) machine="ELF64 big endian IBM S/390" ;;
  *) fail "knows no processor for the architecture $arch" ;;
esac
found=$(readelf --file-header "$ostrak" | sed -n 's/^ *\(Class\|Data\|Machine\): *//p' |
  sed 's/2.s complement, //' | tr '\n' ' ' | sed 's/ $//')
[ "$found" = "$machine" ] || fail "usr/bin/ostrak is built for $found, not $arch ($machine)"
readelf --sections --wide "$ostrak" | grep -Eq ' \.(symtab|debug_[a-z]+) ' && fail "usr/bin/ostrak is not stripped"
if [ "$arch" != "$(dpkg --print-architecture)" ] && ! "$ostrak" </dev/null >/dev/null 2>&1; then
  fail "its $arch program cannot run here (qemu-user-static and its binfmt_misc entry: cross-setup.sh)"
fi
"$ostrak" "$top/examples/town.mp" "$work/town.mp" || fail "usr/bin/ostrak fails on examples/town.mp"
cmp "$work/town.mp" "$top/tests/data/town.expected.mp" || fail "examples/town.mp converts into other bytes than tests/data/town.expected.mp"
LC_ALL=C.UTF-8 "$ostrak" | head -n 1 | grep -q "^Ostrak v$version " || fail "the usage text shows another version than $version"
gzip -dc "$work/root/usr/share/doc/ostrak/changelog.gz" | head -n 1 | grep -q "^ostrak ($version) " ||
  fail "the changelog starts with another version than $version"
gzip -dc "$work/root/usr/share/man/man1/ostrak.1.gz" | grep -q "^\.TH OSTRAK 1 [^ ]* \"ostrak $version\" " ||
  fail "the manual page shows another version than $version"
sh "$top/doc/check-manual-page.sh" "$work/root/usr/share/man/man1/ostrak.1.gz" "$ostrak"

# The installed splitter cuts the converted example into tiles.
split=$work/root/usr/bin/ostrak-split
readelf --sections --wide "$split" | grep -Eq ' \.(symtab|debug_[a-z]+) ' && fail "usr/bin/ostrak-split is not stripped"
"$split" --max-objects 100 "$work/town.mp" "$work/tiles" || fail "usr/bin/ostrak-split fails on the converted example"
[ -s "$work/tiles/63240003.mp" ] && [ -s "$work/tiles/template.args" ] || fail "usr/bin/ostrak-split wrote no tile set"
gzip -dc "$work/root/usr/share/man/man1/ostrak-split.1.gz" | grep -q "^\.TH OSTRAK-SPLIT 1 [^ ]* \"ostrak $version\" " ||
  fail "the manual page of ostrak-split shows another version than $version"
sh "$top/doc/check-manual-page.sh" "$work/root/usr/share/man/man1/ostrak-split.1.gz"

echo "== lintian"
lintian --display-info --fail-on error "$deb" || fail "lintian finds errors"
echo "== $(basename "$deb"): all checks passed"
