// The program run from a command line: help, verbose banners, warnings and
// the fatal ends of the command line and the input checks.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/PROGINC/test_compress_util.h"

#include "tests/TestUtil.h"
#include "tests/src/test_cli_text.h"

using clitest::DateErrorText;
using clitest::ErrorText;
using clitest::Fixture;
using clitest::kVerboseCheck;
using clitest::kVerboseEnd;
using clitest::kVerboseStart;
using clitest::WarningText;

namespace {

std::string HelpText() { return orbtest::ReadFileText(Fixture("help.txt")); }

// Expects exactly this status, standard output and standard error.
void ExpectRun(const std::vector<std::string>& args, int status, const std::string& out,
               const std::string& err) {
  orbtest::RunResult r = orbtest::RunOrbika(args);
  EXPECT_EQ(r.status, status);
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, err);
}

const std::string kNoEphemeris = ErrorText("NO EPHEMERIS FILE SET!");
const std::string kNotGPSNav = ErrorText("GPS NAVIGATION FILE IS NOT GPS RINEX NAVIGATION FORMAT!");

}  // namespace

TEST(OrbikaHelp, TextIsTheFixture) {
  const std::string help = HelpText();
  ASSERT_FALSE(help.empty());
  const std::vector<std::string> lines = orbtest::SplitLines(help);
  ASSERT_EQ(lines.size(), 59u);
  EXPECT_EQ(help.substr(help.size() - 3), "\n\n\n");  // lines 58 and 59 are empty
  EXPECT_EQ(lines[18], std::string(10, ' '));
  EXPECT_EQ(lines[19], std::string(10, ' '));
  EXPECT_EQ(lines[38].back(), ' ');
  EXPECT_EQ(lines[41].back(), ' ');
  EXPECT_EQ(lines[55].back(), ' ');
}

TEST(OrbikaRun, NoArgumentsPrintsTheHelpTextAndWhereTheEnglishOneIs) {
  ExpectRun({}, 0, HelpText() + "In English: Orbika -h\n", "");
  ExpectRun({"--help"}, 0, HelpText(), "");
}

TEST(OrbikaRun, VersionBeforeEverythingElse) {
  const std::string version = std::string("Orbika ") + ORBIKA_VERSION + "\n";
  ExpectRun({"--version"}, 0, version, "");
  ExpectRun({"-v", "-e", "--version", "-csv"}, 0, version, "");
  // One minus sign: a verbose word, alone the help with the banners.
  ExpectRun({"-version"}, 0, HelpText(), kVerboseStart + kVerboseEnd);
}

TEST(OrbikaRun, VerboseAlonePrintsTheHelpTextWithBanners) {
  ExpectRun({"-v"}, 0, HelpText(), kVerboseStart + kVerboseEnd);
}

TEST(OrbikaRun, HelpWord) {
  ExpectRun({"-help"}, 0, HelpText(), "");
  ExpectRun({"-help", "-v"}, 0, HelpText(), kVerboseStart + kVerboseEnd);
  ExpectRun({"-V", "-HELP"}, 0, HelpText(), kVerboseStart + kVerboseEnd);
}

TEST(OrbikaRun, HelpWordBesideAnEphemerisOptionIsIgnored) {
  const std::string obs = Fixture("cli_obs.09o");
  ExpectRun({"-help", "-v", "-en" + obs}, 1, "",
            kVerboseStart + "Orbika::GetFiles():         GPS navigation file: " + obs + "!\n" +
                kVerboseCheck + kNotGPSNav);
}

TEST(OrbikaRun, EphemerisOptionLettersInEitherCase) {
  const std::string glo = Fixture("cli_glonass.09g");
  for (const char* opt : {"-EN", "-eN"}) {
    SCOPED_TRACE(opt);
    ExpectRun({opt + glo, "-v"}, 1, "",
              kVerboseStart + "Orbika::GetFiles():         GPS navigation file: " + glo + "!\n" +
                  kVerboseCheck + kNotGPSNav);
  }
}

TEST(OrbikaRun, MixedCaseAntexOptionIsUnknown) {
  ExpectRun({"-pVigs08.atx", "-help"}, 1, "",
            WarningText("UNKNOWN PARAMETHER: -pVigs08.atx") + kNoEphemeris);
}

