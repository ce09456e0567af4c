# Output identity: the program's whole output on real data, compared with the
# output recorded before any speed work, and records with numbers too large
# for the in-memory text.
orbika_add_test(test_output_identity tests/test_output_identity.cpp LIBS orb_gnss_gpsnav)
if(ORBIKA_TESTS)
  add_dependencies(test_output_identity Orbika)
  # Under the sanitizers a day of output takes too long for a unit test.
  if(ORBIKA_SANITIZE)
    target_compile_definitions(test_output_identity PRIVATE ORBIKA_SANITIZED)
  endif()
endif()

# The same program with the portable number text must print the same bytes
# on every identity run.  FixedFormat.cpp compiled into the executable
# defines the one function of that file, so the linker takes it instead of
# the library's copy.
if(ORBIKA_TESTS AND NOT ORBIKA_PORTABLE_FORMAT AND NOT ORBIKA_SANITIZE)
  add_executable(OrbikaPortableFormat src/main.cpp PROGINC/FixedFormat.cpp)
  target_compile_definitions(OrbikaPortableFormat PRIVATE ORBIKA_PORTABLE_FORMAT)
  target_link_libraries(OrbikaPortableFormat PRIVATE orb_src)
  add_dependencies(test_output_identity OrbikaPortableFormat)
  add_test(NAME OutputIdentityPortableFormat COMMAND test_output_identity)
  set_tests_properties(OutputIdentityPortableFormat PROPERTIES
    ENVIRONMENT "ORBIKA_EXE=$<TARGET_FILE:OrbikaPortableFormat>" TIMEOUT 600)
endif()
