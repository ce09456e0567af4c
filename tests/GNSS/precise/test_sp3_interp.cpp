// Interpolation of positions, velocities and clocks from SP3 tables: the
// choice of the interpolation windows, the status flags, agreement with an
// independent Lagrange evaluation, and accuracy against known orbits.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GNSS/precise/GNSSpEph.h"
#include "PROGINC/files/InputFile.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/precise/test_sp3_util.h"

namespace {

using sp3test::PosLine;

const long double kPi = 3.141592653589793238462643383279502884L;

// Value of the Lagrange polynomial through (t[j], y[j]) at x, and its
// derivative, formed directly from the basis polynomials.
long double Lagrange(const std::vector<long double>& t, const std::vector<long double>& y,
                     long double x) {
  long double sum = 0;
  for (size_t j = 0; j < t.size(); ++j) {
    long double l = 1;
    for (size_t k = 0; k < t.size(); ++k)
      if (k != j) l *= (x - t[k]) / (t[j] - t[k]);
    sum += y[j] * l;
  }
  return sum;
}
long double LagrangeDerivative(const std::vector<long double>& t,
                               const std::vector<long double>& y, long double x) {
  long double sum = 0;
  for (size_t j = 0; j < t.size(); ++j)
    for (size_t m = 0; m < t.size(); ++m) {
      if (m == j) continue;
      long double l = 1 / (t[j] - t[m]);
      for (size_t k = 0; k < t.size(); ++k)
        if (k != j && k != m) l *= (x - t[k]) / (t[j] - t[k]);
      sum += y[j] * l;
    }
  return sum;
}

// Interpolation of satellite slot s of a store at epoch tc over the epochs
// first .. first + n - 1, computed independently of the store (seconds).
struct Reference {
  long double x, y, z, vx, vy, vz;
};
Reference RefPosition(const GNSSpEph& e, long s, const mjd& tc, long first, int n) {
  std::vector<long double> t, x, y, z;
  for (long j = first; j < first + n; ++j) {
    t.push_back(e.GetMJD(j) - e.GetMJD(0));
    const xyzt p = e.GetPosition(j * e.GetNSatList() + s);
    x.push_back(p.GetX());
    y.push_back(p.GetY());
    z.push_back(p.GetZ());
  }
  const long double at = tc - e.GetMJD(0);
  return {Lagrange(t, x, at),           Lagrange(t, y, at),
          Lagrange(t, z, at),           LagrangeDerivative(t, x, at),
          LagrangeDerivative(t, y, at), LagrangeDerivative(t, z, at)};
}
long double RefClock(const GNSSpEph& e, long s, const mjd& tc, long first, int n) {
  std::vector<long double> t, c;
  for (long j = first; j < first + n; ++j) {
    t.push_back(e.GetMJD(j) - e.GetMJD(0));
    c.push_back(e.GetPosition(j * e.GetNSatList() + s).GetT());
  }
  return Lagrange(t, c, tc - e.GetMJD(0));
}

// Agreement of two evaluations of one polynomial, relative to its size.
::testing::AssertionResult Close(long double got, long double want) {
  const long double tol = 1e-12L * (1 + std::fabs(want));
  if (std::fabs(got - want) <= tol) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got " << static_cast<double>(got) << ", want " << static_cast<double>(want);
}

// Expects the store's result for slot s at tc to be the interpolation over
// position epochs first .. first + n - 1 and clock epochs firstT .. + m - 1.
void ExpectWindows(GNSSpEph& e, long s, const mjd& tc, long first, int n, long firstT, int m) {
  mjd t = tc;
  xyzt p, v;
  e.CalcPosition(e.GetSatList(s), t, p, v);
  ASSERT_TRUE(e.PSisOK);
  ASSERT_TRUE(e.DTisOK);
  const Reference r = RefPosition(e, s, tc, first, n);
  EXPECT_TRUE(Close(p.GetX(), r.x));
  EXPECT_TRUE(Close(p.GetY(), r.y));
  EXPECT_TRUE(Close(p.GetZ(), r.z));
  EXPECT_TRUE(Close(v.GetX(), r.vx));
  EXPECT_TRUE(Close(v.GetY(), r.vy));
  EXPECT_TRUE(Close(v.GetZ(), r.vz));
  EXPECT_TRUE(Close(p.GetT(), RefClock(e, s, tc, firstT, m)));
  EXPECT_EQ(v.GetT(), 0);
}

// A table whose values do not follow any smooth curve, so that each window
// of epochs gives a clearly different interpolant.
std::string Rough(const std::string& sat, long i, size_t k) {
  return PosLine(sat, 15000 + 3000 * std::sin(0.9 * i + k) + 7.123457 * ((i * 7 + k * 3) % 5),
                 -12000 + 2500 * std::cos(1.3 * i + 0.5 * k) - 3.5 * ((i * i) % 3),
                 20000 - 400.0 * i + 11.0 * ((i * i + k) % 7), 100 + 3 * std::sin(2.1 * i + k));
}
sp3test::File RoughFile(long nepoch, const std::vector<std::string>& sats = {"G01", "G02",
                                                                              "R03"}) {
  sp3test::File f;
  f.sats = sats;
  sp3test::Fill(f, nepoch, [&f](long i, size_t k) { return Rough(f.sats[k], i, k); });
  return f;
}

GNSSpEph Load(const std::string& text) {
  const std::string path = orbtest::WriteTempFile(text, ".sp3");
  GNSSpEph e;
  e.SetFile(path.c_str());
  e.ReadFile();
  return e;
}

mjd At(const GNSSpEph& e, long double seconds) {
  mjd t = e.GetMJD(0);
  t += seconds;
  return t;
}

const char* const kCoverageWarning =
    "\n#### Orbika: Warning -> CALCULATION EPOCH NOT IN EPOCH INTERVAL OF INPUT PRECISE "
    "ORBIT FILE! ####\n     Continuing Orbika ... \n\n";

// Standard error of one interpolation.
std::string WarningsOf(GNSSpEph& e, unsigned short sat, const mjd& tc) {
  return orbtest::RunCaptured([&] {
           mjd t = tc;
           xyzt p, v;
           e.CalcPosition(sat, t, p, v);
         })
      .err;
}

class sp3Windows : public ::testing::Test {
 protected:
  void SetUp() override { e = Load(sp3test::Build(RoughFile(20))); }
  GNSSpEph e;
};

TEST_F(sp3Windows, AtATabulatedEpochThePositionIsTheTabulatedOne) {
  for (long i : {0L, 3L, 7L, 10L, 19L}) {
    mjd t = e.GetMJD(i);
    xyzt p, v;
    e.CalcPosition(2, t, p, v);
    ASSERT_TRUE(e.PSisOK);
    const xyzt tab = e.GetPosition(i * 3 + 1);
    EXPECT_NEAR(static_cast<double>(p.GetX() - tab.GetX()), 0, 1e-8) << "epoch " << i;
    EXPECT_NEAR(static_cast<double>(p.GetY() - tab.GetY()), 0, 1e-8) << "epoch " << i;
    EXPECT_NEAR(static_cast<double>(p.GetZ() - tab.GetZ()), 0, 1e-8) << "epoch " << i;
    EXPECT_NEAR(static_cast<double>(p.GetT() - tab.GetT()), 0, 1e-18) << "epoch " << i;
  }
  // The velocity is still the derivative of the window's polynomial.
  ExpectWindows(e, 1, e.GetMJD(10), 4, 14, 9, 4);
  ExpectWindows(e, 1, e.GetMJD(0), 0, 14, 0, 4);
}

TEST_F(sp3Windows, AwayFromTheEndsTheEpochLiesBetweenTheMiddleNodes) {
  // g = 9: positions over epochs 3-16, clocks over 8-11.
  ExpectWindows(e, 0, At(e, 9.4L * 900), 3, 14, 8, 4);
  ExpectWindows(e, 2, At(e, 9.999L * 900), 3, 14, 8, 4);
  ExpectWindows(e, 2, At(e, 6 * 900 + 1), 0, 14, 5, 4);
}

TEST_F(sp3Windows, NearTheStartTheWindowsArePinnedToTheFirstEpochs) {
  // g = 2: positions over epochs 0-13, clocks over 1-4.
  ExpectWindows(e, 0, At(e, 2.4L * 900), 0, 14, 1, 4);
  ExpectWindows(e, 1, At(e, 0.5L * 900), 0, 14, 0, 4);
}

TEST_F(sp3Windows, NearTheEndTheWindowsArePinnedToTheLastEpochs) {
  ExpectWindows(e, 0, At(e, 13.5L * 900), 6, 14, 12, 4);
  ExpectWindows(e, 1, At(e, 18.7L * 900), 6, 14, 16, 4);
}

TEST_F(sp3Windows, WithinOneIntervalOutsideTheTableTheWindowsAreExtrapolated) {
  const mjd t = At(e, -600);
  EXPECT_EQ(WarningsOf(e, 1, t), "");
  ExpectWindows(e, 0, t, 0, 14, 0, 4);
  EXPECT_EQ(WarningsOf(e, 1, At(e, -900)), "");
  EXPECT_EQ(WarningsOf(e, 1, At(e, 19 * 900 + 900)), "");
  ExpectWindows(e, 0, At(e, 19 * 900 + 900), 6, 14, 16, 4);
}

TEST(sp3Coverage, FartherThanOneIntervalOutsideNothingIsExtrapolatedWithOneWarning) {
  const std::string path = orbtest::WriteTempFile(sp3test::Build(RoughFile(20)), ".sp3");
  GNSSpEph e;
  e.SetFile(path.c_str());
  e.ReadFile();
  const orbtest::RunResult r = orbtest::RunCaptured([&e] {
    for (long double s : {19 * 900 + 901.0L, -900.5L, 40 * 86400.0L, -3 * 86400.0L}) {
      mjd t = At(e, s);
      xyzt p, v;
      p.Set(1, 2, 3, 4);
      e.CalcPosition(1, t, p, v);
      std::printf("%d %d %.0Lf\n", e.PSisOK, e.DTisOK, p.GetX() + p.GetY() + p.GetZ() + p.GetT());
    }
  });
  EXPECT_EQ(r.out, "0 0 10\n0 0 10\n0 0 10\n0 0 10\n");
  EXPECT_EQ(r.err, std::string("\n#### Orbika: Warning -> GNSS PRECISE EPHEMERIS FILE ") + path +
                       ": FIRST EPOCH MORE THAN ONE INTERVAL OUTSIDE THE TABLE: 2009-04-01 "
                       "05:00:01.00000000 - SUCH EPOCHS ARE NOT EXTRAPOLATED, THEIR PRECISE "
                       "COLUMNS ARE WRITTEN AS nan! ####\n     Continuing Orbika ... \n\n");
}

TEST(sp3Coverage, OnAnHourlyTableEpochsBeyondFifteenMinutesWarnAtEachCall) {
  sp3test::File f = RoughFile(16);
  f.interval = 3600;
  GNSSpEph e = Load(sp3test::Build(f));
  EXPECT_EQ(WarningsOf(e, 1, At(e, 15 * 3600 + 900)), "");
  EXPECT_EQ(WarningsOf(e, 1, At(e, 15 * 3600 + 901)), kCoverageWarning);
  // Hourly nodes are too far apart to interpolate between them.
  mjd t = At(e, 1800);
  xyzt p, v;
  e.CalcPosition(1, t, p, v);
  EXPECT_FALSE(e.PSisOK || e.DTisOK);
}

TEST(sp3Flags, BadClockAtTheSecondClockNode) {
  sp3test::File f = RoughFile(20);
  // Epoch 9.4 intervals: clock nodes 8-11; node 9 of G02 holds the bad value.
  f.epochs[9][1] = PosLine("G02", 15000, -12000, 20000, 999999.999999);
  GNSSpEph e = Load(sp3test::Build(f));
  mjd t = At(e, 9.4L * 900);
  xyzt p, v;
  e.CalcPosition(2, t, p, v);
  EXPECT_TRUE(e.PSisOK);
  EXPECT_FALSE(e.DTisOK);
  EXPECT_EQ(p.GetT(), 1.0L);
  EXPECT_EQ(v.GetT(), 0);
  const Reference r = RefPosition(e, 1, t, 3, 14);
  EXPECT_TRUE(Close(p.GetX(), r.x));
  EXPECT_TRUE(Close(v.GetZ(), r.vz));
  // The same bad clock outside the clock window does not matter.
  ExpectWindows(e, 1, At(e, 12.5L * 900), 6, 14, 11, 4);
}

TEST(sp3Flags, ClockBesideAMarker) {
  // Markers at node 9 of G02, and at nodes 9 and 12 of R03.
  sp3test::File f = RoughFile(20);
  f.epochs[9][1] = PosLine("G02", 15000, -12000, 20000, 999999.999999);
  f.epochs[9][2] = PosLine("R03", 15000, -12000, 20000, 999999.999999);
  f.epochs[12][2] = PosLine("R03", 15000, -12000, 20000, 999999.999999);
  GNSSpEph e = Load(sp3test::Build(f));
  const auto clock = [&](long node, long s) { return e.GetPosition(node * 3 + s).GetT(); };
  const struct {
    long s;
    long double intervals;  // epoch, in table intervals
    long movedFirst;        // first node of the Lagrange window, -1: none
    bool valid;
    long double want;       // without a window: the clock wanted, s
  } rows[] = {
      {1, 10, -1, true, clock(10, 1)},          // at a node: its own clock
      {1, 9, -1, false, 0},                     // at the marker: none
      {1, 10.4L, 10, true, 0},                  // window 9-12 moved to 10-13
      {1, 7.5L, 5, true, 0},                    // window 6-9 moved to 5-8
      {1, 9.4L, -1, false, 0},                  // the marker brackets the epoch
      {1, 8.6L, -1, false, 0},
      {2, 10.25L, -1, true, 0.75L * clock(10, 2) + 0.25L * clock(11, 2)},  // linear
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<double>(row.intervals));
    mjd t = At(e, row.intervals * 900);
    xyzt p, v;
    e.CalcPosition(e.GetSatList(row.s), t, p, v);
    EXPECT_TRUE(e.PSisOK);
    ASSERT_EQ(e.DTisOK, row.valid);
    if (!row.valid)
      EXPECT_EQ(p.GetT(), 1.0L);  // the marker's stand-in
    else if (row.movedFirst >= 0)
      EXPECT_TRUE(Close(p.GetT(), RefClock(e, row.s, t, row.movedFirst, 4)));
    else
      EXPECT_NEAR(p.GetT(), row.want, 1e-15L);
  }
}