TEST(OrbikaRun, MalformedEphemerisOption) {
  const std::string fatal =
      ErrorText("EPHEMERIS FILE NOT SET CORRECTLY [ use -e[p|n|g]FILENAME ]!");
  ExpectRun({"-e"}, 1, "", fatal);
  ExpectRun({"-exbrdc0910.09n", "-v"}, 1, "", kVerboseStart + fatal);
}

TEST(OrbikaRun, GPSOptionWithoutNameNamesNoFile) {
  ExpectRun({"-en"}, 1, "", kNoEphemeris);
  ExpectRun({"-en", "-v"}, 1, "",
            kVerboseStart + "Orbika::GetFiles():         GPS navigation file: !\n" +
                kVerboseCheck + kNoEphemeris);
}

TEST(OrbikaRun, SatelliteLists) {
  const std::string echo = "Orbika::GetFiles():         satellites PRN's: ";
  ExpectRun({"-prG01R05E11", "-v"}, 1, "",
            kVerboseStart + echo + "G01R05E11 -> G01 R05 E11!\n" + kVerboseCheck + kNoEphemeris);
  ExpectRun({"-prG01R0", "-v"}, 1, "",
            kVerboseStart +
                WarningText("LIST OF SATELLITES [-pr] WITH WRONG NUMBER OF CHARACTERS (3 PER "
                            "SAT EXPECTED)!") +
                echo + "G01R0 -> G01!\n" + kVerboseCheck + kNoEphemeris);
  ExpectRun({"-prg05", "-v"}, 1, "",
            kVerboseStart + echo + "g05 -> g05!\n" + kVerboseCheck + kNoEphemeris);
  ExpectRun({"-pr", "-v"}, 1, "", kVerboseStart + echo + " ->!\n" + kVerboseCheck + kNoEphemeris);
}

TEST(OrbikaRun, WordWithoutMinus) {
  ExpectRun({"brdc0910.09n", "-v"}, 1, "",
            kVerboseStart + WarningText(" - PARAMETHER MANDATORY ->  brdc0910.09n") +
                kVerboseCheck + kNoEphemeris);
}

TEST(OrbikaRun, StartEpoch) {
  const std::string echo = "Orbika::GetFiles():         START epoch: ";
  ExpectRun({"-ts2013-01-05,10:30:00", "-v"}, 1, "",
            kVerboseStart + echo + " 2013-01-05 10:30:00.0!\n" + kVerboseCheck + kNoEphemeris);
  ExpectRun({"-ts2013/01/05_10-30-00.5", "-v"}, 1, "",
            kVerboseStart + echo + " 2013-01-05 10:30:00.5!\n" + kVerboseCheck + kNoEphemeris);
}

TEST(OrbikaRun, InvalidDateFieldsEndTheRunOnStandardOutput) {
  const std::string obs = Fixture("cli_obs.09o");
  ExpectRun({"-en" + obs, "-ts2013-01-05,75:30:00"}, 1, DateErrorText("HOUR not valid"), "");
  ExpectRun({"-en" + obs, "-te2013-02-31,10:30:00"}, 1, DateErrorText("DAY not valid"), "");
}

TEST(OrbikaRun, ShortDateEndsTheRun) {
  ExpectRun({"-TI2013-01-05", "-v"}, 1, "",
            kVerboseStart +
                "Orbika::GetFiles():         epoch to USE as reference in GPS/GLONASS navigation "
                "file: " +
                ErrorText("DATE OF OPTION -TI NOT WRITTEN IN FULL [ use -TIYYYY-MM-DD,hh:mm:ss ]!"));
}

TEST(OrbikaRun, StepsAndIntervals) {
  ExpectRun({"-dt0.1", "-ni30", "-v"}, 1, "",
            kVerboseStart + "Orbika::GetFiles():         time interval DT: 0.1!\n" +
                "Orbika::GetFiles():         numerical integration time interval DT (GLONASS "
                "navigaion): 30!\n" +
                kVerboseCheck + kNoEphemeris);
  ExpectRun({"-dt0", "-v"}, 1, "",
            kVerboseStart +
                ErrorText("TIME INTERVAL [-dt] MUST BE A POSITIVE NUMBER OF SECONDS!"));
  // A positive step below the integration's bound, in the two-minus spelling,
  // is refused by the GLONASS store once it is handed the step.
  ExpectRun({"-eg" + Fixture("glo_leap2012.g"), "--ni", "0.05"}, 1,
            "\n**** GLNbEph: Error -> INTEGRATION STEP [-ni] 0.05 s NOT VALID [MUST BE AT LEAST "
            "0.1 s]! ****\n     Exiting GLNbEph ... \n",
            "");
}

