#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "PROGINC/report/ProgramError.h"
#include "PROGINC/report/SatelliteMessages.h"
#include "PROGINC/files/cfilef.h"
#include "PROGINC/text/cstringf.h"
#include "tests/TestUtil.h"

namespace {

// ---------------------------------------------------------------- substr

TEST(Substr, StopsAtEndOfSource) {
  char out[16];
  substr("ABCDEFGH", 4, 8, out);
  EXPECT_STREQ(out, "EFGH");
}

TEST(Substr, FixedColumnsFromLine) {
  char out[16];
  substr(" 5 20 1 1  0  0  0.0", 3, 2, out);
  EXPECT_STREQ(out, "20");
  substr("G05", 1, 2, out);
  EXPECT_STREQ(out, "05");
}

TEST(Substr, NonPositiveLengthGivesEmpty) {
  char out[8] = "junk";
  substr("ABC", 1, 0, out);
  EXPECT_STREQ(out, "");
  std::strcpy(out, "junk");
  substr("ABC", 1, -3, out);
  EXPECT_STREQ(out, "");
}

TEST(Substr, StartAtOrBeyondEndGivesEmpty) {
  char out[8] = "junk";
  substr("ABC", 3, 2, out);
  EXPECT_STREQ(out, "");
  std::strcpy(out, "junk");
  substr("ABC", 3, out);
  EXPECT_STREQ(out, "");
}

TEST(Substr, NeverReadsPastTheTerminator) {
  // Stale text after the terminator, as a reused line buffer holds it.
  const char buf[] = "AB\0STALE";
  char out[8] = "junk";
  substr(buf, 4, 2, out);
  EXPECT_STREQ(out, "");
  std::strcpy(out, "junk");
  substr(buf, 5, out);
  EXPECT_STREQ(out, "");
}

TEST(Substr, NegativeStartGivesEmpty) {
  char out[8] = "junk";
  substr("ABC", -1, 2, out);
  EXPECT_STREQ(out, "");
  std::strcpy(out, "junk");
  substr("ABC", -1, out);
  EXPECT_STREQ(out, "");
}

TEST(Substr, RestOfTextIncludingInPlace) {
  char out[16];
  substr("ABCDEF", 2, out);
  EXPECT_STREQ(out, "CDEF");
  substr("ABCDEF", 0, out);
  EXPECT_STREQ(out, "ABCDEF");
  char buf[16] = "0123456789";
  substr(buf, 7, buf);
  EXPECT_STREQ(buf, "789");
}

// ---------------------------------------------------------------- trim

TEST(Trim, BlanksOnBothSides) {
  char s[] = "  G01  ";
  trim(s);
  EXPECT_STREQ(s, "G01");
}

TEST(Trim, AllBlankAndEmpty) {
  char blanks[] = "   ";
  trim(blanks);
  EXPECT_STREQ(blanks, "");
  char empty[] = "";
  trim(empty);
  EXPECT_STREQ(empty, "");
}

TEST(Trim, InnerBlanksStay) {
  char s[] = "  BLOCK IIR-M  ";
  trim(s);
  EXPECT_STREQ(s, "BLOCK IIR-M");
}

TEST(Trim, TabsAndLineEndsAreNotBlanks) {
  char tab[] = "AB\t";
  trimr(tab);
  EXPECT_STREQ(tab, "AB\t");
  char cr[] = "AB \r";
  trimr(cr);
  EXPECT_STREQ(cr, "AB \r");
  char lead[] = "\t AB";
  triml(lead);
  EXPECT_STREQ(lead, "\t AB");
}

TEST(Trim, OneSidedForms) {
  char r[] = "  AB  ";
  trimr(r);
  EXPECT_STREQ(r, "  AB");
  char l[] = "  AB  ";
  triml(l);
  EXPECT_STREQ(l, "AB  ");
  char none[] = "AB";
  triml(none);
  trimr(none);
  EXPECT_STREQ(none, "AB");
}

// ---------------------------------------------------------------- reports

TEST(ProgramReports, ErrorOnStandardErrorExits) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    ProgramError("Orbika", "NO EPHEMERIS FILE SET!");
    std::cout << "not reached" << std::endl;
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "\n**** Orbika: Error -> NO EPHEMERIS FILE SET! ****\n"
            "     Exiting Orbika ... \n\n");
  EXPECT_EQ(r.out, "");
}