TEST(sp3Flags, ZeroClockIsValid) {
  sp3test::File f;
  f.sats = {"G01"};
  sp3test::Fill(f, 16, [](long i, size_t) { return PosLine("G01", 20000 + i, 10000, 5000, 0); });
  GNSSpEph e = Load(sp3test::Build(f));
  mjd t = At(e, 3000);
  xyzt p, v;
  e.CalcPosition(1, t, p, v);
  EXPECT_TRUE(e.PSisOK);
  EXPECT_TRUE(e.DTisOK);
  EXPECT_EQ(p.GetT(), 0);
}

TEST(sp3Flags, MissingPositionInTheWindowLeavesTheResultsUntouched) {
  sp3test::File f = RoughFile(20);
  f.epochs[5][2] = PosLine("R03", 0, 0, 0, 12.0);
  GNSSpEph e = Load(sp3test::Build(f));
  const xyzt p0(1, 2, 3, 4), v0(5, 6, 7, 8);
  xyzt p = p0, v = v0;
  mjd t = At(e, 9.4L * 900);  // window 3-16
  e.CalcPosition(103, t, p, v);
  EXPECT_FALSE(e.PSisOK);
  EXPECT_FALSE(e.DTisOK);
  EXPECT_TRUE(p == p0);
  EXPECT_TRUE(v == v0);
  // Outside the window the missing record plays no part, and other
  // satellites of the same epoch are unaffected.
  ExpectWindows(e, 2, At(e, 12.5L * 900), 6, 14, 11, 4);
  ExpectWindows(e, 1, t, 3, 14, 8, 4);
}

