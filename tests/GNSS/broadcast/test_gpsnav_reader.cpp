// Reading RINEX 2 GPS navigation files into GPSbEph: header values, records,
// counts and satellite list, and the reports of files that are empty,
// unusual or broken.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include "GNSS/broadcast/GPSbEph.h"
#include "GNSS/time/TimeConverse.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/broadcast/test_gpsnav_util.h"

namespace {

using gpsnavtest::Header;
using gpsnavtest::HeaderLine;
using gpsnavtest::Numbered;
using gpsnavtest::Params;
using gpsnavtest::Record;

void Load(GPSbEph& g, const std::string& path) {
  g.SetFile(path.c_str());
  g.ReadFile();
}

std::string Fixture(const char* name) { return orbtest::FixtureDir() + "/" + name; }

std::string ToCrLf(const std::string& text) {
  std::string out;
  for (char ch : text) out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  return out;
}

const char kUnknownMarker[] =
    "\n#### GPSbEphHeader: Warning -> MARKER NAME          -> UNKNOWN HEADER LABEL ####\n"
    "     Continuing GPSbEphHeader ... \n";

// ------------------------------------------------------------------ fixture

TEST(gpsNavReader, HeaderValuesOfTheFixture) {
  GPSbEph g;
  Load(g, Fixture("gps_three.n"));
  const GPSbEphHeader& h = g.GetHeader();
  EXPECT_FLOAT_EQ(h.version, 2.10f);
  EXPECT_STREQ(h.type, "N: GPS NAV DATA");
  EXPECT_STREQ(h.pgm, "TESTGEN 1.0");
  EXPECT_STREQ(h.runby, "ORBIKA LAB");
  EXPECT_STREQ(h.date, "01-APR-09 02:51");
  EXPECT_DOUBLE_EQ(static_cast<double>(h.alfa[0]), 0.1118e-7);
  EXPECT_DOUBLE_EQ(static_cast<double>(h.alfa[3]), -0.5960e-7);
  EXPECT_DOUBLE_EQ(static_cast<double>(h.beta[1]), 0.1638e5);
  EXPECT_DOUBLE_EQ(static_cast<double>(h.beta[2]), -0.1966e6);
  EXPECT_DOUBLE_EQ(static_cast<double>(h.a0), 0.186264514923e-8);
  EXPECT_DOUBLE_EQ(static_cast<double>(h.a1), 0.355271367880e-14);
  EXPECT_EQ(h.T, 405504);
  EXPECT_EQ(h.W, 1525);
  EXPECT_EQ(h.leaps, 15);
}

TEST(gpsNavReader, RecordsOfTheFixtureInFileOrder) {
  GPSbEph g;
  Load(g, Fixture("gps_three.n"));
  EXPECT_EQ(g.GetNSat(), 3u);
  const matrix<short> list = g.GetSatList();
  ASSERT_EQ(list.NRow(), 2);
  EXPECT_EQ(list(0), 2);
  EXPECT_EQ(list(1), 17);

  const GPSbEphData& d = g.GetData();
  EXPECT_EQ(d.sat(0), 17);
  EXPECT_EQ(d.sat(1), 2);
  EXPECT_EQ(d.sat(2), 17);
  // 2009-04-01 = MJD 54922; record epochs 02:00:00, 00:00:00, 03:59:44.
  EXPECT_EQ(g.GetMJD(0).GetMJDay(), 54922u);
  EXPECT_EQ(g.GetMJD(0).GetSecond(), 7200.0L);
  EXPECT_EQ(g.GetMJD(1).GetSecond(), 0.0L);
  EXPECT_EQ(g.GetMJD(2).GetSecond(), 14384.0L);
  // First record: E exponents; its values, the touching negative ones
  // included.
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(0, 0)), -0.123456789012e-3);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(0, 1)), -0.454747350886e-11);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(0, 6)), -0.172729451478e1);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(0, 7)), -0.150687992573e-5);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(0, 10)), 0.515363668251e4);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(0, 27)), 0.253968e6);
  // Second record: D exponents.  Third: lower-case e.
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(1, 8)), 0.904141401406e-2);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(1, 25)), -0.172294676304e-7);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(2, 13)), -0.2);
  EXPECT_DOUBLE_EQ(static_cast<double>(d.data(2, 27)), 0.266e6);
}

TEST(gpsNavReader, HeaderWarningsArePrintedOnceForBothPasses) {
  const std::string path = orbtest::WriteTempFile(
      Header(HeaderLine("SITE", "MARKER NAME         ")) + Record(5, 9, 4, 1, 0, 0, 0, Numbered()),
      ".09n");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kUnknownMarker);
  EXPECT_EQ(r.err, "");
}

// -------------------------------------------------------------- exponents

