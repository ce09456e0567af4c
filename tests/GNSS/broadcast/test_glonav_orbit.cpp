// GLONASS orbit integration of GLNbEph: record selection, the equations of
// motion, the Runge-Kutta step sequence, clock and relativistic term, the
// reuse of whole steps, the receiver variants and the store's reports.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/time/TimeConverse.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/broadcast/test_glonav_util.h"

namespace {

using glonavtest::Header;
using glonavtest::Params;
using glonavtest::RealisticState;
using glonavtest::Record;

constexpr long double kGM = 3.9860044e14L;
constexpr long double kOmega = 7.292115e-5L;
constexpr long double kAE = 6378136.0L;
constexpr long double kJ2 = 1.08263e-3L;
constexpr long double kC = 299792458.0L;

// Slot 2 at 00:15 UTC (a real broadcast state), slot 2 again at 00:45 and
// slot 4 at 01:15, 2009-04-01.
std::string OrbitFile() {
  Params later = RealisticState();
  later[3] += 1;  // a different record: 1 km further in x
  return Header() + Record(2, 9, 4, 1, 0, 15, 0, RealisticState()) +
         Record(2, 9, 4, 1, 0, 45, 0, later) + Record(4, 9, 4, 1, 1, 15, 0, RealisticState());
}

class GLONASSOrbit : public ::testing::Test {
 protected:
  void SetUp() override {
    g.SetFile(path.c_str());
    g.ReadFile();
    tS = g.GetMJD(0);
    tS += g.GetHeader().GetTauC();
  }
  // The start epoch of record 0 moved by dt seconds.
  mjd At(long double dt) const {
    mjd t = tS;
    t += dt;
    return t;
  }
  void Calc(const mjd& t0, short slot = 2) { g.CalcPosition(slot, t0, t0, pos, vel, 0); }

