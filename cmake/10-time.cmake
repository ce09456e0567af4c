# Time scales: epochs as MJD, calendar date and GPS week, their conversions,
# leap seconds and text forms.
add_library(orb_gnss_time STATIC
  GNSS/mjd.cpp
  GNSS/ymdhms.cpp
  GNSS/GPSws.cpp
  GNSS/TimeConverse.cpp)
target_link_libraries(orb_gnss_time PUBLIC orb_proginc_base)

orbika_add_test(test_time
  tests/test_time_values.cpp tests/test_time_convert.cpp tests/test_time_format.cpp
  LIBS orb_gnss_time)
