// Reading RINEX 2 GLONASS navigation files into GLNbEph: header values,
// records and their move from UTC to GPS time, counts and slot list, and the
// reports of files that are empty, unusual or broken.

#include <gtest/gtest.h>

#include <string>

#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/time/TimeConverse.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/broadcast/test_glonav_util.h"

namespace {

using glonavtest::Field;
using glonavtest::Fixture;
using glonavtest::Header;
using glonavtest::HeaderLine;
using glonavtest::Params;
using glonavtest::Record;
using glonavtest::ToCrLf;

void Load(GLNbEph& g, const std::string& path) {
  g.SetFile(path.c_str());
  g.ReadFile();
}

// Column j holds (j + 1) * 0.25 * 10^(j % 4 - 1) with the given sign, the
// position columns (3, 7, 11) 100 times and the acceleration columns (5, 9,
// 13) 1e-9 times that, so that the state is one a satellite can have.
Params Numbered(long double sign = 1) {
  Params p{};
  const long double scale[4] = {1e-1L, 1.0L, 1e1L, 1e2L};
  for (int j = 0; j < 15; ++j) {
    const long double state = j % 4 == 3 ? 1e2L : (j % 4 == 1 && j > 1) ? 1e-9L : 1;
    p[static_cast<std::size_t>(j)] = sign * (j + 1) * 0.25L * scale[j % 4] * state;
  }
  return p;
}

std::string ThreeSlots() {
  return Header() + Record(24, 9, 4, 1, 0, 15, 0, Numbered()) +
         Record(1, 9, 4, 1, 0, 15, 0, Numbered(-1)) + Record(3, 9, 4, 1, 0, 45, 0, Numbered()) +
         Record(1, 9, 4, 1, 0, 45, 0, Numbered());
}

void ExpectEpoch(const mjd& t, unsigned day, long double second) {
  EXPECT_EQ(t.GetMJDay(), day);
  EXPECT_EQ(t.GetSecond(), second);
}

// ------------------------------------------------------------------ header

TEST(GLONASSNavReader, HeaderValuesOfTheFixture) {
  GLNbEph g;
  Load(g, Fixture("glo_leap2012.g"));
  const GLNbEphHeader& h = g.GetHeader();
  EXPECT_FLOAT_EQ(h.GetVersion(), 2.01f);
  EXPECT_STREQ(h.GetType(), "GLONASS NAV DATA");
  EXPECT_STREQ(h.GetPgm(), "orbgen 1.0");
  EXPECT_STREQ(h.GetRunBy(), "ORBIKA TEST");
  EXPECT_STREQ(h.GetDate(), "01-JUL-12 12:00");
  EXPECT_EQ(h.GetTauC(), static_cast<long double>(-0.123456789012 * 1e-7));
  EXPECT_EQ(h.GetRefTimeCorr().GetYear(), 2012);
  EXPECT_EQ(h.GetRefTimeCorr().GetMonth(), 6);
  EXPECT_EQ(h.GetRefTimeCorr().GetDay(), 30);
  EXPECT_EQ(h.GetRefTimeCorr().GetDaySecond(), 0.0L);
  EXPECT_EQ(h.GetLeapS(), 16);
}

TEST(GLONASSNavReader, IonAlphaIsAnUnknownLabelWarnedOnceForBothPasses) {
  const std::string path = orbtest::WriteTempFile(
      Header(HeaderLine("    0.1118D-07  0.7451D-08 -0.5960D-07 -0.5960D-07", "ION ALPHA")) +
      Record(2, 9, 4, 1, 0, 15, 0, Numbered()));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 0);
  const std::string warning =
      "\n#### GLNbEphHeader: Warning -> ION ALPHA            -> UNKNOWN HEADER LABEL ####\n"
      "     Continuing GLNbEphHeader ... \n";
  EXPECT_EQ(r.out, warning);
  EXPECT_EQ(r.err, "");
}

