// The distinct values of a column of satellite numbers, ascending.
//
// UniqList(vec) sorts a copy of vec (see sort.h) and keeps the first of every
// run of equal values.  An empty column has no first element: reading it ends
// the program with the container's "Matrix is not set" error.
#pragma once

#include "matrix/matrix.h"

matrix<short> UniqList(const matrix<short>& vec);
