# Program driver: run state, pipeline steps and the executable.
add_library(orb_driver STATIC
  src/Orbika.cpp src/Orbika_ReadFiles.cpp src/Orbika_ApplyAtx.cpp
  src/Orbika_PrintSet.cpp src/Orbika_CalcPos.cpp)
target_link_libraries(orb_driver PUBLIC
  orb_gpsnav orb_glonav orb_sp3 orb_antex orb_geom orb_time orb_matrix orb_util)

add_executable(Orbika src/main.cpp)
target_link_libraries(Orbika PRIVATE orb_cli orb_driver)

if(ORBIKA_TESTS)
  target_compile_definitions(orbika_testutil PUBLIC ORBIKA_EXE="$<TARGET_FILE:Orbika>")
endif()

orbika_add_test(test_driver tests/test_driver.cpp tests/test_driver_realdata.cpp LIBS orb_util)
if(ORBIKA_TESTS)
  add_dependencies(test_driver Orbika)
endif()
