// Sine and cosine with the cheap reduction: against values worked out to 22
// digits with exact decimal series, and against the C library on random
// orbit-sized arguments.
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "GNSS/geometry/SinCos.h"

namespace {

// |a - b| in units in the last place of b.
long double Ulps(long double a, long double b) {
  return std::fabs(a - b) / std::ldexp(1.0L, std::ilogb(b) - 63);
}

TEST(SinCos, WorkedValues) {
  struct Case {
    long double x, sin, cos;
  };
  const Case cases[] = {
      // The double nearest pi/2: the cosine is all reduction error.
      {0x1.921fb54442d18p+0L, 1.0L, 6.1232339957367658861303e-17L},
      {3.0L, 1.4112000805986722210074e-1L, -9.8999249660044545727157e-1L},
      {-20.25L, -9.8552511156511964128661e-1L, 1.6952950915565845602099e-1L},
      {-37.5L, 1.9779879963646225778845e-1L, 9.8024264081010812666743e-1L},
      {100.0L, -5.0636564110975879365656e-1L, 8.6231887228768393410194e-1L},
  };
  for (const Case& k : cases) {
    long double s, c;
    SinCos(k.x, s, c);
    EXPECT_LE(Ulps(s, k.sin), 2) << k.x;
    EXPECT_LE(Ulps(c, k.cos), 2) << k.x;
    EXPECT_LE(Ulps(ReducedSin(k.x), k.sin), 2) << k.x;
  }
}

TEST(SinCos, AgreesWithLibrary) {
  std::mt19937_64 gen(54922);
  std::uniform_real_distribution<long double> arg(-64, 64);
  long double worst = 0;
  for (int k = 0; k < 20000; ++k) {
    const long double x = arg(gen);
    long double s, c;
    SinCos(x, s, c);
    worst = std::max({worst, Ulps(s, sinl(x)), Ulps(c, cosl(x)), Ulps(ReducedSin(x), sinl(x))});
  }
  EXPECT_LE(worst, 2);
  // Past the reduced range, and for NaN, the library answers.
  long double s, c;
  SinCos(3e6L, s, c);
  EXPECT_EQ(s, sinl(3e6L));
  EXPECT_EQ(c, cosl(3e6L));
  EXPECT_TRUE(std::isnan(ReducedSin(std::numeric_limits<long double>::quiet_NaN())));
}

}  // namespace
