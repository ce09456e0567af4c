// The fast fixed-point text must be the stream's text, digit for digit.
#include "PROGINC/text/FixedFormat.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Fast(long double v, int width, int decimals, char fill = ' ') {
  char buf[kFixedFormatMax + 64];
  const int n = FormatFixed(buf, v, width, decimals, fill);
  if (n < 0) return "(refused)";
  EXPECT_EQ(n, static_cast<int>(std::strlen(buf)));
  return std::string(buf, n);
}

std::string Printf(long double v, int width, int decimals) {
  char buf[1024];
  std::snprintf(buf, sizeof buf, "%*.*Lf", width, decimals, v);
  return buf;
}

std::string Stream(long double v, int width, int decimals, char fill = ' ') {
  std::ostringstream s;
  s << std::fixed << std::setprecision(decimals) << std::setfill(fill) << std::setw(width) << v;
  return s.str();
}

TEST(FixedFormat, ExactTiesRoundHalfToEven) {
  EXPECT_EQ(Fast(0.25L, 0, 1), "0.2");
  EXPECT_EQ(Fast(0.75L, 0, 1), "0.8");
  EXPECT_EQ(Fast(2.5L, 0, 0), "2");
  EXPECT_EQ(Fast(3.5L, 0, 0), "4");
  EXPECT_EQ(Fast(-0.125L, 0, 2), "-0.12");
  EXPECT_EQ(Fast(0.375L, 0, 2), "0.38");
  // 0.15 is not a tie in binary: its exact value decides.
  EXPECT_EQ(Fast(0.15L, 0, 1), Printf(0.15L, 0, 1));
  EXPECT_EQ(Fast(0.15, 0, 1), Printf(0.15, 0, 1));
}

TEST(FixedFormat, SignsZerosAndPadding) {
  EXPECT_EQ(Fast(-0.0L, 0, 3), "-0.000");
  EXPECT_EQ(Fast(0.0L, 8, 3), "   0.000");
  EXPECT_EQ(Fast(-0.0004L, 0, 3), "-0.000");
  EXPECT_EQ(Fast(5.0L, 6, 1, '0'), "0005.0");
  EXPECT_EQ(Fast(7.4L, 2, 0, '0'), "07");
  EXPECT_EQ(Fast(123456.789L, 4, 3), "123456.789");  // wider than the field
  EXPECT_EQ(Fast(1e-30L, 12, 6), "    0.000000");
}

TEST(FixedFormat, NonFiniteAndHugeFallBackToTheLibrary) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  EXPECT_EQ(Fast(nan, 16, 3), Stream(nan, 16, 3));
  EXPECT_EQ(Fast(nan, 16, 3), "             nan");
  EXPECT_EQ(Fast(-inf, 12, 3), Stream(-inf, 12, 3));
  EXPECT_EQ(Fast(1e30L, 0, 3), Printf(1e30L, 0, 3));
  EXPECT_EQ(Fast(-0x1p63L, 0, 2), Printf(-0x1p63L, 0, 2));
  EXPECT_EQ(Fast(0x1p63L - 1, 0, 2), Printf(0x1p63L - 1, 0, 2));
  EXPECT_EQ(Fast(1.5L, 0, 25), Printf(1.5L, 0, 25));
}

TEST(FixedFormat, RefusesTextsLongerThanItsBuffer) {
  char buf[kFixedFormatMax + 1];
  EXPECT_EQ(FormatFixed(buf, 1e200L, 0, 3), -1);
  EXPECT_EQ(FormatFixed(buf, 1.0L, 0, 200), -1);
  // The longest text that fits is still written whole.
  EXPECT_EQ(FormatFixed(buf, 1e100L, 0, 0), static_cast<int>(Printf(1e100L, 0, 0).size()));
  EXPECT_EQ(std::string(buf), Printf(1e100L, 0, 0));
}

TEST(FixedFormat, MatchesTheStreamOnMillionsOfValues) {
  std::mt19937_64 gen(20090401);
  std::uniform_real_distribution<long double> mant(-1.0L, 1.0L);
  std::uniform_int_distribution<int> scale(-12, 9);
  std::uniform_int_distribution<int> dec(0, 9);
  long mismatches = 0;
  for (int i = 0; i < 2000000; ++i) {
    const long double v = mant(gen) * std::pow(10.0L, scale(gen));
    const int d = dec(gen);
    const int w = (i % 3) * 8;
    if (Fast(v, w, d) != Printf(v, w, d) && ++mismatches < 10)
      ADD_FAILURE() << std::setprecision(21) << v << " decimals " << d;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(FixedFormat, MatchesTheStreamNearRoundingBoundaries) {
  // Values on and next to exact decimal ties of the output's decimals.
  std::mt19937_64 gen(7);
  std::uniform_int_distribution<long long> units(-40000000000LL, 40000000000LL);
  long mismatches = 0;
  for (int i = 0; i < 200000; ++i) {
    for (int d : {1, 3, 6}) {
      const long double tie = (units(gen) + 0.5L) / std::pow(10.0L, d);
      for (long double v : {tie, std::nextafter(tie, 0.0L), std::nextafter(tie, 1e30L)}) {
        if (Fast(v, 16, d) != Stream(v, 16, d) && ++mismatches < 10)
          ADD_FAILURE() << std::setprecision(25) << v << " decimals " << d;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
