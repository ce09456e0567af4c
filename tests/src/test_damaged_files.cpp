// The built program on damaged input files, as they arrive after failed
// downloads and careless editing: cut short, bytes overwritten, lines
// doubled, lost or repeated many times, Windows line ends, empty files,
// folders named as files and cut gzip files.  Every run must end by itself
// within seconds with status 0 or 1, status 1 with a framed error report,
// never with the container's index report or a sanitizer report; Windows
// line ends must change nothing at all.
#include <chrono>
#include <cstdint>
#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/TestUtil.h"
#include "tests/PROGINC/test_compress_util.h"
#include "tests/src/test_cli_text.h"
#include "tests/src/test_damaged_util.h"

namespace {

using damaged::ExpectSound;
using damaged::Kind;
using damaged::RunOn;
using damaged::Variant;

// Variants of text: each a label and the damaged text.  scale < 1 keeps
// fewer of them (sanitizer builds run several times slower).
std::vector<Variant> Variants(const std::string& text, double scale) {
  std::vector<Variant> out;
  const std::vector<std::size_t> starts = damaged::LineStarts(text);
  const std::size_t nlines = starts.size();
  const auto count = [&](std::size_t n) {
    const std::size_t k = static_cast<std::size_t>(static_cast<double>(n) * scale);
    return k < 1 ? 1 : k;
  };
  damaged::Lcg rnd(20090401);

  // Cut: at line starts and in the middle of lines, spread over the file.
  const std::size_t ncuts = count(text.size() < 8000 ? 2 * nlines : 24);
  for (std::size_t c = 0; c < ncuts; ++c) {
    std::size_t at;
    if (text.size() < 8000) {
      const std::size_t line = (c / 2) % nlines;
      const std::size_t end = line + 1 < nlines ? starts[line + 1] : text.size();
      at = c % 2 == 0 ? starts[line] : (starts[line] + end) / 2;
    } else {
      at = (text.size() * (c + 1)) / (ncuts + 1) + rnd.Below(80);
    }
    if (at > text.size()) at = text.size();
    out.push_back({"cut at byte " + std::to_string(at), text.substr(0, at)});
  }

  // Bytes overwritten, one at a time, with characters that matter to the
  // readers.
  static const char kBytes[] = {' ', '9', '-', 'X', '.', '\t', 'D', '*', '+', '\0', 'P', '\n'};
  for (std::size_t c = 0; c < count(36); ++c) {
    const std::size_t at = rnd.Below(text.size());
    std::string t = text;
    t[at] = kBytes[c % sizeof kBytes];
    out.push_back({"byte " + std::to_string(at) + " overwritten", t});
  }
  // A run of bytes overwritten, as a failed transfer leaves them.
  for (std::size_t c = 0; c < count(6); ++c) {
    const std::size_t at = rnd.Below(text.size());
    std::string t = text;
    for (std::size_t i = at; i < t.size() && i < at + 100; ++i) t[i] = '\0';
    out.push_back({"100 NULs from byte " + std::to_string(at), t});
  }

  // Lines doubled, lost, and one line repeated many times.
  for (std::size_t c = 0; c < count(12); ++c) {
    const std::size_t line = rnd.Below(nlines);
    out.push_back({"line " + std::to_string(line + 1) + " doubled",
                   damaged::RepeatLine(text, starts, line, 2)});
    out.push_back({"line " + std::to_string(line + 1) + " lost",
                   damaged::RepeatLine(text, starts, line, 0)});
  }
  for (std::size_t c = 0; c < count(3); ++c) {
    const std::size_t line = rnd.Below(nlines);
    out.push_back({"line " + std::to_string(line + 1) + " repeated 1000 times",
                   damaged::RepeatLine(text, starts, line, 1000)});
  }
  return out;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr double kScale = 0.25;
#else
constexpr double kScale = 1.0;
#endif

// Every variant of the file's text, run as the given kind of file.
void CheckVariants(const Kind& kind, const std::string& file, double scale) {
  const std::string text = orbtest::ReadFileText(file);
  ASSERT_FALSE(text.empty()) << file;
  const std::string dir = orbtest::MakeTempDir();
  const std::string path = dir + "/" + damaged::BaseName(file);
  int ended[2] = {0, 0};
  for (const Variant& v : Variants(text, scale)) {
    damaged::WriteFile(path, v.text);
    const damaged::Outcome o = RunOn(kind, path);
    ExpectSound(o, kind.name + " " + damaged::BaseName(file) + ", " + v.label);
    if (o.status == 0 || o.status == 1) ++ended[o.status];
  }
  // Some damage is survived and some is fatal: the runs did read the file.
  EXPECT_GT(ended[0], 0) << file;
  EXPECT_GT(ended[1], 0) << file;
}

// The same file with CR LF line ends gives the same output, messages and
// status byte for byte.
void CheckCrlf(const Kind& kind, const std::string& file) {
  std::string text = orbtest::ReadFileText(file);
  ASSERT_FALSE(text.empty()) << file;
  const std::string dir = orbtest::MakeTempDir();
  const std::string path = dir + "/" + damaged::BaseName(file);
  damaged::WriteFile(path, text);
  const damaged::Outcome lf = RunOn(kind, path);
  ExpectSound(lf, kind.name + " " + file);
  damaged::WriteFile(path, damaged::WithCrlf(text));
  const damaged::Outcome crlf = RunOn(kind, path);
  EXPECT_EQ(crlf.status, lf.status) << file;
  EXPECT_EQ(crlf.out, lf.out) << file;
  EXPECT_EQ(crlf.err, lf.err) << file;
}

std::string Fixture(const std::string& name) { return orbtest::FixtureDir() + "/" + name; }

TEST(DamagedFiles, GpsNavigationFixture) {
  CheckVariants(damaged::GpsNav(), Fixture("gps_three.n"), kScale);
}

TEST(DamagedFiles, GlonassNavigationFixture) {
  CheckVariants(damaged::GlonassNav(), Fixture("glo_leap2012.g"), kScale);
}

TEST(DamagedFiles, Rinex3And4NavigationFixtures) {
  CheckVariants(damaged::GpsNav(), Fixture("nav_mixed3.rnx"), kScale / 2);
  CheckVariants(damaged::GlonassNav(), Fixture("nav_mixed3.rnx"), kScale / 2);
  CheckVariants(damaged::GpsNav(), Fixture("nav_mixed4.rnx"), kScale / 2);
  CheckVariants(damaged::GlonassNav(), Fixture("nav_mixed4.rnx"), kScale / 2);
}

TEST(DamagedFiles, PreciseEphemerisFixture) {
  CheckVariants(damaged::Precise(), Fixture("sp3_four_sats.sp3"), kScale);
}

TEST(DamagedFiles, AntexFixtures) {
  CheckVariants(damaged::Antex(), Fixture("antex_mixed.atx"), kScale);
  // Satellites of every system and block names without a code.
  CheckVariants(damaged::Antex(), Fixture("antex_systems.atx"), kScale);
}

TEST(DamagedFiles, GpsNavigationRealFiles) {
  ORBIKA_REQUIRE_DATA();
  CheckVariants(damaged::GpsNav(), orbtest::DataFile("brdc0910.09n"), kScale / 2);
  CheckVariants(damaged::GpsNav(), orbtest::DataFile("brdc1180.21n"), kScale / 2);
}

TEST(DamagedFiles, GlonassNavigationRealFile) {
  ORBIKA_REQUIRE_DATA();
  CheckVariants(damaged::GlonassNav(), orbtest::DataFile("brdc0910.09g"), kScale / 2);
}

TEST(DamagedFiles, PreciseEphemerisRealFiles) {
  ORBIKA_REQUIRE_DATA();
  CheckVariants(damaged::Precise(), orbtest::DataFile("esa15253.sp3"), kScale / 2);
  CheckVariants(damaged::Precise(), orbtest::DataFile("igl15253.sp3"), kScale / 4);
  CheckVariants(damaged::Precise(), orbtest::DataFile("grg21553.sp3"), kScale / 4);
}

TEST(DamagedFiles, AntexRealFile) {
  ORBIKA_REQUIRE_DATA();
  CheckVariants(damaged::Antex(), orbtest::DataFile("igs05.atx"), kScale / 4);
}

TEST(DamagedFiles, CrlfReadsLikeLfOnFixtures) {
  CheckCrlf(damaged::GpsNav(), Fixture("gps_three.n"));
  CheckCrlf(damaged::GlonassNav(), Fixture("glo_leap2012.g"));
  CheckCrlf(damaged::GpsNav(), Fixture("nav_mixed4.rnx"));
  CheckCrlf(damaged::GlonassNav(), Fixture("nav_mixed3.rnx"));
  CheckCrlf(damaged::Precise(), Fixture("sp3_four_sats.sp3"));
  CheckCrlf(damaged::Antex(), Fixture("antex_mixed.atx"));
  CheckCrlf(damaged::Antex(), Fixture("antex_systems.atx"));
}

TEST(DamagedFiles, CrlfReadsLikeLfOnRealFiles) {
  ORBIKA_REQUIRE_DATA();
  CheckCrlf(damaged::GpsNav(), orbtest::DataFile("brdc0910.09n"));
  CheckCrlf(damaged::GpsNav(), orbtest::DataFile("brdc1180.21n"));
  CheckCrlf(damaged::GlonassNav(), orbtest::DataFile("brdc0910.09g"));
  CheckCrlf(damaged::Precise(), orbtest::DataFile("esa15253.sp3"));
  CheckCrlf(damaged::Precise(), orbtest::DataFile("igl15253.sp3"));
  CheckCrlf(damaged::Precise(), orbtest::DataFile("grg21553.sp3"));
  CheckCrlf(damaged::Antex(), orbtest::DataFile("igs05.atx"));
}

TEST(DamagedFiles, CrlfDamagedVariantsReadLikeLf) {
  // Damage and line ends together: cuts and doubled lines of the fixtures,
  // each with both line ends.
  const std::string dir = orbtest::MakeTempDir();
  const struct {
    Kind kind;
    const char* file;
  } cases[] = {{damaged::GpsNav(), "gps_three.n"},
               {damaged::GlonassNav(), "glo_leap2012.g"},
               {damaged::Precise(), "sp3_four_sats.sp3"}};
  for (const auto& c : cases) {
    const std::string text = orbtest::ReadFileText(Fixture(c.file));
    const std::string path = dir + "/" + c.file;
    std::size_t n = 0;
    for (const Variant& v : Variants(text, kScale / 2)) {
      if (++n % 3 != 0) continue;
      damaged::WriteFile(path, v.text);
      const damaged::Outcome lf = RunOn(c.kind, path);
      damaged::WriteFile(path, damaged::WithCrlf(v.text));
      const damaged::Outcome crlf = RunOn(c.kind, path);
      EXPECT_EQ(crlf.status, lf.status) << c.file << ", " << v.label;
      EXPECT_EQ(crlf.out, lf.out) << c.file << ", " << v.label;
      EXPECT_EQ(crlf.err, lf.err) << c.file << ", " << v.label;
    }
  }
}

TEST(DamagedFiles, CutGzipFiles) {
  // Cut anywhere from just after its first two bytes to one byte short, a
  // gzip file ends the run with the report naming it.
  constexpr std::size_t kCuts = 8;
  const std::string dir = orbtest::MakeTempDir();
  const struct {
    Kind kind;
    const char* file;
  } cases[] = {{damaged::GpsNav(), "gps_three.n"},
               {damaged::GlonassNav(), "glo_leap2012.g"},
               {damaged::Precise(), "sp3_four_sats.sp3"},
               {damaged::Antex(), "antex_mixed.atx"}};
  for (const auto& c : cases) {
    const std::string gz = packed::Gzip(orbtest::ReadFileText(Fixture(c.file)));
    const std::string path = dir + "/" + c.file + ".gz";
    for (std::size_t k = 0; k < kCuts; ++k) {
      const std::size_t at = 2 + (gz.size() - 3) * k / (kCuts - 1);
      damaged::WriteFile(path, gz.substr(0, at));
      const damaged::Outcome o = RunOn(c.kind, path);
      const std::string what = std::string(c.file) + ".gz cut at byte " + std::to_string(at);
      ExpectSound(o, what);
      EXPECT_EQ(o.status, 1) << what;
      EXPECT_NE(o.err.find("COMPRESSED FILE " + path + ": GZIP DATA CUT SHORT!"),
                std::string::npos)
          << what << "\n" << o.err;
    }
  }
}

TEST(DamagedFiles, EmptyFilesAndFoldersAsFiles) {
  const std::string dir = orbtest::MakeTempDir();
  const std::string empty = orbtest::WriteTempFile("");
  const std::string blank = orbtest::WriteTempFile("\n\n\r\n   \n");
  for (const Kind& kind :
       {damaged::GpsNav(), damaged::GlonassNav(), damaged::Precise(), damaged::Antex()}) {
    ExpectSound(RunOn(kind, empty), kind.name + " empty file");
    ExpectSound(RunOn(kind, blank), kind.name + " blank lines");
    ExpectSound(RunOn(kind, dir), kind.name + " folder");
  }
  // A folder named as the only ephemeris file is a file that cannot be
  // opened: a warning, then the run has nothing to compute from.
  const damaged::Outcome r = RunOn(damaged::GpsNav(), dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("GPS NAVIGATION FILE CAN NOT BE OPENED: " + dir + "!"), std::string::npos)
      << r.err;
}

TEST(DamagedFiles, HeaderOnlyAndHeaderWithoutEnd) {
  const std::string gps = orbtest::ReadFileText(Fixture("gps_three.n"));
  const std::size_t end = gps.find("END OF HEADER");
  ASSERT_NE(end, std::string::npos);
  const std::string header = gps.substr(0, gps.find('\n', end) + 1);
  const damaged::Outcome only = RunOn(damaged::GpsNav(), orbtest::WriteTempFile(header));
  ExpectSound(only, "header only");
  EXPECT_EQ(only.status, 1);
  EXPECT_NE(only.out.find("#### GPSbEphData: Error -> NUMBER OF RECORDS not set! ####"),
            std::string::npos)
      << only.out;

  std::string noEnd = gps;
  noEnd.replace(end, 13, "END OF HEADEX");
  const damaged::Outcome r = RunOn(damaged::GpsNav(), orbtest::WriteTempFile(noEnd));
  ExpectSound(r, "no END OF HEADER");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find(": END OF HEADER NOT FOUND! ****"), std::string::npos) << r.out;
}

}  // namespace

