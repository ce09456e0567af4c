# Antenna calibrations: ANTEX reader, satellite and receiver antenna lookup,
# and the phase-centre correction of the precise ephemeris store.
add_library(orb_gnss_antex STATIC
  GNSS/antexNew.cpp
  GNSS/AntennaPCV.cpp
  GNSS/GNSSpEphAtx.cpp)
target_link_libraries(orb_gnss_antex PUBLIC
  orb_gnss_sp3 orb_gnss_geom orb_gnss_time orb_gnss_base orb_matrix orb_proginc_base)

orbika_add_test(test_antex tests/test_antex_read.cpp tests/test_antex_lookup.cpp
  tests/test_antex_offset.cpp tests/test_antex_systems.cpp
  LIBS orb_gnss_antex)
if(ORBIKA_TESTS)
  # The set D test runs the program.
  add_dependencies(test_antex Orbika)
endif()
