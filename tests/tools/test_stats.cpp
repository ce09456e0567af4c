// OrbikaStats as a user runs it: the rules of its statistics on a table
// worked by hand (tests/data/stats_rules.csv, and the same records as a text
// table with Orbika's messages in it), its command line and failures, and
// the real data.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TestUtil.h"

namespace {

const std::string kStats = ORBIKA_STATS_EXE;

std::string Fixture(const std::string& name) { return orbtest::FixtureDir() + "/" + name; }

// OrbikaStats with args; prepare runs first in the child (redirections).
orbtest::RunResult Stats(const std::vector<std::string>& args,
                         const std::function<void()>& prepare = {}) {
  return orbtest::RunProgram(kStats, args, prepare);
}

// Makes the file at path the child's stream fd.
std::function<void()> Redirect(const std::string& path, int fd, int flags) {
  return [=]() {
    const int file = open(path.c_str(), flags);
    dup2(file, fd);
    close(file);
  };
}

// Cells of one --csv=<table> output by the row's key (its first keys cells
// joined by commas) and the column's name.
using Rows = std::map<std::string, std::map<std::string, std::string>>;
const std::map<std::string, size_t> kKeys{
    {"satellites", 1}, {"systems", 2}, {"days", 3}, {"datum", 2}, {"outliers", 2}};

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream s(line);
  for (std::string cell; std::getline(s, cell, ',');) cells.push_back(cell);
  return cells;
}

// extraKeys: key cells after the usual ones (a table with msg has one more,
// its message); options go before the tables.
Rows TableRows(const std::vector<std::string>& tables, const std::string& name,
               size_t extraKeys = 0, const std::vector<std::string>& options = {}) {
  std::vector<std::string> args{"--csv=" + name};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), tables.begin(), tables.end());
  const orbtest::RunResult run = Stats(args);
  EXPECT_EQ(run.status, 0) << run.err;
  Rows rows;
  std::vector<std::string> names;
  for (const std::string& line : orbtest::SplitLines(run.out)) {
    const std::vector<std::string> cells = Split(line);
    if (names.empty()) {
      names = cells;
      continue;
    }
    std::string key = cells[0];
    for (size_t i = 1; i < kKeys.at(name) + extraKeys; ++i) key += "," + cells[i];
    for (size_t i = 0; i < cells.size() && i < names.size(); ++i) rows[key][names[i]] = cells[i];
  }
  return rows;
}

// ---- The rules, worked by hand ------------------------------------------------

struct Cell {
  const char* table;
  const char* key;
  const char* column;
  const char* value;
};

