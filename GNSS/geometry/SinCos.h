// Sine and cosine of the angles of orbit formulas, with a cheap argument
// reduction.
//
// The C library reduces every long double angle above pi/4 with its general
// multi-word algorithm, which costs more than the sine itself.  The angles of
// a broadcast orbit (eccentric anomaly, argument of latitude, longitude of the
// node; radians) stay below a few hundred radians, where a quotient k of
// x by pi/2 and a remainder computed with pi/2 split in three parts (Cody and
// Waite) are accurate to the last bit: r = x - k pi/2 with |r| <= pi/4, and
// sin x, cos x follow from sin r, cos r and the quadrant k mod 4.  On
// |r| <= pi/4 the Taylor series of sine and cosine (to r^19 and r^20)
// converge far past the last bit, and each costs one short polynomial.
//
// Accuracy: within a few units in the last place of the library's own sinl
// and cosl on |x| <= kSinCosReduceLimit (bench/bench_sincos.cpp measures the
// largest difference on a million arguments); beyond that limit, and for
// NaN and infinities, the library is called directly.
#pragma once

// Largest |x|, rad, reduced here; the quotient stays far below 2^32, so that
// its products with the leading parts of pi/2 are exact.
constexpr long double kSinCosReduceLimit = 1.0e6L;

// sin x and cos x together, x in radians.
void SinCos(long double x, long double& s, long double& c);

// sin x alone, x in radians.
long double ReducedSin(long double x);
