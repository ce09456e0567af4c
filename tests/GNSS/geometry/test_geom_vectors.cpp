// Arithmetic and geometry of xyz, xyzt and neu; direction angles and angle
// conversions.
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "GNSS/base/mGNSSc.h"
#include "GNSS/geometry/Azimut.h"
#include "GNSS/geometry/OrbitFrame.h"
#include "GNSS/geometry/neu.h"
#include "GNSS/geometry/xyz.h"
#include "GNSS/geometry/xyzt.h"

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

void ExpectXyz(const xyz& p, long double x, long double y, long double z, long double tol = 0) {
  EXPECT_NEAR(p.GetX(), x, tol);
  EXPECT_NEAR(p.GetY(), y, tol);
  EXPECT_NEAR(p.GetZ(), z, tol);
}

void ExpectXyzt(const xyzt& p, long double x, long double y, long double z, long double t,
                long double tol = 0) {
  EXPECT_NEAR(p.GetX(), x, tol);
  EXPECT_NEAR(p.GetY(), y, tol);
  EXPECT_NEAR(p.GetZ(), z, tol);
  EXPECT_NEAR(p.GetT(), t, tol);
}

// ---------------------------------------------------------------- values

TEST(geomValues, DefaultsAreZeroAndConstructorsKeepFieldOrder) {
  ExpectXyz(xyz(), 0, 0, 0);
  ExpectXyzt(xyzt(), 0, 0, 0, 0);
  const neu n0;
  EXPECT_EQ(n0.GetN(), 0);
  EXPECT_EQ(n0.GetE(), 0);
  EXPECT_EQ(n0.GetU(), 0);

  ExpectXyz(xyz(1, 2, 3), 1, 2, 3);
  ExpectXyzt(xyzt(1, 2, 3, 4), 1, 2, 3, 4);
  const neu n1(5, 6, 7);
  EXPECT_EQ(n1.GetN(), 5);
  EXPECT_EQ(n1.GetE(), 6);
  EXPECT_EQ(n1.GetU(), 7);
}

TEST(geomValues, SettersAndCopiesCarryEveryComponentInExtendedPrecision) {
  // A value that double precision cannot hold: 1 + 2^-60.
  const long double fine = 1.0L + std::ldexp(1.0L, -60);
  ASSERT_NE(fine, 1.0L);

  xyzt t;
  t.Set(fine, 2, 3, 4);
  t.SetY(-fine);
  t.SetZ(7);
  t.SetT(fine);
  const xyzt tc(t);
  xyzt ta;
  ta = t;
  ExpectXyzt(tc, fine, -fine, 7, fine);
  ExpectXyzt(ta, fine, -fine, 7, fine);

  xyz p;
  p.Set(1, 2, 3);
  p.SetX(fine);
  p.SetY(8);
  p.SetZ(-fine);
  const xyz pc(p);
  xyz pa;
  pa = p;
  ExpectXyz(pc, fine, 8, -fine);
  ExpectXyz(pa, fine, 8, -fine);

  neu n;
  n.Set(1, 2, 3);
  n.SetN(fine);
  n.SetE(-2);
  n.SetU(-fine);
  neu na;
  na = n;
  EXPECT_EQ(na.GetN(), fine);
  EXPECT_EQ(na.GetE(), -2);
  EXPECT_EQ(na.GetU(), -fine);
}

TEST(geomValues, SelfAssignmentLeavesTheValue) {
  xyzt t(1, 2, 3, 4);
  xyzt& tr = t;
  t = tr;
  ExpectXyzt(t, 1, 2, 3, 4);
  xyz p(5, 6, 7);
  xyz& pr = p;
  p = pr;
  ExpectXyz(p, 5, 6, 7);
  neu n(8, 9, 10);
  neu& nr = n;
  n = nr;
  EXPECT_EQ(n, neu(8, 9, 10));
}

