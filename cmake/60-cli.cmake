# Command line, help text and first-line checks of the input files.
add_library(orb_cli STATIC
  PROGINC/ParseArgument.cpp PROGINC/TestInputGNSSf.cpp
  src/Orbika_GetFiles.cpp src/Orbika_Help.cpp)
target_link_libraries(orb_cli PUBLIC orb_driver orb_time orb_matrix orb_util)

# Parsing toolkit, format tests and the two steps called in-process.
orbika_add_test(test_cli tests/test_cli_parse.cpp tests/test_cli_formats.cpp
  tests/test_cli_steps.cpp LIBS orb_cli)
# The built program run as a user runs it.
orbika_add_test(test_cli_run tests/test_cli_run.cpp LIBS orb_cli)
if(ORBIKA_TESTS)
  add_dependencies(test_cli_run Orbika)
endif()
