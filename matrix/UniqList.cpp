#include "matrix/UniqList.h"

#include "matrix/sort.h"

matrix<short> UniqList(const matrix<short>& vec) {
  const matrix<short> s = sort(vec);
  const int m = vec.NRow();
  int n = 1;
  for (int i = 1; i < m; ++i)
    if (s(i) != s(i - 1)) ++n;

  matrix<short> res;
  res.Resize(n);
  res(0) = s(0);
  int k = 1;
  for (int i = 1; i < m; ++i)
    if (s(i) != s(i - 1)) res(k++) = s(i);
  return res;
}