TEST(geomValues, XyzFromXyztDropsTheClock) {
  xyz p(9, 9, 9);
  p = xyzt(1, 2, 3, 4);
  ExpectXyz(p, 1, 2, 3);
}

TEST(geomValues, EqualityToleratesLessThan1em14PerComponent) {
  const xyzt a(1, 2, 3, 4);
  EXPECT_TRUE(a == xyzt(1 + 5e-15L, 2, 3, 4));
  EXPECT_FALSE(a == xyzt(1, 2, 3, 4 + 2e-14L));  // dt takes part
  EXPECT_TRUE(a != xyzt(1, 2, 3, 4 + 2e-14L));
  EXPECT_FALSE(a != xyzt(1, 2 - 5e-15L, 3, 4));

  EXPECT_TRUE(xyz(1, 2, 3) == xyz(1, 2, 3 + 5e-15L));
  EXPECT_TRUE(xyz(1, 2, 3) != xyz(1, 2 + 2e-14L, 3));
  EXPECT_TRUE(neu(1, 2, 3) == neu(1 - 5e-15L, 2, 3));
  EXPECT_TRUE(neu(1, 2, 3) != neu(1, 2, 3.1L));
}

// ------------------------------------------------------------ arithmetic

TEST(geomArithmetic, XyztOperatorsWorkOnAllFourComponents) {
  xyzt a(10, 20, 30, 1e-3L);
  const xyzt b(1, 2, 3, 4e-4L);
  ExpectXyzt(a - b, 9, 18, 27, 6e-4L, 1e-18L);  // a clock difference survives
  ExpectXyzt(a + b, 11, 22, 33, 1.4e-3L, 1e-18L);

  xyzt& r1 = (a += b);
  EXPECT_EQ(&r1, &a);
  ExpectXyzt(a, 11, 22, 33, 1.4e-3L, 1e-18L);
  xyzt& r2 = (a -= b);
  EXPECT_EQ(&r2, &a);
  ExpectXyzt(a, 10, 20, 30, 1e-3L, 1e-18L);
}

TEST(geomArithmetic, XyztScalingLeavesTheClock) {
  xyzt a(2, 4, 6, 5);
  a *= 3;
  ExpectXyzt(a, 6, 12, 18, 5);
  a /= 6;
  ExpectXyzt(a, 1, 2, 3, 5);
}

TEST(geomArithmetic, XyzOperatorsAndMixedOperationsIgnoreTheClock) {
  const xyz p(10, 20, 30);
  const xyzt t(1, 2, 3, 99);
  ExpectXyz(p - t, 9, 18, 27);
  ExpectXyz(p + t, 11, 22, 33);
  ExpectXyz(t + p, 11, 22, 33);
  ExpectXyz(t - p, -9, -18, -27);
  ExpectXyz(p + xyz(1, 1, 1), 11, 21, 31);
  ExpectXyz(p - xyz(1, 1, 1), 9, 19, 29);

  xyz q(p);
  EXPECT_EQ(&(q += t), &q);
  ExpectXyz(q, 11, 22, 33);
  EXPECT_EQ(&(q -= t), &q);
  ExpectXyz(q, 10, 20, 30);
  q += xyz(1, 2, 3);
  ExpectXyz(q, 11, 22, 33);
  q -= xyz(1, 2, 3);
  q *= 2;
  ExpectXyz(q, 20, 40, 60);
  q /= 4;
  ExpectXyz(q, 5, 10, 15);

  ExpectXyz(2.5L * p, 25, 50, 75);
  ExpectXyz(p * 0.5L, 5, 10, 15);
}

