# Packs the build tree BUILD as a Debian package in the fresh folder WORK
# (or takes the package DEB), lists its contents, checks that the programs
# and their manual pages are in it, unpacks it and runs each program's help.
# Given REFERENCE (an Orbika of the tested build), the unpacked Orbika must
# print what it prints on the sample day of examples/, on one thread and on
# two: the package is built otherwise optimised.
#   cmake -DBUILD=<build tree> -DWORK=<folder> -P tools/check_deb.cmake
#   cmake -DDEB=<package> -DWORK=<folder> [-DREFERENCE=<Orbika>] -P tools/check_deb.cmake
find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
  message("SKIPPED: dpkg-deb is not installed (Debian package dpkg)")
  return()
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(NOT DEB)
  execute_process(COMMAND "${CMAKE_CPACK_COMMAND}" -G DEB -B "${WORK}"
                          --config "${BUILD}/CPackConfig.cmake"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  file(GLOB DEB "${WORK}/*.deb")
  if(NOT status EQUAL 0 OR NOT DEB)
    message(FATAL_ERROR "cpack made no package: ${output}")
  endif()
endif()
execute_process(COMMAND "${DPKG_DEB}" -c "${DEB}" OUTPUT_VARIABLE contents RESULT_VARIABLE status)
message("${contents}")
foreach(file usr/bin/Orbika usr/bin/OrbikaStats usr/bin/plot-differences
             usr/share/man/man1/Orbika.1 usr/share/man/man1/OrbikaStats.1
             usr/share/man/man1/plot-differences.1)
  if(NOT status EQUAL 0 OR NOT contents MATCHES " \\./${file}\n")
    message(FATAL_ERROR "${DEB} lacks ${file}")
  endif()
endforeach()
execute_process(COMMAND "${DPKG_DEB}" -x "${DEB}" "${WORK}/root" RESULT_VARIABLE status)
foreach(program Orbika OrbikaStats plot-differences)
  execute_process(COMMAND "${WORK}/root/usr/bin/${program}" -h
                  RESULT_VARIABLE status OUTPUT_VARIABLE help ERROR_QUIET)
  if(NOT status EQUAL 0 OR NOT help MATCHES "Orbika|plot-differences")
    message(FATAL_ERROR "the unpacked ${program} -h ends with ${status}")
  endif()
endforeach()
if(REFERENCE)
  get_filename_component(examples "${CMAKE_CURRENT_LIST_DIR}/../examples" ABSOLUTE)
  set(run -eporb23143.sp3 -enbrdc1360.24n -egbrdc1360.24g -pvorbika.atx -dt60)
  get_filename_component(unpacked "${WORK}/root/usr/bin/Orbika" ABSOLUTE)
  foreach(threads -th1 -th2)
    foreach(program "${REFERENCE}" "${unpacked}")
      execute_process(COMMAND "${program}" ${run} ${threads} WORKING_DIRECTORY "${examples}"
                      RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
      set(last "${status}|${out}|${err}")
      if(program STREQUAL REFERENCE)
        set(reference "${last}")
      endif()
    endforeach()
    string(LENGTH "${out}" length)
    if(NOT last STREQUAL reference OR length LESS 100000)
      message(FATAL_ERROR "the unpacked Orbika ${threads} prints otherwise than ${REFERENCE}")
    endif()
    message("the unpacked Orbika ${threads} prints what ${REFERENCE} prints (${length} bytes)")
  endforeach()
endif()
file(REMOVE_RECURSE "${WORK}")
