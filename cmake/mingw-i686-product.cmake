# Cross toolchain for what we ship: keelbrook.exe (and the benchmark's one-window floor, so that
# the two are built alike). The win32 thread model: the posix model links its thread runtime in
# statically, and that runtime imports kernel32 functions that Windows 95, 98, ME and NT 4.0 do
# not have (GetTickCount64 not even XP), so the loader would refuse the program on every system
# it is for. The program has one thread and needs none of it.
set(KB_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)

# The processor: the 386. Debian's compiler and every runtime archive it links were built for
# the Pentium Pro, so the program is built with the compiler and runtime that
# tools/build-runtime.sh builds from Debian's sources for the 386 (win32.cmake passes its
# folder), and its own code is compiled and assembled for the 386 as well, with the same flags
# as that runtime (the script says why this tuning, and what +387 means).
if(NOT KB_RUNTIME)
  message(FATAL_ERROR "KB_RUNTIME is not set: the folder tools/build-runtime.sh prints")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KB_RUNTIME)
set(CMAKE_C_COMPILER ${KB_RUNTIME}/bin/i686-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER ${KB_RUNTIME}/bin/i686-w64-mingw32-g++)
set(CMAKE_FIND_ROOT_PATH ${KB_RUNTIME}/i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-march=i386 -mtune=pentium -Wa,-march=i386+387")
set(CMAKE_CXX_FLAGS_INIT "-march=i386 -mtune=pentium -Wa,-march=i386+387")
