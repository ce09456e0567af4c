// Today's navigation messages: GPS and QZSS CNAV and CNAV-2, BeiDou B-CNAV,
// NavIC LNAV and SBAS records (hand-made records whose answers are known by
// hand, and set E's RINEX 4 file against its precise orbits), the choice of
// message (-nm) and the receiver's choice of record (-rx).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/broadcast/GPSbEph.h"
#include "GNSS/broadcast/NavMessages.h"
#include "GNSS/broadcast/SBASbEph.h"
#include "tests/TestUtil.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180;

// One hand-made version 4 record: the numbers in file order at their places
// (the first line's three, then four per line); places not set are blank.
struct Rec {
  std::string code, message, epoch;  // "G01", "CNAV", "2020 06 21 00 00 00"
  int lines;
  std::map<int, double> set;
};

std::string Nav4(const std::vector<Rec>& records) {
  std::string text = "     4.00           N: GNSS NAV DATA    M: MIXED";
  text.resize(60, ' ');
  text += "RINEX VERSION / TYPE\n" + std::string(60, ' ') + "END OF HEADER\n";
  for (const Rec& r : records) {
    text += "> EPH " + r.code + " " + r.message + "\n" + r.code + " " + r.epoch;
    for (int k = 0; k < 3 + 4 * (r.lines - 1); ++k) {
      char field[24] = "                   ";
      const auto v = r.set.find(k);
      if (v != r.set.end()) std::snprintf(field, sizeof field, "%19.12E", v->second);
      text += (k >= 3 && (k - 3) % 4 == 0 ? "\n    " : "") + std::string(field);
    }
    text += "\n";
  }
  return orbtest::WriteTempFile(text);
}

// A Keplerian record at 2020-06-21 00:00:00 (start of the week) with the
// perigee 90 degrees from the node, no corrections, and the given fields.
Rec Kepler(const std::string& code, const std::string& message, int lines, double sqrtA,
           double e, double i0, double Omega0, std::map<int, double> more) {
  Rec r{code, message, "2020 06 21 00 00 00", lines, {}};
  // Every field written: a line of blank fields reads as no line at all.
  for (int k = 0; k < 3 + 4 * (lines - 1); ++k) r.set[k] = 0;
  r.set[0] = 1e-4;
  r.set[8] = e;
  r.set[10] = sqrtA;
  r.set[13] = Omega0;
  r.set[15] = i0;
  r.set[17] = 90 * kDeg;
  for (const auto& m : more) r.set[m.first] = m.second;
  return r;
}

GPSbEph Load(const std::string& path, const std::string& messages) {
  GPSbEph nav;
  navmsg::Choice choice;
  EXPECT_EQ(choice.Parse(messages), "");
  nav.SetMessages(choice);
  nav.SetFile(path.c_str());
  nav.ReadFile();
  return nav;
}

mjd At(int day, long double second) {
  mjd t(static_cast<std::uint32_t>(day), 0);
  t += second;
  return t;
}

xyzt Broadcast(GPSbEph& nav, int satellite, const mjd& t, const mjd& record) {
  xyzt p;
  long double tgd = 0;
  nav.CalcPosition(static_cast<unsigned short>(satellite), t, record, p, &tgd, 0, 0);
  return p;
}

double Length(const xyzt& p) {
  return std::sqrt(
      static_cast<double>(p.GetX() * p.GetX() + p.GetY() * p.GetY() + p.GetZ() * p.GetZ()));
}

double Angle(const xyzt& a, const xyzt& b) {
  const double dot = static_cast<double>(a.GetX() * b.GetX() + a.GetY() * b.GetY() +
                                         a.GetZ() * b.GetZ());
  return std::acos(std::min(1.0, dot / (Length(a) * Length(b))));
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? NAN : v[v.size() / 2];
}

constexpr int kSunday = 59021;  // MJD of 2020-06-21

}  // namespace