TEST(geomArithmetic, XyzProducts) {
  const xyz a(1, 2, 3), b(4, -5, 6);
  EXPECT_EQ(a * b, 4 - 10 + 18);
  EXPECT_EQ(a * xyzt(4, -5, 6, 1000), 12);  // dt takes no part
  ExpectXyz(ElementP(a, b), 4, -10, 18);
  ExpectXyz(sqrt(xyz(4, 9, 2.25L)), 2, 3, 1.5L);

  // Right-handed basis, and the cross product is perpendicular to both.
  ExpectXyz(CrossP(xyz(1, 0, 0), xyz(0, 1, 0)), 0, 0, 1);
  ExpectXyz(CrossP(xyz(0, 1, 0), xyz(0, 0, 1)), 1, 0, 0);
  ExpectXyz(CrossP(xyz(0, 0, 1), xyz(1, 0, 0)), 0, 1, 0);
  const xyz c = CrossP(a, b);
  ExpectXyz(c, 2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4);
  EXPECT_EQ(c * a, 0);
  EXPECT_EQ(c * b, 0);
  ExpectXyz(CrossP(b, a), -c.GetX(), -c.GetY(), -c.GetZ());
}

TEST(geomArithmetic, Lengths) {
  EXPECT_EQ(xyz(3, 4, 12).GetLength(), 13);
  EXPECT_EQ(xyzt(3, 4, 12, 1000).GetLength(), 13);
  EXPECT_EQ(neu(2, 3, 6).GetLength(), 7);
}

TEST(geomArithmetic, NeuOperators) {
  const neu a(1, 2, 3), b(0.5L, -1, 2);
  EXPECT_EQ(a + b, neu(1.5L, 1, 5));
  EXPECT_EQ(a - b, neu(0.5L, 3, 1));
  EXPECT_EQ(2 * a, neu(2, 4, 6));
  EXPECT_EQ(a * 3, neu(3, 6, 9));
  EXPECT_EQ(ElementP(a, b), neu(0.5L, -2, 6));
  EXPECT_EQ(sqrt(neu(1, 4, 16)), neu(1, 2, 4));
  neu c(a);
  EXPECT_EQ(&(c += b), &c);
  EXPECT_EQ(c, neu(1.5L, 1, 5));
  EXPECT_EQ(&(c -= b), &c);
  EXPECT_EQ(c, a);
  c /= 4;
  EXPECT_EQ(c, neu(0.25L, 0.5L, 0.75L));
}

// ---------------------------------------------------------- unit vectors

TEST(geomUnitVector, ScalesBySignAndClearsTheClock) {
  ExpectXyz(xyz(3, 0, 4).GetUnitVector(-1), -0.6L, 0, -0.8L, 1e-18L);
  ExpectXyz(xyz(3, 0, 4).GetUnitVector(1), 0.6L, 0, 0.8L, 1e-18L);
  ExpectXyzt(xyzt(3, 0, 4, 7).GetUnitVector(-1), -0.6L, 0, -0.8L, 0, 1e-18L);
  // A signed length gives a vector of that length.
  ExpectXyz(xyz(0, -2, 0).GetUnitVector(-2.5L), 0, 2.5L, 0, 1e-18L);
}

TEST(geomUnitVector, SatelliteScaleVectorsHaveUnitLength) {
  // GNSS orbit radii and a Sun distance: the 1e-6 scaling must not cost
  // precision at these magnitudes.
  const xyz orbit(-12345678.901L, 20123456.789L, 15432109.876L);
  EXPECT_NEAR(orbit.GetUnitVector(1).GetLength(), 1.0L, 1e-18L);
  const xyz sun(1.4e11L, -3.2e10L, 1.1e10L);
  const xyz u = sun.GetUnitVector(-1);
  EXPECT_NEAR(u.GetLength(), 1.0L, 1e-18L);
  EXPECT_NEAR(u.GetX() * sun.GetLength(), -sun.GetX(), 1e-6L);
}

