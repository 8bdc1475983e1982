#!/bin/sh
# Builds ostrak and runs its checks. The build configurations are CMake's
# presets (CMakePresets.json, one build folder each: build/<preset>); this
# script adds what CMake cannot do: it installs the Debian packages a phase
# needs, prepares Wine, and ends every run with a verdict.
#
#   ./build.sh quick     builds the Linux program with its tests and runs all
#                        but the slow and integration ones (about a minute):
#                        the check for everyday work
#   ./build.sh example   builds the Release program (build/release/bin/ostrak)
#                        and converts examples/town.mp into build/town-garmin.mp
#   ./build.sh package   builds the Debian package into build/package and
#                        checks it (packaging/check-deb.sh)
#   ./build.sh sanitize  runs the test suite built with the address and
#                        undefined-behaviour sanitizers
#   ./build.sh fuzz [S]  fuzzes the converter for S seconds (default 60)
#   ./build.sh bench [SIZE] [RUNS] [BASELINE]
#                        compares ostrak with cat on a generated map of SIZE
#                        (default 500M; keeps nothing), and with the ostrak
#                        program BASELINE (an earlier build) when given
#   ./build.sh windows   cross-compiles the Release programs for Windows
#                        (build/win64-release/bin/ostrak.exe, 64-bit, and
#                        build/win32-release/bin/ostrak.exe, 32-bit) and packs
#                        and checks both zips for Windows in build/windows
#                        (packaging/check-zip.sh: contents, machine type, the
#                        example converted under Wine)
#   ./build.sh windows-test
#                        cross-compiles the 64-bit and the 32-bit Windows
#                        program with their tests, runs both test suites under
#                        Wine, then does what windows does
#   ./build.sh cross-test
#                        cross-compiles the Linux program with its tests for
#                        aarch64 and for big-endian s390x and runs both suites
#                        under qemu, then builds and checks the Debian package
#                        for arm64; says NOT RUN, and why, where the machine
#                        cannot run them
#   ./build.sh test      builds everything and runs the whole test suite: the
#                        Linux build's, the sanitizer run, 60 s of fuzzing, a
#                        small benchmark, the Windows builds' (windows-test),
#                        the Debian package, the emulated ones' (cross-test)
#
# Each phase starts with a heading that shows the time since the start; the
# run ends with one line that says whether it passed. Build output goes to a
# log in the build folder and is shown only when the build fails.
#
# Missing Debian packages are installed when run as root; otherwise the
# script stops and names them.
set -eu
cd "$(dirname "$0")"
top=$(pwd)
jobs=$(nproc 2>/dev/null || getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2)

# The start of the run, kept by the windows-test run that test starts, so
# that its headings count from the same start.
OSTRAK_BUILD_START=${OSTRAK_BUILD_START:-$(date +%s)}
export OSTRAK_BUILD_START

# Minutes and seconds since the start of the run.
elapsed() {
  seconds=$(($(date +%s) - OSTRAK_BUILD_START))
  printf '%d:%02d' $((seconds / 60)) $((seconds % 60))
}

# phase TITLE: the heading of the next phase.
phase() {
  current=$1
  printf '\n==> [%s] %s\n' "$(elapsed)" "$1"
}

# The run this one is part of (windows-test within test), which gives the
# verdict.
within=${OSTRAK_WITHIN:-}

# passed WHAT...: the verdict line at the end of a run.
passed() {
  current=""
  [ -n "$within" ] || printf '\n==> PASSED: ./build.sh %s in %s: %s\n' "$target" "$(elapsed)" "$*"
}

# At the end of the run: the cleanup a phase left, and a verdict when a phase
# failed.
current=""
cleanup=""
finish() {
  status=$?
  [ -z "$cleanup" ] || "$cleanup"
  if [ "$status" -ne 0 ] && [ -n "$current" ]; then
    printf '\n==> FAILED: ./build.sh %s in "%s" after %s\n' "${within:-$target}" "$current" "$(elapsed)" >&2
  fi
  exit "$status"
}
trap finish EXIT

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
    # A package of another architecture (wine32:i386) needs dpkg to know it.
    for package in $missing; do
      case $package in
        *:*) dpkg --print-foreign-architectures | grep -qx "${package#*:}" || dpkg --add-architecture "${package#*:}" ;;
      esac
    done
    apt-get update -q >/dev/null
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing >/dev/null
  else
    case $missing in
      *:*) echo "ostrak: missing Debian packages; add their architecture first (sudo dpkg --add-architecture i386)," \
        "then install them with: sudo apt-get update && sudo apt-get install$missing" >&2 ;;
      *) echo "ostrak: missing Debian packages; install them with: sudo apt-get install$missing" >&2 ;;
    esac
    exit 1
  fi
}

