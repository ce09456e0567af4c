// The command line and the input checks as steps on a run state.  Each case
// runs in a child process, which writes the resulting state on standard
// output after whatever the step itself wrote.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/Orbika_GetFiles.h"
#include "tests/TestUtil.h"
#include "tests/src/test_cli_text.h"

using clitest::ErrorText;
using clitest::Fixture;
using clitest::kVerboseAntex;
using clitest::kVerboseCheck;
using clitest::kVerboseStart;
using clitest::WarningText;

namespace {

// Files and their flags: "en=NAME+" for a named, usable GPS navigation file.
std::string Files(const Orbika& gc) {
  auto one = [](const char* tag, const char* name, bool flag) {
    return std::string(tag) + "=" + name + (flag ? "+" : "-");
  };
  return one("en", gc.gnavfile, gc.isGPSnav) + " " + one("eg", gc.rnavfile, gc.isGLNnav) +
         " " + one("ep", gc.sp3file, gc.isPEph) + " " + one("pv", gc.atxfile, gc.isAtx);
}

// Satellite list, or "-" when none was given.
std::string Sats(const Orbika& gc) {
  if (!gc.isPRNList) return "-";
  std::string s = "[";
  for (int i = 0; i < gc.satprn.NRow(); ++i) s += (i ? "," : "") + std::to_string(gc.satprn(i));
  return s + "]";
}

std::string Epoch(bool set, const mjd& t) {
  if (!set) return "-";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%u/%.6Lf", t.GetMJDay(), t.GetSecond());
  return buf;
}

std::string State(const Orbika& gc) {
  char steps[96];
  std::snprintf(steps, sizeof steps, "dt=%.17Lg ni=%.17Lg", gc.dt, gc.dtni);
  return Files(gc) + " sat=" + Sats(gc) + " ts=" + Epoch(gc.isStart, gc.stE) +
         " te=" + Epoch(gc.isEnd, gc.enE) + " ti=" + Epoch(gc.isUse, gc.useE) + " " + steps +
         " v=" + std::to_string(gc.verbose) + " help=" + std::to_string(gc.isHelp) +
         " run=" + std::to_string(gc.RunProg) + "\n";
}

// The state after the file names when nothing else was given.
const std::string kRestDefault = "sat=- ts=- te=- ti=- dt=900 ni=30";
const std::string kDefaults = "en=- eg=- ep=- pv=- " + kRestDefault;

// ParseArguments on the program's name and words; stdout ends with the state.
orbtest::RunResult Parse(const std::vector<std::string>& words,
                         const std::string& name = "Orbika") {
  return orbtest::RunCaptured([&]() {
    std::vector<const char*> argv{name.c_str()};
    for (const auto& w : words) argv.push_back(w.c_str());
    Orbika gc;
    ParseArguments(gc, static_cast<int>(argv.size()), argv.data());
    std::fputs(State(gc).c_str(), stdout);
  });
}

// The state line alone: the parse must neither fail nor write anything else.
std::string QuietState(const std::vector<std::string>& words) {
  orbtest::RunResult r = Parse(words);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  return r.out;
}

std::string HelpText() { return orbtest::ReadFileText(Fixture("help.txt")); }

}  // namespace

// ---- option letters and values ----

