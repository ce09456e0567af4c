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