# build PRESET: configures and builds the preset in build/PRESET. The output
# goes to build/PRESET/build.log and is shown when the build fails.
build() {
  dir=build/$1
  echo "Building preset $1 in $dir (log: $dir/build.log)"
  mkdir -p "$dir"
  if ! { cmake --preset "$1" && cmake --build --preset "$1" -j "$jobs"; } >"$dir/build.log" 2>&1; then
    cat "$dir/build.log" >&2
    exit 1
  fi
  # CMake's warnings are no failure, but the log must not hide them.
  sed -n '/^CMake .*Warning/,/^$/p' "$dir/build.log" >&2
}

# run_tests PRESET DIR [CTEST OPTIONS]: runs the test preset on the build in
# DIR, then gives the reason of each skipped test, which CTest does not show:
# the line after a GoogleTest "Skipped", or a test script's "SKIPPED:" line.
run_tests() {
  test_preset=$1
  test_dir=$2
  shift 2
  ctest --preset "$test_preset" -j "$jobs" "$@" </dev/null
  awk '{ sub(/\r$/, "") }
       /^[0-9]+\/[0-9]+ Test: / { name = $3 }
       reason { print "Skipped " name ": " $0; reason = 0 }
       /: Skipped$/ { reason = 1 }
       /^SKIPPED: / { sub(/^SKIPPED: /, ""); print "Skipped " name ": " $0 }' "$test_dir/Testing/Temporary/LastTest.log"
}

linux_packages() {
  require cmake cmake ninja-build ninja g++ g++ libgtest-dev /usr/include/gtest/gtest.h man-db man groff-base groff
}

# The Linux build with its tests, the first check of every change: all of
# them, or the quick selection.
linux_tests() {
  phase "Linux build and its tests (build/test)"
  linux_packages
  build test
  run_tests "$1" build/test
}

# debian_package PRESET ARCH: the Debian package for the Debian architecture
# ARCH, built with Debian's own compiler and hardening flags for it, and
# checked.
debian_package() {
  phase "Debian package for $2 (build/$1), checked by packaging/check-deb.sh"
  require cmake cmake ninja-build ninja g++ g++ dpkg-dev dpkg-shlibdeps man-db man groff-base groff lintian lintian
  dir=build/$1
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  OSTRAK_PACKAGE_CXXFLAGS="$(DEB_HOST_ARCH=$2 dpkg-buildflags --get CPPFLAGS) $(DEB_HOST_ARCH=$2 dpkg-buildflags --get CXXFLAGS)"
  OSTRAK_PACKAGE_LDFLAGS=$(DEB_HOST_ARCH=$2 dpkg-buildflags --get LDFLAGS)
  export OSTRAK_PACKAGE_CXXFLAGS OSTRAK_PACKAGE_LDFLAGS
  build "$1"
  rm -f "$dir"/ostrak_*.deb "$dir"/ostrak_*.deb.sha256
  (cd "$dir" && cpack -G DEB) >"$dir/cpack.log" || { cat "$dir/cpack.log" >&2; exit 1; }
  sh packaging/check-deb.sh "$dir"/ostrak_*_"$2".deb "$2"
}

# The suite once more, with every target built with sanitizers.
sanitize() {
  phase "Sanitizer build and its tests (build/sanitize)"
  linux_packages
  build sanitize
  run_tests sanitize build/sanitize
}

# Coverage-guided fuzzing of the file layer, section filter and converter,
# seeded with the test maps; any finding fails.
fuzz() {
  phase "Fuzzing for $1 s (build/fuzz)"
  require clang clang ninja-build ninja
  # libFuzzer lies beside the compiler's builtins library, in the package of
  # its runtime libraries.
  fuzzer=$(clang --rtlib=compiler-rt -print-libgcc-file-name | sed 's/builtins/fuzzer/')
  require "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev" "$fuzzer"
  dir=build/fuzz
  build fuzz
  mkdir -p "$dir/corpus" "$dir/findings"
  "$dir/bin/fuzz_convert" -max_total_time="$1" -max_len=4096 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$dir/findings/" "$dir/corpus" tests/data tests/data/hostile >"$dir/fuzz.log" 2>&1 ||
    { tail -n 40 "$dir/fuzz.log" >&2; echo "fuzzing found a problem; see $dir/findings" >&2; exit 1; }
  grep -E '^Done|stat::number_of_executed_units' "$dir/fuzz.log"
}

