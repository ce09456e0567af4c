// GPS broadcast orbit and clock: the choice of record, the Kepler orbit on
// orbits whose positions are known in closed form, the clock and its
// relativistic term, the warnings and errors, the light-time variants, and
// the agreement with a precise orbit on real data.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/broadcast/GPSbEph.h"
#include "GNSS/time/TimeConverse.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/broadcast/test_gpsnav_util.h"

namespace {

using gpsnavtest::Header;
using gpsnavtest::Params;
using gpsnavtest::Record;

constexpr long double kGM = 3.986005e14;
constexpr long double kOmegaE = 7.2921151467e-5;
constexpr long double kF = -4.442807633e-10;
constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr std::uint32_t kDay = 54922;  // 2009-04-01

mjd At(long double secondOfDay, std::uint32_t day = kDay) { return mjd(day, secondOfDay); }

// A store read from a file made of the given records.
struct Store {
  GPSbEph g;
  explicit Store(const std::string& records) {
    path = orbtest::WriteTempFile(Header() + records, ".09n");
    g.SetFile(path.c_str());
    g.ReadFile();
  }
  std::string path;
};

std::string Rec(int prn, int hh, int mi, double ss, const Params& p) {
  return Record(prn, 9, 4, 1, hh, mi, ss, p);
}

// An orbit without perturbations: square root of the semi-major axis (m^1/2),
// eccentricity e, inclination i0, everything else zero unless set
// afterwards.
Params Kepler(long double sqrtA, long double e, long double i0) {
  Params p{};
  p[10] = sqrtA;
  p[8] = e;
  p[15] = i0;
  return p;
}

constexpr long double kSqrtA = 5153.6L;  // a = 26560 km

// Elements as the store holds them (the file keeps 12 decimals).
long double Stored(const Store& s, int col) { return s.g.GetData().data(0, col); }
long double StoredA(const Store& s) { return Stored(s, 10) * Stored(s, 10); }

// ------------------------------------------------------------ record choice

// Satellite 5 at 00:00, 02:00 and 04:00 with records of satellite 7 between
// them; the af0 of each record tells which one was used.
class gpsRecordChoice : public ::testing::Test {
 protected:
  static Params Tagged(long double tag) {
    Params p = gpsnavtest::RealisticOrbit();
    p[0] = tag;
    return p;
  }
  static std::string Records() {
    return Rec(7, 1, 0, 0, Tagged(70)) + Rec(5, 0, 0, 0, Tagged(1)) + Rec(7, 3, 0, 0, Tagged(71)) +
           Rec(5, 2, 0, 0, Tagged(2)) + Rec(5, 4, 0, 0, Tagged(3));
  }
};

TEST_F(gpsRecordChoice, RowsCountInTheWholeFile) {
  Store s(Records());
  EXPECT_EQ(s.g.GetDataIndex(5, At(0)), 1u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(7200)), 3u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(14400)), 4u);
  EXPECT_EQ(s.g.GetDataIndex(7, At(3600)), 0u);
  EXPECT_EQ(s.g.GetDataIndex(7, At(12000)), 2u);
}

TEST_F(gpsRecordChoice, BeforeTheFirstRecordTheFirstIsUsed) {
  Store s(Records());
  EXPECT_EQ(s.g.GetDataIndex(5, At(86000, kDay - 1)), 1u);
  EXPECT_EQ(s.g.GetDataIndex(7, At(0)), 0u);
}

TEST_F(gpsRecordChoice, MidwayGoesToTheEarlierAndOneSecondLaterToTheLater) {
  Store s(Records());
  EXPECT_EQ(s.g.GetDataIndex(5, At(3600)), 1u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(3601)), 3u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(3599)), 1u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(10800)), 3u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(10801)), 4u);
}

TEST_F(gpsRecordChoice, AfterTheLastRecordTheLastIsUsedHoweverFar) {
  Store s(Records());
  EXPECT_EQ(s.g.GetDataIndex(5, At(14401)), 4u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(3600, kDay + 9)), 4u);
}