TEST(OrbikaRun, InputChecksInOrder) {
  const std::string glo = Fixture("cli_glonass.09g"), sp3a = Fixture("cli_sp3a.sp3");
  // Opening warnings first, then the precise file's format error.
  ExpectRun({"-en/nonexistent/brdc.09n", "-ep" + sp3a, "-eg" + glo}, 1, "",
            WarningText("GPS NAVIGATION FILE CAN NOT BE OPENED: /nonexistent/brdc.09n!") +
                ErrorText("GNSS PRECISE EPHEMERIS FILE NOT A SP3 FORMAT!"));
  ExpectRun({"-eg" + Fixture("cli_gps.09n")}, 1, "",
            ErrorText("GLONAS NAVIGATION FILE IS NOT GLONASS RINEX NAVIGATION FORMAT!"));
}

TEST(OrbikaRun, EnglishHelpAnywhereRunsNothing) {
  const orbtest::RunResult help = orbtest::RunOrbika({"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  // Every option, the formats and systems read, and the manual page.
  for (const char* part : {"-en", "-eg", "-ep", "-pv", "-pr", "-ts", "-te", "-dt", "-ti", "-ni",
                           "-nm", "-rx", "-csv", "-cp", "-pi", "-th", "-v ", "-h ", "-help", "--version",
                           "RINEX 2, 3 or 4", "SP3-c", "ANTEX",
                           "GPS", "GLONASS", "Galileo", "BeiDou", "QZSS", "man Orbika"})
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  // Beside any other words, faulty ones too.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-epX", "-v", "-h"}, {"-dt0", "-H", "-csv"}, {"-e", "-h"}})
    ExpectRun(args, 0, help.out, "");
}

TEST(OrbikaRun, OptionValueAsTheNextWord) {
  const std::string sp3 = Fixture("sp3_four_sats.sp3"), nav = Fixture("gps_three.n");
  const orbtest::RunResult glued =
      orbtest::RunOrbika({"-ep" + sp3, "-en" + nav, "-dt3600", "-prG02"});
  ASSERT_EQ(glued.status, 0);
  ExpectRun({"-ep", sp3, "-en", nav, "-dt", "3600", "-pr", "G02"}, 0, glued.out, glued.err);
}

TEST(OrbikaRun, TwoMinusSignsAndSatelliteWordsRunAsMeant) {
  const std::string nav = Fixture("gps_three.n");
  const orbtest::RunResult meant =
      orbtest::RunOrbika({"-csv", "-en" + nav, "-dt3600", "-prG02G17", "-te2009-04-01,02:00:00"});
  ASSERT_EQ(meant.status, 0) << meant.err;
  ASSERT_EQ(meant.out.rfind("epoch,", 0), 0u);
  ExpectRun({"--csv", "--en", nav, "--dt=3600", "--pr", "G02", "G17", "--te",
             "2009-04-01,02:00:00"},
            0, meant.out, meant.err);
}

TEST(OrbikaRun, CsvRunWritesItsMessagesToStandardError) {
  // Reports that a table run writes to standard output as frames: one line
  // each on standard error.
  const std::string obs = Fixture("cli_obs.09o"), gps = Fixture("cli_gps.09n");
  ExpectRun({"-csv", "-en" + obs, "-ts2013-01-05,75:30:00"}, 1, "",
            "ymdhms: Error -> HOUR not valid\n");
  ExpectRun({"-en" + gps, "-csv"}, 1, "", "GPSbEphData: Error -> NUMBER OF RECORDS not set!\n");
}

namespace {

using Prepare = std::function<void(std::vector<std::string>&)>;

// Standard output of the run sent to path (a device such as /dev/full).
Prepare OutputTo(const char* path) {
  return [path](std::vector<std::string>&) {
    const int fd = open(path, O_WRONLY);
    dup2(fd, STDOUT_FILENO);
    close(fd);
  };
}

// The text @PIPE in the arguments becomes the name of a pipe that a writer
// of its own fills with bytes, as <(zcat file.gz) of a shell does.
Prepare Piped(const std::string& bytes) {
  return [bytes](std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) _exit(127);
    if (fork() == 0) {
      close(fds[0]);
      for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t n = write(fds[1], bytes.data() + at, bytes.size() - at);
        if (n <= 0) _exit(1);
        at += static_cast<std::size_t>(n);
      }
      _exit(0);
    }
    close(fds[1]);
    for (std::string& a : args)
      if (a.find("@PIPE") != std::string::npos)
        a.replace(a.find("@PIPE"), 5, "/dev/fd/" + std::to_string(fds[0]));
  };
}

// The lines of a run's output without the one that names the precise file.
std::string WithoutPreciseName(const std::string& out) {
  std::string kept;
  for (const std::string& l : orbtest::SplitLines(out))
    if (l.rfind("# GNSS precise ephemeris", 0) != 0) kept += l + "\n";
  return kept;
}

}  // namespace

