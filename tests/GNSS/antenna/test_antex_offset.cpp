// Moving precise positions from the centre of mass to the antenna phase
// centre: z-only offsets, the Sun-oriented body frame, each system's first
// frequency, validity periods, missing records, warnings and progress lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/geometry/LuniSolarPosition.h"
#include "GNSS/antenna/antexNew.h"
#include "GNSS/antenna/PhaseCentreShift.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/antenna/test_antex_util.h"
#include "tests/GNSS/precise/test_sp3_util.h"

namespace {

using atxtest::Epoch;
using atxtest::kDay;
using atxtest::WarningFrame;

constexpr double kPi = 3.141592653589793;

using atxtest::Cross;
using atxtest::Dot;
using atxtest::Norm;
using atxtest::Of;
using atxtest::Unit;
using atxtest::V;

// A point of a circular orbit of 26 560 km radius, inclined 55 degrees, in km.
V OrbitKm(double u) {
  const double r = 26560.0, inc = 55.0 * kPi / 180.0;
  return {r * std::cos(u), r * std::sin(u) * std::cos(inc), r * std::sin(u) * std::sin(inc)};
}

std::string Pos(const std::string& sat, const V& km, double clkus) {
  return sp3test::PosLine(sat, static_cast<double>(km.x), static_cast<double>(km.y),
                          static_cast<double>(km.z), clkus);
}

// Four epochs from 2009-04-01 0 h at 900 s; positions along the orbit.
sp3test::File OrbitFile(const std::vector<std::string>& sats) {
  sp3test::File f;
  f.mjday = kDay;
  f.sats = sats;
  sp3test::Fill(f, 4, [&](long i, size_t k) {
    return Pos(sats[k], OrbitKm(1.3 * static_cast<double>(k) + 0.03 * static_cast<double>(i)),
               100.0 + static_cast<double>(k));
  });
  return f;
}

void LoadSp3(GNSSpEph& eph, const sp3test::File& f) {
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  eph.SetFile(path.c_str());
  eph.ReadFile();
}

// The offset that the correction of satellite n at eph uses.
neu OffsetOf(antex& atx, short n, const mjd& eph) {
  const short keep = antexns::PrintWarns;
  antexns::PrintWarns = 0;
  atx.SetSatellite(n, eph);
  antexns::PrintWarns = keep;
  neu d;
  atx.GetAntennaOffset(d, n > 99 ? antexns::R01 : antexns::G01);
  return d;
}

// The mixed fixture, and the orbit file read twice: as read and corrected.
class atxCorrection : public ::testing::Test {
 protected:
  void SetUp() override {
    atxtest::Load(atx_, atxtest::MixedFixture());
    const sp3test::File f = OrbitFile({"G05", "R01", "G01", "E11"});
    LoadSp3(before_, f);
    LoadSp3(after_, f);
    ApplyAntennaOffset(after_, atx_, false);
  }
  V Shift(long r) const { return Of(after_.GetPosition(r)) - Of(before_.GetPosition(r)); }
  // Component of the shift of record r towards the Earth's centre.
  long double NadirShift(long r) const {
    return Dot(Shift(r), Unit(-1.0L * Of(before_.GetPosition(r))));
  }
  antex atx_;
  GNSSpEph before_, after_;
};

TEST_F(atxCorrection, ZOffsetMovesTowardsTheEarthAndKeepsTheClock) {
  for (long i = 0; i < 4; ++i) {
    const long r = i * 4;  // G05, offset (0, 0, 2.6) m
    ASSERT_EQ(after_.GetSat(r), 5);
    const V before = Of(before_.GetPosition(r));
    const V expected = (-2.6L / Norm(before)) * before;
    const V shift = Shift(r);
    EXPECT_NEAR(static_cast<double>(shift.x), static_cast<double>(expected.x), 1e-9) << i;
    EXPECT_NEAR(static_cast<double>(shift.y), static_cast<double>(expected.y), 1e-9) << i;
    EXPECT_NEAR(static_cast<double>(shift.z), static_cast<double>(expected.z), 1e-9) << i;
    EXPECT_NEAR(static_cast<double>(Norm(shift)), 2.6, 1e-9) << i;
    EXPECT_EQ(after_.GetPosition(r).GetT(), before_.GetPosition(r).GetT()) << i;
  }
}

TEST_F(atxCorrection, GLONASSUsesTheR01Offset) {
  for (long i = 0; i < 4; ++i) {
    const long r = i * 4 + 1;
    ASSERT_EQ(after_.GetSat(r), 101);
    // R01 has up 2.300 m and x -0.545 m; G01 of the same record 1.111 m.
    EXPECT_NEAR(static_cast<double>(NadirShift(r)), 2.3, 1e-6) << i;
    const long double across = std::sqrt(Dot(Shift(r), Shift(r)) - NadirShift(r) * NadirShift(r));
    EXPECT_LE(static_cast<double>(across), 0.545 + 1e-9) << i;
    EXPECT_EQ(after_.GetPosition(r).GetT(), before_.GetPosition(r).GetT()) << i;
  }
}

TEST_F(atxCorrection, NadirComponentEqualsTheUpOffsetForEveryRecord) {
  for (long r = 0; r < after_.GetNSat(); ++r) {
    const short n = after_.GetSat(r);
    if (n >= 200) continue;
    const neu d = OffsetOf(atx_, n, after_.GetMJD(r / 4));
    EXPECT_NEAR(static_cast<double>(NadirShift(r)), static_cast<double>(d.GetU()), 1e-6)
        << "record " << r;
    // The shift never exceeds the offset's length.
    EXPECT_LE(static_cast<double>(Norm(Shift(r))),
              std::sqrt(static_cast<double>(d.GetN() * d.GetN() + d.GetE() * d.GetE() +
                                            d.GetU() * d.GetU())) + 1e-9);
  }
}

TEST_F(atxCorrection, ValidityPeriodChangesTheOffsetBetweenEpochs) {
  // G01: BLOCK IIA (up 2.201 m, x 0.279 m) up to 00:30 inclusive, then
  // BLOCK IIR-M (up 0.950 m only).
  for (long i = 0; i < 3; ++i) EXPECT_NEAR(static_cast<double>(NadirShift(i * 4 + 2)), 2.201, 1e-6);
  EXPECT_NEAR(static_cast<double>(Norm(Shift(3 * 4 + 2))), 0.95, 1e-9);
  EXPECT_NEAR(static_cast<double>(NadirShift(3 * 4 + 2)), 0.95, 1e-9);
}

TEST(atxCorrectionSystems, EachSystemMovesToItsLowestNumberedFrequency) {
  using atxtest::Record;
  // z-only offsets: the nadir shift is the whole move.  A record lists its
  // blocks in any order; J07's record has no QZSS block at all.
  auto up = [](const char* mm) { return "      0.00      0.00   " + std::string(mm); };
  const std::string text =
      atxtest::Header() +
      Record("GALILEO-2           E11", {{"E05", up("5000.00")}, {"E01", up("1100.00")}}) +
      Record("BEIDOU-2M           C11", {{"C07", up("3000.00")}, {"C02", up("1200.00")}}) +
      Record("BEIDOU-3M           C20", {{"C01", up("1300.00")}, {"C02", up("3000.00")}}) +
      Record("QZSS-2I             J03", {{"G01", up("3000.00")}, {"J01", up("1400.00")}}) +
      Record("QZSS                J07", {{"G01", up("3000.00")}}) +
      Record("SBAS                S20", {{"S01", up("1500.00")}}) +
      Record("IRNSS-1I            I05", {{"I09", up("3000.00")}, {"I05", up("1600.00")}});
  antex atx;
  atxtest::Load(atx, orbtest::WriteTempFile(text, ".atx"));
  const sp3test::File f = OrbitFile({"E11", "C11", "C20", "J03", "J07", "S20", "I05"});
  GNSSpEph before, after;
  LoadSp3(before, f);
  LoadSp3(after, f);
  const orbtest::RunResult run =
      orbtest::RunCaptured([&] { ApplyAntennaOffset(after, atx, false); });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, WarningFrame("SATELLITE J07: NO ANTENNA IN ANTEX FILE AT 4 OF 4 EPOCHS - "
                                  "CENTRE OF MASS POSITIONS KEPT THERE!"));
  ApplyAntennaOffset(after, atx, false);

