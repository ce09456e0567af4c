# OrbikaStats: statistics of the precise-minus-broadcast differences of a table.
add_library(orb_stats STATIC tools/stats/DiffTable.cpp tools/stats/DiffStats.cpp)

add_executable(OrbikaStats tools/stats/OrbikaStats.cpp)
target_link_libraries(OrbikaStats PRIVATE orb_stats)

install(TARGETS OrbikaStats RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/OrbikaStats.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(ORBIKA_TESTS)
  # Its tests live with the sample day's (tests/test_examples.cpp).
  add_dependencies(test_examples OrbikaStats)
  target_compile_definitions(test_examples PRIVATE
    ORBIKA_STATS_EXE="$<TARGET_FILE:OrbikaStats>")
endif()
