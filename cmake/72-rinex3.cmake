# RINEX 3 and 4 navigation files: the broadcast stores and the program on
# them.
orbika_add_test(test_gpsnav_rinex3 tests/test_gpsnav_rinex3.cpp
  LIBS orb_src orb_gnss_gpsnav orb_gnss_sp3)
if(ORBIKA_TESTS)
  add_dependencies(test_gpsnav_rinex3 Orbika)
endif()
