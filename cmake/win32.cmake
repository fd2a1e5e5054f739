# Cross build. Two compilers are involved (see the toolchain files): what we ship is built with
# the win32 thread model in a build of its own (build/<preset>/product), which leaves
# keelbrook.exe and empty_window.exe here beside the tests; the Windows-side tests, built with the
# posix thread model that GoogleTest needs, are built here.
#
# Two such builds exist. build/win32 (i686) holds the keelbrook.exe we ship, built for the 386,
# and the checks that read it: its imports, its instructions, its icons, the zip. The Windows-side
# tests run under Wine, and only in the build of the Wine this machine runs (KB_WINE_ARCH, asked
# by tools/wine-arch.sh): build/win32 itself where 32-bit code runs, else build/win64, the
# x86-64 build of the same sources under 64-bit Wine.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KB_ARCH win64)
else()
  set(KB_ARCH win32)
endif()
set(KB_WINE_ARCH ${KB_ARCH} CACHE STRING "The Wine that runs the Windows-side tests here: win32 or win64")
if(KB_WINE_ARCH STREQUAL KB_ARCH)
  set(KB_RUNS_HERE ON)
else()
  set(KB_RUNS_HERE OFF)
endif()
# The manifest names the processor the program is built for.
if(KB_ARCH STREQUAL win64)
  set(KB_MANIFEST_ARCH amd64)
else()
  set(KB_MANIFEST_ARCH x86)
endif()

set(KB_STATIC -static -static-libgcc -static-libstdc++)
set(KB_SYSTEM_LIBS comctl32 comdlg32 shell32 advapi32 gdi32 user32 kernel32)

file(GLOB KB_ADAPTER_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp src/ui/win32/*.cpp)
add_library(keelbrook_adapters STATIC ${KB_ADAPTER_SOURCES})
target_link_libraries(keelbrook_adapters PUBLIC keelbrook_core ${KB_SYSTEM_LIBS})

if(KB_PRODUCT_ONLY)
  set(KB_OUTPUT_DIR ${KB_PRODUCT_OUTPUT_DIR})
  if(NOT KB_OUTPUT_DIR)
    set(KB_OUTPUT_DIR ${CMAKE_BINARY_DIR})
  endif()
  file(GLOB KB_SHELL_SOURCES CONFIGURE_DEPENDS src/app/win32/*.cpp)
  set(KB_RC ${CMAKE_SOURCE_DIR}/src/app/win32/keelbrook.rc)
  include(cmake/resources.cmake)
  configure_file(src/app/win32/keelbrook.manifest.in ${KB_RES_DIR}/keelbrook.manifest @ONLY)
  # Compiled once and linked twice: as shipped (stripped), and with its symbols and the linker's
  # map beside it in symbols/, which tests/check-i386.sh reads function by function (the i686
  # build only: nothing reads the x86-64 one's).
  set(KB_VARIANTS "")
  set(KB_LOAD_OPTIONS "")
  if(KB_ARCH STREQUAL win32)
    list(APPEND KB_VARIANTS _symbols)
    # Windows 95 to 2003 load a program at the address it was linked for, always: it needs no
    # table of the places to move (8 KB), and says so.
    set(KB_LOAD_OPTIONS -Wl,--disable-dynamicbase,--disable-reloc-section)
  endif()
  add_library(keelbrook_objects OBJECT ${KB_SHELL_SOURCES} ${KB_RC})
  target_include_directories(keelbrook_objects PRIVATE src src/app/win32 ${KB_RES_DIR})
  target_link_libraries(keelbrook_objects PRIVATE keelbrook_adapters)
  add_dependencies(keelbrook_objects keelbrook_images)
  # The benchmark's floor: one empty window of the main window's size, built as the program is.
  add_library(empty_window_objects OBJECT bench/empty_window.cpp)
  foreach(program keelbrook empty_window)
    foreach(variant "" ${KB_VARIANTS})
      add_executable(${program}${variant} WIN32 $<TARGET_OBJECTS:${program}_objects>)
      # No time stamp in the PE header: the same sources give the same bytes.
      target_link_options(${program}${variant} PRIVATE ${KB_STATIC} -mwindows -Wl,--no-insert-timestamp
        -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/except-table.ld ${KB_LOAD_OPTIONS})
      set_target_properties(${program}${variant} PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/except-table.ld)
    endforeach()
    target_link_options(${program} PRIVATE -s)
    set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KB_OUTPUT_DIR})
    if(TARGET ${program}_symbols)
      target_link_options(${program}_symbols PRIVATE -Wl,-Map=${CMAKE_BINARY_DIR}/symbols/${program}.map)
      set_target_properties(${program}_symbols PROPERTIES OUTPUT_NAME ${program}
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/symbols)
    endif()
  endforeach()
  foreach(variant "" ${KB_VARIANTS})
    target_link_libraries(keelbrook${variant} PRIVATE keelbrook_adapters)
    target_link_libraries(empty_window${variant} PRIVATE user32 gdi32 kernel32)
  endforeach()
  return()
endif()

# What only the tests use is built only where they run.
if(NOT KB_RUNS_HERE)
  set_target_properties(keelbrook_core keelbrook_adapters PROPERTIES EXCLUDE_FROM_ALL ON)
endif()

if(KB_ARCH STREQUAL win32)
  # The compiler and runtime for the 386 that what we ship is built with, from the cache that
  # tools/build-runtime.sh fills (make builds it before this configure runs).
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tools/build-runtime.sh --prefix
    OUTPUT_VARIABLE KB_RUNTIME ERROR_VARIABLE kb_runtime_error RESULT_VARIABLE kb_runtime_status
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT kb_runtime_status EQUAL 0)
    message(FATAL_ERROR "${kb_runtime_error}")
  endif()

  # CMake keeps the compiler a build folder was first configured with: a folder made with another
  # compiler (an older checkout's, or another runtime's) is configured afresh.
  file(GLOB kb_product_compilers ${CMAKE_BINARY_DIR}/product/CMakeFiles/*/CMakeCXXCompiler.cmake)
  foreach(kb_compiler_file ${kb_product_compilers})
    file(STRINGS ${kb_compiler_file} kb_product_compiler REGEX "^set\\(CMAKE_CXX_COMPILER ")
    if(NOT kb_product_compiler STREQUAL "set(CMAKE_CXX_COMPILER \"${KB_RUNTIME}/bin/i686-w64-mingw32-g++\")")
      file(REMOVE_RECURSE ${CMAKE_BINARY_DIR}/product ${CMAKE_BINARY_DIR}/keelbrook-prefix)
    endif()
  endforeach()
  set(kb_product_args -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686-product.cmake
                      -DKB_RUNTIME=${KB_RUNTIME})
