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

#include "GNSS/antenna/antexNew.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/antenna/test_antex_util.h"

namespace {

using atxtest::Record;
using atxtest::WarningFrame;

// The added Galileo satellite's E01 offset, mm (x, y, z of the body frame).
constexpr double kGalX = 200.0, kGalY = 50.0, kGalZ = 800.0;

// igs05.atx with a Galileo (E01, offset above), a BeiDou, a QZSS, two
// GLONASS-K2 and a BLOCK IIIF satellite appended, all valid at any epoch.
std::string TodaysAntex() {
  const std::string up2m = "      0.00      0.00   2000.00";
  return orbtest::ReadFileText(orbtest::DataFile("igs05.atx")) +
         Record("GALILEO-2           E01", {{"E05", "    200.00     50.00    700.00"},
                                            {"E01", "    200.00     50.00    800.00"}}) +
         Record("BEIDOU-3M           C20", {{"C01", up2m}, {"C02", up2m}}) +
         Record("QZSS-2I             J03", {{"J01", up2m}}) +
         Record("GLONASS-K2          R09", {{"R01", up2m}}) +
         Record("BLOCK IIIF          G11", {{"G01", up2m}}) +
         Record("GLONASS-K2          R10", {{"R01", up2m}});
}

TEST(atxTodaysFile, Igs05WithNewSatellitesReadsWithOneWarningPerUnknownBlockName) {
  ORBIKA_REQUIRE_DATA();
  antex plain;
  atxtest::Load(plain, orbtest::DataFile("igs05.atx"));
  const std::string path = orbtest::WriteTempFile(TodaysAntex(), ".atx");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    antex atx;
    atxtest::Load(atx, path);
    const long n = atx.GetNAntenna();
    std::printf("%ld %ld %ld %ld %ld %ld\n", n - plain.GetNAntenna(),
                atx.GetNGPSSat() - plain.GetNGPSSat(), atx.GetNGLNSat() - plain.GetNGLNSat(),
                atx.GetNGALSat() - plain.GetNGALSat(), atx.GetNOtherSat() - plain.GetNOtherSat(),
                atx.GetNRec() - plain.GetNRec());
    for (long i = n - 6; i < n; ++i) std::printf("%d ", atx.GetAntenna(i).GetSatID());
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "6 1 2 1 2 0\n201 320 503 109 11 110 ");
  const std::string tail = "< NOT KNOWN - ITS ANTENNAS ARE USED WITHOUT A BLOCK CODE!";
  EXPECT_EQ(r.err, WarningFrame("SATELLITE BLOCK >GLONASS-K2" + tail) +
                       WarningFrame("SATELLITE BLOCK >BLOCK IIIF" + tail));
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