TEST(geomUnitVector, ZeroVectorGivesZeroVectorNotNaN) {
  const xyz u = xyz().GetUnitVector(-1);
  ExpectXyz(u, 0, 0, 0);
  EXPECT_FALSE(std::isnan(u.GetX()) || std::isnan(u.GetY()) || std::isnan(u.GetZ()));
  const xyzt ut = xyzt(0, 0, 0, 5).GetUnitVector(1);
  ExpectXyzt(ut, 0, 0, 0, 0);
  // So small that the scaled squares vanish: still no NaN.
  const xyz tiny = xyz(1e-4000L, 0, 0).GetUnitVector(1);
  EXPECT_FALSE(std::isnan(tiny.GetX()));
}

// ------------------------------------------------------------- rotations

TEST(geomRotation, QuarterTurnsMapTheAxesCounterClockwise) {
  const long double q = kPi / 2;
  ExpectXyz(xyz(1, 0, 7).RotateZ(q), 0, 1, 7, 1e-18L);
  ExpectXyz(xyz(0, 1, 7).RotateZ(q), -1, 0, 7, 1e-18L);
  ExpectXyz(xyz(7, 1, 0).RotateX(q), 7, 0, 1, 1e-18L);
  ExpectXyz(xyz(0, 7, 1).RotateY(q), 1, 7, 0, 1e-18L);
  // Clock kept.
  ExpectXyzt(xyzt(1, 0, 7, 0.25L).RotateZ(q), 0, 1, 7, 0.25L, 1e-18L);
  ExpectXyzt(xyzt(7, 1, 0, 0.25L).RotateX(q), 7, 0, 1, 0.25L, 1e-18L);
  ExpectXyzt(xyzt(0, 7, 1, 0.25L).RotateY(q), 1, 7, 0, 0.25L, 1e-18L);
}

TEST(geomRotation, RotationsKeepLengthInvertAndLeaveTheObject) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> coord(-3e7, 3e7), angle(-10, 10);
  for (int i = 0; i < 200; ++i) {
    const xyz p(coord(rng), coord(rng), coord(rng));
    const long double a = angle(rng);
    const xyz before(p);
    for (const xyz& r : {p.RotateX(a), p.RotateY(a), p.RotateZ(a)}) {
      EXPECT_NEAR(r.GetLength(), p.GetLength(), 1e-8L);
    }
    const xyz back = p.RotateZ(a).RotateZ(-a);
    ExpectXyz(back, p.GetX(), p.GetY(), p.GetZ(), 1e-8L);
    EXPECT_TRUE(p == before);
    // A z rotation leaves z, the angle of (x, y) grows by a.
    const xyz r = p.RotateZ(a);
    EXPECT_EQ(r.GetZ(), p.GetZ());
    const long double turned = std::atan2(r.GetY(), r.GetX()) - std::atan2(p.GetY(), p.GetX());
    EXPECT_NEAR(std::remainder(turned - a, 2 * kPi), 0, 1e-15L);
  }
}

// ----------------------------------------------------------- orbit frame

