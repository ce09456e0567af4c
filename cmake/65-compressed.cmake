# Compressed input files read through every reader, as a user runs the program.
orbika_add_test(test_compressed tests/test_compressed_input.cpp LIBS orb_proginc_cli)
if(ORBIKA_TESTS)
  add_dependencies(test_compressed Orbika)
endif()