TEST(sp3Flags, RecordsOfASatelliteNotInTheListAreSkipped) {
  // Taking them for the list's satellite would tabulate one satellite's
  // orbit under another's name: G02 is missing, G07 skipped.
  sp3test::File f = RoughFile(16);
  for (auto& block : f.epochs) block[1] = "PG07" + block[1].substr(4);
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GNSSpEph e;
    e.SetFile(path.c_str());
    e.ReadFile();
    mjd t = e.GetMJD(8);
    xyzt p, v;
    e.CalcPosition(2, t, p, v);
    std::printf("%d", e.PSisOK ? 1 : 0);
    e.CalcPosition(1, t, p, v);
    std::printf("%d", e.PSisOK ? 1 : 0);
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "01");
  EXPECT_NE(r.err.find("#### Orbika: Warning -> GNSS PRECISE EPHEMERIS FILE " + path +
                       ": EPOCH 2009-04-01 00:15:00.00000000 (LINE 27): RECORDS OF SATELLITES NOT "
                       "IN THE LIST SKIPPED (G07); NO RECORD OF 1 LISTED SATELLITE (G02), MISSING "
                       "HERE! ####"),
            std::string::npos)
      << r.err;
}

TEST(sp3Flags, UnreadStoreFindsNothing) {
  GNSSpEph e;
  mjd t(54922, 0);
  xyzt p(1, 2, 3, 4), v;
  e.CalcPosition(1, t, p, v);
  EXPECT_FALSE(e.PSisOK);
  EXPECT_FALSE(e.DTisOK);
  EXPECT_EQ(p.GetX(), 1);
}

