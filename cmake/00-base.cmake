# Bottom layer, used by everything above: the matrix container (matrix/) and
# the low-level text, file and report helpers (PROGINC/).
add_library(orb_matrix STATIC
  matrix/MError.cpp
  matrix/sort.cpp
  matrix/UniqList.cpp
  matrix/matrix.h
  matrix/matrixUtil.h)

add_library(orb_proginc_base STATIC
  PROGINC/cstringf.cpp
  PROGINC/cfilef.cpp
  PROGINC/InputFile.cpp
  PROGINC/ProgramError.cpp
  PROGINC/cfieldf.cpp)
# Compressed input files: gzip through zlib, Unix compress through libarchive.
find_package(ZLIB REQUIRED)
find_package(LibArchive REQUIRED)
target_link_libraries(orb_proginc_base PUBLIC ZLIB::ZLIB LibArchive::LibArchive)

orbika_add_test(test_base tests/test_matrix.cpp tests/test_util.cpp
  LIBS orb_matrix orb_proginc_base)
