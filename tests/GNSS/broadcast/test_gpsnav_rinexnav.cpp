// The RINEX 2 navigation reading machinery shared by the GPS and GLONASS
// readers: numbers in D notation, header fields and loop, record counting,
// record pieces and the report frames.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/time/TimeConverse.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/broadcast/test_gpsnav_util.h"

namespace {

using rinexnav::RecordRead;

// ------------------------------------------------------------- ReadParameter

TEST(gpsRinexNavNumber, AllThreeExponentLettersGiveTheSameValue) {
  for (const char* text : {" 0.1D+01", " 0.1E+01", " 0.1e+01"}) {
    std::istringstream in(text);
    EXPECT_EQ(rinexnav::ReadParameter(in), 1.0L) << text;
    EXPECT_FALSE(in.fail()) << text;
  }
}

TEST(gpsRinexNavNumber, LowerCaseDIsNoExponentLetter) {
  // The d stays in the mantissa text, which atof stops at, and the exponent
  // letter is the E that follows: 0.5 * 10^2.
  std::istringstream in("0.5d+01E+02");
  EXPECT_EQ(rinexnav::ReadParameter(in), 50.0L);
}

TEST(gpsRinexNavNumber, TouchingNegativeFieldsAreSeparatedByTheSign) {
  std::istringstream in("-0.172729451478D+01-0.150687992573D-05-0.5D+00");
  EXPECT_DOUBLE_EQ(static_cast<double>(rinexnav::ReadParameter(in)), -1.72729451478);
  EXPECT_DOUBLE_EQ(static_cast<double>(rinexnav::ReadParameter(in)), -0.150687992573e-5);
  EXPECT_DOUBLE_EQ(static_cast<double>(rinexnav::ReadParameter(in)), -0.5);
  EXPECT_FALSE(in.fail());
}

TEST(gpsRinexNavNumber, NumbersRunOnAcrossLineEndsAndCrLf) {
  std::istringstream lf(" 0.25D+01\n    0.5D-01\n   -0.75D+02\n");
  std::istringstream crlf(" 0.25D+01\r\n    0.5D-01\r\n   -0.75D+02\r\n");
  for (std::istringstream* in : {&lf, &crlf}) {
    EXPECT_EQ(rinexnav::ReadParameter(*in), 2.5L);
    EXPECT_DOUBLE_EQ(static_cast<double>(rinexnav::ReadParameter(*in)), 0.05);
    EXPECT_EQ(rinexnav::ReadParameter(*in), -75.0L);
    EXPECT_FALSE(in->fail());
  }
}

TEST(gpsRinexNavNumber, ValueIsFormedInDoublePrecision) {
  // mantissa * 10^exponent rounded to double, then widened.
  std::istringstream in("0.295937500000E+02");
  EXPECT_EQ(rinexnav::ReadParameter(in),
            static_cast<long double>(0.2959375 * 100.0));
}

TEST(gpsRinexNavNumber, EndOfFileBeforeTheExponentLetterFailsWithEof) {
  std::istringstream in("  0.123456\n   ");
  EXPECT_EQ(rinexnav::ReadParameter(in), 0.0L);
  EXPECT_TRUE(in.fail());
  EXPECT_TRUE(in.eof());
}

TEST(gpsRinexNavNumber, EndOfFileBeforeTheExponentFailsWithEof) {
  std::istringstream in("  0.123456D");
  rinexnav::ReadParameter(in);
  EXPECT_TRUE(in.fail());
  EXPECT_TRUE(in.eof());
}

TEST(gpsRinexNavNumber, MantissaOfTwentyNineCharactersIsRead) {
  const std::string mantissa = "0.1234567890123456789012345670";  // 30 characters
  std::istringstream ok("\n\n      " + mantissa.substr(0, 29) + "D+00");
  EXPECT_DOUBLE_EQ(static_cast<double>(rinexnav::ReadParameter(ok)), 0.123456789012345678901);
  EXPECT_FALSE(ok.fail());
}

TEST(gpsRinexNavNumber, OverlongMantissaFailsWithoutEofAndWithoutOverrun) {
  // A field without its exponent letter runs into the next line; the text
  // grows past the limit long before the next letter.
  std::istringstream in(std::string(5, ' ') + std::string(200, '7') + "D+01");
  EXPECT_EQ(rinexnav::ReadParameter(in), 0.0L);
  EXPECT_TRUE(in.fail());
  EXPECT_FALSE(in.eof());
}

TEST(gpsRinexNavNumber, ExponentThatIsNoIntegerFails) {
  std::istringstream in("0.5D+x1");
  rinexnav::ReadParameter(in);
  EXPECT_TRUE(in.fail());
  EXPECT_FALSE(in.eof());
}

TEST(gpsRinexNavNumber, FailedStreamReadsNothing) {
  std::istringstream in("0.5D+01");
  in.setstate(std::ios::failbit);
  EXPECT_EQ(rinexnav::ReadParameter(in), 0.0L);
  in.clear();
  EXPECT_EQ(rinexnav::ReadParameter(in), 5.0L);
}

// ------------------------------------------------------------ header fields

TEST(gpsRinexNavFields, FieldsAreCutShortByTheEndOfTheLine) {
  char out[32];
  rinexnav::FieldText("ABC  DEF", 4, 10, out);
  EXPECT_STREQ(out, "DEF");
  rinexnav::FieldText("ABC", 10, 5, out);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(rinexnav::FieldInt("    15", 1, 6), 15);
  EXPECT_EQ(rinexnav::FieldInt("  ", 1, 6), 0);
  EXPECT_EQ(rinexnav::FieldDouble("   2.11", 1, 9), 2.11);
}

TEST(gpsRinexNavFields, MantissaTimesTenToTheExponent) {
  const char* line = "    0.1118D-07  0.7451D-08 -0.5960D-07 -0.5960D-07          ION ALPHA";
  EXPECT_EQ(rinexnav::FieldMantExp(line, 3, 8, 12, 3),
            static_cast<long double>(0.1118 * std::pow(10.0, -7)));
  EXPECT_EQ(rinexnav::FieldMantExp(line, 39, 8, 48, 3),
            static_cast<long double>(-0.5960 * std::pow(10.0, -7)));
  // A line that ends early gives zeros, not a read past its end.
  EXPECT_EQ(rinexnav::FieldMantExp("  0.5", 3, 8, 12, 3), 0.5L);
  EXPECT_EQ(rinexnav::FieldMantExp("", 3, 8, 12, 3), 0.0L);
}

TEST(gpsRinexNavFields, VersionTypeAndProgramLines) {
  float version = 0;
  char type[20];
  rinexnav::ParseVersionType("     2.10           N: GPS NAV DATA                         RINEX VERSION / TYPE",
                             version, type);
  EXPECT_FLOAT_EQ(version, 2.10f);
  EXPECT_STREQ(type, "N: GPS NAV DATA");
  char pgm[21], runby[21], date[21];
  rinexnav::ParsePgmRunByDate("CCRINEXN V1.6.0 UX  CDDIS               02-APR-09 02:51     PGM / RUN BY / DATE ",
                              pgm, runby, date);
  EXPECT_STREQ(pgm, "CCRINEXN V1.6.0 UX");
  EXPECT_STREQ(runby, "CDDIS");
  EXPECT_STREQ(date, "02-APR-09 02:51");
  EXPECT_EQ(rinexnav::ParseLeapSeconds("    15                                                      LEAP SECONDS"), 15);
}

// -------------------------------------------------------------- header loop

struct HeaderLog {
  std::vector<std::string> calls;
  std::vector<std::string> warnings;
};

bool ReadTestHeader(std::istream& in, HeaderLog& log) {
  return rinexnav::ReadHeader(
      in,
      {{"ALPHA", [&log](const char* l) { log.calls.push_back(std::string("A:") + l); }},
       {"BETA", [&log](const char* l) { log.calls.push_back(std::string("B:") + l); }},
       {"COMMENT", nullptr}},
      [&log](const char* t) { log.warnings.push_back(t); });
}

bool ReadTestHeader(const std::string& text, HeaderLog& log) {
  std::istringstream in(text);
  return ReadTestHeader(in, log);
}

TEST(gpsRinexNavHeader, FirstLabelOfTheTableDecidesAndCommentsAreSkipped) {
  HeaderLog log;
  const std::string text = gpsnavtest::HeaderLine("x", "BETA ALPHA") +
                           gpsnavtest::HeaderLine("y", "BETA") +
                           gpsnavtest::HeaderLine("a note", "COMMENT") +
                           gpsnavtest::HeaderLine("", "END OF HEADER") + "rest\n";
  std::istringstream in(text);
  EXPECT_TRUE(ReadTestHeader(in, log));
  ASSERT_EQ(log.calls.size(), 2u);
  EXPECT_EQ(log.calls[0].substr(0, 3), "A:x");
  EXPECT_EQ(log.calls[1].substr(0, 3), "B:y");
  EXPECT_TRUE(log.warnings.empty());
  std::string next;
  std::getline(in, next);
  EXPECT_EQ(next, "rest");
}

TEST(gpsRinexNavHeader, ACommentThatNamesALabelIsParsedByThatLabel) {
  HeaderLog log;
  EXPECT_TRUE(ReadTestHeader(gpsnavtest::HeaderLine("BETA in a note", "COMMENT") +
                                 gpsnavtest::HeaderLine("", "END OF HEADER"),
                             log));
  ASSERT_EQ(log.calls.size(), 1u);
  EXPECT_EQ(log.calls[0].substr(0, 6), "B:BETA");
}

TEST(gpsRinexNavHeader, UnknownLabelsWarnOnceWithTheFirstTextFromColumn61AndACount) {
  const std::string marker = gpsnavtest::HeaderLine("SITE", "MARKER NAME         ");
  const std::string end = gpsnavtest::HeaderLine("", "END OF HEADER");
  const struct {
    std::string header;
    const char* warning;
  } rows[] = {
      {marker + end, "MARKER NAME          -> UNKNOWN HEADER LABEL"},
      {"short line\n" + marker + end, " -> UNKNOWN HEADER LABEL (LINE 1, AND 1 LINES MORE OF THIS KIND)"},
      {gpsnavtest::HeaderLine("a", "ALPHA") + marker + marker + marker + end,
       "MARKER NAME          -> UNKNOWN HEADER LABEL (LINE 2, AND 2 LINES MORE OF THIS KIND)"},
  };
  for (const auto& row : rows) {
    HeaderLog log;
    EXPECT_TRUE(ReadTestHeader(row.header, log));
    ASSERT_EQ(log.warnings.size(), 1u) << row.header;
    EXPECT_EQ(log.warnings[0], row.warning);
  }
}

TEST(gpsRinexNavHeader, EndOfHeaderInsideACommentEndsTheHeader) {
  HeaderLog log;
  const std::string text = gpsnavtest::HeaderLine("END OF HEADER follows", "COMMENT") +
                           gpsnavtest::HeaderLine("z", "ALPHA");
  EXPECT_TRUE(ReadTestHeader(text, log));
  EXPECT_TRUE(log.calls.empty());
}

TEST(gpsRinexNavHeader, MissingEndOfHeaderParsesAndReportsNothing) {
  HeaderLog log;
  std::istringstream in(gpsnavtest::HeaderLine("a", "ALPHA") + "unknown\n" +
                        gpsnavtest::HeaderLine("b", "BETA"));
  EXPECT_FALSE(ReadTestHeader(in, log));
  EXPECT_TRUE(in.fail());
  EXPECT_TRUE(log.calls.empty());
  EXPECT_TRUE(log.warnings.empty());
}

TEST(gpsRinexNavHeader, OverlongLineIsReadAsItsFirst99CharactersWithAWarning) {
  HeaderLog log;
  std::string longline(60, 'x');
  longline += "ALPHA" + std::string(34, ' ') + "TAIL-BEYOND-99";  // 113 characters
  const std::string text = gpsnavtest::HeaderLine("c", "COMMENT") + longline + "\n" +
                           gpsnavtest::HeaderLine("", "END OF HEADER");
  EXPECT_TRUE(ReadTestHeader(text, log));
  ASSERT_EQ(log.warnings.size(), 1u);
  EXPECT_EQ(log.warnings[0], "HEADER LINE 2 LONGER THAN 99 CHARACTERS -> READ AS ITS FIRST 99");
  ASSERT_EQ(log.calls.size(), 1u);
  EXPECT_EQ(log.calls[0].size(), 2u + 99u);
  EXPECT_EQ(log.calls[0].find("TAIL"), std::string::npos);
}

TEST(gpsRinexNavHeader, CrLfHeaderReadsLikeLf) {
  HeaderLog lf, crlf;
  std::string text = gpsnavtest::HeaderLine("a", "ALPHA") +
                     gpsnavtest::HeaderLine("", "MARKER NAME") +
                     gpsnavtest::HeaderLine("", "END OF HEADER");
  std::string textcr;
  for (char ch : text) textcr += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  EXPECT_TRUE(ReadTestHeader(text, lf));
  EXPECT_TRUE(ReadTestHeader(textcr, crlf));
  EXPECT_EQ(lf.calls, crlf.calls);
  EXPECT_EQ(lf.warnings, crlf.warnings);
}

// ----------------------------------------------------------------- counting

TEST(gpsRinexNavCount, CountsRecordStartsAndIgnoresBlankLines) {
  const std::string rec = gpsnavtest::Record(5, 9, 4, 1, 0, 0, 0, gpsnavtest::Numbered());
  std::istringstream in("\n" + rec + "\n  \n" + rec + rec + "\n\n");
  EXPECT_EQ(rinexnav::CountRecords(in, 8), 3u);
}

TEST(gpsRinexNavCount, RecordCutShortStillCountsAndEndsTheCount) {
  const std::string rec = gpsnavtest::Record(5, 9, 4, 1, 0, 0, 0, gpsnavtest::Numbered());
  std::istringstream in(rec + rec.substr(0, 200));
  EXPECT_EQ(rinexnav::CountRecords(in, 8), 2u);
}

TEST(gpsRinexNavCount, ALineThatStartsNoRecordEndsTheCount) {
  const std::string rec = gpsnavtest::Record(5, 9, 4, 1, 0, 0, 0, gpsnavtest::Numbered());
  std::istringstream in(rec + "G05 2009 04 01 00 00 00\n" + rec);
  EXPECT_EQ(rinexnav::CountRecords(in, 8), 1u);
}

// ------------------------------------------------------------ record pieces

TEST(gpsRinexNavRecord, ReadsSatelliteEpochNumbersAndTheRestOfTheLine) {
  const gpsnavtest::Params p = gpsnavtest::Numbered(-1);
  std::istringstream in(gpsnavtest::Record(12, 9, 4, 1, 13, 59, 44, p, 'E') + "31");
  unsigned short sat = 0;
  ymdhms epoch;
  long double v[28];
  ASSERT_EQ(rinexnav::ReadRecord(in, sat, epoch, v, 28), RecordRead::Ok);
  EXPECT_EQ(sat, 12);
  EXPECT_EQ(epoch.GetYear(), 2009);
  EXPECT_EQ(epoch.GetMonth(), 4);
  EXPECT_EQ(epoch.GetHour(), 13);
  EXPECT_EQ(epoch.GetMinute(), 59);
  EXPECT_EQ(epoch.GetSecond(), 44.0L);
  for (int j = 0; j < 28; ++j)
    EXPECT_DOUBLE_EQ(static_cast<double>(v[j]), static_cast<double>(p[j])) << j;
  // The fit interval was skipped with the rest of the line.
  ASSERT_EQ(rinexnav::ReadSatNumber(in, sat), RecordRead::Ok);
  EXPECT_EQ(sat, 31);
}

TEST(gpsRinexNavRecord, EndOfFileAtEveryPointOfARecordIsTruncation) {
  const std::string rec = gpsnavtest::Record(3, 9, 4, 1, 2, 0, 0, gpsnavtest::Numbered(-1));
  // Cut after the satellite number, inside the epoch, inside a number, at a
  // line end and just before the last exponent.
  // The last line holds the 28th number (its letter 24 characters before the
  // end) and the fit interval.
  ASSERT_EQ(rec[rec.size() - 24], 'D');
  for (std::size_t cut : {std::size_t(3), std::size_t(12), std::size_t(40), std::size_t(80),
                          rec.size() - 24}) {
    std::istringstream in(rec.substr(0, cut));
    unsigned short sat = 0;
    ymdhms epoch;
    long double v[28];
    EXPECT_EQ(rinexnav::ReadRecord(in, sat, epoch, v, 28), RecordRead::Truncated) << cut;
  }
}

TEST(gpsRinexNavRecord, EmptyRestOrTextEndsTheRecordsCleanly) {
  unsigned short sat = 0;
  std::istringstream blank("  \n\n");
  EXPECT_EQ(rinexnav::ReadSatNumber(blank, sat), RecordRead::NoRecord);
  std::istringstream text("G05 09  4  1");
  EXPECT_EQ(rinexnav::ReadSatNumber(text, sat), RecordRead::NoRecord);
}

TEST(gpsRinexNavRecord, EpochFieldThatIsNoNumberIsABadNumber) {
  std::istringstream in("09  4  1  x  0  0.0 0.1D+01");
  ymdhms epoch;
  EXPECT_EQ(rinexnav::ReadEpoch(in, epoch), RecordRead::BadNumber);
}

TEST(gpsRinexNavRecord, EpochTouchingTheFirstNegativeNumber) {
  std::istringstream in("09  4  1 23 59 44.0-0.5D+00");
  ymdhms epoch;
  ASSERT_EQ(rinexnav::ReadEpoch(in, epoch), RecordRead::Ok);
  EXPECT_EQ(epoch.GetSecond(), 44.0L);
  EXPECT_EQ(rinexnav::ReadParameter(in), -0.5L);
}

TEST(gpsRinexNavRecord, InvalidDateEndsWithTheCalendarReport) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    std::istringstream in("09 13  1  0  0  0.0");
    ymdhms epoch;
    rinexnav::ReadEpoch(in, epoch);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("**** ymdhms: Error -> MONTH not valid ****"), std::string::npos);
}

