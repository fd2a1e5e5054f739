# MinGW-w64 for 32-bit Windows, run under 32-bit Wine: Debian's `wine` script, named by its file,
# takes the 32-bit loader whenever it is installed.
set(KB_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KB_WINE_LOADER /usr/bin/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
