# Fuzz targets: one libFuzzer executable per tests/fuzz/*_fuzz.cpp, over its own instrumented
# copy of the portable core and the fakes. Host only, clang only:
#   cmake -S . -B build/fuzz -DKB_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
#   cmake --build build/fuzz --target fuzz_targets
# tools/fuzz.sh does both and runs them.
if(KB_WIN32)
  message(FATAL_ERROR "KB_FUZZ is for the host build; libFuzzer does not run under MinGW")
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KB_FUZZ needs clang (libFuzzer): configure with "
                      "-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
endif()

# Optimised enough to be fast, with what a crash report needs to be read.
set(KB_FUZZ_FLAGS -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=all)

add_library(keelbrook_core_fuzz STATIC ${KB_CORE_SOURCES} ${KB_FAKE_SOURCES})
target_include_directories(keelbrook_core_fuzz PUBLIC src tests)
target_compile_options(keelbrook_core_fuzz PRIVATE ${KB_FUZZ_FLAGS})

file(GLOB KB_FUZZ_TARGET_SOURCES CONFIGURE_DEPENDS tests/fuzz/*_fuzz.cpp)
add_custom_target(fuzz_targets)
foreach(source ${KB_FUZZ_TARGET_SOURCES})
  get_filename_component(target ${source} NAME_WE)
  add_executable(${target} ${source})
  target_compile_definitions(${target} PRIVATE KB_LIBFUZZER=1)
  target_compile_options(${target} PRIVATE ${KB_FUZZ_FLAGS})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${target} PRIVATE keelbrook_core_fuzz)
  add_dependencies(fuzz_targets ${target})
endforeach()
