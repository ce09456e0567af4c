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
#include "tests/src/test_cli_text.h"

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
      char day[12];
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

  // Broadcast only: the whole day of its records (17:59:44 on), most of it
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

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Broadcast values that cannot be had: a satellite that the navigation file
// lacks (beside a precise file), epochs more than two days from their
// records (a window reaching from three days before the file, or one
// satellite's records dated three days late).  Each such record keeps its
// other values and reads nan in the broadcast-dependent fields, one warning
// per satellite says so, and every other record reads as in the undamaged
// run.  Without a precise file a lacking satellite ends the run before the
// table, with the store's error.
TEST_F(RealData, BroadcastValuesThatCannotBeHadReadNan) {
  const std::string sp3 = DataFile("esa15253.sp3"), gln = DataFile("igl15253.sp3");
  const std::string gps = DataFile("brdc0910.09n"), glo = DataFile("brdc0910.09g");
  const auto edited = [](const std::string& file, int sat, int lines, bool drop) {
    return orbtest::WriteTempFile(
        EditSatellite(orbtest::ReadFileText(file), sat, lines, drop, 3));
  };
  const std::string noG31 = edited(gps, 31, 8, true), noR07 = edited(glo, 7, 4, true),
                    lateR07 = edited(glo, 7, 4, false), lateG31 = edited(gps, 31, 8, false);
  const std::string lacks = " - BROADCAST COLUMNS WRITTEN AS nan!";
  const std::string far = " -> MORE THAN 2 DAYS FROM ITS RECORD - BROADCAST COLUMNS WRITTEN AS nan!";
  const std::size_t kept = 46 + 62 + 37;  // up to the precise velocity
  const struct {
    std::vector<std::string> clean, damaged;
    std::string err;
    std::map<std::string, long> nanRecords;
    std::size_t keep;  // characters of a nan record as in the undamaged run
  } cases[] = {
      {{"-ep" + sp3, "-en" + gps, "-prG12G31R08"}, {"-ep" + sp3, "-en" + noG31, "-prG12G31R08"},
       WarningText("SAT: G31 IS NOT LISTED IN GPS NAVIGATION FILE " + noG31 + lacks),
       {{"G31", 24}}, kept},
      {{"-ep" + sp3, "-eg" + glo, "-prG12R07R08"}, {"-ep" + sp3, "-eg" + noR07, "-prG12R07R08"},
       WarningText("SAT: R07 IS NOT LISTED IN GLONASS NAVIGATION FILE " + noR07 + lacks),
       {{"R07", 24}}, kept},
      // Epochs up to 2009-03-30 00:15 GPS time lie more than two days before
      // the first records (00:15 UTC).
      {{"-eg" + glo, "-prR07R08"}, {"-eg" + glo, "-prR07R08", "-ts2009-03-29,00:00:00"},
       WarningText("SAT: R07 [2009-03-29 00:00:00.0]" + far) +
           WarningText("SAT: R08 [2009-03-29 00:00:00.0]" + far),
       {{"R07", 25}, {"R08", 25}}, 46},
      {{"-ep" + gln, "-eg" + glo, "-prR07R08"}, {"-ep" + gln, "-eg" + lateR07, "-prR07R08"},
       WarningText("SAT: R07 [2009-04-01 00:00:00.0]" + far), {{"R07", 24}}, kept},
      {{"-ep" + sp3, "-en" + gps, "-prG12G31"}, {"-ep" + sp3, "-en" + lateG31, "-prG12G31"},
       WarningText("SAT: G31 [2009-04-01 00:00:00.0]" + far), {{"G31", 24}}, kept},
  };
  const std::string nan16 = "             nan", nan14 = "           nan", nan12 = "         nan";
  const std::string nanPos = nan16 + nan16 + nan16 + nan14, nanVel = " " + nan12 + nan12 + nan12;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.damaged[1]);
    auto cleanArgs = c.clean, damagedArgs = c.damaged;
    cleanArgs.push_back("-dt3600");
    damagedArgs.push_back("-dt3600");
    const auto clean = RunOrbika(cleanArgs, 60), run = RunOrbika(damagedArgs, 60);
    ASSERT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, c.err);
    std::map<std::string, std::string> want;  // by epoch and satellite
    for (const auto& r : RecordLines(clean.out)) want[r.substr(0, 46)] = r;
    std::map<std::string, long> nan;
    for (const auto& r : RecordLines(run.out)) {
      const auto it = want.find(r.substr(0, 46));
      const std::string tail = r[43] == 'R' ? nanPos + nanVel : nanPos;
      if (EndsWith(r, tail)) {
        ++nan[r.substr(43, 3)];
        const std::string head = c.keep == 46 ? r.substr(0, 46)
                                 : it == want.end() ? "(no such record)"
                                                    : it->second.substr(0, c.keep);
        EXPECT_EQ(r, head + tail);
      } else if (it != want.end()) {
        EXPECT_EQ(r, it->second);
      }
    }
    EXPECT_EQ(nan, c.nanRecords);
  }

  // The list alone names a satellite the navigation file lacks.
  const struct {
    std::string option, sat, store;
  } alone[] = {{"-en" + noG31, "G31", "GPSbEph: Error -> SAT: G31 IS NOT LISTED IN GPS NAVIGATION FILE " + noG31},
               {"-eg" + noR07, "R07", "GLNbEph: Error -> SAT: R07 IS NOT LISTED IN GLONASS NAVIGATION FILE " + noR07}};
  for (const auto& a : alone) {
    const auto r = RunOrbika({a.option, "-pr" + a.sat}, 60);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\n**** " + a.store + "!!! ****\n     Exiting " +
                         a.store.substr(0, 7) + " ... \n");
    EXPECT_EQ(r.err, "");
  }

  // A window whose every epoch lies more than two days from the records
  // (three days before the file), with the record fixed by -ti or not,
  // holds nothing to compute.
  for (const std::vector<std::string>& ti : {std::vector<std::string>{}, {"-ti2009-04-01,12:00:00"}}) {
    std::vector<std::string> args = {"-en" + gps, "-prG12", "-ts2009-03-29,00:00:00",
                                     "-te2009-03-29,23:00:00", "-dt3600"};
    args.insert(args.end(), ti.begin(), ti.end());
    const auto r = RunOrbika(args, 60);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ErrorText("NO EPOCH OF THE WINDOW 2009-03-29T00:00:00.000 TO "
                               "2009-03-29T23:00:00.000 IS WITHIN REACH OF THE EPHEMERIS FILES "
                               "(THE SP3 TABLE AND ONE INTERVAL, 2 DAYS FROM A BROADCAST "
                               "RECORD)!"));
  }
}

