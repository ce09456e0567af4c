// The program run from a command line: help, verbose banners, warnings and
// the fatal ends of the command line and the input checks.
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

TEST(OrbikaRun, NoArgumentsPrintsTheHelpText) {
  ExpectRun({}, 0, HelpText(), "");
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
}

TEST(OrbikaRun, InputChecksInOrder) {
  const std::string glo = Fixture("cli_glonass.09g"), sp3a = Fixture("cli_sp3a.sp3");
  // Opening warnings first, then the precise file's format error.
  ExpectRun({"-en/nonexistent/brdc.09n", "-ep" + sp3a, "-eg" + glo}, 1, "",
            WarningText("GPS NAVIGATION FILE CAN NOT BE OPENED!") +
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
                           "-csv", "-v ", "-h ", "-help", "RINEX 2, 3 or 4", "SP3-c", "ANTEX",
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

TEST(OrbikaRun, CsvRunWritesItsMessagesToStandardError) {
  // Reports that a table run writes to standard output.
  const std::string obs = Fixture("cli_obs.09o"), gps = Fixture("cli_gps.09n");
  ExpectRun({"-csv", "-en" + obs, "-ts2013-01-05,75:30:00"}, 1, "",
            DateErrorText("HOUR not valid"));
  ExpectRun({"-en" + gps, "-csv"}, 1, "",
            "\n#### GPSbEphData: Error -> NUMBER OF RECORDS not set! ####\n"
            "     Exiting GPSbEphData ... \n");
}
