# Cross toolchain for Windows, included by the toolchain file of each processor
# (mingw-i686.cmake, mingw-x86_64.cmake), which sets KB_TRIPLET, CMAKE_SYSTEM_PROCESSOR and the
# Wine loader that runs its programs. The tests take the posix thread model, which GoogleTest
# needs; keelbrook.exe is built with the win32 one (cmake/mingw-i686-product.cmake says why).
if(NOT KB_THREAD_MODEL)
  set(KB_THREAD_MODEL posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KB_TRIPLET}-gcc-${KB_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${KB_TRIPLET}-g++-${KB_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${KB_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KB_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the Windows-side tests under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${KB_WINE_LOADER})