namespace {

// Text of a fixture with line `line` (1-based) replaced by `with` lines.
std::string Edited(const std::string& name, std::size_t line,
                   const std::vector<std::string>& with) {
  const std::string text = orbtest::ReadFileText(Fixture(name));
  const std::vector<std::size_t> starts = damaged::LineStarts(text);
  const std::size_t from = starts.at(line - 1);
  const std::size_t to = line < starts.size() ? starts[line] : text.size();
  std::string out = text.substr(0, from);
  for (const std::string& w : with) out += w + "\n";
  return out + text.substr(to);
}

std::string LineOf(const std::string& name, std::size_t line) {
  const std::vector<std::string> lines = orbtest::SplitLines(orbtest::ReadFileText(Fixture(name)));
  return lines.at(line - 1);
}

// Result lines of satellite code (e.g. "R01") in a run's output.
std::vector<std::string> ResultLines(const std::string& out, const std::string& code) {
  std::vector<std::string> found;
  for (const std::string& l : orbtest::SplitLines(out))
    if (!l.empty() && l[0] != '#' && l.find(" " + code + " ") != std::string::npos)
      found.push_back(l);
  return found;
}

// The small precise table: 20 header lines, then blocks of an epoch line
// and the records of G01, G02, R01, E11 (lines 21-25 hold epoch 1).
constexpr const char* kSp3 = "sp3_four_sats.sp3";

damaged::Outcome RunSp3Text(const std::string& text, std::string& path) {
  path = orbtest::WriteTempFile(text, ".sp3");
  return RunOn(damaged::Precise(), path);
}

TEST(DamageReported, PreciseRecordDamageCostsOnlyItsSatellite) {
  // A doubled record (inside or at the end of a block) is skipped; a lost
  // one leaves only its satellite missing there.  Other records keep their
  // satellites either way.
  struct Case {
    const char* what;
    std::size_t line;  // of the fixture (lines 22-25 hold epoch 1's records)
    bool doubled;      // else lost
    const char* warning;
    const char* missing;  // satellite whose first epoch turns nan, or ""
  };
  const Case cases[] = {
      {"doubled record", 22, true, "REPEATED RECORDS SKIPPED (G01)!", ""},
      {"lost record", 23, false, "NO RECORD OF 1 LISTED SATELLITE (G02), MISSING HERE!", "G02"},
      {"doubled last record", 25, true, "REPEATED RECORDS SKIPPED (E11)!", ""},
  };
  std::string good;
  const damaged::Outcome base = RunSp3Text(orbtest::ReadFileText(Fixture(kSp3)), good);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> with;
    if (c.doubled) with = {LineOf(kSp3, c.line), LineOf(kSp3, c.line)};
    std::string path;
    const damaged::Outcome o = RunSp3Text(Edited(kSp3, c.line, with), path);
    ExpectSound(o, c.what);
    ASSERT_EQ(o.status, 0);
    EXPECT_NE(o.err.find("#### Orbika: Warning -> GNSS PRECISE EPHEMERIS FILE " + path +
                         ": EPOCH 2009-04-01 00:00:00.00000000 (LINE 21): " + c.warning + " ####"),
              std::string::npos)
        << o.err;
    for (const char* code : {"G01", "G02", "R01", "E11"}) {
      const std::vector<std::string> got = ResultLines(o.out, code);
      if (std::string(code) != c.missing) {
        EXPECT_EQ(got, ResultLines(base.out, code)) << code;
      } else {
        ASSERT_FALSE(got.empty());
        EXPECT_NE(got.front().find("nan"), std::string::npos) << got.front();
      }
    }
  }
}