  const std::string path = orbtest::WriteTempFile(OrbitFile());
  GLNbEph g;
  mjd tS;
  xyzt pos, vel;
};

long double Radius(const xyzt& p) {
  return std::sqrt(p.GetX() * p.GetX() + p.GetY() * p.GetY() + p.GetZ() * p.GetZ());
}

// Jacobi integral of motion in the rotating frame with J2 and a constant
// acceleration a: 1/2 v^2 - 1/2 w^2 (x^2 + y^2) - mu/r + mu J2 aE^2 P2 / r^3 - a.r.
long double Jacobi(const xyzt& p, const xyzt& v, const Params& rec) {
  const long double r = Radius(p);
  const long double s = p.GetZ() / r;
  const long double p2 = (3 * s * s - 1) / 2;
  const long double ar = rec[5] * 1000 * p.GetX() + rec[9] * 1000 * p.GetY() + rec[13] * 1000 * p.GetZ();
  return (v.GetX() * v.GetX() + v.GetY() * v.GetY() + v.GetZ() * v.GetZ()) / 2 -
         kOmega * kOmega * (p.GetX() * p.GetX() + p.GetY() * p.GetY()) / 2 - kGM / r +
         kGM * kJ2 * kAE * kAE * p2 / (r * r * r) - ar;
}

// ------------------------------------------------------------------ equations

TEST(GLONASSEquations, EquatorialPointAtRest) {
  GLNbEph g;
  const long double r = 25.5e6L;
  matrix<long double> x(6, 1, 0), y(6, 1, 0);
  x(0) = r;
  g.DiffEqTwoBody(x, 0, 0, 0, y);
  const long double expected = -kGM / (r * r) * (1 + 1.5L * kJ2 * (kAE / r) * (kAE / r)) + kOmega * kOmega * r;
  EXPECT_NEAR(static_cast<double>(y(3)), static_cast<double>(expected), 1e-15);
  EXPECT_EQ(y(4), 0.0L);
  EXPECT_EQ(y(5), 0.0L);
  EXPECT_EQ(y(0), 0.0L);
}

TEST(GLONASSEquations, PolarPointGravityIsWeakenedByOblateness) {
  GLNbEph g;
  const long double r = 25.5e6L;
  matrix<long double> x(6, 1, 0), y(6, 1, 0);
  x(2) = r;
  g.DiffEqTwoBody(x, 0, 0, 0, y);
  const long double expected = -kGM / (r * r) * (1 - 3 * kJ2 * (kAE / r) * (kAE / r));
  EXPECT_NEAR(static_cast<double>(y(5)), static_cast<double>(expected), 1e-15);
  EXPECT_EQ(y(3), 0.0L);
  EXPECT_EQ(y(4), 0.0L);
}

TEST(GLONASSEquations, CoriolisAndLuniSolarTerms) {
  GLNbEph g;
  matrix<long double> x(6, 1, 0), y0(6, 1, 0), y(6, 1, 0);
  x(0) = 20e6L;
  x(2) = 15e6L;
  g.DiffEqTwoBody(x, 0, 0, 0, y0);
  x(3) = 300;
  x(4) = 1000;
  x(5) = -2000;
  g.DiffEqTwoBody(x, 1e-6L, -2e-6L, 3e-6L, y);
  EXPECT_EQ(y(0), 300.0L);
  EXPECT_EQ(y(1), 1000.0L);
  EXPECT_EQ(y(2), -2000.0L);
  EXPECT_NEAR(static_cast<double>(y(3) - y0(3)), static_cast<double>(1e-6L + 2 * kOmega * 1000), 1e-17);
  EXPECT_NEAR(static_cast<double>(y(4) - y0(4)), static_cast<double>(-2e-6L - 2 * kOmega * 300), 1e-17);
  EXPECT_NEAR(static_cast<double>(y(5) - y0(5)), 3e-6, 1e-17);
}

// ------------------------------------------------------------------ steps

TEST_F(GLONASSOrbit, AtTheStartEpochTheRecordIsTheResult) {
  Calc(tS);
  EXPECT_EQ(g.GetLastStepCount(), 0);
  const GLNbEphData& d = g.GetData();
  EXPECT_EQ(pos.GetX(), d.GetData(0, 3) * 1000);
  EXPECT_EQ(pos.GetY(), d.GetData(0, 7) * 1000);
  EXPECT_EQ(pos.GetZ(), d.GetData(0, 11) * 1000);
  EXPECT_EQ(vel.GetX(), d.GetData(0, 4) * 1000);
  EXPECT_EQ(vel.GetY(), d.GetData(0, 8) * 1000);
  EXPECT_EQ(vel.GetZ(), d.GetData(0, 12) * 1000);
  EXPECT_EQ(vel.GetT(), 0.0L);
  // Clock: -TauN + TauC - 2 (r . v) / c^2.
  const long double rv = pos.GetX() * vel.GetX() + pos.GetY() * vel.GetY() + pos.GetZ() * vel.GetZ();
  EXPECT_NEAR(static_cast<double>(g.GetRelativity()), static_cast<double>(2 * rv / (kC * kC)), 1e-22);
  EXPECT_NEAR(static_cast<double>(pos.GetT()),
              static_cast<double>(d.GetData(0, 0) + g.GetHeader().GetTauC() - 2 * rv / (kC * kC)), 1e-20);
}

TEST_F(GLONASSOrbit, ThirtySecondsIsOneStep) {
  Calc(At(30));
  EXPECT_EQ(g.GetLastStepCount(), 1);
  EXPECT_NEAR(static_cast<double>(g.GetLastStep()), 30.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(g.GetLastEndEpoch() - At(30)), 0.0, 1e-6);
}

TEST_F(GLONASSOrbit, FortyFiveSecondsAreAWholeAndAShorterStep) {
  Calc(At(45));
  EXPECT_EQ(g.GetLastStepCount(), 2);
  EXPECT_NEAR(static_cast<double>(g.GetLastStep()), 15.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(g.GetLastEndEpoch() - At(45)), 0.0, 1e-6);
}

TEST_F(GLONASSOrbit, BackwardsTheStepsAreNegative) {
  Calc(At(-45));
  EXPECT_EQ(g.GetLastStepCount(), 2);
  EXPECT_NEAR(static_cast<double>(g.GetLastStep()), -15.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(g.GetLastEndEpoch() - At(-45)), 0.0, 1e-6);
}

TEST_F(GLONASSOrbit, ClockRunsWithTheFrequencyBias) {
  Calc(At(-600));
  const GLNbEphData& d = g.GetData();
  const long double dt = (At(-600).GetMJDDec() - tS.GetMJDDec()) * 24 * 3600;
  EXPECT_NEAR(static_cast<double>(pos.GetT() + g.GetRelativity()),
              static_cast<double>(d.GetData(0, 0) - d.GetData(0, 1) * dt + g.GetHeader().GetTauC()),
              1e-20);
}

TEST_F(GLONASSOrbit, SmallerStepChangesTheStepsNotTheOrbit) {
  Calc(At(45));
  const xyzt p30 = pos;
  g.SetIntegrationStep(15);
  EXPECT_EQ(g.GetIntegrationStep(), 15.0L);
  Calc(At(45));
  EXPECT_EQ(g.GetLastStepCount(), 3);
  EXPECT_NEAR(static_cast<double>(g.GetLastStep()), 15.0, 1e-6);
  // Both steps are far below the orbit's time scale: sub-millimetre agreement.
  EXPECT_NEAR(static_cast<double>(pos.GetX()), static_cast<double>(p30.GetX()), 1e-4);
  EXPECT_NEAR(static_cast<double>(pos.GetY()), static_cast<double>(p30.GetY()), 1e-4);
  EXPECT_NEAR(static_cast<double>(pos.GetZ()), static_cast<double>(p30.GetZ()), 1e-4);
  Calc(At(50));
  EXPECT_EQ(g.GetLastStepCount(), 4);
  EXPECT_NEAR(static_cast<double>(g.GetLastStep()), 5.0, 1e-6);
}

TEST_F(GLONASSOrbit, TenHoursAwayIsReachedInFull) {
  // Far beyond 1001 steps of 30 s from the first record (selected by the
  // fixed epoch tS): the integration still ends on t0.
  const mjd t0 = At(36000);
  g.CalcPosition(2, t0, tS, pos, vel, 0);
  EXPECT_NEAR(static_cast<double>(g.GetLastEndEpoch() - t0), 0.0, 1e-6);
  const long n = g.GetLastStepCount();
  ASSERT_TRUE(n == 1200 || n == 1201) << n;
  EXPECT_NEAR(static_cast<double>((n - 1) * 30 + g.GetLastStep()), 36000.0, 1e-6);

  // The motion stays physical: on a GLONASS orbit, and the Jacobi integral
  // of the rotating frame is kept over the 1200 steps.
  EXPECT_NEAR(static_cast<double>(Radius(pos)), 25.5e6, 0.2e6);
  xyzt p0, v0;
  g.CalcPosition(2, tS, tS, p0, v0, 0);
  EXPECT_NEAR(static_cast<double>(Jacobi(pos, vel, RealisticState())),
              static_cast<double>(Jacobi(p0, v0, RealisticState())), 2e-4);

  // And it is not the state after 1001 steps.
  xyzt pCap, vCap;
  g.CalcPosition(2, At(30030), tS, pCap, vCap, 0);
  EXPECT_GT(std::fabs(static_cast<double>(pCap.GetX() - pos.GetX())), 1e6);
}

TEST_F(GLONASSOrbit, KeptWholeStepsGiveBitIdenticalResults) {
  // One store computes a sequence of epochs in a mixed order (so that kept
  // whole steps are reused, forwards and backwards, across a step change);
  // each result must equal that of a store that has computed nothing yet.
  const GLNbEph pristine = g;
  const long double offsets[] = {0,    30,   45,    31,    900,   -900, -45,  -30.5, 13.25,
                                 600,  3600, 35999, 12345, -7200, 899,  -1,   0.001, 1e-9};
  for (const long double step : {30.0L, 15.0L, 30.0L, 7.5L}) {
    g.SetIntegrationStep(step);
    for (const long double off : offsets) {
      for (const short slot : {2, 4}) {
        const mjd t0 = At(off);
        GLNbEph fresh = pristine;
        fresh.SetIntegrationStep(step);
        xyzt fp, fv;
        fresh.CalcPosition(slot, t0, t0, fp, fv, 0);
        Calc(t0, slot);
        SCOPED_TRACE(testing::Message() << "step " << static_cast<double>(step) << " offset "
                                        << static_cast<double>(off) << " slot " << slot);
        EXPECT_EQ(pos.GetX(), fp.GetX());
        EXPECT_EQ(pos.GetY(), fp.GetY());
        EXPECT_EQ(pos.GetZ(), fp.GetZ());
        EXPECT_EQ(pos.GetT(), fp.GetT());
        EXPECT_EQ(vel.GetX(), fv.GetX());
        EXPECT_EQ(vel.GetY(), fv.GetY());
        EXPECT_EQ(vel.GetZ(), fv.GetZ());
        EXPECT_EQ(g.GetLastStepCount(), fresh.GetLastStepCount());
        EXPECT_EQ(g.GetLastStep(), fresh.GetLastStep());
      }
    }
  }
}

TEST_F(GLONASSOrbit, NoValuesMoreThanTwoDaysFromTheRecord) {
  const struct {
    long double dt;  // s from the record
    bool computed;
  } cases[] = {{-2 * 86400.0L + 1, true}, {2 * 86400.0L - 1, true}, {2 * 86400.0L + 1, false},
               {-2 * 86400.0L - 1, false}, {400 * 86400.0L, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.dt));
    const mjd t0 = At(c.dt);
    EXPECT_EQ(g.CalcPosition(2, t0, tS, pos, vel, 0), c.computed);
    EXPECT_EQ(std::isfinite(pos.GetX()) && std::isfinite(pos.GetT()) && std::isfinite(vel.GetZ()),
              c.computed);
    EXPECT_EQ(std::isnan(pos.GetY()) && std::isnan(vel.GetX()), !c.computed);
  }
}