TEST(NavigationMessages, HandWorkedRecordsOfEachMessage) {
  // At Toe a record puts the satellite at r = a (1 - e) above the node line
  // (X = -r cos i sin Omega0, Y = r cos i cos Omega0, Z = r sin i).  GPS and
  // QZSS CNAV records have Toe at their epoch: the t_op of place 11 (here a
  // day later) must not move it.  B-CNAV records take Toe from place 11 in
  // BeiDou time, 14 s behind GPS time; NavIC's is place 11 of GPS-aligned
  // time.  The clock at Toe is af0 (sin E = 0).
  const struct {
    Rec rec;
    std::string messages;
    int satellite;
    double toe;  // GPS seconds of the week
  } cases[] = {
      {Kepler("G05", "CNAV", 9, 5153.7, 0.01, 55 * kDeg, 30 * kDeg, {{11, 86400}, {31, 0}}),
       "G:CNAV", 5, 0},
      {Kepler("J02", "CNV2", 10, 6493.3, 0.075, 41 * kDeg, 200 * kDeg, {{11, 86400}}), "J:CNV2",
       502, 0},
      {Kepler("C20", "CNV1", 10, 5282.6, 0.001, 55 * kDeg, -40 * kDeg, {{21, 3}}), "C:CNV1",
       320, 14},
      {Kepler("C21", "CNV2", 10, 5282.6, 0.002, 55 * kDeg, 60 * kDeg, {{21, 3}}), "C:CNV2",
       321, 14},
      {Kepler("C38", "CNV3", 9, 6493.4, 0.003, 55 * kDeg, 120 * kDeg, {{21, 2}}), "C:CNV3",
       338, 14},
      {Kepler("I02", "LNAV", 8, 6493.4, 0.002, 29 * kDeg, 80 * kDeg, {}), "I:LNAV", 602, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.messages);
    GPSbEph nav = Load(Nav4({c.rec}), c.messages);
    ASSERT_EQ(nav.GetNSat(), 1u);
    const double a = c.rec.set.at(10) * c.rec.set.at(10), r = a * (1 - c.rec.set.at(8));
    const double i0 = c.rec.set.at(15), Omega0 = c.rec.set.at(13);
    const xyzt p = Broadcast(nav, c.satellite, At(kSunday, c.toe), At(kSunday, c.toe));
    EXPECT_NEAR(static_cast<double>(p.GetX()), -r * std::cos(i0) * std::sin(Omega0), 1e-3);
    EXPECT_NEAR(static_cast<double>(p.GetY()), r * std::cos(i0) * std::cos(Omega0), 1e-3);
    EXPECT_NEAR(static_cast<double>(p.GetZ()), r * std::sin(i0), 1e-3);
    EXPECT_NEAR(static_cast<double>(p.GetT()), 1e-4, 1e-18);
    // Without -nm naming it the message is not read at all.
    const orbtest::RunResult run = orbtest::RunOrbika({"-en" + Nav4({c.rec}), "-dt3600"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(": NO COMPLETE RECORD! ****"), std::string::npos) << run.out;
  }
}

// The group delays a record hands on for the pair clocks: place p of the
// record holds p ns, so each delay tells the RINEX 4 field it came from
// (CNAV: TGD 25, ISC_L1CA 27, ISC_L2C 28; B-CNAV1/2: TGD_B1Cp 29,
// TGD_B2ap 30, then the data component's ISC, 27 or 28; B-CNAV3: TGD_B2bI
// 30).
TEST(NavigationMessages, GroupDelaysByFieldName) {
  const long double none = std::nanl("");
  const struct {
    const char *code, *message, *messages;
    int lines, satellite;
    long double gd1, gd2, gd3;  // ns
  } cases[] = {
      {"G05", "CNAV", "G:CNAV", 9, 5, 25, 27, 28},
      {"J02", "CNV2", "J:CNV2", 10, 502, 25, 27, 28},
      {"C20", "CNV1", "C:CNV1", 10, 320, 29, 30, 27},
      {"C21", "CNV2", "C:CNV2", 10, 321, 29, 30, 28},
      {"C38", "CNV3", "C:CNV3", 9, 338, 30, none, none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.messages);
    Rec rec = Kepler(c.code, c.message, c.lines, 5282.6, 0.001, 55 * kDeg, 0, {{21, 3}});
    for (int place = 25; place < 3 + 4 * (c.lines - 1); ++place) rec.set[place] = place * 1e-9;
    rec.set[c.lines == 9 ? 31 : 35] = 0;  // the transmission time
    const GroupDelays g = Load(Nav4({rec}), c.messages)
                              .GetGroupDelays(static_cast<unsigned short>(c.satellite),
                                              At(kSunday, 0));
    const long double want[] = {c.gd1, c.gd2, c.gd3};
    const long double got[] = {g.gd1, g.gd2, g.gd3};
    for (int k = 0; k < 3; ++k) {
      if (std::isnan(want[k]))
        EXPECT_TRUE(std::isnan(got[k])) << k;
      else
        EXPECT_NEAR(got[k], want[k] * 1e-9L, 1e-21L) << k;
    }
  }
}

// Each message's own numbers must be present, the others may be blank: a
// GPS LNAV record needs its orbit and clock and TGD (not IODC or the fit
// interval), a QZSS LNAV record no TGD, a CNAV record its Delta n0-dot and
// no TGD (then absent).  A record that lacks one ends the run.
TEST(NavigationMessages, EachMessageNeedsItsOwnNumbers) {
  const long double none = std::nanl("");
  const struct {
    const char *code, *message, *messages;
    int lines, satellite;
    std::vector<int> blank;
    long double gd1;  // ns; 0: the record is refused
  } cases[] = {
      {"G05", "LNAV", "G:LNAV", 8, 5, {26, 28}, 25},
      {"G05", "LNAV", "G:LNAV", 8, 5, {25}, 0},
      {"J02", "LNAV", "J:LNAV", 8, 502, {25}, none},
      {"G05", "CNAV", "G:CNAV", 9, 5, {25}, none},
      {"G05", "CNAV", "G:CNAV", 9, 5, {20}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.messages) + " blank " + std::to_string(c.blank[0]));
    Rec rec = Kepler(c.code, c.message, c.lines, 5153.7, 0.01, 55 * kDeg, 0, {});
    rec.set[25] = 25e-9;
    for (int place : c.blank) rec.set.erase(place);
    const std::string path = Nav4({rec});
    if (c.gd1 == 0) {
      const orbtest::RunResult r = orbtest::RunCaptured([&] { Load(path, c.messages); });
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.out, "\n**** GPSbEph: Error -> GPS NAVIGATION FILE " + path +
                           ": BAD NUMBER IN RECORD 1! ****\n     Exiting GPSbEph ... \n");
      continue;
    }
    const GroupDelays g = Load(path, c.messages)
                              .GetGroupDelays(static_cast<unsigned short>(c.satellite),
                                              At(kSunday, 0));
    if (std::isnan(c.gd1))
      EXPECT_TRUE(std::isnan(g.gd1));
    else
      EXPECT_NEAR(g.gd1, c.gd1 * 1e-9L, 1e-21L);
  }
}

