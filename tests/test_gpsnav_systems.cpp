// Galileo, BeiDou and QZSS broadcast records in the store: hand-worked
// records whose positions and clocks follow from the elements alone, the
// orbit radius of eccentric records, BeiDou time, the choice of Galileo
// F/NAV records, and set D's BeiDou GEO and Galileo satellites against
// their slot and the precise orbits.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GNSS/GNSSpEph.h"
#include "GNSS/GPSbEph.h"
#include "GNSS/TimeConverse.h"
#include "tests/TestUtil.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180;

// Elements of one hand-made record (angles in radians).
struct Elements {
  const char* code;  // e.g. "C11"
  double sqrtA, e, M0, omega, i0, Omega0;
  double af0, af1;
  double dataSources;  // Galileo: 258 F/NAV, 513 I/NAV
};

std::string Field(double v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%19.12E", v);
  return buf;
}

// A version 3 record at Sunday 2020-06-21 00:00:00 of the system's time,
// Toe 0 s of the week, no harmonic corrections or rates.
std::string Record(const Elements& r) {
  const double v[29] = {r.af0, r.af1, 0,     1, 0, 0,        r.M0, 0, r.e, 0,
                        r.sqrtA, 0, 0, r.Omega0, 0, r.i0, 0, r.omega, 0, 0,
                        r.dataSources, 2111, 0, 2, 0, 0, 1, 0, 4};
  std::string out = std::string(r.code) + " 2020 06 21 00 00 00";
  for (int k = 0; k < 29; ++k) {
    if (k >= 3 && (k - 3) % 4 == 0) out += "\n    ";
    out += Field(v[k]);
  }
  return out + "\n";
}

std::string Header() {
  std::string h = "     3.04           N: GNSS NAV DATA    M: MIXED";
  h.resize(60, ' ');
  h += "RINEX VERSION / TYPE\n";
  return h + std::string(60, ' ') + "END OF HEADER\n";
}

GPSbEph Load(const std::string& path) {
  GPSbEph nav;
  nav.SetFile(path.c_str());
  nav.ReadFile();
  return nav;
}

mjd At(int day, long double second) {
  mjd t;
  t.Set(static_cast<std::uint32_t>(day), 0);
  t += second;
  return t;
}

constexpr int kSunday = 59021;  // 2020-06-21

double Length(const xyzt& p) {
  return std::sqrt(static_cast<double>(p.GetX() * p.GetX() + p.GetY() * p.GetY() +
                                       p.GetZ() * p.GetZ()));
}

std::string Gunzip(const std::string& path) {
  gzFile f = gzopen(path.c_str(), "rb");
  EXPECT_NE(f, nullptr) << path;
  std::string text;
  char buf[1 << 16];
  for (int n; f != nullptr && (n = gzread(f, buf, sizeof buf)) > 0;) text.append(buf, n);
  if (f != nullptr) gzclose(f);
  return orbtest::WriteTempFile(text);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

TEST(KeplerSystems, HandWorkedRecordsOfEachSystem) {
  // At Toe a circular orbit with its argument of perigee at 90 degrees puts
  // the satellite at the top of its orbit: X = -a cos i sin Omega0,
  // Y = a cos i cos Omega0, Z = a sin i, whatever GM and the Earth's rate.
  // BeiDou epochs are BDT: Toe 0 of the BDT week is 14 s after the GPS week
  // starts.
  const struct {
    Elements el;
    int satellite;
    double toGPS;
  } cases[] = {
      {{"E11", 5440.6, 0, 0, 90 * kDeg, 56 * kDeg, 30 * kDeg, 1e-4, 1e-11, 258}, 211, 0},
      {{"C11", 5282.6, 0, 0, 90 * kDeg, 55 * kDeg, -40 * kDeg, -2e-4, 3e-11, 0}, 311, 14},
      {{"C08", 6493.4, 0, 0, 90 * kDeg, 55 * kDeg, 120 * kDeg, 5e-4, -1e-11, 0}, 308, 14},
      {{"J02", 6493.3, 0, 0, 90 * kDeg, 41 * kDeg, 200 * kDeg, 3e-5, 2e-12, 0}, 502, 0},
  };
  std::string text = Header();
  for (const auto& c : cases) text += Record(c.el);
  GPSbEph nav = Load(orbtest::WriteTempFile(text));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.el.code);
    const double a = c.el.sqrtA * c.el.sqrtA;
    xyzt p;
    long double tgd = 0;
    nav.CalcOrbikaition(c.satellite, At(kSunday, c.toGPS), At(kSunday, c.toGPS), p, &tgd, 0, 0);
    EXPECT_NEAR(static_cast<double>(p.GetX()), -a * std::cos(c.el.i0) * std::sin(c.el.Omega0), 1e-3);
    EXPECT_NEAR(static_cast<double>(p.GetY()), a * std::cos(c.el.i0) * std::cos(c.el.Omega0), 1e-3);
    EXPECT_NEAR(static_cast<double>(p.GetZ()), a * std::sin(c.el.i0), 1e-3);
    // A circular orbit has no relativistic clock term: af0 + af1 (t - Toc).
    nav.CalcOrbikaition(c.satellite, At(kSunday, c.toGPS + 3600), At(kSunday, c.toGPS), p, &tgd,
                        0, 0);
    EXPECT_NEAR(static_cast<double>(p.GetT()), c.el.af0 + 3600 * c.el.af1, 1e-18);
  }
}

