# Shared part of the toolchain files of the Linux targets run under qemu's
# user-mode emulation: cross-compiles with the Debian cross compilers of the
# triplet in OSTRAK_CROSS_TRIPLET, whose libraries lie in /usr/<triplet>.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${OSTRAK_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${OSTRAK_CROSS_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${OSTRAK_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs the test programs through qemu, and the programs the tests start
# themselves reach it through binfmt_misc. qemu takes the target's loader and
# libraries from this machine's multiarch folders (libc6 and libstdc++6 of the
# target's Debian architecture), whose gconv modules iconv needs. No -L to the
# cross libraries: their loader, mixed with the newer multiarch C library that
# the system's library cache points to, hangs or crashes a forked child.
find_program(OSTRAK_QEMU qemu-${OSTRAK_QEMU_ARCH}-static)
if(OSTRAK_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${OSTRAK_QEMU})
  # qemu-user takes limits on memory without keeping to them.
  set(OSTRAK_USER_MODE_EMULATION ON)
endif()
