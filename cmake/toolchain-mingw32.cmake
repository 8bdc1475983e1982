# 32-bit Windows executables, cross-compiled with MinGW-w64 and run (tests
# included) under Wine, which needs its 32-bit part (wine32:i386) for them:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(OSTRAK_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
