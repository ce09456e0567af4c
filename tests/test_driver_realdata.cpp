// The whole program on a day of real IGS data (skipped when absent): every
// file kind together, the differences against separate broadcast-only runs,
// and the size of the broadcast errors.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestUtil.h"
#include "tests/test_cli_text.h"

namespace {

using orbtest::DataFile;
using orbtest::RunOrbika;
using orbtest::SplitLines;
using clitest::ErrorText;
using clitest::WarningText;

// One record cut at its fixed columns.
struct Record {
  std::string epoch;  // date and MJD, 38 characters
  std::string sat;    // e.g. "G05"
  std::vector<double> f;  // every number after the satellite
};

std::vector<Record> ParseRecords(const std::string& out) {
  std::vector<Record> recs;
  for (const auto& l : SplitLines(out)) {
    if (l.empty() || l[0] == '#') continue;
    Record r;
    r.epoch = l.substr(0, 38);
    r.sat = l.substr(43, 3);
    // Positions take 62 characters (16, 16, 16, 14), velocities 37 (1 + 12 x 3).
    size_t pos = 46;
    while (pos < l.size()) {
      const bool velocity = l[pos] == ' ' && (l.size() - pos) % 62 != 0 &&
                            (r.f.size() % 7 == 4);
      const std::vector<size_t> widths =
          velocity ? std::vector<size_t>{13, 12, 12} : std::vector<size_t>{16, 16, 16, 14};
      for (size_t w : widths) {
        r.f.push_back(std::strtod(l.substr(pos, w).c_str(), nullptr));
        pos += w;
      }
    }
    recs.push_back(r);
  }
  return recs;
}

// Lines of the run's standard output that are records (not head, not empty).
std::vector<std::string> RecordLines(const std::string& out) {
  std::vector<std::string> r;
  for (const auto& l : SplitLines(out))
    if (!l.empty() && l[0] != '#') r.push_back(l);
  return r;
}

// A RINEX 2 navigation text with each record of one satellite (n lines, the
// satellite number in the first two columns) dropped, or else dated days
// later (the day of the month, columns 9-11, stays within the month).
std::string EditSatellite(const std::string& text, int sat, int n, bool drop, int days = 0) {
  const auto lines = SplitLines(text);
  std::string kept;
  bool body = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line = lines[i];
    if (body && std::atoi(line.substr(0, 2).c_str()) == sat) {
      if (drop) {
        i += static_cast<std::size_t>(n - 1);
        continue;
      }
      char day[4];
      std::snprintf(day, sizeof day, "%3d", std::atoi(line.substr(8, 3).c_str()) + days);
      line.replace(8, 3, day);
    }
    kept += line + "\n";
    if (line.find("END OF HEADER") != std::string::npos) body = true;
  }
  return kept;
}

class RealData : public ::testing::Test {
 protected:
  void SetUp() override { ORBIKA_REQUIRE_DATA(); }
};

TEST_F(RealData, SetAFullRunMatchesBroadcastOnlyRuns) {
  const std::string sp3 = DataFile("esa15253.sp3"), gps = DataFile("brdc0910.09n"),
                    glo = DataFile("brdc0910.09g"), atx = DataFile("igs05.atx");
  const auto full = RunOrbika({"-ep" + sp3, "-en" + gps, "-eg" + glo, "-pv" + atx}, 120);
  ASSERT_EQ(full.status, 0) << full.err.substr(0, 2000);
  EXPECT_EQ(full.err, "");
  const auto recs = ParseRecords(full.out);

  // The window of the SP3 file for each satellite of its list.
  std::map<std::string, int> count;
  for (const auto& r : recs) ++count[r.sat];
  EXPECT_EQ(count.size(), 48u);
  for (const auto& [sat, n] : count) EXPECT_EQ(n, 96) << sat;

  // Broadcast-only runs over the same window give B; the full run prints P
  // and P - B.  The difference must agree to the last printed digit.
  const std::string window[] = {"-ts2009-04-01,00:00:00", "-te2009-04-01,23:45:00"};
  const auto bgps = RunOrbika({"-en" + gps, window[0], window[1]}, 120);
  const auto bglo = RunOrbika({"-eg" + glo, window[0], window[1]}, 120);
  ASSERT_EQ(bgps.status, 0);
  ASSERT_EQ(bglo.status, 0);
  std::map<std::string, Record> broadcast;
  for (const auto* run : {&bgps, &bglo})
    for (const auto& r : ParseRecords(run->out)) broadcast[r.epoch + r.sat] = r;

  double sum2[2] = {0, 0};
  long n[2] = {0, 0};
  for (const auto& r : recs) {
    const auto it = broadcast.find(r.epoch + r.sat);
    ASSERT_NE(it, broadcast.end()) << r.sat << r.epoch;
    const auto& b = it->second.f;
    // P position (0-3), P velocity (4-6), P - B position (7-10).
    ASSERT_GE(r.f.size(), 11u);
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(r.f[k] - b[k], r.f[7 + k], 0.0015) << r.sat << r.epoch << " axis " << k;
    EXPECT_NEAR(r.f[3] - b[3], r.f[10], 1.5e-6) << r.sat << r.epoch << " clock";
    const int sys = r.sat[0] == 'G' ? 0 : 1;
    sum2[sys] += r.f[7] * r.f[7] + r.f[8] * r.f[8] + r.f[9] * r.f[9];
    ++n[sys];
    if (sys == 1) {
      // The GLONASS velocity difference closes the record.
      ASSERT_EQ(r.f.size(), 14u);
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(r.f[4 + k] - b[4 + k], r.f[11 + k], 0.0015);
    }
  }
  const double rmsGps = std::sqrt(sum2[0] / n[0]), rmsGlo = std::sqrt(sum2[1] / n[1]);
  EXPECT_GT(rmsGps, 0.5);
  EXPECT_LT(rmsGps, 3.0);
  EXPECT_GT(rmsGlo, 2.0);
  EXPECT_LT(rmsGlo, 15.0);
  RecordProperty("gps_rms_m", std::to_string(rmsGps));
  RecordProperty("glonass_rms_m", std::to_string(rmsGlo));
}

