# Precise ephemeris: SP3 reader and Lagrange interpolation.
add_library(orb_gnss_sp3 STATIC
  GNSS/GNSSpEph.cpp
  GNSS/GNSSpEphText.cpp
  GNSS/GNSSpEphBlocks.cpp
  GNSS/GNSSpEphInterp.cpp)
target_link_libraries(orb_gnss_sp3 PUBLIC
  orb_gnss_geom orb_gnss_time orb_gnss_base orb_matrix orb_proginc_base)

orbika_add_test(test_sp3 tests/test_sp3_read.cpp tests/test_sp3_interp.cpp
  LIBS orb_gnss_sp3)

# The program on damaged copies of the real SP3 files.
orbika_add_test(test_sp3_files tests/test_sp3_files.cpp LIBS orb_proginc_base)
if(ORBIKA_TESTS)
  add_dependencies(test_sp3_files Orbika)
endif()
