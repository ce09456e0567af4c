// Damaged copies of real SP3 files, written by the tests, run through the
// program as a user would: what each damage costs (a warning naming the
// epoch and what was wrong, missing values where records are missing) and
// that every other record prints exactly as from the clean file.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/TestUtil.h"

namespace {

const char kGrg[] = "grg21553.sp3";
const char kCodD[] = "COD0MGXFIN_20201360000_01D_05M_ORB.SP3";  // set C, SP3-d

// Lines of a file and the text made of them.
using Lines = std::vector<std::string>;
std::string Text(const Lines& lines) {
  std::string t;
  for (const std::string& l : lines) t += l + "\n";
  return t;
}

// Index of the first line that starts with prefix, from line from on.
size_t Find(const Lines& lines, const std::string& prefix, size_t from = 0) {
  for (size_t k = from; k < lines.size(); ++k)
    if (lines[k].rfind(prefix, 0) == 0) return k;
  ADD_FAILURE() << "no line starting with " << prefix;
  return lines.size();
}

// Runs the program on text saved under the real file's name (so that the
// settings head is the same), at the tabulated epochs.
orbtest::RunResult RunOn(const std::string& name, const std::string& text) {
  const std::string dir = orbtest::MakeTempDir();
  std::FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return orbtest::RunOrbika({"-ep" + name, "-dt300"}, 60, dir);
}

// Result lines of the output by satellite code, in order.
std::map<std::string, Lines> BySatellite(const std::string& out) {
  std::map<std::string, Lines> sats;
  for (const std::string& l : orbtest::SplitLines(out))
    if (l.size() >= 46 && l[0] != '#') sats[l.substr(43, 3)].push_back(l);
  return sats;
}

std::string Warning(const std::string& file, const std::string& what) {
  return "\n#### Orbika: Warning -> GNSS PRECISE EPHEMERIS FILE " + file + ": " + what +
         " ####\n     Continuing Orbika ... \n\n";
}

struct Damage {
  const char* name;
  const char* file;  // in the data folder
  std::function<void(Lines&)> edit;
  // Expected standard error, given the damaged lines.
  std::function<std::string(const Lines&)> warnings;
  // Satellites whose records are missing somewhere; "*": every satellite.
  std::vector<std::string> missing;
  int status = 0;  // 1: the file is refused (nothing on standard output)
};

std::string Error(const std::string& file, const std::string& what) {
  return "\n**** Orbika: Error -> GNSS PRECISE EPHEMERIS FILE " + file + ": " + what +
         " ****\n     Exiting Orbika ... \n\n";
}

// The sequence of the epoch lines broken at line at: the neighbours' slot
// named as placed.
std::string Placed(const std::string& file, const std::string& said, const std::string& slot) {
  return Warning(file, said + " - BLOCK PLACED AT 2021-04-28 " + slot + ":00.00000000" +
                           (said.rfind("EPOCH LINE", 0) == 0 ? " BETWEEN ITS NEIGHBOURS!" : "!"));
}

// Line number (1-based) of the epoch line of hh:mm in grg21553.sp3, and of
// the day of set C.
std::string EpochLineNo(const Lines& l, const char* hhmm) {
  return std::to_string(Find(l, std::string("*  2021  4 28 ") + hhmm) + 1);
}
std::string EpochLineNoC(const Lines& l, const char* hhmm) {
  return std::to_string(Find(l, std::string("*  2020  5 15 ") + hhmm) + 1);
}

TEST(sp3DamagedReal, EachDamageCostsOnlyWhatIsDamaged) {
  ORBIKA_REQUIRE_DATA();
  const std::string setC = std::string("setC/") + kCodD;
  const std::vector<Damage> cases = {
      {"the two blank lines of the file as distributed",
       kGrg,
       [](Lines& l) {
         const size_t last = Find(l, "*  2021  4 28 22 30");
         l.insert(l.begin() + Find(l, "PG27", last) + 1, "");
         l.insert(l.begin() + Find(l, "PG29", last) + 1, "");
       },
       [](const Lines& l) {
         return Warning(kGrg, "EPOCH 2021-04-28 22:30:00.00000000 (LINE " +
                                  EpochLineNo(l, "22 30") + "): 2 BLANK LINES SKIPPED!");
       },
       {}},
      {"two records swapped and a satellite not in the list",
       kGrg,
       [](Lines& l) {
         const size_t at = Find(l, "PG05", Find(l, "*  2021  4 28 19  0"));
         std::swap(l[at], l[at + 1]);
         l.insert(l.begin() + at, "PG33" + l[at].substr(4));
       },
       [](const Lines& l) {
         return Warning(kGrg, "EPOCH 2021-04-28 19:00:00.00000000 (LINE " +
                                  EpochLineNo(l, "19  0") +
                                  "): RECORDS OF SATELLITES NOT IN THE LIST SKIPPED (G33); "
                                  "RECORDS OUT OF THE LIST'S ORDER PLACED BY SATELLITE!");
       },
       {}},
      {"a record lost",
       kGrg,
       [](Lines& l) { l.erase(l.begin() + Find(l, "PG05", Find(l, "*  2021  4 28 19  0"))); },
       [](const Lines& l) {
         return Warning(kGrg, "EPOCH 2021-04-28 19:00:00.00000000 (LINE " +
                                  EpochLineNo(l, "19  0") +
                                  "): NO RECORD OF 1 LISTED SATELLITE (G05), MISSING HERE!");
       },
       {"G05"}},
      {"the header of the whole day on the excerpt",
       kGrg,
       [](Lines& l) {
         l[0].replace(14, 2, " 0").replace(32, 7, "    288");
         l[1].replace(45, 15, "0.0000000000000");
       },
       [](const Lines&) {
         return Warning(kGrg,
                        "HEADER DISAGREES WITH THE EPOCH LINES: START 2021-04-28 "
                        "00:00:00.00000000 AND 288 EPOCHS IN THE HEADER, START 2021-04-28 "
                        "18:00:00.00000000 AND 55 EPOCHS IN THE EPOCH LINES - THE TABLE FOLLOWS "
                        "THE EPOCH LINES!");
       },
       {}},
      {"a block lost and the next off the grid (their neighbours leave no one slot)",
       kGrg,
       [](Lines& l) {
         const size_t at = Find(l, "*  2021  4 28 20  0");
         l.erase(l.begin() + at, l.begin() + Find(l, "*", at + 1));
         l[Find(l, "*  2021  4 28 20  5")] = "*  2021  4 28 20  6  0.00000000";
       },
       [](const Lines& l) {
         return Warning(kGrg, "EPOCH 2021-04-28 20:06:00.00000000 (LINE " +
                                  EpochLineNo(l, "20  6") +
                                  ") OFF THE 300.00000000 S GRID OF THE TABLE - BLOCK SKIPPED!") +
                Warning(kGrg,
                        "2 EPOCHS OF THE TABLE WITHOUT A BLOCK (THE FIRST 2021-04-28 "
                        "20:00:00.00000000) - THEIR RECORDS ARE MISSING!");
       },
       {"*"}},
      {"a day typo, a minute typo and an epoch line without a valid date",
       kGrg,
       [](Lines& l) {
         l[Find(l, "*  2021  4 28 19  0")] = "*  2021  4 29 19  0  0.00000000";
         l[Find(l, "*  2021  4 28 20  0")] = "*  2021  4 28 20  1  0.00000000";
         l[Find(l, "*  2021  4 28 21  0")] = "*  2021 13 28 21  0  0.00000000";
       },
       [](const Lines& l) {
         return Placed(kGrg, "EPOCH 2021-04-29 19:00:00.00000000 (LINE " +
                                 std::to_string(Find(l, "*  2021  4 29") + 1) + ") BREAKS THE "
                                 "SEQUENCE OF ITS NEIGHBOURS", "19:00") +
                Placed(kGrg, "EPOCH 2021-04-28 20:01:00.00000000 (LINE " + EpochLineNo(l, "20  1") +
                                 ") BREAKS THE SEQUENCE OF ITS NEIGHBOURS", "20:00") +
                Placed(kGrg, "EPOCH LINE " + std::to_string(Find(l, "*  2021 13") + 1) +
                                 " HOLDS NO VALID DATE AND TIME", "21:00");
       },
       {}},
      {"SP3-d: a year typo in one of 17 epochs",
       setC.c_str(),
       [](Lines& l) { l[Find(l, "*  2020  5 15 15  0")].replace(3, 4, "2002"); },
       [](const Lines& l) {
         return Warning(kCodD, "EPOCH 2002-05-15 15:00:00.00000000 (LINE " +
                                   std::to_string(Find(l, "*  2002") + 1) +
                                   ") BREAKS THE SEQUENCE OF ITS NEIGHBOURS - BLOCK PLACED AT "
                                   "2020-05-15 15:00:00.00000000!");
       },
       {}},
      {"a header interval of 100 s and a satellite listed 18 times",
       kGrg,
       [](Lines& l) {
         l[1].replace(24, 14, "  100.00000000");
         l[2].replace(4, 2, "68");
         l[5] = "+        ";
         for (int k = 0; k < 17; ++k) l[5] += "G05";
       },
       [](const Lines&) {
         return Warning(kGrg, "SATELLITES LISTED MORE THAN ONCE, KEPT ONCE: G05!") +
                Warning(kGrg,
                        "HEADER DISAGREES WITH THE EPOCH LINES: INTERVAL 100.00000000 S IN THE "
                        "HEADER, INTERVAL 300.00000000 S IN THE EPOCH LINES - THE TABLE FOLLOWS "
                        "THE EPOCH LINES!");
       },
       {}},
      {"the last epoch line ten days late, the first a year early",
       kGrg,
       [](Lines& l) {
         l[Find(l, "*  2021  4 28 22 30")].replace(8, 5, " 5  8");
         l[Find(l, "*  2021  4 28 18  0")].replace(3, 4, "2020");
       },
       [](const Lines& l) {
         return Warning(kGrg, "EPOCH 2020-04-28 18:00:00.00000000 (LINE " +
                                  std::to_string(Find(l, "*  2020") + 1) +
                                  ") BREAKS THE SEQUENCE OF THE BLOCKS AFTER IT - BLOCK PLACED AT "
                                  "2021-04-28 18:00:00.00000000, AS THE HEADER SAYS!") +
                Warning(kGrg, "EPOCH 2021-05-08 22:30:00.00000000 (LINE " +
                                  std::to_string(Find(l, "*  2021  5  8") + 1) +
                                  ") BREAKS THE SEQUENCE OF THE BLOCKS BEFORE IT - BLOCK PLACED AT "
                                  "2021-04-28 22:30:00.00000000, AS THE HEADER SAYS!");
       },
       {}},
      {"a start fraction of day of 1",
       kGrg,
       [](Lines& l) { l[1].replace(45, 15, "1.0000000000000"); },
       [](const Lines&) {
         return Error(kGrg, "LINE 2: START FRACTION OF DAY 1 NOT IN [0, 1)!");
       },
       {},
       1},
      {"SP3-d: a blank line, and a record lost in another block",
       setC.c_str(),
       [](Lines& l) {
         l.insert(l.begin() + Find(l, "PE05", Find(l, "*  2020  5 15 14 30")) + 1, "");
         l.erase(l.begin() + Find(l, "PR07", Find(l, "*  2020  5 15 15  0")));
       },
       [](const Lines& l) {
         return Warning(kCodD, "EPOCH 2020-05-15 14:30:00.00000000 (LINE " +
                                   EpochLineNoC(l, "14 30") + "): 1 BLANK LINE SKIPPED!") +
                Warning(kCodD, "EPOCH 2020-05-15 15:00:00.00000000 (LINE " +
                                   EpochLineNoC(l, "15  0") +
                                   "): NO RECORD OF 1 LISTED SATELLITE (R07), MISSING HERE!");
       },
       {"R07"}},
  };

  for (const Damage& d : cases) {
    SCOPED_TRACE(d.name);
    const std::string clean = orbtest::ReadFileText(orbtest::DataDir() + "/" + d.file);
    const std::string file = d.file;
    const std::string name = file.substr(file.rfind('/') + 1);  // npos + 1: the whole
    const orbtest::RunResult base = RunOn(name, clean);
    ASSERT_EQ(base.status, 0);
    ASSERT_EQ(base.err, "");
    const std::map<std::string, Lines> baseSats = BySatellite(base.out);
    Lines lines = orbtest::SplitLines(clean);
    d.edit(lines);
    const orbtest::RunResult r = RunOn(name, Text(lines));
    EXPECT_EQ(r.status, d.status);
    EXPECT_EQ(r.err, d.warnings(lines));
    if (d.status != 0) {
      EXPECT_EQ(r.out, "");
      continue;
    }
    const std::map<std::string, Lines> sats = BySatellite(r.out);
    ASSERT_EQ(sats.size(), baseSats.size());
    for (const auto& [code, want] : baseSats) {
      const Lines& got = sats.at(code);
      ASSERT_EQ(got.size(), want.size()) << code;
      const bool mayMiss = !d.missing.empty() && (d.missing[0] == "*" || d.missing[0] == code);
      long nan = 0;
      for (size_t k = 0; k < got.size(); ++k) {
        if (mayMiss && got[k].find("nan") != std::string::npos) {
          ++nan;
          continue;
        }
        EXPECT_EQ(got[k], want[k]) << code << " epoch " << k;
      }
      // A missing record leaves its satellite without values in the
      // windows that hold it, and only there.
      if (mayMiss) {
        EXPECT_GT(nan, 0) << code;
      }
    }
  }
}

// A satellite code is its system's: S20 is SBAS, never GPS 20, I04 is
// IRNSS, and letters without a number range are left out with one warning.
TEST(sp3DamagedReal, SystemLettersNeverFoldOntoGps) {
  ORBIKA_REQUIRE_DATA();
  const std::string clean = orbtest::ReadFileText(orbtest::DataFile(kGrg));
  const orbtest::RunResult base = RunOn(kGrg, clean);
  ASSERT_EQ(base.status, 0);
  // Codes changed in the list and in every block.
  const std::map<std::string, std::string> renamed = {
      {"R01", "S20"}, {"R02", "L02"}, {"R03", "X03"}, {"R04", "I04"}};
  std::string text;
  for (std::string l : orbtest::SplitLines(clean)) {
    for (const auto& [from, to] : renamed) {
      const size_t at = l.rfind('+', 0) == 0 ? l.find(from) : (l.find(from) == 1 ? 1 : l.npos);
      if (at != std::string::npos) l.replace(at, 3, to);
    }
    text += l + "\n";
  }
  const orbtest::RunResult r = RunOn(kGrg, text);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, Warning(kGrg,
                           "LIST ENTRIES OF SYSTEMS WITHOUT SATELLITE NUMBERS SKIPPED: "
                           "L02 X03!"));
  std::map<std::string, Lines> sats = BySatellite(r.out), baseSats = BySatellite(base.out);
  EXPECT_EQ(sats.count("L02") + sats.count("X03"), 0u);
  // Every GPS satellite, G20 above all, prints exactly as from the clean
  // file; S20 and I04 print the orbits and clocks of R01 and R04.
  for (const auto& [code, want] : baseSats) {
    if (code[0] == 'G') {
      EXPECT_EQ(sats[code], want) << code;
    }
  }
  for (const auto& [from, to] :
       {std::pair<std::string, std::string>{"R01", "S20"}, {"R04", "I04"}}) {
    Lines want = baseSats[from];
    for (std::string& l : want) l.replace(43, 3, to);
    EXPECT_EQ(sats[to], want) << to;
  }
}

