// First-line format tests of the RINEX, SP3, ANTEX and IONEX files.
#include <string>

#include <gtest/gtest.h>

#include "src/cli/TestInputGNSSf.h"
#include "tests/TestUtil.h"
#include "tests/src/test_cli_text.h"

using clitest::Fixture;

namespace {

const std::string kGPSNavLine =
    "     2              NAVIGATION DATA                         RINEX VERSION / TYPE";
const std::string kSP3cLine = "#cP2013  1  5  0  0  0.00000000      96 ORBIT IGS08 HLM  IGS";

bool RINEX(const std::string& text, char type) {
  return TestRINEXf(orbtest::WriteTempFile(text).c_str(), type);
}
bool SP3(const std::string& text) {
  return TestSP3Format(orbtest::WriteTempFile(text).c_str());
}

}  // namespace

TEST(TestRINEXf, TypeLetterInColumn21) {
  EXPECT_TRUE(TestRINEXf(Fixture("cli_gps.09n").c_str(), 'N'));
  EXPECT_TRUE(TestRINEXf(Fixture("cli_glonass.09g").c_str(), 'G'));
  EXPECT_TRUE(TestRINEXf(Fixture("cli_obs.09o").c_str(), 'O'));
}

TEST(TestRINEXf, GLONASSFileIsNotAGPSFile) {
  EXPECT_FALSE(TestRINEXf(Fixture("cli_glonass.09g").c_str(), 'N'));
  EXPECT_FALSE(TestRINEXf(Fixture("cli_gps.09n").c_str(), 'G'));
}

TEST(TestRINEXf, ObservationFileIsNoNavigationFile) {
  EXPECT_FALSE(TestRINEXf(Fixture("cli_obs.09o").c_str(), 'N'));
  EXPECT_FALSE(TestRINEXf(Fixture("cli_obs.09o").c_str(), 'G'));
}

TEST(TestRINEXf, LabelIsRequiredOnTheFirstLine) {
  EXPECT_FALSE(RINEX("     2              NAVIGATION DATA\n", 'N'));
  EXPECT_FALSE(RINEX("COMMENT\n" + kGPSNavLine + "\n", 'N'));
  // The label may stand anywhere on the line.
  EXPECT_TRUE(RINEX("     2              N RINEX VERSION / TYPE\n", 'N'));
}

TEST(TestRINEXf, LineTooShortForColumn21Fails) {
  EXPECT_FALSE(RINEX("RINEX VERSION / TYPE\n", 'N'));
  EXPECT_FALSE(RINEX("RINEX VERSION / TYPE", '\0'));
}

TEST(TestRINEXf, WindowsLineEndsReadLikeUnixLineEnds) {
  EXPECT_TRUE(RINEX(kGPSNavLine + "\r\nnext\r\n", 'N'));
  EXPECT_TRUE(RINEX(kGPSNavLine, 'N'));  // no line end at all
}

TEST(TestRINEXf, OnlyTheFirst126CharactersAreExamined) {
  // Label ending at column 126: found.
  EXPECT_TRUE(RINEX(kGPSNavLine.substr(0, 60) + std::string(46, ' ') + "RINEX VERSION / TYPE" +
                        std::string(50, 'x') + "\n",
                    'N'));
  // Label ending at column 127: cut off.
  EXPECT_FALSE(RINEX(kGPSNavLine.substr(0, 60) + std::string(47, ' ') + "RINEX VERSION / TYPE" +
                         "\n",
                     'N'));
  // A long first line does not leak into the next line.
  EXPECT_FALSE(RINEX(std::string(200, ' ') + "\n" + kGPSNavLine + "\n", 'N'));
}

TEST(TestRINEXf, MissingEmptyOrDirectoryFails) {
  EXPECT_FALSE(TestRINEXf("/nonexistent/brdc0910.09n", 'N'));
  EXPECT_FALSE(TestRINEXf("", 'N'));
  EXPECT_FALSE(RINEX("", 'N'));
  EXPECT_FALSE(TestRINEXf(orbtest::FixtureDir().c_str(), 'N'));
}

TEST(TestSP3Format, VersionCWithPositionOrVelocityFlag) {
  EXPECT_TRUE(TestSP3Format(Fixture("cli_sp3c.sp3").c_str()));
  EXPECT_TRUE(SP3("#cV" + kSP3cLine.substr(3) + "\n"));
}