TEST(OrbikaRun, FatalEndsNameTheirCause) {
  const std::string gps = "-en" + Fixture("gps_three.n");
  const auto badEntry = [](const char* entry) {
    return ErrorText(std::string("LIST OF SATELLITES [-pr]: ENTRY ") + entry +
                     " IS NO SATELLITE (SYSTEM LETTER G R E C S J I AND NUMBER 01-99)!");
  };
  const std::string notSP3 = ErrorText("GNSS PRECISE EPHEMERIS FILE NOT A SP3 FORMAT!");
  const std::string noOutput = ErrorText("STANDARD OUTPUT CAN NOT BE WRITTEN - RESULTS INCOMPLETE!");
  const struct {
    std::vector<std::string> args;
    Prepare prepare;
    std::string err;
  } rows[] = {
      {{"-prX01", gps}, nullptr, badEntry("X01")},
      {{gps, "-prG1G2G3"}, nullptr, badEntry("G1G")},
      {{"-prG01R-9", gps}, nullptr, badEntry("R-9")},
      {{"-pr~~~", gps}, nullptr, badEntry("~~~")},
      {{"-en/nonexistent/a.09n", "-ep/nonexistent/b.sp3", "-ts2009-04-01,00:00:00",
        "-te2009-04-01,01:00:00"},
       nullptr,
       WarningText("GPS NAVIGATION FILE CAN NOT BE OPENED: /nonexistent/a.09n!") +
           WarningText("GNSS PRECISE EPHEMERIS FILE CAN NOT BE OPENED: /nonexistent/b.sp3!") +
           ErrorText("NO EPHEMERIS FILE CAN BE OPENED: /nonexistent/b.sp3, /nonexistent/a.09n!")},
      {{"-ep/dev/zero"}, nullptr, notSP3},
      {{"-en/dev/zero"}, nullptr,
       ErrorText("GPS NAVIGATION FILE IS NOT GPS RINEX NAVIGATION FORMAT!")},
      {{gps}, OutputTo("/dev/full"), noOutput},
      {{}, OutputTo("/dev/full"), noOutput},
  };
  for (const auto& r : rows) {
    std::string line;
    for (const std::string& a : r.args) line += " " + a;
    SCOPED_TRACE(line);
    const orbtest::RunResult run = orbtest::RunOrbika(r.args, 60, "", r.prepare);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, r.err);
  }
}

TEST(OrbikaRun, PipesAndFifosReadLikeFiles) {
  const std::string sp3 = Fixture("sp3_four_sats.sp3");
  const std::string text = orbtest::ReadFileText(sp3);
  const orbtest::RunResult plain = orbtest::RunOrbika({"-ep" + sp3, "-dt3600"});
  ASSERT_EQ(plain.status, 0) << plain.err;

  // A gzip file through a pipe.
  const orbtest::RunResult piped =
      orbtest::RunOrbika({"-ep@PIPE", "-dt3600"}, 60, "", Piped(packed::Gzip(text)));
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(piped.err, "");
  EXPECT_EQ(WithoutPreciseName(piped.out), WithoutPreciseName(plain.out));

  // A FIFO opened by the program before its writer comes: the program
  // waits for the writer, as cat does.
  const std::string fifo = orbtest::MakeTempDir() + "/orbit.sp3";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const pid_t writer = fork();
  if (writer == 0) {
    usleep(500000);
    std::ofstream(fifo, std::ios::binary) << text;
    _exit(0);
  }
  const orbtest::RunResult fromFifo = orbtest::RunOrbika({"-ep" + fifo, "-dt3600"});
  waitpid(writer, nullptr, 0);
  EXPECT_EQ(fromFifo.status, 0) << fromFifo.err;
  EXPECT_EQ(fromFifo.err, "");
  EXPECT_EQ(WithoutPreciseName(fromFifo.out), WithoutPreciseName(plain.out));
}

