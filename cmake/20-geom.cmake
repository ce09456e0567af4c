# Geometry and astronomy: Cartesian and local vectors with their text
# output, sidereal time, Sun and Moon positions, direction angles, sine
# and cosine with a cheap reduction of orbit-sized angles.
add_library(orb_gnss_geom STATIC
  GNSS/xyz.cpp
  GNSS/xyzt.cpp
  GNSS/neu.cpp
  GNSS/LuniSolarPosition.cpp
  GNSS/Azimut.cpp
  GNSS/SinCos.cpp
  GNSS/LightTime.h)
# The quotient of the angle reduction is rounded inline, not by a library call.
set_source_files_properties(GNSS/SinCos.cpp PROPERTIES COMPILE_OPTIONS -fno-math-errno)
target_link_libraries(orb_gnss_geom PUBLIC orb_gnss_time orb_gnss_base orb_proginc_base)

orbika_add_test(test_geom
  tests/test_geom_vectors.cpp tests/test_geom_output.cpp tests/test_geom_astro.cpp
  tests/test_geom_sincos.cpp
  LIBS orb_gnss_geom)
