// The plot script as a user runs it: on Orbika's text and -csv tables, on
// OrbikaStats' CSV output, and on names and words crafted to reach
// gnuplot's command line.  A stand-in gnuplot (named by GNUPLOT) keeps the
// script, the data and the arguments the plot script gives it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/TestUtil.h"

namespace {

const std::string kPlot = ORBIKA_PLOT_SCRIPT;
const std::string kStats = ORBIKA_STATS_EXE;

std::string Fixture(const std::string& name) { return orbtest::FixtureDir() + "/" + name; }

// Runs the program at path in the folder cwd, with GNUPLOT set when
// gnuplot is not empty.
orbtest::RunResult Launch(const std::string& path, const std::vector<std::string>& args,
                          const std::string& cwd = "", const std::string& gnuplot = "") {
  return orbtest::RunProgram(path, args, [&]() {
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    if (!gnuplot.empty()) setenv("GNUPLOT", gnuplot.c_str(), 1);
  });
}

// A stand-in gnuplot that keeps its script, data and arguments in folder
// and writes a few bytes as the PNG.
std::string StandIn(const std::string& folder) {
  const std::string path = folder + "/gnuplot";
  const std::string script = orbtest::WriteTempFile(
      "#!/bin/sh\n"
      "[ \"$1\" = -e ] && exit 0\n"
      "cp \"$2\" '" +
      folder + "/script'; cp \"$4\" '" + folder +
      "/data'\n"
      "printf '%s\\n' \"$3\" \"$4\" > '" +
      folder + "/args'; printf PNG > \"$3\"\n");
  rename(script.c_str(), path.c_str());
  chmod(path.c_str(), 0755);
  return path;
}

// OrbikaStats --csv of the tables, as a file.
std::string StatsCsv(const std::vector<std::string>& tables) {
  std::vector<std::string> args{"--csv"};
  args.insert(args.end(), tables.begin(), tables.end());
  const orbtest::RunResult run = Launch(kStats, args);
  EXPECT_EQ(run.status, 0) << run.err;
  return orbtest::WriteTempFile(run.out, ".csv");
}

// Also the text table with CR LF line ends.
TEST(PlotDifferences, ReadsTheCsvTableAsTheTextTable) {
  std::string crlf;
  for (char c : orbtest::ReadFileText(Fixture("stats_rules.txt")))
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const std::string tables[] = {Fixture("stats_rules.csv"), Fixture("stats_rules.txt"),
                                orbtest::WriteTempFile(crlf, ".txt")};
  std::string data[3];
  for (int i = 0; i < 3; ++i) {
    const std::string folder = orbtest::MakeTempDir();
    const orbtest::RunResult run =
        Launch(kPlot, {tables[i], folder + "/plot.png"}, "", StandIn(folder));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    data[i] = orbtest::ReadFileText(folder + "/data");
  }
  EXPECT_FALSE(data[0].empty());
  EXPECT_EQ(data[1], data[0]);
  EXPECT_EQ(data[2], data[0]);
}

// One day: a bar per satellite; two days: a line per system and orbit
// type.  The values are the ones OrbikaStats printed.
TEST(PlotDifferences, DrawsTheSisreOfOrbikaStats) {
  const std::string day2 = orbtest::WriteTempFile(
      [] {
        std::string t = orbtest::ReadFileText(Fixture("stats_rules.csv"));
        for (size_t at = t.find("2022-01-01"); at != std::string::npos;
             at = t.find("2022-01-01", at))
          t.replace(at, 10, "2022-01-02");
        return t;
      }(),
      ".csv");
  const struct {
    std::vector<std::string> tables;
    std::string title, row;
  } cases[] = {{{Fixture("stats_rules.csv")},
                "SISRE per satellite, 2022-01-01 (GPS time)",
                "15 2.099 0.000 E04"},
               {{Fixture("stats_rules.csv"), day2},
                "SISRE per system and day, 2022-01-01 to 2022-01-02 (GPS time)",
                "2022-01-02 1.400 1.757"}};
  for (const auto& c : cases) {
    const std::string folder = orbtest::MakeTempDir(), csv = StatsCsv(c.tables);
    const orbtest::RunResult run = Launch(kPlot, {csv, folder + "/sisre.png"}, "", StandIn(folder));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(orbtest::ReadFileText(folder + "/script").find(c.title), std::string::npos)
        << c.title;
    EXPECT_NE(orbtest::ReadFileText(folder + "/data").find(c.row + "\n"), std::string::npos)
        << c.row;
  }
}

// The file's name reaches gnuplot as an argument, never in its script;
// words that could not go into the script are refused.
TEST(PlotDifferences, RunsNoCommandFromItsInput) {
  const std::string folder = orbtest::MakeTempDir();
  const std::string name = "t'.system(\"touch X\").'_1.txt";
  const std::string table = folder + "/" + name;
  rename(orbtest::WriteTempFile(orbtest::ReadFileText(Fixture("stats_rules.txt"))).c_str(),
         table.c_str());
  const orbtest::RunResult run = Launch(kPlot, {name}, folder, StandIn(folder));
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string script = orbtest::ReadFileText(folder + "/script");
  EXPECT_EQ(script.find("system"), std::string::npos) << script;
  EXPECT_NE(script.find(" noenhanced"), std::string::npos)
      << "underscores would print as subscripts";
  const std::vector<std::string> args =
      orbtest::SplitLines(orbtest::ReadFileText(folder + "/args"));
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[0], "./t'.system(\"touch X\").'_1.png");
  const std::string crafted = StatsCsv({Fixture("stats_rules.csv")});
  std::string text = orbtest::ReadFileText(crafted);
  text.replace(text.find("\nE04,Galileo,"), 13, "\nE04,Gal\"ileo,");
  const std::string bad = orbtest::WriteTempFile(text, ".csv");
  const orbtest::RunResult refused = Launch(kPlot, {bad, folder + "/bad.png"}, "", StandIn(folder));
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(
      refused.err,
      "plot-differences: " + bad + " line " +
          std::to_string(orbtest::SplitLines(text.substr(0, text.find("E04,Gal"))).size() + 1) +
          " is not a row of an OrbikaStats table\n");
  // With gnuplot itself, when it is there.
  if (std::system("command -v gnuplot > /dev/null 2>&1") != 0) return;
  const orbtest::RunResult real = Launch(kPlot, {name}, folder);
  EXPECT_EQ(real.status, 0) << real.err;
  EXPECT_NE(access((folder + "/t'.system(\"touch X\").'_1.png").c_str(), F_OK), -1);
  EXPECT_EQ(access((folder + "/X").c_str(), F_OK), -1)
      << "gnuplot ran a command of the file's name";
}

