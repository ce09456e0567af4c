# GLONASS broadcast ephemeris: RINEX 2 GLONASS navigation reader and orbit
# integration.
add_library(orb_gnss_glonav STATIC
  GNSS/GLNbEphHeader.cpp
  GNSS/GLNbEphData.cpp
  GNSS/GLNbEph.cpp)
target_link_libraries(orb_gnss_glonav PUBLIC
  orb_gnss_rinexnav orb_gnss_geom orb_gnss_time orb_gnss_base orb_matrix orb_proginc_base)

orbika_add_test(test_glonav
  tests/test_glonav_reader.cpp tests/test_glonav_orbit.cpp tests/test_glonav_data.cpp
  LIBS orb_gnss_glonav)
