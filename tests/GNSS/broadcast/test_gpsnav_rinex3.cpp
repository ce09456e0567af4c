// RINEX 3 and 4 navigation files: their GPS and GLONASS records give the
// numbers of the same records in RINEX 2; Galileo, BeiDou and QZSS records
// follow their elements (hand-worked cases) and, on set D, the precise
// orbits and BeiDou's GEO slot; today's files read without warnings; damaged
// records end the run with a framed report naming the record.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/broadcast/GPSbEph.h"
#include "PROGINC/files/InputFile.h"
#include "src/cli/TestInputGNSSf.h"
#include "tests/TestUtil.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180;

std::string Fixture(const std::string& name) { return orbtest::FixtureDir() + "/" + name; }

// A file of the data set (set D's come gzip-compressed and are read so).
std::string Data(const std::string& name) { return orbtest::DataFile(name); }

// The records of a run that must succeed (the lines after the head).
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

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? NAN : v[v.size() / 2];
}

double Length(const xyzt& p) {
  return std::sqrt(
      static_cast<double>(p.GetX() * p.GetX() + p.GetY() * p.GetY() + p.GetZ() * p.GetZ()));
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
      const double digit = x[k].size() - x[k].find('.') == 7 ? 1e-6 : 1e-3;
      if (k < 5) {
        ASSERT_EQ(x[k], y[k]) << a[i] << "\n" << b[i];
      } else {
        EXPECT_LE(std::fabs(std::atof(x[k].c_str()) - std::atof(y[k].c_str())), digit * 1.001)
            << a[i] << "\n"
            << b[i];
      }
    }
  }
}

// A version 4 file rewritten in the version 3.05 layout: frames dropped with
// the records that layout has no place for (CNAV, STO, EOP, ION).
std::string AsRinex3(const std::string& file) {
  std::string out;
  bool keep = true, header = true;
  InputFile in(file.c_str());  // set D's file is gzip-compressed
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(">", 0) == 0) {
      keep = line.substr(2, 3) == "EPH" && line.substr(10).find("CN") != 0;
    } else if (keep) {
      const bool label = header && line.find("RINEX VERSION / TYPE") != std::string::npos;
      out += (label ? "     3.05" + line.substr(9) : line) + "\n";
      header = header && line.find("END OF HEADER") == std::string::npos;
    }
  }
  return orbtest::WriteTempFile(out);
}

// Elements of a hand-made version 3 record at Toe = Toc = Sunday 2020-06-21
// 00:00:00 of the system's time, without corrections or rates (radians).
struct Elements {
  const char* code;
  int satellite;                                          // system-wide number
  double sqrtA, e, omega, i0, Omega0, af0, af1, sources;  // sources: Galileo F/NAV 258, I/NAV 513
};

std::string Nav3(const std::vector<Elements>& records) {
  std::string text = "     3.04           N: GNSS NAV DATA    M: MIXED";
  text.resize(60, ' ');
  text += "RINEX VERSION / TYPE\n" + std::string(60, ' ') + "END OF HEADER\n";
  for (const Elements& r : records) {
    const double v[29] = {r.af0,     r.af1, 0, 1,        0, 0,    0, 0,       r.e, 0,
                          r.sqrtA,   0,     0, r.Omega0, 0, r.i0, 0, r.omega, 0,   0,
                          r.sources, 2111,  0, 2,        0, 0,    1, 0,       4};
    text += std::string(r.code) + " 2020 06 21 00 00 00";
    for (int k = 0; k < 29; ++k) {
      char field[24];
      std::snprintf(field, sizeof field, "%19.12E", v[k]);
      text += (k >= 3 && (k - 3) % 4 == 0 ? "\n    " : "") + std::string(field);
    }
    text += "\n";
  }
  return orbtest::WriteTempFile(text);
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

xyzt Broadcast(GPSbEph& nav, int satellite, const mjd& t, const mjd& record) {
  xyzt p;
  long double tgd = 0;
  nav.CalcPosition(static_cast<unsigned short>(satellite), t, record, p, &tgd, 0, 0);
  return p;
}

}  // namespace

