#include "GNSS/SinCos.h"

#include <cmath>

namespace {

// pi/2 = kPio2Hi + kPio2Mid + kPio2Lo: the first two parts carry 32
// significant bits each (products with a quotient below 2^32 are exact), the
// third is the rest rounded to 64 bits.
constexpr long double kPio2Hi = 0xc90fdaa2p-31L;
constexpr long double kPio2Mid = 0x85a308d3p-65L;
constexpr long double kPio2Lo = 0x98cc51701b839a25p-132L;
constexpr long double kTwoOverPi = 0xa2f9836e4e44152ap-64L;  // 2/pi

// x = k pi/2 + hi + lo with |hi| <= about pi/4 and lo the rounding error of
// hi; returns k.
long Reduce(long double x, long double& hi, long double& lo) {
  const long k = std::lrint(x * kTwoOverPi);
  const long double kk = static_cast<long double>(k);
  const long double r1 = x - kk * kPio2Hi;  // exact: x lies close to k pi/2
  const long double m = kk * kPio2Mid;      // exact
  // Two-sum of r1 and -m: r2 + e2 == r1 - m exactly.
  const long double r2 = r1 - m;
  const long double b = r1 - r2;
  const long double e2 = (r1 - (r2 + b)) + (b - m);
  hi = r2 - kk * kPio2Lo;
  lo = ((r2 - hi) - kk * kPio2Lo) + e2;
  return k;
}

}  // namespace

void SinCos(long double x, long double& s, long double& c) {
  if (!(std::fabs(x) <= kSinCosReduceLimit)) {
    sincosl(x, &s, &c);
    return;
  }
  long double hi, lo;
  const long k = Reduce(x, hi, lo);
  long double sr, cr;
  sincosl(hi, &sr, &cr);
  // First-order term of the reduction's tail: sin(hi + lo), cos(hi + lo).
  const long double sinR = sr + lo * cr;
  const long double cosR = cr - lo * sr;
  switch (k & 3) {
    case 0: s = sinR; c = cosR; break;
    case 1: s = cosR; c = -sinR; break;
    case 2: s = -sinR; c = -cosR; break;
    default: s = -cosR; c = sinR; break;
  }
}

long double ReducedSin(long double x) {
  if (!(std::fabs(x) <= kSinCosReduceLimit)) return sinl(x);
  long double hi, lo;
  const long k = Reduce(x, hi, lo);
  // sin(k pi/2 + r) is +-sin r for even k, +-cos r for odd k; the tail lo
  // enters through the first terms of the series of cos hi and sin hi, far
  // below the last bit otherwise.
  const long double v = (k & 1) ? cosl(hi) - lo * hi : sinl(hi) + lo * (1 - hi * hi / 2);
  return (k & 2) ? -v : v;
}
