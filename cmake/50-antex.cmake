# Antenna calibrations: ANTEX reader, satellite and receiver antenna lookup,
# and the phase-centre correction of the precise ephemeris store.
add_library(orb_antex STATIC
  GNSS/antexNew.cpp GNSS/AntennaPCV.cpp GNSS/GNSSpEphAtx.cpp)
target_link_libraries(orb_antex PUBLIC orb_sp3 orb_geom orb_time orb_matrix orb_util)

# test_antex_systems reads set D's gzip-compressed precise file itself.
find_package(ZLIB REQUIRED)
orbika_add_test(test_antex tests/test_antex_read.cpp tests/test_antex_lookup.cpp
  tests/test_antex_offset.cpp tests/test_antex_systems.cpp
  LIBS orb_antex ZLIB::ZLIB)
