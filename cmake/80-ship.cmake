# Shipping: the generator of the sample data in examples/, the end-to-end
# test on that data, the plot script's test, and the install rules.

# make_examples [FOLDER] writes the sample set from the program's own stores.
add_executable(make_examples tools/make_examples.cpp)
target_link_libraries(make_examples PRIVATE orb_gnss_gpsnav orb_gnss_glonav)

orbika_add_test(test_examples tests/test_examples.cpp)
if(ORBIKA_TESTS)
  add_dependencies(test_examples Orbika make_examples)
  target_compile_definitions(test_examples PRIVATE
    ORBIKA_EXAMPLES_DIR="${CMAKE_SOURCE_DIR}/examples"
    ORBIKA_MAKE_EXAMPLES="$<TARGET_FILE:make_examples>"
    ORBIKA_PLOT_SCRIPT="${CMAKE_SOURCE_DIR}/tools/plot-differences")
endif()

# cmake --install installs the program and its manual page.
include(GNUInstallDirs)
install(TARGETS Orbika RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/Orbika.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(ORBIKA_TESTS)
  # The install rules deliver a working program and the manual page.
  add_test(NAME Ship.InstallPutsProgramAndManPageInPlace
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR}
            -DPREFIX=${CMAKE_BINARY_DIR}/install-check
            -P ${CMAKE_SOURCE_DIR}/tools/check_install.cmake)
  # The README's install command and the install script name the same packages.
  add_test(NAME Ship.ReadmeInstallsTheScriptsPackages
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_SOURCE_DIR}
            -P ${CMAKE_SOURCE_DIR}/tools/check_readme_packages.cmake)
  # The manual pages render without a single groff warning.
  find_program(ORBIKA_GROFF groff)
  if(ORBIKA_GROFF)
    add_test(NAME Ship.ManPageRendersWithoutWarnings
      COMMAND ${ORBIKA_GROFF} -man -Tutf8 -ww -z ${CMAKE_SOURCE_DIR}/man/Orbika.1
              ${CMAKE_SOURCE_DIR}/man/OrbikaStats.1)
    set_tests_properties(Ship.ManPageRendersWithoutWarnings PROPERTIES
      FAIL_REGULAR_EXPRESSION ".")
  endif()
endif()