TEST(DamageReported, PreciseVelocityRecordsAreSkipped) {
  // A velocity record after each position record takes no place of the list.
  std::string text = orbtest::ReadFileText(Fixture(kSp3)), withV;
  for (const std::string& l : orbtest::SplitLines(text)) {
    withV += l + "\n";
    if (l.rfind("P", 0) == 0)
      withV += "V" + l.substr(1, 3) + "  12345.678901  -2345.678901   3456.789012 999999.999999\n";
  }
  std::string good, vpath;
  const damaged::Outcome base = RunSp3Text(text, good);
  const damaged::Outcome o = RunSp3Text(withV, vpath);
  ExpectSound(o, "velocity records");
  ASSERT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  for (const char* code : {"G01", "G02", "R01", "E11"})
    EXPECT_EQ(ResultLines(o.out, code), ResultLines(base.out, code)) << code;
}

TEST(DamageReported, PreciseFileCutInItsLastEpoch) {
  const std::string text = orbtest::ReadFileText(Fixture(kSp3));
  const std::size_t last = text.rfind("\n*");
  ASSERT_NE(last, std::string::npos);
  std::string path;
  // The epoch line and one record of the last epoch remain.
  const std::size_t cut = text.find('\n', text.find('\n', last + 1) + 1) + 1;
  const damaged::Outcome o = RunSp3Text(text.substr(0, cut), path);
  ExpectSound(o, "cut in the last epoch");
  ASSERT_EQ(o.status, 0);
  EXPECT_NE(o.err.find("GNSS PRECISE EPHEMERIS FILE " + path +
                       ": EPOCH 2009-04-01 01:15:00.00000000 (LINE 46): NO RECORD OF 3 LISTED "
                       "SATELLITES (G02 R01 E11), MISSING HERE! ####"),
            std::string::npos)
      << o.err;
}

