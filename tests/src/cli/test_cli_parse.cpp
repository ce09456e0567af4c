// Values glued to command-line options: file names, numbers, dates and
// satellite lists.
#include <string>

#include <gtest/gtest.h>

#include "GNSS/time/TimeConverse.h"
#include "src/cli/ParseArgument.h"
#include "tests/TestUtil.h"
#include "tests/src/test_cli_text.h"

using clitest::DateErrorText;
using clitest::ErrorText;

namespace {

std::string SatList(const matrix<short>& m) {
  std::string s;
  for (int i = 0; i < m.NRow(); ++i) s += (i ? "," : "") + std::to_string(m(i));
  return s;
}

// Date written from position 3 of word, as "y-m-d h:m:s" with the seconds
// at full precision; the child ends with the report of a bad value.
orbtest::RunResult DateOf(const std::string& word) {
  return orbtest::RunCaptured([&]() {
    ymdhms t;
    ParseDate(word.c_str(), t, 3);
    std::printf("%u-%u-%u %u:%u:%.17Lg\n", t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(),
                t.GetMinute(), t.GetSecond());
  });
}

}  // namespace

TEST(ParseFileName, CopiesTheRestOfTheWordUnchanged) {
  char file[64] = "old";
  ParseFileName("-en data/ brdc0910.09n ", file, 3);
  EXPECT_STREQ(file, " data/ brdc0910.09n ");
  ParseFileName("-en", file, 3);
  EXPECT_STREQ(file, "");
}

TEST(ParseFileName, WordShorterThanThePositionGivesAnEmptyName) {
  char file[8] = "old";
  ParseFileName("-e", file, 3);
  EXPECT_STREQ(file, "");
}

TEST(GetFileName, SetsTheFlagAndEchoesOnlyInVerboseMode) {
  auto run = [](bool verbose) {
    return orbtest::RunCaptured([verbose]() {
      char file[32] = "";
      bool isFile = false, v = verbose;
      GetFileName("-epigs.sp3", file, isFile, v, 3, "precise: ");
      std::printf("%s %d\n", file, isFile);
    });
  };
  orbtest::RunResult quiet = run(false);
  EXPECT_EQ(quiet.out, "igs.sp3 1\n");
  EXPECT_EQ(quiet.err, "");
  orbtest::RunResult loud = run(true);
  EXPECT_EQ(loud.out, "igs.sp3 1\n");
  EXPECT_EQ(loud.err, "precise: igs.sp3!\n");
}

TEST(ParseFloat, ConvertsLikeAtofAtSinglePrecision) {
  EXPECT_EQ(ParseFloat("-dt300.0", 3), 300.0L);
  EXPECT_EQ(ParseFloat("-ni30", 3), 30.0L);
  // 0.1 is kept as the nearest float, not as the nearest long double.
  EXPECT_EQ(ParseFloat("-dt0.1", 3), static_cast<long double>(0.1f));
  EXPECT_NE(ParseFloat("-dt0.1", 3), 0.1L);
  EXPECT_EQ(ParseFloat("-dt  12.5s", 3), 12.5L);
  EXPECT_EQ(ParseFloat("-dt1e2", 3), 100.0L);
  EXPECT_EQ(ParseFloat("-dt-7.25", 3), -7.25L);
}

TEST(ParseFloat, NoNumberGivesZero) {
  EXPECT_EQ(ParseFloat("-dtabc", 3), 0.0L);
  EXPECT_EQ(ParseFloat("-dt", 3), 0.0L);
  EXPECT_EQ(ParseFloat("-d", 3), 0.0L);
}

TEST(ParseDate, ReadsTheFixedColumnsOfTheFullForm) {
  orbtest::RunResult r = DateOf("-ts2013-01-05,10:30:00");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "2013-1-5 10:30:0\n");
}

TEST(ParseDate, SeparatorsAreNotExaminedAndSecondsMayCarryAFraction) {
  orbtest::RunResult r = DateOf("-ts2013/01/05_10-30-00.5");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "2013-1-5 10:30:0.5\n");
}

TEST(ParseDate, SecondsTextLongerThanNineCharactersIsRead) {
  orbtest::RunResult r = DateOf("-te2019-03-10,23:59:59.25000000000");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "2019-3-10 23:59:59.25\n");
}

TEST(ParseDate, GivesTheSameEpochAsTheCalendarConversion) {
  ymdhms t;
  ParseDate("-ts2013-01-05,10:30:00", t, 3);
  const mjd e = ymdhms2mjd(t);
  EXPECT_EQ(e.GetMJDay(), 56297u);
  EXPECT_EQ(e.GetSecond(), 37800.0L);
}

