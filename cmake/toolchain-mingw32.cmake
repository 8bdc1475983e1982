# 32-bit Windows executables, cross-compiled with MinGW-w64:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
# They need a 32-bit Wine (or Windows) to run, so a build of this target has
# no emulator for its tests.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(OSTRAK_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