TEST(ProgramReports, ErrorCoutOnStandardOutputExits) {
  const orbtest::RunResult r =
      orbtest::RunCaptured([] { ProgramErrorCout("Orbika", "BAD FILE!"); });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** Orbika: Error -> BAD FILE! ****\n     Exiting Orbika ... \n\n");
  EXPECT_EQ(r.err, "");
}

TEST(ProgramReports, ErrorFlushesPendingOutput) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    std::cout << "partial result";  // no line end, not flushed yet
    ProgramError("Orbika", "STOP!");
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "partial result");
}

TEST(ProgramReports, WarningOnStandardErrorContinues) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    ProgramWarning("Orbika", "FILE NOT FOUND!");
    std::cerr << "after" << std::endl;
    std::cout << "run goes on" << std::endl;
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "\n#### Orbika: Warning -> FILE NOT FOUND! ####\n"
            "     Continuing Orbika ... \n\nafter\n");
  EXPECT_EQ(r.out, "run goes on\n");
}

TEST(ProgramReports, WarningCoutOnStandardOutputInOrder) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    std::cout << "line 1" << std::endl;
    ProgramWarningCout("Orbika",
                       "ANTENNA: BLOCK IIA NOT FOUND IN ANTEX FILE - SETING ALL "
                       "CALIBRATION PARAMETERS TO ZERO!");
    std::cout << "line 2" << std::endl;
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "line 1\n\n#### Orbika: Warning -> ANTENNA: BLOCK IIA NOT FOUND IN ANTEX FILE - "
            "SETING ALL CALIBRATION PARAMETERS TO ZERO! ####\n"
            "     Continuing Orbika ... \n\nline 2\n");
  EXPECT_EQ(r.err, "");
}

// In line style (the -csv runs) every frame is one line on standard error,
// and a satellite's condition is written once with its first epoch and
// summed up with its count and last epoch; without it only the systems
// that ask for lines are counted.
TEST(ProgramReports, LineStyleWritesOneLinePerConditionAndSatellite) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    EXPECT_TRUE(satmsg::Note("Orbika", "NOT COUNTED", "G01", "2020-06-25T00:00:00.000", false));
    satmsg::Note("Orbika", "FAR", "E11", "2020-06-25T00:00:00.000", true);
    satmsg::UseLines();
    ProgramWarningCout("Orbika", "BAD FILE!");
    WriteFrame(std::cout, {"", "*****", "MATRIX::ERROR:", "", "\tOperator: ()\nRow index", "",
                           "*****", "Exiting program...", ""});
    satmsg::Note("Orbika", "FAR", "E11", "2020-06-25T00:15:00.000", false);
    satmsg::Note("Orbika", "FAR", "G01", "2020-06-25T00:15:00.000", false);
    satmsg::Note("Orbika", "FAR", "E11", "2020-06-25T00:30:00.000", false);
    satmsg::WriteSummary("Orbika", std::cerr);
  });
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "Orbika: Warning -> E11 2020-06-25T00:00:00.000: FAR\n"
            "Orbika: Warning -> BAD FILE!\n"
            "MATRIX::ERROR: Operator: () Row index\n"
            "Orbika: Warning -> G01 2020-06-25T00:15:00.000: FAR\n"
            "Orbika: Summary -> E11: FAR: 3 times, 2020-06-25T00:00:00.000 to "
            "2020-06-25T00:30:00.000\n"
            "Orbika: Summary -> G01: FAR: 1 time, 2020-06-25T00:15:00.000 to "
            "2020-06-25T00:15:00.000\n");
}

// ---------------------------------------------------------------- FileExists

TEST(FileExists, ReadableFileAndMissingFile) {
  const std::string path = orbtest::WriteTempFile("x\n");
  EXPECT_TRUE(FileExists(path.c_str()));
  EXPECT_FALSE(FileExists((path + ".missing").c_str()));
  EXPECT_FALSE(FileExists(""));
}

TEST(FileExists, DirectoryIsNotAFile) {
  EXPECT_FALSE(FileExists("/tmp"));
  EXPECT_FALSE(FileExists(orbtest::FixtureDir().c_str()));
}