// The answers to tests/data/stats_rules.csv (its '#' lines say how they come).
const Cell kHandWorked[] = {
    // The relativistic term: G01's +10 ns less 10.0003 ns sets the GPS
    // median at 00:00 to 4 ns (without it, 6 ns).
    {"satellites", "G01", "clock_mean_ns", "-4.00"},
    {"satellites", "G02", "clock_mean_ns", "-2.00"},
    {"satellites", "G04", "clock_mean_ns", "2.00"},
    {"systems", "GPS,MEO", "clock_rms_ns", "2.45"},  // sqrt((16 + 4 + 0 + 4) / 4)
    // The datum: a median (Galileo's of 0, 2, 4 and 10 ns is 3 ns), of four
    // satellites at least (GPS at 00:15 has three, QZSS two).
    {"satellites", "E04", "clock_mean_ns", "7.00"},
    {"satellites", "E01", "clock_mean_ns", "-3.00"},
    {"satellites", "G03", "bad_clock", "1"},
    {"satellites", "G03", "clocks", "1"},
    {"satellites", "G01", "clocks", "1"},
    {"datum", "2022-01-01,GPS", "epochs", "2"},
    {"datum", "2022-01-01,GPS", "left_out", "1"},
    {"datum", "2022-01-01,GPS", "fewest", "3"},
    {"datum", "2022-01-01,GPS", "most", "5"},
    // QZSS with two satellites takes the GPS datum of 4 ns.
    {"datum", "2022-01-01,QZSS", "left_out", "0"},
    {"datum", "2022-01-01,QZSS", "on_gps", "1"},
    {"satellites", "J01", "clock_mean_ns", "-4.00"},
    // The weights by system and orbit type: sqrt((w_R 1 m)^2 + 49 m^2 w_AC^2).
    {"satellites", "G01", "orbit_sisre_rms_m", "1.400"},  // 0.98, 1/49
    {"satellites", "R01", "orbit_sisre_rms_m", "1.432"},  // 0.98, 1/45
    {"satellites", "E01", "orbit_sisre_rms_m", "1.328"},  // 0.98, 1/61
    {"satellites", "C11", "orbit_sisre_rms_m", "1.367"},  // 0.98, 1/54
    {"satellites", "C25", "orbit_sisre_rms_m", "1.367"},
    {"satellites", "C01", "orbit_sisre_rms_m", "1.170"},  // 0.99, 1/126
    {"satellites", "C08", "orbit_sisre_rms_m", "1.170"},
    {"satellites", "J01", "orbit_sisre_rms_m", "1.170"},
    {"satellites", "C01", "type", "GEO"},
    {"satellites", "C08", "type", "IGSO"},
    {"satellites", "C11", "type", "MEO"},
    {"satellites", "C11", "system", "BDS-2"},
    {"satellites", "C25", "system", "BDS-3"},
    {"satellites", "C59", "type", "GEO"},
    {"satellites", "J01", "type", "IGSO"},
    {"satellites", "J07", "type", "GEO"},
    {"systems", "BDS-3,GEO", "satellites", "1"},
    // The orbit's own frame: C01's Earth-fixed velocity is 10 m/s north,
    // its inertial one w r = 3074.6 m/s east, so (1, 7, 0) m is 7 m along
    // the track and -7 * 10 / 3074.7 m across.
    {"satellites", "C01", "along_mean_m", "7.000"},
    {"satellites", "C01", "cross_mean_m", "-0.023"},
    // With the clock: E04 has no orbit error and dt = 7 ns, so c dt; G01
    // sqrt((0.98 m + c 4.0003 ns)^2 + 1 m^2).
    {"satellites", "E04", "sisre_rms_m", "2.099"},
    {"satellites", "E04", "sisre_no_offsets_rms_m", "0.000"},
    {"satellites", "G01", "sisre_rms_m", "2.398"},
    {"satellites", "G01", "sisre_no_offsets_rms_m", "1.000"},  // wR R - c dt constant
    {"systems", "GPS,MEO", "sisre_rms_m", "1.757"},
    {"systems", "GPS,MEO", "sisre_p95_m", "2.398"},
    {"systems", "Galileo,MEO", "sisre_rms_m", "1.764"},
    // The outliers: G05 at 00:00 by its clock, at 00:15 by 150 m; R02 at
    // 100 m is kept, R03 at 100.001 m is not.
    {"satellites", "G05", "records", "0"},
    {"satellites", "G05", "outliers", "2"},
    {"outliers", "G05,2022-01-01", "orbit", "1"},
    {"outliers", "G05,2022-01-01", "clock", "1"},
    {"outliers", "G05,2022-01-01", "first", "2022-01-01T00:00:00.000"},
    {"outliers", "G05,2022-01-01", "last", "2022-01-01T00:15:00.000"},
    {"outliers", "G05,2022-01-01", "max_3d_m", "150.000"},
    {"outliers", "G05,2022-01-01", "max_clock_ns", "4996.00"},
    {"outliers", "R03,2022-01-01", "max_3d_m", "100.001"},
    {"satellites", "R02", "records", "1"},
    {"satellites", "R02", "median_3d_m", "100.000"},
    {"satellites", "R02", "orbit_sisre_rms_m", "98.000"},
    {"systems", "GPS,MEO", "outliers", "2"},
    {"systems", "GPS,MEO", "satellites", "4"},
    // The counts, and the day's line.
    {"satellites", "G02", "no_diff", "1"},
    {"satellites", "G01", "median_3d_m", "7.071"},
    {"days", "2022-01-01,GPS,MEO", "records", "8"},
    {"days", "2022-01-01,GPS,MEO", "orbit_sisre_rms_m", "1.400"},
    {"days", "2022-01-01,GPS,MEO", "sisre_rms_m", "1.757"},
};

// The answers to tests/data/stats_pairs.csv, a table with the signal-pair
// columns (its '#' lines say how they come).
const Cell kPairsHandWorked[] = {
    // The pair's clock difference, not the broadcast signal's.
    {"satellites", "C11", "clock_mean_ns", "-3.00"},
    {"satellites", "E01", "clock_mean_ns", "0.00"},
    {"satellites", "R02", "clock_mean_ns", "-1.00"},
    // GLONASS: both relativistic terms.
    {"satellites", "R01", "clock_mean_ns", "-1.00"},
    {"satellites", "R04", "clock_mean_ns", "3.00"},
    // BDS-2 and BDS-3 each their datum; C23 alone at 00:15 has none.
    {"satellites", "C19", "clock_mean_ns", "-3.00"},
    {"satellites", "C22", "clock_mean_ns", "3.00"},
    {"satellites", "C23", "clocks", "0"},
    {"datum", "2022-01-01,BDS-2", "most", "4"},
    {"datum", "2022-01-01,BDS-3", "left_out", "1"},
    {"datum", "2022-01-01,QZSS", "on_gps", "0"},
    // The satellite's mean of wR R - c dt removed.
    {"satellites", "G01", "sisre_no_offsets_rms_m", "0.300"},
    {"systems", "GPS,MEO", "sisre_no_offsets_rms_m", "0.150"},  // sqrt(2 0.3^2 / 8)
    // The table's own radial, along-track and cross-track.
    {"satellites", "E05", "radial_mean_m", "3.000"},
    {"satellites", "E05", "along_mean_m", "4.000"},
    {"satellites", "E05", "median_3d_m", "5.000"},
    // J04 without an antenna offset: its own row, out of QZSS and the day.
    {"satellites", "J04", "kept_out", "no antenna offset"},
    {"satellites", "J04", "radial_mean_m", "3.000"},
    {"satellites", "J01", "kept_out", ""},
    {"systems", "QZSS,IGSO", "satellites", "3"},
    {"systems", "QZSS,IGSO", "radial_mean_m", "0.000"},
    {"days", "2022-01-01,QZSS,IGSO", "records", "3"},
};