TEST(gpsRecordChoiceUnordered, RecordsAreTakenInTimeOrderNotFileOrder) {
  const Params p = gpsnavtest::RealisticOrbit();
  // Satellite 5 at 02:00, 00:00, 04:00 in this file order (rows 0, 1, 2).
  Store s(Rec(5, 2, 0, 0, p) + Rec(5, 0, 0, 0, p) + Rec(5, 4, 0, 0, p));
  // Nearer 00:00 than 02:00: 00:00, though listed after 02:00.
  EXPECT_EQ(s.g.GetDataIndex(5, At(1800)), 1u);
  // 02:30 and 02:00 itself: the 02:00 record.
  EXPECT_EQ(s.g.GetDataIndex(5, At(9000)), 0u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(7200)), 0u);
  // After every epoch: the latest record.
  EXPECT_EQ(s.g.GetDataIndex(5, At(20000)), 2u);
}

TEST(gpsRecordChoiceSameEpoch, TheFirstOfTwoEqualEpochsIsKept) {
  const Params p = gpsnavtest::RealisticOrbit();
  Store s(Rec(5, 0, 0, 0, p) + Rec(5, 2, 0, 0, p) + Rec(5, 2, 0, 0, p));
  EXPECT_EQ(s.g.GetDataIndex(5, At(7200)), 1u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(7000)), 1u);
  EXPECT_EQ(s.g.GetDataIndex(5, At(8000)), 2u);
}

TEST(gpsRecordChoiceMissing, SatelliteNotListedEndsTheRun) {
  const Params p = gpsnavtest::RealisticOrbit();
  const std::string path = orbtest::WriteTempFile(Header() + Rec(5, 0, 0, 0, p), ".09n");
  for (unsigned short st : {9, 4, 200}) {
    const orbtest::RunResult r = orbtest::RunCaptured([&] {
      GPSbEph g;
      g.SetFile(path.c_str());
      g.ReadFile();
      xyzt pos;
      long double tgd;
      g.CalcPosition(st, At(0), At(0), pos, &tgd, 0, 0);
    });
    char sat[8];
    std::snprintf(sat, sizeof sat, "G%02d", st);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\n**** GPSbEph: Error -> SAT: " + std::string(sat) +
                         " IS NOT LISTED IN GPS NAVIGATION FILE " + path +
                         "!!! ****\n     Exiting GPSbEph ... \n");
  }
}

// ------------------------------------------------------- orbits in closed form

TEST(gpsBroadcastOrbit, CircularEquatorialOrbitTurnsAtTheSynodicRate) {
  Store s(Rec(3, 0, 0, 0, Kepler(kSqrtA, 0, 0)));
  const long double a = StoredA(s);
  const long double n = sqrtl(kGM / (a * a * a));
  for (long double dt : {0.0L, 900.0L, 3600.0L, -2000.0L}) {
    xyzt pos;
    long double tgd;
    mjd t = At(0);
    t += dt;
    s.g.CalcPosition(3, t, t, pos, &tgd, 0, 0);
    // Seen from the rotating Earth the satellite turns at n - OMEGAz.
    const long double lambda = (n - kOmegaE) * dt;
    EXPECT_NEAR(static_cast<double>(pos.GetX()), static_cast<double>(a * cosl(lambda)), 1e-6) << dt;
    EXPECT_NEAR(static_cast<double>(pos.GetY()), static_cast<double>(a * sinl(lambda)), 1e-6) << dt;
    EXPECT_EQ(pos.GetZ(), 0.0L);
    EXPECT_EQ(pos.GetT(), 0.0L);
  }
}