TEST(sp3Flags, VelocityClockIsZero) {
  GNSSpEph e = Load(sp3test::Build(RoughFile(20)));
  mjd t = At(e, 5555);
  xyzt p, v(0, 0, 0, 7);
  e.CalcPosition(1, t, p, v);
  ASSERT_TRUE(e.PSisOK);
  EXPECT_EQ(v.GetT(), 0);
}

TEST(sp3ShortTables, FewerThanFourteenEpochsUseThemAll) {
  GNSSpEph e5 = Load(sp3test::Build(RoughFile(5)));
  ExpectWindows(e5, 0, At(e5, 1.3L * 900), 0, 5, 0, 4);
  ExpectWindows(e5, 1, At(e5, 3.7L * 900), 0, 5, 1, 4);
  ExpectWindows(e5, 2, At(e5, -600), 0, 5, 0, 4);
  ExpectWindows(e5, 2, At(e5, 4.8L * 900), 0, 5, 1, 4);

  GNSSpEph e3 = Load(sp3test::Build(RoughFile(3)));
  ExpectWindows(e3, 1, At(e3, 0.6L * 900), 0, 3, 0, 3);

  GNSSpEph e2 = Load(sp3test::Build(RoughFile(2)));
  ExpectWindows(e2, 2, At(e2, 0.25L * 900), 0, 2, 0, 2);
  // Two epochs: a straight line between them.
  mjd t = At(e2, 450);
  xyzt p, v;
  e2.CalcPosition(103, t, p, v);
  const xyzt a = e2.GetPosition(2), b = e2.GetPosition(5);
  EXPECT_NEAR(static_cast<double>(p.GetX()), static_cast<double>((a.GetX() + b.GetX()) / 2), 1e-6);
  EXPECT_NEAR(static_cast<double>(v.GetX()), static_cast<double>((b.GetX() - a.GetX()) / 900), 1e-9);
}