TEST(geomOrbitFrame, HandWorkedOrbitsSplitADifferenceIntoRadialAlongCross) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  // An orbit at inclination 55 deg crossing the equator northwards on the x
  // axis at 3874 m/s inertial: along-track is (0, cos i, sin i), cross-track
  // (0, -sin i, cos i).  Its Earth-fixed velocity lacks the Earth's turn.
  const long double inc = 55 * kPi / 180, s = 3874, R = 26560e3;
  const xyz meoV(0, s * std::cos(inc) - GPSc::OMEGAe * R, s * std::sin(inc));
  const xyz meoAlong(0, std::cos(inc), std::sin(inc)), meoCross(0, -std::sin(inc), std::cos(inc));
  struct Row {
    const char* what;
    xyz r, v, d;
    long double radial, along, cross;
  } rows[] = {
      // Over the pole the Earth's turn adds nothing: r x v = -x.
      {"polar", xyz(0, 0, 7e6), xyz(0, 5, 0), xyz(1, 2, 3), 3, 2, -1},
      // At rest over the equator: the Earth's turn alone gives the track.
      {"geostationary", xyz(42164e3, 0, 0), xyz(), xyz(1, 2, 3), 1, 2, 3},
      {"inclined, along", xyz(R, 0, 0), meoV, 2 * meoAlong, 0, 2, 0},
      {"inclined, cross", xyz(R, 0, 0), meoV, xyz(5, 0, 0) - 3 * meoCross, 5, 0, -3},
      // Straight up over the pole: no orbit plane.
      {"radial motion", xyz(0, 0, 7e6), xyz(0, 0, 100), xyz(1, 2, 3), 3, nan, nan},
      {"no position", xyz(), xyz(0, 5, 0), xyz(1, 2, 3), nan, nan, nan},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const OrbitFrameDiff got = ProjectOnOrbitFrame(row.r, row.v, row.d);
    const long double want[] = {row.radial, row.along, row.cross};
    const long double have[] = {got.radial, got.along, got.cross};
    for (int i = 0; i < 3; ++i) {
      if (std::isnan(want[i])) {
        EXPECT_TRUE(std::isnan(have[i])) << i;
      } else {
        EXPECT_NEAR(have[i], want[i], 1e-12L) << i;
      }
    }
  }
}

TEST(geomOrbitFrame, DirectionsAreOrthonormalAndRightHanded) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> coord(-3e7, 3e7), speed(-4e3, 4e3);
  for (int i = 0; i < 100; ++i) {
    const xyz r(coord(rng), coord(rng), coord(rng)), v(speed(rng), speed(rng), speed(rng));
    const OrbitFrame f = OrbitFrameOf(r, v);
    for (const xyz& u : {f.radial, f.along, f.cross}) EXPECT_NEAR(u.GetLength(), 1, 1e-15L);
    EXPECT_NEAR(f.radial * f.along, 0, 1e-15L);
    EXPECT_NEAR(f.radial * f.cross, 0, 1e-15L);
    ExpectXyz(CrossP(f.radial, f.along), f.cross.GetX(), f.cross.GetY(), f.cross.GetZ(), 1e-15L);
    EXPECT_NEAR(f.radial * r, r.GetLength(), 1e-6L);
  }
}

// -------------------------------------------------------------- azimuth

TEST(geomAzimuth, AxisDirectionsAndCoincidentPoints) {
  // The axis angles are the double-precision values of pi/2, pi, 3 pi/2.
  EXPECT_EQ(Azimuth(0, 0, 0, 1), 0);
  EXPECT_EQ(Azimuth(0, 0, 1, 0), 1.5707963267948966);
  EXPECT_EQ(Azimuth(0, 0, 0, -1), 3.141592653589793);
  EXPECT_EQ(Azimuth(0, 0, -1, 0), 4.71238898038469);
  EXPECT_EQ(Azimuth(0, 0, 0, 0), 0);
  EXPECT_EQ(Azimuth(5, 5, 5, 5), 0);
  // Differences below 1e-14 are zero.
  EXPECT_EQ(Azimuth(0, 0, 1e-15L, 1), 0);
  EXPECT_EQ(Azimuth(0, 0, -1e-15L, 1), 0);
  EXPECT_EQ(Azimuth(0, 0, 1, 1e-15L), 1.5707963267948966);
  EXPECT_EQ(Azimuth(0, 0, 1e-15L, -1e-15L), 0);
  // Only the difference counts.
  EXPECT_EQ(Azimuth(3, 4, 3, 2), 3.141592653589793);
}

