#include "GNSS/geometry/SinCos.h"

#include <cmath>

namespace {

// pi/2 = kPio2Hi + kPio2Mid + kPio2Lo: the first two parts carry 32
// significant bits each (products with a quotient below 2^32 are exact), the
// third is the rest rounded to 64 bits.
constexpr long double kPio2Hi = 0xc90fdaa2p-31L;
constexpr long double kPio2Mid = 0x85a308d3p-65L;
constexpr long double kPio2Lo = 0x98cc51701b839a25p-132L;
constexpr long double kTwoOverPi = 0xa2f9836e4e44152ap-64L;  // 2/pi

// Taylor coefficients of sin r (r^3 to r^19) and cos r (r^4 to r^20): on
// |r| <= pi/4 the first terms left out are below a tenth of a unit in the
// last place.
constexpr long double kSin[] = {-1.0L / 6,
                                1.0L / 120,
                                -1.0L / 5040,
                                1.0L / 362880,
                                -1.0L / 39916800,
                                1.0L / 6227020800,
                                -1.0L / 1307674368000,
                                1.0L / 355687428096000,
                                -1.0L / 121645100408832000};
constexpr long double kCos[] = {1.0L / 24,
                                -1.0L / 720,
                                1.0L / 40320,
                                -1.0L / 3628800,
                                1.0L / 479001600,
                                -1.0L / 87178291200,
                                1.0L / 20922789888000,
                                -1.0L / 6402373705728000,
                                1.0L / 2432902008176640000};
constexpr int kTerms = 9;

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

// sin(r + lo) for |r| <= pi/4, lo far below the last bit of r: the series,
// with lo through the first term of its derivative.
long double SinKernel(long double r, long double lo) {
  const long double z = r * r;
  long double p = kSin[kTerms - 1];
  for (int j = kTerms - 2; j >= 0; --j) p = p * z + kSin[j];
  return r + (r * z * p + lo);
}

// cos(r + lo) for |r| <= pi/4: 1 - z/2 rounded, its rounding error, then the
// higher terms and lo.
long double CosKernel(long double r, long double lo) {
  const long double z = r * r;
  long double q = kCos[kTerms - 1];
  for (int j = kTerms - 2; j >= 0; --j) q = q * z + kCos[j];
  const long double half = z / 2;
  const long double w = 1 - half;
  return w + (((1 - w) - half) + (z * z * q - r * lo));
}

}  // namespace

void SinCos(long double x, long double& s, long double& c) {
  if (!(std::fabs(x) <= kSinCosReduceLimit)) {
    sincosl(x, &s, &c);
    return;
  }
  long double hi, lo;
  const long k = Reduce(x, hi, lo);
  const long double sinR = SinKernel(hi, lo);
  const long double cosR = CosKernel(hi, lo);
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
  // sin(k pi/2 + r) is +-sin r for even k, +-cos r for odd k.
  const long double v = (k & 1) ? CosKernel(hi, lo) : SinKernel(hi, lo);
  return (k & 2) ? -v : v;
}
