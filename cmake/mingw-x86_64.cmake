# MinGW-w64 for 64-bit Windows: the same sources built for x86-64, for the machines that run no
# 32-bit code (tools/wine-arch.sh), under 64-bit Wine. Its loader is named: Debian's `wine`
# script takes the 32-bit one whenever it is installed, and there it cannot run.
set(KB_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KB_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