// The memory of an integration does not grow with its steps: an epoch a day
// and more after the first record of R07 in the real file, at the smallest
// step of 0.1 s, takes over 900 000 steps (keeping each of them took 16 MB).
TEST(GLONASSMemory, DoesNotGrowWithTheNumberOfSteps) {
  ORBIKA_REQUIRE_DATA();
#ifdef ORBIKA_SANITIZED
  GTEST_SKIP() << "a million steps are left to the unsanitized builds";
#endif
  GLNbEph g;
  const std::string file = orbtest::DataFile("brdc0910.09g");
  g.SetFile(file.c_str());
  g.ReadFile();
  // The record is selected by the second epoch.
  g.SetIntegrationStep(0.1L);
  const mjd t0(54923, 7200), selecting(54922, 0);
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    rusage before, after;
    getrusage(RUSAGE_SELF, &before);
    xyzt pos, vel;
    g.CalcPosition(7, t0, selecting, pos, vel, 0);
    getrusage(RUSAGE_SELF, &after);
    std::printf("%ld %ld\n", after.ru_maxrss - before.ru_maxrss, g.GetLastStepCount());
    std::fflush(stdout);
  });
  long grownKB = -1, steps = 0;
  ASSERT_EQ(std::sscanf(r.out.c_str(), "%ld %ld", &grownKB, &steps), 2) << r.out;
  EXPECT_GT(steps, 900000);
  EXPECT_GE(grownKB, 0);
  EXPECT_LT(grownKB, 4096);
}

