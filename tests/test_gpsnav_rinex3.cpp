// RINEX 3 and 4 navigation files through the program: their GPS and GLONASS
// records give the numbers of the same records written in RINEX 2, today's
// files of sets C and D read without warnings and their broadcast orbits
// agree with the precise ones; damaged records end the run with a framed
// report naming the record.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PROGINC/TestInputGNSSf.h"
#include "tests/TestUtil.h"

namespace {

std::string Fixture(const std::string& name) { return orbtest::FixtureDir() + "/" + name; }

// A gzip file of the data set decompressed into a temporary file.
std::string Gunzip(const std::string& path) {
  gzFile f = gzopen(path.c_str(), "rb");
  EXPECT_NE(f, nullptr) << path;
  std::string text;
  char buf[1 << 16];
  for (int n; f != nullptr && (n = gzread(f, buf, sizeof buf)) > 0;) text.append(buf, n);
  if (f != nullptr) gzclose(f);
  return orbtest::WriteTempFile(text);
}

// The table of a run that must succeed: the data lines, without the head.
std::vector<std::string> Records(const std::vector<std::string>& args) {
  const orbtest::RunResult r = orbtest::RunOrbika(args);
  EXPECT_EQ(r.status, 0) << r.out.substr(0, 3000);
  std::vector<std::string> rows;
  for (const std::string& line : orbtest::SplitLines(r.out))
    if (!line.empty() && line[0] != '#') rows.push_back(line);
  return rows;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

// Two tables hold the same epochs and satellites, their positions within
// 1 mm and their clocks within one unit of the last printed digit.
void ExpectSameRecords(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  ASSERT_EQ(a.size(), b.size());
  ASSERT_GT(a.size(), 0u);
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::vector<std::string> x = Words(a[i]), y = Words(b[i]);
    ASSERT_EQ(x.size(), y.size()) << a[i];
    for (std::size_t k = 0; k < x.size(); ++k) {
      if (k < 5) {
        ASSERT_EQ(x[k], y[k]) << a[i] << "\n" << b[i];
        continue;
      }
      const double digit = x[k].size() - x[k].find('.') == 7 ? 1e-6 : 1e-3;
      EXPECT_LE(std::fabs(std::atof(x[k].c_str()) - std::atof(y[k].c_str())), digit * 1.001)
          << a[i] << "\n" << b[i];
    }
  }
}

// A version 4 file rewritten in the version 3.05 layout: frames dropped with
// the records that layout has no place for (CNAV, STO, EOP, ION).
std::string AsRinex3(const std::string& text) {
  std::string out;
  bool keep = true, header = true;
  for (const std::string& line : orbtest::SplitLines(text)) {
    if (header) {
      out += line.find("RINEX VERSION / TYPE") != std::string::npos ? "     3.05" + line.substr(9)
                                                                      : line;
      out += "\n";
      header = line.find("END OF HEADER") == std::string::npos;
      continue;
    }
    if (line.rfind(">", 0) == 0) {
      const std::string type = line.substr(2, 3), message = line.substr(10);
      keep = type == "EPH" && message.find("CN") != 0;
      continue;
    }
    if (keep) out += line + "\n";
  }
  return out;
}

// The 3D length of the differences (columns 13-15) of each satellite
// system's records with numbers.
std::map<char, std::vector<double>> Differences(const std::vector<std::string>& rows) {
  std::map<char, std::vector<double>> d;
  for (const std::string& row : rows) {
    const std::vector<std::string> w = Words(row);
    if (w.size() < 15) continue;
    const double dx = std::atof(w[12].c_str()), dy = std::atof(w[13].c_str()),
                 dz = std::atof(w[14].c_str());
    const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (std::isfinite(len)) d[w[4][0]].push_back(len);
  }
  return d;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? NAN : v[v.size() / 2];
}

}  // namespace

TEST(Rinex3Navigation, FixturesGiveTheNumbersOfTheirRinex2Records) {
  // The GPS and GLONASS records of the RINEX 2 fixtures written in the
  // version 3 and 4 layouts, among records of other systems and messages.
  const std::string v4 = Fixture("nav_mixed4.rnx");
  const std::string v4as3 = orbtest::WriteTempFile(AsRinex3(orbtest::ReadFileText(v4)));
  const struct {
    std::string option, rinex2, rinex34, satellites, pr;
  } cases[] = {
      {"-en", Fixture("gps_three.n"), Fixture("nav_mixed3.rnx"), "G02 G17 E11 C05", "-prG02G17"},
      {"-en", Fixture("gps_three.n"), v4, "G02 G17 E11 C05", "-prG02G17"},
      {"-eg", Fixture("glo_leap2012.g"), Fixture("nav_mixed3.rnx"), "R01 R03 R24", "-prR01R03R24"},
      {"-eg", v4as3, v4, "R01 R03 R24", "-prR01R03R24"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option + c.rinex34);
    ExpectSameRecords(Records({c.option + c.rinex2, "-dt1800", c.pr}),
                      Records({c.option + c.rinex34, "-dt1800", c.pr}));
    // A broadcast-only run lists every satellite of the file in system order.
    const orbtest::RunResult r = orbtest::RunOrbika({c.option + c.rinex34, "-dt1800", "-ti2009-04-01,02:00:00"});
    EXPECT_NE(r.out.find("#Satellites                  :  " + c.satellites + "\n"),
              std::string::npos)
        << r.out.substr(0, 2000);
    EXPECT_EQ(r.out.find("Warning"), std::string::npos) << r.out.substr(0, 2000);
  }
}

