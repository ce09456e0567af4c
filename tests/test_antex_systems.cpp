// Today's ANTEX content on real data: igs05.atx with satellites of the newer
// systems and block names without a code added, and the printed move of set
// D's Galileo positions to their E01 phase centre, checked against an
// independent Sun.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "GNSS/antexNew.h"
#include "tests/TestUtil.h"
#include "tests/test_antex_util.h"

namespace {

using atxtest::Record;
using atxtest::WarningFrame;

// The added Galileo satellite's E01 offset, mm (x, y, z of the body frame).
constexpr double kGalX = 200.0, kGalY = 50.0, kGalZ = 800.0;

std::string Neu(double n, double e, double u) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%10.2f%10.2f%10.2f", n, e, u);
  return buf;
}

// igs05.atx with a Galileo (E01), a BeiDou, a QZSS, a GLONASS-K2 and a BLOCK
// IIIF satellite appended, all valid at any epoch.
std::string TodaysAntex() {
  std::string text = orbtest::ReadFileText(orbtest::DataFile("igs05.atx"));
  text += Record("GALILEO-2           E01                 E210      2016-030B",
                 {{"E01", Neu(kGalX, kGalY, kGalZ)}, {"E05", Neu(kGalX, kGalY, 700.0)}}) +
          Record("BEIDOU-3M           C20                 C202      2018-029A",
                 {{"C01", Neu(-200.0, 0.0, 1300.0)}, {"C02", Neu(-200.0, 0.0, 1300.0)}}) +
          Record("QZSS-2I             J03                 J004      2017-062A",
                 {{"J01", Neu(0.0, 0.0, 3000.0)}}) +
          Record("GLONASS-K2          R09                 R803      2026-999A",
                 {{"R01", Neu(0.0, 0.0, 2100.0)}}) +
          Record("BLOCK IIIF          G11                 G080      2027-001A",
                 {{"G01", Neu(394.0, 0.0, 1500.0)}});
  return text;
}

TEST(atxTodaysFile, Igs05WithNewSatellitesReadsWithOneWarningPerUnknownBlock) {
  ORBIKA_REQUIRE_DATA();
  antex plain;
  atxtest::Load(plain, orbtest::DataFile("igs05.atx"));
  const std::string path = orbtest::WriteTempFile(TodaysAntex(), ".atx");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    antex atx;
    atxtest::Load(atx, path);
    const long n = atx.GetNAntenna();
    std::printf("%ld %ld %ld %ld %ld %ld\n", n, atx.GetNGPSSat(), atx.GetNGLNSat(),
                atx.GetNGALSat(), atx.GetNOtherSat(), atx.GetNRec());
    for (long i = n - 5; i < n; ++i) {
      const AntennaPCV a = atx.GetAntenna(i);
      std::printf("%d %d\n", a.GetSatID(), a.GetNFreqBlocks());
    }
  });
  EXPECT_EQ(r.status, 0);
  char expected[256];
  std::snprintf(expected, sizeof expected, "%ld %ld %ld %ld %ld %ld\n", plain.GetNAntenna() + 5,
                plain.GetNGPSSat() + 1, plain.GetNGLNSat() + 1, plain.GetNGALSat() + 1,
                plain.GetNOtherSat() + 2, plain.GetNRec());
  EXPECT_EQ(r.out, std::string(expected) + "201 2\n320 2\n503 1\n109 1\n11 1\n");
  EXPECT_EQ(r.err, WarningFrame("SATELLITE BLOCK >GLONASS-K2< NOT KNOWN - ITS ANTENNAS ARE "
                                "USED WITHOUT A BLOCK CODE!") +
                       WarningFrame("SATELLITE BLOCK >BLOCK IIIF< NOT KNOWN - ITS ANTENNAS ARE "
                                    "USED WITHOUT A BLOCK CODE!"));
}

// ---------------------------------------------------------------- set D

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
// GPS - UTC on set D's day, s (data README).
constexpr double kGpsMinusUtc = 18.0;

using atxtest::Cross;
using atxtest::Dot;
using atxtest::Norm;
using atxtest::Unit;
using atxtest::V;

