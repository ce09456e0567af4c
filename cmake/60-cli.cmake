# Command-line layer of PROGINC, above GNSS: option value parsing (dates,
# numbers, satellite lists) and first-line format tests of the input files.
add_library(orb_proginc_cli STATIC
  PROGINC/ParseArgument.cpp
  PROGINC/TestInputGNSSf.cpp)
target_link_libraries(orb_proginc_cli PUBLIC
  orb_gnss_time orb_gnss_base orb_matrix orb_proginc_base)

# Parsing toolkit, format tests and the two driver steps called in-process.
orbika_add_test(test_cli tests/test_cli_parse.cpp tests/test_cli_formats.cpp
  tests/test_cli_steps.cpp LIBS orb_src)
# The built program run as a user runs it.
orbika_add_test(test_cli_run tests/test_cli_run.cpp LIBS orb_src)
if(ORBIKA_TESTS)
  add_dependencies(test_cli_run Orbika)
endif()
