// Sidereal time, Sun and Moon positions against published values.
//
// References: Meeus, Astronomical Algorithms (2nd ed.), examples 12.a, 12.b
// (sidereal time), 25.a (Sun) and 47.a (Moon); the instants of the 2019
// equinox, solstices, perihelion and aphelion as published by the US Naval
// Observatory.  Epochs are given to the functions in GPS time.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "GNSS/geometry/LuniSolarPosition.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/time/mjd.h"
#include "GNSS/geometry/xyz.h"
#include "GNSS/time/ymdhms.h"

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kTwoPi = 2 * kPi;
constexpr long double kRadToDeg = 180 / kPi;
constexpr long double kAUMetres = 149597870e3L;  // the AU the program uses
constexpr long double kRadPerSecondOfTime = kTwoPi / 86400;

// GPS-time epoch of a UTC calendar instant.
mjd GpsFromUtc(unsigned short y, unsigned short mo, unsigned short d, unsigned short h,
               unsigned short mi, long double s) {
  mjd t = ymdhms2mjd(ymdhms(y, mo, d, h, mi, s));
  t += static_cast<long double>(LeapSecond(t));
  return t;
}

// Right ascension and declination, degrees, of an Earth-fixed direction at t.
void RaDec(const LuniSolarPosition& lsp, const mjd& t, const xyz& earthFixed, long double& ra,
           long double& dec) {
  const xyz eq = earthFixed.RotateZ(lsp.GSTime(t));
  ra = std::atan2(eq.GetY(), eq.GetX()) * kRadToDeg;
  if (ra < 0) ra += 360;
  dec = std::asin(eq.GetZ()) * kRadToDeg;
}

// Angle between two directions given by right ascension and declination.
long double SeparationDeg(long double ra1, long double dec1, long double ra2, long double dec2) {
  const long double r1 = ra1 / kRadToDeg, d1 = dec1 / kRadToDeg;
  const long double r2 = ra2 / kRadToDeg, d2 = dec2 / kRadToDeg;
  const long double c =
      std::sin(d1) * std::sin(d2) + std::cos(d1) * std::cos(d2) * std::cos(r1 - r2);
  return std::acos(std::fmin(1.0L, c)) * kRadToDeg;
}

long double Hms(long double h, long double m, long double s) { return h + m / 60 + s / 3600; }

// --------------------------------------------------------- sidereal time

TEST(geomSiderealTime, GreenwichAtJ2000) {
  const LuniSolarPosition lsp;
  // 2000-01-01 12:00 UTC is 12:00:13 GPS time.
  const mjd j2000(51544, 43213);
  const long double hours = lsp.GSTime(j2000) / kTwoPi * 24;
  EXPECT_NEAR(hours, 18.697374558L, 1e-9L);
}

TEST(geomSiderealTime, MeeusExamples) {
  const LuniSolarPosition lsp;
  // 1987-04-10, GPS - UTC = 4 s.
  const mjd midnight(46895, 4);
  EXPECT_NEAR(lsp.GSTime(midnight), Hms(13, 10, 46.3668L) / 24 * kTwoPi,
              1e-3L * kRadPerSecondOfTime);
  const mjd evening(46895, 19 * 3600 + 21 * 60 + 4);
  EXPECT_NEAR(lsp.GSTime(evening), Hms(8, 34, 57.0896L) / 24 * kTwoPi,
              1e-3L * kRadPerSecondOfTime);
}

TEST(geomSiderealTime, AgreesWithTheDegreeFormOverTwoCenturiesAndStaysInRange) {
  // theta0 = 280.46061837 + 360.98564736629 d + 0.000387933 T^2 - T^3 / 38710000
  // degrees, d days of UT1 from J2000.0 (Meeus 12.4).
  const LuniSolarPosition lsp;
  std::mt19937_64 rng(1982);
  std::uniform_int_distribution<unsigned> day(36934, 88068);  // 1960 .. 2100
  std::uniform_real_distribution<double> sec(0, 86399.999);
  for (int i = 0; i < 500; ++i) {
    const mjd t(day(rng), sec(rng));
    const long double g = lsp.GSTime(t);
    ASSERT_GE(g, 0);
    ASSERT_LT(g, 6.283185307179586);
    const long double d = t.GetMJDay() - 51544.5L + (t.GetSecond() - LeapSecond(t)) / 86400;
    const long double T = d / 36525;
    const long double deg =
        280.46061837L + 360.98564736629L * d + 0.000387933L * T * T - T * T * T / 38710000;
    const long double expected = std::fmod(std::fmod(deg, 360) + 360, 360) / kRadToDeg;
    // The degree form rounds its rate to 1e-11 degrees per day, which
    // accumulates to 1.4e-7 degrees (2.5e-9 rad) over a century.
    EXPECT_NEAR(std::remainder(g - expected, kTwoPi), 0, 3e-9L) << "MJD " << t.GetMJDay();
  }
}

TEST(geomSiderealTime, BeforeJ2000StaysInRange) {
  const LuniSolarPosition lsp;
  for (unsigned d = 41000; d < 51544; d += 97) {  // 1970 .. 2000: T < 0
    const long double g = lsp.GSTime(mjd(d, 1234.5L));
    EXPECT_GE(g, 0);
    EXPECT_LT(g, 6.283185307179586);
  }
}