TEST(Rinex3Navigation, SetCMixedFileGivesTheRecordsOfTheRinex2Files) {
  ORBIKA_REQUIRE_DATA();
  const std::string mixed = orbtest::DataFile("setC/BRDC00IGS_R_20201360000_01D_MN.rnx");
  ExpectSameRecords(Records({"-en" + orbtest::DataFile("setC/brdc1360.20n"),
                             "-eg" + orbtest::DataFile("setC/brdc1360.20g"), "-prG01G02R01R02"}),
                    Records({"-en" + mixed, "-eg" + mixed, "-prG01G02R01R02"}));
}

TEST(Rinex3Navigation, SetDFilesReadWithoutWarningsAndAgreeWithPreciseOrbits) {
  ORBIKA_REQUIRE_DATA();
  const std::string v305 = Gunzip(orbtest::DataFile("setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz"));
  const std::string v4 = Gunzip(orbtest::DataFile("setD/KMS300DNK_R_20221591000_01H_MN.rnx.gz"));
  const std::string sp3 = Gunzip(orbtest::DataFile("setD/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz"));
  for (const std::string& file : {v305, v4}) {
    const orbtest::RunResult r = orbtest::RunOrbika({"-en" + file, "-eg" + file, "-dt3600"});
    EXPECT_EQ(r.status, 0);
    // The only warnings: epochs of the day far from a station's records.
    EXPECT_EQ(r.out.find("Warning"), std::string::npos) << r.out.substr(0, 3000);
    for (const std::string& line : orbtest::SplitLines(r.err)) {
      const bool other = line.find("Warning") != std::string::npos &&
                         line.find("CALCULATION EPOCH NOT IN VALID INTERVAL") == std::string::npos;
      EXPECT_FALSE(other) << line;
    }
  }
  // Version 4 records read as their version 3 rewriting.
  const std::string v4as3 = orbtest::WriteTempFile(AsRinex3(orbtest::ReadFileText(v4)));
  EXPECT_EQ(Records({"-en" + v4, "-eg" + v4, "-dt300"}),
            Records({"-en" + v4as3, "-eg" + v4as3, "-dt300"}));

  // Broadcast minus precise over the day: 3D median within the usual figures.
  const std::map<char, std::vector<double>> d =
      Differences(Records({"-en" + v305, "-eg" + v305, "-ep" + sp3}));
  ASSERT_EQ(d.count('G') + d.count('R'), 2u);
  EXPECT_GT(d.at('G').size(), 2000u);
  EXPECT_GT(d.at('R').size(), 1500u);
  EXPECT_LT(Median(d.at('G')), 2.0);
  EXPECT_LT(Median(d.at('R')), 8.0);
}