TEST_F(GLONASSOrbit, FixedRecordEpochSelectsTheRecordOnly) {
  // With the selection epoch fixed at the first record, an epoch at the
  // second record is integrated from the first: exactly what a file holding
  // only the first record gives.
  const mjd t0 = At(1800);
  g.CalcPosition(2, t0, tS, pos, vel, 0);
  EXPECT_NEAR(static_cast<double>(g.GetLastEndEpoch() - t0), 0.0, 1e-6);
  const xyzt fixed = pos;

  GLNbEph single;
  const std::string one = orbtest::WriteTempFile(Header() + Record(2, 9, 4, 1, 0, 15, 0, RealisticState()));
  single.SetFile(one.c_str());
  single.ReadFile();
  xyzt p1, v1;
  single.CalcPosition(2, t0, t0, p1, v1, 0);
  EXPECT_EQ(fixed.GetX(), p1.GetX());
  EXPECT_EQ(fixed.GetY(), p1.GetY());
  EXPECT_EQ(fixed.GetZ(), p1.GetZ());
  EXPECT_EQ(fixed.GetT(), p1.GetT());

  // Selected by t0 itself, the second record is used.
  Calc(t0);
  EXPECT_EQ(pos.GetX(), g.GetData().GetData(1, 3) * 1000);
}

