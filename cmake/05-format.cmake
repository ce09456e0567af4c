# Exact fast fixed-point number text used by the output of the value types;
# part of the low-level PROGINC helpers.
target_sources(orb_proginc_base PRIVATE
  PROGINC/FixedFormat.cpp)

orbika_add_test(test_format tests/test_fixedformat.cpp LIBS orb_proginc_base)