TEST(DamageReported, NavigationSatelliteNumberOutsideTwoDigitsIsFatal) {
  // PRN 0 and a number that is no two-digit field would be taken for
  // satellites of other systems further on.
  const struct {
    const char* fixture;
    std::size_t line;
    const char* from;
    const char* to;
    Kind kind;
    const char* report;
  } cases[] = {
      {"gps_three.n", 18, " 2 09", " 0 09", damaged::GpsNav(),
       "**** GPSbEph: Error -> GPS NAVIGATION FILE %s: SATELLITE NUMBER NOT IN 1-99 IN "
       "RECORD 2! ****"},
      {"gps_three.n", 18, " 2 09", "150 09", damaged::GpsNav(),
       "**** GPSbEph: Error -> GPS NAVIGATION FILE %s: SATELLITE NUMBER NOT IN 1-99 IN "
       "RECORD 2! ****"},
      {"glo_leap2012.g", 7, " 1 12", "-1 12", damaged::GlonassNav(),
       "**** GLNbEph: Error -> GLONASS NAVIGATION FILE %s: SATELLITE NUMBER NOT IN 1-99 IN "
       "RECORD 1! ****"},
  };
  for (const auto& c : cases) {
    std::string line = LineOf(c.fixture, c.line);
    ASSERT_EQ(line.rfind(c.from, 0), 0u) << line;
    line.replace(0, std::string(c.from).size(), c.to);
    const std::string path = orbtest::WriteTempFile(Edited(c.fixture, c.line, {line}));
    const damaged::Outcome o = RunOn(c.kind, path);
    ExpectSound(o, c.to);
    EXPECT_EQ(o.status, 1);
    std::string report = c.report;
    report.replace(report.find("%s"), 2, path);
    EXPECT_NE(o.out.find(report), std::string::npos) << o.out;
  }
}

}  // namespace

