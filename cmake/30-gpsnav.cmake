# RINEX navigation helpers shared by the GPS and GLONASS readers (RINEX 2 and
# the record layout of RINEX 3/4), and the GPS broadcast ephemeris: GPS
# navigation reader with the Galileo, BeiDou and QZSS records of RINEX 3/4
# files, and the Keplerian broadcast orbit and clock of the four systems.
add_library(orb_gnss_rinexnav STATIC
  GNSS/RinexNav.cpp
  GNSS/RinexNav3.cpp)
target_link_libraries(orb_gnss_rinexnav PUBLIC orb_gnss_base orb_gnss_time orb_matrix orb_proginc_base)

add_library(orb_gnss_gpsnav STATIC
  GNSS/KeplerSystems.cpp
  GNSS/GPSbEphHeader.cpp
  GNSS/GPSbEphData.cpp
  GNSS/GPSbEph.cpp)
target_link_libraries(orb_gnss_gpsnav PUBLIC
  orb_gnss_rinexnav orb_gnss_geom orb_gnss_time orb_gnss_base orb_matrix orb_proginc_base)

orbika_add_test(test_gpsnav
  tests/test_gpsnav_rinexnav.cpp tests/test_gpsnav_reader.cpp tests/test_gpsnav_orbit.cpp
  LIBS orb_gnss_gpsnav)