TEST(KeplerSystems, EccentricOrbitsKeepTheirRadiusAndInclination) {
  // Over a day an orbit without corrections stays between perigee a (1 - e)
  // and apogee a (1 + e), reaches both, and climbs to sin i of its radius.
  const struct {
    Elements el;
    int satellite;
  } cases[] = {
      {{"J01", 6493.3, 0.075, 0.3, 270 * kDeg, 41 * kDeg, 1.0, 0, 0, 0}, 501},
      {{"C13", 6493.4, 0.01, 2.0, 180 * kDeg, 55 * kDeg, -2.0, 0, 0, 0}, 313},
      {{"E08", 5440.6, 0.002, 1.0, 10 * kDeg, 56 * kDeg, 0.5, 0, 0, 258}, 208},
  };
  std::string text = Header();
  for (const auto& c : cases) text += Record(c.el);
  GPSbEph nav = Load(orbtest::WriteTempFile(text));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.el.code);
    const double a = c.el.sqrtA * c.el.sqrtA;
    double rmin = 1e300, rmax = 0, zmax = 0;
    for (int s = 0; s <= 86400; s += 20) {
      xyzt p;
      long double tgd;
      nav.CalcOrbikaition(c.satellite, At(kSunday, s), At(kSunday, 0), p, &tgd, 0, 0);
      const double r = Length(p);
      rmin = std::min(rmin, r);
      rmax = std::max(rmax, r);
      zmax = std::max(zmax, static_cast<double>(p.GetZ()) / r);
    }
    EXPECT_GE(rmin, a * (1 - c.el.e) - 1e-3);
    EXPECT_LE(rmax, a * (1 + c.el.e) + 1e-3);
    EXPECT_NEAR(rmin, a * (1 - c.el.e), 2.0);
    EXPECT_NEAR(rmax, a * (1 + c.el.e), 2.0);
    EXPECT_NEAR(zmax, std::sin(c.el.i0), 1e-6);
  }
}

TEST(KeplerSystems, GalileoFNAVRecordsArePreferred) {
  // E11 has an I/NAV and an F/NAV record, E12 only I/NAV: the store keeps
  // E11's F/NAV record and E12's I/NAV record.
  Elements inav = {"E11", 5440.6, 0, 0, 0, 56 * kDeg, 0, 1e-4, 0, 513};
  Elements fnav = inav;
  fnav.af0 = 2e-4;
  fnav.dataSources = 258;
  Elements other = inav;
  other.code = "E12";
  GPSbEph nav = Load(orbtest::WriteTempFile(Header() + Record(inav) + Record(fnav) + Record(other)));
  const GPSbEphData& d = nav.GetData();
  ASSERT_EQ(nav.GetNSat(), 2u);
  EXPECT_EQ(d.sat(0), 211);
  EXPECT_EQ(d.data(0, 0), static_cast<long double>(2e-4));
  EXPECT_EQ(d.sat(1), 212);
  EXPECT_EQ(d.data(1, 20), 513);
}

TEST(KeplerSystems, SetDBeiDouGEOStaysInItsSlot) {
  ORBIKA_REQUIRE_DATA();
  GPSbEph nav = Load(Gunzip(orbtest::DataFile("setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz")));
  // C05: 58.75 degrees East, 42,164 km from the Earth's centre.
  for (int s = 0; s < 86400; s += 300) {
    xyzt p;
    long double tgd;
    nav.CalcOrbikaition(305, At(59025, s), At(59025, s), p, &tgd, 0, 0);
    const double lon = std::atan2(static_cast<double>(p.GetY()), static_cast<double>(p.GetX()));
    EXPECT_NEAR(lon / kDeg, 58.75, 1.0) << s;
    EXPECT_NEAR(Length(p), 42164e3, 100e3) << s;
  }
}

TEST(KeplerSystems, SetDGalileoAgreesWithThePreciseOrbits) {
  ORBIKA_REQUIRE_DATA();
  GPSbEph nav = Load(Gunzip(orbtest::DataFile("setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz")));
  GNSSpEph sp3;
  const std::string sp3file = Gunzip(orbtest::DataFile("setD/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz"));
  sp3.SetFile(sp3file.c_str());
  sp3.ReadFile();
  const matrix<short> list = nav.GetSatList();
  std::vector<double> d3, clocks;
  for (int k = 0; k < 96; ++k) {
    std::vector<double> epochClocks;
    for (long i = 0; i < list.Length(); ++i) {
      if (list(i) < 200 || list(i) >= 300) continue;
      mjd t = At(59025, 900.0L * k);
      xyzt b, p, v;
      long double tgd;
      nav.CalcOrbikaition(list(i), t, t, b, &tgd, 0, 0);
      sp3.CalcOrbikaition(list(i), t, p, v);
      if (!sp3.PSisOK) continue;
      d3.push_back(Length(p - b));
      epochClocks.push_back(static_cast<double>(p.GetT() - b.GetT()));
    }
    ASSERT_GT(epochClocks.size(), 10u);
    const double common = Median(epochClocks);
    for (double c : epochClocks) clocks.push_back(std::fabs(c - common));
  }
  EXPECT_GT(d3.size(), 2000u);
  EXPECT_LT(Median(d3), 1.5);
  EXPECT_LT(Median(clocks), 1e-9);
}
