# GLONASS broadcast ephemeris: RINEX 2 GLONASS navigation reader and orbit
# integration.  The RINEX navigation helpers come with orb_gpsnav.
add_library(orb_glonav STATIC
  GNSS/GLNbEphHeader.cpp GNSS/GLNbEphData.cpp GNSS/GLNbEph.cpp)
target_link_libraries(orb_glonav PUBLIC orb_gpsnav orb_time orb_geom orb_matrix orb_util)

orbika_add_test(test_glonav
  tests/test_glonav_reader.cpp tests/test_glonav_orbit.cpp tests/test_glonav_data.cpp
  LIBS orb_glonav)