// Precise values that cannot be had print nan, in every column that holds
// them: epochs more than one interval outside the table (set B, a 300 s
// table from 18:00 to 22:30), with one warning for the run, and the clock
// difference where the precise clock is the bad-clock marker (set E, C06).
TEST(sp3DamagedReal, PreciseValuesThatCannotBeHadReadNan) {
  ORBIKA_REQUIRE_DATA();
  const std::string sp3 = orbtest::DataFile(kGrg);
  const orbtest::RunResult near = orbtest::RunOrbika(
      {"-ep" + sp3, "-prG05", "-ts2021-04-28,17:55:00", "-te2021-04-28,22:35:00", "-dt300"});
  const orbtest::RunResult far = orbtest::RunOrbika(
      {"-ep" + sp3, "-prG05", "-ts2021-04-28,17:50:00", "-te2021-04-28,22:45:00", "-dt300"});
  ASSERT_EQ(near.status, 0);
  EXPECT_EQ(near.err, "");
  EXPECT_EQ(far.status, 0);
  EXPECT_EQ(far.err, Warning(sp3,
                             "FIRST EPOCH MORE THAN ONE INTERVAL OUTSIDE THE TABLE: 2021-04-28 "
                             "17:50:00.00000000 - SUCH EPOCHS ARE NOT EXTRAPOLATED, THEIR "
                             "PRECISE COLUMNS ARE WRITTEN AS nan!"));
  const Lines within = BySatellite(near.out)["G05"], all = BySatellite(far.out)["G05"];
  ASSERT_EQ(all.size(), within.size() + 3);
  const std::string nan16 = "             nan", nan14 = "           nan", nan12 = "         nan";
  const std::string nanRecord = nan16 + nan16 + nan16 + nan14 + " " + nan12 + nan12 + nan12;
  for (size_t k : {size_t{0}, all.size() - 2, all.size() - 1})
    EXPECT_EQ(all[k].substr(46), nanRecord) << all[k];
  EXPECT_EQ(Lines(all.begin() + 1, all.end() - 2), within);

  const std::string setE = orbtest::DataDir() + "/setE/";
  const orbtest::RunResult c06 =
      orbtest::RunOrbika({"-ep" + setE + "GFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz",
                          "-en" + setE + "BRDC00IGS_R_20220010000_01D_MN.rnx.gz", "-prC06"});
  ASSERT_EQ(c06.status, 0) << c06.err;
  long bad = 0, good = 0;
  const Lines records = BySatellite(c06.out)["C06"];
  for (const std::string& l : records) {
    ASSERT_EQ(l.size(), 46u + 62 + 37 + 62) << l;
    const bool marker = l.substr(94, 14) == "   1000.000000";
    (marker ? bad : good) += 1;
    // The position difference stays a number either way.
    EXPECT_EQ(l.substr(145, 48).find("nan"), std::string::npos) << l;
    EXPECT_EQ(l.substr(193) == nan14, marker) << l;
  }
  EXPECT_GT(bad, 0);
  EXPECT_GT(good, 0);
}

