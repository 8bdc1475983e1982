#!/bin/sh
# Builds ostrak and runs its checks.
#
#   ./build.sh example   builds a Release binary and converts examples/town.mp
#                        into build/town-garmin.mp
#   ./build.sh package   builds the Debian package into build/package and
#                        checks it (packaging/check-deb.sh)
#   ./build.sh sanitize  runs the test suite built with the address and
#                        undefined-behaviour sanitizers
#   ./build.sh fuzz [S]  fuzzes the converter for S seconds (default 60)
#   ./build.sh bench [SIZE] [RUNS] [BASELINE]
#                        compares ostrak with cat on a generated map of SIZE
#                        (default 500M; keeps nothing), and with the ostrak
#                        program BASELINE (an earlier build) when given
#   ./build.sh windows   cross-compiles a Release build/windows/bin/ostrak.exe
#   ./build.sh windows-test
#                        cross-compiles the 32-bit and the 64-bit Windows
#                        program, runs the 64-bit test suite under Wine, and
#                        builds and checks the zip for Windows
#                        (packaging/check-zip.sh)
#   ./build.sh test      builds everything and runs the whole test suite: the
#                        Linux build's, the sanitizer run, 60 s of fuzzing, a
#                        small benchmark, the Windows build's (windows-test),
#                        then builds and checks the packages
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

# The suite once more, with every target built with sanitizers.
sanitize() {
  require cmake cmake g++ g++ libgtest-dev /usr/include/gtest/gtest.h
  build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DOSTRAK_SANITIZE=address,undefined \
    -DOSTRAK_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
  ctest --test-dir build/sanitize --output-on-failure -j 2
}

# Coverage-guided fuzzing of the file layer, section filter and converter,
# seeded with the test maps; any finding fails.
fuzz() {
  require clang clang libclang-rt-14-dev /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a
  dir=build/fuzz
  CC=clang CXX=clang++ build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTRAK_FUZZ=ON \
    -DOSTRAK_BUILD_TESTS=OFF -DOSTRAK_BUILD_BENCH=OFF
  mkdir -p "$dir/corpus" "$dir/findings"
  "$dir/bin/fuzz_convert" -max_total_time="${1:-60}" -max_len=4096 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$dir/findings/" "$dir/corpus" tests/data tests/data/hostile >"$dir/fuzz.log" 2>&1 ||
    { tail -n 40 "$dir/fuzz.log" >&2; echo "fuzzing found a problem; see $dir/findings" >&2; exit 1; }
  grep -E '^Done|stat::number_of_executed_units' "$dir/fuzz.log"
}

# Throughput against cat on a generated map (Release build).
bench() {
  require cmake cmake g++ g++
  build build/release -DCMAKE_BUILD_TYPE=Release -DOSTRAK_BUILD_TESTS=OFF
  build/release/bin/throughput --ostrak build/release/bin/ostrak --generator build/release/bin/generate_map \
    --size "${1:-500M}" --runs "${2:-5}" ${3:+--baseline "$3"}
}

windows_packages() {
  require g++-mingw-w64-x86-64 x86_64-w64-mingw32-g++-posix g++-mingw-w64-i686 i686-w64-mingw32-g++-posix \
    cmake cmake googletest /usr/src/googletest/CMakeLists.txt
}

# Runs the tests of build/win64 under Wine, in a Wine prefix of its own that
# is removed afterwards.
wine_tests() {
  require wine wine wine64 /usr/lib/wine/wine64 locales /usr/share/i18n/locales/ru_RU unzip unzip
  scratch=$(mktemp -d)
  # At the end the Wine server and its processes go (there is none to end
  # when the run stopped before starting it).
  trap 'WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
  # Wine takes its code pages from the locale: ru_RU gives the ANSI code page
  # 1251 and the OEM code page 866 that the tests expect.
  mkdir "$scratch/locale"
  localedef -i ru_RU -f UTF-8 "$scratch/locale/ru_RU.UTF-8"
  unset LC_ALL LANGUAGE
  export LOCPATH="$scratch/locale" LANG=ru_RU.UTF-8
  # No debugger report of a crash on standard output (winedbg), no Mono or
  # Gecko, no Wine diagnostics.
  export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # One Wine server for the whole run, then a fresh prefix, and a first run
  # with every standard stream redirected: Wine's background processes must
  # not inherit the pipes through which CTest reads a test.
  mkdir "$WINEPREFIX"
  wineserver -p
  wineboot -i </dev/null >"$scratch/wineboot.log" 2>&1 || { cat "$scratch/wineboot.log"; exit 1; }
  wine build/win64/bin/ostrak.exe </dev/null >"$scratch/usage.txt" 2>"$scratch/usage.err"
  # "Ostrak v2.02 - п" with the Cyrillic letter in code page 866.
  if ! LC_ALL=C grep -q "^Ostrak v[0-9.]* - $(printf '\257')" "$scratch/usage.txt"; then
    echo "ostrak: Wine does not run with the code pages 1251 and 866" >&2
    exit 1
  fi
  ctest --test-dir build/win64 --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" </dev/null
  # The zip for Windows users, made from the Release build and checked in
  # the same Wine set-up.
  windows_release
  rm -f build/windows/ostrak-*.zip
  (cd build/windows && cpack -G ZIP) >build/windows/cpack.log || { cat build/windows/cpack.log >&2; exit 1; }
  sh packaging/check-zip.sh build/windows/ostrak-*.zip </dev/null
}

# The Windows program as it is shipped: 64-bit, Release.
windows_release() {
  build build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DOSTRAK_BUILD_TESTS=OFF -DOSTRAK_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
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
  sanitize)
    sanitize
    ;;
  fuzz)
    fuzz "${2:-60}"
    ;;
  bench)
    bench "${2:-500M}" "${3:-5}" "${4:-}"
    ;;
  test)
    require cmake cmake g++ g++ libgtest-dev /usr/include/gtest/gtest.h man-db man groff-base groff
    build build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    ctest --test-dir build/test --output-on-failure -j 2
    sanitize
    fuzz 60
    # A smoke run of the benchmark on a few megabytes; not a timed test.
    build/test/bin/throughput --ostrak build/test/bin/ostrak --generator build/test/bin/generate_map \
      --size 4M --runs 3
    # In a process of its own, which clears its Wine set-up when it ends.
    "$0" windows-test
    package
    ;;
  windows)
    windows_packages
    windows_release
    echo "Built build/windows/bin/ostrak.exe"
    ;;
  windows-test)
    windows_packages
    # The 32-bit program cannot run here: building it cleanly is its check.
    build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DOSTRAK_BUILD_TESTS=OFF
    build build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    wine_tests
    ;;
  *)
    echo "usage: ./build.sh example | package | sanitize | fuzz [seconds] | bench [size [runs [baseline]]] | windows | windows-test | test" >&2
    exit 2
    ;;
esac