TEST_F(RealData, SetBRunsWithWarningsFarFromRecords) {
  const std::string sp3 = DataFile("grg21553.sp3"), gps = DataFile("brdc1180.21n");
  const auto withSp3 = RunOrbika({"-ep" + sp3, "-en" + gps}, 120);
  ASSERT_EQ(withSp3.status, 0) << withSp3.err.substr(0, 2000);
  EXPECT_FALSE(ParseRecords(withSp3.out).empty());

  // Broadcast only: the whole day of the first record, 17:59:44, most of it
  // far from any record.
  const auto alone = RunOrbika({"-en" + gps}, 120);
  ASSERT_EQ(alone.status, 0);
  EXPECT_NE(alone.err.find("#### Orbika: Warning -> "), std::string::npos);
  const auto recs = ParseRecords(alone.out);
  ASSERT_FALSE(recs.empty());
  EXPECT_EQ(recs.front().epoch, " 2021-04-28 00:00:00.0   59332     0.0");
  for (const auto& r : recs) {
    ASSERT_EQ(r.f.size(), 4u);
    for (double v : r.f) EXPECT_TRUE(std::isfinite(v)) << r.sat << r.epoch;
  }
}

// An interval that cannot move the epoch, or that wraps the day count back to
// it, is refused before anything is written; a huge one that does not wrap
// leaves one epoch per satellite.
TEST_F(RealData, IntervalThatCannotEndTheLoopIsRefused) {
  const std::string gps = DataFile("brdc0910.09n");
  const struct {
    const char* dt;
    const char* error;  // nullptr: the run succeeds
  } cases[] = {
      {"-dt1e-15", "TIME INTERVAL [-dt] TOO SHORT TO MOVE THE EPOCH!"},
      {"-dt1e-30", "TIME INTERVAL [-dt] TOO SHORT TO MOVE THE EPOCH!"},
      {"-dt371085174374400", "TIME INTERVAL [-dt] TOO LONG FOR THE DAY COUNT!"},  // 2^32 days
      {"-dt1e12", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dt);
    const auto r = RunOrbika({"-en" + gps, "-prG05", c.dt}, 20);
    if (c.error) {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, ErrorText(c.error));
    } else {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(ParseRecords(r.out).size(), 1u);
    }
  }
}

