# Shared part of the MinGW-w64 toolchain files: cross-compiles for Windows
# with the Debian MinGW-w64 compilers of the triplet in OSTRAK_MINGW_TRIPLET.
#
# The -posix compilers are used: their thread model gives the C++ runtime the
# std::mutex that GoogleTest needs. Everything is linked statically, so the
# executables need no DLL beyond those of Windows itself.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${OSTRAK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OSTRAK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${OSTRAK_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OSTRAK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest runs the test programs through Wine, which shows this machine's root
# folder to them as drive Z:.
find_program(OSTRAK_WINE wine)
if(OSTRAK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${OSTRAK_WINE})
  set(OSTRAK_EMULATOR_ROOT "Z:")
endif()