TEST(gpsNavReader, AllExponentLettersReadAlike) {
  const Params p = Numbered(-1);
  GPSbEph byD, byE, bye;
  Load(byD, orbtest::WriteTempFile(Header() + Record(7, 9, 4, 1, 0, 0, 0, p, 'D')));
  Load(byE, orbtest::WriteTempFile(Header() + Record(7, 9, 4, 1, 0, 0, 0, p, 'E')));
  Load(bye, orbtest::WriteTempFile(Header() + Record(7, 9, 4, 1, 0, 0, 0, p, 'e')));
  for (int j = 0; j < 28; ++j) {
    EXPECT_DOUBLE_EQ(static_cast<double>(byD.GetData().data(0, j)), static_cast<double>(p[j])) << j;
    EXPECT_EQ(byD.GetData().data(0, j), byE.GetData().data(0, j)) << j;
    EXPECT_EQ(byD.GetData().data(0, j), bye.GetData().data(0, j)) << j;
  }
}

// ------------------------------------------------------ counts and listing

TEST(gpsNavReader, SameSatelliteAndEpochTwiceKeepsBothRecords) {
  Params p1 = Numbered(), p2 = Numbered();
  p2[0] = 0.5e-3L;
  GPSbEph g;
  Load(g, orbtest::WriteTempFile(Header() + Record(9, 9, 4, 1, 2, 0, 0, p1) +
                                 Record(9, 9, 4, 1, 2, 0, 0, p2)));
  EXPECT_EQ(g.GetNSat(), 2u);
  EXPECT_EQ(g.GetSatList().NRow(), 1);
  EXPECT_EQ(g.GetData().data(0, 0), g.GetData().data(0, 0));
  EXPECT_DOUBLE_EQ(static_cast<double>(g.GetData().data(1, 0)), 0.5e-3);
  EXPECT_NE(g.GetData().data(0, 0), g.GetData().data(1, 0));
}

TEST(gpsNavReader, TrailingBlankLinesAddNoRecord) {
  GPSbEph g;
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    GPSbEph h;
    Load(h, orbtest::WriteTempFile(Header() + Record(4, 9, 4, 1, 0, 0, 0, Numbered()) + "\n\n   \n"));
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  Load(g, orbtest::WriteTempFile(Header() + Record(4, 9, 4, 1, 0, 0, 0, Numbered()) + "\n\n   \n"));
  EXPECT_EQ(g.GetNSat(), 1u);
  EXPECT_EQ(g.GetData().data.NRow(), 1);
}

TEST(gpsNavReader, CrLfFileReadsLikeLfFile) {
  const std::string text = Header(HeaderLine("", "COMMENT")) +
                           Record(4, 9, 4, 1, 0, 0, 0, Numbered(-1)) +
                           Record(6, 9, 4, 1, 1, 59, 44, Numbered(), 'E');
  GPSbEph lf, crlf;
  Load(lf, orbtest::WriteTempFile(text));
  Load(crlf, orbtest::WriteTempFile(ToCrLf(text)));
  ASSERT_EQ(crlf.GetNSat(), lf.GetNSat());
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(crlf.GetData().sat(k), lf.GetData().sat(k));
    EXPECT_TRUE(crlf.GetMJD(k) == lf.GetMJD(k));
    for (int j = 0; j < 28; ++j) EXPECT_EQ(crlf.GetData().data(k, j), lf.GetData().data(k, j));
  }
  EXPECT_STREQ(crlf.GetHeader().date, lf.GetHeader().date);
}

// ---------------------------------------------------------- broken files

TEST(gpsNavReader, FileWithoutRecordsEndsWithTheDataError) {
  const std::string path = orbtest::WriteTempFile(Header());
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n#### GPSbEphData: Error -> NUMBER OF RECORDS not set! ####\n"
                   "     Exiting GPSbEphData ... \n");
}

TEST(gpsNavReader, Rinex3RecordsAreNotReadAsRecords) {
  const std::string path = orbtest::WriteTempFile(
      Header() + "G05 2009 04 01 00 00 00 0.1D-03 0.2D-11 0.0D+00\n");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("NUMBER OF RECORDS not set!"), std::string::npos);
}

TEST(gpsNavReader, MissingEndOfHeaderEndsWithAnErrorNamingTheFile) {
  std::string text = Header() + Record(5, 9, 4, 1, 0, 0, 0, Numbered());
  text.erase(text.find("END OF HEADER") - 60, 61 + 13 + 7);
  ASSERT_EQ(text.find("END OF HEADER"), std::string::npos);
  const std::string path = orbtest::WriteTempFile(text);
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** GPSbEph: Error -> GPS NAVIGATION FILE " + path +
                       ": END OF HEADER NOT FOUND! ****\n     Exiting GPSbEph ... \n");
}

TEST(gpsNavReader, FileThatCannotBeOpenedEndsWithAnError) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    GPSbEph g;
    Load(g, "/nonexistent/gps.09n");
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** GPSbEph: Error -> GPS NAVIGATION FILE /nonexistent/gps.09n: CANNOT "
                   "BE OPENED! ****\n     Exiting GPSbEph ... \n");
}