TEST(ParseArguments, EphemerisOptionsInEitherCase) {
  EXPECT_EQ(QuietState({"-enA", "-egB", "-epC"}),
            "en=A+ eg=B+ ep=C+ pv=- sat=- ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
  EXPECT_EQ(QuietState({"-ENA", "-EGB", "-EPC"}),
            "en=A+ eg=B+ ep=C+ pv=- sat=- ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
  EXPECT_EQ(QuietState({"-eNA", "-Eg B"}),
            "en=A+ eg= B+ ep=- pv=- sat=- ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
}

TEST(ParseArguments, LaterOptionOverwritesEarlierValue) {
  EXPECT_EQ(QuietState({"-enA", "-enB", "-dt60", "-dt30"}),
            "en=B+ eg=- ep=- pv=- sat=- ts=- te=- ti=- dt=30 ni=30 v=0 help=0 run=1\n");
}

TEST(ParseArguments, EmptyGPSFileNameMarksTheFileAsNamed) {
  EXPECT_EQ(QuietState({"-en", "-epX"}),
            "en=+ eg=- ep=X+ pv=- sat=- ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
}

TEST(ParseArguments, AntexOptionOnlyWithBothLettersInOneCase) {
  EXPECT_EQ(QuietState({"-pvigs08.atx", "-epX"}),
            "en=- eg=- ep=X+ pv=igs08.atx+ sat=- ts=- te=- ti=- dt=900 ni=30 v=0 help=0 "
            "run=1\n");
  EXPECT_EQ(QuietState({"-PVigs08.atx", "-epX"}),
            "en=- eg=- ep=X+ pv=igs08.atx+ sat=- ts=- te=- ti=- dt=900 ni=30 v=0 help=0 "
            "run=1\n");
  for (const char* w : {"-pVigs08.atx", "-Pvigs08.atx"}) {
    SCOPED_TRACE(w);
    orbtest::RunResult r = Parse({w, "-epX"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, WarningText(std::string("UNKNOWN PARAMETHER: ") + w));
    EXPECT_EQ(r.out, "en=- eg=- ep=X+ pv=- " + kRestDefault + " v=0 help=0 run=1\n");
  }
}

TEST(ParseArguments, FileNameOf1023CharactersIsKept) {
  const std::string name(1023, 'f');
  EXPECT_EQ(QuietState({"-ep" + name}), "en=- eg=- ep=" + name + "+ pv=- " + kRestDefault +
                                            " v=0 help=0 run=1\n");
}

TEST(ParseArguments, LongerFileNameEndsTheRun) {
  for (const char* opt : {"-en", "-EG", "-ep", "-pv"}) {
    SCOPED_TRACE(opt);
    orbtest::RunResult r = Parse({opt + std::string(1024, 'f'), "-epX"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ErrorText(std::string("FILE NAME OF OPTION ") + opt +
                               " LONGER THAN 1023 CHARACTERS!"));
  }
}

TEST(ParseArguments, MalformedEphemerisOptionEndsTheRun) {
  for (const char* w : {"-e", "-ex", "-exyz.sp3", "-E1"}) {
    SCOPED_TRACE(w);
    orbtest::RunResult r = Parse({"-enA", w});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ErrorText("EPHEMERIS FILE NOT SET CORRECTLY [ use -e[p|n|g]FILENAME ]!"));
  }
}

// -cp chooses signal pairs per system, -pi the pair's antenna offsets; the
// state shows the pair of each system and both flags.
TEST(ParseArguments, SignalPairsAndPairOffsets) {
  const auto pairs = [](const std::vector<std::string>& words) {
    return orbtest::RunCaptured([&]() {
      std::vector<const char*> argv{"Orbika"};
      for (const auto& w : words) argv.push_back(w.c_str());
      Orbika gc;
      ParseArguments(gc, static_cast<int>(argv.size()), argv.data());
      for (char system : {'G', 'J', 'E', 'C', 'R'})
        std::printf("%c:%s ", system, gc.pairs.at(system)->name);
      std::printf("cp=%d pi=%d\n", gc.isPairs, gc.pairOffsets);
    });
  };
  const std::string known = "G:L1/L2 J:L1/L2 E:E1/E5a C:B1I/B3I C:B1I/B2I R:L1/L2";
  const struct {
    std::vector<std::string> words;
    std::string out, err;  // err: the framed error text, status 1
  } rows[] = {
      {{"-epX"}, "G:L1/L2 J:L1/L2 E:E1/E5a C:B1I/B3I R:L1/L2 cp=0 pi=0\n", ""},
      {{"-epX", "-cpc:b1i/b2i,E:E1/E5a", "-pi"},
       "G:L1/L2 J:L1/L2 E:E1/E5a C:B1I/B2I R:L1/L2 cp=1 pi=1\n", ""},
      {{"-epX", "-CP", "C:B1I/B2I"}, "G:L1/L2 J:L1/L2 E:E1/E5a C:B1I/B2I R:L1/L2 cp=1 pi=0\n", ""},
      {{"-epX", "-cpC:B2I"}, "", "SIGNAL PAIR [-cp] NOT KNOWN: 'C:B2I' [KNOWN: " + known + "]!"},
      {{"-epX", "-cpS:L1/L5"}, "", "SIGNAL PAIR [-cp] NOT KNOWN: 'S:L1/L5' [KNOWN: " + known + "]!"},
      {{"-epX", "-cp,G:L1/L2"}, "", "SIGNAL PAIR [-cp] NOT KNOWN: '' [KNOWN: " + known + "]!"},
      {{"-epX", "-cp"}, "", "SIGNAL PAIR [-cp] NOT GIVEN [KNOWN: " + known + "]!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.words.back());
    const orbtest::RunResult r = pairs(row.words);
    EXPECT_EQ(r.status, row.err.empty() ? 0 : 1);
    EXPECT_EQ(r.out, row.out);
    EXPECT_EQ(r.err, row.err.empty() ? "" : ErrorText(row.err));
  }
  // -pi takes no value.
  const orbtest::RunResult r = pairs({"-epX", "-piX"});
  EXPECT_EQ(r.err, WarningText("UNKNOWN PARAMETHER: -piX"));
}

TEST(ParseArguments, SatelliteList) {
  EXPECT_EQ(QuietState({"-epX", "-prG01R05E11"}),
            "en=- eg=- ep=X+ pv=- sat=[1,105,211] ts=- te=- ti=- dt=900 ni=30 v=0 help=0 "
            "run=1\n");
  EXPECT_EQ(QuietState({"-epX", "-prg05"}),
            "en=- eg=- ep=X+ pv=- sat=[5] ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
  // Nothing after -pr: an empty list that was given (the run refuses it
  // once the files are read).
  EXPECT_EQ(QuietState({"-epX", "-pr"}),
            "en=- eg=- ep=X+ pv=- sat=[] ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
  // The list holds the parsed numbers as they are, whatever the option's case.
  EXPECT_EQ(QuietState({"-epX", "-PRG01R02"}),
            "en=- eg=- ep=X+ pv=- sat=[1,102] ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
  EXPECT_EQ(QuietState({"-epX", "-prG01G02", "-prR03"}),
            "en=- eg=- ep=X+ pv=- sat=[103] ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
}

TEST(ParseArguments, SatelliteListWithIncompleteGroupWarns) {
  orbtest::RunResult r = Parse({"-epX", "-prG01R0"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, WarningText("LIST OF SATELLITES [-pr] WITH WRONG NUMBER OF CHARACTERS (3 "
                               "PER SAT EXPECTED)!"));
  EXPECT_EQ(r.out, "en=- eg=- ep=X+ pv=- sat=[1] ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
}

TEST(ParseArguments, Epochs) {
  EXPECT_EQ(QuietState({"-epX", "-ts2013-01-05,10:30:00", "-TE2013-01-05,18:00:00",
                        "-tI2013-01-05,12:00:00"}),
            "en=- eg=- ep=X+ pv=- sat=- ts=56297/37800.000000 te=56297/64800.000000 "
            "ti=56297/43200.000000 dt=900 ni=30 v=0 help=0 run=1\n");
  EXPECT_EQ(QuietState({"-epX", "-ts2013/01/05_10-30-00.5"}),
            "en=- eg=- ep=X+ pv=- sat=- ts=56297/37800.500000 te=- ti=- dt=900 ni=30 v=0 "
            "help=0 run=1\n");
}

TEST(ParseArguments, StepsAreKeptAtSinglePrecision) {
  EXPECT_EQ(QuietState({"-epX", "-dt0.1", "-NI2.5"}),
            "en=- eg=- ep=X+ pv=- sat=- ts=- te=- ti=- dt=0.10000000149011612 ni=2.5 v=0 "
            "help=0 run=1\n");
}

TEST(ParseArguments, StepThatIsNotOneNumberEndsTheRunNamingTheValue) {
  const struct {
    std::vector<std::string> words;
    std::string option, value;
  } rows[] = {{{"-dt5m"}, "-dt", "5m"},     {{"-dt", "5m"}, "-dt", "5m"},
              {{"-dtabc"}, "-dt", "abc"},   {{"-dt"}, "-dt", ""},
              {{"-ni30s"}, "-ni", "30s"},   {{"-NI", "1.5.2"}, "-NI", "1.5.2"},
              {{"--dt=5m"}, "-dt", "5m"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.words[0]);
    std::vector<std::string> words = row.words;
    words.insert(words.begin(), "-epX");
    orbtest::RunResult r = Parse(words);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ErrorText("VALUE OF OPTION " + row.option + " IS NOT A NUMBER OF SECONDS: \"" +
                               row.value + "\"!"));
  }
  // Blanks around the number are no characters after it.
  EXPECT_EQ(QuietState({"-epX", "-dt 60 ", "-ni", " 10"}),
            "en=- eg=- ep=X+ pv=- sat=- ts=- te=- ti=- dt=60 ni=10 v=0 help=0 run=1\n");
}

TEST(ParseArguments, StepThatIsNoPositiveNumberEndsTheRun) {
  for (const char* w : {"-dt0", "-dt-300", "-dt1e-50", "-dtinf", "-dtnan"}) {
    SCOPED_TRACE(w);
    orbtest::RunResult r = Parse({"-epX", w});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ErrorText("TIME INTERVAL [-dt] MUST BE A POSITIVE NUMBER OF SECONDS!"));
  }
  for (const char* w : {"-ni0", "-NI-30", "-ni1e39"}) {
    SCOPED_TRACE(w);
    orbtest::RunResult r = Parse({"-epX", w});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              ErrorText("NUMERICAL INTEGRATION STEP [-ni] MUST BE A POSITIVE NUMBER OF SECONDS!"));
  }
}

TEST(ParseArguments, WordWithoutMinusWarnsAndIsIgnored) {
  orbtest::RunResult r = Parse({"-epX", "brdc0910.09n", "help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, WarningText(" - PARAMETHER MANDATORY ->  brdc0910.09n") +
                       WarningText(" - PARAMETHER MANDATORY ->  help"));
  EXPECT_EQ(r.out, "en=- eg=- ep=X+ pv=- " + kRestDefault + " v=0 help=0 run=1\n");
}

TEST(ParseArguments, UnknownWordsWarnInTheirOrder) {
  orbtest::RunResult r = Parse({"-hx", "-epX", "-x", "-", ""});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, WarningText("UNKNOWN PARAMETHER: -hx") + WarningText("UNKNOWN PARAMETHER: -x") +
                       WarningText("UNKNOWN PARAMETHER: -") +
                       WarningText(" - PARAMETHER MANDATORY ->  "));
}

TEST(ParseArguments, ValueAfterABlank) {
  // An option standing alone takes the next word unless it begins with a
  // minus sign; a value word is no option (/v switches no verbose mode).
  EXPECT_EQ(QuietState({"-ep", "/v", "-en", "N", "-EG", "G", "-pv", "A", "-pr", "G01R05", "-ts",
                        "2013-01-05,10:30:00", "-te", "2013-01-05,11:00:00", "-ti",
                        "2013-01-05,12:00:00", "-dt", "300", "-ni", "10"}),
            QuietState({"-ep/v", "-enN", "-EGG", "-pvA", "-prG01R05", "-ts2013-01-05,10:30:00",
                        "-te2013-01-05,11:00:00", "-ti2013-01-05,12:00:00", "-dt300", "-ni10"}));
  // Before a word with a minus sign the value is empty; after an attached
  // value the next word stands alone.
  orbtest::RunResult r = Parse({"-ep", "-pr", "-enN", "X"});
  EXPECT_EQ(r.err, WarningText(" - PARAMETHER MANDATORY ->  X"));
  EXPECT_EQ(r.out, "en=N+ eg=- ep=+ pv=- sat=[] ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
}

TEST(ParseArguments, SatelliteCodesAfterTheListJoinIt) {
  const std::string list = "en=- eg=- ep=X+ pv=- sat=[1,2,105,211] ts=- te=- ti=- dt=900 ni=30 v=0 "
                           "help=0 run=1\n";
  EXPECT_EQ(QuietState({"-epX", "-pr", "G01", "G02", "r05E11"}), list);
  EXPECT_EQ(QuietState({"-prG01", "G02R05", "E11", "-epX"}), list);
  // Only right after the list, and only whole codes.
  orbtest::RunResult r = Parse({"-epX", "-prG01", "G2", "G03", "-dt60", "G04"});
  EXPECT_EQ(r.err, WarningText(" - PARAMETHER MANDATORY ->  G2") +
                       WarningText(" - PARAMETHER MANDATORY ->  G03") +
                       WarningText(" - PARAMETHER MANDATORY ->  G04"));
  EXPECT_EQ(r.out, "en=- eg=- ep=X+ pv=- sat=[1] ts=- te=- ti=- dt=60 ni=30 v=0 help=0 run=1\n");
}

TEST(ParseArguments, TwoMinusSignsSpellTheOption) {
  EXPECT_EQ(QuietState({"--ep", "X", "--dt=300", "--pr", "G01", "G02", "--ts",
                        "2013-01-05,10:30:00", "--NI60"}),
            QuietState({"-epX", "-dt300", "-prG01G02", "-ts2013-01-05,10:30:00", "-NI60"}));
  orbtest::RunResult r = Parse({"--epX", "--verbose"});
  EXPECT_EQ(r.err, kVerboseStart + "Orbika::GetFiles():         GNSS precise ephemeris file: X!\n");
  EXPECT_EQ(Parse({"--epX", "--q"}).err, WarningText("UNKNOWN PARAMETHER: -q"));
}

TEST(ParseArguments, LongWordIsReportedWhole) {
  const std::string word = "-q" + std::string(600, 'w');
  orbtest::RunResult r = Parse({"-epX", word});
  EXPECT_EQ(r.err, WarningText("UNKNOWN PARAMETHER: " + word));
}

TEST(ParseArguments, OptionsComeBeforeTheHelpWord) {
  // -enhelp.txt names a file; -vhelp asks for help (and verbose output).
  EXPECT_EQ(QuietState({"-enhelp.txt", "-epX"}),
            "en=help.txt+ eg=- ep=X+ pv=- sat=- ts=- te=- ti=- dt=900 ni=30 v=0 help=0 run=1\n");
  orbtest::RunResult r = Parse({"-vhelp"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kVerboseStart);
  EXPECT_EQ(r.out, HelpText() + kDefaults + " v=1 help=1 run=0\n");
}

// ---- the help decision ----

TEST(ParseArguments, HelpDecisionByWordCount) {
  struct Case {
    std::vector<std::string> words;
    bool help;
  };
  const std::vector<Case> cases = {
      {{}, true},
      {{"-v"}, true},
      {{"-V"}, true},
      {{"-help"}, true},
      {{"-HELP"}, true},
      {{"-xHelp"}, true},
      {{"-help", "-v"}, true},
      {{"-v", "-Help"}, true},
      {{"-help", "-help"}, false},
      {{"-v", "-v"}, false},
      {{"-help", "-v", "-enA"}, false},
      {{"-help", "-enA"}, false},
      {{"-enA"}, false},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& w : c.words) joined += w + " ";
    SCOPED_TRACE(joined);
    orbtest::RunResult r = Parse(c.words);
    EXPECT_EQ(r.status, 0);
    const bool printed = r.out.compare(0, HelpText().size(), HelpText()) == 0;
    EXPECT_EQ(printed, c.help);
    EXPECT_NE(r.out.find(c.help ? " run=0\n" : " run=1\n"), std::string::npos);
  }
}

TEST(ParseArguments, ProgramPathDoesNotSwitchOnVerboseMode) {
  orbtest::RunResult r = Parse({"-epX"}, "/var/opt/Orbika");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "en=- eg=- ep=X+ pv=- " + kRestDefault + " v=0 help=0 run=1\n");
}

// ---- verbose echo ----

TEST(ParseArguments, VerboseEchoCoversWordsBeforeTheVerboseWord) {
  orbtest::RunResult r =
      Parse({"-enN.09n", "-egG.09g", "-epP.sp3", "-pvA.atx", "-prG01R05E11", "-ts2013-01-05,10:30:00",
             "-te2013-01-05,18:00:00.3", "-ti2013-01-05,12:00:00", "-dt300", "-ni0.1", "-v"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            kVerboseStart +
                "Orbika::GetFiles():         GPS navigation file: N.09n!\n"
                "Orbika::GetFiles():         GLONASS navigation file: G.09g!\n"
                "Orbika::GetFiles():         GNSS precise ephemeris file: P.sp3!\n"
                "Orbika::GetFiles():         ANTEX - antenna phase variation file name: A.atx!\n"
                "Orbika::GetFiles():         satellites PRN's: G01R05E11 -> G01 R05 E11!\n"
                "Orbika::GetFiles():         START epoch:  2013-01-05 10:30:00.0!\n"
                "Orbika::GetFiles():         END epoch:  2013-01-05 18:00:00.3!\n"
                "Orbika::GetFiles():         epoch to USE as reference in GPS/GLONASS navigation "
                "file:  2013-01-05 12:00:00.0!\n"
                "Orbika::GetFiles():         time interval DT: 300!\n"
                "Orbika::GetFiles():         numerical integration time interval DT (GLONASS "
                "navigaion): 0.1!\n");
}

TEST(ParseArguments, VerboseSatelliteEchoWithIncompleteGroup) {
  orbtest::RunResult r = Parse({"-v", "-prG01R0", "-epX"});
  EXPECT_EQ(r.err, kVerboseStart +
                       WarningText("LIST OF SATELLITES [-pr] WITH WRONG NUMBER OF CHARACTERS (3 "
                                   "PER SAT EXPECTED)!") +
                       "Orbika::GetFiles():         satellites PRN's: G01R0 -> G01!\n"
                       "Orbika::GetFiles():         GNSS precise ephemeris file: X!\n");
  orbtest::RunResult empty = Parse({"-v", "-pr", "-epX"});
  EXPECT_EQ(empty.err, kVerboseStart +
                           "Orbika::GetFiles():         satellites PRN's:  ->!\n"
                           "Orbika::GetFiles():         GNSS precise ephemeris file: X!\n");
}

// ---- input checks ----

namespace {

// A file name as the command line leaves it: a name given with its option
// is flagged, and so is an empty name given as a bare option (-en).
struct Named {
  Named(const std::string& n) : name(n), flag(!n.empty()) {}
  Named(const char* n) : Named(std::string(n)) {}
  Named(const std::string& n, bool f) : name(n), flag(f) {}
  std::string name;
  bool flag;
};
const Named kBareOption("", true);

// CheckArguments on a run state with the given names.
orbtest::RunResult Check(const Named& en, const Named& eg, const Named& ep, const Named& pv,
                         bool verbose = false) {
  return orbtest::RunCaptured([&]() {
    Orbika gc;
    gc.verbose = verbose;
    auto set = [](char* dst, bool& flag, const Named& f) {
      std::snprintf(dst, 1024, "%s", f.name.c_str());
      flag = f.flag;
    };
    set(gc.gnavfile, gc.isGPSnav, en);
    set(gc.rnavfile, gc.isGLNnav, eg);
    set(gc.sp3file, gc.isPEph, ep);
    set(gc.atxfile, gc.isAtx, pv);
    CheckArguments(gc);
    std::fputs((Files(gc) + (gc.isUnopened ? " unopened" : "") + "\n").c_str(), stdout);
  });
}

const std::string kMissing = "/nonexistent/file";

}  // namespace

TEST(CheckArguments, GoodFilesAreKept) {
  const std::string n = Fixture("cli_gps.09n"), g = Fixture("cli_glonass.09g"),
                    p = Fixture("cli_sp3c.sp3"), a = Fixture("cli_antex.atx");
  orbtest::RunResult r = Check(n, g, p, a);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "en=" + n + "+ eg=" + g + "+ ep=" + p + "+ pv=" + a + "+\n");
}

TEST(CheckArguments, VerboseLines) {
  const std::string p = Fixture("cli_sp3c.sp3");
  orbtest::RunResult r = Check("", "", p, "", true);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kVerboseCheck + kVerboseAntex);
}

TEST(CheckArguments, NoEphemerisNameIsFatal) {
  orbtest::RunResult r = Check("", "", "", Fixture("cli_antex.atx"), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kVerboseCheck + ErrorText("NO EPHEMERIS FILE SET!"));
  // The names count, not the flags.
  orbtest::RunResult flagged = Check(kBareOption, kBareOption, kBareOption, "");
  EXPECT_EQ(flagged.status, 1);
  EXPECT_EQ(flagged.err, ErrorText("NO EPHEMERIS FILE SET!"));
}

TEST(CheckArguments, FilesThatCannotBeOpenedAreDroppedWithWarnings) {
  // With none left to compute from, the run ends naming them.
  orbtest::RunResult r = Check(kMissing, kMissing, kMissing, kMissing);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, WarningText("GPS NAVIGATION FILE CAN NOT BE OPENED: " + kMissing + "!") +
                       WarningText("GLONAS NAVIGATION FILE CAN NOT BE OPENED: " + kMissing + "!") +
                       WarningText("GNSS PRECISE EPHEMERIS FILE CAN NOT BE OPENED: " + kMissing +
                                   "!") +
                       ErrorText("NO EPHEMERIS FILE CAN BE OPENED: " + kMissing + ", " +
                                 kMissing + ", " + kMissing + "!"));
  EXPECT_EQ(r.out, "");
}

TEST(CheckArguments, MissingAntexFileLeavesTheRestInUse) {
  const std::string n = Fixture("cli_gps.09n");
  orbtest::RunResult r = Check(n, "", "", kMissing, true);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kVerboseCheck + kVerboseAntex +
                       WarningText("ANTEX FILE CAN NOT BE OPENED: " + kMissing + "!"));
  // The run goes on, to end with status 1.
  EXPECT_EQ(r.out, "en=" + n + "+ eg=- ep=- pv=" + kMissing + "- unopened\n");
}

TEST(CheckArguments, WrongEphemerisFormatsAreFatal) {
  struct Case {
    std::string en, eg, ep, msg;
  };
  const std::string n = Fixture("cli_gps.09n"), g = Fixture("cli_glonass.09g"),
                    o = Fixture("cli_obs.09o"), a = Fixture("cli_sp3a.sp3");
  const std::string gpsMsg = "GPS NAVIGATION FILE IS NOT GPS RINEX NAVIGATION FORMAT!";
  const std::string glnMsg = "GLONAS NAVIGATION FILE IS NOT GLONASS RINEX NAVIGATION FORMAT!";
  const std::string sp3Msg = "GNSS PRECISE EPHEMERIS FILE NOT A SP3 FORMAT!";
  for (const Case& c : {Case{g, "", "", gpsMsg}, Case{o, "", "", gpsMsg},
                        Case{"", n, "", glnMsg}, Case{"", o, "", glnMsg},
                        Case{"", "", a, sp3Msg},
                        Case{"", "", n, sp3Msg},
                        // The precise file is tested first, then GPS, then GLONASS.
                        Case{g, n, a, sp3Msg}, Case{g, n, "", gpsMsg}}) {
    SCOPED_TRACE(c.en + " " + c.eg + " " + c.ep);
    orbtest::RunResult r = Check(c.en, c.eg, c.ep, "");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ErrorText(c.msg));
  }
}

TEST(CheckArguments, OpeningWarningsComeBeforeFormatErrors) {
  orbtest::RunResult r = Check(Fixture("cli_glonass.09g"), kMissing, "", "", true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kVerboseCheck +
                       WarningText("GLONAS NAVIGATION FILE CAN NOT BE OPENED: " + kMissing + "!") +
                       ErrorText("GPS NAVIGATION FILE IS NOT GPS RINEX NAVIGATION FORMAT!"));
}

TEST(CheckArguments, EmptyNameBesideAnotherFileFailsItsFormatTest) {
  // As after "-en -epFILE": the GPS name is empty but flagged.
  orbtest::RunResult r = Check(kBareOption, "", Fixture("cli_sp3c.sp3"), "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ErrorText("GPS NAVIGATION FILE IS NOT GPS RINEX NAVIGATION FORMAT!"));
}

TEST(CheckArguments, AntexOfWrongFormatOrEmptyNameIsDropped) {
  const std::string p = Fixture("cli_sp3c.sp3"), wrong = Fixture("cli_gps.09n");
  orbtest::RunResult r = Check("", "", p, wrong);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, WarningText("ANTEX FILE IS NOT ANTEX FORMAT!"));
  EXPECT_EQ(r.out, "en=- eg=- ep=" + p + "+ pv=" + wrong + "-\n");

  // As after "-pv": an empty name skips the opening test and fails the format test.
  orbtest::RunResult bare = Check("", "", p, kBareOption, true);
  EXPECT_EQ(bare.status, 0);
  EXPECT_EQ(bare.err,
            kVerboseCheck + kVerboseAntex + WarningText("ANTEX FILE IS NOT ANTEX FORMAT!"));
  EXPECT_EQ(bare.out, "en=- eg=- ep=" + p + "+ pv=-\n");
}

TEST(CheckArguments, RealFilesPass) {
  ORBIKA_REQUIRE_DATA();
  const std::string n = orbtest::DataFile("brdc0910.09n"), g = orbtest::DataFile("brdc0910.09g"),
                    p = orbtest::DataFile("esa15253.sp3"), a = orbtest::DataFile("igs05.atx");
  orbtest::RunResult r = Check(n, g, p, a);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "en=" + n + "+ eg=" + g + "+ ep=" + p + "+ pv=" + a + "+\n");
}
