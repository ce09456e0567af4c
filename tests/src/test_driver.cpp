// End-to-end tests of the whole pipeline on small files written by the tests:
// the settings head, the column headers by the stores in use, the processing
// window, the satellite list and the records of the position loop.
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestUtil.h"
#include "tests/GNSS/broadcast/test_gpsnav_util.h"
#include "tests/GNSS/precise/test_sp3_util.h"

namespace {

using orbtest::RunOrbika;
using orbtest::SplitLines;

const std::string kHeadColumns =
    "#     DATUM     CLOCK     MDAY    MSEC     PRN          X[m]            Y[m]            Z[m]"
    "        DT[msec]";
const std::string kVelColumns = "      VX[m/s]     VY[m/s]     VZ[m/s]";
const std::string kDiffColumns =
    "           DX[m]           Dy[m]           DZ[m]     DDT[msec]";

// A GPS satellite on a circle of GPS radius in the equatorial plane, seen
// from the Earth-fixed frame; good enough for the interpolation.
void CircularKm(double t, int k, double& x, double& y, double& z) {
  const double r = 26560.0, w = 1.458e-4 - 7.292115e-5;
  const double a = w * t + 0.7 * k;
  x = r * std::cos(a);
  y = r * std::sin(a);
  z = 1000.0 * k;
}

// An SP3 file starting at the given MJD with 96 epochs of 900 s.
std::string Sp3Text(long mjday, const std::vector<std::string>& sats) {
  sp3test::File f;
  f.mjday = mjday;
  f.sats = sats;
  sp3test::Fill(f, 96, [&](long i, size_t k) {
    double x, y, z;
    CircularKm(900.0 * i, static_cast<int>(k), x, y, z);
    return sp3test::PosLine(sats[k], x, y, z, 10.0 + k);
  });
  return sp3test::Build(f);
}

// A GPS navigation file with one record per PRN at 00:00 of the given date.
std::string NavText(const std::vector<int>& prns, int yy, int mo, int dd) {
  std::string text = gpsnavtest::Header();
  for (int prn : prns) text += gpsnavtest::Record(prn, yy, mo, dd, 0, 0, 0.0, gpsnavtest::RealisticOrbit());
  return text;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Lines of the run's standard output that are records (not head, not empty).
std::vector<std::string> Records(const std::string& out) {
  std::vector<std::string> r;
  for (const auto& l : SplitLines(out))
    if (!l.empty() && l[0] != '#') r.push_back(l);
  return r;
}

class Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = orbtest::MakeTempDir();
    WriteFile(dir_ + "/sp3.sp3", Sp3Text(56297, {"G01", "G05"}));
    WriteFile(dir_ + "/brdc.13n", NavText({1, 5}, 13, 1, 5));
  }
  orbtest::RunResult Run(const std::vector<std::string>& args) { return RunOrbika(args, 60, dir_); }
  std::string dir_;
};