// The answers to tests/data/stats_messages.csv, two messages of the same
// satellites (its '#' lines say how they come); by default, and with
// --all-health.
const Cell kMessagesHandWorked[] = {
    // Each message its own datum: LNAV's median 0 ns, CNAV's 100 ns.
    {"satellites", "G01,LNAV", "clock_mean_ns", "2.00"},
    {"satellites", "G01,CNAV", "clock_mean_ns", "0.00"},
    {"satellites", "G04,CNAV", "clock_mean_ns", "4.00"},
    {"datum", "2022-01-01,GPS,LNAV", "most", "4"},
    {"datum", "2022-01-01,GPS,CNAV", "most", "4"},
    {"satellites", "G01,LNAV", "sisre_rms_m", "0.380"},
    {"satellites", "G04,CNAV", "sisre_rms_m", "1.199"},
    // The accuracy beside the SISRE, and the share above it.
    {"satellites", "G01,LNAV", "accuracy_median_m", "2.000"},
    {"satellites", "G01,LNAV", "sisre_over_accuracy_pct", "0.0"},
    {"satellites", "G02,LNAV", "sisre_over_accuracy_pct", "100.0"},
    {"satellites", "G01,CNAV", "accuracy_median_m", ""},
    {"satellites", "G01,CNAV", "sisre_over_accuracy_pct", ""},
    {"systems", "GPS,LNAV,MEO", "accuracy_median_m", "0.900"},
    {"systems", "GPS,LNAV,MEO", "sisre_over_accuracy_pct", "50.0"},
    {"systems", "GPS,CNAV,MEO", "sisre_over_accuracy_pct", "100.0"},
    // Both messages' records at one epoch count, none as a repeat; G05 is
    // unhealthy, G03's CNAV record without health kept.
    {"systems", "GPS,LNAV,MEO", "records", "4"},
    {"systems", "GPS,CNAV,MEO", "records", "4"},
    {"days", "2022-01-01,GPS,CNAV,MEO", "records", "4"},
    {"satellites", "G05,LNAV", "records", ""},
};
const Cell kAllHealthHandWorked[] = {
    {"satellites", "G05,LNAV", "records", "1"},
    {"satellites", "G05,LNAV", "median_3d_m", "5.000"},
    {"systems", "GPS,LNAV,MEO", "records", "5"},
    {"satellites", "G01,LNAV", "clock_mean_ns", "2.00"},
};

TEST(StatsRules, HandWorkedTables) {
  const struct {
    const char* fixture;
    std::vector<Cell> cells;
    size_t extraKeys;
    std::vector<std::string> options;
  } fixtures[] = {
      {"stats_rules.csv", {std::begin(kHandWorked), std::end(kHandWorked)}, 0, {}},
      {"stats_pairs.csv", {std::begin(kPairsHandWorked), std::end(kPairsHandWorked)}, 0, {}},
      {"stats_messages.csv", {std::begin(kMessagesHandWorked), std::end(kMessagesHandWorked)}, 1,
       {}},
      {"stats_messages.csv", {std::begin(kAllHealthHandWorked), std::end(kAllHealthHandWorked)},
       1, {"--all-health"}}};
  for (const auto& f : fixtures) {
    std::map<std::string, Rows> tables;
    for (const auto& [name, keys] : kKeys)
      tables[name] = TableRows({Fixture(f.fixture)}, name, f.extraKeys, f.options);
    for (const Cell& c : f.cells)
      EXPECT_EQ(tables[c.table][c.key][c.column], c.value)
          << f.fixture << ": " << c.table << " " << c.key << " " << c.column;
  }
}

// The notes name the signal of each system's clocks, and the satellites
// kept apart.
TEST(StatsRules, NotesSayWhichSignalAndWhichSatellitesApart) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"stats_rules.txt",
       {"# Clock signals: the table brings no broadcast clock to a signal pair (a text table never"
        " does), so the clocks are on each system's broadcast signal and each satellite's clock"
        " mean holds its group delays, large for BeiDou.\n"}},
      {"stats_pairs.csv",
       {"# Clock signals, the broadcast clock brought to the pair of the precise clocks as the"
        " table says: GPS L1/L2; GLONASS L1 (1 record), L1/L2 (3 records); Galileo E1/E5a;"
        " BeiDou B1I/B3I (8 records), broadcast signal (1 record); QZSS L1/L2. GLONASS records"
        " without dTau_n have no pair: those GLONASS clocks stay on L1. On the broadcast signal a"
        " satellite's clock mean holds its group delays.\n",
        "# Kept out of the system and day figures, in rows of their own (\"kept out\"), as the"
        " ANTEX file has no offset for them (their precise positions stay at the centre of mass,"
        " the broadcast ones are antenna phase centres): J04.\n"}},
      {"stats_messages.csv",
       {"# Messages: each satellite, system, day and clock datum has a row per broadcast message"
        " (msg); accuracy median is that of the records' broadcast accuracy (accuracy_m: URA,"
        " SISA) and SISRE > accuracy the share of records with both whose SISRE exceeds the"
        " record's own accuracy [%], empty where the table gives no accuracy.\n"
        "# Health: 1 record whose health field is not 0 left out (GPS LNAV 1); 0 is healthy in"
        " every system's field: GPS and QZSS LNAV SV health and CNAV-2 L1C health, CNAV the L1"
        " and L2 bits (its L5 bit not looked at), Galileo SVHS and DVS bits, BeiDou SatH1 and"
        " B-CNAV HS, GLONASS Bn, NavIC and SBAS as written; an empty field is kept; --all-health"
        " keeps every record.\n"}}};
  for (const auto& [fixture, notes] : cases) {
    const std::string out = Stats({Fixture(fixture)}).out;
    for (const std::string& note : notes) EXPECT_NE(out.find(note), std::string::npos) << note;
    // Tables without the record's own fields say nothing of messages.
    if (fixture != "stats_messages.csv") {
      EXPECT_EQ(out.find("# Health"), std::string::npos);
    }
  }
  EXPECT_NE(Stats({"--all-health", Fixture("stats_messages.csv")})
                .out.find("\n# Health: records of every health are kept (--all-health).\n"),
            std::string::npos);
}

