# Exact fast fixed-point number text used by the output of the value types;
# part of the low-level PROGINC helpers.
target_sources(orb_proginc_base PRIVATE
  PROGINC/FixedFormat.cpp)

orbika_add_test(test_format tests/test_fixedformat.cpp LIBS orb_proginc_base)

# The portable path of FixedFormat (taken by itself where long double is not
# the x87 80-bit format) can be forced on x86.
option(ORBIKA_PORTABLE_FORMAT "Portable number text also where the x87 fast path works" OFF)
if(ORBIKA_PORTABLE_FORMAT)
  target_compile_definitions(orb_proginc_base PRIVATE ORBIKA_PORTABLE_FORMAT)
endif()
# The same tests on the portable path, compiled into the test program.
if(ORBIKA_TESTS AND NOT ORBIKA_PORTABLE_FORMAT)
  orbika_add_test(test_format_portable tests/test_fixedformat.cpp PROGINC/FixedFormat.cpp
    LIBS orb_proginc_base)
  target_compile_definitions(test_format_portable PRIVATE ORBIKA_PORTABLE_FORMAT)
endif()