TEST(sp3ShortTables, ExactlyFourteenEpochsIsOneWindowEverywhere) {
  GNSSpEph e = Load(sp3test::Build(RoughFile(14)));
  // The clock window still moves with the epoch.
  const std::vector<std::pair<long double, long>> cases = {
      {-500, 0}, {0, 0}, {3333, 2}, {6.5L * 900, 5}, {12000, 10}, {13.9L * 900, 10}};
  for (const auto& c : cases) ExpectWindows(e, 0, At(e, c.first), 0, 14, c.second, 4);
}

TEST(sp3WindowWidths, WiderOrNarrowerPositionWindows) {
  GNSSpEph e = Load(sp3test::Build(RoughFile(20)));
  e.SetNInterpPoints(4);  // 8 nodes
  ExpectWindows(e, 0, At(e, 9.4L * 900), 6, 8, 8, 4);
  ExpectWindows(e, 0, At(e, 1.4L * 900), 0, 8, 0, 4);
  e.SetNInterpPoints(7);
  ExpectWindows(e, 0, At(e, 9.4L * 900), 3, 14, 8, 4);
}

// The interpolation written out node by node in its defined order of
// operations, to check that the store's arrangement of the same arithmetic
// (weights formed first and shared) gives the same values.
struct Literal {
  long double p[4], v[3];
  bool ps, dt;  // dt false: the clock window holds a marker (ClockBesideAMarker)
};
Literal LiteralInterpolation(const GNSSpEph& e, long s, const mjd& tc) {
  const long nep = e.GetNEpoch();
  const long nsat = e.GetNSatList();
  const long n = std::min<long>(2 * e.GetNInterpPoints(), nep);
  const long m = std::min<long>(2 * e.GetNInterpPointsClock(), nep);
  const long g = static_cast<long>((tc - e.GetMJD(0)) / e.GetInterval());
  const auto window = [&](long h, long nodes) {
    long first = g - h + 1, last = g + h;
    if (first < 0) {
      first = 0;
      last = nodes - 1;
    }
    if (last >= nep) first = nep - nodes;
    return first;
  };
  const auto denominator = [&](long i, long nodes) {
    long double d = 1;
    for (long j = 0; j < nodes; ++j)
      if (j != i) d *= static_cast<long double>(i - j) * e.GetInterval() / 3600;
    return d;
  };
  Literal out{{0, 0, 0, 0}, {0, 0, 0}, true, true};
  const long first = window(e.GetNInterpPoints(), n);
  for (long j = first; j < first + n; ++j) {
    const xyzt rec = e.GetPosition(j * nsat + s);
    if (std::fabs(rec.GetX()) + std::fabs(rec.GetY()) + std::fabs(rec.GetZ()) < 1) {
      out.ps = out.dt = false;
      return out;
    }
    long double W = 1, V = 1, U = 0;
    bool zero = false;
    for (long k = first; k < first + n; ++k) {
      if (k == j) continue;
      const long double E = (tc - e.GetMJD(k)) / 3600;
      W *= E;
      if (std::fabs(E) > 1e-10) {
        V *= E;
        if (!zero) U += 1 / E;
      } else {
        U = 1;
        zero = true;
      }
    }
    const long double L = denominator(j - first, n);
    const long double c[3] = {rec.GetX(), rec.GetY(), rec.GetZ()};
    for (int i = 0; i < 3; ++i) {
      out.p[i] += c[i] * W / L;
      out.v[i] += c[i] * V * U / L / 3600;
    }
  }
  const long firstT = window(e.GetNInterpPointsClock(), m);
  for (long k = firstT; k < firstT + m; ++k) {
    long double A = 1;
    for (long j = firstT; j < firstT + m; ++j)
      if (j != k) A *= (tc - e.GetMJD(j)) / 3600;
    const long double dt = e.GetPosition(k * nsat + s).GetT();
    if (std::fabs(dt) > 0.9) {
      out.dt = false;
      out.p[3] = 1.0;
      return out;
    }
    out.p[3] += dt * A / denominator(k - firstT, m);
  }
  return out;
}

