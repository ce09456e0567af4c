# Foundation: matrix container, text, file and report utilities, GNSS constants.
add_library(orb_matrix STATIC
  matrix/MError.cpp matrix/sort.cpp matrix/UniqList.cpp)
add_library(orb_util STATIC
  PROGINC/cstringf.cpp PROGINC/cfilef.cpp PROGINC/InputFile.cpp PROGINC/ProgramError.cpp)
# Compressed input files: gzip through zlib, Unix compress through libarchive.
find_package(ZLIB REQUIRED)
find_package(LibArchive REQUIRED)
target_link_libraries(orb_util PUBLIC ZLIB::ZLIB LibArchive::LibArchive)
add_library(orb_const STATIC GNSS/mGNSSc.cpp)
target_link_libraries(orb_const PUBLIC orb_matrix)

orbika_add_test(test_base tests/test_matrix.cpp tests/test_util.cpp tests/test_const.cpp
  LIBS orb_matrix orb_util orb_const)
