// Inputs that once broke a reader, kept in tests/data/crash and run
// through the built program: each must end soundly (status 0 or 1, a framed
// report for 1, no index or sanitizer report).  The file name's first word
// says what the input is: gpsnav-, glonav-, sp3-, antex- for a file of that
// kind, cli- for a command line (one word per line).
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/TestUtil.h"
#include "tests/src/test_damaged_util.h"

namespace {

std::vector<std::string> CrashFiles() {
  std::vector<std::string> names;
  DIR* d = opendir(ORBIKA_CRASH_DIR);
  if (d == nullptr) return names;
  while (const dirent* e = readdir(d))
    if (e->d_name[0] != '.') names.push_back(e->d_name);
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

bool Starts(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// A command line input runs in a folder with the fixture files under the
// short names the fuzz target gives them.
damaged::Outcome RunWords(const std::string& file) {
  const std::string dir = orbtest::MakeTempDir();
  const std::string fx = orbtest::FixtureDir();
  const char* const links[][2] = {{"n", "gps_three.n"},
                                  {"g", "glo_leap2012.g"},
                                  {"p", "sp3_four_sats.sp3"},
                                  {"a", "antex_mixed.atx"}};
  for (const auto& l : links)
    EXPECT_EQ(symlink((fx + "/" + l[1]).c_str(), (dir + "/" + l[0]).c_str()), 0);
  damaged::WriteFile(dir + "/e", "");
  std::vector<std::string> words;
  std::string w;
  for (char c : orbtest::ReadFileText(file)) {
    if (c == '\n' || c == '\0') {
      words.push_back(w);
      w.clear();
    } else {
      w += c;
    }
  }
  if (!w.empty()) words.push_back(w);
  damaged::Outcome o;
  static_cast<orbtest::RunResult&>(o) = orbtest::RunOrbika(words, 60, dir);
  return o;
}

// What some of the inputs must report (the file's path stands for %s).
struct Expected {
  const char* name;
  int status;
  const char* text;
};
const Expected kExpected[] = {
    {"glonav-slot-zero.g", 1,
     "**** GLNbEph: Error -> GLONASS NAVIGATION FILE %s: SATELLITE NUMBER NOT IN 1-99 IN "
     "RECORD 1! ****"},
    {"glonav-tauc-overflow.g", 1,
     "**** GLNbEph: Error -> GLONASS NAVIGATION FILE %s: CORR TO SYSTEM TIME OUT OF RANGE "
     "[|TauC| < 1 s]! ****"},
    // Read by its columns, the field of the overflowing exponent is a time of
    // ephemeris far outside the week.
    {"gpsnav-exponent-overflow.n", 1,
     "**** GPSbEph: Error -> GPS NAVIGATION FILE %s: NO PLAUSIBLE RECORD! ****"},
    {"gpsnav-prn-150.n", 1,
     "**** GPSbEph: Error -> GPS NAVIGATION FILE %s: SATELLITE NUMBER NOT IN 1-99 IN "
     "RECORD 1! ****"},
    {"sp3-number-overflow.sp3", 1,
     "**** Orbika: Error -> GNSS PRECISE EPHEMERIS FILE %s: LINE 23: NUMBER OUT OF RANGE! ****"},
    {"sp3-short-block.sp3", 0,
     "#### Orbika: Warning -> GNSS PRECISE EPHEMERIS FILE %s: EPOCH 2009-04-01 00:30:00.00000000 "
     "(LINE 31): NO RECORD OF 2 LISTED SATELLITES (R01 E11), MISSING HERE! ####"},
};

TEST(CrashInputs, EveryKeptInputEndsSoundly) {
  const std::vector<std::string> names = CrashFiles();
  ASSERT_FALSE(names.empty()) << "no inputs in " << ORBIKA_CRASH_DIR;
  for (const std::string& name : names) {
    const std::string path = std::string(ORBIKA_CRASH_DIR) + "/" + name;
    damaged::Outcome o;
    if (Starts(name, "gpsnav-"))
      o = damaged::RunOn(damaged::GpsNav(), path);
    else if (Starts(name, "glonav-"))
      o = damaged::RunOn(damaged::GlonassNav(), path);
    else if (Starts(name, "sp3-"))
      o = damaged::RunOn(damaged::Precise(), path);
    else if (Starts(name, "antex-"))
      o = damaged::RunOn(damaged::Antex(), path);
    else if (Starts(name, "cli-"))
      o = RunWords(path);
    else
      ADD_FAILURE() << name << ": name says no kind of input";
    damaged::ExpectSound(o, name);
    for (const Expected& e : kExpected) {
      if (name != e.name) continue;
      std::string text = e.text;
      text.replace(text.find("%s"), 2, path);
      EXPECT_EQ(o.status, e.status) << name;
      EXPECT_NE((o.out + o.err).find(text), std::string::npos) << name << "\n" << o.out << o.err;
    }
  }
}

}  // namespace
