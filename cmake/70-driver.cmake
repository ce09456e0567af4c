# Program driver (src/), the top layer: run state, command line and help,
# pipeline steps, and the executable.
add_library(orb_src STATIC
  src/Orbika.cpp
  src/Orbika_GetFiles.cpp
  src/Orbika_Help.cpp
  src/Orbika_ReadFiles.cpp
  src/Orbika_ApplyAtx.cpp
  src/Orbika_PrintSet.cpp
  src/Orbika_CalcPos.cpp)
target_link_libraries(orb_src PUBLIC
  orb_proginc_cli orb_gnss_gpsnav orb_gnss_glonav orb_gnss_sp3 orb_gnss_antex
  orb_gnss_geom orb_gnss_time orb_gnss_base orb_matrix orb_proginc_base)

add_executable(Orbika src/main.cpp)
target_link_libraries(Orbika PRIVATE orb_src)

if(ORBIKA_TESTS)
  target_compile_definitions(orbika_testutil PUBLIC ORBIKA_EXE="$<TARGET_FILE:Orbika>")
endif()

orbika_add_test(test_driver tests/test_driver.cpp tests/test_driver_realdata.cpp
  LIBS orb_proginc_base)
if(ORBIKA_TESTS)
  add_dependencies(test_driver Orbika)
endif()