TEST_F(Driver, SettingsHeadOfATypicalRun) {
  const auto r = Run({"-epsp3.sp3", "-enbrdc.13n", "-prG01G05"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  const std::vector<std::string> expected = {
      "#PROGRAM: Orbika",
      "#         Calculation and comparison of GNSS satellites positions in IGS/ITRF/WGS84/PZ90 system",
      "#",
      "#DATA:",
      "#Ephemeris files:",
      "# GNSS precise ephemeris     : sp3.sp3",
      "# GPS broadcast ephemeris    : brdc.13n",
      "# GLONASS broadcast ephemeris:  ---",
      "#ANTEX file                  :  ---",
      "#Satellites                  :  G01 G05",
      "#Start epoch                 :  2013-01-05 00:00:00.000 [ 56297     0.000]  (from ephemeris file)",
      "#End epoch                   :  2013-01-05 23:45:00.000 [ 56297 85500.000]  (from ephemeris file)",
      "#Time interval               :  900.000",
      "#Integration step            :   30.000 (default:  30.0)",
      "#Verbose mode                : NO",
      "#",
      kHeadColumns + kVelColumns + kDiffColumns,
  };
  const auto lines = SplitLines(r.out);
  ASSERT_GE(lines.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
  // 96 records per satellite, each block closed by an empty line.
  EXPECT_EQ(Records(r.out).size(), 2u * 96u);
  EXPECT_EQ(lines.size(), expected.size() + 2 * 97);
  EXPECT_EQ(lines[expected.size() + 96], "");
  const std::string first = lines[expected.size()];
  EXPECT_EQ(first.substr(0, 46), " 2013-01-05 00:00:00.0   56297     0.0     G01");
  EXPECT_EQ(first.size(), 46u + 62 + 37 + 62);
}

// -cp and -pi change no column of the table: their lines join the head
// only when given (-pi with an ANTEX file), and the records stay as they are.
TEST_F(Driver, PairOptionsAddTheirHeadLinesOnly) {
  const std::vector<std::string> files = {"-epsp3.sp3", "-enbrdc.13n", "-prG01G05"};
  const auto plain = Run(files);
  std::vector<std::string> args = files;
  args.push_back("-cpC:B1I/B2I");
  args.push_back("-pi");
  const auto pairs = Run(args);
  ASSERT_EQ(pairs.status, 0) << pairs.err;
  EXPECT_EQ(Records(pairs.out), Records(plain.out));
  const auto lines = SplitLines(pairs.out), before = SplitLines(plain.out);
  ASSERT_EQ(lines.size(), before.size() + 1);
  EXPECT_EQ(lines[9], "#Clock signal pairs          : G:L1/L2 J:L1/L2 E:E1/E5a C:B1I/B2I R:L1/L2");
  EXPECT_EQ(lines[10], before[9]);
}

TEST_F(Driver, ColumnHeaderFollowsTheStoresInUse) {
  WriteFile(dir_ + "/glo.12g", orbtest::ReadFileText(orbtest::FixtureDir() + "/glo_leap2012.g"));
  struct Case {
    std::vector<std::string> args;
    std::string header;
  } cases[] = {
      {{"-enbrdc.13n", "-prG01"}, kHeadColumns},
      {{"-epsp3.sp3"}, kHeadColumns + kVelColumns},
      {{"-epsp3.sp3", "-enbrdc.13n"}, kHeadColumns + kVelColumns + kDiffColumns},
      {{"-egglo.12g"}, kHeadColumns + kVelColumns},
      {{"-epsp3.sp3", "-egglo.12g"}, kHeadColumns + kVelColumns + kDiffColumns},
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_GE(lines.size(), 17u);
    EXPECT_EQ(lines[16], c.header) << c.args[0];
  }
}

TEST_F(Driver, BroadcastOnlyRunCoversTheDayOfTheFirstRecord) {
  const auto r = Run({"-enbrdc.13n", "-v"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto recs = Records(r.out);
  ASSERT_EQ(recs.size(), 2u * 96u);
  EXPECT_EQ(recs[0].substr(0, 46), " 2013-01-05 00:00:00.0   56297     0.0     G01");
  EXPECT_EQ(recs[95].substr(0, 46), " 2013-01-05 23:45:00.0   56297 85500.0     G01");
  EXPECT_EQ(recs[96].substr(0, 46), " 2013-01-05 00:00:00.0   56297     0.0     G05");
  // Broadcast position only: 46 + 62 characters.
  EXPECT_EQ(recs[0].size(), 108u);
  const auto lines = SplitLines(r.out);
  EXPECT_EQ(lines[9], "#Satellites                  :  G01 G05");
  EXPECT_EQ(lines[11].substr(0, 74),
            "#End epoch                   :  2013-01-05 23:59:59.000 [ 56297 86399.000]");
  // The verbose lines of a whole run, in order (broadcast warnings aside).
  const std::vector<std::string> verbose = {
      "",
      "Orbika: ***** GNSS SATELLITE POSITIONING - STARTING APPLICATION *****",
      "Orbika::GetFiles(): PARSING INPUT PARAMETERS!",
      "Orbika::GetFiles():         GPS navigation file: brdc.13n!",
      "Orbika::SetFiles(): CHECKING INPUT ARGUMENTS!",
      "Orbika::SetFiles():         Ephemeris files!",
      "Orbika::SetFiles():         ANTEX - antenna phase variation file!",
      "Orbika::SetFiles(): SETTING INPUT FILE NAMES!",
      "Orbika::SetFiles():         setting GPS NAVIGATION file!",
      "Orbika::ReadFiles(): READING INPUT DATA FILES!",
      "Orbika::ReadFiles():        reading GPS NAVIGATION file - 2 records",
      "Orbika::SetProcParameters(): SETTING PROCESSING PARAMETERS!",
      "Orbika::SetProcParameters(): setting START epoch 2013-01-05 00:00:00.0 [GPS BROADCAST]!",
      "Orbika::SetProcParameters(): setting END epoch 2013-01-05 23:59:59.0 [GPS BROADCAST]!",
      "Orbika::SetProcParameters(): Setting satellite list from ephemeris files!",
      "Orbika::PrintSet(): WRITTING PROCESSING SETTINGS!",
      "Orbika::CalcPos(): CALCULATING SATELLITE POSITIONS!",
      "     G01      96  positions",
      "     G05      96  positions",
      "Orbika: ***** SUCCESFULLY ENDING PROGRAM *****!",
      "",
  };
  std::vector<std::string> got;
  for (const auto& l : SplitLines(r.err))
    if (l.rfind("Orbika", 0) == 0 || l.rfind("     G0", 0) == 0 || l.empty()) got.push_back(l);
  // Warnings bring empty lines of their own; keep the banner's.
  std::vector<std::string> filtered;
  for (size_t i = 0; i < got.size(); ++i)
    if (!got[i].empty() || i == 0 || (i + 1 == got.size())) filtered.push_back(got[i]);
  EXPECT_EQ(filtered, verbose) << r.err;
}

TEST_F(Driver, HalfSecondIntervalAndManualStart) {
  const auto r = Run({"-epsp3.sp3", "-dt0.5", "-ts2013-01-05,23:44:59", "-prG05"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = SplitLines(r.out);
  EXPECT_EQ(lines[10],
            "#Start epoch                 :  2013-01-05 23:44:59.000 [ 56297 85499.000]  (manually set)");
  EXPECT_EQ(lines[11],
            "#End epoch                   :  2013-01-05 23:45:00.000 [ 56297 85500.000]  (from ephemeris file)");
  EXPECT_EQ(lines[12], "#Time interval               :    0.500");
  const auto recs = Records(r.out);
  ASSERT_EQ(recs.size(), 3u);
  EXPECT_EQ(recs[1].substr(0, 46), " 2013-01-05 23:44:59.5   56297 85499.5     G05");
}

TEST_F(Driver, StartAfterEndEndsTheRunBeforeTheTable) {
  const auto r = Run({"-epsp3.sp3", "-ts2013-01-05,12:00:00", "-te2013-01-05,11:00:00"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "\n**** Orbika: Error -> START EPOCH LATER THAN END EPOCH [-ts, -te]: "
            "2013-01-05T12:00:00.000 TO 2013-01-05T11:00:00.000 HOLDS NO EPOCH! ****\n"
            "     Exiting Orbika ... \n\n");
}

TEST_F(Driver, GalileoAndQzssOfAPreciseFileGetTheirNumbersAsGps) {
  WriteFile(dir_ + "/mixed.sp3", Sp3Text(56297, {"G01", "E11", "J07"}));
  const auto r = Run({"-epmixed.sp3", "-te2013-01-05,00:15:00"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(SplitLines(r.out)[9], "#Satellites                  :  G01 E11 J07");
  // Two records each, with the position, clock and velocity fields of G01.
  const auto recs = Records(r.out);
  ASSERT_EQ(recs.size(), 6u);
  for (std::size_t k = 2; k < recs.size(); ++k) {
    EXPECT_EQ(recs[k].size(), recs[k % 2].size()) << recs[k];
    EXPECT_EQ(recs[k].find("nan"), std::string::npos) << recs[k];
  }
  EXPECT_EQ(recs[3].substr(0, 46), " 2013-01-05 00:15:00.0   56297   900.0     E11");
  EXPECT_EQ(recs[5].substr(0, 46), " 2013-01-05 00:15:00.0   56297   900.0     J07");
}

TEST_F(Driver, SatelliteMissingFromThePreciseFileIsWrittenAsNan) {
  WriteFile(dir_ + "/brdc3.13n", NavText({1, 3}, 13, 1, 5));
  const auto r = Run({"-epsp3.sp3", "-enbrdc3.13n", "-prG03", "-te2013-01-05,00:00:00"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto recs = Records(r.out);
  ASSERT_EQ(recs.size(), 1u);
  const std::string nan16 = "             nan", nan14 = "           nan", nan12 = "         nan";
  EXPECT_EQ(recs[0], " 2013-01-05 00:00:00.0   56297     0.0     G03" + nan16 + nan16 + nan16 + nan14 +
                         " " + nan12 + nan12 + nan12 + nan16 + nan16 + nan16 + nan14);
}

TEST_F(Driver, ReferenceEpochSelectsOneRecordForAllEpochs) {
  // Two records of G01, at 00:00 and 12:00: -ti at 00:00 keeps the first for
  // the whole day, so the positions agree with a run on the first record only.
  std::string two = gpsnavtest::Header() +
                    gpsnavtest::Record(1, 13, 1, 5, 0, 0, 0.0, gpsnavtest::RealisticOrbit());
  gpsnavtest::Params later = gpsnavtest::RealisticOrbit();
  later[6] += 0.5;  // another mean anomaly: another orbit
  two += gpsnavtest::Record(1, 13, 1, 5, 12, 0, 0.0, later);
  WriteFile(dir_ + "/two.13n", two);
  WriteFile(dir_ + "/one.13n", NavText({1}, 13, 1, 5));
  const auto forced = Run({"-entwo.13n", "-ti2013-01-05,00:00:00", "-dt3600"});
  const auto single = Run({"-enone.13n", "-dt3600"});
  const auto nearest = Run({"-entwo.13n", "-dt3600"});
  ASSERT_EQ(forced.status, 0);
  ASSERT_EQ(single.status, 0);
  EXPECT_EQ(Records(forced.out), Records(single.out));
  EXPECT_NE(Records(nearest.out), Records(single.out));
}

TEST_F(Driver, NoUsableEphemerisFileIsAClearError) {
  const auto r = Run({"-epabsent.sp3"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("#### Orbika: Warning -> GNSS PRECISE EPHEMERIS FILE CAN NOT BE OPENED: "
                       "absent.sp3! ####"),
            std::string::npos);
  EXPECT_NE(r.err.find("**** Orbika: Error -> NO EPHEMERIS FILE CAN BE OPENED: absent.sp3! ****"),
            std::string::npos);
  EXPECT_EQ(r.out.find("MATRIX"), std::string::npos);
}

}  // namespace