TEST(gpsBroadcastOrbit, InclinedOrbitReachesItsHighestLatitudeAQuarterPeriodAfterTheNode) {
  Params p = Kepler(kSqrtA, 0, 55 * kPi / 180);
  p[13] = 0.3L;  // node longitude at the reference epoch
  Store s(Rec(3, 0, 0, 0, p));
  const long double a = StoredA(s), i0 = Stored(s, 15), node0 = Stored(s, 13);
  const long double n = sqrtl(kGM / (a * a * a));
  const long double quarter = kPi / 2 / n;
  mjd t = At(0);
  t += quarter;
  xyzt pos;
  long double tgd;
  s.g.CalcPosition(3, t, t, pos, &tgd, 0, 0);
  EXPECT_NEAR(static_cast<double>(pos.GetZ()), static_cast<double>(a * sinl(i0)), 1e-5);
  // The node has moved west by the Earth's rotation; the satellite lies 90
  // degrees past it in the orbit, so its equatorial projection points at
  // node longitude + 90 degrees.
  const long double node = node0 - kOmegaE * quarter;
  const long double az = atan2l(pos.GetY(), pos.GetX());
  EXPECT_NEAR(static_cast<double>(az), static_cast<double>(node + kPi / 2), 1e-12);
}

TEST(gpsBroadcastOrbit, EccentricOrbitAtPerigeeAndApogee) {
  Store s(Rec(3, 0, 0, 0, Kepler(kSqrtA, 0.1L, 0)));
  const long double a = StoredA(s), e = Stored(s, 8);
  const long double n = sqrtl(kGM / (a * a * a));
  xyzt pos;
  long double tgd;
  // Perigee at the reference epoch (M0 = 0, omega = 0): r = a (1 - e) on x.
  s.g.CalcPosition(3, At(0), At(0), pos, &tgd, 0, 0);
  EXPECT_NEAR(static_cast<double>(pos.GetX()), static_cast<double>(a * (1 - e)), 1e-6);
  EXPECT_NEAR(static_cast<double>(pos.GetY()), 0.0, 1e-6);
  // Half a period later: apogee, r = a (1 + e), true anomaly pi.
  mjd t = At(0);
  const long double half = kPi / n;
  t += half;
  s.g.CalcPosition(3, t, t, pos, &tgd, 0, 0);
  const long double r = sqrtl(pos.GetX() * pos.GetX() + pos.GetY() * pos.GetY());
  EXPECT_NEAR(static_cast<double>(r), static_cast<double>(a * (1 + e)), 1e-5);
  const long double az = atan2l(pos.GetY(), pos.GetX());
  EXPECT_NEAR(static_cast<double>(az), static_cast<double>(remainderl(kPi - kOmegaE * half, 2 * kPi)), 1e-11);
}

TEST(gpsBroadcastOrbit, KeplerEquationIsSolvedForEveryMeanAnomaly) {
  // r = a (1 - e cos E) holds with E from Kepler's equation M = E - e sin E,
  // solved here by Newton's method from E = M.
  Store s(Rec(3, 0, 0, 0, Kepler(kSqrtA, 0.3L, 0)));
  const long double a = StoredA(s), e = Stored(s, 8);
  const long double n = sqrtl(kGM / (a * a * a));
  for (long double M : {0.5L, 1.7L, 3.0L, 4.4L, 6.0L}) {
    long double E = M;
    for (int k = 0; k < 50; ++k) E -= (E - e * sinl(E) - M) / (1 - e * cosl(E));
    mjd t = At(0);
    t += M / n;
    xyzt pos;
    long double tgd;
    s.g.CalcPosition(3, t, t, pos, &tgd, 0, 0);
    const long double r = sqrtl(pos.GetX() * pos.GetX() + pos.GetY() * pos.GetY());
    EXPECT_NEAR(static_cast<double>(r), static_cast<double>(a * (1 - e * cosl(E))), 1e-5) << M;
    // The relativistic term carries the same E.
    EXPECT_NEAR(static_cast<double>(s.g.GetRelativity()),
                static_cast<double>(-kF * e * sqrtl(a) * sinl(E)), 1e-20) << M;
  }
}