# Throughput against cat on a generated map (Release build).
bench() {
  phase "Benchmark on a generated map of $1 (build/release)"
  require cmake cmake ninja-build ninja g++ g++
  build release
  build/release/bin/throughput --ostrak build/release/bin/ostrak --generator build/release/bin/generate_map \
    --size "$1" --runs "$2" --split build/release/bin/ostrak-split ${3:+--baseline "$3"}
}

windows_packages() {
  require g++-mingw-w64-x86-64 x86_64-w64-mingw32-g++-posix g++-mingw-w64-i686 i686-w64-mingw32-g++-posix \
    cmake cmake ninja-build ninja googletest /usr/src/googletest/CMakeLists.txt binutils as
}

# Why the 32-bit Windows program cannot run here, or nothing when it can. The
# 32-bit Wine is a 32-bit Linux program, and a kernel may be built or started
# without those (ia32_emulation=off); there, installing the 32-bit Wine would
# even stop the 64-bit one, which is started through it. A 32-bit program
# that only exits tells.
no_wine32_reason() {
  probe=$(mktemp -d)
  # shellcheck disable=SC2016 # assembly, not shell
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$probe/exit.s"
  as --32 -o "$probe/exit.o" "$probe/exit.s"
  ld -m elf_i386 -o "$probe/exit" "$probe/exit.o"
  if ! "$probe/exit" 2>/dev/null; then
    echo "this Linux kernel runs no 32-bit programs (built or started without IA32 emulation), and so no 32-bit Wine"
  fi
  rm -rf "$probe"
}

# The Windows programs as they are shipped, Release: the 64-bit one in
# build/win64-release, the 32-bit one in build/win32-release.
windows_release() {
  build win64-release
  build win32-release
}

# At the end the Wine server and its processes go (there is none to end when
# the run stopped before starting it), and the prefix with them.
wine_cleanup() {
  WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null || true
  rm -rf "$scratch"
}

# Prepares Wine for this process: one Wine prefix of its own, in which both
# the 64-bit and the 32-bit programs run, removed when the process ends.
wine_setup() {
  phase "Wine prefix for the 64-bit and the 32-bit program"
  require wine wine wine64 /usr/lib/wine/wine64 locales /usr/share/i18n/locales/ru_RU unzip unzip
  if [ -z "$no_wine32" ]; then
    require wine32:i386 /usr/lib/wine/wine
  else
    echo "No 32-bit Wine: $no_wine32."
  fi
  scratch=$(mktemp -d)
  cleanup=wine_cleanup
  # Wine takes its code pages from the locale: ru_RU gives the ANSI code page
  # 1251 and the OEM code page 866 that the tests expect.
  mkdir "$scratch/locale"
  localedef -i ru_RU -f UTF-8 "$scratch/locale/ru_RU.UTF-8"
  unset LC_ALL LANGUAGE
  export LOCPATH="$scratch/locale" LANG=ru_RU.UTF-8
  # No debugger report of a crash on standard output (winedbg), no Mono or
  # Gecko, no Wine diagnostics.
  export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # One Wine server for the whole run, then a fresh prefix.
  mkdir "$WINEPREFIX"
  wineserver -p
  wineboot -i </dev/null >"$scratch/wineboot.log" 2>&1 || { cat "$scratch/wineboot.log"; exit 1; }
}

# windows_suite BITS: builds build/winBITS with its tests and runs them under
# Wine; where the 32-bit program cannot run, its build is all.
windows_suite() {
  phase "Windows $1-bit program and its tests under Wine (build/win$1)"
  build "win$1"
  if [ "$1" = 32 ] && [ -n "$no_wine32" ]; then
    printf '\n==> NOT RUN: the Windows 32-bit tests, built but not run: %s.\n' "$no_wine32"
    return 0
  fi
  # A first run with every standard stream redirected: Wine's background
  # processes must not inherit the pipes through which CTest reads a test.
  wine "build/win$1/bin/ostrak.exe" </dev/null >"$scratch/usage.txt" 2>"$scratch/usage.err"
  # "Ostrak v2.03 - п" with the Cyrillic letter in code page 866.
  if ! LC_ALL=C grep -q "^Ostrak v[0-9.]* - $(printf '\257')" "$scratch/usage.txt"; then
    echo "ostrak: Wine does not run the $1-bit program with the code pages 1251 and 866" >&2
    exit 1
  fi
  # Wine now and then fails to start a program at all ("ShellExecuteEx
  # failed"), before any of its code runs: a test that fails is run once
  # more, and CTest names it when that second run passes.
  run_tests "win$1" "build/win$1" --repeat until-pass:2
}

