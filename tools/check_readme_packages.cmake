# The README's install command names exactly the packages that
# tools/install-deps installs for the tests, so the two cannot drift apart.
#   cmake -DSOURCE=<source tree> -P tools/check_readme_packages.cmake
execute_process(COMMAND "${SOURCE}/tools/install-deps" --list test
                OUTPUT_VARIABLE script_list OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "tools/install-deps --list test failed: ${status}")
endif()
file(STRINGS "${SOURCE}/README.md" lines REGEX "^    sudo apt-get install -y ")
string(REPLACE "    sudo apt-get install -y " "" readme_list "${lines}")
if(NOT readme_list STREQUAL script_list)
  message(FATAL_ERROR "README installs '${readme_list}' but tools/install-deps --list test "
                      "gives '${script_list}'")
endif()