TEST_F(GLONASSOrbit, InvalidIntegrationStepIsRefused) {
  for (const long double step : {0.0L, -30.0L, 1e-8L, 0.09L}) {
    const orbtest::RunResult r = orbtest::RunCaptured([&] { g.SetIntegrationStep(step); });
    EXPECT_EQ(r.status, 1);
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "\n**** GLNbEph: Error -> INTEGRATION STEP [-ni] %Lg s NOT VALID [MUST BE AT LEAST 0.1 s]! ****\n"
                  "     Exiting GLNbEph ... \n",
                  step);
    EXPECT_EQ(r.out, expected);
  }
}

// ------------------------------------------------------------------ selection

TEST_F(GLONASSOrbit, RecordNearestInTimeWithTiesToTheEarlier) {
  const mjd first = g.GetMJD(0);
  const mjd second = g.GetMJD(1);
  mjd t = first;
  t += -3600.0L;
  EXPECT_EQ(g.GetDataIndex(2, t), 0);  // before the first record
  t = first;
  t += 900.0L;
  EXPECT_EQ(g.GetDataIndex(2, t), 0);  // midway: the earlier one
  t += 1.0L;
  EXPECT_EQ(g.GetDataIndex(2, t), 1);
  EXPECT_EQ(g.GetDataIndex(2, second), 1);
  t = second;
  t += 86400.0L;
  EXPECT_EQ(g.GetDataIndex(2, t), 1);  // after the last, however far
  EXPECT_EQ(g.GetDataIndex(4, first), 2);
}

TEST(GLONASSSelection, RecordsOutOfTimeOrderAreTakenInTimeOrder) {
  const Params s = RealisticState();
  const std::string path = orbtest::WriteTempFile(
      Header() + Record(9, 9, 4, 1, 1, 15, 0, s) + Record(9, 9, 4, 1, 0, 15, 0, s) +
      Record(9, 9, 4, 1, 0, 45, 0, s));
  GLNbEph g;
  g.SetFile(path.c_str());
  g.ReadFile();
  mjd t = g.GetMJD(1);
  t += 300.0L;
  // 00:20: the 00:15 record, though listed after 01:15.
  EXPECT_EQ(g.GetDataIndex(9, t), 1);
  // Later than all: the latest record, though listed first.
  t += 7200.0L;
  EXPECT_EQ(g.GetDataIndex(9, t), 0);
}

// The selection rule as it reads, on the records of one slot in time order
// (records of one epoch in file order).
int SelectionRule(const GLNbEph& g, short st, const mjd& t0) {
  std::vector<int> rows;
  for (int row = 0; row < g.GetNSat(); ++row)
    if (g.GetData().GetSat(row) == st) rows.push_back(row);
  std::stable_sort(rows.begin(), rows.end(),
                   [&g](int a, int b) { return g.GetMJD(a) < g.GetMJD(b); });
  int held = -1;
  for (int row : rows) {
    const mjd& e = g.GetMJD(row);
    if (held < 0) {
      if (t0 < e) return row;
    } else if (g.GetMJD(held) <= t0 && t0 <= e) {
      return (t0 - g.GetMJD(held)) > (e - t0) ? row : held;
    }
    held = row;
  }
  return held;
}