TEST(Rinex3Navigation, FixturesGiveTheNumbersOfTheirRinex2Records) {
  // The GPS and GLONASS records of the RINEX 2 fixtures written in the
  // version 3 and 4 layouts, among records of other systems and messages;
  // the GLONASS time correction in a version 3 header line or a version 4
  // STO record.
  const std::string v3 = Fixture("nav_mixed3.rnx"), v4 = Fixture("nav_mixed4.rnx");
  const struct {
    std::string option, rinex2, rinex34, satellites, pr;
  } cases[] = {
      {"-en", Fixture("gps_three.n"), v3, "G02 G17 E11 C05", "-prG02G17"},
      {"-en", Fixture("gps_three.n"), v4, "G02 G17 E11 C05", "-prG02G17"},
      {"-eg", Fixture("glo_leap2012.g"), v3, "R01 R03 R24", "-prR01R03R24"},
      {"-eg", Fixture("glo_leap2012.g"), v4, "R01 R03 R24", "-prR01R03R24"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option + c.rinex34);
    ExpectSameRecords(Records({c.option + c.rinex2, "-dt1800", c.pr}),
                      Records({c.option + c.rinex34, "-dt1800", c.pr}));
    // A broadcast-only run lists every satellite of the file in system order.
    const orbtest::RunResult r =
        orbtest::RunOrbika({c.option + c.rinex34, "-dt1800", "-ti2009-04-01,02:00:00"});
    EXPECT_NE(r.out.find("#Satellites                  :  " + c.satellites + "\n"),
              std::string::npos);
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
  const std::string v305 = Data("setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
  const std::string v4 = Data("setD/KMS300DNK_R_20221591000_01H_MN.rnx.gz");
  const std::string sp3 = Data("setD/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz");
  for (const std::string& file : {v305, v4}) {
    const orbtest::RunResult r = orbtest::RunOrbika({"-en" + file, "-eg" + file, "-dt3600"});
    EXPECT_EQ(r.status, 0);
    // The only warnings: epochs of the day far from a station's records.
    EXPECT_EQ(r.out.find("Warning"), std::string::npos) << r.out.substr(0, 3000);
    for (const std::string& line : orbtest::SplitLines(r.err))
      EXPECT_FALSE(line.find("Warning") != std::string::npos &&
                   line.find("EPOCH NOT IN VALID INTERVAL") == std::string::npos)
          << line;
  }
  // Version 4 records read as their version 3 rewriting.
  EXPECT_EQ(Records({"-en" + v4, "-eg" + v4, "-dt300"}),
            Records({"-en" + AsRinex3(v4), "-eg" + AsRinex3(v4), "-dt300"}));

  // Broadcast minus precise over the day: 3D median within the usual figures.
  std::map<char, std::vector<double>> d;
  for (const std::string& row : Records({"-en" + v305, "-eg" + v305, "-ep" + sp3})) {
    const std::vector<std::string> w = Words(row);
    const double x = std::atof(w[12].c_str()), y = std::atof(w[13].c_str()),
                 z = std::atof(w[14].c_str());
    if (std::isfinite(x + y + z)) d[w[4][0]].push_back(std::sqrt(x * x + y * y + z * z));
  }
  EXPECT_GT(d['G'].size(), 2000u);
  EXPECT_GT(d['R'].size(), 1500u);
  EXPECT_GT(d['E'].size(), 2000u);
  EXPECT_LT(Median(d['G']), 2.0);
  EXPECT_LT(Median(d['R']), 8.0);
  EXPECT_LT(Median(d['E']), 1.5);
  // E19's F/NAV records lie hours from many epochs its I/NAV records serve
  // (3D median 45 m on F/NAV records alone).
  std::vector<double> e19;
  for (const std::string& row :
       Records({"-en" + v305, "-ep" + sp3, "-prE19", "-dt900"})) {
    const std::vector<std::string> w = Words(row);
    const double x = std::atof(w[12].c_str()), y = std::atof(w[13].c_str()),
                 z = std::atof(w[14].c_str());
    e19.push_back(std::sqrt(x * x + y * y + z * z));
  }
  EXPECT_EQ(e19.size(), 96u);
  EXPECT_LT(Median(e19), 2.0);
}

TEST(Rinex3Navigation, SetDGalileoClocksAndBeiDouGEO) {
  ORBIKA_REQUIRE_DATA();
  GPSbEph nav = Load(Data("setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz"));
  const std::string sp3file = Data("setD/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz");
  GNSSpEph sp3;
  sp3.SetFile(sp3file.c_str());
  sp3.ReadFile();
  // Galileo precise minus broadcast clock, each epoch's median over the
  // satellites removed (the GPS-Galileo time offset, the clock datum).
  std::vector<double> clocks;
  for (int k = 0; k < 96; ++k) {
    std::vector<double> epoch;
    for (int sat = 201; sat <= 236; ++sat) {
      mjd t = At(59025, 900.0L * k);
      xyzt p, v;
      sp3.CalcPosition(static_cast<unsigned short>(sat), t, p, v);
      if (sp3.PSisOK)
        epoch.push_back(static_cast<double>(p.GetT() - Broadcast(nav, sat, t, t).GetT()));
    }
    ASSERT_GT(epoch.size(), 20u);
    const double common = Median(epoch);
    for (double c : epoch) clocks.push_back(std::fabs(c - common));
  }
  EXPECT_LT(Median(clocks), 1e-9);
  // BeiDou C05 over the day: within 1 degree of its slot at 58.75 E, within
  // 100 km of the geostationary radius.
  for (int s = 0; s < 86400; s += 300) {
    const xyzt p = Broadcast(nav, 305, At(59025, s), At(59025, s));
    EXPECT_NEAR(std::atan2(static_cast<double>(p.GetY()), static_cast<double>(p.GetX())) / kDeg,
                58.75, 1)
        << s;
    EXPECT_NEAR(Length(p), 42164e3, 100e3) << s;
  }
}

TEST(Rinex3Navigation, HandWorkedGalileoBeiDouAndQzssRecords) {
  // At Toe, with the perigee at 90 degrees from the node, a record puts the
  // satellite at r = a (1 - e) above the node line: X = -r cos i sin Omega0,
  // Y = r cos i cos Omega0, Z = r sin i, whatever GM and the Earth's rate.
  // BeiDou time is GPS time - 14 s: its Toe 0 is 14 s into the GPS week.
  // Over the day the radius stays within a (1 -+ e) and Z / r reaches sin i.
  // E11's F/NAV record, at the epoch that selects, is used, not the I/NAV
  // one written before it; E12 has I/NAV only.
  const Elements inav = {"E11", 211, 5000, 0, 0, 0, 0, 9e-4, 0, 513};
  const std::vector<Elements> cases = {
      {"E11", 211, 5440.6, 0.002, 90 * kDeg, 56 * kDeg, 30 * kDeg, 1e-4, 1e-11, 258},
      {"E12", 212, 5440.6, 0.001, 90 * kDeg, 56 * kDeg, 150 * kDeg, 2e-4, 1e-11, 513},
      {"C11", 311, 5282.6, 0.001, 90 * kDeg, 55 * kDeg, -40 * kDeg, -2e-4, 3e-11, 0},
      {"C08", 308, 6493.4, 0.01, 90 * kDeg, 55 * kDeg, 120 * kDeg, 5e-4, -1e-11, 0},
      {"J02", 502, 6493.3, 0.075, 90 * kDeg, 41 * kDeg, 200 * kDeg, 3e-5, 2e-12, 0},
  };
  std::vector<Elements> records = cases;
  records.insert(records.begin(), inav);
  GPSbEph nav = Load(Nav3(records));
  EXPECT_EQ(nav.GetNSat(), records.size());
  for (const Elements& c : cases) {
    SCOPED_TRACE(c.code);
    const double a = c.sqrtA * c.sqrtA, r = a * (1 - c.e);
    const double toe = c.satellite / 100 == 3 ? 14 : 0;
    xyzt p = Broadcast(nav, c.satellite, At(59021, toe), At(59021, toe));
    EXPECT_NEAR(static_cast<double>(p.GetX()), -r * std::cos(c.i0) * std::sin(c.Omega0), 1e-3);
    EXPECT_NEAR(static_cast<double>(p.GetY()), r * std::cos(c.i0) * std::cos(c.Omega0), 1e-3);
    EXPECT_NEAR(static_cast<double>(p.GetZ()), r * std::sin(c.i0), 1e-3);
    // At perigee sin E = 0: no relativistic term, the clock is af0.
    EXPECT_NEAR(static_cast<double>(p.GetT()), c.af0, 1e-18);
    double rmax = 0, zmax = 0;
    for (int s = 0; s <= 86400; s += 20) {
      p = Broadcast(nav, c.satellite, At(59021, toe + s), At(59021, toe));
      rmax = std::max(rmax, Length(p));
      zmax = std::max(zmax, static_cast<double>(p.GetZ()) / Length(p));
      EXPECT_GE(Length(p), r - 1e-3);
    }
    EXPECT_NEAR(rmax, a * (1 + c.e), 2.0);
    EXPECT_NEAR(zmax, std::sin(c.i0), 1e-6);
  }
}

TEST(Rinex3Navigation, EverySystemOfTheFileThroughTheProgram) {
  const std::string nav = "-en" + Fixture("nav_mixed3.rnx");
  // Satellite codes of every system; a satellite without records ends a
  // broadcast-only run before the table, naming its system and the file.
  orbtest::RunResult r = orbtest::RunOrbika({nav, "-prE11C05J01S20I05", "-dt3600"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** GPSbEph: Error -> SAT: J01 IS NOT LISTED IN QZSS NAVIGATION FILE " +
                       nav.substr(3) + "!!! ****\n     Exiting GPSbEph ... \n");
  // Beside a precise file: the Galileo satellite gets its differences, the
  // GPS satellite the navigation file lacks nan differences.
  int galileo = 0, missing = 0;
  for (const std::string& line : Records({nav, "-ep" + Fixture("sp3_four_sats.sp3"), "-dt3600"})) {
    const std::vector<std::string> w = Words(line);
    if (w.size() != 16) continue;
    galileo += w[4] == "E11" && std::isfinite(std::atof(w[12].c_str()) + std::atof(w[15].c_str()));
    missing += w[4] == "G01" && w[12] == "nan" && w[15] == "nan";
  }
  EXPECT_EQ(galileo, 2);
  EXPECT_EQ(missing, 2);
}

// The version 4 fixture with its first R01 record put at X = 100,000 km,
// which is skipped when read, and dTau_n 2.5e-9 s in the record after it.
std::string AfterSkippedGlonassRecord() {
  std::string t = orbtest::ReadFileText(Fixture("nav_mixed4.rnx"));
  const std::string x = "     0.180450601454D+04", blank = "0.000000000000E+00";
  t.replace(t.find(x), x.size(), "     0.100000000000D+06");
  const std::size_t fifth = t.find(blank, t.find("R01 2012 07 01 00 15 00"));
  t.replace(t.find(blank, fifth + blank.size()), blank.size(), "0.250000000000E-08");
  return orbtest::WriteTempFile(t);
}

// The group-delay fields of the record chosen at an epoch, as written in
// the files: a blank field and a placeholder of 1e-3 s or more are absent.
TEST(Rinex3Navigation, GroupDelaysOfEachKindOfRecord) {
  const long double none = std::nanl("");
  const std::string v3 = Fixture("nav_mixed3.rnx"), v4 = Fixture("nav_mixed4.rnx");
  const std::string skipped = AfterSkippedGlonassRecord();
  const std::string dlr = "setE/BRD400DLR_S_20220010000_01D_MN.rnx.gz",
                    igs = "setE/BRDC00IGS_R_20220010000_01D_MN.rnx.gz",
                    station = "setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz";
  const struct {
    std::string file;  // a fixture, or a file of the data set
    bool data;
    int sat;            // system-wide number
    int day;
    long double second;  // GPS time
    long double gd1, gd2;
  } rows[] = {
      {v4, false, 2, 54922, 0, -1.72294676304e-8L, none},     // LNAV: TGD, then IODC
      {v4, false, 211, 54922, 7200, -1.72294676304e-8L, none},  // I/NAV: BGD E5b 12 s
      {v4, false, 305, 54922, 7214, -1.72294676304e-8L, none},  // D1: TGD2 12 s
      {v4, false, 101, 56109, 900, 0, none},                  // FDMA: dTau_n 0
      {v3, false, 101, 56109, 900, none, none},               // 3.04: no fifth line
      {skipped, false, 101, 56109, 900, 2.5e-9L, none},       // kept beside a skipped one
      {station, true, 101, 59025, 900, none, none},           // 3.05: dTau_n .999e9
      {dlr, true, 101, 59580, 918, 8.381903171539e-9L, none},
      {igs, true, 101, 59580, 918, none, none},
      {igs, true, 333, 59580, 3614, -4.25e-8L, -4.25e-8L},    // TGD1, TGD2
      {igs, true, 201, 59580, 300, 4.656612873077e-10L, none},  // F/NAV: BGD E5a
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file + " " + std::to_string(row.sat));
    if (row.data && orbtest::DataDir().empty()) continue;  // the fixtures' rows alone
    const std::string path = row.data ? Data(row.file) : row.file;
    GroupDelays g;
    if (row.sat / 100 == 1) {
      GLNbEph nav;
      nav.SetFile(path.c_str());
      nav.ReadFile();
      g = nav.GetGroupDelays(static_cast<short>(row.sat - 100), At(row.day, row.second));
    } else {
      g = Load(path).GetGroupDelays(static_cast<unsigned short>(row.sat), At(row.day, row.second));
    }
    for (const auto& [got, want] : {std::pair{g.gd1, row.gd1}, std::pair{g.gd2, row.gd2}}) {
      if (std::isnan(want))
        EXPECT_TRUE(std::isnan(got)) << static_cast<double>(got);
      else  // the number as the reader converts it: a double mantissa
        EXPECT_NEAR(got, want, 1e-15L * std::fabs(want));
    }
  }
}

TEST(TestRINEXNavf, VersionTypeAndSystem) {
  const struct {
    const char *version, *type, *system;
    bool gps, glonass;
  } cases[] = {
      {"     2", "N: GPS NAV DATA", "", true, false},
      {"     2.01", "GLONASS NAV DATA", "", false, true},
      {"     3.04", "N: GNSS NAV DATA", "M: MIXED", true, true},
      {"     3.05", "NAVIGATION DATA", "G: GPS", true, false},
      {"     4.00", "N: GNSS NAV DATA", "R: GLONASS", false, true},
      {"     3.04", "N: GNSS NAV DATA", "E: GALILEO", false, false},
      {"     3.04", "O: OBSERVATION DATA", "M: MIXED", false, false},
      {"     3.04", "G: GLONASS NAV DATA", "R: GLONASS", false, false},
      {"     5.00", "N: GNSS NAV DATA", "M: MIXED", true, false},  // taken for version 2
  };
  for (const auto& c : cases) {
    char line[100];
    std::snprintf(line, sizeof line, "%-20s%-20s%-20sRINEX VERSION / TYPE\n", c.version, c.type,
                  c.system);
    const std::string file = orbtest::WriteTempFile(line);
    EXPECT_EQ(TestRINEXNavf(file.c_str(), 'G'), c.gps) << line;
    EXPECT_EQ(TestRINEXNavf(file.c_str(), 'R'), c.glonass) << line;
  }
}

TEST(Rinex3Navigation, DamagedRecordsEndTheRunWithTheirNumber) {
  const std::string text = orbtest::ReadFileText(Fixture("nav_mixed3.rnx"));
  const std::size_t g17 = text.find("G17 2009"), r24 = text.find("R24 2012");
  ASSERT_NE(g17, std::string::npos);
  ASSERT_NE(r24, std::string::npos);
  const std::size_t line2 = text.find('\n', g17) + 1, line3 = text.find('\n', line2) + 1;
  const auto edit = [&](std::size_t at, std::size_t n, const std::string& with) {
    return std::string(text).replace(at, n, with);
  };
  const std::string gps = "**** GPSbEph: Error -> GPS NAVIGATION FILE %s: ";
  const std::string glo = "**** GLNbEph: Error -> GLONASS NAVIGATION FILE %s: ";
  const struct {
    std::string option, text, report;
    int status;
  } cases[] = {
      // sqrt(A) of G17 (record 6) left blank; its month 13; slot R00.
      {"-en", edit(line3 + 61, 19, std::string(19, ' ')), gps + "BAD NUMBER IN RECORD 6! ****", 1},
      {"-en", edit(g17 + 9, 2, "13"), gps + "BAD EPOCH IN RECORD 6! ****", 1},
      {"-eg", edit(r24, 3, "R00"), glo + "SATELLITE NUMBER NOT IN 1-99 IN RECORD 9! ****", 1},
      // A GPS record that lost a line, and a line that belongs to no record.
      {"-en", edit(line2, line3 - line2, ""), gps + "RECORD 6 LAYOUT NOT RECOGNISED! ****", 1},
      {"-eg", edit(r24, 0, "garbage\n"), glo + "RECORD 9 LAYOUT NOT RECOGNISED! ****", 1},
      // The file ends inside its last record, a GPS one: dropped with a warning.
      {"-en", text.substr(0, text.size() - 30),
       "#### GPSbEph: Warning -> GPS NAVIGATION FILE %s: FILE ENDS INSIDE RECORD 11, RECORD "
       "DROPPED! ####",
       0},
  };
  for (const auto& c : cases) {
    const std::string path = orbtest::WriteTempFile(c.text);
    const std::string report = std::string(c.report).replace(c.report.find("%s"), 2, path);
    const orbtest::RunResult r = orbtest::RunOrbika({c.option + path, "-dt3600"});
    EXPECT_EQ(r.status, c.status) << report;
    EXPECT_NE(r.out.find("\n" + report + "\n"), std::string::npos) << report << "\n" << r.out;
  }
}