else()
  set(kb_product_args -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-x86_64-product.cmake)
endif()

include(ExternalProject)
ExternalProject_Add(keelbrook
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/product
  CMAKE_ARGS ${kb_product_args}
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
             -DKB_PRODUCT_ONLY=ON
             -DKB_PRODUCT_OUTPUT_DIR=${CMAKE_BINARY_DIR}
  # Its own build decides what is out of date.
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/keelbrook.exe ${CMAKE_BINARY_DIR}/empty_window.exe)
set(KB_EXE_FILE ${CMAKE_BINARY_DIR}/keelbrook.exe)

if(KB_ARCH STREQUAL win32)
  # Every function keelbrook.exe imports, against the audited list of what Windows 95 and NT 4.0
  # export.
  add_test(NAME win32.imports
    COMMAND ${CMAKE_SOURCE_DIR}/tests/check-imports.sh ${KB_EXE_FILE} ${CMAKE_SOURCE_DIR}/tests/imports/audited-imports.txt)

  # Every icon image of keelbrook.exe, read from the program file: an icon group's, which the
  # shell lists and draws, must be plain (no PNG, which Windows draws only from Vista on, and not
  # packed); and wherever the mask leaves a pixel out its colour must be black, or the systems
  # that draw icons with their mask (Windows 95 to 2000) XOR it onto the screen.
  add_test(NAME win32.icon-masks
    COMMAND ${CMAKE_BINARY_DIR}/product/tools/imagegen --check ${CMAKE_SOURCE_DIR}/resources/images.txt ${KB_EXE_FILE})

  # No instruction newer than the 386 in the code of what we ship, checked on the twins linked
  # with their symbols (build/win32/product/symbols).
  set(kb_symbols ${CMAKE_BINARY_DIR}/product/symbols)
  add_test(NAME win32.i386
    COMMAND ${CMAKE_SOURCE_DIR}/tests/check-i386.sh
      ${KB_EXE_FILE} ${kb_symbols}/keelbrook.exe ${kb_symbols}/keelbrook.map
      ${CMAKE_BINARY_DIR}/empty_window.exe ${kb_symbols}/empty_window.exe ${kb_symbols}/empty_window.map)
  # And the check seen failing: on a program of one function that uses the 486's LOCK XADD.
  set(kb_xadd ${CMAKE_BINARY_DIR}/check-i386-xadd)
  add_custom_command(OUTPUT ${kb_xadd}.exe ${kb_xadd}.map
    COMMAND ${CMAKE_C_COMPILER} -nostdlib -Wl,-e,_start -Wl,-Map,${kb_xadd}.map -o ${kb_xadd}.exe
            ${CMAKE_SOURCE_DIR}/tests/check-i386-xadd.s
    DEPENDS ${CMAKE_SOURCE_DIR}/tests/check-i386-xadd.s VERBATIM)
  add_custom_target(check_i386_xadd ALL DEPENDS ${kb_xadd}.exe)
  add_test(NAME win32.i386-finds-xadd
    COMMAND ${CMAKE_SOURCE_DIR}/tests/check-i386.sh ${kb_xadd}.exe ${kb_xadd}.exe ${kb_xadd}.map)
  set_tests_properties(win32.i386-finds-xadd PROPERTIES
    PASS_REGULAR_EXPRESSION "NEWER THAN THE 386 .* lock xadd .*FAILED: 1 instructions newer than the 386 \\( xadd 1 \\)")

  # The release zip: reproducible, its files in place, its text files readable on Windows 95.
  add_test(NAME win32.dist COMMAND ${CMAKE_SOURCE_DIR}/tests/check-dist.sh ${CMAKE_BINARY_DIR})

  # Both Wines' loaders, as the scripts and the toolchain files name them, on either kind of
  # machine: each path is read here even where only the other one runs.
  add_test(NAME win32.wine-loaders COMMAND ${CMAKE_SOURCE_DIR}/tests/check-wine-loaders.sh)