namespace {

TEST(DamageReported, GlonassRecordAYearAwayDoesNotMoveTheWindow) {
  // The first record dated a year late: the window is the day of most
  // records, whose records serve every satellite, R01's too.
  std::string line = LineOf("glo_leap2012.g", 7);
  ASSERT_EQ(line.rfind(" 1 12  6 30 23 45", 0), 0u) << line;
  line.replace(0, 5, " 1 13");
  const std::string path = orbtest::WriteTempFile(Edited("glo_leap2012.g", 7, {line}));
  const damaged::Outcome o = RunOn(damaged::GlonassNav(), path);
  ExpectSound(o, "record a year away");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_NE(o.out.find(" 2012-07-01 00:00:00.0   56109     0.0     R01    -5461635.355"),
            std::string::npos)
      << o.out;
  EXPECT_EQ(o.out.find("nan"), std::string::npos) << o.out;
}

}  // namespace

namespace {

// ---- Broadcast records a user can trust: crafted copies of real files ----

using Mutation = std::function<std::string(const std::string&)>;

// Offset of the first line, at or after `from` (default: the first record),
// of a record of satellite code ("G05", "E01") in a navigation file's text:
// " 5 09" in version 2, "E01 " in version 3; the text's size when none.
std::size_t RecordOf(const std::string& text, const std::string& code, bool rinex2,
                     std::size_t from = 0) {
  const std::string start =
      rinex2 ? (code[1] == '0' ? " " + code.substr(2) : code.substr(1)) + " " : code + " ";
  std::size_t at = std::max(from, text.find('\n', text.find("END OF HEADER")) + 1);
  while (at < text.size() && text.compare(at, start.size(), start) != 0)
    at = text.find('\n', at) + 1;
  return std::min(at, text.size());
}

// The orbit fields rows damage: continuation line and field (0-3).
struct Field {
  int line, k;
};
constexpr Field kM0 = {1, 3}, kEccentricity = {2, 1}, kSqrtA = {2, 3};

// The first (or every) record of code with fields set to 19-character texts.
Mutation SetFields(const std::string& code, bool rinex2, bool every,
                   const std::vector<std::pair<Field, std::string>>& fields) {
  return [=](std::string text) {
    for (std::size_t at = RecordOf(text, code, rinex2); at < text.size();
         at = RecordOf(text, code, rinex2, text.find('\n', at) + 1)) {
      for (const auto& f : fields) {
        std::size_t line = at;
        for (int l = 0; l < f.first.line; ++l) line = text.find('\n', line) + 1;
        text.replace(line + (rinex2 ? 3 : 4) + 19 * static_cast<std::size_t>(f.first.k), 19,
                     f.second);
      }
      if (!every) break;
    }
    return text;
  };
}

// A copy of code's first record (version 2, 8 lines) with its epoch text
// ("09  4  2  0  0  0.0") placed before the first record of the file.
Mutation CopyFirstRecordFirst(const std::string& code, const std::string& epoch) {
  return [=](const std::string& text) {
    const std::size_t at = RecordOf(text, code, true);
    std::size_t end = at;
    for (int l = 0; l < 8; ++l) end = text.find('\n', end) + 1;
    std::string copy = text.substr(at, end - at);
    copy.replace(3, epoch.size(), epoch);
    const std::size_t body = text.find('\n', text.find("END OF HEADER")) + 1;
    return text.substr(0, body) + copy + text.substr(body);
  };
}

Mutation Version(const std::string& nine) {
  return [=](std::string text) { return text.replace(0, 9, nine); };
}

TEST(TrustedBroadcast, CraftedCopiesOfRealNavigationFiles) {
  ORBIKA_REQUIRE_DATA();
  const std::string gps = orbtest::DataFile("brdc0910.09n"), glo = orbtest::DataFile("brdc0910.09g");
  const std::string sp3 = "-ep" + orbtest::DataFile("esa15253.sp3");
  const std::string mixed = orbtest::DataFile("setC/BRDC00IGS_R_20201360000_01D_MN.rnx");
  const std::string station = orbtest::DataFile("setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
  const Mutation same = [](const std::string& text) { return text; };
  const std::string g05 = "GPS NAVIGATION FILE %s: RECORD OF G05 AT 2009-04-01 00:00:00.0: ";
  enum Stream { Out, Err, OutExactly, SameRecords };
  const struct {
    const char* what;
    std::string file, option;
    Mutation mutate;
    std::vector<std::string> args;
    int status;
    Stream stream;
    std::string text;  // %s: the crafted file
  } rows[] = {
      {"eccentricity 0.95", mixed, "-en", SetFields("E01", false, false, {{kEccentricity,
       " 9.500000000000E-01"}}), {"-prE01"}, 0, Err,
       "#### Orbika: Warning -> GPS NAVIGATION FILE %s: RECORD OF E01 AT 2020-05-15 00:00:00.0: "
       "ECCENTRICITY 0.95 NOT IN [0, 0.5) - RECORD SKIPPED! ####"},
      {"semi-major axis 1 m", gps, "-en", SetFields("G05", true, false, {{kSqrtA,
       " 0.100000000000E+01"}}), {"-prG05"}, 0, Err,
       "#### Orbika: Warning -> " + g05 + "SEMI-MAJOR AXIS 0.001 km NOT IN 10000-60000 km - "
       "RECORD SKIPPED! ####"},
      {"every record of G05 skipped", gps, "-en", SetFields("G05", true, true, {{kSqrtA,
       " 0.100000000000E+01"}}), {"-prG05"}, 1, Out,
       "**** GPSbEph: Error -> SAT: G05 IS NOT LISTED IN GPS NAVIGATION FILE %s!!! ****"},
      // G05 is not in the precise file either.
      {"every record of G05 skipped, beside a precise file", gps, "-en", SetFields("G05", true,
       true, {{kSqrtA, " 0.100000000000E+01"}}), {sp3, "-prG05G12"}, 0, Err,
       "#### Orbika: Warning -> SAT: G05 (GPS) IS NOT LISTED IN ANY LOADED FILE - ITS COLUMNS "
       "WRITTEN AS nan! ####"},
      {"Kepler's equation unsolved", gps, "-en", SetFields("G05", true, false, {{kEccentricity,
       " 0.499900000000E+00"}, {kM0, " 0.100000000000E+09"}}), {"-prG05"}, 0, Err,
       "#### Orbika: Warning -> " + g05 + "KEPLER'S EQUATION NOT SOLVED - BROADCAST COLUMNS "
       "WRITTEN AS nan! ####"},
      {"a record of the next day listed first", gps, "-en", CopyFirstRecordFirst("G05",
       "09  4  2  0  0  0.0"), {"-prG05", "-te2009-04-01,12:00:00"}, 0, SameRecords, ""},
      {"a first record at 23:59:44 of the day before", gps, "-en", CopyFirstRecordFirst("G05",
       "09  3 31 23 59 44.0"), {"-prG05"}, 0, Out,
       "#Start epoch                 :  2009-04-01 00:00:00.000"},
      {"a station file beginning the day before", station, "-en", same, {"-dt3600"}, 0, Out,
       "#Start epoch                 :  2020-06-25 00:00:00.000"},
      {"RINEX version 5", gps, "-en", Version("     5.00"), {}, 1, OutExactly,
       "\n**** GPSbEph: Error -> GPS NAVIGATION FILE %s: RINEX VERSION 5.00 NOT READ [2.x, 3.x "
       "OR 4.x]! ****\n     Exiting GPSbEph ... \n"},
      {"RINEX version -3", glo, "-eg", Version("       -3"), {}, 1, OutExactly,
       "\n**** GLNbEph: Error -> GLONASS NAVIGATION FILE %s: RINEX VERSION -3.00 NOT READ [2.x, "
       "3.x OR 4.x]! ****\n     Exiting GLNbEph ... \n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    const std::string original = orbtest::ReadFileText(r.file);
    const std::string suffix = r.file.substr(r.file.size() - 3) == ".gz" ? ".gz" : "";
    const std::string path = orbtest::WriteTempFile(r.mutate(original), suffix);
    std::vector<std::string> args = {r.option + path};
    args.insert(args.end(), r.args.begin(), r.args.end());
    const orbtest::RunResult o = orbtest::RunOrbika(args, 60);
    EXPECT_EQ(o.status, r.status) << o.out.substr(0, 2000) << o.err.substr(0, 2000);
    std::string text = r.text;
    if (text.find("%s") != std::string::npos) text.replace(text.find("%s"), 2, path);
    if (r.stream == Out) {
      EXPECT_NE(o.out.find(text), std::string::npos) << o.out.substr(0, 3000);
    }
    if (r.stream == Err) {
      EXPECT_NE(o.err.find(text), std::string::npos) << o.err.substr(0, 3000);
    }
    if (r.stream == OutExactly) {
      EXPECT_EQ(o.out, text);
    }
    if (r.stream == SameRecords) {
      args[0] = r.option + r.file;
      EXPECT_EQ(ResultLines(o.out, "G05"), ResultLines(orbtest::RunOrbika(args, 60).out, "G05"));
    }
  }
}

}  // namespace

namespace {

// A time that fails its check names the file and its line on standard error;
// a satellite of a system beyond GPS and GLONASS without an antenna is
// named once.  Each row edits one line of a fixture (%s: the edited copy).
TEST(DamageReported, FileTimesAndMissingAntennasAreNamed) {
  const std::string sp3 = "-ep" + Fixture(kSp3);
  std::string g02;
  for (int k = 0; k < 6; ++k)
    g02 += clitest::WarningText("SATELLITE PHASE CENTER OFFSET NOT FOUND IN ANTEX FILE: PRN:   2");
  const struct {
    const char* fixture;
    std::size_t line;
    const char* from;
    const char* to;
    const char* option;
    int status;
    std::string err;
  } rows[] = {
      {"antex_mixed.atx", 11, "  2008    10", "  2008    13", "-pv", 1,
       clitest::ErrorText("ANTEX FILE %s: LINE 11: MONTH not valid!")},
      {"gps_three.n", 10, "17 09  4  1", "17 09  4 31", "-en", 1,
       clitest::ErrorText("GPS NAVIGATION FILE %s: LINE 10: DAY not valid!")},
      {"glo_leap2012.g", 7, " 1 12  6", " 1 12 13", "-eg", 1,
       clitest::ErrorText("GLONASS NAVIGATION FILE %s: LINE 7: MONTH not valid!")},
      {"antex_mixed.atx", 79, "GALILEO-1           E11", "GALILEO-1           E12", "-pv", 0,
       g02 + clitest::WarningText("SATELLITE E11: NO ANTENNA IN ANTEX FILE AT 6 OF 6 EPOCHS - "
                                  "CENTRE OF MASS POSITIONS KEPT THERE!")},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.fixture) + " line " + std::to_string(r.line));
    std::string line = LineOf(r.fixture, r.line);
    ASSERT_EQ(line.rfind(r.from, 0), 0u) << line;
    line.replace(0, std::string(r.from).size(), r.to);
    const std::string path = orbtest::WriteTempFile(Edited(r.fixture, r.line, {line}));
    std::vector<std::string> args = {r.option + path, "-dt3600"};
    if (std::string(r.option) == "-pv") args.push_back(sp3);
    const orbtest::RunResult o = orbtest::RunOrbika(args);
    std::string err = r.err;
    if (err.find("%s") != std::string::npos) err.replace(err.find("%s"), 2, path);
    EXPECT_EQ(o.status, r.status);
    EXPECT_EQ(o.err, err);
    if (r.status == 1) {
      EXPECT_EQ(o.out, "");
    }
    // GPS keeps its report on standard output; no other system has one.
    EXPECT_EQ(o.out.find("SATELLITE: 211"), std::string::npos) << o.out.substr(0, 2000);
  }
}

}  // namespace
