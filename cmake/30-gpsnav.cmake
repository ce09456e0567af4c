# GPS broadcast ephemeris: RINEX 2 navigation reader (with the helpers shared
# by the GLONASS reader) and the broadcast orbit and clock.
add_library(orb_gpsnav STATIC
  GNSS/RinexNav.cpp GNSS/RinexNav3.cpp GNSS/KeplerSystems.cpp GNSS/GPSbEphHeader.cpp GNSS/GPSbEphData.cpp GNSS/GPSbEph.cpp)
target_link_libraries(orb_gpsnav PUBLIC orb_time orb_geom orb_matrix orb_util)

orbika_add_test(test_gpsnav
  tests/test_gpsnav_rinexnav.cpp tests/test_gpsnav_reader.cpp tests/test_gpsnav_orbit.cpp
  LIBS orb_gpsnav)
