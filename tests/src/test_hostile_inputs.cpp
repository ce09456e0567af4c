// The built program on hostile and damaged inputs, each made small from a
// case a user met: a header that repeats one line millions of times, precise
// tables with impossible spacing, cut lines or a mistyped epoch, navigation
// records out of any orbit, values as wide as their fields.  Each row gives
// the input, the run, its status and the exact framed text expected on one
// stream; no run prints a position more than 100,000 km from the Earth's
// centre.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/PROGINC/test_compress_util.h"
#include "tests/TestUtil.h"
#include "tests/src/test_cli_text.h"

namespace {

using clitest::Fixture;

// Farthest a satellite of any system may be printed from the Earth's
// centre, m: beyond the highest orbit (about 42,200 km) with room.
constexpr double kFarthest = 1e8;

// One run on a made-up or damaged input.
struct Row {
  const char* name;
  // Writes the input into the folder and returns the run's arguments.
  std::function<std::vector<std::string>(const std::string& dir)> make;
  int status;
  bool onError;      // the text is expected on standard error (else output)
  std::string text;  // exact framed text the stream must hold
  std::size_t maxMessages = 0;  // when not 0: most bytes of reports in all
};

// Writes the file into the folder of the run and returns its name there.
std::string Write(const std::string& dir, const std::string& name, const std::string& text) {
  std::FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
  if (f != nullptr) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  return name;
}

// The text with line n (from 0) replaced, or cut after its first keep
// characters (no line end, nothing after it).
std::string WithLine(const std::string& text, std::size_t n, const std::string& line) {
  std::vector<std::string> lines = orbtest::SplitLines(text);
  lines[n] = line;
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}
std::string CutInLine(const std::string& text, std::size_t n, std::size_t keep) {
  const std::vector<std::string> lines = orbtest::SplitLines(text);
  std::string out;
  for (std::size_t k = 0; k < n; ++k) out += lines[k] + "\n";
  return out + lines[n].substr(0, keep);
}

// An SP3 epoch line for the given seconds after 2009-04-01 00:00:00.
std::string EpochLine(long long seconds) {
  std::tm start{};
  start.tm_year = 109;
  start.tm_mon = 3;
  start.tm_mday = 1;
  const std::time_t t = timegm(&start) + static_cast<std::time_t>(seconds);
  std::tm c{};
  gmtime_r(&t, &c);
  char line[64];
  std::snprintf(line, sizeof line, "*  %4d %2d %2d %2d %2d %2d.00000000", c.tm_year + 1900,
                c.tm_mon + 1, c.tm_mday, c.tm_hour, c.tm_min, c.tm_sec);
  return line;
}

// The small precise table with its epoch lines k * spacing s apart.
std::string Sp3Spaced(const std::string& text, long long spacing) {
  std::vector<std::string> lines = orbtest::SplitLines(text);
  long long k = 0;
  std::string out;
  for (std::string& l : lines) out += (l[0] == '*' ? EpochLine(spacing * k++) : l) + "\n";
  return out;
}

std::vector<std::string> Args(std::vector<std::string> args,
                              const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// The report frames of the navigation readers (standard output).
std::string WarningFrame(const char* origin, const std::string& msg) {
  return std::string("\n#### ") + origin + ": Warning -> " + msg + " ####\n     Continuing " +
         origin + " ... \n";
}
std::string ErrorFrame(const char* origin, const std::string& msg) {
  return std::string("\n**** ") + origin + ": Error -> " + msg + " ****\n     Exiting " +
         origin + " ... \n";
}

// The text with the line of the given label's header line repeated n times
// just before END OF HEADER, blank (no label at all).
std::string WithBlankHeaderLines(const std::string& text, std::size_t n) {
  const std::size_t end = text.find("END OF HEADER");
  const std::size_t at = text.rfind('\n', end) + 1;
  return text.substr(0, at) + std::string(n, '\n') + text.substr(at);
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Bytes of report lines (frames and their blank lines) on both streams.
std::size_t MessageBytes(const std::string& out, const std::string& err) {
  std::size_t n = err.size();
  for (const std::string& line : orbtest::SplitLines(out))
    if (line.empty() || line.rfind("####", 0) == 0 || line.rfind("****", 0) == 0 ||
        line.rfind("     ", 0) == 0)
      n += line.size() + 1;
  return n;
}

// Largest distance from the Earth's centre of a position printed in the
// text table (columns X, Y, Z after the satellite code), m.
double FarthestPrinted(const std::string& out) {
  double far = 0;
  for (const std::string& line : orbtest::SplitLines(out)) {
    if (line.empty() || line[0] == '#' || line[0] != ' ') continue;
    std::istringstream in(line);
    std::string date, clock, mday, msec, prn;
    double x, y, z;
    if (!(in >> date >> clock >> mday >> msec >> prn >> x >> y >> z)) continue;
    far = std::max(far, std::sqrt(x * x + y * y + z * z));
  }
  return far;
}

std::vector<Row> Rows() {
  const std::string gps = orbtest::ReadFileText(Fixture("gps_three.n"));
  const std::vector<std::string> gpsWindow = {"-dt3600", "-ts2009-04-01T02:00:00",
                                              "-te2009-04-01T03:00:00"};
  const std::string sp3 = orbtest::ReadFileText(Fixture("sp3_four_sats.sp3"));
  const std::vector<std::string> sp3Run = {"-dt900", "-prG01"};
  std::vector<Row> rows;
  rows.push_back({"precise epochs 999,999 s apart print nan with one warning",
                  [=](const std::string& dir) {
                    return Args({"-ep" + Write(dir, "wide.sp3", Sp3Spaced(sp3, 999999))}, sp3Run);
                  },
                  0, true,
                  clitest::WarningText("GNSS PRECISE EPHEMERIS FILE wide.sp3: EPOCH INTERVAL "
                                       "999999.000 s WIDER THAN THE 900 s THE INTERPOLATION "
                                       "BEARS - PRECISE COLUMNS ARE WRITTEN AS nan!")});
  rows.push_back({"a precise table cut inside a position line",
                  [=](const std::string& dir) {
                    return Args({"-ep" + Write(dir, "cut.sp3", CutInLine(sp3, 46, 11))}, sp3Run);
                  },
                  0, true,
                  clitest::WarningText(
                      "GNSS PRECISE EPHEMERIS FILE cut.sp3: EPOCH 2009-04-01 01:15:00.00000000 "
                      "(LINE 46): FILE ENDS INSIDE THE RECORD OF G01, WHAT IT LACKS IS MISSING; "
                      "NO RECORD OF 3 LISTED SATELLITES (G02 R01 E11), MISSING HERE!")});
  rows.push_back({"a day typo in the first precise epoch line",
                  [=](const std::string& dir) {
                    return Args({"-ep" + Write(dir, "typo.sp3",
                                               WithLine(sp3, 20, EpochLine(86400)))},
                                sp3Run);
                  },
                  0, true,
                  clitest::WarningText(
                      "GNSS PRECISE EPHEMERIS FILE typo.sp3: EPOCH 2009-04-02 00:00:00.00000000 "
                      "(LINE 21) BREAKS THE SEQUENCE OF THE BLOCKS AFTER IT - BLOCK PLACED AT "
                      "2009-04-01 00:00:00.00000000, AS THE HEADER SAYS!")});
  rows.push_back({"a gzip header of 300,000 blank lines warns once with a count",
                  [=](const std::string& dir) {
                    std::vector<std::string> args = {
                        "-en" + Write(dir, "blank.n.gz",
                                      packed::Gzip(WithBlankHeaderLines(gps, 300000), 9))};
                    args.insert(args.end(), gpsWindow.begin(), gpsWindow.end());
                    return args;
                  },
                  0, false,
                  WarningFrame("GPSbEphHeader",
                               " -> UNKNOWN HEADER LABEL (LINE 9, AND 299999 LINES MORE OF THIS "
                               "KIND)"),
                  10000});
  rows.push_back({"a precise position 999,999,999.9997 km from the Earth's centre",
                  [=](const std::string& dir) {
                    const std::string far = WithLine(
                        sp3, 21,
                        "PG01  26560.000000999999999.9997      0.000000    100.000000 10 11 12 123");
                    return Args({"-ep" + Write(dir, "far.sp3", far)}, sp3Run);
                  },
                  0, true,
                  clitest::WarningText(
                      "GNSS PRECISE EPHEMERIS FILE far.sp3: EPOCH 2009-04-01 00:00:00.00000000 "
                      "(LINE 21): POSITIONS FARTHER THAN 100000 KM FROM THE EARTH'S CENTRE (G01), "
                      "MISSING HERE!")});

  rows.push_back({"a GPS record of eccentricity 0.9 is skipped with one warning",
                  [=](const std::string& dir) {
                    std::string t = gps;
                    t.replace(t.find(" 0.904141401406E-02"), 19, " 0.900000000000E+00");
                    return Args({"-en" + Write(dir, "ecc.n", t)}, gpsWindow);
                  },
                  0, true,
                  clitest::WarningText("GPS NAVIGATION FILE ecc.n: RECORD OF G17 AT 2009-04-01 "
                                       "02:00:00.0: ECCENTRICITY 0.9 NOT IN [0, 0.5) - RECORD "
                                       "SKIPPED!")});

  const std::string glo = orbtest::ReadFileText(Fixture("glo_leap2012.g"));
  const std::size_t x = glo.find(" 0.180450601454D+04");  // X of the first record, km
  const std::vector<std::string> gloRun = {"-dt900", "-te2012-07-01T00:00:00"};
  rows.push_back({"a GLONASS record 100,000 km out is skipped",
                  [=](const std::string& dir) {
                    std::string t = glo;
                    t.replace(x, 19, " 0.100000000000D+06");
                    return Args({"-eg" + Write(dir, "far.g", t)}, gloRun);
                  },
                  0, true,
                  clitest::WarningText(
                      "GLONASS NAVIGATION FILE far.g: RECORD OF R01 AT 2012-06-30 23:45:00.0: "
                      "DISTANCE FROM THE EARTH'S CENTRE 103187 km NOT IN 10000-60000 km - RECORD "
                      "SKIPPED!")});
  rows.push_back({"a stray E inside a GLONASS field is a bad number, not a shift",
                  [=](const std::string& dir) {
                    std::string t = glo;
                    t.replace(x, 19, " 0.1804506E1454D+04");
                    return Args({"-eg" + Write(dir, "stray.g", t)}, gloRun);
                  },
                  1, false,
                  ErrorFrame("GLNbEph", "GLONASS NAVIGATION FILE stray.g: BAD NUMBER IN RECORD 1!")});

  const std::string mixed = orbtest::ReadFileText(Fixture("nav_mixed3.rnx"));
  const std::vector<std::string> mixedRun = {"-prG02", "-dt3600", "-te2009-04-01T01:00:00"};
  rows.push_back({"a blank L2 P flag of a RINEX 3 GPS record is not needed",
                  [=](const std::string& dir) {
                    const std::string line = orbtest::SplitLines(mixed)[20];
                    return Args({"-en" + Write(dir, "flag.rnx", WithLine(mixed, 20, line.substr(0, 61)))},
                                mixedRun);
                  },
                  0, false, "\n 2009-04-01 00:00:00.0   54922     0.0     G02 "});
  rows.push_back({"a RINEX 3 file cut inside a continuation line",
                  [=](const std::string& dir) {
                    return Args({"-en" + Write(dir, "cut.rnx", mixed.substr(0, 5706))}, mixedRun);
                  },
                  0, false,
                  WarningFrame("GPSbEph",
                               "GPS NAVIGATION FILE cut.rnx: FILE ENDS INSIDE RECORD 11, RECORD "
                               "DROPPED!")});
  return rows;
}

TEST(HostileInputs, EachEndsAsAUserExpects) {
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.name);
    const std::string dir = orbtest::MakeTempDir();
    const orbtest::RunResult r = orbtest::RunOrbika(row.make(dir), 60, dir);
    EXPECT_EQ(r.status, row.status) << r.out.substr(0, 3000) << r.err.substr(0, 3000);
    // The text, once: readers say each thing once per run.
    const std::string& stream = row.onError ? r.err : r.out;
    EXPECT_EQ(Count(stream, row.text), 1u) << stream.substr(0, 3000);
    if (row.maxMessages != 0) {
      EXPECT_LT(MessageBytes(r.out, r.err), row.maxMessages);
    }
    EXPECT_LT(FarthestPrinted(r.out), kFarthest);
  }
}

// A reader's error reaches standard error when standard output cannot take
// it.
TEST(HostileInputs, ReaderErrorReachesStandardErrorWhenOutputIsFull) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  const std::string dir = orbtest::MakeTempDir();
  const std::string gps = orbtest::ReadFileText(Fixture("gps_three.n"));
  const std::string path = Write(dir, "noend.n", gps.substr(0, gps.find("END OF HEADER") - 60));
  const orbtest::RunResult r = orbtest::RunOrbika({"-en" + path}, 60, dir, [](std::vector<std::string>&) {
    const int fd = open("/dev/full", O_WRONLY);
    dup2(fd, 1);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "\n**** GPSbEph: Error -> GPS NAVIGATION FILE " + path +
                       ": END OF HEADER NOT FOUND! ****\n     Exiting GPSbEph ... \n");
}

}  // namespace