// Names that awk reads as an assignment (NAME=VALUE) or gnuplot as a pipe
// ('|' before the picture's name) are read and written as files, or
// refused; none runs a command, overwrites another file or waits for
// standard input.
TEST(PlotDifferences, NamesAreFilesNotCommands) {
  const std::string reference = orbtest::MakeTempDir();
  ASSERT_EQ(
      Launch(kPlot, {Fixture("stats_rules.txt"), reference + "/p.png"}, "", StandIn(reference))
          .status,
      0);
  const struct {
    std::string table, picture, err;
  } cases[] = {
      {"data=victim.txt", "data=victim.png", ""},
      {"day0=5.txt", "day0=5.png", ""},
      {"-v.txt", "-v.png", ""},
      {"|touch X; x.txt", "",
       "plot-differences: picture name '|touch X; x.png' would not be a file to gnuplot: name "
       "the picture as the second argument\n"},
  };
  const bool gnuplot = std::system("command -v gnuplot > /dev/null 2>&1") == 0;
  for (const auto& c : cases) {
    for (const bool real : {false, true}) {
      if (real && !gnuplot) continue;
      const std::string folder = orbtest::MakeTempDir();
      rename(orbtest::WriteTempFile(orbtest::ReadFileText(Fixture("stats_rules.txt"))).c_str(),
             (folder + "/" + c.table).c_str());
      rename(orbtest::WriteTempFile("keep\n").c_str(), (folder + "/victim.txt").c_str());
      // After "--" a name that begins with '-' is a name, as with other commands.
      const orbtest::RunResult run =
          Launch(kPlot, {"--", c.table}, folder, real ? "" : StandIn(folder));
      EXPECT_EQ(run.status, c.err.empty() ? 0 : 1) << c.table << run.err;
      EXPECT_EQ(run.err, c.err) << c.table;
      EXPECT_EQ(orbtest::ReadFileText(folder + "/victim.txt"), "keep\n") << c.table;
      EXPECT_EQ(access((folder + "/X").c_str(), F_OK), -1) << c.table;
      if (c.picture.empty()) continue;
      EXPECT_NE(access((folder + "/" + c.picture).c_str(), F_OK), -1) << c.table;
      if (!real) {
        EXPECT_EQ(orbtest::ReadFileText(folder + "/data"),
                  orbtest::ReadFileText(reference + "/data"))
            << c.table;
      }
    }
  }
}