namespace {

// The frame of a navigation store's error (standard output).
std::string StoreErrorText(const std::string& store, const std::string& msg) {
  return "\n**** " + store + ": Error -> " + msg + " ****\n     Exiting " + store + " ... \n";
}

}  // namespace

TEST(OrbikaRun, NothingToComputeEndsBeforeTheTable) {
  // sp3_four_sats: G01 G02 R01 E11, 00:00 to 01:15 at 900 s on 2009-04-01;
  // gps_three: G02 and G17 records from 00:00 to 03:59:44 of that day;
  // nav_mixed3: G, R, E11, C05 records.
  const std::string sp3 = Fixture("sp3_four_sats.sp3"), nav = Fixture("gps_three.n"),
                    mixed = Fixture("nav_mixed3.rnx");
  const std::string noSat = ErrorText("LIST OF SATELLITES [-pr] HOLDS NO SATELLITE - NOTHING TO "
                                      "COMPUTE!");
  const struct {
    std::vector<std::string> args;
    std::string out, err;
  } rows[] = {
      {{"-ep" + sp3, "-ts2009-04-01,01:00:00", "-te2009-04-01,00:30:00"},
       "",
       ErrorText("START EPOCH LATER THAN END EPOCH [-ts, -te]: 2009-04-01T01:00:00.000 TO "
                 "2009-04-01T00:30:00.000 HOLDS NO EPOCH!")},
      // One interval after the table, two days after the last record.
      {{"-ep" + sp3, "-ts2009-04-01,01:31:00", "-te2009-04-01,06:00:00"},
       "",
       ErrorText("NO EPOCH OF THE WINDOW 2009-04-01T01:31:00.000 TO 2009-04-01T06:00:00.000 IS "
                 "WITHIN REACH OF THE EPHEMERIS FILES (THE SP3 TABLE AND ONE INTERVAL, 2 DAYS "
                 "FROM A BROADCAST RECORD)!")},
      {{"-en" + nav, "-ts2009-04-03,04:00:00", "-te2009-04-03,04:10:00", "-dt60"},
       "",
       ErrorText("NO EPOCH OF THE WINDOW 2009-04-03T04:00:00.000 TO 2009-04-03T04:10:00.000 IS "
                 "WITHIN REACH OF THE EPHEMERIS FILES (THE SP3 TABLE AND ONE INTERVAL, 2 DAYS "
                 "FROM A BROADCAST RECORD)!")},
      // Epochs at 23:00 and 02:00 step over the table's reach, 23:45 to 01:30.
      {{"-ep" + sp3, "-ts2009-03-31,23:00:00", "-te2009-04-01,03:00:00", "-dt10800"},
       "",
       ErrorText("NO EPOCH OF THE WINDOW 2009-03-31T23:00:00.000 TO 2009-04-01T03:00:00.000 IS "
                 "WITHIN REACH OF THE EPHEMERIS FILES (THE SP3 TABLE AND ONE INTERVAL, 2 DAYS "
                 "FROM A BROADCAST RECORD)!")},
      {{"-en" + nav, "-prG1"},
       "",
       WarningText("LIST OF SATELLITES [-pr] WITH WRONG NUMBER OF CHARACTERS (3 PER SAT "
                   "EXPECTED)!") +
           noSat},
      {{"-en" + nav, "-pr"}, "", noSat},
      {{"-ep" + sp3, "-prE05C01"},
       "",
       ErrorText("NO SATELLITE OF THE LIST IS IN A LOADED FILE: E05 C01 - NOTHING TO COMPUTE!")},
      // Without a precise file: the satellite, its system and the file.
      {{"-en" + nav, "-prG02G05"},
       StoreErrorText("GPSbEph", "SAT: G05 IS NOT LISTED IN GPS NAVIGATION FILE " + nav + "!!!"),
       ""},
      {{"-en" + mixed, "-prE05"},
       StoreErrorText("GPSbEph",
                      "SAT: E05 IS NOT LISTED IN GALILEO NAVIGATION FILE " + mixed + "!!!"),
       ""},
      {{"-eg" + mixed, "-prR02"},
       StoreErrorText("GLNbEph",
                      "SAT: R02 IS NOT LISTED IN GLONASS NAVIGATION FILE " + mixed + "!!!"),
       ""},
      {{"-en" + nav, "-prR01"},
       "",
       ErrorText("SAT: R01 (GLONASS) IS NOT LISTED IN ANY LOADED FILE: NO GLONASS NAVIGATION "
                 "FILE [-eg] AND NO PRECISE FILE [-ep]!")},
      {{"-en" + nav, "-dt", "5m"},
       "",
       ErrorText("VALUE OF OPTION -dt IS NOT A NUMBER OF SECONDS: \"5m\"!")},
      {{"-en" + nav, "-th0"},
       "",
       ErrorText("NUMBER OF THREADS [-th] MUST BE A WHOLE NUMBER FROM 1 TO 64: \"0\"!")},
      {{"-en" + nav, "-th", "2x"},
       "",
       ErrorText("NUMBER OF THREADS [-th] MUST BE A WHOLE NUMBER FROM 1 TO 64: \"2x\"!")},
      {{"-en" + nav, "-th65"},
       "",
       ErrorText("NUMBER OF THREADS [-th] MUST BE A WHOLE NUMBER FROM 1 TO 64: \"65\"!")},
      {{"-en" + nav, "-th"},
       "",
       ErrorText("NUMBER OF THREADS [-th] MUST BE A WHOLE NUMBER FROM 1 TO 64: \"\"!")},
  };
  for (const auto& r : rows) {
    std::string line;
    for (const std::string& a : r.args) line += " " + a;
    SCOPED_TRACE(line);
    ExpectRun(r.args, 1, r.out, r.err);
  }
}

