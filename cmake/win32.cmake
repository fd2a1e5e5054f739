# Cross build: keelbrook.exe, its Win32 adapters and the tests that run under Wine.
set(KB_STATIC -static -static-libgcc -static-libstdc++)
set(KB_SYSTEM_LIBS comctl32 comdlg32 shell32 advapi32 gdi32 user32 kernel32)

file(GLOB KB_ADAPTER_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp src/ui/win32/*.cpp)
add_library(keelbrook_adapters STATIC ${KB_ADAPTER_SOURCES})
target_link_libraries(keelbrook_adapters PUBLIC keelbrook_core ${KB_SYSTEM_LIBS})

file(GLOB KB_SHELL_SOURCES CONFIGURE_DEPENDS src/app/win32/*.cpp)
set(KB_RC ${CMAKE_SOURCE_DIR}/src/app/win32/keelbrook.rc)
include(cmake/resources.cmake)
add_executable(keelbrook WIN32 ${KB_SHELL_SOURCES} ${KB_RC})
target_include_directories(keelbrook PRIVATE src src/app/win32 ${CMAKE_BINARY_DIR}/resources)
target_link_libraries(keelbrook PRIVATE keelbrook_adapters)
# No time stamp in the PE header: the same sources give the same bytes.
target_link_options(keelbrook PRIVATE ${KB_STATIC} -mwindows -s -Wl,--no-insert-timestamp)
if(TARGET keelbrook_images)
  add_dependencies(keelbrook keelbrook_images)
endif()

# Small programs the tests start (a fake uninstaller, the empty-window floor, ...).
file(GLOB KB_TEST_PROGRAMS CONFIGURE_DEPENDS tests/programs/*.cpp)
foreach(src ${KB_TEST_PROGRAMS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE ${KB_SYSTEM_LIBS})
  target_link_options(${name} PRIVATE ${KB_STATIC})
  list(APPEND KB_TEST_PROGRAM_TARGETS ${name})
endforeach()

file(GLOB KB_WINE_SOURCES CONFIGURE_DEPENDS tests/wine/*.cpp)
add_executable(keelbrook_wine_tests ${KB_WINE_SOURCES} ${KB_FAKE_SOURCES} ${KB_SHARED_CASES})
target_include_directories(keelbrook_wine_tests PRIVATE tests)
target_link_libraries(keelbrook_wine_tests PRIVATE keelbrook_adapters gtest_main)
target_link_options(keelbrook_wine_tests PRIVATE ${KB_STATIC})
add_test(NAME wine.adapters COMMAND keelbrook_wine_tests --gtest_brief=1)

file(GLOB KB_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
if(KB_E2E_SOURCES)
  add_executable(keelbrook_e2e ${KB_E2E_SOURCES})
  target_include_directories(keelbrook_e2e PRIVATE src tests)
  target_link_libraries(keelbrook_e2e PRIVATE gtest_main ${KB_SYSTEM_LIBS} psapi)
  target_link_options(keelbrook_e2e PRIVATE ${KB_STATIC})
  add_dependencies(keelbrook_e2e keelbrook ${KB_TEST_PROGRAM_TARGETS})
  # Each scenario starts its own keelbrook.exe, so the suites run one after another.
  add_test(NAME e2e.scenarios COMMAND keelbrook_e2e --gtest_brief=1)
  set_tests_properties(e2e.scenarios PROPERTIES ENVIRONMENT
    "KB_EXE=Z:${CMAKE_BINARY_DIR}/keelbrook.exe;KB_BIN=Z:${CMAKE_BINARY_DIR};KB_SCREENS=Z:${CMAKE_SOURCE_DIR}/build/screens")
endif()

add_test(NAME win32.imports COMMAND ${CMAKE_SOURCE_DIR}/tests/check-imports.sh $<TARGET_FILE:keelbrook>)
set_tests_properties(win32.imports PROPERTIES SKIP_RETURN_CODE 77)

include(cmake/bench.cmake OPTIONAL)