  const struct {
    short sat;
    double up;
  } cases[] = {{211, 1.1}, {311, 1.2}, {320, 1.3}, {503, 1.4},
               {507, 0.0}, {420, 1.5}, {605, 1.6}};
  for (long r = 0; r < after.GetNSat(); ++r) {
    const auto& c = cases[r % 7];
    ASSERT_EQ(after.GetSat(r), c.sat);
    const V p0 = Of(before.GetPosition(r));
    const V shift = Of(after.GetPosition(r)) - p0;
    EXPECT_NEAR(static_cast<double>(Norm(shift)), c.up, 1e-9) << c.sat;
    EXPECT_NEAR(static_cast<double>(Dot(shift, Unit(-1.0L * p0))), c.up, 1e-9) << c.sat;
  }
}

TEST(atxCorrectionSystems, PairOffsetsAreTheirIonosphereFreeCombination) {
  using atxtest::Record;
  auto up = [](const char* mm) { return "      0.00      0.00   " + std::string(mm); };
  // Made-up carriers 2 and 1: the combination is (4 a - b) / 3.
  const OffsetPairs pairs = {{'E', {"E01", "E05", 2, 1}}, {'C', {"C02", "C06", 2, 1}}};
  const std::string text =
      atxtest::Header() +
      Record("GALILEO-2           E11", {{"E05", up("2000.00")}, {"E01", up("1100.00")}}) +
      Record("BEIDOU-3M           C20", {{"C01", up("9000.00")}, {"C02", up("1300.00")},
                                         {"C06", up("1000.00")}}) +
      Record("BEIDOU-2M           C11", {{"C02", up("1200.00")}}) +  // no C06: no offset
      Record("BLOCK IIR-M         G05", {{"G01", up("1500.00")}});   // no pair: G01
  antex atx;
  atxtest::Load(atx, orbtest::WriteTempFile(text, ".atx"));
  const sp3test::File f = OrbitFile({"E11", "C20", "C11", "G05"});
  GNSSpEph before, after;
  LoadSp3(before, f);
  LoadSp3(after, f);
  // C11 is named among those without an offset (and warned about).
  EXPECT_EQ(ApplyAntennaOffset(after, atx, false, pairs), std::vector<short>{311});
  const double ups[] = {0.8, 1.4, 0.0, 1.5};
  for (long r = 0; r < after.GetNSat(); ++r) {
    const V p0 = Of(before.GetPosition(r));
    const V shift = Of(after.GetPosition(r)) - p0;
    EXPECT_NEAR(static_cast<double>(Dot(shift, Unit(-1.0L * p0))), ups[r % 4], 1e-9)
        << after.GetSat(r);
  }
}