TEST(TestRINEXNavf, VersionTypeAndSystem) {
  const auto line = [](const std::string& version, const std::string& type,
                       const std::string& system) {
    std::string l = version;
    l.resize(20, ' ');
    l += type;
    l.resize(40, ' ');
    l += system;
    l.resize(60, ' ');
    return orbtest::WriteTempFile(l + "RINEX VERSION / TYPE\n");
  };
  const struct {
    std::string file;
    bool gps, glonass;
  } cases[] = {
      {line("     2", "N: GPS NAV DATA", ""), true, false},
      {line("     2.01", "GLONASS NAV DATA", ""), false, true},
      {line("     3.04", "N: GNSS NAV DATA", "M: MIXED"), true, true},
      {line("     3.05", "NAVIGATION DATA", "G: GPS"), true, false},
      {line("     4.00", "N: GNSS NAV DATA", "R: GLONASS"), false, true},
      {line("     3.04", "N: GNSS NAV DATA", "E: GALILEO"), false, false},
      {line("     3.04", "O: OBSERVATION DATA", "M: MIXED"), false, false},
      {line("     3.04", "G: GLONASS NAV DATA", "R: GLONASS"), false, false},
      {line("     5.00", "N: GNSS NAV DATA", "M: MIXED"), true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(orbtest::ReadFileText(c.file));
    EXPECT_EQ(TestRINEXNavf(c.file.c_str(), 'G'), c.gps);
    EXPECT_EQ(TestRINEXNavf(c.file.c_str(), 'R'), c.glonass);
  }
}

TEST(Rinex3Navigation, DamagedRecordsEndTheRunWithTheirNumber) {
  const std::string text = orbtest::ReadFileText(Fixture("nav_mixed3.rnx"));
  const std::size_t g17 = text.find("G17 2009");
  const std::size_t r24 = text.find("R24 2012");
  ASSERT_NE(g17, std::string::npos);
  ASSERT_NE(r24, std::string::npos);
  const auto edit = [&](std::size_t at, std::size_t n, const std::string& with) {
    std::string t = text;
    return t.replace(at, n, with);
  };
  const std::size_t line2 = text.find('\n', g17) + 1;
  const std::size_t line3 = text.find('\n', line2) + 1;
  const struct {
    std::string option, text, report;
    int status;
  } cases[] = {
      // A number the orbit needs left blank (sqrt(A) of G17, record 6).
      {"-en", edit(line3 + 61, 19, std::string(19, ' ')),
       "**** GPSbEph: Error -> GPS NAVIGATION FILE %s: BAD NUMBER IN RECORD 6! ****", 1},
      {"-en", edit(g17 + 9, 2, "13"),
       "**** GPSbEph: Error -> GPS NAVIGATION FILE %s: BAD EPOCH IN RECORD 6! ****", 1},
      {"-eg", edit(r24, 3, "R00"),
       "**** GLNbEph: Error -> GLONASS NAVIGATION FILE %s: SATELLITE NUMBER NOT IN 1-99 IN "
       "RECORD 9! ****", 1},
      // A GPS record that lost a line, and a line that belongs to no record.
      {"-en", edit(line2, line3 - line2, ""),
       "**** GPSbEph: Error -> GPS NAVIGATION FILE %s: RECORD 6 LAYOUT NOT RECOGNISED! ****", 1},
      {"-eg", edit(r24, 0, "garbage\n"),
       "**** GLNbEph: Error -> GLONASS NAVIGATION FILE %s: RECORD 9 LAYOUT NOT RECOGNISED! ****",
       1},
      // The file ends inside its last record, a GPS one: dropped with a warning.
      {"-en", text.substr(0, text.size() - 30),
       "#### GPSbEph: Warning -> GPS NAVIGATION FILE %s: FILE ENDS INSIDE RECORD 11, RECORD "
       "DROPPED! ####", 0},
  };
  for (const auto& c : cases) {
    const std::string path = orbtest::WriteTempFile(c.text);
    std::string report = c.report;
    report.replace(report.find("%s"), 2, path);
    const orbtest::RunResult r = orbtest::RunOrbika({c.option + path, "-dt3600"});
    EXPECT_EQ(r.status, c.status) << report;
    EXPECT_NE(r.out.find("\n" + report + "\n"), std::string::npos) << report << "\n" << r.out;
  }
}

TEST(Rinex3Navigation, EverySystemOfTheFileThroughTheProgram) {
  const std::string nav = "-en" + Fixture("nav_mixed3.rnx");
  const std::string sp3 = "-ep" + Fixture("sp3_four_sats.sp3");
  // Satellite codes of every system; a satellite without records ends a
  // broadcast-only run before the table.
  orbtest::RunResult r = orbtest::RunOrbika({nav, "-prE11C05J01S20I05", "-dt3600"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** GPSbEph: Error -> SAT: J01 IS NOT LISTED IN GPS NAVIGATION FILE!!! ****\n"
                   "     Exiting GPSbEph ... \n");
  // Beside a precise file: the Galileo satellite gets its differences, the
  // GPS satellite the navigation file lacks nan differences.
  r = orbtest::RunOrbika({nav, sp3, "-dt3600"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("#Satellites                  :  G01 G02 R01 E11\n"), std::string::npos);
  int galileo = 0, missing = 0;
  for (const std::string& line : orbtest::SplitLines(r.out)) {
    const std::vector<std::string> w = Words(line);
    if (w.size() != 16) continue;
    const bool numbers = std::isfinite(std::atof(w[12].c_str())) && std::isfinite(std::atof(w[15].c_str()));
    if (w[4] == "E11" && numbers) ++galileo;
    if (w[4] == "G01" && w[12] == "nan" && w[15] == "nan") ++missing;
  }
  EXPECT_EQ(galileo, 2);
  EXPECT_EQ(missing, 2);
}
