# Benchmarks (make bench, tools/bench.sh). Not part of ctest: they measure, they do not judge.
if(KB_WIN32)
  # The driver that starts keelbrook.exe, the floor and the peer inside Wine and times them. The
  # floor, empty_window.exe, is built with keelbrook.exe (cmake/win32.cmake).
  add_executable(keelbrook_bench bench/bench_driver.cpp)
  target_include_directories(keelbrook_bench PRIVATE src tests)  # resource.h's ids, the window search
  target_link_libraries(keelbrook_bench PRIVATE psapi shell32 advapi32 user32 kernel32)
  target_link_options(keelbrook_bench PRIVATE ${KB_STATIC})
  add_custom_target(bench_programs)
  add_dependencies(bench_programs keelbrook keelbrook_bench)
else()
  # Host: registry calls per listed program, counted by the fake registry under Google Benchmark.
  # Over the unsanitized core where the build has one, so that its timings mean something too.
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    if(TARGET keelbrook_core_plain)
      set(KB_BENCH_CORE keelbrook_core_plain)
    else()
      set(KB_BENCH_CORE keelbrook_core)
    endif()
    add_executable(keelbrook_bench_host bench/registry_calls_bench.cpp ${KB_FAKE_SOURCES})
    target_include_directories(keelbrook_bench_host PRIVATE tests)
    target_link_libraries(keelbrook_bench_host PRIVATE ${KB_BENCH_CORE} benchmark::benchmark)
  endif()
endif()
