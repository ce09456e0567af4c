# GNSS layer, foundation: physical and signal constants of the systems.
add_library(orb_gnss_base STATIC
  GNSS/mGNSSc.cpp
  GNSS/gnssobs.h)
target_link_libraries(orb_gnss_base PUBLIC orb_matrix)

orbika_add_test(test_const tests/test_const.cpp LIBS orb_gnss_base)