// A CSV table's antenna column says whether an ANTEX file was used: the
// fixture's do; with every antenna field empty, none was given.
TEST(StatsRules, AntennaColumnSaysWhetherAnAntexFileWasUsed) {
  const std::string pairs = Fixture("stats_pairs.csv");
  const std::string noAntex = orbtest::WriteTempFile(
      std::regex_replace(orbtest::ReadFileText(pairs),
                         std::regex(",[01](,[-0-9.]+,[-0-9.]+,[-0-9.]+)$", std::regex::multiline),
                         ",$1"),
      ".csv");
  const std::string used = Stats({pairs}).out, out = Stats({noAntex}).out;
  for (const char* note : {"# The table names no ANTEX file", "# The table does not say"})
    EXPECT_EQ(used.find(note), std::string::npos) << note;
  EXPECT_NE(out.find("# The table names no ANTEX file"), std::string::npos);
  EXPECT_EQ(out.find("# Kept out of the system"), std::string::npos);
}

// The same records as a text table, with Orbika's messages before its head
// and between its records, read alike, also with CR LF line ends; the notes
// say what the settings say of the ANTEX file.
TEST(StatsRules, TextTableWithMessagesReadsLikeTheCsvTable) {
  const std::string text = orbtest::ReadFileText(Fixture("stats_rules.txt"));
  std::string crlf, noAntex = text;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  noAntex.replace(noAntex.find("made.atx"), 8, " ---");
  const std::string crlfFile = orbtest::WriteTempFile(crlf, ".txt");
  for (const auto& [name, keys] : kKeys) {
    const std::string want = Stats({"--csv=" + name, Fixture("stats_rules.csv")}).out;
    EXPECT_EQ(Stats({"--csv=" + name, Fixture("stats_rules.txt")}).out, want) << name;
    EXPECT_EQ(Stats({"--csv=" + name, crlfFile}).out, want) << name;
  }
  const std::pair<std::string, std::string> notes[] = {
      {Fixture("stats_rules.csv"), "# The table does not say whether an ANTEX file was used.\n"},
      {orbtest::WriteTempFile(noAntex, ".txt"),
       "# The table names no ANTEX file: the precise positions are the centres of mass, so the "
       "radial term carries the antenna offsets.\n"}};
  for (const auto& [table, note] : notes)
    EXPECT_NE(Stats({table}).out.find(note), std::string::npos);
  EXPECT_EQ(Stats({Fixture("stats_rules.txt")}).out.find("ANTEX"), std::string::npos);
}

// ---- The command line -----------------------------------------------------------