TEST(geomSiderealTime, LocalAddsTheEastLongitude) {
  const LuniSolarPosition lsp;
  const mjd t(58000, 3600);
  const long double g = lsp.GSTime(t);
  EXPECT_NEAR(lsp.LSTime(t, flh{0.8L, kPi / 12, 300}), std::fmod(g + kPi / 12, kTwoPi), 1e-15L);
  // West longitudes and a full turn wrap into [0, 2 pi).
  const long double west = lsp.LSTime(t, flh{0, -g - 0.25L, 0});
  EXPECT_NEAR(west, 6.283185307179586 - 0.25L, 1e-15L);
  const long double wrapped = lsp.LSTime(t, flh{0, 6.2L, 0});
  EXPECT_GE(wrapped, 0);
  EXPECT_LT(wrapped, 6.283185307179586);
  EXPECT_NEAR(std::remainder(wrapped - g - 6.2L, kTwoPi), 0, 1e-15L);
}

// ---------------------------------------------------------------- the Sun

TEST(geomSun, MeeusExample25a) {
  // 1992-10-13 0 h TD = 1992-10-12 23:59:00.816 UTC: apparent right
  // ascension 198.38083 deg, declination -7.78507 deg, distance 0.99766 AU.
  const LuniSolarPosition lsp;
  const mjd t = GpsFromUtc(1992, 10, 12, 23, 59, 0.816L);
  xyz u;
  long double r = 0;
  lsp.SunPosition(t, u, r);
  EXPECT_NEAR(u.GetLength(), 1, 1e-15L);
  long double ra, dec;
  RaDec(lsp, t, u, ra, dec);
  EXPECT_NEAR(ra, 198.38083L, 0.01L);
  EXPECT_NEAR(dec, -7.78507L, 0.01L);
  EXPECT_NEAR(r / kAUMetres, 0.99766L, 1e-4L);
}

TEST(geomSun, EquinoxAndSolsticeDirections) {
  const LuniSolarPosition lsp;
  xyz u;
  long double r = 0, ra = 0, dec = 0;
  struct Event {
    mjd t;
    long double ra, dec;
  };
  // 2019: March equinox 03-20 21:58, June solstice 06-21 15:54, December
  // solstice 12-22 04:19 UTC; the declination at a solstice is the
  // obliquity, 23.4367 deg.
  const Event events[] = {{GpsFromUtc(2019, 3, 20, 21, 58, 0), 0, 0},
                          {GpsFromUtc(2019, 6, 21, 15, 54, 0), 90, 23.4367L},
                          {GpsFromUtc(2019, 12, 22, 4, 19, 0), 270, -23.4367L}};
  for (const Event& e : events) {
    lsp.SunPosition(e.t, u, r);
    RaDec(lsp, e.t, u, ra, dec);
    EXPECT_NEAR(std::remainder(ra - e.ra, 360.0L), 0, 0.01L) << "MJD " << e.t.GetMJDay();
    EXPECT_NEAR(dec, e.dec, 0.01L) << "MJD " << e.t.GetMJDay();
  }
}

TEST(geomSun, NearGreenwichAtNoonOnTheEquinoxDay) {
  const LuniSolarPosition lsp;
  xyz u;
  long double r = 0;
  lsp.SunPosition(GpsFromUtc(2019, 3, 20, 12, 0, 0), u, r);
  EXPECT_GT(u.GetX(), 0.99L);
  EXPECT_NEAR(u.GetZ(), 0, 0.01L);
  lsp.SunPosition(GpsFromUtc(2019, 3, 21, 0, 0, 0), u, r);
  EXPECT_LT(u.GetX(), -0.99L);
  EXPECT_NEAR(u.GetZ(), 0, 0.01L);
}

TEST(geomSun, DistanceOverAYear) {
  const LuniSolarPosition lsp;
  xyz u;
  long double r = 0;
  // 2019 perihelion 01-03 05:20 UTC at 0.983301 AU, aphelion 07-04 22:11
  // UTC at 1.016754 AU.
  lsp.SunPosition(GpsFromUtc(2019, 1, 3, 5, 20, 0), u, r);
  EXPECT_NEAR(r / kAUMetres, 0.983301L, 1e-4L);
  lsp.SunPosition(GpsFromUtc(2019, 7, 4, 22, 11, 0), u, r);
  EXPECT_NEAR(r / kAUMetres, 1.016754L, 1e-4L);

  // Daily: within 1.7 % of 1 AU, nearest in early January, unit direction.
  const mjd jan1 = GpsFromUtc(2019, 1, 1, 0, 0, 0);
  long double rmin = 2 * kAUMetres;
  int dayOfMin = -1;
  for (int day = 0; day < 365; ++day) {
    mjd t = jan1;
    t += static_cast<long double>(day) * 86400;
    lsp.SunPosition(t, u, r);
    EXPECT_LT(std::fabs(r / kAUMetres - 1), 0.017L);
    EXPECT_NEAR(u.GetLength(), 1, 1e-15L);
    if (r < rmin) {
      rmin = r;
      dayOfMin = day;
    }
  }
  EXPECT_GE(dayOfMin, 0);
  EXPECT_LE(dayOfMin, 5);
}

// --------------------------------------------------------------- the Moon

TEST(geomMoon, MeeusExample47a) {
  // 1992-04-12 0 h TD = 1992-04-11 23:59:01.816 UTC: apparent right
  // ascension 134.688470 deg, declination 13.768368 deg, distance
  // 368409.7 km.  The low-precision series is good to about 0.3 deg and
  // 0.2 Earth radii.
  const LuniSolarPosition lsp;
  const mjd t = GpsFromUtc(1992, 4, 11, 23, 59, 1.816L);
  xyz u;
  long double r = 0;
  lsp.MoonPosition(t, u, r);
  EXPECT_NEAR(u.GetLength(), 1, 1e-15L);
  long double ra, dec;
  RaDec(lsp, t, u, ra, dec);
  EXPECT_LT(SeparationDeg(ra, dec, 134.688470L, 13.768368L), 0.3L);
  EXPECT_NEAR(r, 368409.7e3L, 0.2L * 6378.137e3L);
}

}  // namespace