// Earth-fixed unit vector to the Sun at MJD mjd (GPS time), to about 0.02
// degrees: mean longitude and anomaly with the first two terms of the
// equation of centre (Meeus, Astronomical Algorithms ch. 25, low accuracy),
// fixed obliquity, turned by the mean sidereal angle of Greenwich (Meeus
// eq. 12.4, first two terms).
V SunEarthFixed(long double mjd) {
  // Days of UTC from J2000.0.
  const double d = static_cast<double>(mjd) - kGpsMinusUtc / 86400.0 - 51544.5;
  const double T = d / 36525.0;
  const double L0 = 280.46646 + 36000.76983 * T;
  const double M = (357.52911 + 35999.05029 * T) * kDeg;
  const double lambda = (L0 + 1.914602 * std::sin(M) + 0.019993 * std::sin(2 * M)) * kDeg;
  const double eps = 23.4393 * kDeg;
  const V inertial = {std::cos(lambda), std::cos(eps) * std::sin(lambda),
                      std::sin(eps) * std::sin(lambda)};
  const double theta = std::fmod(280.46061837 + 360.98564736629 * d, 360.0) * kDeg;
  return {std::cos(theta) * inertial.x + std::sin(theta) * inertial.y,
          -std::sin(theta) * inertial.x + std::cos(theta) * inertial.y, inertial.z};
}

// Checks the move of a satellite at centre-of-mass position p (m) at MJD mjd
// to p + shift against the E01 offset: z towards the Earth's centre, x
// towards the Sun's side and y along z x Sun, the x and y parts scaled by
// sin(angle between nadir and Sun), as for GPS.  tol in metres.
void ExpectBodyFrameShift(const V& p, const V& shift, long double mjd, double tol) {
  const V z = Unit(-1.0L * p);
  const V sun = Unit(1.496e11L * SunEarthFixed(mjd) - p);
  const V y = Cross(z, sun);  // length sin(angle)
  const V x = Cross(y, z);
  const double s2 = static_cast<double>(Dot(y, y));
  const double mm = 1e-3;
  const double full = mm * std::sqrt(kGalX * kGalX + kGalY * kGalY + kGalZ * kGalZ);
  const double len = static_cast<double>(Norm(shift));
  EXPECT_NEAR(len, mm * std::sqrt(kGalZ * kGalZ + s2 * (kGalX * kGalX + kGalY * kGalY)), tol);
  EXPECT_LE(len, full + tol);
  EXPECT_NEAR(static_cast<double>(Dot(shift, z)), mm * kGalZ, tol);
  EXPECT_NEAR(static_cast<double>(Dot(shift, x)), mm * kGalX * s2, tol);
  EXPECT_NEAR(static_cast<double>(Dot(shift, y)), mm * kGalY * s2, tol);
}

// Printed positions (m) of satellite code sat by MJD, from the table of a run.
std::map<long double, V> Printed(const std::string& out, const std::string& sat) {
  std::map<long double, V> pos;
  std::istringstream lines(out);
  std::string line, date, time, code;
  while (std::getline(lines, line)) {
    std::istringstream f(line);
    long double day, sec;
    V p;
    if (f >> date >> time >> day >> sec >> code >> p.x >> p.y >> p.z && code == sat)
      pos[day + sec / 86400.0L] = p;
  }
  return pos;
}

TEST(atxTodaysFile, SetDPrintedGalileoDifferenceIsItsE01OffsetInTheSunOrientedFrame) {
  ORBIKA_REQUIRE_DATA();
  // Read as distributed, gzip-compressed.
  const std::string sp3 = orbtest::DataFile("setD/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz");
  const std::string atx = orbtest::WriteTempFile(TodaysAntex(), ".atx");
  const orbtest::RunResult com = orbtest::RunOrbika({"-ep" + sp3, "-dt900"});
  const orbtest::RunResult pc = orbtest::RunOrbika({"-ep" + sp3, "-pv" + atx, "-dt900"});
  ASSERT_EQ(com.status, 0) << com.err.substr(0, 2000);
  ASSERT_EQ(pc.status, 0) << pc.err.substr(0, 2000);
  const std::map<long double, V> before = Printed(com.out, "E01"), after = Printed(pc.out, "E01");
  ASSERT_EQ(before.size(), 96u);
  ASSERT_EQ(after.size(), 96u);
  for (const auto& [t, p] : before) {
    SCOPED_TRACE(static_cast<double>(t));
    // Printed to the millimetre.
    ExpectBodyFrameShift(p, after.at(t) - p, t, 2e-3);
  }
}

}  // namespace