endif()

if(NOT KB_RUNS_HERE)
  return()
endif()

# Small programs the tests start (a fake uninstaller, a file holder, ...), with the program's
# adapters at hand.
file(GLOB KB_TEST_PROGRAMS CONFIGURE_DEPENDS tests/programs/*.cpp)
foreach(src ${KB_TEST_PROGRAMS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE keelbrook_adapters)
  target_link_options(${name} PRIVATE ${KB_STATIC})
  list(APPEND KB_TEST_PROGRAM_TARGETS ${name})
endforeach()

file(GLOB KB_WINE_SOURCES CONFIGURE_DEPENDS tests/wine/*.cpp)
add_executable(keelbrook_wine_tests ${KB_WINE_SOURCES} ${KB_FAKE_SOURCES} ${KB_SHARED_CASES})
target_include_directories(keelbrook_wine_tests PRIVATE tests)
target_link_libraries(keelbrook_wine_tests PRIVATE keelbrook_adapters gtest_main)
target_link_options(keelbrook_wine_tests PRIVATE ${KB_STATIC})
add_dependencies(keelbrook_wine_tests keelbrook)
add_test(NAME wine.adapters COMMAND keelbrook_wine_tests --gtest_brief=1)
kb_count_cases(wine.adapters "Z:")

file(GLOB KB_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
if(KB_E2E_SOURCES)
  # The page layout too, and the reading of the pictures: the scenarios check the window against them.
  add_executable(keelbrook_e2e ${KB_E2E_SOURCES} ${CMAKE_SOURCE_DIR}/src/app/win32/page_layout.cpp
                ${CMAKE_SOURCE_DIR}/src/ui/icon_image.cpp)
  target_include_directories(keelbrook_e2e PRIVATE src tests)
  target_link_libraries(keelbrook_e2e PRIVATE gtest_main ${KB_SYSTEM_LIBS} psapi)
  target_link_options(keelbrook_e2e PRIVATE ${KB_STATIC})
  add_dependencies(keelbrook_e2e keelbrook ${KB_TEST_PROGRAM_TARGETS})
  # Each scenario starts its own keelbrook.exe, so the suites run one after another.
  add_test(NAME e2e.scenarios COMMAND keelbrook_e2e --gtest_brief=1)
  set_tests_properties(e2e.scenarios PROPERTIES ENVIRONMENT
    "KB_EXE=Z:${KB_EXE_FILE};KB_BIN=Z:${CMAKE_BINARY_DIR};KB_SCREENS=Z:${CMAKE_SOURCE_DIR}/build/screens")
  kb_count_cases(e2e.scenarios "Z:")
endif()

include(cmake/bench.cmake)