// A satellite that the navigation file lacks: beside a precise file its
// record keeps the precise values, the broadcast-dependent fields read nan
// and one warning names it; alone the store's error ends the run before the
// table.  Every other record reads as from the whole file.
TEST_F(RealData, SatelliteMissingFromTheNavigationFile) {
  const std::string sp3 = DataFile("esa15253.sp3");
  const struct {
    const char* option;
    const char* file;
    int lines;  // per record
    int number;
    std::string sat, warning, error;
  } cases[] = {
      {"-en", "brdc0910.09n", 8, 31, "G31",
       "SAT: G31 IS NOT LISTED IN GPS NAVIGATION FILE - BROADCAST COLUMNS WRITTEN AS nan!",
       "\n**** GPSbEph: Error -> SAT: G31 IS NOT LISTED IN GPS NAVIGATION FILE!!! ****\n"
       "     Exiting GPSbEph ... \n"},
      {"-eg", "brdc0910.09g", 4, 7, "R07",
       "SAT: R07 IS NOT LISTED IN GLONASS NAVIGATION FILE - BROADCAST COLUMNS WRITTEN AS nan!",
       "\n**** GLNbEph: Error -> SAT: R07 IS NOT LISTED IN GLONASS NAVIGATION FILE!!! ****\n"
       "     Exiting GLNbEph ... \n"},
  };
  const std::string nan16 = "             nan", nan14 = "           nan", nan12 = "         nan";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sat);
    const std::string cut = orbtest::WriteTempFile(
        EditSatellite(orbtest::ReadFileText(DataFile(c.file)), c.number, c.lines, true));
    const std::vector<std::string> common = {"-ep" + sp3, "-prG12" + c.sat + "R08", "-dt3600"};
    auto args = common;
    args.push_back(c.option + DataFile(c.file));
    const auto clean = RunOrbika(args, 60);
    args.back() = c.option + cut;
    const auto run = RunOrbika(args, 60);
    ASSERT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, WarningText(c.warning));
    const auto want = RecordLines(clean.out), got = RecordLines(run.out);
    ASSERT_EQ(got.size(), want.size());
    std::string fields = nan16 + nan16 + nan16 + nan14;  // P - B position
    if (c.sat[0] == 'R') fields += " " + nan12 + nan12 + nan12;  // P - B velocity
    for (std::size_t i = 0; i < got.size(); ++i) {
      if (got[i].substr(43, 3) != c.sat) {
        EXPECT_EQ(got[i], want[i]);
        continue;
      }
      // Precise position and velocity as before.
      EXPECT_EQ(got[i], want[i].substr(0, 46 + 62 + 37) + fields);
    }

    // Without the precise file the satellite came from the list alone.
    const auto alone = RunOrbika({c.option + cut, "-pr" + c.sat}, 60);
    EXPECT_EQ(alone.status, 1);
    EXPECT_EQ(alone.out, c.error);
    EXPECT_EQ(alone.err, "");
  }
}

// GLONASS epochs more than two days from their records: broadcast values and
// differences read nan, one warning per satellite names the first such
// epoch, and every other record reads as in the run without them.
TEST_F(RealData, GlonassEpochsFarFromTheirRecords) {
  const std::string glo = DataFile("brdc0910.09g"), sp3 = DataFile("igl15253.sp3");
  const std::string moved = orbtest::WriteTempFile(
      EditSatellite(orbtest::ReadFileText(glo), 7, 4, false, 3));
  const std::string warn = " -> MORE THAN 2 DAYS FROM ITS RECORD - BROADCAST COLUMNS WRITTEN AS nan!";
  const std::string nan16 = "             nan", nan14 = "           nan", nan12 = "         nan";
  const std::string nanPos = nan16 + nan16 + nan16 + nan14, nanVel = " " + nan12 + nan12 + nan12;
  const struct {
    std::string what;
    std::vector<std::string> clean, far;
    std::string err;
    std::map<std::string, long> farRecords;  // per satellite
    std::size_t keep;  // characters of a far record as in the clean run
  } cases[] = {
      // The window starts three days before the file's first records (00:15
      // UTC), from which only epochs after 2009-03-30 00:15 GPS time are
      // integrated; the first day of the file reads as in the file's own window.
      {"window", {"-eg" + glo, "-prR07R08"}, {"-eg" + glo, "-prR07R08", "-ts2009-03-29,00:00:00"},
       WarningText("SAT: R07 [2009-03-29 00:00:00.0]" + warn) +
           WarningText("SAT: R08 [2009-03-29 00:00:00.0]" + warn),
       {{"R07", 25}, {"R08", 25}}, 0},
      // R07's records dated three days late beside the precise file of the
      // day: its precise values stay, the rest reads nan.
      {"records moved", {"-ep" + sp3, "-eg" + glo, "-prR07R08"},
       {"-ep" + sp3, "-eg" + moved, "-prR07R08"},
       WarningText("SAT: R07 [2009-04-01 00:00:00.0]" + warn), {{"R07", 24}}, 46 + 62 + 37},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto cleanArgs = c.clean, farArgs = c.far;
    cleanArgs.push_back("-dt3600");
    farArgs.push_back("-dt3600");
    const auto clean = RunOrbika(cleanArgs, 60), far = RunOrbika(farArgs, 60);
    ASSERT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(far.status, 0);
    EXPECT_EQ(far.err, c.err);
    const auto want = RecordLines(clean.out), got = RecordLines(far.out);
    std::map<std::string, long> nan;  // far records per satellite
    std::map<std::string, std::string> byEpoch;
    for (const auto& r : want) byEpoch[r.substr(0, 46)] = r;
    for (const auto& r : got) {
      const auto it = byEpoch.find(r.substr(0, 46));
      if (r.size() > 46 + 62 && r.substr(r.size() - 37) == nanVel) {
        ++nan[r.substr(43, 3)];
        if (c.keep) ASSERT_NE(it, byEpoch.end()) << r;
        const std::string kept = c.keep ? it->second.substr(0, c.keep) : r.substr(0, 46);
        EXPECT_EQ(r, kept + nanPos + nanVel);
      } else if (it != byEpoch.end()) {
        EXPECT_EQ(r, it->second);
      }
    }
    EXPECT_EQ(nan, c.farRecords);
  }
}

}  // namespace
