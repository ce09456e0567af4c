# Hardening: damaged input files run through the program, the inputs that
# once broke a reader, and (with ORBIKA_FUZZ) the libFuzzer targets of the
# readers and the command line.

# The built program on damaged variants of the fixtures and of the real
# files, and on every kept crash input in tests/data/crash.
orbika_add_test(test_damaged_files tests/test_damaged_files.cpp tests/test_crash_inputs.cpp
  LIBS orb_proginc_base)
if(ORBIKA_TESTS)
  add_dependencies(test_damaged_files Orbika)
  target_compile_definitions(test_damaged_files PRIVATE
    ORBIKA_CRASH_DIR="${CMAKE_SOURCE_DIR}/tests/data/crash")
endif()

option(ORBIKA_FUZZ "Build the libFuzzer targets in fuzz/ (clang++, with ORBIKA_SANITIZE)" OFF)
if(ORBIKA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ORBIKA_FUZZ needs clang++: -DCMAKE_CXX_COMPILER=clang++")
  endif()
  if(NOT ORBIKA_SANITIZE)
    message(FATAL_ERROR "ORBIKA_FUZZ needs -DORBIKA_SANITIZE=ON")
  endif()

  # Coverage feedback from every module library the targets link.
  get_property(orbika_targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${orbika_targets})
    get_target_property(t_type ${t} TYPE)
    if(t_type STREQUAL "STATIC_LIBRARY" AND t MATCHES "^orb_")
      target_compile_options(${t} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
  endforeach()

  # Not instrumented: its own comparisons are no guide for the mutations.
  add_library(orb_fuzz STATIC fuzz/FuzzIsolate.cpp)

  # fuzz_<name> from fuzz/fuzz_<name>.cpp.
  function(orbika_add_fuzzer name)
    cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
    add_executable(fuzz_${name} fuzz/fuzz_${name}.cpp)
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE orb_fuzz ${F_LIBS})
    target_compile_definitions(fuzz_${name} PRIVATE
      ORBIKA_FUZZ_SP3="${CMAKE_SOURCE_DIR}/tests/data/sp3_four_sats.sp3"
      ORBIKA_FUZZ_FIXTURES="${CMAKE_SOURCE_DIR}/tests/data")
  endfunction()

  orbika_add_fuzzer(gpsnav LIBS orb_gnss_gpsnav)
  orbika_add_fuzzer(glonav LIBS orb_gnss_glonav)
  orbika_add_fuzzer(sp3 LIBS orb_gnss_sp3)
  orbika_add_fuzzer(antex LIBS orb_gnss_antex)
  orbika_add_fuzzer(cli LIBS orb_src)
  orbika_add_fuzzer(stats LIBS orb_stats)
  orbika_add_fuzzer(inflate LIBS orb_proginc_base)
endif()