TEST(TestSP3Format, VersionDIsReadVersionsAAndBAreRejected) {
  EXPECT_TRUE(TestSP3Format(Fixture("cli_sp3d.sp3").c_str()));
  EXPECT_FALSE(TestSP3Format(Fixture("cli_sp3a.sp3").c_str()));
  EXPECT_FALSE(SP3("#bP" + kSP3cLine.substr(3) + "\n"));
}

TEST(TestSP3Format, BlanksAroundTheSixtyCharactersAreTrimmed) {
  EXPECT_TRUE(SP3(kSP3cLine + std::string(20, ' ') + "\n"));
  EXPECT_TRUE(SP3("   " + kSP3cLine + "\n"));
  EXPECT_TRUE(SP3(kSP3cLine + "    \r\n"));
}

TEST(TestSP3Format, LengthMustBeExactlySixty) {
  EXPECT_FALSE(SP3(kSP3cLine.substr(0, 59) + "\n"));
  EXPECT_FALSE(SP3(kSP3cLine + "X\n"));
  // A tab is not a blank.
  EXPECT_FALSE(SP3(kSP3cLine + "\t\n"));
}

TEST(TestSP3Format, FlagOtherThanPOrVIsRejected) {
  for (char flag : {'p', 'v', 'X', ' ', 'E'}) {
    SCOPED_TRACE(flag);
    EXPECT_FALSE(SP3(std::string("#c") + flag + kSP3cLine.substr(3) + "\n"));
  }
}

TEST(TestSP3Format, JudgedOnTheFirst126Characters) {
  // Text beyond column 126 is never seen.
  EXPECT_TRUE(SP3(kSP3cLine + std::string(66, ' ') + "beyond the examined part\n"));
  EXPECT_FALSE(SP3(kSP3cLine + std::string(65, ' ') + "beyond the examined part\n"));
}

TEST(TestSP3Format, MissingOrEmptyFileFails) {
  EXPECT_FALSE(TestSP3Format("/nonexistent/igs17220.sp3"));
  EXPECT_FALSE(SP3(""));
}

TEST(TestAntexf, LabelOnTheFirstLine) {
  EXPECT_TRUE(TestAntexf(Fixture("cli_antex.atx").c_str()));
  EXPECT_FALSE(TestAntexf(Fixture("cli_gps.09n").c_str()));
  EXPECT_FALSE(TestAntexf(
      orbtest::WriteTempFile("COMMENT\n     1.4            M      ANTEX VERSION / SYST\n")
          .c_str()));
  EXPECT_FALSE(TestAntexf("/nonexistent/igs08.atx"));
}

TEST(TestIONEXf, LabelOnTheFirstLine) {
  EXPECT_TRUE(TestIONEXf(Fixture("cli_ionex.13i").c_str()));
  EXPECT_FALSE(TestIONEXf(Fixture("cli_antex.atx").c_str()));
  EXPECT_FALSE(TestIONEXf("/nonexistent/igsg0050.13i"));
}

TEST(FormatTests, RealFilesPassTheirOwnTestOnly) {
  ORBIKA_REQUIRE_DATA();
  const std::string gps = orbtest::DataFile("brdc0910.09n");
  const std::string gps21 = orbtest::DataFile("brdc1180.21n");
  const std::string glo = orbtest::DataFile("brdc0910.09g");
  const std::string atx = orbtest::DataFile("igs05.atx");
  EXPECT_TRUE(TestRINEXf(gps.c_str(), 'N'));
  EXPECT_TRUE(TestRINEXf(gps21.c_str(), 'N'));
  EXPECT_TRUE(TestRINEXf(glo.c_str(), 'G'));
  EXPECT_FALSE(TestRINEXf(glo.c_str(), 'N'));
  for (const char* sp3 : {"esa15253.sp3", "igl15253.sp3", "grg21553.sp3"}) {
    SCOPED_TRACE(sp3);
    EXPECT_TRUE(TestSP3Format(orbtest::DataFile(sp3).c_str()));
    EXPECT_FALSE(TestRINEXf(orbtest::DataFile(sp3).c_str(), 'N'));
  }
  EXPECT_TRUE(TestAntexf(atx.c_str()));
  EXPECT_FALSE(TestSP3Format(atx.c_str()));
  EXPECT_FALSE(TestAntexf(gps.c_str()));
}