# The zips for Windows users, made from the Release builds and checked in the
# Wine set-up.
windows_zips() {
  phase "Windows zips (build/windows), checked by packaging/check-zip.sh"
  windows_release
  mkdir -p build/windows
  rm -f build/windows/ostrak-*.zip
  for dir in build/win64-release build/win32-release; do
    (cd "$dir" && cpack -G ZIP -B "$top/build/windows") >"$dir/cpack.log" || { cat "$dir/cpack.log" >&2; exit 1; }
  done
  sh packaging/check-zip.sh build/windows/ostrak-*-win64.zip </dev/null
  sh packaging/check-zip.sh build/windows/ostrak-*-win32.zip ${no_wine32:+"$no_wine32"} </dev/null
}

# Wine for the Windows programs: the packages, and whether the 32-bit one
# can run here.
windows_setup() {
  windows_packages
  no_wine32=$(no_wine32_reason)
  wine_setup
}

# What windows-test runs on this machine, for the verdict.
windows_summary() {
  no_wine32=$(no_wine32_reason)
  if [ -z "$no_wine32" ]; then
    echo "the Windows 64-bit and 32-bit tests under Wine and both zips"
  else
    echo "the Windows 64-bit tests under Wine and both zips, but NOT the 32-bit tests: $no_wine32"
  fi
}

# The Linux targets built here and run under qemu's user-mode emulation:
# Debian's name of each architecture and qemu's.
cross_targets="arm64:aarch64 s390x:s390x"

