#!/bin/sh
# Builds ostrak and runs its checks.
#
#   ./build.sh example   builds a Release binary and converts examples/town.mp
#                        into build/town-garmin.mp
#   ./build.sh package   builds the Debian package into build/package and
#                        checks it (packaging/check-deb.sh)
#   ./build.sh test      builds everything, runs the whole test suite, then
#                        builds and checks the package as above
#
# Missing Debian packages are installed when run as root; otherwise the
# script stops and names them.
set -eu
cd "$(dirname "$0")"
top=$(pwd)

# Installs (as root) or names the Debian packages whose command or file is missing.
require() {
  missing=""
  while [ $# -gt 0 ]; do
    if [ ! -e "$2" ] && ! command -v "$2" >/dev/null 2>&1; then missing="$missing $1"; fi
    shift 2
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing >/dev/null
  else
    echo "ostrak: missing Debian packages; install them with: sudo apt-get install$missing" >&2
    exit 1
  fi
}

generator() {
  if command -v ninja >/dev/null 2>&1; then echo "-G Ninja"; fi
}

# configure DIR [cmake options...]: configures and builds DIR.
build() {
  dir=$1
  shift
  # shellcheck disable=SC2046
  cmake -S "$top" -B "$dir" $(generator) "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)"
}

# The Debian package, built with Debian's own compiler and hardening flags.
package() {
  require cmake cmake g++ g++ dpkg-dev dpkg-shlibdeps man-db man groff-base groff lintian lintian
  dir=build/package
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  build "$dir" -DCMAKE_BUILD_TYPE=Release -DOSTRAK_BUILD_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
  rm -f "$dir"/ostrak_*.deb "$dir"/ostrak_*.deb.sha256
  (cd "$dir" && cpack -G DEB) >"$dir/cpack.log" || { cat "$dir/cpack.log" >&2; exit 1; }
  sh packaging/check-deb.sh "$dir"/ostrak_*.deb
}

case "${1:-}" in
  example)
    require cmake cmake g++ g++
    build build/release -DCMAKE_BUILD_TYPE=Release -DOSTRAK_BUILD_TESTS=OFF
    build/release/bin/ostrak examples/town.mp build/town-garmin.mp
    echo "Converted examples/town.mp ($(wc -c <examples/town.mp) bytes) into build/town-garmin.mp" \
      "($(wc -c <build/town-garmin.mp) bytes, $(grep -c '^\[POLYLINE\]' build/town-garmin.mp) address lines)."
    ;;
  package)
    package
    ;;
  test)
    require cmake cmake g++ g++ libgtest-dev /usr/include/gtest/gtest.h man-db man groff-base groff
    build build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    ctest --test-dir build/test --output-on-failure -j 2
    package
    ;;
  *)
    echo "usage: ./build.sh example | package | test" >&2
    exit 2
    ;;
esac
