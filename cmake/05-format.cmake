# Exact fast fixed-point number text used by the output of the value types.
add_library(orb_format STATIC PROGINC/FixedFormat.cpp)
orbika_add_test(test_format tests/test_fixedformat.cpp LIBS orb_format)