// The points of hand-worked tables (see their comments): directions, the
// relativistic terms, the clock on the signal pair, and each epoch's median
// over a column's satellites, taken out only where four clocks formed it.
TEST(PlotDifferences, PlotsTheClocksAsTheStatisticsTakeThem) {
  std::string glonass25;
  for (const std::string& line :
       orbtest::SplitLines(orbtest::ReadFileText(Fixture("plot_glonass.csv")))) {
    size_t at = 0;
    for (int commas = 0; commas < 25 && at != std::string::npos; ++commas)
      at = line.find(',', at + 1);
    glonass25 += (line[0] == '#' ? line : line.substr(0, at)) + "\n";
  }
  const std::string t0 = "1640995200.000 ", t1 = "1640996100.000 ";
  const struct {
    std::string table;
    std::vector<std::string> points;  // in the order of the data
    std::string column;               // a column's title in the script
    bool tableDirections;             // dr_m, da_m, dc_m drawn as they are
  } cases[] = {{Fixture("stats_rules.csv"),
                {t0 + "1.0000 7.0000 0.0000 -4.000", t1 + "1.0000 7.0000 0.0000 nan",      // G01
                 t0 + "1.0000 7.0000 0.0000 -2.000", t1 + "1.0000 7.0000 0.0000 nan",      // G02
                 t0 + "1.0000 7.0000 0.0000 4996.000", t1 + "150.0000 0.0000 0.0000 nan",  // G05
                 t0 + "1.0000 7.0000 0.0000 nan",  // R01: three GLONASS clocks
                 t0 + "1.0000 7.0000 0.0000 -3.000", t0 + "1.0000 7.0000 0.0000 -1.000",
                 t0 + "1.0000 7.0000 0.0000 1.000", t0 + "0.0000 0.0000 0.0000 7.000",  // E01-E04
                 t0 + "1.0000 7.0000 0.0000 nan"},  // C01: the first of three BDS-2
                "GPS, 5 satellites\"",
                false},
               {Fixture("plot_glonass.csv"),
                {t0 + "0.5000 -2.0000 3.0000 -2.001", t0 + "0.5000 -2.0000 3.0000 -2.000",
                 t0 + "0.5000 -2.0000 3.0000 2.000", t0 + "0.5000 -2.0000 3.0000 6.000"},
                "GLONASS, 4 satellites, clock on L1/L2\"",
                true},
               {orbtest::WriteTempFile(glonass25, ".csv"),
                {t0 + "1.0000 7.0000 0.0000 -0.501", t0 + "1.0000 7.0000 0.0000 -0.500",
                 t0 + "1.0000 7.0000 0.0000 0.500", t0 + "1.0000 7.0000 0.0000 1.500"},
                "GLONASS, 4 satellites\"",
                false}};
  for (const auto& c : cases) {
    const std::string folder = orbtest::MakeTempDir();
    const orbtest::RunResult run = Launch(kPlot, {c.table, folder + "/p.png"}, "", StandIn(folder));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string script = orbtest::ReadFileText(folder + "/script");
    EXPECT_NE(script.find(c.column), std::string::npos) << c.table << "\n" << script;
    EXPECT_EQ(script.find("cross-track as the table gives them") != std::string::npos,
              c.tableDirections)
        << c.table;
    const std::string data = orbtest::ReadFileText(folder + "/data");
    size_t at = 0;
    for (const std::string& point : c.points) {
      const size_t found = data.find(point + "\n", at);
      EXPECT_NE(found, std::string::npos) << c.table << ": " << point << "\n" << data;
      if (found != std::string::npos) at = found + point.size();
    }
  }
}

