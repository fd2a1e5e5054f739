# Cross toolchain for what we ship: keelbrook.exe (and the benchmark's one-window floor, so that
# the two are built alike). The win32 thread model: the posix model links its thread runtime in
# statically, and that runtime imports kernel32 functions that Windows 95, 98, ME and NT 4.0 do
# not have (GetTickCount64 not even XP), so the loader would refuse the program on every system
# it is for. The program has one thread and needs none of it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