namespace {

// The records of a table run: its lines that are neither settings nor empty.
std::vector<std::string> TableRecords(const std::string& out) {
  std::vector<std::string> records;
  for (const std::string& l : orbtest::SplitLines(out))
    if (!l.empty() && l[0] != '#') records.push_back(l);
  return records;
}

}  // namespace

TEST(OrbikaRun, SatelliteOfNoLoadedFileIsNanBesideAPreciseFile) {
  const std::string sp3 = Fixture("sp3_four_sats.sp3"), nav = Fixture("gps_three.n");
  const orbtest::RunResult r = orbtest::RunOrbika(
      {"-ep", sp3, "-en", nav, "-pr", "G02", "E05", "-te2009-04-01,00:15:00"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, WarningText("SAT: E05 (GALILEO) IS NOT LISTED IN ANY LOADED FILE - ITS "
                               "COLUMNS WRITTEN AS nan!"));
  const std::vector<std::string> records = TableRecords(r.out);
  ASSERT_EQ(records.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) {
    SCOPED_TRACE(records[k]);
    const bool e05 = k >= 2;
    EXPECT_EQ(records[k].substr(40, 6), e05 ? "   E05" : "   G02");
    // Every value of E05 is nan; G02 has numbers only.
    std::size_t nans = 0;
    for (std::size_t at = records[k].find("nan"); at != std::string::npos;
         at = records[k].find("nan", at + 1))
      ++nans;
    EXPECT_EQ(nans, e05 ? 11u : 0u);
  }
}

TEST(OrbikaRun, FileThatCannotBeOpenedIsNamedAndTheRunEndsWithStatusOne) {
  const std::string nav = Fixture("gps_three.n"), missing = orbtest::MakeTempDir() + "/nothere.sp3";
  const orbtest::RunResult alone = orbtest::RunOrbika({"-en" + nav, "-dt3600"});
  ASSERT_EQ(alone.status, 0) << alone.err;
  const struct {
    std::vector<std::string> args;
    std::string kind;
  } rows[] = {{{"-ep" + missing, "-en" + nav, "-dt3600"}, "GNSS PRECISE EPHEMERIS FILE"},
              {{"-en" + nav, "-dt3600", "-pv" + missing}, "ANTEX FILE"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.kind);
    const orbtest::RunResult r = orbtest::RunOrbika(row.args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, WarningText(row.kind + " CAN NOT BE OPENED: " + missing + "!") + alone.err);
    // The table is the run's without that file.
    EXPECT_EQ(TableRecords(r.out), TableRecords(alone.out));
    EXPECT_FALSE(TableRecords(r.out).empty());
  }
}