# Why the programs of the emulated targets cannot be built and run here, or
# nothing when they can. As root it installs what they need: the cross
# compilers, qemu, and the C and C++ libraries of the targets' Debian
# architectures, from which qemu takes the loader, the libraries and the
# gconv modules of iconv, and which dpkg-shlibdeps reads for the arm64
# package. It mounts binfmt_misc when needed and registers its qemu-aarch64
# and qemu-s390x entries when they are missing, through which the end-to-end
# tests start a foreign program as if it were native; every other entry stays
# as it is (binfmt-support, which would register them all, is left out).
no_cross_reason() {
  missing=""
  for entry in g++-aarch64-linux-gnu:aarch64-linux-gnu-g++ g++-s390x-linux-gnu:s390x-linux-gnu-g++ \
    qemu-user-static:qemu-aarch64-static googletest:/usr/src/googletest/CMakeLists.txt \
    dpkg-dev:dpkg-shlibdeps lintian:lintian ninja-build:ninja \
    libc6:arm64:/usr/lib/aarch64-linux-gnu/gconv/gconv-modules \
    libstdc++6:arm64:/usr/lib/aarch64-linux-gnu/libstdc++.so.6 \
    libc6:s390x:/usr/lib/s390x-linux-gnu/gconv/gconv-modules \
    libstdc++6:s390x:/usr/lib/s390x-linux-gnu/libstdc++.so.6; do
    file=${entry##*:}
    if [ ! -e "$file" ] && ! command -v "$file" >/dev/null 2>&1; then missing="$missing ${entry%:*}"; fi
  done
  if [ -n "$missing" ]; then
    if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null 2>&1; then
      echo "not root, and missing Debian packages:$missing"
      return 0
    fi
    echo "Installing:$missing" >&2
    for target in $cross_targets; do
      arch=${target%%:*}
      dpkg --print-foreign-architectures | grep -qx "$arch" || dpkg --add-architecture "$arch" ||
        { echo "dpkg cannot add the architecture $arch"; return 0; }
    done
    # shellcheck disable=SC2086
    if ! DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null ||
      ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing >/dev/null; then
      echo "the Debian packages$missing could not be installed"
      return 0
    fi
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    [ "$(id -u)" = 0 ] || { echo "binfmt_misc is not mounted at $binfmt, and only root can mount it"; return 0; }
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
      { echo "binfmt_misc cannot be mounted at $binfmt (a kernel without it, or a container that may not)"; return 0; }
  fi
  for target in $cross_targets; do
    entry=$binfmt/qemu-${target#*:}
    if [ -e "$entry" ]; then
      grep -qx enabled "$entry" || { echo "the binfmt_misc entry $(basename "$entry") is there but disabled"; return 0; }
      continue
    fi
    [ "$(id -u)" = 0 ] || { echo "the binfmt_misc entry $(basename "$entry") is missing, and only root can register it"; return 0; }
    # The entry as the qemu package describes it; its F flag opens the
    # emulator at once, so that it is found in any mount namespace.
    conf=/usr/lib/binfmt.d/$(basename "$entry").conf
    grep -m1 '^:' "$conf" >"$binfmt/register" 2>/dev/null ||
      { echo "the binfmt_misc entry $(basename "$entry") cannot be registered from $conf"; return 0; }
    echo "Registered the binfmt_misc entry $(basename "$entry")" >&2
  done
}

# cross_suite ARCH: the Linux program of ARCH (aarch64 or s390x) with its
# tests, run under qemu.
cross_suite() {
  phase "Linux $1 program and its tests under qemu (build/$1)"
  build "$1"
  run_tests "$1" "build/$1"
}

# Both emulated suites and the arm64 package, or a NOT RUN line with the
# reason, which no_cross keeps for the verdict.
cross_test() {
  phase "Cross compilers, qemu and its binfmt_misc entries for aarch64 and s390x"
  no_cross=$(no_cross_reason)
  if [ -n "$no_cross" ]; then
    printf '\n==> NOT RUN: the aarch64 and s390x tests under qemu and the arm64 package: %s.\n' "$no_cross"
    return 0
  fi
  cross_suite aarch64
  cross_suite s390x
  debian_package package-arm64 arm64
}

# What cross_test ran, for the verdict.
cross_summary() {
  if [ -z "$no_cross" ]; then
    echo "the aarch64 and s390x tests under qemu and the arm64 package"
  else
    echo "but NOT the aarch64 and s390x tests under qemu nor the arm64 package: $no_cross"
  fi
}

target=${1:-}
case "$target" in
  quick)
    linux_tests quick
    passed "the Linux build and its tests but the slow and integration ones"
    ;;
  example)
    phase "Release build and the example map (build/release)"
    require cmake cmake ninja-build ninja g++ g++
    build release
    build/release/bin/ostrak examples/town.mp build/town-garmin.mp
    echo "Converted examples/town.mp ($(wc -c <examples/town.mp) bytes) into build/town-garmin.mp" \
      "($(wc -c <build/town-garmin.mp) bytes, $(grep -c '^\[POLYLINE\]' build/town-garmin.mp) address lines)."
    passed "the Release program build/release/bin/ostrak and the example map build/town-garmin.mp"
    ;;
  package)
    debian_package package "$(dpkg --print-architecture)"
    passed "the Debian package, built and checked"
    ;;
  sanitize)
    sanitize
    passed "the tests built with sanitizers"
    ;;
  fuzz)
    fuzz "${2:-60}"
    passed "${2:-60} s of fuzzing without a finding"
    ;;
  bench)
    bench "${2:-500M}" "${3:-5}" "${4:-}"
    passed "the benchmark on ${2:-500M}"
    ;;
  test)
    linux_tests test
    sanitize
    fuzz 60
    phase "Benchmark smoke run on 4 MB (not a timed test)"
    build/test/bin/throughput --ostrak build/test/bin/ostrak --generator build/test/bin/generate_map \
      --split build/test/bin/ostrak-split --size 4M --runs 3
    # In a process of its own, which clears its Wine set-up when it ends and
    # names its own phase when it fails.
    current=""
    OSTRAK_WITHIN="test" "$0" windows-test
    debian_package package "$(dpkg --print-architecture)"
    cross_test
    passed "the Linux tests, the sanitizer tests, 60 s of fuzzing, the benchmark smoke run, the Debian package," \
      "$(windows_summary), $(cross_summary)"
    ;;
  cross-test)
    cross_test
    passed "$(cross_summary)"
    ;;
  windows)
    windows_setup
    windows_zips
    passed "both Windows programs and their zips in build/windows, checked"
    ;;
  windows-test)
    windows_setup
    windows_suite 64
    windows_suite 32
    windows_zips
    passed "$(windows_summary)"
    ;;
  *)
    echo "usage: ./build.sh quick | example | package | sanitize | fuzz [seconds] | bench [size [runs [baseline]]]" \
      "| windows | windows-test | cross-test | test" >&2
    exit 2
    ;;
esac
