# 64-bit ARM Linux executables, cross-compiled with Debian's
# g++-aarch64-linux-gnu and run (tests included) under qemu-aarch64-static:
#   cmake --preset aarch64   (./build.sh cross-test prepares the machine)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(OSTRAK_CROSS_TRIPLET aarch64-linux-gnu)
set(OSTRAK_QEMU_ARCH aarch64)
set(OSTRAK_DEBIAN_ARCHITECTURE arm64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-qemu.cmake)