TEST(gpsBroadcastOrbit, CircularOrbitHasNoRelativisticClockTerm) {
  Params p = Kepler(kSqrtA, 0, 0.9L);
  p[6] = 1.0L;
  Store s(Rec(3, 0, 0, 0, p));
  xyzt pos;
  long double tgd;
  s.g.CalcPosition(3, At(100), At(100), pos, &tgd, 0, 0);
  EXPECT_EQ(s.g.GetRelativity(), 0.0L);
  EXPECT_NEAR(static_cast<double>(pos.GetLength()), static_cast<double>(StoredA(s)), 1e-6);
}

TEST(gpsBroadcastOrbit, KeplerIterationThatDoesNotSettleGivesNanWithOneWarning) {
  // A plausible eccentricity and a mean anomaly of 1e8 rad: near 1e8 the
  // rounded fixed-point iteration keeps stepping between neighbouring values.
  Params p = Kepler(kSqrtA, 0.4999L, 0);
  p[6] = 1e8L;
  const std::string path = orbtest::WriteTempFile(Header() + Rec(3, 0, 0, 0, p), ".09n");
  // Two computations from the record: each computed, every value NaN; one
  // warning.
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    g.SetFile(path.c_str());
    g.ReadFile();
    for (int k = 0; k < 2; ++k) {
      xyzt pos;
      long double tgd;
      const bool computed = g.CalcPosition(3, At(0), At(0), pos, &tgd, 0, 0);
      std::cout << computed << std::isnan(pos.GetX()) << std::isnan(pos.GetY())
                << std::isnan(pos.GetZ()) << std::isnan(pos.GetT());
    }
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "1111111111");
  EXPECT_EQ(r.err, "\n#### Orbika: Warning -> GPS NAVIGATION FILE " + path +
                       ": RECORD OF G03 AT 2009-04-01 00:00:00.0: KEPLER'S EQUATION NOT SOLVED - "
                       "BROADCAST COLUMNS WRITTEN AS nan! ####\n     Continuing Orbika ... \n\n");
}

// ------------------------------------------------------------------ clock

TEST(gpsBroadcastClock, AtTheRecordEpochTheClockIsAf0PlusTheRelativisticTerm) {
  const Params p = gpsnavtest::RealisticOrbit();
  Store s(Rec(2, 0, 0, 0, p));
  xyzt pos;
  long double tgd = 0;
  s.g.CalcPosition(2, At(0), At(0), pos, &tgd, 0, 0);
  const long double af0 = s.g.GetData().data(0, 0);
  EXPECT_EQ(pos.GetT(), af0 + -s.g.GetRelativity());
  EXPECT_NE(s.g.GetRelativity(), 0.0L);
  // Relativistic term of a GPS orbit: tens of nanoseconds at most.
  EXPECT_LT(fabsl(s.g.GetRelativity()), 50e-9L);
  EXPECT_EQ(tgd, s.g.GetData().data(0, 25));
}

TEST(gpsBroadcastClock, ClockPolynomialRunsWithTheTimeSinceTheRecordEpoch) {
  Params p = Kepler(kSqrtA, 0, 0);
  p[0] = 1e-4L;
  p[1] = 2e-11L;
  p[2] = 3e-18L;
  Store s(Rec(2, 0, 0, 0, p));
  xyzt pos;
  long double tgd;
  s.g.CalcPosition(2, At(86400 - 3000, kDay - 1), At(0), pos, &tgd, 0, 0);
  const long double dt = -3000;
  EXPECT_NEAR(static_cast<double>(pos.GetT()), static_cast<double>(1e-4L + 2e-11L * dt + 3e-18L * dt * dt),
              1e-19);
}

// --------------------------------------------------------- fixed record epoch