TEST(StatsCommandLine, RefusesWhatItCannotUse) {
  const std::string csv = Fixture("stats_rules.csv"), dir = orbtest::MakeTempDir();
  const std::string text = orbtest::ReadFileText(Fixture("stats_rules.txt"));
  const std::string prose =
      orbtest::WriteTempFile("Notes on a run, in prose: no table here.\n", ".txt");
  const std::string noDiff =
      orbtest::WriteTempFile("#PROGRAM: Orbika\n#  PRN  X[m]  Y[m]\n", ".txt");
  const std::string noDclock = orbtest::WriteTempFile("# made\nepoch,sat,px_m,py_m,pz_m\n", ".csv");
  const std::string damaged = orbtest::WriteTempFile(
      text + " 2022-01-01 00:45:00.0   59580  2700.0     G01    29979245.800  0.000\n", ".txt");
  const std::string damagedCsv = orbtest::WriteTempFile(
      orbtest::ReadFileText(csv) + "2022-01-01T00:45:00.000,59580\n", ".csv");
  // Records of the other kind after a table's own: two tables run together.
  const std::string csvThenText = orbtest::WriteTempFile(
      orbtest::ReadFileText(csv) + text.substr(text.find("\n 2022-01-01 ") + 1), ".csv");
  const std::string csvText = orbtest::ReadFileText(csv);
  const std::string textThenCsv =
      orbtest::WriteTempFile(text + csvText.substr(csvText.rfind('\n', csvText.size() - 2) + 1), ".txt");
  const std::string longLine =
      orbtest::WriteTempFile("# made\n" + std::string(5000, '#') + "\n", ".txt");
  // More than the stretch a table's head and first record take.
  std::string lines;
  while (lines.size() <= (1u << 20)) lines += "a line of a log, no record of a table\n";
  const std::string noHead = orbtest::WriteTempFile(lines, ".txt");
  const std::string noRecord =
      orbtest::WriteTempFile(text.substr(0, text.find("\n 2022-01-01 ") + 1) + lines, ".txt");
  std::string pairs = orbtest::ReadFileText(Fixture("stats_pairs.csv"));
  pairs.replace(pairs.rfind(",0,3.0000"), 2, ",2");  // J04's antenna column
  const std::string badAntenna = orbtest::WriteTempFile(pairs, ".csv");
  // One record in more messages than any system has.
  const std::string messages = orbtest::ReadFileText(Fixture("stats_messages.csv"));
  const size_t first = messages.find("\n2022-") + 1;
  const std::string record = messages.substr(first, messages.find('\n', first) + 1 - first);
  std::string manyMessages = messages.substr(0, first);
  for (int i = 0; i <= 32; ++i)
    manyMessages += std::regex_replace(record, std::regex(",LNAV,"), ",M" + std::to_string(i) + ",");
  const std::string tooManyMessages = orbtest::WriteTempFile(manyMessages, ".csv");
  const std::string usage = "; OrbikaStats -h shows the usage\n",
                    columns =
                        " has no precise-minus-broadcast columns (run Orbika with an SP3 file and "
                        "a navigation file)\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--frobnicate", csv}, "unknown option --frobnicate" + usage},
      {{"--csv=planets", csv},
       "--csv=planets names no table (satellites, systems, days, datum or outliers)" + usage},
      {{}, "no table named" + usage},
      {{"-", "-"}, "standard input (-) named more than once" + usage},
      {{dir}, "cannot read " + dir + "\n"},
      {{csv, dir + "/none.txt"}, "cannot read " + dir + "/none.txt\n"},
      {{prose}, prose + " is not an Orbika table (it has no line of column names)\n"},
      {{noDiff}, noDiff + columns},
      {{noDclock}, noDclock + columns},
      {{damaged}, damaged + " line 51 is not a record of an Orbika table\n"},
      {{damagedCsv}, damagedCsv + " line 39 is not a record of an Orbika table\n"},
      {{csvThenText}, csvThenText + " line 39 is a record of a text table in a CSV table: give "
                                    "each table as a file of its own\n"},
      {{textThenCsv}, textThenCsv + " line 51 is a record of a CSV table in a text table: give "
                                    "each table as a file of its own\n"},
      {{"/dev/zero"}, "/dev/zero line 1 is longer than 4096 characters: not an Orbika table\n"},
      {{longLine}, longLine + " line 2 is longer than 4096 characters: not an Orbika table\n"},
      {{noHead}, noHead + " has no line of column names in its first 1 MiB: not an Orbika table\n"},
      {{noRecord}, noRecord + " has no record in its first 1 MiB: not an Orbika table\n"},
      {{badAntenna}, badAntenna + " line 47 is not a record of an Orbika table\n"},
      {{tooManyMessages}, tooManyMessages + " holds more than 32 messages in its msg column, with "
                                            "the tables before it: not Orbika's messages\n"}};
  for (const auto& c : cases) {
    const orbtest::RunResult run = Stats(c.args);
    EXPECT_EQ(run.status, 1) << c.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "OrbikaStats: " + c.err);
  }
}

// Input that is no table at all ends at once, whatever it holds.
TEST(StatsCommandLine, EndlessInputIsRefusedAtOnce) {
  for (const char* device : {"/dev/zero", "/dev/urandom"}) {
    SCOPED_TRACE(device);
    // Killed by the alarm (status 128 + 14) if it reads on.
    const orbtest::RunResult run = Stats({device}, [] { alarm(5); });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(std::string("OrbikaStats: ") + device + " ", 0), 0u) << run.err;
  }
}

// One table given twice, the same records as text and as CSV, or a file
// holding a table twice: each record counts once, with a warning naming the
// table where they repeat.
TEST(StatsCommandLine, RecordsReadTwiceCountOnce) {
  const std::string csv = Fixture("stats_rules.csv"), text = Fixture("stats_rules.txt");
  const std::string messages = Fixture("stats_messages.csv");
  const std::string doubled = orbtest::WriteTempFile(
      orbtest::ReadFileText(text) + orbtest::ReadFileText(text), ".txt");
  // The CSV table's rows after its header.
  const auto records = [](const std::string& table) {
    long n = -1;
    for (const std::string& line : orbtest::SplitLines(orbtest::ReadFileText(table)))
      n += !line.empty() && line[0] != '#';
    return n;
  };
  // Two messages of one satellite at one epoch are no repeat; the unhealthy
  // record repeats like any other.
  const struct {
    std::vector<std::string> tables;
    std::string repeating, alone;
  } rows[] = {{{csv, csv}, csv, csv},
              {{text, csv}, csv, csv},
              {{doubled}, doubled, csv},
              {{messages, messages}, messages, messages}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tables[0]);
    for (const auto& [name, keys] : kKeys) {
      std::vector<std::string> args{"--csv=" + name};
      args.insert(args.end(), row.tables.begin(), row.tables.end());
      const orbtest::RunResult twice = Stats(args);
      EXPECT_EQ(twice.status, 0);
      EXPECT_EQ(twice.out, Stats({"--csv=" + name, row.alone}).out) << name;
      EXPECT_EQ(twice.err, "OrbikaStats: warning: " + row.repeating + ": " +
                               std::to_string(records(row.alone)) +
                               " records repeat earlier ones of their satellite and day and are "
                               "counted once\n");
    }
  }
}

TEST(StatsCommandLine, Version) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--version"}, {"--frobnicate", "--version", "-h"}}) {
    const orbtest::RunResult run = Stats(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string("OrbikaStats ") + ORBIKA_VERSION + "\n");
    EXPECT_EQ(run.err, "");
  }
}