TEST(GLONASSNavReader, GpsUtcLineAndLabelOrder) {
  // DELTA-UTC is a GPS label; a COMMENT that mentions a known label is still
  // a comment only when no earlier label of the list matches.
  const std::string path = orbtest::WriteTempFile(
      Header(HeaderLine("    0.1D-08 0.3D-14   405504     1525", "DELTA-UTC: A0,A1,T,W") +
             HeaderLine("LEAP SECONDS ARE NOT GIVEN BELOW", "COMMENT")) +
      Record(2, 9, 4, 1, 0, 15, 0, Numbered()));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
    // "LEAP SECONDS" comes before "COMMENT" in the label list, so the comment
    // line is parsed as a leap-second line (columns 1-6: "LEAP S" -> 0).
    std::printf("leaps=%d\n", g.GetHeader().GetLeapS());
  });
  EXPECT_EQ(r.status, 0);
  const std::string warning =
      "\n#### GLNbEphHeader: Warning -> DELTA-UTC: A0,A1,T,W -> UNKNOWN HEADER LABEL ####\n"
      "     Continuing GLNbEphHeader ... \n";
  EXPECT_EQ(r.out, warning + "leaps=0\n");
}

TEST(GLONASSNavReader, HeaderWithoutEndIsRefusedNamingTheFile) {
  const std::string path = orbtest::WriteTempFile(
      HeaderLine("     2.01           GLONASS NAV DATA", "RINEX VERSION / TYPE") +
      Record(2, 9, 4, 1, 0, 15, 0, Numbered()));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** GLNbEph: Error -> GLONASS NAVIGATION FILE " + path +
                       ": END OF HEADER NOT FOUND! ****\n     Exiting GLNbEph ... \n");
}

TEST(GLONASSNavReader, MissingFileIsRefusedNamingIt) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    GLNbEph g;
    Load(g, "/nonexistent/brdc0010.09g");
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "\n**** GLNbEph: Error -> GLONASS NAVIGATION FILE /nonexistent/brdc0010.09g: "
            "CANNOT BE OPENED! ****\n     Exiting GLNbEph ... \n");
}

TEST(GLONASSNavReader, OverlongHeaderLineIsReadAsItsFirst99Characters) {
  // A comment line of 80 characters with 40 blanks more: 120 in all.
  std::string comment = HeaderLine(std::string(50, 'x'), "COMMENT");
  comment.insert(comment.size() - 1, 40, ' ');
  const std::string path =
      orbtest::WriteTempFile(Header(comment) + Record(2, 9, 4, 1, 0, 15, 0, Numbered()));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
    std::printf("records=%d\n", g.GetNSat());
  });
  EXPECT_EQ(r.status, 0);
  const std::string warning =
      "\n#### GLNbEphHeader: Warning -> HEADER LINE 5 LONGER THAN 99 CHARACTERS -> READ AS ITS "
      "FIRST 99 ####\n     Continuing GLNbEphHeader ... \n";
  EXPECT_EQ(r.out, warning + "records=1\n");
}

TEST(GLONASSNavReader, CorrectionDateIsAFullDate) {
  // The year of CORR TO SYSTEM TIME is taken as written: a two-digit year is
  // no valid date and ends the run in the date's own check, named by file
  // and by the line that holds it.
  const std::string path = orbtest::WriteTempFile(
      Header(HeaderLine("     9     4     1    0.158790498972D-06", "CORR TO SYSTEM TIME")) +
      Record(2, 9, 4, 1, 0, 15, 0, Numbered()));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "\n**** Orbika: Error -> GLONASS NAVIGATION FILE " + path +
                       ": LINE 5: YEAR not valid! ****\n     Exiting Orbika ... \n\n");
}

// ------------------------------------------------------------------ records

TEST(GLONASSNavReader, EpochsAroundTheLeapSecondOf2012MoveToGpsTime) {
  GLNbEph g;
  Load(g, Fixture("glo_leap2012.g"));
  ASSERT_EQ(g.GetNSat(), 5);
  // 2012-06-30 23:45:00 UTC, GPS - UTC = 15 s: 23:45:15 GPS (MJD 56108).
  ExpectEpoch(g.GetMJD(0), 56108u, 23 * 3600 + 45 * 60 + 15);
  // 2012-07-01 00:15:00 UTC, GPS - UTC = 16 s: 00:15:16 GPS.
  ExpectEpoch(g.GetMJD(1), 56109u, 15 * 60 + 16);
  ExpectEpoch(g.GetMJD(3), 56109u, 45 * 60 + 16);
  // The header's own LEAP SECONDS (16) plays no part: the first record
  // moved by 15 s.
  EXPECT_EQ(g.GetHeader().GetLeapS(), 16);
}

