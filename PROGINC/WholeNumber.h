// Whole numbers from long double values without the x87 rounding-mode
// switch.
//
// std::floor and the conversion of a long double to an integer both load a
// new control word into the x87 unit and restore it afterwards, which stalls
// the unit for longer than the rest of a calendar conversion or an
// interpolation takes; the position loop does both for every record.  These
// give exactly the same results with ordinary arithmetic: adding and removing
// 2^63 rounds a value of [0, 2^63) to the nearest whole number (the sum lies
// in [2^63, 2^64], where the whole numbers are the representable values),
// and a whole number below 2^53 converts to double exactly and from there to
// an integer without the x87 unit.  Values outside those ranges, NaN and
// infinities go the usual way.
#pragma once

#include <cmath>

// floor(x), exactly.
inline long double FloorExact(long double x) {
  constexpr long double kTwo63 = 0x1p63L;
  if (!(x >= 0 && x < kTwo63)) return std::floor(x);
  const long double nearest = (x + kTwo63) - kTwo63;
  return nearest > x ? nearest - 1 : nearest;
}

// x truncated toward zero, as static_cast<long>(x) gives it.
inline long TruncateExact(long double x) {
  constexpr long double kTwo53 = 0x1p53L;
  const long double a = std::fabs(x);
  if (!(a < kTwo53)) return static_cast<long>(x);
  const long whole = static_cast<long>(static_cast<double>(FloorExact(a)));
  return x < 0 ? -whole : whole;
}