TEST(gpsBroadcastOrbit, FixedRecordEpochUsesOneRecordWhileTimeRuns) {
  const Params p0 = gpsnavtest::RealisticOrbit();
  Params p1 = p0;
  p1[6] += 0.5L;  // a second record that would give other positions
  Store both(Rec(2, 0, 0, 0, p0) + Rec(2, 4, 0, 0, p1));
  Store first(Rec(2, 0, 0, 0, p0));
  for (long double sec : {0.0L, 5000.0L, 13000.0L}) {
    xyzt a, b;
    long double tgd;
    both.g.CalcPosition(2, At(sec), At(0), a, &tgd, 0, 0);
    first.g.CalcPosition(2, At(sec), At(sec), b, &tgd, 0, 0);
    EXPECT_EQ(a.GetX(), b.GetX());
    EXPECT_EQ(a.GetY(), b.GetY());
    EXPECT_EQ(a.GetZ(), b.GetZ());
    EXPECT_EQ(a.GetT(), b.GetT());
  }
  // Without the fixed epoch, 13000 s takes the 04:00 record.
  xyzt a, b;
  long double tgd;
  both.g.CalcPosition(2, At(13000), At(13000), a, &tgd, 0, 0);
  first.g.CalcPosition(2, At(13000), At(13000), b, &tgd, 0, 0);
  EXPECT_GT(fabsl(a.GetX() - b.GetX()), 1000);
}

// ---------------------------------------------------------------- warnings

const char kValidityWarning[] =
    "\n#### Orbika: Warning -> GPS BROADCAST EPHEMERIS: CALCULATION EPOCH NOT IN VALID INTERVAL "
    "(2H) WITH RESPECT TO EPOCHS OF DATA! ####\n     Continuing Orbika ... \n\n";

TEST(gpsBroadcastWarnings, MoreThan8000SecondsFromTheRecordWarnsOncePerComputation) {
  const std::string path =
      orbtest::WriteTempFile(Header() + Rec(2, 4, 0, 0, gpsnavtest::RealisticOrbit()), ".09n");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    g.SetFile(path.c_str());
    g.ReadFile();
    xyzt pos;
    long double tgd;
    for (long double sec : {14400.0L + 8000, 14400.0L - 8000, 14400.0L + 8001, 14400.0L - 8001})
      g.CalcPosition(2, At(sec), At(sec), pos, &tgd, 0, 0);
    std::cout << "computed" << std::endl;
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, std::string(kValidityWarning) + kValidityWarning);
  EXPECT_EQ(r.out, "computed\n");
}

TEST(gpsBroadcastWarnings, LargeIntervalWarningOnlyWhenAsked) {
  const std::string path =
      orbtest::WriteTempFile(Header() + Rec(5, 0, 0, 0, gpsnavtest::RealisticOrbit()), ".09n");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    g.SetFile(path.c_str());
    g.ReadFile();
    xyzt pos;
    long double tgd;
    g.CalcPosition(5, At(7300), At(7300), pos, &tgd, 0, 0);
    g.CalcPosition(5, At(7200), At(7200), pos, &tgd, 1, 0);
    g.CalcPosition(5, At(7300), At(7300), pos, &tgd, 1, 0);
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "\n#### GPSbEph: Warning -> SAT: G05 [2009-04-01 02:01:40.0] -> DT =  2.03 h "
            "PARAMETER TO BIG [>2h] ####\n     Continuing GPSbEph ... \n");
}

// ------------------------------------------------------ light-time variants

