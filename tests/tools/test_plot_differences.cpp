// The plot script as a user runs it: on Orbika's text and -csv tables, on
// OrbikaStats' CSV output, and on names and words crafted to reach
// gnuplot's command line.  A stand-in gnuplot (named by GNUPLOT) keeps the
// script, the data and the arguments the plot script gives it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
      "printf '%s\\n' \"$3\" \"$4\" \"$5\" > '" +
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
  } cases[] = {
      {{Fixture("stats_rules.csv")}, "SISRE per satellite, 2022-01-01: ", "15 2.099 0.000 E04"},
      {{Fixture("stats_rules.csv"), day2}, "SISRE per system and day: ", "2022-01-02 1.400 1.757"}};
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
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(args[0], "./t'.system(\"touch X\").'_1.png");
  EXPECT_EQ(args[2], name);
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
  ASSERT_EQ(Launch(kPlot, {Fixture("stats_rules.txt"), reference + "/p.png"}, "",
                   StandIn(reference))
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
      const orbtest::RunResult run =
          Launch(kPlot, {c.table}, folder, real ? "" : StandIn(folder));
      EXPECT_EQ(run.status, c.err.empty() ? 0 : 1) << c.table << run.err;
      EXPECT_EQ(run.err, c.err) << c.table;
      EXPECT_EQ(orbtest::ReadFileText(folder + "/victim.txt"), "keep\n") << c.table;
      EXPECT_EQ(access((folder + "/X").c_str(), F_OK), -1) << c.table;
      if (c.picture.empty()) continue;
      EXPECT_NE(access((folder + "/" + c.picture).c_str(), F_OK), -1) << c.table;
      if (!real)
        EXPECT_EQ(orbtest::ReadFileText(folder + "/data"),
                  orbtest::ReadFileText(reference + "/data"))
            << c.table;
    }
  }
}

}  // namespace