// The options as a user gives them: what is drawn, or the exact complaint.
TEST(PlotDifferences, OptionsChooseSystemsRangesAndFormat) {
  // A copy in each case's folder, where the picture goes by default.
  const std::string table = "rules.csv";
  const std::string sisre = StatsCsv({Fixture("stats_rules.csv")});
  const std::string usage =
      "usage: plot-differences [OPTION...] TABLE [PICTURE]   (plot-differences -h: the options)\n";
  const struct {
    std::vector<std::string> args;  // the picture goes last, where given
    int status;
    std::string err, inScript, notInScript;
  } cases[] = {
      {{"--systems=E", table}, 0, "", "Galileo, 4 satellites", "GPS,"},
      {{"--satellites", "G01,E02", table}, 0, "", "GPS, 1 satellite\"", "Galileo, 4"},
      {{"--yrange=-2:3", "--clock-range=-5:5", table}, 0, "", "set yrange [-2:3]", ""},
      {{"--clock-range=-5:5", table}, 0, "", "set yrange [-5:5]", ""},
      {{"--format", "svg", table}, 0, "", "set terminal svg", "pngcairo"},
      {{"--systems=GE", "--yrange=0.1:10", sisre}, 0, "", "set yrange [0.1:10]", "BDS-2"},
      {{"--systems=I", table},
       1,
       "plot-differences: no satellite of " + table + " is of the systems and satellites chosen\n",
       "",
       ""},
      {{"--systems=X", table},
       1,
       "plot-differences: --systems=X: give system letters from G R E C J S I, e.g. "
       "--systems=GEC\n",
       "",
       ""},
      {{"--satellites=G1", table},
       1,
       "plot-differences: --satellites=G1: give satellites as G01,E11,C30\n",
       "",
       ""},
      {{"--yrange=3:2", table},
       1,
       "plot-differences: --yrange=3:2: give LOW:HIGH, two numbers, LOW below HIGH\n",
       "",
       ""},
      {{"--yrange=0:2", sisre},
       1,
       "plot-differences: --yrange=0:2: the SISRE axis is logarithmic: give LOW above 0\n",
       "",
       ""},
      {{"--format=gif", table},
       1,
       "plot-differences: --format=gif: give png, svg or pdf\n",
       "",
       ""},
      {{"--format"}, 1, "plot-differences: --format needs a value\n", "", ""},
      {{"--colour=red", table},
       1,
       "plot-differences: unknown option --colour=red (plot-differences -h: the options)\n",
       "",
       ""},
      {{"--systems=G"}, 1, usage, "", ""},
  };
  for (const auto& c : cases) {
    const std::string folder = orbtest::MakeTempDir();
    rename(orbtest::WriteTempFile(orbtest::ReadFileText(Fixture("stats_rules.csv"))).c_str(),
           (folder + "/" + table).c_str());
    const orbtest::RunResult run = Launch(kPlot, c.args, folder, StandIn(folder));
    EXPECT_EQ(run.status, c.status) << c.args[0] << run.err;
    EXPECT_EQ(run.err, c.err) << c.args[0];
    if (c.status != 0) continue;
    const std::string script = orbtest::ReadFileText(folder + "/script");
    EXPECT_NE(script.find(c.inScript), std::string::npos) << c.args[0] << "\n" << script;
    if (!c.notInScript.empty()) {
      EXPECT_EQ(script.find(c.notInScript), std::string::npos) << c.args[0];
    }
  }
  const orbtest::RunResult help = Launch(kPlot, {"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.rfind("plot-differences: draws", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--format=png|svg|pdf"), std::string::npos);
}