void ExpectLiteral(GNSSpEph& e, long s, const mjd& tc) {
  mjd t = tc;
  xyzt p, v;
  e.CalcPosition(e.GetSatList(s), t, p, v);
  const Literal want = LiteralInterpolation(e, s, tc);
  const long double at = tc - e.GetMJD(0);
  ASSERT_EQ(e.PSisOK, want.ps) << "at " << static_cast<double>(at) << " s";
  if (!want.ps) {
    ASSERT_FALSE(e.DTisOK) << "at " << static_cast<double>(at) << " s";
    return;
  }
  ASSERT_TRUE(!want.dt || e.DTisOK) << "at " << static_cast<double>(at) << " s";
  // The same sums up to the rounding of another order of operations, which
  // extrapolation past the table's ends magnifies: still a thousandth of
  // the printed millimetre and far below the printed nanosecond.
  constexpr long double kMetres = 1e-6L, kSeconds = 1e-18L;
  const long double got[7] = {p.GetX(), p.GetY(), p.GetZ(), v.GetX(),
                              v.GetY(), v.GetZ(), p.GetT()};
  const long double ref[7] = {want.p[0], want.p[1], want.p[2], want.v[0],
                              want.v[1], want.v[2], want.p[3]};
  for (int i = 0; i < (want.dt ? 7 : 6); ++i)
    EXPECT_LE(std::fabs(got[i] - ref[i]), i < 6 ? kMetres : kSeconds)
        << "component " << i << " at " << static_cast<double>(at) << " s";
}

TEST(sp3Arithmetic, AgreesWithTheNodeByNodeEvaluation) {
  sp3test::File f = RoughFile(30);
  f.epochs[17][0] = PosLine("G01", 15000, -12000, 20000, 999999.999999);
  GNSSpEph e = Load(sp3test::Build(f));
  std::vector<long double> at;
  for (long double t = -900; t <= 30 * 900; t += 131.7L) at.push_back(t);
  for (long i : {0L, 1L, 6L, 7L, 15L, 28L, 29L}) {
    at.push_back(900.0L * i);          // on a node
    at.push_back(900.0L * i + 1e-7L);  // within the node tolerance
    at.push_back(900.0L * i - 1e-6L);  // just outside it
  }
  for (long double t : at)
    for (long s = 0; s < 3; ++s) ExpectLiteral(e, s, At(e, t));
  // Short tables and other window widths.
  GNSSpEph e5 = Load(sp3test::Build(RoughFile(5)));
  for (long double t : {-100.0L, 0.0L, 1000.0L, 1800.0L + 1e-7L, 3500.0L})
    ExpectLiteral(e5, 1, At(e5, t));
  e.SetNInterpPoints(1);
  for (long double t : {0.0L, 450.0L, 12345.0L, 29 * 900.0L})
    ExpectLiteral(e, 2, At(e, t));
}