// Every satellite of the given systems prints, at each tabulated epoch, the
// position and clock of the file's record: the SP3-d file of set C.
void ExpectTabulatedValues(const std::string& systems) {
  const std::string path = orbtest::DataDir() + "/setC/" + kCodD;
  const std::string text = orbtest::ReadFileText(path);
  const orbtest::RunResult r = RunOn(kCodD, text);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::map<std::string, Lines> sats = BySatellite(r.out);
  long block = -1, checked = 0;
  std::string when;  // date and time of the block as the table prints it
  for (const std::string& l : orbtest::SplitLines(text)) {
    if (l.rfind("*  ", 0) == 0) {
      ++block;  // "*  2020  5 15 14 20  0.00000000"
      when = " 2020-05-15 " + l.substr(14, 2) + ":" + l.substr(17, 2) + ":00.0";
      for (char& c : when) c = c == ' ' && &c > &when[11] ? '0' : c;
    }
    if (l[0] != 'P' || systems.find(l[1]) == std::string::npos) continue;
    const std::string code = l.substr(1, 3);
    ASSERT_GT(sats[code].size(), static_cast<size_t>(block)) << code;
    const std::string& out = sats[code][static_cast<size_t>(block)];
    EXPECT_EQ(out.substr(0, 22), when) << code;
    if (std::stod(l.substr(4, 14)) == 0) continue;  // no position in the file
    // Positions in km with 6 decimals, printed in m with 3; clocks in
    // microseconds, printed in ms with 6 decimals.
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(std::stod(out.substr(46 + 16 * c, 16)),
                  std::stod(l.substr(4 + 14 * c, 14)) * 1000, 5e-4)
          << code << " block " << block << " axis " << c;
    const double us = std::stod(l.substr(46, 14));
    if (us < 999999) {
      EXPECT_NEAR(std::stod(out.substr(94, 14)), us / 1000, 5.0000001e-7) << code;
    }
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST(sp3VersionD, EverySatellitePrintsTheTabulatedValues) {
  ORBIKA_REQUIRE_DATA();
  ExpectTabulatedValues("GRECJ");
}

}  // namespace
