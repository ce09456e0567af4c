# Foundation: matrix container, text, file and report utilities, GNSS constants.
add_library(orb_matrix STATIC
  matrix/MError.cpp matrix/sort.cpp matrix/UniqList.cpp)
add_library(orb_util STATIC
  PROGINC/cstringf.cpp PROGINC/cfilef.cpp PROGINC/ProgramError.cpp)
add_library(orb_const STATIC GNSS/mGNSSc.cpp)
target_link_libraries(orb_const PUBLIC orb_matrix)

orbika_add_test(test_base tests/test_matrix.cpp tests/test_util.cpp tests/test_const.cpp
  LIBS orb_matrix orb_util orb_const)
