# GNSS layer, foundation: physical and signal constants of the systems, and
# the satellite numbers and codes.
add_library(orb_gnss_base STATIC
  GNSS/mGNSSc.cpp
  GNSS/satcode.cpp
  GNSS/gnssobs.h)
target_link_libraries(orb_gnss_base PUBLIC orb_matrix)

orbika_add_test(test_const tests/test_const.cpp tests/test_fields_satcodes.cpp
  LIBS orb_gnss_base orb_proginc_base)