TEST(gpsBroadcastLightTime, BothVariantsAgreeOnTheRange) {
  Store s(Rec(2, 0, 0, 0, gpsnavtest::RealisticOrbit()));
  // A receiver on the ground under the satellite's position at 01:00.
  xyzt sat;
  long double tgd;
  s.g.CalcPosition(2, At(3600), At(3600), sat, &tgd, 0, 0);
  const long double scale = 6371e3L / sat.GetLength();
  const xyz rec(sat.GetX() * scale, sat.GetY() * scale, sat.GetZ() * scale);

  xyzt psat1, psat2;
  const long double range = s.g.CalcPosition(2, At(3600), At(3600), rec, psat1, &tgd, 0, 0);
  // Roughly the height of the orbit, and consistent with the light time.
  EXPECT_GT(range, 19e6L);
  EXPECT_LT(range, 21e6L);
  const long double range2 =
      s.g.CalcPosition(2, At(3600), At(3600), rec, psat2, gnssobs(range), &tgd, 0, 0);
  EXPECT_NEAR(static_cast<double>(range2), static_cast<double>(range), 1e-4);
  EXPECT_NEAR(static_cast<double>((psat1 - psat2).GetLength()), 0.0, 1e-4);
  // The transmission position differs from the reception-epoch one by the
  // satellite's motion during the light time (about 0.07 s at 3.9 km/s).
  EXPECT_GT((psat1 - sat).GetLength(), 100);
}

TEST(gpsBroadcastPrint, PrintParameterLayoutAndStreamRestored) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    GPSbEph g;
    g.PrintParameter("af0", 1.5394994989e-4L);
    std::cout << 1.25 << std::endl;
  });
  EXPECT_EQ(r.out, "GPSbEph::        af0:          1.539499498900000e-04\n1.25\n");
}

// ------------------------------------------------------------------ real data

// Tabulated positions of GPS satellites in an SP3 file: epoch -> PRN ->
// position in metres.
std::map<long double, std::map<int, xyz>> ReadSp3Gps(const std::string& path, std::vector<mjd>& epochs) {
  std::map<long double, std::map<int, xyz>> table;
  std::ifstream in(path);
  std::string line;
  long double key = 0;
  while (std::getline(in, line)) {
    if (line.rfind("*  ", 0) == 0) {
      std::istringstream f(line.substr(1));
      int y, mo, d, h, mi;
      double s;
      f >> y >> mo >> d >> h >> mi >> s;
      const ymdhms c(y, mo, d, h, mi, s);
      epochs.push_back(ymdhms2mjd(c));
      key = epochs.back().GetMJDDec();
    } else if (line.rfind("PG", 0) == 0 && !epochs.empty()) {
      const int prn = std::atoi(line.substr(2, 2).c_str());
      std::istringstream f(line.substr(4));
      double x, y, z;
      f >> x >> y >> z;
      if (x == 0 && y == 0 && z == 0) continue;  // no position tabulated
      table[key][prn] = xyz(x * 1000, y * 1000, z * 1000);
    }
  }
  return table;
}

TEST(gpsBroadcastRealData, AgreesWithThePreciseOrbitWithin10Metres) {
  ORBIKA_REQUIRE_DATA();
  GPSbEph g;
  g.SetFile(orbtest::DataFile("brdc0910.09n").c_str());
  g.ReadFile();
  ASSERT_EQ(g.GetNSat(), 424u);
  std::vector<mjd> epochs;
  const auto table = ReadSp3Gps(orbtest::DataFile("esa15253.sp3"), epochs);
  ASSERT_EQ(epochs.size(), 96u);

  int compared = 0;
  long double worst = 0, sum2 = 0;
  for (const mjd& t : epochs) {
    for (const auto& [prn, precise] : table.at(t.GetMJDDec())) {
      xyzt pos;
      long double tgd;
      g.CalcPosition(static_cast<unsigned short>(prn), t, t, pos, &tgd, 0, 0);
      const long double d = (precise - pos).GetLength();
      EXPECT_LT(d, 10.0L) << "G" << prn << " at " << t.GetSecond() << " s";
      worst = std::max(worst, d);
      sum2 += d * d;
      ++compared;
    }
  }
  EXPECT_GT(compared, 96 * 28);
  // Broadcast orbits of 2009 are good to a few metres.
  EXPECT_LT(sqrtl(sum2 / compared), 4.0L);
  std::cout << "compared " << compared << " positions, RMS " << static_cast<double>(sqrtl(sum2 / compared))
            << " m, worst " << static_cast<double>(worst) << " m" << std::endl;
}

}  // namespace
