# The libraries follow the folders in layers: the include lines of matrix/,
# PROGINC/, GNSS/ and src/ must agree with the links declared in these
# module files, which point down and close no cycle.
if(ORBIKA_TESTS)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME Layout.IncludesFollowLibraryLayers
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/check-includes ${CMAKE_SOURCE_DIR})
  # The check itself finds each kind of fault in a small tree built to hold them.
  add_test(NAME Layout.CheckFindsUpwardIncludesAndCycles
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/check-includes
            ${CMAKE_SOURCE_DIR}/tests/data/layout-faults)
  set_tests_properties(Layout.CheckFindsUpwardIncludesAndCycles PROPERTIES
    PASS_REGULAR_EXPRESSION
    "orb_gnss_geom reaches itself through its links \\(cycle\\)\norb_gnss_sp3 links orb_src of a higher layer\n.*GNSS/mjd.cpp:1: orb_gnss_time includes src/Orbika.h of orb_src, which it does not link")
endif()
