# Host build: the portable core and its unit tests, natively, under ASan and UBSan.
set(KB_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(keelbrook_core PRIVATE ${KB_SANITIZE})
target_link_options(keelbrook_core PUBLIC ${KB_SANITIZE})

# The fuzz targets' entry functions join the suite, which replays their seeds and past crashes.
file(GLOB KB_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp tests/fuzz/*_fuzz.cpp)
add_executable(keelbrook_unit ${KB_UNIT_SOURCES} ${KB_FAKE_SOURCES} ${KB_SHARED_CASES})
target_include_directories(keelbrook_unit PRIVATE tests)
target_compile_options(keelbrook_unit PRIVATE ${KB_SANITIZE})
target_link_libraries(keelbrook_unit PRIVATE keelbrook_core gtest_main)
add_test(NAME host.unit COMMAND keelbrook_unit --gtest_brief=1)
kb_count_cases(host.unit "")

# ---- The same suite without sanitizers, for valgrind's memcheck (tools/valgrind-host.sh):
# ASan's shadow memory and valgrind cannot share a process, so this twin has its own unsanitized
# copy of the core. Optimised lightly, since memcheck runs code some thirty times slower. Not
# registered with ctest; the script runs it.
add_library(keelbrook_core_plain STATIC ${KB_CORE_SOURCES})
target_include_directories(keelbrook_core_plain PUBLIC src)
target_compile_options(keelbrook_core_plain PRIVATE -O1 -g)
add_executable(keelbrook_unit_plain ${KB_UNIT_SOURCES} ${KB_FAKE_SOURCES} ${KB_SHARED_CASES})
target_include_directories(keelbrook_unit_plain PRIVATE tests)
target_compile_options(keelbrook_unit_plain PRIVATE -O1 -g)
target_link_libraries(keelbrook_unit_plain PRIVATE keelbrook_core_plain gtest_main)

include(cmake/bench.cmake)

# The same suite once under valgrind's memcheck, and a short run of every fuzz target (their
# clang build lives in build/fuzz), so that `make test` covers both.
add_test(NAME host.valgrind COMMAND ${CMAKE_SOURCE_DIR}/tools/valgrind-host.sh)
set_tests_properties(host.valgrind PROPERTIES ENVIRONMENT "KB_HOST_BUILD=${CMAKE_BINARY_DIR}")
kb_count_cases(host.valgrind "")
add_test(NAME host.fuzz-smoke COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz.sh --smoke)
set_tests_properties(host.fuzz-smoke PROPERTIES ENVIRONMENT "KB_FUZZ_BUILD=${CMAKE_SOURCE_DIR}/build/fuzz")