TEST(StatsCommandLine, HelpAndOptionsInAnyPosition) {
  const std::string csv = Fixture("stats_rules.csv");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"-h"}, {"--help"}, {csv, "--csv", "-h"}, {"--frobnicate", "--help"},
           {"--all-health", "-h"}}) {
    const orbtest::RunResult run = Stats(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("OrbikaStats - statistics of the precise-minus-broadcast", 0), 0u);
    EXPECT_NE(run.out.find("\nUsage: OrbikaStats [--csv[=TABLE]] [--all-health] TABLE...\n"),
              std::string::npos);
  }
  const orbtest::RunResult first = Stats({"--csv=systems", csv});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(Stats({csv, "--csv=systems"}).out, first.out);
  // A table without health fields: --all-health changes nothing.
  EXPECT_EQ(Stats({csv, "--all-health", "--csv=systems"}).out, first.out);
  const std::string messages = Fixture("stats_messages.csv");
  EXPECT_NE(Stats({messages, "--csv=systems", "--all-health"}).out,
            Stats({"--csv=systems", messages}).out);
  EXPECT_EQ(Stats({"--csv=systems", "-"}, Redirect(csv, 0, O_RDONLY)).out, first.out);
}

// A write that fails ends the run framed as the program's other errors.
TEST(StatsCommandLine, FailedWriteEndsWithStatusOne) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {Fixture("stats_rules.csv")}, {"--csv", Fixture("stats_rules.txt")}, {"-h"}}) {
    const orbtest::RunResult run = Stats(args, Redirect("/dev/full", 1, O_WRONLY));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "\n**** OrbikaStats: Error -> cannot write the statistics to standard output ****\n"
              "     Exiting OrbikaStats ... \n\n");
  }
}

// ---- The real data ------------------------------------------------------------

// Set E's table with the satellite antennas, at interval seconds, from the
// IGS RINEX 3.04 navigation file or another of the folder; extra options
// after them (-csv).
std::string SetETable(int interval, const std::string& nav = "BRDC00IGS_R_20220010000_01D_MN.rnx.gz",
                      const std::vector<std::string>& extra = {}) {
  std::vector<std::string> args{"-epGFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz", "-en" + nav,
                                "-eg" + nav, "-pv../igs14_sats_only.atx",
                                "-dt" + std::to_string(interval)};
  args.insert(args.end(), extra.begin(), extra.end());
  const orbtest::RunResult run = orbtest::RunOrbika(args, 120, orbtest::DataDir() + "/setE");
  EXPECT_EQ(run.status, 0);
  return orbtest::WriteTempFile(run.out, ".txt");
}

// The cells of a Markdown table row "| a | b |", without their blanks.
std::vector<std::string> MarkdownCells(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream s(line.substr(1));
  for (std::string cell; std::getline(s, cell, '|');) {
    const size_t first = cell.find_first_not_of(' '), last = cell.find_last_not_of(' ');
    cells.push_back(first == std::string::npos ? "" : cell.substr(first, last + 1 - first));
  }
  return cells;
}

double Number(const Rows& rows, const std::string& key, const std::string& column) {
  return std::atof(rows.at(key).at(column).c_str());
}

// The ranges of the literature, not of the program: set E's -csv tables,
// the clocks on the products' signal pairs.
TEST(StatsRealData, SetESisreAsTheLiteratureHasIt) {
  ORBIKA_REQUIRE_DATA();
  const std::string table = SetETable(300, "BRDC00IGS_R_20220010000_01D_MN.rnx.gz", {"-csv"});
  // The table names each record's message: its rows are keyed on it too.
  const Rows systems = TableRows({table}, "systems", 1), sats = TableRows({table}, "satellites", 1);
  const double gps = Number(systems, "GPS,LNAV,MEO", "sisre_rms_m");
  EXPECT_GE(gps, 0.2);
  EXPECT_LE(gps, 1.0);
  EXPECT_LT(Number(systems, "Galileo,FNAV,MEO", "sisre_rms_m"), gps);
  EXPECT_GT(Number(systems, "GLONASS,FDMA,MEO", "sisre_rms_m"), gps);
  // BeiDou-3 MEO near 0.5 m, its satellites' clock means close together.
  EXPECT_LT(Number(systems, "BDS-3,D1,MEO", "sisre_rms_m"), 1.0);
  double low = 1e9, high = -1e9;
  for (const auto& [sat, cells] : sats)
    if (cells.at("system") == "BDS-3" && cells.at("type") == "MEO") {
      low = std::min(low, Number(sats, sat, "clock_mean_ns"));
      high = std::max(high, Number(sats, sat, "clock_mean_ns"));
    }
  EXPECT_LT(high - low, 15);
  // Geostationary along- and cross-track in the orbit's own frame.
  for (const char* geo : {"C01,D2", "C02,D2", "C03,D2", "C04,D2", "C05,D2"})
    EXPECT_LT(Number(sats, geo, "cross_rms_m"), 2) << geo;
  // J04, without an offset in the ANTEX file, apart from QZSS, its records
  // kept whatever their health (J01 and J04 say unhealthy that day).
  const Rows allSystems = TableRows({table}, "systems", 1, {"--all-health"}),
             allSats = TableRows({table}, "satellites", 1, {"--all-health"});
  EXPECT_EQ(allSats.at("J04,LNAV").at("kept_out"), "no antenna offset");
  EXPECT_EQ(allSystems.at("QZSS,LNAV,IGSO").at("satellites"), "3");
  EXPECT_EQ(sats.count("J04,LNAV"), 0u);
  EXPECT_EQ(systems.at("QZSS,LNAV,IGSO").at("satellites"), "2");
  // GLONASS on L1/L2 with the RINEX 4 file's dTau_n.
  const std::string rinex4 = SetETable(300, "BRD400DLR_S_20220010000_01D_MN.rnx.gz", {"-csv"});
  const Rows glonass = TableRows({rinex4}, "systems", 1),
             glonassSats = TableRows({rinex4}, "satellites", 1);
  EXPECT_LT(Number(glonass, "GLONASS,FDMA,MEO", "sisre_rms_m"), 1.9);
  double sum = 0, sumSq = 0, n = 0;
  for (const auto& [sat, cells] : glonassSats)
    if (cells.at("system") == "GLONASS") {
      const double mean = Number(glonassSats, sat, "clock_mean_ns");
      sum += mean, sumSq += mean * mean, ++n;
    }
  ASSERT_GT(n, 0);
  EXPECT_LT(std::sqrt(sumSq / n - (sum / n) * (sum / n)), 4.5);
}

