# keelbrook.exe and empty_window.exe for x86-64, built as the shipped ones are (the win32 thread
# model, static runtime) but with Debian's own compiler: this build is only run under 64-bit
# Wine, never shipped, so the processor and the system DLLs' exports do not bind it.
set(KB_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
