# RINEX 3 and 4 navigation files through the program.  The test reads the
# gzip-compressed files of the real data set with zlib.
if(ORBIKA_TESTS)
  find_package(ZLIB REQUIRED)
endif()
orbika_add_test(test_gpsnav_rinex3 tests/test_gpsnav_rinex3.cpp LIBS orb_src ZLIB::ZLIB)
if(ORBIKA_TESTS)
  add_dependencies(test_gpsnav_rinex3 Orbika)
endif()

# Galileo, BeiDou and QZSS records of the broadcast store.
orbika_add_test(test_gpsnav_systems tests/test_gpsnav_systems.cpp
  LIBS orb_gnss_gpsnav orb_gnss_sp3 ZLIB::ZLIB)