// 17.1 ns with the relativistic term left in; 3.48 ns by a hand check
// without it and with the mean datum.
TEST(StatsRealData, SetAGpsClockRmsWithoutTheRelativisticTerm) {
  ORBIKA_REQUIRE_DATA();
  const orbtest::RunResult run = orbtest::RunOrbika(
      {"-epesa15253.sp3", "-enbrdc0910.09n", "-egbrdc0910.09g"}, 60, orbtest::DataDir());
  ASSERT_EQ(run.status, 0);
  const Rows systems = TableRows({orbtest::WriteTempFile(run.out, ".txt")}, "systems");
  EXPECT_NEAR(Number(systems, "GPS,MEO", "clock_rms_ns"), 3.5, 0.05);
}

// Thirty copies of a table under the dates 2022-01-01 to 2022-01-30.
std::vector<std::string> ThirtyDays(const std::string& table) {
  const std::string text = orbtest::ReadFileText(table);
  std::vector<std::string> days;
  for (int day = 1; day <= 30; ++day) {
    std::string copy = text;
    char date[16], mjd[16];
    std::snprintf(date, sizeof date, "2022-01-%02d", day);
    std::snprintf(mjd, sizeof mjd, " %d ", 59579 + day);
    for (const auto& [from, to] : {std::make_pair(std::string("2022-01-01"), std::string(date)),
                                   std::make_pair(std::string(" 59580 "), std::string(mjd))})
      for (size_t at = copy.find(from); at != std::string::npos;
           at = copy.find(from, at + to.size()))
        copy.replace(at, from.size(), to);
    days.push_back(orbtest::WriteTempFile(copy, ".txt"));
  }
  return days;
}

// Two tables of set E's RINEX 4 file, one of each message, side by side:
// GPS LNAV beside CNAV and BeiDou-3 D1 beside B-CNAV1 in rows of their own,
// every record of each message counted (none taken for a repeat of the
// other message's), and CNAV's orbit as good as LNAV's.
TEST(StatsRealData, SetEMessagesSideBySide) {
  ORBIKA_REQUIRE_DATA();
  const std::string nav = "BRD400DLR_S_20220010000_01D_MN.rnx.gz";
  const std::string legacy = SetETable(300, nav, {"-csv"}),
                    modern = SetETable(300, nav, {"-csv", "-nmG:CNAV,C:CNV1"});
  const Rows both = TableRows({legacy, modern}, "systems", 1);
  const Rows alone[] = {TableRows({legacy}, "systems", 1), TableRows({modern}, "systems", 1)};
  const struct {
    const char* key;
    int table;  // the one that holds it alone
  } rows[] = {{"GPS,LNAV,MEO", 0}, {"GPS,CNAV,MEO", 1}, {"BDS-3,D1,MEO", 0}, {"BDS-3,CNV1,MEO", 1}};
  for (const auto& row : rows) {
    EXPECT_EQ(both.at(row.key).at("records"), alone[row.table].at(row.key).at("records")) << row.key;
    EXPECT_GT(Number(both, row.key, "records"), 6000) << row.key;
  }
  const double lnav = Number(both, "GPS,LNAV,MEO", "median_3d_m");
  EXPECT_NEAR(Number(both, "GPS,CNAV,MEO", "median_3d_m"), lnav, 0.3 * lnav);
  EXPECT_LT(Number(both, "BDS-3,CNV1,MEO", "median_3d_m"), 1.0);
  EXPECT_LT(Number(both, "BDS-3,D1,MEO", "median_3d_m"), 1.0);
}