TEST(gpsRinexNavRecord, KeepRowsKeepsTheLeadingRows) {
  matrix<long double> m(3, 2);
  for (int i = 0; i < 6; ++i) m(i) = i;
  rinexnav::KeepRows(m, 2);
  ASSERT_EQ(m.NRow(), 2);
  ASSERT_EQ(m.NCol(), 2);
  EXPECT_EQ(m(1, 1), 3.0L);
  rinexnav::KeepRows(m, 0);
  EXPECT_EQ(m.Length(), 0);
}

// ------------------------------------------------------------------ frames

TEST(gpsRinexNavFrames, WarningFrameOnStandardOutput) {
  const orbtest::RunResult r = orbtest::RunCaptured([] { rinexnav::Warning("GLNbEph", "SOME TEXT"); });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\n#### GLNbEph: Warning -> SOME TEXT ####\n     Continuing GLNbEph ... \n");
  EXPECT_EQ(r.err, "");
}

TEST(gpsRinexNavFrames, ErrorFramesEndWithExitStatus1) {
  const orbtest::RunResult star = orbtest::RunCaptured([] { rinexnav::Error("GPSbEph", "BAD"); });
  EXPECT_EQ(star.status, 1);
  EXPECT_EQ(star.out, "\n**** GPSbEph: Error -> BAD ****\n     Exiting GPSbEph ... \n");
  const orbtest::RunResult hash =
      orbtest::RunCaptured([] { rinexnav::Error("GPSbEphData", "BAD", "####"); });
  EXPECT_EQ(hash.status, 1);
  EXPECT_EQ(hash.out, "\n#### GPSbEphData: Error -> BAD ####\n     Exiting GPSbEphData ... \n");
}