TEST(NavigationMessages, RatesOfTheSemiMajorAxisAndOfTheMeanMotion) {
  // Circular orbits (e = 0, no corrections): the radius is A_k = A_0 +
  // A-dot tk, and Delta n0-dot adds (1/2) Delta n0-dot tk^2 to the mean
  // anomaly: 2e-7 rad/s^2 gives 0.1 rad at tk = 1000 s, the angle to the
  // same record without it.  G05 and G06, C20 and C21 differ only so.
  for (const std::string sys : {"G", "C"}) {
    SCOPED_TRACE(sys);
    const std::string message = sys == "G" ? "CNAV" : "CNV1";
    const int lines = sys == "G" ? 9 : 10, base = sys == "G" ? 0 : 300;
    const double toe = sys == "G" ? 0 : 14;
    const std::map<int, double> rates = {{3, 0.01}, {21, 3}};
    std::map<int, double> both = rates;
    both[20] = 2e-7;
    const std::string n1 = sys == "G" ? "05" : "20", n2 = sys == "G" ? "06" : "21";
    GPSbEph nav = Load(Nav4({Kepler(sys + n1, message, lines, 5153.7, 0, 55 * kDeg, 0, rates),
                             Kepler(sys + n2, message, lines, 5153.7, 0, 55 * kDeg, 0, both)}),
                       sys + ":" + message);
    const int s1 = base + std::atoi(n1.c_str()), s2 = base + std::atoi(n2.c_str());
    const xyzt p1 = Broadcast(nav, s1, At(kSunday, toe + 3600), At(kSunday, toe));
    EXPECT_NEAR(Length(p1), 5153.7 * 5153.7 + 36, 1e-3);
    const xyzt q1 = Broadcast(nav, s1, At(kSunday, toe + 1000), At(kSunday, toe));
    const xyzt q2 = Broadcast(nav, s2, At(kSunday, toe + 1000), At(kSunday, toe));
    EXPECT_NEAR(Angle(q1, q2), 0.1, 1e-9);
  }
}

