# Installs the build tree BUILD into the fresh folder PREFIX and checks that
# the programs, the plot script and the manual pages arrive where
# `cmake --install` promises.
#   cmake -DBUILD=<build tree> -DPREFIX=<folder> -P tools/check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
include(GNUInstallDirs)
foreach(installed "${CMAKE_INSTALL_BINDIR}/Orbika" "${CMAKE_INSTALL_MANDIR}/man1/Orbika.1"
                  "${CMAKE_INSTALL_BINDIR}/OrbikaStats" "${CMAKE_INSTALL_MANDIR}/man1/OrbikaStats.1"
                  "${CMAKE_INSTALL_BINDIR}/plot-differences"
                  "${CMAKE_INSTALL_MANDIR}/man1/plot-differences.1")
  if(NOT EXISTS "${PREFIX}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
execute_process(COMMAND "${PREFIX}/${CMAKE_INSTALL_BINDIR}/Orbika" RESULT_VARIABLE status
                OUTPUT_VARIABLE help)
if(NOT status EQUAL 0 OR NOT help MATCHES "PROGRAM: Orbika.exe")
  message(FATAL_ERROR "the installed program does not print its help text")
endif()
# The plot script runs from where it is installed: without its arguments it
# ends with its status of wrong usage.
execute_process(COMMAND "${PREFIX}/${CMAKE_INSTALL_BINDIR}/plot-differences"
                RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "the installed plot script does not run: ${status}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