TEST(GLONASSNavReader, EpochJustBeforeMidnightUtcMovesIntoTheNextDay) {
  const std::string path = orbtest::WriteTempFile(
      Header() + Record(5, 12, 6, 30, 23, 59, 50, Numbered()));
  GLNbEph g;
  Load(g, path);
  ExpectEpoch(g.GetMJD(0), 56109u, 5);
}

TEST(GLONASSNavReader, RecordValuesInColumnOrder) {
  GLNbEph g;
  Load(g, orbtest::WriteTempFile(ThreeSlots()));
  const GLNbEphData& d = g.GetData();
  const Params p = Numbered();
  const Params m = Numbered(-1);
  for (int j = 0; j < 15; ++j) {
    const long double expected = static_cast<long double>(static_cast<double>(p[static_cast<std::size_t>(j)]));
    EXPECT_DOUBLE_EQ(static_cast<double>(d.GetData(0, j)), static_cast<double>(expected)) << j;
    EXPECT_DOUBLE_EQ(static_cast<double>(d.GetData(1, j)),
                     static_cast<double>(m[static_cast<std::size_t>(j)]))
        << j;
  }
  EXPECT_EQ(d.GetSat(0), 24);
  EXPECT_EQ(d.GetSat(1), 1);
  EXPECT_EQ(d.GetSat(2), 3);
  EXPECT_EQ(d.GetSat(3), 1);
}

TEST(GLONASSNavReader, SlotListHoldsSlotNumbersAscending) {
  GLNbEph g;
  Load(g, orbtest::WriteTempFile(ThreeSlots()));
  EXPECT_EQ(g.GetNSat(), 4);  // records, not satellites
  const matrix<short> list = g.GetSatList();
  ASSERT_EQ(list.NRow(), 3);
  EXPECT_EQ(list(0), 1);
  EXPECT_EQ(list(1), 3);
  EXPECT_EQ(list(2), 24);
}

TEST(GLONASSNavReader, ExponentLettersAndTouchingNegativeFields) {
  // The same record written with D, E and e exponents reads the same; the
  // negative fields touch their neighbours.
  const Params m = Numbered(-1);
  GLNbEph d, e, l;
  Load(d, orbtest::WriteTempFile(Header() + Record(7, 9, 4, 1, 1, 15, 0, m, 'D')));
  Load(e, orbtest::WriteTempFile(Header() + Record(7, 9, 4, 1, 1, 15, 0, m, 'E')));
  Load(l, orbtest::WriteTempFile(Header() + Record(7, 9, 4, 1, 1, 15, 0, m, 'e')));
  for (int j = 0; j < 15; ++j) {
    EXPECT_EQ(d.GetData().GetData(0, j), e.GetData().GetData(0, j)) << j;
    EXPECT_EQ(d.GetData().GetData(0, j), l.GetData().GetData(0, j)) << j;
    EXPECT_DOUBLE_EQ(static_cast<double>(d.GetData().GetData(0, j)),
                     static_cast<double>(m[static_cast<std::size_t>(j)]));
  }
}

TEST(GLONASSNavReader, CrLfFileReadsExactlyLikeLf) {
  GLNbEph lf, crlf;
  Load(lf, orbtest::WriteTempFile(ThreeSlots()));
  Load(crlf, orbtest::WriteTempFile(ToCrLf(ThreeSlots())));
  ASSERT_EQ(crlf.GetNSat(), lf.GetNSat());
  EXPECT_STREQ(crlf.GetHeader().GetType(), lf.GetHeader().GetType());
  EXPECT_EQ(crlf.GetHeader().GetTauC(), lf.GetHeader().GetTauC());
  for (int i = 0; i < lf.GetNSat(); ++i) {
    EXPECT_EQ(crlf.GetData().GetSat(i), lf.GetData().GetSat(i));
    EXPECT_EQ(crlf.GetMJD(i).GetMJDay(), lf.GetMJD(i).GetMJDay());
    EXPECT_EQ(crlf.GetMJD(i).GetSecond(), lf.GetMJD(i).GetSecond());
    for (int j = 0; j < 15; ++j) EXPECT_EQ(crlf.GetData().GetData(i, j), lf.GetData().GetData(i, j));
  }
}

