# Cross toolchain: MinGW-w64 for 32-bit Windows, and Wine as the emulator so that ctest runs the
# Windows-side tests. The tests take the posix thread model, which GoogleTest needs;
# keelbrook.exe is built with the win32 one (cmake/mingw-i686-product.cmake says why).
if(NOT KB_THREAD_MODEL)
  set(KB_THREAD_MODEL posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${KB_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${KB_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