TEST(ParseDate, ValueShorterThanTheFullFormEndsTheRun) {
  for (const char* word : {"-ts2013-01-05", "-ts2013-01-05,10:30:0", "-ts", "-t"}) {
    SCOPED_TRACE(word);
    orbtest::RunResult r = DateOf(word);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    const std::string option = std::string(word).substr(0, 3);
    EXPECT_EQ(r.err, ErrorText("DATE OF OPTION " + option + " NOT WRITTEN IN FULL [ use " +
                               option + "YYYY-MM-DD,hh:mm:ss ]!"));
  }
}

TEST(ParseDate, FieldOutOfRangeEndsTheRunWithTheCalendarReport) {
  struct Case {
    const char* word;
    const char* msg;
  };
  for (const Case& c : {Case{"-ts2013-01-05,75:00:00", "HOUR not valid"},
                        Case{"-ts2013-02-31,10:00:00", "DAY not valid"},
                        Case{"-ts2012-02-30,10:00:00", "DAY not valid"},
                        Case{"-ts2013-13-01,10:00:00", "MONTH not valid"},
                        Case{"-ts1900-01-01,00:00:00", "YEAR not valid"},
                        Case{"-ts2013-01-05,10:60:00", "MINUTE not valid"},
                        Case{"-ts2013-01-05,10:30:60", "SECOND not valid"}}) {
    SCOPED_TRACE(c.word);
    orbtest::RunResult r = DateOf(c.word);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, DateErrorText(c.msg));
    EXPECT_EQ(r.err, "");
  }
}

TEST(ParseDate, FieldsThatAreNotDigitsEndTheRunNamingTheValue) {
  for (const char* word : {"-tsABCD-01-05,10:30:00", "-te2013-1-5,10:30:00.0",
                           "-ti2013-01-05,10:30:00x", "-ts2013-01-05,10:30:5m", "-ts2013-01-05,1 :30:00"}) {
    SCOPED_TRACE(word);
    orbtest::RunResult r = DateOf(word);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    const std::string option = std::string(word).substr(0, 3);
    EXPECT_EQ(r.err, ErrorText("DATE OF OPTION " + option + " NOT A DATE IN DIGITS [ use " +
                               option + "YYYY-MM-DD,hh:mm:ss ]: " + (word + 3) + "!"));
  }
}

TEST(ParseDate, LeapDayIsAccepted) {
  orbtest::RunResult r = DateOf("-ts2012-02-29,00:00:00");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "2012-2-29 0:0:0\n");
}

TEST(ParseSatList, ThreeCharactersPerSatellite) {
  matrix<short> s;
  ParseSatList("-prG01R05E11", s, 3);
  EXPECT_EQ(SatList(s), "1,105,211");
  EXPECT_EQ(s.Length(), 3);
}

TEST(ParseSatList, CharactersAfterTheLastWholeGroupAreIgnored) {
  matrix<short> s;
  ParseSatList("-prG01R0", s, 3);
  EXPECT_EQ(SatList(s), "1");
}

TEST(ParseSatList, SystemLettersInEitherCase) {
  matrix<short> s;
  ParseSatList("-prg05r05e05C05S05j05I99", s, 3);
  EXPECT_EQ(SatList(s), "5,105,205,305,405,505,699");
}

TEST(ParseSatList, EmptyValueGivesAnEmptyList) {
  matrix<short> s;
  ParseSatList("-prG01", s, 3);
  ParseSatList("-pr", s, 3);
  EXPECT_EQ(s.NRow(), 0);
  ParseSatList("-p", s, 3);
  EXPECT_EQ(s.NRow(), 0);
}

TEST(ParseSatList, ALaterListReplacesTheWholeList) {
  matrix<short> s;
  ParseSatList("-prG01G02G03", s, 3);
  ParseSatList("-prR24", s, 3);
  EXPECT_EQ(SatList(s), "124");
}

TEST(ParseSatList, LongListsHaveNoFixedLimit) {
  std::string word = "-pr", expect;
  for (int i = 0; i < 100; ++i) {
    const int prn = i % 32 + 1;
    const char sys = i < 50 ? 'G' : 'R';
    char code[4];
    std::snprintf(code, sizeof code, "%c%02d", sys, prn);
    word += code;
    expect += (i ? "," : "") + std::to_string(prn + (sys == 'R' ? 100 : 0));
  }
  matrix<short> s;
  ParseSatList(word.c_str(), s, 3);
  EXPECT_EQ(s.NRow(), 100);
  EXPECT_EQ(SatList(s), expect);
}
