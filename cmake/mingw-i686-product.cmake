# Cross toolchain for what we ship: keelbrook.exe (and the benchmark's one-window floor, so that
# the two are built alike). The win32 thread model: the posix model links its thread runtime in
# statically, and that runtime imports kernel32 functions that Windows 95, 98, ME and NT 4.0 do
# not have (GetTickCount64 not even XP), so the loader would refuse the program on every system
# it is for. The program has one thread and needs none of it.
set(KB_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