TEST(atxCorrectionStreams, MissingAntennaWarnsTwiceAndProgressLinesAreNumbered) {
  antex atx;
  atxtest::Load(atx, atxtest::MixedFixture());
  sp3test::File f = OrbitFile({"G05", "G07", "E11"});
  f.epochs.resize(3);
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GNSSpEph eph;
    eph.SetFile(path.c_str());
    eph.ReadFile();
    ApplyAntennaOffset(eph, atx, true);
    // G07 stays at the centre of mass.
    for (long rec = 1; rec < eph.GetNSat(); rec += 3)
      std::printf("%.6Lf\n", eph.GetPosition(rec).GetX() / 1000.0L);
  });
  EXPECT_EQ(r.status, 0);
  const std::string lookup =
      WarningFrame("SATELLITE: 7 NOT FOUND IN ANTEX FILE - SETING ALL CALIBRATION PARAMETERS TO ZERO!");
  const std::string correction =
      WarningFrame("SATELLITE PHASE CENTER OFFSET NOT FOUND IN ANTEX FILE: PRN:   7");
  std::string out = "   1.  54922     0.0\n" + lookup + "   2.  54922   900.0\n" + lookup +
                    "   3.  54922  1800.0\n" + lookup;
  for (long i = 0; i < 3; ++i) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6Lf\n", OrbitKm(1.3 + 0.03 * static_cast<double>(i)).x);
    out += buf;
  }
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, correction + correction + correction);
}

