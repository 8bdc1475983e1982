# Big-endian 64-bit IBM Z (s390x) Linux executables, cross-compiled with
# Debian's g++-s390x-linux-gnu and run (tests included) under
# qemu-s390x-static:
#   cmake --preset s390x   (./build.sh cross-test prepares the machine)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(OSTRAK_CROSS_TRIPLET s390x-linux-gnu)
set(OSTRAK_QEMU_ARCH s390x)
set(OSTRAK_DEBIAN_ARCHITECTURE s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-qemu.cmake)