// A day of one station's file for programs: every report one line on
// standard error, each condition once per satellite with its first epoch,
// then the summary; a few hundred lines where the table's frames were tens
// of thousands, and every warning names its satellite.
TEST(RealDataRun, CsvRunNamesEachSatelliteOnce) {
  ORBIKA_REQUIRE_DATA();
  const std::string nav = DataFile("setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
  const auto r = RunOrbika({"-csv", "-en" + nav, "-eg" + nav, "-dt300",
                            "-ts2020-06-25,00:00:00", "-te2020-06-25,23:59:59"},
                           120);
  ASSERT_EQ(r.status, 0) << r.err.substr(0, 2000);
  const std::vector<std::string> lines = SplitLines(r.err);
  EXPECT_LT(lines.size(), 400u);
  std::map<std::string, int> warned, summed;
  for (const std::string& l : lines) {
    const bool warning = l.rfind("Orbika: Warning -> ", 0) == 0;
    const bool summary = l.rfind("Orbika: Summary -> ", 0) == 0;
    ASSERT_TRUE(warning || summary) << l;
    const std::string sat = l.substr(19, 3);
    ASSERT_NE(std::string("GRECJSI").find(sat[0]), std::string::npos) << l;
    ++(warning ? warned : summed)[sat + l.substr(l.find(": ", 19))];
  }
  EXPECT_GT(warned.size(), 50u);
  for (const auto& w : warned) EXPECT_EQ(w.second, 1) << w.first;
}

}  // namespace
