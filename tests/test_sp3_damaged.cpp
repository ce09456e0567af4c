// Damaged copies of real SP3 files, written by the tests, run through the
// program as a user would: what each damage costs (a warning naming the
// epoch and what was wrong, missing values where records are missing) and
// that every other record prints exactly as from the clean file.
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestUtil.h"

namespace {

const char kGrg[] = "grg21553.sp3";

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
  std::function<void(Lines&)> edit;
  // Expected standard error, given the damaged lines.
  std::function<std::string(const Lines&)> warnings;
  // Satellites whose records are missing somewhere; "*": every satellite.
  std::vector<std::string> missing;
};

// Line number (1-based) of the epoch line of hh:mm in grg21553.sp3.
std::string EpochLineNo(const Lines& l, const char* hhmm) {
  return std::to_string(Find(l, std::string("*  2021  4 28 ") + hhmm) + 1);
}

TEST(sp3DamagedReal, EachDamageCostsOnlyWhatIsDamaged) {
  ORBIKA_REQUIRE_DATA();
  const std::string clean = orbtest::ReadFileText(orbtest::DataFile(kGrg));
  const Lines cleanLines = orbtest::SplitLines(clean);
  const orbtest::RunResult base = RunOn(kGrg, clean);
  ASSERT_EQ(base.status, 0);
  ASSERT_EQ(base.err, "");
  const std::map<std::string, Lines> baseSats = BySatellite(base.out);

  const std::vector<Damage> cases = {
      {"the two blank lines of the file as distributed",
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
       [](Lines& l) { l.erase(l.begin() + Find(l, "PG05", Find(l, "*  2021  4 28 19  0"))); },
       [](const Lines& l) {
         return Warning(kGrg, "EPOCH 2021-04-28 19:00:00.00000000 (LINE " +
                                  EpochLineNo(l, "19  0") +
                                  "): NO RECORD OF 1 LISTED SATELLITE (G05), MISSING HERE!");
       },
       {"G05"}},
      {"the header of the whole day on the excerpt",
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
      {"a block lost and a block off the grid",
       [](Lines& l) {
         const size_t at = Find(l, "*  2021  4 28 20  0");
         l.erase(l.begin() + at, l.begin() + Find(l, "*", at + 1));
         l[Find(l, "*  2021  4 28 21  0")] = "*  2021  4 28 21  1  0.00000000";
       },
       [](const Lines& l) {
         return Warning(kGrg, "EPOCH 2021-04-28 21:01:00.00000000 (LINE " +
                                  EpochLineNo(l, "21  1") +
                                  ") OFF THE 300.00000000 S GRID OF THE TABLE - BLOCK SKIPPED!") +
                Warning(kGrg,
                        "2 EPOCHS OF THE TABLE WITHOUT A BLOCK (THE FIRST 2021-04-28 "
                        "20:00:00.00000000) - THEIR RECORDS ARE MISSING!");
       },
       {"*"}},
  };

  for (const Damage& d : cases) {
    SCOPED_TRACE(d.name);
    Lines lines = cleanLines;
    d.edit(lines);
    const orbtest::RunResult r = RunOn(kGrg, Text(lines));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, d.warnings(lines));
    const std::map<std::string, Lines> sats = BySatellite(r.out);
    ASSERT_EQ(sats.size(), baseSats.size());
    for (const auto& [code, want] : baseSats) {
      const Lines& got = sats.at(code);
      ASSERT_EQ(got.size(), want.size()) << code;
      const bool mayMiss =
          !d.missing.empty() && (d.missing[0] == "*" || d.missing[0] == code);
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

// A satellite code is its system's: S20 is SBAS, never GPS 20, and letters
// without a number range are left out with one warning.
TEST(sp3DamagedReal, SystemLettersNeverFoldOntoGps) {
  ORBIKA_REQUIRE_DATA();
  const std::string clean = orbtest::ReadFileText(orbtest::DataFile(kGrg));
  const orbtest::RunResult base = RunOn(kGrg, clean);
  ASSERT_EQ(base.status, 0);
  // R01 becomes S20, R02 becomes L02 and R03 becomes X03, in the list and
  // in every block.
  std::string text;
  for (std::string l : orbtest::SplitLines(clean)) {
    for (const auto& [from, to] : {std::pair<const char*, const char*>{"R01", "S20"},
                                   {"R02", "L02"},
                                   {"R03", "X03"}}) {
      const size_t at = l.rfind('+', 0) == 0 ? l.find(from) : (l.find(from) == 1 ? 1 : l.npos);
      if (at != std::string::npos) l.replace(at, 3, to);
    }
    text += l + "\n";
  }
  const orbtest::RunResult r = RunOn(kGrg, text);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, Warning(kGrg, "SATELLITES L02 X03 SKIPPED - THEIR SYSTEM LETTERS HAVE NO "
                                 "SATELLITE NUMBERS!"));
  std::map<std::string, Lines> sats = BySatellite(r.out), baseSats = BySatellite(base.out);
  EXPECT_EQ(sats.count("L02") + sats.count("X03"), 0u);
  // Every GPS satellite, G20 above all, prints exactly as from the clean
  // file; S20 has a block of its own.
  for (const auto& [code, want] : baseSats)
    if (code[0] == 'G') {
      EXPECT_EQ(sats[code], want) << code;
    }
  EXPECT_EQ(sats["S20"].size(), baseSats["R01"].size());
}

}  // namespace