TEST(GLONASSNavReader, BlankLinesAfterTheLastRecordAddNoRecord) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    GLNbEph g;
    Load(g, orbtest::WriteTempFile(ThreeSlots() + "\n   \n\n"));
    std::printf("records=%d rows=%d\n", g.GetNSat(), g.GetData().GetNRecords());
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "records=4 rows=4\n");
  EXPECT_EQ(r.err, "");
}

TEST(GLONASSNavReader, TruncatedLastRecordIsReportedAndDropped) {
  // The last record loses its last line and a half.
  std::string text = ThreeSlots();
  text.resize(text.size() - 80 - 40);
  const std::string path = orbtest::WriteTempFile(text);
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
    std::printf("records=%d last=%d\n", g.GetNSat(), g.GetData().GetSat(g.GetNSat() - 1));
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\n#### GLNbEph: Warning -> GLONASS NAVIGATION FILE " + path +
                       ": FILE ENDS INSIDE RECORD 4, RECORD DROPPED! ####\n"
                       "     Continuing GLNbEph ... \nrecords=3 last=3\n");
}

TEST(GLONASSNavReader, FileWithOnlyATruncatedRecordIsRefused) {
  std::string text = Header() + Record(2, 9, 4, 1, 0, 15, 0, Numbered());
  text.resize(text.size() - 100);
  const std::string path = orbtest::WriteTempFile(text);
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  const std::string head = "GLONASS NAVIGATION FILE " + path;
  EXPECT_EQ(r.out, "\n#### GLNbEph: Warning -> " + head +
                       ": FILE ENDS INSIDE RECORD 1, RECORD DROPPED! ####\n"
                       "     Continuing GLNbEph ... \n"
                       "\n**** GLNbEph: Error -> " + head + ": NO COMPLETE RECORD! ****\n"
                       "     Exiting GLNbEph ... \n");
}

TEST(GLONASSNavReader, OverlongMantissaIsABadNumber) {
  // A record that lost its last line: the next record's first line runs into
  // the mantissa of the missing number.
  std::string first = Record(2, 9, 4, 1, 0, 15, 0, Numbered());
  first.resize(first.rfind('\n', first.size() - 2) + 1);  // drop the last line
  const std::string path = orbtest::WriteTempFile(
      Header() + first + Record(3, 9, 4, 1, 0, 15, 0, Numbered()));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** GLNbEph: Error -> GLONASS NAVIGATION FILE " + path +
                       ": BAD NUMBER IN RECORD 1! ****\n     Exiting GLNbEph ... \n");
}

TEST(GLONASSNavReader, NotFullMinuteEpochIsWarnedAndUsed) {
  const std::string path = orbtest::WriteTempFile(
      Header() + Record(4, 9, 4, 1, 0, 15, 30, Numbered()) + Record(4, 9, 4, 1, 0, 45, 0, Numbered()));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
    std::printf("second=%.1Lf\n", g.GetMJD(0).GetSecond());
  });
  EXPECT_EQ(r.status, 0);
  // Once, in the reading pass only; 2009: GPS - UTC = 15 s.
  EXPECT_EQ(r.err,
            "\n#### Orbika: Warning -> GLONASS EPHEMERIS DATA: SATELLITE R04 EPOCH SECONDS  30.0 "
            "[NOT FULL MINUTES] ####\n     Continuing Orbika ... \n\n");
  EXPECT_EQ(r.out, "second=945.0\n");
}

// ------------------------------------------------------------------ empty

TEST(GLONASSNavReader, HeaderWithoutRecordsEndsWithTheDataError) {
  const std::string path = orbtest::WriteTempFile(Header());
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "\n#### GLNbEphData: Error -> NUMBER OF RECORDS not set! ####\n"
            "     Exiting GLNbEphData ... \n");
  EXPECT_EQ(r.err, "");
}

TEST(GLONASSNavReader, RinexVersion3RecordsAreNotRecords) {
  // A record beginning with a system letter is no RINEX 2 record.
  const std::string path = orbtest::WriteTempFile(
      Header() + "R02 2009 04 01 00 15 00 2.067629247904D-05-2.728484105319D-12 9.000000000000D+02\n");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GLNbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("NUMBER OF RECORDS not set!"), std::string::npos);
}

TEST(GLONASSNavReader, EmptyStoreHasNoEpoch) {
  // Asking an unread store for a record epoch ends the run in the container.
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    GLNbEph g;
    g.GetMJD(0);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Matrix is not set"), std::string::npos);
}

}  // namespace