TEST(NavigationMessages, GeostationaryBCnavRecordsAreSkipped) {
  const std::string file =
      Nav4({Kepler("C30", "CNV1", 10, 6493.4, 0, 0, 0, {{21, 1}}),
            Kepler("C20", "CNV1", 10, 5282.6, 0.001, 55 * kDeg, 0, {{21, 3}})});
  const orbtest::RunResult r = orbtest::RunOrbika({"-en" + file, "-nmC:CNV1", "-dt3600"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("Orbika: Warning -> GPS NAVIGATION FILE " + file +
                       ": RECORD OF C30 AT 2020-06-21 00:00:00.0: B-CNAV RECORD OF A GEO "
                       "SATELLITE NOT EVALUATED - RECORD SKIPPED!"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find("#Satellites                  :  C20\n"), std::string::npos) << r.out;
}

TEST(NavigationMessages, ChoiceOfMessages) {
  const struct {
    const char* list;
    const char* error;  // empty: sound
    const char* text;   // the settings' words
  } cases[] = {
      {"G:CNAV,C:CNV1,E:FNAV,J:CNV2,I:LNAV,S:SBAS", "",
       "G:CNAV E:FNAV C:CNV1 J:CNV2 I:LNAV S:SBAS"},
      {"C:D1D2", "", "G:LNAV E:FNAV/INAV C:D1D2 J:LNAV"},
      {"C:CNV2,E:INAV", "", "G:LNAV E:INAV C:CNV2 J:LNAV"},
      {"C:D1", "UNKNOWN MESSAGE C:D1", ""},
      {"G:CNV1", "UNKNOWN MESSAGE G:CNV1", ""},
      {"R:FDMA", "UNKNOWN MESSAGE R:FDMA", ""},
      {"G:CNAV,", "UNKNOWN MESSAGE (EMPTY)", ""},
      {"g:cnav", "UNKNOWN MESSAGE g:cnav", ""},
      {"G:CNAV,G:LNAV", "SYSTEM G NAMED TWICE", ""},
  };
  for (const auto& c : cases) {
    navmsg::Choice choice;
    EXPECT_EQ(choice.Parse(c.list), c.error) << c.list;
    if (c.error[0] == '\0') {
      EXPECT_EQ(choice.Text(), c.text) << c.list;
    }
  }
  // Through the program: a bad list ends the run naming the option; a sound
  // one is named in the settings; a chosen message the file lacks once on
  // standard error.
  const std::string nav = "-en" + orbtest::FixtureDir() + "/nav_mixed4.rnx";
  orbtest::RunResult r = orbtest::RunOrbika({nav, "-nmG:XNAV"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "\n**** Orbika: Error -> NAVIGATION MESSAGES [-nm]: UNKNOWN MESSAGE G:XNAV "
            "(G:LNAV|CNAV|CNV2, J:LNAV|CNAV|CNV2, E:INAV|FNAV, C:D1D2|CNV1|CNV2|CNV3, I:LNAV, "
            "S:SBAS)! ****\n     Exiting Orbika ... \n\n");
  r = orbtest::RunOrbika({nav, "-nmG:LNAV,C:CNV3", "-dt3600", "-prG02"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\n#Navigation messages         : G:LNAV E:FNAV/INAV C:CNV3 J:LNAV\n"),
            std::string::npos)
      << r.out;
  const std::string absent = "\n#### Orbika: Warning -> GPS NAVIGATION FILE " + nav.substr(3) +
                             ": NO C:CNV3 RECORD! ####\n     Continuing Orbika ... \n\n";
  EXPECT_EQ(r.err.substr(0, absent.size()), absent);
  EXPECT_EQ(r.err.find("CNV3", absent.size()), std::string::npos);
}

TEST(NavigationMessages, SbasStateVectors) {
  // S20 at 00:00:00: X 42000 km moving 1 m/s with 0.2 mm/s^2, Y 1000 km at
  // rest; clock 1e-6 s drifting 1e-10 s/s.  At +100 s: X + 100 m + 1 m,
  // clock 1.01e-6 s; at +361 s no record serves (the time-out is 360 s).
  // S23's records have neither velocity nor acceleration: not used.  (The
  // -en file also needs a record of the Keplerian systems.)
  Rec s20{"S20", "SBAS", "2020 06 21 00 00 00", 4,
          {{0, 1e-6}, {1, 1e-10}, {2, 0}, {3, 42000}, {4, 1e-3}, {5, 2e-7}, {6, 0},
           {7, 1000}, {8, 0}, {9, 0}, {10, 2}, {11, 0}, {12, 0}, {13, 0}, {14, 7}}};
  Rec s23 = s20;
  s23.code = "S23";
  s23.set[4] = s23.set[5] = 0;
  const std::string file =
      Nav4({s20, s23, Kepler("G05", "LNAV", 8, 5153.7, 0.01, 55 * kDeg, 30 * kDeg, {})});
  SBASbEph sbas;
  sbas.SetFile(file.c_str());
  const orbtest::RunResult read = orbtest::RunCaptured([&] { sbas.ReadFile(); });
  EXPECT_EQ(read.err, "\n#### Orbika: Warning -> GPS NAVIGATION FILE " + file +
                          ": SBAS RECORDS OF S23 WITHOUT VELOCITY AND ACCELERATION NOT USED! "
                          "####\n     Continuing Orbika ... \n\n");
  sbas.ReadFile();
  xyzt p;
  ASSERT_TRUE(sbas.CalcPosition(420, At(kSunday, 100), At(kSunday, 100), p));
  EXPECT_NEAR(static_cast<double>(p.GetX()), 42000e3 + 101, 1e-6);
  EXPECT_NEAR(static_cast<double>(p.GetY()), 1000e3, 1e-6);
  EXPECT_NEAR(static_cast<double>(p.GetT()), 1.01e-6, 1e-18);
  EXPECT_FALSE(sbas.CalcPosition(423, At(kSunday, 0), At(kSunday, 0), p));
  // Through the program: nan beyond the time-out, named once.
  const orbtest::RunResult r = orbtest::RunOrbika(
      {"-en" + file, "-nmS:SBAS", "-prS20", "-ts2020-06-21,00:00:00", "-te2020-06-21,00:20:00",
       "-dt300", "-csv"});
  EXPECT_EQ(r.status, 0);
  int values = 0, nans = 0;
  for (const std::string& line : orbtest::SplitLines(r.out)) {
    if (line.rfind("2020", 0) != 0) continue;
    const bool nan = line.find(",S20,,,,,,,,nan,") != std::string::npos;
    nans += nan;
    values += !nan;
  }
  EXPECT_EQ(values, 2);  // 00:00 and 00:05
  EXPECT_EQ(nans, 3);
  EXPECT_NE(r.err.find("Orbika: Warning -> S20 2020-06-21T00:10:00.000: NO SBAS RECORD WITHIN "
                       "360 s - BROADCAST COLUMNS WRITTEN AS nan\n"),
            std::string::npos)
      << r.err;
}

TEST(NavigationMessages, ReceiverChoiceNeedsTransmissionTimes) {
  // The hand-made records have no transmission time (blank).
  const std::string file =
      Nav4({Kepler("C20", "CNV1", 10, 5282.6, 0.001, 55 * kDeg, 0, {{21, 3}})});
  const orbtest::RunResult r = orbtest::RunOrbika({"-en" + file, "-nmC:CNV1", "-rx"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** GPSbEph: Error -> GPS NAVIGATION FILE " + file +
                       ": NO RECORD WITH A TRANSMISSION TIME - OPTION -rx CANNOT CHOOSE "
                       "RECORDS! ****\n     Exiting GPSbEph ... \n");
}

namespace {

const char* const kDLR = "setE/BRD400DLR_S_20220010000_01D_MN.rnx.gz";
const char* const kGFZ = "setE/GFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz";

// 3D precise-minus-broadcast distance per satellite and epoch of a -csv run.
std::map<std::string, double> Differences(const std::string& messages) {
  const orbtest::RunResult r = orbtest::RunOrbika(
      {"-csv", "-en" + orbtest::DataFile(kDLR), "-ep" + orbtest::DataFile(kGFZ),
       "-pv" + orbtest::DataFile("igs14_sats_only.atx"), "-nm" + messages, "-dt300"},
      600);
  EXPECT_EQ(r.status, 0);
  std::map<std::string, double> d;
  for (const std::string& line : orbtest::SplitLines(r.out)) {
    std::vector<std::string> f;
    std::stringstream in(line);
    for (std::string s; std::getline(in, s, ',');) f.push_back(s);
    if (f.size() < 21 || f[18].empty() || f[18] == "nan" || f[18] == "dx_m") continue;
    const double x = std::atof(f[18].c_str()), y = std::atof(f[19].c_str()),
                 z = std::atof(f[20].c_str());
    if (std::isfinite(x + y + z)) d[f[3] + f[0]] = std::sqrt(x * x + y * y + z * z);
  }
  return d;
}

// Medians of a and b over the keys both hold that start with prefix.
void CommonMedians(const std::map<std::string, double>& a, const std::map<std::string, double>& b,
                   char prefix, double& ma, double& mb) {
  std::vector<double> va, vb;
  for (const auto& e : a) {
    const auto f = b.find(e.first);
    if (e.first[0] != prefix || f == b.end()) continue;
    va.push_back(e.second);
    vb.push_back(f->second);
  }
  EXPECT_GT(va.size(), 1000u) << prefix;
  ma = Median(va);
  mb = Median(vb);
}

}  // namespace

TEST(NavigationMessages, SetEModernMessagesAgainstPreciseOrbits) {
  ORBIKA_REQUIRE_DATA();
  const auto legacy = Differences("G:LNAV,J:LNAV,C:D1D2");
  const auto cnav = Differences("G:CNAV,J:CNAV,C:CNV1");
  double a, b;
  // GPS and QZSS CNAV within 30% of LNAV on the same satellites and epochs.
  for (char sys : {'G', 'J'}) {
    CommonMedians(legacy, cnav, sys, a, b);
    EXPECT_NEAR(b / a, 1.0, 0.3) << sys << " LNAV " << a << " CNAV " << b;
  }
  // Each B-CNAV message below 1 m on BDS-3 (the satellites D1 shares).
  for (const char* m : {"C:CNV1", "C:CNV2", "C:CNV3"}) {
    CommonMedians(legacy, std::string(m) == "C:CNV1" ? cnav : Differences(m), 'C', a, b);
    EXPECT_LT(b, 1.0) << m << " D1 " << a;
  }
}

TEST(NavigationMessages, SetENavicAndSbasOrbitsAndTheReceiversChoice) {
  ORBIKA_REQUIRE_DATA();
  // NavIC and SBAS (no precise orbit): every position at 35,000-45,000 km
  // from the Earth's centre.
  const orbtest::RunResult r = orbtest::RunOrbika(
      {"-csv", "-en" + orbtest::DataFile(kDLR), "-nmI:LNAV,S:SBAS", "-prI02I04S27S30S48",
       "-dt300"},
      600);
  EXPECT_EQ(r.status, 0);
  int n = 0;
  for (const std::string& line : orbtest::SplitLines(r.out)) {
    std::vector<std::string> f;
    std::stringstream in(line);
    for (std::string s; std::getline(in, s, ',');) f.push_back(s);
    if (f.size() < 14 || f[3] == "sat") continue;
    const double x = std::atof(f[11].c_str()), y = std::atof(f[12].c_str()),
                 z = std::atof(f[13].c_str());
    const double radius = std::sqrt(x * x + y * y + z * z);
    EXPECT_TRUE(radius > 35e6 && radius < 45e6) << line;
    ++n;
  }
  EXPECT_EQ(n, 5 * 288);
  // The receiver's choice over the whole day: every chosen record was
  // transmitted at or before the epoch and holds it in its fit interval.
  GPSbEph nav = Load(orbtest::DataFile(kDLR), "G:CNAV,J:CNAV,C:CNV1,E:FNAV,I:LNAV");
  nav.UseReceiverChoice();
  const matrix<short> sats = nav.GetSatList();
  int chosen = 0, none = 0;
  for (long i = 0; i < sats.Length(); ++i)
    for (int s = 0; s < 86400; s += 300) {
      const mjd t = At(59580, s);
      std::uint32_t row = 0;
      mjd sent;
      if (!nav.ReceiverIndex(static_cast<unsigned short>(sats(i)), t, row)) {
        ++none;
        continue;
      }
      ++chosen;
      ASSERT_TRUE(nav.TransmissionTime(row, sent));
      EXPECT_LE(sent - t, 0.0L) << sats(i) << " " << s;
    }
  EXPECT_GT(chosen, 20 * none);
  // GLONASS likewise, its records within 15 min of the epoch.
  GLNbEph glo;
  glo.SetFile(orbtest::DataFile(kDLR).c_str());
  glo.ReadFile();
  chosen = none = 0;
  for (short slot = 1; slot <= 24; ++slot)
    for (int s = 0; s < 86400; s += 300) {
      const mjd t = At(59580, s);
      int row = 0;
      if (!glo.ReceiverIndex(slot, t, row)) {
        ++none;
        continue;
      }
      ++chosen;
      EXPECT_LE(glo.TransmissionTime(row) - t, 0.0L) << slot << " " << s;
      EXPECT_LE(std::fabs(static_cast<double>(glo.GetMJD(row) - t)), 900.0) << slot << " " << s;
    }
  EXPECT_GT(chosen, 10 * none);
}

TEST(NavigationMessages, RecordsOfOneEpoch) {
  // Two G05 records of one epoch, the later transmission (place 27) first
  // in the file, with their node at 30 and 60 degrees, and no other record
  // of G05: the later transmission is used whichever side of the epoch is
  // asked for, and named once.  E11 has the same pair and a record 1 s
  // later with the 30-degree node: the one agreeing with it (the earlier
  // transmission) is used.  The same record twice (C20) is named not at
  // all.
  const Rec later = Kepler("G05", "LNAV", 8, 5153.7, 0.01, 55 * kDeg, 30 * kDeg, {{27, 100}});
  const Rec earlier = Kepler("G05", "LNAV", 8, 5153.7, 0.01, 55 * kDeg, 60 * kDeg, {{27, 50}});
  Rec damaged = Kepler("E11", "INAV", 8, 5440.6, 0.001, 56 * kDeg, 60 * kDeg, {{27, 100}});
  Rec sound = Kepler("E11", "INAV", 8, 5440.6, 0.001, 56 * kDeg, 30 * kDeg, {{27, 50}});
  Rec next = sound;
  next.epoch = "2020 06 21 00 00 01";
  const Rec c20 = Kepler("C20", "D1", 8, 5282.6, 0.001, 55 * kDeg, 0, {{27, 50}});
  const std::string file = Nav4({later, earlier, damaged, sound, next, c20, c20});
  GPSbEph nav;
  const orbtest::RunResult read =
      orbtest::RunCaptured([&] { nav = Load(file, "G:LNAV,C:D1D2,E:INAV"); });
  EXPECT_EQ(read.out, "");
  std::string warnings;
  for (const char* sat : {"G05", "E11"})
    warnings += "\n#### Orbika: Warning -> GPS NAVIGATION FILE " + file + ": RECORD OF " + sat +
                " AT 2020-06-21 00:00:00.0: TWO DIFFERENT RECORDS WITH THIS EPOCH - THE ONE "
                "AGREEING WITH ITS NEIGHBOUR, ELSE THE LATER TRANSMISSION, USED! ####\n"
                "     Continuing Orbika ... \n\n";
  EXPECT_EQ(read.err, warnings);
  nav = Load(file, "G:LNAV,C:D1D2,E:INAV");
  const struct {
    int satellite;
    double sqrtA, e, i0;
  } cases[] = {{5, 5153.7, 0.01, 55 * kDeg}, {211, 5440.6, 0.001, 56 * kDeg}};
  for (const auto& c : cases) {
    const double r = c.sqrtA * c.sqrtA * (1 - c.e);
    for (double side : {-600.0, 0.0}) {
      const xyzt p = Broadcast(nav, c.satellite, At(kSunday, 0), At(kSunday, side));
      EXPECT_NEAR(static_cast<double>(p.GetX()), -r * std::cos(c.i0) * std::sin(30 * kDeg), 1e-3)
          << c.satellite << " " << side;
    }
  }
  const xyzt p = Broadcast(nav, 5, At(kSunday, 0), At(kSunday, 600));
  EXPECT_NEAR(static_cast<double>(p.GetX()),
              -5153.7 * 5153.7 * 0.99 * std::cos(55 * kDeg) * std::sin(30 * kDeg), 1e-3);
}

TEST(NavigationMessages, SetESbasRecordsJoinAtTheirSwitchEpochs) {
  ORBIKA_REQUIRE_DATA();
  // Where the nearest record changes from one second to the next, the two
  // records' positions at that second differ by the jump a table would
  // show: per satellite its median stays below 10 m (records carrying
  // velocity; the figures are kept as test properties).
  SBASbEph sbas;
  sbas.SetFile(orbtest::DataFile(kDLR).c_str());
  sbas.ReadFile();
  const matrix<short> sats = sbas.GetSatList();
  EXPECT_EQ(sats.Length(), 12);
  for (long i = 0; i < sats.Length(); ++i) {
    const unsigned short st = static_cast<unsigned short>(sats(i));
    std::vector<double> jumps;
    for (int s = 0; s < 86400; ++s) {
      xyzt before, after;
      sbas.CalcPosition(st, At(59580, s + 1), At(59580, s), before);
      sbas.CalcPosition(st, At(59580, s + 1), At(59580, s + 1), after);
      const xyzt d = before - after;
      const double jump = Length(d);
      if (jump > 0) jumps.push_back(jump);
    }
    ASSERT_GT(jumps.size(), 100u) << st;
    const double median = Median(jumps), most = *std::max_element(jumps.begin(), jumps.end());
    char text[64];
    std::snprintf(text, sizeof text, "median %.2f m, max %.1f m, %zu switches", median, most,
                  jumps.size());
    RecordProperty("S" + std::to_string(st - 400), text);
    EXPECT_LT(median, 10.0) << st;
  }
}

// The nominal URA of each index lies in the index's range of IS-GPS-200's
// URA table (metres); index 15 and a fraction give none.  LNAV-like
// records' accuracy is metres already.
TEST(NavigationMessages, AccuracyOfTheUraIndex) {
  const double upper[] = {2.4, 3.4, 4.85, 6.85, 9.65, 13.65, 24, 48,
                          96, 192, 384, 768, 1536, 3072, 6144};
  double lower = 0;
  for (int n = 0; n < 15; ++n) {
    const double ura = static_cast<double>(navmsg::UraMetres(n));
    EXPECT_GT(ura, lower) << n;
    EXPECT_LE(ura, upper[n]) << n;
    lower = upper[n];
  }
  EXPECT_NEAR(static_cast<double>(navmsg::UraMetres(-16)), 1.0 / 128, 1e-15);
  EXPECT_TRUE(std::isnan(navmsg::UraMetres(15)));
  EXPECT_TRUE(std::isnan(navmsg::UraMetres(2.5L)));
  const navmsg::Layout& lnav = *navmsg::LayoutOf('G', navmsg::Kind::LNAV);
  const navmsg::Layout& cnav = *navmsg::LayoutOf('G', navmsg::Kind::CNAV);
  EXPECT_EQ(navmsg::AccuracyMetres(lnav, 2.8L), 2.8L);
  EXPECT_EQ(navmsg::AccuracyMetres(cnav, 2), 4);
  EXPECT_TRUE(std::isnan(navmsg::AccuracyMetres(*navmsg::LayoutOf('C', navmsg::Kind::BCNAV1), 2)));
}
