#include "matrix/sort.h"

#include "matrix/matrixUtil.h"

namespace sortns {
unsigned short sort = 0;
}  // namespace sortns

matrix<short> sort(const matrix<short>& vec) {
  matrix<short> s(vec);
  int m = vec.NRow();
  bool swapped;
  do {
    swapped = false;
    --m;  // each pass settles one more value at the end
    for (int i = 0; i < m; ++i) {
      const short a = s(i);
      const short b = s(i + 1);
      const bool out_of_order = (sortns::sort == 0) ? a > b : a < b;
      if (out_of_order) {
        SWAP(s(i), s(i + 1));
        swapped = true;
      }
    }
  } while (swapped);
  return s;
}