TEST(gpsRinexNavFrames, ScanReportsNameTheFile) {
  rinexnav::RecordScan scan;
  scan.read = 11;
  scan.stop = RecordRead::Truncated;
  scan.record = 12;
  orbtest::RunResult r =
      orbtest::RunCaptured([&] { rinexnav::ReportScan(scan, "GPSbEph", "GPS NAVIGATION FILE", "a.09n"); });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "\n#### GPSbEph: Warning -> GPS NAVIGATION FILE a.09n: FILE ENDS INSIDE RECORD 12, "
            "RECORD DROPPED! ####\n     Continuing GPSbEph ... \n");

  scan.stop = RecordRead::BadNumber;
  r = orbtest::RunCaptured([&] { rinexnav::ReportScan(scan, "GLNbEph", "GLONASS NAVIGATION FILE", "b.09g"); });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "\n**** GLNbEph: Error -> GLONASS NAVIGATION FILE b.09g: BAD NUMBER IN RECORD 12! ****\n"
            "     Exiting GLNbEph ... \n");

  scan.stop = RecordRead::NoRecord;
  scan.read = 0;
  r = orbtest::RunCaptured([&] { rinexnav::ReportScan(scan, "GPSbEph", "GPS NAVIGATION FILE", "c.09n"); });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "\n**** GPSbEph: Error -> GPS NAVIGATION FILE c.09n: NO COMPLETE RECORD! ****\n"
            "     Exiting GPSbEph ... \n");
}

}  // namespace
