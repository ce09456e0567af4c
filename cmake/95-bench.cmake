# Micro-benchmarks (Google Benchmark), one file per subsystem in bench/.
find_package(benchmark QUIET)
file(GLOB ORBIKA_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/bench_*.cpp)
if(benchmark_FOUND AND ORBIKA_BENCH_SOURCES)
  add_executable(orbika_bench EXCLUDE_FROM_ALL ${ORBIKA_BENCH_SOURCES})
  target_link_libraries(orbika_bench PRIVATE orb_src benchmark::benchmark_main)
  target_compile_definitions(orbika_bench PRIVATE ORBIKA_DATA_DIR="${ORBIKA_DATA_DIR}")
endif()