// Each kind of plot drawn by gnuplot itself: a day of differences, a day's
// SISRE bars and the SISRE lines of several days, in each format.
TEST(PlotDifferences, DrawsEachKindOfPlot) {
  if (std::system("command -v gnuplot > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "gnuplot is not installed (Debian package gnuplot-nox)";
  std::vector<std::string> days;
  for (const char* date : {"2022-01-01", "2022-01-02", "2022-01-03"}) {
    std::string t = orbtest::ReadFileText(Fixture("stats_rules.csv"));
    for (size_t at = t.find("2022-01-01"); at != std::string::npos;
         at = t.find("2022-01-01", at + 10))
      t.replace(at, 10, date);
    days.push_back(orbtest::WriteTempFile(t, ".csv"));
  }
  const std::string png("\x89PNG\r\n\x1a\n", 8);
  const struct {
    std::string table, format, magic;
  } cases[] = {
      {Fixture("stats_rules.csv"), "png", png}, {Fixture("plot_glonass.csv"), "svg", "<svg"},
      {StatsCsv({days[0]}), "png", png},        {StatsCsv(days), "png", png},
      {StatsCsv(days), "pdf", "%PDF"},
  };
  for (const auto& c : cases) {
    const std::string picture = orbtest::MakeTempDir() + "/plot." + c.format;
    const orbtest::RunResult run = Launch(kPlot, {"--format=" + c.format, c.table, picture});
    EXPECT_EQ(run.status, 0) << c.table << run.err;
    EXPECT_EQ(run.err, "");
    const std::string image = orbtest::ReadFileText(picture);
    EXPECT_GT(image.size(), 10000u) << c.table << " as " << c.format;
    EXPECT_NE(image.substr(0, 200).find(c.magic), std::string::npos)
        << c.table << " as " << c.format;
  }
}

// Set E's day: the panels' ranges follow the bulk of the points, not C06's
// precise clock 194 us off at four epochs; the geostationary C01 (the
// table's first satellite, so the first data block) keeps a small
// cross-track difference in the orbit's own frame.
TEST(PlotDifferences, SetERangesFollowTheBulkOfThePoints) {
  ORBIKA_REQUIRE_DATA();
  const orbtest::RunResult table =
      orbtest::RunOrbika({"-csv", "-epGFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz",
                          "-enBRDC00IGS_R_20220010000_01D_MN.rnx.gz",
                          "-egBRDC00IGS_R_20220010000_01D_MN.rnx.gz", "-pv../igs14_sats_only.atx"},
                         120, orbtest::DataDir() + "/setE");
  ASSERT_EQ(table.status, 0) << table.err;
  ASSERT_NE(table.out.find("\n2022-01-01T00:00:00.000,59580,0.000,C01,"), std::string::npos);
  const std::string folder = orbtest::MakeTempDir();
  const orbtest::RunResult run = Launch(
      kPlot, {orbtest::WriteTempFile(table.out, ".csv"), folder + "/e.png"}, "", StandIn(folder));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string script = orbtest::ReadFileText(folder + "/script");
  for (const char* title : {"GPS, 32 satellites", "BDS-2, 15 satellites", "BDS-3, 29 satellites"})
    EXPECT_NE(script.find(title), std::string::npos) << title;
  int ranges = 0;
  for (const std::string& line : orbtest::SplitLines(script)) {
    double low = 0, high = 0;
    if (std::sscanf(line.c_str(), "set yrange [%lf:%lf]", &low, &high) != 2) continue;
    ++ranges;
    EXPECT_LT(high - low, 400) << line;
  }
  EXPECT_EQ(ranges, 6 * 5);  // six columns of four panels and a legend
  double lowestClock = 0, sum = 0;
  int blank = 0, block = 0, points = 0;
  for (const std::string& line : orbtest::SplitLines(orbtest::ReadFileText(folder + "/data"))) {
    blank = line.empty() ? blank + 1 : 0;
    if (blank == 2) ++block;
    double t, r, a, c, clock;
    if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf", &t, &r, &a, &c, &clock) < 4) continue;
    if (std::sscanf(line.c_str(), "%*f %*f %*f %*f %lf", &clock) == 1)
      lowestClock = std::min(lowestClock, clock);
    if (block == 0) sum += c * c, ++points;
  }
  EXPECT_LT(lowestClock, -190000) << "C06's clock episode is in the data";
  ASSERT_GT(points, 90);
  EXPECT_LT(std::sqrt(sum / points), 2.0) << "C01 cross-track RMS [m]";
}

}  // namespace