// The largest resident memory [kB] of OrbikaStats over the tables.
[[maybe_unused]] long MaxMemory(const std::vector<std::string>& tables) {
  const orbtest::RunResult run = orbtest::RunCaptured([&]() {
    const pid_t child = fork();
    if (child == 0) {
      Redirect("/dev/null", 1, O_WRONLY)();
      orbtest::ExecProgram(kStats, tables);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    std::printf("%ld", WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1L);
  });
  return std::atol(run.out.c_str());
}

// The totals of thirty days equal the one day's figures; the memory does
// not grow with the records: thirty days at 300 s take about what they
// take at 900 s.
TEST(StatsRealData, ThirtyTablesInBoundedMemory) {
  ORBIKA_REQUIRE_DATA();
  const std::string day = SetETable(900);
  const std::vector<std::string> days = ThirtyDays(day), dense = ThirtyDays(SetETable(300));
  const Rows one = TableRows({day}, "systems"), thirty = TableRows(days, "systems");
  ASSERT_EQ(thirty.size(), one.size());
  const char* const counts[] = {"records", "no_diff", "outliers", "bad_clock", "clocks"};
  for (const auto& [key, cells] : one)
    for (const auto& [column, value] : cells) {
      bool count = false;
      for (const char* c : counts) count = count || column == c;
      const std::string want = count ? std::to_string(30 * std::atol(value.c_str())) : value;
      EXPECT_EQ(thirty.at(key).at(column), want) << key << " " << column;
    }
  const Rows daysOne = TableRows({day}, "days"), daysThirty = TableRows(days, "days");
  EXPECT_EQ(daysThirty.size(), 30 * daysOne.size());
  for (const auto& [key, cells] : daysOne) {
    std::map<std::string, std::string> last = daysThirty.at("2022-01-30" + key.substr(10));
    last["date"] = cells.at("date");
    EXPECT_EQ(last, cells) << key;
  }
#ifndef ORBIKA_SANITIZED
  // The sanitizers keep freed memory aside, so peaks say nothing there.
  const long sparse = MaxMemory(days), full = MaxMemory(dense);
  std::cout << "OrbikaStats on 30 days: " << sparse << " kB at 900 s, " << full << " kB at 300 s\n";
  EXPECT_GT(sparse, 0);
  EXPECT_LT(full, sparse + 8 * 1024);
#endif
}

// The systems table's column of each column of README's accuracy tables.
const std::map<std::string, std::string> kReadmeColumns{
    {"System", "system"},
    {"Orbit", "type"},
    {"Satellites", "satellites"},
    {"Records", "records"},
    {"Outliers", "outliers"},
    {"3D median [m]", "median_3d_m"},
    {"3D RMS [m]", "rms_3d_m"},
    {"Clock RMS [ns]", "clock_rms_ns"},
    {"Orbit-only SISRE [m]", "orbit_sisre_rms_m"},
    {"SISRE [m]", "sisre_rms_m"},
    {"SISRE, offsets removed [m]", "sisre_no_offsets_rms_m"}};

// The rows of README's Markdown table under the first line that begins
// with title, its header first.
std::vector<std::vector<std::string>> ReadmeTable(const std::string& title) {
  const std::string readme = orbtest::ReadFileText(orbtest::FixtureDir() + "/../../README.md");
  std::vector<std::vector<std::string>> table;
  const size_t from = readme.find(title);
  if (from == std::string::npos) return table;
  for (const std::string& line : orbtest::SplitLines(readme.substr(from + 1))) {
    if (line.rfind("| ", 0) == 0) table.push_back(MarkdownCells(line));
    if (!table.empty() && line.empty()) break;
  }
  return table;
}

// README's accuracy tables hold what OrbikaStats prints for sets E, A and D,
// run as README says: each column README names is the systems table's, and
// README has every row (or, where it names one system, that system's).
TEST(StatsRealData, ReadmeAccuracyTablesAreWhatItPrints) {
  ORBIKA_REQUIRE_DATA();
  const std::string data = orbtest::DataDir(), navD = "ESBC00DNK_R_20201770000_01D_MN.rnx.gz";
  const std::string sp3E = "-epGFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz",
                    navE = "BRDC00IGS_R_20220010000_01D_MN.rnx.gz",
                    nav4 = "BRD400DLR_S_20220010000_01D_MN.rnx.gz";
  const struct {
    const char* title;
    std::string dir, system;
    std::vector<std::string> args;
  } sets[] = {
      {"\nSet E,",
       data + "/setE",
       "",
       {sp3E, "-en" + navE, "-eg" + navE, "-pv../igs14_sats_only.atx", "-dt300", "-csv"}},
      {"\nSet E's GLONASS",
       data + "/setE",
       "GLONASS",
       {sp3E, "-en" + nav4, "-eg" + nav4, "-pv../igs14_sats_only.atx", "-dt300", "-csv"}},
      {"\nSet A,", data, "", {"-epesa15253.sp3", "-enbrdc0910.09n", "-egbrdc0910.09g"}},
      {"\nSet D,",
       data + "/setD",
       "",
       {"-epGRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz", "-en" + navD, "-eg" + navD}}};
  for (const auto& set : sets) {
    const orbtest::RunResult run = orbtest::RunOrbika(set.args, 120, set.dir);
    ASSERT_EQ(run.status, 0) << set.title;
    const orbtest::RunResult stats =
        Stats({"--csv=systems", orbtest::WriteTempFile(run.out, ".txt")});
    std::vector<std::vector<std::string>> want;
    for (const std::string& line : orbtest::SplitLines(stats.out))
      if (want.empty() || set.system.empty() || line.rfind(set.system + ",", 0) == 0)
        want.push_back(Split(line));
    const std::vector<std::vector<std::string>> table = ReadmeTable(set.title);
    ASSERT_EQ(table.size(), want.size()) << set.title;
    for (size_t row = 1; row < want.size(); ++row)
      for (size_t i = 0; i < table[0].size(); ++i) {
        if (!kReadmeColumns.count(table[0][i])) continue;
        const std::vector<std::string>& names = want[0];
        const size_t at =
            std::find(names.begin(), names.end(), kReadmeColumns.at(table[0][i])) - names.begin();
        ASSERT_LT(at, names.size());
        EXPECT_EQ(table[row][i], want[row][at])
            << "README's accuracy table of " << std::string(set.title + 1, 5) << ", row " << row
            << ", " << table[0][i] << ": put in what OrbikaStats prints";
      }
  }
}

}  // namespace