TEST(FileExists, UnreadableFileCountsAsMissing) {
  const std::string locked = orbtest::WriteTempFile("x\n");
  const std::string open = orbtest::WriteTempFile("x\n");
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  ASSERT_EQ(chmod(open.c_str(), 0644), 0);
  // The superuser reads any file, so the check runs as an ordinary user.
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    if (geteuid() == 0 && setuid(65534) != 0) _exit(2);
    const int code = (FileExists(locked.c_str()) ? 4 : 0) + (FileExists(open.c_str()) ? 0 : 8);
    _exit(code);
  });
  ASSERT_NE(r.status, 2) << "could not drop privileges";
  EXPECT_EQ(r.status & 4, 0) << "unreadable file reported as present";
  EXPECT_EQ(r.status & 8, 0) << "readable file reported as missing";
}

// ---------------------------------------------------------------- ReadLine

TEST(ReadLine, WindowsAndUnixLineEndsReadAlike) {
  std::istringstream unix_in("first\n\nthird  \n");
  std::istringstream dos_in("first\r\n\r\nthird  \r\n");
  for (std::istringstream* in : {&unix_in, &dos_in}) {
    char buf[32];
    ASSERT_EQ(ReadLine(*in, buf, sizeof buf), LineRead::Ok);
    EXPECT_STREQ(buf, "first");
    ASSERT_EQ(ReadLine(*in, buf, sizeof buf), LineRead::Ok);
    EXPECT_STREQ(buf, "");
    ASSERT_EQ(ReadLine(*in, buf, sizeof buf), LineRead::Ok);
    EXPECT_STREQ(buf, "third  ");
    EXPECT_EQ(ReadLine(*in, buf, sizeof buf), LineRead::End);
    EXPECT_STREQ(buf, "");
    EXPECT_TRUE(in->fail());
  }
}

TEST(ReadLine, LastLineWithoutLineEnd) {
  std::istringstream in("a\nlast");
  char buf[16];
  ASSERT_EQ(ReadLine(in, buf, sizeof buf), LineRead::Ok);
  ASSERT_EQ(ReadLine(in, buf, sizeof buf), LineRead::Ok);
  EXPECT_STREQ(buf, "last");
  EXPECT_EQ(ReadLine(in, buf, sizeof buf), LineRead::End);
}

TEST(ReadLine, LastLineEndingInCarriageReturnOnly) {
  std::istringstream in("last\r");
  char buf[16];
  ASSERT_EQ(ReadLine(in, buf, sizeof buf), LineRead::Ok);
  EXPECT_STREQ(buf, "last");
}

TEST(ReadLine, OverlongLineIsCutAndConsumed) {
  std::istringstream in("0123456789\nnext\n");
  char buf[5];
  ASSERT_EQ(ReadLine(in, buf, sizeof buf), LineRead::TooLong);
  EXPECT_STREQ(buf, "0123");
  ASSERT_EQ(ReadLine(in, buf, sizeof buf), LineRead::Ok);
  EXPECT_STREQ(buf, "next");
}

TEST(ReadLine, LineThatExactlyFillsTheBuffer) {
  // size-1 characters fit; the CR of a CR LF end does not count against them.
  std::istringstream in("0123\r\n012\r\n01234\r\n");
  char buf[5];
  ASSERT_EQ(ReadLine(in, buf, sizeof buf), LineRead::Ok);
  EXPECT_STREQ(buf, "0123");
  ASSERT_EQ(ReadLine(in, buf, sizeof buf), LineRead::Ok);
  EXPECT_STREQ(buf, "012");
  ASSERT_EQ(ReadLine(in, buf, sizeof buf), LineRead::TooLong);
  EXPECT_STREQ(buf, "0123");
  EXPECT_EQ(ReadLine(in, buf, sizeof buf), LineRead::End);
}

TEST(ReadLine, EmptyStream) {
  std::istringstream in("");
  char buf[4] = "xx";
  EXPECT_EQ(ReadLine(in, buf, sizeof buf), LineRead::End);
  EXPECT_STREQ(buf, "");
}

}  // namespace

TEST(ReadLine, ADirectoryReadsAsAnEmptyFile) {
  std::ifstream in("/tmp");
  char buf[16] = "stale";
  EXPECT_EQ(ReadLine(in, buf, sizeof buf), LineRead::End);
  EXPECT_STREQ(buf, "");
  EXPECT_TRUE(in.fail());
}