TEST(atxCorrectionStreams, WithoutPrintNothingIsWrittenForKnownSatellites) {
  antex atx;
  atxtest::Load(atx, atxtest::MixedFixture());
  const std::string path =
      orbtest::WriteTempFile(sp3test::Build(OrbitFile({"G05", "R01", "E11"})), ".sp3");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GNSSpEph eph;
    eph.SetFile(path.c_str());
    eph.ReadFile();
    ApplyAntennaOffset(eph, atx, false);
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

TEST(atxCorrectionMissing, RecordWithoutPositionStaysMissing) {
  antex atx;
  atxtest::Load(atx, atxtest::MixedFixture());
  sp3test::File f = OrbitFile({"G05", "R01"});
  f.epochs[1][0] = Pos("G05", {0.0, 0.0, 0.0}, 100.0);
  f.epochs[2][1] = Pos("R01", {0.0, 0.0, 0.0}, 101.0);
  GNSSpEph eph;
  LoadSp3(eph, f);
  ApplyAntennaOffset(eph, atx, false);
  for (long r : {2L, 5L}) {
    const xyzt p = eph.GetPosition(r);
    EXPECT_EQ(p.GetX(), 0.0L) << r;
    EXPECT_EQ(p.GetY(), 0.0L) << r;
    EXPECT_EQ(p.GetZ(), 0.0L) << r;
  }
  // The interpolation still sees the gap.
  mjd t = Epoch(kDay, 900.0L);
  xyzt ps, vs;
  eph.CalcPosition(5, t, ps, vs);
  EXPECT_FALSE(eph.PSisOK);
  // The neighbouring records were corrected.
  GNSSpEph raw;
  LoadSp3(raw, f);
  EXPECT_NEAR(static_cast<double>(Norm(Of(eph.GetPosition(0)) - Of(raw.GetPosition(0)))), 2.6,
              1e-9);
}

// ---------------------------------------------------------------- body frame

// A satellite G09 with offset x 0.3 m, up 1.0 m; at epoch 0 the Sun is
// perpendicular to its nadir, at epoch 1 it is behind the satellite.
class atxBodyFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string text =
        atxtest::Header() + atxtest::Record("BLOCK IIR-B         G09                 G056",
                                            "    300.00      0.00   1000.00");
    atxtest::Load(atx_, orbtest::WriteTempFile(text, ".atx"));
    const LuniSolarPosition astro;
    long double mag;
    astro.SunPosition(Epoch(kDay, 0.0L), sun0_, mag);
    astro.SunPosition(Epoch(kDay, 900.0L), sun1_, mag);
    const V s0 = Of(sun0_), s1 = Of(sun1_);
    const V perpendicular = 26560.0L * Unit(Cross(s0, {0.0L, 0.0L, 1.0L}));
    const V aligned = 26560.0L * s1;
    sp3test::File f;
    f.mjday = kDay;
    f.sats = {"G09"};
    f.epochs = {{Pos("G09", perpendicular, 5.0)}, {Pos("G09", aligned, 5.0)}};
    const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
    for (GNSSpEph* e : {&before_, &after_}) {
      e->SetFile(path.c_str());
      e->ReadFile();
    }
    ApplyAntennaOffset(after_, atx_, false);
  }
  V Shift(long r) const { return Of(after_.GetPosition(r)) - Of(before_.GetPosition(r)); }
  antex atx_;
  GNSSpEph before_, after_;
  xyz sun0_, sun1_;
};

TEST_F(atxBodyFrame, SunPerpendicularToNadirGivesTheFullXOffsetTowardsTheSun) {
  const V shift = Shift(0);
  const V nadir = Unit(-1.0L * Of(before_.GetPosition(0)));
  EXPECT_NEAR(static_cast<double>(Dot(shift, Of(sun0_))), 0.3, 1e-6);
  EXPECT_NEAR(static_cast<double>(Dot(shift, nadir)), 1.0, 1e-6);
  EXPECT_NEAR(static_cast<double>(Norm(shift)), std::sqrt(0.09 + 1.0), 1e-6);
}

TEST_F(atxBodyFrame, SunBehindTheSatelliteLeavesOnlyTheZOffset) {
  const V shift = Shift(1);
  const V nadir = Unit(-1.0L * Of(before_.GetPosition(1)));
  EXPECT_NEAR(static_cast<double>(Dot(shift, nadir)), 1.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(Norm(shift)), 1.0, 1e-9);
}

// ---------------------------------------------------------------- real data

TEST(atxRealData, Esa15253MovesEveryRecordBetweenUpAndTheFullOffset) {
  ORBIKA_REQUIRE_DATA();
  antex atx;
  atxtest::Load(atx, orbtest::DataFile("igs05.atx"));
  GNSSpEph before, after;
  for (GNSSpEph* e : {&before, &after}) {
    e->SetFile(orbtest::DataFile("esa15253.sp3").c_str());
    e->ReadFile();
  }
  const orbtest::RunResult r =
      orbtest::RunCaptured([&] { ApplyAntennaOffset(after, atx, false); });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "") << "every satellite of the file has a calibration";
  EXPECT_EQ(r.err, "");
  ApplyAntennaOffset(after, atx, false);

  const long nsat = after.GetNSatList();
  long checked = 0;
  for (long rec = 0; rec < after.GetNSat(); ++rec) {
    const short n = after.GetSat(rec);
    ASSERT_LT(n, 200);
    const xyzt p0 = before.GetPosition(rec);
    if (std::fabs(p0.GetX()) + std::fabs(p0.GetY()) + std::fabs(p0.GetZ()) < 1.0L) continue;
    const neu d = OffsetOf(atx, n, after.GetMJD(rec / nsat));
    const double up = std::fabs(static_cast<double>(d.GetU()));
    const double full = std::sqrt(static_cast<double>(d.GetN() * d.GetN() + d.GetE() * d.GetE() +
                                                      d.GetU() * d.GetU()));
    const double moved = static_cast<double>(Norm(Of(after.GetPosition(rec)) - Of(p0)));
    EXPECT_GE(moved, up - 1e-9) << "record " << rec;
    EXPECT_LE(moved, full + 1e-9) << "record " << rec;
    EXPECT_GT(up, 0.5) << "record " << rec;
    EXPECT_EQ(after.GetPosition(rec).GetT(), p0.GetT());
    ++checked;
  }
  EXPECT_GT(checked, 40 * 96);
}

}  // namespace