// A circular orbit of GPS radius (26 560 km, 12 sidereal hours, 55 degrees
// inclination), tabulated every 15 minutes to the millimetre, with a clock
// that drifts quadratically.
struct Circular {
  long double r = 26560e3L;
  long double w = 2 * kPi / 43082.0L;  // rad/s
  long double inc = 55 * kPi / 180;
  long double node, phase;

  void At(long double t, long double* p, long double* v) const {
    const long double u = phase + w * t;
    const long double cu = std::cos(u), su = std::sin(u);
    const long double cn = std::cos(node), sn = std::sin(node);
    const long double ci = std::cos(inc), si = std::sin(inc);
    p[0] = r * (cu * cn - su * ci * sn);
    p[1] = r * (cu * sn + su * ci * cn);
    p[2] = r * su * si;
    v[0] = r * w * (-su * cn - cu * ci * sn);
    v[1] = r * w * (-su * sn + cu * ci * cn);
    v[2] = r * w * cu * si;
  }
  // Clock, microseconds.
  long double Clock(long double t) const { return 120 + 0.004 * t - 2e-8L * t * t; }
};

class sp3Truth : public ::testing::Test {
 protected:
  void SetUp() override {
    sp3test::File f;
    f.sats = {"G01", "G02", "G03"};
    for (int k = 0; k < 3; ++k) orbit[k] = Circular{26560e3L, 2 * kPi / 43082.0L,
                                                   55 * kPi / 180, 2.1L * k, 0.7L + 1.9L * k};
    sp3test::Fill(f, kEpochs, [&f, this](long i, size_t k) {
      long double p[3], v[3];
      orbit[k].At(900.0L * i, p, v);
      return PosLine(f.sats[k], static_cast<double>(p[0] / 1000), static_cast<double>(p[1] / 1000),
                     static_cast<double>(p[2] / 1000),
                     static_cast<double>(orbit[k].Clock(900.0L * i)));
    });
    e = Load(sp3test::Build(f));
  }
  static constexpr long kEpochs = 96;
  Circular orbit[3];
  GNSSpEph e;
};

TEST_F(sp3Truth, PositionsBelowAMillimetreVelocitiesBelowATenthOfAMillimetrePerSecond) {
  long double worstP = 0, worstV = 0, worstC = 0;
  // Every 97 s, well inside the table where the windows are centred.
  for (long double t = 7 * 900; t <= (kEpochs - 8) * 900.0L; t += 97)
    for (int k = 0; k < 3; ++k) {
      mjd tc = At(e, t);
      xyzt p, v;
      e.CalcPosition(k + 1, tc, p, v);
      ASSERT_TRUE(e.PSisOK && e.DTisOK);
      long double tp[3], tv[3];
      orbit[k].At(t, tp, tv);
      worstP = std::max(worstP, std::hypot(std::hypot(p.GetX() - tp[0], p.GetY() - tp[1]),
                                           p.GetZ() - tp[2]));
      worstV = std::max(worstV, std::hypot(std::hypot(v.GetX() - tv[0], v.GetY() - tv[1]),
                                           v.GetZ() - tv[2]));
      worstC = std::max(worstC, std::fabs(p.GetT() - orbit[k].Clock(t) * 1e-6L));
    }
  EXPECT_LT(worstP, 1e-3L);
  EXPECT_LT(worstV, 1e-4L);
  // A 4-node clock polynomial reproduces a quadratic up to the 1e-12 s of
  // the tabulated digits.
  EXPECT_LT(worstC, 2e-12L);
}

