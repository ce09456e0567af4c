// Bubble sort of a column of satellite numbers.
//
// sort(vec) returns a copy of vec whose first NRow() elements are in order:
// ascending while sortns::sort is 0, descending otherwise.  Equal neighbours
// are never exchanged, so the sort is stable.  The lists it sorts are a few
// dozen satellites long, where a bubble sort is as good as any.
#pragma once

#include "matrix/matrix.h"

namespace sortns {
// Sort direction: 0 ascending (the program's lists), otherwise descending.
extern unsigned short sort;
}  // namespace sortns

matrix<short> sort(const matrix<short>& vec);