TEST(geomAzimuth, QuadrantsAgreeWithTheTwoArgumentArcTangent) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> coord(-10, 10);
  for (int i = 0; i < 2000; ++i) {
    const long double x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    const long double a = Azimuth(x1, y1, x2, y2);
    ASSERT_GE(a, 0);
    ASSERT_LT(a, 2 * kPi);
    long double expected = std::atan2(x2 - x1, y2 - y1);
    if (expected < 0) expected += 2 * kPi;
    EXPECT_NEAR(a, expected, 1e-15L);
  }
  // One point per quadrant by hand.
  EXPECT_NEAR(Azimuth(0, 0, 1, 1), kPi / 4, 1e-18L);
  EXPECT_NEAR(Azimuth(0, 0, 1, -1), 3 * kPi / 4, 1e-15L);
  EXPECT_NEAR(Azimuth(0, 0, -1, -1), 5 * kPi / 4, 1e-15L);
  EXPECT_NEAR(Azimuth(0, 0, -1, 1), 7 * kPi / 4, 1e-15L);
}

TEST(geomAzimuth, TrueAnomalyFromEccentricAnomaly) {
  // nu from E for an orbit with e = 0.02: tan(nu/2) = sqrt((1+e)/(1-e)) tan(E/2).
  const long double e = 0.02L;
  for (long double E = 0.05L; E < 2 * kPi; E += 0.5L) {
    const long double nu =
        Azimuth(0, 0, std::sqrt(1 - e * e) * std::sin(E), std::cos(E) - e);
    long double expected = 2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::tan(E / 2));
    if (expected < 0) expected += 2 * kPi;
    EXPECT_NEAR(nu, expected, 1e-15L) << "E = " << static_cast<double>(E);
  }
}

// ------------------------------------------------------ angle conversions

TEST(geomAngles, UnitConversions) {
  EXPECT_NEAR(deg2rad(180), kPi, 1e-18L);
  EXPECT_NEAR(rad2deg(kPi / 2), 90, 1e-16L);
  EXPECT_NEAR(deg2gon(90), 100, 1e-16L);
  EXPECT_NEAR(rad2gon(kPi), 200, 1e-16L);
  EXPECT_NEAR(rad2deg(deg2rad(123.456L)), 123.456L, 1e-15L);
  EXPECT_NEAR(dms2deg(46, 3, 25.2L), 46.057L, 1e-16L);
  EXPECT_NEAR(dms2deg(-46, 3, 25.2L), -46.057L, 1e-16L);
  EXPECT_NEAR(dms2deg(0, -30, 0), -0.5L, 1e-18L);
  EXPECT_NEAR(dms2rad(180, 0, 0), kPi, 1e-18L);
}

TEST(geomAngles, RadiansToDegreesMinutesSeconds) {
  int d = 0, m = 0;
  long double s = 0;
  rad2dms(deg2rad(dms2deg(14, 30, 15.25L)), d, m, s);
  EXPECT_EQ(d, 14);
  EXPECT_EQ(m, 30);
  EXPECT_NEAR(s, 15.25L, 1e-10L);

  rad2dms(deg2rad(-0.5L), d, m, s);  // sign on the first non-zero part
  EXPECT_EQ(d, 0);
  EXPECT_EQ(m, -30);
  EXPECT_NEAR(s, 0, 1e-10L);

  // A hair below a whole degree carries rather than giving 59' 60".
  rad2dms(deg2rad(30 - 1e-14L), d, m, s);
  EXPECT_EQ(d, 30);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(s, 0);
}

TEST(geomAngles, PackedSexagesimal) {
  int d = 0, m = 0;
  long double s = 0;
  dms2dms(46.0325L, d, m, s);
  EXPECT_EQ(d, 46);
  EXPECT_EQ(m, 3);
  EXPECT_NEAR(s, 25, 1e-9L);

  dms2dms(-14.5959L, d, m, s);
  EXPECT_EQ(d, -14);
  EXPECT_EQ(m, 59);
  EXPECT_NEAR(s, 59, 1e-9L);

  dms2dms(0.3, d, m, s);  // stored a hair below 0.30: still 30 minutes
  EXPECT_EQ(d, 0);
  EXPECT_EQ(m, 30);
  EXPECT_NEAR(s, 0, 1e-9L);
}

}  // namespace