TEST_F(sp3Truth, LightTimeSolution) {
  // A receiver on the equator under the orbit.
  xyz rec(6378137.0L, 0, 0);
  mjd tc = At(e, 30000);
  xyzt p, v;
  e.CalcPosition(1, tc, rec, p, v);
  ASSERT_TRUE(e.PSisOK);
  // The satellite is taken at the transmission epoch ...
  const mjd tx = e.GetTransmissionEpoch();
  const long double tau = tc - tx;
  EXPECT_GT(tau, 0.06L);
  EXPECT_LT(tau, 0.1L);
  mjd t2 = tx;
  xyzt p2, v2;
  e.CalcPosition(1, t2, p2, v2);
  EXPECT_EQ(p.GetX(), p2.GetX());
  EXPECT_EQ(v.GetY(), v2.GetY());
  // ... whose light time matches the range to the receiver, rotated with
  // the Earth while the signal travels.
  const xyz recT = rec.RotateZ(0.000072921151467L * tau);
  const long double range = std::hypot(std::hypot(p.GetX() - recT.GetX(), p.GetY() - recT.GetY()),
                                       p.GetZ() - recT.GetZ());
  EXPECT_NEAR(static_cast<double>(range - tau * 299792458.0L), 0, 1e-4);
  // Relativistic term 2 (r . v) / c^2 taken off the clock.
  const long double c2 = 299792458.0L * 299792458.0L;
  const long double rel =
      2 * (p2.GetX() * v2.GetX() + p2.GetY() * v2.GetY() + p2.GetZ() * v2.GetZ()) / c2;
  EXPECT_NEAR(static_cast<double>(e.GetRelativity() - rel), 0, 1e-20);
  EXPECT_NEAR(static_cast<double>(p.GetT() - (p2.GetT() - rel)), 0, 1e-20);

  // The form without velocity gives the same position and clock.
  xyzt q;
  e.CalcPosition(1, tc, rec, q);
  EXPECT_TRUE(q == p);

  // An unknown satellite leaves the results untouched.
  const xyzt keep(1, 2, 3, 4);
  xyzt r = keep;
  e.CalcPosition(9, tc, rec, r);
  EXPECT_FALSE(e.PSisOK);
  EXPECT_TRUE(r == keep);
}

// A real table kept every step-th epoch, with its header's count and
// interval set to match.
std::string Thinned(const std::string& text, int step, long double interval) {
  const std::vector<std::string> lines = orbtest::SplitLines(text);
  std::string out;
  long block = -1, kept = 0;
  for (const std::string& line : lines) {
    if (line.rfind("EOF", 0) == 0) break;
    if (line[0] == '*' && ++block % step == 0) ++kept;
    if (block < 0 || block % step == 0) out += line + "\n";
  }
  char b[32];
  std::snprintf(b, sizeof b, "%7ld", kept);
  out.replace(32, 7, b);
  std::snprintf(b, sizeof b, "%14.8Lf", interval * step);
  out.replace(out.find('\n') + 1 + 24, 14, b);
  return out + "EOF\n";
}

// Thins a real 5-minute table of all systems and interpolates the dropped
// epochs from the kept ones where the window is centred: at 15 minutes
// within a centimetre, beyond the spacing the interpolation bears nothing.
TEST(sp3RealData, ThinnedTableReproducesTheDroppedEpochs) {
  ORBIKA_REQUIRE_DATA();
  const std::string fullPath = orbtest::DataFile("setE/GFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz");
  GNSSpEph full;
  full.SetFile(fullPath.c_str());
  full.ReadFile();
  ASSERT_EQ(full.GetNEpoch(), 288);
  InputFile in(fullPath.c_str());
  std::ostringstream text;
  text << in.rdbuf();
  const struct {
    int step;
    bool interpolated;
  } rows[] = {{3, true}, {6, false}};
  for (const auto& row : rows) {
    GNSSpEph thin = Load(Thinned(text.str(), row.step, full.GetInterval()));
    const long n = thin.GetNEpoch();
    long compared = 0;
    long double worst = 0;
    for (long i = 7 * row.step; i < (n - 7) * row.step; ++i) {
      if (i % row.step == 0) continue;
      for (int k = 0; k < full.GetNSatList(); ++k) {
        const xyzt tab = full.GetPosition(i * full.GetNSatList() + k);
        if (std::fabs(tab.GetX()) + std::fabs(tab.GetY()) + std::fabs(tab.GetZ()) < 1) continue;
        mjd t = full.GetMJD(i);
        xyzt p, v;
        thin.CalcPosition(full.GetSatList(k), t, p, v);
        EXPECT_EQ(thin.PSisOK, row.interpolated);
        if (!thin.PSisOK) continue;
        const long double d = std::hypot(std::hypot(p.GetX() - tab.GetX(), p.GetY() - tab.GetY()),
                                         p.GetZ() - tab.GetZ());
        worst = std::max(worst, d);
        ++compared;
      }
    }
    EXPECT_LT(worst, 0.01L) << "step " << row.step;
    if (row.interpolated) {
      EXPECT_GT(compared, 100 * 200);
    }
    RecordProperty("worst_cm_step" + std::to_string(row.step),
                   std::to_string(static_cast<double>(worst * 100)));
  }
}

}  // namespace