TEST(GLONASSSelection, IndexedSearchFollowsTheRuleExactly) {
  // Slot 6 in time order (with records of other slots between), slot 8 out
  // of order with a repeated epoch; epochs probed at, near and between the
  // records, down to below the comparison tolerances.
  const Params s = RealisticState();
  std::string text = Header();
  const int minutes6[] = {15, 45, 75, 135, 136, 600};
  const int minutes8[] = {75, 15, 45, 45, 135};
  for (int i = 0; i < 6; ++i) {
    text += Record(6, 9, 4, 1, minutes6[i] / 60, minutes6[i] % 60, 0, s);
    if (i < 5) text += Record(8, 9, 4, 1, minutes8[i] / 60, minutes8[i] % 60, 0, s);
  }
  GLNbEph g;
  const std::string path = orbtest::WriteTempFile(text);
  g.SetFile(path.c_str());
  g.ReadFile();
  const long double nudges[] = {0, 1e-15L, -1e-15L, 8e-15L, -8e-15L, 2e-14L, -2e-14L, 1e-9L, -1e-9L};
  int probes = 0;
  for (int row = 0; row < g.GetNSat(); ++row) {
    for (int other = 0; other < g.GetNSat(); ++other) {
      // Record epochs and the midpoints between any two of them.
      mjd base = g.GetMJD(row);
      base += (g.GetMJD(other) - g.GetMJD(row)) / 2;
      for (const long double nudge : nudges) {
        mjd t0 = base;
        t0.SetSecond(t0.GetSecond() + nudge);
        for (const short st : {6, 8}) {
          EXPECT_EQ(g.GetDataIndex(st, t0), SelectionRule(g, st, t0))
              << "slot " << st << " second " << static_cast<double>(t0.GetSecond());
          ++probes;
        }
      }
    }
  }
  mjd early = g.GetMJD(1), late = g.GetMJD(9);
  early += -86400.0L;
  late += 86400.0L;
  for (const short st : {6, 8}) {
    EXPECT_EQ(g.GetDataIndex(st, early), SelectionRule(g, st, early));
    EXPECT_EQ(g.GetDataIndex(st, late), SelectionRule(g, st, late));
  }
  EXPECT_EQ(probes, 11 * 11 * 9 * 2);
}

TEST_F(GLONASSOrbit, SlotWithoutRecordsEndsTheRun) {
  const orbtest::RunResult r = orbtest::RunCaptured([&] { Calc(tS, 5); });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "\n**** GLNbEph: Error -> SAT: R05 IS NOT LISTED IN GLONASS NAVIGATION FILE " + path +
                "!!! ****\n     Exiting GLNbEph ... \n");
  EXPECT_EQ(r.err, "");
}

// ------------------------------------------------------------------ reports

TEST_F(GLONASSOrbit, LargeIntervalWarningOnlyWhenAsked) {
  mjd t0;
  t0.Set(54922, 7200);  // 2009-04-01 02:00:00, 44.75 min after the record of slot 4
  const orbtest::RunResult quiet = orbtest::RunCaptured([&] { g.CalcPosition(4, t0, t0, pos, vel, 0); });
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out, "");
  const orbtest::RunResult loud = orbtest::RunCaptured([&] { g.CalcPosition(4, t0, t0, pos, vel, 1); });
  EXPECT_EQ(loud.status, 0);
  EXPECT_EQ(loud.out,
            "\n#### GLNbEph: Warning -> SAT: R04 [2009-04-01 02:00:00.0] -> DT = 44.75 min "
            "PARAMETER TO BIG [>16min] ####\n     Continuing GLNbEph ... \n");
}

TEST_F(GLONASSOrbit, PrintParameterLayout) {
  const orbtest::RunResult r = orbtest::RunCaptured([&] { g.PrintParameter("GMz", kGM); });
  EXPECT_EQ(r.out, "GLNbEph::        GMz:          3.986004400000000e+14\n");
}

// ------------------------------------------------------------------ receiver

TEST_F(GLONASSOrbit, TravelTimeAndPseudorangeVariantsAgree) {
  const xyz receiver(4282000.0L, 1100000.0L, 4686000.0L);  // on the Earth's surface
  const mjd eph = At(120);
  xyzt ps, vs;
  const long double range = g.CalcPosition(2, eph, eph, receiver, ps, vs, 0);
  EXPECT_GT(range, 19e6L);
  EXPECT_LT(range, 33e6L);
  // The satellite was computed at the transmission epoch eph - range / c.
  xyzt direct, dv;
  mjd sent = eph;
  sent += -range / kC;
  g.CalcPosition(2, sent, eph, direct, dv, 0);
  EXPECT_NEAR(static_cast<double>(direct.GetX()), static_cast<double>(ps.GetX()), 1e-2);
  // With the converged range as pseudorange the other variant returns it.
  xyzt ps2, vs2;
  const long double range2 = g.CalcPosition(2, eph, eph, receiver, ps2, vs2, gnssobs(range), 0);
  EXPECT_NEAR(static_cast<double>(range2), static_cast<double>(range), 1e-4);
}

}  // namespace