TEST(gpsNavReader, RecordCutShortIsReportedAndDropped) {
  const std::string full = Record(5, 9, 4, 1, 0, 0, 0, Numbered());
  const std::string cut = Record(8, 9, 4, 1, 2, 0, 0, Numbered(-1)).substr(0, 300);
  const std::string path = orbtest::WriteTempFile(Header() + full + cut);
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    Load(g, path);
    std::cout << "records " << g.GetNSat() << " rows " << g.GetData().data.NRow() << " sats "
              << g.GetSatList().NRow() << " first " << g.GetSatList()(0) << std::endl;
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\n#### GPSbEph: Warning -> GPS NAVIGATION FILE " + path +
                       ": FILE ENDS INSIDE RECORD 2, RECORD DROPPED! ####\n"
                       "     Continuing GPSbEph ... \n"
                       "records 1 rows 1 sats 1 first 5\n");
}

TEST(gpsNavReader, OnlyRecordCutShortLeavesNoCompleteRecord) {
  const std::string path = orbtest::WriteTempFile(
      Header() + Record(5, 9, 4, 1, 0, 0, 0, Numbered()).substr(0, 500));
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("FILE ENDS INSIDE RECORD 1, RECORD DROPPED!"), std::string::npos);
  EXPECT_NE(r.out.find("**** GPSbEph: Error -> GPS NAVIGATION FILE " + path +
                       ": NO COMPLETE RECORD! ****"),
            std::string::npos);
}

TEST(gpsNavReader, FieldWithoutExponentLetterEndsWithABadNumberError) {
  std::string rec = Record(5, 9, 4, 1, 0, 0, 0, Numbered());
  // Blank out the exponent letters of a whole line: the mantissa text runs on
  // far beyond any sound length.
  const std::size_t line3 = rec.find('\n', rec.find('\n') + 1) + 1;
  for (std::size_t k = line3; rec[k] != '\n'; ++k)
    if (rec[k] == 'D') rec[k] = '0';
  const std::string path = orbtest::WriteTempFile(Header() + Record(3, 9, 4, 1, 0, 0, 0, Numbered()) + rec);
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph g;
    Load(g, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** GPSbEph: Error -> GPS NAVIGATION FILE " + path +
                       ": BAD NUMBER IN RECORD 2! ****\n     Exiting GPSbEph ... \n");
}

TEST(gpsNavReader, OverlongHeaderLineIsReadAndReportedOnce) {
  std::string longline = HeaderLine("    17", "LEAP SECONDS");
  longline.insert(longline.size() - 1, std::string(40, ' ') + "x");
  const std::string path = orbtest::WriteTempFile(Header(longline) + Record(5, 9, 4, 1, 0, 0, 0, Numbered()));
  GPSbEph g;
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    GPSbEph h;
    Load(h, path);
    std::cout << "leaps " << h.GetHeader().leaps << std::endl;
  });
  const std::string warn =
      "\n#### GPSbEphHeader: Warning -> HEADER LINE 7 LONGER THAN 99 CHARACTERS -> READ AS ITS "
      "FIRST 99 ####\n     Continuing GPSbEphHeader ... \n";
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, warn + "leaps 17\n");
}

TEST(gpsNavReader, FileCutAnywhereEndsCleanly) {
  // Every cut either leaves a readable file (the complete records before it
  // are kept) or ends the run with a framed report; never a crash or a
  // container error.
  const std::string text = orbtest::ReadFileText(Fixture("gps_three.n"));
  ASSERT_FALSE(text.empty());
  for (std::size_t cut = 0; cut < text.size(); cut += 13) {
    const std::string path = orbtest::WriteTempFile(text.substr(0, cut));
    const orbtest::RunResult r = orbtest::RunCaptured([&] {
      GPSbEph g;
      Load(g, path);
      std::cout << "records " << g.GetNSat() << std::endl;
    });
    ASSERT_TRUE(r.status == 0 || r.status == 1) << cut << "\n" << r.out;
    EXPECT_EQ(r.out.find("MATRIX"), std::string::npos) << cut;
    if (r.status == 0) {
      const std::size_t at = r.out.rfind("records ");
      ASSERT_NE(at, std::string::npos) << cut;
      const int n = std::atoi(r.out.c_str() + at + 8);
      EXPECT_TRUE(n >= 1 && n <= 3) << cut << "\n" << r.out;
    } else {
      EXPECT_TRUE(r.out.find("NUMBER OF RECORDS not set!") != std::string::npos ||
                  r.out.find("END OF HEADER NOT FOUND!") != std::string::npos ||
                  r.out.find("NO COMPLETE RECORD!") != std::string::npos)
          << cut << "\n" << r.out;
    }
  }
}

}  // namespace
